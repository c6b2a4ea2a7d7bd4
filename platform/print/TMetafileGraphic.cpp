#include "platform/print/TMetafileGraphic.h"

#include "platform/core/Exception.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PictureReader.h"
#include "platform/print/MetafilePagePainter_p.h"
#include "platform/readers/MetafilePlayer.h"
#include "platform/report/TPageRenderer.h"

#include <QIODevice>
#include <QPainter>
#include <QtEndian>
#include <cstdlib>

namespace {

constexpr quint32 placeableKey = 0x9AC6CDD7u;
// A street map is a few hundred KiB; anything near this is no street map.
constexpr qint64 maxDataSize = qint64(64) << 20;

} // namespace

TMetafileGraphic::TMetafileGraphic(const QByteArray& data) { SetData(data); }

void TMetafileGraphic::SetData(const QByteArray& data)
{
    m_data = data.size() > maxDataSize ? QByteArray() : data;
    m_width = m_height = 0;
    const auto* p = reinterpret_cast<const uchar*>(m_data.constData());
    if (m_data.size() >= 22 && qFromLittleEndian<quint32>(p) == placeableKey) {
        // The placeable header's box and its units per inch.
        const int left = qFromLittleEndian<qint16>(p + 6), top = qFromLittleEndian<qint16>(p + 8);
        const int right = qFromLittleEndian<qint16>(p + 10), bottom = qFromLittleEndian<qint16>(p + 12);
        const int inch = qFromLittleEndian<quint16>(p + 14);
        if (inch > 0) {
            m_width = std::abs(right - left) * 96 / inch;
            m_height = std::abs(bottom - top) * 96 / inch;
        }
    } else if (!m_data.isEmpty() && !TMetafilePlayer::IsMetafile(m_data)) {
        // A picture: its size as the picture reader's checks let it through.
        const QSize size = PictureReader::ImageSize(m_data);
        if (size.isValid()) {
            m_width = size.width();
            m_height = size.height();
        }
    }
    Changed();
}

void TMetafileGraphic::DrawPage(TPagePainter& painter, const QRectF& r) const
{
    if (m_data.isEmpty()) return;
    TMetafilePagePainter target(painter);
    TMetafilePlayer::Play(m_data, target, r);
}

void TMetafileGraphic::Draw(TCanvas& canvas, const TRect& r) const
{
    QPainter* painter = canvas.Painter();
    if (!painter || m_data.isEmpty()) return;
    // Played as a page at 96 per inch onto the canvas's painter.
    painter->save();
    TPageRenderer renderer(*painter, 96);
    const QRectF inches(r.Left / 96.0, r.Top / 96.0, (r.Right - r.Left) / 96.0, (r.Bottom - r.Top) / 96.0);
    renderer.SetClip(&inches);
    DrawPage(renderer, inches);
    painter->restore();
}

void TMetafileGraphic::LoadFromStream(QIODevice& stream) { SetData(stream.read(maxDataSize + 1)); }

void TMetafileGraphic::SaveToStream(QIODevice& stream) const
{
    if (stream.write(m_data) != m_data.size()) throw EStreamError(QStringLiteral("Stream write error"));
}

void TMetafileGraphic::Assign(const TGraphic* source)
{
    if (const auto* other = dynamic_cast<const TMetafileGraphic*>(source)) SetData(other->m_data);
}
