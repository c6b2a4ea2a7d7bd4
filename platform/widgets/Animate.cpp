#include "platform/widgets/Animate.h"

#include <QPainter>
#include <QtMath>

TAnimate::TAnimate(QWidget* parent) : QWidget(parent)
{
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, &TAnimate::Tick);
    setFixedSize(48, 48);
    m_frame = m_stopFrame;
}

void TAnimate::SetActive(bool active)
{
    if (active == Active()) return;
    if (active) {
        m_frame = 0;
        m_timer.start();
    } else {
        m_timer.stop();
        m_frame = m_stopFrame;
    }
    update();
}

void TAnimate::SetStopFrame(int frame)
{
    m_stopFrame = qBound(0, frame, kFrames - 1);
    if (!Active()) m_frame = m_stopFrame;
    update();
}

void TAnimate::SetColor(TColor color)
{
    m_color = color;
    update();
}

void TAnimate::Tick()
{
    m_frame = (m_frame + 1) % kFrames;
    update();
}

void TAnimate::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), ToQColor(m_color));
    const QPointF centre = QRectF(rect()).center();
    const double radius = qMin(width(), height()) * 0.34;
    for (int i = 0; i < kFrames; ++i) {
        // The dot of the current frame is darkest, the ones behind it fade.
        const int age = (m_frame - i + kFrames) % kFrames;
        const int shade = Active() ? qMin(230, 40 + age * 16) : 170;
        const double a = 2 * M_PI * i / kFrames - M_PI / 2;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(shade, shade, shade));
        p.drawEllipse(centre + QPointF(radius * qCos(a), radius * qSin(a)), 3.0, 3.0);
    }
}
