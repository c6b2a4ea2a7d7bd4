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
//   input/   keyboard, mouse clicks and moves, sizing, timer, wheel
//   size/    automatic sizing of columns and rows
// The column grid (column/TExtColumnGrid.h) answers the attribute hooks
// from its column items.
// The sections below follow the rooms; each room adds its members in its
// own section.

#include "grid/TBaseGrid.h"
#include "grid/GridSettings.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/hidden/THiddenRows.h"
#include "grid/lists/TSortIndexList.h"
#include "platform/core/DateTime.h"

#include <functional>
#include <memory>
#include <vector>

class QCursor;
class QEvent;
class QIODevice;
class QMimeData;
class QPixmap;
class TImageList;
class TPictureContainer;
struct TCellPaintOptions;
class TEditLink;
class TExtInplaceEdit;
class TExtStringGridCheck;
class TGridCombo;
class TGridSpin;
class TGridUniEdit;
class TGridUniCombo;
class TGridCheckBox;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridDatePicker;
class TGridButton;
class TExtRichEdit;
class THTMLPictureCache;
class TFooterPanel;
class THTMLHintWindow;
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
    // Selected rich-text cells keep their own text colours.
    bool SelectionRTFKeep() const;
    void SetSelectionRTFKeep(bool value);
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
    // Switching it on sizes every column past the fixed ones to its cells,
    // 10 pixels wider (size/).
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
    // The counts (typed/): with FixedRowAlways (FixedColAlways) a count of
    // 2 or more makes FixedRows (FixedCols) 1, and a fixed count of 0 reads
    // 1; a new column count fits the stretch column again.
    void SetRowCount(int value);
    void SetColCount(int value);
    int FixedRows() const override;
    int FixedCols() const override;
    // Shown in column 0 of the current row: the grid keeps a copy of the
    // bitmap given (nullptr or an empty bitmap: none).
    TBitmap* RowIndicator() const;
    void SetRowIndicator(const TBitmap* value);
    // Not owned: a list destroyed while set is forgotten (none from then on).
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
    virtual int GetVersionNr() const;
    virtual QString GetVersionString() const;

    // Stored column widths: "Col" + index in section ColumnSize.Section of
    // the ini file or user registry key ColumnSize.Key.
    void SaveColumnSizes();
    void LoadColumnSizes();
    // Called once the settings are in place (as after reading a form's
    // description): the stored widths come back with ColumnSize.Save.
    virtual void Loaded();

    // Update blocks: EndUpdate repaints the whole grid when the count
    // reaches 0 again.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const;
    bool UpdatesSuspended() const override;

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
    // The limits automatic sizing keeps to (none here).
    virtual void UpdateAutoColumnSize(int col, int& width);
    // ColumnHeaders changed, before the texts go into row 0 (nothing here).
    virtual void ColumnHeadersChanged() { }
    // Cells were imported from a file.
    virtual void FileLoaded();
    // The editor's length limit at the current cell (0: none) and its edit
    // mask (OnGetEditMask).
    virtual int GetEditLimit();
    virtual QString GetEditMask(int col, int row);

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
    std::function<void(QObject* sender, int col, int row, QString& value)> OnGetEditMask;
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
    // Wide text: cells hold Unicode, so it is stored and read unchanged.
    QString GetWideCell(int col, int row);
    void SetWideCell(int col, int row, const QString& value);
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
    void DrawGradient(TCanvas& canvas, TColor fromColor, TColor toColor, int steps, bool horizontal, const TRect& rect);
    // The XOR guide line of column moving and sizing; drawing it twice at
    // the same x removes it.
    void DrawMoveLine(TCanvas& canvas, int x);
    // The soft frame round the window (glSoft and glDUV looks).
    void DrawSoftFrame(TCanvas& canvas);
    void DrawCheckBox(TCanvas& canvas, const TRect& rect, bool checked, bool enabled, TControlStyle style);
    void DrawRadioGroup(TCanvas& canvas, const TRect& rect, int count, int itemIndex, const QStringList& items,
                        bool disabled, bool horizontal, const QString& cellText, TGridDrawState state);
    void DrawSortGlyph(TCanvas& canvas, int col, int y, int x);
    // Where text turned by angle degrees (counter-clockwise) starts in a
    // cell: rect's left and top become that point, so the turned text lies
    // in the cell by the alignments, inside the text margins. The text is
    // measured in the canvas font.
    void GetRotatedTextOrigin(TCanvas& canvas, TRect& rect, int angle, TVAlignment vAlign, TAlignment hAlign,
                              const QString& text);

    std::function<void(QObject* sender, TCanvas& canvas, int col, int row, TGridDrawState state, TRect rect,
                       bool printing)>
        OnCustomCellDraw;
    std::function<void(QObject* sender, int row, int col, TPen& left, TPen& top, TPen& right, TPen& bottom)>
        OnGetCellBorderProp;

    // =======================================================================
    // edit/: the text editor and the in-place controls
    // =======================================================================
    // Whether an edit may start at the cell (real column): editing on, the
    // base cell of its area, CanEditCell and not IsFixedCell.
    bool IsEditableCell(int col, int row);

    // Auto-completion of typed text from LookupItems (the text editor and
    // the combos); with LookupHistory a text left in an editor joins them.
    bool Lookup() const;
    void SetLookup(bool value);
    bool LookupCaseSensitive() const;
    void SetLookupCaseSensitive(bool value);
    bool LookupHistory() const;
    void SetLookupHistory(bool value);
    QStringList& LookupItems();
    // Longest text the text editor takes (0: no limit).
    int MaxEditLength() const;
    void SetMaxEditLength(int value);
    // A '.' typed on the numeric keypad is the decimal separator.
    bool ExcelStyleDecimalSeparator() const;
    void SetExcelStyleDecimalSeparator(bool value);
    QChar PasswordChar() const;
    void SetPasswordChar(QChar value);
    // Corrects and marks edited texts (not owned).
    TExtStringGridCheck* CellChecker() const;
    void SetCellChecker(TExtStringGridCheck* value);
    // The custom editor of edCustom cells (not owned; the column grid sets
    // it from the column).
    TEditLink* EditLink() const;
    void SetEditLink(TEditLink* value);

    // The colour and font an editor takes for a cell (display column).
    void GetEditorColors(int col, int row, TColor& color, TFont& font);
    // The editor of the edit in progress (edNormal when none).
    TEditorType CurrentEditorType() const;
    bool EditInProgress() const;
    // The text editor (nullptr until first shown) and the controls.
    TExtInplaceEdit* TextEditor() const;
    TGridCombo* GridCombo() const;
    TGridSpin* GridSpin() const;
    TGridUniEdit* GridUniEdit() const;
    TGridUniCombo* GridUniCombo() const;
    TExtRichEdit* GridRichEdit() const;
    TGridCheckBox* GridCheckBox() const;
    TGridEditBtn* GridEditBtn() const;
    TGridUnitEditBtn* GridUnitEditBtn() const;
    TGridDatePicker* GridDatePicker() const;
    TGridButton* GridButton() const;

    // Lays the control of the current editor type over the cell (base cell,
    // display column), fills it from the cell and focuses it.
    void ShowEditorControl(int col, int row);
    // Writes the control's value back (only when the user changed it),
    // hides and disables the control, fires OnEditingDone.
    void StoreEditorControl(int col, int row);
    // The current cell gets back the text it had when it was selected.
    virtual void RestoreEditText();
    // Ends the edit in progress: the text editor hides (storing a changed
    // text), a control stores its value.
    void CloseEditorControl();
    // Remembers the cell and text an edit starts from (validation compares
    // with them).
    virtual void BeginCellEdit(int col, int row);
    // Runs the cell checker and OnCellValidate on an edited value. A refused
    // value leaves the cell with the text it had when the edit began.
    virtual bool ValidateCell(QString& value);
    // The rule of the keys that leave an editor (Tab, Enter, Up, Down):
    // accepted, text becomes the (corrected) value to store; refused, text
    // becomes the cell's text and the key must stay in the editor.
    bool ValidateEditorText(QString& text);
    // The pending click position: where a click that opened the editor
    // was, with MouseActions.CaretPositioning (grid client coordinates).
    // Taken once; false when there is none.
    bool TakePendingClick(QPoint& pos);
    // A key an editor does not use: the edit ends, Tab and the arrows move
    // the current cell, Enter advances to the next cell.
    void EditorKeyDown(int key, TShiftState shift);
    // Moves to the next (previous) cell in tab order.
    void TabToNextCell(bool backward);
    // SizeWhileTyping: the current column widens to a text being typed into
    // the current cell, and with word wrap the row fits it (OnEndRowSize).
    void SizeToTypedText(const QString& text);
    // The text of an ellipsis button after OnEllipsClick.
    virtual QString EllipsClick(const QString& value);
    virtual QString GetCurrentCellText();
    virtual void SetCurrentCellText(const QString& value);

    std::function<void(QObject* sender, int col, int row, QString& value, bool& valid)> OnCellValidate;
    std::function<void(QObject* sender)> OnEditingDone;
    // The selection (or the caret) of the rich-text editor moved.
    std::function<void(QObject* sender)> OnRichEditSelectionChange;
    std::function<void(QObject* sender, int col, int row, int value, bool upDown)> OnSpinClick;
    std::function<void(QObject* sender, int col, int row, double value, bool upDown)> OnFloatSpinClick;
    std::function<void(QObject* sender, int col, int row, TDateTime value, bool upDown)> OnDateSpinClick;
    std::function<void(QObject* sender, int col, int row, TDateTime value, bool upDown)> OnTimeSpinClick;
    std::function<void(QObject* sender, int col, int row, int itemIndex, const QString& selection)> OnComboChange;
    std::function<void(QObject* sender, int col, int row, int itemIndex, const QString& selection, QObject* object)>
        OnComboObjectChange;
    std::function<void(QObject* sender, int row, int col)> OnComboCloseUp;
    std::function<void(QObject* sender, int col, int row, QString& s)> OnEllipsClick;
    std::function<void(QObject* sender, int col, int row, TEditLink* link)> OnGetEditorProp;
    std::function<void(QObject* sender, int row, int col)> OnDblClickCell;
    std::function<void(QObject* sender, bool& allow)> OnClipboardCopy;
    std::function<void(QObject* sender, bool& allow)> OnClipboardCut;
    std::function<void(QObject* sender, bool& allow)> OnClipboardPaste;
    std::function<void(QObject* sender, int col, int row, QString& value, bool& allow)> OnClipboardBeforePasteCell;
    std::function<void(QObject* sender, int row)> OnEndRowSize;
    std::function<void(QObject* sender, int oldRow, int newRow, bool& allow)> OnRowChanging;
    std::function<void(QObject* sender, int oldCol, int newCol, bool& allow)> OnColChanging;

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
    // The node rows: display rows whose cell in column 0 is a ctNode
    // graphic. Kept between changes of the cell objects; RecountNodes asks
    // for a new count (a graphic's kind changed in place).
    int NodeCount() const;
    void RecountNodes();
    // 1: last row of a node, 2: a row inside a node, 0: none.
    int GetNodeLineKind(int row) const;

    int DisplayToRealCol(int displayCol) const override;
    int RealToDisplayCol(int realCol) const override;
    int StoreCols() const override;

    int RealColumn(int displCol) const { return RealColIndex(displCol); }
    // Real column of the current column.
    int RealCol() const { return RealColIndex(Col()); }
    bool IsHiddenRow(int realRow) const;
    // The raw visibility flag of a real column.
    bool GetColumnVisible(int realCol) const;
    void SetColumnVisible(int realCol, bool visible);

    // Real indices. Hiding the last visible column is refused. Hidden
    // columns keep their cells and widths.
    void HideColumn(int col);
    void HideColumns(int fromCol, int toCol);
    void UnHideColumn(int col);
    void UnHideColumns(int fromCol, int toCol);
    void UnHideColumnsAll();
    // Real indices; rows already hidden (or already shown) are skipped, so
    // a range may hold both. Each row comes back at its own place.
    void HideRow(int row);
    void HideRows(int fromRow, int toRow);
    void UnHideRow(int row);
    void UnHideRows(int fromRow, int toRow);
    void UnHideRowsAll();

    // Nodes (display rows; ContractNode and ExpandNode take real rows).
    bool IsNodeRow(int row);
    bool GetNodeState(int row);
    int GetNodeSpan(int row);
    void ContractNode(int realRow);
    void ExpandNode(int realRow);

    // Whether a display row passes every condition of Filter.
    virtual bool FilterMatch(int row);
    // Hides every data row failing the filter, in one pass.
    void ApplyFilter();
    void SetFilterActive(bool value);
    std::function<void(QObject* sender, short progress)> OnFilterProgress;
    // Hidden rows behind inserted or deleted rows move with them.
    void InsertRowRange(int index, int count) override;
    void DeleteRowRange(int index, int count) override;
    // After display rows first .. first + order.size() - 1 were put in a new
    // order (a sort): order[k] was the display row of the row now at
    // first + k. Each hidden row follows the visible row above it, as it
    // does when one row moves.
    void RowsReordered(int first, const std::vector<int>& order);

    // =======================================================================
    // scroll/: scrolling and stretching
    // =======================================================================
    // Gives the column (-1: the last) the client width the other columns
    // leave (the default width when they leave none); nothing unless
    // ColumnSize.Stretch is on. A column past the last raises Exception
    // "Stretch column index out of range".
    void StretchColumn(int col);
    // ColumnSize.Stretch stored, then the stretch column stretched.
    void SetColumnSizeStretch(bool value);
    // The grid grows and shrinks with the form (top-level window) it lies
    // on, by the form's change of size, keeping above 0; the stretch column
    // is fitted again after each change.
    bool SizeWithForm() const;
    void SetSizeWithForm(bool value);
    // The form now measures width x height.
    void FormResized(int width, int height);
    // Makes the cell visible: a column (row) out of view becomes current and
    // is centred, the left column (top row) kept within the fixed part and
    // the last full window.
    void ScrollInView(int col, int row);
    bool IsPasswordCellAt(int col, int row);
    // Heights snap to whole default rows (nothing with a default of 0).
    bool IntegralHeight() const;
    void SetIntegralHeight(bool value);
    void SetBounds(int left, int top, int width, int height) override;
    // While a scroll bar's thumb is dragged a hint beside the pointer shows
    // the row ("Row : " + row) or column ("Col : " + column) it brings to
    // the top (left); OnScrollHint may change the text.
    TScrollHintType ScrollHints() const;
    void SetScrollHints(TScrollHintType value);
    // The top row (left column) follows a dragged thumb; without it (and
    // without goThumbTracking) the view moves when the thumb is let go.
    bool ScrollSynch() const;
    void SetScrollSynch(bool value);
    std::function<void(QObject* sender, int row, QString& hint)> OnScrollHint;
    // The background of both scroll bars; clNone leaves them as the style
    // draws them.
    TColor ScrollColor() const;
    void SetScrollColor(TColor value);
    // The width of the vertical and the height of the horizontal scroll bar
    // (the style's until set; a value below 0 goes back to it).
    int ScrollWidth() const;
    void SetScrollWidth(int value);

    // =======================================================================
    // typed/: typed access, cell graphics, headers, selection lists
    // =======================================================================
    virtual TCellGraphic* GetCellGraphic(int col, int row);
    virtual TCellType GetCellType(int col, int row);
    int CellAsInteger(int col, int row);
    bool IsCheckBoxCell(int col, int row);
    bool IsRadioButtonCell(int col, int row);
    // ctButton and ctBitButton (the base cell's graphic).
    bool IsButtonCell(int col, int row);
    bool IsCheckOrRadioCell(int col, int row);
    double CellAsFloat(int col, int row);
    void SetCellInteger(int col, int row, int value);
    void SetCellFloat(int col, int row, double value);
    // The short date form of value; a value of 0 or less gives an empty text
    // unless ShowZeroDates is on (as it is at construction).
    void SetCellDate(int col, int row, TDateTime value);
    bool ShowZeroDates() const;
    void SetShowZeroDates(bool value);
    // Size of the picture of a ctPicture or ctFilePicture record in a cell
    // of that size; zero and negative sizes are clamped.
    static TPoint GetPictureSize(const TCellGraphic& graphic, int cellWidth, int cellHeight);
    bool GetCheckBoxState(int col, int row, bool& state);
    // Writes the state a check box shows: the flag of a plain check box,
    // the check text of a data or virtual one; nothing without a graphic.
    void SetCheckBoxState(int col, int row, bool state);
    virtual bool ToggleCheckBox(int col, int row, bool fromUser);
    bool GetRadioIndex(int col, int row, int& index);
    // Selects the next option of a radio cell, wrapping to the first;
    // nothing for a radio cell without options.
    bool StepRadioButton(int col, int row, bool fromUser);

    // A new graphic record for the cell (any former one freed).
    TCellGraphic* CreateCellGraphic(int col, int row);
    // Frees the cell's graphic (a virtual check box is only detached); true
    // when there was one.
    bool RemoveCellGraphic(int col, int row);
    bool GetCellComment(int col, int row, QString& text);
    void GetCellErrorRange(int col, int row, int& from, int& length);
    bool GetRotatedAngle(int col, int row, int& angle);
    // The rectangle of a button cell's button (display column).
    void GetCellGraphicRect(int col, int row, TRect& rect);
    // The bitmap (ctBitmap) or icon (ctIcon) as a handle, the image index of
    // ctImageList; -1 for anything else.
    qintptr GetCellGraphicHandle(int col, int row);
    // The image indices of a ctImages cell (nullptr for any other).
    std::vector<int>* GetCellImages(int col, int row);
    // The option strings of the base cell's radio graphic (nullptr: none).
    QStringList* GetRadioOptions(int col, int row);
    // The room a cell's graphic takes beside its text: a bitmap, icon or
    // image-list image counts its width only before or after the text or
    // in an empty cell; radio groups are measured in the cell's font.
    virtual TPoint GetCellGraphicSize(int col, int row);
    // The same for a cell of cellWidth x cellHeight drawn at scale on
    // canvas: pictures scaled, texts measured on canvas, bitmaps, icons and
    // data images always counting their width.
    virtual TPoint GetCellGraphicSizeScaled(int col, int row, double scale, int cellWidth, int cellHeight,
                                            TCanvas& canvas);

    // Disjunct selection marks; an index outside the grid raises
    // EExtGridError "Invalid row accessed" / "Invalid column accessed".
    bool RowSelect(int row) const;
    void SetRowSelect(int row, bool value);
    bool ColSelect(int col) const;
    void SetColSelect(int col, bool value);
    void ClearRowSelect();
    void ClearColSelect();
    // Marks the rows (columns) of the selection; with clearOthers the others
    // lose their marks.
    void SelectionToRowSelect(bool clearOthers);
    void SelectionToColSelect(bool clearOthers);
    void HideSelection();
    void RestoreSelection();
    // The cells a whole-grid copy takes: every cell while the all-cells
    // flag is set (as it is at construction), else the cells between the
    // fixed rows and columns and the footers and fixed right columns.
    bool DataAreaAllCells() const;
    void SetDataAreaAllCells(bool value);
    int DataAreaLeft() const;
    int DataAreaTop() const;
    int DataAreaRight() const;
    int DataAreaBottom() const;

    // Fixed-row texts: item i goes into row 0 of column i ("\n" breaks the
    // line); RowHeaders likewise into column 0.
    const QStringList& ColumnHeaders() const;
    void SetColumnHeaders(const QStringList& value);
    const QStringList& RowHeaders() const;
    void SetRowHeaders(const QStringList& value);

    void RepaintRow(int row);
    void RepaintCol(int col);
    // The cells between two corners; the whole grid when a corner is out of
    // view.
    void RepaintRect(const TRect& cells);
    // The header cells of two columns (row 0) and of two rows (column 0).
    void RepaintHeaders(int col1, int row1, int col2, int row2);
    // The cell under a point given in screen coordinates.
    void MouseToCellScreen(TPoint pt, int& col, int& row) const;
    // Within 4 pixels of a column border in the fixed rows (goColSizing) or
    // of a row border in the fixed columns (goRowSizing); client
    // coordinates.
    bool IsOnSizingEdge(int x, int y) const;
    // The in-place text editor (nullptr before one was made).
    TExtInplaceEdit* GetInplaceEditor() const;

    // One display column selected: with DisjunctColSelect its mark is set
    // beside the others; otherwise it becomes the selection. UnSelectColumn
    // clears the mark, or takes the column out of a selection spanning it:
    // an edge column narrows the rectangle, one inside keeps the part left
    // of it, the only column leaves the current cell.
    void SelectColumn(int col);
    void UnSelectColumn(int col);
    // The selected columns: each change unselects every column and selects
    // the listed ones, the first replacing the selection and the others
    // adding to it.
    TIntList& SelectedColumns();

    // Moves the current cell from (col, row) (display indices) to the next
    // editable cell by Navigation.AdvanceDirection, wrapping at the end of
    // the data area or, with Navigation.AdvanceInsert, adding one row (or
    // column). Visits each cell of the data area at most once: when none is
    // editable the current cell stays.
    void AdvanceToNextCell(int col, int row, bool force, bool showEditor, bool forward);
    std::function<void(QObject* sender, bool& canAdd)> OnCanAddRow;
    std::function<void(QObject* sender, int row)> OnAutoAddRow;
    std::function<void(QObject* sender, int col)> OnAutoInsertCol;
    std::function<void(QObject* sender, int oldRow, int oldCol, int newRow, int newCol, bool& allow)> OnCellChanging;
    bool IsRowSelected(int row) const;
    bool IsColSelected(int col) const;
    bool IsSelected(int col, int row) const;

    // =======================================================================
    // sort/: sorting, row and column maintenance. Sort columns are real
    // columns; rows are display rows. Data rows run from FixedRows to the
    // last row above the FixedFooters footer rows.
    // =======================================================================
    // By SortSettings.Column in SortSettings.Direction (the index list is
    // emptied first).
    virtual void SortByColumn();
    // By the index list; EExtGridError "No indexes specified for indexed
    // sort" when it is empty.
    virtual void SortByIndexes();
    // The rows of each node group by SortSettings.Column; node rows stay.
    virtual void SortGroups();
    TSortIndexList& SortIndexes();
    // Columns whose equal cells MergeColumnCells merges after a header sort.
    TIntList& MergeColumnList();
    // -1, 0 or 1: the order of two rows by one cell, by that column and the
    // next ones (SortSettings.Full), by the index list from entry idx on.
    int CompareCells(int col, int row1, int row2);
    int CompareRows(int col, int row1, int row2);
    int CompareRowsIndexed(int idx, int row1, int row2);
    // Exchanges two rows (only the sort column's cells with
    // SortSettings.SingleColumn).
    virtual void SwapRows(int row1, int row2);
    // Display columns; hidden columns keep their flags and stay with their
    // data.
    virtual void RemoveCols(int col, int count);
    virtual void InsertCols(int col, int count);
    void ClearCols(int col, int count);
    // Removes every selected data row (the current row without disjunct
    // row selection).
    void RemoveSelectedRows();
    void SplitColumnMerges(int col);
    // Merges the runs of equal cells of the column; a secondary column
    // (mainMerge false) only inside the runs already merged in another.
    void MergeColumnCells(int col, bool mainMerge);

    std::function<void(QObject* sender, const QString& str1, const QString& str2, int& res)> OnCustomCompare;
    std::function<void(QObject* sender, int col, int row1, int row2, int& res)> OnRawCompare;

    // =======================================================================
    // footer/: the floating footer, column calculations, the hint window
    // =======================================================================
    // Over the rows from fromRow to toRow of a real column; a text that is
    // no number counts as 0. Average, minimum and maximum of no rows are 0.
    double ColumnSum(int col, int fromRow, int toRow);
    double ColumnAvg(int col, int fromRow, int toRow);
    double ColumnMin(int col, int fromRow, int toRow);
    double ColumnMax(int col, int fromRow, int toRow);
    // Fills the footer row's cells whose properties name a calculation
    // (FooterCalc: 1 sum, 2 average, 3 count, 4 minimum, 5 maximum, 0
    // none) over the data rows; col -1: every column. Only while the footer
    // shows the last row. Without data rows the average, minimum and
    // maximum cells are empty.
    virtual void CalcFooter(int col);
    // The template with each "<#n>" replaced by column n of the current
    // row; a placeholder that names no column disappears.
    QString FormatFooterTemplate(const QString& text);
    TFooterPanel* FooterPanel();
    // The floating footer takes the new height too (the panel at once while
    // it shows).
    void SetDefaultRowHeight(int value) override;
    void SetFloatingFooterStyle(TFooterStyle value);
    // One cell drawn by the cell painter as a fixed cell (display column).
    void PaintFooterCell(TCanvas& canvas, int col, int row, const TRect& rect);
    // The grid's HTML hint window.
    THTMLHintWindow* HintWindow();

    // =======================================================================
    // io/: the cell stream, the clipboard and the imports. Blocks are in
    // display columns.
    // =======================================================================
    // Writes the block's cells (texts, properties, graphics) as a cell
    // stream; the private clipboard format.
    void SaveCellsToStream(const TRect& block, QIODevice& stream);
    // Reads a cell stream whole, then places its cells relative to the
    // block's top-left at (col, row) (a whole-grid stream replaces the
    // grid). EReadError when it does not read; the grid is then unchanged.
    // Answers the number of cells of the block.
    int LoadCellsFromStream(int col, int row, QIODevice& stream);
    // The block as text: cells joined by TAB, rows ended by CR LF when
    // there are several; with selectedOnly only the disjunctly selected
    // rows or columns.
    QString RectAsText(const TRect& block, bool selectedOnly);
    // The formats of a copy of the block: plain text, rich text (when the
    // top-left cell holds it and AllowRTFClipboard is set), the cell stream
    // (AllowFmtClipboard).
    QMimeData* RectAsMimeData(const TRect& block, bool selectedOnly);
    void CopyRectAsText(const TRect& block, bool selectedOnly);
    void CopySelectionToClipboard();
    void CutSelectionToClipboard();
    void PasteSelectionFromClipboard();
    // Pastes the clipboard's best format at the cell; the cells pasted.
    int PasteFromClipboard(int col, int row);
    // Pastes the formats of data at the cell, as PasteFromClipboard does.
    int PasteMimeData(int col, int row, const QMimeData& data);
    // TAB-separated fields, lines ended by CR LF, lone CR or lone LF; the
    // number of field places.
    int PasteText(int col, int row, const QString& text);
    // After a paste of the cell stream: where it came from ((-1, -1) from
    // another grid), where it went, whether it was copied (not cut).
    virtual void PasteNotify(TPoint source, TRect target, bool lastWasCopy);

    // Imports from the top-left cell (with append the lines go below the
    // data rows instead). The grid is not cleared first: a cell no field
    // reaches (past the end of a shorter line, or an empty last field)
    // keeps its text and properties, while data rows below the imported
    // ones are cut off; at least one data row stays, footer rows stay
    // last. The delimiter is detected from the first two lines unless
    // Delimiter is set; quoted fields may hold it. EExtGridError "Cannot
    // open file " + name.
    void LoadFromCSV(const QString& fileName);
    void LoadFromCSV(const QString& fileName, bool append);
    // A sheet of a spreadsheet file (the active one when the name is empty)
    // through the office suite: EExtGridError "Excel OLE server not found"
    // without it, "Excel worksheet " + name + " not found".
    void LoadFromXLS(const QString& fileName);
    void LoadFromXLS(const QString& fileName, const QString& sheetName);
    // The null character: detected at each import.
    QChar Delimiter() const;
    void SetDelimiter(QChar value);
    // Lines read as OEM code page text.
    bool OemConvert() const;
    void SetOemConvert(bool value);
    std::function<void(QObject* sender, short progress)> OnFileProgress;

    // =======================================================================
    // dnd/: drag and drop of cells, columns and files (client coordinates)
    // =======================================================================
    // Accepts drops on the grid's window while set (its drop target is
    // registered for the window).
    void SetOleDropTarget(bool value);
    // Also lets drags offer, and drops take, rich text (SetDropFormatFlag).
    void SetOleDropRTF(bool value);
    // The text a drag of the selection carries (TAB between cells, CR LF
    // between rows).
    QString SelectionAsDragText();
    // Whether a drop at the point would be taken; shows the markers.
    bool DragOver(int x, int y, bool columnDrag);
    void DragLeave();
    // The drops; each answers what it took (0: nothing).
    int DropText(int x, int y, const QString& text);
    bool DropRTF(int x, int y, const QString& rtf);
    // A negative column (damaged column data) is refused: no OnOleDropCol.
    bool DropColumn(int x, int y, int column);
    // One delimited file or spreadsheet replaces the grid's content.
    bool DropFiles(int x, int y, const QStringList& files);
    // Drags the selection (text, rich text) with the drag indicator under
    // the pointer (StartTextDragDrop) and remembers the dragged block;
    // FinishCellDrag follows. The effect: 0 none, 1 copy, 2 move.
    int StartCellDrag();
    // After a drag of the selection ended with effect: a move removes the
    // dragged rows (OleRemoveRows with row selection) or, unless
    // OleCopyAlways, clears the dragged cells, keeping the rows or cells a
    // drop into this grid just filled; OnOleDragStop is told of every drag
    // that did something.
    void FinishCellDrag(int effect);
    // Drags the column (StartColumnDragDrop); the effect.
    int StartColumnDrag(int col);
    void RemoveDraggedCells();
    // The image a drag shows beside the pointer: text on the window colour
    // in a frame, width x height.
    QPixmap DragImage(const QString& text, int width, int height) const;
    TRect OleDragRect() const;
    void SetOleDragRect(const TRect& value);
    // The block the last drop pasted ((-1, -1, -1, -1): none).
    TRect LastDropRect() const;

    std::function<void(QObject* sender, int row, int col, const QString& data, bool& allow)> OnOleDrop;
    std::function<void(QObject* sender, TRect cells)> OnOleDropped;
    std::function<void(QObject* sender, int row, int col, bool& allow)> OnOleDragOver;
    std::function<void(QObject* sender, int row, int col, int dropCol)> OnOleDropCol;
    std::function<void(QObject* sender, int row, int col, const QString& fileName, bool& allow)> OnOleDropFile;
    std::function<void(QObject* sender, int oleEffect)> OnOleDragStop;

    // =======================================================================
    // Automatic rows
    // =======================================================================
    virtual void AutoInsertRow(int row);
    virtual void AutoDeleteRow(int row);
    // Called by the text editor after each key with its text (param: the
    // key); a descendant answering true gives the editor value instead.
    virtual bool EditTextHook(const QString& text, QString& value, int param);
    // Row operations the automatic rows and the forms use (display rows;
    // footer rows stay last).
    virtual void InsertRows(int index, int count);
    virtual void RemoveRows(int index, int count);
    void AddRow();

    std::function<void(QObject* sender, int row)> OnAutoInsertRow;
    std::function<void(QObject* sender, int row)> OnAutoDeleteRow;

    // =======================================================================
    // size/: automatic sizing (display columns and rows)
    // =======================================================================
    // Limits of automatic sizing (0: none) and the grow-only default of the
    // one-argument forms.
    int MinColWidth() const;
    void SetMinColWidth(int value);
    int MaxColWidth() const;
    void SetMaxColWidth(int value);
    int MinRowHeight() const;
    void SetMinRowHeight(int value);
    int MaxRowHeight() const;
    void SetMaxRowHeight(int value);
    bool AutoSizeGrowOnly() const;
    void SetAutoSizeGrowOnly(bool value);
    // The column as wide as its widest cell (margins and grid lines added);
    // with growOnly it never narrows.
    void AutoSizeCol(int col);
    void AutoSizeCol(int col, bool growOnly);
    void AutoSizeRow(int row);
    void AutoSizeRow(int row, bool growOnly);
    // Every column from 0 (or from FixedCols), then extra pixels each.
    void AutoSizeColumns(bool doFixedCols, int extra);
    // lines x (h + h / 8) + extra, h the grid font's height of "gh".
    void SetRowHeightInLines(int row, int lines, int extra);
    // The most lines of the row's cells (1 without multi-line cells).
    int MaxLinesInRow(int row);
    // The size a display cell's text takes as drawn, margins included:
    // plain lines, HTML, rich text as its formatted runs, rotated text by
    // its angle; wrapToColumn wraps it at the column's width.
    void GetCellTextSize(int col, int row, TSize& size, bool wrapToColumn);

    // =======================================================================
    // input/: keyboard, mouse clicks (grid/input/)
    // =======================================================================
    // Selects the radio option under a point given from the cell's top-left
    // corner (real column).
    void RadioClick(int col, int row, int x, int y);
    // Ends the editing of an embedded "EDIT" or "COMBO" control: its text
    // goes into the cell as the control's value.
    void ControlEditDone();
    // The first data row whose search-column text starts with text (already
    // upper-cased); -1 when none.
    int FindAutoGotoRow(const QString& text);
    // The TAB walk (called by the key handling).
    void TabKey(bool backward);
    // Milliseconds the last header-click sort took.
    qint64 SortTime() const;
    // Links stay editable by a right click.
    bool URLEdit() const;
    void SetURLEdit(bool value);
    // Rows and columns move by dragging with the move arrows.
    bool EnhRowColMove() const;
    void SetEnhRowColMove(bool value);

    std::function<void(QObject* sender, int row, int col)> OnClickCell;
    std::function<void(QObject* sender, int row, int col)> OnRightClickCell;
    std::function<void(QObject* sender, int col, int row, bool state)> OnCheckBoxClick;
    std::function<void(QObject* sender, int col, int row, bool state)> OnCheckBoxMouseUp;
    std::function<void(QObject* sender, int col, int row, int index)> OnRadioClick;
    std::function<void(QObject* sender, int col, int row, int index)> OnRadioMouseUp;
    std::function<void(QObject* sender, int col, int row)> OnButtonClick;
    std::function<void(QObject* sender, int row, int realRow)> OnExpandNode;
    std::function<void(QObject* sender, int row, int realRow)> OnContractNode;
    std::function<void(QObject* sender, int row, int col, const QString& anchor, bool& autoHandle)> OnAnchorClick;
    std::function<void(QObject* sender, int row, int col, const QString& ctrlID, const QString& ctrlType,
                       const QString& ctrlValue)>
        OnControlClick;
    std::function<void(QObject* sender, const QString& ctrlID, const QString& ctrlValue, int col, int row,
                       QStringList& values, bool& edit)>
        OnControlComboList;
    std::function<void(QObject* sender, int row, int col, const QString& ctrlID, const QString& ctrlType,
                       const QString& ctrlValue)>
        OnControlEditDone;
    std::function<void(QObject* sender, int col, bool& doSort)> OnCanSort;
    std::function<void(QObject* sender, int col)> OnClickSort;
    std::function<void(QObject* sender, int col, bool& allow)> OnColumnSize;
    std::function<void(QObject* sender, int col)> OnEndColumnSize;
    // Pointer moves (grid/input/): what a press in the headers would do
    // (0 nothing, 1 column, 2 row, 3 all, 5 selection resizer), the live
    // size hint, the disjunct cell selection.
    int CursorState() const;
    // While a row or column moves with EnhRowColMove: the floating image
    // of the moved header cell follows the pointer, arrows mark the gap
    // before the target, and the view scrolls when the pointer passes the
    // fixed part or the edge. The target column (row); -1 when none.
    int MoveTargetCol() const;
    int MoveTargetRow() const;
    QWidget* MoveImage() const;
    QWidget* MoveArrow(int direction) const;
    QString SizeHintText() const;
    bool HintShowSizing() const;
    void SetHintShowSizing(bool value);
    bool IsDisjunctCellSelected(int col, int row) const;
    int DisjunctCellCount() const;
    // Cell hints on hover (grid/input/): a normal cell's text with
    // HintShowCells, or only when it does not fit with HintShowLargeText
    // (tags kept with HTMLHint, else stripped); with AnchorHint the anchor
    // under the pointer (OnAnchorHint may change it); OnGridHint has the
    // last word. The hint window shows it at the cell in HintColor.
    bool HintShowCells() const;
    void SetHintShowCells(bool value);
    bool HintShowLargeText() const;
    void SetHintShowLargeText(bool value);
    bool HTMLHint() const;
    void SetHTMLHint(bool value);
    bool AnchorHint() const;
    void SetAnchorHint(bool value);
    // The hint for the pointer at (x, y) (client coordinates); the cell
    // under it becomes the hover cell.
    QString CellHintAt(int x, int y);
    // Shows that hint (hides the window when there is none); whether one shows.
    bool ShowCellHint(int x, int y);
    void HideCellHint();
    // The cell whose hint may show ((-1, -1): none).
    TPoint HoverCell() const;
    // The anchor of an HTML cell under the pointer (empty: none).
    QString AnchorAt(int col, int row, int x, int y);
    std::function<void(QObject* sender, int row, int col, QString& anchor)> OnAnchorHint;
    // The grid timer (every 500 ms): blinking text and the current cell
    // following the pointer.
    bool Hovering() const;
    void SetHovering(bool value);
    bool EnableBlink() const;
    void SetEnableBlink(bool value);
    void TimerTick();
    // What a tick does with the pointer at (x, y) while Hovering is on: a
    // normal cell there becomes current.
    void HoverAt(int x, int y);
    // Ctrl with the wheel zooms by one step, within -10 .. 10.
    int ZoomLevel() const;
    // Middle-button panning (ipNone: none). PanStep is one tick of the pan
    // timer (every 10 ms) with the pointer at (x, y).
    TIntelliPan IntelliPan() const;
    void SetIntelliPan(TIntelliPan value);
    bool Panning() const;
    bool StartPanning(int x, int y);
    void StopPanning();
    void PanStep(int x, int y);
    std::function<void(QObject* sender, int row, bool& allow)> OnRowSize;
    std::function<void(QObject* sender, int col, bool& allow)> OnColumnMove;
    std::function<void(QObject* sender, int row, bool& allow)> OnRowMove;
    std::function<void(QObject* sender, int row, int col, const QString& data, bool& allow)> OnOleDrag;
    std::function<void(QObject* sender, int dropIndex)> OnOleDragStart;
    std::function<void(QObject* sender, int row, int col, const QString& anchor)> OnAnchorEnter;
    std::function<void(QObject* sender, int row, int col, const QString& anchor)> OnAnchorExit;
    std::function<void(QObject* sender, int row, bool& canInsert)> OnCanInsertRow;
    std::function<void(QObject* sender, int row, bool& canDelete)> OnCanDeleteRow;

