#include "platform/graphics/Canvas.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"

#include <QVarLengthArray>
#include <algorithm>

// ---------------------------------------------------------------------------
// Font, brush, pen

TFont::TFont() : m_name(QStringLiteral("MS Sans Serif")) { }

TFont::TFont(const TFont& o)
    : m_name(o.m_name),
      m_size(o.m_size),
      m_pixelsPerInch(o.m_pixelsPerInch),
      m_color(o.m_color),
      m_style(o.m_style),
      m_orientation(o.m_orientation)
{ }

TFont& TFont::operator=(const TFont& o)
{
    if (this == &o) return *this;
    m_name = o.m_name;
    m_size = o.m_size;
    m_pixelsPerInch = o.m_pixelsPerInch;
    m_color = o.m_color;
    m_style = o.m_style;
    m_orientation = o.m_orientation;
    Changed();
    return *this;
}

void TFont::SetName(const QString& name)
{
    m_name = name;
    Changed();
}
void TFont::SetSize(int points)
{
    m_size = points;
    Changed();
}
int TFont::Height() const { return -MulDiv(m_size, m_pixelsPerInch, 72); }
void TFont::SetHeight(int height)
{
    m_size = -MulDiv(height < 0 ? height : -height, 72, m_pixelsPerInch);
    Changed();
}
void TFont::SetPixelsPerInch(int ppi)
{
    m_pixelsPerInch = ppi > 0 ? ppi : 96;
    Changed();
}
void TFont::SetColor(TColor color)
{
    m_color = color;
    Changed();
}
void TFont::SetStyle(TFontStyles style)
{
    m_style = style;
    Changed();
}
void TFont::SetOrientation(int tenths)
{
    m_orientation = tenths;
    Changed();
}

bool TFont::operator==(const TFont& o) const
{
    return m_size == o.m_size && m_color == o.m_color && m_style == o.m_style && m_orientation == o.m_orientation &&
        m_name == o.m_name;
}

void TFont::Changed()
{
    if (m_canvas) m_canvas->NotifyFont();
    if (OnChange) OnChange();
}

TBrush::TBrush(const TBrush& o) : m_color(o.m_color), m_style(o.m_style) { }

TBrush& TBrush::operator=(const TBrush& o)
{
    if (this == &o) return *this;
    m_color = o.m_color;
    m_style = o.m_style;
    Changed();
    return *this;
}

void TBrush::SetColor(TColor color)
{
    if (color == clNone) {
        m_style = TBrushStyle::bsClear;
    } else {
        m_color = color;
        if (m_style == TBrushStyle::bsClear) m_style = TBrushStyle::bsSolid;
    }
    Changed();
}

void TBrush::SetStyle(TBrushStyle style)
{
    m_style = style;
    Changed();
}

void TBrush::Changed()
{
    if (m_canvas) m_canvas->NotifyBrush();
    if (OnChange) OnChange();
}

TPen::TPen(const TPen& o) : m_color(o.m_color), m_width(o.m_width), m_style(o.m_style), m_mode(o.m_mode) { }

TPen& TPen::operator=(const TPen& o)
{
    if (this == &o) return *this;
    m_color = o.m_color;
    m_width = o.m_width;
    m_style = o.m_style;
    m_mode = o.m_mode;
    Changed();
    return *this;
}

void TPen::SetColor(TColor color)
{
    m_color = color;
    Changed();
}
void TPen::SetWidth(int width)
{
    m_width = width < 0 ? 0 : width;
    Changed();
}
void TPen::SetStyle(TPenStyle style)
{
    m_style = style;
    Changed();
}
void TPen::SetMode(TPenMode mode)
{
    m_mode = mode;
    Changed();
}

void TPen::Changed()
{
    if (m_canvas) m_canvas->NotifyPen();
    if (OnChange) OnChange();
}

// ---------------------------------------------------------------------------
// Canvas state

TCanvas::TCanvas()
{
    m_font.m_canvas = this;
    m_brush.m_canvas = this;
    m_pen.m_canvas = this;
}

TCanvas::~TCanvas()
{
    m_font.m_canvas = nullptr;
    m_brush.m_canvas = nullptr;
    m_pen.m_canvas = nullptr;
}

