#pragma once
// The class library's custom grid: a window of cells in columns and rows,
// with fixed columns and rows that do not scroll, a current cell and a
// selection, column and row sizing and moving with the mouse, keyboard
// navigation, an in-place editor and the virtual hooks through which the
// grids built on it draw and react.
//
// Layout rules:
// - every column has a width and every row a height (the defaults until set
//   one by one); a cell is followed by GridLineWidth pixels of grid line;
// - the fixed columns (rows) stand at the left (top); the scrolling part
//   starts with LeftCol (TopRow), which never lies inside the fixed part;
// - FixedCols stays below ColCount and FixedRows below RowCount: setting a
//   count at or below the fixed count lowers the fixed count, setting a
//   fixed count at or above the count raises EInvalidGridOperation;
// - cell rectangles are computed from LeftCol and TopRow, never summed from
//   the first column or row, so their cost does not grow with the grid.
// Painting walks only the cells that intersect the update region, in rows
// from top to bottom and columns from left to right, calling DrawCell for
// each; PaintTo runs the same walk on any canvas (tests, pictures).

#include "platform/grids/GridTypes.h"
#include "platform/widgets/WinControl.h"

#include <QWidget>
#include <functional>
#include <vector>

class QScrollBar;
class TInplaceEdit;

class TCustomGrid : public TWinControlOf<QWidget> {
public:
    explicit TCustomGrid(QWidget* parent, const QString& name = QString());
    ~TCustomGrid() override;

