#pragma once
// Private details of THttpClient, shared with its tests.

#include <QByteArray>
#include <QList>
#include <QNetworkCookieJar>
#include <QString>
#include <QUrl>
#include <memory>
#include <utility>

class QEventLoop;
class QSocketNotifier;
class THttpClient;

namespace httpclient {

// Limits on what a server may make the client hold, besides the body cap.
constexpr qsizetype kMaxLineBytes = 16 * 1024;    // status, header, chunk-size line
constexpr qsizetype kMaxHeaderBytes = 256 * 1024; // one header block
constexpr int kMaxHeaderLines = 256;
constexpr int kMaxCookies = 300;     // kept per client
constexpr int kMaxReasonChars = 256; // reason phrase kept for messages

// Where one request goes and what it asks for.
struct HttpTarget {
    QString host; // name or address, without brackets
    quint16 port = 80;
    QByteArray hostHeader;    // value of the Host header: host[:port]
    QByteArray requestTarget; // path and query, escaped for the request line
    QUrl cookieUrl;           // the same place as a URL, for the cookie store
};

// Reads a URL text as the connections write it: "http://host[:port]/path?query",
// or the same without the scheme ("host/path?query"), or only "/path?query"
// (the client's host). A URL without a port takes the client's port when its
// host is the client's host, else 80; clientHost may carry its own port
// ("127.0.0.1:8765"). Characters that may not stand in a request line (blanks,
// controls, non-ASCII, '#' among them) are percent-encoded; '%' is kept, so
// escaped text passes unchanged. Raises ESocketError: 10043 for a scheme other
// than http, 10039 for no host, 10022 for a bad port, 11001 for a host name
// with characters no host name has.
HttpTarget ParseHttpTarget(const QString& url, const QString& clientHost, int clientPort);

// Splits "host[:port]" (IPv6 in brackets). port is 0 when none is given.
// Returns false when the port is not a number from 1 to 65535.
bool SplitHostPort(const QString& text, QString& host, int& port);

// The shared state of a waiting call. The client and the call's stack frame
// both hold it, so the frame can see that the client is gone without
// touching it.
struct HttpGuard {
    bool alive = true;      // false once the client is destroyed
    bool aborted = false;   // Disconnect() during the call
    bool signalled = false; // what the call waits for has happened
    bool expired = false;   // the call's deadline counts as passed
    QEventLoop* loop = nullptr;

    void Wake();
    void Abort();
    void Kill();
    void Expire();
};

// Ends the client's current call as its deadline passing would (socket
// error 10060), at the wait it is in or at its next one; a wait without a
// deadline goes on. Tests drive time-outs with it instead of waiting them
// out.
void ExpireDeadline(THttpClient& client);

// The socket of a connection with its read and write notifiers (both
// disabled at first), closed together when the owner goes.
class HttpSocket {
public:
    explicit HttpSocket(int fd);
    ~HttpSocket();
    HttpSocket(const HttpSocket&) = delete;
    HttpSocket& operator=(const HttpSocket&) = delete;

    int Fd() const { return m_fd; }
    QSocketNotifier& ReadNotifier() const { return *m_read; }
    QSocketNotifier& WriteNotifier() const { return *m_write; }

private:
    int m_fd;
    std::unique_ptr<QSocketNotifier> m_read;
    std::unique_ptr<QSocketNotifier> m_write;
};

// One cookie store per client, holding at most kMaxCookies (the oldest go).
class HttpCookieJar : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;
    QList<QNetworkCookie> All() const { return allCookies(); }
    void Clear() { setAllCookies({}); }
};

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// The status line of an answer: "HTTP/1.1 200 OK".
struct HttpStatusLine {
    int minor = 0; // HTTP/1.minor
    int code = 0;
    QString reason;
};

} // namespace httpclient
