#pragma once
// The rows taken out of view. Each keeps its cells (texts and objects, so
// cell properties survive) and its real index: its place among all rows,
// hidden and visible. The store is kept in the order of real indices, so
// both numberings convert by binary search:
//   display row of real row r = r - (hidden rows before r);
//   real row of display row d = d + (hidden rows whose index minus the
//   hidden rows before them is at most d).
// Inserting or removing visible rows moves the hidden rows behind them;
// moving or sorting visible rows takes each hidden row along with the
// visible row above it (hidden rows above every visible row stay first).
// Hidden rows' cells follow the columns as they move or are inserted.

#include "platform/grids/StringGrid.h"

#include <functional>
#include <vector>

// A hidden row: its real index and its cells. The item alone owns the
// cells' objects while the row is hidden, so it moves and is never copied.
struct TGridItem {
    TGridItem() = default;
    TGridItem(int idx, TStringGrid::TRowCells&& items) : Idx(idx), Items(std::move(items)) { }
    TGridItem(TGridItem&&) = default;
    TGridItem& operator=(TGridItem&&) = default;
    TGridItem(const TGridItem&) = delete;
    TGridItem& operator=(const TGridItem&) = delete;

    int Idx = 0;
    TStringGrid::TRowCells Items;
};

class THiddenRows {
public:
    int Count() const { return int(m_items.size()); }
    bool IsHidden(int realRow) const;
    // Hidden rows whose real index is below realRow.
    int HiddenBefore(int realRow) const;
    int RealRowIndex(int displRow) const;
    int DisplRowIndex(int realRow) const { return realRow - HiddenBefore(realRow); }
    const std::vector<TGridItem>& Items() const { return m_items; }

    // Adds rows that are not hidden yet, in any order.
    void Add(std::vector<TGridItem>&& items);
    // Takes out the rows with fromRow <= Idx <= toRow, in order.
    std::vector<TGridItem> Take(int fromRow, int toRow);

    // Visible rows were inserted before display row displRow, or removed
    // from it on.
    void RowsInserted(int displRow, int count);
    void RowsRemoved(int displRow, int count);
    // Visible rows changed places: newDisplay(old display row) is where each
    // went. Every hidden row follows the visible row above it.
    void RowsReordered(const std::function<int(int)>& newDisplay);
    // One visible row moved from display row from to display row to.
    void RowMoved(int from, int to);
    // A column moved from store column from to to; count empty columns were
    // inserted at store column col.
    void ColumnMoved(int from, int to);
    void ColumnsInserted(int col, int count);
    // The real indices of the hidden rows, ascending.
    std::vector<int> Indices() const;

private:
    std::vector<TGridItem> m_items; // ascending Idx
};
