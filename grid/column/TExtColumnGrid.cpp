#include "grid/column/TExtColumnGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/column/TDropList.h"
#include "grid/edit/TGridCombo.h"
#include "grid/edit/TGridSpin.h"
#include "grid/edit/TGridUniCombo.h"
#include "grid/text/CellText.h"
#include "platform/core/Format.h"
#include "platform/widgets/PopupMenu.h"

#include <QWidget>

TExtColumnGrid::TExtColumnGrid(QWidget* parent, const QString& name)
    : TExtStringGrid(parent, name), m_checkGraphic(std::make_unique<TCellGraphic>())
{
    m_columns = CreateColumns();
    SynchronizeColumns();
    m_checkGraphic->CellType = ctVirtCheckBox;
    m_dropList = new TDropList(Widget());
    m_dropList->OnSelect = [this](int index) { ApplyFilterChoice(index); };
}

TExtColumnGrid::~TExtColumnGrid()
{
    m_destroying = true;
    delete m_dropList;
    m_dropList = nullptr;
}

std::unique_ptr<TGridColumnCollection> TExtColumnGrid::CreateColumns()
{
    return std::make_unique<TGridColumnCollection>(this);
}

void TExtColumnGrid::SetColumns(const TGridColumnCollection& value) { m_columns->Assign(value); }

int TExtColumnGrid::GetVersionNr() const { return (2 << 24) | (4 << 16) | (0 << 8) | 0; }

QString TExtColumnGrid::GetVersionString() const
{
    const int v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4 Nov, 2002")
        .arg((v >> 24) & 0xFF)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

// ---------------------------------------------------------------------------
// Items and columns

TGridColumnItem* TExtColumnGrid::ItemOf(int col) const { return m_columns ? m_columns->Items(col) : nullptr; }

bool TExtColumnGrid::IsNormalCell(int col, int row) const
{
    return col >= FixedCols() && col < m_columns->Count() && row >= FixedRows();
}

bool TExtColumnGrid::IsBodyCell(int col, int row) const
{
    return IsNormalCell(col, row) && col < ColCount() - d->fixedRightCols + NumHiddenColumns() &&
        row < RowCount() - d->fixedFooters;
}

void TExtColumnGrid::SynchronizeColumns()
{
    if (!m_columns) return;
    m_columns->Lock();
    const int total = ColCount() + NumHiddenColumns();
    while (total > m_columns->Count()) m_columns->Add();
    while (total < m_columns->Count()) m_columns->Delete(m_columns->Count() - 1);
    if (FixedRows() > 0) {
        for (int c = 0; c < ColCount(); ++c) {
            const int rc = RealColIndex(c);
            if (TGridColumnItem* item = ItemOf(rc)) item->m_header = GetCellText(rc, 0);
        }
    }
    m_columns->Unlock();
}

void TExtColumnGrid::ColumnsChanged()
{
    if (!m_columns || m_columns->Locked()) return;
    const int n = m_columns->Count() - NumHiddenColumns();
    if (n != ColCount() && n > FixedCols()) SetColCount(n);
    InvalidateGrid();
}

void TExtColumnGrid::HeadersFromItems()
{
    QStringList headers;
    for (int i = 0; i < m_columns->Count(); ++i) headers.append(m_columns->Items(i)->Header());
    d->typed.columnHeaders = headers;
}

void TExtColumnGrid::Loaded()
{
    TExtStringGrid::Loaded();
    SynchronizeColumns();
    for (int i = 0; i < m_columns->Count(); ++i) m_columns->Items(i)->PositionIndex = i;
}

void TExtColumnGrid::Notification(const void* removed)
{
    if (!removed || !m_columns) return;
    for (int i = 0; i < m_columns->Count(); ++i) {
        TGridColumnItem* item = m_columns->Items(i);
        if (item->EditLink.data() == removed) item->EditLink = nullptr;
        if (item->ColumnPopup.data() == removed) item->ColumnPopup = nullptr;
    }
    if (EditLink() == removed) SetEditLink(nullptr);
}

void TExtColumnGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    TExtStringGrid::SizeChanged(oldColCount, oldRowCount);
    if (oldColCount != ColCount()) SynchronizeColumns();
}

void TExtColumnGrid::ColumnMoved(int fromIndex, int toIndex)
{
    m_columns->Lock();
    SynchronizeColumns();
    const int left = LeftCol();
    const int realFrom = RealColIndex(fromIndex);
    const int realTo = RealColIndex(toIndex);
    TExtStringGrid::ColumnMoved(fromIndex, toIndex);
    BeginUpdate();
    m_columnMoving = true;
    // The item itself moves, with every attribute it holds.
    m_columns->Move(realFrom, realTo);
    SetLeftCol(left);
    m_columnMoving = false;
    EndUpdate();
    m_columns->Unlock();
}

