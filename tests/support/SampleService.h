#pragma once
// The sample service (tools/sample-service) as a child process of a test: it
// is started on free ports of 127.0.0.1, its first output line names them, and
// it is stopped when the object goes. The control requests select scenarios
// and read the request log.

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

class SampleService {
public:
    SampleService();
    ~SampleService();
    SampleService(const SampleService&) = delete;
    SampleService& operator=(const SampleService&) = delete;

    // Starts the service; with stallPort also a listening socket that never
    // accepts. False (and Error()) when it did not come up.
    bool Start(bool stallPort = false);
    void Stop();
    bool Running() const;
    QString Error() const { return m_error; }

    int ServicePort() const { return m_servicePort; }
    int TaxMapPort() const { return m_taxMapPort; }
    int StallPort() const { return m_stallPort; }
    // "127.0.0.1:<service port>", the host the connections are given.
    QString Host() const;

    // The next count requests of endpoint get the scenarios (-1: until Reset).
    void Next(const QString& endpoint, const QStringList& scenarios, int count = 1,
              const QJsonObject& params = QJsonObject());
    void Next(const QString& endpoint, const QString& scenario, int count = 1,
              const QJsonObject& params = QJsonObject())
    {
        Next(endpoint, QStringList{scenario}, count, params);
    }
    // The request log after sequence number since.
    QList<QJsonObject> Log(int since = 0);
    // The log entries of one server ("service" or "taxmap").
    QList<QJsonObject> Log(const QString& server);
    // Clears the log, the queued scenarios, the maps and the sessions.
    void Reset();
    // Lets one request held by the "hold" scenario be answered (the next
    // one held, when none is held yet).
    void Release();
    QJsonObject Info();

    // A header of a logged request, empty when absent.
    static QString Header(const QJsonObject& entry, const QString& name);

private:
    QByteArray Control(const QByteArray& method, const QString& path, const QByteArray& body = QByteArray());

    QProcess m_process;
    QString m_error;
    int m_servicePort = 0;
    int m_taxMapPort = 0;
    int m_stallPort = 0;
};

} // namespace testsupport
