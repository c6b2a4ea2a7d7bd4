#include "grid/cells/CellGraphic.h"

#include "grid/cells/FilePicture.h"
#include "grid/util/IntList.h"
#include "platform/core/FloatFormat.h"
#include "platform/graphics/Graphic.h"

#include <algorithm>

TCellGraphic::~TCellGraphic()
{
    FreeOwned();
}

void TCellGraphic::FreeOwned()
{
    if (!CellCreated) return;
    switch (CellType) {
    case ctBitmap:
    case ctPicture:
    case ctBitButton:
        delete Graphic;
        Graphic = nullptr;
        break;
    case ctRadio:
        delete RadioOptions;
        RadioOptions = nullptr;
        break;
    case ctFilePicture:
        delete FilePicture;
        FilePicture = nullptr;
        break;
    case ctIcon:
        delete Icon;
        Icon = nullptr;
        break;
    default:
        break;
    }
}

void TCellGraphic::Assign(const TCellGraphic& source)
{
    if (&source == this) return;
    CellType = source.CellType;
    Graphic = source.Graphic;
    Icon = source.Icon;
    RadioOptions = source.RadioOptions;
    FilePicture = source.FilePicture;
    CellVAlign = source.CellVAlign;
    CellHAlign = source.CellHAlign;
    CellIndex = source.CellIndex;
    CellTransparent = source.CellTransparent;
    // The objects stay with the source.
    CellCreated = false;
    CellBoolean = source.CellBoolean;
    CellAngle = source.CellAngle;
    CellValue = source.CellValue;
    CellErrFrom = source.CellErrFrom;
    CellErrLen = source.CellErrLen;
    CellText = source.CellText;
    if (source.m_images) {
        Images().Clear();
        for (int i = 0; i < source.m_images->Count(); ++i) m_images->Insert(i, source.m_images->Item(i));
    } else {
        m_images.reset();
    }
}

TIntList& TCellGraphic::Images()
{
    if (!m_images) m_images = std::make_unique<TIntList>();
    return *m_images;
}

void TCellGraphic::PictureSize(int mode, int margin, int cellWidth, int cellHeight, int pictureWidth,
                               int pictureHeight, int& width, int& height)
{
    const int w = std::max(cellWidth - margin, 0);
    const int h = std::max(cellHeight - margin, 0);
    const int pw = std::max(pictureWidth, 0);
    const int ph = std::max(pictureHeight, 0);
    const auto proportional = [&](bool limitToOne) {
        // A picture without width or height is taken at its own scale.
        double fx = pw >= 1 ? double(w) / pw : 1.0;
        double fy = ph >= 1 ? double(h) / ph : 1.0;
        if (limitToOne) {
            fx = std::min(fx, 1.0);
            fy = std::min(fy, 1.0);
        }
        if (fx >= fy) {
            width = int(Round(pw * fy));
            height = h;
        } else {
            width = w;
            height = int(Round(ph * fx));
        }
    };
    switch (mode) {
    case 1:
        width = w;
        height = h;
        break;
    case 2:
        proportional(false);
        break;
    case 3:
        width = pw > w || ph > h ? w : pw;
        height = pw > w || ph > h ? h : ph;
        break;
    case 4:
        if (pw <= w && ph <= h) {
            width = pw;
            height = ph;
        } else {
            proportional(true);
        }
        break;
    default:
        width = pw;
        height = ph;
        break;
    }
}

void TCellGraphic::GetPictureSize(int cellWidth, int cellHeight, int& width, int& height) const
{
    int pw = 0;
    int ph = 0;
    if (CellType == ctPicture && Graphic) {
        pw = Graphic->Width();
        ph = Graphic->Height();
    } else if (CellType == ctFilePicture && FilePicture) {
        pw = FilePicture->Width();
        ph = FilePicture->Height();
    } else {
        width = height = 0;
        return;
    }
    PictureSize(CellAngle, CellIndex, cellWidth, cellHeight, pw, ph, width, height);
}
