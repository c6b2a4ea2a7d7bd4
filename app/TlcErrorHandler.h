#pragma once
// Where every exception no code handles ends: a beep, the modal error dialog
// (which can print the message) and a block appended to the error log
// ("Error.log" in the log directory). Hooks itself into the application's
// exception event when loaded.

#include "platform/core/Exception.h"

#include <QObject>
#include <QStringList>
#include <functional>

class EedException : public Exception {
    using Exception::Exception;
};

class TlcErrorHandler : public QObject {
    Q_OBJECT
public:
    using TErrorEvent = std::function<void(QObject* sender, QObject* errorObject, Exception& e, bool& handled)>;

    explicit TlcErrorHandler(QObject* owner = nullptr);
    ~TlcErrorHandler() override;

    // Applies UseErrorHandler once the owner has set the properties (at run
    // time, as after loading a stored form).
    void Loaded();

    bool AllowPrint = true;
    QString Caption = QStringLiteral("Error Message");
    int HelpContext = 0; // kept, not used
    bool ShowError = true;
    TErrorEvent OnErrorEvent;

    QString LogFile() const { return m_logFile; }
    void SetLogFile(const QString& name) { m_logFile = name; }
    bool UseErrorHandler() const { return m_useErrorHandler; }
    // Applies the new value at once: takes the application's exception event
    // ("Exception Handler already assigned." when another has it) or clears
    // it.
    void SetUseErrorHandler(bool value);
    bool WriteToLog() const { return m_writeToLog; }
    // "Log file name is blank" when switched on without a log file.
    void SetWriteToLog(bool value);
    QString Version() const { return QStringLiteral("1.01b"); }

    // Handles one exception as the application's exception event does.
    void HandleException(QObject* sender, Exception& e);
    // Appends a message to the log (when WriteToLog) as an error's block,
    // without beep or dialog: what went wrong without stopping the user.
    // A log that cannot be written is passed over.
    void LogMessage(QObject* sender, const QString& message);

    // The lines of the last message.
    const QStringList& MessageLines() const { return m_lines; }
    // The name of the object that reported the last error.
    QString ReportingObject() const { return m_reporter; }

    // The block appended to the log for the current message, each line cut
    // to 1995 characters before its CR LF.
    QByteArray LogBlock() const;

protected:
    virtual void DoErrorEvent(QObject* sender, Exception& e, bool& handled);

private:
    void ApplyUseErrorHandler();
    void SetReporter(QObject* sender);
    void SetMessage(const QString& message);
    void AppendToLog() const;

    QString m_logFile = QStringLiteral("Error.log");
    bool m_useErrorHandler = true;
    bool m_writeToLog = true;
    bool m_loaded = false;
    bool m_hooked = false;
    QString m_reporter;
    QStringList m_lines;
};
