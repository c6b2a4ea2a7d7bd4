// Keeping cells in view, stretching a column to the client width, heights
// in whole rows, the scroll bars' colour and width, and the hint of a
// dragged scroll bar thumb.
#include "grid/TExtStringGrid.h"

#include "grid/TFooterPanel.h"
#include "grid/THTMLHintWindow.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "platform/graphics/SystemMetrics.h"

#include <QCursor>
#include <QResizeEvent>
#include <algorithm>
#include <functional>

void TExtStringGrid::StretchColumn(int col)
{
    if (col == -1) col = ColCount() - 1;
    if (col >= ColCount()) throw Exception(QStringLiteral("Stretch column index out of range"));
    if (ColCount() == 0 || !d->columnSize.Stretch || col < 0) return;
    d->scroll.stretchGuard = false;
    const int client = GridWidth();
    if (ColCount() == 1) {
        SetColWidths(col, client);
    } else {
        int others = 0;
        for (int c = 0; c < ColCount(); ++c)
            if (c != col) others += ColWidths(c);
        SetColWidths(col, client > others ? client - others - 1 : DefaultColWidth());
    }
    d->scroll.stretchGuard = true;
}

void TExtStringGrid::SetColumnSizeStretch(bool value)
{
    d->columnSize.Stretch = value;
    StretchColumn(d->columnSize.StretchColumn);
}

void TExtStringGrid::ScrollInView(int col, int row)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return;
    const int visCols = VisibleColCount();
    const int visRows = VisibleRowCount();
    int left = LeftCol();
    int top = TopRow();
    if (col < LeftCol() || col >= LeftCol() + visCols) {
        SetCol(col);
        left = col - visCols / 2;
    }
    if (row < TopRow() || row >= TopRow() + visRows) {
        SetRow(row);
        top = row - visRows / 2;
    }
    // Never under the fixed part, never past the last full window.
    left = std::clamp(left, FixedCols(), std::max(FixedCols(), ColCount() - visCols));
    top = std::clamp(top, FixedRows(), std::max(FixedRows(), RowCount() - visRows));
    SetLeftCol(left);
    SetTopRow(top);
}

void TExtStringGrid::TopLeftChanged()
{
    TBaseGrid::TopLeftChanged();
    // A control open over a cell would stay where the cell was: it closes,
    // storing its value. The footer's last row follows the columns.
    if (d->edit.SpecialEditorOpen()) CloseEditorControl();
    if (d->footer.panel) d->footer.panel->update();
    TGridScrollState& s = d->scroll;
    const int wasLeft = s.lastLeft < 0 ? FixedCols() : s.lastLeft;
    const int wasTop = s.lastTop < 0 ? FixedRows() : s.lastTop;
    s.lastLeft = LeftCol();
    s.lastTop = TopRow();
    // The cells on view with a top-left: the fixed ones and the scrolling
    // ones from there to the first partly visible one.
    const int visCols = VisibleColCount();
    const int visRows = VisibleRowCount();
    const auto inView = [&](int col, int row, int left, int top) {
        return (col < FixedCols() || (col >= left && col <= left + visCols)) &&
            (row < FixedRows() || (row >= top && row <= top + visRows));
    };
    // The controls placed in cells follow: those of cells gone from view
    // shrink to nothing at the cell's corner, those on view take the cell.
    const auto place = [&](int col, int row, bool shown) {
        if (col >= ColCount() || row >= RowCount()) return;
        const int rc = RealColIndex(col);
        if (rc < 0 || !HasCellProperties(rc, row)) return;
        QWidget* control = GetCellProperties(rc, row)->Control;
        if (!control) return;
        const TRect r = CellBounds(col, row);
        PlaceChild(control, shown ? r : TRect(r.Left, r.Top, r.Left, r.Top));
    };
    const auto walk = [&](int left, int top, const std::function<void(int, int)>& each) {
        for (int row = 0; row < RowCount() && row <= top + visRows; ++row) {
            if (row >= FixedRows() && row < top) row = top;
            for (int col = 0; col < ColCount() && col <= left + visCols; ++col) {
                if (col >= FixedCols() && col < left) col = left;
                each(col, row);
            }
        }
    };
    walk(wasLeft, wasTop, [&](int col, int row) {
        if (!inView(col, row, LeftCol(), TopRow())) place(col, row, false);
    });
    walk(LeftCol(), TopRow(), [&](int col, int row) { place(col, row, true); });
}

bool TExtStringGrid::IsPasswordCellAt(int col, int row)
{
    bool password = false;
    IsPasswordCell(col, row, password);
    return password;
}

bool TExtStringGrid::IntegralHeight() const { return d->scroll.integralHeight; }

