#include "controls/PictureDecoder_p.h"

#include <QVector>

namespace picturedecoder {

namespace {

inline unsigned Byte(const QByteArray& d, qsizetype i) { return static_cast<unsigned char>(d[i]); }
inline int Word(const QByteArray& d, qsizetype i) { return int(Byte(d, i) | (Byte(d, i + 1) << 8)); }

bool IsFrameStart(const QByteArray& d, qsizetype p)
{
    // Extension introducer, graphic control label, block size 4, then the
    // image separator at +8 and a complete image descriptor (+8 .. +17).
    return p + 18 <= d.size() && Byte(d, p) == 0x21 && Byte(d, p + 1) == 0xF9 && Byte(d, p + 2) == 4 &&
        Byte(d, p + 8) == 0x2C;
}

} // namespace

bool IsGif(const QByteArray& data) { return data.size() >= 5 && data.startsWith("GIF8"); }

QVector<int> FrameStarts(const QByteArray& data)
{
    QVector<int> starts;
    const char* p = data.constData();
    const qsizetype n = data.size();
    for (qsizetype i = 0; i + 18 <= n; ++i) {
        if (p[i] != 0x21) continue;
        if (IsFrameStart(data, i)) starts.push_back(int(i));
    }
    return starts;
}

GifFrame ExtractGifFrame(const QByteArray& data, int frame)
{
    GifFrame out;
    if (data.size() >= 10) {
        out.screenWidth = Word(data, 6);
        out.screenHeight = Word(data, 8);
    }
    const QVector<int> starts = FrameStarts(data);
    out.bytes.reserve(data.size());
    // Bytes before the first frame start (header, global colour table,
    // leading extensions) are kept; then from the wanted frame's start on.
    const qsizetype headerEnd = starts.isEmpty() ? data.size() : starts.first();
    out.bytes.append(data.constData(), headerEnd);
    if (frame >= 1 && frame <= starts.size()) {
        const int p = starts[frame - 1];
        out.left = Word(data, p + 9);
        out.top = Word(data, p + 11);
        out.width = Word(data, p + 13);
        out.height = Word(data, p + 15);
        out.bytes.append(data.constData() + p, data.size() - p);
    }
    return out;
}

} // namespace picturedecoder
