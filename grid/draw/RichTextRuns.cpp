#include "grid/draw/RichTextRuns_p.h"

#include "platform/text/RtfReader.h"

#include <algorithm>
#include <vector>

namespace {

// A piece of one run placed on a line.
struct TPiece {
    QString text;
    int run = 0; // index into the paragraph's runs
    int x = 0;
    int ascent = 0;
    int inkWidth = 0; // without trailing blanks
    bool gap = false; // ends with blanks: a justified line widens them
};

struct TLine {
    std::vector<TPiece> pieces;
    int ascent = 0;
    int height = 0;
};

// The width a line's text takes, its trailing blanks left out.
int InkRight(const TLine& line)
{
    for (auto it = line.pieces.rbegin(); it != line.pieces.rend(); ++it)
        if (it->inkWidth > 0) return it->x + it->inkWidth;
    return 0;
}

class TRunLayout {
public:
    TRunLayout(TCanvas& canvas, const TRect& r, const TRichTextLook& look) : m_canvas(canvas), m_r(r), m_look(look) { }

    // Lays out and draws one paragraph from y; answers the y after it.
    int Paragraph(const TRtfParagraph& p, int y)
    {
        m_runs = &p.Runs;
        m_lines.clear();
        m_lines.emplace_back();
        m_x = 0;
        m_bottom = y;
        for (int i = 0; i < int(p.Runs.size()) && m_bottom < m_r.Bottom; ++i) {
            SelectFont(i);
            const TTextMetric tm = m_canvas.TextMetrics();
            Grow(m_lines.back(), tm);
            AddText(p.Runs[i].Text, i, tm);
        }
        // An empty paragraph is one line of the canvas font.
        if (p.Runs.isEmpty()) Grow(m_lines.back(), m_canvas.TextMetrics());
        for (size_t l = 0; l < m_lines.size(); ++l) {
            if (y >= m_r.Bottom) break;
            TLine& line = m_lines[l];
            Align(line, p.Alignment, l + 1 == m_lines.size());
            for (const TPiece& piece : line.pieces) {
                SelectFont(piece.run);
                m_canvas.TextOut(m_r.Left + piece.x, y + line.ascent - piece.ascent, piece.text);
            }
            y += line.height;
        }
        return y;
    }

    void SelectFont(int run)
    {
        const TRtfRun& rr = (*m_runs)[run];
        TFont& f = m_canvas.Font();
        TFontStyles style;
        if (rr.Bold) style += TFontStyle::fsBold;
        if (rr.Italic) style += TFontStyle::fsItalic;
        if (rr.Underline) style += TFontStyle::fsUnderline;
        f.SetStyle(style);
        f.SetSize(std::max(1, (rr.HalfPoints + 1) / 2 + m_look.zoom));
        TColor color =
            rr.Color >= 0 ? RGB((rr.Color >> 16) & 0xFF, (rr.Color >> 8) & 0xFF, rr.Color & 0xFF) : m_look.defaultColor;
        if (m_look.overrideColor != clNone) color = m_look.overrideColor;
        f.SetColor(color);
    }

private:
    // Moves the pieces of a line for the paragraph's alignment: the room
    // the line leaves goes before it (right), half before (centred), or
    // into its blanks (justified, but for a paragraph's last line).
    void Align(TLine& line, TRtfAlignment alignment, bool last) const
    {
        const int room = m_r.Width() - InkRight(line);
        if (room <= 0 || line.pieces.empty()) return;
        int shift = 0;
        switch (alignment) {
        case TRtfAlignment::Left: return;
        case TRtfAlignment::Right: shift = room; break;
        case TRtfAlignment::Center: shift = room / 2; break;
        case TRtfAlignment::Justify: {
            if (last) return;
            // The gaps before the last piece share the room.
            int gaps = 0;
            for (size_t i = 0; i + 1 < line.pieces.size(); ++i) gaps += line.pieces[i].gap ? 1 : 0;
            if (gaps == 0) return;
            int done = 0;
            for (size_t i = 0; i + 1 < line.pieces.size(); ++i) {
                line.pieces[i].x += room * done / gaps;
                if (line.pieces[i].gap) ++done;
            }
            line.pieces.back().x += room;
            return;
        }
        }
        for (TPiece& piece : line.pieces) piece.x += shift;
    }

    static void Grow(TLine& line, const TTextMetric& tm)
    {
        const int descent = std::max(line.height - line.ascent, tm.tmHeight - tm.tmAscent);
        line.ascent = std::max(line.ascent, tm.tmAscent);
        line.height = line.ascent + descent;
    }

    void NewLine(const TTextMetric& tm)
    {
        m_bottom += m_lines.back().height;
        m_lines.emplace_back();
        Grow(m_lines.back(), tm);
        m_x = 0;
    }

    void Place(const QString& text, int run, const TTextMetric& tm, int width, int inkWidth)
    {
        if (text.isEmpty()) return;
        const bool gap = inkWidth < width;
        m_lines.back().pieces.push_back(TPiece{text, run, m_x, tm.tmAscent, inkWidth, gap});
        m_x += width;
    }

    // Words with their trailing blanks; a word that does not fit starts a
    // new line, and one wider than the whole line is broken where it must.
    void AddText(const QString& text, int run, const TTextMetric& tm)
    {
        const int width = std::max(1, m_r.Width());
        qsizetype i = 0;
        // Lines below the rectangle are never laid out.
        while (i < text.size() && m_bottom < m_r.Bottom) {
            if (text[i] == u'\n' || text[i] == u'\r') {
                NewLine(tm);
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < text.size() && text[end] != u' ' && text[end] != u'\n' && text[end] != u'\r') ++end;
            qsizetype blanks = end;
            while (blanks < text.size() && text[blanks] == u' ') ++blanks;
            QString word = text.mid(i, end - i);
            if (m_x > 0 && m_x + m_canvas.TextWidth(word) > width) NewLine(tm);
            while (word.size() > 1 && m_canvas.TextWidth(word) > width) {
                const qsizetype fit = std::clamp<qsizetype>(m_canvas.TextFit(word, width), 1, word.size() - 1);
                const QString head = word.left(fit);
                const int headWidth = m_canvas.TextWidth(head);
                Place(head, run, tm, headWidth, headWidth);
                word = word.mid(fit);
                NewLine(tm);
            }
            const QString piece = word + text.mid(end, blanks - end);
            Place(piece, run, tm, m_canvas.TextWidth(piece), m_canvas.TextWidth(word));
            i = blanks;
        }
    }

    TCanvas& m_canvas;
    TRect m_r;
    TRichTextLook m_look;
    const QList<TRtfRun>* m_runs = nullptr;
    std::vector<TLine> m_lines;
    int m_x = 0;
    int m_bottom = 0; // the top of the line being filled
};

} // namespace

void DrawRichTextRuns(TCanvas& canvas, const TRtfDocument& document, const TRect& r, const TRichTextLook& look)
{
    if (r.IsEmpty()) return;
    const TFont savedFont = canvas.Font();
    const int savedMode = canvas.BkMode();
    canvas.SaveClip();
    canvas.IntersectClipRect(r);
    canvas.SetBkMode(Win::TRANSPARENT);
    TRunLayout layout(canvas, r, look);
    int y = r.Top;
    for (const TRtfParagraph& p : document.Paragraphs) {
        if (y >= r.Bottom) break;
        y = layout.Paragraph(p, y);
    }
    canvas.RestoreClip();
    canvas.SetBkMode(savedMode);
    canvas.Font() = savedFont;
}
