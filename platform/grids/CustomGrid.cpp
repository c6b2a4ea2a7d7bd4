#include "platform/grids/CustomGrid.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/grids/InplaceEdit.h"
#include "platform/kernel/Application.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <algorithm>

namespace {

// A scroll bar whose track may take a colour of its own: the colour fills
// the bar, and the style draws the arrows and the thumb over it.
class TGridScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;
    TColor track = clNone;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (track == clNone) {
            QScrollBar::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.fillRect(rect(), ToQColor(track));
        QStyleOptionSlider option;
        initStyleOption(&option);
        option.subControls =
            QStyle::SC_All & ~(QStyle::SC_ScrollBarGroove | QStyle::SC_ScrollBarAddPage | QStyle::SC_ScrollBarSubPage);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
    }
};

constexpr int kSizingMargin = 3; // pixels either side of a border that start sizing

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }
} // namespace

TCustomGrid::TCustomGrid(QWidget* parent, const QString& name) : TWinControlOf<QWidget>(parent, name, clWindow)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_vertBar = new TGridScrollBar(Qt::Vertical, this);
    m_horzBar = new TGridScrollBar(Qt::Horizontal, this);
    m_barWidth = m_vertBar->sizeHint().width();
    m_barHeight = m_horzBar->sizeHint().height();
    m_vertBar->setObjectName(QStringLiteral("VertScrollBar"));
    m_horzBar->setObjectName(QStringLiteral("HorzScrollBar"));
    m_vertBar->setFocusPolicy(Qt::NoFocus);
    m_horzBar->setFocusPolicy(Qt::NoFocus);
    m_vertBar->hide();
    m_horzBar->hide();
    // Without goThumbTracking the view moves when a dragged thumb is let go.
    m_vertBar->setTracking(false);
    m_horzBar->setTracking(false);
    QObject::connect(m_vertBar, &QScrollBar::valueChanged, this,
                     [this] { GuardedCall(this, [this] { ScrollBarMoved(); }); });
    QObject::connect(m_horzBar, &QScrollBar::valueChanged, this,
                     [this] { GuardedCall(this, [this] { ScrollBarMoved(); }); });
    QObject::connect(m_vertBar, &QScrollBar::sliderMoved, this,
                     [this](int position) { GuardedCall(this, [this, position] { ThumbTracking(true, position); }); });
    QObject::connect(m_horzBar, &QScrollBar::sliderMoved, this,
                     [this](int position) { GuardedCall(this, [this, position] { ThumbTracking(false, position); }); });
    QObject::connect(m_vertBar, &QScrollBar::sliderReleased, this,
                     [this] { GuardedCall(this, [this] { ThumbReleased(true); }); });
    QObject::connect(m_horzBar, &QScrollBar::sliderReleased, this,
                     [this] { GuardedCall(this, [this] { ThumbReleased(false); }); });
    SetBorderStyle(TBorderStyle::bsSingle);
}

TCustomGrid::~TCustomGrid() = default;

// ---------------------------------------------------------------------------
// Dimensions

void TCustomGrid::SetColCount(int value)
{
    value = std::max(value, 1);
    if (value == m_colCount) return;
    const int oldCols = m_colCount;
    if (value <= m_fixedCols) m_fixedCols = value - 1;
    m_colCount = value;
    if (!m_colWidths.empty()) m_colWidths.resize(size_t(value), m_defaultColWidth);
    m_leftCol = Clamp(m_leftCol, m_fixedCols, std::max(m_fixedCols, value - 1));
    m_current.X = Clamp(m_current.X, m_fixedCols, value - 1);
    m_anchor.X = Clamp(m_anchor.X, m_fixedCols, value - 1);
    SizeChanged(oldCols, m_rowCount);
    StepOutOfFixedCells();
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetRowCount(int value)
{
    value = std::max(value, 1);
    if (value == m_rowCount) return;
    const int oldRows = m_rowCount;
    if (value <= m_fixedRows) m_fixedRows = value - 1;
    m_rowCount = value;
    if (!m_rowHeights.empty()) m_rowHeights.resize(size_t(value), m_defaultRowHeight);
    m_topRow = Clamp(m_topRow, m_fixedRows, std::max(m_fixedRows, value - 1));
    m_current.Y = Clamp(m_current.Y, m_fixedRows, value - 1);
    m_anchor.Y = Clamp(m_anchor.Y, m_fixedRows, value - 1);
    SizeChanged(m_colCount, oldRows);
    StepOutOfFixedCells();
    UpdateScrollBars();
    InvalidateGrid();
}

// A count that moves fixed cells under the current cell or the anchor (footer
// rows, right columns) moves them onto the nearest cell before that is not
// fixed, up its column first, then from the columns to its left: so onto the
// last data cell. One with no such cell stays.
void TCustomGrid::StepOutOfFixedCells()
{
    m_current = OutOfFixedCells(m_current);
    m_anchor = OutOfFixedCells(m_anchor);
}

TGridCoord TCustomGrid::OutOfFixedCells(TGridCoord at)
{
    if (!IsFixed(at.X, at.Y)) return at;
    for (int c = at.X; c >= m_fixedCols; --c)
        for (int r = at.Y; r >= m_fixedRows; --r)
            if (!IsFixed(c, r)) return TGridCoord(c, r);
    return at;
}

void TCustomGrid::SetFixedCols(int value)
{
    if (value < 0) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (value >= m_colCount)
        throw EInvalidGridOperation(QStringLiteral("Fixed column count must be less than column count"));
    if (value == m_fixedCols) return;
    m_fixedCols = value;
    m_leftCol = std::max(m_leftCol, value);
    m_current.X = std::max(m_current.X, value);
    m_anchor.X = std::max(m_anchor.X, value);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetFixedRows(int value)
{
    if (value < 0) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (value >= m_rowCount) throw EInvalidGridOperation(QStringLiteral("Fixed row count must be less than row count"));
    if (value == m_fixedRows) return;
    m_fixedRows = value;
    m_topRow = std::max(m_topRow, value);
    m_current.Y = std::max(m_current.Y, value);
    m_anchor.Y = std::max(m_anchor.Y, value);
    UpdateScrollBars();
    InvalidateGrid();
}

void TCustomGrid::SetDefaultColWidth(int value)
{
    m_defaultColWidth = std::max(0, value);
    m_colWidths.clear();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int value)
{
    m_defaultRowHeight = std::max(0, value);
    m_rowHeights.clear();
    RowHeightsChanged();
}

int TCustomGrid::ColWidths(int col) const
{
    if (col < 0 || col >= m_colCount) return m_defaultColWidth;
    return m_colWidths.empty() ? m_defaultColWidth : m_colWidths[size_t(col)];
}

void TCustomGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= m_colCount) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    width = std::max(0, width);
    if (ColWidths(col) == width) return;
    if (m_colWidths.empty()) m_colWidths.assign(size_t(m_colCount), m_defaultColWidth);
    m_colWidths[size_t(col)] = width;
    ColWidthsChanged();
}

