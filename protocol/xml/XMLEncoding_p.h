#pragma once
// Fast paths of the encodings for the reader and the writer.

#include "protocol/xml/XMLEncoding.h"
#include "protocol/xml/XMLTables_p.h"

#include <cstdint>

namespace xmlenc_detail {
// "_" for a byte that the encoding leaves unmapped; lists the byte's
// character in the platform's ANSI code page.
char16_t UnmappedByte(uint8_t byte);
} // namespace xmlenc_detail

// ByteToChar for a table encoding, inline on the mapped path.
inline char16_t XmlByteToChar(uint8_t byte, TEncoding encoding)
{
    const char16_t c = xmltables::kCodePages[encoding <= US_ASCII ? encoding : 0][byte];
    return c ? c : xmlenc_detail::UnmappedByte(byte);
}
