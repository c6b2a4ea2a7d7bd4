#include "tests/support/TestSupport.h"

#include "platform/report/TReportFileReader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>

#include <grp.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

QString SourcePath(const QString& relative)
{
    QString root = qEnvironmentVariable("TAMSEL_SOURCE_DIR");
    if (root.isEmpty()) root = QStringLiteral(TAMSEL_SOURCE_DIR);
    return QDir(root).filePath(relative);
}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired()) return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
        // The test body runs outside any event loop: free what was released.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

bool ListenOnUsablePort(QTcpServer& server)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (!server.listen(QHostAddress::LocalHost, 0)) return false;
        const quint16 port = server.serverPort();
        if (port < 10004 || port > 11004) return true;
        server.close();
    }
    return false;
}

quint16 ClosedPort()
{
    QTcpServer probe;
    if (!ListenOnUsablePort(probe)) return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QString PdfCheckProblems(const QString& pdfFile)
{
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdfFile});
    if (!qpdf.waitForFinished(60000)) return QStringLiteral("qpdf did not run: ") + qpdf.errorString();
    const QString out = QString::fromUtf8(qpdf.readAllStandardOutput());
    const QString err = QString::fromUtf8(qpdf.readAllStandardError());
    // Warnings go to the error output and end in exit code 3.
    if (qpdf.exitStatus() == QProcess::NormalExit && qpdf.exitCode() == 0 && err.trimmed().isEmpty()) return {};
    return QStringLiteral("qpdf --check exit %1:\n%2%3").arg(qpdf.exitCode()).arg(out, err);
}

QByteArray WithUndecodableJpegs(const QByteArray& reportFile)
{
    TReportFileReader reader;
    reader.LoadFromBytes(reportFile);
    QByteArray out = reportFile;
    for (int i = 0; i < reader.ImageCount(); ++i) {
        const TReportFileReader::StoredPicture stored = reader.Stored(i);
        if (stored.Encoding != TReportFileReader::StoredPicture::Jpeg) continue;
        const qsizetype at = reportFile.indexOf(stored.Data);
        const qsizetype table = stored.Data.indexOf(QByteArrayView("\xFF\xC4"));
        // Marker, length and class, then the 16 code counts.
        if (at < 0 || table < 0 || table + 21 > stored.Data.size()) continue;
        for (int k = 0; k < 16; ++k) out[at + table + 5 + k] = char(0xFF);
    }
    return out;
}

namespace {
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

void chownTree(const QString& path)
{
    (void)::lchown(QFile::encodeName(path).constData(), kNobody, kNogroup);
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) (void)::lchown(QFile::encodeName(it.next()).constData(), kNobody, kNogroup);
}
} // namespace

ScopedUnprivileged::ScopedUnprivileged(const QStringList& paths)
{
    if (::geteuid() != 0) return;
    for (const QString& p : paths) chownTree(p);
    std::vector<gid_t> groups(size_t(::getgroups(0, nullptr)));
    if (!groups.empty()) groups.resize(size_t(::getgroups(int(groups.size()), groups.data())));
    for (gid_t g : groups) m_groups.append(unsigned(g));
    // Real and effective ids change; the saved id stays 0 so root can return.
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNogroup, kNogroup, 0) != 0 ||
        ::setresuid(kNobody, kNobody, 0) != 0)
        qFatal("cannot switch to an unprivileged user");
    m_dropped = true;
}

ScopedUnprivileged::~ScopedUnprivileged()
{
    if (!m_dropped) return;
    std::vector<gid_t> groups;
    for (unsigned g : m_groups) groups.push_back(gid_t(g));
    if (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0 || ::setgroups(groups.size(), groups.data()) != 0)
        qFatal("cannot return to root");
}

} // namespace testsupport
