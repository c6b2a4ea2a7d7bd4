#pragma once
// The settings objects of the string grid. Most are records the grid owns
// and the forms fill in place (grid.Navigation().AdvanceOnEnter = true),
// read when they are needed; a change made through the grid's setter
// (SetBands, ...) repaints at once. The objects whose every change shows
// (the sort row, the tree settings, the background picture, the control
// look and the floating footer) know their grid and tell it through their
// own setters.

#include "grid/cells/CellTypes.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TCustomGrid;
class TExtStringGrid;

enum TCellNodeType { cnFlat, cn3D, cnGlyph, cnLeaf };
enum TSortDirection { sdAscending, sdDescending };
enum TSortBlankPosition { blFirst, blLast };
// How a column's cells compare when rows are sorted (grid/sort/).
enum TSortStyle {
    ssAutomatic,
    ssAlphabetic,
    ssNumeric,
    ssDate,
    ssAlphaNoCase,
    ssAlphaCase,
    ssShortDateEU,
    ssShortDateUS,
    ssCustom,
    ssFinancial,
    ssAnsiAlphaCase,
    ssAnsiAlphaNoCase,
    ssRaw,
    ssHTML,
    ssImages,
    ssCheckBox,
    ssUnicode
};
enum TBackgroundDisplay { bdTile, bdFixed };
enum TBackgroundCells { bcNormal, bcFixed, bcAll };
enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview };
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
enum TAdvanceDirection { adLeftRight, adTopBottom };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow };
enum TColumnSizeLocation { clRegistry, clIniFile };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TFilterCondition { fcNone };

// The node boxes of the grid; a change of NodeType or ShowTree repaints
// the grid.
class TCellNode {
public:
    TColor Color = clSilver;
    TColor NodeColor = clBlack;
    TBitmap ExpandGlyph;
    TBitmap ContractGlyph;

    TCellNodeType NodeType() const { return m_nodeType; }
    void SetNodeType(TCellNodeType value);
    bool ShowTree() const { return m_showTree; }
    void SetShowTree(bool value);
    // The grid repainted (set by the grid).
    void SetGrid(TCustomGrid* grid) { m_grid = grid; }

private:
    TCustomGrid* m_grid = nullptr;
    TCellNodeType m_nodeType = cnFlat;
    bool m_showTree = false;
};

struct TSizeWhileTyping {
    bool Height = false;
    bool Width = false;
};

struct TMouseActions {
    bool AllColumnSize = false;
    bool AllRowSize = false;
    bool AllSelect = false;
    bool CaretPositioning = false;
    bool ColSelect = false;
    bool DirectComboDrop = false;
    bool DirectEdit = false;
    bool DisjunctRowSelect = false;
    bool DisjunctColSelect = false;
    bool DisjunctCellSelect = false;
    bool NoAutoRangeScroll = false;
    bool RangeSelectAndEdit = false;
    bool RowSelect = false;
    bool SizeFixedCol = false;
};

struct TColumnSize {
    bool Save = false;
    QString Key;
    QString Section;
    bool Stretch = false;
    int StretchColumn = -1;
    bool SynchWithGrid = false;
    TColumnSizeLocation Location = clRegistry;
};

struct TNavigation {
    bool AllowClipboardColGrow = true;
    bool AllowClipboardRowGrow = true;
    bool CopyHTMLTagsToClipboard = true;
    bool EditSelectAll = true;
    bool AllowInsertRow = false;
    bool AllowDeleteRow = false;
    bool AdvanceOnEnter = false;
    bool AdvanceInsert = false;
    bool AdvanceAuto = false;
    bool AlwaysEdit = false;
    bool AllowClipboardShortCuts = false;
    bool AllowSmartClipboard = false;
    bool AllowRTFClipboard = false;
    bool AllowFmtClipboard = false;
    bool AllowClipboardAlways = false;
    bool AutoGotoWhenSorted = false;
    bool AutoGotoIncremental = false;
    bool AutoComboDropSize = false;
    bool CursorWalkEditor = false;
    bool CursorWalkAlwaysEdit = false;
    bool KeepHorizScroll = false;
    bool LineFeedOnEnter = false;
    bool ImproveMaskSel = false;
    bool MoveRowOnSort = false;
    bool TabToNextAtEnd = false;
    TAdvanceDirection AdvanceDirection = adLeftRight;
    TInsertPosition InsertPosition = pInsertBefore;
    THomeEndAction HomeEndKey = heFirstLastColumn;
    TAdvanceDirection TabAdvanceDirection = adLeftRight;
};

