#pragma once
// A helper program run while the user-interface thread waits for it, in a
// process group of its own: stopping it stops whatever it started too (a
// launcher's real worker included), there and then.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

class TChildProcess {
public:
    TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;
    // A group still running is stopped.
    ~TChildProcess();

    // An environment variable for the program, besides the inherited ones.
    void SetEnvironment(const QString& name, const QString& value);
    // Starts it with its output thrown away; false when it cannot start.
    bool Start(const QString& program, const QStringList& arguments);
    // Waits for its end, asking keepGoing every pollMs: when that answers
    // false, or timeoutMs have passed, the group is stopped. True when the
    // program ended by itself.
    bool Wait(int timeoutMs, int pollMs, const std::function<bool()>& keepGoing);
    void Stop();

private:
    QProcess m_process;
    qint64 m_group = 0;
};