    // ----- Dimensions
    int ColCount() const { return m_colCount; }
    void SetColCount(int value);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int value);
    // Virtual: a grid that keeps a fixed row or column of its own answers
    // the same, whichever class asks.
    virtual int FixedCols() const { return m_fixedCols; }
    void SetFixedCols(int value);
    virtual int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int value);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    virtual void SetDefaultRowHeight(int value);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int value);

    // ----- Scrolling
    int TopRow() const { return m_topRow; }
    void SetTopRow(int value);
    int LeftCol() const { return m_leftCol; }
    void SetLeftCol(int value);
    // Scrolling rows (columns) wholly visible from TopRow (LeftCol).
    int VisibleRowCount() const;
    int VisibleColCount() const;
    // The cell area: the client area without the scroll bars.
    int GridWidth() const;
    int GridHeight() const;
    // The scroll bars' track colour (clNone: the style's) and the width of
    // the vertical bar, which is the height of the horizontal one: set
    // (at most kMaxScrollBarExtent), or the style's after a value below 0.
    // ScrollBarExtent answers the width in use.
    static constexpr int kMaxScrollBarExtent = 1000;
    TColor ScrollBarColor() const;
    void SetScrollBarColor(TColor value);
    int ScrollBarExtent() const { return m_barExtent >= 0 ? m_barExtent : m_barWidth; }
    void SetScrollBarExtent(int value);

    // ----- Cells on the screen
    // The rectangle of a cell in client coordinates, without its grid line;
    // an empty rectangle for a cell scrolled out of view.
    TRect CellRect(int col, int row) const;
    // The cell under a client point; -1 for either index outside the cells.
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;

    // ----- Current cell and selection
    int Col() const { return m_current.X; }
    void SetCol(int value);
    int Row() const { return m_current.Y; }
    void SetRow(int value);
    // Both at once, asking SelectCell first (the current cell stays when it
    // refuses).
    void FocusCell(int col, int row, bool moveAnchor = true);
    // The selected block (the current cell alone without goRangeSelect; whole
    // rows of the scrolling columns with goRowSelect).
    TGridRect Selection() const;
    void SetSelection(const TGridRect& value);
    // Moves the selection past the last cell: no cell shows selected or
    // focused until the current cell or the selection is set again.
    void SelectNothing();
    TGridOptions Options() const { return m_options; }
    virtual void SetOptions(TGridOptions value);

    // ----- Editing
    bool EditorMode() const;
    void SetEditorMode(bool value);
    TInplaceEdit* InplaceEditor() const { return m_editor; }
    void ShowEditor();
    void HideEditor();

    // The class library's default drawing of cells (off: only OnDrawCell).
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool value);
    TColor FixedColor() const { return m_fixedColor; }
    void SetFixedColor(TColor value);

    // ----- Invalidation (client coordinates). Cells, rows and columns are
    // not invalidated one by one while the grid is hidden (it paints whole
    // when shown) or its updates are suspended (the end of the suspension
    // repaints it whole).
    virtual void InvalidateRect(const TRect& r);
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();
    // Whether painting is suspended by the grid's own update count.
    virtual bool UpdatesSuspended() const { return false; }

    // ----- Painting
    // Runs the paint walk on canvas for the cells that intersect
    // updateRect (client coordinates); Canvas() is canvas meanwhile.
    void PaintTo(TCanvas& canvas, const TRect& updateRect);
    // The canvas of the paint in progress (nullptr outside painting).
    TCanvas* Canvas() const { return m_canvas; }
    // The update rectangle of the paint in progress.
    const TRect& UpdateRect() const { return m_updateRect; }

    // ----- Moving, inserting and deleting (the objects of cells are never
    // freed here)
    void MoveColumn(int fromIndex, int toIndex);
    void MoveRow(int fromIndex, int toIndex);
    virtual void DeleteColumn(int index);
    void DeleteRow(int index);
    virtual void InsertColumn(int index);
    void InsertRow(int index);
    // count rows at once, in one pass over the grid (the single-row forms
    // come here; descendants override these). Deleting keeps one row.
    virtual void InsertRowRange(int index, int count);
    virtual void DeleteRowRange(int index, int count);

    // ----- Events
    std::function<void(QObject* sender, int col, int row, TRect rect, TGridDrawState state)> OnDrawCell;
    std::function<void(QObject* sender, int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(QObject* sender)> OnTopLeftChanged;
    std::function<void(QObject* sender, int fromIndex, int toIndex)> OnColumnMoved;
    std::function<void(QObject* sender, int fromIndex, int toIndex)> OnRowMoved;
    std::function<void(QObject* sender, int col, int row, QString& value)> OnGetEditText;
    std::function<void(QObject* sender, int col, int row, const QString& value)> OnSetEditText;

protected:
    // ----- Hooks
    // Draws one cell into rect (without its grid line); the base fills
    // fixed cells with FixedColor and others with Color under
    // DefaultDrawing, then fires OnDrawCell.
    virtual void DrawCell(int col, int row, TRect rect, TGridDrawState state);
    // Whether the current cell may move to (col, row); fires OnSelectCell.
    virtual bool SelectCell(int col, int row);
    // Whether the grid keeps (col, row) fixed beyond its fixed rows and
    // columns (a string grid's footer rows and right columns): never current.
    virtual bool IsFixed(int, int) { return false; }
    // Moves the current cell and the anchor out of fixed cells a change of
    // the grid's shape put under them (the counts call it).
    void StepOutOfFixedCells();
    // The cell itself, or when fixed the nearest cell before it that is not.
    TGridCoord OutOfFixedCells(TGridCoord at);
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    // The thumb of the vertical (horizontal) scroll bar is being dragged to
    // the top row (left column) position, before the cells follow it; and
    // the thumb was let go.
    virtual void ThumbTracking(bool, int) { }
    virtual void ThumbReleased(bool) { }
    // After the counts changed (the stores adjust here).
    virtual void SizeChanged(int oldColCount, int oldRowCount);
    virtual void ColumnMoved(int fromIndex, int toIndex);
    virtual void RowMoved(int fromIndex, int toIndex);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    // The in-place editor; the base makes a TInplaceEdit.
    virtual TInplaceEdit* CreateEditor();
    // Whether the editor may show for the current cell (a grid may show
    // another editor of its own here and answer false).
    virtual bool CanEditShow();
    // Starts editing the current cell with a typed character: the editor
    // shows with that character as its text.
    virtual void ShowEditorWithChar(TKeyChar ch);
    // The editor was hidden (its text stored when changed).
    virtual void EditorHidden() { }
    virtual QString GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const QString& value);
    // The whole paint: the walk over the update rectangle, then the area
    // beyond the last column and row in Color.
    virtual void Paint();
    // The sizing or moving guide line at x, shown by the first call and
    // removed by a second at the same x (the base keeps it for the next
    // paint and repaints).
    virtual void DrawSizingLine(int x);
    // Paints one shown guide line on Canvas() (the base: black, dotted,
    // XOR-ed, over the cell area's height).
    virtual void PaintSizingLine(int x);
    // The sizing test under the pointer: gsColSizing (gsRowSizing) with
    // the column (row) whose right (bottom) border is there, as the
    // options allow; else gsNormal and -1. A grid may veto a border here.
    virtual void CalcSizingState(int x, int y, TGridState& state, int& index);

    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(TKeyChar& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void Resize() override;
    bool WantTab() const override { return m_options.Contains(TGridOption::goTabs); }
    bool WantKey(int vk, TShiftState shift) const override;

    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // Sum of the widths (heights) of the fixed columns (rows), grid lines
    // included.
    int FixedWidth() const;
    int FixedHeight() const;
    // The column (row) a mouse move is carrying; -1 when none.
    int MovingCol() const { return m_gesture == Gesture::ColMoving ? m_gestureIndex : -1; }
    int MovingRow() const { return m_gesture == Gesture::RowMoving ? m_gestureIndex : -1; }
    // Whether a press is selecting a range; EndSelecting ends it (later
    // moves of the pointer select nothing more).
    bool Selecting() const { return m_gesture == Gesture::Selecting; }
    void EndSelecting();
    // Later moves of the pointer select from the anchor, as after a press
    // on a cell (a grid that took the press for a gesture of its own).
    void BeginSelecting();
    // The unclipped rectangle of any cell, also one scrolled out of view
    // (left of LeftCol it lies at negative x), computed from LeftCol/TopRow.
    TRect CellBounds(int col, int row) const;
    // The guide lines shown now (x positions), for painters that draw them.
    const std::vector<int>& SizingLines() const { return m_sizingLines; }
    // Refreshes the scroll bars after a change of counts, sizes or position.
    void UpdateScrollBars();
    // Moves the scrolling window so that the cell is wholly visible.
    void ScrollInView(int col, int row);
    // The editor placed over the current cell again (after scrolling).
    void UpdateEditor();

private:
    friend class TInplaceEdit;
    int MaxTopRow() const;
    int MaxLeftCol() const;
    int ColLeft(int col) const;
    int RowTop(int row) const;
    void MoveCurrent(int col, int row, bool moveAnchor, bool show);
    void InvalidateSelection(const TGridRect& before, const TGridRect& after);
    TRect BoxRect(const TGridRect& cells) const;
    int ColumnBorderAt(int x, int y) const;
    int RowBorderAt(int x, int y) const;
    void ScrollBarMoved();
    bool PaintPending() const;

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    // Per-index sizes; empty while every index has the default.
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_topRow = 1;
    int m_leftCol = 1;
    TGridCoord m_current{1, 1};
    TGridCoord m_anchor{1, 1};
    bool m_selectNothing = false;
    TGridOptions m_options{TGridOption::goFixedVertLine, TGridOption::goFixedHorzLine, TGridOption::goVertLine,
                           TGridOption::goHorzLine, TGridOption::goRangeSelect};
    bool m_defaultDrawing = true;
    TColor m_fixedColor = clBtnFace;
    TInplaceEdit* m_editor = nullptr;
    bool m_editorShown = false;
    TCanvas* m_canvas = nullptr;
    TRect m_updateRect;
    std::vector<int> m_sizingLines;
    QScrollBar* m_vertBar = nullptr;
    QScrollBar* m_horzBar = nullptr;
    bool m_updatingBars = false;
    int m_barWidth = 0;
    int m_barHeight = 0;
    int m_barExtent = -1;

    // Mouse gestures.
    enum class Gesture { None, Selecting, ColSizing, RowSizing, ColMoving, RowMoving };
    Gesture m_gesture = Gesture::None;
    int m_gestureIndex = -1;
    int m_gestureStart = 0; // position of the border (sizing) or the moved index
    int m_gestureLine = -1; // x of the guide line shown
};
