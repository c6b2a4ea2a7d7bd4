#include "grid/io/GridMimeTypes.h"

#include <QtEndian>

namespace GridMimeTypes {

QByteArray ColumnBytes(int column)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(qint32(column), bytes.data());
    return bytes;
}

bool ReadColumn(const QByteArray& bytes, int& column)
{
    if (bytes.size() != 4) return false;
    const qint32 v = qFromLittleEndian<qint32>(bytes.constData());
    if (v < 0) return false;
    column = v;
    return true;
}

} // namespace GridMimeTypes
