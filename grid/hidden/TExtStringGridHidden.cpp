// Hidden rows and columns, nodes and the row filter.
//
// Hidden columns stay in the cell storage (cells are stored by real column)
// and leave ColCount; the column map converts the numberings. Hidden rows
// leave the grid with their cells into the hidden-row store and come back at
// their real index. Hiding, showing and filtering move all their rows in
// one pass over the grid.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/cells/TCellProperties.h"
#include "platform/core/FloatFormat.h"

#include <algorithm>

void TExtStringGrid::SyncColumnMap() const
{
    TColumnMap& map = d->hidden.columns;
    if (map.Total() != StoreCols()) map.Rebuild(StoreCols());
}

int TExtStringGrid::RealColIndex(int displCol) const
{
    if (displCol < 0) return -1;
    const TColumnMap& map = d->hidden.columns;
    if (map.HiddenCount() == 0) return displCol;
    SyncColumnMap();
    return map.RealColIndex(displCol);
}

int TExtStringGrid::DisplColIndex(int realCol) const
{
    const TColumnMap& map = d->hidden.columns;
    if (map.HiddenCount() == 0) return realCol;
    SyncColumnMap();
    return map.DisplColIndex(realCol);
}

int TExtStringGrid::RealRowIndex(int displRow) const { return d->hidden.rows.RealRowIndex(displRow); }
int TExtStringGrid::DisplRowIndex(int realRow) const { return d->hidden.rows.DisplRowIndex(realRow); }
int TExtStringGrid::NumHiddenColumns() const { return d->hidden.columns.HiddenCount(); }
int TExtStringGrid::NumHiddenRows() const { return d->hidden.rows.Count(); }
bool TExtStringGrid::IsHiddenColumn(int realCol) const { return d->hidden.columns.IsHidden(realCol); }
bool TExtStringGrid::IsHiddenRow(int realRow) const { return d->hidden.rows.IsHidden(realRow); }
int TExtStringGrid::NodeCount() const
{
    TGridHiddenState& h = d->hidden;
    if (!h.nodeCountValid || h.nodeStamp != ObjectsStamp()) {
        // Only cells holding an object can be nodes.
        const int c = RealColIndex(0);
        int n = 0;
        if (c >= 0)
            for (int r = 0; r < RowCount(); ++r)
                if (Objects(c, r) && const_cast<TExtStringGrid*>(this)->GetCellType(c, r) == ctNode) ++n;
        h.nodeCount = n;
        h.nodeStamp = ObjectsStamp();
        h.nodeCountValid = true;
    }
    return h.nodeCount;
}

void TExtStringGrid::RecountNodes() { d->hidden.nodeCountValid = false; }
bool TExtStringGrid::GetColumnVisible(int realCol) const { return d->hidden.columns.Visible(realCol); }

void TExtStringGrid::SetColumnVisible(int realCol, bool visible)
{
    if (d->hidden.columns.SetVisible(realCol, visible)) d->hidden.columns.Rebuild(StoreCols());
}

int TExtStringGrid::DisplayToRealCol(int displayCol) const
{
    const int r = RealColIndex(displayCol);
    return r < 0 ? displayCol : r;
}

int TExtStringGrid::RealToDisplayCol(int realCol) const { return DisplColIndex(realCol); }

int TExtStringGrid::StoreCols() const { return ColCount() + d->hidden.columns.HiddenCount(); }

// Column 0 of a grid with nodes keeps room at its left for the node box
// and the tree lines (8 pixels left of the indented cell, through the
// middle of the box); texts start right of it.
int TExtStringGrid::GetCellIndent(int) { return NodeCount() > 0 ? 16 : 0; }
bool TExtStringGrid::HasNodeColumn() { return NodeCount() > 0; }

// ---------------------------------------------------------------------------
// Columns

void TExtStringGrid::HideColumn(int col) { HideColumns(col, col); }

