#pragma once
// What the cell rooms need of the grid that holds the cells: the property
// objects of cells (created on demand), the bounds, and repainting.

class TCellProperties;

class TCellStore {
public:
    virtual ~TCellStore();
    // The property object of the cell, nullptr when it has none.
    virtual TCellProperties* CellPropertiesOf(int col, int row) const = 0;
    // The property object, created when the cell has none.
    virtual TCellProperties* EnsureCellProperties(int col, int row) = 0;
    // Bounds for merges: columns and rows that hold cells.
    virtual int StoreCols() const = 0;
    virtual int StoreRows() const = 0;
    // Repaints the cell of a stored column (the grid finds the column it
    // shows in).
    virtual void RepaintStoredCell(int col, int row) = 0;
    // A cell's graphic was put in or taken out.
    virtual void CellGraphicChanged() { }
};
