// The string grid's cell texts: display, raw, plain and wide texts, and
// clearing.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/text/CellText.h"
#include "platform/core/Format.h"

#include <QVariant>
#include <algorithm>

namespace { }

void TExtStringGrid::GetCellDisplayText(int col, int row, QString& text)
{
    text = GetCellText(col, row);
    if (!OnGetFloatFormat) return;
    // A number as the regional settings write it (thousand and decimal
    // separators); an empty cell counts as 0 when the event wants a number.
    const int type = GetNumberType(text);
    bool isFloat = type == ntInteger || type == ntFloat;
    QString format = d->floatFormat;
    OnGetFloatFormat(this, col, row, isFloat, format);
    if (!isFloat) return;
    const QString clean = CleanNumberText(text);
    bool ok = false;
    const double value = clean.isEmpty() ? 0 : clean.toDouble(&ok);
    // A text the number reading stops short in is shown as it is.
    if (ok || clean.isEmpty()) text = Format(format, {value});
}

void TExtStringGrid::GetCellRawValue(int col, int row, QString& text) { text = GetCellText(col, row); }

void TExtStringGrid::SetCellRawValue(int col, int row, const QString& text) { SetCellRaw(col, row, text); }

void TExtStringGrid::GetCellPlainText(int col, int row, QString& text)
{
    text = d->cells.plainThroughMerges ? GetCellText(col, row) : GetCellRaw(col, row);
    if (text.isEmpty() && GetCellType(col, row) == ctCheckBox) {
        const TCellGraphic* g = GetCellGraphic(col, row);
        if (g && g->CellBoolean)
            GetCheckTrue(col, row, text);
        else
            GetCheckFalse(col, row, text);
    }
    if (!d->cells.plainKeepTags) text = HTMLStrip(text);
}

void TExtStringGrid::PutCellText(int col, int row, const QString& value)
{
    SetEditText(DisplColIndex(col), row, value);
    SetCellText(col, row, value);
}

void TExtStringGrid::StoreCellText(int col, int row, const QString& value)
{
    SetCellText(col, row, value);
    if (col != RealColIndex(col)) InvalidateRow(row);
}

// Cells hold Unicode themselves: wide text is stored and read as it is, and
// no text is ever reinterpreted by its first characters (a cell that merely
// begins with "|\\" is plain text).
QString TExtStringGrid::GetWideCell(int col, int row) { return GetCellText(col, row); }

void TExtStringGrid::SetWideCell(int col, int row, const QString& value) { SetCellText(col, row, value); }

void TExtStringGrid::Clear()
{
    // An edit in progress ends in its own cell first, or its text would be
    // written back over the cleared grid.
    if (!d->cells.destroying) {
        CloseEditorControl();
        HideEditor();
    }
    // What was typed for the incremental row search went with the rows.
    d->input.autoGotoText.clear();
    FreeCellProperties(0, 0, StoreCols() - 1, RowCount() - 1);
    int widest = 0;
    for (int r = 0; r < RowCount(); ++r) {
        const int cols = StoredCols(r);
        widest = std::max(widest, cols);
        for (int c = 0; c < cols; ++c) SetCells(c, r, QString());
    }
    if (!d->cells.destroying) CellsChanged(TRect(0, 0, std::max(widest, StoreCols()) - 1, RowCount() - 1));
}

void TExtStringGrid::ClearRows(int row, int count)
{
    if (RowCount() < 1 || ColCount() < 1 || count < 1) return;
    // An edit in progress ends first, so a cleared cell stays empty.
    if (!d->cells.destroying) {
        CloseEditorControl();
        HideEditor();
    }
    const int last = std::min(RowCount() - 1, row + count - 1);
    for (int r = std::max(0, row); r <= last; ++r) ClearRow(r);
    if (!d->cells.destroying) CellsChanged(TRect(0, std::max(0, row), ColCount() - 1, last));
}

void TExtStringGrid::ClearRect(int col1, int row1, int col2, int row2)
{
    // An edit in progress ends first, so a cleared cell stays empty.
    if (!d->cells.destroying) {
        CloseEditorControl();
        HideEditor();
    }
    for (int r = std::max(0, row1); r <= std::min(row2, RowCount() - 1); ++r)
        for (int c = std::max(0, col1); c <= col2; ++c) ClearCell(c, r);
    if (!d->cells.destroying) CellsChanged(TRect(col1, row1, col2, row2));
}
