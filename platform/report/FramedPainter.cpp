#include "platform/report/FramedPainter_p.h"

#include "platform/report/PagePicture_p.h"
#include "platform/report/ReportFonts.h"

#include <QFontMetricsF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool Finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }
bool Finite(const QRectF& r) { return Finite(r.topLeft()) && Finite(r.bottomRight()); }

// Within r, edges included (QRectF::contains leaves out empty rectangles).
bool Inside(const QRectF& outer, const QRectF& r)
{
    return r.left() >= outer.left() && r.right() <= outer.right() && r.top() >= outer.top() &&
        r.bottom() <= outer.bottom();
}

bool Meets(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

} // namespace

TFramedPainter::TFramedPainter(TPagePainter& page, const QRectF& frame, std::function<void(const QString&)> leftOut)
    : m_page(page), m_frame(frame.normalized()), m_leftOut(std::move(leftOut))
{ }

QRectF TFramedPainter::Bound() const
{
    // Wide enough for half the pen and its mitred corners, and an inch
    // besides, so that no cut edge shows inside the frame.
    const double margin = 1 + 2 * m_penInches;
    return m_frame.adjusted(-margin, -margin, margin, margin);
}

bool TFramedPainter::ClipLine(QPointF& a, QPointF& b, const QRectF& r)
{
    if (!Finite(a) || !Finite(b)) return false;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const QPointF from = a;
    if (t0 > 0) a = QPointF(from.x() + t0 * dx, from.y() + t0 * dy);
    if (t1 < 1) b = QPointF(from.x() + t1 * dx, from.y() + t1 * dy);
    return true;
}

std::vector<QPointF> TFramedPainter::ClipPolygon(const QPointF* points, int count, const QRectF& r)
{
    std::vector<QPointF> out(points, points + count);
    for (const QPointF& p : out)
        if (!Finite(p)) return {};
    // Against each of the four edges in turn (Sutherland-Hodgman).
    for (int edge = 0; edge < 4 && !out.empty(); ++edge) {
        const auto inside = [&](QPointF p) {
            switch (edge) {
            case 0: return p.x() >= r.left();
            case 1: return p.x() <= r.right();
            case 2: return p.y() >= r.top();
            default: return p.y() <= r.bottom();
            }
        };
        const auto cross = [&](QPointF a, QPointF b) {
            const double t = edge == 0 ? (r.left() - a.x()) / (b.x() - a.x())
                : edge == 1            ? (r.right() - a.x()) / (b.x() - a.x())
                : edge == 2            ? (r.top() - a.y()) / (b.y() - a.y())
                                       : (r.bottom() - a.y()) / (b.y() - a.y());
            QPointF p(a.x() + t * (b.x() - a.x()), a.y() + t * (b.y() - a.y()));
            // Exactly on the edge, whatever the rounding.
            if (edge == 0)
                p.setX(r.left());
            else if (edge == 1)
                p.setX(r.right());
            else if (edge == 2)
                p.setY(r.top());
            else
                p.setY(r.bottom());
            return p;
        };
        std::vector<QPointF> in;
        in.swap(out);
        out.reserve(in.size() + 4);
        for (size_t i = 0; i < in.size(); ++i) {
            const QPointF cur = in[i], prev = in[(i + in.size() - 1) % in.size()];
            const bool curIn = inside(cur), prevIn = inside(prev);
            if (curIn) {
                if (!prevIn) out.push_back(cross(prev, cur));
                out.push_back(cur);
            } else if (prevIn) {
                out.push_back(cross(prev, cur));
            }
        }
    }
    return out;
}

void TFramedPainter::SetFont(const TPageFont& font)
{
    m_font = font;
    m_page.SetFont(font);
}

void TFramedPainter::SetPen(const TPagePen& pen)
{
    m_penInches = std::max(1, pen.Width) / 96.0;
    m_page.SetPen(pen);
}

void TFramedPainter::SetBrush(const TPageBrush& brush, const QImage* pattern)
{
    if (!pattern || pattern->isNull()) {
        m_page.SetBrush(brush, nullptr);
        return;
    }
    const QImage fitted = PagePicture::Fit(*pattern);
    if (fitted.isNull() && m_leftOut)
        m_leftOut(QStringLiteral("A brush pattern of %1 x %2 pixels was left out.")
                      .arg(pattern->width())
                      .arg(pattern->height()));
    m_page.SetBrush(brush, fitted.isNull() ? nullptr : &fitted);
}

void TFramedPainter::SetClip(const QRectF* r)
{
    const QRectF clip = r && Finite(*r) ? r->normalized().intersected(m_frame) : m_frame;
    m_page.SetClip(&clip);
}

void TFramedPainter::DrawText(QPointF origin, const QString& text)
{
    if (text.isEmpty() || !Finite(origin)) return;
    // The run's box along its base line, turned with the font, must meet
    // the frame.
    double scale = 0;
    const QFontMetricsF metrics(ReportFonts::MeasuringFont(m_font, scale));
    const QRectF box(0, -metrics.ascent() * scale, metrics.horizontalAdvance(text) * scale,
                     (metrics.ascent() + metrics.descent()) * scale);
    QTransform turn;
    turn.translate(origin.x(), origin.y());
    turn.rotate(-m_font.Angle / 10.0);
    if (!Meets(turn.mapRect(box), m_frame)) return;
    m_page.DrawText(origin, text);
}

