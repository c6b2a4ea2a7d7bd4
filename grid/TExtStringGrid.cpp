// Construction, settings, the cell-attribute hooks, stored column widths,
// update blocks and the automatic rows.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLPicture.h"
#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/TFooterPanel.h"
#include "grid/TPopupButton.h"
#include "grid/cells/TCellProperties.h"
#include "platform/core/IniFile.h"
#include "platform/core/UserRegistry.h"
#include "platform/graphics/SystemMetrics.h"
#include "platform/graphics/Themes.h"
#include "platform/kernel/Application.h"

#include <QApplication>
#include <algorithm>

TGridDrawState_p::TGridDrawState_p() : pictureCache(std::make_unique<THTMLPictureCache>()) { }
TGridDrawState_p::~TGridDrawState_p() = default;

TExtStringGrid::TExtStringGrid(QWidget* parent, const QString& name)
    : TBaseGrid(parent, name), d(std::make_unique<TExtStringGridPrivate>())
{
    Font().SetName(QStringLiteral("Tahoma"));
    d->fixedFont.SetName(QStringLiteral("Tahoma"));
    d->activeCellFont.SetStyle({TFontStyle::fsBold});
    d->fixedFont.OnChange = [this] { InvalidateGrid(); };
    d->activeCellFont.OnChange = [this] { InvalidateGrid(); };
    // The footer keeps its own default height.
    TBaseGrid::SetDefaultRowHeight(21);
    d->sortSettings.SetGrid(this);
    d->cellNode.SetGrid(this);
    d->backGround.SetGrid(this);
    d->controlLook.SetGrid(this);
    d->bands.SetGrid(this);
    d->floatingFooter.SetGrid(this);
    d->draw.themesInUse = IsWinXPOrLater() && IsThemeActive();
    (new TPopupButton(this))->setObjectName(QStringLiteral("PopupButton"));
    d->typed.selectedColumns.OnChange = [this](TIntList* list, int, int) { ApplySelectedColumns(*this, *list); };
    // The release decides the click itself: one that ends a sizing is none.
    SetClickEvents(false);
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now == old) return;
        if (old == this) GuardedCall(this, [this] { WMKillFocus(); });
        if (now == this) GuardedCall(this, [this, old] { WMSetFocus(old && isAncestorOf(old)); });
    });
}

TExtStringGrid::~TExtStringGrid()
{
    QObject::disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    d->cells.destroying = true;
    DestroyEditControls();
    if (d->columnSize.Save) SaveColumnSizes();
    Clear();
}

// ---------------------------------------------------------------------------
// Settings

TCellNode& TExtStringGrid::CellNode() { return d->cellNode; }
TSizeWhileTyping& TExtStringGrid::SizeWhileTyping() { return d->sizeWhileTyping; }
TMouseActions& TExtStringGrid::MouseActions() { return d->mouseActions; }
TColumnSize& TExtStringGrid::ColumnSize() { return d->columnSize; }
TNavigation& TExtStringGrid::Navigation() { return d->navigation; }
THTMLSettings& TExtStringGrid::HTMLSettings() { return d->htmlSettings; }
TPrintSettings& TExtStringGrid::PrintSettings() { return d->printSettings; }
TSortSettings& TExtStringGrid::SortSettings() { return d->sortSettings; }
TDragDropSettings& TExtStringGrid::DragDropSettings() { return d->dragDropSettings; }
TControlLook& TExtStringGrid::ControlLook() { return d->controlLook; }
TBands& TExtStringGrid::Bands() { return d->bands; }
TBackGround& TExtStringGrid::BackGround() { return d->backGround; }
TFloatingFooter& TExtStringGrid::FloatingFooter() { return d->floatingFooter; }
TFilter& TExtStringGrid::Filter() { return d->filter; }
TFont& TExtStringGrid::FixedFont() { return d->fixedFont; }
TFont& TExtStringGrid::ActiveCellFont() { return d->activeCellFont; }

