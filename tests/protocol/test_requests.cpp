// The request classes against the sample service: login, property search and
// fetch, comps search and records, map request and report data, with what
// the server received and what the caller reads from the answers.

#include "ServiceFixture.h"

#include "platform/graphics/EInvalidGraphic.h"
#include "protocol/TMetafilePicture.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxLogin.h"
#include "protocol/TvxRequestMap.h"
#include "protocol/TvxRptGen.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <QImage>

namespace {

template <typename C>
void Wire(C& connection, TvxpDocument& doc, const QString& host, const char* path)
{
    connection.SetVxpDocument(&doc);
    connection.SetHostServer(host);
    connection.CgiPath = QLatin1String(path);
}

// The last request the service logged, checked as well-formed by it.
QJsonObject LastRequest(testsupport::SampleService& service)
{
    const QList<QJsonObject> log = service.Log(QStringLiteral("service"));
    if (log.isEmpty()) return QJsonObject();
    return log.last();
}

} // namespace

class Requests : public ServiceTest {
protected:
    TvxpDocument doc;
};

TEST_F(Requests, LoginWithEveryItemTheShellReads)
{
    TvxLogin login;
    Wire(login, doc, Host(), "/cgi-bin/Login.exe");
    login.UserName = QStringLiteral("demo");
    login.Password = QStringLiteral("demo");
    login.ProgramVersion = QStringLiteral("1.01");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    const TXMLElement* answer = doc.RequestElement();
    EXPECT_EQ(answer->getAttribute(QStringLiteral("result")), QStringLiteral("true"));
    EXPECT_EQ(answer->getAttribute(QStringLiteral("UserId")), QStringLiteral("4127"));
    for (const char* name : {"username", "assr_map_ip", "assr_map_port", "mls_valid", "mlslogin", "titleconame",
                             "banner", "logo", "counties", "comps", "rpages", "providers"})
        EXPECT_NE(ChildElement(answer, QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(ElementText(ChildElement(answer, QStringLiteral("assr_map_port"))),
              QString::number(Service().TaxMapPort()));
    QImage logo;
    TvxpDocument::DecodeBitmap(ElementText(ChildElement(answer, QStringLiteral("logo"))), logo);
    EXPECT_FALSE(logo.isNull());
    EXPECT_GE(ChildElementCount(ChildElement(answer, QStringLiteral("counties"))), 2);
    EXPECT_EQ(ChildElementCount(ChildElement(answer, QStringLiteral("rpages"))), 12);
    EXPECT_FALSE(login.Connected());
}

TEST_F(Requests, APasswordWithMarkupCharactersArrivesAsTyped)
{
    TvxLogin login;
    Wire(login, doc, Host(), "/cgi-bin/Login.exe");
    login.UserName = QStringLiteral("escape");
    login.Password = QStringLiteral("p&ss<w\"rd>'");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("result")), QStringLiteral("true"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("UserId")), QStringLiteral("4128"));
    EXPECT_TRUE(LastRequest(Service())
                    .value(QStringLiteral("request"))
                    .toString()
                    .contains(QStringLiteral("<pass>p&amp;ss&lt;w\"rd>'</pass>")));
}

TEST_F(Requests, RequestsAreUtf8)
{
    TvxLogin login;
    Wire(login, doc, Host(), "/cgi-bin/Login.exe");
    login.UserName = QStringLiteral("Jos\u00e9 \u20ac");
    login.Password = QStringLiteral("x");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    const QJsonObject entry = LastRequest(Service());
    // The service refuses anything but well-formed UTF-8.
    EXPECT_TRUE(entry.value(QStringLiteral("error")).isNull())
        << entry.value(QStringLiteral("error")).toString().toStdString();
    EXPECT_TRUE(
        entry.value(QStringLiteral("request")).toString().contains(QStringLiteral("<user>Jos\u00e9 \u20ac</user>")));
    EXPECT_FALSE(entry.value(QStringLiteral("request")).toString().contains(QStringLiteral("encoding")));

    // A character above U+FFFF goes as its four bytes, not as two halves
    // of three that no UTF-8 reader takes: the user is merely unknown.
    login.UserName = QStringLiteral("demo\U0001F600");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    const QJsonObject emoji = LastRequest(Service());
    EXPECT_TRUE(emoji.value(QStringLiteral("error")).isNull())
        << emoji.value(QStringLiteral("error")).toString().toStdString();
    EXPECT_TRUE(
        emoji.value(QStringLiteral("request")).toString().contains(QStringLiteral("<user>demo\U0001F600</user>")));
    EXPECT_EQ(ElementText(ChildElement(doc.RequestElement(), QStringLiteral("message"))),
              QStringLiteral("Invalid user name or password."));
}

