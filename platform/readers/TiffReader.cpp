#include "platform/readers/TiffReader.h"

#include <QFile>

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// The data libtiff reads from: the caller's bytes, never copied.
struct MemorySource {
    const char* data = nullptr;
    toff_t size = 0;
    toff_t pos = 0;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n)
{
    auto* s = static_cast<MemorySource*>(h);
    if (n <= 0 || s->pos >= s->size) return 0;
    const toff_t count = std::min<toff_t>(toff_t(n), s->size - s->pos);
    std::memcpy(buf, s->data + s->pos, size_t(count));
    s->pos += count;
    return tmsize_t(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekProc(thandle_t h, toff_t off, int whence)
{
    auto* s = static_cast<MemorySource*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = s->pos;
    else if (whence == SEEK_END)
        base = s->size;
    // libtiff passes negative offsets as their two's complement.
    const toff_t target = base + off;
    if (target > s->size) return toff_t(-1);
    s->pos = target;
    return target;
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t h) { return static_cast<MemorySource*>(h)->size; }

int MapProc(thandle_t h, void** base, toff_t* size)
{
    auto* s = static_cast<MemorySource*>(h);
    // Opened read-only: libtiff never writes through the mapping.
    *base = const_cast<char*>(s->data);
    *size = s->size;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) { }

QString FormatMessage(const char* module, const char* fmt, va_list ap)
{
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    QString text = QString::fromLocal8Bit(buf);
    if (module && *module) text = QString::fromLocal8Bit(module) + QStringLiteral(": ") + text;
    return text;
}

// Messages libtiff raises outside a handle (none should, but its global
// handlers print to the terminal): they go to the reader of this thread.
thread_local TTiffReader* t_current = nullptr;

void GlobalError(const char* module, const char* fmt, va_list ap)
{
    const QString text = FormatMessage(module, fmt, ap);
    if (t_current) t_current->Message(true, text);
}

void GlobalWarning(const char* module, const char* fmt, va_list ap)
{
    const QString text = FormatMessage(module, fmt, ap);
    if (t_current) t_current->Message(false, text);
}

int HandleError(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    static_cast<TTiffReader*>(user)->Message(true, FormatMessage(module, fmt, ap));
    return 1;
}

int HandleWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    static_cast<TTiffReader*>(user)->Message(false, FormatMessage(module, fmt, ap));
    return 1;
}

void InstallGlobalHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(GlobalError);
        TIFFSetWarningHandler(GlobalWarning);
    });
}

struct TiffClose {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
struct OptionsFree {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

// How many decoded bytes one byte of data can give at most, per compression:
// the bound that tells a plausible declared size from a hostile one.
// CCITT codes need at least one bit per row, whatever the width, and are
// bounded by rows instead (ratio 0).
double ExpansionBound(uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE: return 1.0;
    case COMPRESSION_PACKBITS: return 64.0; // two bytes repeat one 128 times
    case COMPRESSION_LZW: return 2731.0;    // a 12-bit code stands for at most 4096 bytes
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: return 1032.0; // the deflate format's limit
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4: return 0.0;
    default: return -1.0;
    }
}

class ScopedCurrent {
public:
    explicit ScopedCurrent(TTiffReader* r) : m_previous(t_current) { t_current = r; }
    ~ScopedCurrent() { t_current = m_previous; }

private:
    TTiffReader* m_previous;
};

// The failure of a step libtiff may have explained: its first error goes
// with it.
ETiffError Damaged(const QString& what, const QString& firstError)
{
    return ETiffError(firstError.isEmpty() ? what : what + QStringLiteral(": ") + firstError);
}

// What the directory says of the sheet.
struct SheetLayout {
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, compression = COMPRESSION_NONE, photometric = PHOTOMETRIC_MINISWHITE;
    double expansion = 0; // ExpansionBound of the compression
    bool tiled = false;
    uint32_t tileW = 0, tileH = 0;

