#pragma once
// Small and large icons of the desktop for files and folders, as the
// platform's shell image list gives them. A path is only looked up (exists,
// folder or file), never opened: the text may come from the server.

#include "platform/graphics/Geometry.h"

#include <QImage>
#include <QString>

// 16 x 16 (small) or 32 x 32 (large).
TSize SystemIconSize(bool large);

// The icon for a path: an existing folder or file by its kind, any other
// path by its name's extension; a text that is a number is the index of a
// stock icon (0 document, 1 text document, 2 program, 3 folder, 4 open
// folder, 8 drive; other numbers a document). Never null.
QImage SystemIcon(const QString& pathOrIndex, bool large);
