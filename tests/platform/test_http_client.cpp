#include "platform/net/HttpClient.h"
#include "platform/net/HttpClient_p.h"
#include "platform/net/HttpErrors.h"
#include "tests/platform/ScriptedHttpServer.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QHostInfo>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

using Request = ScriptedHttpServer::RequestPtr;

namespace {

// The exception of type E that fn raised; a failure when it raised nothing
// or something else.
template <typename E>
std::optional<E> Raised(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const E& e) {
        return e;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected exception: " << e.what();
        return std::nullopt;
    }
    ADD_FAILURE() << "no exception";
    return std::nullopt;
}

QByteArray AllBytes()
{
    QByteArray bytes;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 256; ++i) bytes += char(i);
    bytes += "\r\n\r\n0\r\n";
    return bytes;
}

QByteArray Get(THttpClient& client, const QString& url)
{
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    client.Get(url, out);
    return out.data();
}

struct StatusLog {
    QList<THttpStatus> kinds;
    QStringList texts;
    void Attach(THttpClient& client)
    {
        client.OnStatus = [this](QObject*, THttpStatus s, const QString& text) {
            kinds << s;
            texts << text;
        };
    }
};

} // namespace

// --- Requests as sent, answers as received -------------------------------

TEST(HttpClient, GetSendsTheConnectionsHeadersAndDeliversTheBodyUntouched)
{
    ScriptedHttpServer server;
    // A gzip-labelled body must arrive as the server wrote it.
    const QByteArray body = AllBytes();
    server.OnRequest = [&](const Request& r) {
        r->Send(ScriptedHttpServer::Answer(
            "200 OK", body, "Content-Encoding: gzip\r\nMessage-Id: sid-42\r\nX-Folded: one\r\n two\r\n"));
    };
    THttpClient client;
    client.SetContentType(QStringLiteral("text/html"));
    client.SetAccept(QStringLiteral("text/html, */*"));
    client.SetUserAgent(QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));

    EXPECT_EQ(client.ResponseCode(), -1);
    EXPECT_EQ(Get(client, server.Url("/vxpconfig.xml?a=1&b=x")), body);

    ASSERT_EQ(server.requests.size(), 1);
    const auto& req = *server.requests[0];
    EXPECT_EQ(req.RequestLine(), "GET /vxpconfig.xml?a=1&b=x HTTP/1.1");
    EXPECT_EQ(req.Header("Host"), server.HostPort().toLatin1());
    EXPECT_EQ(req.Header("Accept"), "text/html, */*");
    EXPECT_EQ(req.Header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(req.Headers("Accept-Encoding"), QList<QByteArray>{"identity"});
    EXPECT_TRUE(req.Headers("Content-Length").isEmpty()) << "a GET has no body";
    EXPECT_TRUE(req.Headers("Content-Type").isEmpty()) << "Content-Type describes a body";
    EXPECT_TRUE(req.Headers("Cookie").isEmpty());

    EXPECT_EQ(client.ResponseCode(), 200);
    EXPECT_EQ(client.ResponseText(), QStringLiteral("OK"));
    EXPECT_EQ(client.ResponseHeader(QStringLiteral("message-id")), QStringLiteral("sid-42"));
    EXPECT_EQ(client.ResponseHeader(QStringLiteral("MESSAGE-ID")), QStringLiteral("sid-42"));
    EXPECT_EQ(client.ResponseHeader(QStringLiteral("x-folded")), QStringLiteral("one two"));
    EXPECT_TRUE(client.ResponseHeader(QStringLiteral("Missing")).isEmpty());
    EXPECT_TRUE(client.RawResponseHeaders().contains(QStringLiteral("Message-Id: sid-42")));
}

TEST(HttpClient, PostSendsTheWholeBodyWithItsHeaders)
{
    ScriptedHttpServer server;
    const QByteArray answer = AllBytes() + AllBytes();
    server.OnRequest = [&](const Request& r) { r->Send(ScriptedHttpServer::Answer("200 OK", answer)); };
    THttpClient client;
    client.SetHost(server.HostPort());
    client.SetContentType(QStringLiteral("text/html"));
    client.SetContentEncoding(QStringLiteral("ZIP,ENC"));

    QBuffer body;
    body.open(QIODevice::ReadWrite);
    body.write(AllBytes());
    // Left at its end, as after compressing into it: still sent whole.
    QBuffer out;
    client.Post(QStringLiteral("http://") + server.HostPort() + QStringLiteral("/cgi-bin/PropSearch.exe"), body, out);

    ASSERT_EQ(server.requests.size(), 1);
    const auto& req = *server.requests[0];
    EXPECT_EQ(req.RequestLine(), "POST /cgi-bin/PropSearch.exe HTTP/1.1");
    EXPECT_EQ(req.body, AllBytes());
    EXPECT_EQ(req.Header("Content-Length"), QByteArray::number(AllBytes().size()));
    EXPECT_EQ(req.Header("Content-Type"), "text/html");
    EXPECT_EQ(req.Header("Content-Encoding"), "ZIP,ENC");
    EXPECT_EQ(req.Header("Accept-Encoding"), "identity");
    EXPECT_EQ(out.data(), answer);
}

