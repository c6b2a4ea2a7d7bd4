#include "platform/clipboard/EnumFormats.h"

#include "platform/clipboard/DragDrop.h"

#include <QMimeData>
#include <QUrl>
#include <QtEndian>

TEnumFormats::TEnumFormats(const QMimeData* data) : m_data(data) { }

bool TEnumFormats::HasText() const { return m_data && m_data->hasFormat(DragFormats::Text()); }
bool TEnumFormats::HasRTF() const { return m_data && m_data->hasFormat(DragFormats::RTF()); }
bool TEnumFormats::HasCol() const { return m_data && m_data->hasFormat(DragFormats::Column()); }
bool TEnumFormats::HasFiles() const { return m_data && m_data->hasFormat(DragFormats::Files()); }

QByteArray TEnumFormats::ZeroTerminated(const QByteArray& data)
{
    const qsizetype end = data.indexOf('\0');
    return end < 0 ? data : data.left(end);
}

bool TEnumFormats::ReadInt32(const QByteArray& data, int& value)
{
    if (data.size() != 4) return false;
    value = qFromLittleEndian<qint32>(data.constData());
    return true;
}

bool TEnumFormats::ParseUriList(const QByteArray& data, QStringList& files)
{
    if (data.size() > MaxListBytes) return false;
    qsizetype pos = 0;
    const qsizetype size = ZeroTerminated(data).size();
    while (pos < size && files.size() < MaxFiles) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0 || end > size) end = size;
        QByteArray line = data.mid(pos, end - pos).trimmed();
        pos = end + 1;
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (!url.isValid() || !url.isLocalFile()) continue;
        // Files of this machine only, never a share named by the sender.
        if (!url.host().isEmpty() && url.host() != QLatin1String("localhost")) continue;
        const QString path = url.toLocalFile();
        if (!path.isEmpty()) files << path;
    }
    return true;
}

QString TEnumFormats::GetText() const
{
    if (!HasText()) return QString();
    return QString::fromUtf8(ZeroTerminated(m_data->data(DragFormats::Text())));
}

QString TEnumFormats::GetRTF() const
{
    if (!HasRTF()) return QString();
    return QString::fromLatin1(ZeroTerminated(m_data->data(DragFormats::RTF())));
}

int TEnumFormats::GetCol() const
{
    int col = -1;
    if (!HasCol() || !ReadInt32(m_data->data(DragFormats::Column()), col)) return -1;
    return col;
}

bool TEnumFormats::GetFiles(QStringList& list) const
{
    if (HasFiles()) ParseUriList(m_data->data(DragFormats::Files()), list);
    return !list.isEmpty();
}