void TFramedPainter::DrawLine(QPointF from, QPointF to)
{
    if (ClipLine(from, to, Bound())) m_page.DrawLine(from, to);
}

void TFramedPainter::Shape(const QRectF& shape, bool fill, TColor color)
{
    if (!Finite(shape)) return;
    const QRectF bound = Bound();
    QRectF r = shape;
    if (r.width() == 0 || r.height() == 0) {
        // An empty rectangle strokes a line.
        QPointF a = r.topLeft(), b = r.bottomRight();
        if (fill || !ClipLine(a, b, bound)) return;
        r = QRectF(a, b);
    } else if (!Inside(bound, r)) {
        if (!Meets(bound, r)) return;
        r = r.intersected(bound);
    }
    if (fill)
        m_page.FillRect(r, color);
    else
        m_page.DrawRectangle(r);
}

void TFramedPainter::DrawRectangle(const QRectF& r) { Shape(r.normalized(), false, 0); }

void TFramedPainter::FillRect(const QRectF& r, TColor color) { Shape(r.normalized(), true, color); }

void TFramedPainter::DrawEllipse(const QRectF& shape)
{
    const QRectF r = shape.normalized();
    if (!Finite(r)) return;
    const QRectF bound = Bound();
    if (Inside(bound, r)) {
        m_page.DrawEllipse(r);
        return;
    }
    if (!Meets(bound, r)) return;
    // Reaching out of the frame: as a polygon, cut like one. Enough corners
    // that a chord strays a hundredth of an inch at most from the arc.
    const double radius = std::max(r.width(), r.height()) / 2;
    const int corners = int(std::clamp(std::ceil(M_PI / std::sqrt(0.02 / std::max(radius, 0.01))), 64.0, 16384.0));
    std::vector<QPointF> points(static_cast<size_t>(corners));
    for (int i = 0; i < corners; ++i) {
        const double a = 2 * M_PI * i / corners;
        points[size_t(i)] =
            QPointF(r.center().x() + r.width() / 2 * std::cos(a), r.center().y() + r.height() / 2 * std::sin(a));
    }
    DrawPolygon(points.data(), corners, false);
}

void TFramedPainter::DrawPolyline(const QPointF* points, int count)
{
    if (count < 2) return;
    const QRectF bound = Bound();
    std::vector<QPointF> piece;
    const auto flush = [&]() {
        if (piece.size() >= 2) m_page.DrawPolyline(piece.data(), int(piece.size()));
        piece.clear();
    };
    for (int i = 0; i + 1 < count; ++i) {
        QPointF a = points[i], b = points[i + 1];
        if (!ClipLine(a, b, bound)) {
            flush();
            continue;
        }
        if (piece.empty() || piece.back() != a) {
            flush();
            piece.push_back(a);
        }
        piece.push_back(b);
    }
    flush();
}

void TFramedPainter::DrawPolygon(const QPointF* points, int count, bool winding)
{
    if (count < 2) return;
    const std::vector<QPointF> cut = ClipPolygon(points, count, Bound());
    if (cut.size() >= 2) m_page.DrawPolygon(cut.data(), int(cut.size()), winding);
}

void TFramedPainter::DrawImage(const QRectF& shape, const QImage& image, int imageIndex)
{
    const QRectF r = shape.normalized();
    if (image.isNull() || !Finite(r) || r.width() <= 0 || r.height() <= 0 || !Meets(r, m_frame)) return;
    QImage part = image;
    QRectF target = r;
    const QRectF bound = Bound();
    if (!Inside(bound, r)) {
        // Only the pixels that lie near the frame, whole pixels.
        const QRectF near = r.intersected(bound);
        const double sx = image.width() / r.width(), sy = image.height() / r.height();
        const int x0 = std::clamp(int(std::floor((near.left() - r.left()) * sx)), 0, image.width() - 1);
        const int y0 = std::clamp(int(std::floor((near.top() - r.top()) * sy)), 0, image.height() - 1);
        const int x1 = std::clamp(int(std::ceil((near.right() - r.left()) * sx)), x0 + 1, image.width());
        const int y1 = std::clamp(int(std::ceil((near.bottom() - r.top()) * sy)), y0 + 1, image.height());
        part = image.copy(x0, y0, x1 - x0, y1 - y0);
        target = QRectF(QPointF(r.left() + x0 / sx, r.top() + y0 / sy), QPointF(r.left() + x1 / sx, r.top() + y1 / sy));
        // Pixels of a hundred inches and more: what shows is one colour,
        // drawn over the part near the frame.
        if (!Inside(m_frame.adjusted(-100, -100, 100, 100), target)) target = target.intersected(bound);
    }
    const QImage fitted = PagePicture::Fit(part);
    if (fitted.isNull()) {
        if (m_leftOut)
            m_leftOut(
                QStringLiteral("A picture of %1 x %2 pixels was left out.").arg(image.width()).arg(image.height()));
        return;
    }
    m_page.DrawImage(target, fitted, imageIndex);
}
