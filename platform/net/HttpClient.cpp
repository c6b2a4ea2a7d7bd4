#include "platform/net/HttpClient.h"
#include "platform/net/HttpClient_p.h"

#include "platform/core/Exception.h"
#include "platform/core/SysUtils.h"
#include "platform/net/HttpErrors.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostInfo>
#include <QIODevice>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

using namespace httpclient;

namespace {

using Guard = std::shared_ptr<HttpGuard>;

EHttpError TooLarge() { return EHttpError(QStringLiteral("The server's answer exceeds the size limit.")); }

EHttpError InvalidAnswer() { return EHttpError(QStringLiteral("Invalid HTTP response.")); }

// Ends the call when its client was destroyed or disconnected meanwhile.
// Touches nothing but the guard.
void CheckCall(const Guard& g)
{
    if (!g->alive) throw EHttpClientDestroyed();
    if (g->aborted) throw ESocketError(Win::WSAEINTR);
}

// The anti-freeze: runs a nested event loop, so every event (user input,
// timers, window messages) is delivered, until the awaited event signals the
// guard. A passed deadline raises a time-out.
void Pump(const Guard& g, const QDeadlineTimer& deadline)
{
    for (;;) {
        CheckCall(g);
        if (g->signalled) {
            g->signalled = false;
            return;
        }
        if (deadline.hasExpired() || (g->expired && !deadline.isForever())) throw ESocketError(Win::WSAETIMEDOUT);
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        if (!deadline.isForever()) {
            QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
            timer.start(int(qBound<qint64>(0, deadline.remainingTime(), qint64(INT_MAX))));
        }
        g->loop = &loop;
        const int result = loop.exec(QEventLoop::AllEvents);
        g->loop = nullptr;
        // A quitting application refuses new event loops; the transfer goes
        // on with plain event processing until it ends.
        if (result == -1 && g->alive && !g->aborted && !g->signalled)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

bool IsTokenChar(char c)
{
    if (c >= 'a' && c <= 'z') return true;
    if (c >= 'A' && c <= 'Z') return true;
    if (c >= '0' && c <= '9') return true;
    return std::strchr("!#$%&'*+-.^_`|~", c) != nullptr && c != '\0';
}

bool HasLineBreak(const QString& text)
{
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\0') return true;
    return false;
}

// Comma-separated tokens of every header of that name, lower case.
QList<QByteArray> HeaderTokens(const HeaderList& headers, const char* name)
{
    QList<QByteArray> tokens;
    for (const auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) != 0) continue;
        for (const QByteArray& t : h.second.split(',')) {
            QByteArray v = t.trimmed().toLower();
            if (!v.isEmpty()) tokens.append(v);
        }
    }
    return tokens;
}

// Content-Length: -1 when absent; every value must be the same number.
qint64 ContentLength(const HeaderList& headers)
{
    qint64 length = -1;
    for (const QByteArray& v : HeaderTokens(headers, "Content-Length")) {
        if (v.size() > 18) throw TooLarge();
        qint64 n = 0;
        for (char c : v) {
            if (c < '0' || c > '9') throw InvalidAnswer();
            n = n * 10 + (c - '0');
        }
        if (length >= 0 && length != n) throw InvalidAnswer();
        length = n;
    }
    return length;
}

QString ReasonText(const QByteArray& raw)
{
    QString reason;
    for (char c : raw) {
        const uchar u = uchar(c);
        if (u < 0x20 || u == 0x7F) continue;
        if (reason.size() >= kMaxReasonChars) break;
        reason += QChar(u);
    }
    return reason.trimmed();
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// "HTTP/1.1 200 OK": HTTP/1.x, a blank, three digits, and a blank before
// the reason when there is one.
HttpStatusLine ParseStatusLine(const QByteArray& line)
{
    if (line.size() < 12 || !line.startsWith("HTTP/1.") || !IsDecimalDigit(line[7]) || line[8] != ' ')
        throw InvalidAnswer();
    for (int i = 9; i < 12; ++i)
        if (!IsDecimalDigit(line[i])) throw InvalidAnswer();
    if (line.size() > 12 && line[12] != ' ') throw InvalidAnswer();
    return {line[7] - '0', line.mid(9, 3).toInt(), ReasonText(line.mid(13))};
}

// The size of a chunk from its line: at most 15 hexadecimal digits, blanks
// around them and extensions after ';' ignored.
qint64 ChunkSize(QByteArray line)
{
    const qsizetype ext = line.indexOf(';');
    if (ext >= 0) line.truncate(ext);
    line = line.trimmed();
    if (line.isEmpty() || line.size() > 15) throw InvalidAnswer();
    qint64 size = 0;
    for (char c : line) {
        const int digit = HexDigitValue(char16_t(uchar(c)));
        if (digit < 0) throw InvalidAnswer();
        size = size * 16 + digit;
    }
    return size;
}

// Whether the server keeps the connection after a complete answer: HTTP/1.1
// unless it says "close", HTTP/1.0 only when it says "keep-alive".
bool KeepsConnection(int minor, const HeaderList& headers)
{
    const QList<QByteArray> connection = HeaderTokens(headers, "Connection");
    if (minor >= 1) return !connection.contains("close");
    return connection.contains("keep-alive");
}

bool IsHostNameChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' ||
        c == u'_';
}

} // namespace