struct THTMLSettings {
    bool SaveColor = true;
    bool SaveFonts = true;
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    int Width = 100;
    bool XHTML = false;
    std::vector<int> ColWidths;
};

struct TPrintSettings {
    QString PageNumSep = QStringLiteral("/");
    QString DateFormat = QStringLiteral("dd/mm/yyyy");
    int TitleSpacing = 0;
    int PageNumberOffset = 0;
    int MaxPagesOffset = 0;
    QString PagePrefix;
    QString PageSuffix;
    TFont Font;
    TFont HeaderFont;
    TFont FooterFont;
    QStringList TitleLines;
};

// Sort behaviour. Row is the header row that shows the sort indicator and
// takes the sort clicks: any row up to and including FixedRows is taken, a
// row below that raises and keeps the old value.
class TSortSettings {
public:
    bool Show = false;
    bool IndexShow = false;
    int Column = 0;
    bool FixedCols = false;
    TColor IndexColor = clYellow;
    TSortDirection Direction = sdAscending;
    // Sorting (grid/sort/): ties go on to the next column; a move exchanges
    // only the sort column's cells; empty cells go to BlankPos whatever the
    // direction; the style is detected from the data; a fixed first column
    // keeps its texts; equal cells of the merge columns are merged after a
    // header sort.
    bool Full = true;
    bool SingleColumn = false;
    bool IgnoreBlanks = false;
    TSortBlankPosition BlankPos = blFirst;
    bool AutoFormat = true;
    bool NormalCellsOnly = false;
    bool AutoColumnMerge = false;
    TBitmap UpGlyph;
    TBitmap DownGlyph;
    TBitmap IndexUpGlyph;
    TBitmap IndexDownGlyph;

    int Row() const { return m_row; }
    void SetRow(int value);
    // The grid whose fixed rows bound Row (set by the grid).
    void SetGrid(const TCustomGrid* grid) { m_grid = grid; }

private:
    const TCustomGrid* m_grid = nullptr;
    int m_row = 0;
};

struct TDragDropSettings {
    bool OleDropTarget = false;
    bool OleDropSource = false;
    bool OleDropRTF = false;
    bool OleAcceptFiles = true;
    bool OleCopyAlways = false;
    bool OleAcceptText = true;
    bool OleColumnDragDrop = false;
    bool OleEntireRows = false;
    bool OleInsertRows = false;
    bool OleAppendRows = false;
    bool OleRemoveRows = false;
};

// The look of check boxes, radio buttons and buttons in cells. Every
// change repaints the grid; the glyph setters copy the picture.
class TControlLook {
public:
    int CheckSize() const { return m_checkSize; }
    void SetCheckSize(int value);
    int RadioSize() const { return m_radioSize; }
    void SetRadioSize(int value);
    TControlStyle ControlStyle() const { return m_controlStyle; }
    void SetControlStyle(TControlStyle value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    bool FlatButton() const { return m_flatButton; }
    void SetFlatButton(bool value);
    const TBitmap& CheckedGlyph() const { return m_checkedGlyph; }
    void SetCheckedGlyph(const TBitmap& value);
    const TBitmap& UnCheckedGlyph() const { return m_unCheckedGlyph; }
    void SetUnCheckedGlyph(const TBitmap& value);
    const TBitmap& RadioOnGlyph() const { return m_radioOnGlyph; }
    void SetRadioOnGlyph(const TBitmap& value);
    const TBitmap& RadioOffGlyph() const { return m_radioOffGlyph; }
    void SetRadioOffGlyph(const TBitmap& value);

    // The grid repainted on a change (set by the grid).
    void SetGrid(TExtStringGrid* grid) { m_grid = grid; }

private:
    void Changed();
    TExtStringGrid* m_grid = nullptr;
    int m_checkSize = 15;
    int m_radioSize = 10;
    TControlStyle m_controlStyle = csClassic;
    TColor m_color = clBlack;
    bool m_flatButton = false;
    TBitmap m_checkedGlyph;
    TBitmap m_unCheckedGlyph;
    TBitmap m_radioOnGlyph;
    TBitmap m_radioOffGlyph;
};

// Alternating row colours. Turning the bands on or off repaints the grid;
// a colour or a length repaints it only while the bands are on.
class TBands {
public:
    bool Active() const { return m_active; }
    void SetActive(bool value);
    // Whether printing uses the bands too.
    bool Print() const { return m_print; }
    void SetPrint(bool value) { m_print = value; }
    TColor PrimaryColor() const { return m_primaryColor; }
    void SetPrimaryColor(TColor value);
    int PrimaryLength() const { return m_primaryLength; }
    void SetPrimaryLength(int value);
    TColor SecondaryColor() const { return m_secondaryColor; }
    void SetSecondaryColor(TColor value);
    int SecondaryLength() const { return m_secondaryLength; }
    void SetSecondaryLength(int value);
    // Rows of one primary and one secondary band.
    int Period() const { return m_primaryLength + m_secondaryLength; }

