#pragma once
// The graphic record of a cell: what the cell shows besides (or instead of)
// its text, kept in the cell's properties. Plain data: the painter reads it,
// the typed-access operations of the grid write it.

#include "platform/core/Object.h"
#include "platform/graphics/Color.h"

#include <QString>
#include <QStringList>
#include <vector>

class TGraphic;

enum TCellType {
    ctBitmap,
    ctIcon,
    ctNone,
    ctImageList,
    ctCheckBox,
    ctDataCheckBox,
    ctRotated,
    ctDataImage,
    ctNode,
    ctRadio,
    ctEmpty,
    ctImages,
    ctPicture,
    ctFilePicture,
    ctValue,
    ctProgress,
    ctComment,
    ctButton,
    ctBitButton,
    ctVirtCheckBox,
    ctProgressPie,
    ctCount // the number of cell types; no cell has it
};
enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };

class TCellGraphic : public TObject {
public:
    TCellGraphic() = default;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;
    // Frees the picture, bitmap or glyph and the icon when CellCreated.
    ~TCellGraphic() override;
    // Copies every field; the graphic and icon as references (not owned by
    // the copy).
    void Assign(const TCellGraphic& source);

    TCellType CellType = ctNone;
    // Bitmap (ctBitmap), picture (ctPicture, ctFilePicture), glyph (ctBitButton).
    TGraphic* Graphic = nullptr;
    // The icon of ctIcon.
    TGraphic* Icon = nullptr;
    // The option strings of ctRadio.
    QStringList Options;
    // The image indices of ctImages.
    std::vector<int> Images;
    // Bar and background colours of ctProgress; the colour of ctProgressPie.
    TColor BarColor = clNone;
    TColor BackColor = clNone;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    // Image index, radio index, node span, picture margin, bar text colour of
    // ctProgress, or button size (width low 16 bits, height high 16 bits).
    int CellIndex = 0;
    bool CellTransparent = false;
    // Graphic and Icon are owned by the record.
    bool CellCreated = false;
    // Check state, node contracted, horizontal layout, pressed button,
    // custom text colours of ctProgress.
    bool CellBoolean = false;
    // Rotation angle, pie value, stretch mode, background text colour of
    // ctProgress.
    int CellAngle = 0;
    // Progress value; the button position (x low 16 bits, y high 16 bits).
    double CellValue = 0;
    short CellErrFrom = 0;
    short CellErrLen = 0;
    // Comment text (ctComment), button caption.
    QString CellText;
};
