#pragma once
// The string grid the program's forms place: the base grid with merged
// cells (TBaseGrid.h) plus settings objects, cell-attribute hooks, the
// painting pipeline, hidden rows and columns, typed cell access and the
// in-place editors.
//
// The class is the front: properties, events and wiring. The work lives in
// rooms a reader can find, each with its own sources and its own private
// state (grid/<room>/*State_p.h, gathered in TExtStringGrid_p.h):
//   cells/   texts, objects, cell properties, merges (no widgets)
//   draw/    the painting pipeline against the canvas
//   edit/    the editor host and the cell editor controls
//   hidden/  hidden rows and columns, nodes, filtering, index maps
//   scroll/  scrolling, stretching
//   typed/   typed access, cell graphics, headers, selection lists,
//            advancing to the next cell
// The sections below follow the rooms; each room adds its members in its
// own section.

#include "grid/TBaseGrid.h"
#include "grid/GridSettings.h"
#include "grid/cells/TCellGraphic.h"

#include <functional>
#include <memory>

class TImageList;
class TPictureContainer;
class THTMLPictureCache;
struct TExtStringGridPrivate;

class EExtGridError : public Exception {
public:
    using Exception::Exception;
};

class TExtStringGrid : public TBaseGrid {
public:
    explicit TExtStringGrid(QWidget* parent, const QString& name = QString());
    ~TExtStringGrid() override;

    // =======================================================================
    // Construction and settings
    // =======================================================================
    TCellNode& CellNode();
    TSizeWhileTyping& SizeWhileTyping();
    TMouseActions& MouseActions();
    TColumnSize& ColumnSize();
    TNavigation& Navigation();
    THTMLSettings& HTMLSettings();
    TPrintSettings& PrintSettings();
    TSortSettings& SortSettings();
    TDragDropSettings& DragDropSettings();
    TControlLook& ControlLook();
    TBands& Bands();
    void SetBands(const TBands& value);
    TBackGround& BackGround();
    TFloatingFooter& FloatingFooter();
    void SetFloatingFooterVisible(bool value);
    TFilter& Filter();

    TFont& FixedFont();
    TFont& ActiveCellFont();
    TColor ActiveCellColor() const;
    void SetActiveCellColor(TColor value);
    bool ActiveCellShow() const;
    void SetActiveCellShow(bool value);
    TColor SelectionColor() const;
    void SetSelectionColor(TColor value);
    TColor SelectionTextColor() const;
    void SetSelectionTextColor(TColor value);
    bool ShowSelection() const;
    void SetShowSelection(bool value);
    bool HideFocusRect() const;
    void SetHideFocusRect(bool value);
    bool SelectionRectangle() const;
    void SetSelectionRectangle(bool value);
    bool SelectionResizer() const;
    void SetSelectionResizer(bool value);
    TColor URLColor() const;
    void SetURLColor(TColor value);
    bool URLShow() const;
    void SetURLShow(bool value);
    bool URLFull() const;
    void SetURLFull(bool value);
    TColor HintColor() const;
    void SetHintColor(TColor value);
    bool EnableHTML() const;
    void SetEnableHTML(bool value);
    bool EnableWheel() const;
    void SetEnableWheel(bool value);
    bool IntelliZoom() const;
    void SetIntelliZoom(bool value);
    TVAlignment VAlignment() const;
    void SetVAlignment(TVAlignment value);
    bool WordWrap() const;
    void SetWordWrap(bool value);
    bool Multilinecells() const;
    void SetMultilinecells(bool value);
    bool EnhTextSize() const;
    void SetEnhTextSize(bool value);
    bool AutoNumAlign() const;
    void SetAutoNumAlign(bool value);
    bool AutoSize() const;
    void SetAutoSize(bool value);
    QString FloatFormat() const;
    void SetFloatFormat(const QString& value);
    TGridLook Look() const;
    void SetLook(TGridLook value);
    bool Flat() const;
    void SetFlat(bool value);
    int FixedRightCols() const;
    void SetFixedRightCols(int value);
    int FixedFooters() const;
    void SetFixedFooters(int value);
    bool FixedRowAlways() const;
    void SetFixedRowAlways(bool value);
    bool FixedColAlways() const;
    void SetFixedColAlways(bool value);
    // Shown in column 0 of the current row (not owned; nullptr: none).
    TBitmap* RowIndicator() const;
    void SetRowIndicator(TBitmap* value);
    const TImageList* GridImages() const;
    void SetGridImages(const TImageList* value);
    TPictureContainer* PictureContainer() const;
    void SetPictureContainer(TPictureContainer* value);
    QString CheckTrue() const;
    void SetCheckTrue(const QString& value);
    QString CheckFalse() const;
    void SetCheckFalse(const QString& value);
    bool EditWithTags() const;
    void SetEditWithTags(bool value);
    bool FilterActive() const;

    // Version 2.4.0.2 as one integer (a byte per part, major first) and as
    // text.
    virtual int GetComponentVersion() const;
    virtual QString GetComponentVersionText() const;