namespace httpclient {

HttpSocket::HttpSocket(int fd)
    : m_fd(fd),
      m_read(std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Read)),
      m_write(std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Write))
{
    m_read->setEnabled(false);
    m_write->setEnabled(false);
}

HttpSocket::~HttpSocket()
{
    // The notifiers go before the descriptor they watch.
    m_read.reset();
    m_write.reset();
    ::close(m_fd);
}

void HttpGuard::Wake()
{
    signalled = true;
    if (loop) loop->quit();
}

void HttpGuard::Abort()
{
    aborted = true;
    if (loop) loop->quit();
}

void HttpGuard::Kill()
{
    alive = false;
    if (loop) loop->quit();
}

void HttpGuard::Expire()
{
    expired = true;
    if (loop) loop->quit();
}

void ExpireDeadline(THttpClient& client) { client.m_guard->Expire(); }

bool HttpCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url)
{
    const bool added = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    QList<QNetworkCookie> all = allCookies();
    if (all.size() > kMaxCookies) {
        all.remove(0, all.size() - kMaxCookies);
        setAllCookies(all);
    }
    return added;
}

bool SplitHostPort(const QString& text, QString& host, int& port)
{
    port = 0;
    QString rest;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0) {
            host = text;
            return true;
        }
        host = text.mid(1, close - 1);
        rest = text.mid(close + 1);
        if (rest.isEmpty()) return true;
        if (!rest.startsWith(u':')) return false;
        rest = rest.mid(1);
    } else {
        const qsizetype colon = text.indexOf(u':');
        if (colon < 0 || text.indexOf(u':', colon + 1) >= 0) {
            // No port, or a bare IPv6 address.
            host = text;
            return true;
        }
        host = text.left(colon);
        rest = text.mid(colon + 1);
    }
    if (rest.isEmpty() || rest.size() > 5) return false;
    int n = 0;
    for (QChar c : rest) {
        if (c < u'0' || c > u'9') return false;
        n = n * 10 + (c.unicode() - u'0');
    }
    if (n < 1 || n > 65535) return false;
    port = n;
    return true;
}

