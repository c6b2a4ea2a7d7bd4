// Cell graphics as the painter reads them, integer reading, and the row and
// column marks of disjunct selection.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/draw/CellDrawing.h"
#include "grid/text/CellText.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/Format.h"
#include "platform/graphics/Graphic.h"

#include <algorithm>

TCellGraphic* TExtStringGrid::GetCellGraphic(int col, int row) { return GetCellAttachment(col, row); }

TCellType TExtStringGrid::GetCellType(int col, int row)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    return g ? g->CellType : ctEmpty;
}

int TExtStringGrid::CellAsInteger(int col, int row)
{
    QString s;
    GetCellDisplayText(col, row, s);
    s = s.trimmed();
    if (s.isEmpty()) return 0;
    bool ok = false;
    const int v = s.toInt(&ok);
    if (!ok) throw EExtGridError(QStringLiteral("Cell does not contain integer value"));
    return v;
}

bool TExtStringGrid::IsCheckBoxCell(int col, int row)
{
    const TPoint b = BaseCellPoint(col, row);
    const TCellType t = GetCellType(b.X, b.Y);
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox;
}

bool TExtStringGrid::IsRowSelected(int row) const
{
    return row >= 0 && size_t(row) < d->typed.rowMarks.size() && d->typed.rowMarks[size_t(row)];
}

bool TExtStringGrid::IsColSelected(int col) const
{
    return col >= 0 && size_t(col) < d->typed.colMarks.size() && d->typed.colMarks[size_t(col)];
}

bool TExtStringGrid::IsSelected(int col, int row) const
{
    if (col < FixedCols() || row < FixedRows()) return false;
    if (d->mouseActions.DisjunctRowSelect) return IsRowSelected(row);
    if (d->mouseActions.DisjunctColSelect) return IsColSelected(col);
    const TGridRect sel = Selection();
    return PointInRectInclusive(TRect(sel.Left, sel.Top, sel.Right, sel.Bottom), col, row);
}

// ---------------------------------------------------------------------------
// Numbers in cells

double TExtStringGrid::CellAsFloat(int col, int row)
{
    QString s;
    GetCellDisplayText(col, row, s);
    s = CleanNumberText(s);
    if (s.isEmpty()) s = QStringLiteral("0");
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok) throw EExtGridError(QStringLiteral("Cell does not contain a float value"));
    return v;
}

void TExtStringGrid::SetCellInteger(int col, int row, int value) { SetCellText(col, row, QString::number(value)); }

void TExtStringGrid::SetCellFloat(int col, int row, double value)
{
    SetCellText(col, row, Format(d->floatFormat, {value}));
}

bool TExtStringGrid::ShowZeroDates() const { return d->typed.showZeroDates; }
void TExtStringGrid::SetShowZeroDates(bool value) { d->typed.showZeroDates = value; }

void TExtStringGrid::SetCellDate(int col, int row, TDateTime value)
{
    SetCellText(col, row, value <= 0 && !d->typed.showZeroDates ? QString() : DateToStr(value));
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons

bool TExtStringGrid::IsRadioButtonCell(int col, int row)
{
    const TPoint b = BaseCellPoint(col, row);
    return GetCellType(b.X, b.Y) == ctRadio;
}

bool TExtStringGrid::IsButtonCell(int col, int row)
{
    const TPoint b = BaseCellPoint(col, row);
    const TCellType t = GetCellType(b.X, b.Y);
    return t == ctButton || t == ctBitButton;
}

QStringList* TExtStringGrid::GetRadioOptions(int col, int row)
{
    const TPoint b = BaseCellPoint(col, row);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    return g && g->CellType == ctRadio ? &g->Options : nullptr;
}

bool TExtStringGrid::IsCheckOrRadioCell(int col, int row)
{
    return IsCheckBoxCell(col, row) || IsRadioButtonCell(col, row);
}

bool TExtStringGrid::GetCheckBoxState(int col, int row, bool& state)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    if (!g) return false;
    if (g->CellType == ctCheckBox) {
        state = g->CellBoolean;
        return true;
    }
    if (g->CellType == ctDataCheckBox || g->CellType == ctVirtCheckBox) {
        QString checkTrue;
        GetCheckTrue(col, row, checkTrue);
        state = GetCellText(col, row) == checkTrue;
        return true;
    }
    return false;
}