protected:
    // A custom editor hands Up and Down on to the key handling.
    friend class TEditLink;

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
    // ----- Editing (edit/)
    // Decides between the text editor and a control; starts the control.
    bool CanEditShow() override;
    TInplaceEdit* CreateEditor() override;
    // The text the text editor starts from (display column).
    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    // Before the current cell moves: the changing events, per-cell
    // editability and the validation of a pending text edit.
    bool SelectCell(int col, int row) override;
    void ShowEditorWithChar(TKeyChar ch) override;
    void EditorHidden() override;
    // Hidden rows follow inserted and removed rows (hidden/).
    void SizeChanged(int oldColCount, int oldRowCount) override;
    // Hidden rows follow a moved row (hidden/).
    void RowMoved(int fromIndex, int toIndex) override;

    // The first showing of the window: the stored widths come back with
    // ColumnSize.Save.
    virtual void CreateWnd();
    // ----- input/
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Follows the form the grid now lies on (SizeWithForm).
    void WatchForm();
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void Click() override;
    void KeyDown(int& key, TShiftState shift) override;
    void KeyUp(int& key, TShiftState shift) override;
    void KeyPress(TKeyChar& key) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    // A border whose OnColumnSize (OnRowSize) refuses is no sizing border.
    void CalcSizingState(int x, int y, TGridState& state, int& index) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    // The controls placed in cells follow the view (scroll/).
    void TopLeftChanged() override;
    // After widths (heights) change: the stretch column follows, and a
    // sizing by the mouse ends here (all columns scaled with AllColumnSize,
    // OnEndColumnSize, the column-width hook; rows likewise).
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    // ----- scroll/: the scroll hint follows the dragged thumb.
    void ThumbTracking(bool vertical, int position) override;
    void ThumbReleased(bool vertical) override;
    void paintEvent(QPaintEvent* event) override;
    bool DoMouseWheelDown(TShiftState shift, TPoint mousePos) override;
    bool DoMouseWheelUp(TShiftState shift, TPoint mousePos) override;

    std::unique_ptr<TExtStringGridPrivate> d;