    bool Palette() const { return photometric == PHOTOMETRIC_PALETTE; }
    qsizetype RowBytes() const { return (qsizetype(width) * bits + 7) / 8; }
    qsizetype TileRowBytes() const { return (qsizetype(tileW) * bits + 7) / 8; }
};

// Map sheets are one sample of 1 bit (black and white either way round) or
// 8 bits (grey either way round, or a palette).
bool IsMapSheetKind(const SheetLayout& s)
{
    if (s.samples != 1) return false;
    const bool grey = s.photometric == PHOTOMETRIC_MINISWHITE || s.photometric == PHOTOMETRIC_MINISBLACK;
    return (s.bits == 1 && grey) || (s.bits == 8 && (grey || s.Palette()));
}

void CheckSize(const SheetLayout& s)
{
    if (s.width == 0 || s.height == 0) throw ETiffError(QStringLiteral("TIFF image is empty"));
    if (s.width > uint32_t(TTiffReader::MaxSide) || s.height > uint32_t(TTiffReader::MaxSide))
        throw ETiffError(QStringLiteral("TIFF image too large (%1 x %2)").arg(s.width).arg(s.height));
}

void ReadTileLayout(TIFF* tif, SheetLayout& s)
{
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &s.tileW);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &s.tileH);
    const uint32_t maxSide = uint32_t(TTiffReader::MaxSide);
    if (s.tileW == 0 || s.tileH == 0 || s.tileW > maxSide || s.tileH > maxSide || s.tileW % 8 != 0)
        throw ETiffError(QStringLiteral("TIFF tiles are not valid"));
}

// The directory's fields, refused unless they describe a map sheet of a
// size this reader takes.
SheetLayout ReadLayout(TIFF* tif)
{
    SheetLayout s;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &s.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &s.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &s.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &s.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &s.compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &s.photometric))
        s.photometric = s.bits == 1 ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK;

    CheckSize(s);
    s.expansion = ExpansionBound(s.compression);
    if (!IsMapSheetKind(s) || s.expansion < 0)
        throw ETiffError(QStringLiteral("Unsupported TIFF image (%1 bits, %2 samples, photometric %3, "
                                        "compression %4)")
                             .arg(s.bits)
                             .arg(s.samples)
                             .arg(s.photometric)
                             .arg(s.compression));
    s.tiled = TIFFIsTiled(tif);
    if (s.tiled) ReadTileLayout(tif, s);
    return s;
}

// Refuses what the data cannot hold before anything is allocated for it.
void CheckPlausible(const SheetLayout& s, qsizetype dataSize)
{
    double coveredRows = s.height, coveredWidth = s.width;
    if (s.tiled) {
        coveredWidth = double((s.width + s.tileW - 1) / s.tileW) * s.tileW;
        coveredRows = double((s.height + s.tileH - 1) / s.tileH) * s.tileH;
    }
    const double decodedBytes = coveredRows * std::ceil(coveredWidth * s.bits / 8.0);
    const double dataBytes = double(dataSize);
    const bool plausible = s.expansion > 0 ? decodedBytes <= dataBytes * s.expansion : coveredRows <= dataBytes * 8.0;
    if (!plausible)
        throw ETiffError(
            QStringLiteral("TIFF image declares more pixels than its data holds (%1 x %2)").arg(s.width).arg(s.height));
}

void SetPaletteTable(TIFF* tif, QImage& image, const QString& firstError)
{
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
        throw Damaged(QStringLiteral("TIFF colour map is missing"), firstError);
    // Some writers store 8-bit values in the 16-bit table.
    bool eightBit = true;
    for (int i = 0; i < 256 && eightBit; ++i) eightBit = r[i] < 256 && g[i] < 256 && b[i] < 256;
    const int shift = eightBit ? 0 : 8;
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i) table[i] = qRgb(r[i] >> shift, g[i] >> shift, b[i] >> shift);
    image.setColorTable(table);
}

