#include "platform/graphics/PictureReader.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace PictureReader {

namespace {

inline unsigned Byte(const QByteArray& d, qsizetype i) { return static_cast<unsigned char>(d[i]); }
inline quint32 Word(const QByteArray& d, qsizetype i) { return Byte(d, i) | (Byte(d, i + 1) << 8); }
inline quint32 DWord(const QByteArray& d, qsizetype i) { return Word(d, i) | (Word(d, i + 2) << 16); }

bool WithinLimits(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide && width * height <= MaxPixels;
}

// The one place bytes reach Qt's image readers, always with the format the
// checks below chose for them (none: refused): the size the picture
// declares is checked before anything is decoded. With declared, only that
// size is read, and left to the caller to check.
QImage ReadWithQt(const QByteArray& data, const QByteArray& format, QSize* declared = nullptr)
{
    if (format.isEmpty()) return QImage();
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return QImage();
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (declared) {
        *declared = size;
        return QImage();
    }
    if (size.isValid() && !WithinLimits(size.width(), size.height())) return QImage();
    QImage img;
    if (!reader.read(&img)) return QImage();
    return img;
}

bool IsBitmap(const QByteArray& data) { return data.startsWith("BM"); }
bool IsJpeg(const QByteArray& data) { return data.size() >= 2 && Byte(data, 0) == 0xFF && Byte(data, 1) == 0xD8; }
bool IsGif(const QByteArray& data) { return data.size() >= 5 && data.startsWith("GIF8"); }
bool IsPng(const QByteArray& data) { return data.startsWith("\x89PNG\r\n\x1a\n"); }
bool IsIcon(const QByteArray& data)
{
    return data.size() >= 4 && Byte(data, 0) == 0 && Byte(data, 1) == 0 && (Byte(data, 2) == 1 || Byte(data, 2) == 2) &&
        Byte(data, 3) == 0;
}

// --- JPEG -----------------------------------------------------------------

// libjpeg's faults: an error jumps back, a warning (corrupt data, a file
// cut short) is counted, nothing is printed.
struct JpegError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int warnings = 0;
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }

extern "C" void JpegEmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) ++reinterpret_cast<JpegError*>(cinfo->err)->warnings;
}

void SetUp(JpegError& err, jpeg_decompress_struct& cinfo)
{
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.emit_message = JpegEmitMessage;
}

// Everything the decoding touches after setjmp lives here, outside the
// function that calls setjmp, so a jump back leaves it in a known state.
struct JpegSession {
    jpeg_decompress_struct cinfo;
    JpegError err;
    std::vector<unsigned char> row; // one row of CMYK samples
    QImage image;
    jpeg_progress_mgr progress; // the whole-file check's scan limit
};

constexpr J_COLOR_SPACE kNativeRgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// The smallest of 1, 2, 4 and 8 that brings the picture within MaxPixels;
// 0 when none does.
unsigned ScaleDenominator(qint64 width, qint64 height)
{
    for (unsigned d = 1; d <= 8; d *= 2) {
        const qint64 w = (width + d - 1) / d;
        const qint64 h = (height + d - 1) / d;
        if (WithinLimits(w, h)) return d;
    }
    return 0;
}

// Runs the decoding; false on a libjpeg error or a picture refused.
bool DecodeJpegInto(JpegSession& s, const QByteArray& data)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    if (setjmp(s.err.jump)) return false;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MaxJpegWorkMemory;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const qint64 width = cinfo.image_width;
    const qint64 height = cinfo.image_height;
    if (width <= 0 || height <= 0 || width * height > qint64(data.size()) * MaxPixelsPerByte) return false;
    const unsigned denom = ScaleDenominator(width, height);
    if (!denom) return false;
    cinfo.scale_num = 1;
    cinfo.scale_denom = denom;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : kNativeRgb32;
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width);
    const int h = int(cinfo.output_height);
    if (w <= 0 || h <= 0 || cinfo.output_components != 4 || !WithinLimits(w, h)) return false;
    s.image = QImage(w, h, QImage::Format_RGB32);
    if (s.image.isNull()) return false;
    if (cmyk) s.row.resize(size_t(w) * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW target = cmyk ? s.row.data() : s.image.scanLine(y);
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) break;
        if (cmyk) {
            // Adobe writes CMYK inverted.
            auto* line = reinterpret_cast<QRgb*>(s.image.scanLine(y));
            const unsigned char* src = s.row.data();
            for (int x = 0; x < w; ++x, src += 4) {
                const int k = src[3];
                line[x] = qRgb(src[0] * k / 255, src[1] * k / 255, src[2] * k / 255);
            }
        }
    }
    // Rows that never arrived (a file cut short) stay as libjpeg filled them.
    jpeg_finish_decompress(&cinfo);
    return true;
}

