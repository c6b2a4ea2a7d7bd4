#pragma once
// What the metafile player draws into: shapes, text and bitmaps in the
// target's own units (the player has mapped the metafile's window onto the
// frame it was given). The report surface and a QPainter implement it.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>

struct TMetafileFont {
    QString name;
    double height = 0; // the character (em) height, in target units
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    double angle = 0; // degrees, counter-clockwise
};

class TMetafileTarget {
public:
    virtual ~TMetafileTarget();

    // Pen and brush of the shapes that follow; a pen width of 0 is the
    // thinnest line the device draws, Qt::NoPen and Qt::NoBrush draw nothing.
    virtual void SetPen(const QPen& pen) = 0;
    virtual void SetBrush(const QBrush& brush) = 0;

    virtual void Line(const QPointF& from, const QPointF& to) = 0;
    virtual void Polyline(const QPolygonF& points) = 0;
    virtual void Polygon(const QPolygonF& points, Qt::FillRule rule) = 0;
    virtual void Rectangle(const QRectF& r) = 0;
    virtual void Ellipse(const QRectF& r) = 0;
    // Text whose reference point is at: align holds one of Qt::AlignLeft,
    // AlignHCenter, AlignRight and one of AlignTop, AlignBaseline,
    // AlignBottom. An invalid background colour leaves the background.
    virtual void Text(const QPointF& at, const QString& text, const TMetafileFont& font, const QColor& color,
                      Qt::Alignment align, const QColor& background) = 0;
    virtual void StretchBitmap(const QRectF& r, const QImage& image) = 0;
};
