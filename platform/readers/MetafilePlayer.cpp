#include "platform/readers/MetafilePlayer.h"

#include "platform/core/AnsiCodePage.h"
#include "platform/graphics/PictureReader.h"
#include "platform/readers/MetafileTarget.h"

#include <cmath>
#include <vector>

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kHeaderSize = 18;

enum : quint16 {
    META_EOF = 0x0000,
    META_SETBKCOLOR = 0x0201,
    META_SETBKMODE = 0x0102,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETTEXTCOLOR = 0x0209,
    META_SETTEXTALIGN = 0x012E,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_MOVETO = 0x0214,
    META_LINETO = 0x0213,
    META_POLYLINE = 0x0325,
    META_POLYGON = 0x0324,
    META_POLYPOLYGON = 0x0538,
    META_RECTANGLE = 0x041B,
    META_ROUNDRECT = 0x061C,
    META_ELLIPSE = 0x0418,
    META_TEXTOUT = 0x0521,
    META_EXTTEXTOUT = 0x0A32,
    META_DIBBITBLT = 0x0940,
    META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
    META_SELECTOBJECT = 0x012D,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_CREATEFONTINDIRECT = 0x02FB,
    // Objects that take a slot in the object table though they are not drawn.
    META_CREATEPALETTE = 0x00F7,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_CREATEREGION = 0x06FF,
};

// Little-endian reads inside one record's parameters; a read past them
// marks the record bad instead of reading on.
class Params {
public:
    Params(const uchar* p, qsizetype n) : m_p(p), m_n(n) { }
    qsizetype Size() const { return m_n; }
    bool Has(qsizetype at, qsizetype bytes) const { return at >= 0 && bytes >= 0 && at <= m_n - bytes; }
    quint16 Word(qsizetype at) const { return Has(at, 2) ? quint16(m_p[at] | (m_p[at + 1] << 8)) : Bad(); }
    qint16 Short(qsizetype at) const { return qint16(Word(at)); }
    quint32 DWord(qsizetype at) const { return quint32(Word(at)) | (quint32(Word(at + 2)) << 16); }
    uchar Byte(qsizetype at) const { return Has(at, 1) ? m_p[at] : uchar(Bad()); }
    const uchar* At(qsizetype at) const { return m_p + at; }
    bool ok() const { return m_ok; }

private:
    quint16 Bad() const
    {
        m_ok = false;
        return 0;
    }
    const uchar* m_p;
    qsizetype m_n;
    mutable bool m_ok = true;
};

