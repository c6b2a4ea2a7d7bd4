#pragma once
// The property object of one cell, created on first use and owned by the
// grid (it lives in the cell's object slot). It carries the cell's colours,
// font, border, alignment, editor and read-only mark, its graphic, its
// node level, and its part in a merged area:
// - a plain (never merged, or split) cell: IsBaseCell, both spans -1;
// - the base (top-left) cell of an area: IsBaseCell, CellSpanX = columns - 1,
//   CellSpanY = rows - 1;
// - every other cell of the area: not IsBaseCell, the spans hold its offset
//   from the base cell.

#include "grid/cells/CellTypes.h"
#include "platform/core/Object.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"

#include <QString>
#include <memory>

class TCellGraphic;
class TCellStore;
class QWidget;

class TCellProperties : public TObject {
public:
    TCellProperties(TCellStore* owner, int col, int row);
    TCellProperties(const TCellProperties&) = delete;
    TCellProperties& operator=(const TCellProperties&) = delete;
    ~TCellProperties() override;

    // Copies the cell attributes and merge state; not CellObject, the
    // graphic or the paint stamp.
    void Assign(const TCellProperties& source);

    // The base cell of the area this cell belongs to (the cell itself when
    // plain or a base cell).
    TPoint BaseCell(int col, int row) const;
    // After cells moved (a column or a row moved), the property objects of
    // the block's cells take the cells they now lie in as their own, so a
    // change repaints the right cell.
    static void FollowMovedCells(const TCellStore& store, int left, int top, int right, int bottom);

    TCellStore* Owner() const { return m_owner; }
    // Graphic of the cell (owned), nullptr without one.
    TCellGraphic* CellGraphic() const { return m_graphic.get(); }
    // Replaces the graphic (the old one is freed).
    void SetCellGraphic(TCellGraphic* graphic);
    // Hands the graphic back without freeing it.
    TCellGraphic* TakeCellGraphic();

    // Writing these repaints the cell.
    void SetBrushColor(TColor value);
    void SetVAlignment(TVAlignment value);
    void SetWordWrap(bool value);

    int OwnerCol = 0;
    int OwnerRow = 0;
    TObject* CellObject = nullptr; // free reference for the application
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    TColor BrushColor = clNone;
    int FontSize = 0;
    TColor FontColor = clNone;
    TFontStyles FontStyle;
    int CellSpanY = -1;
    int CellSpanX = -1;
    int BorderWidth = 0;
    TColor BorderColor = clBlack;
    TAlignment Alignment = taLeftJustify;
    TVAlignment VAlignment = vtaTop;
    // Paint pass that last painted the merged area for this cell.
    unsigned PaintStamp = 0;
    bool WordWrap = false;
    bool IsBaseCell = true;
    unsigned char FooterCalc = 0; // footer row: which value the footer calculation writes
    int NodeLevel = 0;
    TEditorType Editor = edNormal;
    QString FontName;
    bool ReadOnly = false;
    QWidget* Control = nullptr;

private:
    void Repaint();
    TCellStore* m_owner;
    std::unique_ptr<TCellGraphic> m_graphic;
};
