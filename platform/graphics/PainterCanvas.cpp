#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/StyleHooks.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Code points of the Symbol face that differ from Unicode and that the
// program shows (the list bullet).
constexpr char16_t SymbolChar(char16_t u) { return u == 0xB7 ? char16_t(0x2022) : u; }

QString MapSymbol(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out) c = QChar(SymbolChar(c.unicode()));
    return out;
}

// Latin-1 characters measured and drawn one by one: the printable ones, but
// the soft hyphen, which the text layout hides.
constexpr bool IsSimple(char16_t u) { return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF && u != 0xAD); }

// A realised font: the Qt font and the metrics in Windows terms, with tables
// of the simple Latin-1 characters: their advances (kerning is off, so a
// text of them is as wide as their sum) and their glyphs in the primary face,
// from which such texts are drawn without the text layout.
struct FontEntry {
    QFont font;
    QFontMetrics metrics;
    QRawFont raw;  // the primary face
    QGlyphRun run; // glyph run of the primary face, filled per draw
    TTextMetric tm;
    bool symbol = false; // the "Symbol" face: its private code points map to Unicode
    QString name;        // the key the entry was realised for
    int pixelSize = 0;
    unsigned style = 0;
    int advance[256];   // -1: not looked up yet
    quint32 glyph[256]; // 0: not in the primary face (drawn through the text layout)

    explicit FontEntry(const QFont& f) : font(f), metrics(f)
    {
        std::fill(std::begin(advance), std::end(advance), -1);
        std::fill(std::begin(glyph), std::end(glyph), 0u);
    }

    void Lookup(char16_t u)
    {
        const QChar c(symbol ? SymbolChar(u) : u);
        advance[u] = metrics.horizontalAdvance(c);
        quint32 g = 0;
        int n = 1;
        if (raw.isValid() && raw.glyphIndexesForChars(&c, 1, &g, &n) && n == 1) glyph[u] = g;
    }
    int Advance(char16_t u)
    {
        if (advance[u] < 0) Lookup(u);
        return advance[u];
    }
    int Width(QStringView text)
    {
        int w = 0;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (!IsSimple(u)) return LayoutWidth(text);
            w += Advance(u);
        }
        return w;
    }
    // Width through the text layout (any character).
    int LayoutWidth(QStringView text) { return metrics.horizontalAdvance(symbol ? MapSymbol(text) : Raw(text)); }
    static QString Raw(QStringView text) { return QString::fromRawData(text.data(), text.size()); }
};

struct FontKey {
    QString name;
    int pixelSize;
    unsigned style;
    bool operator==(const FontKey&) const = default;
};

size_t qHash(const FontKey& k, size_t seed = 0) { return qHashMulti(seed, k.name, k.pixelSize, k.style); }

