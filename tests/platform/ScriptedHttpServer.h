#pragma once
// A small HTTP server for the client's tests, listening on 127.0.0.1 in the
// test's own thread (the client's nested event loop serves it). It collects
// every request and hands it to a script that answers, holds, closes or
// resets the connection.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

class ScriptedHttpServer : public QObject {
public:
    // One request as the server received it.
    struct Request {
        QByteArray head; // request line and header lines, without the blank line
        QByteArray body;
        QPointer<QTcpSocket> socket;

        QByteArray RequestLine() const;
        // Every value of that header (name compared without regard to case).
        QList<QByteArray> Headers(const QByteArray& name) const;
        QByteArray Header(const QByteArray& name) const;

        void Send(const QByteArray& raw) const;
        // Sends the answer and closes the connection.
        void SendAndClose(const QByteArray& raw) const;
        // Closes the connection in order.
        void Close() const;
        // Drops the connection with a reset.
        void Reset() const;
    };
    using RequestPtr = std::shared_ptr<Request>;

    ScriptedHttpServer();
    ~ScriptedHttpServer() override;

    quint16 Port() const { return m_server.serverPort(); }
    QString HostPort() const;               // "127.0.0.1:port"
    QString Url(const QString& path) const; // "http://127.0.0.1:port" + path

    // Called for every complete request. Unset: the request is left waiting.
    std::function<void(const RequestPtr&)> OnRequest;

    QList<RequestPtr> requests;
    int connections = 0;

    // A complete answer with a Content-Length.
    static QByteArray Answer(const QByteArray& status, const QByteArray& body,
                             const QByteArray& extraHeaders = QByteArray());

private:
    void Accept();
    void Parse(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
