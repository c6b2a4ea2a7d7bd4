#include "grid/column/TGridColumnItem.h"

#include "grid/column/TExtColumnGrid.h"
#include "grid/column/TGridColumnCollection.h"

TGridColumnItem::TGridColumnItem(TGridColumnCollection* collection) : m_collection(collection)
{
    m_borderPen.SetColor(clSilver);
    if (TExtColumnGrid* grid = collection ? collection->Owner() : nullptr) {
        m_font = grid->Font();
        PrintFont = grid->Font();
        m_color = grid->Color();
    }
    m_font.OnChange = [this] { Changed(); };
    m_borderPen.OnChange = [this] { Changed(); };
}

TGridColumnItem::~TGridColumnItem() = default;

int TGridColumnItem::Index() const { return m_collection ? m_collection->IndexOf(this) : -1; }

QString TGridColumnItem::DisplayName() const
{
    return Name.isEmpty() ? QStringLiteral("Column %1").arg(Index()) : Name;
}

void TGridColumnItem::Changed()
{
    if (m_collection) m_collection->Update();
}

void TGridColumnItem::Repaint()
{
    if (TExtColumnGrid* grid = m_collection ? m_collection->Owner() : nullptr) grid->InvalidateGrid();
}

void TGridColumnItem::SetWidth(int value)
{
    m_width = value;
    TExtColumnGrid* grid = m_collection ? m_collection->Owner() : nullptr;
    const int i = Index();
    if (grid && i >= 0 && i < grid->ColCount()) grid->SetColWidths(i, value);
}

void TGridColumnItem::SetAlignment(TAlignment value)
{
    m_alignment = value;
    Changed();
}

void TGridColumnItem::SetColor(TColor value)
{
    m_color = value;
    Changed();
}

void TGridColumnItem::SetShowBands(bool value)
{
    m_showBands = value;
    Changed();
}

void TGridColumnItem::SetFixed(bool value)
{
    m_fixed = value;
    Changed();
}

void TGridColumnItem::SetPassword(bool value)
{
    m_password = value;
    Changed();
}

void TGridColumnItem::SetBorders(TCellBorders value)
{
    m_borders = value;
    Changed();
}

void TGridColumnItem::SetFont(const TFont& value)
{
    // Assigning keeps the item's own change notification.
    m_font = value;
    Changed();
}

void TGridColumnItem::SetBorderPen(const TPen& value)
{
    m_borderPen = value;
    Changed();
}

void TGridColumnItem::SetFilter(const QStringList& value)
{
    m_filter = value;
    Repaint();
}

void TGridColumnItem::SetFloatFormat(const QString& value)
{
    m_floatFormat = value;
    Repaint();
}

void TGridColumnItem::SetEditor(TEditorType value)
{
    // Only the data check boxes change the picture.
    const bool repaint = value != m_editor && (value == edDataCheckBox || m_editor == edDataCheckBox);
    m_editor = value;
    if (repaint) Repaint();
}

void TGridColumnItem::SetHeader(const QString& value)
{
    m_header = value;
    TExtColumnGrid* grid = m_collection ? m_collection->Owner() : nullptr;
    if (!grid) return;
    if (grid->FixedRows() > 0 && !grid->ColumnMoving()) {
        const int i = Index();
        if (i >= 0 && i < grid->StoreCols()) grid->SetCellText(i, 0, value);
        Changed();
    }
    grid->HeadersFromItems();
}

void TGridColumnItem::Assign(const TGridColumnItem& other)
{
    if (&other == this) return;
    m_alignment = other.m_alignment;
    // Contents only: the item's own font and pen keep their notification.
    m_borderPen.Assign(other.m_borderPen);
    m_borders = other.m_borders;
    CheckFalse = other.CheckFalse;
    CheckTrue = other.CheckTrue;
    m_color = other.m_color;
    m_comboItems = other.m_comboItems;
    EditLength = other.EditLength;
    EditLink = other.EditLink;
    EditMask = other.EditMask;
    m_editor = other.m_editor;
    m_fixed = other.m_fixed;
    m_font.Assign(other.m_font);
    m_header = other.m_header;
    Name = other.Name;
    m_password = other.m_password;
    PrintBorderPen.Assign(other.PrintBorderPen);
    PrintBorders = other.PrintBorders;
    PrintColor = other.PrintColor;
    PrintFont.Assign(other.PrintFont);
    ReadOnly = other.ReadOnly;
    SortPrefix = other.SortPrefix;
    SortStyle = other.SortStyle;
    SortSuffix = other.SortSuffix;
    SpinMin = other.SpinMin;
    SpinMax = other.SpinMax;
    SpinStep = other.SpinStep;
    Tag = other.Tag;
    m_width = other.m_width;
    m_showBands = other.m_showBands;
    MinSize = other.MinSize;
    MaxSize = other.MaxSize;
    AutoMinSize = other.AutoMinSize;
    AutoMaxSize = other.AutoMaxSize;
    m_filter = other.m_filter;
    FilterCaseSensitive = other.FilterCaseSensitive;
    PositionIndex = other.PositionIndex;
}