HttpTarget ParseHttpTarget(const QString& url, const QString& clientHost, int clientPort)
{
    QString rest = url.trimmed();
    const qsizetype schemeEnd = rest.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0) {
        const QString scheme = rest.left(schemeEnd);
        bool plain = !scheme.isEmpty();
        for (QChar c : scheme) plain = plain && c.isLetter();
        if (plain) {
            if (scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) != 0)
                throw ESocketError(Win::WSAEPROTONOSUPPORT);
            rest = rest.mid(schemeEnd + 3);
        }
    }

    qsizetype authorityEnd = rest.size();
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest[i] == u'/' || rest[i] == u'?' || rest[i] == u'#') {
            authorityEnd = i;
            break;
        }
    }
    QString authority = rest.left(authorityEnd);
    const QString pathAndQuery = rest.mid(authorityEnd);

    QString defaultHost;
    int defaultHostPort = 0;
    if (!SplitHostPort(clientHost.trimmed(), defaultHost, defaultHostPort)) {
        // Unusable as a default; a URL naming its own host does without.
        defaultHost.clear();
        defaultHostPort = 0;
    }
    if (authority.isEmpty()) authority = clientHost.trimmed();

    HttpTarget t;
    int port = 0;
    if (!SplitHostPort(authority, t.host, port)) throw ESocketError(Win::WSAEINVAL);
    if (t.host.isEmpty()) throw ESocketError(Win::WSAEDESTADDRREQ);
    const bool v6 = t.host.contains(u':');
    for (QChar c : t.host) {
        const bool ok = v6
            ? (c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') || c == u':' || c == u'.')
            : IsHostNameChar(c);
        if (!ok) throw ESocketError(Win::WSAHOST_NOT_FOUND);
    }
    if (port == 0) {
        if (t.host.compare(defaultHost, Qt::CaseInsensitive) == 0)
            port = defaultHostPort ? defaultHostPort : clientPort;
        if (port < 1 || port > 65535) port = 80;
    }
    t.port = quint16(port);

    t.hostHeader = (v6 ? '[' + t.host.toLatin1() + ']' : t.host.toLatin1());
    if (t.port != 80) t.hostHeader += ':' + QByteArray::number(t.port);

    const QByteArray raw = pathAndQuery.toUtf8();
    QByteArray target;
    target.reserve(raw.size() + 8);
    if (!raw.startsWith('/')) target += '/';
    static const char hex[] = "0123456789ABCDEF";
    for (char c : raw) {
        const uchar u = uchar(c);
        if (u <= 0x20 || u >= 0x7F || std::strchr("\"<>\\^`{|}#", c)) {
            target += '%';
            target += hex[u >> 4];
            target += hex[u & 15];
        } else {
            target += c;
        }
    }
    t.requestTarget = target;
    t.cookieUrl = QUrl::fromEncoded("http://" + t.hostHeader + target);
    return t;
}

} // namespace httpclient

THttpClient::THttpClient(QObject* owner)
    : QObject(owner), m_guard(std::make_shared<HttpGuard>()), m_cookies(new HttpCookieJar(this))
{ }

THttpClient::~THttpClient()
{
    // A call waiting in a nested event loop below us on the stack wakes up,
    // sees the guard and leaves without touching this object. No events: the
    // owner is being destroyed too.
    if (m_lookupId >= 0) QHostInfo::abortHostLookup(m_lookupId);
    m_guard->Kill();
}

void THttpClient::Get(const QString& url, QIODevice& response)
{
    DoRequest(QByteArrayLiteral("GET"), url, nullptr, response);
}

void THttpClient::Post(const QString& url, QIODevice& body, QIODevice& response)
{
    DoRequest(QByteArrayLiteral("POST"), url, &body, response);
}

bool THttpClient::Connected() const
{
    // A call disconnected while it waits is not connected any more, though
    // it has yet to return.
    if (m_busy) return !m_guard->aborted;
    if (!m_socket) return false;
    char c;
    const ssize_t n = ::recv(Fd(), &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) return true;
    if (n == 0) return false;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

void THttpClient::Disconnect()
{
    const bool busy = m_busy && !m_guard->aborted;
    if (busy) {
        if (m_lookupId >= 0) {
            QHostInfo::abortHostLookup(m_lookupId);
            m_lookupId = -1;
        }
        m_guard->Abort();
    }
    if (!m_socket && !busy) return;
    const Guard g = m_guard;
    FireStatus(THttpStatus::hsDisconnecting, QStringLiteral("Disconnecting."));
    if (!g->alive) return;
    m_socket.reset();
    FireStatus(THttpStatus::hsDisconnected, QStringLiteral("Disconnected."));
}

QString THttpClient::ResponseHeader(const QString& name) const
{
    const QByteArray key = name.toLatin1();
    for (const auto& h : m_responseHeaders)
        if (h.first.compare(key, Qt::CaseInsensitive) == 0) return QString::fromLatin1(h.second);
    return QString();
}

QStringList THttpClient::RawResponseHeaders() const
{
    QStringList lines;
    for (const auto& h : m_responseHeaders) lines << QString::fromLatin1(h.first + ": " + h.second);
    return lines;
}

void THttpClient::SetCustomHeader(const QString& name, const QString& value)
{
    static const char* const managed[] = {"Host",       "Content-Length",  "Transfer-Encoding",
                                          "Connection", "Accept-Encoding", "Cookie"};
    const QByteArray key = name.toLatin1();
    bool token = !name.isEmpty() && key.size() == name.size();
    for (char c : key) token = token && IsTokenChar(c);
    if (!token || HasLineBreak(value)) throw ESocketError(Win::WSAEINVAL);
    for (const char* m : managed)
        if (key.compare(m, Qt::CaseInsensitive) == 0) throw ESocketError(Win::WSAEINVAL);
    for (auto& h : m_customHeaders) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) {
            h.second = value;
            return;
        }
    }
    m_customHeaders.append({name, value});
}

