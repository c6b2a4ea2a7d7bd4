#include "platform/grids/StringGrid.h"

#include <QStringList>
#include <algorithm>

TStringGrid::TStringGrid(QWidget* parent, const QString& name) : TCustomGrid(parent, name)
{
    m_rows.resize(size_t(RowCount()));
}

TStringGrid::~TStringGrid() = default;

TStringGrid::RowData& TStringGrid::RowAt(int row)
{
    if (row < 0 || row >= int(m_rows.size()) || row >= RowCount())
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    return m_rows[size_t(row)];
}

QString TStringGrid::Cells(int col, int row) const
{
    if (row < 0 || col < 0 || row >= int(m_rows.size())) return QString();
    const RowData& r = m_rows[size_t(row)];
    return size_t(col) < r.Texts.size() ? r.Texts[size_t(col)] : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& value)
{
    SetCells(col, row, QString(value)); // a shared copy: no characters are copied
}

void TStringGrid::SetCells(int col, int row, QString&& value)
{
    if (col < 0) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    RowData& r = RowAt(row);
    if (size_t(col) >= r.Texts.size()) {
        if (value.isEmpty()) return;
        r.Texts.resize(size_t(col) + 1);
    }
    if (r.Texts[size_t(col)] == value) return;
    r.Texts[size_t(col)] = std::move(value);
    CellChanged(col, row);
}

TObject* TStringGrid::Objects(int col, int row) const
{
    if (row < 0 || col < 0 || row >= int(m_rows.size())) return nullptr;
    const RowData& r = m_rows[size_t(row)];
    return size_t(col) < r.Objects.size() ? r.Objects[size_t(col)] : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* object)
{
    ++m_objectsStamp;
    if (col < 0) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    RowData& r = RowAt(row);
    if (size_t(col) >= r.Objects.size()) {
        if (!object) return;
        r.Objects.resize(size_t(col) + 1, nullptr);
    }
    r.Objects[size_t(col)] = object;
}

QStringList TStringGrid::RowTexts(int row) const
{
    QStringList list;
    if (row < 0 || row >= int(m_rows.size())) return list;
    for (const QString& s : m_rows[size_t(row)].Texts) list << s;
    return list;
}

int TStringGrid::StoredCols(int row) const
{
    if (row < 0 || row >= int(m_rows.size())) return 0;
    const RowData& r = m_rows[size_t(row)];
    return int(std::max(r.Texts.size(), r.Objects.size()));
}

void TStringGrid::ReserveCols(int first, int last, int cols)
{
    first = std::max(0, first);
    last = std::min(last, int(m_rows.size()) - 1);
    for (int r = first; r <= last; ++r) m_rows[size_t(r)].Texts.reserve(size_t(std::max(0, cols)));
}

void TStringGrid::SwapRowCells(int row, TRowCells& cells)
{
    std::swap(RowAt(row), cells);
    InvalidateRow(row);
}

void TStringGrid::CellChanged(int col, int row) { InvalidateCell(col, row); }

void TStringGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    ++m_objectsStamp;
    m_rows.resize(size_t(RowCount()));
    TCustomGrid::SizeChanged(oldColCount, oldRowCount);
}

namespace {
template <class T>
void MoveItem(std::vector<T>& v, int from, int to)
{
    const size_t need = size_t(std::max(from, to)) + 1;
    if (v.size() <= size_t(from) && v.size() <= size_t(to)) return; // both empty
    if (v.size() < need) v.resize(need);
    auto first = v.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}
} // namespace

void TStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    ++m_objectsStamp;
    for (RowData& r : m_rows) {
        MoveItem(r.Texts, fromIndex, toIndex);
        MoveItem(r.Objects, fromIndex, toIndex);
    }
    TCustomGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringGrid::RowMoved(int fromIndex, int toIndex)
{
    ++m_objectsStamp;
    MoveItem(m_rows, fromIndex, toIndex);
    TCustomGrid::RowMoved(fromIndex, toIndex);
}

void TStringGrid::DeleteColumn(int index)
{
    ++m_objectsStamp;
    if (ColCount() <= 1 || index < 0 || index >= ColCount()) return TCustomGrid::DeleteColumn(index);
    for (RowData& r : m_rows) {
        if (size_t(index) < r.Texts.size()) r.Texts.erase(r.Texts.begin() + index);
        if (size_t(index) < r.Objects.size()) r.Objects.erase(r.Objects.begin() + index);
    }
    TCustomGrid::DeleteColumn(index);
}

void TStringGrid::InsertColumn(int index)
{
    ++m_objectsStamp;
    if (index >= 0 && index <= ColCount()) {
        for (RowData& r : m_rows) {
            if (size_t(index) < r.Texts.size()) r.Texts.insert(r.Texts.begin() + index, QString());
            if (size_t(index) < r.Objects.size()) r.Objects.insert(r.Objects.begin() + index, nullptr);
        }
    }
    TCustomGrid::InsertColumn(index);
}