void TExtStringGrid::SetBands(const TBands& value) { d->bands.Assign(value); }

void TExtStringGrid::SetFloatingFooterVisible(bool value)
{
    d->floatingFooter.m_visible = value;
    SetFooterRowFlag(value && d->floatingFooter.FooterStyle() == fsFixedLastRow);
    // The footer row is no data row while the panel shows it.
    d->fixedFooters = value ? 1 : 0;
    StepOutOfFixedCells();
    FooterPanel()->Place();
    CalcFooter(-1);
    InvalidateGrid();
}

// A value that repaints the grid when it changes.
#define GRID_PROPERTY(Type, Name, field)                                                                               \
    Type TExtStringGrid::Name() const { return d->field; }                                                             \
    void TExtStringGrid::Set##Name(Type value)                                                                         \
    {                                                                                                                  \
        if (d->field == value) return;                                                                                 \
        d->field = value;                                                                                              \
        InvalidateGrid();                                                                                              \
    }

GRID_PROPERTY(TColor, ActiveCellColor, activeCellColor)
GRID_PROPERTY(bool, ActiveCellShow, activeCellShow)
GRID_PROPERTY(TColor, SelectionColor, selectionColor)
GRID_PROPERTY(TColor, SelectionTextColor, selectionTextColor)
GRID_PROPERTY(bool, ShowSelection, showSelection)
GRID_PROPERTY(bool, HideFocusRect, hideFocusRect)
GRID_PROPERTY(bool, SelectionRectangle, selectionRectangle)
GRID_PROPERTY(bool, SelectionResizer, selectionResizer)
GRID_PROPERTY(bool, SelectionRTFKeep, selectionRTFKeep)
GRID_PROPERTY(TColor, URLColor, urlColor)
GRID_PROPERTY(bool, URLShow, urlShow)
GRID_PROPERTY(bool, URLFull, urlFull)
GRID_PROPERTY(TColor, HintColor, hintColor)
GRID_PROPERTY(bool, EnableHTML, enableHTML)
GRID_PROPERTY(bool, EnableWheel, enableWheel)
GRID_PROPERTY(bool, IntelliZoom, intelliZoom)
GRID_PROPERTY(TVAlignment, VAlignment, vAlignment)
GRID_PROPERTY(bool, Multilinecells, multilineCells)
GRID_PROPERTY(bool, EnhTextSize, enhTextSize)
GRID_PROPERTY(bool, AutoNumAlign, autoNumAlign)
GRID_PROPERTY(TGridLook, Look, look)
GRID_PROPERTY(bool, Flat, flat)
GRID_PROPERTY(bool, FixedRowAlways, fixedRowAlways)
GRID_PROPERTY(bool, FixedColAlways, fixedColAlways)
GRID_PROPERTY(TPictureContainer*, PictureContainer, pictureContainer)
GRID_PROPERTY(bool, EditWithTags, editWithTags)
#undef GRID_PROPERTY

// Footer rows and right columns are never current: turned on under the
// current cell, they move it onto the last data cell.
int TExtStringGrid::FixedRightCols() const { return d->fixedRightCols; }
void TExtStringGrid::SetFixedRightCols(int value)
{
    if (d->fixedRightCols == value) return;
    // An edit in progress ends in its own cell before that cell turns fixed.
    if (value > d->fixedRightCols) {
        CloseEditorControl();
        HideEditor();
    }
    d->fixedRightCols = value;
    StepOutOfFixedCells();
    InvalidateGrid();
}

int TExtStringGrid::FixedFooters() const { return d->fixedFooters; }
void TExtStringGrid::SetFixedFooters(int value)
{
    if (d->fixedFooters == value) return;
    // An edit in progress ends in its own row before that row turns fixed.
    if (value > d->fixedFooters) {
        CloseEditorControl();
        HideEditor();
    }
    d->fixedFooters = value;
    StepOutOfFixedCells();
    InvalidateGrid();
}

