// What the painter makes of cells picked one by one, rich-text cells, tree
// lines, file pictures, push buttons under the visual style and turned
// text, through the recording canvas.
#include "grid/TExtStringGrid.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/cells/TCellProperties.h"
#include "grid/cells/TFilePicture.h"
#include "platform/graphics/Themes.h"
#include "tests/support/PrintQString.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/grid/TestGrids.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

// The themes switch as the grid finds it when it is made.
class ThemesAtConstruction {
public:
    explicit ThemesAtConstruction(bool active) : m_was(IsThemeActive()) { SetThemesActive(active); }
    ~ThemesAtConstruction() { SetThemesActive(m_was); }

private:
    bool m_was;
};

class Grid : public PaintTestGrid {
public:
    explicit Grid(QWidget* parent = nullptr) : PaintTestGrid(parent) { }
    QPoint Center(int col, int row) const
    {
        const TRect r = CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void InvalidateRect(const TRect& r) override
    {
        invalidated.push_back(r);
        TExtStringGrid::InvalidateRect(r);
    }
    // Whether the cell was repainted since invalidated was last cleared.
    bool Repainted(int col, int row) const
    {
        return std::find(invalidated.begin(), invalidated.end(), GetCellRect(col, row)) != invalidated.end();
    }
    std::vector<TRect> invalidated;
};

} // namespace

// ---------------------------------------------------------------------------
// Cells picked one by one

TEST(CellLooksDisjunct, PickedCellsPaintSelectedAndRepaintWhenDropped)
{
    Grid g;
    g.show();
    g.SetSelectionColor(clNavy);
    g.SetSelectionTextColor(clYellow);
    g.MouseActions().DisjunctCellSelect = true;
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.Center(1, 1));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ControlModifier, g.Center(3, 2));
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ControlModifier, g.Center(2, 5));
    ASSERT_EQ(g.DisjunctCellCount(), 3);
    g.FocusCell(4, 8); // the current cell elsewhere: only the list decides

    TGridDrawState state;
    g.OnDrawCell = [&](QObject*, int, int, TRect, TGridDrawState s) { state = s; };
    g.SetCellText(1, 1, QStringLiteral("picked"));
    const auto& c = g.PaintCell(1, 1);
    EXPECT_EQ(c.CallsOf(QStringLiteral("FillRect")).front().Brush.Color(), clNavy);
    ASSERT_FALSE(c.CallsOf(QStringLiteral("TextRun")).isEmpty());
    EXPECT_EQ(c.CallsOf(QStringLiteral("TextRun")).front().Font.Color(), clYellow);
    EXPECT_TRUE(state.Contains(TGridDrawStateItem::gdSelected));
    EXPECT_EQ(g.CellBrush(3, 2), clNavy);
    EXPECT_EQ(g.CellBrush(2, 5), clNavy);
    EXPECT_EQ(g.CellBrush(2, 2), g.Color());
    g.PaintCell(2, 2);
    EXPECT_FALSE(state.Contains(TGridDrawStateItem::gdSelected));

    // A plain click drops the picked cells: each is repainted, and the
    // clicked one with them.
    g.invalidated.clear();
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, g.Center(4, 3));
    EXPECT_TRUE(g.Repainted(1, 1));
    EXPECT_TRUE(g.Repainted(3, 2));
    EXPECT_TRUE(g.Repainted(2, 5));
    EXPECT_TRUE(g.Repainted(4, 3));
    g.FocusCell(4, 8);
    EXPECT_EQ(g.CellBrush(1, 1), g.Color());
    EXPECT_EQ(g.CellBrush(4, 3), clNavy);

    // Without DisjunctCellSelect the list is not read.
    g.MouseActions().DisjunctCellSelect = false;
    EXPECT_EQ(g.CellBrush(4, 3), g.Color());
}

// ---------------------------------------------------------------------------
// Rich text

