#pragma once
// The column grid: a string grid whose cell attributes are set per column
// instead of through events. Every real column has a TGridColumnItem in
// Columns, and the grid answers its attribute hooks (colour, font, borders,
// alignment, sort format, editor, fixed, read-only, password, check texts,
// float format, size limits) from the item of the cell's column; the
// events still have the last word. A header cell whose item has filter
// entries opens a drop-down list of them near its right edge; an item's
// popup menu opens on the clicks its ColumnPopupType names.
//
// Terms: a cell is normal when its column has an item at or right of the
// fixed columns and its row is below the fixed rows; a body cell is a
// normal cell left of the right fixed columns and above the footer rows.

#include "grid/TExtStringGrid.h"
#include "grid/column/TGridColumnCollection.h"
#include "grid/column/TGridColumnItem.h"

#include <functional>
#include <memory>

class TDropList;
class TPopupMenu;

class TExtColumnGrid : public TExtStringGrid {
public:
    explicit TExtColumnGrid(QWidget* parent, const QString& name = QString());
    ~TExtColumnGrid() override;

    TGridColumnCollection& Columns() { return *m_columns; }
    const TGridColumnCollection& Columns() const { return *m_columns; }
    // Copies the given items.
    void SetColumns(const TGridColumnCollection& value);
    TFilterDropDown& FilterDropDown() { return m_filterDropDown; }
    // A picked filter entry's display text becomes the column's header.
    bool AutoFilterDisplay() const { return m_autoFilterDisplay; }
    void SetAutoFilterDisplay(bool value) { m_autoFilterDisplay = value; }
    // A picked filter entry applies the row filter at once.
    bool AutoFilterUpdate() const { return m_autoFilterUpdate; }
    void SetAutoFilterUpdate(bool value) { m_autoFilterUpdate = value; }

    // The form finished setting the grid up: items follow the column count
    // and remember their places.
    void Loaded() override;
    // An object the items refer to goes away (an edit link or a popup
    // menu): the items forget it.
    void Notification(const void* removed);

    // The header filter list (hidden while no column's list is open).
    TDropList* DropList() const { return m_dropList; }
    // The column whose list is open; -1 when none.
    int FilterColumn() const { return m_filterColumn; }
    // Picks entry index of the open list, as a click or Enter in it does.
    void ApplyFilterChoice(int index);

    // Set while a column move rebuilds the items.
    bool ColumnMoving() const { return m_columnMoving; }
    // The items follow the column count (with the collection locked).
    void SynchronizeColumns();
    // An item changed (the collection's update).
    void ColumnsChanged();
    // ColumnHeaders refilled with every item's Header, in order (the header
    // cells stay as they are).
    void HeadersFromItems();

    int GetVersionNr() const override;
    QString GetVersionString() const override;

    std::function<void(QObject* sender, int col, int row, TPopupMenu* popupMenu)> OnColumnPopup;
    std::function<void(QObject* sender, int column, int itemIndex, const QString& friendlyName,
                       QString& filterCondition)>
        OnFilterSelect;

    // ----- Attribute hooks answered from the items
    void GetCellDisplayText(int col, int row, QString& text) override;
    TCellType GetCellType(int col, int row) override;
    TCellGraphic* GetCellGraphic(int col, int row) override;
    void UpdateColumnSize(int col, int& width) override;
    void UpdateAutoColumnSize(int col, int& width) override;
    void ColumnHeadersChanged() override;
    void FileLoaded() override;
    void GetCellColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font) override;
    void GetCellPrintColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font) override;
    void GetCellBorder(int col, int row, TPen& pen, TCellBorders& borders) override;
    void GetCellPrintBorder(int col, int row, TPen& pen, TCellBorders& borders) override;
    void GetCellAlignment(int col, int row, TAlignment& hAlign, TVAlignment& vAlign) override;
    void GetCellFormat(int col, int& style, QString& prefix, QString& suffix) override;
    void GetCellEditor(int col, int row, TEditorType& editor) override;
    void IsFixedCell(int col, int row, bool& isFixed) override;
    void CanEditCell(int col, int row, bool& canEdit) override;
    void IsPasswordCell(int col, int row, bool& isPassword) override;
    void GetCheckTrue(int col, int row, QString& value) override;
    void GetCheckFalse(int col, int row, QString& value) override;
    bool HasColumnFilter(int col) override;
    int GetEditLimit() override;
    QString GetEditMask(int col, int row) override;

protected:
    // The item collection of a new grid (owned by the grid).
    virtual std::unique_ptr<TGridColumnCollection> CreateColumns();
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void ColWidthsChanged() override;
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    TGridColumnItem* ItemOf(int col) const;
    bool IsNormalCell(int col, int row) const;
    bool IsBodyCell(int col, int row) const;
    void OpenFilterList(int realCol, const TRect& headerRect);
    void CloseFilterList();
    void ShowColumnPopup(TMouseButton button, int col, int row);

    std::unique_ptr<TGridColumnCollection> m_columns;
    TFilterDropDown m_filterDropDown;
    bool m_autoFilterDisplay = false;
    bool m_autoFilterUpdate = false;
    TDropList* m_dropList = nullptr; // child widget
    int m_filterColumn = -1;
    std::unique_ptr<TCellGraphic> m_checkGraphic;
    bool m_columnMoving = false;
    bool m_destroying = false;
};
