#pragma once
// Small text tests of the lexer: keywords compare with ASCII letters in any
// case; blank means spaces, tabs, line feeds and carriage returns only.

#include "protocol/xml/XMLChars.h"

#include <QStringView>
#include <array>
#include <cstddef>
#include <cstdint>

namespace lexchars {

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
inline char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

inline bool SameText(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode())) return false;
    return true;
}

// Tab, LF, CR and 0x20 to 0x7E: one byte, one character, in every byte
// encoding.
inline bool PlainByte(uint8_t b) { return (b >= 0x20 && b < 0x7F) || b == '\t' || b == '\n' || b == '\r'; }
// The ASCII name characters (bit 0), and those a name may begin with (bit 1).
inline constexpr std::array<uint8_t, 256> kAsciiNameBytes = [] {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const bool start = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_' || b == ':';
        const bool name = start || (b >= '0' && b <= '9') || b == '.' || b == '-';
        t[size_t(b)] = uint8_t((name ? 1 : 0) | (start ? 2 : 0));
    }
    return t;
}();
inline bool AsciiNameByte(uint8_t b) { return kAsciiNameBytes[b] & 1; }
inline bool AsciiNameStart(uint8_t b) { return kAsciiNameBytes[b] & 2; }

// The character of a predefined entity name of one-byte characters ("lt",
// "gt", "amp", "apos", "quot", in any case), or 0.
inline char16_t PredefinedEntity(const uint8_t* name, qsizetype n)
{
    auto is = [name, n](const char* word) {
        for (qsizetype i = 0; i < n; ++i)
            if (FoldAscii(name[i]) != char16_t(word[i])) return false;
        return true;
    };
    switch (n) {
    case 2:
        if (is("LT")) return u'<';
        if (is("GT")) return u'>';
        break;
    case 3:
        if (is("AMP")) return u'&';
        break;
    case 4:
        if (is("APOS")) return u'\'';
        if (is("QUOT")) return u'"';
        break;
    default: break;
    }
    return 0;
}

inline bool IsAllBlank(const char16_t* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (!IsBlank(p[i])) return false;
    return true;
}
inline bool IsAllBlank(QStringView s)
{
    return IsAllBlank(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

} // namespace lexchars
