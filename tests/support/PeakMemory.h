#pragma once
// How much the process's peak resident memory grows while a piece of work
// runs: the kernel's peak is reset to what is resident now (Linux, the
// process's clear_refs), the work runs, and the growth of the peak over
// that is returned in bytes. -1 when the peak cannot be reset or read.

#include <QByteArray>
#include <QFile>

#include <functional>

namespace peakmemory {

inline qint64 StatusKilobytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

inline qint64 PeakGrowth(const std::function<void()>& work)
{
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1) return -1;
    reset.close();
    const qint64 before = StatusKilobytes("VmRSS:");
    work();
    const qint64 peak = StatusKilobytes("VmHWM:");
    if (before < 0 || peak < 0) return -1;
    return (peak - before) * 1024;
}

} // namespace peakmemory
