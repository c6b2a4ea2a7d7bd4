#pragma once
// The data formats the grid exchanges through the clipboard and drag and
// drop: plain text (UTF-8), rich text, the grid's cell stream, a dragged
// column (one 32-bit little-endian index) and dropped files (URI list).

#include <QByteArray>
#include <QString>

namespace GridMimeTypes {

inline const QString Text = QStringLiteral("text/plain");
// "Rich Text Format"
inline const QString RichText = QStringLiteral("text/rtf");
// "TExtStringGrid Cells"
inline const QString Cells = QStringLiteral("application/x-tamsel-extstringgrid-cells");
// "Grid Column"
inline const QString Column = QStringLiteral("application/x-tamsel-grid-column");

QByteArray ColumnBytes(int column);
// False unless the bytes are exactly one index of a column (>= 0).
bool ReadColumn(const QByteArray& bytes, int& column);

} // namespace GridMimeTypes