void TExtStringGrid::SetIntegralHeight(bool value)
{
    d->scroll.integralHeight = value;
    SetBounds(Left(), Top(), Width(), Height());
}

void TExtStringGrid::SetBounds(int left, int top, int width, int height)
{
    const int rowHeight = DefaultRowHeight();
    // A default row height of 0 has no whole rows to snap to.
    if (d->scroll.integralHeight && rowHeight > 0) {
        if (VisibleColCount() + FixedCols() >= ColCount())
            height = height + rowHeight - height % rowHeight - 1 - GetSystemMetrics(Win::SM_CYHSCROLL);
        else
            height = height - height % rowHeight - 1;
    }
    TBaseGrid::SetBounds(left, top, width, std::max(height, 0));
}

// ---------------------------------------------------------------------------
// Following the form

bool TExtStringGrid::SizeWithForm() const { return d->scroll.sizeWithForm; }

void TExtStringGrid::SetSizeWithForm(bool value)
{
    d->scroll.sizeWithForm = value;
    WatchForm();
}

void TExtStringGrid::WatchForm()
{
    TGridScrollState& s = d->scroll;
    QWidget* form = window();
    if (form == this) form = nullptr;
    if (s.form && s.form != form) s.form->removeEventFilter(this);
    s.form = form;
    if (!form) return;
    form->installEventFilter(this);
    s.formWidth = form->width();
    s.formHeight = form->height();
}

void TExtStringGrid::FormResized(int width, int height)
{
    TGridScrollState& s = d->scroll;
    if (width == s.formWidth && height == s.formHeight) return;
    if (s.sizeWithForm) {
        const int w = this->width() + width - s.formWidth;
        const int h = this->height() + height - s.formHeight;
        if (w > 0 && h > 0) resize(w, h);
    }
    s.formWidth = width;
    s.formHeight = height;
    if (s.sizeWithForm && d->columnSize.Stretch && d->columnSize.StretchColumn < ColCount())
        StretchColumn(d->columnSize.StretchColumn);
}

bool TExtStringGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Resize && d && watched == d->scroll.form.data()) {
        const QSize size = static_cast<QResizeEvent*>(e)->size();
        FormResized(size.width(), size.height());
    }
    return TBaseGrid::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------
// The scroll bars' look

TColor TExtStringGrid::ScrollColor() const { return ScrollBarColor(); }
void TExtStringGrid::SetScrollColor(TColor value) { SetScrollBarColor(value); }
int TExtStringGrid::ScrollWidth() const { return ScrollBarExtent(); }
void TExtStringGrid::SetScrollWidth(int value)
{
    SetScrollBarExtent(value);
    // The cell area changed with the bar: the stretch column fits it again.
    if (d->columnSize.Stretch && d->columnSize.StretchColumn < ColCount()) StretchColumn(d->columnSize.StretchColumn);
}

// ---------------------------------------------------------------------------
// Scroll hints

TScrollHintType TExtStringGrid::ScrollHints() const { return d->scroll.scrollHints; }
void TExtStringGrid::SetScrollHints(TScrollHintType value) { d->scroll.scrollHints = value; }
bool TExtStringGrid::ScrollSynch() const { return d->scroll.scrollSynch; }
void TExtStringGrid::SetScrollSynch(bool value) { d->scroll.scrollSynch = value; }

void TExtStringGrid::ThumbTracking(bool vertical, int position)
{
    TGridScrollState& s = d->scroll;
    const bool wanted = s.scrollHints == shBoth || s.scrollHints == (vertical ? shVertical : shHorizontal);
    if (wanted) ShowScrollHint(vertical, position);
    // The view follows the thumb, which stands for the top row (left column).
    if (s.scrollSynch) {
        if (vertical)
            SetTopRow(position);
        else
            SetLeftCol(position);
    }
}

void TExtStringGrid::ShowScrollHint(bool vertical, int position)
{
    TGridScrollState& s = d->scroll;
    // The thumb's position is the top row (left column) it brings.
    QString hint = (vertical ? QStringLiteral("Row : ") : QStringLiteral("Col : ")) + QString::number(position);
    if (OnScrollHint) OnScrollHint(this, position, hint);
    THTMLHintWindow* window = HintWindow();
    window->SetColor(d->hintColor);
    window->Font() = Font();
    TRect r = window->CalcHintRect(0, hint);
    const QPoint at = QCursor::pos();
    r.Offset(at.x() + 10, at.y());
    window->ActivateHint(r, hint);
    s.hintShown = true;
}

void TExtStringGrid::ThumbReleased(bool)
{
    TGridScrollState& s = d->scroll;
    if (!s.hintShown) return;
    s.hintShown = false;
    HintWindow()->hide();
}