void TExtStringGrid::SetCheckBoxState(int col, int row, bool state)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g) return;
    if (g->CellType == ctDataCheckBox || g->CellType == ctVirtCheckBox) {
        // These show their text: the check text is what a reader sees.
        QString text;
        if (state)
            GetCheckTrue(col, row, text);
        else
            GetCheckFalse(col, row, text);
        SetCellText(col, row, text);
    } else {
        g->CellBoolean = state;
    }
    RepaintCell(DisplColIndex(col), row);
}

bool TExtStringGrid::ToggleCheckBox(int col, int row, bool fromUser)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g || !(g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctVirtCheckBox))
        return false;
    if (fromUser) {
        bool can = true;
        CanEditCell(col, row, can);
        if (!can) return false;
    }
    if (g->CellType == ctCheckBox) {
        g->CellBoolean = !g->CellBoolean;
    } else {
        QString checkTrue;
        QString checkFalse;
        GetCheckTrue(col, row, checkTrue);
        GetCheckFalse(col, row, checkFalse);
        SetCellText(col, row, GetCellText(col, row) != checkTrue ? checkTrue : checkFalse);
    }
    RepaintCell(DisplColIndex(col), row);
    return true;
}

bool TExtStringGrid::GetRadioIndex(int col, int row, int& index)
{
    const TCellGraphic* g = GetCellGraphic(col, row);
    if (!g || g->CellType != ctRadio) return false;
    index = g->CellIndex;
    return true;
}

bool TExtStringGrid::StepRadioButton(int col, int row, bool fromUser)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g || g->CellType != ctRadio || g->Options.isEmpty()) return false;
    if (fromUser) {
        bool can = true;
        CanEditCell(col, row, can);
        if (!can) return false;
    }
    const bool bound = g->CellIndex < 0; // the cell text names the option
    int i = bound ? int(g->Options.indexOf(GetCellText(col, row))) : g->CellIndex;
    ++i;
    if (i >= g->Options.size()) i = 0;
    if (!bound) g->CellIndex = i;
    SetCellText(col, row, g->Options[i]);
    RepaintCell(DisplColIndex(col), row);
    return true;
}

// ---------------------------------------------------------------------------
// Pictures

TPoint TExtStringGrid::GetPictureSize(const TCellGraphic& graphic, int cellWidth, int cellHeight)
{
    int pw = 0;
    int ph = 0;
    if ((graphic.CellType == ctPicture || graphic.CellType == ctFilePicture) && graphic.Graphic) {
        pw = std::max(graphic.Graphic->Width(), 0);
        ph = std::max(graphic.Graphic->Height(), 0);
    } else {
        return TPoint(0, 0);
    }
    const int w = std::max(cellWidth - graphic.CellIndex, 0);
    const int h = std::max(cellHeight - graphic.CellIndex, 0);
    const auto proportional = [&](bool limitToOne) {
        // A picture without width or height is taken at its own scale.
        double fx = pw >= 1 ? double(w) / pw : 1.0;
        double fy = ph >= 1 ? double(h) / ph : 1.0;
        if (limitToOne) {
            fx = std::min(fx, 1.0);
            fy = std::min(fy, 1.0);
        }
        return fx >= fy ? TPoint(int(Round(pw * fy)), h) : TPoint(w, int(Round(ph * fx)));
    };
    switch (graphic.CellAngle) {
    case 1: return TPoint(w, h);
    case 2: return proportional(false);
    case 3: return pw > w || ph > h ? TPoint(w, h) : TPoint(pw, ph);
    case 4: return pw <= w && ph <= h ? TPoint(pw, ph) : proportional(true);
    default: return TPoint(pw, ph);
    }
}
