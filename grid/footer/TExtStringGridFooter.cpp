// Column calculations, the footer row they fill, and the footer template.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/TFooterPanel.h"
#include "grid/THTMLHintWindow.h"
#include "grid/cells/TCellProperties.h"
#include "grid/text/CellText.h"
#include "platform/core/SysUtils.h"

#include <QLocale>
#include <limits>

namespace {
enum : int { fcNone = 0, fcSum = 1, fcAvg = 2, fcCount = 3, fcMin = 4, fcMax = 5 };
}

double TExtStringGrid::FooterValue(int col, int row)
{
    // A cell's number as the float reading sees it; a text that is no
    // number counts as 0, like an empty cell.
    QString text;
    GetCellDisplayText(col, row, text);
    const QString clean = CleanNumberText(text);
    bool ok = false;
    const double v = clean.isEmpty() ? 0 : QLocale::c().toDouble(clean, &ok);
    return ok ? v : 0;
}

double TExtStringGrid::ColumnSum(int col, int fromRow, int toRow)
{
    double sum = 0;
    for (int r = std::max(0, fromRow); r <= toRow && r < RowCount(); ++r) sum += FooterValue(col, r);
    return sum;
}

double TExtStringGrid::ColumnAvg(int col, int fromRow, int toRow)
{
    if (toRow < fromRow) return 0;
    return ColumnSum(col, fromRow, toRow) / double(toRow - fromRow + 1);
}

double TExtStringGrid::ColumnMin(int col, int fromRow, int toRow)
{
    if (toRow < fromRow) return 0;
    double v = FooterValue(col, fromRow);
    for (int r = fromRow + 1; r <= toRow && r < RowCount(); ++r) v = std::min(v, FooterValue(col, r));
    return v;
}

double TExtStringGrid::ColumnMax(int col, int fromRow, int toRow)
{
    if (toRow < fromRow) return 0;
    double v = FooterValue(col, fromRow);
    for (int r = fromRow + 1; r <= toRow && r < RowCount(); ++r) v = std::max(v, FooterValue(col, r));
    return v;
}

void TExtStringGrid::CalcFooter(int col)
{
    const TFloatingFooter& f = d->floatingFooter;
    if (!f.Visible() || f.FooterStyle() != fsFixedLastRow) return;
    const int footer = RowCount() - 1;
    const int from = FixedRows();
    const int to = RowCount() - 2;
    const bool noRows = to < from;
    const int firstCol = col < 0 ? 0 : col;
    const int lastCol = col < 0 ? StoreCols() - 1 : col;
    for (int c = firstCol; c <= lastCol; ++c) {
        const TCellProperties* p = CellPropertiesOf(c, footer);
        if (!p) continue;
        // The low seven bits choose the value; the high bit is no part of it.
        const int calc = p->FooterCalc & 0x7F;
        switch (calc) {
        case fcSum: SetCellFloat(c, footer, ColumnSum(c, from, to)); break;
        case fcCount: SetCellFloat(c, footer, noRows ? 0 : to - from + 1); break;
        case fcAvg:
        case fcMin:
        case fcMax:
            // Nothing to average or compare without data rows.
            if (noRows)
                SetCellText(c, footer, QString());
            else if (calc == fcAvg)
                SetCellFloat(c, footer, ColumnAvg(c, from, to));
            else if (calc == fcMin)
                SetCellFloat(c, footer, ColumnMin(c, from, to));
            else
                SetCellFloat(c, footer, ColumnMax(c, from, to));
            break;
        default: SetCellText(c, footer, QString()); break;
        }
    }
    if (d->footer.panel) d->footer.panel->update();
}

QString TExtStringGrid::FormatFooterTemplate(const QString& text)
{
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QStringLiteral("<#"), i);
        if (open < 0) {
            result += QStringView(text).mid(i);
            break;
        }
        const qsizetype close = text.indexOf(u'>', open + 2);
        if (close < 0) {
            result += QStringView(text).mid(i);
            break;
        }
        result += QStringView(text).mid(i, open - i);
        bool ok = false;
        const int col = text.mid(open + 2, close - open - 2).toInt(&ok);
        // A column the grid does not have gives nothing, like a number that
        // does not read.
        if (ok && col >= 0 && col < StoreCols() && Row() >= 0 && Row() < RowCount()) result += GetCellText(col, Row());
        i = close + 1;
    }
    return result;
}

TFooterPanel* TExtStringGrid::FooterPanel()
{
    if (!d->footer.panel) d->footer.panel = new TFooterPanel(this);
    return d->footer.panel;
}

void TExtStringGrid::SetDefaultRowHeight(int value)
{
    TBaseGrid::SetDefaultRowHeight(value);
    d->floatingFooter.FooterHeight = DefaultRowHeight();
    if (d->floatingFooter.Visible() && d->footer.panel) d->footer.panel->Place();
}

void TExtStringGrid::SetFloatingFooterStyle(TFooterStyle value)
{
    d->floatingFooter.m_footerStyle = value;
    SetFooterRowFlag(d->floatingFooter.Visible() && value == fsFixedLastRow);
    InvalidateGrid();
    if (d->footer.panel) d->footer.panel->update();
}

void TExtStringGrid::PaintFooterCell(TCanvas& canvas, int col, int row, const TRect& rect)
{
    TGridDrawState state;
    state += TGridDrawStateItem::gdFixed;
    DrawCellContent(canvas, col, row, rect, state);
}

THTMLHintWindow* TExtStringGrid::HintWindow()
{
    if (!d->footer.hint) {
        d->footer.hint = new THTMLHintWindow(this);
        d->footer.hint->SetColor(d->hintColor);
    }
    return d->footer.hint;
}
