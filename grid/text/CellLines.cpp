#include "grid/text/CellLines.h"

namespace {

constexpr QChar CR = u'\r';
constexpr QChar LF = u'\n';

} // namespace

void LFToCRLF(QString& text)
{
    if (text.contains(LF)) text.replace(LF, QStringLiteral("\r\n"));
}

void TildeToCRLF(QString& text)
{
    if (text.contains(u'~')) text.replace(u'~', QStringLiteral("\r\n"));
}

void QuoteMultiline(QString& text)
{
    text.replace(QStringLiteral("\r\n"), QString(LF));
    text.prepend(u'"');
    text.append(u'"');
}

void ExpandNewlineEscapes(const QString& text, QString& result)
{
    result = text;
    result.replace(QStringLiteral("\\n"), QString(CR));
}

void CutFirstLine(QString& text, bool multiLine, QString& line)
{
    const qsizetype cr = text.indexOf(CR);
    if (cr < 0) {
        line = text;
        text.clear();
        return;
    }
    line = text.left(cr);
    qsizetype cut = cr + 1;
    if (cut < text.size() && text[cut] == LF) ++cut;
    if (multiLine)
        text.remove(0, cut);
    else
        text.clear();
}

int CountLines(const QString& text, bool multiLine) { return multiLine ? 1 + int(text.count(CR)) : 1; }
