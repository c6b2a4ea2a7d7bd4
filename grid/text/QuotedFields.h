#pragma once
// The quote handling of delimited fields. Positions are 1-based, 0 meaning
// "not found".

#include <QString>
#include <cstddef>

// Runs of the quote character become one.
void UndoubleChar(QChar quote, const QString& text, QString& result);
// Position of the quote closing a delimited field: the quote in the last
// position, or the last of an odd run of quotes followed by another
// character; 0 when there is none.
int FindSingleChar(QChar quote, const QString& text);
// The same over any run of characters with size() and operator[] (the
// import scans bytes and UTF-16 in place).
template <class Text, class Char>
std::size_t FindSingleIn(const Text& text, Char quote)
{
    std::size_t run = 0;
    const std::size_t n = std::size_t(text.size());
    for (std::size_t i = 1; i <= n; ++i) {
        if (text[i - 1] == quote) {
            if (i == n) return i;
            ++run;
        } else if (run % 2 == 1) {
            return i - 1;
        } else {
            run = 0;
        }
    }
    return 0;
}
int CountSingleChars(QChar quote, const QString& text);