// What libjpeg may allocate to check a whole file: it holds the coded data
// of the whole picture at once.
constexpr long MaxJpegCheckMemory = 256L * 1024 * 1024;

// Every scan of a progressive file runs over the whole picture, whatever
// data it carries: a file of a few hundred empty scans costs its size in
// blocks hundreds of times over. Encoders write ten or so.
constexpr int MaxJpegScans = 100;

extern "C" void JpegScanLimit(j_common_ptr cinfo)
{
    // error_exit jumps back: the check fails.
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxJpegScans) cinfo->err->error_exit(cinfo);
}

// Decodes the coded data (not the pixels) of the whole file; false on an
// error, a picture that declares far more pixels than its bytes could hold
// (the limit ReadJpeg keeps), or one of more scans than MaxJpegScans.
// Nothing that needs destroying is made after setjmp.
bool ReadJpegCoefficients(JpegSession& s, QByteArrayView data)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    if (setjmp(s.err.jump)) return false;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MaxJpegCheckMemory;
    s.progress.progress_monitor = JpegScanLimit;
    cinfo.progress = &s.progress;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    const qint64 width = cinfo.image_width;
    const qint64 height = cinfo.image_height;
    if (width <= 0 || height <= 0 || width * height > qint64(data.size()) * MaxPixelsPerByte) return false;
    if (!jpeg_read_coefficients(&cinfo)) return false;
    jpeg_finish_decompress(&cinfo);
    return true;
}

// --- GIF ------------------------------------------------------------------

// The canvas a GIF is decoded into: Qt's reader makes one image of the
// logical screen (or of the first frame's extent when the screen is empty)
// and draws every frame into it, so neither the first frame nor the screen
// alone tells the size that is read. The canvas taken here holds the
// screen and every frame's rectangle; false when the blocks do not walk.
bool GifCanvas(const QByteArray& data, qint64& width, qint64& height)
{
    const qsizetype n = data.size();
    if (n < 13) return false;
    width = Word(data, 6);
    height = Word(data, 8);
    qsizetype p = 13;
    if (Byte(data, 10) & 0x80) p += 3LL << ((Byte(data, 10) & 7) + 1);
    // Sub-blocks up to their terminator; false when the data ends first.
    const auto skipSubBlocks = [&]() {
        while (p < n) {
            const unsigned size = Byte(data, p++);
            if (size == 0) return true;
            p += size;
        }
        return false;
    };
    bool frames = false;
    while (p < n) {
        const unsigned introducer = Byte(data, p);
        if (introducer == 0x3B) break; // trailer
        if (introducer == 0x21) {
            p += 2;
            if (!skipSubBlocks()) break;
        } else if (introducer == 0x2C) {
            if (p + 10 > n) break;
            width = std::max<qint64>(width, qint64(Word(data, p + 1)) + Word(data, p + 5));
            height = std::max<qint64>(height, qint64(Word(data, p + 3)) + Word(data, p + 7));
            frames = true;
            const unsigned flags = Byte(data, p + 9);
            p += 10;
            if (flags & 0x80) p += 3LL << ((flags & 7) + 1);
            p += 1; // the code size
            if (!skipSubBlocks()) break;
        } else {
            break; // what follows is no block: the reader stops there too
        }
    }
    return frames;
}

// A GIF whose canvas lies within the limits and within what its bytes could
// plausibly hold.
bool GifFits(const QByteArray& data)
{
    if (!IsGif(data)) return false;
    qint64 width = 0;
    qint64 height = 0;
    return GifCanvas(data, width, height) && WithinLimits(width, height) &&
        width * height <= qint64(data.size()) * MaxPixelsPerByte;
}

