#pragma once
// The data formats the grid exchanges through the clipboard: plain text
// (UTF-8) and rich text. The grid's cell stream goes under the format the
// grid unit registers (TGridUnit::CellsFormat); drags and drops use the
// platform's formats (platform/clipboard/DragDrop.h).

#include <QString>

namespace GridMimeTypes {

inline const QString Text = QStringLiteral("text/plain");
// "Rich Text Format"
inline const QString RichText = QStringLiteral("text/rtf");

} // namespace GridMimeTypes
