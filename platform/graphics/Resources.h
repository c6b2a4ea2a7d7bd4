#pragma once
// Resources of the program, found by name with the case ignored as the
// platform finds them: bitmaps (RT_BITMAP) and raw data (RCDATA). They live
// in Qt resource files under ":/res/bitmap/NAME.bmp" and ":/res/rcdata/NAME"
// with upper-case names; tests may add their own under the same folders.

#include <QByteArray>
#include <QString>

enum class TResourceType { Bitmap, RCData };

// Qt resource path of the resource (empty when the program has none).
QString ResourcePath(const QString& name, TResourceType type);
bool HasResource(const QString& name, TResourceType type);
// The resource's bytes; empty when the program has none.
QByteArray LoadResourceData(const QString& name, TResourceType type);
