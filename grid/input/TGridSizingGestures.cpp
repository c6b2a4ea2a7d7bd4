// Sizing by the mouse: the fixed column from its border over the body rows,
// and a column or row at its border by the grid's own sizing, each with its
// live size hint.
#include "grid/input/Gestures_p.h"

#include "grid/TFooterPanel.h"
#include "grid/THTMLHintWindow.h"
#include "platform/core/FloatFormat.h"

// ---------------------------------------------------------------------------
// The fixed column

bool TExtStringGrid::Gestures::FixedColSizing::Track(int /*col*/, int /*row*/, int x, int /*y*/)
{
    if (x != m_x) {
        g.DrawSizingLine(m_x);
        m_x = x;
        g.DrawSizingLine(x);
    }
    return true;
}

QString TExtStringGrid::Gestures::FixedColSizing::SizeText(int x, int /*y*/) const
{
    return QStringLiteral("cw=<b>%1</b>").arg(x);
}

// The sizing line goes; the column keeps its width.
void TExtStringGrid::Gestures::FixedColSizing::Cancel() { EndLine(); }

void TExtStringGrid::Gestures::FixedColSizing::EndLine()
{
    g.DrawSizingLine(m_x);
    In().sizeHint.clear();
    if (g.d->footer.hint) g.d->footer.hint->hide();
}

// The column takes the width dragged, unless released beyond the control,
// as any column sizing.
bool TExtStringGrid::Gestures::FixedColSizing::EndsSizing(int x)
{
    EndLine();
    if (x <= g.ClientWidth()) g.SetColWidths(0, std::max(1, x));
    return true;
}

// ---------------------------------------------------------------------------
// A column or row at its border

QString TExtStringGrid::Gestures::Sizing::SizeText(int x, int y) const
{
    if (m_column) return QStringLiteral("cw=<b>%1</b>").arg(std::max(0, x - g.CellBounds(m_index, 0).Left));
    return QStringLiteral("rh=<b>%1</b>").arg(std::max(0, y - g.CellBounds(0, m_index).Top));
}

bool TExtStringGrid::Gestures::Sizing::EndsSizing(int /*x*/) { return true; }

// Released outside the control, the sizing is dropped before the grid sets
// the new width (height): it gets none of the end-of-sizing steps.
void TExtStringGrid::Gestures::Sizing::BeforeGridUp(int x, int y)
{
    m_released = true;
    if (m_column ? x > g.ClientWidth() : y > g.ClientHeight()) m_pending = false;
}

// After the grid's release: a sizing that ended outside the control is
// undone.
void TExtStringGrid::Gestures::Sizing::AfterGridUp(TShiftState /*shift*/, int x, int y)
{
    // A row sized live ends at the height the moves left it.
    if (!m_column && m_pending && m_index < g.RowCount() && g.RowHeights(m_index) != m_size) RowHeightsChanged();
    m_pending = false;
    if (m_column && x > g.ClientWidth()) g.SetColWidths(m_index, m_size);
    if (!m_column && y > g.ClientHeight()) g.SetRowHeights(m_index, m_size);
    In().sizeHint.clear();
    if (g.d->footer.hint) g.d->footer.hint->hide();
}

void TExtStringGrid::Gestures::Sizing::ColWidthsChanged()
{
    if (!m_column || !m_pending || !m_released || m_index >= g.ColCount()) return;
    // Off while the steps below set widths of their own.
    m_pending = false;
    const int col = m_index;
    if (g.d->mouseActions.AllColumnSize && m_size >= 1) {
        const double f = double(g.ColWidths(col)) / m_size;
        for (int c = g.FixedCols(); c < g.ColCount(); ++c)
            if (c != col) g.SetColWidths(c, int(Round(g.ColWidths(c) * f)));
    }
    if (g.OnEndColumnSize) g.OnEndColumnSize(&g, col);
    int width = g.ColWidths(col);
    g.UpdateColumnSize(g.RealColIndex(col), width);
    if (width != g.ColWidths(col)) g.SetColWidths(col, width);
    if (g.d->footer.panel) g.d->footer.panel->update();
}

void TExtStringGrid::Gestures::Sizing::RowHeightsChanged()
{
    if (m_column || !m_pending || !m_released || m_index >= g.RowCount()) return;
    m_pending = false;
    const int row = m_index;
    if (g.d->mouseActions.AllRowSize && m_size >= 1) {
        const double f = double(g.RowHeights(row)) / m_size;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r)
            if (r != row) g.SetRowHeights(r, int(Round(g.RowHeights(r) * f)));
    }
    if (g.OnEndRowSize) g.OnEndRowSize(&g, row);
}
