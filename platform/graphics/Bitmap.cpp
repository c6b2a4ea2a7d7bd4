#include "platform/graphics/Bitmap.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/PictureReader.h"
#include "platform/graphics/Resources.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int width, int height) { SetSize(width, height); }
TBitmap::~TBitmap() = default;

void TBitmap::Draw(TCanvas& canvas, const TRect& r) const
{
    if (Empty()) return;
    if (Transparent())
        canvas.DrawImageTransparent(r, Image(), TRect(0, 0, Width(), Height()), TransparentColor());
    else
        canvas.DrawImage(r, Image(), TRect(0, 0, Width(), Height()), canvas.CopyMode());
}

bool TBitmap::Empty() const { return m_image.isNull() || m_image.width() == 0 || m_image.height() == 0; }
int TBitmap::Width() const { return m_image.width(); }
int TBitmap::Height() const { return m_image.height(); }
void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height)
{
    EndPaint();
    if (width == Width() && height == Height()) return;
    if (width <= 0 || height <= 0) {
        m_image = QImage();
        Changed();
        return;
    }
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    if (!m_image.isNull()) {
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, m_image);
    }
    m_image = img;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    // The pixels stay 32-bit for drawing; the format decides how they are
    // saved and reduces them as the format would.
    if (format == m_pixelFormat) return;
    m_pixelFormat = format;
    if (Empty()) return;
    EndPaint();
    switch (format) {
    case pf1bit: m_image = m_image.convertToFormat(QImage::Format_Mono).convertToFormat(QImage::Format_RGB32); break;
    case pf4bit:
    case pf8bit:
        m_image = m_image.convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32);
        break;
    case pf15bit: m_image = m_image.convertToFormat(QImage::Format_RGB555).convertToFormat(QImage::Format_RGB32); break;
    case pf16bit: m_image = m_image.convertToFormat(QImage::Format_RGB16).convertToFormat(QImage::Format_RGB32); break;
    default: break;
    }
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (m_transparentMode == tmFixed) return m_transparentColor;
    if (Empty()) return clNone;
    return FromQRgb(Image().pixel(0, Height() - 1));
}

void TBitmap::SetTransparentColor(TColor color)
{
    m_transparentColor = color;
    m_transparentMode = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode)
{
    m_transparentMode = mode;
    Changed();
}

TCanvas& TBitmap::Canvas()
{
    if (!m_canvas) m_canvas = std::make_unique<TPainterCanvas>(&m_image, 96);
    return *m_canvas;
}

const QImage& TBitmap::Image() const
{
    EndPaint();
    return m_image;
}

void TBitmap::SetImage(const QImage& image)
{
    EndPaint();
    m_image = image;
    Changed();
}

void TBitmap::LoadFromStream(QIODevice& stream)
{
    const QByteArray data = stream.readAll();
    // A file that does not hold its whole pixel data, or that would become
    // a picture too large to hold, is refused.
    const QImage img = PictureReader::ReadImage(data);
    if (img.isNull()) throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    if (data.startsWith("BM") && data.size() >= 30) {
        const auto* b = reinterpret_cast<const unsigned char*>(data.constData());
        switch (int(b[28]) | int(b[29]) << 8) {
        case 1: m_pixelFormat = pf1bit; break;
        case 4: m_pixelFormat = pf4bit; break;
        case 8: m_pixelFormat = pf8bit; break;
        case 16: m_pixelFormat = pf16bit; break;
        case 32: m_pixelFormat = pf32bit; break;
        default: m_pixelFormat = pf24bit; break;
        }
    } else {
        m_pixelFormat = pf24bit;
    }
    EndPaint();
    m_image =
        img.hasAlphaChannel() ? img.convertToFormat(QImage::Format_ARGB32) : img.convertToFormat(QImage::Format_RGB32);
    Changed();
}

void TBitmap::SaveToStream(QIODevice& stream) const
{
    if (Empty()) return;
    QImage out = Image();
    switch (m_pixelFormat) {
    case pf1bit: out = out.convertToFormat(QImage::Format_Mono); break;
    case pf4bit:
    case pf8bit: out = out.convertToFormat(QImage::Format_Indexed8); break;
    default: out = out.convertToFormat(QImage::Format_RGB32); break;
    }
    QImageWriter writer(&stream, "BMP");
    writer.write(out);
}

void TBitmap::Assign(const TGraphic* source)
{
    if (!source) {
        SetImage(QImage());
        return;
    }
    if (auto b = dynamic_cast<const TBitmap*>(source)) {
        if (b == this) return;
        EndPaint();
        m_image = b->Image();
        m_pixelFormat = b->m_pixelFormat;
        m_transparentColor = b->m_transparentColor;
        m_transparentMode = b->m_transparentMode;
        SetTransparent(b->Transparent());
        Changed();
        return;
    }
    // Any other graphic is drawn onto a white bitmap of its size.
    if (source->Empty()) {
        SetImage(QImage());
        return;
    }
    QImage img(source->Width(), source->Height(), QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    {
        TPainterCanvas canvas(&img, 96);
        source->Draw(canvas, TRect(0, 0, img.width(), img.height()));
    }
    SetImage(img);
}

void TBitmap::LoadFromResourceName(const QString& name)
{
    const QByteArray data = LoadResourceData(name, TResourceType::Bitmap);
    if (data.isEmpty()) throw EResNotFound(QStringLiteral("Resource %1 not found").arg(name));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

void TBitmap::EndPaint() const
{
    if (m_canvas) m_canvas->Release();
}
