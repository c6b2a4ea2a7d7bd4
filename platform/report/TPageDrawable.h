#pragma once
// A picture that draws itself as page operations (a vector street map), so
// it stays vector in every output. TBaseReport::StretchDraw recognises it
// among the graphics it is given.

#include "platform/report/PagePainter.h"

#include <QRectF>

class TPageDrawable {
public:
    virtual ~TPageDrawable();
    // Draws the whole picture scaled into r (inches). The surface limits
    // the drawing to r and sets its own pen, brush and font again after it.
    virtual void DrawPage(TPagePainter& painter, const QRectF& r) const = 0;
};
