// vxdriver: runs the service road against a host, the way the program does it,
// and prints what it received: the configuration document (its version and
// the five service paths), login, property search and fetch, comps search,
// map request, report data, the assessor map sheets from the tax-map server,
// and the personal page loaded and saved.
//
//   vxdriver --host HOST[:PORT] [options]
//     --user NAME            login name (demo)
//     --password TEXT        password (demo)
//     --county ID            county id (the first county of the login answer)
//     --apn TEXT             parcel number typed into the search (512-034-019)
//     --data-dir DIR         where myinfo.xml is (a new temporary directory)
//     --out-dir DIR          where the map sheets go (the temporary directory)
//     --keep-sheets          leave the map sheets in place
//
// Exit status: 0 when the whole road ran; 1 with the error text on standard
// error when a step failed; 2 for a usage error.

#include "platform/kernel/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/core/Directories.h"
#include "platform/net/HttpErrors.h"
#include "platform/core/SysUtils.h"
#include "platform/graphics/EInvalidGraphic.h"
#include "protocol/FieldTexts.h"
#include "protocol/TMetafilePicture.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TextSearch.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxLogin.h"
#include "protocol/TvxRequestMap.h"
#include "protocol/TvxRptGen.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/WireNumbers.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

void Out(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A step of the road failed with this text.
struct RoadError {
    QString text;
};

[[noreturn]] void Fail(const QString& text) { throw RoadError{text}; }

// The message boxes the protocol showed since the last call.
void ShowMessages(DialogResponder& dialogs, int& seen)
{
    for (; seen < dialogs.Shown().size(); ++seen) Out(QStringLiteral("  message box: ") + dialogs.Shown()[seen].text);
}

struct County {
    int id = 0;
    QString name, state, apnMap;
    bool photos = false, hazards = false;
};

struct Road {
    QString host;
    QString user, password, apn;
    int countyId = 0;
    QString dataDir, outDir;
    bool keepSheets = false;

    TvxpDocument configDoc, loginDoc, propDoc, compsDoc, mapDoc, rptDoc;
    TvxLogin login;
    TSubjectProperty subProp;
    TvxComps comps;
    TvxRequestMap requestMap;
    TvxRptGen rptGen;
    TvxAssessorMap assessorMap;
    TvxpPersonalInfo personal;
    ScopedDialogResponder dialogs;
    int dialogsSeen = 0;

    int userId = 0;
    QString assrMapIp;
    int assrMapPort = 9000;
    bool mlsValid = false;
    QList<County> counties;
    County county;
    int mapId = 0;

    void Wire()
    {
        login.SetVxpDocument(&loginDoc);
        subProp.SetVxpDocument(&propDoc);
        comps.SetVxpDocument(&compsDoc);
        requestMap.SetVxpDocument(&mapDoc);
        rptGen.SetVxpDocument(&rptDoc);
        for (TvxCustomConnection* c :
             {static_cast<TvxCustomConnection*>(&login), static_cast<TvxCustomConnection*>(&subProp),
              static_cast<TvxCustomConnection*>(&comps), static_cast<TvxCustomConnection*>(&requestMap),
              static_cast<TvxCustomConnection*>(&rptGen)}) {
            c->SetHost(host);
            c->SetHostServer(host);
        }
        subProp.CgiPath = QStringLiteral("/cgi-bin/PropSearch.exe");
        subProp.SetContentEncoding(QStringLiteral("ZIP,ENC"));
        comps.CgiPath = QStringLiteral("/cgi-bin/IComps.exe");
        personal.SetFileName(dataDir + QStringLiteral("/myinfo.xml"));
        assessorMap.OutputDir = outDir;
    }

    void Configuration()
    {
        Out(QStringLiteral("== configuration: GET http://%1/vxpconfig.xml").arg(host));
        THttpClient download;
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        try {
            download.Get(QStringLiteral("http://") + host + QStringLiteral("/vxpconfig.xml"), stream);
        } catch (const EHttpClientDestroyed&) {
            throw;
        } catch (const Exception& e) {
            const QString text = TvxCustomConnection::TranslateSocketError(e.Message());
            if (text.contains(QLatin1String("Connection timed out")))
                Fail(QStringLiteral("Can not connect to ") + host);
            Fail(text);
        }
        download.Disconnect();
        stream.seek(0);
        configDoc.LoadServiceAnswer(&stream);
        if (configDoc.VxpTypeVersion != QLatin1String("1.0")) Fail(QStringLiteral("Invalid config document version"));
        const TXMLElement* profile = configDoc.RequestElement()->getFirstChildElement();
        if (profile && profile->getTagName() == QLatin1String("vxprofile") &&
            profile->getAttribute(QStringLiteral("version")) == QLatin1String("1.0")) {
            for (const TXMLElement* e = profile->getFirstChildElement(); e; e = e->getNextSiblingElement()) {
                const QString tag = e->getTagName();
                const QString path = ElementText(e);
                if (tag == QLatin1String("propsrch"))
                    subProp.CgiPath = path;
                else if (tag == QLatin1String("login"))
                    login.CgiPath = path;
                else if (tag == QLatin1String("comps"))
                    comps.CgiPath = path;
                else if (tag == QLatin1String("requestmap"))
                    requestMap.CgiPath = path;
                else if (tag == QLatin1String("rptgen"))
                    rptGen.CgiPath = path;
            }
        } else {
            Out(QStringLiteral("  no vxprofile of version 1.0: the paths stay as they were"));
        }
        Out(QStringLiteral("  propsrch=%1 login=%2 comps=%3 requestmap=%4 rptgen=%5")
                .arg(subProp.CgiPath, login.CgiPath, comps.CgiPath, requestMap.CgiPath, rptGen.CgiPath));
    }

    void Login()
    {
        Out(QStringLiteral("== login as %1").arg(user));
        personal.Load();
        login.UserName = user;
        login.Password = password;
        login.ProgramVersion = QStringLiteral("1.01");
        if (personal.ShowMls) {
            login.MlsUser = personal.LastName();
            login.MlsPass = personal.MlsMemberId();
        }
        login.MlsId = personal.MlsId();
        const QString type = login.Execute();
        ShowMessages(dialogs, dialogsSeen);
        if (type != QLatin1String("login.response")) Fail(QStringLiteral("Invalid login Document"));
        const TXMLElement* answer = loginDoc.RequestElement();
        if (answer->getAttribute(QStringLiteral("result")) != QLatin1String("true"))
            Fail(QStringLiteral("login refused: ") + ElementText(ChildElement(answer, QStringLiteral("message"))));
        userId = StrToIntDef(answer->getAttribute(QStringLiteral("UserId")), -99);
        assrMapIp = ElementText(ChildElement(answer, QStringLiteral("assr_map_ip")));
        assrMapPort = StrToIntDef(ElementText(ChildElement(answer, QStringLiteral("assr_map_port"))), 9000);
        mlsValid = ElementText(ChildElement(answer, QStringLiteral("mls_valid"))) == QLatin1String("Y");
        personal.ShowMls = ElementText(ChildElement(answer, QStringLiteral("mlslogin"))) == QLatin1String("Y");
        Out(QStringLiteral("  user id %1, name \"%2\", title \"%3\", tax-map server %4:%5, MLS %6")
                .arg(userId)
                .arg(ElementText(ChildElement(answer, QStringLiteral("username"))),
                     ElementText(ChildElement(answer, QStringLiteral("titleconame"))), assrMapIp)
                .arg(assrMapPort)
                .arg(mlsValid ? QStringLiteral("valid") : QStringLiteral("not valid")));
        const QString logoText = ElementText(ChildElement(answer, QStringLiteral("logo")));
        if (!logoText.isEmpty()) {
            QImage logo;
            try {
                TvxpDocument::DecodeBitmap(logoText, logo);
                Out(QStringLiteral("  logo %1 x %2").arg(logo.width()).arg(logo.height()));
            } catch (const EInvalidGraphic& e) {
                Out(QStringLiteral("  logo not shown: ") + e.Message());
            }
        }
        for (const TXMLElement* c = ChildElement(answer, QStringLiteral("counties"))
                 ? ChildElement(answer, QStringLiteral("counties"))->getFirstChildElement()
                 : nullptr;
             c; c = c->getNextSiblingElement()) {
            County k;
            bool ok = false;
            k.id = c->getAttribute(QStringLiteral("num")).toInt(&ok);
            if (!ok) Fail(QStringLiteral("Invalid County"));
            k.name = c->getAttribute(QStringLiteral("name"));
            k.state = c->getAttribute(QStringLiteral("state"));
            k.apnMap = c->getAttribute(QStringLiteral("apnmap"));
            k.photos = c->getAttribute(QStringLiteral("photos")) == QLatin1String("Y");
            k.hazards = c->getAttribute(QStringLiteral("hazards")) == QLatin1String("Y");
            counties.append(k);
            Out(QStringLiteral("  county %1: %2 - %3 (tax map \"%4\")").arg(k.id).arg(k.name, k.state, k.apnMap));
        }
        Out(QStringLiteral("  %1 search types, %2 report pages")
                .arg(ChildElementCount(
                    ChildElement(ChildElement(answer, QStringLiteral("comps")), QStringLiteral("searchby"))))
                .arg(ChildElementCount(ChildElement(answer, QStringLiteral("rpages")))));
        if (const TXMLElement* providers = ChildElement(answer, QStringLiteral("providers"))) {
            personal.ClearProviders();
            for (const TXMLElement* p = providers->getFirstChildElement(); p; p = p->getNextSiblingElement())
                personal.AddProvider(p->getAttribute(QStringLiteral("id")), p->getAttribute(QStringLiteral("name")));
            Out(QStringLiteral("  %1 listing-service providers").arg(personal.Providers().Count()));
        }
        comps.MlsId = mlsValid ? personal.MlsId() : QString();
        if (counties.isEmpty()) Fail(QStringLiteral("the login answer names no county"));
        county = counties.first();
        for (const County& k : counties)
            if (k.id == countyId) county = k;
    }

    void Search()
    {
        Out(QStringLiteral("== property search in county %1 for parcel \"%2\"").arg(county.id).arg(apn));
        propDoc.SetLogEvent(true);
        subProp.Values.apn = apn;
        const QString type = subProp.Search(county.id, userId);
        ShowMessages(dialogs, dialogsSeen);
        if (type.isEmpty()) Fail(QStringLiteral("the search ended with the server's message"));
        if (type == QLatin1String("prop.list")) {
            const TXMLElement* answer = propDoc.RequestElement();
            Out(QStringLiteral("  Found %1 Properties").arg(ChildElementCount(answer)));
            int chosen = 0;
            for (const TXMLElement* row = answer->getFirstChildElement(); row; row = row->getNextSiblingElement()) {
                Out(QStringLiteral("  %1 | %2, %3 | %4 | %5")
                        .arg(row->getAttribute(QStringLiteral("parcel")), row->getAttribute(QStringLiteral("address")),
                             row->getAttribute(QStringLiteral("city")), row->getAttribute(QStringLiteral("apn")),
                             row->getAttribute(QStringLiteral("name"))));
                if (!chosen) chosen = StrToIntDef(row->getAttribute(QStringLiteral("parcel")), 0);
            }
            if (chosen < 1) Fail(QStringLiteral("Invalid property id!"));
            propDoc.SetEvent(QStringLiteral("PROP_FOUND"));
            Out(QStringLiteral("== fetch of property %1").arg(chosen));
            subProp.GetProperty(county.id, chosen, 0, userId);
            ShowMessages(dialogs, dialogsSeen);
        } else if (type != QLatin1String("prop.data")) {
            Fail(QStringLiteral("unexpected search answer ") + type);
        }
        Out(QStringLiteral("  %1: %2, %3; owner %4; apn %5; %6 sq ft, %7 bed, %8 bath; sold price %9")
                .arg(propDoc.RequestElement()->getAttribute(QStringLiteral("parcel")),
                     subProp.ElementText(QStringLiteral("address")), subProp.ElementText(QStringLiteral("city_state")),
                     subProp.ElementText(QStringLiteral("owner1")), subProp.ElementText(QStringLiteral("apn")),
                     subProp.ElementText(QStringLiteral("house_sqft")), subProp.ElementText(QStringLiteral("bed")),
                     subProp.ElementText(QStringLiteral("bath")))
                .arg(subProp.SoldPrice()));
    }

    void CompsSearch()
    {
        Out(QStringLiteral("== comps search"));
        auto number = [&](const QString& name, int def) {
            return StrToIntDef(FastReplace(subProp.ElementText(name), QStringLiteral(","), QString()), def);
        };
        comps.Sqft = number(QStringLiteral("house_sqft"), 0);
        comps.Beds = number(QStringLiteral("bed"), 0);
        comps.LotSqft = number(QStringLiteral("lot_sqft"), 0);
        comps.Baths = StrToFloatDefault(subProp.ElementText(QStringLiteral("bath")), 0);
        comps.SetPrice(subProp.SoldPrice());
        comps.Latitude = StrToFloatDefault(subProp.ElementText(QStringLiteral("latitude")), 0);
        comps.Longitude = StrToFloatDefault(subProp.ElementText(QStringLiteral("longitude")), 0);
        comps.StructType = StrToIntDef(subProp.ElementText(QStringLiteral("prop_type")), 1);
        comps.SetParcelID(StrToIntDef(propDoc.RequestElement()->getAttribute(QStringLiteral("parcel")), 1));
        comps.ApnBook = subProp.ElementText(QStringLiteral("apn_book")).left(255);
        comps.County = county.id;
        comps.UserId = userId;
        const QString type = comps.GetComps();
        ShowMessages(dialogs, dialogsSeen);
        if (type.isEmpty()) Fail(QStringLiteral("the comps search ended with the server's message"));
        QMap<QString, int> statuses;
        int used = 0;
        for (comps.Records.First(); !comps.Records.Eof(); comps.Records.Next()) {
            ++statuses[comps.Records.Field(QStringLiteral("status_text"))];
            if (comps.Records.IsUsed(comps.Records.Index())) ++used;
        }
        QStringList parts;
        for (auto it = statuses.cbegin(); it != statuses.cend(); ++it)
            parts << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
        Out(QStringLiteral("  %1 comps (%2), %3 marked for use")
                .arg(comps.Records.Count())
                .arg(parts.join(QStringLiteral(", ")))
                .arg(used));
    }

    void MapRequest()
    {
        Out(QStringLiteral("== map request"));
        mapDoc.VxpTypeName = QStringLiteral("map.request");
        mapDoc.VxpTypeVersion = QStringLiteral("1.0");
        mapDoc.NewDocument();
        mapDoc.SetCounty(county.id);
        mapDoc.SetUserId(userId);
        TXMLDocument* doc = mapDoc.XMLDocument();
        auto add = [&](TXMLElement* parent, const QString& name) {
            auto element = std::make_unique<TXMLElement>(name, doc);
            parent->appendChild(element.get());
            return element.release();
        };
        auto addText = [&](TXMLElement* parent, const QString& name, const QString& text) {
            TXMLElement* e = add(parent, name);
            if (!text.isEmpty()) e->appendText(new TXMLText(XmlEscape(text), doc));
        };
        TXMLElement* request = mapDoc.RequestElement();
        TXMLElement* hazard = add(request, QStringLiteral("hazard"));
        hazard->setAttribute(QStringLiteral("image_type"), QStringLiteral("wmf"));
        hazard->setAttribute(QStringLiteral("request"), BoolToYN(county.hazards));
        TXMLElement* street = add(request, QStringLiteral("street"));
        street->setAttribute(QStringLiteral("image_type"), QStringLiteral("jpg"));
        street->setAttribute(QStringLiteral("request"), QStringLiteral("Y"));
        street->setAttribute(QStringLiteral("tour"), QStringLiteral("N"));
        TXMLElement* items = add(request, QStringLiteral("items"));
        TXMLElement* subject = add(items, QStringLiteral("item"));
        addText(subject, QStringLiteral("address"), subProp.ElementText(QStringLiteral("address")));
        addText(subject, QStringLiteral("price"), subProp.ElementText(QStringLiteral("sold_price")));
        addText(subject, QStringLiteral("lat"), subProp.ElementText(QStringLiteral("latitude")));
        addText(subject, QStringLiteral("lon"), subProp.ElementText(QStringLiteral("longitude")));
        addText(subject, QStringLiteral("stat"), QStringLiteral("T"));
        int sent = 0;
        for (comps.Records.First(); !comps.Records.Eof(); comps.Records.Next()) {
            if (comps.Records.Field(QStringLiteral("use_rec")) != QLatin1String("Y")) continue;
            TXMLElement* item = add(items, QStringLiteral("item"));
            QString address = comps.Records.Field(QStringLiteral("address"));
            if (address.toUpper().contains(QLatin1String("SITUS")))
                address = comps.Records.Field(QStringLiteral("apn")).left(255);
            const QString status = comps.Records.Field(QStringLiteral("status"));
            const bool priced = status == QLatin1String("8") || status == QLatin1String("0") ||
                status == QLatin1String("3") || status == QLatin1String("7");
            addText(item, QStringLiteral("address"), address);
            addText(item, QStringLiteral("price"),
                    priced ? comps.Records.Field(QStringLiteral("sold_price")) : QString());
            addText(item, QStringLiteral("lat"), comps.Records.Field(QStringLiteral("lat")));
            addText(item, QStringLiteral("lon"), comps.Records.Field(QStringLiteral("lon")));
            addText(item, QStringLiteral("stat"), status);
            ++sent;
        }
        requestMap.Execute();
        ShowMessages(dialogs, dialogsSeen);
        mapId = mapDoc.RequestElement() ? StrToIntDef(mapDoc.RequestElement()->getAttribute(QStringLiteral("mapid")), 0)
                                        : 0;
        Out(QStringLiteral("  %1 items sent, map id %2").arg(sent + 1).arg(mapId));
    }

    void ReportData()
    {
        Out(QStringLiteral("== report data"));
        rptGen.County = county.id;
        rptGen.UserId = userId;
        rptGen.Latitude = StrToFloatDefault(subProp.ElementText(QStringLiteral("latitude")), 0);
        rptGen.Longitude = StrToFloatDefault(subProp.ElementText(QStringLiteral("longitude")), 0);
        rptGen.IncludeCensus = true;
        rptGen.CensusTract = subProp.ElementText(QStringLiteral("census_tract"));
        rptGen.IncludeSchool = true;
        rptGen.SchoolAndOr = QStringLiteral("A");
        rptGen.IncludeServices = true;
        rptGen.ServicesCity = subProp.ElementText(QStringLiteral("city"));
        rptGen.ServicesAndOr = QStringLiteral("A");
        rptGen.ServicesArea = 9.0;
        rptGen.IncludePhotos = comps.Records.Count() > 0;
        for (comps.Records.First(); !comps.Records.Eof(); comps.Records.Next())
            rptGen.PhotoApns << comps.Records.Field(QStringLiteral("apn"));
        rptGen.MapId = mapId;
        rptGen.StreetMap = mapId >= 1;
        rptGen.HazardMap = mapId >= 1;
        rptGen.IncludeAssessorMap = true;
        const QString type = rptGen.Execute();
        ShowMessages(dialogs, dialogsSeen);
        if (type.isEmpty()) Fail(QStringLiteral("the report-data request ended with the server's message"));
        const TXMLElement* answer = rptDoc.RequestElement();
        Out(QStringLiteral("  answer %1: census groups %2, school districts %3, service categories %4")
                .arg(type)
                .arg(ChildElementCount(ChildElement(answer, QStringLiteral("census"))))
                .arg(ChildElementCount(ChildElement(answer, QStringLiteral("short_school"))))
                .arg(ChildElementCount(ChildElement(answer, QStringLiteral("services")))));
        int good = 0, bad = 0;
        for (const TXMLElement* p = ChildElement(answer, QStringLiteral("photos"))
                 ? ChildElement(answer, QStringLiteral("photos"))->getFirstChildElement()
                 : nullptr;
             p; p = p->getNextSiblingElement()) {
            QImage photo;
            try {
                TvxpDocument::DecodeJpeg(ElementText(p), photo);
                ++good;
            } catch (const EInvalidGraphic&) {
                ++bad;
            }
        }
        Out(QStringLiteral("  photos: %1 pictures, %2 not readable").arg(good).arg(bad));
        if (const TXMLElement* maps = ChildElement(answer, QStringLiteral("maps"))) {
            if (const TXMLElement* street = ChildElement(maps, QStringLiteral("street"))) {
                TMetafilePicture picture;
                QString state = QStringLiteral("status ") + street->getAttribute(QStringLiteral("status"));
                try {
                    TvxpDocument::DecodeMetafile(ElementText(street), picture);
                    state += QStringLiteral(", metafile of %1 bytes").arg(picture.Data().size());
                } catch (const EInvalidGraphic& e) {
                    state += QStringLiteral(", ") + e.Message();
                }
                Out(QStringLiteral("  street map: ") + state);
            }
            if (const TXMLElement* hazard = ChildElement(maps, QStringLiteral("hazard"))) {
                QImage picture;
                QString state = QStringLiteral("status ") + hazard->getAttribute(QStringLiteral("status"));
                try {
                    TvxpDocument::DecodeJpeg(ElementText(hazard), picture);
                    state += QStringLiteral(", %1 x %2 picture").arg(picture.width()).arg(picture.height());
                } catch (const EInvalidGraphic& e) {
                    state += QStringLiteral(", ") + e.Message();
                }
                Out(QStringLiteral("  hazard map: ") + state);
            }
        }
    }

    void MapSheets()
    {
        const QString parcel =
            FastReplace(subProp.ElementText(QStringLiteral("apn_book_page")), QStringLiteral(","), QStringLiteral("-"));
        Out(QStringLiteral("== assessor map sheets of %1 in \"%2\" from %3:%4")
                .arg(parcel, county.apnMap, assrMapIp)
                .arg(assrMapPort));
        assessorMap.SetHost(assrMapIp);
        assessorMap.SetPort(assrMapPort);
        const int sheets = assessorMap.GetSheets(county.apnMap, parcel);
        Out(QStringLiteral("  %1 sheets").arg(sheets));
        for (const QString& file : assessorMap.SheetFiles()) {
            Out(QStringLiteral("  %1 (%2 bytes)").arg(file).arg(QFile(file).size()));
            if (!keepSheets) QFile::remove(file);
        }
    }

    void PersonalPage()
    {
        Out(QStringLiteral("== personal page %1").arg(personal.FileName()));
        if (personal.FullName().isEmpty()) personal.SetFullName(user);
        personal.Dirty = true;
        personal.Save();
        TvxpPersonalInfo back;
        back.SetFileName(personal.FileName());
        back.Load();
        if (back.FullName() != personal.FullName() || back.Providers().Count() != personal.Providers().Count())
            Fail(QStringLiteral("the personal page did not read back as saved"));
        Out(QStringLiteral("  saved and read back: \"%1\", %2 providers, MLS id \"%3\" (%4)")
                .arg(back.FullName())
                .arg(back.Providers().Count())
                .arg(back.MlsId(), back.ProviderName()));
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs the service road against a host and prints what it received."));
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Service host, HOST[:PORT]."),
                                  QStringLiteral("host"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Login name."), QStringLiteral("name"),
                                  QStringLiteral("demo"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Password."), QStringLiteral("text"),
                                      QStringLiteral("demo"));
    const QCommandLineOption county(QStringLiteral("county"), QStringLiteral("County id."), QStringLiteral("id"));
    const QCommandLineOption apn(QStringLiteral("apn"), QStringLiteral("Parcel number to search."),
                                 QStringLiteral("text"), QStringLiteral("512-034-019"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Directory of myinfo.xml."),
                                     QStringLiteral("dir"));
    const QCommandLineOption outDir(QStringLiteral("out-dir"), QStringLiteral("Directory of the map sheets."),
                                    QStringLiteral("dir"));
    const QCommandLineOption keep(QStringLiteral("keep-sheets"), QStringLiteral("Leave the map sheets in place."));
    parser.addOptions({host, user, password, county, apn, dataDir, outDir, keep});
    if (!parser.parse(app.arguments()) || !parser.isSet(host) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "%s\n%s", parser.errorText().toLocal8Bit().constData(),
                     parser.helpText().toLocal8Bit().constData());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }

    QTemporaryDir scratch;
    auto road = std::make_unique<Road>();
    road->host = parser.value(host);
    road->user = parser.value(user);
    road->password = parser.value(password);
    road->apn = parser.value(apn);
    road->countyId = parser.value(county).toInt();
    road->dataDir = parser.isSet(dataDir) ? parser.value(dataDir) : scratch.path();
    road->outDir = parser.isSet(outDir) ? parser.value(outDir) : QString();
    road->keepSheets = parser.isSet(keep);
    try {
        road->Wire();
        road->Configuration();
        road->Login();
        road->Search();
        road->CompsSearch();
        road->MapRequest();
        road->ReportData();
        road->MapSheets();
        road->PersonalPage();
    } catch (const RoadError& e) {
        std::fprintf(stderr, "error: %s\n", e.text.toUtf8().constData());
        return 1;
    } catch (const Exception& e) {
        std::fprintf(stderr, "error: %s\n", e.Message().toUtf8().constData());
        return 1;
    }
    Out(QStringLiteral("== the whole road ran"));
    return 0;
}