const TImageList* TExtStringGrid::GridImages() const { return d->gridImages.get(); }

void TExtStringGrid::SetGridImages(const TImageList* value)
{
    if (d->gridImages.get() == value) return;
    d->gridImages.reset(value);
    InvalidateGrid();
}

TBitmap* TExtStringGrid::RowIndicator() const { return d->rowIndicator.get(); }

void TExtStringGrid::SetRowIndicator(const TBitmap* value)
{
    // The grid keeps a copy: the caller's bitmap may go first.
    if (value && !value->Empty()) {
        if (!d->rowIndicator) d->rowIndicator = std::make_unique<TBitmap>();
        d->rowIndicator->Assign(value);
    } else {
        d->rowIndicator.reset();
    }
    InvalidateGrid();
}

QString TExtStringGrid::FloatFormat() const { return d->floatFormat; }
void TExtStringGrid::SetFloatFormat(const QString& value)
{
    d->floatFormat = value;
    InvalidateGrid();
}
QString TExtStringGrid::CheckTrue() const { return d->checkTrue; }
void TExtStringGrid::SetCheckTrue(const QString& value)
{
    d->checkTrue = value;
    InvalidateGrid();
}
QString TExtStringGrid::CheckFalse() const { return d->checkFalse; }
void TExtStringGrid::SetCheckFalse(const QString& value)
{
    d->checkFalse = value;
    InvalidateGrid();
}
bool TExtStringGrid::FilterActive() const { return d->hidden.filterActive; }

int TExtStringGrid::GetVersionNr() const { return (2 << 24) | (4 << 16) | (0 << 8) | 2; }