TEST(HttpClient, ChunkedAnswerIsJoined)
{
    ScriptedHttpServer server;
    const QByteArray binary("\r\n\0\xff"
                            "0\r\n",
                            7);
    server.OnRequest = [&](const Request& r) {
        r->Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                "5;name=value\r\nhello\r\n"
                "7\r\n" +
                binary +
                "\r\n"
                "A\r\n0123456789\r\n"
                "0\r\nX-Trailer: t\r\n\r\n");
    };
    THttpClient client;
    EXPECT_EQ(Get(client, server.Url("/")), "hello" + binary + "0123456789");
    EXPECT_TRUE(client.Connected()) << "a complete chunked answer keeps the connection";
}

TEST(HttpClient, InterimAnswerIsPassedOver)
{
    ScriptedHttpServer server;
    server.OnRequest = [&](const Request& r) {
        r->Send("HTTP/1.1 100 Continue\r\n\r\n" + ScriptedHttpServer::Answer("200 OK", "done"));
    };
    THttpClient client;
    EXPECT_EQ(Get(client, server.Url("/")), "done");
    EXPECT_EQ(client.ResponseCode(), 200);
}

TEST(HttpClient, HostNameIsLookedUp)
{
    // A bare system (a fresh chroot without /etc/hosts) has no name for the
    // loopback address at all; the lookup failure path has its own test.
    const QHostInfo local = QHostInfo::fromName(QStringLiteral("localhost"));
    if (local.error() != QHostInfo::NoError || local.addresses().isEmpty())
        GTEST_SKIP() << "this system cannot resolve \"localhost\"";
    ScriptedHttpServer server;
    server.OnRequest = [&](const Request& r) { r->Send(ScriptedHttpServer::Answer("200 OK", "named")); };
    THttpClient client;
    StatusLog log;
    log.Attach(client);
    EXPECT_EQ(Get(client, QStringLiteral("http://localhost:%1/").arg(server.Port())), "named");
    EXPECT_EQ(log.texts.first(), QStringLiteral("Resolving hostname localhost."));
    EXPECT_EQ(server.requests[0]->Header("Host"), "localhost:" + QByteArray::number(server.Port()));
}

TEST(HttpClient, UrlWithoutSchemeOrPortGoesToTheClientsHostAndPort)
{
    ScriptedHttpServer server;
    server.OnRequest = [&](const Request& r) { r->Send(ScriptedHttpServer::Answer("200 OK", "map")); };
    THttpClient client;
    client.SetHost(QStringLiteral("127.0.0.1"));
    client.SetPort(server.Port());
    EXPECT_EQ(Get(client, QStringLiteral("127.0.0.1/taxmap.dll?type=login&params=p q#1&sid=")), "map");
    EXPECT_EQ(Get(client, QStringLiteral("http://127.0.0.1/taxmap.dll?type=struct")), "map");
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_EQ(server.requests[0]->RequestLine(), "GET /taxmap.dll?type=login&params=p%20q%231&sid= HTTP/1.1");
    EXPECT_EQ(server.requests[0]->Header("Host"), server.HostPort().toLatin1());
    EXPECT_EQ(server.requests[1]->RequestLine(), "GET /taxmap.dll?type=struct HTTP/1.1");
}

TEST(HttpClient, CustomHeadersAreSentAndManagedOnesRefused)
{
    ScriptedHttpServer server;
    server.OnRequest = [&](const Request& r) { r->Send(ScriptedHttpServer::Answer("200 OK", "")); };
    THttpClient client;
    client.SetCustomHeader(QStringLiteral("X-Trace"), QStringLiteral("7"));
    client.SetCustomHeader(QStringLiteral("Accept"), QStringLiteral("*/*"));
    EXPECT_THROW(client.SetCustomHeader(QStringLiteral("Host"), QStringLiteral("elsewhere")), ESocketError);
    EXPECT_THROW(client.SetCustomHeader(QStringLiteral("X-Bad"), QStringLiteral("a\r\nInjected: 1")), ESocketError);
    EXPECT_THROW(client.SetCustomHeader(QStringLiteral("Bad Name"), QStringLiteral("v")), ESocketError);
    Get(client, server.Url("/"));
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_EQ(server.requests[0]->Header("X-Trace"), "7");
    EXPECT_EQ(server.requests[0]->Headers("Accept"), QList<QByteArray>{"*/*"});
    EXPECT_TRUE(server.requests[0]->Headers("Injected").isEmpty());
}