QList<QNetworkCookie> THttpClient::Cookies() const { return m_cookies->All(); }

void THttpClient::ClearCookies() { m_cookies->Clear(); }

QByteArray THttpClient::RequestHead(const QByteArray& method, const HttpTarget& target, const QByteArray* body) const
{
    QByteArray head = method + ' ' + target.requestTarget + " HTTP/1.1\r\n";
    auto add = [&](const char* name, const QString& value) {
        if (value.isEmpty()) return;
        for (const auto& h : m_customHeaders)
            if (h.first.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return;
        if (HasLineBreak(value)) throw ESocketError(Win::WSAEINVAL);
        head += name;
        head += ": ";
        head += value.toUtf8();
        head += "\r\n";
    };
    head += "Host: " + target.hostHeader + "\r\n";
    if (body) {
        add("Content-Type", m_contentType);
        add("Content-Encoding", m_contentEncoding);
        head += "Content-Length: " + QByteArray::number(body->size()) + "\r\n";
    }
    add("Accept", m_accept);
    head += "Accept-Encoding: identity\r\n";
    add("User-Agent", m_userAgent);
    if (m_allowCookies) {
        QByteArray cookies;
        for (const QNetworkCookie& c : m_cookies->cookiesForUrl(target.cookieUrl)) {
            const QByteArray pair = c.toRawForm(QNetworkCookie::NameAndValueOnly);
            if (pair.contains('\r') || pair.contains('\n') || pair.contains('\0')) continue;
            if (!cookies.isEmpty()) cookies += "; ";
            cookies += pair;
        }
        if (!cookies.isEmpty()) head += "Cookie: " + cookies + "\r\n";
    }
    for (const auto& h : m_customHeaders) {
        if (HasLineBreak(h.second)) throw ESocketError(Win::WSAEINVAL);
        head += h.first.toLatin1() + ": " + h.second.toUtf8() + "\r\n";
    }
    head += "\r\n";
    return head;
}

void THttpClient::DoRequest(const QByteArray& method, const QString& url, QIODevice* body, QIODevice& response)
{
    const Guard g = m_guard;
    if (m_busy) throw ESocketError(Win::WSAEALREADY);

    m_responseCode = -1;
    m_responseText.clear();
    m_responseHeaders.clear();

    const HttpTarget target = ParseHttpTarget(url, m_host, m_port);
    QByteArray payload;
    if (body) {
        if (!body->isOpen() && !body->open(QIODevice::ReadOnly))
            throw EStreamError(QStringLiteral("Stream read error"));
        if (!body->isSequential()) body->seek(0);
        payload = body->readAll();
    }
    const QByteArray head = RequestHead(method, target, body ? &payload : nullptr);
    if (!response.isOpen() && !response.open(QIODevice::ReadWrite))
        throw EStreamError(QStringLiteral("Stream write error"));
    if (!response.isWritable()) throw EStreamError(QStringLiteral("Stream write error"));

    // A connection kept from the last request is not reused.
    if (!CloseSocket(true)) throw EHttpClientDestroyed();

    m_busy = true;
    g->aborted = false;
    g->signalled = false;
    g->expired = false;
    bool keep = false;
    try {
        Connect(g, target.host, target.port);
        Send(g, head + payload);
        keep = ReadAnswer(g, target, response);
    } catch (...) {
        if (!g->alive) throw;
        m_busy = false;
        if (m_lookupId >= 0) {
            QHostInfo::abortHostLookup(m_lookupId);
            m_lookupId = -1;
        }
        const bool open = m_socket != nullptr;
        if (!CloseSocket(true)) throw EHttpClientDestroyed();
        // A connection that never stood (refused, timed out, no such host)
        // ends with its report too, so that no status bar keeps showing
        // "Connecting to ...". Disconnect() during the call reported itself.
        if (!open && !g->aborted) {
            FireStatus(THttpStatus::hsDisconnected, QStringLiteral("Disconnected."));
            if (!g->alive) throw EHttpClientDestroyed();
        }
        throw;
    }
    m_busy = false;
    m_in.clear();
    m_inPos = 0;
    if (keep) {
        // Watch the idle connection, so a close by the server is noticed.
        m_socket->ReadNotifier().setEnabled(true);
    } else if (!CloseSocket(true)) {
        throw EHttpClientDestroyed();
    }
}

QList<QHostAddress> THttpClient::Resolve(const Guard& g, const QString& host, const QDeadlineTimer& deadline)
{
    QHostAddress literal;
    if (literal.setAddress(host)) return {literal};

    auto result = std::make_shared<QHostInfo>();
    m_lookupId = QHostInfo::lookupHost(host, this, [g, result](const QHostInfo& info) {
        *result = info;
        g->Wake();
    });
    Pump(g, deadline);
    m_lookupId = -1;
    switch (result->error()) {
    case QHostInfo::NoError: break;
    case QHostInfo::HostNotFound: throw ESocketError(Win::WSAHOST_NOT_FOUND);
    default: throw ESocketError(Win::WSATRY_AGAIN);
    }
    if (result->addresses().isEmpty()) throw ESocketError(Win::WSANO_DATA);
    return result->addresses();
}

void THttpClient::OpenSocket(int fd)
{
    m_socket = std::make_unique<HttpSocket>(fd);
    m_in.clear();
    m_inPos = 0;
    QSocketNotifier* readNotifier = &m_socket->ReadNotifier();
    connect(readNotifier, &QSocketNotifier::activated, this, [this, readNotifier] {
        readNotifier->setEnabled(false);
        // Idle, the connection may be closed (and the notifier deleted):
        // not while the notifier is still delivering its signal.
        if (m_busy)
            m_guard->Wake();
        else
            QTimer::singleShot(0, this, &THttpClient::IdleReadable);
    });
    QSocketNotifier* writeNotifier = &m_socket->WriteNotifier();
    connect(writeNotifier, &QSocketNotifier::activated, this, [this, writeNotifier] {
        writeNotifier->setEnabled(false);
        m_guard->Wake();
    });
}

void THttpClient::Connect(const Guard& g, const QString& host, quint16 port)
{
    const QDeadlineTimer deadline =
        m_connectTimeout > 0 ? QDeadlineTimer(m_connectTimeout) : QDeadlineTimer(QDeadlineTimer::Forever);
    FireStatus(THttpStatus::hsResolving, QStringLiteral("Resolving hostname %1.").arg(host));
    CheckCall(g);
    const QList<QHostAddress> addresses = Resolve(g, host, deadline);

    int lastError = ECONNREFUSED;
    for (const QHostAddress& address : addresses) {
        sockaddr_storage storage{};
        socklen_t length = 0;
        int family = 0;
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            auto* sa = reinterpret_cast<sockaddr_in*>(&storage);
            sa->sin_family = AF_INET;
            sa->sin_port = htons(port);
            sa->sin_addr.s_addr = htonl(address.toIPv4Address());
            length = sizeof(sockaddr_in);
            family = AF_INET;
        } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            auto* sa = reinterpret_cast<sockaddr_in6*>(&storage);
            sa->sin6_family = AF_INET6;
            sa->sin6_port = htons(port);
            const Q_IPV6ADDR a = address.toIPv6Address();
            std::memcpy(&sa->sin6_addr, &a, sizeof a);
            sa->sin6_scope_id = address.scopeId().toUInt();
            length = sizeof(sockaddr_in6);
            family = AF_INET6;
        } else {
            lastError = EAFNOSUPPORT;
            continue;
        }

        FireStatus(THttpStatus::hsConnecting, QStringLiteral("Connecting to %1.").arg(address.toString()));
        CheckCall(g);
        const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        OpenSocket(fd);
        int error = 0;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0) {
            error = errno;
            if (error == EINPROGRESS || error == EINTR) {
                WaitSocket(g, true, deadline);
                socklen_t size = sizeof error;
                if (::getsockopt(Fd(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
            }
        }
        if (error == 0) {
            FireStatus(THttpStatus::hsConnected, QStringLiteral("Connected."));
            CheckCall(g);
            return;
        }
        lastError = error;
        CloseSocket(false);
    }
    throw ESocketError(ESocketError::CodeFromErrno(lastError));
}

void THttpClient::WaitSocket(const Guard& g, bool forWrite, const QDeadlineTimer& deadline)
{
    CheckCall(g);
    g->signalled = false;
    QSocketNotifier& notifier = forWrite ? m_socket->WriteNotifier() : m_socket->ReadNotifier();
    notifier.setEnabled(true);
    Pump(g, deadline);
    // Alive and connected here: Pump raises otherwise.
    notifier.setEnabled(false);
}

QDeadlineTimer THttpClient::ReadDeadline() const
{
    return m_readTimeout > 0 ? QDeadlineTimer(m_readTimeout) : QDeadlineTimer(QDeadlineTimer::Forever);
}

void THttpClient::Send(const Guard& g, const QByteArray& data)
{
    qsizetype sent = 0;
    while (sent < data.size()) {
        CheckCall(g);
        const ssize_t n = ::send(Fd(), data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n >= 0) {
            sent += n;
            continue;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            WaitSocket(g, true, ReadDeadline());
            continue;
        }
        throw ESocketError(ESocketError::CodeFromErrno(errno));
    }
}

bool THttpClient::Fill(const Guard& g)
{
    constexpr qsizetype kChunk = 64 * 1024;
    if (m_inPos > 0 && (m_inPos == m_in.size() || m_inPos >= kChunk)) {
        m_in.remove(0, m_inPos);
        m_inPos = 0;
    }
    for (;;) {
        CheckCall(g);
        const qsizetype old = m_in.size();
        m_in.resize(old + kChunk);
        const ssize_t n = ::recv(Fd(), m_in.data() + old, size_t(kChunk), 0);
        const int error = errno;
        m_in.resize(old + qMax<ssize_t>(n, 0));
        if (n > 0) return true;
        if (n == 0) return false;
        if (error == EINTR) continue;
        if (error == EAGAIN || error == EWOULDBLOCK) {
            WaitSocket(g, false, ReadDeadline());
            continue;
        }
        throw ESocketError(ESocketError::CodeFromErrno(error));
    }
}

QByteArray THttpClient::ReadLine(const Guard& g)
{
    for (;;) {
        const qsizetype end = m_in.indexOf('\n', m_inPos);
        if (end >= 0) {
            if (end - m_inPos > kMaxLineBytes) throw TooLarge();
            QByteArray line = m_in.mid(m_inPos, end - m_inPos);
            m_inPos = end + 1;
            if (line.endsWith('\r')) line.chop(1);
            return line;
        }
        if (m_in.size() - m_inPos > kMaxLineBytes) throw TooLarge();
        if (!Fill(g)) throw EConnClosedGracefully();
    }
}

void THttpClient::ReadHeaders(const Guard& g, HeaderList& headers)
{
    qsizetype bytes = 0;
    for (;;) {
        const QByteArray line = ReadLine(g);
        bytes += line.size() + 2;
        if (bytes > kMaxHeaderBytes || headers.size() >= kMaxHeaderLines) throw TooLarge();
        if (line.isEmpty()) return;
        if (line[0] == ' ' || line[0] == '\t') {
            // A folded line continues the header before it.
            if (headers.isEmpty()) throw InvalidAnswer();
            headers.last().second += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) throw InvalidAnswer();
        headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
}

void THttpClient::Deliver(QIODevice& response, const char* data, qint64 size, qint64& total)
{
    if (size > m_maxResponseSize - total) throw TooLarge();
    total += size;
    if (response.write(data, size) != size) throw EStreamError(QStringLiteral("Stream write error"));
}

void THttpClient::ReadBody(const Guard& g, qint64 length, QIODevice& response, qint64& total)
{
    while (length > 0) {
        if (m_inPos == m_in.size() && !Fill(g)) throw EConnClosedGracefully();
        const qint64 take = qMin<qint64>(length, m_in.size() - m_inPos);
        Deliver(response, m_in.constData() + m_inPos, take, total);
        m_inPos += take;
        length -= take;
    }
}

bool THttpClient::ReadAnswer(const Guard& g, const HttpTarget& target, QIODevice& response)
{
    HeaderList headers;
    const HttpStatusLine status = ReadStatus(g, headers);
    m_responseCode = status.code;
    m_responseText = status.reason;
    m_responseHeaders = headers;
    if (m_allowCookies) StoreCookies(target, headers);
    if (status.code < 200 || status.code > 299) throw EHttpProtocolError(status.code, status.reason);
    if (!ReadAnswerBody(g, status.code, headers, response)) return false; // ended with the connection
    if (m_inPos < m_in.size()) return false;                              // bytes nobody asked for
    return KeepsConnection(status.minor, headers);
}

// The status line and headers of the real answer, past stray line ends and
// interim answers.
HttpStatusLine THttpClient::ReadStatus(const Guard& g, HeaderList& headers)
{
    for (int blank = 0;;) {
        const QByteArray line = ReadLine(g);
        if (line.isEmpty() && ++blank <= 4) continue; // stray line ends before the answer
        const HttpStatusLine status = ParseStatusLine(line);
        headers.clear();
        ReadHeaders(g, headers);
        // Interim answers (100 Continue and kin) precede the real one.
        if (status.code < 100 || status.code >= 200 || status.code == 101) return status;
    }
}

void THttpClient::StoreCookies(const HttpTarget& target, const HeaderList& headers)
{
    QList<QNetworkCookie> cookies;
    for (const auto& h : headers)
        if (h.first.compare("Set-Cookie", Qt::CaseInsensitive) == 0) cookies += QNetworkCookie::parseCookies(h.second);
    if (!cookies.isEmpty()) m_cookies->setCookiesFromUrl(cookies, target.cookieUrl);
}

// Delivers the body as the headers frame it; false when it ended with the
// connection.
bool THttpClient::ReadAnswerBody(const Guard& g, int code, const HeaderList& headers, QIODevice& response)
{
    if (code == 204 || code == 304) return true; // no body
    qint64 total = 0;
    const QList<QByteArray> codings = HeaderTokens(headers, "Transfer-Encoding");
    if (!codings.isEmpty() && codings.last() == "chunked") {
        ReadChunks(g, response, total);
        return true;
    }
    if (codings.isEmpty()) {
        if (const qint64 length = ContentLength(headers); length >= 0) {
            if (length > m_maxResponseSize) throw TooLarge();
            ReadBody(g, length, response, total);
            return true;
        }
    }
    // No length, or a transfer coding other than chunked: the body ends with
    // the connection and is delivered as it came.
    ReadUntilClose(g, response, total);
    return false;
}

void THttpClient::ReadChunks(const Guard& g, QIODevice& response, qint64& total)
{
    for (;;) {
        const qint64 size = ChunkSize(ReadLine(g));
        if (size == 0) break;
        if (size > m_maxResponseSize - total) throw TooLarge();
        ReadBody(g, size, response, total);
        if (!ReadLine(g).isEmpty()) throw InvalidAnswer();
    }
    HeaderList trailers;
    ReadHeaders(g, trailers);
}

void THttpClient::ReadUntilClose(const Guard& g, QIODevice& response, qint64& total)
{
    do {
        if (m_inPos < m_in.size()) {
            Deliver(response, m_in.constData() + m_inPos, m_in.size() - m_inPos, total);
            m_inPos = m_in.size();
        }
    } while (Fill(g));
}

void THttpClient::IdleReadable()
{
    // On an idle connection the server may only close it; anything else it
    // sends was never asked for. Either way the connection is done.
    if (m_busy || !m_socket) return; // a request has taken over meanwhile
    char c;
    const ssize_t n = ::recv(Fd(), &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        m_socket->ReadNotifier().setEnabled(true);
        return;
    }
    CloseSocket(true);
}

bool THttpClient::CloseSocket(bool report)
{
    if (!m_socket) return true;
    const Guard g = m_guard;
    if (report) {
        FireStatus(THttpStatus::hsDisconnecting, QStringLiteral("Disconnecting."));
        if (!g->alive) return false;
        if (!m_socket) return true; // the handler disconnected meanwhile
    }
    m_socket.reset();
    m_in.clear();
    m_inPos = 0;
    if (report) {
        FireStatus(THttpStatus::hsDisconnected, QStringLiteral("Disconnected."));
        if (!g->alive) return false;
    }
    return true;
}

int THttpClient::Fd() const { return m_socket ? m_socket->Fd() : -1; }

void THttpClient::FireStatus(THttpStatus status, const QString& text)
{
    if (!OnStatus) return;
    // A copy: the handler may reassign the event or destroy this client.
    const auto handler = OnStatus;
    const Guard g = m_guard;
    try {
        handler(this, status, text);
    } catch (...) {
        HandleUnhandledException(g->alive ? this : nullptr);
    }
}
