#pragma once
// The HTTP/1.1 client component of the connections: blocking GET and POST of
// streams that keep every event flowing while they wait (the anti-freeze),
// the connected test, disconnect, the status code and headers of the last
// answer, and a cookie store of its own.
//
// It is written on a plain non-blocking socket rather than on QtNetwork's
// access manager, because the connections need exactly what is sent and
// received: no decompression, no redirects, no connection sharing between
// clients, and the Windows socket error code of each failure (a reset is not
// an orderly close, a refusal not a time-out), which Qt's socket classes fold
// together.
//
// The connected state: Connected() is true from the start of a request. When
// the answer is complete and the server keeps the connection open (HTTP/1.1
// without "Connection: close"), it stays true until Disconnect() or until the
// server closes it. A failed request (transport error or a status other than
// 2xx) leaves the client disconnected, and so does Disconnect() at once,
// even while the call it ends is still unwinding. A new request never reuses a kept
// connection: it closes it and connects anew, so a request is never replayed
// on a connection the server has dropped.
//
// Errors (platform/HttpErrors.h): transport failures raise ESocketError
// ("Socket Error # 10061" CR LF "Connection refused."); Disconnect() during a
// call ends it with ESocketError 10004; destroying the client during a call
// ends it with EHttpClientDestroyed (code 10004 too); a server closing the
// connection before its answer is complete raises EConnClosedGracefully
// ("Connection closed gracefully."); a status other than 2xx raises
// EHttpProtocolError ("HTTP/1.1 404 Not Found") after ResponseCode() and the
// headers are set (the error page is not delivered); an answer past a size limit, or one that is not HTTP,
// raises EHttpError. Time-outs (connect and read) are code 10060.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QNetworkCookie>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class QIODevice;

class THttpClient;

namespace httpclient {
struct HttpGuard;
struct HttpTarget;
struct HttpStatusLine;
class HttpCookieJar;
class HttpSocket;
void ExpireDeadline(THttpClient& client);
} // namespace httpclient

enum class THttpStatus { hsResolving, hsConnecting, hsConnected, hsDisconnecting, hsDisconnected };

class THttpClient : public QObject {
    Q_OBJECT
public:
    explicit THttpClient(QObject* owner = nullptr);
    ~THttpClient() override;

    // GET of url; the answer body is written to response at its current
    // position (the device is opened read-write when it is not open).
    void Get(const QString& url, QIODevice& response);
    // POST of the whole of body, from its start, to url; the answer as Get.
    void Post(const QString& url, QIODevice& body, QIODevice& response);

    bool Connected() const;
    // Closes the connection; a call waiting on it ends with error 10004.
    void Disconnect();

    // The last answer: status code (-1 before any, and after a request that
    // got none), reason phrase, headers.
    int ResponseCode() const { return m_responseCode; }
    QString ResponseText() const { return m_responseText; }
    // Value of the first header of that name, the case of the name ignored;
    // empty when there is none.
    QString ResponseHeader(const QString& name) const;
    // Every header line as received ("Name: value"), folded lines joined.
    QStringList RawResponseHeaders() const;

    // The default host and port: a URL without a host goes to Host, and a
    // URL to Host without a port goes to Port. Host may carry a port
    // ("127.0.0.1:8765"), which then wins over Port.
    QString Host() const { return m_host; }
    void SetHost(const QString& host) { m_host = host; }
    int Port() const { return m_port; }
    void SetPort(int port) { m_port = port; }

    // Request headers. Content-Type and Content-Encoding describe a body and
    // are sent with POST only; an empty value is not sent. Accept-Encoding is
    // always "identity": answers arrive as the server wrote them.
    QString ContentType() const { return m_contentType; }
    void SetContentType(const QString& value) { m_contentType = value; }
    QString ContentEncoding() const { return m_contentEncoding; }
    void SetContentEncoding(const QString& value) { m_contentEncoding = value; }
    QString Accept() const { return m_accept; }
    void SetAccept(const QString& value) { m_accept = value; }
    QString UserAgent() const { return m_userAgent; }
    void SetUserAgent(const QString& value) { m_userAgent = value; }
    // Further headers sent with every request; one of the same name as a
    // header above replaces it. Raises ESocketError 10022 for a name that is
    // not a token, a value holding a line break, or a header the transfer
    // itself writes (Host, Content-Length, Transfer-Encoding, Connection,
    // Accept-Encoding, Cookie).
    void SetCustomHeader(const QString& name, const QString& value);
    void ClearCustomHeaders() { m_customHeaders.clear(); }
    QList<std::pair<QString, QString>> CustomHeaders() const { return m_customHeaders; }