namespace {

const QString kRich = QStringLiteral("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}"
                                     "{\\b Bold} {\\i slant} {\\fs40 big} {\\cf1 red}}");

const TCanvasCall* RunOf(const TRecordingCanvas& c, const QString& text)
{
    for (const TCanvasCall& call : c.Calls())
        if (call.Op == QStringLiteral("TextRun") && call.Text.trimmed() == text) return &call;
    return nullptr;
}

} // namespace

TEST(CellLooksRichText, RunsKeepTheirFormatting)
{
    Grid g;
    g.resize(800, 300);
    g.SetColWidths(1, 300);
    g.SetRowHeights(1, 60);
    g.SetCellText(1, 1, kRich);
    g.FocusCell(4, 8);
    const auto& c = g.PaintCell(1, 1);
    const TCanvasCall* bold = RunOf(c, QStringLiteral("Bold"));
    const TCanvasCall* slant = RunOf(c, QStringLiteral("slant"));
    const TCanvasCall* big = RunOf(c, QStringLiteral("big"));
    const TCanvasCall* red = RunOf(c, QStringLiteral("red"));
    ASSERT_TRUE(bold && slant && big && red);
    EXPECT_TRUE(bold->Font.Style().Contains(TFontStyle::fsBold));
    EXPECT_FALSE(slant->Font.Style().Contains(TFontStyle::fsBold));
    EXPECT_TRUE(slant->Font.Style().Contains(TFontStyle::fsItalic));
    EXPECT_EQ(bold->Font.Size(), 12); // no size given: 12 points
    EXPECT_EQ(big->Font.Size(), 20);
    EXPECT_EQ(red->Font.Color(), clRed);
    EXPECT_EQ(bold->Font.Color(), clBlack);
    // One line, side by side on one base line: the big run stands higher.
    EXPECT_LT(bold->From.X, slant->From.X);
    EXPECT_LT(slant->From.X, big->From.X);
    EXPECT_LT(big->From.Y, bold->From.Y);
    // The canvas's ascent: 2 x size less 3/16 of that.
    auto ascent = [](int size) { return 2 * size - 2 * size * 3 / 16; };
    EXPECT_EQ(big->From.Y + ascent(20), bold->From.Y + ascent(12));
    // Nothing of the RTF source shows.
    for (const QString& run : c.Runs()) EXPECT_FALSE(run.contains(QLatin1Char('\\'))) << run.toStdString();
}

TEST(CellLooksRichText, WordsWrapAtTheCellAndStopAtItsBottom)
{
    Grid g;
    g.SetColWidths(1, 130); // room for "Bold slant " but not "big"
    g.SetRowHeights(1, 200);
    g.SetCellText(1, 1, kRich);
    g.FocusCell(4, 2); // in view below the tall row
    const auto& c = g.PaintCell(1, 1);
    const TCanvasCall* bold = RunOf(c, QStringLiteral("Bold"));
    const TCanvasCall* big = RunOf(c, QStringLiteral("big"));
    ASSERT_TRUE(bold && big);
    EXPECT_GT(big->From.Y, bold->From.Y);
    EXPECT_EQ(big->From.X, bold->From.X);
    for (const TCanvasCall& run : c.CallsOf(QStringLiteral("TextRun")))
        EXPECT_LE(run.From.X + run.Font.Size() * run.Text.trimmed().size(), g.CellRect(1, 1).Right);

    g.SetRowHeights(1, 24); // one line high: the second line is not drawn
    EXPECT_EQ(RunOf(g.PaintCell(1, 1), QStringLiteral("big")), nullptr);
}

