#pragma once
// The string grid the program's grids stand on. It adds to the class
// library's string grid:
// - a property object per cell that needs one (TCellProperties, in the
//   cell's object slot, created on first use and freed by the grid);
// - cells merged into rectangular areas that are painted, selected and
//   navigated as one cell (the merge state lives in the property objects,
//   see grid/cells/TCellMerges.h);
// - grid lines that the grid paints inside every cell, with their own width
//   and colour (the class library's grid line width stays 0, so a cell's
//   rectangle holds its lines);
// - the virtual hooks through which the string grid supplies cell colours,
//   fixed cells, row indents and the cell content drawing.
//
// Cells and merges are stored by real (storage) column; the drawing walk
// works in display columns and maps each column once at the entry
// (DisplayToRealCol), so hidden columns never mix the two numberings.

#include "grid/cells/TCellStore.h"
#include "grid/cells/CellTypes.h"
#include "platform/grids/StringGrid.h"

#include <functional>

class TCellProperties;
class TCellGraphic;

class TBaseGrid : public TStringGrid, public TCellStore {
public:
    explicit TBaseGrid(QWidget* parent, const QString& name = QString());
    ~TBaseGrid() override;

    // ----- Settings
    // The grid's own drawing flag (the class library's default drawing is
    // always off).
    bool DefaultDrawing() const { return m_ownDefaultDrawing; }
    void SetDefaultDrawing(bool value) { m_ownDefaultDrawing = value; }
    int GridLineWidth() const { return m_lineWidth; }
    void SetGridLineWidth(int value);
    TColor GridLineColor() const { return m_lineColor; }
    void SetGridLineColor(TColor value);
    // The last row is the floating footer row (painted as a plain block).
    bool FooterRowFlag() const { return m_footerRow; }
    void SetFooterRowFlag(bool value);
    // Rows at or beyond it get no display-text hook (scratch rows).
    int UserRowCount() const { return m_userRowCount; }
    void SetUserRowCount(int value) { m_userRowCount = value; }
    // Completed paints so far (starts above every stamp).
    unsigned PaintCounter() const { return m_paintCounter; }

    // ----- Cell access (real columns). GetCellText / SetCellText go
    // through the base cell of a merged area.
    QString GetCellText(int col, int row);
    void SetCellText(int col, int row, const QString& value);
    void SetCellText(int col, int row, QString&& value);
    QString GetCellRaw(int col, int row) const { return Cells(col, row); }
    void SetCellRaw(int col, int row, const QString& value) { SetCells(col, row, value); }
    TObject* GetObjectRaw(int col, int row) const { return Objects(col, row); }
    void SetObjectRaw(int col, int row, TObject* object) { SetObjects(col, row, object); }

    TCellProperties* GetCellProperties(int col, int row);
    bool HasCellProperties(int col, int row) const;
    // Frees the object in the slot, then stores obj.
    void SetCellObject(int col, int row, TObject* obj);
    // Empty the cell and free its property object.
    void ClearCell(int col, int row);
    void ClearColumn(int col);
    void ClearRow(int row);
    void FreeCellProperties(int fromCol, int fromRow, int toCol, int toRow);
    TCellGraphic* GetCellAttachment(int col, int row) const;
    // Stores the graphic (owned by the cell's properties from now on).
    void SetCellAttachment(int col, int row, TCellGraphic* graphic);

    // ----- Merged cells (real columns)
    bool IsBaseCell(int col, int row) const;
    bool BaseCell(int col, int row, int& baseCol, int& baseRow) const;
    TPoint BaseCellPoint(int col, int row) const;
    bool IsMergedCell(int col, int row) const;
    bool IsXMergedCell(int col, int row) const;
    bool IsYMergedCell(int col, int row) const;
    TPoint GetCellSpan(int col, int row) const;
    bool HasMergedCellsInRows(int row1, int row2) const;
    virtual void MergeCells(int col, int row, int spanX, int spanY);
    virtual void SplitCells(int col, int row);
    // The current cell moved to the base cell of its area.
    void MoveToBaseCell();

    // ----- Rectangles (display columns, client coordinates)
    // One cell, also when scrolled out of view.
    TRect CalcCellRect(int col, int row) const;
    // The whole merged area holding the cell.
    TRect GetCellRect(int col, int row) const;
    // Width and height of that area.
    TPoint GetMergedCellRect(int col, int row) const;
    void RepaintCell(int col, int row);
    int FixedColsWidth() const;
    int FixedRowsHeight() const;

    // ----- Column numberings (identity here; hidden columns map them)
    virtual int DisplayToRealCol(int displayCol) const { return displayCol; }
    virtual int RealToDisplayCol(int realCol) const { return realCol; }

    std::function<void(QObject* sender, int col, int row, QString& value)> OnGetDisplText;

    // ----- The cell store of the merge and property rooms
    TCellProperties* CellPropertiesOf(int col, int row) const override;
    TCellProperties* EnsureCellProperties(int col, int row) override;
    int StoreCols() const override;
    int StoreRows() const override { return RowCount(); }
    void CellGraphicChanged() override { TouchObjects(); }
    void RepaintStoredCell(int col, int row) override;

protected:
    // ----- Hooks of the string grid
    bool IsFixed(int col, int row) override;
    virtual int GetCellIndent(int row);
    virtual bool HasNodeColumn();
    // Draws the cell's content in rect (inside its grid lines); the base
    // draws the display text centred on one line.
    virtual void DrawCellContent(TCanvas& canvas, int col, int row, TRect rect, TGridDrawState state);
    virtual void LastRowChanged() { }
    // Fills font, brush and alignment of a cell; nothing here.
    virtual void PrepareCellCanvas(int col, int row, TGridDrawState& state, bool printing, bool selectionAware,
                                   bool remapColumn, TBrush& brush, TFont& font, TAlignment& hAlign,
                                   TVAlignment& vAlign, bool& reserved);
    virtual void GetDisplText(int col, int row, QString& value);
    // One cell (or merged area) with its background, grid lines and
    // content; col is a display column.
    virtual void DrawCellArea(int col, int row, TRect rect, TGridDrawState state);

    void DrawCell(int col, int row, TRect rect, TGridDrawState state) override;
    void Paint() override;
    bool SelectCell(int col, int row) override;
    void KeyDown(int& key, TShiftState shift) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;
    void TopLeftChanged() override;
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    bool m_ownDefaultDrawing = false;
    int m_lineWidth = 1;
    TColor m_lineColor = clSilver;
    bool m_footerRow = false;
    int m_userRowCount = -1;
    // Property objects stamp 0 when created; the counter starts above.
    unsigned m_paintCounter = 1;
    bool m_selecting = false;
};
