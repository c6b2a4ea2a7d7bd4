// Text widths of the page surface against Qt's shaping of the same text in
// the same face: the kerned advances taken for plain Latin text, shaping for
// anything else, kept or measured afresh.

#include "tests/platform/report/ReportFixture.h"
#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

struct Face {
    const char* Name;
    bool Bold, Italic;
};

// Qt's width of text in the face the surface prints with, in inches.
double Shaped(const Face& face, double size, const QString& text)
{
    TPageFont font = ReportFonts::Resolve(QString::fromLatin1(face.Name), size);
    font.Bold = font.Bold || face.Bold;
    font.Italic = face.Italic;
    return QFontMetricsF(ReportFonts::QtFont(font)).horizontalAdvance(text) / ReportFonts::ReferenceDpi;
}

} // namespace

TEST(ReportMetrics, WidthsAreWhatShapingGivesInEveryFace)
{
    const QString longText = QStringLiteral("AVAILABLE To Yard, Tyler Way; ").repeated(30);
    const QStringList texts = {
        QStringLiteral("AVAILABLE Type, To"), // kerned pairs: AV, VA, Ty, To, y,
        QStringLiteral("Total Living Area"),
        QStringLiteral("$1,234,567"),
        QStringLiteral("Caf\u00e9 Se\u00f1or \u00c5ngstr\u00f6m"), // Latin-1 letters
        QStringLiteral("na\u0308ive"),                             // a combining mark
        QStringLiteral("\u041c\u043e\u0441\u043a\u0432\u0430"),    // another script
        QStringLiteral("\u2605 \u25cf \u4e2d\u6587"),              // characters other faces stand in for
        QStringLiteral("a\tb"),
        longText, // longer than what is kept
    };
    const Face faces[] = {{"Arial", false, false},
                          {"Arial", true, false},
                          {"Arial", false, true},
                          {"Times New Roman", true, false},
                          {"Courier New", false, false}};
    RecordReport([&](TBaseReport& r) {
        for (const Face& face : faces) {
            for (const double size : {8.0, 10.5, 24.0}) {
                r.SetFont(QString::fromLatin1(face.Name), size);
                r.SetBold(face.Bold);
                r.SetItalic(face.Italic);
                // Twice: measured, then kept.
                for (int round = 0; round < 2; ++round) {
                    for (const QString& text : texts) {
                        const double expected = Shaped(face, size, text);
                        EXPECT_NEAR(r.TextWidth(text), expected, expected * 1e-4 + 1e-6)
                            << face.Name << (face.Bold ? " bold " : " ") << (face.Italic ? "italic " : "") << size
                            << " \"" << text.left(40).toStdString() << "\"";
                    }
                }
            }
        }
    });
}