TEST(CellLooksRichText, SelectedCellsTakeTheSelectionTextColourUnlessKept)
{
    Grid g;
    g.resize(800, 300);
    g.SetColWidths(1, 300);
    g.SetSelectionTextColor(clLime);
    g.SetCellText(1, 1, kRich);
    g.SetCellText(1, 3, kRich);
    g.SetSelection(TGridRect(1, 1, 2, 2));
    const auto& c = g.PaintCell(1, 1);
    ASSERT_FALSE(c.CallsOf(QStringLiteral("TextRun")).isEmpty());
    for (const TCanvasCall& run : c.CallsOf(QStringLiteral("TextRun"))) EXPECT_EQ(run.Font.Color(), clLime);
    EXPECT_EQ(RunOf(g.PaintCell(1, 3), QStringLiteral("red"))->Font.Color(), clRed); // not selected

    g.SetSelectionRTFKeep(true);
    EXPECT_TRUE(g.SelectionRTFKeep());
    const auto& kept = g.PaintCell(1, 1);
    EXPECT_EQ(RunOf(kept, QStringLiteral("red"))->Font.Color(), clRed);
    EXPECT_EQ(RunOf(kept, QStringLiteral("Bold"))->Font.Color(), clBlack);
}

TEST(CellLooksRichText, MarkedRowsAndColumnsCountAsSelected)
{
    Grid g;
    g.resize(800, 300);
    g.SetColWidths(1, 300);
    g.SetSelectionTextColor(clLime);
    g.SetCellText(1, 4, kRich);
    g.FocusCell(4, 8);
    g.MouseActions().DisjunctRowSelect = true;
    EXPECT_EQ(RunOf(g.PaintCell(1, 4), QStringLiteral("red"))->Font.Color(), clRed);
    g.SetRowSelect(4, true);
    EXPECT_EQ(RunOf(g.PaintCell(1, 4), QStringLiteral("red"))->Font.Color(), clLime);
}

TEST(CellLooksRichText, ParagraphsStandWhereTheirAlignmentPutsThem)
{
    Grid g;
    g.resize(800, 300);
    g.SetColWidths(1, 300);
    g.SetRowHeights(1, 200);
    g.FocusCell(4, 2); // in view below the tall row
    // Eight words of 3 x 12 pixels with a blank of 12 after each: six go on
    // the first line of 296 pixels, and the justified paragraph's last line
    // stays at the left.
    g.SetCellText(1, 1,
                  QStringLiteral("{\\rtf1 left\\par\\qr right\\par\\qc mid\\par"
                                 "\\pard\\qj aaa bbb ccc ddd eee fff ggg hhh\\par\\pard back}"));
    const auto& c = g.PaintCell(1, 1);
    const TRect cell = g.CellRect(1, 1);
    const TCanvasCall* l = RunOf(c, QStringLiteral("left"));
    const TCanvasCall* r = RunOf(c, QStringLiteral("right"));
    const TCanvasCall* m = RunOf(c, QStringLiteral("mid"));
    const TCanvasCall* back = RunOf(c, QStringLiteral("back"));
    ASSERT_TRUE(l && r && m && back);
    // The text lies inside the cell's margins, as wide at the right as at
    // the left.
    const int margin = l->From.X - cell.Left;
    EXPECT_GE(margin, 2);
    EXPECT_LE(margin, 4);
    const int left = cell.Left + margin, right = cell.Right - margin;
    EXPECT_EQ(r->From.X + 5 * 12, right);
    EXPECT_EQ(m->From.X, left + (right - left - 3 * 12) / 2);
    EXPECT_EQ(back->From.X, left);
    // The first justified line runs from edge to edge, its words spread.
    const TCanvasCall* aaa = RunOf(c, QStringLiteral("aaa"));
    const TCanvasCall* bbb = RunOf(c, QStringLiteral("bbb"));
    const TCanvasCall* fff = RunOf(c, QStringLiteral("fff"));
    const TCanvasCall* ggg = RunOf(c, QStringLiteral("ggg"));
    const TCanvasCall* hhh = RunOf(c, QStringLiteral("hhh"));
    ASSERT_TRUE(aaa && bbb && fff && ggg && hhh);
    EXPECT_EQ(aaa->From.X, left);
    EXPECT_EQ(fff->From.X + 3 * 12, right);
    EXPECT_EQ(fff->From.Y, aaa->From.Y);
    EXPECT_GT(bbb->From.X, left + 4 * 12);
    EXPECT_GT(ggg->From.Y, aaa->From.Y);
    EXPECT_EQ(ggg->From.X, left);
    EXPECT_EQ(hhh->From.X, left + 4 * 12);
}

