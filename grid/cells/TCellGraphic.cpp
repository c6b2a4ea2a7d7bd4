#include "grid/cells/TCellGraphic.h"

#include "platform/graphics/Graphic.h"

TCellGraphic::~TCellGraphic()
{
    if (CellCreated) {
        delete Graphic;
        delete Icon;
    }
}

void TCellGraphic::Assign(const TCellGraphic& source)
{
    if (&source == this) return;
    if (CellCreated) {
        delete Graphic;
        delete Icon;
    }
    CellType = source.CellType;
    Graphic = source.Graphic;
    Icon = source.Icon;
    Options = source.Options;
    Images = source.Images;
    BarColor = source.BarColor;
    BackColor = source.BackColor;
    CellVAlign = source.CellVAlign;
    CellHAlign = source.CellHAlign;
    CellIndex = source.CellIndex;
    CellTransparent = source.CellTransparent;
    CellCreated = false;
    CellBoolean = source.CellBoolean;
    CellAngle = source.CellAngle;
    CellValue = source.CellValue;
    CellErrFrom = source.CellErrFrom;
    CellErrLen = source.CellErrLen;
    CellText = source.CellText;
}
