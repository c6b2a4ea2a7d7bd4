#pragma once
// The class library's string grid: a text and an object slot per cell.
//
// Storage: one movable row object per row (moving, inserting and deleting a
// row moves one object, never its cells), each holding the texts and objects
// of its columns. The storage does not follow ColCount: lowering ColCount
// keeps the data of the columns beyond it, which come back when the count
// grows again, and Cells / Objects reach any column index. Rows follow
// RowCount. Objects are held by reference: nothing here frees them.

#include "platform/core/Object.h"
#include "platform/grids/CustomGrid.h"

#include <utility>
#include <vector>

class TStringGrid : public TCustomGrid {
public:
    explicit TStringGrid(QWidget* parent, const QString& name = QString());
    ~TStringGrid() override;

    // Empty for a cell never written or a row beyond RowCount.
    QString Cells(int col, int row) const;
    // Raises EInvalidGridOperation for a row outside 0 .. RowCount-1 or a
    // negative column.
    void SetCells(int col, int row, const QString& value);
    // The same, taking the text over.
    void SetCells(int col, int row, QString&& value);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);
    // The texts of a row from column 0, as far as written.
    QStringList RowTexts(int row) const;
    // Number of columns stored for a row (at least as many as were written).
    int StoredCols(int row) const;
    // Room in the rows first .. last for the texts of the columns
    // 0 .. cols - 1, so that a block written cell by cell does not grow each
    // row again and again. What is stored does not change.
    void ReserveCols(int first, int last, int cols);
    // Grows with every write of an object slot and every change of the rows
    // or columns that hold the objects, so that what is counted over the
    // objects knows when to count again.
    quint64 ObjectsStamp() const { return m_objectsStamp; }

    // ----- Rows taken out and put back in one pass each (hidden rows). A
    // row taken out keeps its texts and objects; nothing is freed.
    struct TRowCells {
        std::vector<QString> Texts;
        std::vector<TObject*> Objects;
    };
    // Removes every row whose flag is set; they are handed out in order.
    // The grid keeps at least one row: with every row flagged, the last
    // stays.
    std::vector<TRowCells> TakeRows(const std::vector<char>& take);
    // Puts rows back, each at its index in the grid that results (indices
    // ascending).
    void PutRows(std::vector<std::pair<int, TRowCells>>& rows);
    // Exchanges the texts and objects of a row with cells, whole: nothing
    // is copied, freed or allocated.
    void SwapRowCells(int row, TRowCells& cells);

    // Puts the rows first .. first + order.size() - 1 in a new order: the
    // row at first + k becomes the one that stood at order[k] (order holds
    // each row of that range once). Texts, objects and heights move with
    // their rows, each row as one object.
    void ReorderRows(int first, const std::vector<int>& order);

    void DeleteColumn(int index) override;
    void InsertColumn(int index) override;
    void InsertRowRange(int index, int count) override;
    void DeleteRowRange(int index, int count) override;

protected:
    void DrawCell(int col, int row, TRect rect, TGridDrawState state) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    // Text-changed notification of one cell (repaints it).
    virtual void CellChanged(int col, int row);
    // An object changed inside its slot (ObjectsStamp grows).
    void TouchObjects() { ++m_objectsStamp; }

private:
    using RowData = TRowCells;
    RowData& RowAt(int row);
    std::vector<RowData> m_rows;
    quint64 m_objectsStamp = 0;
};
