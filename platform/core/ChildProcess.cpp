#include "platform/core/ChildProcess.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <csignal>
#include <unistd.h>

TChildProcess::TChildProcess()
{
    m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

TChildProcess::~TChildProcess()
{
    if (m_process.state() != QProcess::NotRunning) Stop();
}

void TChildProcess::SetEnvironment(const QString& name, const QString& value)
{
    QProcessEnvironment env = m_process.processEnvironment();
    env.insert(name, value);
    m_process.setProcessEnvironment(env);
}

bool TChildProcess::Start(const QString& program, const QStringList& arguments)
{
    m_process.start(program, arguments);
    if (!m_process.waitForStarted()) return false;
    m_group = m_process.processId();
    return true;
}

bool TChildProcess::Wait(int timeoutMs, int pollMs, const std::function<bool()>& keepGoing)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_process.waitForFinished(pollMs)) {
        if (m_process.state() == QProcess::NotRunning) break;
        if (!keepGoing() || clock.elapsed() > timeoutMs) {
            Stop();
            return false;
        }
    }
    return m_process.exitStatus() == QProcess::NormalExit;
}

void TChildProcess::Stop()
{
    if (m_group > 0) ::kill(pid_t(-m_group), SIGKILL);
    m_process.kill();
    m_process.waitForFinished();
}