TEST(HttpClient, UrlTexts)
{
    using httpclient::ParseHttpTarget;
    auto t = ParseHttpTarget(QStringLiteral("http://Example.com:8765/a b?x=<1>"), QString(), 80);
    EXPECT_EQ(t.host, QStringLiteral("Example.com"));
    EXPECT_EQ(t.port, 8765);
    EXPECT_EQ(t.hostHeader, "Example.com:8765");
    EXPECT_EQ(t.requestTarget, "/a%20b?x=%3C1%3E");

    // The client's host may carry the port; a URL to that host inherits it.
    t = ParseHttpTarget(QStringLiteral("example.com/x"), QStringLiteral("EXAMPLE.com:9000"), 80);
    EXPECT_EQ(t.port, 9000);
    t = ParseHttpTarget(QStringLiteral("/only/path"), QStringLiteral("example.com:9000"), 80);
    EXPECT_EQ(t.host, QStringLiteral("example.com"));
    EXPECT_EQ(t.port, 9000);
    t = ParseHttpTarget(QStringLiteral("http://other.com?q"), QStringLiteral("example.com"), 9000);
    EXPECT_EQ(t.port, 80) << "another host keeps the default port";
    EXPECT_EQ(t.hostHeader, "other.com");
    EXPECT_EQ(t.requestTarget, "/?q");
    t = ParseHttpTarget(QStringLiteral("http://[::1]:81/"), QString(), 80);
    EXPECT_EQ(t.host, QStringLiteral("::1"));
    EXPECT_EQ(t.hostHeader, "[::1]:81");
    // Already escaped text passes unchanged; non-ASCII goes as UTF-8.
    t = ParseHttpTarget(QStringLiteral("h/%41%zz\u00e9"), QString(), 80);
    EXPECT_EQ(t.requestTarget, "/%41%zz%C3%A9");

    auto code = [](const QString& url) {
        try {
            ParseHttpTarget(url, QString(), 80);
        } catch (const ESocketError& e) {
            return e.Code();
        }
        return 0;
    };
    EXPECT_EQ(code(QStringLiteral("https://example.com/")), 10043);
    EXPECT_EQ(code(QStringLiteral("http:///path")), 10039);
    EXPECT_EQ(code(QStringLiteral("http://host:99999/")), 10022);
    EXPECT_EQ(code(QStringLiteral("http://host:80x/")), 10022);
    EXPECT_EQ(code(QStringLiteral("http://ho\r\nst/")), 11001);
    EXPECT_EQ(code(QStringLiteral("http://user@host/")), 11001);
    try {
        EXPECT_EQ(ParseHttpTarget(QStringLiteral("http://a.com/"), QStringLiteral("b.com:x"), 80).port, 80);
        ParseHttpTarget(QStringLiteral("/path"), QStringLiteral("b.com:x"), 80);
        ADD_FAILURE() << "a bad default host is refused when it is needed";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Code(), 10022);
    }
}

// --- Failures -------------------------------------------------------------

