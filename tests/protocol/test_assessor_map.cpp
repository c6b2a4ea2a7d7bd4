// The tax-map client against the sample service's tax-map server: the command
// sequence, the sheet files, and every variant of the server's answers.

#include "ServiceFixture.h"

#include "platform/net/HttpErrors.h"
#include "protocol/TvxAssessorMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrlQuery>

namespace {

QByteArray Head(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(4) : QByteArray();
}

} // namespace

class AssessorMap : public ServiceTest {
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        ASSERT_TRUE(out.isValid());
        map.SetHost(QStringLiteral("127.0.0.1"));
        map.SetPort(Service().TaxMapPort());
        map.OutputDir = out.path();
    }

    // The commands the server received: "type params" each.
    QStringList Commands()
    {
        QStringList commands;
        for (const QJsonObject& e : Service().Log(QStringLiteral("taxmap"))) {
            QString type, params;
            for (const QJsonValue& pair : e.value(QStringLiteral("query")).toArray()) {
                const QJsonArray kv = pair.toArray();
                if (kv.at(0).toString() == QLatin1String("type")) type = kv.at(1).toString();
                if (kv.at(0).toString() == QLatin1String("params")) params = kv.at(1).toString();
            }
            commands << type + u' ' + params;
        }
        return commands;
    }
    QString File(const QString& name) const { return QDir(out.path()).filePath(name); }

    QTemporaryDir out;
    TvxAssessorMap map;
};

TEST_F(AssessorMap, ThreeSheets)
{
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 3);
    const QStringList expected{File(QStringLiteral("SVISTA-512-034-019-1.tif")),
                               File(QStringLiteral("SVISTA-512-034-019-2.tif")),
                               File(QStringLiteral("SVISTA-512-034-019-3.tif"))};
    EXPECT_EQ(map.SheetFiles(), expected);
    for (const QString& f : expected) EXPECT_EQ(Head(f), QByteArray("II*\0", 4)) << f.toStdString();
    EXPECT_EQ(map.ImageNumber(), 3);
    EXPECT_EQ(map.StructSheetCount(), 3);
    EXPECT_FALSE(map.SessionStarted());
    EXPECT_TRUE(map.SessionId().isEmpty());
    EXPECT_EQ(Commands(),
              (QStringList{"login plomvek7", "command open,SVISTA", "fiex 512-034-019", "struct curr", "fiex nsht",
                           "fiex nsht", "command close,SVISTA", "logout close"}));
    // Every command names the session, the server's own host and port.
    const QList<QJsonObject> log = Service().Log(QStringLiteral("taxmap"));
    EXPECT_TRUE(log[1].value(QStringLiteral("target")).toString().endsWith(QStringLiteral("&sid=S123")));
    EXPECT_EQ(testsupport::SampleService::Header(log[2], QStringLiteral("Host")),
              QStringLiteral("127.0.0.1:%1").arg(Service().TaxMapPort()));
    EXPECT_FALSE(map.Connected());
}

TEST_F(AssessorMap, OneSheetAndAGap)
{
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-020")), 1);
    EXPECT_EQ(map.SheetFiles().size(), 1);
    EXPECT_FALSE(Commands().contains(QStringLiteral("fiex nsht")));

    // Sheet 2 of three is missing: the files skip its number, the count stays.
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-036-044")), 3);
    EXPECT_EQ(map.SheetFiles(),
              (QStringList{File(QStringLiteral("SVISTA-512-036-044-1.tif")),
                           File(QStringLiteral("SVISTA-512-036-044-3.tif"))}));
    EXPECT_EQ(map.ImageNumber(), 2);
}

TEST_F(AssessorMap, TheSheetCountIsTakenFrom1ToTheCap)
{
    EXPECT_EQ(map.MaxSheets(), 200);
    map.SetMaxSheets(TvxAssessorMap::kMaxSheets + 1);
    EXPECT_EQ(map.MaxSheets(), TvxAssessorMap::kMaxSheets) << "the cap is only ever lowered";
    // A small cap keeps the fetch short; the rule is the same.
    map.SetMaxSheets(4);

    Service().Next(QStringLiteral("taxmap.struct"), QStringLiteral("count"), 1,
                   QJsonObject{{QStringLiteral("count"), 0}});
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 1);
    EXPECT_EQ(map.SheetFiles().size(), 1);

    Service().Next(QStringLiteral("taxmap.struct"), QStringLiteral("count"), 1,
                   QJsonObject{{QStringLiteral("count"), -5}});
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 1);

    Service().Next(QStringLiteral("taxmap.struct"), QStringLiteral("count"), 1,
                   QJsonObject{{QStringLiteral("count"), 70000}});
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 4);
    EXPECT_EQ(map.SheetFiles().size(), 4);
}

