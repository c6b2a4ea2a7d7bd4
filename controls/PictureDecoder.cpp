#include "controls/PictureDecoder_p.h"

#include <QBuffer>
#include <QImageReader>
#include <QVector>

#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace picturedecoder {

namespace {

inline unsigned Byte(const QByteArray& d, qsizetype i) { return static_cast<unsigned char>(d[i]); }
inline int Word(const QByteArray& d, qsizetype i) { return int(Byte(d, i) | (Byte(d, i + 1) << 8)); }

// Pictures beyond this size are refused rather than allocated.
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;
constexpr int kMaxSide = 32767;

bool IsFrameStart(const QByteArray& d, qsizetype p)
{
    // Extension introducer, graphic control label, block size 4, then the
    // image separator at +8 and a complete image descriptor (+8 .. +17).
    return p + 18 <= d.size() && Byte(d, p) == 0x21 && Byte(d, p + 1) == 0xF9 && Byte(d, p + 2) == 4 &&
           Byte(d, p + 8) == 0x2C;
}

QImage ReadWithQt(const QByteArray& data, const char* format)
{
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return QImage();
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide ||
                           qint64(size.width()) * size.height() > kMaxPixels))
        return QImage();
    QImage img;
    if (!reader.read(&img)) return QImage();
    return img;
}

QImage DecodeBmp(const QByteArray& data)
{
    if (data.size() < 26) return QImage();
    const quint32 offset = quint32(Byte(data, 10)) | quint32(Byte(data, 11)) << 8 | quint32(Byte(data, 12)) << 16 |
                           quint32(Byte(data, 13)) << 24;
    const quint32 headerSize = quint32(Byte(data, 14)) | quint32(Byte(data, 15)) << 8;
    qint64 width = 0;
    qint64 height = 0;
    int bpp = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = Word(data, 18);
        height = Word(data, 20);
        bpp = Word(data, 24);
    } else {
        if (data.size() < 34) return QImage();
        width = qint32(quint32(Byte(data, 18)) | quint32(Byte(data, 19)) << 8 | quint32(Byte(data, 20)) << 16 |
                       quint32(Byte(data, 21)) << 24);
        height = qint32(quint32(Byte(data, 22)) | quint32(Byte(data, 23)) << 8 | quint32(Byte(data, 24)) << 16 |
                        quint32(Byte(data, 25)) << 24);
        bpp = Word(data, 28);
        compression = quint32(Byte(data, 30)) | quint32(Byte(data, 31)) << 8 | quint32(Byte(data, 32)) << 16 |
                      quint32(Byte(data, 33)) << 24;
    }
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        return QImage();
    // Uncompressed pixels must all be there.
    if (compression == 0 || compression == 3) {
        const qint64 stride = ((width * bpp + 31) / 32) * 4;
        if (qint64(offset) + stride * height > data.size()) return QImage();
    }
    return ReadWithQt(data, "bmp");
}

struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

extern "C" void JpegErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

} // namespace

bool IsGif(const QByteArray& data)
{
    return data.size() >= 5 && data.startsWith("GIF8");
}

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

QImage DecodeJpeg(const QByteArray& data)
{
    if (data.size() < 4) return QImage();
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.output_message = JpegOutputMessage;
    std::vector<unsigned char> pixels; // filled between setjmp and a possible longjmp
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return QImage();
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > unsigned(kMaxSide) ||
        cinfo.image_height > unsigned(kMaxSide) || qint64(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return QImage();
    }
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width);
    const int h = int(cinfo.output_height);
    const int comps = cinfo.output_components;
    if ((comps != 3 && comps != 4) || w <= 0 || h <= 0) {
        jpeg_destroy_decompress(&cinfo);
        return QImage();
    }
    pixels.resize(size_t(w) * size_t(h) * size_t(comps));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + size_t(cinfo.output_scanline) * size_t(w) * size_t(comps);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull()) return QImage();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const unsigned char* src = pixels.data() + size_t(y) * size_t(w) * size_t(comps);
        for (int x = 0; x < w; ++x, src += comps) {
            if (comps == 3) {
                line[x] = qRgb(src[0], src[1], src[2]);
            } else {
                // Adobe writes CMYK inverted.
                const int k = src[3];
                line[x] = qRgb(src[0] * k / 255, src[1] * k / 255, src[2] * k / 255);
            }
        }
    }
    return img;
}

QImage Decode(const QByteArray& data)
{
    if (data.size() < 4) return QImage();
    if (data.startsWith("BM")) return DecodeBmp(data);
    if (Byte(data, 0) == 0xFF && Byte(data, 1) == 0xD8) return DecodeJpeg(data);
    if (IsGif(data)) return ReadWithQt(data, "gif");
    if (Byte(data, 0) == 0 && Byte(data, 1) == 0 && (Byte(data, 2) == 1 || Byte(data, 2) == 2) && Byte(data, 3) == 0)
        return ReadWithQt(data, "ico");
    return QImage();
}

} // namespace picturedecoder