void TExtStringGrid::HideColumns(int fromCol, int toCol)
{
    // An edit in progress ends first, a control storing its value.
    CloseEditorControl();
    HideEditor();
    TColumnMap& map = d->hidden.columns;
    bool changed = false;
    const int last = std::min(toCol, StoreCols() - 1);
    for (int c = std::max(fromCol, 0); c <= last; ++c) {
        if (map.IsHidden(c) || c >= StoreCols() || ColCount() < 2) continue;
        SyncColumnMap();
        const int dc = map.DisplColIndex(c);
        map.SetSavedWidth(c, ColWidths(dc));
        for (int i = dc; i <= ColCount() - 2; ++i) SetColWidths(i, ColWidths(i + 1));
        map.SetVisible(c, false);
        // The total of stored columns stays; the map follows before the count.
        map.Rebuild(ColCount() + map.HiddenCount());
        TBaseGrid::SetColCount(ColCount() - 1);
        changed = true;
    }
    if (changed) InvalidateGrid();
}

void TExtStringGrid::UnHideColumn(int col) { UnHideColumns(col, col); }

void TExtStringGrid::UnHideColumns(int fromCol, int toCol)
{
    TColumnMap& map = d->hidden.columns;
    if (map.HiddenCount() == 0) return;
    HideEditor();
    bool changed = false;
    const int last = std::min(toCol, StoreCols() - 1);
    for (int c = std::max(fromCol, 0); c <= last && map.HiddenCount() > 0; ++c) {
        if (!map.IsHidden(c)) continue;
        const int total = StoreCols();
        map.SetVisible(c, true);
        map.Rebuild(total);
        const int dc = map.DisplColIndex(c);
        TBaseGrid::SetColCount(ColCount() + 1);
        for (int i = ColCount() - 1; i > dc; --i) SetColWidths(i, ColWidths(i - 1));
        SetColWidths(dc, map.SavedWidth(c) > 0 ? map.SavedWidth(c) : DefaultColWidth());
        changed = true;
    }
    if (changed) InvalidateGrid();
}

void TExtStringGrid::UnHideColumnsAll() { UnHideColumns(0, StoreCols() - 1); }

// ---------------------------------------------------------------------------
// Rows

void TExtStringGrid::HideDisplayRows(const std::vector<char>& take)
{
    THiddenRows& store = d->hidden.rows;
    std::vector<int> reals;
    for (int r = 0; r < RowCount() && size_t(r) < take.size(); ++r)
        if (take[size_t(r)]) reals.push_back(store.RealRowIndex(r));
    if (reals.empty()) return;
    d->hidden.movingRows = true;
    std::vector<TStringGrid::TRowCells> cells = TakeRows(take);
    d->hidden.movingRows = false;
    std::vector<TGridItem> items;
    items.reserve(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) items.push_back(TGridItem{reals[i], std::move(cells[i])});
    store.Add(std::move(items));
}

void TExtStringGrid::PutBackRows(std::vector<TGridItem>&& items)
{
    if (items.empty()) return;
    // Each row's display index once the rows before it are back: its real
    // index less the rows still hidden before it.
    const THiddenRows& store = d->hidden.rows;
    std::vector<std::pair<int, TStringGrid::TRowCells>> rows;
    rows.reserve(items.size());
    for (TGridItem& item : items) rows.emplace_back(store.DisplRowIndex(item.Idx), std::move(item.Items));
    d->hidden.movingRows = true;
    PutRows(rows);
    d->hidden.movingRows = false;
}

void TExtStringGrid::HideRow(int row) { HideRows(row, row); }

void TExtStringGrid::HideRows(int fromRow, int toRow)
{
    // An edit in progress ends first, a control storing its value.
    CloseEditorControl();
    HideEditor();
    const THiddenRows& store = d->hidden.rows;
    const int last = std::min(toRow, RowCount() + store.Count() - 1);
    std::vector<char> take(size_t(RowCount()), 0);
    for (int r = std::max(fromRow, 0); r <= last; ++r) {
        // Each visible row of the range by its own index.
        if (store.IsHidden(r)) continue;
        const int dr = store.DisplRowIndex(r);
        if (dr >= 0 && dr < RowCount()) take[size_t(dr)] = 1;
    }
    HideDisplayRows(take);
}