int TCustomGrid::RowHeights(int row) const
{
    if (row < 0 || row >= m_rowCount) return m_defaultRowHeight;
    return m_rowHeights.empty() ? m_defaultRowHeight : m_rowHeights[size_t(row)];
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= m_rowCount) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    height = std::max(0, height);
    if (RowHeights(row) == height) return;
    if (m_rowHeights.empty()) m_rowHeights.assign(size_t(m_rowCount), m_defaultRowHeight);
    m_rowHeights[size_t(row)] = height;
    RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int value)
{
    value = std::max(0, value);
    if (value == m_gridLineWidth) return;
    m_gridLineWidth = value;
    ColWidthsChanged();
}

void TCustomGrid::ColWidthsChanged()
{
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

void TCustomGrid::RowHeightsChanged()
{
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

void TCustomGrid::SizeChanged(int, int) { }

// ---------------------------------------------------------------------------
// Geometry

int TCustomGrid::GridWidth() const
{
    return std::max(0, ClientWidth() - (m_vertBar->isVisibleTo(this) ? m_barWidth : 0));
}

int TCustomGrid::GridHeight() const
{
    return std::max(0, ClientHeight() - (m_horzBar->isVisibleTo(this) ? m_barHeight : 0));
}

int TCustomGrid::FixedWidth() const
{
    if (m_colWidths.empty()) return m_fixedCols * (m_defaultColWidth + m_gridLineWidth);
    int w = 0;
    for (int c = 0; c < m_fixedCols; ++c) w += m_colWidths[size_t(c)] + m_gridLineWidth;
    return w;
}

int TCustomGrid::FixedHeight() const
{
    if (m_rowHeights.empty()) return m_fixedRows * (m_defaultRowHeight + m_gridLineWidth);
    int h = 0;
    for (int r = 0; r < m_fixedRows; ++r) h += m_rowHeights[size_t(r)] + m_gridLineWidth;
    return h;
}

int TCustomGrid::ColLeft(int col) const
{
    const int g = m_gridLineWidth;
    if (m_colWidths.empty()) {
        const int step = m_defaultColWidth + g;
        if (col < m_fixedCols) return col * step;
        return m_fixedCols * step + (col - m_leftCol) * step;
    }
    if (col < m_fixedCols) {
        int x = 0;
        for (int c = 0; c < col; ++c) x += m_colWidths[size_t(c)] + g;
        return x;
    }
    int x = FixedWidth();
    if (col >= m_leftCol) {
        for (int c = m_leftCol; c < col; ++c) x += ColWidths(c) + g;
    } else {
        for (int c = col; c < m_leftCol; ++c) x -= ColWidths(c) + g;
    }
    return x;
}

int TCustomGrid::RowTop(int row) const
{
    const int g = m_gridLineWidth;
    if (m_rowHeights.empty()) {
        const int step = m_defaultRowHeight + g;
        if (row < m_fixedRows) return row * step;
        return m_fixedRows * step + (row - m_topRow) * step;
    }
    if (row < m_fixedRows) {
        int y = 0;
        for (int r = 0; r < row; ++r) y += m_rowHeights[size_t(r)] + g;
        return y;
    }
    int y = FixedHeight();
    if (row >= m_topRow) {
        for (int r = m_topRow; r < row; ++r) y += RowHeights(r) + g;
    } else {
        for (int r = row; r < m_topRow; ++r) y -= RowHeights(r) + g;
    }
    return y;
}

TRect TCustomGrid::CellBounds(int col, int row) const
{
    const int x = ColLeft(col);
    const int y = RowTop(row);
    return TRect(x, y, x + ColWidths(col), y + RowHeights(row));
}

TRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount) return TRect();
    if (col >= m_fixedCols && col < m_leftCol) return TRect();
    if (row >= m_fixedRows && row < m_topRow) return TRect();
    // Cells beyond the view with sizes of their own: walk no further than
    // the view's edge.
    if (row >= m_fixedRows && !m_rowHeights.empty()) {
        const int bottom = GridHeight();
        int y = FixedHeight();
        for (int r = m_topRow; r < row; ++r)
            if ((y += RowHeights(r) + m_gridLineWidth) >= bottom) return TRect();
    }
    if (col >= m_fixedCols && !m_colWidths.empty()) {
        const int right = GridWidth();
        int x = FixedWidth();
        for (int c = m_leftCol; c < col; ++c)
            if ((x += ColWidths(c) + m_gridLineWidth) >= right) return TRect();
    }
    const TRect r = CellBounds(col, row);
    if (r.Left >= GridWidth() || r.Top >= GridHeight()) return TRect();
    return r;
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    const TGridCoord c = MouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    if (x < 0 || y < 0 || x >= GridWidth() || y >= GridHeight()) return TGridCoord(-1, -1);
    const int g = m_gridLineWidth;
    auto find = [g](int pos, int fixedCount, int fixedSize, int first, int count, auto size) {
        int start = 0;
        int from = 0;
        if (pos >= fixedSize) {
            start = fixedSize;
            from = first;
        } else {
            count = fixedCount;
        }
        for (int i = from; i < count; ++i) {
            start += size(i) + g;
            if (pos < start) return i;
        }
        return -1;
    };
    const int col = find(x, m_fixedCols, FixedWidth(), m_leftCol, m_colCount, [this](int c) { return ColWidths(c); });
    const int row = find(y, m_fixedRows, FixedHeight(), m_topRow, m_rowCount, [this](int r) { return RowHeights(r); });
    if (col < 0 || row < 0) return TGridCoord(-1, -1);
    return TGridCoord(col, row);
}