QColor ColorRef(quint32 c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

enum class Kind { None, Pen, Brush, Font, Other };

struct Object {
    Kind kind = Kind::None;
    QPen pen;
    QBrush brush;
    TMetafileFont font;
    double size = 0; // pen width or font em height in logical units
};

// Reads a DIB (info header, colour table, bits) into an image, checking
// that the bits it declares are there before anything is decoded.
QImage ReadDib(const uchar* p, qsizetype n)
{
    Params d(p, n);
    const quint32 headerSize = d.DWord(0);
    if (!d.ok() || (headerSize != 12 && headerSize < 40) || headerSize > quint32(n)) return {};
    qint64 width, height;
    int bitCount;
    quint32 compression = 0, colorsUsed = 0;
    if (headerSize == 12) {
        width = d.Word(4);
        height = d.Short(6);
        bitCount = d.Word(10);
    } else {
        width = qint32(d.DWord(4));
        height = qint32(d.DWord(8));
        bitCount = d.Word(14);
        compression = d.DWord(16);
        colorsUsed = d.DWord(32);
    }
    if (!d.ok() || width <= 0 || height == 0) return {};
    height = std::abs(height);
    if (width > TMetafilePlayer::MaxBitmapSide || height > TMetafilePlayer::MaxBitmapSide) return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return {};
    qint64 colors = bitCount <= 8 ? (colorsUsed ? colorsUsed : (1 << bitCount)) : colorsUsed;
    if (colors > 256) return {};
    const qint64 entry = headerSize == 12 ? 3 : 4;
    qint64 tableBytes = colors * entry;
    if (compression == 3 && headerSize == 40) tableBytes += 12; // the three bit-field masks
    const qint64 bitsAt = headerSize + tableBytes;
    const qint64 available = n - bitsAt;
    if (available < 0) return {};
    const qint64 rowBytes = ((width * bitCount + 31) / 32) * 4;
    // Run-length bits hold at most 255 pixels in two bytes.
    const bool rle = compression == 1 || compression == 2;
    if (rle ? width * height > available * 128 : rowBytes * height > available) return {};

    QByteArray file;
    file.reserve(int(14 + n));
    const quint32 fileSize = quint32(14 + n), offset = quint32(14 + bitsAt);
    file.append("BM", 2);
    for (quint32 v : {fileSize, 0u, offset})
        for (int i = 0; i < 4; ++i) file.append(char((v >> (8 * i)) & 0xFF));
    file.append(reinterpret_cast<const char*>(p), n);
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

class Player {
public:
    Player(TMetafileTarget& target, const QRectF& frame) : m_target(target), m_frame(frame) { }

    void SetObjectCount(int n) { m_objects.resize(size_t(n)); }
    void SetWindow(double x, double y, double w, double h)
    {
        m_orgX = x;
        m_orgY = y;
        m_extX = w;
        m_extY = h;
    }
    void Record(quint16 function, const Params& p);
    void Begin()
    {
        m_target.SetPen(m_pen);
        m_target.SetBrush(m_brush);
    }

private:
    bool Mapped() const { return m_extX != 0 && m_extY != 0; }
    double Sx() const { return m_frame.width() / m_extX; }
    double Sy() const { return m_frame.height() / m_extY; }
    QPointF Map(double x, double y) const
    {
        return {m_frame.left() + (x - m_orgX) * Sx(), m_frame.top() + (y - m_orgY) * Sy()};
    }
    QRectF MapRect(double left, double top, double right, double bottom) const
    {
        return QRectF(Map(left, top), Map(right, bottom)).normalized();
    }
    QPolygonF Points(const Params& p, qsizetype at, int count) const
    {
        QPolygonF poly;
        poly.reserve(count);
        for (int i = 0; i < count; ++i) poly.append(Map(p.Short(at + i * 4), p.Short(at + i * 4 + 2)));
        return poly;
    }
    void Create(const Object& o);
    void Select(quint16 index);
    void TextAt(double x, double y, const uchar* bytes, int count);
    void Bitmap(const Params& p, qsizetype dibAt, double x, double y, double w, double h, int sx, int sy, int sw,
                int sh);

    TMetafileTarget& m_target;
    QRectF m_frame;
    double m_orgX = 0, m_orgY = 0, m_extX = 0, m_extY = 0;
    std::vector<Object> m_objects;
    QPen m_pen{QBrush(Qt::black), 0};
    QBrush m_brush{Qt::white};
    TMetafileFont m_font{QStringLiteral("Arial"), 0, false, false, false, false, 0};
    QColor m_textColor{Qt::black};
    QColor m_bkColor{Qt::white};
    bool m_opaque = true;
    quint16 m_textAlign = 0;
    Qt::FillRule m_fill = Qt::OddEvenFill;
    QPointF m_pos;
};

void Player::Create(const Object& o)
{
    // A new object takes the lowest free slot; with none free it is lost.
    for (Object& slot : m_objects)
        if (slot.kind == Kind::None) {
            slot = o;
            return;
        }
}

void Player::Select(quint16 index)
{
    if (index >= m_objects.size()) return;
    const Object& o = m_objects[index];
    // Sizes follow the window as it is when the object is selected.
    if (o.kind == Kind::Pen) {
        m_pen = o.pen;
        m_pen.setWidthF(Mapped() ? o.size * std::abs(Sx()) : 0);
        m_target.SetPen(m_pen);
    } else if (o.kind == Kind::Brush) {
        m_brush = o.brush;
        m_target.SetBrush(m_brush);
    } else if (o.kind == Kind::Font) {
        m_font = o.font;
        m_font.height = Mapped() ? o.size * std::abs(Sy()) : 0;
    }
}

void Player::TextAt(double x, double y, const uchar* bytes, int count)
{
    if (!Mapped()) return;
    QString text = AnsiToWide(QByteArray(reinterpret_cast<const char*>(bytes), count));
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) text.truncate(nul);
    if (m_textAlign & 1) { // TA_UPDATECP: the current position instead of x and y
        x = m_orgX + (m_pos.x() - m_frame.left()) / Sx();
        y = m_orgY + (m_pos.y() - m_frame.top()) / Sy();
    }
    Qt::Alignment align;
    switch (m_textAlign & 6) {
    case 2: align = Qt::AlignRight; break;
    case 6: align = Qt::AlignHCenter; break;
    default: align = Qt::AlignLeft; break;
    }
    switch (m_textAlign & 24) {
    case 8: align |= Qt::AlignBottom; break;
    case 24: align |= Qt::AlignBaseline; break;
    default: align |= Qt::AlignTop; break;
    }
    m_target.Text(Map(x, y), text, m_font, m_textColor, align, m_opaque ? m_bkColor : QColor());
}

void Player::Bitmap(const Params& p, qsizetype dibAt, double x, double y, double w, double h, int sx, int sy, int sw,
                    int sh)
{
    if (!Mapped() || !p.Has(dibAt, 12)) return;
    QImage image = ReadDib(p.At(dibAt), p.Size() - dibAt);
    if (image.isNull()) return;
    const QRect source(sx, sy, sw, sh);
    if (source.isValid() && source != image.rect() && image.rect().contains(source)) image = image.copy(source);
    m_target.StretchBitmap(MapRect(x, y, x + w, y + h), image);
}

void Player::Record(quint16 function, const Params& p)
{
    switch (function) {
    case META_SETWINDOWORG:
        m_orgY = p.Short(0);
        m_orgX = p.Short(2);
        break;
    case META_SETWINDOWEXT:
        m_extY = p.Short(0);
        m_extX = p.Short(2);
        break;
    case META_SETBKCOLOR: m_bkColor = ColorRef(p.DWord(0)); break;
    case META_SETBKMODE: m_opaque = p.Word(0) == 2; break;
    case META_SETTEXTCOLOR: m_textColor = ColorRef(p.DWord(0)); break;
    case META_SETTEXTALIGN: m_textAlign = p.Word(0); break;
    case META_SETPOLYFILLMODE: m_fill = p.Word(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case META_CREATEPENINDIRECT: {
        const quint16 style = p.Word(0) & 0x0F;
        const double width = std::abs(p.Short(2));
        const QColor color = ColorRef(p.DWord(6));
        if (!p.ok()) break;
        static const Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine, Qt::DotLine,  Qt::DashDotLine,
                                              Qt::DashDotDotLine, Qt::NoPen,    Qt::SolidLine};
        Object o;
        o.kind = Kind::Pen;
        o.pen = QPen(QBrush(color), 0, style < 7 ? styles[style] : Qt::SolidLine);
        o.size = width;
        Create(o);
        return;
    }
    case META_CREATEBRUSHINDIRECT: {
        const quint16 style = p.Word(0);
        const QColor color = ColorRef(p.DWord(2));
        const quint16 hatch = p.Word(6);
        if (!p.ok()) break;
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        Object o;
        o.kind = Kind::Brush;
        if (style == 1)
            o.brush = QBrush(Qt::NoBrush);
        else if (style == 2)
            o.brush = QBrush(color, hatch < 6 ? hatches[hatch] : Qt::SolidPattern);
        else
            o.brush = QBrush(color);
        Create(o);
        return;
    }
    case META_CREATEFONTINDIRECT: {
        const qint16 height = p.Short(0);
        const qint16 escapement = p.Short(4);
        const qint16 weight = p.Short(8);
        const uchar italic = p.Byte(10), underline = p.Byte(11), strike = p.Byte(12);
        if (!p.ok()) break;
        QByteArray face;
        for (qsizetype i = 18; i < p.Size() && i < 18 + 32 && p.Byte(i); ++i) face.append(char(p.Byte(i)));
        Object o;
        o.kind = Kind::Font;
        // A positive height is the cell height, a negative one the em height.
        o.size = height < 0 ? -height : height / 1.15;
        o.font = {face.isEmpty() ? QStringLiteral("Arial") : AnsiToWide(face),
                  0,
                  weight >= 600,
                  italic != 0,
                  underline != 0,
                  strike != 0,
                  escapement / 10.0};
        Create(o);
        return;
    }
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEREGION: {
        Object o;
        o.kind = Kind::Other;
        Create(o);
        return;
    }
    case META_SELECTOBJECT: {
        const quint16 index = p.Word(0);
        if (p.ok()) Select(index);
        return;
    }
    case META_DELETEOBJECT: {
        const quint16 index = p.Word(0);
        if (p.ok() && index < m_objects.size()) m_objects[index] = Object();
        return;
    }
    default: break;
    }
    if (!Mapped() || !p.ok()) return;

    switch (function) {
    case META_MOVETO: {
        const QPointF at = Map(p.Short(2), p.Short(0));
        if (p.ok()) m_pos = at;
        break;
    }
    case META_LINETO: {
        const QPointF to = Map(p.Short(2), p.Short(0));
        if (!p.ok()) break;
        m_target.Line(m_pos, to);
        m_pos = to;
        break;
    }
    case META_POLYLINE:
    case META_POLYGON: {
        const int count = p.Word(0);
        if (!p.ok() || !p.Has(2, qsizetype(count) * 4) || count < 2) break;
        const QPolygonF poly = Points(p, 2, count);
        if (function == META_POLYLINE)
            m_target.Polyline(poly);
        else
            m_target.Polygon(poly, m_fill);
        break;
    }
    case META_POLYPOLYGON: {
        const int polygons = p.Word(0);
        qsizetype at = 2 + qsizetype(polygons) * 2;
        if (!p.Has(2, qsizetype(polygons) * 2)) break;
        for (int i = 0; i < polygons; ++i) {
            const int count = p.Word(2 + i * 2);
            if (!p.Has(at, qsizetype(count) * 4)) break;
            if (count >= 2) m_target.Polygon(Points(p, at, count), m_fill);
            at += qsizetype(count) * 4;
        }
        break;
    }
    case META_RECTANGLE:
    case META_ELLIPSE: {
        const QRectF r = MapRect(p.Short(6), p.Short(4), p.Short(2), p.Short(0));
        if (!p.ok()) break;
        if (function == META_RECTANGLE)
            m_target.Rectangle(r);
        else
            m_target.Ellipse(r);
        break;
    }
    case META_ROUNDRECT: {
        const QRectF r = MapRect(p.Short(10), p.Short(8), p.Short(6), p.Short(4));
        if (p.ok()) m_target.Rectangle(r);
        break;
    }
    case META_TEXTOUT: {
        const int count = p.Word(0);
        const qsizetype after = 2 + ((count + 1) & ~1);
        const double y = p.Short(after), x = p.Short(after + 2);
        if (p.ok() && p.Has(2, count)) TextAt(x, y, p.At(2), count);
        break;
    }
    case META_EXTTEXTOUT: {
        const double y = p.Short(0), x = p.Short(2);
        const int count = p.Word(4);
        const quint16 options = p.Word(6);
        const qsizetype at = (options & 0x0006) ? 16 : 8; // a clipping or opaquing rectangle first
        if (p.ok() && p.Has(at, count)) TextAt(x, y, p.At(at), count);
        break;
    }
    case META_STRETCHDIB: {
        const int sh = p.Short(6), sw = p.Short(8), sy = p.Short(10), sx = p.Short(12);
        const double h = p.Short(14), w = p.Short(16), y = p.Short(18), x = p.Short(20);
        if (p.ok()) Bitmap(p, 22, x, y, w, h, sx, sy, sw, sh);
        break;
    }
    case META_DIBSTRETCHBLT: {
        const int sh = p.Short(4), sw = p.Short(6), sy = p.Short(8), sx = p.Short(10);
        const double h = p.Short(12), w = p.Short(14), y = p.Short(16), x = p.Short(18);
        if (p.ok()) Bitmap(p, 20, x, y, w, h, sx, sy, sw, sh);
        break;
    }
    case META_DIBBITBLT: {
        const int sy = p.Short(4), sx = p.Short(6);
        const double h = p.Short(8), w = p.Short(10), y = p.Short(12), x = p.Short(14);
        if (p.ok()) Bitmap(p, 16, x, y, w, h, sx, sy, int(w), int(h));
        break;
    }
    default: break; // every other record is passed over
    }
}

// Where the records begin, or -1 when the data is no metafile.
qsizetype RecordsStart(const QByteArray& data, bool* placeable)
{
    const Params d(reinterpret_cast<const uchar*>(data.constData()), data.size());
    *placeable = d.DWord(0) == kPlaceableKey && d.ok();
    const qsizetype at = *placeable ? kPlaceableSize : 0;
    if (!d.Has(at, kHeaderSize)) return -1;
    const quint16 type = d.Word(at), headerWords = d.Word(at + 2), version = d.Word(at + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) return -1;
    return at + kHeaderSize;
}

bool PlayImage(const QByteArray& data, TMetafileTarget& target, const QRectF& frame)
{
    const QByteArray format = PictureReader::FormatOf(data);
    if (format != "jpeg" && format != "png" && format != "bmp" && format != "gif") return false;
    // Read with the checks every picture gets; one larger than a page
    // picture is scaled down by the page it goes on.
    const QImage image = PictureReader::ReadImage(data);
    if (image.isNull()) return false;
    target.StretchBitmap(frame, image);
    return true;
}

} // namespace