// Faces of the platform mapped to faces found here (metric-compatible ones
// first); done once, only for faces the font database lacks.
void InstallSubstitutes()
{
    static bool done = false;
    if (done) return;
    done = true;
    const QStringList families = QFontDatabase::families();
    auto add = [&](const QString& face, const QStringList& subs) {
        if (!families.contains(face, Qt::CaseInsensitive)) QFont::insertSubstitutions(face, subs);
    };
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                              QStringLiteral("DejaVu Sans")};
    add(QStringLiteral("MS Sans Serif"), sans);
    add(QStringLiteral("Microsoft Sans Serif"), sans);
    add(QStringLiteral("Tahoma"), sans);
    add(QStringLiteral("Verdana"), sans);
    add(QStringLiteral("Arial"), sans);
    add(QStringLiteral("Helvetica"), sans);
    add(QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    add(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    add(QStringLiteral("Symbol"), sans);
}

int PixelSizeOf(const TFont& font, int ppiY) { return std::max(1, MulDiv(std::max(1, font.Size()), ppiY, 72)); }

std::shared_ptr<FontEntry> RealiseFont(const TFont& font, int ppiY)
{
    // Shared with the canvases that use an entry, so that emptying the cache
    // never pulls a font from under a canvas.
    static QHash<FontKey, std::shared_ptr<FontEntry>> cache;
    const int pixelSize = PixelSizeOf(font, ppiY);
    FontKey key{font.Name(), pixelSize, font.Style().Bits()};
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    InstallSubstitutes();
    QFont f(font.Name());
    f.setPixelSize(pixelSize);
    f.setBold(font.Style().Contains(TFontStyle::fsBold));
    f.setItalic(font.Style().Contains(TFontStyle::fsItalic));
    f.setUnderline(font.Style().Contains(TFontStyle::fsUnderline));
    f.setStrikeOut(font.Style().Contains(TFontStyle::fsStrikeOut));
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    auto e = std::make_shared<FontEntry>(f);
    e->symbol = font.Name().compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
    e->name = key.name;
    e->pixelSize = pixelSize;
    e->style = key.style;
    e->raw = QRawFont::fromFont(f);
    e->run.setRawFont(e->raw);
    e->run.setUnderline(f.underline());
    e->run.setStrikeOut(f.strikeOut());
    const QFontMetrics& m = e->metrics;
    e->tm.tmAscent = m.ascent();
    e->tm.tmDescent = m.descent();
    e->tm.tmHeight = m.ascent() + m.descent();
    e->tm.tmInternalLeading = std::max(0, e->tm.tmHeight - pixelSize);
    e->tm.tmExternalLeading = std::max(0, m.leading());
    e->tm.tmAveCharWidth = std::max(1, m.averageCharWidth());
    e->tm.tmMaxCharWidth = std::max(1, m.maxWidth());
    if (cache.size() > 512) {
        // Fonts are few in practice; a flood of faces and sizes from text is
        // bounded.
        cache.clear();
    }
    cache.insert(key, e);
    return e;
}

QPainter::CompositionMode ModeOfPen(TPenMode mode)
{
    switch (mode) {
    case TPenMode::pmXor: return QPainter::RasterOp_SourceXorDestination;
    case TPenMode::pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case TPenMode::pmNot: return QPainter::RasterOp_NotDestination;
    case TPenMode::pmNotCopy: return QPainter::RasterOp_NotSource;
    case TPenMode::pmMask: return QPainter::RasterOp_SourceAndDestination;
    case TPenMode::pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case TPenMode::pmNotMask: return QPainter::RasterOp_NotSourceAndNotDestination; // approximation
    case TPenMode::pmNotMerge: return QPainter::RasterOp_NotSourceOrDestination;    // approximation
    case TPenMode::pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case TPenMode::pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case TPenMode::pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case TPenMode::pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QPainter::CompositionMode ModeOfRop(TCopyMode rop, bool& fillBlack, bool& fillWhite, bool& ok)
{
    fillBlack = fillWhite = false;
    ok = true;
    switch (rop) {
    case cmSrcCopy: return QPainter::CompositionMode_Source;
    case cmSrcInvert: return QPainter::RasterOp_SourceXorDestination;
    case cmSrcAnd: return QPainter::RasterOp_SourceAndDestination;
    case cmSrcPaint: return QPainter::RasterOp_SourceOrDestination;
    case cmNotSrcCopy: return QPainter::RasterOp_NotSource;
    case cmDstInvert: return QPainter::RasterOp_NotDestination;
    case cmSrcErase: return QPainter::RasterOp_SourceAndNotDestination;
    case cmNotSrcErase: return QPainter::RasterOp_NotSourceAndNotDestination;
    case cmMergePaint: return QPainter::RasterOp_NotSourceOrDestination;
    case cmBlackness: fillBlack = true; return QPainter::CompositionMode_Source;
    case cmWhiteness: fillWhite = true; return QPainter::CompositionMode_Source;
    default: ok = rop == cmMergeCopy || rop == cmPatCopy; return QPainter::CompositionMode_Source;
    }
}

// Dash patterns of the cosmetic pens (pixels on, off, ...).
std::vector<int> DashOf(TPenStyle style)
{
    switch (style) {
    case TPenStyle::psDash: return {18, 6};
    case TPenStyle::psDot: return {3, 3};
    case TPenStyle::psDashDot: return {9, 6, 3, 6};
    case TPenStyle::psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

} // namespace

struct TPainterCanvas::Private {
    QPainter* painter = nullptr; // the painter in use (own or the caller's)
    QImage* image = nullptr;     // target of an image canvas
    std::unique_ptr<QPainter> own;
    std::shared_ptr<FontEntry> font; // realised current font
    std::optional<QRegion> baseClip; // the caller's clip (a widget's paint region)
    // Pens of the last text colours, reused round-robin.
    struct TextPen {
        TColor color = clNone;
        QPen pen;
    };
    std::array<TextPen, 8> textPens;
    size_t nextTextPen = 0;
    // Glyphs and positions of the run being drawn (kept to save allocations).
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;

    FontEntry& Realised(const TFont& f, int ppiY)
    {
        if (!font) font = RealiseFont(f, ppiY);
        return *font;
    }

    const QPen& TextPenOf(TColor color)
    {
        for (const TextPen& t : textPens)
            if (t.color == color) return t.pen;
        TextPen& t = textPens[nextTextPen];
        nextTextPen = (nextTextPen + 1) % textPens.size();
        t.color = color;
        t.pen = QPen(ToQColor(color));
        return t.pen;
    }

    // A run of a huge text does not keep its buffers.
    void TrimBuffers()
    {
        if (glyphs.size() <= 4096) return;
        std::vector<quint32>().swap(glyphs);
        std::vector<QPointF>().swap(positions);
    }

    // Fills glyphs and positions for a text of simple characters found in
    // the primary face and returns its width; -1 when the text needs the
    // text layout.
    int LayOut(FontEntry& fe, QStringView text)
    {
        const size_t n = size_t(text.size());
        if (glyphs.size() < n) {
            glyphs.resize(n);
            positions.resize(n);
        }
        int x = 0;
        const QChar* chars = text.data();
        for (size_t i = 0; i < n; ++i) {
            const char16_t u = chars[i].unicode();
            if (!IsSimple(u)) return -1;
            const int advance = fe.Advance(u);
            const quint32 g = fe.glyph[u];
            if (!g) return -1;
            glyphs[i] = g;
            positions[i] = QPointF(x, 0);
            x += advance;
        }
        return x;
    }

    // The region to clip to: the canvas clip within the caller's.
    std::optional<QRegion> Effective(const std::optional<QRegion>& clip) const
    {
        if (!baseClip) return clip;
        if (!clip) return baseClip;
        return clip->intersected(*baseClip);
    }
};

TPainterCanvas::TPainterCanvas(QPainter* painter, int ppiX, int ppiY) : d(new Private)
{
    d->painter = painter;
    QPaintDevice* dev = painter ? painter->device() : nullptr;
    m_ppiX = ppiX > 0 ? ppiX : (dev ? dev->logicalDpiX() : 96);
    m_ppiY = ppiY > 0 ? ppiY : (dev ? dev->logicalDpiY() : 96);
    if (painter) {
        if (painter->hasClipping()) d->baseClip = painter->clipRegion();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setRenderHint(QPainter::TextAntialiasing, false);
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
}

TPainterCanvas::TPainterCanvas(QImage* image, int ppi) : d(new Private)
{
    d->image = image;
    if (ppi <= 0 && image) {
        m_ppiX = image->dotsPerMeterX() > 0 ? qRound(image->dotsPerMeterX() * 0.0254) : 96;
        m_ppiY = image->dotsPerMeterY() > 0 ? qRound(image->dotsPerMeterY() * 0.0254) : 96;
    } else {
        m_ppiX = m_ppiY = ppi > 0 ? ppi : 96;
    }
}

TPainterCanvas::~TPainterCanvas() { Release(); }

void TPainterCanvas::Release()
{
    if (d->own) {
        d->own->end();
        d->own.reset();
        d->painter = nullptr;
    }
}

QPainter* TPainterCanvas::Painter()
{
    if (d->painter) return d->painter;
    if (!d->image || d->image->isNull()) return nullptr;
    if (d->image->format() != QImage::Format_RGB32 && d->image->format() != QImage::Format_ARGB32 &&
        d->image->format() != QImage::Format_ARGB32_Premultiplied)
        *d->image = d->image->convertToFormat(QImage::Format_RGB32);
    d->own = std::make_unique<QPainter>(d->image);
    d->painter = d->own.get();
    d->painter->setRenderHint(QPainter::Antialiasing, false);
    d->painter->setRenderHint(QPainter::TextAntialiasing, false);
    d->painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    ClipChanged();
    return d->painter;
}

TRect TPainterCanvas::DeviceRect() const
{
    if (d->image) return TRect(0, 0, d->image->width(), d->image->height());
    if (d->painter && d->painter->device())
        return TRect(0, 0, d->painter->device()->width(), d->painter->device()->height());
    return TRect();
}

void TPainterCanvas::ClipChanged()
{
    QPainter* p = d->painter;
    if (!p) return;
    const std::optional<QRegion> region = d->Effective(ClipRegion());
    if (!region) {
        p->setClipping(false);
        return;
    }
    // The raster engine ignores a region set while clipping is off (after
    // a restore to no clip), so clipping goes on first.
    p->setClipping(true);
    p->setClipRegion(*region);
}

void TPainterCanvas::FontChanged()
{
    // Colour changes keep the realised font.
    const FontEntry* fe = d->font.get();
    if (fe &&
        (fe->pixelSize != PixelSizeOf(Font(), m_ppiY) || fe->style != Font().Style().Bits() ||
         fe->name != Font().Name()))
        d->font = nullptr;
}

QFont TPainterCanvas::CurrentQFont() { return d->Realised(Font(), m_ppiY).font; }

TTextMetric TPainterCanvas::CurrentTextMetrics() { return d->Realised(Font(), m_ppiY).tm; }

int TPainterCanvas::CurrentTextWidth(QStringView text)
{
    if (text.isEmpty()) return 0;
    return d->Realised(Font(), m_ppiY).Width(text);
}

void TPainterCanvas::TextRun(int x, int y, QStringView text, bool opaque, const TRect* clip)
{
    QPainter* p = Painter();
    if (!p || text.isEmpty()) return;
    FontEntry& fe = d->Realised(Font(), m_ppiY);
    const int angle = Font().Orientation();
    const TColor color = Font().Color();
    // Upright text of simple characters is drawn from the primary face's
    // glyphs at the summed advances; anything else through the text layout.
    const int laidOut = angle == 0 ? d->LayOut(fe, text) : -1;
    // The painter's clip is the canvas's (ClipChanged), so the run's clip
    // narrows it until it is set back below.
    if (clip) p->setClipRect(clip->ToQRect(), p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The cell is filled here when asked; the painter's own background box
    // (left opaque by brush drawing) must never show behind the text.
    if (p->backgroundMode() != Qt::TransparentMode) p->setBackgroundMode(Qt::TransparentMode);
    if (opaque) {
        const int w = laidOut >= 0 ? laidOut : fe.Width(text);
        if (angle == 0) {
            p->fillRect(QRect(x, y, w, fe.tm.tmHeight), ToQColor(Brush().Color()));
        } else {
            p->save();
            p->translate(x, y);
            p->rotate(-angle / 10.0);
            p->fillRect(QRect(0, 0, w, fe.tm.tmHeight), ToQColor(Brush().Color()));
            p->restore();
        }
    }
    if (color == clNone) {
        if (clip) ClipChanged();
        return;
    }
    p->setPen(d->TextPenOf(color));
    if (laidOut >= 0) {
        fe.run.setRawData(d->glyphs.data(), d->positions.data(), int(text.size()));
        p->drawGlyphRun(QPointF(x, y + fe.tm.tmAscent), fe.run);
        fe.run.setRawData(nullptr, nullptr, 0);
        d->TrimBuffers();
    } else {
        const QString s = fe.symbol ? MapSymbol(text) : FontEntry::Raw(text);
        p->setFont(fe.font);
        if (angle == 0) {
            p->drawText(QPoint(x, y + fe.tm.tmAscent), s);
        } else {
            p->save();
            p->translate(x, y);
            p->rotate(-angle / 10.0);
            p->drawText(QPoint(0, fe.tm.tmAscent), s);
            p->restore();
        }
    }
    if (clip) ClipChanged();
}

void TPainterCanvas::FillSolid(const TRect& r, TColor color)
{
    QPainter* p = Painter();
    if (!p || r.IsEmpty() || color == clNone) return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(r.ToQRect(), ToQColor(color));
}

void TPainterCanvas::XorPattern(const TRect& r, TColor onColor, TColor offColor)
{
    QPainter* p = Painter();
    if (!p || r.IsEmpty()) return;
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    p->setCompositionMode(rasterOps ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
    const QColor on = ToQColor(onColor);
    const QColor off = ToQColor(offColor);
    const bool onZero = (onColor & 0xFFFFFF) == 0;
    const bool offZero = (offColor & 0xFFFFFF) == 0;
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            const bool isOn = ((x + y) & 1) == 0;
            if (isOn ? onZero : offZero) continue;
            p->fillRect(QRect(x, y, 1, 1), isOn ? on : off);
        }
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---------------------------------------------------------------------------
// Lines

namespace {

// The pixels of a line from (x0, y0) towards (x1, y1) in drawing order, the
// last point left out (Bresenham, major axis stepping).
template <typename Plot>
void LinePixels(int x0, int y0, int x1, int y1, Plot plot)
{
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = (dx > dy ? dx : -dy) / 2;
    int x = x0;
    int y = y0;
    const int steps = std::max(dx, dy);
    for (int i = 0; i < steps; ++i) {
        plot(x, y);
        const int e2 = err;
        if (e2 > -dx) {
            err -= dy;
            x += sx;
        }
        if (e2 < dy) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace

struct PenDrawer {
    QPainter* p;
    QColor color;
    QColor gap;
    bool drawGaps;
    std::vector<int> dash;
    int phase = 0; // position within the dash pattern
    int patternLength = 0;

    bool OnAt(int pos) const
    {
        if (dash.empty()) return true;
        int q = pos % patternLength;
        for (size_t i = 0; i < dash.size(); ++i) {
            if (q < dash[i]) return (i % 2) == 0;
            q -= dash[i];
        }
        return true;
    }
    void Segment(int x0, int y0, int x1, int y1)
    {
        if (dash.empty()) {
            // Solid: a level or upright line is one rectangle.
            if (y0 == y1 && x0 != x1)
                p->fillRect(QRect(std::min(x0, x1 + 1), y0, std::abs(x1 - x0), 1), color);
            else if (x0 == x1 && y0 != y1)
                p->fillRect(QRect(x0, std::min(y0, y1 + 1), 1, std::abs(y1 - y0)), color);
            else
                LinePixels(x0, y0, x1, y1, [&](int x, int y) { p->fillRect(QRect(x, y, 1, 1), color); });
            return;
        }
        // Styled line: pixel by pixel along the line.
        LinePixels(x0, y0, x1, y1, [&](int x, int y) {
            if (OnAt(phase++))
                p->fillRect(QRect(x, y, 1, 1), color);
            else if (drawGaps)
                p->fillRect(QRect(x, y, 1, 1), gap);
        });
    }
};

namespace {

bool PreparePen(QPainter* p, const TPen& pen, bool rasterOps, QColor& color)
{
    if (pen.Style() == TPenStyle::psClear || pen.Mode() == TPenMode::pmNop) return false;
    TColor c = pen.Color();
    if (c == clNone && pen.Mode() != TPenMode::pmBlack && pen.Mode() != TPenMode::pmWhite &&
        pen.Mode() != TPenMode::pmNot)
        return false;
    if (pen.Mode() == TPenMode::pmBlack)
        c = clBlack;
    else if (pen.Mode() == TPenMode::pmWhite)
        c = clWhite;
    color = ToQColor(c);
    QPainter::CompositionMode mode = ModeOfPen(pen.Mode());
    if (!rasterOps && mode != QPainter::CompositionMode_SourceOver) mode = QPainter::CompositionMode_SourceOver;
    p->setCompositionMode(mode);
    return true;
}

} // namespace

void TPainterCanvas::LineTo(int x, int y)
{
    const TPoint from = PenPos();
    Polyline({from, TPoint(x, y)});
    MoveTo(x, y);
}

void TPainterCanvas::Polyline(const QVector<TPoint>& points)
{
    QPainter* p = Painter();
    if (!p || points.size() < 2) return;
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    QColor color;
    if (!PreparePen(p, Pen(), rasterOps, color)) return;
    if (Pen().Width() > 1) {
        // Geometric pen: round caps and joins, both ends included.
        QPen qpen(color, Pen().Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p->setPen(qpen);
        p->setBrush(Qt::NoBrush);
        QPolygon poly;
        for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
        p->drawPolyline(poly);
    } else {
        PenDrawer drawer{p, color, ToQColor(Brush().StoredColor()), Opaque(), DashOf(Pen().Style())};
        for (int v : drawer.dash) drawer.patternLength += v;
        for (int i = 1; i < points.size(); ++i)
            drawer.Segment(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

namespace {

void ApplyBrush(QPainter* p, const TBrush& brush, bool opaque)
{
    Qt::BrushStyle style = Qt::SolidPattern;
    switch (brush.Style()) {
    case TBrushStyle::bsClear: p->setBrush(Qt::NoBrush); return;
    case TBrushStyle::bsHorizontal: style = Qt::HorPattern; break;
    case TBrushStyle::bsVertical: style = Qt::VerPattern; break;
    case TBrushStyle::bsFDiagonal: style = Qt::BDiagPattern; break;
    case TBrushStyle::bsBDiagonal: style = Qt::FDiagPattern; break;
    case TBrushStyle::bsCross: style = Qt::CrossPattern; break;
    case TBrushStyle::bsDiagCross: style = Qt::DiagCrossPattern; break;
    default: break;
    }
    p->setBrush(QBrush(ToQColor(brush.StoredColor()), style));
    p->setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    p->setBackground(QColor(Qt::white));
}

} // namespace

void TPainterCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    if (!p) return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const bool noPen = Pen().Style() == TPenStyle::psClear || Pen().Mode() == TPenMode::pmNop;
    const int w = std::max(1, Pen().Width());
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Interior.
    QRect interior;
    if (noPen)
        interior = QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    else if (w == 1)
        interior = QRect(x1 + 1, y1 + 1, x2 - x1 - 2, y2 - y1 - 2);
    else {
        const int inset = Pen().Style() == TPenStyle::psInsideFrame ? w : w - w / 2;
        interior = QRect(x1 + inset, y1 + inset, x2 - x1 - 2 * inset, y2 - y1 - 2 * inset);
    }
    if (Brush().Style() != TBrushStyle::bsClear && interior.width() > 0 && interior.height() > 0) {
        p->setPen(Qt::NoPen);
        ApplyBrush(p, Brush(), Opaque());
        p->drawRect(interior);
    }
    if (noPen) return;
    if (w == 1) {
        if (x2 - x1 < 1 || y2 - y1 < 1) return;
        Polyline({TPoint(x1, y1), TPoint(x2 - 1, y1), TPoint(x2 - 1, y2 - 1), TPoint(x1, y2 - 1), TPoint(x1, y1)});
        return;
    }
    // Wide pen: bands of the pen's width centred on the edges (inside the
    // rectangle for psInsideFrame).
    const bool inside = Pen().Style() == TPenStyle::psInsideFrame;
    const QRect outer =
        inside ? QRect(x1, y1, x2 - x1, y2 - y1) : QRect(x1 - w / 2, y1 - w / 2, x2 - x1 + w - 1, y2 - y1 + w - 1);
    QColor color;
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    if (!PreparePen(p, Pen(), rasterOps, color)) return;
    QRegion band(outer);
    band = band.subtracted(QRegion(outer.adjusted(w, w, -w, -w)));
    for (const QRect& r : band) p->fillRect(r, color);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TPainterCanvas::FillRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || r.IsEmpty() || Brush().Style() == TBrushStyle::bsClear) return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Brush().Style() == TBrushStyle::bsSolid) {
        p->fillRect(r.ToQRect(), ToQColor(Brush().StoredColor()));
        return;
    }
    p->setPen(Qt::NoPen);
    ApplyBrush(p, Brush(), Opaque());
    p->drawRect(r.ToQRect());
}

void TPainterCanvas::FrameRect(const TRect& r)
{
    if (r.IsEmpty() || Brush().Style() == TBrushStyle::bsClear) return;
    const TColor c = Brush().StoredColor();
    FillSolid(TRect(r.Left, r.Top, r.Right, r.Top + 1), c);
    FillSolid(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), c);
    FillSolid(TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), c);
    FillSolid(TRect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1), c);
}

namespace {

// The outline pen; the gaps of a styled pen take the brush colour in the
// OPAQUE background mode and stay untouched in the TRANSPARENT one (hatched
// brushes keep their white background).
void ApplyOutlinePen(QPainter* p, const TPen& pen, bool rasterOps, const TBrush& brush, bool opaque)
{
    QColor color;
    if (!PreparePen(p, pen, rasterOps, color)) {
        p->setPen(Qt::NoPen);
        return;
    }
    p->setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    if (opaque) {
        const bool hatched = brush.Style() != TBrushStyle::bsSolid && brush.Style() != TBrushStyle::bsClear;
        p->setBackground(hatched ? QColor(Qt::white) : ToQColor(brush.StoredColor()));
    }
    Qt::PenStyle style = Qt::SolidLine;
    switch (pen.Style()) {
    case TPenStyle::psDash: style = Qt::DashLine; break;
    case TPenStyle::psDot: style = Qt::DotLine; break;
    case TPenStyle::psDashDot: style = Qt::DashDotLine; break;
    case TPenStyle::psDashDotDot: style = Qt::DashDotDotLine; break;
    default: break;
    }
    QPen qpen(color, pen.Width() <= 1 ? 0 : pen.Width(), style);
    p->setPen(qpen);
}

} // namespace

void TPainterCanvas::Polygon(const QVector<TPoint>& points)
{
    QPainter* p = Painter();
    if (!p || points.size() < 2) return;
    if (Brush().Style() != TBrushStyle::bsClear) {
        QPolygon poly;
        for (const TPoint& pt : points) poly << QPoint(pt.X, pt.Y);
        QPainterPath path;
        path.addPolygon(poly);
        path.closeSubpath();
        path.setFillRule(Qt::OddEvenFill);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->setPen(Qt::NoPen);
        ApplyBrush(p, Brush(), Opaque());
        p->drawPath(path);
    }
    QVector<TPoint> closed = points;
    closed.push_back(points.front());
    Polyline(closed);
}

void TPainterCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    QPainter* p = Painter();
    if (!p) return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    ApplyBrush(p, Brush(), Opaque());
    ApplyOutlinePen(p, Pen(), rasterOps, Brush(), Opaque());
    p->drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TPainterCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    QPainter* p = Painter();
    if (!p) return;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    ApplyBrush(p, Brush(), Opaque());
    ApplyOutlinePen(p, Pen(), rasterOps, Brush(), Opaque());
    p->drawRoundedRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1), x3 / 2.0, y3 / 2.0);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TPainterCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    QPainter* p = Painter();
    if (!p) return;
    const double cx = (x1 + x2) / 2.0;
    const double cy = (y1 + y2) / 2.0;
    const double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / M_PI;
    const double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / M_PI;
    double span = a2 - a1;
    if (span <= 0) span += 360.0;
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    ApplyOutlinePen(p, Pen(), rasterOps, Brush(), Opaque());
    p->setBrush(Qt::NoBrush);
    p->drawArc(QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) - 1, std::abs(y2 - y1) - 1), qRound(a1 * 16),
               qRound(span * 16));
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---------------------------------------------------------------------------
// Pixels

namespace {

QImage* ImageOf(QPainter* p, QImage* own)
{
    if (own) return own;
    if (p && p->device() && p->device()->devType() == QInternal::Image) return static_cast<QImage*>(p->device());
    return nullptr;
}

} // namespace

void TPainterCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    QPainter* p = Painter();
    QImage* img = ImageOf(p, d->image);
    if (!p || !img || !img->rect().contains(x, y) || Brush().Style() == TBrushStyle::bsClear) return;
    const TRect clip = ClipRect().Intersected(TRect(0, 0, img->width(), img->height()));
    if (!clip.Contains(x, y)) return;
    const QRgb key = ToQRgb(color) & 0xFFFFFF;
    auto matches = [&](int px, int py) {
        const QRgb v = img->pixel(px, py) & 0xFFFFFF;
        return style == TFillStyle::fsBorder ? v != key : v == key;
    };
    if (!matches(x, y)) return;
    // Scan-line fill over a mask of visited pixels, then the runs are painted.
    const int w = clip.Width();
    const int h = clip.Height();
    std::vector<unsigned char> mark(size_t(w) * size_t(h), 0);
    std::vector<TPoint> stack{TPoint(x, y)};
    std::vector<QRect> runs;
    while (!stack.empty()) {
        const TPoint pt = stack.back();
        stack.pop_back();
        int lx = pt.X;
        const int py = pt.Y;
        if (mark[size_t(py - clip.Top) * w + (lx - clip.Left)]) continue;
        while (lx > clip.Left && !mark[size_t(py - clip.Top) * w + (lx - 1 - clip.Left)] && matches(lx - 1, py)) --lx;
        int rx = pt.X;
        while (rx + 1 < clip.Right && !mark[size_t(py - clip.Top) * w + (rx + 1 - clip.Left)] && matches(rx + 1, py))
            ++rx;
        for (int i = lx; i <= rx; ++i) mark[size_t(py - clip.Top) * w + (i - clip.Left)] = 1;
        runs.push_back(QRect(lx, py, rx - lx + 1, 1));
        for (int ny : {py - 1, py + 1}) {
            if (ny < clip.Top || ny >= clip.Bottom) continue;
            for (int i = lx; i <= rx; ++i)
                if (!mark[size_t(ny - clip.Top) * w + (i - clip.Left)] && matches(i, ny))
                    stack.push_back(TPoint(i, ny));
        }
    }
    (void)h;
    const QColor fill = ToQColor(Brush().StoredColor());
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const QRect& r : runs) p->fillRect(r, fill);
}

TColor TPainterCanvas::Pixel(int x, int y) const
{
    QImage* img = ImageOf(d->painter, d->image);
    if (!img || !img->rect().contains(x, y)) return clNone;
    return FromQRgb(img->pixel(x, y));
}

void TPainterCanvas::SetPixel(int x, int y, TColor color) { FillSolid(TRect(x, y, x + 1, y + 1), color); }

void TPainterCanvas::InvertRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || r.IsEmpty()) return;
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    p->fillRect(r.ToQRect(), Qt::black);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---------------------------------------------------------------------------
// Images

void TPainterCanvas::DrawImage(const TRect& dest, const QImage& image, const TRect& source, TCopyMode rop)
{
    QPainter* p = Painter();
    if (!p || image.isNull() || dest.Width() == 0 || dest.Height() == 0) return;
    bool black = false;
    bool white = false;
    bool ok = true;
    QPainter::CompositionMode mode = ModeOfRop(rop, black, white, ok);
    const bool rasterOps = p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    if (!rasterOps && mode >= QPainter::RasterOp_SourceOrDestination) mode = QPainter::CompositionMode_SourceOver;
    if (black || white) {
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->fillRect(dest.ToQRect(), black ? Qt::black : Qt::white);
        return;
    }
    // Alpha of the source is ignored as a device bitmap has none, except that
    // pictures with transparency (icons, GIFs) are blended.
    if (mode == QPainter::CompositionMode_Source && image.hasAlphaChannel())
        mode = QPainter::CompositionMode_SourceOver;
    p->setCompositionMode(mode);
    QRect target(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom), std::abs(dest.Width()),
                 std::abs(dest.Height()));
    const QImage* src = &image;
    QImage mirrored;
    if (dest.Width() < 0 || dest.Height() < 0) {
        mirrored = image.copy(source.ToQRect()).mirrored(dest.Width() < 0, dest.Height() < 0);
        src = &mirrored;
        p->drawImage(target, *src, mirrored.rect());
    } else {
        p->drawImage(target, *src, source.ToQRect());
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TPainterCanvas::DrawImageTransparent(const TRect& dest, const QImage& image, const TRect& source,
                                          TColor transparent)
{
    QPainter* p = Painter();
    if (!p || image.isNull() || dest.IsEmpty()) return;
    QImage part = image.copy(source.ToQRect()).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQRgb(transparent) & 0xFFFFFF;
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(dest.ToQRect(), part, part.rect());
}

QImage TPainterCanvas::Grab(const TRect& r) const
{
    QImage* img = ImageOf(d->painter, d->image);
    if (!img) return QImage();
    return img->copy(r.ToQRect());
}

// ---------------------------------------------------------------------------
// Themed parts through the desktop style

void TPainterCanvas::DrawThemePart(QWidget* window, const QString& themeClass, int part, int state, const TRect& r,
                                   const TRect* clip)
{
    QPainter* p = Painter();
    const auto& draw = StyleHooks().DrawThemePart;
    if (!p || !draw || r.IsEmpty()) return;
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (clip) p->setClipRect(clip->ToQRect(), Qt::IntersectClip);
    draw(p, window, themeClass, part, state, r.ToQRect());
    p->restore();
    ClipChanged();
}
