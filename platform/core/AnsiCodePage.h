#pragma once
// The platform's ANSI code page: Windows-1252 (Western European), the code
// page of the systems the program was made for. Bytes 0x81, 0x8D, 0x8F, 0x90
// and 0x9D, which it leaves undefined, stand for the control character of
// the same code, as the platform's conversion gives them.

#include <QByteArray>
#include <QString>
#include <cstdint>

// The character of one byte.
char16_t AnsiCharOf(uint8_t byte);
// Bytes to text, one character per byte.
QString AnsiToWide(const QByteArray& bytes);