// ---------------------------------------------------------------------------
// Tree lines

TEST(CellLooksTree, LinesLieInsideTheNodeColumn)
{
    Grid g;
    g.SetColWidths(0, 40);
    // A node over rows 1 to 3 and a node at row 4 over the rest.
    g.AddGraphic(0, 1, ctNode)->CellIndex = 3;
    g.AddGraphic(0, 4, ctNode)->CellIndex = 0;
    g.RecountNodes();
    ASSERT_EQ(g.NodeCount(), 2);
    g.CellNode().SetShowTree(true);
    auto silver = [&](int row) {
        QVector<TCanvasCall> lines;
        for (const TCanvasCall& c : g.PaintCell(0, row).CallsOf(QStringLiteral("LineTo")))
            if (c.Pen.Color() == clSilver) lines.push_back(c);
        return lines;
    };
    // Row 2 is inside the node: a stub and a line down through the row.
    const TRect cell = g.CellRect(0, 2);
    const auto inside = silver(2);
    ASSERT_EQ(inside.size(), 2);
    for (const TCanvasCall& c : inside) {
        EXPECT_GE(c.From.X, cell.Left);
        EXPECT_GE(c.To.X, cell.Left);
        EXPECT_LT(c.From.X, cell.Right);
    }
    const int x = inside[1].From.X;
    EXPECT_EQ(inside[1].To.X, x);
    EXPECT_EQ(inside[0].From.X, x); // the stub leaves the line
    EXPECT_EQ(inside[0].From.Y, cell.Top + cell.Height() / 2 - 1);
    // Row 3 ends the node: the line stops at the stub.
    const auto last = silver(3);
    ASSERT_EQ(last.size(), 2);
    EXPECT_EQ(last[1].To.Y, last[0].From.Y);
    // The line runs through the middle of the node's box.
    const auto boxes = g.PaintCell(0, 1).CallsOf(QStringLiteral("Rectangle"));
    ASSERT_FALSE(boxes.isEmpty());
    const TRect box = boxes.back().Rect;
    EXPECT_EQ((box.Left + box.Right) / 2, x);
    EXPECT_EQ(silver(1).size(), 1); // a node row: the stub only

    g.CellNode().SetShowTree(false);
    EXPECT_TRUE(silver(2).isEmpty());
}

TEST(CellLooksTree, NodeColumnTextStartsRightOfTheBox)
{
    Grid g;
    g.SetColWidths(0, 80);
    g.SetCellText(0, 1, QStringLiteral("node"));
    const int plain = g.PaintCell(0, 1).CallsOf(QStringLiteral("TextRun")).front().From.X;
    g.AddGraphic(0, 1, ctNode);
    g.RecountNodes();
    const auto& c = g.PaintCell(0, 1);
    const int indented = c.CallsOf(QStringLiteral("TextRun")).front().From.X;
    EXPECT_EQ(indented, plain + 16);
    EXPECT_LT(c.CallsOf(QStringLiteral("Rectangle")).back().Rect.Right, indented);
}

// ---------------------------------------------------------------------------
// Pictures from files and push buttons

