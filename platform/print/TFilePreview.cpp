#include "platform/print/TFilePreview.h"

#include "platform/print/PreviewRenderer_p.h"
#include "platform/print/TFilePreview_p.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Grey ground around the page.
constexpr int margin = 10;
constexpr double screenDpi = 96;

} // namespace

TFilePreview::TFilePreview(QWidget* parent) : QWidget(parent), d(std::make_unique<Data>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Layout();
}

TFilePreview::~TFilePreview() = default;

void TFilePreview::SetZoomFactor(double percent)
{
    if (!std::isfinite(percent)) return;
    percent = std::clamp(percent, 1.0, MaxZoomFactor);
    if (percent == m_zoom) return;
    m_zoom = percent;
    Layout();
    update();
    if (OnZoomChange) OnZoomChange(this);
}

void TFilePreview::ZoomIn() { SetZoomFactor(m_zoom + ZoomStep); }

void TFilePreview::ZoomOut()
{
    if (m_zoom > ZoomStep) SetZoomFactor(m_zoom - ZoomStep);
}

void TFilePreview::SetShadowDepth(int pixels)
{
    m_shadow = std::clamp(pixels, 0, 50);
    Layout();
    update();
}

void TFilePreview::Start()
{
    auto reader = std::make_unique<TReportFileReader>();
    reader->LoadFromFile(FileName);
    d->Reader = std::move(reader);
    d->Sheets.Clear();
    d->Page = QImage();
    m_page = d->Reader->PageCount() > 0 ? 1 : 0;
    Layout();
    update();
    if (OnPageChange) OnPageChange(this);
}

void TFilePreview::Finish()
{
    d->Reader.reset();
    d->Sheets.Clear();
    d->Page = QImage();
    m_page = 0;
    Layout();
    update();
}

bool TFilePreview::Active() const { return d->Reader != nullptr; }

int TFilePreview::PageCount() const { return d->Reader ? d->Reader->PageCount() : 0; }

void TFilePreview::RedrawPage()
{
    d->Page = QImage();
    update();
}

void TFilePreview::GotoPage(int page)
{
    if (page < 1 || page > PageCount() || page == m_page) return;
    m_page = page;
    Layout();
    update();
    if (OnPageChange) OnPageChange(this);
}

void TFilePreview::PriorPage() { GotoPage(m_page - 1); }
void TFilePreview::NextPage() { GotoPage(m_page + 1); }
void TFilePreview::FirstPage() { GotoPage(1); }
void TFilePreview::LastPage() { GotoPage(PageCount()); }

QSize TFilePreview::PageSize() const
{
    const QSizeF inches = m_page > 0 && d->Reader ? d->Reader->PageSize(m_page - 1) : QSizeF(8.5, 11);
    const double dpi = screenDpi * m_zoom / 100;
    return QSize(std::max(1, int(std::lround(inches.width() * dpi))),
                 std::max(1, int(std::lround(inches.height() * dpi))));
}

QSize TFilePreview::DrawnPageSize() const { return d->Page.size(); }

void TFilePreview::Layout()
{
    const QSize page = PageSize();
    const QSize whole(page.width() + 2 * margin + m_shadow, page.height() + 2 * margin + m_shadow);
    setMinimumSize(whole);
    resize(whole);
}

void TFilePreview::RenderPage()
{
    double ratio = devicePixelRatioF();
    const QSize page = PageSize();
    const double pixels = page.width() * ratio * page.height() * ratio;
    if (pixels > double(MaxPagePixels)) ratio *= std::sqrt(double(MaxPagePixels) / pixels) * 0.999;
    QImage image(QSize(int(std::ceil(page.width() * ratio)), int(std::ceil(page.height() * ratio))),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        d->Page = QImage();
        return;
    }
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    TPreviewRenderer renderer(painter, screenDpi * m_zoom / 100, ratio, d->Sheets);
    d->Reader->PlayPage(m_page - 1, renderer);
    painter.end();
    d->Page = std::move(image);
    d->PageShown = m_page;
    d->ZoomShown = m_zoom;
}

void TFilePreview::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(128, 128, 128));
    if (!d->Reader || m_page < 1) return;
    if (d->Page.isNull() || d->PageShown != m_page || d->ZoomShown != m_zoom) RenderPage();
    const QSize page = PageSize();
    const QRect at(QPoint(margin, margin), page);
    if (m_shadow > 0) painter.fillRect(at.translated(m_shadow, m_shadow), Qt::black);
    painter.drawImage(at.topLeft(), d->Page);
}