void TExtColumnGrid::ColWidthsChanged()
{
    TExtStringGrid::ColWidthsChanged();
    if (!m_columns) return;
    const int n = std::min(ColCount(), m_columns->Count());
    for (int i = 0; i < n; ++i) m_columns->Items(i)->m_width = ColWidths(i);
}

// ---------------------------------------------------------------------------
// Attribute hooks

void TExtColumnGrid::GetCellDisplayText(int col, int row, QString& text)
{
    TExtStringGrid::GetCellDisplayText(col, row, text);
    const TGridColumnItem* item = ItemOf(col);
    if (!item || item->FloatFormat().isEmpty()) return;
    const QString cell = GetCellText(col, row);
    const int type = GetNumberType(cell);
    if (type != ntInteger && type != ntFloat) return;
    bool ok = false;
    const double value = CleanNumberText(cell).toDouble(&ok);
    if (ok) text = Format(item->FloatFormat(), {value});
}

TCellType TExtColumnGrid::GetCellType(int col, int row)
{
    const TCellType t = TExtStringGrid::GetCellType(col, row);
    if (t != ctEmpty || !IsBodyCell(col, row)) return t;
    const TGridColumnItem* item = ItemOf(col);
    return item && item->Editor() == edDataCheckBox ? ctDataCheckBox : t;
}

TCellGraphic* TExtColumnGrid::GetCellGraphic(int col, int row)
{
    TCellGraphic* g = TExtStringGrid::GetCellGraphic(col, row);
    if (g || m_destroying || !m_columns || !IsBodyCell(col, row)) return g;
    const TGridColumnItem* item = ItemOf(col);
    if (!item || item->Editor() != edDataCheckBox) return g;
    m_checkGraphic->CellType = ctVirtCheckBox;
    m_checkGraphic->CellTransparent = d->controlLook.ControlStyle() == csFlat;
    return m_checkGraphic.get();
}

void TExtColumnGrid::UpdateColumnSize(int col, int& width)
{
    if (const TGridColumnItem* item = ItemOf(col)) {
        if (item->MinSize > 0 && width < item->MinSize) width = item->MinSize;
        if (item->MaxSize > 0 && width > item->MaxSize) width = item->MaxSize;
    }
    TExtStringGrid::UpdateColumnSize(col, width);
}

void TExtColumnGrid::UpdateAutoColumnSize(int col, int& width)
{
    if (const TGridColumnItem* item = ItemOf(col)) {
        if (item->AutoMinSize > 0 && width < item->AutoMinSize) width = item->AutoMinSize;
        if (item->AutoMaxSize > 0 && width > item->AutoMaxSize) width = item->AutoMaxSize;
    }
    TExtStringGrid::UpdateAutoColumnSize(col, width);
}

void TExtColumnGrid::ColumnHeadersChanged()
{
    if (!m_columns) return;
    const QStringList& headers = ColumnHeaders();
    const int n = std::min(m_columns->Count(), int(headers.size()));
    for (int i = 0; i < n; ++i) m_columns->Items(i)->m_header = headers[i];
}

void TExtColumnGrid::FileLoaded()
{
    TExtStringGrid::FileLoaded();
    SynchronizeColumns();
}

void TExtColumnGrid::GetCellColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font)
{
    if (m_columns && IsBodyCell(col, row)) {
        const TGridColumnItem* item = ItemOf(col);
        if (item->Fixed())
            brush.SetColor(FixedColor());
        else if (!(item->ShowBands() && d->bands.Active))
            brush.SetColor(item->Color());
        font = item->Font();
    }
    TExtStringGrid::GetCellColor(col, row, state, brush, font);
}

void TExtColumnGrid::GetCellPrintColor(int col, int row, TGridDrawState state, TBrush& brush, TFont& font)
{
    if (const TGridColumnItem* item = ItemOf(col)) {
        if (IsBodyCell(col, row)) {
            if (item->Fixed())
                brush.SetColor(FixedColor());
            else if (!(item->ShowBands() && d->bands.Active && d->bands.Print))
                brush.SetColor(item->PrintColor);
            font = item->PrintFont;
        } else {
            font = d->printSettings.HeaderFont;
        }
    }
    TExtStringGrid::GetCellPrintColor(col, row, state, brush, font);
}