// A bitmap file declaring a picture within the limits that carries its
// pixels (a run-length one as much as it could plausibly need).
bool BitmapFits(const QByteArray& data)
{
    if (data.size() < 26 || !IsBitmap(data)) return false;
    const quint32 offset = DWord(data, 10);
    const quint32 headerSize = DWord(data, 14);
    qint64 width = 0;
    qint64 height = 0;
    int bpp = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = Word(data, 18);
        height = Word(data, 20);
        bpp = int(Word(data, 24));
    } else {
        if (data.size() < 34) return false;
        width = qint32(DWord(data, 18));
        height = qint32(DWord(data, 22));
        bpp = int(Word(data, 28));
        compression = DWord(data, 30);
    }
    if (height < 0) height = -height;
    if (!WithinLimits(width, height)) return false;
    // Uncompressed and bit-field pixels must all be there.
    if (compression == 0 || compression == 3) {
        const qint64 stride = ((width * bpp + 31) / 32) * 4;
        if (qint64(offset) + stride * height > data.size()) return false;
    } else if (width * height > qint64(data.size()) * MaxPixelsPerByte) {
        return false;
    }
    return true;
}

// --- PNG ------------------------------------------------------------------

inline quint32 BigEndian(const QByteArray& d, qsizetype i)
{
    return (Byte(d, i) << 24) | (Byte(d, i + 1) << 16) | (Byte(d, i + 2) << 8) | Byte(d, i + 3);
}

// The PNG library allocates each chunk's declared length before it reads
// the chunk, so the chunks are walked first: each must lie whole within the
// data (the largest length the format allows at most), the header must come
// first and declare a picture within the limits, and all chunks together
// may not hold more than the largest picture's pixels. Chunks after the
// end chunk are never read.
bool PngChunksFit(const QByteArray& data)
{
    constexpr qsizetype kSignature = 8;
    constexpr quint32 kMaxChunk = 0x7FFFFFFFu;
    constexpr qint64 kMaxTotal = MaxPixels * 4;
    const qsizetype n = data.size();
    qsizetype p = kSignature;
    qint64 total = 0;
    bool first = true;
    while (p < n) {
        if (n - p < 12) return false;
        const quint32 length = BigEndian(data, p);
        const QByteArray type = data.mid(p + 4, 4);
        if (length > kMaxChunk || qint64(length) > qint64(n - p - 12)) return false;
        total += length;
        if (total > kMaxTotal) return false;
        if (first) {
            if (type != "IHDR" || length != 13 || !WithinLimits(BigEndian(data, p + 8), BigEndian(data, p + 12)))
                return false;
            first = false;
        }
        p += 12 + qsizetype(length);
        if (type == "IEND") return true;
    }
    // No end chunk: what is there may still show.
    return !first;
}

// --- Icons ----------------------------------------------------------------

// An icon file is a directory of pictures, PNGs or bitmaps without their
// file header, which Qt's icon reader hands on to its PNG reader or decodes
// itself. Each entry must lie within the data; a PNG entry is walked as a
// PNG (from its offset to the end of the data, which is what the PNG reader
// may read), and a bitmap entry must declare a picture within the limits
// and carry its pixels.
bool IconEntriesFit(const QByteArray& data)
{
    const qsizetype n = data.size();
    if (n < 6) return false;
    const qsizetype count = Word(data, 4);
    const qsizetype directoryEnd = 6 + 16 * count;
    if (count == 0 || directoryEnd > n) return false;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype e = 6 + 16 * i;
        const qint64 bytes = DWord(data, e + 8);
        const qint64 offset = DWord(data, e + 12);
        if (bytes == 0 || offset < directoryEnd || offset + bytes > n) return false;
        const QByteArray inner = QByteArray::fromRawData(data.constData() + offset, n - qsizetype(offset));
        if (IsPng(inner)) {
            if (!PngChunksFit(inner)) return false;
            continue;
        }
        if (bytes < 40) return false;
        const quint32 headerSize = DWord(inner, 0);
        const qint64 width = qint32(DWord(inner, 4));
        const qint64 height = qint32(DWord(inner, 8)) / 2; // the mask counts in the height
        const qint64 bpp = Word(inner, 14);
        if (headerSize < 40 || qint64(headerSize) > bytes || !WithinLimits(width, height) || bpp == 0 || bpp > 32)
            return false;
        const qint64 colours = bpp <= 8 ? std::min<qint64>(qint64(1) << bpp, DWord(inner, 32)) : 0;
        const qint64 palette = bpp <= 8 ? 4 * (colours ? colours : qint64(1) << bpp) : 0;
        const qint64 stride = ((width * bpp + 31) / 32) * 4;
        if (qint64(headerSize) + palette + stride * height > bytes) return false;
    }
    return true;
}