void TExtStringGrid::UnHideRow(int row) { UnHideRows(row, row); }

void TExtStringGrid::UnHideRows(int fromRow, int toRow)
{
    if (fromRow > toRow) return;
    PutBackRows(d->hidden.rows.Take(fromRow, toRow));
}

void TExtStringGrid::UnHideRowsAll()
{
    if (d->hidden.rows.Count() == 0) return;
    PutBackRows(d->hidden.rows.Take(INT_MIN, INT_MAX));
}

void TExtStringGrid::InsertRowRange(int index, int count)
{
    const int before = RowCount();
    d->hidden.movingRows = true;
    TBaseGrid::InsertRowRange(index, count);
    d->hidden.movingRows = false;
    d->hidden.rows.RowsInserted(index, RowCount() - before);
}

void TExtStringGrid::DeleteRowRange(int index, int count)
{
    const int before = RowCount();
    d->hidden.movingRows = true;
    TBaseGrid::DeleteRowRange(index, count);
    d->hidden.movingRows = false;
    if (RowCount() < before) d->hidden.rows.RowsRemoved(index, before - RowCount());
}

void TExtStringGrid::RowMoved(int fromIndex, int toIndex)
{
    TBaseGrid::RowMoved(fromIndex, toIndex);
    TCellProperties::FollowMovedCells(*this, 0, std::min(fromIndex, toIndex), StoreCols() - 1,
                                      std::max(fromIndex, toIndex));
    d->hidden.rows.RowMoved(fromIndex, toIndex);
    d->input.dblClickSized = d->input.buttonDown; // the release that ends the move never sorts
}

void TExtStringGrid::RowsReordered(int first, const std::vector<int>& order)
{
    if (d->hidden.rows.Count() == 0) return;
    // order[k] is the old display row of new display row first + k; the
    // hidden rows want the other way round.
    std::vector<int> newOf(order.size(), -1);
    for (size_t k = 0; k < order.size(); ++k) {
        const int old = order[k] - first;
        if (old >= 0 && size_t(old) < newOf.size()) newOf[size_t(old)] = first + int(k);
    }
    d->hidden.rows.RowsReordered([first, &newOf](int old) {
        const int i = old - first;
        return i >= 0 && size_t(i) < newOf.size() && newOf[size_t(i)] >= 0 ? newOf[size_t(i)] : old;
    });
}

void TExtStringGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    TBaseGrid::SizeChanged(oldColCount, oldRowCount);
    // Rows cut off the end take the hidden rows behind them to the end.
    if (!d->hidden.movingRows && RowCount() < oldRowCount)
        d->hidden.rows.RowsRemoved(RowCount(), oldRowCount - RowCount());
}

// ---------------------------------------------------------------------------
// Nodes

bool TExtStringGrid::IsNodeRow(int row)
{
    const int c = RealColIndex(0);
    return c >= 0 && row >= 0 && row < RowCount() && GetCellType(c, row) == ctNode;
}

bool TExtStringGrid::GetNodeState(int row)
{
    if (!IsNodeRow(row)) return false;
    const TCellGraphic* g = GetCellGraphic(RealColIndex(0), row);
    return g && g->CellBoolean;
}

int TExtStringGrid::GetNodeSpan(int row)
{
    if (!IsNodeRow(row)) return -1;
    const TCellGraphic* g = GetCellGraphic(RealColIndex(0), row);
    return g ? g->CellIndex : -1;
}

int TExtStringGrid::NodeEnd(int row, int span)
{
    if (span >= 1) return std::min(row + span, RowCount());
    int e = row + 1;
    while (e < RowCount() && !IsNodeRow(e)) ++e;
    return e;
}

void TExtStringGrid::ContractNode(int realRow)
{
    // An edit in progress ends first, a control storing its value.
    CloseEditorControl();
    HideEditor();
    const int r = DisplRowIndex(realRow);
    if (!IsNodeRow(r) || GetNodeState(r)) return;
    GetCellGraphic(RealColIndex(0), r)->CellBoolean = true;
    const int e = NodeEnd(r, GetNodeSpan(r));
    if (e > r + 1) HideRows(RealRowIndex(r) + 1, RealRowIndex(e - 1));
    RepaintCell(0, r);
}

