#include "platform/text/RtfWriter.h"

#include "platform/text/RtfChars_p.h"

#include <QList>

namespace {

void AppendText(QByteArray& out, const QString& text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c == u'\r' || c == u'\n') {
            out += "\\line ";
        } else if (!IsRtfTextChar(c)) {
            continue; // other control characters carry nothing
        } else if (c < 0x80) {
            out += char(c);
        } else {
            // Signed 16-bit as the format has it, "?" for readers without it.
            out += "\\u" + QByteArray::number(int(short(c))) + '?';
        }
    }
}

// The paragraph control words of an alignment; \pard first, so that
// nothing of the paragraph before carries over.
QByteArray AlignmentWords(TRtfAlignment alignment)
{
    switch (alignment) {
    case TRtfAlignment::Right: return "\\pard\\qr ";
    case TRtfAlignment::Center: return "\\pard\\qc ";
    case TRtfAlignment::Justify: return "\\pard\\qj ";
    case TRtfAlignment::Left: break;
    }
    return "\\pard ";
}

// Whether the paragraph writes any text (one that does not reads back
// without runs).
bool HasText(const TRtfParagraph& p)
{
    for (const TRtfRun& run : p.Runs)
        for (const QChar ch : run.Text)
            if (IsRtfTextChar(ch.unicode()) || ch == u'\r' || ch == u'\n') return true;
    return false;
}

} // namespace

QByteArray TRtfWriter::Write(const TRtfDocument& document, const QString& fontName)
{
    QList<int> colors; // index + 1 is the \cf of a colour
    for (const TRtfParagraph& p : document.Paragraphs)
        for (const TRtfRun& run : p.Runs)
            if (run.Color >= 0 && !colors.contains(run.Color & 0xFFFFFF)) colors.append(run.Color & 0xFFFFFF);

    QByteArray out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 ";
    AppendText(out, fontName);
    out += ";}}";
    if (!colors.isEmpty()) {
        out += "{\\colortbl ;";
        for (const int c : colors)
            out += "\\red" + QByteArray::number((c >> 16) & 0xFF) + "\\green" + QByteArray::number((c >> 8) & 0xFF) +
                "\\blue" + QByteArray::number(c & 0xFF) + ';';
        out += '}';
    }
    // Left-aligned paragraphs after left-aligned ones need no words.
    TRtfAlignment alignment = TRtfAlignment::Left;
    for (qsizetype i = 0; i < document.Paragraphs.size(); ++i) {
        if (i > 0) out += "\\par\r\n";
        const TRtfParagraph& p = document.Paragraphs[i];
        if (p.Alignment != alignment) out += AlignmentWords(p.Alignment);
        alignment = p.Alignment;
        for (const TRtfRun& run : p.Runs) {
            out += "{\\f0\\fs" + QByteArray::number(run.HalfPoints);
            if (run.Bold) out += "\\b";
            if (run.Italic) out += "\\i";
            if (run.Underline) out += "\\ul";
            if (run.Color >= 0) out += "\\cf" + QByteArray::number(colors.indexOf(run.Color & 0xFFFFFF) + 1);
            out += ' ';
            AppendText(out, run.Text);
            out += '}';
        }
    }
    // A reader drops the empty paragraph a final \par leaves: an empty last
    // paragraph of the document is written with one more.
    if (document.Paragraphs.size() > 1 && !HasText(document.Paragraphs.last())) out += "\\par\r\n";
    out += '}';
    return out;
}