TEST(CellLooksGraphics, FilePicturesAreReadAtEveryPaint)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("house.bmp"));
    QImage image(10, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path, "BMP"));

    Grid g;
    g.SetColWidths(1, 100);
    g.SetRowHeights(1, 50);
    TCellGraphic* cell = g.AddGraphic(1, 1, ctFilePicture);
    auto* picture = new TFilePicture;
    picture->SetFilename(path);
    cell->Graphic = picture;
    cell->CellCreated = true;
    cell->CellAngle = 1; // stretched over the cell
    auto drawn = [&] { return g.PaintCell(1, 1).CallsOf(QStringLiteral("DrawImage")); };
    auto first = drawn();
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0].Rect2, TRect(0, 0, 10, 6));
    const TRect cellRect = g.CellRect(1, 1);
    EXPECT_TRUE(cellRect.Inflated(1, 1).Contains(first[0].Rect.TopLeft()));

    // Another picture under the same name shows at the next paint.
    QImage wider(30, 6, QImage::Format_RGB32);
    wider.fill(Qt::blue);
    ASSERT_TRUE(wider.save(path, "BMP"));
    auto second = drawn();
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(second[0].Rect2, TRect(0, 0, 30, 6));
    EXPECT_EQ(second[0].Rect, first[0].Rect);

    // Through the cell stream the cell keeps the picture the file holds.
    QByteArray bytes;
    {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        g.SaveCellsToStream(TRect(1, 1, 1, 1), out);
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    g.LoadCellsFromStream(2, 1, in);
    g.SetColWidths(2, 100);
    ASSERT_EQ(g.GetCellType(2, 1), ctFilePicture);
    const auto copied = g.PaintCell(2, 1).CallsOf(QStringLiteral("DrawImage"));
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(copied[0].Rect2, TRect(0, 0, 30, 6));
    EXPECT_EQ(copied[0].Rect.Width(), second[0].Rect.Width()); // stretched alike

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(drawn().isEmpty());
}

TEST(CellLooksGraphics, PushButtonsTakeTheVisualStyleWhenThemesAreOn)
{
    auto button = [](Grid& g) {
        TCellGraphic* b = g.AddGraphic(1, 1, ctButton);
        b->CellText = QStringLiteral("Go");
        b->CellIndex = (16 << 16) | 40;
        return b;
    };
    {
        ThemesAtConstruction themes(true);
        Grid g;
        TCellGraphic* b = button(g);
        auto parts = g.PaintCell(1, 1).CallsOf(QStringLiteral("ThemePart"));
        ASSERT_EQ(parts.size(), 1);
        EXPECT_EQ(parts[0].Text, QStringLiteral("button"));
        EXPECT_EQ(parts[0].Part, Win::BP_PUSHBUTTON);
        EXPECT_EQ(parts[0].State, Win::PBS_NORMAL);
        EXPECT_EQ(parts[0].Rect.Width(), 40);
        EXPECT_TRUE(g.canvas.CallsOf(QStringLiteral("DrawFrameControl")).isEmpty());
        b->CellBoolean = true; // pressed
        parts = g.PaintCell(1, 1).CallsOf(QStringLiteral("ThemePart"));
        ASSERT_EQ(parts.size(), 1);
        EXPECT_EQ(parts[0].State, Win::PBS_PRESSED);
        // Themes switched off since: the classic button.
        SetThemesActive(false);
        EXPECT_TRUE(g.PaintCell(1, 1).CallsOf(QStringLiteral("ThemePart")).isEmpty());
        EXPECT_EQ(g.canvas.CallsOf(QStringLiteral("DrawFrameControl")).size(), 1);
    }
    ThemesAtConstruction themes(false);
    Grid g;
    button(g);
    EXPECT_TRUE(g.PaintCell(1, 1).CallsOf(QStringLiteral("ThemePart")).isEmpty());
    const auto frames = g.canvas.CallsOf(QStringLiteral("DrawFrameControl"));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE((frames[0].Flags >> 16) & Win::DFCS_BUTTONPUSH);
}

TEST(CellLooksGraphics, ThemeCheckBoxesAndRadiosDrawOnAThemedDesktop)
{
    auto paint = [](bool themed) {
        ThemesAtConstruction themes(themed);
        Grid g;
        g.SetDefaultRowHeight(60);
        g.ControlLook().SetControlStyle(csTheme);
        g.AddGraphic(1, 1, ctCheckBox)->CellBoolean = true;
        TCellGraphic* radio = g.AddGraphic(2, 1, ctRadio);
        radio->Options = QStringList{QStringLiteral("a"), QStringLiteral("b")};
        radio->CellIndex = 1;
        QVector<TCanvasCall> parts = g.PaintCell(1, 1).CallsOf(QStringLiteral("ThemePart"));
        parts += g.PaintCell(2, 1).CallsOf(QStringLiteral("ThemePart"));
        return parts;
    };
    const auto parts = paint(true);
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].Part, Win::BP_CHECKBOX);
    EXPECT_EQ(parts[0].State, Win::CBS_CHECKEDNORMAL);
    EXPECT_EQ(parts[1].Part, Win::BP_RADIOBUTTON);
    EXPECT_EQ(parts[1].State, Win::RBS_UNCHECKEDNORMAL);
    EXPECT_EQ(parts[2].State, Win::RBS_CHECKEDNORMAL);
    EXPECT_TRUE(paint(false).isEmpty()); // no themes: no check box at all
}

