#include "protocol/TMetafilePicture.h"

#include "platform/core/Exception.h"
#include "platform/graphics/EInvalidGraphic.h"

#include <QIODevice>

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kMetaHeaderSize = 18;

quint16 Word(const QByteArray& d, qsizetype at) { return quint16(uchar(d[at]) | (uchar(d[at + 1]) << 8)); }

qint16 Short(const QByteArray& d, qsizetype at) { return qint16(Word(d, at)); }

quint32 DWord(const QByteArray& d, qsizetype at) { return quint32(Word(d, at)) | (quint32(Word(d, at + 2)) << 16); }

// The META header: type 1 (memory) or 2 (disk), 9 words of header, version
// 0x0100 or 0x0300, a size in words covering at least the header.
bool ValidMetaHeader(const QByteArray& d, qsizetype at)
{
    if (d.size() - at < kMetaHeaderSize) return false;
    const quint16 type = Word(d, at);
    const quint16 headerWords = Word(d, at + 2);
    const quint16 version = Word(d, at + 4);
    const quint32 sizeWords = DWord(d, at + 6);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300) && sizeWords >= 9;
}

[[noreturn]] void Invalid() { throw EInvalidGraphic(QStringLiteral("Metafile is not valid")); }

} // namespace

void TMetafilePicture::Clear()
{
    m_data.clear();
    m_placeable = false;
    m_bounds = QRect();
    m_inch = 0;
}

void TMetafilePicture::LoadFromStream(QIODevice& stream)
{
    if (!stream.isReadable()) throw EStreamError(QStringLiteral("Stream read error"));
    LoadFromData(stream.readAll());
}

void TMetafilePicture::LoadFromData(const QByteArray& data)
{
    if (data.size() >= 4 && DWord(data, 0) == kPlaceableKey) {
        if (data.size() < kPlaceableSize) Invalid();
        quint16 sum = 0;
        for (qsizetype i = 0; i < 10; ++i) sum ^= Word(data, i * 2);
        if (sum != Word(data, 20) || !ValidMetaHeader(data, kPlaceableSize)) Invalid();
        const int left = Short(data, 6);
        const int top = Short(data, 8);
        const int right = Short(data, 10);
        const int bottom = Short(data, 12);
        m_data = data;
        m_placeable = true;
        m_bounds = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        m_inch = Word(data, 14);
        return;
    }
    if (!ValidMetaHeader(data, 0)) Invalid();
    m_data = data;
    m_placeable = false;
    m_bounds = QRect();
    m_inch = 0;
}

void TMetafilePicture::SaveToStream(QIODevice& stream) const
{
    if (stream.write(m_data) != m_data.size()) throw EStreamError(QStringLiteral("Stream write error"));
}
