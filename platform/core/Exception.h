#pragma once
// The one error type of the program. Every layer derives its own errors from
// it; the application object catches whatever escapes an event handler.

#include <QByteArray>
#include <QString>
#include <exception>
#include <functional>

class QObject;

class Exception : public std::exception {
public:
    explicit Exception(QString message);
    ~Exception() override;

    const QString& Message() const noexcept { return m_message; }
    void SetMessage(const QString& message);
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The class library's own errors that the program raises or relies on.
class EConvertError : public Exception {
    using Exception::Exception;
};
class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception(QStringLiteral("Invalid class typecast")) { }
    using Exception::Exception;
};
class EListError : public Exception {
public:
    using Exception::Exception;
    // "List index out of bounds (%d)"
    static EListError IndexOutOfBounds(qint64 index);
};
class EStreamError : public Exception {
    using Exception::Exception;
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
class EOutOfResources : public Exception {
    using Exception::Exception;
};

// An exception caught where it cannot travel on (an event handler called
// from the event loop or a socket notifier) is handed here, with the object
// it came from. The application object installs its handler (the error
// dialog or its OnException); without one the exception is dropped.
using TUnhandledExceptionHandler = std::function<void(QObject* sender, std::exception_ptr error)>;
void SetUnhandledExceptionHandler(TUnhandledExceptionHandler handler);
// Call from inside a catch block.
void HandleUnhandledException(QObject* sender);