    // Takes the values of value, keeping the grid this record repaints.
    void Assign(const TBands& value);
    // The grid repainted on a change (set by the grid).
    void SetGrid(TExtStringGrid* grid) { m_grid = grid; }

private:
    void Changed(bool always);
    TExtStringGrid* m_grid = nullptr;
    bool m_active = false;
    bool m_print = false;
    TColor m_primaryColor = clInfoBk;
    int m_primaryLength = 1;
    TColor m_secondaryColor = clWindow;
    int m_secondaryLength = 1;
};

// The picture behind the cells; every change repaints the grid (the
// bitmap's own changes too, once the grid owns the record).
class TBackGround {
public:
    TBitmap Bitmap;

    int Left() const { return m_left; }
    void SetLeft(int value);
    int Top() const { return m_top; }
    void SetTop(int value);
    TBackgroundDisplay Display() const { return m_display; }
    void SetDisplay(TBackgroundDisplay value);
    TBackgroundCells Cells() const { return m_cells; }
    void SetCells(TBackgroundCells value);
    // The grid repainted (set by the grid).
    void SetGrid(TCustomGrid* grid);

private:
    void Changed();
    TCustomGrid* m_grid = nullptr;
    int m_left = 0;
    int m_top = 0;
    TBackgroundDisplay m_display = bdTile;
    TBackgroundCells m_cells = bcNormal;
};

// The floating footer (grid/footer/): the grid's last row kept in view
// below the cells, or a preview of the current row. Visible and
// FooterStyle go to the grid (SetFloatingFooterVisible,
// SetFloatingFooterStyle); the colour, the preview column and the template
// repaint the footer panel.
class TFloatingFooter {
public:
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    TFooterStyle FooterStyle() const { return m_footerStyle; }
    void SetFooterStyle(TFooterStyle value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    // The column fsColumnPreview shows; the text of fsCustomPreview, where
    // "<#n>" stands for column n of the current row.
    int Column() const { return m_column; }
    void SetColumn(int value);
    const QString& CustomTemplate() const { return m_customTemplate; }
    void SetCustomTemplate(const QString& value);
    // The panel's height while the footer shows.
    int FooterHeight = 22;

    // The grid whose footer this is (set by the grid).
    void SetGrid(TExtStringGrid* grid) { m_grid = grid; }

private:
    friend class TExtStringGrid;
    void PanelChanged();
    TExtStringGrid* m_grid = nullptr;
    bool m_visible = false;
    TFooterStyle m_footerStyle = fsFixedLastRow;
    TColor m_color = clBtnFace;
    int m_column = 0;
    QString m_customTemplate;
};

// The look of the column grid's header filter list.
struct TFilterDropDown {
    int Height = 200;
    int Width = 200;
    TColor Color = clWindow;
    TFont Font;
    // The list takes the width of the column.
    bool ColumnWidth = false;
};

// One condition of the row filter.
struct TFilterData {
    int Column = 0;
    QString Condition;
    bool CaseSensitive = true;
};

// The conditions of the row filter.
class TFilter : public std::vector<TFilterData> {
public:
    // The first entry of the column, appended when there is none.
    TFilterData& ColumnFilter(int col);
};
