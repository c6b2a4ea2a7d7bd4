// Copying and pasting cells as text, rich text and the cell stream, hostile
// streams, cutting and the smart fill.
#include "grid/TExtStringGrid.h"
#include "grid/TGridUnit.h"
#include "grid/cells/TCellProperties.h"
#include "grid/io/GridMimeTypes.h"
#include "grid/io/TObjectWriter.h"
#include "controls/HTMLPicture.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/PictureBombs.h"
#include "tests/grid/edit/TypeIntoFocus.h"

#include <QApplication>
#include <QBuffer>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Grid : public TExtStringGrid {
public:
    explicit Grid(int cols = 5, int rows = 6) : TExtStringGrid(nullptr, QStringLiteral("Grid"))
    {
        SetColCount(cols);
        SetRowCount(rows);
        SetOptions(Options() + TGridOption::goEditing);
        Navigation().AllowFmtClipboard = true;
    }
    void Select(int left, int top, int right, int bottom)
    {
        SetOptions(Options() + TGridOption::goRangeSelect);
        SetSelection(TGridRect{left, top, right, bottom});
    }
    std::unique_ptr<QMimeData> Copy(int left, int top, int right, int bottom)
    {
        return std::unique_ptr<QMimeData>(RectAsMimeData(TRect(left, top, right, bottom), false));
    }
};

class ClipboardTest : public ::testing::Test {
protected:
    ScopedRegionalSettings settings{TFormatSettings{}};
};

QMimeData* Stream(const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(TGridUnit::CellsFormat(), bytes);
    return data;
}

TEST_F(ClipboardTest, TextOfBlocks)
{
    Grid g;
    g.SetCells(1, 1, QStringLiteral("a"));
    g.SetCells(2, 1, QStringLiteral("<b>b</b>"));
    g.SetCells(1, 2, QStringLiteral("c"));
    g.CreateCellGraphic(2, 2)->CellType = ctCheckBox;
    g.SetCheckBoxState(2, 2, true);
    EXPECT_EQ(g.RectAsText(TRect(1, 1, 2, 2), false), QStringLiteral("a\t<b>b</b>\r\nc\tY\r\n"));
    g.Navigation().CopyHTMLTagsToClipboard = false;
    EXPECT_EQ(g.RectAsText(TRect(1, 1, 2, 1), false), QStringLiteral("a\tb"));
    g.MouseActions().DisjunctRowSelect = true;
    g.SetRowSelect(2, true);
    EXPECT_EQ(g.RectAsText(TRect(1, 1, 2, 3), true), QStringLiteral("c\tY\r\n"));
}

TEST_F(ClipboardTest, PastedTextBreaksLinesEverywhereAndGrowsWhereAllowed)
{
    Grid g(4, 3);
    EXPECT_EQ(g.PasteText(2, 1, QStringLiteral("x\ty\tz")), 3);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.Cells(4, 1), QStringLiteral("z"));
    g.Navigation().AllowClipboardColGrow = false;
    g.Navigation().AllowClipboardRowGrow = false;
    EXPECT_EQ(g.PasteText(3, 1, QStringLiteral("p\tq\tr")), 3);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.Cells(4, 1), QStringLiteral("q"));

    // CR LF, lone CR and lone LF; the empty tail counts but is not pasted.
    Grid h(3, 2);
    EXPECT_EQ(h.PasteText(1, 1, QStringLiteral("1\r\n2\r3\n4\r\n")), 5);
    EXPECT_EQ(h.RowCount(), 5);
    EXPECT_EQ(h.Cells(1, 4), QStringLiteral("4"));

    // Fixed and refused cells stay; a changed value goes in; nothing without
    // editing.
    h.OnClipboardBeforePasteCell = [](QObject*, int, int row, QString& value, bool& allow) {
        allow = row != 1;
        value += QStringLiteral("!");
    };
    h.PasteText(0, 0, QStringLiteral("a\tb\r\nc\td"));
    EXPECT_EQ(h.Cells(1, 0), QString());
    EXPECT_EQ(h.Cells(1, 1), QStringLiteral("1"));
    h.PasteText(1, 2, QStringLiteral("e"));
    EXPECT_EQ(h.Cells(1, 2), QStringLiteral("e!"));
    h.SetOptions(h.Options() - TGridOption::goEditing);
    EXPECT_EQ(h.PasteText(1, 1, QStringLiteral("z")), 0);
}