void TExtColumnGrid::GetCellBorder(int col, int row, TPen& pen, TCellBorders& borders)
{
    if (m_columns && IsNormalCell(col, row)) {
        const TGridColumnItem* item = ItemOf(col);
        borders = item->Borders();
        pen = item->BorderPen();
    }
    TExtStringGrid::GetCellBorder(col, row, pen, borders);
}

void TExtColumnGrid::GetCellPrintBorder(int col, int row, TPen& pen, TCellBorders& borders)
{
    if (m_columns && IsNormalCell(col, row)) {
        const TGridColumnItem* item = ItemOf(col);
        borders = item->PrintBorders;
        pen = item->PrintBorderPen;
    }
    TExtStringGrid::GetCellPrintBorder(col, row, pen, borders);
}

void TExtColumnGrid::GetCellAlignment(int col, int row, TAlignment& hAlign, TVAlignment& vAlign)
{
    if (const TGridColumnItem* item = ItemOf(col)) hAlign = item->Alignment();
    TExtStringGrid::GetCellAlignment(col, row, hAlign, vAlign);
}

void TExtColumnGrid::GetCellFormat(int col, int& style, QString& prefix, QString& suffix)
{
    const TGridColumnItem* item = ItemOf(col);
    if (item && col >= FixedCols()) {
        style = item->SortStyle;
        prefix = item->SortPrefix;
        suffix = item->SortSuffix;
    }
    TExtStringGrid::GetCellFormat(col, style, prefix, suffix);
}

void TExtColumnGrid::GetCellEditor(int col, int row, TEditorType& editor)
{
    if (m_columns && IsNormalCell(col, row)) {
        const TGridColumnItem* item = ItemOf(col);
        editor = item->Editor();
        // The grid's editors take the column's settings; the event may
        // still change the editor kind.
        GridCombo()->Items().Assign(item->ComboItems());
        GridUniCombo()->Items().Assign(item->ComboItems());
        TGridSpin* spin = GridSpin();
        spin->SetMinValue(item->SpinMin);
        spin->SetMaxValue(item->SpinMax);
        spin->SetIncrement(item->SpinStep);
        SetEditLink(item->EditLink);
    }
    TExtStringGrid::GetCellEditor(col, row, editor);
}

void TExtColumnGrid::IsFixedCell(int col, int row, bool& isFixed)
{
    if (m_columns && IsNormalCell(col, row)) isFixed = ItemOf(col)->Fixed();
    TExtStringGrid::IsFixedCell(col, row, isFixed);
}

void TExtColumnGrid::CanEditCell(int col, int row, bool& canEdit)
{
    canEdit = false;
    if (m_columns && IsNormalCell(col, row)) {
        const TGridColumnItem* item = ItemOf(col);
        canEdit = !item->ReadOnly && !item->Fixed();
    }
    TExtStringGrid::CanEditCell(col, row, canEdit);
}

void TExtColumnGrid::IsPasswordCell(int col, int row, bool& isPassword)
{
    if (const TGridColumnItem* item = ItemOf(col)) isPassword = item->Password();
    TExtStringGrid::IsPasswordCell(col, row, isPassword);
}

void TExtColumnGrid::GetCheckTrue(int col, int row, QString& value)
{
    TExtStringGrid::GetCheckTrue(col, row, value);
    if (m_columns && IsBodyCell(col, row)) value = ItemOf(col)->CheckTrue;
}

void TExtColumnGrid::GetCheckFalse(int col, int row, QString& value)
{
    TExtStringGrid::GetCheckFalse(col, row, value);
    if (m_columns && IsBodyCell(col, row)) value = ItemOf(col)->CheckFalse;
}

bool TExtColumnGrid::HasColumnFilter(int col)
{
    const TGridColumnItem* item = ItemOf(col);
    return item && !item->Filter().isEmpty();
}

int TExtColumnGrid::GetEditLimit()
{
    const int rc = RealColIndex(Col());
    const TGridColumnItem* item = ItemOf(rc);
    return item && Col() >= FixedCols() ? item->EditLength : 0;
}

QString TExtColumnGrid::GetEditMask(int col, int row)
{
    QString mask;
    const TGridColumnItem* item = ItemOf(col);
    if (item && col >= FixedCols()) mask = item->EditMask;
    const QString fromEvent = TExtStringGrid::GetEditMask(col, row);
    return fromEvent.isEmpty() ? mask : fromEvent;
}

// ---------------------------------------------------------------------------
// Header filter list and column popups

void TExtColumnGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExtStringGrid::MouseDown(button, shift, x, y);
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    const int rc = c >= 0 ? RealColIndex(c) : -1;
    if (!m_dropList->isVisible()) m_filterColumn = -1;
    bool opened = false;
    if (r == 0 && c >= 0 && rc != m_filterColumn) {
        const TRect cell = GetCellRect(c, 0);
        const TGridColumnItem* item = ItemOf(rc);
        if (x > cell.Right - 16 && x < cell.Right - 3 && item && !item->Filter().isEmpty()) {
            OpenFilterList(rc, cell);
            opened = true;
        }
    }
    if (!opened) CloseFilterList();
    if (c >= 0 && r >= 0) ShowColumnPopup(button, rc, r);
}

void TExtColumnGrid::OpenFilterList(int realCol, const TRect& headerRect)
{
    const TGridColumnItem* item = ItemOf(realCol);
    m_filterColumn = realCol;
    QPalette pal = m_dropList->palette();
    pal.setColor(QPalette::Base, ToQColor(m_filterDropDown.Color));
    m_dropList->setPalette(pal);
    m_dropList->setFont(QtFontOf(m_filterDropDown.Font));
    const int width = m_filterDropDown.ColumnWidth ? headerRect.Width() : m_filterDropDown.Width;
    m_dropList->clear();
    for (const QString& entry : item->Filter()) {
        const int eq = entry.indexOf(QLatin1Char('='));
        m_dropList->addItem(eq < 0 ? entry : entry.left(eq));
    }
    PlaceChild(m_dropList, Bounds(headerRect.Left, headerRect.Bottom, width, m_filterDropDown.Height));
    m_dropList->setCurrentRow(0);
    m_dropList->show();
    m_dropList->raise();
    m_dropList->setFocus();
}

void TExtColumnGrid::CloseFilterList()
{
    if (m_dropList->isVisible()) m_dropList->hide();
    m_filterColumn = -1;
}

void TExtColumnGrid::ApplyFilterChoice(int index)
{
    const int col = m_filterColumn;
    m_filterColumn = -1;
    TGridColumnItem* item = ItemOf(col);
    if (!item || index < 0 || index >= item->Filter().size()) return;
    const QString entry = item->Filter()[index];
    const int eq = entry.indexOf(QLatin1Char('='));
    const QString display = eq < 0 ? entry : entry.left(eq);
    QString condition = eq < 0 ? entry : entry.mid(eq + 1);
    if (m_autoFilterDisplay) item->SetHeader(display);
    if (m_autoFilterUpdate) SetFilterActive(false);
    if (OnFilterSelect) OnFilterSelect(this, col, index, display, condition);
    TFilterData& f = Filter().ColumnFilter(col);
    f.Condition = condition;
    f.CaseSensitive = item->FilterCaseSensitive;
    if (m_autoFilterUpdate) {
        SetFilterActive(true);
        if (FixedRows() < RowCount()) SetRow(FixedRows());
    }
}

void TExtColumnGrid::ShowColumnPopup(TMouseButton button, int col, int row)
{
    TGridColumnItem* item = ItemOf(col);
    if (!item || !item->ColumnPopup) return;
    const TColumnPopupType t = item->ColumnPopupType;
    bool fixedType = false, normalType = false;
    if (button == TMouseButton::mbLeft) {
        if (t != cpFixedCellsLClick && t != cpNormalCellsLClick && t != cpAllCellsLClick) return;
        fixedType = t == cpFixedCellsLClick || t == cpAllCellsLClick;
        normalType = t == cpNormalCellsLClick || t == cpAllCellsLClick;
    } else if (button == TMouseButton::mbRight) {
        if (t != cpFixedCellsRClick && t != cpNormalCellsRClick && t != cpAllCellsRClick) return;
        fixedType = t == cpFixedCellsRClick || t == cpAllCellsRClick;
        normalType = t == cpNormalCellsRClick || t == cpAllCellsRClick;
    } else {
        return;
    }
    if (OnColumnPopup) OnColumnPopup(this, col, row, item->ColumnPopup);
    const bool fixedRow = row < FixedRows();
    if ((fixedRow && fixedType) || (!fixedRow && normalType)) {
        const TRect cell = GetCellRect(DisplColIndex(col), row);
        const QPoint screen = Widget()->mapToGlobal(ClientOrigin() + QPoint(cell.Left, cell.Bottom));
        item->ColumnPopup->Popup(screen, Widget());
    }
}
