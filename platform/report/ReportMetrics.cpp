#include "platform/report/ReportMetrics_p.h"

#include "platform/report/ReportFonts.h"

namespace {

// Only these shape text differently.
bool SameFace(const TPageFont& a, const TPageFont& b)
{
    return a.Size == b.Size && a.Bold == b.Bold && a.Italic == b.Italic && a.Family == b.Family;
}

// The face of a font at its size, found once while the program runs: finding
// it costs as much as shaping a page of text. Bounded like the fonts kept;
// reports are written on the GUI thread only.
QRawFont RawFont(const QFont& font)
{
    struct Kept {
        QString Key;
        QRawFont Raw;
    };
    static std::vector<Kept> kept;
    const QString key = font.key();
    for (const Kept& k : kept)
        if (k.Key == key) return k.Raw;
    if (kept.size() >= TReportMetrics::MaxFonts) kept.clear();
    kept.push_back(Kept{key, QRawFont::fromFont(font)});
    return kept.back().Raw;
}

} // namespace

TReportMetrics::Font& TReportMetrics::Find(const TPageFont& font)
{
    if (m_last && SameFace(m_last->Key, font)) return *m_last;
    for (const auto& f : m_fonts)
        if (SameFace(f->Key, font)) return *(m_last = f.get());
    if (m_fonts.size() >= MaxFonts) {
        m_fonts.clear();
        m_keptCost = 0;
    }
    auto made = std::make_unique<Font>();
    made->Key = font;
    const QFont qfont = ReportFonts::QtFont(font);
    made->Metrics = std::make_unique<QFontMetricsF>(qfont);
    made->Raw = RawFont(qfont);
    made->KernedAdvances = made->Raw.isValid() && ReportFonts::KerningReadable(made->Raw.fontTable("kern"));
    m_fonts.push_back(std::move(made));
    return *(m_last = m_fonts.back().get());
}

double TReportMetrics::Descent(const TPageFont& font) { return Find(font).Metrics->descent(); }

double TReportMetrics::Measure(Font& f, const QString& text)
{
    // Latin letters, digits and punctuation, each with a glyph of the face:
    // shaping only kerns them. Anything else (marks, other scripts, a
    // character another face stands in for) is shaped.
    const qsizetype n = text.size();
    if (!f.KernedAdvances || n == 0) return f.Metrics->horizontalAdvance(text);
    const QChar* chars = text.constData();
    for (qsizetype i = 0; i < n; ++i)
        if (chars[i].unicode() >= 0x0300 || chars[i].unicode() < 0x20) return f.Metrics->horizontalAdvance(text);
    if (m_glyphs.size() < size_t(n)) {
        m_glyphs.resize(size_t(n));
        m_advances.resize(size_t(n));
    }
    int count = int(n);
    if (!f.Raw.glyphIndexesForChars(chars, int(n), m_glyphs.data(), &count) || count != int(n))
        return f.Metrics->horizontalAdvance(text);
    for (int i = 0; i < count; ++i)
        if (m_glyphs[size_t(i)] == 0) return f.Metrics->horizontalAdvance(text);
    if (!f.Raw.advancesForGlyphIndexes(m_glyphs.data(), m_advances.data(), count, QRawFont::KernedAdvances))
        return f.Metrics->horizontalAdvance(text);
    double width = 0;
    for (int i = 0; i < count; ++i) width += m_advances[size_t(i)].x();
    return width;
}

double TReportMetrics::Width(const TPageFont& font, const QString& text)
{
    Font& f = Find(font);
    if (text.size() > MaxKeptLength) return Measure(f, text);
    if (const auto it = f.Widths.constFind(text); it != f.Widths.constEnd()) return it.value();
    const double width = Measure(f, text);
    const qsizetype cost = text.size() + EntryCost;
    if (m_keptCost + cost > MaxKeptCost) {
        for (const auto& kept : m_fonts) kept->Widths.clear();
        m_keptCost = 0;
    }
    f.Widths.insert(text, width);
    m_keptCost += cost;
    return width;
}