private:
    // The pieces of the pipeline (draw/), each reading the options of the
    // cell being painted: the text painter's shared steps, one painter per
    // text kind, and the graphic painter.
    void DrawCellText(TCanvas& canvas, TCellPaintOptions& o);
    void PaintCellBackground(TCanvas& canvas, const TCellPaintOptions& o);
    void PaintSelectionEdges(TCanvas& canvas, const TCellPaintOptions& o);
    void PaintPlainText(TCanvas& canvas, TCellPaintOptions& o, TRect r);
    void PaintHTMLText(TCanvas& canvas, TCellPaintOptions& o, TRect r);
    void PaintRichText(TCanvas& canvas, TCellPaintOptions& o, TRect r);
    bool SortGlyphInCell(int rcol, int row);
    void DrawCellGraphic(TCanvas& canvas, const TCellPaintOptions& o, TRect rect);
    void DrawCellBorders(TCanvas& canvas, int rcol, int row, TRect rect);
    void DrawFixedLook(TCanvas& canvas, TRect& rect, int rcol);
    // The pipeline's steps around the painters (PaintSteps_p.h) and the
    // table of painters by graphic kind (GraphicPainters_p.h).
    struct PaintSteps;
    struct GraphicPainter;
    // hidden/
    void SyncColumnMap() const;
    void HideDisplayRows(const std::vector<char>& take);
    void PutBackRows(std::vector<TGridItem>&& items);
    int NodeEnd(int row, int span);
    // scroll/: the hint of a dragged thumb beside the pointer.
    void ShowScrollHint(bool vertical, int position);
    // input/
    // The key-down table (input/TExtStringGridKeys.cpp).
    struct KeyBindings;
    // The mouse gestures: a left press starts one, its release ends it
    // (Gestures_p.h).
    struct Gestures;
    void LeftButtonDown(TShiftState shift, int x, int y);
    void LeftButtonUp(TShiftState shift, int x, int y);
    void DoubleClickAt(TShiftState shift, int x, int y);
    void SortOnHeaderClick(int col, TShiftState shift);
    void StartGridTimer();
    bool WheelStep(TShiftState shift, TPoint mousePos, int direction);
    // Column widths follow the control's width (ColumnSize.SynchWithGrid).
    void FollowWidth();
    // Shows the cursor given, or the grid's own cursor back when none.
    void ApplyCursor(const QCursor* cursor);
    bool IsCheckCell(int col, int row);
    void ShowControlEdit(int col, int row, const QString& id, const QString& value, const TRect& rect);
    void ShowControlCombo(int col, int row, const QString& id, const QString& value, const TRect& rect);
    void ControlEnterKey(QObject* sender, TKeyChar& key);
    // The focus came (from a window of the grid's own: its editors) or went.
    void WMSetFocus(bool fromOwnWindow);
    void WMKillFocus();
    // edit/
    // The in-place control of each editor type (EditorMakers_p.h).
    struct EditorMaker;
    // The steps of a move of the current cell (SelectCell).
    struct CellMove;
    void EnsureEditControls() const;
    void DestroyEditControls();
    QWidget* ActiveEditControl() const;
    // footer/
    double FooterValue(int col, int row);
    // io/
    qint32 StreamId() const;
    // The cell stream of the block, as SaveCellsToStream writes it.
    QByteArray CellStreamBytes(const TRect& block);
    // Reads a whole cell stream (see LoadCellsFromStream); asPaste applies
    // the clipboard's rules.
    int LoadCells(int col, int row, const QByteArray& bytes, bool asPaste);
    // The block's text (see RectAsText) into text, or straight as UTF-8
    // into utf8 when that is given.
    void RectText(const TRect& block, bool selectedOnly, QString* text, QByteArray* utf8);
    // PasteText over UTF-16 or ASCII characters.
    template <class Char>
    int PasteChars(int col, int row, const Char* text, qsizetype size);
    // Puts the counts back after a paste or import that could not finish.
    void RestoreSize(int cols, int rows);
    // Fills the selection from the series the source block starts (pasted:
    // the count of cells pasted there); see PasteSelectionFromClipboard.
    void SmartFill(int pasted, const TGridRect& source);
    // The rows of an import, built aside: each row's texts from the start
    // column.
    using ImportRows = std::vector<TRowCells>;
    // Writes rows, of up to widest fields, into the grid (with append:
    // below the data rows), sizing the grid to them; footer rows stay last.
    // A cell no field reaches keeps its text: reach gives each row's count
    // of fields (nullptr: every non-empty text is a field). emptyFooterRow
    // empties the texts of the last footer row. Either the grid takes all
    // of it or, when it cannot grow, it stays as it was.
    void PlaceImportedRows(ImportRows& rows, const std::vector<int>* reach, int widest, bool append, bool exactCols,
                           bool emptyFooterRow);
    // dnd/
    void HideDropMarkers();
    // sort/
    void RunSort(int mode);
    void ApplyRowOrder(int first, const std::vector<int>& order);
};