TEST_F(ClipboardTest, PastedMimeTextReadsAsciiAndUtf8Alike)
{
    for (const QString& second : {QStringLiteral("b"), QStringLiteral("\u20ac")}) {
        Grid g(3, 2);
        QMimeData data;
        data.setData(GridMimeTypes::Text, (QStringLiteral("a\t") + second + QStringLiteral("\r\n\tc\nd\r")).toUtf8());
        EXPECT_EQ(g.PasteMimeData(1, 1, data), 6);
        EXPECT_EQ(g.RowCount(), 4);
        EXPECT_EQ(g.Cells(1, 1), QStringLiteral("a"));
        EXPECT_EQ(g.Cells(2, 1), second);
        EXPECT_EQ(g.Cells(1, 2), QString());
        EXPECT_EQ(g.Cells(2, 2), QStringLiteral("c"));
        EXPECT_EQ(g.Cells(1, 3), QStringLiteral("d"));
    }
}

TEST_F(ClipboardTest, CellStreamRoundTrip)
{
    Grid g(5, 40003);
    const int far = 40001; // beyond 16-bit coordinates
    g.SetCells(1, far, QStringLiteral("text"));
    TCellProperties* p = g.GetCellProperties(2, far);
    p->BrushColor = clRed;
    p->FontStyle = {TFontStyle::fsBold, TFontStyle::fsItalic};
    p->Alignment = taCenter;
    TCellGraphic marker;
    p->CellObject = &marker;
    TCellGraphic* radio = g.CreateCellGraphic(3, far);
    radio->CellType = ctRadio;
    radio->Options = QStringList{"one", "two"};
    radio->CellValue = 2.5;
    g.MergeCells(1, far + 1, 2, 1);
    g.SetCells(1, far + 1, QStringLiteral("merged"));
    g.MergeCells(3, far + 1, 2, 1); // reaches past the block: not kept
    auto data = g.Copy(1, far, 3, far + 1);

    Grid t(6, 40003);
    EXPECT_EQ(t.PasteMimeData(2, far, *data), 6);
    EXPECT_EQ(t.Cells(2, far), QStringLiteral("text"));
    const TCellProperties* q = t.CellPropertiesOf(3, far);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->BrushColor, clRed);
    EXPECT_EQ(q->FontStyle, TFontStyles({TFontStyle::fsBold, TFontStyle::fsItalic}));
    EXPECT_EQ(q->Alignment, taCenter);
    EXPECT_EQ(q->CellObject, nullptr);
    EXPECT_EQ(q->OwnerCol, 3);
    EXPECT_EQ(q->OwnerRow, far);
    const TCellGraphic* r = t.GetCellGraphic(4, far);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Options, QStringList({"one", "two"}));
    EXPECT_DOUBLE_EQ(r->CellValue, 2.5);
    EXPECT_EQ(t.GetCellSpan(2, far + 1), TPoint(1, 0));
    EXPECT_FALSE(t.IsMergedCell(4, far + 1));
}