TEST_F(Requests, ARefusedLoginCarriesItsMessage)
{
    TvxLogin login;
    Wire(login, doc, Host(), "/cgi-bin/Login.exe");
    login.UserName = QStringLiteral("demo");
    login.Password = QStringLiteral("wrong");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("result")), QStringLiteral("false"));
    EXPECT_EQ(ElementText(ChildElement(doc.RequestElement(), QStringLiteral("message"))),
              QStringLiteral("Invalid user name or password."));

    login.UserName = QStringLiteral("refuse-silent");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    EXPECT_EQ(ChildElement(doc.RequestElement(), QStringLiteral("message")), nullptr);
}

TEST_F(Requests, ALoginAnswerCookieStaysWithItsConnection)
{
    TvxLogin login;
    Wire(login, doc, Host(), "/cgi-bin/Login.exe");
    login.UserName = QStringLiteral("cookie");
    login.Password = QStringLiteral("x");
    EXPECT_EQ(login.Execute(), QStringLiteral("login.response"));
    ASSERT_EQ(login.Cookies().size(), 1);
    login.Execute();
    EXPECT_TRUE(testsupport::SampleService::Header(LastRequest(Service()), QStringLiteral("Cookie"))
                    .startsWith(QStringLiteral("VXSESSION=")));
}

TEST_F(Requests, SearchWithOneMatchAnswersTheDataAtOnce)
{
    TSubjectProperty prop;
    Wire(prop, doc, Host(), "/cgi-bin/PropSearch.exe");
    prop.SetContentEncoding(QStringLiteral("ZIP,ENC"));
    prop.Values.apn = QStringLiteral("512-034-019");
    EXPECT_EQ(prop.Search(59, 4127), QStringLiteral("prop.data"));
    EXPECT_EQ(testsupport::SampleService::Header(LastRequest(Service()), QStringLiteral("Content-Encoding")),
              QStringLiteral("ZIP,ENC"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("parcel")), QStringLiteral("100231"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("house_sqft")), QStringLiteral("1,845"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("bed")), QStringLiteral("3"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("apn_book_page")), QStringLiteral("512,034,019"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("no_such_field")), QString());
    EXPECT_EQ(prop.SoldPrice(), 472500);
    EXPECT_EQ(Service().Log(QStringLiteral("service")).size(), 1);
}

TEST_F(Requests, SearchWithSeveralMatchesListsThem)
{
    TSubjectProperty prop;
    Wire(prop, doc, Host(), "/cgi-bin/PropSearch.exe");
    prop.Values.apn = QStringLiteral("MULTI");
    EXPECT_EQ(prop.Search(59, 4127), QStringLiteral("prop.list"));
    const TXMLElement* first = doc.RequestElement()->getFirstChildElement();
    ASSERT_NE(first, nullptr);
    EXPECT_GT(ChildElementCount(doc.RequestElement()), 1);
    for (const char* attr : {"name", "address", "city", "apn", "land_use", "parcel"})
        EXPECT_FALSE(first->getAttribute(QLatin1String(attr)).isEmpty()) << attr;
    const int parcel = first->getAttribute(QStringLiteral("parcel")).toInt();

    doc.SetLogEvent(true);
    prop.GetProperty(59, parcel, 0, 4127);
    EXPECT_EQ(doc.VxpTypeName, QStringLiteral("prop.data"));
    EXPECT_EQ(doc.RequestElement()->getAttribute(QStringLiteral("parcel")), QString::number(parcel));
    EXPECT_TRUE(LastRequest(Service())
                    .value(QStringLiteral("request"))
                    .toString()
                    .contains(QStringLiteral(
                        "<prop.get version = \"1.0\" UserID = \"0\" County = \"0\" LogEvent = \"Y\" county = \"59\"")));
}

TEST_F(Requests, SearchWithoutAMatchShowsTheServersMessage)
{
    TSubjectProperty prop;
    Wire(prop, doc, Host(), "/cgi-bin/PropSearch.exe");
    prop.Values.apn = QStringLiteral("NONE");
    EXPECT_EQ(prop.Search(59, 4127), QString());
    EXPECT_EQ(m_dialogs.LastText(), QStringLiteral("No properties were found that match your search."));

    prop.Values.apn = QStringLiteral("EMPTYLIST");
    EXPECT_EQ(prop.Search(59, 4127), QStringLiteral("prop.list"));
    EXPECT_EQ(ChildElementCount(doc.RequestElement()), 0);
}

