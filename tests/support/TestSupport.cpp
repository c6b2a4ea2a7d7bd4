#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

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

} // namespace testsupport
