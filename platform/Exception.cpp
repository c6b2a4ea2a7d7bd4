#include "platform/Exception.h"

#include "platform/Format.h"

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

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
