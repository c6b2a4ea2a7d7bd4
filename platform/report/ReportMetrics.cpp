#include "platform/report/ReportMetrics_p.h"

#include "platform/report/ReportFonts.h"

namespace {

// Only these shape text differently.
bool SameFace(const TPageFont& a, const TPageFont& b)
{
    return a.Size == b.Size && a.Bold == b.Bold && a.Italic == b.Italic && a.Family == b.Family;
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
    made->Metrics = std::make_unique<QFontMetricsF>(ReportFonts::QtFont(font));
    m_fonts.push_back(std::move(made));
    return *(m_last = m_fonts.back().get());
}

double TReportMetrics::Descent(const TPageFont& font) { return Find(font).Metrics->descent(); }

double TReportMetrics::Width(const TPageFont& font, const QString& text)
{
    Font& f = Find(font);
    if (text.size() > MaxKeptLength) return f.Metrics->horizontalAdvance(text);
    if (const auto it = f.Widths.constFind(text); it != f.Widths.constEnd()) return it.value();
    const double width = f.Metrics->horizontalAdvance(text);
    const qsizetype cost = text.size() + EntryCost;
    if (m_keptCost + cost > MaxKeptCost) {
        for (const auto& kept : m_fonts) kept->Widths.clear();
        m_keptCost = 0;
    }
    f.Widths.insert(text, width);
    m_keptCost += cost;
    return width;
}
