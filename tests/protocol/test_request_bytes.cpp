// The exact bytes of every request for a fixed input: each request is caught
// as it is about to be sent (OnBeforeSearch withholds it, so no server is
// needed) and compared with the layout the server reads.

#include "platform/core/RegionalSettings.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxLogin.h"
#include "protocol/TvxRequestMap.h"
#include "protocol/TvxRptGen.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

// The layout's lines end with CR LF; the expectations are written with LF.
QString Lines(const char* text)
{
    return QString::fromUtf8(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

// Runs the request with its sending withheld and returns the bytes it would
// have posted; the connection raises "Zero size response" since nothing was
// sent.
QString Captured(TvxCustomConnection& connection, const std::function<void()>& run)
{
    QString captured;
    connection.SetHostServer(QStringLiteral("127.0.0.1:1"));
    connection.OnBeforeSearch = [&](QObject* sender, bool& doSearch) {
        EXPECT_EQ(sender, &connection);
        captured = QString::fromUtf8(connection.vxpDocument()->XMLDocument()->SaveToBytes(TXMLSaveForm::Request));
        doSearch = false;
    };
    try {
        run();
        ADD_FAILURE() << "the withheld request did not fail";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Zero size response"));
    }
    return captured;
}

class FixedText : public TTextField {
public:
    explicit FixedText(const QString& text) : m_text(text) { }
    QString Text() const override { return m_text; }
    void SetText(const QString& text) override { m_text = text; }

private:
    QString m_text;
};

} // namespace

TEST(RequestBytes, Login)
{
    TvxpDocument doc;
    TvxLogin login;
    login.SetVxpDocument(&doc);
    login.UserName = QStringLiteral("escape");
    login.Password = QStringLiteral("p&ss<w\"rd>'");
    login.ProgramVersion = QStringLiteral("1.01");
    login.MlsUser = QStringLiteral("Hartley");
    login.MlsPass = QStringLiteral("M-77&1");
    login.MlsId = QStringLiteral("SVMLS");
    EXPECT_EQ(Captured(login, [&] { login.Execute(); }), Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <login.request version = "1.0" UserID = "0" County = "0" LogEvent = "N">
      <user>escape</user>
      <pass>p&amp;ss&lt;w"rd>'</pass>
      <pgm_ver>1.01</pgm_ver>
      <machine_id/>
      <mls_user>Hartley</mls_user>
      <mls_pass>M-77&amp;1</mls_pass>
      <mls_id>SVMLS</mls_id>
   </login.request>
</vxp>)"));
}

TEST(RequestBytes, LoginWithoutListingServiceValues)
{
    TvxpDocument doc;
    TvxLogin login;
    login.SetVxpDocument(&doc);
    login.UserName = QStringLiteral("demo");
    login.Password = QStringLiteral("demo");
    const QString text = Captured(login, [&] { login.Execute(); });
    EXPECT_TRUE(text.contains(QStringLiteral("<mls_user/>\r\n      <mls_pass/>\r\n      <mls_id/>")))
        << text.toStdString();
}

TEST(RequestBytes, PropertySearch)
{
    TvxpDocument doc;
    doc.SetLogEvent(true);
    TSubjectProperty prop;
    prop.SetVxpDocument(&doc);
    FixedText apn(QStringLiteral("  512-034-019 "));
    FixedText owner(QStringLiteral("O'Neil & <Sons> \"Ltd\""));
    FixedText dir(QStringLiteral("N"));
    prop.FieldApn = &apn;
    prop.FieldFirstName = &owner;
    prop.FieldStreetDir = &dir;
    EXPECT_EQ(Captured(prop, [&] { prop.Search(59, 4127); }), Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <prop.search version = "1.0" UserID = "0" County = "0" LogEvent = "Y" county = "59" userid = "4127" use_mls = "T">
      <search apn = "512-034-019" mls = "" first = "O'Neil &amp; &lt;Sons> &quot;Ltd&quot;" last = "" stnum = "" stname = "" stdir = "N" stsuffix = "" stunit = "" city = "" state = "" zip = ""/>
   </prop.search>
</vxp>)"));
}

TEST(RequestBytes, PropertySearchWithEveryFieldBlank)
{
    TvxpDocument doc;
    TSubjectProperty prop;
    prop.SetVxpDocument(&doc);
    const QString text = Captured(prop, [&] { prop.Search(59, 4127); });
    EXPECT_TRUE(text.contains(
        QStringLiteral("<search apn = \"\" mls = \"\" first = \"\" last = \"\" stnum = \"\" stname = \"\" stdir = \"\" "
                       "stsuffix = \"\" stunit = \"\" city = \"\" state = \"\" zip = \"\"/>")))
        << text.toStdString();
    EXPECT_TRUE(prop.History().empty());
}

TEST(RequestBytes, PropertyGet)
{
    TvxpDocument doc;
    doc.SetLogEvent(true);
    doc.SetEvent(QStringLiteral("PROP_FOUND")); // not sent by a new document
    TSubjectProperty prop;
    prop.SetVxpDocument(&doc);
    EXPECT_EQ(Captured(prop, [&] { prop.GetProperty(59, 100231, 2, 4127); }),
              Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <prop.get version = "1.0" UserID = "0" County = "0" LogEvent = "Y" county = "59" userid = "4127" parcel = "100231" order = "2"/>
</vxp>)"));
}

TEST(RequestBytes, CompsSearchWritesNumbersWithAPointWhateverTheLocale)
{
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    ScopedRegionalSettings regional(comma);

    TvxpDocument doc;
    TvxComps comps;
    comps.SetVxpDocument(&doc);
    comps.County = 59;
    comps.UserId = 4127;
    comps.SetParcelID(100231);
    comps.OrderID = 1;
    comps.Beds = 3;
    comps.Baths = 2.25;
    comps.Sqft = 1845;
    comps.LotSqft = 7150;
    comps.SetPrice(472500);
    comps.BedLow = 2;
    comps.BedHigh = 4;
    comps.BedType = ptRange;
    comps.BathLow = 1.05;
    comps.BathHigh = 3;
    comps.BathType = ptAboveBelow;
    comps.SqftLow = 10;
    comps.SqftHigh = 20;
    comps.SqftType = ptPercent;
    comps.SetPriceType(ptRange);
    comps.PriceLow = 400000;
    comps.PriceHigh = 550000;
    comps.Radius = 0.25;
    comps.DaysBack = 365;
    comps.ZeroPrice = true;
    comps.PActiveUse = true;
    comps.PActive = 5;
    comps.Latitude = 37.08124;
    comps.Longitude = -119.52041;
    comps.ApnBook = QStringLiteral("512");
    comps.MlsId = QStringLiteral("SV&1");
    comps.UseMls = true;
    comps.SearchByParams = {QStringLiteral("R1-7"), QStringLiteral("A&B <C>")};
    EXPECT_EQ(Captured(comps, [&] { comps.GetComps(); }), Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <prop.getcomps version = "1.0" UserID = "0" County = "0" LogEvent = "N" county = "59" userid = "4127" parcel = "100231" order = "1">
      <search>
         <sp_beds>3</sp_beds>
         <sp_baths>2.3</sp_baths>
         <sp_sqft>1845</sp_sqft>
         <sp_lot>7150</sp_lot>
         <sp_price>472500</sp_price>
         <bedlow>2</bedlow>
         <bedhi>4</bedhi>
         <bedtype>1</bedtype>
         <bathlow>1.1</bathlow>
         <bathhi>3.0</bathhi>
         <bathtype>0</bathtype>
         <sqftlow>10</sqftlow>
         <sqfthi>20</sqfthi>
         <sqfttype>2</sqfttype>
         <lotlow>0</lotlow>
         <lothi>0</lothi>
         <lottype>3</lottype>
         <pricelow>400000</pricelow>
         <pricehi>550000</pricehi>
         <pricetype>1</pricetype>
         <srchtype>0</srchtype>
         <structtype>1</structtype>
         <area>0.3</area>
         <days>365</days>
         <zero>Y</zero>
         <useactive>Y</useactive>
         <active>5</active>
         <usepend>N</usepend>
         <pend>0</pend>
         <usesold>Y</usesold>
         <sold>20</sold>
         <useexp>N</useexp>
         <exp>0</exp>
         <srchfor>1</srchfor>
         <lat>37.08124</lat>
         <lon>-119.52041</lon>
         <book>512</book>
         <mlsid>SV&amp;1</mlsid>
      </search>
      <sbparams>
         <param>R1-7</param>
         <param>A&amp;B &lt;C></param>
      </sbparams>
   </prop.getcomps>
</vxp>)"));
}

TEST(RequestBytes, CompsSearchDefaults)
{
    TvxpDocument doc;
    TvxComps comps;
    comps.SetVxpDocument(&doc);
    comps.MlsId = QStringLiteral("SVMLS"); // not sent without UseMls
    const QString text = Captured(comps, [&] { comps.GetComps(); });
    for (const char* part : {"<sp_baths>0.0</sp_baths>", "<area>0.5</area>", "<days>180</days>", "<usesold>Y</usesold>",
                             "<sold>20</sold>", "<srchfor>1</srchfor>", "<structtype>1</structtype>",
                             "<bedtype>3</bedtype>", "<lat>0</lat>", "<book/>", "<mlsid/>", "<sbparams/>"})
        EXPECT_TRUE(text.contains(QLatin1String(part))) << part;
}

TEST(RequestBytes, ReportData)
{
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    ScopedRegionalSettings regional(comma);
    TvxpDocument doc;
    TvxRptGen rpt;
    rpt.SetVxpDocument(&doc);
    rpt.County = 59;
    rpt.UserId = 4127;
    rpt.Latitude = 37.08124;
    rpt.Longitude = -119.52041;
    rpt.IncludeCensus = true;
    rpt.CensusTract = QStringLiteral("0012.03&<\"");
    rpt.IncludeSchool = true;
    rpt.SchoolAndOr = QStringLiteral("A");
    rpt.SchoolCity = QStringLiteral("ALDER <CREEK>");
    rpt.SchoolZip = QStringLiteral("93602");
    rpt.IncludeServices = true;
    rpt.ServicesAndOr = QStringLiteral("A&O");
    rpt.ServicesCity = QStringLiteral("ALDER CREEK");
    rpt.ServicesArea = 9;
    rpt.IncludePhotos = true;
    rpt.PhotoApns = {QStringLiteral("512-034-019"), QStringLiteral("512 034 <020>")};
    rpt.MapId = 1001;
    rpt.StreetMap = true;
    rpt.HazardMap = true;
    rpt.IncludeAssessorMap = true; // not sent
    EXPECT_EQ(Captured(rpt, [&] { rpt.Execute(); }), Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <rptgen.request version = "1.0" UserID = "0" County = "0" LogEvent = "N" county = "59" userid = "4127">
      <census county = "59" tract = "0012.03&amp;&lt;&quot;"/>
      <school>
         <lat>37.08124</lat>
         <lon>-119.52041</lon>
         <city>ALDER &lt;CREEK></city>
         <zip>93602</zip>
         <andor>A</andor>
         <area>8.0</area>
      </school>
      <services>
         <lat>37.08124</lat>
         <lon>-119.52041</lon>
         <city>ALDER CREEK</city>
         <zip/>
         <andor>A&amp;O</andor>
         <area>9</area>
      </services>
      <photos>
         <apn>512-034-019</apn>
         <apn>512 034 &lt;020></apn>
      </photos>
      <map mapid = "1001" street = "Y" hazard = "Y"/>
   </rptgen.request>
</vxp>)"));
}

TEST(RequestBytes, ReportDataParts)
{
    TvxpDocument doc;
    TvxRptGen rpt;
    rpt.SetVxpDocument(&doc);
    rpt.MapId = 7;
    rpt.StreetMap = true;
    rpt.IncludePhotos = true; // with no apns: no photos element
    rpt.ServicesArea = 3.5;   // the school area is always 8.0
    rpt.IncludeSchool = true;
    const QString text = Captured(rpt, [&] { rpt.Execute(); });
    EXPECT_TRUE(text.contains(QStringLiteral("<map mapid = \"7\" street = \"Y\" hazard = \"N\"/>")));
    EXPECT_FALSE(text.contains(QStringLiteral("photos")));
    EXPECT_FALSE(text.contains(QStringLiteral("census")));
    EXPECT_TRUE(text.contains(QStringLiteral("<area>8.0</area>")));

    // Nothing asked for: the envelope alone is still sent.
    TvxRptGen empty;
    empty.SetVxpDocument(&doc);
    EXPECT_EQ(Captured(empty, [&] { empty.Execute(); }), Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <rptgen.request version = "1.0" UserID = "0" County = "0" LogEvent = "N" county = "0" userid = "0"/>
</vxp>)"));
}

TEST(RequestBytes, MapRequestIsPostedAsBuilt)
{
    TvxpDocument doc;
    doc.VxpTypeName = QStringLiteral("map.request");
    doc.VxpTypeVersion = QStringLiteral("1.0");
    doc.NewDocument();
    doc.SetCounty(59);
    doc.SetUserId(4127);
    auto* hazard = new TXMLElement(QStringLiteral("hazard"), doc.XMLDocument());
    doc.RequestElement()->appendChild(hazard);
    hazard->setAttribute(QStringLiteral("image_type"), QStringLiteral("wmf"));
    TvxRequestMap map;
    map.SetVxpDocument(&doc);
    EXPECT_EQ(Captured(map, [&] { map.Execute(); }), Lines(R"(<?xml version = "1.0" standalone = "yes"?>

<vxp>
   <map.request version = "1.0" UserID = "0" County = "59" LogEvent = "N" UserId = "4127">
      <hazard image_type = "wmf"/>
   </map.request>
</vxp>)"));
}

TEST(RequestBytes, MapRequestChecksItsDocumentBeforeSending)
{
    TvxRequestMap map;
    map.SetHostServer(QStringLiteral("127.0.0.1:1"));
    int before = 0;
    map.OnBeforeSearch = [&](QObject*, bool&) { ++before; };
    auto message = [&] {
        try {
            map.Execute();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(message(), QStringLiteral("Document component has not been assigned"));
    TvxpDocument doc;
    map.SetVxpDocument(&doc);
    EXPECT_EQ(message(), QStringLiteral("Document has not been created for this method"));
    doc.VxpTypeName = QStringLiteral("prop.search");
    doc.NewDocument();
    EXPECT_EQ(message(), QStringLiteral("Invalid document type for this component"));
    EXPECT_EQ(before, 0);
}