QString TExtStringGrid::GetVersionString() const
{
    const int v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4 Dec, 2002")
        .arg((v >> 24) & 0xFF)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

// ---------------------------------------------------------------------------
// Stored column widths

void TExtStringGrid::SaveColumnSizes()
{
    const TColumnSize& cs = d->columnSize;
    if (cs.Key.isEmpty() || cs.Section.isEmpty()) return;
    if (cs.Location == clIniFile) {
        TIniFile ini(cs.Key);
        for (int i = 0; i < ColCount(); ++i) ini.WriteInteger(cs.Section, QStringLiteral("Col%1").arg(i), ColWidths(i));
    } else {
        const QString key = cs.Key + QLatin1Char('\\') + cs.Section;
        for (int i = 0; i < ColCount(); ++i)
            UserRegistry::WriteInteger(key, QStringLiteral("Col%1").arg(i), ColWidths(i));
    }
}

void TExtStringGrid::LoadColumnSizes()
{
    const TColumnSize& cs = d->columnSize;
    if (cs.Key.isEmpty() || cs.Section.isEmpty()) return;
    for (int i = 0; i < ColCount(); ++i) {
        const QString name = QStringLiteral("Col%1").arg(i);
        int w;
        if (cs.Location == clIniFile) {
            w = TIniFile(cs.Key).ReadInteger(cs.Section, name, DefaultColWidth());
        } else {
            w = UserRegistry::ReadInteger(cs.Key + QLatin1Char('\\') + cs.Section, name, DefaultColWidth());
        }
        if (w != ColWidths(i)) SetColWidths(i, w);
    }
}

void TExtStringGrid::Loaded()
{
    // Headers given before the grid took its counts go into its fixed cells.
    if (!d->typed.columnHeaders.isEmpty()) SetColumnHeaders(QStringList(d->typed.columnHeaders));
    if (!d->typed.rowHeaders.isEmpty()) SetRowHeaders(QStringList(d->typed.rowHeaders));
    if (d->columnSize.Save) LoadColumnSizes();
}

void TExtStringGrid::CreateWnd()
{
    d->windowCreated = true;
    if (d->columnSize.Save) LoadColumnSizes();
}

// ---------------------------------------------------------------------------
// Update blocks and invalidation

void TExtStringGrid::BeginUpdate() { ++d->updateCount; }

void TExtStringGrid::EndUpdate()
{
    if (d->updateCount > 0) --d->updateCount;
    if (d->updateCount == 0) InvalidateGrid();
}

int TExtStringGrid::UpdateCount() const { return d->updateCount; }

bool TExtStringGrid::UpdatesSuspended() const { return d && d->updateCount > 0; }

void TExtStringGrid::Resize()
{
    TBaseGrid::Resize();
    // The stretch column follows the new width; while the other columns
    // leave it room it takes the change alone and no column is scaled.
    const TColumnSize& cs = d->columnSize;
    bool fitted = false;
    if (cs.Stretch && ColCount() > 0 && cs.StretchColumn < ColCount()) {
        StretchColumn(cs.StretchColumn);
        const int stretched = cs.StretchColumn < 0 ? ColCount() - 1 : cs.StretchColumn;
        int others = 0;
        for (int c = 0; c < ColCount(); ++c)
            if (c != stretched) others += ColWidths(c);
        fitted = others < GridWidth();
    }
    if (fitted)
        d->input.lastWidth = Width();
    else
        FollowWidth();
    // The fixed footer rows and right columns are painted again whole.
    if (d->fixedFooters > 0 || d->fixedRightCols > 0) InvalidateGrid();
    if (d->footer.panel) d->footer.panel->Place();
    if (OnResize) OnResize(this);
}

// ---------------------------------------------------------------------------
// Cell-attribute hooks

void TExtStringGrid::GetCellHint(int col, int row, QString& hint)
{
    if (OnGridHint) OnGridHint(this, row, col, hint);
}

void TExtStringGrid::GetCellColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font)
{
    if (d->activeCellShow) {
        const bool rowHead = FixedCols() > 0 && col == 0 && row == Row();
        const bool colHead = FixedRows() > 0 && row == 0 && col == RealColIndex(Col());
        if (rowHead || colHead) {
            font = d->activeCellFont;
            brush.SetColor(d->activeCellColor);
        }
    }
    if (const TCellProperties* p = CellPropertiesOf(col, row)) {
        if (p->BrushColor != clNone) brush.SetColor(p->BrushColor);
        if (p->FontColor != clNone) font.SetColor(p->FontColor);
        if (!p->FontStyle.Empty()) font.SetStyle(p->FontStyle);
        if (p->FontSize != 0) font.SetSize(p->FontSize);
        if (!p->FontName.isEmpty()) font.SetName(p->FontName);
    }
    if (OnGetCellColor) OnGetCellColor(this, row, col, state, brush, font);
}

void TExtStringGrid::GetCellPrintColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font)
{
    if (OnGetCellPrintColor) OnGetCellPrintColor(this, row, col, state, brush, font);
}

void TExtStringGrid::GetCellBorder(int col, int row, TPen& pen, TCellBorders& borders)
{
    if (OnGetCellBorder) OnGetCellBorder(this, row, col, pen, borders);
}

void TExtStringGrid::GetCellPrintBorder(int col, int row, TPen& pen, TCellBorders& borders)
{
    if (OnGetCellPrintBorder) OnGetCellPrintBorder(this, row, col, pen, borders);
}

void TExtStringGrid::GetCellAlignment(int col, int row, TAlignment& hAlign, TVAlignment& vAlign)
{
    if (OnGetAlignment) OnGetAlignment(this, row, col, hAlign, vAlign);
}

void TExtStringGrid::GetCellFormat(int col, int& style, QString& prefix, QString& suffix)
{
    if (OnGetFormat) OnGetFormat(this, col, style, prefix, suffix);
}

void TExtStringGrid::GetCellEditor(int col, int row, TEditorType& editor)
{
    if (OnGetEditorType) OnGetEditorType(this, col, row, editor);
}

void TExtStringGrid::IsFixedCell(int col, int row, bool& isFixed)
{
    if (isFixed) return;
    isFixed = (row == 0 && d->fixedRowAlways && RowCount() == 1) ||
        (col == 0 && d->fixedColAlways && ColCount() == 1) || col < FixedCols() || row < FixedRows();
    if (!isFixed && OnIsFixedCell) OnIsFixedCell(this, row, col, isFixed);
}

