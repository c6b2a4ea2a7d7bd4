// The service connection: the socket error texts, what Post checks before it
// sends, its events, and every kind of answer and failure the sample service
// can produce, with the texts the user would see.

#include "ServiceFixture.h"

#include "platform/net/HttpClient_p.h"
#include "platform/net/HttpErrors.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxCustomConnection.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString kUnexpected =
    QStringLiteral("Tamsel recieved an unexpected response from the server. This was saved as error_response.txt.");
// The same when there was nothing to save, or it could not be saved.
const QString kUnexpectedUnsaved = QStringLiteral("Tamsel recieved an unexpected response from the server.");

// Runs the test body with the working directory in a fresh temporary
// directory (where "error_response.txt" goes).
class ScopedWorkingDir {
public:
    ScopedWorkingDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~ScopedWorkingDir() { QDir::setCurrent(m_previous); }
    QString File(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

QByteArray ReadFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs action as an event once the connection reports status: the call is
// waiting by then, and the action runs only if events flow while it waits.
// Nothing runs after scope is gone.
void WhenStatus(THttpClient& client, THttpStatus status, QObject& scope, const std::function<void()>& action)
{
    client.OnStatus = [status, &scope, action](QObject*, THttpStatus s, const QString&) {
        if (s == status) QTimer::singleShot(0, &scope, action);
    };
}

} // namespace

TEST(TranslateSocketError, EveryCodeInItsOrder)
{
    const std::pair<const char*, const char*> table[] = {
        {"10004", "Connection failed!  Error: Interrupted function call"},
        {"10013", "Connection failed!  Error: 10013 - Permission denied"},
        {"10014", "Connection failed!  Error: 10014 - Bad address"},
        {"10022", "Connection failed!  Error: 10022 - Invalid argument"},
        {"10024", "Connection failed!  Error: 10024 - Too many open files"},
        {"10035", "Connection failed!  Error: 10035 - Resource temporarily unavailable"},
        {"10036", "Connection failed!  Error: 10036 - Operation now in progress"},
        {"10037", "Connection failed!  Error: 10037 - Operation already in progress"},
        {"10038", "Connection failed!  Error: 10038 - Socket operation on non-socket"},
        {"10039", "Connection failed!  Error: 10039 - Destination address required"},
        {"10040", "Connection failed!  Error: 10040 - Message too long"},
        {"10041", "Connection failed!  Error: 10041 - Protocol wrong type for socket"},
        {"10042", "Connection failed!  Error: 10042 - Bad protocol option"},
        {"10043", "Connection failed!  Error: 10043 - Protocol not supported"},
        {"10044", "Connection failed!  Error: 10044 - Socket type not supported"},
        {"10045", "Connection failed!  Error: 10045 - Operation not supported"},
        {"10046", "Connection failed!  Error: 10046 - Protocol family not supported"},
        {"10047", "Connection failed!  Error: 10047 - Address family not supported by protocol family"},
        {"10048", "Connection failed!  Error: 10048 - Address already in use"},
        {"10049", "Connection failed!  Error: 10049 - Cannot assign requested address"},
        {"10050", "Connection failed!  Error: 10050 - Network is down"},
        {"10051", "Connection failed!  Error: 10051 - Network is unreachable"},
        {"10052", "Connection failed!  Error: 10052 - Network dropped connection on reset"},
        {"10053", "Connection failed!  Error: 10053 - Software caused connection abort"},
        {"10054", "Connection failed!  Error: 10054 - Connection reset by peer"},
        {"10055", "Connection failed!  Error: 10055 - No buffer space available"},
        {"10056", "Connection failed!  Error: 10056 - Socket is already connected"},
        {"10057", "Connection failed!  Error: 10057 - Socket is not connected"},
        {"10058", "Connection failed!  Error: 10058 - Cannot send after socket shutdown"},
        {"10060", "Connection failed!  Error: 10060 - Connection timed out"},
        {"10061", "Connection failed!  Error: 10061 - Connection refused"},
        {"10064", "Connection failed!  Error: 10064 - Host is down"},
        {"10065", "Connection failed!  Error: 10065 - No route to host"},
        {"10067", "Connection failed!  Error: 10067 - Too many processes"},
        {"10091", "Connection failed!  Error: 10091 - Network subsystem is unavailable"},
        {"10092", "Connection failed!  Error: 10092 - WINSOCK.DLL version out of range"},
        {"10093", "Connection failed!  Error: 10093 - Successful WSAStartup not yet performed"},
        {"10094", "Connection failed!  Error: 10094 - Graceful shutdown in progress"},
        {"11001", "Connection failed!  Error: 11001 - Host not found"},
        {"11002", "Connection failed!  Error: 11002 - Non-authoritative host not found"},
        {"11003", "Connection failed!  Error: 11003 - This is a non-recoverable error"},
        {"11004", "Connection failed!  Error: 11004 - Valid name, no data record of requested type"},
    };
    ASSERT_EQ(std::size(table), 42u);
    for (const auto& [code, text] : table) {
        EXPECT_EQ(TvxCustomConnection::TranslateSocketError(QStringLiteral("Socket Error # %1\r\nWhatever.").arg(code)),
                  QString::fromLatin1(text));
        // Anywhere in the text.
        EXPECT_EQ(TvxCustomConnection::TranslateSocketError(QStringLiteral("x%1y").arg(code)),
                  QString::fromLatin1(text));
    }
    // The table's order decides, not the text's.
    EXPECT_EQ(TvxCustomConnection::TranslateSocketError(QStringLiteral("11001 then 10004")),
              QStringLiteral("Connection failed!  Error: Interrupted function call"));
    // No code: the text itself.
    EXPECT_EQ(TvxCustomConnection::TranslateSocketError(QStringLiteral("HTTP/1.1 404 Not Found")),
              QStringLiteral("HTTP/1.1 404 Not Found"));
    EXPECT_EQ(TvxCustomConnection::TranslateSocketError(QStringLiteral("10062")), QStringLiteral("10062"));
    // The platform's own texts carry the codes.
    EXPECT_EQ(TvxCustomConnection::TranslateSocketError(ESocketError(Win::WSAECONNREFUSED).Message()),
              QStringLiteral("Connection failed!  Error: 10061 - Connection refused"));
}

TEST(ServiceConnection, ClientSettings)
{
    TvxCustomConnection connection;
    EXPECT_EQ(connection.ContentType(), QStringLiteral("text/html"));
    EXPECT_EQ(connection.Accept(), QStringLiteral("text/html, */*"));
    EXPECT_EQ(connection.UserAgent(), QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    // Service calls may take as long as they take, but not in silence.
    EXPECT_EQ(connection.ReadTimeout(), 300 * 1000);
    EXPECT_EQ(connection.ReadTimeout(), TvxCustomConnection::kAnswerSilenceMs);
    EXPECT_EQ(connection.MaxResponseSize(), qint64(64) * 1024 * 1024);
    // The host is stored through its virtual setter.
    connection.SetHostServer(QStringLiteral("example.test:8080"));
    EXPECT_EQ(connection.HostServer(), QStringLiteral("example.test:8080"));
}

TEST(ServiceConnection, PostChecksHostAndDocumentBeforeAnyEvent)
{
    TvxCustomConnection connection;
    int events = 0;
    connection.OnBeforeSearch = [&](QObject*, bool&) { ++events; };
    connection.OnAfterSearch = [&](QObject*) { ++events; };
    QBuffer request, response;
    request.open(QIODevice::ReadWrite);
    response.open(QIODevice::ReadWrite);
    try {
        connection.Post(request, response);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Property HostServer is not defined"));
    }
    connection.SetHostServer(QStringLiteral("127.0.0.1:1"));
    try {
        connection.Post(request, response);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Document component has not been assigned"));
    }
    EXPECT_EQ(events, 0);
}

TEST(ServiceConnection, AWithheldRequestFiresBothEventsThenFails)
{
    TvxpDocument doc;
    TSubjectProperty prop;
    prop.SetVxpDocument(&doc);
    prop.SetHostServer(QStringLiteral("127.0.0.1:1"));
    QStringList events;
    prop.OnBeforeSearch = [&](QObject*, bool& doSearch) {
        events << QStringLiteral("before");
        doSearch = false;
    };
    prop.OnAfterSearch = [&](QObject*) { events << QStringLiteral("after"); };
    try {
        prop.GetProperty(1, 2, 0, 3);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Zero size response"));
    }
    EXPECT_EQ(events, (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
    // The document still holds the request.
    EXPECT_EQ(doc.VxpTypeName, QStringLiteral("prop.get"));
}

TEST(ServiceConnection, ForgetsADocumentThatIsDestroyed)
{
    TSubjectProperty prop;
    {
        TvxpDocument doc;
        prop.SetVxpDocument(&doc);
        EXPECT_EQ(prop.vxpDocument(), &doc);
    }
    EXPECT_EQ(prop.vxpDocument(), nullptr);
    EXPECT_TRUE(prop.ElementText(QStringLiteral("x")).isEmpty());
    EXPECT_EQ(prop.SoldPrice(), 0);
}

TEST(ServiceConnection, TransportFailuresWithoutAServer)
{
    TvxpDocument doc;
    TSubjectProperty prop;
    prop.SetVxpDocument(&doc);
    int after = 0;
    prop.OnAfterSearch = [&](QObject*) { ++after; };

    prop.SetHostServer(QStringLiteral("127.0.0.1:%1").arg(testsupport::ClosedPort()));
    try {
        prop.GetProperty(1, 2, 0, 3);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Connection failed!  Error: 10061 - Connection refused"));
    }
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(prop.Connected());

    // A host name no resolver can know.
    prop.SetHostServer(QStringLiteral("no!host.invalid"));
    try {
        prop.GetProperty(1, 2, 0, 3);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Connection failed!  Error: 11001 - Host not found"));
    }
    EXPECT_EQ(after, 2);
}

// --- Against the sample service ---------------------------------------------

class AnswerKinds : public ServiceTest {
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        prop.SetVxpDocument(&doc);
        prop.SetHostServer(Host());
        prop.CgiPath = QStringLiteral("/cgi-bin/PropSearch.exe");
        prop.Values.apn = QStringLiteral("512-034-019");
        prop.OnBeforeSearch = [this](QObject*, bool&) { ++before; };
        prop.OnAfterSearch = [this](QObject*) { ++after; };
    }

    // A search whose answer takes the scenario.
    QString SearchWith(const QString& scenario, const QJsonObject& params = QJsonObject())
    {
        Service().Next(QStringLiteral("search"), scenario, 1, params);
        return ErrorOf([&] { result = prop.Search(59, 4127); });
    }

    TvxpDocument doc;
    TSubjectProperty prop;
    QString result = QStringLiteral("(not set)");
    int before = 0;
    int after = 0;
};

TEST_F(AnswerKinds, ADataAnswer)
{
    EXPECT_EQ(ErrorOf([&] { result = prop.Search(59, 4127); }), QStringLiteral("(no error)"));
    EXPECT_EQ(result, QStringLiteral("prop.data"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("apn")), QStringLiteral("512-034-019"));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(prop.Connected());
    // What the server read is what was built; it came compressed, with the
    // connection's headers.
    const QList<QJsonObject> log = Service().Log(QStringLiteral("service"));
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0].value(QStringLiteral("request_type")).toString(), QStringLiteral("prop.search"));
    EXPECT_TRUE(log[0].value(QStringLiteral("error")).isNull())
        << log[0].value(QStringLiteral("error")).toString().toStdString();
    EXPECT_EQ(testsupport::SampleService::Header(log[0], QStringLiteral("Content-Type")), QStringLiteral("text/html"));
    EXPECT_EQ(testsupport::SampleService::Header(log[0], QStringLiteral("Accept")), QStringLiteral("text/html, */*"));
    EXPECT_EQ(testsupport::SampleService::Header(log[0], QStringLiteral("User-Agent")),
              QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    EXPECT_TRUE(log[0]
                    .value(QStringLiteral("request"))
                    .toString()
                    .startsWith(QStringLiteral(
                        "<?xml version = \"1.0\" standalone = \"yes\"?>\r\n\r\n<vxp>\r\n   <prop.search ")));
}

TEST_F(AnswerKinds, AnExceptionAnswerRaisesTheServersText)
{
    EXPECT_EQ(SearchWith(QStringLiteral("exception")),
              QStringLiteral("The county database is not available. Please try again later."));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(SearchWith(QStringLiteral("exception"),
                         QJsonObject{{QStringLiteral("text"), QStringLiteral("Locked & <gone>")}}),
              QStringLiteral("Locked & <gone>"));
    // Without text: an empty error, no crash.
    EXPECT_EQ(SearchWith(QStringLiteral("exception-empty")), QString());
}

TEST_F(AnswerKinds, AHandledExceptionAnswerReturnsWithoutRaising)
{
    QString seen;
    prop.OnServerError = [&](QObject* sender, bool& handled, const QString& msg) {
        EXPECT_EQ(sender, &prop);
        seen = msg;
        handled = true;
    };
    EXPECT_EQ(SearchWith(QStringLiteral("exception")), QStringLiteral("(no error)"));
    EXPECT_EQ(result, QString());
    EXPECT_EQ(seen, QStringLiteral("The county database is not available. Please try again later."));
    // A handler that leaves it unhandled: raised.
    prop.OnServerError = [&](QObject*, bool&, const QString&) {};
    EXPECT_EQ(SearchWith(QStringLiteral("exception")),
              QStringLiteral("The county database is not available. Please try again later."));
}

TEST_F(AnswerKinds, AMessageAnswerIsShownAndReturnsFalse)
{
    QString event;
    prop.OnVxpMessage = [&](QObject*, const QString& msg) { event = msg; };
    const int shown = m_dialogs.Shown().size();
    EXPECT_EQ(SearchWith(QStringLiteral("message")), QStringLiteral("(no error)"));
    EXPECT_EQ(result, QString());
    EXPECT_EQ(event, QStringLiteral("Scheduled maintenance tonight from 10 PM to midnight."));
    ASSERT_EQ(m_dialogs.Shown().size(), shown + 1);
    const DialogRequest& box = m_dialogs.Shown().last();
    EXPECT_EQ(box.kind, DialogRequest::Kind::Message);
    EXPECT_EQ(box.type, TMsgDlgType::mtInformation);
    EXPECT_EQ(box.buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(box.text, QStringLiteral("Scheduled maintenance tonight from 10 PM to midnight."));

    // Without text: an empty box.
    EXPECT_EQ(SearchWith(QStringLiteral("message-empty")), QStringLiteral("(no error)"));
    EXPECT_EQ(m_dialogs.LastText(), QString());
    EXPECT_EQ(m_dialogs.Shown().size(), shown + 2);
}

TEST_F(AnswerKinds, BodiesThatAreNoAnswer)
{
    ScopedWorkingDir dir;
    EXPECT_EQ(SearchWith(QStringLiteral("empty-body")), QStringLiteral("Zero size response"));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);

    EXPECT_EQ(SearchWith(QStringLiteral("not-zlib")), kUnexpected);
    EXPECT_EQ(ReadFile(dir.File(QStringLiteral("error_response.txt"))), QByteArray("hello"));
    EXPECT_EQ(SearchWith(QStringLiteral("not-zlib"),
                         QJsonObject{{QStringLiteral("body"), QStringLiteral("<html>busy</html>")}}),
              kUnexpected);
    EXPECT_EQ(ReadFile(dir.File(QStringLiteral("error_response.txt"))), QByteArray("<html>busy</html>"));
    EXPECT_EQ(after, 3);
}

TEST_F(AnswerKinds, AnErrorResponseFileThatCannotBeWrittenDoesNotHideTheError)
{
    ScopedWorkingDir dir;
    // A directory of that name: the file cannot be written.
    ASSERT_TRUE(QDir().mkdir(dir.File(QStringLiteral("error_response.txt"))));
    EXPECT_EQ(SearchWith(QStringLiteral("not-zlib")), kUnexpectedUnsaved);
}

TEST_F(AnswerKinds, MalformedAnswersGiveTheParsersError)
{
    EXPECT_EQ(SearchWith(QStringLiteral("bad-xml")),
              QStringLiteral("Start-tag name \"a\" does not match end-tag name \"b\""));
    EXPECT_EQ(SearchWith(QStringLiteral("truncated-xml")), QStringLiteral("Unexpected end of file."));
    EXPECT_EQ(doc.RequestElement(), nullptr);
}

TEST_F(AnswerKinds, AnswersOfAnotherShapeAreInvalid)
{
    EXPECT_EQ(SearchWith(QStringLiteral("wrong-root")), QStringLiteral("Invalid document!"));
    // The root alone is not taken for an answer of the request's own type.
    EXPECT_EQ(SearchWith(QStringLiteral("empty-vxp")), QStringLiteral("Invalid document!"));
    EXPECT_EQ(result, QStringLiteral("(not set)"));
}

TEST_F(AnswerKinds, AnAnswerWithADocumentTypeIsRefused)
{
    EXPECT_EQ(SearchWith(QStringLiteral("doctype")), QStringLiteral("Illegal occurence of \"<!DOCTYPE\""));
}

TEST_F(AnswerKinds, LayoutVariantsAreRead)
{
    for (const char* scenario : {"no-declaration", "indent"}) {
        EXPECT_EQ(SearchWith(QLatin1String(scenario)), QStringLiteral("(no error)")) << scenario;
        EXPECT_EQ(result, QStringLiteral("prop.data"));
        EXPECT_EQ(prop.ElementText(QStringLiteral("apn")), QStringLiteral("512-034-019"));
    }
}

TEST_F(AnswerKinds, HttpErrorsKeepTheirOwnText)
{
    EXPECT_EQ(SearchWith(QStringLiteral("status-404")), QStringLiteral("HTTP/1.1 404 Not Found"));
    EXPECT_EQ(SearchWith(QStringLiteral("status-500")), QStringLiteral("HTTP/1.1 500 Internal Server Error"));
    EXPECT_EQ(after, 2);
}

TEST_F(AnswerKinds, ClosedAndResetConnections)
{
    EXPECT_EQ(SearchWith(QStringLiteral("close")), QStringLiteral("Connection closed gracefully."));
    EXPECT_EQ(SearchWith(QStringLiteral("reset")),
              QStringLiteral("Connection failed!  Error: 10054 - Connection reset by peer"));
    EXPECT_FALSE(prop.Connected());
}

TEST_F(AnswerKinds, NonAsciiTextWithItsEncodingDeclared)
{
    EXPECT_EQ(SearchWith(QStringLiteral("non-ascii-utf8")), QStringLiteral("(no error)"));
    EXPECT_EQ(prop.ElementText(QStringLiteral("owner1")), QStringLiteral("PE\u00d1A, JOS\u00c9 & MAR\u00cdA"));
    EXPECT_EQ(SearchWith(QStringLiteral("exception"), QJsonObject{}),
              QStringLiteral("The county database is not available. Please try again later."));
    Service().Next(QStringLiteral("search"),
                   QStringList{QStringLiteral("non-ascii-utf8"), QStringLiteral("exception")});
    EXPECT_EQ(ErrorOf([&] { prop.Search(59, 4127); }),
              QStringLiteral("Se\u00f1or Garc\u00eda: the record is locked (\u00a7 12)"));
}

TEST_F(AnswerKinds, TextsAboveU0000FFFFLoadAsTheServerSentThem)
{
    // Four-byte UTF-8 characters load as their surrogate pairs, not as
    // four Latin-1 characters each.
    const QString text = QString::fromUtf8("Locked \xF0\x9F\x98\x80 \xF0\x9D\x84\x9E\xF0\xA0\x80\x8B!");
    EXPECT_EQ(SearchWith(QStringLiteral("exception"), QJsonObject{{QStringLiteral("text"), text}}), text);
    Service().Next(QStringLiteral("search"), QStringLiteral("message"), 1,
                   QJsonObject{{QStringLiteral("text"), QStringLiteral("\U0001F3E0 sold")}});
    EXPECT_EQ(ErrorOf([&] { prop.Search(59, 4127); }), QStringLiteral("(no error)"));
    EXPECT_EQ(m_dialogs.LastText(), QStringLiteral("\U0001F3E0 sold"));
}

TEST_F(AnswerKinds, NonAsciiTextWithoutADeclarationIsReadAsAscii)
{
    const int shown = m_dialogs.Shown().size();
    EXPECT_EQ(SearchWith(QStringLiteral("non-ascii-nodecl")), QStringLiteral("(no error)"));
    const QString owner = prop.ElementText(QStringLiteral("owner1"));
    EXPECT_TRUE(owner.startsWith(QStringLiteral("PE_"))) << owner.toStdString();
    EXPECT_FALSE(owner.contains(QChar(0xD1)));
    ASSERT_EQ(m_dialogs.Shown().size(), shown + 1);
    EXPECT_TRUE(m_dialogs.LastText().startsWith(QStringLiteral(
        "The file contains the following characters that are illegal in the US-ASCII encoding scheme: ")))
        << m_dialogs.LastText().toStdString();
}

TEST_F(AnswerKinds, OversizeAnswersAreUnexpected)
{
    ScopedWorkingDir dir;
    // Refused by its length before the body is read: nothing is saved, an
    // older file stays and the message names none.
    {
        QFile older(dir.File(QStringLiteral("error_response.txt")));
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("older answer");
    }
    EXPECT_EQ(SearchWith(QStringLiteral("oversize-raw")), kUnexpectedUnsaved);
    EXPECT_EQ(ReadFile(dir.File(QStringLiteral("error_response.txt"))), QByteArray("older answer"));
    QFile::remove(dir.File(QStringLiteral("error_response.txt")));
    EXPECT_EQ(SearchWith(QStringLiteral("oversize-raw")), kUnexpectedUnsaved);
    EXPECT_FALSE(QFileInfo::exists(dir.File(QStringLiteral("error_response.txt"))));
    // A body read within its limit that inflates past its own is kept.
    EXPECT_EQ(SearchWith(QStringLiteral("oversize-inflated")), kUnexpected);
    EXPECT_EQ(after, 3);
    EXPECT_FALSE(prop.Connected());
    EXPECT_GT(QFileInfo(dir.File(QStringLiteral("error_response.txt"))).size(), 0);
}

TEST_F(AnswerKinds, TheUrlIsCutAt255Characters)
{
    prop.CgiPath = QStringLiteral("/cgi-bin/PropSearch.exe?") + QString(300, u'q');
    EXPECT_EQ(ErrorOf([&] { result = prop.Search(59, 4127); }), QStringLiteral("(no error)"));
    const QList<QJsonObject> log = Service().Log(QStringLiteral("service"));
    ASSERT_EQ(log.size(), 1);
    const QString target = log[0].value(QStringLiteral("target")).toString();
    EXPECT_EQ(QStringLiteral("http://") + Host() + target,
              (QStringLiteral("http://") + Host() + prop.CgiPath).left(255));
}

TEST_F(AnswerKinds, TheAntiFreezeKeepsEventsFlowingWhileAPostWaits)
{
    // The answer is held until an event, delivered while the post waits,
    // releases it.
    bool sawConnected = false;
    int afterSeenDuringWait = -1;
    QObject scope;
    WhenStatus(prop, THttpStatus::hsConnected, scope, [&] {
        sawConnected = prop.Connected();
        afterSeenDuringWait = after;
        Service().Release();
    });
    EXPECT_EQ(SearchWith(QStringLiteral("hold")), QStringLiteral("(no error)"));
    EXPECT_TRUE(sawConnected);
    EXPECT_EQ(afterSeenDuringWait, 0);
    EXPECT_EQ(result, QStringLiteral("prop.data"));
    EXPECT_EQ(after, 1);
}

TEST_F(AnswerKinds, ASilentServerEndsTheCallAsATimeOut)
{
    // The silence the connection waits out passes at once once it waits.
    QObject scope;
    WhenStatus(prop, THttpStatus::hsConnected, scope, [&] { httpclient::ExpireDeadline(prop); });
    EXPECT_EQ(SearchWith(QStringLiteral("hang")), QStringLiteral("Can not connect to ") + Host());
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(prop.Connected());
}

TEST_F(AnswerKinds, TheMessageBoxShowsTheFirst64KiBOfALongMessage)
{
    QString event;
    prop.OnVxpMessage = [&](QObject*, const QString& msg) { event = msg; };
    const QString text = QString(70 * 1024, u'm') + QStringLiteral("end");
    EXPECT_EQ(SearchWith(QStringLiteral("message"), QJsonObject{{QStringLiteral("text"), text}}),
              QStringLiteral("(no error)"));
    EXPECT_EQ(event, text); // the handler reads it whole
    EXPECT_EQ(m_dialogs.LastText(), text.left(64 * 1024) + QStringLiteral("..."));
    // Up to the cap the text is shown as it is.
    const QString exact(64 * 1024, u'x');
    SearchWith(QStringLiteral("message"), QJsonObject{{QStringLiteral("text"), exact}});
    EXPECT_EQ(m_dialogs.LastText(), exact);
}

TEST_F(AnswerKinds, TheErrorResponseFileKeepsTheFirstMiBAndReplacesALink)
{
    ScopedWorkingDir dir;
    const QString body = QString(1024 * 1024 + 5000, u'b');
    EXPECT_EQ(SearchWith(QStringLiteral("not-zlib"), QJsonObject{{QStringLiteral("body"), body}}), kUnexpected);
    EXPECT_EQ(ReadFile(dir.File(QStringLiteral("error_response.txt"))), body.left(1024 * 1024).toLatin1());

    // A link in its place is replaced by the file; its target is untouched.
    const QString target = dir.File(QStringLiteral("target.txt"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep");
    }
    QFile::remove(dir.File(QStringLiteral("error_response.txt")));
    ASSERT_TRUE(QFile::link(target, dir.File(QStringLiteral("error_response.txt"))));
    EXPECT_EQ(SearchWith(QStringLiteral("not-zlib")), kUnexpected);
    EXPECT_EQ(ReadFile(target), QByteArray("keep"));
    EXPECT_FALSE(QFileInfo(dir.File(QStringLiteral("error_response.txt"))).isSymLink());
    EXPECT_EQ(ReadFile(dir.File(QStringLiteral("error_response.txt"))), QByteArray("hello"));
}

TEST_F(AnswerKinds, DisconnectingAWaitingPostEndsIt)
{
    QObject scope;
    WhenStatus(prop, THttpStatus::hsConnected, scope, [&] { prop.Disconnect(); });
    EXPECT_EQ(SearchWith(QStringLiteral("hang")),
              QStringLiteral("Connection failed!  Error: Interrupted function call"));
    EXPECT_EQ(after, 1);
}

TEST_F(AnswerKinds, AConnectionFreedWhileItsPostWaitsIsNotTouched)
{
    auto* doomed = new TSubjectProperty;
    doomed->SetVxpDocument(&doc);
    doomed->SetHostServer(Host());
    doomed->CgiPath = prop.CgiPath;
    doomed->Values.apn = QStringLiteral("512-034-019");
    int afterEvents = 0;
    doomed->OnAfterSearch = [&](QObject*) { ++afterEvents; };
    QObject scope;
    WhenStatus(*doomed, THttpStatus::hsConnected, scope, [&] { delete doomed; });
    Service().Next(QStringLiteral("search"), QStringLiteral("hang"));
    bool destroyed = false;
    try {
        doomed->Search(59, 4127);
    } catch (const EHttpClientDestroyed&) {
        destroyed = true;
    }
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(afterEvents, 0);
}

TEST_F(AnswerKinds, AConnectionFreedByItsOwnEventIsNotTouched)
{
    auto* doomed = new TSubjectProperty;
    QPointer<TSubjectProperty> watch(doomed);
    doomed->SetVxpDocument(&doc);
    doomed->SetHostServer(Host());
    doomed->CgiPath = prop.CgiPath;
    doomed->Values.apn = QStringLiteral("512-034-019");
    doomed->OnVxpMessage = [&](QObject*, const QString&) { delete doomed; };
    Service().Next(QStringLiteral("search"), QStringLiteral("message"));
    EXPECT_THROW(doomed->Search(59, 4127), EHttpClientDestroyed);
    EXPECT_TRUE(watch.isNull());
}

TEST_F(AnswerKinds, ADocumentFreedWhileThePostWaitsIsForgotten)
{
    auto* doomedDoc = new TvxpDocument;
    prop.SetVxpDocument(doomedDoc);
    QObject scope;
    WhenStatus(prop, THttpStatus::hsConnected, scope, [&] {
        delete doomedDoc;
        Service().Release();
    });
    EXPECT_EQ(SearchWith(QStringLiteral("hold")), QStringLiteral("Document component has not been assigned"));
    EXPECT_EQ(prop.vxpDocument(), nullptr);
}

TEST_F(AnswerKinds, CookiesAreKeptPerConnection)
{
    EXPECT_EQ(SearchWith(QStringLiteral("cookie")), QStringLiteral("(no error)"));
    ASSERT_EQ(prop.Cookies().size(), 1);
    EXPECT_EQ(prop.Cookies()[0].name(), QByteArray("VXSESSION"));
    prop.GetProperty(59, 100232, 0, 4127);

    TvxpDocument otherDoc;
    TSubjectProperty other;
    other.SetVxpDocument(&otherDoc);
    other.SetHostServer(Host());
    other.CgiPath = prop.CgiPath;
    other.GetProperty(59, 100232, 0, 4127);
    EXPECT_TRUE(other.Cookies().isEmpty());

    const QList<QJsonObject> log = Service().Log(QStringLiteral("service"));
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(testsupport::SampleService::Header(log[0], QStringLiteral("Cookie")).isEmpty());
    EXPECT_TRUE(
        testsupport::SampleService::Header(log[1], QStringLiteral("Cookie")).startsWith(QStringLiteral("VXSESSION=")));
    EXPECT_TRUE(testsupport::SampleService::Header(log[2], QStringLiteral("Cookie")).isEmpty());
}

class StalledService : public ServiceTest {
protected:
    bool StallPort() const override { return true; }
};

TEST_F(StalledService, AConnectTimeOutNamesTheHost)
{
    // One connection fills the backlog of the socket that never accepts.
    QTcpSocket filler;
    filler.connectToHost(QHostAddress::LocalHost, quint16(Service().StallPort()));
    ASSERT_TRUE(filler.waitForConnected(5000));

    TvxpDocument doc;
    TSubjectProperty prop;
    prop.SetVxpDocument(&doc);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(Service().StallPort());
    prop.SetHostServer(host);
    // The connect time-out passes once the connection is under way.
    QObject scope;
    WhenStatus(prop, THttpStatus::hsConnecting, scope, [&] { httpclient::ExpireDeadline(prop); });
    const QString error = ErrorOf([&] { prop.GetProperty(1, 2, 0, 3); });
    if (error == QStringLiteral("Connection closed gracefully."))
        GTEST_SKIP() << "this system accepted the connection past the backlog";
    EXPECT_EQ(error, QStringLiteral("Can not connect to ") + host);
}
