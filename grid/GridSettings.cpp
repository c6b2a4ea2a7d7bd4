// The settings objects' own rules.
#include "grid/GridSettings.h"

#include "grid/TExtStringGrid.h"
#include "grid/TFooterPanel.h"

void TSortSettings::SetRow(int value)
{
    // Up to the row below the fixed rows.
    const int fixedRows = m_grid ? m_grid->FixedRows() : 1;
    if (value > fixedRows) throw EExtGridError(QStringLiteral("Sort row should be smaller than number of fixed rows"));
    m_row = value;
}

void TCellNode::SetNodeType(TCellNodeType value)
{
    if (value == m_nodeType) return;
    m_nodeType = value;
    if (m_grid) m_grid->InvalidateGrid();
}

void TCellNode::SetShowTree(bool value)
{
    if (value == m_showTree) return;
    m_showTree = value;
    if (m_grid) m_grid->InvalidateGrid();
}

void TBackGround::SetGrid(TCustomGrid* grid)
{
    m_grid = grid;
    Bitmap.OnChange = [this](TGraphic*) { Changed(); };
}

void TBackGround::Changed()
{
    if (m_grid) m_grid->InvalidateGrid();
}

void TBackGround::SetLeft(int value)
{
    m_left = value;
    Changed();
}

void TBackGround::SetTop(int value)
{
    m_top = value;
    Changed();
}

void TBackGround::SetDisplay(TBackgroundDisplay value)
{
    m_display = value;
    Changed();
}

void TBackGround::SetCells(TBackgroundCells value)
{
    m_cells = value;
    Changed();
}

// ---------------------------------------------------------------------------
// Objects that repaint their grid

namespace {

template <class T>
bool Store(T& field, const T& value)
{
    if (field == value) return false;
    field = value;
    return true;
}

} // namespace

void TBands::Changed(bool always)
{
    if (m_grid && (always || m_active)) m_grid->InvalidateGrid();
}

void TBands::SetActive(bool value)
{
    if (Store(m_active, value)) Changed(true);
}

void TBands::SetPrimaryColor(TColor value)
{
    if (Store(m_primaryColor, value)) Changed(false);
}

void TBands::SetPrimaryLength(int value)
{
    if (Store(m_primaryLength, value)) Changed(false);
}

void TBands::SetSecondaryColor(TColor value)
{
    if (Store(m_secondaryColor, value)) Changed(false);
}

void TBands::SetSecondaryLength(int value)
{
    if (Store(m_secondaryLength, value)) Changed(false);
}

void TBands::Assign(const TBands& value)
{
    // Colours and lengths show only while the bands are on, before or after.
    const bool repaint = value.m_active || m_active;
    TExtStringGrid* grid = m_grid;
    *this = value;
    m_grid = grid;
    if (repaint && m_grid) m_grid->InvalidateGrid();
}

void TControlLook::Changed()
{
    if (m_grid) m_grid->InvalidateGrid();
}

void TControlLook::SetCheckSize(int value)
{
    if (Store(m_checkSize, value)) Changed();
}

void TControlLook::SetRadioSize(int value)
{
    if (Store(m_radioSize, value)) Changed();
}

void TControlLook::SetControlStyle(TControlStyle value)
{
    if (Store(m_controlStyle, value)) Changed();
}

void TControlLook::SetColor(TColor value)
{
    if (Store(m_color, value)) Changed();
}

void TControlLook::SetFlatButton(bool value)
{
    if (Store(m_flatButton, value)) Changed();
}

void TControlLook::SetCheckedGlyph(const TBitmap& value)
{
    m_checkedGlyph.Assign(&value);
    Changed();
}

void TControlLook::SetUnCheckedGlyph(const TBitmap& value)
{
    m_unCheckedGlyph.Assign(&value);
    Changed();
}

void TControlLook::SetRadioOnGlyph(const TBitmap& value)
{
    m_radioOnGlyph.Assign(&value);
    Changed();
}

void TControlLook::SetRadioOffGlyph(const TBitmap& value)
{
    m_radioOffGlyph.Assign(&value);
    Changed();
}

void TFloatingFooter::SetVisible(bool value)
{
    if (m_grid)
        m_grid->SetFloatingFooterVisible(value);
    else
        m_visible = value;
}

void TFloatingFooter::SetFooterStyle(TFooterStyle value)
{
    if (m_grid)
        m_grid->SetFloatingFooterStyle(value);
    else
        m_footerStyle = value;
}

void TFloatingFooter::PanelChanged()
{
    if (m_grid) m_grid->FooterPanel()->update();
}

void TFloatingFooter::SetColor(TColor value)
{
    if (Store(m_color, value)) PanelChanged();
}

void TFloatingFooter::SetColumn(int value)
{
    if (Store(m_column, value)) PanelChanged();
}

void TFloatingFooter::SetCustomTemplate(const QString& value)
{
    if (Store(m_customTemplate, value)) PanelChanged();
}

TFilterData& TFilter::ColumnFilter(int col)
{
    for (TFilterData& f : *this)
        if (f.Column == col) return f;
    TFilterData f;
    f.Column = col;
    push_back(f);
    return back();
}