// Formats Qt tells by content that hold one picture whose header declares
// its size. Others, containers of further pictures among them, are not
// handed to Qt.
bool SinglePictureFormat(const QByteArray& format)
{
    return format == "png" || format == "ppm" || format == "pgm" || format == "pbm" || format == "xbm" ||
        format == "xpm";
}

// The format Qt reads the bytes with once they passed the checks of their
// kind; empty when they are refused. JPEGs are decoded by libjpeg here
// (ReadJpeg); their size alone is asked from Qt.
QByteArray CheckedFormat(const QByteArray& data)
{
    if (data.size() < 4) return {};
    const QByteArray kind = FormatOf(data);
    if (kind == "bmp") return BitmapFits(data) ? kind : QByteArray();
    if (kind == "jpeg") return kind;
    if (kind == "gif") return GifFits(data) ? kind : QByteArray();
    if (kind == "ico") return IconEntriesFit(data) ? kind : QByteArray();
    if (kind == "png") return PngChunksFit(data) ? kind : QByteArray();
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    const QByteArray format = QImageReader::imageFormat(&buffer);
    return SinglePictureFormat(format) ? format : QByteArray();
}

} // namespace

QImage ReadBitmap(const QByteArray& data) { return BitmapFits(data) ? ReadWithQt(data, "bmp") : QImage(); }

QImage ReadJpeg(const QByteArray& data)
{
    if (data.size() < 4 || !IsJpeg(data)) return QImage();
    JpegSession s{};
    SetUp(s.err, s.cinfo);
    const bool ok = DecodeJpegInto(s, data);
    jpeg_destroy_decompress(&s.cinfo);
    return ok ? std::move(s.image) : QImage();
}

bool JpegDecodesWhole(QByteArrayView data)
{
    if (data.isEmpty()) return false;
    JpegSession s{};
    SetUp(s.err, s.cinfo);
    const bool read = ReadJpegCoefficients(s, data);
    jpeg_destroy_decompress(&s.cinfo);
    return read && s.err.warnings == 0;
}

QImage ReadGif(const QByteArray& data)
{
    if (!GifFits(data)) return QImage();
    QImage img = ReadWithQt(data, "gif");
    // Whatever the walk above missed, nothing larger than the cap is kept.
    if (!img.isNull() && !WithinLimits(img.width(), img.height())) return QImage();
    return img;
}

QImage ReadPicture(const QByteArray& data)
{
    if (data.size() < 4) return QImage();
    if (IsBitmap(data)) return ReadBitmap(data);
    if (IsJpeg(data)) return ReadJpeg(data);
    if (IsGif(data)) return ReadGif(data);
    if (IsIcon(data)) return IconEntriesFit(data) ? ReadWithQt(data, "ico") : QImage();
    return QImage();
}

QImage ReadImage(const QByteArray& data)
{
    if (data.size() < 4) return QImage();
    if (IsBitmap(data) || IsJpeg(data) || IsGif(data) || IsIcon(data)) return ReadPicture(data);
    return ReadWithQt(data, CheckedFormat(data));
}

QByteArray FormatOf(const QByteArray& data)
{
    if (data.size() < 4) return {};
    if (IsBitmap(data)) return "bmp";
    if (IsJpeg(data)) return "jpeg";
    if (IsGif(data)) return "gif";
    if (IsIcon(data)) return "ico";
    if (IsPng(data)) return "png";
    return {};
}

QSize ImageSize(const QByteArray& data)
{
    const QByteArray format = CheckedFormat(data);
    QSize size;
    ReadWithQt(data, format, &size);
    if (!size.isValid()) return QSize();
    const qint64 w = size.width(), h = size.height();
    // A large JPEG is read scaled down, so its size may pass the cap.
    if (format == "jpeg")
        return ScaleDenominator(w, h) && w * h <= qint64(data.size()) * MaxPixelsPerByte ? size : QSize();
    return WithinLimits(w, h) ? size : QSize();
}

} // namespace PictureReader