TEST_F(ClipboardTest, CellStreamCarriesEveryPropertyAndGraphicField)
{
    Grid g;
    TCellProperties* p = g.GetCellProperties(1, 1);
    p->Alignment = taRightJustify;
    p->BorderColor = clBlue;
    p->BorderWidth = 3;
    p->BrushColor = clYellow;
    p->BrushStyle = TBrushStyle::bsClear;
    p->FontColor = clGreen;
    p->FontName = QStringLiteral("Arial");
    p->FontSize = 14;
    p->FontStyle = {TFontStyle::fsUnderline, TFontStyle::fsStrikeOut};
    p->Editor = edUniComboList;
    p->ReadOnly = true;
    p->VAlignment = vtaBottom;
    p->WordWrap = true;
    p->NodeLevel = 4;
    TCellGraphic* images = g.CreateCellGraphic(1, 1);
    images->CellType = ctImages;
    images->Images = {3, 1, 4};
    images->CellVAlign = vaCenter;
    images->CellHAlign = haAfterText;
    images->CellIndex = 7;
    images->CellTransparent = true;
    images->CellBoolean = true;
    images->CellAngle = 90;
    images->CellValue = -1.25;
    images->CellErrFrom = 2;
    images->CellErrLen = 5;
    images->CellText = QStringLiteral("caption");
    TCellGraphic* check = g.CreateCellGraphic(2, 1);
    check->CellType = ctCheckBox;
    check->CellBoolean = true;

    Grid t;
    EXPECT_EQ(t.PasteMimeData(2, 2, *g.Copy(1, 1, 2, 1)), 2);
    const TCellProperties* q = t.CellPropertiesOf(2, 2);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->Alignment, taRightJustify);
    EXPECT_EQ(q->BorderColor, clBlue);
    EXPECT_EQ(q->BorderWidth, 3);
    EXPECT_EQ(q->BrushColor, clYellow);
    EXPECT_EQ(q->BrushStyle, TBrushStyle::bsClear);
    EXPECT_EQ(q->FontColor, clGreen);
    EXPECT_EQ(q->FontName, QStringLiteral("Arial"));
    EXPECT_EQ(q->FontSize, 14);
    EXPECT_EQ(q->FontStyle, TFontStyles({TFontStyle::fsUnderline, TFontStyle::fsStrikeOut}));
    EXPECT_EQ(q->Editor, edUniComboList);
    EXPECT_TRUE(q->ReadOnly);
    EXPECT_EQ(q->VAlignment, vtaBottom);
    EXPECT_TRUE(q->WordWrap);
    EXPECT_EQ(q->NodeLevel, 4);
    const TCellGraphic* r = t.GetCellGraphic(2, 2);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->CellType, ctImages);
    EXPECT_EQ(r->Images, std::vector<int>({3, 1, 4}));
    EXPECT_EQ(r->CellVAlign, vaCenter);
    EXPECT_EQ(r->CellHAlign, haAfterText);
    EXPECT_EQ(r->CellIndex, 7);
    EXPECT_TRUE(r->CellTransparent);
    EXPECT_TRUE(r->CellBoolean);
    EXPECT_EQ(r->CellAngle, 90);
    EXPECT_DOUBLE_EQ(r->CellValue, -1.25);
    EXPECT_EQ(r->CellErrFrom, 2);
    EXPECT_EQ(r->CellErrLen, 5);
    EXPECT_EQ(r->CellText, QStringLiteral("caption"));
    EXPECT_TRUE(r->CellCreated);
    // A check box is carried by its graphic record alone.
    const TCellGraphic* c = t.GetCellGraphic(3, 2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->CellType, ctCheckBox);
    EXPECT_TRUE(c->CellBoolean);
}

TEST_F(ClipboardTest, BlocksLandAtTheirOwnTopLeftAndWholeGridsKeepSizes)
{
    Grid g;
    g.SetCells(3, 3, QStringLiteral("x")); // the block's top-left (1, 1) is empty
    Grid t;
    t.PasteMimeData(1, 1, *g.Copy(1, 1, 3, 3));
    EXPECT_EQ(t.Cells(3, 3), QStringLiteral("x"));

    g.SetColWidths(2, 99);
    g.SetRowHeights(4, 33);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    g.SaveCellsToStream(TRect(0, 0, g.ColCount() - 1, g.RowCount() - 1), out);
    Grid w(2, 2);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    w.LoadCellsFromStream(0, 0, in);
    EXPECT_EQ(w.ColCount(), 5);
    EXPECT_EQ(w.ColWidths(2), 99);
    EXPECT_EQ(w.RowHeights(4), 33);
    EXPECT_EQ(w.Cells(3, 3), QStringLiteral("x"));
}