TEST(HttpClient, RefusedConnectionCarriesItsCodeAndNoAddress)
{
    const quint16 port = testsupport::ClosedPort();
    ASSERT_NE(port, 0);
    THttpClient client;
    StatusLog log;
    log.Attach(client);
    const QString url = QStringLiteral("http://127.0.0.1:%1/cgi-bin/IComps.exe").arg(port);
    auto e = Raised<ESocketError>([&] { Get(client, url); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Code(), 10061);
    EXPECT_EQ(e->Message(), QStringLiteral("Socket Error # 10061\r\nConnection refused."));
    EXPECT_FALSE(e->Message().contains(QString::number(port)));
    EXPECT_FALSE(e->Message().contains(QStringLiteral("127.0.0.1")));
    EXPECT_EQ(client.ResponseCode(), -1);
    EXPECT_FALSE(client.Connected());
    ASSERT_GE(log.kinds.size(), 2);
    EXPECT_EQ(log.kinds[0], THttpStatus::hsResolving);
    EXPECT_EQ(log.kinds[1], THttpStatus::hsConnecting);
    EXPECT_FALSE(log.kinds.contains(THttpStatus::hsConnected));
    // The last word is "Disconnected.", once: a status bar keeps no
    // "Connecting to ..." after the failure.
    EXPECT_EQ(log.kinds.last(), THttpStatus::hsDisconnected);
    EXPECT_EQ(log.texts.last(), QStringLiteral("Disconnected."));
    EXPECT_EQ(log.kinds.count(THttpStatus::hsDisconnected), 1);
}

TEST(HttpClient, ResetByPeer)
{
    ScriptedHttpServer server;
    server.OnRequest = [](const Request& r) { r->Reset(); };
    THttpClient client;
    auto e = Raised<ESocketError>([&] { Get(client, server.Url("/")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Code(), 10054);
    EXPECT_EQ(e->Message(), QStringLiteral("Socket Error # 10054\r\nConnection reset by peer."));
    EXPECT_FALSE(client.Connected());
}

TEST(HttpClient, CloseWithoutAnswerOrInTheMiddleOfOne)
{
    ScriptedHttpServer server;
    THttpClient client;

    server.OnRequest = [](const Request& r) { r->Close(); };
    auto e = Raised<EConnClosedGracefully>([&] { Get(client, server.Url("/")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), QStringLiteral("Connection closed gracefully."));
    EXPECT_EQ(client.ResponseCode(), -1);
    EXPECT_FALSE(client.Connected());

    server.OnRequest = [](const Request& r) { r->SendAndClose("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"); };
    EXPECT_TRUE(Raised<EConnClosedGracefully>([&] { Get(client, server.Url("/")); }));
    EXPECT_FALSE(client.Connected());

    server.OnRequest = [](const Request& r) {
        r->SendAndClose("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel");
    };
    EXPECT_TRUE(Raised<EConnClosedGracefully>([&] { Get(client, server.Url("/")); }));
}

TEST(HttpClient, AnswerEndedByCloseIsComplete)
{
    ScriptedHttpServer server;
    server.OnRequest = [](const Request& r) { r->SendAndClose("HTTP/1.0 200 OK\r\n\r\nuntil the end"); };
    THttpClient client;
    EXPECT_EQ(Get(client, server.Url("/")), "until the end");
    EXPECT_FALSE(client.Connected());
}

TEST(HttpClient, StatusOtherThan2xxRaisesWithTheCodeSet)
{
    ScriptedHttpServer server;
    QByteArray status;
    server.OnRequest = [&](const Request& r) {
        r->Send(ScriptedHttpServer::Answer(status, "<html>error page</html>", "Location: http://elsewhere/\r\n"));
    };
    THttpClient client;
    QBuffer out;
    out.open(QIODevice::ReadWrite);

    status = "404 Not Found";
    auto e = Raised<EHttpProtocolError>([&] { client.Get(server.Url("/missing"), out); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), QStringLiteral("HTTP/1.1 404 Not Found"));
    EXPECT_EQ(e->ErrorCode(), 404);
    EXPECT_EQ(client.ResponseCode(), 404);
    EXPECT_EQ(client.ResponseHeader(QStringLiteral("location")), QStringLiteral("http://elsewhere/"));
    EXPECT_FALSE(client.Connected()) << "a failed request leaves the client disconnected";

    status = "500 Internal Server Error";
    e = Raised<EHttpProtocolError>([&] { client.Get(server.Url("/"), out); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), QStringLiteral("HTTP/1.1 500 Internal Server Error"));
    EXPECT_EQ(client.ResponseCode(), 500);

    // Redirects are not followed: a 3xx fails like any other status.
    status = "302 Found";
    e = Raised<EHttpProtocolError>([&] { client.Get(server.Url("/moved"), out); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), QStringLiteral("HTTP/1.1 302 Found"));
    EXPECT_EQ(server.requests.size(), 3);
    EXPECT_TRUE(out.data().isEmpty()) << "an error page is not the answer";

    // A later transport failure leaves no stale code behind.
    server.OnRequest = [](const Request& r) { r->Close(); };
    EXPECT_TRUE(Raised<EConnClosedGracefully>([&] { client.Get(server.Url("/"), out); }));
    EXPECT_EQ(client.ResponseCode(), -1);
    EXPECT_TRUE(client.ResponseHeader(QStringLiteral("Location")).isEmpty());
}

TEST(HttpClient, AnswerThatIsNotHttpIsRefused)
{
    ScriptedHttpServer server;
    server.OnRequest = [](const Request& r) { r->SendAndClose("SSH-2.0-OpenSSH\r\n\r\n"); };
    THttpClient client;
    auto e = Raised<EHttpError>([&] { Get(client, server.Url("/")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), QStringLiteral("Invalid HTTP response."));

    server.OnRequest = [](const Request& r) { r->Send("HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n"); };
    EXPECT_TRUE(Raised<EHttpError>([&] { Get(client, server.Url("/")); }));
    server.OnRequest = [](const Request& r) {
        r->Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc");
    };
    EXPECT_TRUE(Raised<EHttpError>([&] { Get(client, server.Url("/")); }));
}

namespace {

// A client and a server that answers every request with the bytes given,
// closing the connection after them or keeping it.
struct ScriptedAnswer {
    explicit ScriptedAnswer(bool close)
    {
        server.OnRequest = [this, close](const Request& r) { close ? r->SendAndClose(answer) : r->Send(answer); };
    }
    // The body of the answer to a GET.
    QByteArray Body(const QByteArray& raw)
    {
        answer = raw;
        return Get(client, server.Url("/"));
    }
    // The message of the error the answer raises (and a failure when it
    // raises none).
    QString Refusal(const QByteArray& raw)
    {
        auto e = Raised<EHttpError>([&] { Body(raw); });
        return e ? e->Message() : QString();
    }

    ScriptedHttpServer server;
    THttpClient client;
    QByteArray answer;
};

const QString kInvalid = QStringLiteral("Invalid HTTP response.");

} // namespace

TEST(HttpClient, StatusLinesAreReadStrictly)
{
    ScriptedAnswer s(true);
    const QByteArray rest = "Content-Length: 2\r\n\r\nok";

    // Up to four stray line ends before the answer; a reason may be missing
    // and loses its control characters.
    EXPECT_EQ(s.Body("\r\n\n\r\n\r\nHTTP/1.1 200 Fine\x01 \tthanks\r\n" + rest), "ok");
    EXPECT_EQ(s.client.ResponseText(), QStringLiteral("Fine thanks"));
    EXPECT_EQ(s.Body("HTTP/1.0 201\r\n" + rest), "ok");
    EXPECT_EQ(s.client.ResponseCode(), 201);
    EXPECT_EQ(s.client.ResponseText(), QString());

    const QList<QByteArray> invalid = {
        "\r\n\r\n\r\n\r\n\r\nHTTP/1.1 200 OK\r\n", // one line end too many
        "HTTP/2.0 200 OK\r\n",
        "HTTP/1.x 200 OK\r\n",
        "HTTP/1.1-200 OK\r\n",
        "HTTP/1.1 2x0 OK\r\n",
        "HTTP/1.1  200 OK\r\n",
        "HTTP/1.1 2000 OK\r\n",
        "HTTP/1.1 20\r\n",
    };
    for (const QByteArray& head : invalid) {
        EXPECT_EQ(s.Refusal(head + rest), kInvalid) << head.constData();
        EXPECT_FALSE(s.client.Connected());
    }
}

TEST(HttpClient, InterimAnswersButSwitchingProtocolsArePassedOver)
{
    ScriptedAnswer s(false);
    const QByteArray real = ScriptedHttpServer::Answer("200 OK", "done");
    EXPECT_EQ(s.Body("HTTP/1.1 100 Continue\r\nX-Interim: 1\r\n\r\nHTTP/1.1 102 Processing\r\n\r\n" + real), "done");
    EXPECT_EQ(s.client.ResponseCode(), 200);
    EXPECT_TRUE(s.client.ResponseHeader(QStringLiteral("X-Interim")).isEmpty()) << "an interim answer's headers go";

    s.answer = "HTTP/1.1 101 Switching Protocols\r\nUpgrade: other\r\n\r\n" + real;
    auto e = Raised<EHttpProtocolError>([&] { Get(s.client, s.server.Url("/")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->ErrorCode(), 101);
    EXPECT_EQ(s.client.ResponseCode(), 101);
    EXPECT_FALSE(s.client.Connected());
}

TEST(HttpClient, BodiesEndWhereTheirHeadersSay)
{
    ScriptedAnswer s(true);

    // No content: a length or coding is not read.
    EXPECT_EQ(s.Body("HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n\r\n"), "");
    EXPECT_EQ(s.Body("HTTP/1.1 204 No Content\r\nTransfer-Encoding: chunked\r\n\r\n"), "");
    EXPECT_EQ(s.client.ResponseCode(), 204);

    // Chunk sizes in either case with blanks around; chunked as the last
    // coding wins over a length.
    EXPECT_EQ(s.Body("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\nContent-Length: 1\r\n\r\n"
                     " a \r\n0123456789\r\nB\r\nabcdefghijk\r\n0\r\n\r\n"),
              "0123456789abcdefghijk");

    // Another last coding: the bytes as they came, until the close.
    EXPECT_EQ(s.Body("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\nContent-Length: 1\r\n\r\n"
                     "5\r\nhello\r\n0\r\n\r\n"),
              "5\r\nhello\r\n0\r\n\r\n");
    EXPECT_FALSE(s.client.Connected());

    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QList<QByteArray> badChunks = {
        "\r\nhello\r\n0\r\n\r\n",                 // no size
        "5g\r\nhello\r\n0\r\n\r\n",               // not a hex digit
        "-5\r\nhello\r\n0\r\n\r\n",               // no sign
        "0000000000000005\r\nhello\r\n0\r\n\r\n", // sixteen digits
        "5\r\nhelloX\r\n0\r\n\r\n",               // data longer than said
    };
    for (const QByteArray& chunks : badChunks) EXPECT_EQ(s.Refusal(chunked + chunks), kInvalid) << chunks.constData();
    // Fifteen digits are still a size.
    EXPECT_EQ(s.Body(chunked + "000000000000005\r\nhello\r\n0\r\n\r\n"), "hello");
}

TEST(HttpClient, TheConnectionIsKeptAsTheAnswerSays)
{
    ScriptedAnswer s(false);
    EXPECT_EQ(s.Body("HTTP/1.0 200 OK\r\nConnection: Keep-Alive\r\nContent-Length: 1\r\n\r\nk"), "k");
    EXPECT_TRUE(s.client.Connected());
    EXPECT_EQ(s.Body("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nc"), "c");
    EXPECT_FALSE(s.client.Connected());
    EXPECT_EQ(s.Body("HTTP/1.1 200 OK\r\nConnection: keep-alive, Close\r\nContent-Length: 1\r\n\r\nc"), "c");
    EXPECT_FALSE(s.client.Connected());

    // Bytes after the answer were never asked for.
    EXPECT_EQ(s.Body("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nxjunk"), "x");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !s.client.Connected(); }));

    EXPECT_EQ(s.Body("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\ny\r\n0\r\n\r\n"), "y");
    EXPECT_TRUE(s.client.Connected());
}

TEST(HttpClient, HostNotFound)
{
    THttpClient client;
    client.SetConnectTimeout(5000);
    auto e = Raised<ESocketError>([&] { Get(client, QStringLiteral("http://tamsel-no-such-host.invalid/x")); });
    ASSERT_TRUE(e);
    if (e->Code() == 10060) GTEST_SKIP() << "no name service answers here";
    EXPECT_TRUE(e->Code() == 11001 || e->Code() == 11002) << e->Code();
    EXPECT_FALSE(e->Message().contains(QStringLiteral("tamsel")));
}

// --- Time-outs and limits --------------------------------------------------

TEST(HttpClient, ReadTimeOutWhenSet)
{
    ScriptedHttpServer server; // takes the request and never answers
    THttpClient client;
    EXPECT_EQ(client.ReadTimeout(), 0) << "no read time-out by default";
    // Without a read time-out an expiry changes nothing: the answer still
    // comes.
    server.OnRequest = [&](const Request& r) {
        httpclient::ExpireDeadline(client);
        r->Send(ScriptedHttpServer::Answer("200 OK", "patient"));
    };
    EXPECT_EQ(Get(client, server.Url("/")), "patient");
    // With one, the call waiting for the answer times out when it passes.
    client.SetReadTimeout(60000);
    server.OnRequest = [&](const Request&) { httpclient::ExpireDeadline(client); };
    auto e = Raised<ESocketError>([&] { Get(client, server.Url("/slow")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Code(), 10060);
    EXPECT_EQ(e->Message(), QStringLiteral("Socket Error # 10060\r\nConnection timed out."));
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_FALSE(client.Connected());
}

TEST(HttpClient, ConnectTimeOut)
{
    EXPECT_EQ(THttpClient().ConnectTimeout(), 20000);
    // A listener with a full accept queue leaves further connections
    // unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), len), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(filler, reinterpret_cast<sockaddr*>(&addr), len), 0);

    THttpClient client;
    StatusLog log;
    log.Attach(client);
    // The time-out passes once the client waits for the connection.
    QObject scope;
    client.OnStatus = [&](QObject*, THttpStatus s, const QString& text) {
        log.kinds << s;
        log.texts << text;
        if (s == THttpStatus::hsConnecting) QTimer::singleShot(0, &scope, [&] { httpclient::ExpireDeadline(client); });
    };
    auto e =
        Raised<ESocketError>([&] { Get(client, QStringLiteral("http://127.0.0.1:%1/").arg(ntohs(addr.sin_port))); });
    ::close(filler);
    ::close(listener);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Code(), 10060);
    EXPECT_FALSE(client.Connected());
    ASSERT_FALSE(log.kinds.isEmpty());
    EXPECT_EQ(log.texts.last(), QStringLiteral("Disconnected."));
}

TEST(HttpClient, BodyLargerThanTheCapFails)
{
    ScriptedHttpServer server;
    QByteArray answer;
    server.OnRequest = [&](const Request& r) { r->SendAndClose(answer); };
    THttpClient client;
    EXPECT_EQ(client.MaxResponseSize(), 64 * 1024 * 1024);
    client.SetMaxResponseSize(1000);
    QBuffer out;
    out.open(QIODevice::ReadWrite);

    answer = ScriptedHttpServer::Answer("200 OK", QByteArray(1000, 'a'));
    client.Get(server.Url("/"), out);
    EXPECT_EQ(out.data().size(), 1000) << "exactly the cap is accepted";

    const QList<QByteArray> tooLarge = {
        ScriptedHttpServer::Answer("200 OK", QByteArray(1001, 'a')),
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n258\r\n" + QByteArray(600, 'b') + "\r\n258\r\n" +
            QByteArray(600, 'b') + "\r\n0\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n",
        "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(5000, 'c'),
        "HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(100000, 'h') + "\r\n\r\n",
    };
    for (const QByteArray& a : tooLarge) {
        answer = a;
        out.buffer().clear();
        out.seek(0);
        auto e = Raised<EHttpError>([&] { client.Get(server.Url("/"), out); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Message(), QStringLiteral("The server's answer exceeds the size limit."));
        EXPECT_LE(out.data().size(), 1000);
        EXPECT_FALSE(client.Connected());
    }
}

// --- The anti-freeze and the connected state -------------------------------

TEST(HttpClient, EventsFlowWhileAnAnswerIsDelayed)
{
    ScriptedHttpServer server;
    Request held;
    server.OnRequest = [&](const Request& r) { held = r; };
    THttpClient client;
    client.SetReadTimeout(30000); // a broken anti-freeze fails instead of hanging
    StatusLog log;
    log.Attach(client);

    // The answer is released only by a timer and after a key press reached
    // an edit: both must be delivered while Get waits.
    QLineEdit edit;
    bool keyPosted = false;
    bool connectedWhileWaiting = false;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!held) return;
        if (!keyPosted) {
            keyPosted = true;
            QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
            return;
        }
        if (edit.text() != QStringLiteral("a")) return;
        connectedWhileWaiting = client.Connected();
        timer.stop();
        held->Send(ScriptedHttpServer::Answer("200 OK", "late"));
    });
    timer.start();

    EXPECT_EQ(Get(client, server.Url("/")), "late");
    EXPECT_TRUE(connectedWhileWaiting);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));
    ASSERT_EQ(log.kinds.size(), 3);
    EXPECT_EQ(log.kinds[0], THttpStatus::hsResolving);
    EXPECT_EQ(log.kinds[1], THttpStatus::hsConnecting);
    EXPECT_EQ(log.kinds[2], THttpStatus::hsConnected);
    EXPECT_EQ(log.texts[2], QStringLiteral("Connected."));

    // The server keeps the connection: connected until disconnected.
    EXPECT_TRUE(client.Connected());
    client.Disconnect();
    EXPECT_FALSE(client.Connected());
    ASSERT_EQ(log.kinds.size(), 5);
    EXPECT_EQ(log.kinds[3], THttpStatus::hsDisconnecting);
    EXPECT_EQ(log.kinds[4], THttpStatus::hsDisconnected);
    client.Disconnect();
    EXPECT_EQ(log.kinds.size(), 5) << "disconnecting a disconnected client reports nothing";
}

TEST(HttpClient, ConnectedEndsWhenTheServerClosesOrSaysSo)
{
    ScriptedHttpServer server;
    Request last;
    QByteArray extra;
    server.OnRequest = [&](const Request& r) {
        last = r;
        r->Send(ScriptedHttpServer::Answer("200 OK", "x", extra));
    };
    THttpClient client;

    extra = "Connection: close\r\n";
    Get(client, server.Url("/"));
    EXPECT_FALSE(client.Connected());

    extra.clear();
    Get(client, server.Url("/"));
    EXPECT_TRUE(client.Connected());
    StatusLog log;
    log.Attach(client);
    last->Close();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !client.Connected(); }));
    EXPECT_TRUE(testsupport::WaitUntil([&] { return log.kinds.contains(THttpStatus::hsDisconnected); }));

    // The next request opens a connection of its own.
    Get(client, server.Url("/"));
    EXPECT_EQ(server.connections, 3);
    EXPECT_TRUE(client.Connected());
    Get(client, server.Url("/"));
    EXPECT_EQ(server.connections, 4) << "a kept connection is not reused";
}