int TCustomGrid::VisibleColCount() const
{
    const int avail = GridWidth() - FixedWidth();
    int n = 0;
    int x = 0;
    for (int c = m_leftCol; c < m_colCount; ++c) {
        x += ColWidths(c) + m_gridLineWidth;
        if (x > avail + m_gridLineWidth) break;
        ++n;
    }
    return n;
}

int TCustomGrid::VisibleRowCount() const
{
    const int avail = GridHeight() - FixedHeight();
    if (m_rowHeights.empty()) {
        const int step = m_defaultRowHeight + m_gridLineWidth;
        if (step <= 0) return m_rowCount - m_topRow;
        const int fit = std::max(0, (avail + m_gridLineWidth) / step);
        return std::min(fit, m_rowCount - m_topRow);
    }
    int n = 0;
    int y = 0;
    for (int r = m_topRow; r < m_rowCount; ++r) {
        y += RowHeights(r) + m_gridLineWidth;
        if (y > avail + m_gridLineWidth) break;
        ++n;
    }
    return n;
}

int TCustomGrid::MaxTopRow() const
{
    const int avail = GridHeight() - FixedHeight();
    if (m_rowHeights.empty()) {
        const int step = m_defaultRowHeight + m_gridLineWidth;
        const int fit = step > 0 ? std::max(1, (avail + m_gridLineWidth) / step) : m_rowCount;
        return std::max(m_fixedRows, m_rowCount - fit);
    }
    int y = 0;
    int top = m_rowCount - 1;
    for (int r = m_rowCount - 1; r >= m_fixedRows; --r) {
        y += RowHeights(r) + m_gridLineWidth;
        if (y > avail + m_gridLineWidth) break;
        top = r;
    }
    return std::max(m_fixedRows, top);
}

int TCustomGrid::MaxLeftCol() const
{
    const int avail = GridWidth() - FixedWidth();
    int x = 0;
    int left = m_colCount - 1;
    for (int c = m_colCount - 1; c >= m_fixedCols; --c) {
        x += ColWidths(c) + m_gridLineWidth;
        if (x > avail + m_gridLineWidth) break;
        left = c;
    }
    return std::max(m_fixedCols, left);
}

// ---------------------------------------------------------------------------
// Scrolling