    // Cookies: kept per client from every answer and sent back with the
    // requests they match, when allowed (the default).
    bool AllowCookies() const { return m_allowCookies; }
    void SetAllowCookies(bool allow) { m_allowCookies = allow; }
    QList<QNetworkCookie> Cookies() const;
    void ClearCookies();

    // Time-outs in milliseconds, 0 for none. The connect time-out covers the
    // name lookup and the connection; the read time-out is the longest wait
    // for the server's next bytes (or for room to send).
    int ConnectTimeout() const { return m_connectTimeout; }
    void SetConnectTimeout(int ms) { m_connectTimeout = ms; }
    int ReadTimeout() const { return m_readTimeout; }
    void SetReadTimeout(int ms) { m_readTimeout = ms; }
    // The largest answer body accepted; a longer one fails the call.
    qint64 MaxResponseSize() const { return m_maxResponseSize; }
    void SetMaxResponseSize(qint64 bytes) { m_maxResponseSize = bytes; }

    // Progress of the connection, for a status bar.
    std::function<void(QObject* sender, THttpStatus status, const QString& text)> OnStatus;

private:
    friend void httpclient::ExpireDeadline(THttpClient& client);
    void DoRequest(const QByteArray& method, const QString& url, QIODevice* body, QIODevice& response);
    QByteArray RequestHead(const QByteArray& method, const httpclient::HttpTarget& target,
                           const QByteArray* body) const;
    void Connect(const std::shared_ptr<httpclient::HttpGuard>& g, const QString& host, quint16 port);
    QList<QHostAddress> Resolve(const std::shared_ptr<httpclient::HttpGuard>& g, const QString& host,
                                const QDeadlineTimer& deadline);
    void OpenSocket(int fd);
    void WaitSocket(const std::shared_ptr<httpclient::HttpGuard>& g, bool forWrite, const QDeadlineTimer& deadline);
    void Send(const std::shared_ptr<httpclient::HttpGuard>& g, const QByteArray& data);
    bool Fill(const std::shared_ptr<httpclient::HttpGuard>& g);
    QByteArray ReadLine(const std::shared_ptr<httpclient::HttpGuard>& g);
    void ReadHeaders(const std::shared_ptr<httpclient::HttpGuard>& g,
                     QList<std::pair<QByteArray, QByteArray>>& headers);
    bool ReadAnswer(const std::shared_ptr<httpclient::HttpGuard>& g, const httpclient::HttpTarget& target,
                    QIODevice& response);
    // The steps of ReadAnswer.
    httpclient::HttpStatusLine ReadStatus(const std::shared_ptr<httpclient::HttpGuard>& g,
                                          QList<std::pair<QByteArray, QByteArray>>& headers);
    void StoreCookies(const httpclient::HttpTarget& target, const QList<std::pair<QByteArray, QByteArray>>& headers);
    bool ReadAnswerBody(const std::shared_ptr<httpclient::HttpGuard>& g, int code,
                        const QList<std::pair<QByteArray, QByteArray>>& headers, QIODevice& response);
    void ReadChunks(const std::shared_ptr<httpclient::HttpGuard>& g, QIODevice& response, qint64& total);
    void ReadUntilClose(const std::shared_ptr<httpclient::HttpGuard>& g, QIODevice& response, qint64& total);
    void ReadBody(const std::shared_ptr<httpclient::HttpGuard>& g, qint64 length, QIODevice& response, qint64& total);
    void Deliver(QIODevice& response, const char* data, qint64 size, qint64& total);
    QDeadlineTimer ReadDeadline() const;
    void IdleReadable();
    // Closes the socket; with report, between the disconnecting and
    // disconnected events. Returns false when an event handler destroyed
    // the client.
    bool CloseSocket(bool report);
    int Fd() const;
    void FireStatus(THttpStatus status, const QString& text);

    std::shared_ptr<httpclient::HttpGuard> m_guard;
    httpclient::HttpCookieJar* m_cookies;

    QString m_host;
    int m_port = 80;
    QString m_contentType;
    QString m_contentEncoding;
    QString m_accept = QStringLiteral("text/html, */*");
    QString m_userAgent = QStringLiteral("Mozilla/3.0 (compatible; Indy Library)");
    QList<std::pair<QString, QString>> m_customHeaders;
    bool m_allowCookies = true;
    int m_connectTimeout = 20000;
    int m_readTimeout = 0;
    qint64 m_maxResponseSize = 64 * 1024 * 1024;

    int m_responseCode = -1;
    QString m_responseText;
    QList<std::pair<QByteArray, QByteArray>> m_responseHeaders;

    bool m_busy = false;
    int m_lookupId = -1;
    std::unique_ptr<httpclient::HttpSocket> m_socket; // null while not connected
    QByteArray m_in;                                  // received, not yet consumed from m_inPos on
    qsizetype m_inPos = 0;
};