TEST_F(Requests, PropertyVariants)
{
    TSubjectProperty prop;
    Wire(prop, doc, Host(), "/cgi-bin/PropSearch.exe");
    prop.GetProperty(59, 100240, 0, 4127); // no recorded transfer
    EXPECT_EQ(prop.SoldPrice(), 0);
    prop.GetProperty(59, 100241, 0, 4127);
    EXPECT_EQ(prop.ElementText(QStringLiteral("house_sqft")), QStringLiteral("N/A"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("prop_type")), QStringLiteral("R1"));
    Service().Next(QStringLiteral("get"), QStringLiteral("situs"));
    prop.GetProperty(59, 100231, 0, 4127);
    EXPECT_TRUE(prop.ElementText(QStringLiteral("address")).contains(QStringLiteral("SITUS")));
    EXPECT_EQ(ErrorOf([&] { prop.GetProperty(59, 999, 0, 4127); }), QStringLiteral("Property 999 was not found."));
}

class Comps : public Requests {
protected:
    void SetUp() override
    {
        Requests::SetUp();
        Wire(comps, doc, Host(), "/cgi-bin/IComps.exe");
        comps.County = 59;
        comps.UserId = 4127;
        comps.SetParcelID(100231);
        comps.OnRecievedDoc = [this](QObject* sender) {
            EXPECT_EQ(sender, &comps);
            ++received;
        };
    }
    TvxComps comps;
    int received = 0;
};

TEST_F(Comps, ASearchLoadsOneRecordPerAnswerElement)
{
    comps.Latitude = 37.08124;
    comps.Longitude = -119.52041;
    comps.Baths = 2.5;
    comps.SearchByParams = {QStringLiteral("R1-7")};
    EXPECT_EQ(comps.GetComps(), QStringLiteral("comps.result"));
    EXPECT_TRUE(LastRequest(Service()).value(QStringLiteral("error")).isNull());
    EXPECT_EQ(received, 1);
    EXPECT_EQ(comps.Records.Count(), 36);
    EXPECT_EQ(comps.Records.Index(), 0);
    EXPECT_TRUE(comps.Records.Bof());
    EXPECT_FALSE(comps.Records.Eof());

    // Walk the records and read the fields every consumer reads.
    QSet<QString> statuses;
    int emptyUse = -1;
    int walked = 0;
    for (comps.Records.First(); !comps.Records.Eof(); comps.Records.Next()) {
        ++walked;
        statuses.insert(comps.Records.Field(QStringLiteral("status")));
        EXPECT_FALSE(comps.Records.Field(QStringLiteral("apn")).isEmpty());
        EXPECT_FALSE(comps.Records.Field(QStringLiteral("struct_type")).isEmpty());
        EXPECT_FALSE(comps.Records.Field(QStringLiteral("structure_type")).isEmpty());
        const QString use = comps.Records.Field(QStringLiteral("use_rec"));
        EXPECT_TRUE(use == QLatin1String("Y") || use == QLatin1String("N") || use.isEmpty());
        if (use.isEmpty()) emptyUse = comps.Records.Index();
    }
    EXPECT_EQ(walked, 36);
    EXPECT_EQ(comps.Records.Index(), 35);
    for (const char* s : {"0", "3", "7", "8", "9"}) EXPECT_TRUE(statuses.contains(QLatin1String(s))) << s;

    // A tick on the comp with an empty use_rec is kept.
    ASSERT_GE(emptyUse, 0);
    EXPECT_FALSE(comps.Records.IsUsed(emptyUse));
    comps.Records.SetUsed(emptyUse, true);
    EXPECT_TRUE(comps.Records.IsUsed(emptyUse));
    comps.Records.SetUsed(emptyUse, false);
    EXPECT_FALSE(comps.Records.IsUsed(emptyUse));
    EXPECT_EQ(comps.Records.Rec(emptyUse).GetValue(QStringLiteral("use_rec")), QStringLiteral("N"));
}

