#pragma once
// The error of a document-model operation, with the DOM level 1 codes.
// Message: "XML-DOM [" + code name + "]: " + text.

#include "platform/core/Exception.h"

#include <QString>
#include <cstdint>

class EDOMException : public Exception {
public:
    enum : uint8_t {
        INDEX_SIZE_ERR = 1,
        DOMSTRING_SIZE_ERR = 2,
        HIERARCHY_REQUEST_ERR = 3,
        WRONG_DOCUMENT_ERR = 4,
        INVALID_CHARACTER_ERR = 5,
        NO_DATA_ALLOWED_ERR = 6,
        NO_MODIFICATION_ALLOWED_ERR = 7,
        NOT_FOUND_ERR = 8,
        NOT_SUPPORTED_ERR = 9,
        INUSE_ATTRIBUTE_ERR = 10,
        INVALID_POINTER_ERR = 12,
    };

    // Builds the message from the code's name and the text.
    EDOMException(uint8_t code, const QString& text);
    ~EDOMException() override;

    // An exception with a finished message (passing one on unchanged).
    static EDOMException WithMessage(uint8_t code, const QString& message);

    uint8_t Code() const { return m_code; }
    // "INDEX_SIZE_ERR" ... ; empty for codes without a name (11, 13 and up).
    static QString CodeName(uint8_t code);

private:
    struct RawMessage { };
    EDOMException(uint8_t code, const QString& message, RawMessage);
    uint8_t m_code;
};