// A picture file's bytes: a small bitmap.
QByteArray PictureBytes(int width, int height, TColor color)
{
    TBitmap bitmap(width, height);
    bitmap.Canvas().Brush().SetColor(color);
    bitmap.Canvas().FillRect(TRect(0, 0, width, height));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bitmap.SaveToStream(buffer);
    return bytes;
}

TEST_F(ClipboardTest, GridOwnedIconsAndPicturesCopyWithTheirCells)
{
    Grid g;
    const auto picture = [&](int col, TCellType type, int width, bool owned) {
        auto* p = new THTMLPicture;
        QByteArray bytes = PictureBytes(width, 7, clRed);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        p->LoadFromStream(buffer);
        TCellGraphic* graphic = g.CreateCellGraphic(col, 1);
        graphic->CellType = type;
        (type == ctIcon ? graphic->Icon : graphic->Graphic) = p;
        graphic->CellCreated = owned;
        return p;
    };
    picture(1, ctIcon, 11, true);
    picture(2, ctPicture, 12, true);
    picture(3, ctFilePicture, 13, true);
    std::unique_ptr<THTMLPicture> appOwned(picture(4, ctPicture, 14, false));
    g.Select(1, 1, 4, 1);
    g.CopySelectionToClipboard();

    Grid t;
    t.Select(1, 2, 1, 2);
    t.PasteSelectionFromClipboard();
    const TCellGraphic* icon = t.GetCellGraphic(1, 2);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->CellType, ctIcon);
    ASSERT_NE(icon->Icon, nullptr);
    EXPECT_EQ(icon->Icon->Width(), 11);
    for (int col = 2; col <= 3; ++col) {
        const TCellGraphic* pic = t.GetCellGraphic(col, 2);
        ASSERT_NE(pic, nullptr);
        EXPECT_EQ(pic->CellType, col == 2 ? ctPicture : ctFilePicture);
        ASSERT_NE(pic->Graphic, nullptr);
        EXPECT_EQ(pic->Graphic->Width(), 10 + col);
        EXPECT_EQ(pic->Graphic->Height(), 7);
    }
    // The application's picture is not the grid's: its cell has no graphic.
    EXPECT_EQ(t.GetCellGraphic(4, 2), nullptr);
    EXPECT_TRUE(t.HasCellProperties(4, 2));

    // A picture record whose bytes are no picture refuses the whole paste;
    // so does one holding an icon whose PNG declares 2 GiB, without the
    // memory it declares.
    const auto pasteOfPicture = [&](const QByteArray& pictureBytes) {
        TObjectWriter w;
        w.BeginRecord("TGridPropIO");
        w.Integer("ColCount", 2);
        w.Integer("RowCount", 1);
        w.Integer("OriginCol", 0);
        w.Integer("OriginRow", 0);
        w.EndRecord();
        w.BeginRecord("TGridCellIO");
        w.Integer("Col", 0);
        w.Integer("Row", 0);
        w.String("Cell", QStringLiteral("x"));
        w.Boolean("HasProp", true);
        w.EndRecord();
        w.BeginRecord("TGridCellPropIO");
        w.Boolean("HasGraphic", true);
        w.EndRecord();
        w.BeginRecord("TGridGraphicIO");
        w.Ident("CellGraphic.CellType", "ctPicture");
        w.EndRecord();
        w.BeginRecord("TGridPicIO");
        w.Binary("Picture.Data", pictureBytes);
        w.EndRecord();
        Grid u;
        u.SetCells(1, 1, QStringLiteral("keep"));
        std::unique_ptr<QMimeData> data(Stream(w.Bytes()));
        int pasted = -1;
        const qint64 growth = peakmemory::PeakGrowth([&] { pasted = u.PasteMimeData(1, 1, *data); });
        EXPECT_EQ(pasted, 0);
        EXPECT_EQ(u.Cells(1, 1), QStringLiteral("keep"));
        EXPECT_FALSE(u.HasCellProperties(1, 1));
        EXPECT_LT(growth, qint64(64) << 20);
    };
    pasteOfPicture(QByteArray("not a picture"));
    pasteOfPicture(picturebombs::IconHolding(picturebombs::PngDeclaringText(0x7FFFFFFF)));
}