TEST_F(Comps, RecordCountsAndOtherAnswers)
{
    Service().Next(QStringLiteral("comps"), QStringLiteral("count"), 1, QJsonObject{{QStringLiteral("count"), 0}});
    EXPECT_EQ(comps.GetComps(), QStringLiteral("comps.result"));
    EXPECT_EQ(comps.Records.Count(), 0);
    EXPECT_TRUE(comps.Records.Eof());
    EXPECT_FALSE(comps.Records.IsUsed(0));
    EXPECT_EQ(comps.Records.Field(QStringLiteral("address")), QString());
    EXPECT_EQ(received, 1);

    Service().Next(QStringLiteral("comps"), QStringLiteral("count"), 1, QJsonObject{{QStringLiteral("count"), 1}});
    comps.GetComps();
    EXPECT_EQ(comps.Records.Count(), 1);
    EXPECT_EQ(comps.Records.LastIndex(), 0);

    Service().Next(QStringLiteral("comps"), QStringLiteral("wrong-type"));
    EXPECT_EQ(ErrorOf([&] { comps.GetComps(); }), QStringLiteral("Invalid document type"));
    EXPECT_EQ(comps.Records.Count(), 0);
    EXPECT_EQ(received, 2);

    Service().Next(QStringLiteral("comps"), QStringLiteral("message"));
    EXPECT_EQ(comps.GetComps(), QString());
    EXPECT_EQ(comps.Records.Count(), 0);
    EXPECT_EQ(received, 2);
}

TEST_F(Comps, RecordsGoWithTheirDocument)
{
    comps.GetComps();
    ASSERT_EQ(comps.Records.Count(), 36);
    doc.NewDocument(); // another tree: the records' nodes are gone
    EXPECT_EQ(comps.Records.Count(), 0);
    EXPECT_EQ(comps.Records.Field(QStringLiteral("address")), QString());
    EXPECT_THROW(comps.Records.Rec(0), EListError);
}

class ReportRoad : public Comps { };