void TExtStringGrid::ExpandNode(int realRow)
{
    const int r = DisplRowIndex(realRow);
    if (!IsNodeRow(r) || !GetNodeState(r)) return;
    GetCellGraphic(RealColIndex(0), r)->CellBoolean = false;
    // The rows of the node are the hidden ones up to the next visible row.
    const int span = GetNodeSpan(r);
    const int first = RealRowIndex(r) + 1;
    const int next = r + 1 < RowCount() ? RealRowIndex(r + 1) : first + d->hidden.rows.Count();
    int last = next - 1;
    if (span >= 1) last = std::min(last, RealRowIndex(r) + span - 1);
    UnHideRows(first, last);
    RepaintCell(0, r);
}

int TExtStringGrid::GetNodeLineKind(int row) const
{
    auto* self = const_cast<TExtStringGrid*>(this);
    if (self->IsNodeRow(row)) return 0;
    if (row == RowCount() - d->fixedFooters - 1) return 1;
    int p = row;
    while (p > FixedRows() && !self->IsNodeRow(p)) --p;
    if (!self->IsNodeRow(p)) p = 0;
    if (self->GetNodeSpan(p) != row - p + 1 || self->GetNodeState(p)) return 2;
    return 1;
}

// ---------------------------------------------------------------------------
// Filter

bool TExtStringGrid::FilterMatch(int row)
{
    const TFilter& filter = d->filter;
    const std::vector<TConditionMatcher>& compiled = d->hidden.matchers;
    for (size_t i = 0; i < filter.size(); ++i) {
        const TFilterData& f = filter[i];
        const QString text = GetCellText(f.Column, row);
        const bool ok =
            i < compiled.size() ? compiled[i].Match(text) : MatchFilterCondition(f.Condition, text, f.CaseSensitive);
        if (!ok) return false;
    }
    return true;
}

void TExtStringGrid::ApplyFilter()
{
    // Each condition is read once for the whole run.
    d->hidden.matchers.clear();
    for (const TFilterData& f : d->filter) d->hidden.matchers.emplace_back(f.Condition, f.CaseSensitive);
    const int end = RowCount() - d->fixedFooters;
    const int total = end - FixedRows();
    std::vector<char> take(size_t(RowCount()), 0);
    int count = 0;
    for (int r = FixedRows(); r < end; ++r) {
        if (!FilterMatch(r)) take[size_t(r)] = 1;
        ++count;
        if (OnFilterProgress && total > 0) OnFilterProgress(this, short(Round(count * 100.0 / total)));
    }
    d->hidden.matchers.clear();
    CloseEditorControl();
    HideEditor();
    HideDisplayRows(take);
}

void TExtStringGrid::SetFilterActive(bool value)
{
    TGridHiddenState& h = d->hidden;
    if (value == h.filterActive) return;
    h.filterActive = value;
    if (value) {
        h.filterFixedRows = FixedRows();
        h.filterRowAdded = false;
        BeginUpdate();
        ApplyFilter();
        EndUpdate();
        if (RowCount() <= d->fixedFooters + h.filterFixedRows && !d->fixedRowAlways) {
            // No row passed: one empty row keeps the fixed rows fixed.
            TBaseGrid::SetRowCount(RowCount() + 1);
            SetFixedRows(h.filterFixedRows);
            h.filterRowAdded = true;
        }
        return;
    }
    BeginUpdate();
    if (h.filterRowAdded && RowCount() == FixedRows() + d->fixedFooters + 1) RemoveRows(FixedRows(), 1);
    h.filterRowAdded = false;
    UnHideRowsAll();
    // The fixed rows counted when filtering started, whatever rows remained.
    if (h.filterFixedRows < RowCount()) SetFixedRows(h.filterFixedRows);
    EndUpdate();
}