TEST(HttpClient, DisconnectDuringTheWaitEndsTheCall)
{
    ScriptedHttpServer server;
    Request held;
    server.OnRequest = [&](const Request& r) { held = r; };
    THttpClient client;
    client.SetReadTimeout(30000);
    StatusLog log;
    log.Attach(client);
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!held) return;
        timer.stop();
        client.Disconnect();
        EXPECT_FALSE(client.Connected()) << "disconnected at once";
    });
    timer.start();

    auto e = Raised<ESocketError>([&] { Get(client, server.Url("/")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Code(), 10004);
    EXPECT_EQ(e->Message(), QStringLiteral("Socket Error # 10004\r\nInterrupted function call."));
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(log.kinds.count(THttpStatus::hsDisconnected), 1);

    // The client serves the next request as usual.
    server.OnRequest = [](const Request& r) { r->Send(ScriptedHttpServer::Answer("200 OK", "again")); };
    EXPECT_EQ(Get(client, server.Url("/")), "again");
}

TEST(HttpClient, TransferGoesOnWhileTheApplicationQuits)
{
    ScriptedHttpServer server;
    Request held;
    server.OnRequest = [&](const Request& r) { held = r; };
    THttpClient client;
    client.SetReadTimeout(30000);
    int step = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!held) return;
        // The application is told to quit: the waiting loop ends and no new
        // one may start, yet events must keep coming until the answer.
        if (step++ == 0) {
            QCoreApplication::exit(0);
            return;
        }
        timer.stop();
        held->Send(ScriptedHttpServer::Answer("200 OK", "answered"));
    });
    timer.start();
    EXPECT_EQ(Get(client, server.Url("/")), "answered");
    EXPECT_GE(step, 2);
    // Let the application's loop run once, which clears the quit request
    // for the tests that follow.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST(HttpClient, SecondRequestOnABusyClientIsRefused)
{
    ScriptedHttpServer server;
    Request held;
    server.OnRequest = [&](const Request& r) { held = r; };
    THttpClient client;
    client.SetReadTimeout(30000);
    std::optional<int> innerCode;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!held) return;
        timer.stop();
        try {
            Get(client, server.Url("/again"));
        } catch (const ESocketError& e) {
            innerCode = e.Code();
        }
        held->Send(ScriptedHttpServer::Answer("200 OK", "first"));
    });
    timer.start();
    EXPECT_EQ(Get(client, server.Url("/")), "first");
    EXPECT_EQ(innerCode, 10037);
    EXPECT_EQ(server.requests.size(), 1);
}