    // Stored column widths: "Col" + index in section ColumnSize.Section of
    // the ini file or user registry key ColumnSize.Key.
    void SaveColumnSizes();
    void LoadColumnSizes();

    // Update blocks: EndUpdate repaints the whole grid when the count
    // reaches 0 again.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const;

    void InvalidateRect(const TRect& r) override;

    // =======================================================================
    // Cell-attribute hooks (answered by the events here, by the column items
    // in the column grid). Events pass the row before the column where the
    // class library's event types do.
    // =======================================================================
    virtual void GetCellHint(int col, int row, QString& hint);
    virtual void GetCellColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font);
    virtual void GetCellPrintColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font);
    virtual void GetCellBorder(int col, int row, TPen& pen, TCellBorders& borders);
    virtual void GetCellPrintBorder(int col, int row, TPen& pen, TCellBorders& borders);
    virtual void GetCellAlignment(int col, int row, TAlignment& hAlign, TVAlignment& vAlign);
    virtual void GetCellFormat(int col, int& style, QString& prefix, QString& suffix);
    virtual void GetCellEditor(int col, int row, TEditorType& editor);
    virtual void IsFixedCell(int col, int row, bool& isFixed);
    virtual void CanEditCell(int col, int row, bool& canEdit);
    virtual void IsPasswordCell(int col, int row, bool& isPassword);
    virtual void GetCheckTrue(int col, int row, QString& value);
    virtual void GetCheckFalse(int col, int row, QString& value);
    virtual bool HasColumnFilter(int col);
    virtual void UpdateColumnSize(int col, int& width);

    std::function<void(QObject* sender, int row, int col, QString& hint)> OnGridHint;
    std::function<void(QObject* sender, int row, int col, TGridDrawState state, TBrush& brush, TFont& font)>
        OnGetCellColor;
    std::function<void(QObject* sender, int row, int col, TGridDrawState state, TBrush& brush, TFont& font)>
        OnGetCellPrintColor;
    std::function<void(QObject* sender, int row, int col, TPen& pen, TCellBorders& borders)> OnGetCellBorder;
    std::function<void(QObject* sender, int row, int col, TPen& pen, TCellBorders& borders)> OnGetCellPrintBorder;
    std::function<void(QObject* sender, int row, int col, TAlignment& hAlign, TVAlignment& vAlign)> OnGetAlignment;
    std::function<void(QObject* sender, int col, int& style, QString& prefix, QString& suffix)> OnGetFormat;
    std::function<void(QObject* sender, int col, int row, TEditorType& editor)> OnGetEditorType;
    std::function<void(QObject* sender, int row, int col, bool& isFixed)> OnIsFixedCell;
    std::function<void(QObject* sender, int row, int col, bool& canEdit)> OnCanEditCell;
    std::function<void(QObject* sender, int row, int col, bool& isPassword)> OnIsPasswordCell;
    std::function<void(QObject* sender, int col, int row, QString& value)> OnGetCheckTrue;
    std::function<void(QObject* sender, int col, int row, QString& value)> OnGetCheckFalse;
    std::function<void(QObject* sender, int col, int& width)> OnUpdateColumnSize;
    std::function<void(QObject* sender)> OnResize;

    // =======================================================================
    // cells/: texts of cells (real columns)
    // =======================================================================
    // The cell text as shown: float formatting through OnGetFloatFormat.
    virtual void GetCellDisplayText(int col, int row, QString& text);
    virtual void GetCellRawValue(int col, int row, QString& text);
    virtual void SetCellRawValue(int col, int row, const QString& text);
    // The text with check texts for check boxes and, unless kept, no tags.
    virtual void GetCellPlainText(int col, int row, QString& text);
    virtual void PutCellText(int col, int row, const QString& value);
    virtual void StoreCellText(int col, int row, const QString& value);
    // Wide text: after the prefix "|\" every pair of characters is one
    // UTF-16 unit, high byte first; an odd last character is ignored.
    QString GetWideCellText(int col, int row);
    void SetWideCellText(int col, int row, const QString& value);
    // Empties every cell (hidden columns too) and frees their properties.
    void Clear();
    // Empties count rows from row over all stored columns.
    void ClearRows(int row, int count);
    void ClearRect(int col1, int row1, int col2, int row2);

    std::function<void(QObject* sender, int col, int row, bool& isFloat, QString& floatFormat)> OnGetFloatFormat;
    std::function<void(QObject* sender, TRect cells)> OnCellsChanged;

    // =======================================================================
    // draw/: the painting pipeline
    // =======================================================================
    // The alignment pair of a cell (real column).
    void GetCellAlign(int col, int row, TAlignment& hAlign, TVAlignment& vAlign);
    // The cell's graphic with the size drawn and whether text goes beside.
    TCellGraphic* GetCellGraphicInfo(int col, int row, TCellHAlign& hAlign, TCellVAlign& vAlign, bool& drawText,
                                     int& height, int& width);
    // Colour bands over a rectangle of the canvas.
    void DrawGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, bool horizontal,
                      const TRect& rect);
    // The XOR guide line of column moving and sizing; drawing it twice at
    // the same x removes it.
    void DrawMoveLine(TCanvas& canvas, int x);
    // The soft frame round the window (glSoft and glDUV looks).
    void DrawSoftFrame(TCanvas& canvas);
    void DrawCheckBox(TCanvas& canvas, const TRect& rect, bool checked, bool enabled, TControlStyle style);
    void DrawRadioGroup(TCanvas& canvas, const TRect& rect, int count, int itemIndex, const QStringList& items,
                        bool disabled, bool horizontal, const QString& cellText, TGridDrawState state);
    void DrawSortGlyph(TCanvas& canvas, int col, int y, int x);

    std::function<void(QObject* sender, TCanvas& canvas, int col, int row, TGridDrawState state, TRect rect,
                       bool printing)>
        OnCustomCellDraw;
    std::function<void(QObject* sender, int row, int col, TPen& left, TPen& top, TPen& right, TPen& bottom)>
        OnGetCellBorderProp;

    // =======================================================================
    // edit/: editors
    // =======================================================================
    bool IsCellEditable(int col, int row);

    std::function<void(QObject* sender, int col, int row, QString& value, bool& valid)> OnCellValidate;
    std::function<void(QObject* sender)> OnEditingDone;

    // =======================================================================
    // hidden/: hidden rows and columns, nodes, filtering
    // =======================================================================
    // Real column of a display column; -1 past the visible columns.
    int RealColIndex(int displCol) const;
    int DisplColIndex(int realCol) const;
    int RealRowIndex(int displRow) const;
    int DisplRowIndex(int realRow) const;
    int NumHiddenColumns() const;
    int NumHiddenRows() const;
    bool IsHiddenColumn(int realCol) const;
    int NodeCount() const;
    // 1: last row of a node, 2: a row inside a node, 0: none.
    int GetNodeLineKind(int row) const;

    int DisplayToRealCol(int displayCol) const override;
    int RealToDisplayCol(int realCol) const override;
    int StoreCols() const override;

    // =======================================================================
    // scroll/: scrolling and stretching
    // =======================================================================

    // =======================================================================
    // typed/: typed access, cell graphics, headers, selection lists
    // =======================================================================
    virtual TCellGraphic* GetCellGraphic(int col, int row);
    virtual TCellType GetCellType(int col, int row);
    int CellAsInteger(int col, int row);
    bool IsCheckBoxCell(int col, int row);
    bool IsRowSelected(int row) const;
    bool IsColSelected(int col) const;
    bool IsCellInSelection(int col, int row) const;

    // =======================================================================
    // Automatic rows
    // =======================================================================
    virtual void AutoInsertRow(int row);
    virtual void AutoDeleteRow(int row);
    virtual bool EditTextHook(const QString& text, QString& value, int param);
    // Row operations the automatic rows and the forms use (display rows;
    // footer rows stay last).
    virtual void InsertRows(int index, int count);
    virtual void RemoveRows(int index, int count);
    void AddRow();

    std::function<void(QObject* sender, int row)> OnAutoInsertRow;
    std::function<void(QObject* sender, int row)> OnAutoDeleteRow;

