#include "tests/support/SampleService.h"

#include "platform/net/HttpClient.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QJsonDocument>

namespace testsupport {

SampleService::SampleService() = default;

SampleService::~SampleService() { Stop(); }

bool SampleService::Start(bool stallPort)
{
    QStringList args{SourcePath(QStringLiteral("tools/sample-service/sample_service.py")), QStringLiteral("--port"),
                     QStringLiteral("0"), QStringLiteral("--taxmap-port"), QStringLiteral("0")};
    if (stallPort) args << QStringLiteral("--stall-port") << QStringLiteral("0");
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setProgram(QStringLiteral("python3"));
    m_process.setArguments(args);
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("python3 did not start: ") + m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(30000);
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired()) {
            m_error = QStringLiteral("the sample service did not name its ports: ") +
                QString::fromUtf8(m_process.readAllStandardError());
            Stop();
            return false;
        }
        m_process.waitForReadyRead(200);
    }
    const QJsonObject ports = QJsonDocument::fromJson(m_process.readLine()).object();
    m_servicePort = ports.value(QStringLiteral("service_port")).toInt();
    m_taxMapPort = ports.value(QStringLiteral("taxmap_port")).toInt();
    m_stallPort = ports.value(QStringLiteral("stall_port")).toInt();
    if (m_servicePort <= 0 || m_taxMapPort <= 0) {
        m_error = QStringLiteral("unreadable ports line");
        Stop();
        return false;
    }
    return true;
}

void SampleService::Stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SampleService::Running() const { return m_process.state() == QProcess::Running; }

QString SampleService::Host() const { return QStringLiteral("127.0.0.1:%1").arg(m_servicePort); }

QByteArray SampleService::Control(const QByteArray& method, const QString& path, const QByteArray& body)
{
    THttpClient client;
    client.SetContentType(QStringLiteral("application/json"));
    QBuffer answer;
    answer.open(QIODevice::ReadWrite);
    const QString url = QStringLiteral("http://127.0.0.1:%1%2").arg(m_servicePort).arg(path);
    if (method == "POST") {
        QBuffer request;
        request.setData(body);
        request.open(QIODevice::ReadOnly);
        client.Post(url, request, answer);
    } else {
        client.Get(url, answer);
    }
    return answer.data();
}

void SampleService::Next(const QString& endpoint, const QStringList& scenarios, int count, const QJsonObject& params)
{
    QJsonObject o;
    o.insert(QStringLiteral("endpoint"), endpoint);
    o.insert(QStringLiteral("scenario"), QJsonArray::fromStringList(scenarios));
    o.insert(QStringLiteral("count"), count);
    o.insert(QStringLiteral("params"), params);
    Control("POST", QStringLiteral("/__peer/next"), QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QList<QJsonObject> SampleService::Log(int since)
{
    QList<QJsonObject> entries;
    const QByteArray lines = Control("GET", QStringLiteral("/__peer/log?since=%1").arg(since));
    for (const QByteArray& line : lines.split('\n'))
        if (!line.trimmed().isEmpty()) entries.append(QJsonDocument::fromJson(line).object());
    return entries;
}

QList<QJsonObject> SampleService::Log(const QString& server)
{
    QList<QJsonObject> entries;
    for (const QJsonObject& e : Log(0))
        if (e.value(QStringLiteral("server")).toString() == server) entries.append(e);
    return entries;
}

void SampleService::Reset() { Control("POST", QStringLiteral("/__peer/reset")); }

void SampleService::Release() { Control("POST", QStringLiteral("/__peer/release")); }

QJsonObject SampleService::Info()
{
    return QJsonDocument::fromJson(Control("GET", QStringLiteral("/__peer/info"))).object();
}

QString SampleService::Header(const QJsonObject& entry, const QString& name)
{
    for (const QJsonValue& h : entry.value(QStringLiteral("headers")).toArray()) {
        const QJsonArray pair = h.toArray();
        if (pair.size() == 2 && pair.at(0).toString().compare(name, Qt::CaseInsensitive) == 0)
            return pair.at(1).toString();
    }
    return QString();
}

} // namespace testsupport
