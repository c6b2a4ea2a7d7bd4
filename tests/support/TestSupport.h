#pragma once
// Shared helpers of the test programs.

#include "tests/support/PrintQString.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QTcpServer;

namespace testsupport {

// Path of a file in the source tree (fixtures, the sample service).
QString SourcePath(const QString& relative);

// Processes events until pred() holds or timeoutMs passes; returns pred().
// Objects released with deleteLater are freed on the way. For waiting on
// observable state, never for timing.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

// Listens on a free port of 127.0.0.1 outside 10004 to 11004: ports whose
// digits read as socket error codes would confuse the tests that look for
// codes in error texts. False when none was found.
bool ListenOnUsablePort(QTcpServer& server);
// A port of 127.0.0.1 outside that range where nothing listens (0 when none
// was found).
quint16 ClosedPort();

// What "qpdf --check" finds wrong with a PDF file, errors and warnings
// alike; empty when the file passes clean.
QString PdfCheckProblems(const QString& pdfFile);

// The report file with every JPEG picture's first Huffman table made
// impossible, so that none of them decodes.
QByteArray WithUndecodableJpegs(const QByteArray& reportFile);

// When the tests run as root, runs the rest of the scope as the unprivileged
// user "nobody", so that file permissions bind as they do for a user; the
// given paths (recursively) are handed to that user first. Root is restored
// at the end of the scope. Without root this does nothing.
class ScopedUnprivileged {
public:
    explicit ScopedUnprivileged(const QStringList& paths = {});
    ~ScopedUnprivileged();
    ScopedUnprivileged(const ScopedUnprivileged&) = delete;
    ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

private:
    bool m_dropped = false;
    QList<unsigned> m_groups;
};

} // namespace testsupport
