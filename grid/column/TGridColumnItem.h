#pragma once
// Everything the column grid knows about one of its columns: width and
// header, colours and fonts for screen and print, borders, alignment, sort
// format, in-place editor and its parameters, fixed, read-only and password
// flags, check texts, header filter entries, size limits and popup menu.
// Items live in the grid's TGridColumnCollection, one per real column.
//
// Plain fields just store. The setters below have side effects: they write
// the grid's column width or header cell, notify the collection (the grid
// adjusts its column count and repaints) or repaint the grid.

#include "grid/GridSettings.h"
#include "grid/cells/CellTypes.h"
#include "grid/edit/TEditLink.h"
#include "platform/graphics/Canvas.h"
#include "platform/widgets/CustomEdit.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class TGridColumnCollection;
class TPopupMenu;

enum TColumnPopupType {
    cpFixedCellsRClick,
    cpFixedCellsLClick,
    cpNormalCellsRClick,
    cpNormalCellsLClick,
    cpAllCellsRClick,
    cpAllCellsLClick
};

class TGridColumnItem {
public:
    explicit TGridColumnItem(TGridColumnCollection* collection);
    TGridColumnItem(const TGridColumnItem&) = delete;
    TGridColumnItem& operator=(const TGridColumnItem&) = delete;
    ~TGridColumnItem();

    TGridColumnCollection* Collection() const { return m_collection; }
    // The item's place in its collection.
    int Index() const;
    // Name, or "Column " and the index.
    QString DisplayName() const;
    // Copies the other item's fields without side effects; the popup menu,
    // its type and FloatFormat stay.
    void Assign(const TGridColumnItem& other);

    int Width() const { return m_width; }
    void SetWidth(int value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    const QString& Header() const { return m_header; }
    void SetHeader(const QString& value);
    const TFont& Font() const { return m_font; }
    TFont& Font() { return m_font; }
    void SetFont(const TFont& value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    TEditorType Editor() const { return m_editor; }
    void SetEditor(TEditorType value);
    bool Fixed() const { return m_fixed; }
    void SetFixed(bool value);
    bool Password() const { return m_password; }
    void SetPassword(bool value);
    bool ShowBands() const { return m_showBands; }
    void SetShowBands(bool value);
    TCellBorders Borders() const { return m_borders; }
    void SetBorders(TCellBorders value);
    const TPen& BorderPen() const { return m_borderPen; }
    TPen& BorderPen() { return m_borderPen; }
    void SetBorderPen(const TPen& value);
    const QStringList& ComboItems() const { return m_comboItems; }
    void SetComboItems(const QStringList& value) { m_comboItems = value; }
    // Entries of the header filter list: a condition, or a display text,
    // "=" and a condition.
    const QStringList& Filter() const { return m_filter; }
    void SetFilter(const QStringList& value);
    const QString& FloatFormat() const { return m_floatFormat; }
    void SetFloatFormat(const QString& value);

    TSortStyle SortStyle = ssAutomatic;
    QString SortPrefix;
    QString SortSuffix;
    QString EditMask;
    int EditLength = 0;
    QPointer<TEditLink> EditLink; // not owned; reads as none once destroyed
    bool ReadOnly = false;
    int SpinMin = 0;
    int SpinMax = 0;
    int SpinStep = 1;
    TFont PrintFont;
    TColor PrintColor = clWhite;
    TCellBorders PrintBorders;
    TPen PrintBorderPen;
    int Tag = 0;
    // The item's index when the grid was loaded.
    int PositionIndex = 0;
    QString Name;
    QString CheckFalse = QStringLiteral("N");
    QString CheckTrue = QStringLiteral("Y");
    int MaxSize = 0;
    int MinSize = 0;
    int AutoMinSize = 0;
    int AutoMaxSize = 0;
    TColumnPopupType ColumnPopupType = cpFixedCellsRClick;
    QPointer<TPopupMenu> ColumnPopup; // not owned; reads as none once the menu is gone
    bool FilterCaseSensitive = false;

private:
    friend class TExtColumnGrid;
    void Changed();
    void Repaint();

    TGridColumnCollection* m_collection;
    int m_width = 50;
    TAlignment m_alignment = taLeftJustify;
    QString m_header;
    TFont m_font;
    TColor m_color = clWindow;
    TEditorType m_editor = edNormal;
    bool m_fixed = false;
    bool m_password = false;
    bool m_showBands = false;
    TCellBorders m_borders;
    TPen m_borderPen;
    QStringList m_comboItems;
    QStringList m_filter;
    QString m_floatFormat;
};