TEST(HttpClient, DestroyedDuringTheWait)
{
    ScriptedHttpServer server;
    Request held;
    server.OnRequest = [&](const Request& r) { held = r; };
    for (bool deferred : {false, true}) {
        held.reset();
        QPointer<THttpClient> client = new THttpClient;
        client->SetReadTimeout(30000);
        StatusLog log;
        log.Attach(*client);
        QTimer timer;
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (!held) return;
            timer.stop();
            // As an owner freeing its components, at once or later.
            if (deferred)
                client->deleteLater();
            else
                delete client.data();
        });
        timer.start();
        THttpClient* raw = client.data();
        auto e = Raised<EHttpClientDestroyed>([&] { Get(*raw, server.Url("/")); });
        ASSERT_TRUE(e) << "deferred: " << deferred;
        EXPECT_EQ(e->Code(), 10004);
        EXPECT_TRUE(client.isNull());
        EXPECT_FALSE(log.kinds.contains(THttpStatus::hsDisconnecting)) << "no events from a dying client";
        // The server sees the connection go.
        EXPECT_TRUE(testsupport::WaitUntil([&] { return !held->socket; }));
    }
}

// --- Cookies ----------------------------------------------------------------

TEST(HttpClient, CookiesAreKeptPerClientAndNeverShared)
{
    ScriptedHttpServer server;
    server.OnRequest = [&](const Request& r) {
        if (r->RequestLine().startsWith("GET /login"))
            r->Send(ScriptedHttpServer::Answer("200 OK", "", "Set-Cookie: sid=abc; Path=/\r\n"));
        else
            r->Send(ScriptedHttpServer::Answer("200 OK", ""));
    };
    THttpClient a, b, off;
    off.SetAllowCookies(false);

    Get(a, server.Url("/login"));
    Get(a, server.Url("/next"));
    Get(b, server.Url("/next"));
    Get(off, server.Url("/login"));
    Get(off, server.Url("/next"));

    ASSERT_EQ(server.requests.size(), 5);
    EXPECT_EQ(server.requests[1]->Header("Cookie"), "sid=abc");
    EXPECT_TRUE(server.requests[2]->Headers("Cookie").isEmpty()) << "another client has its own store";
    EXPECT_TRUE(server.requests[4]->Headers("Cookie").isEmpty()) << "cookies switched off";
    EXPECT_EQ(a.Cookies().size(), 1);
    EXPECT_TRUE(b.Cookies().isEmpty());
    EXPECT_TRUE(off.Cookies().isEmpty());

    a.ClearCookies();
    Get(a, server.Url("/next"));
    EXPECT_TRUE(server.requests[5]->Headers("Cookie").isEmpty());
}

