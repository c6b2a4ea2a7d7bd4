#include "grid/text/QuotedFields.h"

namespace {

int FindSingle(QChar quote, QStringView text) { return int(FindSingleIn(text, quote)); }

} // namespace

void UndoubleChar(QChar quote, const QString& text, QString& result)
{
    if (!text.contains(quote)) {
        result = text;
        return;
    }
    result.clear();
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == quote && i > 0 && text[i - 1] == quote) continue;
        result += text[i];
    }
}

int FindSingleChar(QChar quote, const QString& text) { return FindSingle(quote, text); }

int CountSingleChars(QChar quote, const QString& text)
{
    int count = 0;
    QStringView rest(text);
    for (int found = FindSingle(quote, rest); found > 0; found = FindSingle(quote, rest)) {
        ++count;
        rest = rest.mid(found);
    }
    return count;
}
