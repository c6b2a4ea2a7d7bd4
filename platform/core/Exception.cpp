#include "platform/core/Exception.h"

#include "platform/core/Format.h"

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) { }

Exception::~Exception() = default;

void Exception::SetMessage(const QString& message)
{
    m_message = message;
    m_utf8 = message.toUtf8();
}

EListError EListError::IndexOutOfBounds(qint64 index)
{
    return EListError(Format(QStringLiteral("List index out of bounds (%d)"), {index}));
}

namespace {

TUnhandledExceptionHandler& UnhandledHandler()
{
    static TUnhandledExceptionHandler handler;
    return handler;
}

} // namespace

void SetUnhandledExceptionHandler(TUnhandledExceptionHandler handler) { UnhandledHandler() = std::move(handler); }

void HandleUnhandledException(QObject* sender)
{
    if (const auto& handler = UnhandledHandler()) handler(sender, std::current_exception());
}