bool TMetafilePlayer::IsMetafile(const QByteArray& data)
{
    bool placeable = false;
    return RecordsStart(data, &placeable) >= 0;
}

bool TMetafilePlayer::Play(const QByteArray& data, TMetafileTarget& target, const QRectF& frame)
{
    bool placeable = false;
    const qsizetype start = RecordsStart(data, &placeable);
    if (start < 0) return PlayImage(data, target, frame);

    const uchar* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype size = data.size();
    // First the record chain as a whole: a length that runs past the data
    // or below a record's own header makes the picture undecodable.
    qsizetype end = start;
    while (end + 6 <= size) {
        const Params r(bytes + end, 6);
        const quint32 words = r.DWord(0);
        if (words < 3 || qint64(words) * 2 > size - end) return false;
        if (r.Word(4) == META_EOF) break;
        end += qsizetype(words) * 2;
    }

    Player player(target, frame);
    const Params header(bytes + start - kHeaderSize, kHeaderSize);
    player.SetObjectCount(header.Word(10));
    if (placeable) {
        const Params p(bytes, kPlaceableSize);
        const int left = p.Short(6), top = p.Short(8), right = p.Short(10), bottom = p.Short(12);
        player.SetWindow(left, top, right - left, bottom - top);
    }
    player.Begin();
    for (qsizetype at = start; at < end;) {
        const Params r(bytes + at, 6);
        const qsizetype length = qsizetype(r.DWord(0)) * 2;
        player.Record(r.Word(4), Params(bytes + at + 6, length - 6));
        at += length;
    }
    return true;
}