TEST_F(AssessorMap, AShortOrFailedStructCountsNoSheetsBeyondTheFirst)
{
    // A count left from an earlier fetch is not used again.
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 3);
    Service().Next(QStringLiteral("taxmap.struct"), QStringLiteral("short-body"));
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 1);
    Service().Next(QStringLiteral("taxmap.struct"), QStringLiteral("status-500"));
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 1);
    EXPECT_EQ(map.SheetFiles().size(), 1);
}

TEST_F(AssessorMap, ALoginWithoutASessionSendsNothingMore)
{
    Service().Next(QStringLiteral("taxmap.login"), QStringLiteral("no-session-header"));
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 0);
    EXPECT_EQ(Commands(), QStringList{QStringLiteral("login plomvek7")});
    Service().Reset();
    Service().Next(QStringLiteral("taxmap.login"), QStringLiteral("status-403"));
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 0);
    EXPECT_EQ(Commands(), QStringList{QStringLiteral("login plomvek7")});
    EXPECT_TRUE(map.SheetFiles().isEmpty());
}

TEST_F(AssessorMap, AnUnknownCountyLogsOut)
{
    EXPECT_EQ(map.GetSheets(QStringLiteral("NOWHERE"), QStringLiteral("1-2-3")), 0);
    EXPECT_EQ(Commands(), (QStringList{"login plomvek7", "command open,NOWHERE", "logout close"}));
}

TEST_F(AssessorMap, NoFirstSheetClosesAndLogsOut)
{
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-060-001")), 0);
    EXPECT_EQ(Commands(),
              (QStringList{"login plomvek7", "command open,SVISTA", "fiex 512-060-001", "command close,SVISTA",
                           "logout close"}));
    // A sheet sent with an error status is no sheet.
    Service().Reset();
    Service().Next(QStringLiteral("taxmap.first"), QStringLiteral("status-500-body"));
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 0);
    EXPECT_TRUE(map.SheetFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(File(QStringLiteral("SVISTA-512-034-019-1.tif"))));
    EXPECT_EQ(Commands().last(), QStringLiteral("logout close"));
}

TEST_F(AssessorMap, ANextSheetWithAnErrorStatusLeavesAGap)
{
    Service().Next(QStringLiteral("taxmap.next"), QStringLiteral("status-500-body"));
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 3);
    EXPECT_EQ(map.SheetFiles(),
              (QStringList{File(QStringLiteral("SVISTA-512-034-019-1.tif")),
                           File(QStringLiteral("SVISTA-512-034-019-3.tif"))}));
}

TEST_F(AssessorMap, AnEmptyCountySendsNothing)
{
    EXPECT_EQ(map.GetSheets(QString(), QStringLiteral("512-034-019")), 0);
    EXPECT_TRUE(Commands().isEmpty());
}