TEST_F(ReportRoad, MapRequestAndReportData)
{
    TSubjectProperty prop;
    TvxpDocument propDoc;
    Wire(prop, propDoc, Host(), "/cgi-bin/PropSearch.exe");
    prop.GetProperty(59, 100231, 0, 4127);
    ASSERT_EQ(comps.GetComps(), QStringLiteral("comps.result"));

    // The map request as the main window builds it: the subject, then every
    // comp marked for use.
    TvxpDocument mapDoc;
    TvxRequestMap map;
    Wire(map, mapDoc, Host(), "/cgi-bin/RequestMap.exe");
    int mapReceived = 0;
    map.OnRecievedDoc = [&](QObject*) { ++mapReceived; };
    mapDoc.VxpTypeName = QStringLiteral("map.request");
    mapDoc.VxpTypeVersion = QStringLiteral("1.0");
    mapDoc.NewDocument();
    mapDoc.SetCounty(59);
    mapDoc.SetUserId(4127);
    TXMLDocument* x = mapDoc.XMLDocument();
    auto add = [&](TXMLElement* parent, const QString& name) {
        auto* e = new TXMLElement(name, x);
        parent->appendChild(e);
        return e;
    };
    auto addText = [&](TXMLElement* parent, const QString& name, const QString& text) {
        add(parent, name)->appendText(new TXMLText(TvxpDocument::XmlEscape(text), x));
    };
    TXMLElement* hazard = add(mapDoc.RequestElement(), QStringLiteral("hazard"));
    hazard->setAttribute(QStringLiteral("image_type"), QStringLiteral("wmf"));
    hazard->setAttribute(QStringLiteral("request"), QStringLiteral("Y"));
    TXMLElement* street = add(mapDoc.RequestElement(), QStringLiteral("street"));
    street->setAttribute(QStringLiteral("image_type"), QStringLiteral("jpg"));
    street->setAttribute(QStringLiteral("request"), QStringLiteral("Y"));
    street->setAttribute(QStringLiteral("tour"), QStringLiteral("N"));
    TXMLElement* items = add(mapDoc.RequestElement(), QStringLiteral("items"));
    TXMLElement* subject = add(items, QStringLiteral("item"));
    addText(subject, QStringLiteral("address"), prop.ElementText(QStringLiteral("address")));
    addText(subject, QStringLiteral("price"), prop.ElementText(QStringLiteral("sold_price")));
    addText(subject, QStringLiteral("lat"), prop.ElementText(QStringLiteral("latitude")));
    addText(subject, QStringLiteral("lon"), prop.ElementText(QStringLiteral("longitude")));
    addText(subject, QStringLiteral("stat"), QStringLiteral("T"));
    int used = 0;
    for (comps.Records.First(); !comps.Records.Eof(); comps.Records.Next()) {
        if (comps.Records.Field(QStringLiteral("use_rec")) != QLatin1String("Y")) continue;
        ++used;
        TXMLElement* item = add(items, QStringLiteral("item"));
        addText(item, QStringLiteral("address"), comps.Records.Field(QStringLiteral("address")));
        addText(item, QStringLiteral("price"), comps.Records.Field(QStringLiteral("sold_price")));
        addText(item, QStringLiteral("lat"), comps.Records.Field(QStringLiteral("lat")));
        addText(item, QStringLiteral("lon"), comps.Records.Field(QStringLiteral("lon")));
        addText(item, QStringLiteral("stat"), comps.Records.Field(QStringLiteral("status")));
    }
    EXPECT_GT(used, 0);
    map.Execute();
    EXPECT_TRUE(LastRequest(Service()).value(QStringLiteral("error")).isNull())
        << LastRequest(Service()).value(QStringLiteral("error")).toString().toStdString();
    EXPECT_EQ(mapReceived, 1);
    const int mapId = mapDoc.RequestElement()->getAttribute(QStringLiteral("mapid")).toInt();
    EXPECT_GE(mapId, 1);

    // The report data of every part.
    TvxpDocument rptDoc;
    TvxRptGen rpt;
    Wire(rpt, rptDoc, Host(), "/cgi-bin/RptGen.exe");
    rpt.County = 59;
    rpt.UserId = 4127;
    rpt.Latitude = 37.08124;
    rpt.Longitude = -119.52041;
    rpt.IncludeCensus = true;
    rpt.CensusTract = prop.ElementText(QStringLiteral("census_tract"));
    rpt.IncludeSchool = true;
    rpt.SchoolAndOr = QStringLiteral("A");
    rpt.IncludeServices = true;
    rpt.ServicesCity = prop.ElementText(QStringLiteral("city"));
    rpt.ServicesAndOr = QStringLiteral("A");
    rpt.ServicesArea = 9;
    rpt.IncludePhotos = true;
    for (comps.Records.First(); !comps.Records.Eof(); comps.Records.Next())
        rpt.PhotoApns << comps.Records.Field(QStringLiteral("apn"));
    rpt.MapId = mapId;
    rpt.StreetMap = true;
    rpt.HazardMap = true;
    EXPECT_EQ(rpt.Execute(), QStringLiteral("rptgen.response"));
    EXPECT_TRUE(LastRequest(Service()).value(QStringLiteral("error")).isNull());

    const TXMLElement* answer = rptDoc.RequestElement();
    const TXMLElement* census = ChildElement(answer, QStringLiteral("census"));
    ASSERT_NE(census, nullptr);
    EXPECT_NE(ChildElement(census, QStringLiteral("population")), nullptr);
    EXPECT_EQ(ChildElement(answer, QStringLiteral("short_school"))->getAttribute(QStringLiteral("found")),
              QStringLiteral("Y"));
    EXPECT_EQ(ChildElement(answer, QStringLiteral("services"))->getAttribute(QStringLiteral("found")),
              QStringLiteral("Y"));

    // Photos: JPEG pictures keyed by the apn without dashes; one is broken.
    int good = 0, bad = 0;
    for (TXMLElement* p = ChildElement(answer, QStringLiteral("photos"))->getFirstChildElement(); p;
         p = p->getNextSiblingElement()) {
        EXPECT_FALSE(p->getAttribute(QStringLiteral("apn")).contains(u'-'));
        QImage photo;
        try {
            TvxpDocument::DecodeJpeg(ElementText(p), photo);
            EXPECT_FALSE(photo.isNull());
            ++good;
        } catch (const EInvalidGraphic&) {
            ++bad;
        }
    }
    EXPECT_GT(good, 0);
    EXPECT_EQ(bad, 1);

    // Maps: the street map a metafile, the hazard map a JPEG picture.
    const TXMLElement* maps = ChildElement(answer, QStringLiteral("maps"));
    ASSERT_NE(maps, nullptr);
    EXPECT_EQ(ChildElement(maps, QStringLiteral("street"))->getAttribute(QStringLiteral("status")),
              QStringLiteral("0"));
    TMetafilePicture streetMap;
    TvxpDocument::DecodeMetafile(ElementText(ChildElement(maps, QStringLiteral("street"))), streetMap);
    EXPECT_TRUE(streetMap.Placeable());
    QImage hazardMap;
    TvxpDocument::DecodeJpeg(ElementText(ChildElement(maps, QStringLiteral("hazard"))), hazardMap);
    EXPECT_FALSE(hazardMap.isNull());
}