TEST(HttpClient, CookieStoreIsBounded)
{
    ScriptedHttpServer server;
    int n = 0;
    server.OnRequest = [&](const Request& r) {
        QByteArray headers;
        for (int i = 0; i < 100; ++i) headers += "Set-Cookie: c" + QByteArray::number(n++) + "=v\r\n";
        r->Send(ScriptedHttpServer::Answer("200 OK", "", headers));
    };
    THttpClient client;
    for (int i = 0; i < 5; ++i) Get(client, server.Url("/"));
    EXPECT_EQ(client.Cookies().size(), httpclient::kMaxCookies);
    EXPECT_EQ(client.Cookies().last().name(), "c499") << "the newest are kept";
}

// --- Error texts ---------------------------------------------------------------

TEST(HttpErrors, TextsCarryTheWinsockCodeAndWording)
{
    EXPECT_EQ(ESocketError(10051).Message(), QStringLiteral("Socket Error # 10051\r\nNetwork is unreachable."));
    EXPECT_EQ(ESocketError(11001).Message(), QStringLiteral("Socket Error # 11001\r\nHost not found."));
    EXPECT_EQ(ESocketError::CodeFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(ESocketError::CodeFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(ESocketError::CodeFromErrno(EPIPE), 10054);
    EXPECT_EQ(ESocketError::CodeFromErrno(EIO), 10053) << "no counterpart: given up locally";
    // No description carries digits a code search could mistake for a code.
    for (int code = 10000; code <= 11004; ++code)
        for (QChar c : ESocketError::Description(code)) EXPECT_FALSE(c.isDigit()) << code;
}
