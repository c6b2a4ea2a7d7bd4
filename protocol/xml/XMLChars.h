#pragma once
// Character classes of the XML 1.0 grammar on 16-bit characters, names and
// name tokens, the escaping of markup characters, indentation and the value
// of a character reference.

#include "protocol/xml/XMLEncoding.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstdint>

namespace xmlchars_detail {
enum : uint8_t {
    fXMLChar = 0x01,   // Char (16-bit part)
    fLetter = 0x02,    // BaseChar | Ideographic
    fDigit = 0x04,     // Digit
    fWhite = 0x08,     // S
    fNameStart = 0x10, // Letter | '_' | ':'
    fNameChar = 0x20,  // NameStart | Digit | '.' | '-'
    fClose = 0x40,     // '-' '?' ']' '/' '>'
};
// One byte of flags per 16-bit character.
extern const std::array<uint8_t, 65536> kCharFlags;
} // namespace xmlchars_detail

inline bool XmlCharHas(char16_t c, uint8_t flag) { return (xmlchars_detail::kCharFlags[c] & flag) != 0; }

inline bool IsXMLChar(char16_t c) { return XmlCharHas(c, xmlchars_detail::fXMLChar); }
inline bool IsLetter(char16_t c) { return XmlCharHas(c, xmlchars_detail::fLetter); }
inline bool IsDigit(char16_t c) { return XmlCharHas(c, xmlchars_detail::fDigit); }
inline bool IsWhiteSpace(char16_t c) { return c == 0x20 || c == 0x09 || c == 0x0A || c == 0x0D; }
inline bool IsNameStart(char16_t c) { return XmlCharHas(c, xmlchars_detail::fNameStart); }
// Name start, digit, "." or "-"; combining characters and extenders are not
// name characters.
inline bool IsNameChar(char16_t c) { return XmlCharHas(c, xmlchars_detail::fNameChar); }
// "-", "?", "]", "/", ">": where the token reader closes markup.
inline bool IsCloseStart(char16_t c) { return XmlCharHas(c, xmlchars_detail::fClose); }
// Text starts at any character but "<", one above 0xFFFF (its high half) too.
inline bool IsCharDataStart(char16_t c) { return c != u'<' && (IsXMLChar(c) || IsHighSurrogate(c)); }

inline bool IsXMLChar(QChar c) { return IsXMLChar(c.unicode()); }
inline bool IsLetter(QChar c) { return IsLetter(c.unicode()); }
inline bool IsDigit(QChar c) { return IsDigit(c.unicode()); }
inline bool IsWhiteSpace(QChar c) { return IsWhiteSpace(c.unicode()); }
inline bool IsNameStart(QChar c) { return IsNameStart(c.unicode()); }
inline bool IsNameChar(QChar c) { return IsNameChar(c.unicode()); }
inline bool IsCloseStart(QChar c) { return IsCloseStart(c.unicode()); }
inline bool IsCharDataStart(QChar c) { return IsCharDataStart(c.unicode()); }

// Not empty, a name start followed by name characters.
bool IsValidName(QStringView s);
// Not empty, name characters only.
bool IsValidNmtoken(QStringView s);
// s trimmed (WideTrim) and split at spaces, empty pieces skipped; every piece
// a valid name (name token). Every piece goes to list when one is given,
// valid or not; the check does not stop at the first failure. Blank: false.
bool IsValidNames(QStringView s, QStringList* list = nullptr);
bool IsValidNmtokens(QStringView s, QStringList* list = nullptr);
// s trimmed not empty, not "xml" in any case, and a valid name.
bool IsValidPITarget(QStringView s);

// n spaces.
QString IndentText(int n);

// The entity of each markup character: "&lt;", "&gt;", "&amp;", "&quot;",
// "&apos;"; an empty view for other characters.
QStringView EntityOf(char16_t c);

// Whether s holds a syntactically complete reference at index i (which must
// be an "&"): "&" Name ";", "&#" digits ";" or "&#x" hex digits ";".
bool IsReferenceAt(QStringView s, qsizetype i);

// s with every occurrence of the markup character c replaced by its entity.
// An "&" that begins a complete reference (IsReferenceAt) is left alone, so
// references already in the text are not escaped twice; every other
// character c is always replaced.
QString EscapeChar(QStringView s, char16_t c);

// Whether c is one of "&", "<" and the double quote, the only characters
// writers escape. Branch-free, for scanning long texts.
inline bool IsEscapeCandidate(char16_t c)
{
    constexpr uint64_t mask = (uint64_t(1) << '&') | (uint64_t(1) << '<') | (uint64_t(1) << '"');
    return ((mask >> (c & 63)) & uint64_t(c < 64)) != 0;
}

// The index of the first escape candidate in p[from, n), or n. Scans eight
// characters at a time where the processor allows.
qsizetype FindEscapeCandidate(const char16_t* p, qsizetype from, qsizetype n);

// Escaping sets for writers, done in one pass over the text.
enum TEscapeSet : uint8_t {
    esText = 1,       // "&" and "<"
    esAttribute = 2,  // "&", "<" and the double quote
    esEntityValue = 3 // "&" and the double quote
};
// Appends s escaped to out (same rules as EscapeChar for each character).
void AppendEscaped(QString& out, QStringView s, TEscapeSet set);
// Length of s once escaped (to size a buffer).
qsizetype EscapedLength(QStringView s, TEscapeSet set);
// Whether s holds any character that the set escapes.
bool NeedsEscape(QStringView s, TEscapeSet set);

// 1-based positions: the position of the first ";" at or after start, or 0
// when an "&" comes first, the end is reached, or start lies beyond the end.
int ReferenceEnd(QStringView s, int start);

// s read as hexadecimal digits, the last character the lowest: "0"-"9",
// "A"-"F", "a"-"f"; any other character counts its code minus 48.
uint32_t HexValue(QStringView s);

// The character of a character reference, given its name without "&" and
// ";" ("#233", "#xE9"). In a single-byte document the number modulo 256 is a
// byte of that set (ByteToChar); in UTF-8 and UTF-16 documents it is the
// code. A number that is not an XML character, or above 0xFFFF, gives "_"
// and is put on the unconvertible list.
char16_t CharReferenceValue(QStringView name, TEncoding documentEncoding);
