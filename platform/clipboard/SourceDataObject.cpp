#include "platform/clipboard/SourceDataObject.h"

#include "platform/clipboard/DragDrop.h"

#include <QtEndian>

TSourceDataObject::TSourceDataObject(const QString& text, const QString& rtf, int column)
    : m_text(text), m_rtf(rtf), m_column(column)
{ }

TSourceDataObject::~TSourceDataObject() = default;

bool TSourceDataObject::QueryGetData(const QString& mimeType) const
{
    if (mimeType == DragFormats::Text()) return !m_text.isEmpty();
    if (mimeType == DragFormats::RTF()) return DropFormatFlag();
    if (mimeType == DragFormats::Column()) return m_column != -1;
    return false;
}

QByteArray TSourceDataObject::GetData(const QString& mimeType) const
{
    if (!QueryGetData(mimeType)) return QByteArray();
    if (mimeType == DragFormats::Text()) return m_text.toUtf8();
    if (mimeType == DragFormats::RTF()) {
        QByteArray bytes = m_rtf.toLatin1();
        bytes.append('\0');
        return bytes;
    }
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(m_column, bytes.data());
    return bytes;
}

bool TSourceDataObject::hasFormat(const QString& mimeType) const { return QueryGetData(mimeType); }

QStringList TSourceDataObject::formats() const
{
    // Listed whether or not they can be given now, as the enumerator lists
    // them; hasFormat tells which can.
    QStringList list{DragFormats::Text(), DragFormats::RTF()};
    if (m_column != -1) list << DragFormats::Column();
    return list;
}

QVariant TSourceDataObject::retrieveData(const QString& mimeType, QMetaType) const
{
    if (!QueryGetData(mimeType)) return QVariant();
    return GetData(mimeType);
}
