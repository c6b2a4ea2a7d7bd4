// Row and column maintenance: inserting, removing and clearing rows and
// columns. Selection marks follow the rows and columns they belong to;
// hidden columns stay hidden and keep their data.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"

#include <algorithm>

namespace {

void InsertMarks(std::vector<char>& marks, int index, int count)
{
    if (size_t(index) < marks.size()) marks.insert(marks.begin() + index, size_t(count), 0);
}

void EraseMarks(std::vector<char>& marks, int index, int count)
{
    if (size_t(index) >= marks.size()) return;
    const size_t end = std::min(marks.size(), size_t(index) + size_t(count));
    marks.erase(marks.begin() + index, marks.begin() + ptrdiff_t(end));
}

void EraseMark(std::vector<char>& marks, int index) { EraseMarks(marks, index, 1); }

} // namespace

void TExtStringGrid::InsertRows(int index, int count)
{
    if (count < 1) return;
    // Footer rows stay last.
    index = std::clamp(index, 0, std::max(0, RowCount() - d->fixedFooters));
    // An edit in progress ends in its own row before the rows move under
    // the editor.
    CloseEditorControl();
    HideEditor();
    TUpdateScope update(*this);
    // In one step: the rows below move once, whatever the count.
    InsertRowRange(index, count);
    // The inserted rows are unmarked; the marks of the rows below move down.
    InsertMarks(d->typed.rowMarks, index, count);
    CellsChanged(TRect(0, index, ColCount() - 1, RowCount() - 1));
}

void TExtStringGrid::RemoveRows(int index, int count)
{
    if (count < 1 || index < 0 || index >= RowCount()) return;
    count = std::min(count, RowCount() - index);
    // An edit in progress ends in its own row before the rows move under
    // the editor.
    CloseEditorControl();
    HideEditor();
    TUpdateScope update(*this);
    const int top = TopRow();
    // In one step; the grid keeps one row.
    const int n = std::min(count, RowCount() - 1);
    if (n > 0) {
        FreeCellProperties(0, index, StoreCols() - 1, index + n - 1);
        DeleteRowRange(index, n);
        EraseMarks(d->typed.rowMarks, index, n);
    }
    // The current row stays unless it fell among the footer rows.
    const int lastData = RowCount() - d->fixedFooters - 1;
    if (Row() > lastData && lastData >= FixedRows()) SetRow(lastData);
    if (TopRow() != top && top < RowCount()) SetTopRow(top);
    CellsChanged(TRect(0, index, ColCount() - 1, index + count));
}

void TExtStringGrid::AddRow() { InsertRows(RowCount(), 1); }

void TExtStringGrid::RemoveSelectedRows()
{
    TUpdateScope update(*this);
    if (!d->mouseActions.DisjunctRowSelect) SetRowSelect(Row(), true);
    // Collected first, removed from the bottom, so every index stays true.
    std::vector<int> rows;
    for (int r = FixedRows(); r <= RowCount() - d->fixedFooters - 1; ++r)
        if (RowSelect(r)) rows.push_back(r);
    // Each run of adjacent rows goes in one step.
    for (auto it = rows.rbegin(); it != rows.rend();) {
        const int last = *it;
        int first = last;
        for (++it; it != rows.rend() && *it == first - 1; ++it) first = *it;
        RemoveRows(first, last - first + 1);
    }
}

void TExtStringGrid::ClearCols(int col, int count)
{
    if (count < 1) return;
    for (int c = std::max(0, col); c < col + count && c < ColCount(); ++c) {
        const int real = RealColIndex(c);
        if (real >= 0) ClearRect(real, 0, real, RowCount() - 1);
    }
}

// Columns: the hidden ones are shown for the work and hidden again at their
// new places. Hidden rows' cells follow: inserted columns are inserted into
// them; for removed columns they are shown, so their cells are cleared as
// every other, and hidden again.

void TExtStringGrid::InsertCols(int col, int count)
{
    if (count < 1 || col < 0 || col > ColCount()) return;
    // An edit in progress ends in its own column before the columns move
    // under the editor.
    CloseEditorControl();
    HideEditor();
    TUpdateScope update(*this);
    const int real = col < ColCount() ? RealColIndex(col) : StoreCols();
    std::vector<int> hidden;
    for (int c = 0; c < StoreCols(); ++c)
        if (IsHiddenColumn(c)) hidden.push_back(c);
    if (!hidden.empty()) UnHideColumnsAll();
    for (int i = 0; i < count; ++i) InsertColumn(real);
    d->hidden.rows.ColumnsInserted(real, count);
    InsertMarks(d->typed.colMarks, real, count);
    for (int h : hidden) HideColumn(h >= real ? h + count : h);
    CellsChanged(TRect(col, 0, ColCount() - 1, RowCount() - 1));
}

void TExtStringGrid::RemoveCols(int col, int count)
{
    if (count < 1 || col < 0 || col >= ColCount()) return;
    count = std::min(count, ColCount() - col);
    if (count >= ColCount()) count = ColCount() - 1; // one column stays
    if (count < 1) return;
    // An edit in progress ends in its own column before the columns move
    // under the editor.
    CloseEditorControl();
    HideEditor();
    TUpdateScope update(*this);
    std::vector<int> removed;
    for (int c = col; c < col + count; ++c) removed.push_back(RealColIndex(c));
    std::vector<int> hidden;
    for (int c = 0; c < StoreCols(); ++c)
        if (IsHiddenColumn(c)) hidden.push_back(c);
    const std::vector<int> hiddenRows = d->hidden.rows.Indices();
    UnHideRowsAll();
    ClearCols(col, count);
    if (!hidden.empty()) UnHideColumnsAll();
    std::sort(removed.begin(), removed.end());
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        DeleteColumn(*it);
        EraseMark(d->typed.colMarks, *it);
    }
    for (int h : hidden) {
        const int before = int(std::lower_bound(removed.begin(), removed.end(), h) - removed.begin());
        HideColumn(h - before);
    }
    for (size_t i = 0; i < hiddenRows.size();) {
        size_t j = i + 1;
        while (j < hiddenRows.size() && hiddenRows[j] == hiddenRows[j - 1] + 1) ++j;
        HideRows(hiddenRows[i], hiddenRows[j - 1]);
        i = j;
    }
    CellsChanged(TRect(col, 0, col + count, RowCount() - 1));
}
