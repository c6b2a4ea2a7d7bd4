#pragma once
// What a cell shows besides its text: a check box, radio buttons, a
// picture, a button, a node glyph, a comment, a progress bar... One record
// per cell, kept in the cell's properties.
//
// Field meanings by kind: CellIndex is the image index (ctImageList,
// ctDataImage), the radio index (ctRadio, -1 when the cell text names the
// option), the node span (ctNode), the picture margin (ctPicture,
// ctFilePicture) or the button size (width in the low 16 bits, height in the
// high 16). CellBoolean is the check state (ctCheckBox), the contracted flag
// (ctNode) or "side by side" (ctRadio, ctImages). CellAngle is the angle of
// ctRotated and the stretch mode of pictures. CellValue is the progress
// value, or a button's position (x low 16 bits, y high 16 of its integer).
//
// Owned objects: with CellCreated the record frees its bitmap, radio
// options, picture, file picture, glyph and icon; the image index list of
// ctImages is always its own.


#include <QString>
#include <QStringList>
#include <memory>

class TGraphic;
class TBitmap;
class TFilePicture;
class TIntList;

enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctProgressPie
};
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };

class TCellGraphic {
public:
    TCellGraphic() = default;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;
    ~TCellGraphic();

    // Copies every field; objects are shared as references (the copy owns
    // nothing, except an image index list, which it copies).
    void Assign(const TCellGraphic& source);

    TCellType CellType = ctNone;
    // The bitmap (ctBitmap), the picture (ctPicture) or the glyph
    // (ctBitButton).
    TGraphic* Graphic = nullptr;
    TGraphic* Icon = nullptr;             // ctIcon
    QStringList* RadioOptions = nullptr;  // ctRadio
    TFilePicture* FilePicture = nullptr;  // ctFilePicture
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int CellAngle = 0;
    double CellValue = 0;
    qint16 CellErrFrom = 0;
    qint16 CellErrLen = 0;
    QString CellText;

    // The image indices of ctImages (created on first use).
    TIntList& Images();
    const TIntList* ImagesOrNull() const { return m_images.get(); }

    // Size of a picture in a cell of that size by the stretch mode in
    // CellAngle and the margin in CellIndex; pictureWidth and pictureHeight
    // are the picture's own. Negative sizes count as 0.
    static void PictureSize(int mode, int margin, int cellWidth, int cellHeight, int pictureWidth,
                            int pictureHeight, int& width, int& height);
    // The same for this record's picture (0 x 0 without one).
    void GetPictureSize(int cellWidth, int cellHeight, int& width, int& height) const;

private:
    void FreeOwned();
    std::unique_ptr<TIntList> m_images;
};
