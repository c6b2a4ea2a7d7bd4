#include "platform/widgets/PaintBuffer.h"

#include <QPainter>
#include <QWidget>

TPaintBuffer::TPaintBuffer(QWidget* widget)
    : m_widget(widget),
      m_image(std::max(1, widget ? widget->width() : 1), std::max(1, widget ? widget->height() : 1),
              QImage::Format_RGB32)
{
    m_image.fill(ToQRgb(clBtnFace));
    m_canvas = std::make_unique<TPainterCanvas>(&m_image, widget ? widget->logicalDpiY() : 96);
}

TPaintBuffer::~TPaintBuffer()
{
    m_canvas->Release();
    if (!m_widget) return;
    QPainter painter(m_widget);
    painter.drawImage(0, 0, m_image);
}

const QImage& TPaintBuffer::Image()
{
    m_canvas->Release();
    return m_image;
}