void TStringGrid::DeleteRowRange(int index, int count)
{
    ++m_objectsStamp;
    const int n = std::min({count, RowCount() - index, RowCount() - 1});
    if (index >= 0 && index < RowCount() && n > 0 && size_t(index + n) <= m_rows.size())
        m_rows.erase(m_rows.begin() + index, m_rows.begin() + index + n);
    TCustomGrid::DeleteRowRange(index, count);
}

void TStringGrid::InsertRowRange(int index, int count)
{
    ++m_objectsStamp;
    if (index >= 0 && index <= RowCount() && count > 0 && size_t(index) <= m_rows.size())
        m_rows.insert(m_rows.begin() + index, size_t(count), RowData());
    TCustomGrid::InsertRowRange(index, count);
}

void TStringGrid::DrawCell(int col, int row, TRect rect, TGridDrawState state)
{
    if (DefaultDrawing() && Canvas()) {
        TCustomGrid::DrawCell(col, row, rect, state);
        TCanvas& canvas = *Canvas();
        canvas.Font().SetColor(state.Contains(TGridDrawStateItem::gdSelected) &&
                                       !state.Contains(TGridDrawStateItem::gdFocused)
                                   ? clHighlightText
                                   : clWindowText);
        canvas.SetBkMode(Win::TRANSPARENT);
        canvas.TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
        return;
    }
    TCustomGrid::DrawCell(col, row, rect, state);
}

QString TStringGrid::GetEditText(int col, int row)
{
    QString value = Cells(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(int col, int row, const QString& value)
{
    SetCells(col, row, value);
    TCustomGrid::SetEditText(col, row, value);
}

std::vector<TStringGrid::TRowCells> TStringGrid::TakeRows(const std::vector<char>& take)
{
    ++m_objectsStamp;
    std::vector<TRowCells> taken;
    const int rows = RowCount();
    std::vector<int> heights;
    heights.reserve(size_t(rows));
    bool customHeights = false;
    size_t kept = 0;
    for (int r = 0; r < rows; ++r) {
        const bool out = size_t(r) < take.size() && take[size_t(r)] && !(r == rows - 1 && kept == 0);
        if (out) {
            taken.push_back(std::move(m_rows[size_t(r)]));
            continue;
        }
        const int h = RowHeights(r);
        customHeights = customHeights || h != DefaultRowHeight();
        heights.push_back(h);
        if (kept != size_t(r)) m_rows[kept] = std::move(m_rows[size_t(r)]);
        ++kept;
    }
    if (taken.empty()) return taken;
    m_rows.resize(kept);
    SetRowCount(int(kept));
    if (customHeights)
        for (int r = 0; r < int(kept); ++r) SetRowHeights(r, heights[size_t(r)]);
    return taken;
}

void TStringGrid::PutRows(std::vector<std::pair<int, TRowCells>>& rows)
{
    ++m_objectsStamp;
    if (rows.empty()) return;
    const int oldRows = RowCount();
    std::vector<int> heights;
    bool customHeights = false;
    for (int r = 0; r < oldRows; ++r) {
        heights.push_back(RowHeights(r));
        customHeights = customHeights || heights.back() != DefaultRowHeight();
    }
    std::vector<RowData> old = std::move(m_rows);
    old.resize(size_t(oldRows));
    const int total = oldRows + int(rows.size());
    m_rows.clear();
    m_rows.reserve(size_t(total));
    std::vector<int> newHeights;
    size_t next = 0;
    size_t from = 0;
    for (int r = 0; r < total; ++r) {
        if (next < rows.size() && (rows[next].first <= r || from >= old.size())) {
            m_rows.push_back(std::move(rows[next++].second));
            newHeights.push_back(DefaultRowHeight());
        } else {
            m_rows.push_back(std::move(old[from]));
            newHeights.push_back(heights[from++]);
        }
    }
    SetRowCount(total);
    if (customHeights)
        for (int r = 0; r < total; ++r) SetRowHeights(r, newHeights[size_t(r)]);
}

void TStringGrid::ReorderRows(int first, const std::vector<int>& order)
{
    ++m_objectsStamp;
    const int n = int(order.size());
    if (n == 0) return;
    if (first < 0 || first + n > RowCount() || first + n > int(m_rows.size()))
        throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    std::vector<char> seen(size_t(n), 0);
    for (int r : order) {
        if (r < first || r >= first + n || seen[size_t(r - first)])
            throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
        seen[size_t(r - first)] = 1;
    }
    std::vector<RowData> moved;
    moved.reserve(size_t(n));
    std::vector<int> heights;
    bool customHeights = false;
    for (int k = 0; k < n; ++k) {
        moved.push_back(std::move(m_rows[size_t(order[size_t(k)])]));
        heights.push_back(RowHeights(order[size_t(k)]));
        customHeights = customHeights || heights.back() != DefaultRowHeight();
    }
    for (int k = 0; k < n; ++k) m_rows[size_t(first + k)] = std::move(moved[size_t(k)]);
    if (customHeights)
        for (int k = 0; k < n; ++k)
            if (RowHeights(first + k) != heights[size_t(k)]) SetRowHeights(first + k, heights[size_t(k)]);
    InvalidateGrid();
}