TEST_F(ClipboardTest, ClearingTellsOfTheCellsAndForgetsTypedText)
{
    Grid g(4, 6);
    g.SetCells(1, 1, QStringLiteral("7"));
    g.SetCells(1, 2, QStringLiteral("5"));
    g.SetFloatingFooterVisible(true);
    g.GetCellProperties(1, 5)->FooterCalc = 1;
    g.CalcFooter(-1);
    EXPECT_EQ(g.Cells(1, 5).toDouble(), 12);
    QList<TRect> changed;
    g.OnCellsChanged = [&](QObject*, TRect cells) { changed << cells; };
    // A cut of disjunctly selected rows recalculates the footer.
    g.MouseActions().DisjunctRowSelect = true;
    g.SetRowSelect(2, true);
    g.CutSelectionToClipboard();
    EXPECT_EQ(g.Cells(1, 2), QString());
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_EQ(g.Cells(1, 5).toDouble(), 7);
    changed.clear();
    g.ClearRect(1, 1, 1, 1);
    EXPECT_EQ(changed, QList<TRect>({TRect(1, 1, 1, 1)}));
    EXPECT_EQ(g.Cells(1, 5).toDouble(), 0);

    // Clear forgets what was typed for the incremental row search.
    Grid k(3, 5);
    k.SetOptions(k.Options() - TGridOption::goEditing);
    k.Navigation().AutoGotoWhenSorted = true;
    k.Navigation().AutoGotoIncremental = true;
    const auto fill = [&] {
        k.SetCells(1, 1, QStringLiteral("ab"));
        k.SetCells(1, 2, QStringLiteral("b"));
    };
    fill();
    QTest::keyClick(&k, Qt::Key_A);
    EXPECT_EQ(k.Row(), 1);
    k.Clear();
    fill();
    QTest::keyClick(&k, Qt::Key_B);
    EXPECT_EQ(k.Row(), 2);
}

TEST_F(ClipboardTest, HostileStreamsChangeNothing)
{
    Grid g;
    g.SetCells(1, 1, QStringLiteral("keep"));
    const auto head = [](qint64 cols, qint64 rows) {
        TObjectWriter w;
        w.BeginRecord("TGridPropIO");
        w.Integer("ColCount", cols);
        w.Integer("RowCount", rows);
        w.Integer("OriginCol", 0);
        w.Integer("OriginRow", 0);
        w.EndRecord();
        return w;
    };
    const auto cell = [](TObjectWriter& w, int col, int row) {
        w.BeginRecord("TGridCellIO");
        w.Integer("Col", col);
        w.Integer("Row", row);
        w.String("Cell", QStringLiteral("bad"));
        w.Boolean("HasProp", false);
        w.EndRecord();
    };
    std::vector<QByteArray> streams;
    TObjectWriter huge = head(1LL << 40, 1);
    streams.push_back(huge.Bytes());
    TObjectWriter outside = head(1, 1);
    cell(outside, 1, 1);
    cell(outside, 5, 1); // outside the block it claims
    streams.push_back(outside.Bytes());
    TObjectWriter tooMany = head(1, 1);
    cell(tooMany, 0, 0);
    cell(tooMany, 0, 0);
    streams.push_back(tooMany.Bytes());
    TObjectWriter fine = head(2, 2);
    cell(fine, 1, 1);
    QByteArray truncated = fine.Bytes();
    truncated.chop(3);
    streams.push_back(truncated);
    QByteArray lying = fine.Bytes();
    lying.append("TPF0\x0bTGridCellIO\x00\x04"
                 "Cell\x0c\xff\xff\xff\x7f",
                 24); // 2 GB string
    streams.push_back(lying);
    TObjectWriter prop = head(2, 2);
    cell(prop, 1, 1);
    QByteArray withProp = prop.Bytes();
    withProp.replace("HasProp\x08", "HasProp\x09"); // a property record that never comes
    streams.push_back(withProp);
    streams.push_back(QByteArray("garbage"));
    for (const QByteArray& bytes : streams) {
        std::unique_ptr<QMimeData> data(Stream(bytes));
        EXPECT_EQ(g.PasteMimeData(1, 1, *data), 0);
        EXPECT_EQ(g.Cells(1, 1), QStringLiteral("keep"));
        EXPECT_EQ(g.ColCount(), 5);
    }
}