protected:
    // ----- Base-grid hooks
    bool IsFixed(int col, int row) override;
    int GetCellIndent(int row) override;
    bool HasNodeColumn() override;
    void DrawCellContent(TCanvas& canvas, int col, int row, TRect rect, TGridDrawState state) override;
    void PrepareCellCanvas(int col, int row, TGridDrawState& state, bool printing, bool selectionAware,
                           bool remapColumn, TBrush& brush, TFont& font, TAlignment& hAlign, TVAlignment& vAlign,
                           bool& reserved) override;
    void Paint() override;
    void PaintSizingLine(int x) override;
    void PaintBorder() override;
    void Resize() override;
    virtual void CellsChanged(const TRect& cells);

    std::unique_ptr<TExtStringGridPrivate> d;

private:
    // The pieces of the pipeline (draw/).
    void DrawCellText(TCanvas& canvas, int rcol, int row, TGridDrawState& state, TRect rect, TAlignment hAlign,
                      TVAlignment vAlign, TCellGraphic* graphic, TCellHAlign gh, TCellVAlign gv, bool drawText,
                      int gw, int gheight, TColor savedBrush, TColor savedFont);
    void DrawCellGraphic(TCanvas& canvas, int rcol, int row, TGridDrawState state, TRect rect,
                         TCellGraphic* graphic, TCellHAlign gh, TCellVAlign gv, int gw, int gheight,
                         TAlignment hAlign);
    void DrawCellBorders(TCanvas& canvas, int rcol, int row, TRect rect);
    void DrawFixedLook(TCanvas& canvas, TRect& rect, int rcol);
};