void TCanvas::NotifyBrush()
{
    m_bkMode = m_brush.Style() == TBrushStyle::bsClear ? Win::TRANSPARENT : Win::OPAQUE;
    BrushChanged();
}

int TCanvas::BkMode() const { return m_bkMode; }
void TCanvas::SetBkMode(int mode) { m_bkMode = mode == Win::TRANSPARENT ? Win::TRANSPARENT : Win::OPAQUE; }
bool TCanvas::Opaque() const { return m_bkMode == Win::OPAQUE && m_brush.Style() != TBrushStyle::bsClear; }

void TCanvas::SaveClip() { m_clipStack.push_back(m_clip); }

void TCanvas::RestoreClip()
{
    if (m_clipStack.empty()) return;
    m_clip = m_clipStack.back();
    m_clipStack.pop_back();
    ClipChanged();
}

void TCanvas::IntersectClipRect(const TRect& r)
{
    const QRegion region(r.ToQRect());
    m_clip = m_clip ? m_clip->intersected(region) : QRegion(DeviceRect().ToQRect()).intersected(region);
    ClipChanged();
}

void TCanvas::ExcludeClipRect(const TRect& r)
{
    const QRegion region(r.ToQRect());
    m_clip = m_clip ? m_clip->subtracted(region) : QRegion(DeviceRect().ToQRect()).subtracted(region);
    ClipChanged();
}

void TCanvas::SetClipRect(const TRect& r)
{
    m_clip = QRegion(r.ToQRect());
    ClipChanged();
}

void TCanvas::ResetClip()
{
    m_clip.reset();
    ClipChanged();
}

TRect TCanvas::ClipRect() const
{
    if (!m_clip) return DeviceRect();
    return TRect::FromQRect(m_clip->boundingRect());
}

// ---------------------------------------------------------------------------
// Text

void TCanvas::TextOut(int x, int y, const QString& text)
{
    TextRun(x, y, text, Opaque(), nullptr);
    m_penPos = TPoint(x + CurrentTextWidth(text), y);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text)
{
    if (m_brush.Style() != TBrushStyle::bsClear) FillSolid(r, m_brush.Color());
    TextRun(x, y, text, false, &r);
}

TSize TCanvas::TextExtent(const QString& text) { return TSize(CurrentTextWidth(text), CurrentTextMetrics().tmHeight); }

int TCanvas::TextFit(const QString& text, int maxExtent, int* extent)
{
    // Binary search over prefix widths (widths grow with the length).
    int lo = 0;
    int hi = int(text.size());
    int loWidth = 0;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        const int w = CurrentTextWidth(QStringView(text).left(mid));
        if (w <= maxExtent) {
            lo = mid;
            loWidth = w;
        } else {
            hi = mid - 1;
        }
    }
    if (extent) *extent = loWidth;
    return lo;
}

TTextMetric TCanvas::TextMetrics() { return CurrentTextMetrics(); }

