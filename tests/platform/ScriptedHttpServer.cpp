#include "tests/platform/ScriptedHttpServer.h"

#include "tests/support/TestSupport.h"

#include <sys/socket.h>

QByteArray ScriptedHttpServer::Request::RequestLine() const
{
    const qsizetype end = head.indexOf("\r\n");
    return end < 0 ? head : head.left(end);
}

QList<QByteArray> ScriptedHttpServer::Request::Headers(const QByteArray& name) const
{
    QList<QByteArray> values;
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
            values << line.mid(colon + 1).trimmed();
    }
    return values;
}

QByteArray ScriptedHttpServer::Request::Header(const QByteArray& name) const
{
    const QList<QByteArray> values = Headers(name);
    return values.isEmpty() ? QByteArray() : values.first();
}

void ScriptedHttpServer::Request::Send(const QByteArray& raw) const
{
    if (!socket) return;
    socket->write(raw);
    socket->flush();
}

void ScriptedHttpServer::Request::SendAndClose(const QByteArray& raw) const
{
    Send(raw);
    Close();
}

void ScriptedHttpServer::Request::Close() const
{
    if (socket) socket->disconnectFromHost();
}

void ScriptedHttpServer::Request::Reset() const
{
    if (!socket) return;
    // A zero linger time makes close() send a reset instead of a FIN.
    linger l{1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
    socket->abort();
}

ScriptedHttpServer::ScriptedHttpServer()
{
    testsupport::ListenOnUsablePort(m_server);
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::Accept);
}

ScriptedHttpServer::~ScriptedHttpServer() { m_server.close(); }

QString ScriptedHttpServer::HostPort() const { return QStringLiteral("127.0.0.1:%1").arg(Port()); }

QString ScriptedHttpServer::Url(const QString& path) const { return QStringLiteral("http://") + HostPort() + path; }

QByteArray ScriptedHttpServer::Answer(const QByteArray& status, const QByteArray& body, const QByteArray& extraHeaders)
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extraHeaders +
        "\r\n" + body;
}

void ScriptedHttpServer::Accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++connections;
        socket->setParent(this);
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Parse(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void ScriptedHttpServer::Parse(QTcpSocket* socket)
{
    m_buffers[socket] += socket->readAll();
    for (;;) {
        // Looked up anew each time: a script may drop the connection.
        auto it = m_buffers.find(socket);
        if (it == m_buffers.end()) return;
        QByteArray& buffer = *it;
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        auto request = std::make_shared<Request>();
        request->head = buffer.left(end);
        request->socket = socket;
        const qsizetype length = request->Header("Content-Length").toLongLong();
        if (buffer.size() < end + 4 + length) return;
        request->body = buffer.mid(end + 4, length);
        buffer.remove(0, end + 4 + length);
        requests << request;
        if (OnRequest) OnRequest(request);
    }
}