void TCustomGrid::SetTopRow(int value)
{
    value = Clamp(value, m_fixedRows, MaxTopRow());
    if (value == m_topRow) return;
    m_topRow = value;
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int value)
{
    value = Clamp(value, m_fixedCols, MaxLeftCol());
    if (value == m_leftCol) return;
    m_leftCol = value;
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged()
{
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::ScrollInView(int col, int row)
{
    if (row >= m_fixedRows && row < m_rowCount) {
        int top = m_topRow;
        if (row < top) {
            top = row;
        } else {
            // The lowest top row with which row is wholly visible.
            const int avail = GridHeight() - FixedHeight() + m_gridLineWidth;
            int y = 0;
            int first = row;
            for (int r = row; r >= m_fixedRows; --r) {
                y += RowHeights(r) + m_gridLineWidth;
                if (y > avail) break;
                first = r;
            }
            if (top < first) top = first;
        }
        SetTopRow(Clamp(top, m_fixedRows, MaxTopRow()));
    }
    if (col >= m_fixedCols && col < m_colCount) {
        int left = m_leftCol;
        if (col < left) {
            left = col;
        } else {
            const int avail = GridWidth() - FixedWidth() + m_gridLineWidth;
            int x = 0;
            int first = col;
            for (int c = col; c >= m_fixedCols; --c) {
                x += ColWidths(c) + m_gridLineWidth;
                if (x > avail) break;
                first = c;
            }
            if (left < first) left = first;
        }
        SetLeftCol(Clamp(left, m_fixedCols, MaxLeftCol()));
    }
}

void TCustomGrid::UpdateScrollBars()
{
    if (m_updatingBars) return;
    m_updatingBars = true;
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    // The bars' extents follow the style unless set; read here, not per
    // cell.
    m_barWidth = m_barExtent >= 0 ? m_barExtent : m_vertBar->sizeHint().width();
    m_barHeight = m_barExtent >= 0 ? m_barExtent : m_horzBar->sizeHint().height();
    const int bw = m_barWidth;
    const int bh = m_barHeight;
    // Twice: showing one bar may make the other necessary.
    for (int pass = 0; pass < 2; ++pass) {
        m_vertBar->setVisible(MaxTopRow() > m_fixedRows || m_topRow > m_fixedRows);
        m_horzBar->setVisible(MaxLeftCol() > m_fixedCols || m_leftCol > m_fixedCols);
    }
    const QPoint o = ClientOrigin();
    const bool v = m_vertBar->isVisibleTo(this);
    const bool h = m_horzBar->isVisibleTo(this);
    if (v) m_vertBar->setGeometry(o.x() + cw - bw, o.y(), bw, std::max(0, ch - (h ? bh : 0)));
    if (h) m_horzBar->setGeometry(o.x(), o.y() + ch - bh, std::max(0, cw - (v ? bw : 0)), bh);
    m_vertBar->setRange(m_fixedRows, std::max(m_fixedRows, MaxTopRow()));
    m_vertBar->setPageStep(std::max(1, VisibleRowCount()));
    m_vertBar->setValue(m_topRow);
    m_horzBar->setRange(m_fixedCols, std::max(m_fixedCols, MaxLeftCol()));
    m_horzBar->setPageStep(std::max(1, VisibleColCount()));
    m_horzBar->setValue(m_leftCol);
    m_updatingBars = false;
}

void TCustomGrid::SetScrollBarColor(TColor value)
{
    for (QScrollBar* bar : {m_vertBar, m_horzBar}) {
        static_cast<TGridScrollBar*>(bar)->track = value;
        bar->update();
    }
}

TColor TCustomGrid::ScrollBarColor() const { return static_cast<TGridScrollBar*>(m_vertBar)->track; }

void TCustomGrid::SetScrollBarExtent(int value)
{
    value = value < 0 ? -1 : std::min(value, kMaxScrollBarExtent);
    if (value == m_barExtent) return;
    m_barExtent = value;
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

void TCustomGrid::ScrollBarMoved()
{
    if (m_updatingBars) return;
    SetTopRow(m_vertBar->value());
    SetLeftCol(m_horzBar->value());
}

void TCustomGrid::Resize()
{
    UpdateScrollBars();
    UpdateEditor();
}

// ---------------------------------------------------------------------------
// Current cell and selection

void TCustomGrid::SetCol(int value) { FocusCell(value, m_current.Y); }
void TCustomGrid::SetRow(int value) { FocusCell(m_current.X, value); }

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    col = Clamp(col, m_fixedCols, m_colCount - 1);
    row = Clamp(row, m_fixedRows, m_rowCount - 1);
    MoveCurrent(col, row, moveAnchor, true);
}

bool TCustomGrid::SelectCell(int col, int row)
{
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

void TCustomGrid::MoveCurrent(int col, int row, bool moveAnchor, bool show)
{
    if (!m_options.Contains(TGridOption::goRangeSelect)) moveAnchor = true;
    const TGridRect before = Selection();
    if (col != m_current.X || row != m_current.Y) {
        if (!SelectCell(col, row)) return;
        HideEditor();
    }
    m_current = TGridCoord(col, row);
    m_selectNothing = false;
    if (moveAnchor) m_anchor = m_current;
    if (show) ScrollInView(col, row);
    InvalidateSelection(before, Selection());
    if (m_options.Contains(TGridOption::goAlwaysShowEditor)) ShowEditor();
}

TGridRect TCustomGrid::Selection() const
{
    if (m_selectNothing) return TGridRect(m_colCount, m_rowCount, m_colCount, m_rowCount);
    TGridRect s(std::min(m_anchor.X, m_current.X), std::min(m_anchor.Y, m_current.Y), std::max(m_anchor.X, m_current.X),
                std::max(m_anchor.Y, m_current.Y));
    if (m_options.Contains(TGridOption::goRowSelect)) {
        s.Left = m_fixedCols;
        s.Right = m_colCount - 1;
    }
    return s;
}

void TCustomGrid::SetSelection(const TGridRect& value)
{
    const TGridRect before = Selection();
    // The corners keep off fixed cells (footer rows, right columns): a whole
    // row or column selected ends on its last data cell.
    const TGridCoord current = OutOfFixedCells(
        TGridCoord(Clamp(value.Right, m_fixedCols, m_colCount - 1), Clamp(value.Bottom, m_fixedRows, m_rowCount - 1)));
    // An edit ends in its own cell before the current cell moves away.
    if (current != m_current) HideEditor();
    m_selectNothing = false;
    m_anchor = OutOfFixedCells(
        TGridCoord(Clamp(value.Left, m_fixedCols, m_colCount - 1), Clamp(value.Top, m_fixedRows, m_rowCount - 1)));
    m_current = current;
    InvalidateSelection(before, Selection());
}

void TCustomGrid::SelectNothing()
{
    if (m_selectNothing) return;
    const TGridRect before = Selection();
    m_selectNothing = true;
    InvalidateSelection(before, before);
}

void TCustomGrid::SetOptions(TGridOptions value)
{
    if (value == m_options) return;
    m_options = value;
    const bool tracking = m_options.Contains(TGridOption::goThumbTracking);
    m_vertBar->setTracking(tracking);
    m_horzBar->setTracking(tracking);
    if (m_options.Contains(TGridOption::goRowSelect)) HideEditor();
    InvalidateGrid();
}

TRect TCustomGrid::BoxRect(const TGridRect& cells) const
{
    // The union of the visible parts of the block.
    const int right = std::min(cells.Right, m_colCount - 1);
    const int bottom = std::min(cells.Bottom, m_rowCount - 1);
    const int left = std::max(cells.Left, m_leftCol);
    const int top = std::max(cells.Top, m_topRow);
    if (left > right || top > bottom) return TRect();
    const TRect a = CellBounds(left, top);
    const TRect b = CellBounds(right, bottom);
    return TRect(a.Left, a.Top, b.Right + m_gridLineWidth, b.Bottom + m_gridLineWidth)
        .Intersected(TRect(0, 0, GridWidth(), GridHeight()));
}

void TCustomGrid::InvalidateSelection(const TGridRect& before, const TGridRect& after)
{
    InvalidateRect(BoxRect(before));
    InvalidateRect(BoxRect(after));
}

// ---------------------------------------------------------------------------
// Invalidation

void TCustomGrid::InvalidateRect(const TRect& r)
{
    if (r.IsEmpty()) return;
    const QPoint o = ClientOrigin();
    update(r.ToQRect().translated(o));
}

bool TCustomGrid::PaintPending() const { return !isVisible() || UpdatesSuspended(); }

void TCustomGrid::InvalidateCell(int col, int row)
{
    if (PaintPending()) return;
    const TRect r = CellRect(col, row);
    if (!r.IsEmpty()) InvalidateRect(r.Inflated(m_gridLineWidth, m_gridLineWidth));
}

void TCustomGrid::InvalidateRow(int row)
{
    if (PaintPending()) return;
    if (row < 0 || row >= m_rowCount) return;
    if (row >= m_fixedRows && row < m_topRow) return;
    const int y = RowTop(row);
    InvalidateRect(TRect(0, y, GridWidth(), y + RowHeights(row) + m_gridLineWidth));
}

void TCustomGrid::InvalidateCol(int col)
{
    if (PaintPending()) return;
    if (col < 0 || col >= m_colCount) return;
    if (col >= m_fixedCols && col < m_leftCol) return;
    const int x = ColLeft(col);
    InvalidateRect(TRect(x, 0, x + ColWidths(col) + m_gridLineWidth, GridHeight()));
}

void TCustomGrid::InvalidateGrid() { InvalidateRect(TRect(0, 0, ClientWidth(), ClientHeight())); }

// ---------------------------------------------------------------------------
// Painting

void TCustomGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QPoint o = ClientOrigin();
    painter.translate(o);
    painter.setClipRect(QRect(0, 0, ClientWidth(), ClientHeight()));
    TPainterCanvas canvas(&painter);
    canvas.Font() = Font();
    PaintTo(canvas, TRect::FromQRect(event->rect().translated(-o)));
}

void TCustomGrid::PaintTo(TCanvas& canvas, const TRect& updateRect)
{
    TCanvas* const savedCanvas = m_canvas;
    const TRect savedRect = m_updateRect;
    m_canvas = &canvas;
    m_updateRect = updateRect;
    try {
        Paint();
    } catch (...) {
        m_canvas = savedCanvas;
        m_updateRect = savedRect;
        throw;
    }
    m_canvas = savedCanvas;
    m_updateRect = savedRect;
}

void TCustomGrid::Paint()
{
    TCanvas& canvas = *m_canvas;
    const TRect area(0, 0, GridWidth(), GridHeight());
    const TRect upd = m_updateRect.Intersected(area);
    const int g = m_gridLineWidth;
    const bool focused = hasFocus();
    const TGridRect sel = Selection();
    int lastRight = 0;
    int lastBottom = 0;
    canvas.SaveClip();
    canvas.IntersectClipRect(area);

    if (!upd.IsEmpty()) {
        // First scrolling row that reaches the update rectangle, without
        // walking the rows above it.
        int firstRow = m_topRow;
        if (m_rowHeights.empty() && m_defaultRowHeight + g > 0) {
            const int skip = (upd.Top - FixedHeight()) / (m_defaultRowHeight + g);
            if (skip > 0) firstRow = std::min(m_rowCount, m_topRow + skip);
        }
        auto walkRow = [&](int row, int y) {
            const int h = RowHeights(row);
            int x = 0;
            for (int col = 0; col < m_colCount; ++col) {
                if (col == m_fixedCols) {
                    col = std::max(col, m_leftCol);
                    if (col >= m_colCount) break;
                }
                const int w = ColWidths(col);
                if (x >= upd.Right) break;
                if (x + w + g > upd.Left) {
                    const TRect r(x, y, x + w, y + h);
                    const bool fixed = col < m_fixedCols || row < m_fixedRows;
                    TGridDrawState state;
                    if (fixed)
                        state += TGridDrawStateItem::gdFixed;
                    else if (sel.Contains(col, row))
                        state += TGridDrawStateItem::gdSelected;
                    if (!fixed && focused && !m_selectNothing && col == m_current.X && row == m_current.Y)
                        state += TGridDrawStateItem::gdFocused;
                    DrawCell(col, row, r, state);
                    if (g > 0) {
                        const TColor line = fixed ? clBlack : clSilver;
                        const bool vert =
                            m_options.Contains(fixed ? TGridOption::goFixedVertLine : TGridOption::goVertLine);
                        const bool horz =
                            m_options.Contains(fixed ? TGridOption::goFixedHorzLine : TGridOption::goHorzLine);
                        canvas.Brush().SetColor(vert ? line : Color());
                        canvas.FillRect(TRect(r.Right, r.Top, r.Right + g, r.Bottom + g));
                        canvas.Brush().SetColor(horz ? line : Color());
                        canvas.FillRect(TRect(r.Left, r.Bottom, r.Right, r.Bottom + g));
                    }
                }
                x += w + g;
                lastRight = std::max(lastRight, x);
            }
            lastRight = std::max(lastRight, x);
        };
        int y = 0;
        for (int row = 0; row < m_fixedRows && y < upd.Bottom; ++row) {
            if (y + RowHeights(row) + g > upd.Top) walkRow(row, y);
            y += RowHeights(row) + g;
        }
        y = RowTop(firstRow);
        for (int row = firstRow; row < m_rowCount && y < upd.Bottom; ++row) {
            const int h = RowHeights(row);
            if (y + h + g > upd.Top) walkRow(row, y);
            y += h + g;
        }
        lastBottom = y;
        if (m_rowCount > 0 && lastRight == 0) lastRight = ColLeft(m_colCount - 1) + ColWidths(m_colCount - 1) + g;
        // What lies beyond the last column and row.
        canvas.Brush().SetColor(Color());
        if (lastRight < upd.Right)
            canvas.FillRect(TRect(std::max(lastRight, upd.Left), upd.Top, upd.Right, upd.Bottom));
        if (lastBottom < upd.Bottom)
            canvas.FillRect(TRect(upd.Left, std::max(lastBottom, upd.Top), upd.Right, upd.Bottom));
    }
    canvas.RestoreClip();

    // The corner between the scroll bars.
    if (m_vertBar->isVisibleTo(this) && m_horzBar->isVisibleTo(this)) {
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(TRect(area.Right, area.Bottom, ClientWidth(), ClientHeight()));
    }
    for (int x : m_sizingLines) PaintSizingLine(x);
}

void TCustomGrid::PaintSizingLine(int x)
{
    TCanvas& canvas = *m_canvas;
    const TPen saved = canvas.Pen();
    canvas.Pen().SetColor(clBlack);
    canvas.Pen().SetStyle(TPenStyle::psDot);
    canvas.Pen().SetMode(TPenMode::pmXor);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(x, 0);
    canvas.LineTo(x, GridHeight());
    canvas.Pen() = saved;
}

void TCustomGrid::DrawCell(int col, int row, TRect rect, TGridDrawState state)
{
    if (m_defaultDrawing && m_canvas) {
        TCanvas& canvas = *m_canvas;
        if (state.Contains(TGridDrawStateItem::gdFixed))
            canvas.Brush().SetColor(m_fixedColor);
        else if (state.Contains(TGridDrawStateItem::gdSelected) && !state.Contains(TGridDrawStateItem::gdFocused))
            canvas.Brush().SetColor(clHighlight);
        else
            canvas.Brush().SetColor(Color());
        canvas.FillRect(rect);
        if (state.Contains(TGridDrawStateItem::gdFocused)) canvas.DrawFocusRect(rect);
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TCustomGrid::SetDefaultDrawing(bool value)
{
    if (value == m_defaultDrawing) return;
    m_defaultDrawing = value;
    InvalidateGrid();
}

void TCustomGrid::SetFixedColor(TColor value)
{
    if (value == m_fixedColor) return;
    m_fixedColor = value;
    InvalidateGrid();
}

void TCustomGrid::DrawSizingLine(int x)
{
    auto it = std::find(m_sizingLines.begin(), m_sizingLines.end(), x);
    if (it != m_sizingLines.end())
        m_sizingLines.erase(it);
    else
        m_sizingLines.push_back(x);
    InvalidateRect(TRect(x - 1, 0, x + 2, ClientHeight()));
}

// ---------------------------------------------------------------------------
// Moving, inserting, deleting

void TCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= m_colCount || toIndex >= m_colCount)
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (fromIndex == toIndex) return;
    HideEditor();
    if (!m_colWidths.empty()) {
        auto first = m_colWidths.begin();
        if (fromIndex < toIndex)
            std::rotate(first + fromIndex, first + fromIndex + 1, first + toIndex + 1);
        else
            std::rotate(first + toIndex, first + fromIndex, first + fromIndex + 1);
    }
    auto shift = [&](int& c) {
        if (c == fromIndex)
            c = toIndex;
        else if (fromIndex < toIndex && c > fromIndex && c <= toIndex)
            --c;
        else if (fromIndex > toIndex && c >= toIndex && c < fromIndex)
            ++c;
    };
    shift(m_current.X);
    shift(m_anchor.X);
    ColumnMoved(fromIndex, toIndex);
    InvalidateGrid();
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= m_rowCount || toIndex >= m_rowCount)
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (fromIndex == toIndex) return;
    HideEditor();
    if (!m_rowHeights.empty()) {
        auto first = m_rowHeights.begin();
        if (fromIndex < toIndex)
            std::rotate(first + fromIndex, first + fromIndex + 1, first + toIndex + 1);
        else
            std::rotate(first + toIndex, first + fromIndex, first + fromIndex + 1);
    }
    auto shift = [&](int& r) {
        if (r == fromIndex)
            r = toIndex;
        else if (fromIndex < toIndex && r > fromIndex && r <= toIndex)
            --r;
        else if (fromIndex > toIndex && r >= toIndex && r < fromIndex)
            ++r;
    };
    shift(m_current.Y);
    shift(m_anchor.Y);
    RowMoved(fromIndex, toIndex);
    InvalidateGrid();
}

void TCustomGrid::ColumnMoved(int fromIndex, int toIndex)
{
    if (OnColumnMoved) OnColumnMoved(this, fromIndex, toIndex);
}

void TCustomGrid::RowMoved(int fromIndex, int toIndex)
{
    if (OnRowMoved) OnRowMoved(this, fromIndex, toIndex);
}

void TCustomGrid::DeleteColumn(int index)
{
    if (index < 0 || index >= m_colCount) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (m_colCount == 1) return; // counts never fall below 1
    HideEditor();
    if (!m_colWidths.empty()) m_colWidths.erase(m_colWidths.begin() + index);
    if (m_current.X > index) --m_current.X;
    if (m_anchor.X > index) --m_anchor.X;
    SetColCount(m_colCount - 1);
    InvalidateGrid();
}

void TCustomGrid::DeleteRow(int index) { DeleteRowRange(index, 1); }

void TCustomGrid::DeleteRowRange(int index, int count)
{
    if (index < 0 || index >= m_rowCount) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    count = std::min({count, m_rowCount - index, m_rowCount - 1});
    if (count < 1) return;
    HideEditor();
    if (!m_rowHeights.empty()) m_rowHeights.erase(m_rowHeights.begin() + index, m_rowHeights.begin() + index + count);
    const auto shift = [&](int& y) {
        if (y >= index + count)
            y -= count;
        else if (y > index)
            y = index;
    };
    shift(m_current.Y);
    shift(m_anchor.Y);
    SetRowCount(m_rowCount - count);
    InvalidateGrid();
}

void TCustomGrid::InsertColumn(int index)
{
    if (index < 0 || index > m_colCount) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    HideEditor();
    std::vector<int> widths = m_colWidths;
    if (!widths.empty()) widths.insert(widths.begin() + index, m_defaultColWidth);
    SetColCount(m_colCount + 1);
    if (!widths.empty()) m_colWidths = widths;
    if (m_current.X >= index && m_current.X + 1 < m_colCount) ++m_current.X;
    if (m_anchor.X >= index && m_anchor.X + 1 < m_colCount) ++m_anchor.X;
    InvalidateGrid();
}

void TCustomGrid::InsertRow(int index) { InsertRowRange(index, 1); }

void TCustomGrid::InsertRowRange(int index, int count)
{
    if (index < 0 || index > m_rowCount) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    if (count < 1) return;
    HideEditor();
    std::vector<int> heights = m_rowHeights;
    if (!heights.empty()) heights.insert(heights.begin() + index, size_t(count), m_defaultRowHeight);
    SetRowCount(m_rowCount + count);
    if (!heights.empty()) m_rowHeights = std::move(heights);
    if (m_current.Y >= index && m_current.Y + count < m_rowCount) m_current.Y += count;
    if (m_anchor.Y >= index && m_anchor.Y + count < m_rowCount) m_anchor.Y += count;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Editing

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditShow()
{
    return m_options.Contains(TGridOption::goEditing) && !m_options.Contains(TGridOption::goRowSelect) &&
        m_current.X >= m_fixedCols && m_current.Y >= m_fixedRows;
}

QString TCustomGrid::GetEditText(int col, int row)
{
    QString value;
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TCustomGrid::SetEditText(int col, int row, const QString& value)
{
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

bool TCustomGrid::EditorMode() const { return m_editorShown; }

void TCustomGrid::SetEditorMode(bool value)
{
    if (value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    if (m_editorShown || !CanEditShow()) return;
    ScrollInView(m_current.X, m_current.Y);
    if (!m_editor) m_editor = CreateEditor();
    if (!m_editor) return;
    m_editorShown = true;
    m_editor->ShowAt(CellRect(m_current.X, m_current.Y), GetEditText(m_current.X, m_current.Y));
}

void TCustomGrid::HideEditor()
{
    if (!m_editorShown) return;
    m_editorShown = false;
    if (m_editor->TextChanged()) SetEditText(m_current.X, m_current.Y, m_editor->Text());
    m_editor->HideEdit();
    InvalidateCell(m_current.X, m_current.Y);
    EditorHidden();
}

void TCustomGrid::UpdateEditor()
{
    if (m_editorShown && m_editor) m_editor->Move(CellRect(m_current.X, m_current.Y));
}

// ---------------------------------------------------------------------------
// Keys

bool TCustomGrid::WantKey(int vk, TShiftState shift) const
{
    switch (vk) {
    case Win::VK_LEFT:
    case Win::VK_RIGHT:
    case Win::VK_UP:
    case Win::VK_DOWN:
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_HOME:
    case Win::VK_END:
    case Win::VK_RETURN: return true;
    default: return TWinControlOf<QWidget>::WantKey(vk, shift);
    }
}

void TCustomGrid::KeyDown(int& key, TShiftState shift)
{
    TWinControlOf<QWidget>::KeyDown(key, shift);
    if (key == 0) return;
    const bool ctrl = shift.Contains(TShiftStateItem::ssCtrl);
    const bool extend = shift.Contains(TShiftStateItem::ssShift) && m_options.Contains(TGridOption::goRangeSelect) &&
        !m_options.Contains(TGridOption::goRowSelect);
    int col = m_current.X;
    int row = m_current.Y;
    const int page = std::max(1, VisibleRowCount());
    const bool rowSelect = m_options.Contains(TGridOption::goRowSelect);
    switch (key) {
    case Win::VK_UP: --row; break;
    case Win::VK_DOWN: ++row; break;
    case Win::VK_LEFT:
        if (rowSelect) {
            SetLeftCol(m_leftCol - 1);
            key = 0;
            return;
        }
        --col;
        break;
    case Win::VK_RIGHT:
        if (rowSelect) {
            SetLeftCol(m_leftCol + 1);
            key = 0;
            return;
        }
        ++col;
        break;
    case Win::VK_PRIOR:
        SetTopRow(m_topRow - page);
        row -= page;
        break;
    case Win::VK_NEXT:
        SetTopRow(m_topRow + page);
        row += page;
        break;
    case Win::VK_HOME:
        if (ctrl) row = m_fixedRows;
        col = m_fixedCols;
        break;
    case Win::VK_END:
        if (ctrl) row = m_rowCount - 1;
        col = m_colCount - 1;
        break;
    case Win::VK_TAB:
        if (!m_options.Contains(TGridOption::goTabs)) return;
        if (shift.Contains(TShiftStateItem::ssShift)) {
            if (--col < m_fixedCols) {
                col = m_colCount - 1;
                --row;
            }
            if (row < m_fixedRows) { row = m_rowCount - 1; }
        } else {
            if (++col >= m_colCount) {
                col = m_fixedCols;
                ++row;
            }
            if (row >= m_rowCount) { row = m_fixedRows; }
        }
        break;
    case Win::VK_F2:
        ShowEditor();
        key = 0;
        return;
    case Win::VK_RETURN:
        if (m_options.Contains(TGridOption::goEditing)) {
            if (m_editorShown)
                HideEditor();
            else
                ShowEditor();
            key = 0;
        }
        return;
    default: return;
    }
    key = 0;
    FocusCell(col, row, !extend);
}

void TCustomGrid::KeyPress(TKeyChar& key)
{
    TWinControlOf<QWidget>::KeyPress(key);
    if (key < 32 || m_editorShown || !m_options.Contains(TGridOption::goEditing)) return;
    ShowEditorWithChar(key);
    key = 0;
}

void TCustomGrid::ShowEditorWithChar(TKeyChar ch)
{
    ShowEditor();
    if (m_editorShown && m_editor) {
        // A backspace typed over the whole text selected leaves it empty.
        m_editor->SetText(ch == '\b' ? QString() : KeyCharText(ch));
        m_editor->SetSelStart(m_editor->Text().size());
    }
}

// ---------------------------------------------------------------------------
// Mouse

int TCustomGrid::ColumnBorderAt(int x, int y) const
{
    if (y < 0 || y >= FixedHeight()) return -1;
    for (int c = 0; c < m_colCount; ++c) {
        if (c >= m_fixedCols && c < m_leftCol) continue;
        const int right = ColLeft(c) + ColWidths(c);
        if (right - kSizingMargin > GridWidth()) break;
        if (std::abs(x - right) <= kSizingMargin) return c;
    }
    return -1;
}

int TCustomGrid::RowBorderAt(int x, int y) const
{
    if (x < 0 || x >= FixedWidth()) return -1;
    for (int r = 0; r < m_rowCount; ++r) {
        if (r >= m_fixedRows && r < m_topRow) continue;
        const int bottom = RowTop(r) + RowHeights(r);
        if (bottom - kSizingMargin > GridHeight()) break;
        if (std::abs(y - bottom) <= kSizingMargin) return r;
    }
    return -1;
}

void TCustomGrid::CalcSizingState(int x, int y, TGridState& state, int& index)
{
    state = TGridState::gsNormal;
    index = -1;
    if (m_options.Contains(TGridOption::goColSizing) && (index = ColumnBorderAt(x, y)) >= 0)
        state = TGridState::gsColSizing;
    else if (m_options.Contains(TGridOption::goRowSizing) && (index = RowBorderAt(x, y)) >= 0)
        state = TGridState::gsRowSizing;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (CanFocus() && !hasFocus()) setFocus(Qt::MouseFocusReason);
    if (button == TMouseButton::mbLeft) {
        if (m_options.Contains(TGridOption::goColSizing) && (m_gestureIndex = ColumnBorderAt(x, y)) >= 0) {
            m_gesture = Gesture::ColSizing;
            m_gestureStart = ColLeft(m_gestureIndex);
            m_gestureLine = x;
            DrawSizingLine(x);
        } else if (m_options.Contains(TGridOption::goRowSizing) && (m_gestureIndex = RowBorderAt(x, y)) >= 0) {
            m_gesture = Gesture::RowSizing;
            m_gestureStart = RowTop(m_gestureIndex);
        } else {
            const TGridCoord c = MouseCoord(x, y);
            if (c.X >= 0 && c.Y < m_fixedRows && c.X >= m_fixedCols && m_options.Contains(TGridOption::goColMoving)) {
                m_gesture = Gesture::ColMoving;
                m_gestureIndex = c.X;
                m_gestureLine = ColLeft(c.X);
                DrawSizingLine(m_gestureLine);
            } else if (c.Y >= 0 && c.X < m_fixedCols && c.Y >= m_fixedRows &&
                       m_options.Contains(TGridOption::goRowMoving)) {
                m_gesture = Gesture::RowMoving;
                m_gestureIndex = c.Y;
            } else if (c.X >= m_fixedCols && c.Y >= m_fixedRows) {
                const bool wasCurrent = c.X == m_current.X && c.Y == m_current.Y;
                m_gesture = Gesture::Selecting;
                FocusCell(
                    c.X, c.Y,
                    !(shift.Contains(TShiftStateItem::ssShift) && m_options.Contains(TGridOption::goRangeSelect)));
                if (wasCurrent && m_options.Contains(TGridOption::goEditing) &&
                    !shift.Contains(TShiftStateItem::ssDouble))
                    ShowEditor();
            }
        }
    }
    TWinControlOf<QWidget>::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    switch (m_gesture) {
    case Gesture::ColSizing: {
        const int nx = std::max(x, m_gestureStart + 1);
        if (nx != m_gestureLine) {
            DrawSizingLine(m_gestureLine);
            m_gestureLine = nx;
            DrawSizingLine(nx);
        }
        break;
    }
    case Gesture::RowSizing: SetRowHeights(m_gestureIndex, std::max(0, y - m_gestureStart)); break;
    case Gesture::ColMoving: {
        const TGridCoord c = MouseCoord(std::max(x, FixedWidth()), 0);
        if (c.X >= m_fixedCols) {
            const int nx = c.X > m_gestureIndex ? ColLeft(c.X) + ColWidths(c.X) : ColLeft(c.X);
            if (nx != m_gestureLine) {
                DrawSizingLine(m_gestureLine);
                m_gestureLine = nx;
                DrawSizingLine(nx);
            }
        }
        break;
    }
    case Gesture::Selecting: {
        if (!m_options.Contains(TGridOption::goRangeSelect)) break;
        const TGridCoord c = MouseCoord(x, y);
        if (c.X >= m_fixedCols && c.Y >= m_fixedRows && (c.X != m_current.X || c.Y != m_current.Y))
            MoveCurrent(c.X, c.Y, false, true);
        break;
    }
    default: break;
    }
    TWinControlOf<QWidget>::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const Gesture gesture = m_gesture;
    m_gesture = Gesture::None;
    switch (gesture) {
    case Gesture::ColSizing:
        DrawSizingLine(m_gestureLine);
        SetColWidths(m_gestureIndex, std::max(0, m_gestureLine - m_gestureStart));
        break;
    case Gesture::ColMoving: {
        DrawSizingLine(m_gestureLine);
        const TGridCoord c = MouseCoord(std::max(x, FixedWidth()), 0);
        if (c.X >= m_fixedCols && c.X != m_gestureIndex) MoveColumn(m_gestureIndex, c.X);
        break;
    }
    case Gesture::RowMoving: {
        const TGridCoord c = MouseCoord(0, std::max(y, FixedHeight()));
        if (c.Y >= m_fixedRows && c.Y != m_gestureIndex) MoveRow(m_gestureIndex, c.Y);
        break;
    }
    default: break;
    }
    m_gestureLine = -1;
    TWinControlOf<QWidget>::MouseUp(button, shift, x, y);
}

void TCustomGrid::EndSelecting()
{
    if (m_gesture == Gesture::Selecting) m_gesture = Gesture::None;
}

void TCustomGrid::BeginSelecting()
{
    if (m_gesture == Gesture::None) m_gesture = Gesture::Selecting;
}

void TCustomGrid::DblClick()
{
    TWinControlOf<QWidget>::DblClick();
    if (m_options.Contains(TGridOption::goEditing)) ShowEditor();
}

bool TCustomGrid::DoMouseWheelDown(TShiftState, TPoint)
{
    if (m_current.Y < m_rowCount - 1) FocusCell(m_current.X, m_current.Y + 1);
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState, TPoint)
{
    if (m_current.Y > m_fixedRows) FocusCell(m_current.X, m_current.Y - 1);
    return true;
}

void TCustomGrid::wheelEvent(QWheelEvent* event)
{
    const int dy = event->angleDelta().y();
    if (dy == 0) return TWinControlOf<QWidget>::wheelEvent(event);
    const QPoint p = event->position().toPoint() - ClientOrigin();
    const TShiftState shift = ShiftStateFromQt(event->modifiers(), event->buttons());
    const int notches = std::max(1, std::abs(dy) / 120);
    for (int i = 0; i < notches; ++i) {
        if (dy < 0)
            DoMouseWheelDown(shift, TPoint(p.x(), p.y()));
        else
            DoMouseWheelUp(shift, TPoint(p.x(), p.y()));
    }
    event->accept();
}
