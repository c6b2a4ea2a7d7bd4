// Paints sample string grids (merged cells, bands, borders, HTML cells with
// pictures, check boxes and radio buttons in every style, nodes, progress
// cells, sort and filter glyphs, a hidden column and filtered rows, a fixed
// footer row and right column with the hint of a dragged scroll bar thumb,
// a multi-line cell being edited, rich-text cells, cells picked one by one,
// tree lines) with the grid's real paint code into one picture (default
// griddemo.png).

#include "grid/TExtStringGrid.h"
#include "grid/THTMLHintWindow.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/cells/TCellProperties.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cstdio>

namespace {

// Header cells of column 2 carry the filter drop-down glyph.
class DemoGrid : public TExtStringGrid {
public:
    DemoGrid(int cols, int rows, int width, int height) : TExtStringGrid(nullptr, QStringLiteral("Demo"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(width, height);
        SetColCount(cols);
        SetRowCount(rows);
        SetDefaultColWidth(96);
    }
    bool filterColumn = false;
    TCellGraphic* Graphic(int col, int row, TCellType type)
    {
        auto* g = new TCellGraphic;
        g->CellType = type;
        SetCellAttachment(col, row, g);
        return g;
    }

protected:
    bool HasColumnFilter(int col) override { return filterColumn && col == 2; }
};

void PaintGrid(QPainter& painter, DemoGrid& grid, int x, int y)
{
    painter.save();
    painter.translate(x, y);
    painter.setClipRect(0, 0, grid.width(), grid.height());
    TPainterCanvas canvas(&painter);
    grid.PaintTo(canvas, TRect(0, 0, grid.width(), grid.height()));
    painter.restore();
    painter.setPen(Qt::darkGray);
    painter.drawRect(x - 1, y - 1, grid.width() + 1, grid.height() + 1);
}

// A left click on a cell as the mouse gives it.
void ClickCell(TExtStringGrid& grid, int col, int row, Qt::KeyboardModifiers modifiers)
{
    const TRect r = grid.CellRect(col, row);
    const QPointF at((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, grid.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(&grid, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, grid.mapToGlobal(at), Qt::LeftButton, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(&grid, &release);
}

void Caption(QPainter& p, int x, int y, const char* text)
{
    p.setPen(Qt::black);
    p.drawText(x, y - 6, QString::fromLatin1(text));
}

// A fixed footer row and a fixed right column (the totals), scrolled to the
// end by dragging the vertical thumb, with the scroll hint that drag shows
// beside the thumb.
void PaintFixedAndHint(QPainter& painter, int x, int y)
{
    DemoGrid grid(6, 30, 490, 150);
    grid.SetDefaultColWidth(84);
    grid.SetDefaultRowHeight(20);
    const char* heads[] = {"", "Address", "Beds", "Baths", "Price", "Total"};
    for (int c = 0; c < 6; ++c) grid.SetCellText(c, 0, QString::fromLatin1(heads[c]));
    for (int r = 1; r < 29; ++r) {
        grid.SetCellText(0, r, QString::number(r));
        grid.SetCellText(1, r, QStringLiteral("%1 Oak Dr").arg(300 + r * 9));
        grid.SetCellText(2, r, QString::number(2 + r % 3));
        grid.SetCellText(3, r, QString::number(1 + r % 2));
        grid.SetCellText(4, r, QStringLiteral("$%1,000").arg(150 + r * 11));
        grid.SetCellText(5, r, QString::number(3 + r % 3 + r % 2));
    }
    grid.SetCellText(1, 29, QStringLiteral("28 homes"));
    grid.SetCellText(4, 29, QStringLiteral("$8,666,000"));
    grid.SetFixedFooters(1);
    grid.SetFixedRightCols(1);
    grid.SetScrollHints(shVertical);
    grid.FocusCell(2, 1);
    grid.show();
    QScrollBar* bar = grid.findChild<QScrollBar*>(QStringLiteral("VertScrollBar"));
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    painter.drawImage(x, y, grid.grab().toImage());
    painter.setPen(Qt::darkGray);
    painter.drawRect(x - 1, y - 1, grid.width() + 1, grid.height() + 1);
    THTMLHintWindow* hint = grid.HintWindow();
    if (hint->isVisible()) painter.drawImage(x + grid.width() + 6, y + grid.height() - 40, hint->grab().toImage());
    bar->setSliderDown(false);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InstallWidgetStyle();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("griddemo.png");

    QImage image(1040, 1150, QImage::Format_RGB32);
    image.fill(QColor(212, 208, 200));
    QPainter painter(&image);

    // 1. Merged cells, bands, borders, a sort glyph and a filter glyph.
    DemoGrid merged(5, 9, 490, 210);
    merged.filterColumn = true;
    const char* heads[] = {"", "Address", "City", "Price", "Status"};
    for (int c = 0; c < 5; ++c) merged.SetCellText(c, 0, QString::fromLatin1(heads[c]));
    for (int r = 1; r < 9; ++r) {
        merged.SetCellText(0, r, QString::number(r));
        merged.SetCellText(1, r, QStringLiteral("%1 Main St").arg(100 + r * 7));
        merged.SetCellText(2, r, r % 2 ? QStringLiteral("Fresno") : QStringLiteral("Clovis"));
        merged.SetCellText(3, r, QStringLiteral("$%1,000").arg(200 + r * 13));
        merged.SetCellText(4, r, r % 3 ? QStringLiteral("Sold") : QStringLiteral("Active"));
    }
    merged.MergeCells(1, 2, 2, 2);
    merged.SetCellText(1, 2, QStringLiteral("Merged 2 x 2 area"));
    merged.GetCellProperties(1, 2)->Alignment = taCenter;
    merged.GetCellProperties(1, 2)->BrushColor = RGB(255, 240, 200);
    merged.MergeCells(3, 6, 2, 1);
    merged.SetCellText(3, 6, QStringLiteral("Merged across"));
    TBands bands;
    bands.SetActive(true);
    bands.SetPrimaryColor(RGB(235, 245, 255));
    bands.SetSecondaryColor(clWhite);
    merged.SetBands(bands);
    merged.SortSettings().Show = true;
    merged.SortSettings().Column = 3;
    merged.OnGetCellBorder = [](QObject*, int row, int col, TPen& pen, TCellBorders& borders) {
        if (row == 8 && col >= 1) {
            pen.SetColor(clRed);
            pen.SetWidth(2);
            borders += cbBottom;
        }
        if (row == 4 && col == 4) {
            pen.SetColor(clBlue);
            borders = TCellBorders{cbLeft, cbTop, cbRight, cbBottom};
        }
    };
    merged.FocusCell(4, 7);
    Caption(painter, 20, 30, "Merged cells, bands, borders, sort and filter glyphs");
    PaintGrid(painter, merged, 20, 30);

    // 2. HTML cells with pictures from an image list.
    TImageList images(16, 16);
    for (QColor c : {QColor(Qt::red), QColor(Qt::darkGreen), QColor(Qt::blue)}) {
        QImage icon(16, 16, QImage::Format_RGB32);
        icon.fill(Qt::white);
        QPainter p(&icon);
        p.setBrush(c);
        p.setPen(Qt::black);
        p.drawEllipse(2, 2, 11, 11);
        images.Add(icon, clWhite);
    }
    DemoGrid html(3, 5, 490, 160);
    html.SetGridImages(&images);
    html.SetShowSelection(false);
    html.SetDefaultRowHeight(30);
    html.SetColWidths(1, 200);
    html.SetColWidths(2, 170);
    html.SetCellText(1, 0, QStringLiteral("HTML"));
    html.SetCellText(2, 0, QStringLiteral("More"));
    html.SetCellText(1, 1, QStringLiteral("<IMG SRC=\"IDX:0\"> <B>Bold</B> and <I>italic</I>"));
    html.SetCellText(2, 1, QStringLiteral("<FONT COLOR=\"clred\">red</FONT> <U>under</U>"));
    html.SetCellText(1, 2, QStringLiteral("<IMG SRC=\"IDX:1\"> <A HREF=\"x\">a link</A> in a cell"));
    html.SetCellText(2, 2, QStringLiteral("<FONT BGCOLOR=\"clyellow\">marked</FONT> text"));
    html.SetCellText(1, 3, QStringLiteral("<IMG SRC=\"IDX:2\"> H<SUB>2</SUB>O, E = mc<SUP>2</SUP>"));
    html.SetCellText(2, 3, QStringLiteral("Plain text that is cut at the edge of its cell"));
    html.SetCellText(1, 4,
                     QStringLiteral("Wide: \u03a9\u03b2\u03b3 \u00e9t\u00e9 \u0416\u0438\u0437\u043d\u044c \u00f1"));
    html.SetCellText(2, 4, QStringLiteral("<P ALIGN=\"RIGHT\">right aligned</P>"));
    Caption(painter, 530, 30, "HTML cells with pictures, wide text");
    PaintGrid(painter, html, 530, 30);

    // 3. Check boxes and radio buttons in every style.
    DemoGrid checks(7, 4, 1000, 120);
    checks.SetDefaultRowHeight(28);
    checks.SetShowSelection(false);
    checks.SetColWidths(0, 80);
    checks.SetColWidths(6, 220);
    const TControlStyle styles[] = {csClassic, csFlat, csWinXP, csBrevon, csDUV};
    const char* names[] = {"Classic", "Flat", "WinXP", "Brevon", "DUV"};
    checks.SetCellText(0, 1, QStringLiteral("checked"));
    checks.SetCellText(0, 2, QStringLiteral("unchecked"));
    checks.SetCellText(0, 3, QStringLiteral("read-only"));
    checks.SetCellText(6, 0, QStringLiteral("Radio group"));
    for (int c = 1; c <= 5; ++c) {
        checks.SetCellText(c, 0, QString::fromLatin1(names[c - 1]));
        checks.Graphic(c, 1, ctCheckBox)->CellBoolean = true;
        checks.Graphic(c, 2, ctCheckBox);
        checks.Graphic(c, 3, ctDataCheckBox);
        checks.SetCellText(c, 3, QStringLiteral("Y"));
    }
    checks.OnCanEditCell = [](QObject*, int row, int, bool& can) { can = row != 3; };
    TCellGraphic* radio = checks.Graphic(6, 1, ctRadio);
    radio->Options = QStringList{QStringLiteral("Sale"), QStringLiteral("Lease"), QStringLiteral("Both")};
    radio->CellBoolean = true;
    radio->CellIndex = 1;
    checks.OnGetCellColor = nullptr;
    // Each column in its own style: the style is read per cell.
    QImage checksImage(checks.width(), checks.height(), QImage::Format_RGB32);
    {
        QPainter p(&checksImage);
        TPainterCanvas canvas(&p);
        checks.PaintTo(canvas, TRect(0, 0, checks.width(), checks.height()));
        for (int c = 1; c <= 6; ++c) {
            checks.ControlLook().SetControlStyle(c <= 5 ? styles[c - 1] : csWinXP);
            if (c <= 5)
                checks.ControlLook().SetCheckSize((styles[c - 1] == csWinXP) ? 20
                                                                             : (styles[c - 1] == csBrevon ? 16 : 15));
            for (int r = 1; r < 4; ++r) checks.PaintTo(canvas, checks.CalcCellRect(c, r));
        }
    }
    Caption(painter, 20, 280, "Check boxes (classic, flat, XP, Brevon, DUV) and a radio group");
    painter.drawImage(20, 280, checksImage);

    // 4. Nodes, progress cells, rotated text and comments.
    DemoGrid misc(6, 6, 1000, 180);
    misc.SetDefaultRowHeight(26);
    misc.SetColWidths(1, 22);
    misc.SetColWidths(2, 200);
    misc.SetColWidths(3, 220);
    misc.SetCellText(2, 0, QStringLiteral("Node rows"));
    misc.SetCellText(3, 0, QStringLiteral("Progress"));
    misc.SetCellText(4, 0, QStringLiteral("Comment"));
    misc.SetCellText(5, 0, QStringLiteral("Button"));
    misc.SetShowSelection(false);
    const TCellNodeType nodes[] = {cnFlat, cn3D, cnLeaf, cnFlat, cnLeaf};
    for (int r = 1; r < 6; ++r) {
        TCellGraphic* n = misc.Graphic(1, r, ctNode);
        n->CellBoolean = r % 2 == 0;
        n->CellHAlign = haLeft;
        misc.SetCellText(2, r, QStringLiteral("node %1 (%2)").arg(r).arg(n->CellBoolean ? "closed" : "open"));
        TCellGraphic* p = misc.Graphic(3, r, ctProgress);
        p->BarColor = r == 3 ? clGreen : clNavy;
        p->BackColor = clWhite;
        misc.SetCellText(3, r, QString::number(r * 20 - 5));
    }
    misc.SetCellText(3, 5, QStringLiteral("not a number"));
    misc.Graphic(4, 2, ctComment);
    misc.SetCellText(4, 2, QStringLiteral("has a note"));
    TCellGraphic* b = misc.Graphic(5, 2, ctButton);
    b->CellText = QStringLiteral("Go");
    b->CellIndex = (20 << 16) | 60;
    b->CellHAlign = haCenter;
    b->CellVAlign = vaCenter;
    QImage miscImage(misc.width(), misc.height(), QImage::Format_RGB32);
    {
        QPainter p(&miscImage);
        TPainterCanvas canvas(&p);
        misc.PaintTo(canvas, TRect(0, 0, misc.width(), misc.height()));
        for (int r = 1; r < 6; ++r) {
            misc.CellNode().SetNodeType(nodes[r - 1]);
            misc.PaintTo(canvas, misc.CalcCellRect(1, r));
        }
    }
    Caption(painter, 20, 440,
            "Node boxes (flat, 3D, leaf, flat, leaf), progress cells (the last one not a number), comment, button");
    painter.drawImage(20, 440, miscImage);

    // 5. The guide line of column sizing, drawn in XOR.
    DemoGrid sizing(4, 4, 490, 100);
    sizing.SetShowSelection(false);
    for (int r = 1; r < 4; ++r)
        for (int c = 1; c < 4; ++c) sizing.SetCellText(c, r, QStringLiteral("cell %1,%2").arg(c).arg(r));
    QImage sizingImage(sizing.width(), sizing.height(), QImage::Format_RGB32);
    {
        QPainter p(&sizingImage);
        TPainterCanvas canvas(&p);
        sizing.PaintTo(canvas, TRect(0, 0, sizing.width(), sizing.height()));
        sizing.DrawMoveLine(canvas, 230);
    }
    Caption(painter, 20, 645, "Column sizing guide line (XOR)");
    painter.drawImage(20, 645, sizingImage);

    // 6. A hidden column and filtered rows: real column 2 (City) is hidden
    // and only the rows whose status is "Sold" pass the filter; the row
    // numbers in column 0 show which rows are left.
    DemoGrid filtered(5, 9, 490, 100);
    filtered.SetShowSelection(false);
    const char* fheads[] = {"Row", "Address", "City", "Price", "Status"};
    for (int c = 0; c < 5; ++c) filtered.SetCellText(c, 0, QString::fromLatin1(fheads[c]));
    for (int r = 1; r < 9; ++r) {
        filtered.SetCellText(0, r, QString::number(r));
        filtered.SetCellText(1, r, QStringLiteral("%1 Elm Ave").arg(200 + r * 11));
        filtered.SetCellText(2, r, r % 2 ? QStringLiteral("Fresno") : QStringLiteral("Clovis"));
        filtered.SetCellText(3, r, QStringLiteral("$%1,000").arg(180 + r * 17));
        filtered.SetCellText(4, r, r % 3 ? QStringLiteral("Active") : QStringLiteral("Sold"));
    }
    filtered.HideColumn(2);
    TFilterData sold;
    sold.Column = 4;
    sold.Condition = QStringLiteral("Sold");
    filtered.Filter().push_back(sold);
    filtered.SetFilterActive(true);
    Caption(painter, 530, 645, "Column City hidden, rows filtered to Status = Sold");
    PaintGrid(painter, filtered, 530, 645);

    // 7. Fixed footer row and right column, the scroll hint.
    Caption(painter, 20, 790, "Fixed footer row and right column; the hint of the dragged vertical thumb");
    PaintFixedAndHint(painter, 20, 790);

    // 8. A multi-line cell being edited: the text editor shows the cell's
    // lines, the caret on the second one, a third line typed with
    // Ctrl+Enter.
    DemoGrid lines(4, 4, 490, 110);
    lines.SetMultilinecells(true);
    lines.SetOptions(lines.Options() + TGridOption::goEditing);
    lines.SetCellText(1, 0, QStringLiteral("Property"));
    lines.SetCellText(2, 0, QStringLiteral("Notes"));
    lines.SetCellText(1, 1, QStringLiteral("12 Oak Ct"));
    lines.SetCellText(2, 1, QStringLiteral("Corner lot\r\nPool, new roof"));
    lines.SetRowHeights(1, 52);
    lines.SetColWidths(2, 200);
    lines.show();
    QApplication::setActiveWindow(&lines);
    lines.setFocus();
    lines.FocusCell(2, 1);
    lines.ShowEditor();
    if (TExtInplaceEdit* editor = lines.TextEditor(); editor && lines.EditorMode()) {
        editor->SetText(lines.Cells(2, 1) + QStringLiteral("\r\nSeller motivated"));
        editor->SetSelStart(editor->Text().size());
    }
    QCoreApplication::processEvents();
    Caption(painter, 530, 790, "A multi-line cell being edited");
    lines.render(&painter, QPoint(530, 790));
    painter.setPen(Qt::darkGray);
    painter.drawRect(529, 789, lines.width() + 1, lines.height() + 1);

    // 9. Rich-text cells (one of them selected: its text takes the selection
    // colour) and cells picked one by one with Ctrl.
    DemoGrid rich(4, 5, 490, 150);
    rich.SetDefaultRowHeight(26);
    rich.SetColWidths(0, 40);
    rich.SetColWidths(1, 220);
    rich.SetColWidths(2, 100);
    rich.SetColWidths(3, 100);
    rich.SetCellText(1, 0, QStringLiteral("Rich text"));
    rich.SetCellText(2, 0, QStringLiteral("Picked"));
    rich.SetCellText(3, 0, QStringLiteral("Picked"));
    const QString colours = QStringLiteral("{\\colortbl;\\red192\\green0\\blue0;\\red0\\green96\\blue0;}");
    rich.SetCellText(1, 1, QStringLiteral("{\\rtf1\\ansi%1{\\b Bold} {\\i italic} {\\ul under}}").arg(colours));
    rich.SetCellText(1, 2, QStringLiteral("{\\rtf1\\ansi%1{\\cf1 red} and {\\cf2\\fs24 green 12 pt}}").arg(colours));
    rich.SetCellText(1, 3, QStringLiteral("{\\rtf1\\ansi%1{\\fs28\\b Big} {\\fs14 small}}").arg(colours));
    rich.SetCellText(1, 4, QStringLiteral("{\\rtf1\\ansi%1Selected {\\cf1 cell}}").arg(colours));
    for (int r = 1; r < 5; ++r) {
        rich.SetCellText(2, r, QStringLiteral("cell 2,%1").arg(r));
        rich.SetCellText(3, r, QStringLiteral("cell 3,%1").arg(r));
    }
    rich.MouseActions().DisjunctCellSelect = true;
    ClickCell(rich, 2, 1, Qt::NoModifier);
    ClickCell(rich, 3, 2, Qt::ControlModifier);
    ClickCell(rich, 2, 3, Qt::ControlModifier);
    ClickCell(rich, 1, 4, Qt::ControlModifier);
    Caption(painter, 20, 980, "Rich-text cells; cells picked with Ctrl (disjunct cell selection)");
    PaintGrid(painter, rich, 20, 980);

    // 10. Tree lines beside the nodes of column 0.
    DemoGrid tree(3, 7, 490, 150);
    tree.SetDefaultRowHeight(20);
    tree.SetColWidths(0, 60);
    tree.SetColWidths(1, 200);
    tree.SetShowSelection(false);
    tree.SetCellText(1, 0, QStringLiteral("Parcel"));
    tree.Graphic(0, 1, ctNode)->CellIndex = 4;
    tree.Graphic(0, 5, ctNode)->CellIndex = 2;
    tree.RecountNodes();
    tree.CellNode().SetShowTree(true);
    const char* parcels[] = {"Tract 1", "lot 1", "lot 2", "lot 3", "Tract 2", "lot 7"};
    for (int r = 1; r < 7; ++r) tree.SetCellText(1, r, QString::fromLatin1(parcels[r - 1]));
    Caption(painter, 530, 980, "Nodes in column 0 with tree lines");
    PaintGrid(painter, tree, 530, 980);

    painter.end();
    if (!image.save(out)) {
        std::fprintf(stderr, "griddemo: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
