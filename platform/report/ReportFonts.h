#pragma once
// The fonts of report pages: names resolve to the installed metric-
// compatible fonts ("Arial" and "Tahoma" to Liberation Sans, "Arial Black"
// to Liberation Sans Bold, "Times New Roman" to Liberation Serif, "Courier
// New" to Liberation Mono), and the symbol fonts' legend characters to
// Unicode symbols. Text is measured at one reference resolution, whatever
// the device, so preview, printer and PDF lay a page out alike.

#include "platform/report/PagePainter.h"

#include <QByteArray>
#include <QFont>
#include <QString>

class ReportFonts {
public:
    // Dots per inch at which text is measured (and shaped when drawn).
    static constexpr int ReferenceDpi = 1440;

    // The page font for a font name and size in points: the installed
    // family, and bold when the name asks for a heavy face.
    static TPageFont Resolve(const QString& name, double size);
    // True for the symbol fonts whose characters are mapped (WingDings,
    // Symbol).
    static bool IsSymbolFont(const QString& name);
    // Text of a symbol font as the Unicode symbols its characters show.
    static QString MapSymbols(const QString& name, const QString& text);
    // The Qt font of a page font at the reference resolution (pixel size,
    // no hinting), for measuring and, scaled, for drawing.
    static QFont QtFont(const TPageFont& font);
    // A font to measure a page font of any size with: the page font itself
    // up to MaxMeasuredSize points, beyond that the same face at that size
    // (Qt's metrics overflow at some ten thousand pixels); inchesPerUnit is
    // what one of its units is on the page.
    static constexpr double MaxMeasuredSize = 100;
    static QFont MeasuringFont(const TPageFont& font, double& inchesPerUnit);
    // Whether a face's 'kern' table (empty: none) reads whole: version 0,
    // every subtable and its pairs within the table. Only then are the
    // face's kerned advances what shaping makes of plain text; a damaged
    // table gives Qt pairs of its bytes, where shaping reads none.
    static bool KerningReadable(const QByteArray& kern);
};