TEST(CellLooksGraphics, TheGridKeepsAHiddenDisabledPopupButton)
{
    Grid g;
    g.show();
    auto* popup = g.findChild<QWidget*>(QStringLiteral("PopupButton"));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->parentWidget(), &g);
    EXPECT_FALSE(popup->isEnabled());
    EXPECT_FALSE(popup->isVisible());
}

// ---------------------------------------------------------------------------
// Turned text

namespace {

// The start of the turned text of cell (1, 1) and the cell's rectangle as
// the graphic painter has it (the text's clip grown back by 2).
std::pair<TPoint, TRect> TurnedText(Grid& g, int angle)
{
    g.GetCellGraphic(1, 1)->CellAngle = angle;
    const auto runs = g.PaintCell(1, 1).CallsOf(QStringLiteral("TextRun"));
    if (runs.size() != 1) return {};
    EXPECT_EQ(runs[0].Font.Orientation(), angle * 10);
    return {runs[0].From, runs[0].Rect2.Inflated(2, 2)};
}

} // namespace

TEST(CellLooksRotated, TheStartFollowsTheQuadrantAndTheAlignments)
{
    Grid g;
    g.SetColWidths(1, 120);
    g.SetRowHeights(1, 120);
    g.AddGraphic(1, 1, ctRotated);
    g.SetCellText(1, 1, QStringLiteral("abc")); // with the "w": 32 x 16 pixels
    TAlignment h = taLeftJustify;
    g.OnGetAlignment = [&](QObject*, int, int, TAlignment& ha, TVAlignment&) { ha = h; };
    const int w = 32, ht = 16, m = 2;

    // Upright, top left: the start is the box's top left.
    auto [p, r] = TurnedText(g, 0);
    EXPECT_EQ(p, TPoint(r.Left + m, r.Top + m));
    // Rising (90): the text runs up from the bottom of its box.
    std::tie(p, r) = TurnedText(g, 90);
    EXPECT_EQ(p, TPoint(r.Left + m, r.Top + m + w));
    // Upside down (180): the start is the box's bottom right.
    std::tie(p, r) = TurnedText(g, 180);
    EXPECT_EQ(p, TPoint(r.Left + m + w, r.Top + m + ht));
    // Falling (270): the text runs down from the top right of its box.
    std::tie(p, r) = TurnedText(g, 270);
    EXPECT_EQ(p, TPoint(r.Left + m + ht, r.Top + m));
    // A negative angle is the same turn.
    std::tie(p, r) = TurnedText(g, -90);
    EXPECT_EQ(p, TPoint(r.Left + m + ht, r.Top + m));

    // Right-aligned and at the bottom: the box moves to that corner.
    h = taRightJustify;
    g.SetVAlignment(vtaBottom);
    std::tie(p, r) = TurnedText(g, 90);
    EXPECT_EQ(p, TPoint(r.Right - m - ht, r.Bottom - m));
    std::tie(p, r) = TurnedText(g, 0);
    EXPECT_EQ(p, TPoint(r.Right - m - w, r.Bottom - m - ht));
    // Centred both ways.
    h = taCenter;
    g.SetVAlignment(vtaCenter);
    std::tie(p, r) = TurnedText(g, 90);
    EXPECT_EQ(p, TPoint(r.Left + (r.Width() - ht) / 2, r.Top + (r.Height() - w) / 2 + w));
}
