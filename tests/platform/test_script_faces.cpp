// The program's font set-up: the installed faces Qt refuses for their
// script for want of a substitution table naming it (Noto Sans Thaana) are
// registered again, once, and only they; the windows' fonts then draw
// Thaana from them.

#include "platform/fonts/ScriptFaces.h"
#include "tests/platform/DrawingFixtures.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QSet>
#include <QTextLayout>
#include <gtest/gtest.h>

using drawingtest::ImageCanvas;

namespace {

const QString Thaana = QStringLiteral("\u078b\u07a8\u0788\u07ac\u0780\u07a8 \u0783\u07a6\u0787\u07b0\u0794\u07a8");

// The families of the faces the application added, by their ids.
QSet<QString> ApplicationFamilies()
{
    QSet<QString> families;
    for (int id = 0; id < 1000; ++id)
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) families.insert(family);
    return families;
}

} // namespace

TEST(ScriptFaces, TheFacesWithoutASubstitutionTableForTheirScriptAreAddedOnce)
{
    // The test main has run the set-up: both styles of the Thaana face,
    // not the faces whose tables name their scripts (Devanagari, N'Ko).
    const QSet<QString> before = ApplicationFamilies();
    EXPECT_TRUE(before.contains(QStringLiteral("Noto Sans Thaana")));
    for (const QString& family : before)
        EXPECT_FALSE(family.startsWith(QLatin1String("Noto")) && family != QLatin1String("Noto Sans Thaana"))
            << family.toStdString();
    const int installed = ScriptFaces::Install();
    EXPECT_EQ(installed, 2);
    EXPECT_EQ(ScriptFaces::Install(), installed);
    EXPECT_EQ(ApplicationFamilies(), before);
}

TEST(ScriptFaces, TheWindowsFontsDrawThaanaFromTheNotoFace)
{
    // Laid out in the font of the windows, regular and bold: every glyph
    // from the copy of the Noto face of its style (its substitution table
    // added, its positioning kept).
    for (const bool bold : {false, true}) {
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPixelSize(40);
        tahoma.setBold(bold);
        QTextLayout layout(Thaana, tahoma);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        ASSERT_EQ(runs.size(), 1);
        const QRawFont face = runs[0].rawFont();
        ASSERT_FALSE(face.fontTable("head").isEmpty()) << "a face of a font file";
        EXPECT_EQ(face.familyName(), QStringLiteral("Noto Sans Thaana"));
        EXPECT_EQ(face.styleName(), bold ? QStringLiteral("Bold") : QStringLiteral("Regular"));
        EXPECT_FALSE(face.fontTable("GSUB").isEmpty());
        EXPECT_FALSE(face.fontTable("GPOS").isEmpty());
        EXPECT_EQ(runs[0].glyphIndexes().size(), Thaana.size());
        for (const quint32 id : runs[0].glyphIndexes()) EXPECT_NE(id, 0u);
    }

    // And drawn by the canvas: ink where the name goes.
    ImageCanvas c(400, 80);
    c->Font().SetName(QStringLiteral("Tahoma"));
    c->Font().SetSize(24);
    c->TextOut(10, 10, Thaana);
    int inked = 0;
    const QImage& image = c.Image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) inked += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(inked, 300);
}
