#pragma once
// The grid's own cursors and pan marks, drawn for this program and kept as
// Qt resources: the pan cursors 8000 (at rest) to 8008 (the eight
// directions: 8001 down, 8002 left, 8003 right, 8004 up, 8005 up-right,
// 8006 up-left, 8007 down-right, 8008 down-left), the link cursor 8009, the
// row-select 8010, column-select 8011 and select-all cursor 8012; the pan
// origin marks "INTLI1" (both directions), "INTLI2" (horizontal) and
// "INTLI3" (vertical), 32 x 32 each.

#include <QCursor>
#include <QImage>
#include <QString>

class TGridCursors {
public:
    enum : int {
        crPan = 8000,
        crPanDown = 8001,
        crPanLeft = 8002,
        crPanRight = 8003,
        crPanUp = 8004,
        crPanUpRight = 8005,
        crPanUpLeft = 8006,
        crPanDownRight = 8007,
        crPanDownLeft = 8008,
        crLink = 8009,
        crRowSelect = 8010,
        crColSelect = 8011,
        crSelectAll = 8012,
    };
    // The cursor of a resource id, with its hot spot; the arrow for an
    // unknown id.
    static QCursor Cursor(int id);
    // Whether the cursor has the image of resource id.
    static bool IsCursor(const QCursor& cursor, int id);
    // The pan cursor for a direction (each -1, 0 or 1; y down).
    static int PanCursor(int dx, int dy);
    // A pan origin mark by name, on the key colour clFuchsia where it is
    // transparent; a null image for an unknown name.
    static QImage PanMark(const QString& name);
};
