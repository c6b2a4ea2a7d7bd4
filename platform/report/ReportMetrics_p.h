#pragma once
// Text measurement of the page surface. Pages measure the same texts in the
// same fonts again and again (a label for its place, again to print it, a
// value cut to its field step by step), and every measurement shapes the
// text anew. The widths are kept per font and text, and the metrics per
// font, so each is shaped once per report; what is kept is bounded. Plain
// Latin text is not shaped at all: its width is the sum of the face's glyph
// advances and kerning pairs, which is what shaping makes of it.

#include "platform/report/PagePainter.h"

#include <QFontMetricsF>
#include <QHash>
#include <QRawFont>
#include <QString>
#include <memory>
#include <vector>

class TReportMetrics {
public:
    // Texts longer than this are measured each time, not kept.
    static constexpr qsizetype MaxKeptLength = 512;
    // What the kept widths may take, reckoned as each text's characters
    // plus an entry's overhead; past it every font's widths start afresh.
    static constexpr qsizetype EntryCost = 16;
    static constexpr qsizetype MaxKeptCost = qsizetype(1) << 18;
    // Fonts kept; past it all start afresh.
    static constexpr size_t MaxFonts = 64;

    // Width in reference units (ReportFonts::ReferenceDpi a inch).
    double Width(const TPageFont& font, const QString& text);
    double Descent(const TPageFont& font);

private:
    struct Font {
        TPageFont Key;
        std::unique_ptr<QFontMetricsF> Metrics;
        QRawFont Raw;
        // Whether plain Latin text may be measured from the face's kerned
        // advances (ReportFonts::KerningReadable).
        bool KernedAdvances = false;
        QHash<QString, double> Widths;
    };
    Font& Find(const TPageFont& font);
    double Measure(Font& f, const QString& text);
    std::vector<quint32> m_glyphs;
    std::vector<QPointF> m_advances;
    std::vector<std::unique_ptr<Font>> m_fonts;
    Font* m_last = nullptr;
    qsizetype m_keptCost = 0;
};
