#include "protocol/xml/EDOMException.h"

namespace {
const char* const kCodeNames[13] = {
    "",
    "INDEX_SIZE_ERR",
    "DOMSTRING_SIZE_ERR",
    "HIERARCHY_REQUEST_ERR",
    "WRONG_DOCUMENT_ERR",
    "INVALID_CHARACTER_ERR",
    "NO_DATA_ALLOWED_ERR",
    "NO_MODIFICATION_ALLOWED_ERR",
    "NOT_FOUND_ERR",
    "NOT_SUPPORTED_ERR",
    "INUSE_ATTRIBUTE_ERR",
    "",
    "INVALID_POINTER_ERR",
};
} // namespace

EDOMException::EDOMException(uint8_t code, const QString& text)
    : Exception(QStringLiteral("XML-DOM [") + CodeName(code) + QStringLiteral("]: ") + text), m_code(code)
{ }

EDOMException::EDOMException(uint8_t code, const QString& message, RawMessage) : Exception(message), m_code(code) { }

EDOMException::~EDOMException() = default;

EDOMException EDOMException::WithMessage(uint8_t code, const QString& message)
{
    return EDOMException(code, message, RawMessage{});
}

QString EDOMException::CodeName(uint8_t code) { return code < 13 ? QString::fromLatin1(kCodeNames[code]) : QString(); }
