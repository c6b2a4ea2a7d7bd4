#pragma once
// Encodings of XML documents and the conversion between 16-bit text and
// bytes: eleven single-byte character sets through tables, UTF-8 and UTF-16.
// Characters that an encoding cannot represent become "_" (0x5F) and are
// collected in the list of unconvertible characters, which the reader and the
// writer report to the user after a parse or a save.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

enum TEncoding : uint8_t {
    n_sup = 0,
    i8859_1 = 1,
    i8859_2 = 2,
    i8859_3 = 3,
    i8859_4 = 4,
    i8859_5 = 5,
    i8859_6 = 6,
    i8859_7 = 7,
    i8859_8 = 8,
    i8859_9 = 9,
    i8859_10 = 10,
    US_ASCII = 11,
    UTF_8 = 12,
    UTF_16 = 13,
};

// True for the eleven table encodings (i8859_1 to US_ASCII).
inline bool IsSingleByteEncoding(TEncoding e) { return e >= i8859_1 && e <= US_ASCII; }

// "ISO-8859-1" ... "UTF-16"; "not supported" for n_sup and unknown values.
QString EncodingName(TEncoding encoding);
// The encoding whose name equals name, ASCII letters compared without case,
// among i8859_1 to UTF_16; n_sup when none does.
TEncoding EncodingFromName(QStringView name);

// --- Whole-text conversion ------------------------------------------------

// Text to bytes: UTF-16 (high byte first when bigEndian; no byte-order mark),
// UTF-8 (a surrogate pair as the four bytes of its character, any other
// character by EncodeUTF8), or CharToByte per character.
QByteArray WideToBytes(QStringView text, TEncoding encoding, bool bigEndian = true);
// The same, appended to out (text converted a piece at a time gives the
// bytes and the list of unconvertible characters the whole text gives).
void AppendWideToBytes(QByteArray& out, QStringView text, TEncoding encoding, bool bigEndian = true);
// Bytes to text, the inverse, as the input reader decodes them: UTF-16 pairs,
// UTF-8 sequences of one to three bytes (DecodeUTF8) and of four bytes (a
// surrogate pair), or ByteToChar. A sequence of up to three bytes cut short
// by the end of the bytes is completed with zero bytes; a four-byte lead
// without its three continuation bytes is a character by itself.
// A zero byte gives a zero character (the reader treats it as the end).
QString BytesToWide(const QByteArray& bytes, TEncoding encoding, bool bigEndian = true);

// Bulk decoder for input buffers: decodes whole characters from src into dst
// (room for srcLen characters is always enough) and returns how many were
// written; *consumed receives the number of bytes used. Without atEnd an
// incomplete sequence at the end of src is left unconsumed; with atEnd it is
// completed with zero bytes.
qsizetype DecodeBytes(TEncoding encoding, bool bigEndian, const uint8_t* src, qsizetype srcLen, char16_t* dst,
                      qsizetype* consumed, bool atEnd);

// --- Single characters ----------------------------------------------------

// The character of a byte in encoding 1 to 11. An unmapped byte gives "_"
// and puts the character that the byte denotes in the platform's ANSI code
// page on the unconvertible list (once).
char16_t ByteToChar(uint8_t byte, TEncoding encoding);
// The byte of a character in encoding 1 to 11: below 0x7F itself, else the
// lowest byte 0x80-0xFF whose table entry is the character; otherwise "_"
// and the character is listed (once).
uint8_t CharToByte(char16_t character, TEncoding encoding);
// The UTF-8 bytes of a character appended to out: one to three for a
// 16-bit character (each half of a surrogate pair met alone by itself, three
// bytes), four for a character above 0xFFFF.
void EncodeUTF8(char32_t character, QByteArray& out);
QByteArray EncodeUTF8(char32_t character);
// One to four bytes (count given by the caller from the first byte) to a
// character. Continuation bytes of one to three byte sequences are not
// checked; a four-byte sequence must be one (Utf8FourByteChar), else the
// first byte is the character of its code, as any other first byte is.
char32_t DecodeUTF8(const uint8_t* bytes, int count);
// Bytes of the UTF-8 sequence that starts with lead: 2 for 110xxxxx, 3 for
// 1110xxxx, 4 for 11110xxx, 1 for anything else.
inline int UTF8SequenceLength(uint8_t lead)
{
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}
// The character of the four bytes from a lead 11110xxx: three continuation
// bytes 10xxxxxx and a code from 0x10000 to 0x10FFFF; 0 when they are not
// such a sequence (the lead then stands for itself, as older readers took it).
inline char32_t Utf8FourByteChar(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4)
{
    if (((b2 & 0xC0) ^ 0x80) | ((b3 & 0xC0) ^ 0x80) | ((b4 & 0xC0) ^ 0x80)) return 0;
    const char32_t c =
        (char32_t(b1 & 0x07) << 18) | (char32_t(b2 & 0x3F) << 12) | (char32_t(b3 & 0x3F) << 6) | char32_t(b4 & 0x3F);
    return c >= 0x10000 && c <= 0x10FFFF ? c : 0;
}
inline char16_t HighSurrogateOf(char32_t c) { return char16_t(0xD7C0 + (c >> 10)); }
inline char16_t LowSurrogateOf(char32_t c) { return char16_t(0xDC00 | (c & 0x3FF)); }
inline bool IsHighSurrogate(char16_t c) { return (c & 0xFC00) == 0xD800; }
inline bool IsLowSurrogate(char16_t c) { return (c & 0xFC00) == 0xDC00; }
inline char16_t MakeWord(uint8_t high, uint8_t low) { return char16_t((high << 8) | low); }

// The 256 characters of a table encoding (0 = unmapped); nullptr for others.
const char16_t* CodePageTable(TEncoding encoding);

// --- The list of unconvertible characters ---------------------------------
// One list for the run (per thread), each character at most once in the
// order met. Codes above 0xFFFF can be listed (character references).

bool IsListed(uint32_t character);
// Adds the character unless it is listed.
void ListUnconverted(uint32_t character);
void ClearUnconvertedList();
bool UnconvertedListIsEmpty();
// Each character as "(0x%0.4x)" (at least four upper-case hex digits), the
// second and later ones after ", ".
QString UnconvertedList();
// "The file contains the following characters that are illegal in the ...
// encoding scheme: ..." with the encoding's name and the list.
QString UnconvertedMessage(TEncoding encoding);

// A nested parse (an entity's content, a parameter entity) must not disturb
// the list of the parse or save around it: save it before, restore it after.
using TUnconvertedListState = std::vector<uint32_t>;
TUnconvertedListState SaveUnconvertedList();
void RestoreUnconvertedList(TUnconvertedListState state);

// Saves the list on construction, empties it, and restores the saved list
// on destruction (also when an exception leaves the scope).
class TUnconvertedListGuard {
public:
    TUnconvertedListGuard() : m_saved(SaveUnconvertedList()) { ClearUnconvertedList(); }
    ~TUnconvertedListGuard() { RestoreUnconvertedList(std::move(m_saved)); }
    TUnconvertedListGuard(const TUnconvertedListGuard&) = delete;
    TUnconvertedListGuard& operator=(const TUnconvertedListGuard&) = delete;

private:
    TUnconvertedListState m_saved;
};