TEST_F(AssessorMap, ServerTextsNeverChooseThePath)
{
    EXPECT_EQ(TvxAssessorMap::SheetFileName(QStringLiteral("SVISTA"), QStringLiteral("../../x/y z"), 2),
              QStringLiteral("SVISTA-.._.._x_y_z-2.tif"));
    EXPECT_EQ(TvxAssessorMap::SheetFileName(QStringLiteral("C\u00e9"), QStringLiteral("1"), 1),
              QStringLiteral("C_-1-1.tif"));
    EXPECT_EQ(TvxAssessorMap::SheetFileName(QStringLiteral("../../tmp/x"), QStringLiteral("1"), 1), QString());
    EXPECT_EQ(TvxAssessorMap::SheetFileName(QStringLiteral(".hidden"), QStringLiteral("1"), 1), QString());

    // A county whose sheet names would be hidden files: nothing is fetched.
    EXPECT_EQ(map.GetSheets(QStringLiteral("../../tmp/x"), QStringLiteral("..-..-x/y")), 0);
    EXPECT_TRUE(Commands().isEmpty());
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(AssessorMap, QueryValuesAreEncoded)
{
    EXPECT_EQ(map.GetSheets(QStringLiteral("SV&ISTA=1 #"), QStringLiteral("512")), 0);
    const QList<QJsonObject> log = Service().Log(QStringLiteral("taxmap"));
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(Commands()[1], QStringLiteral("command open,SV&ISTA=1 #"));
    EXPECT_TRUE(log[1]
                    .value(QStringLiteral("target"))
                    .toString()
                    .contains(QStringLiteral("params=open,SV%26ISTA%3D1%20%23&sid=")));
    EXPECT_TRUE(log[1].value(QStringLiteral("error")).toString().contains(QStringLiteral("unknown county")));
}

TEST_F(AssessorMap, ADroppedSheetPropagatesAfterTheSessionEnds)
{
    Service().Next(QStringLiteral("taxmap.next"), QStringLiteral("drop"));
    bool raised = false;
    try {
        map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019"));
    } catch (const EHttpError& e) {
        raised = true;
        // Not translated: GET errors keep the transfer's own text.
        EXPECT_FALSE(e.Message().startsWith(QStringLiteral("Connection failed!"))) << e.Message().toStdString();
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(map.SheetFiles().size(), 1);
    const QStringList commands = Commands();
    ASSERT_GE(commands.size(), 2);
    EXPECT_EQ(commands[commands.size() - 2], QStringLiteral("command close,SVISTA"));
    EXPECT_EQ(commands.last(), QStringLiteral("logout close"));
    EXPECT_FALSE(map.SessionStarted());
}

TEST_F(AssessorMap, AFetchIsOneRequestToItsOwner)
{
    // Before the login and after the logout, once per fetch, also when it fails.
    QStringList events;
    map.OnBeforeSearch = [&](QObject* sender, bool&) {
        EXPECT_EQ(sender, &map);
        events << QStringLiteral("before %1").arg(Commands().size());
    };
    map.OnAfterSearch = [&](QObject*) { events << QStringLiteral("after %1").arg(Commands().size()); };
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 3);
    EXPECT_EQ(events, (QStringList{QStringLiteral("before 0"), QStringLiteral("after 8")}));

    Service().Reset();
    events.clear();
    Service().Next(QStringLiteral("taxmap.next"), QStringLiteral("drop"));
    EXPECT_THROW(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), EHttpError);
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events.last(), QStringLiteral("after %1").arg(Commands().size()));

    // A handler that clears DoSearch keeps the fetch from sending anything.
    Service().Reset();
    events.clear();
    map.OnBeforeSearch = [&](QObject*, bool& doSearch) {
        events << QStringLiteral("before");
        doSearch = false;
    };
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("512-034-019")), 0);
    EXPECT_EQ(events, (QStringList{QStringLiteral("before"), QStringLiteral("after 0")}));
    // Nothing to fetch is no request at all.
    events.clear();
    EXPECT_EQ(map.GetSheets(QString(), QStringLiteral("512-034-019")), 0);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(AssessorMap, CommandsNeedASession)
{
    auto message = [](const std::function<void()>& fn) {
        try {
            fn();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { map.OpenCounty(QStringLiteral("SVISTA")); }),
              QStringLiteral("ERROR--Not Logged In to Map Server"));
    EXPECT_EQ(message([&] { map.ReadStruct(); }), QStringLiteral("ERROR--Not Logged In"));
    EXPECT_EQ(message([&] { map.CloseCounty(QStringLiteral("SVISTA")); }), QStringLiteral("ERROR--Not Logged In"));
    EXPECT_EQ(message([&] { map.Logout(); }), QStringLiteral("ERROR--Not Logged In to Map Server"));
    ASSERT_TRUE(map.Login());
    EXPECT_EQ(map.SessionId(), QStringLiteral("S123"));
    EXPECT_EQ(message([&] { map.CloseCounty(QString()); }), QStringLiteral("ERROR--Invalid County"));
    map.Logout();
    EXPECT_FALSE(map.SessionStarted());
    EXPECT_TRUE(Commands().size() == 2);
}

TEST(AssessorMapWithoutServer, ARefusedLoginFetchesNothing)
{
    TvxAssessorMap map;
    EXPECT_EQ(map.Port(), 9000);
    // Sheet bodies are capped like every answer.
    EXPECT_EQ(map.MaxResponseSize(), TvxCustomConnection::kMaxRawAnswer);
    map.SetHost(QStringLiteral("127.0.0.1"));
    map.SetPort(1);
    EXPECT_EQ(map.GetSheets(QStringLiteral("SVISTA"), QStringLiteral("1")), 0);
    EXPECT_FALSE(map.SessionStarted());
}