TEST_F(ClipboardTest, StreamPasteKeepsToEditableCells)
{
    Grid g;
    g.SetCells(0, 1, QStringLiteral("a"));
    g.SetCells(1, 1, QStringLiteral("b"));
    g.SetCells(2, 1, QStringLiteral("c"));
    auto data = g.Copy(0, 1, 2, 1);
    Grid t;
    t.OnCanEditCell = [](QObject*, int, int col, bool& can) { can = col != 2; };
    t.PasteMimeData(0, 2, *data);
    EXPECT_EQ(t.Cells(0, 2), QString()); // fixed column
    EXPECT_EQ(t.Cells(1, 2), QStringLiteral("b"));
    EXPECT_EQ(t.Cells(2, 2), QString()); // not editable
    t.Navigation().AllowClipboardAlways = true;
    t.PasteMimeData(0, 2, *data);
    EXPECT_EQ(t.Cells(2, 2), QStringLiteral("c"));
}

TEST_F(ClipboardTest, CutClearsAndFreesOnlyEditableCells)
{
    Grid g;
    g.SetCells(1, 1, QStringLiteral("a"));
    g.SetCells(2, 1, QStringLiteral("b"));
    g.GetCellProperties(1, 1)->BrushColor = clRed;
    g.GetCellProperties(2, 1)->BrushColor = clBlue;
    g.OnCanEditCell = [](QObject*, int, int col, bool& can) { can = col != 2; };
    g.Select(1, 1, 2, 1);
    g.CutSelectionToClipboard();
    EXPECT_EQ(g.Cells(1, 1), QString());
    EXPECT_FALSE(g.HasCellProperties(1, 1));
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("b"));
    ASSERT_TRUE(g.HasCellProperties(2, 1));
    Grid t;
    t.Select(1, 1, 1, 1);
    t.PasteSelectionFromClipboard();
    EXPECT_EQ(t.Cells(2, 1), QStringLiteral("b"));
    EXPECT_EQ(t.CellPropertiesOf(1, 1)->BrushColor, clRed);
}

TEST_F(ClipboardTest, SmartFillSeries)
{
    Grid g(3, 8);
    g.Navigation().AllowSmartClipboard = true;
    g.Navigation().AllowFmtClipboard = false;
    const auto fill = [&](const QString& text) {
        g.ClearRect(1, 1, 1, 7);
        auto* data = new QMimeData;
        data->setText(text);
        TClipboard::SetMimeData(data);
        g.Select(1, 1, 1, 5);
        g.PasteSelectionFromClipboard();
        QStringList col;
        for (int r = 1; r <= 5; ++r) col << g.Cells(1, r);
        return col;
    };
    EXPECT_EQ(fill(QStringLiteral("1\r\n3")), QStringList({"1", "3", "5", "7", "9"}));
    EXPECT_EQ(fill(QStringLiteral("1.5\r\n2")), QStringList({"1.50", "2.00", "2.50", "3.00", "3.50"}));
    EXPECT_EQ(fill(QStringLiteral("1/31/2001\r\n3/31/2001")),
              QStringList({"1/31/2001", "3/31/2001", "5/31/2001", "7/31/2001", "9/30/2001"}));
    EXPECT_EQ(fill(QStringLiteral("1/1/2001\r\n1/8/2001")),
              QStringList({"1/1/2001", "1/8/2001", "1/15/2001", "1/22/2001", "1/29/2001"}));
    // Texts that merely hold a separator repeat.
    EXPECT_EQ(fill(QStringLiteral("a/b\r\nc/d")), QStringList({"a/b", "c/d", "a/b", "c/d", "a/b"}));
    EXPECT_EQ(fill(QStringLiteral("x")), QStringList({"x", "x", "x", "x", "x"}));
}