void TExtStringGrid::CanEditCell(int col, int row, bool& canEdit)
{
    if (!OnCanEditCell) return;
    const TPoint b = BaseCellPoint(col, row);
    OnCanEditCell(this, b.Y, b.X, canEdit);
}

void TExtStringGrid::IsPasswordCell(int col, int row, bool& isPassword)
{
    if (OnIsPasswordCell) OnIsPasswordCell(this, row, col, isPassword);
}

void TExtStringGrid::GetCheckTrue(int col, int row, QString& value)
{
    value = d->checkTrue;
    if (OnGetCheckTrue) OnGetCheckTrue(this, col, row, value);
}

void TExtStringGrid::GetCheckFalse(int col, int row, QString& value)
{
    value = d->checkFalse;
    if (OnGetCheckFalse) OnGetCheckFalse(this, col, row, value);
}

bool TExtStringGrid::HasColumnFilter(int) { return false; }

void TExtStringGrid::UpdateColumnSize(int col, int& width)
{
    if (OnUpdateColumnSize) OnUpdateColumnSize(this, col, width);
}

void TExtStringGrid::UpdateAutoColumnSize(int, int&) { }

void TExtStringGrid::FileLoaded() { CellsChanged(TRect(0, 0, StoreCols() - 1, RowCount() - 1)); }

int TExtStringGrid::GetEditLimit() { return 0; }

QString TExtStringGrid::GetEditMask(int col, int row)
{
    QString mask;
    if (OnGetEditMask) OnGetEditMask(this, col, row, mask);
    return mask;
}

bool TExtStringGrid::IsFixed(int col, int row)
{
    const int rc = RealColIndex(col);
    if (rc < 0 || row < 0) return false;
    const TPoint b = BaseCellPoint(rc, row);
    // The footer rows below and the right columns (counted over every
    // stored column, hidden ones included) stay fixed.
    if (b.Y >= RowCount() - d->fixedFooters) return true;
    if (b.X >= ColCount() - d->fixedRightCols + NumHiddenColumns()) return true;
    bool fixed = false;
    IsFixedCell(b.X, b.Y, fixed);
    return fixed;
}

// ---------------------------------------------------------------------------
// Editing

bool TExtStringGrid::IsEditableCell(int col, int row)
{
    bool can = Options().Contains(TGridOption::goEditing) || d->mouseActions.RangeSelectAndEdit;
    if (!can) return false;
    // Only the base cell of a merged area edits it.
    if (!IsBaseCell(col, row)) return false;
    CanEditCell(col, row, can);
    bool fixed = false;
    IsFixedCell(col, row, fixed);
    return can && !fixed;
}

// ---------------------------------------------------------------------------
// Automatic rows

void TExtStringGrid::AutoInsertRow(int row)
{
    InsertRows(row, 1);
    if (OnAutoInsertRow) OnAutoInsertRow(this, row);
}

void TExtStringGrid::AutoDeleteRow(int row)
{
    // Only data rows: never a fixed row or a footer row. The floating
    // footer's row is one of the footer rows (it makes FixedFooters 1).
    const int firstData = FixedRows();
    const int footers = std::max(d->fixedFooters, FooterRowFlag() ? 1 : 0);
    const int lastData = RowCount() - footers - 1;
    if (row < firstData || row > lastData) return;
    if (lastData - firstData + 1 > 1)
        RemoveRows(row, 1);
    else
        ClearRows(row, 1);
    if (OnAutoDeleteRow) OnAutoDeleteRow(this, row);
}

bool TExtStringGrid::EditTextHook(const QString&, QString&, int) { return false; }

void TExtStringGrid::CellsChanged(const TRect& cells)
{
    if (OnCellsChanged) OnCellsChanged(this, cells);
    CalcFooter(-1);
}