namespace {

// One laid-out line of DrawText: a part of the display text.
struct TextLine {
    int start = 0;
    int length = 0;
    int width = 0;
};

bool IsBreakChar(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

} // namespace

// DrawText rules:
// - Unless DT_NOPREFIX, "&&" shows one ampersand and "&x" shows x underlined
//   (not underlined with DT_HIDEPREFIX); a lone "&" at the end is dropped.
// - DT_SINGLELINE: carriage returns and line feeds do not break the line and
//   are not shown; otherwise each of CR, LF and CR LF ends a line.
// - DT_WORDBREAK: lines break after spaces when the next word would pass the
//   right edge; spaces at a break are not counted in the line's width. A word
//   wider than the rectangle stays whole, unless DT_EDITCONTROL, which breaks
//   it between characters.
// - DT_EXPANDTABS: a tab moves to the next multiple of 8 average character
//   widths from the line's start.
// - DT_END_ELLIPSIS (and DT_WORD_ELLIPSIS, DT_PATH_ELLIPSIS): a line wider
//   than the rectangle is cut so that it fits with "..." appended.
// - Line height: the font height, plus its external leading with
//   DT_EXTERNALLEADING. DT_VCENTER and DT_BOTTOM apply to single lines only.
// - DT_CALCRECT: nothing is drawn; r.Right becomes r.Left + the widest line
//   (measured without ellipsis), r.Bottom r.Top + the lines' height.
// - Unless DT_NOCLIP the text is clipped to r; with DT_EDITCONTROL a last line
//   that would show only partly is not drawn.
// - With the OPAQUE background mode each line's cell is filled with the
//   brush colour first.
int TCanvas::DrawText(const QString& input, TRect& r, unsigned format)
{
    const TTextMetric tm = CurrentTextMetrics();
    const int lineHeight = tm.tmHeight + ((format & Win::DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const bool singleLine = (format & Win::DT_SINGLELINE) != 0;
    const bool expandTabs = (format & Win::DT_EXPANDTABS) != 0;
    const int tabWidth = std::max(1, 8 * tm.tmAveCharWidth);
    const bool ellipsis = (format & (Win::DT_END_ELLIPSIS | Win::DT_WORD_ELLIPSIS | Win::DT_PATH_ELLIPSIS)) != 0;
    const bool calc = (format & Win::DT_CALCRECT) != 0;

    // Prefix processing and, for single lines, removal of line breaks. The
    // common case (no "&", no break characters) keeps the text as it is.
    QString text = input;
    std::vector<int> underlined;
    const bool prefix = !(format & Win::DT_NOPREFIX);
    bool needsScan = false;
    for (QChar c : input) {
        if ((prefix && c == QLatin1Char('&')) || (singleLine && IsBreakChar(c))) {
            needsScan = true;
            break;
        }
    }
    if (needsScan) {
        text.clear();
        text.reserve(input.size());
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            if (singleLine && IsBreakChar(c)) continue;
            if (prefix && c == QLatin1Char('&')) {
                if (i + 1 >= input.size()) break;
                const QChar next = input[i + 1];
                ++i;
                if (next == QLatin1Char('&')) {
                    text += next;
                    continue;
                }
                if (singleLine && IsBreakChar(next)) continue;
                if (!(format & Win::DT_HIDEPREFIX) && !IsBreakChar(next)) underlined.push_back(int(text.size()));
                text += next;
                continue;
            }
            text += c;
        }
    }

    const bool hasTabs = expandTabs && text.contains(QLatin1Char('\t'));
    // Width of a part of the display text, with tabs expanded from the
    // line's start.
    auto positionOf = [&](int lineStart, int to) -> int {
        if (!hasTabs) return CurrentTextWidth(QStringView(text).mid(lineStart, to - lineStart));
        int x = 0;
        int segStart = lineStart;
        for (int j = lineStart; j < to; ++j) {
            if (text[j] != QLatin1Char('\t')) continue;
            x += CurrentTextWidth(QStringView(text).mid(segStart, j - segStart));
            x = (x / tabWidth + 1) * tabWidth;
            segStart = j + 1;
        }
        return x + CurrentTextWidth(QStringView(text).mid(segStart, to - segStart));
    };
    auto widthOf = [&](int lineStart, int from, int to) -> int {
        if (from == lineStart) return positionOf(lineStart, to);
        return positionOf(lineStart, to) - positionOf(lineStart, from);
    };

    // Break into lines.
    QVarLengthArray<TextLine, 8> lines;
    const int maxWidth = r.Width();
    auto addLine = [&](int start, int end) { lines.append(TextLine{start, end - start, widthOf(start, start, end)}); };
    const int n = int(text.size());
    if (singleLine) {
        addLine(0, n);
    } else {
        int pos = 0;
        while (true) {
            int end = pos;
            while (end < n && !IsBreakChar(text[end])) ++end;
            // Paragraph [pos, end).
            if (!(format & Win::DT_WORDBREAK)) {
                addLine(pos, end);
            } else {
                int lineStart = pos;
                while (true) {
                    if (widthOf(lineStart, lineStart, end) <= maxWidth) {
                        addLine(lineStart, end);
                        break;
                    }
                    // Longest run of whole words that fits.
                    int breakAt = -1; // index after the last space of a fitting run
                    int i = lineStart;
                    while (i < end) {
                        while (i < end && text[i] != QLatin1Char(' ')) ++i;
                        // Word ends at i; the line up to i must fit.
                        int wordEnd = i;
                        if (widthOf(lineStart, lineStart, wordEnd) > maxWidth) break;
                        while (i < end && text[i] == QLatin1Char(' ')) ++i;
                        breakAt = i;
                    }
                    if (breakAt <= lineStart || breakAt >= end) {
                        if (breakAt >= end) {
                            addLine(lineStart, end);
                            break;
                        }
                        // The first word alone is too wide.
                        int wordEnd = lineStart;
                        while (wordEnd < end && text[wordEnd] != QLatin1Char(' ')) ++wordEnd;
                        int cut = wordEnd;
                        if (format & Win::DT_EDITCONTROL) {
                            cut = lineStart + 1;
                            while (cut < wordEnd && widthOf(lineStart, lineStart, cut + 1) <= maxWidth) ++cut;
                        }
                        int next = cut;
                        while (next < end && text[next] == QLatin1Char(' ')) ++next;
                        addLine(lineStart, cut);
                        if (next >= end) break;
                        lineStart = next;
                        continue;
                    }
                    // Trailing spaces hang past the edge and do not count.
                    int lineEnd = breakAt;
                    while (lineEnd > lineStart && text[lineEnd - 1] == QLatin1Char(' ')) --lineEnd;
                    addLine(lineStart, lineEnd);
                    lineStart = breakAt;
                }
            }
            if (end >= n) break;
            pos = end + ((text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n')) ? 2 : 1);
            if (pos > n) break;
        }
    }

    const int totalHeight = int(lines.size()) * lineHeight;
    if (calc) {
        int widest = 0;
        for (const auto& line : lines) widest = std::max(widest, line.width);
        r.Right = r.Left + widest;
        r.Bottom = r.Top + totalHeight;
        return totalHeight;
    }

    int y = r.Top;
    if (singleLine) {
        if (format & Win::DT_VCENTER)
            y = (r.Top + r.Bottom - lineHeight) / 2;
        else if (format & Win::DT_BOTTOM)
            y = r.Bottom - lineHeight;
    }
    const int result =
        (singleLine && (format & (Win::DT_VCENTER | Win::DT_BOTTOM))) ? y + lineHeight - r.Top : totalHeight;

    const bool clip = !(format & Win::DT_NOCLIP);
    const bool rotated = m_font.Orientation() % 3600 != 0;
    const bool opaque = Opaque();
    static constexpr char16_t kEllipsis[] = u"...";
    const int ellipsisWidth = ellipsis ? CurrentTextWidth(kEllipsis) : 0;
    size_t underlineIndex = 0;
    for (const TextLine& line : lines) {
        if (clip && y >= r.Bottom) break;
        if (clip && (format & Win::DT_EDITCONTROL) && !singleLine && y + lineHeight > r.Bottom && y > r.Top) break;
        QStringView shown = QStringView(text).mid(line.start, line.length);
        int shownWidth = line.width;
        int keep = line.length; // characters of the line shown before the ellipsis
        const bool cut = ellipsis && line.width > maxWidth;
        if (cut) {
            // Longest prefix that fits with "..." after it.
            int lo = 0;
            int hi = line.length;
            while (lo < hi) {
                const int mid = (lo + hi + 1) / 2;
                if (widthOf(line.start, line.start, line.start + mid) + ellipsisWidth <= maxWidth)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            keep = lo;
            // The shortened line in a buffer kept between calls.
            m_ellipsisLine.resize(0);
            m_ellipsisLine.append(shown.left(keep));
            m_ellipsisLine.append(QStringView(kEllipsis));
            shown = m_ellipsisLine;
            shownWidth = widthOf(line.start, line.start, line.start + keep) + ellipsisWidth;
        }
        int x = r.Left;
        if (format & Win::DT_CENTER)
            x = (r.Left + r.Right - shownWidth) / 2;
        else if (format & Win::DT_RIGHT)
            x = r.Right - shownWidth;

        // Rotated text turns about its start, away from the extent measured
        // here, so it is always clipped.
        const bool inside =
            !rotated && x >= r.Left && x + shownWidth <= r.Right && y >= r.Top && y + lineHeight <= r.Bottom;
        const TRect* clipRect = (clip && !inside) ? &r : nullptr;
        if (opaque && !shown.isEmpty()) {
            TRect cell(x, y, x + shownWidth, y + lineHeight);
            if (clipRect) cell = cell.Intersected(*clipRect);
            if (!cell.IsEmpty()) FillSolid(cell, m_brush.Color());
        }
        if (hasTabs && shown.contains(QLatin1Char('\t'))) {
            // Draw segment by segment at the tab positions.
            int segStart = 0;
            for (int i = 0; i <= int(shown.size()); ++i) {
                if (i == int(shown.size()) || shown[i] == QLatin1Char('\t')) {
                    if (i > segStart)
                        TextRun(x + widthOf(line.start, line.start, line.start + std::min(segStart, keep)), y,
                                shown.mid(segStart, i - segStart), false, clipRect);
                    segStart = i + 1;
                }
            }
        } else if (!shown.isEmpty()) {
            TextRun(x, y, shown, false, clipRect);
        }
        // Underlined prefix characters of this line.
        while (underlineIndex < underlined.size() && underlined[underlineIndex] < line.start) ++underlineIndex;
        while (underlineIndex < underlined.size() && underlined[underlineIndex] < line.start + line.length) {
            const int pos = underlined[underlineIndex++];
            if (pos - line.start >= keep) continue;
            const int ux = x + widthOf(line.start, line.start, pos);
            const int uw = CurrentTextWidth(QStringView(text).mid(pos, 1));
            TRect u(ux, y + tm.tmAscent + 1, ux + uw, y + tm.tmAscent + 2);
            if (clip) u = u.Intersected(r);
            if (!u.IsEmpty()) FillSolid(u, m_font.Color());
        }
        y += lineHeight;
    }
    return result;
}

// ---------------------------------------------------------------------------
// Frames in the classic look

void TCanvas::DrawFocusRect(const TRect& r)
{
    if (r.IsEmpty()) return;
    // The pattern's set pixels take the background colour, the others the
    // text colour, as a monochrome pattern brush does; both are XOR-ed in.
    // The background colour is the brush's colour, kept while the brush is
    // clear, so that the dots show on a cell of that colour (a white cell's
    // pixels are inverted).
    const TColor on = ColorToRGB(m_brush.StoredColor());
    const TColor off = ColorToRGB(m_font.Color());
    XorPattern(TRect(r.Left, r.Top, r.Right, r.Top + 1), on, off);
    if (r.Height() > 1) XorPattern(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), on, off);
    if (r.Height() > 2) {
        XorPattern(TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), on, off);
        if (r.Width() > 1) XorPattern(TRect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1), on, off);
    }
}

namespace {

struct RingColors {
    TColor topLeft;
    TColor bottomRight;
};

} // namespace

// One ring of an edge: the top and left lines in the first colour, then the
// bottom and right lines in the second, which owns the top-right and
// bottom-left corner pixels.
static void DrawRing(TCanvas& canvas, const TRect& r, unsigned sides, RingColors colors,
                     const std::function<void(const TRect&, TColor)>& fill)
{
    (void)canvas;
    if (r.IsEmpty()) return;
    if (sides & Win::BF_TOP)
        fill(TRect(r.Left, r.Top, r.Right - ((sides & Win::BF_RIGHT) ? 1 : 0), r.Top + 1), colors.topLeft);
    if (sides & Win::BF_LEFT)
        fill(TRect(r.Left, r.Top, r.Left + 1, r.Bottom - ((sides & Win::BF_BOTTOM) ? 1 : 0)), colors.topLeft);
    if (sides & Win::BF_BOTTOM) fill(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), colors.bottomRight);
    if (sides & Win::BF_RIGHT) fill(TRect(r.Right - 1, r.Top, r.Right, r.Bottom), colors.bottomRight);
}

bool TCanvas::DrawEdge(TRect& rc, unsigned edge, unsigned flags)
{
    TRect r = rc;
    const unsigned sides = flags & Win::BF_RECT;
    const bool soft = flags & Win::BF_SOFT;
    auto fill = [this](const TRect& x, TColor c) { FillSolid(x, c); };
    auto shrink = [&](TRect& x) {
        if (sides & Win::BF_LEFT) ++x.Left;
        if (sides & Win::BF_TOP) ++x.Top;
        if (sides & Win::BF_RIGHT) --x.Right;
        if (sides & Win::BF_BOTTOM) --x.Bottom;
    };
    const unsigned outer = edge & Win::BDR_OUTER;
    const unsigned inner = edge & Win::BDR_INNER;
    if (outer) {
        RingColors c;
        if (flags & Win::BF_MONO)
            c = {clWindowFrame, clWindowFrame};
        else if (flags & Win::BF_FLAT)
            c = {clBtnShadow, clBtnShadow};
        else if (outer & Win::BDR_RAISEDOUTER)
            c = {soft ? clBtnHighlight : cl3DLight, cl3DDkShadow};
        else
            c = {soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight};
        DrawRing(*this, r, sides, c, fill);
        shrink(r);
    }
    if (inner) {
        RingColors c;
        if (flags & Win::BF_MONO)
            c = {clWindow, clWindow};
        else if (flags & Win::BF_FLAT)
            c = {clBtnFace, clBtnFace};
        else if (inner & Win::BDR_RAISEDINNER)
            c = {soft ? cl3DLight : clBtnHighlight, clBtnShadow};
        else
            c = {soft ? clBtnShadow : cl3DDkShadow, cl3DLight};
        DrawRing(*this, r, sides, c, fill);
        shrink(r);
    }
    if ((flags & Win::BF_MIDDLE) && !r.IsEmpty()) FillSolid(r, (flags & Win::BF_MONO) ? clWindow : clBtnFace);
    if (flags & Win::BF_ADJUST) rc = r;
    return true;
}

namespace {

// Classic 12 x 12 radio button: rings split along the anti-diagonal into the
// upper-left and lower-right colours.
constexpr const char* kRadioOuter[12] = {
    "....XXXX....", "..XX....XX..", ".X........X.", ".X........X.", "X..........X", "X..........X",
    "X..........X", "X..........X", ".X........X.", ".X........X.", "..XX....XX..", "....XXXX....",
};
constexpr const char* kRadioInner[12] = {
    "............", "....XXXX....", "..XX....XX..", "..X......X..", ".X........X.", ".X........X.",
    ".X........X.", ".X........X.", "..X......X..", "..XX....XX..", "....XXXX....", "............",
};
constexpr const char* kRadioFace[12] = {
    "............", "............", "....XXXX....", "...XXXXXX...", "..XXXXXXXX..", "..XXXXXXXX..",
    "..XXXXXXXX..", "..XXXXXXXX..", "...XXXXXX...", "....XXXX....", "............", "............",
};
constexpr const char* kRadioDot[12] = {
    "............", "............", "............", "............", ".....XX.....", "....XXXX....",
    "....XXXX....", ".....XX.....", "............", "............", "............", "............",
};
// Classic 7 x 7 check mark.
constexpr const char* kCheckMark[7] = {
    "......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X....",
};

} // namespace

bool TCanvas::DrawFrameControl(TRect& rc, unsigned kind, unsigned state)
{
    const bool flat = state & Win::DFCS_FLAT;
    const bool mono = state & Win::DFCS_MONO;
    const bool pushed = state & Win::DFCS_PUSHED;
    const bool inactive = state & Win::DFCS_INACTIVE;
    auto plot = [this](const char* const* rows, int count, int x0, int y0,
                       const std::function<TColor(int, int)>& color) {
        for (int y = 0; y < count; ++y)
            for (int x = 0; rows[y][x]; ++x)
                if (rows[y][x] == 'X') FillSolid(TRect(x0 + x, y0 + y, x0 + x + 1, y0 + y + 1), color(x, y));
    };

    if (kind == Win::DFC_BUTTON) {
        const unsigned type = state & 0x1F;
        if (type == Win::DFCS_BUTTONPUSH) {
            TRect r = rc;
            unsigned edge = (pushed || (state & Win::DFCS_CHECKED)) ? Win::EDGE_SUNKEN : Win::EDGE_RAISED;
            unsigned flags = Win::BF_RECT | Win::BF_SOFT | Win::BF_MIDDLE;
            if (flat) flags |= Win::BF_FLAT;
            if (mono) flags |= Win::BF_MONO;
            DrawEdge(r, edge, flags | Win::BF_ADJUST);
            if (state & Win::DFCS_ADJUSTRECT) rc = r;
            return true;
        }
        const int side = std::min(rc.Width(), rc.Height());
        if (side <= 0) return true;
        if (type == Win::DFCS_BUTTONRADIO || type == Win::DFCS_BUTTONRADIOIMAGE || type == Win::DFCS_BUTTONRADIOMASK) {
            const int x0 = rc.Left + (rc.Width() - 12) / 2;
            const int y0 = rc.Top + (rc.Height() - 12) / 2;
            const TColor face = (pushed || inactive) ? clBtnFace : clWindow;
            if (type == Win::DFCS_BUTTONRADIOMASK) {
                plot(kRadioOuter, 12, x0, y0, [](int, int) { return clBlack; });
                plot(kRadioInner, 12, x0, y0, [](int, int) { return clBlack; });
                plot(kRadioFace, 12, x0, y0, [](int, int) { return clBlack; });
                return true;
            }
            if (flat || mono) {
                const TColor ring = mono ? clWindowFrame : clBtnShadow;
                plot(kRadioOuter, 12, x0, y0, [ring](int, int) { return ring; });
                plot(kRadioInner, 12, x0, y0, [face](int, int) { return face; });
            } else {
                plot(kRadioOuter, 12, x0, y0, [](int x, int y) { return x + y < 11 ? clBtnShadow : clBtnHighlight; });
                plot(kRadioInner, 12, x0, y0, [](int x, int y) { return x + y < 11 ? cl3DDkShadow : cl3DLight; });
            }
            plot(kRadioFace, 12, x0, y0, [face](int, int) { return face; });
            if (state & Win::DFCS_CHECKED) {
                const TColor dot = inactive ? clBtnShadow : clWindowText;
                plot(kRadioDot, 12, x0, y0, [dot](int, int) { return dot; });
            }
            return true;
        }
        // Check box (also three-state) in a square centred in the rectangle.
        TRect box = Bounds(rc.Left + (rc.Width() - side) / 2, rc.Top + (rc.Height() - side) / 2, side, side);
        const TColor face = (pushed || inactive) ? clBtnFace : clWindow;
        if (flat || mono) {
            DrawRing(*this, box, Win::BF_RECT,
                     mono ? RingColors{clWindowFrame, clWindowFrame} : RingColors{clBtnShadow, clBtnShadow},
                     [this](const TRect& x, TColor c) { FillSolid(x, c); });
            box.Inflate(-1, -1);
        } else {
            DrawEdge(box, Win::EDGE_SUNKEN, Win::BF_RECT | Win::BF_ADJUST);
        }
        if (!box.IsEmpty()) FillSolid(box, face);
        if (state & Win::DFCS_CHECKED) {
            const TColor mark =
                inactive ? clBtnShadow : ((type == Win::DFCS_BUTTON3STATE) ? clBtnShadow : clWindowText);
            const int x0 = box.Left + (box.Width() - 7) / 2;
            const int y0 = box.Top + (box.Height() - 7) / 2;
            SaveClip();
            IntersectClipRect(box);
            plot(kCheckMark, 7, x0, y0, [mark](int, int) { return mark; });
            RestoreClip();
        }
        return true;
    }

    if (kind == Win::DFC_SCROLL) {
        const unsigned type = state & 0x1F;
        if (type != Win::DFCS_SCROLLUP && type != Win::DFCS_SCROLLDOWN && type != Win::DFCS_SCROLLLEFT &&
            type != Win::DFCS_SCROLLRIGHT && type != Win::DFCS_SCROLLCOMBOBOX)
            return false;
        TRect r = rc;
        if (pushed)
            DrawEdge(r, Win::EDGE_RAISED, Win::BF_RECT | Win::BF_MIDDLE | Win::BF_FLAT | Win::BF_ADJUST);
        else
            DrawEdge(r, Win::EDGE_RAISED,
                     Win::BF_RECT | Win::BF_MIDDLE | Win::BF_ADJUST | (flat ? unsigned(Win::BF_FLAT) : 0u) |
                         (mono ? unsigned(Win::BF_MONO) : 0u));
        // Arrow: a triangle whose rows shrink by one pixel at each end.
        const int side = std::min(rc.Width(), rc.Height());
        const int rows = std::max(1, (side - 4) / 3);
        const int base = 2 * rows - 1;
        const bool vertical =
            type == Win::DFCS_SCROLLUP || type == Win::DFCS_SCROLLDOWN || type == Win::DFCS_SCROLLCOMBOBOX;
        int x0 = rc.Left + (rc.Width() - (vertical ? base : rows)) / 2;
        int y0 = rc.Top + (rc.Height() - (vertical ? rows : base)) / 2;
        if (pushed) {
            ++x0;
            ++y0;
        }
        auto arrow = [&](int dx, int dy, TColor color) {
            for (int i = 0; i < rows; ++i) {
                // Row i counted from the arrow's tip.
                const int half = i;
                TRect seg;
                switch (type) {
                case Win::DFCS_SCROLLUP: seg = TRect(x0 + rows - 1 - half, y0 + i, x0 + rows + half, y0 + i + 1); break;
                case Win::DFCS_SCROLLLEFT:
                    seg = TRect(x0 + i, y0 + rows - 1 - half, x0 + i + 1, y0 + rows + half);
                    break;
                case Win::DFCS_SCROLLRIGHT:
                    seg = TRect(x0 + rows - 1 - i, y0 + rows - 1 - half, x0 + rows - i, y0 + rows + half);
                    break;
                default: // down and combo box
                    seg = TRect(x0 + rows - 1 - half, y0 + rows - 1 - i, x0 + rows + half, y0 + rows - i);
                    break;
                }
                seg.Offset(dx, dy);
                FillSolid(seg, color);
            }
        };
        if (inactive) {
            arrow(1, 1, clBtnHighlight);
            arrow(0, 0, clBtnShadow);
        } else {
            arrow(0, 0, clBtnText);
        }
        if (state & Win::DFCS_ADJUSTRECT) rc = r;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Pictures

void TCanvas::Draw(int x, int y, const TGraphic& graphic)
{
    if (graphic.Empty()) return;
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic& graphic)
{
    if (graphic.Empty()) return;
    graphic.Draw(*this, r);
}

void TCanvas::TileDraw(const TRect& r, const TGraphic& graphic)
{
    if (graphic.Empty() || r.IsEmpty()) return;
    const int w = graphic.Width();
    const int h = graphic.Height();
    if (w <= 0 || h <= 0) return;
    SaveClip();
    IntersectClipRect(r);
    for (int y = r.Top; y < r.Bottom; y += h)
        for (int x = r.Left; x < r.Right; x += w) graphic.Draw(*this, Bounds(x, y, w, h));
    RestoreClip();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    const QImage img = source.Grab(sourceRect);
    if (img.isNull()) return;
    DrawImage(dest, img, TRect(0, 0, img.width(), img.height()), m_copyMode);
}

void TCanvas::BrushCopy(const TRect& dest, const TBitmap& bitmap, const TRect& source, TColor color)
{
    const QImage& src = bitmap.Image();
    if (src.isNull()) return;
    QImage part = src.copy(source.ToQRect()).convertToFormat(QImage::Format_RGB32);
    const unsigned key = ToQRgb(color) & 0xFFFFFF;
    const unsigned replacement = ToQRgb(m_brush.StoredColor());
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<unsigned*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = replacement;
    }
    DrawImage(dest, part, TRect(0, 0, part.width(), part.height()), cmSrcCopy);
}

void BitBlt(TCanvas& dest, int x, int y, int w, int h, TCanvas& source, int sx, int sy, TCopyMode rop)
{
    StretchBlt(dest, x, y, w, h, source, sx, sy, w, h, rop);
}

void StretchBlt(TCanvas& dest, int x, int y, int w, int h, TCanvas& source, int sx, int sy, int sw, int sh,
                TCopyMode rop)
{
    if (w == 0 || h == 0 || sw <= 0 || sh <= 0) return;
    const QImage img = source.Grab(Bounds(sx, sy, sw, sh));
    if (img.isNull()) return;
    dest.DrawImage(Bounds(x, y, w, h), img, TRect(0, 0, img.width(), img.height()), rop);
}