TEST_F(ClipboardTest, TextOfSelectedColumnsRichTextAndClearBoxes)
{
    Grid g;
    g.SetCells(1, 1, QStringLiteral("{\\rtf1 rich}"));
    g.CreateCellGraphic(2, 1)->CellType = ctCheckBox;
    g.SetCheckBoxState(2, 1, false);
    g.SetCells(3, 1, QStringLiteral("c"));
    g.SetCells(1, 2, QStringLiteral("\u00e9"));
    EXPECT_EQ(g.RectAsText(TRect(1, 1, 3, 1), false), QStringLiteral("rich\tN\tc"));
    // Only the selected columns, and as UTF-8 on the clipboard.
    g.MouseActions().DisjunctColSelect = true;
    g.SetColSelect(1, true);
    g.SetColSelect(3, true);
    EXPECT_EQ(g.RectAsText(TRect(1, 1, 3, 2), true), QStringLiteral("rich\tc\r\n\u00e9\t\r\n"));
    std::unique_ptr<QMimeData> data(g.RectAsMimeData(TRect(1, 1, 3, 3), false));
    EXPECT_EQ(QString::fromUtf8(data->data(GridMimeTypes::Text)),
              QStringLiteral("rich\tN\tc\r\n\u00e9\t\t\r\n\t\t\r\n"));
}

TEST_F(ClipboardTest, PastesSkipHiddenColumnsAndPutMergedAreasBack)
{
    Grid g(5, 4);
    g.HideColumn(2);
    EXPECT_EQ(g.PasteText(1, 1, QStringLiteral("a\tb")), 2);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("a"));
    EXPECT_EQ(g.Cells(2, 1), QString());
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("b"));

    // A paste stopped half-way gives a merged area its text back.
    Grid m(5, 4);
    m.MergeCells(1, 1, 2, 1);
    m.SetCells(1, 1, QStringLiteral("merged"));
    m.OnClipboardBeforePasteCell = [](QObject*, int, int, QString& value, bool&) {
        if (value == QStringLiteral("z")) throw Exception(QStringLiteral("stop"));
    };
    EXPECT_THROW(m.PasteText(2, 1, QStringLiteral("x\r\ny\r\nz")), Exception);
    EXPECT_EQ(m.Cells(1, 1), QStringLiteral("merged"));
    EXPECT_EQ(m.Cells(2, 2), QString());
}

TEST_F(ClipboardTest, SmartFillAlongRowsAndOverCellsNotEditable)
{
    Grid g(7, 4);
    g.Navigation().AllowSmartClipboard = true;
    g.Navigation().AllowFmtClipboard = false;
    const auto fill = [&](const QString& text, int right, int bottom) {
        g.ClearRect(1, 1, 6, 3);
        auto* data = new QMimeData;
        data->setText(text);
        TClipboard::SetMimeData(data);
        g.Select(1, 1, right, bottom);
        g.PasteSelectionFromClipboard();
        QStringList row;
        for (int c = 1; c <= 6; ++c) row << g.Cells(c, 1);
        return row.join(u',');
    };
    EXPECT_EQ(fill(QStringLiteral("1\t3"), 5, 1), QStringLiteral("1,3,5,7,9,"));
    EXPECT_EQ(fill(QStringLiteral("a\tb"), 5, 1), QStringLiteral("a,b,a,b,a,"));
    EXPECT_EQ(fill(QStringLiteral("10:00:00 AM\t10:30:00 AM"), 4, 1),
              QStringLiteral("10:00:00 AM,10:30:00 AM,11:00:00 AM,11:30:00 AM,,"));
    EXPECT_EQ(fill(QStringLiteral("1/1/2001 10:00\t1/2/2001 10:00"), 4, 1),
              QStringLiteral("1/1/2001,1/2/2001,1/3/2001,1/4/2001,,"));
    // A block of two rows: no series, the paste alone.
    EXPECT_EQ(fill(QStringLiteral("1\t3"), 5, 2), QStringLiteral("1,3,,,,"));
    EXPECT_EQ(g.Cells(1, 2), QString());
    // Cells not editable keep their text, unless the clipboard may always write.
    g.OnCanEditCell = [](QObject*, int, int col, bool& can) { can = col != 4; };
    EXPECT_EQ(fill(QStringLiteral("1\t3"), 5, 1), QStringLiteral("1,3,5,,9,"));
    EXPECT_EQ(fill(QStringLiteral("x"), 5, 1), QStringLiteral("x,x,x,,x,"));
    g.Navigation().AllowClipboardAlways = true;
    EXPECT_EQ(fill(QStringLiteral("1\t3"), 5, 1), QStringLiteral("1,3,5,7,9,"));
}

} // namespace

