#pragma once
// Plays the street map into a target, so it stays vector on every device:
// a Windows metafile's window origin and extent, pens, brushes, fonts,
// lines, polylines, polygons, rectangles, ellipses, text and stretched
// bitmaps; every other record is passed over. The bytes are hostile: every
// record length, count and object index is checked; a metafile whose
// records do not hold together draws nothing, a record whose values do not
// fit its length is passed over. Pictures that are no metafile (JPEG, PNG,
// BMP, GIF) go through the picture reader as one bitmap.

#include "platform/graphics/PictureLimits.h"

#include <QByteArray>
#include <QRectF>

class TMetafileTarget;

class TMetafilePlayer {
public:
    // Larger sides of bitmaps inside a metafile are refused.
    static constexpr int MaxBitmapSide = PictureLimits::MaxPageSide;

    // Stretches the picture over frame (target units). False, with nothing
    // drawn, when the data is neither a sound metafile nor a readable image.
    static bool Play(const QByteArray& data, TMetafileTarget& target, const QRectF& frame);

    // True when the data begins as a metafile (placeable or plain).
    static bool IsMetafile(const QByteArray& data);
};