// The image the sheet is decoded into, with its colour table.
QImage NewSheetImage(TIFF* tif, const SheetLayout& s, const QString& firstError)
{
    const QImage::Format format = s.bits == 1 ? QImage::Format_Mono
        : s.Palette()                         ? QImage::Format_Indexed8
                                              : QImage::Format_Grayscale8;
    QImage image(int(s.width), int(s.height), format);
    if (image.isNull()) throw ETiffError(QStringLiteral("Not enough memory for the TIFF image"));
    if (s.bits == 1) {
        const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
        image.setColorTable(s.photometric == PHOTOMETRIC_MINISWHITE ? QList<QRgb>{white, black}
                                                                    : QList<QRgb>{black, white});
    } else if (s.Palette()) {
        SetPaletteTable(tif, image, firstError);
    }
    return image;
}

void ReadStrips(TIFF* tif, const SheetLayout& s, QImage& image, const QString& firstError)
{
    if (TIFFScanlineSize64(tif) != uint64_t(s.RowBytes()))
        throw Damaged(QStringLiteral("TIFF rows are not valid"), firstError);
    for (uint32_t y = 0; y < s.height; ++y)
        if (TIFFReadScanline(tif, image.scanLine(int(y)), y, 0) < 0)
            throw Damaged(QStringLiteral("TIFF data is damaged"), firstError);
}

// Each tile is decoded into one buffer and its rows copied into place, the
// last column and row of tiles cut at the sheet's edges.
void ReadTiles(TIFF* tif, const SheetLayout& s, QImage& image, const QString& firstError)
{
    const tmsize_t tileSize = TIFFTileSize(tif);
    const qsizetype tileRowBytes = s.TileRowBytes();
    if (tileSize <= 0 || tileSize != tmsize_t(tileRowBytes * s.tileH))
        throw Damaged(QStringLiteral("TIFF tiles are not valid"), firstError);
    const qsizetype rowBytes = s.RowBytes();
    std::vector<uchar> tile(static_cast<size_t>(tileSize));
    for (uint32_t ty = 0; ty < s.height; ty += s.tileH) {
        for (uint32_t tx = 0; tx < s.width; tx += s.tileW) {
            const ttile_t index = TIFFComputeTile(tif, tx, ty, 0, 0);
            if (TIFFReadEncodedTile(tif, index, tile.data(), tileSize) < 0)
                throw Damaged(QStringLiteral("TIFF data is damaged"), firstError);
            const uint32_t rows = std::min(s.tileH, s.height - ty);
            const qsizetype left = qsizetype(tx) * s.bits / 8;
            const qsizetype bytes = std::min<qsizetype>(tileRowBytes, rowBytes - left);
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(image.scanLine(int(ty + r)) + left, tile.data() + qsizetype(r) * tileRowBytes,
                            size_t(bytes));
        }
    }
}

} // namespace

void TTiffReader::Message(bool error, const QString& text)
{
    m_messages.append(text);
    if (error && m_firstError.isEmpty()) m_firstError = text;
    if (OnMessage) OnMessage(this, error, text);
}

QImage TTiffReader::ReadFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) throw ETiffError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    if (file.size() > MaxFileSize) throw ETiffError(QStringLiteral("TIFF file too large"));
    return Read(file.readAll());
}

QImage TTiffReader::Read(const QByteArray& data)
{
    m_messages.clear();
    m_firstError.clear();
    InstallGlobalHandlers();
    ScopedCurrent current(this);

    MemorySource source{data.constData(), toff_t(data.size()), 0};
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), HandleError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), HandleWarning, this);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), 256 * 1024 * 1024);
    std::unique_ptr<TIFF, TiffClose> tif(TIFFClientOpenExt("map sheet", "r", &source, ReadProc, WriteProc, SeekProc,
                                                           CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
    if (!tif) throw Damaged(QStringLiteral("Not a TIFF image"), m_firstError);

    const SheetLayout sheet = ReadLayout(tif.get());
    CheckPlausible(sheet, data.size());
    QImage image = NewSheetImage(tif.get(), sheet, m_firstError);
    if (sheet.tiled)
        ReadTiles(tif.get(), sheet, image, m_firstError);
    else
        ReadStrips(tif.get(), sheet, image, m_firstError);
    if (sheet.bits == 8 && sheet.photometric == PHOTOMETRIC_MINISWHITE) image.invertPixels();
    return image;
}