TEST_F(ClipboardTest, TextPastesKeepOutOfFooterRowsAndRightColumns)
{
    Grid g(5, 6);
    g.SetFixedFooters(1);
    g.SetFixedRightCols(1);
    g.Navigation().AllowClipboardAlways = true;
    g.SetCells(4, 4, QStringLiteral("right"));
    g.SetCells(3, 5, QStringLiteral("footer"));
    auto* data = new QMimeData;
    data->setText(QStringLiteral("a\tb\r\nc\td"));
    TClipboard::SetMimeData(data);
    // The last data cell: the block is cut at the data area.
    g.Select(3, 4, 3, 4);
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(g.Cells(3, 4), QStringLiteral("a"));
    EXPECT_EQ(g.Cells(4, 4), QStringLiteral("right"));
    EXPECT_EQ(g.Cells(3, 5), QStringLiteral("footer"));
    EXPECT_EQ(g.Cells(4, 5), QString());
}

TEST_F(ClipboardTest, AnEditOpenAtAPasteIsStoredInItsOwnCellFirst)
{
    Grid g(4, 6);
    ShowFocused(g, 400, 200);
    const auto click = [&](int col, int row) { ClickCell(g, col, row); };
    const auto type = [](Qt::Key first, const QString& rest) {
        TypeIntoFocus(first);
        TypeIntoFocus(rest);
    };
    auto* data = new QMimeData;
    data->setText(QStringLiteral("pasted"));
    TClipboard::SetMimeData(data);
    // Text typed into (1, 1), not yet stored; the program selects another
    // cell and pastes there.
    click(1, 1);
    type(Qt::Key_M, QStringLiteral("ine"));
    ASSERT_TRUE(g.EditorMode());
    g.Select(2, 3, 2, 3);
    EXPECT_FALSE(g.EditorMode());
    g.PasteSelectionFromClipboard();
    // Text typed into the cell pasted into: the paste wins.
    click(3, 4);
    type(Qt::Key_T, QStringLiteral("yped"));
    ASSERT_TRUE(g.EditorMode());
    g.PasteSelectionFromClipboard();
    EXPECT_FALSE(g.EditorMode());
    click(1, 5);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("mine"));
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("pasted"));
    EXPECT_EQ(g.Cells(3, 4), QStringLiteral("pasted"));
    EXPECT_EQ(g.Selection(), TGridRect(1, 5, 1, 5));
}

namespace {

TEST_F(ClipboardTest, AsciiTextSplitsWhereverItsBreaksFall)
{
    // Fields of every length from 0 to 19 put the breaks at every place of
    // an eight-byte word; other control characters stay in their fields.
    QByteArray text;
    QStringList expected;
    for (int n = 0; n < 20; ++n) {
        QByteArray field(n, char('a' + n));
        if (n == 9) field[4] = '\x0b';
        text += field + (n % 5 == 4 ? (n % 10 == 4 ? "\r\n" : "\n") : "\t");
        expected << QString::fromLatin1(field);
    }
    Grid g(6, 5);
    QMimeData data;
    data.setData(GridMimeTypes::Text, text);
    EXPECT_EQ(g.PasteMimeData(1, 1, data), 21);
    QStringList got;
    for (int r = 1; r < 5; ++r)
        for (int c = 1; c < 6; ++c) got << g.Cells(c, r);
    EXPECT_EQ(got, expected);
}

} // namespace
