#include "controls/HTMLPictureAccess_p.h"

#include "controls/HTMLPicture.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/SystemIcons.h"

#include <cmath>

namespace {

int Scaled(int size, double factor)
{
    const double v = std::round(size * factor);
    return v < 0 ? 0 : v > 32767 ? 32767 : int(v);
}

} // namespace

const TGraphic* HTMLPictureAccess::Picture(const QString& name)
{
    if (name.isEmpty()) return nullptr;
    const QString key = name.toUpper();
    try {
        if (key.contains(QStringLiteral("://"))) {
            if (!m_cache) return nullptr;
            if (THTMLPicture* p = m_cache->FindPicture(key)) return p;
            THTMLPicture* p = m_cache->AddPicture();
            p->SetAsynchronous(false);
            try {
                p->LoadFromUrl(name);
            } catch (...) {
                // A resource that is no picture: the picture stays empty and
                // is not tried again.
                p->Assign(nullptr);
            }
            return m_cache->FindPicture(key);
        }
        if (key.contains(u':')) return nullptr;
        if (!m_container) return nullptr;
        return m_container->FindPicture(key);
    } catch (...) {
        return nullptr;
    }
}

TPictureRef HTMLPictureAccess::Resolve(const QString& src, TCanvas& canvas, bool print, double resFactor)
{
    Q_UNUSED(print);
    Q_UNUSED(resFactor);
    TPictureRef ref;
    if (src.startsWith(QStringLiteral("IDX:"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = src.mid(4).trimmed().toInt(&ok);
        if (!ok || !m_images || !m_images->HasImage(n)) return ref;
        ref.list = m_images;
        ref.index = n;
        ref.width = MulDiv(m_images->Width(), canvas.PixelsPerInchX(), 96);
        ref.height = MulDiv(m_images->Height(), canvas.PixelsPerInchY(), 96);
        return ref;
    }
    const bool small = src.startsWith(QStringLiteral("SSYS:"), Qt::CaseInsensitive);
    if (small || src.startsWith(QStringLiteral("LSYS:"), Qt::CaseInsensitive)) {
        ref.icon = SystemIcon(src.mid(5), !small);
        const TSize size = SystemIconSize(!small);
        ref.width = MulDiv(size.cx, canvas.PixelsPerInchX(), 96);
        ref.height = MulDiv(size.cy, canvas.PixelsPerInchY(), 96);
        return ref;
    }
    const TGraphic* g = Picture(src);
    const THTMLPicture* p = dynamic_cast<const THTMLPicture*>(g);
    if (!p || p->Empty()) return ref;
    ref.graphic = p;
    ref.width = MulDiv(p->GetPictureWidth(), canvas.PixelsPerInchX(), 96);
    ref.height = MulDiv(p->GetPictureHeight(), canvas.PixelsPerInchY(), 96);
    ref.frames = const_cast<THTMLPicture*>(p)->GetFrameCount();
    ref.frameLeft = p->FrameLeft();
    ref.frameTop = p->FrameTop();
    return ref;
}

void HTMLPictureAccess::Draw(const TPictureRef& pic, TCanvas& canvas, const TRect& box, TColor entryBrush, bool print,
                             double resFactor)
{
    if (pic.list) {
        if (print) {
            TBitmap bmp;
            if (!pic.list->GetBitmap(pic.index, bmp)) return;
            canvas.StretchDraw(TRect(box.Left, box.Top, box.Left + Scaled(pic.list->Width(), resFactor),
                                     box.Top + Scaled(pic.list->Height(), resFactor)),
                               bmp);
        } else {
            pic.list->Draw(canvas, box.Left, box.Top, pic.index);
        }
        return;
    }
    if (!pic.icon.isNull()) {
        const int w = print ? Scaled(pic.icon.width(), resFactor) : pic.icon.width();
        const int h = print ? Scaled(pic.icon.height(), resFactor) : pic.icon.height();
        canvas.DrawImage(TRect(box.Left, box.Top, box.Left + w, box.Top + h), pic.icon,
                         TRect(0, 0, pic.icon.width(), pic.icon.height()));
        return;
    }
    if (!pic.graphic) return;
    if (pic.frames > 1) {
        // An animated picture: the frame sits at its own offset in the box.
        if (entryBrush != clNone) {
            const TColor saved = canvas.Brush().Color();
            canvas.Brush().SetColor(entryBrush);
            canvas.FillRect(box);
            canvas.Brush().SetColor(saved);
        }
        canvas.Draw(box.Left + pic.frameLeft, box.Top + pic.frameTop, *pic.graphic);
        return;
    }
    // Drawn at the laid-out size, whatever the device's resolution.
    const QImage& image = pic.graphic->Image();
    if (!image.isNull()) canvas.DrawImage(box, image, TRect(0, 0, image.width(), image.height()));
}
