#include "grid/input/TGridCursors.h"

#include <QPainter>
#include <QPixmap>

// The images live in a static library: their resource is registered on
// first use (outside any namespace, as the registration needs).
static void InitGridCursorResources() { Q_INIT_RESOURCE(GridCursors); }

namespace {

void InitResources()
{
    static const bool done = [] {
        InitGridCursorResources();
        return true;
    }();
    (void)done;
}

QImage Image(const QString& name)
{
    InitResources();
    return QImage(QStringLiteral(":/res/cursor/%1.xpm").arg(name));
}

// Hot spots: the tip of the arrows, the centre of the others.
QPoint HotSpot(int id)
{
    switch (id) {
    case TGridCursors::crLink: return QPoint(2, 2);
    case TGridCursors::crRowSelect: return QPoint(29, 16);
    case TGridCursors::crColSelect: return QPoint(16, 29);
    default: return QPoint(16, 16);
    }
}

} // namespace

QCursor TGridCursors::Cursor(int id)
{
    if (id < crPan || id > crSelectAll) return QCursor(Qt::ArrowCursor);
    const QImage image = Image(QString::number(id));
    if (image.isNull()) return QCursor(Qt::ArrowCursor);
    const QPoint hot = HotSpot(id);
    return QCursor(QPixmap::fromImage(image), hot.x(), hot.y());
}

bool TGridCursors::IsCursor(const QCursor& cursor, int id)
{
    if (cursor.shape() != Qt::BitmapCursor || id < crPan || id > crSelectAll) return false;
    return cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32) ==
        Image(QString::number(id)).convertToFormat(QImage::Format_ARGB32);
}

int TGridCursors::PanCursor(int dx, int dy)
{
    if (dy > 0) return dx > 0 ? crPanDownRight : dx < 0 ? crPanDownLeft : crPanDown;
    if (dy < 0) return dx > 0 ? crPanUpRight : dx < 0 ? crPanUpLeft : crPanUp;
    return dx > 0 ? crPanRight : dx < 0 ? crPanLeft : crPan;
}

QImage TGridCursors::PanMark(const QString& name)
{
    if (name != QLatin1String("INTLI1") && name != QLatin1String("INTLI2") && name != QLatin1String("INTLI3"))
        return QImage();
    const QImage mark = Image(name);
    QImage flat(mark.size(), QImage::Format_RGB32);
    flat.fill(QColor(255, 0, 255));
    QPainter p(&flat);
    p.drawImage(0, 0, mark);
    return flat;
}
