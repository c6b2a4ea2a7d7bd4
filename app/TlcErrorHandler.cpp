#include "app/TlcErrorHandler.h"

#include "app/TErrorDlg.h"
#include "platform/core/DateTime.h"
#include "platform/core/Directories.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/file.h>

namespace {

const QString kRule = QString(45, QLatin1Char('='));

} // namespace

TlcErrorHandler::TlcErrorHandler(QObject* owner) : QObject(owner) { setObjectName(QStringLiteral("lcErrorHandler1")); }

TlcErrorHandler::~TlcErrorHandler()
{
    // The application must not call a handler that is gone.
    if (m_hooked)
        if (TApplication* app = TApplication::Instance()) app->OnException = nullptr;
}

void TlcErrorHandler::Loaded()
{
    m_loaded = true;
    ApplyUseErrorHandler();
}

void TlcErrorHandler::SetUseErrorHandler(bool value)
{
    if (value == m_useErrorHandler) return;
    m_useErrorHandler = value;
    if (m_loaded) ApplyUseErrorHandler();
}

void TlcErrorHandler::ApplyUseErrorHandler()
{
    TApplication* app = TApplication::Instance();
    if (!app) return;
    if (m_useErrorHandler) {
        if (m_hooked) return;
        if (app->OnException) throw EedException(QStringLiteral("Exception Handler already assigned."));
        app->OnException = [this](QObject* sender, Exception& e) { HandleException(sender, e); };
        m_hooked = true;
    } else if (app->OnException) {
        app->OnException = nullptr;
        m_hooked = false;
    }
}

void TlcErrorHandler::SetWriteToLog(bool value)
{
    if (value && m_logFile.isEmpty()) throw EedException(QStringLiteral("Log file name is blank"));
    m_writeToLog = value;
}

void TlcErrorHandler::DoErrorEvent(QObject* sender, Exception& e, bool& handled)
{
    if (OnErrorEvent) OnErrorEvent(this, sender, e, handled);
}

void TlcErrorHandler::SetReporter(QObject* sender)
{
    m_reporter.clear();
    if (sender) {
        m_reporter = sender->objectName();
        if (m_reporter.isEmpty()) m_reporter = QString::fromLatin1(sender->metaObject()->className());
    }
}

void TlcErrorHandler::SetMessage(const QString& message)
{
    m_lines = message.isEmpty() ? QStringList() : message.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
}

void TlcErrorHandler::LogMessage(QObject* sender, const QString& message)
{
    SetReporter(sender);
    SetMessage(message);
    if (!m_writeToLog) return;
    // Whoever reports goes on: a log that cannot be written loses the note.
    try {
        AppendToLog();
    } catch (const Exception&) { }
}

void TlcErrorHandler::HandleException(QObject* sender, Exception& e)
{
    SetReporter(sender);
    SetMessage(e.Message());
    bool handled = false;
    DoErrorEvent(sender, e, handled);
    if (handled) return;
    Dialogs::Beep();
    if (ShowError) {
        TErrorDlg dialog;
        const TApplication* app = TApplication::Instance();
        dialog.setWindowTitle(Caption + QLatin1Char(' ') + (app ? app->Title() : QString()));
        dialog.SetMessageLines(m_lines);
        dialog.SetAllowPrint(AllowPrint);
        Dialogs::ExecModal(dialog);
    }
    if (m_writeToLog) AppendToLog();
}

QByteArray TlcErrorHandler::LogBlock() const
{
    QStringList lines;
    lines << kRule << QStringLiteral("Time of error: ") + DateTimeToStr(Now())
          << QStringLiteral("Object reporting error: ") + m_reporter;
    lines << m_lines;
    lines << kRule;
    // A line is cut to fit 1997 characters with its line end, so a long one
    // never runs into the next.
    QString block;
    for (const QString& line : lines) block += line.left(1995) + QStringLiteral("\r\n");
    return block.toUtf8();
}

void TlcErrorHandler::AppendToLog() const
{
    QFile file(Directories::LogDir() + m_logFile);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\".").arg(file.fileName()));
    // Other writers wait until the block is complete.
    const int fd = file.handle();
    if (fd >= 0) ::flock(fd, LOCK_EX);
    const QByteArray block = LogBlock();
    const bool written = file.write(block) == block.size() && file.flush();
    if (fd >= 0) ::flock(fd, LOCK_UN);
    if (!written) throw EStreamError(QStringLiteral("Stream write error"));
}
