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

// The format flags of one DrawText call, read once.
struct TextFormat {
    explicit TextFormat(unsigned f)
        : singleLine(f & Win::DT_SINGLELINE),
          wordBreak(f & Win::DT_WORDBREAK),
          editControl(f & Win::DT_EDITCONTROL),
          expandTabs(f & Win::DT_EXPANDTABS),
          prefix(!(f & Win::DT_NOPREFIX)),
          hidePrefix(f & Win::DT_HIDEPREFIX),
          ellipsis(f & (Win::DT_END_ELLIPSIS | Win::DT_WORD_ELLIPSIS | Win::DT_PATH_ELLIPSIS)),
          externalLeading(f & Win::DT_EXTERNALLEADING),
          calc(f & Win::DT_CALCRECT),
          clip(!(f & Win::DT_NOCLIP)),
          center(f & Win::DT_CENTER),
          right(f & Win::DT_RIGHT),
          vcenter(f & Win::DT_VCENTER),
          bottom(f & Win::DT_BOTTOM)
    { }
    bool singleLine;
    bool wordBreak;
    bool editControl;
    bool expandTabs;
    bool prefix;
    bool hidePrefix;
    bool ellipsis;
    bool externalLeading;
    bool calc;
    bool clip;
    bool center;
    bool right;
    bool vcenter;
    bool bottom;
};

// The text DrawText shows: prefix characters resolved and, for single
// lines, line breaks removed; underlined receives the places of the
// underlined characters. The common case (no "&", no break characters)
// keeps the text as it is.
QString DisplayText(const QString& input, const TextFormat& f, std::vector<int>& underlined)
{
    const auto special = [&f](QChar c) {
        return (f.prefix && c == QLatin1Char('&')) || (f.singleLine && IsBreakChar(c));
    };
    if (std::none_of(input.begin(), input.end(), special)) return input;
    QString text;
    text.reserve(input.size());
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input[i];
        if (f.singleLine && IsBreakChar(c)) continue;
        if (!f.prefix || c != QLatin1Char('&')) {
            text += c;
            continue;
        }
        if (i + 1 >= input.size()) break;
        const QChar next = input[++i];
        if (next == QLatin1Char('&')) {
            text += next;
            continue;
        }
        if (f.singleLine && IsBreakChar(next)) continue;
        if (!f.hidePrefix && !IsBreakChar(next)) underlined.push_back(int(text.size()));
        text += next;
    }
    return text;
}

} // namespace

// The steps of one DrawText call: the display text is measured and broken
// into lines once; then either their extent is given back (DT_CALCRECT) or
// each line is placed, shortened with the ellipsis when it is too wide and
// drawn with its underlined prefix characters.
class TCanvas::TextLayout {
public:
    TextLayout(TCanvas& canvas, const QString& input, TRect& r, unsigned format);

    int Run() { return m_f.calc ? Extent() : Draw(); }

private:
    // ----- Measuring

    // Width of a part of the display text, with tabs expanded from the
    // line's start.
    int Position(int lineStart, int to);
    int Width(int lineStart, int from, int to);
    int Width(int lineStart, int to) { return Width(lineStart, lineStart, to); }

    // ----- Breaking into lines

    void AddLine(int start, int end) { m_lines.append(TextLine{start, end - start, Width(start, end)}); }
    bool IsSpace(int i) const { return m_text[i] == QLatin1Char(' '); }

    // Each of CR, LF and CR LF ends a paragraph (a single line has none).
    void BreakLines();

    void BreakParagraph(int pos, int end);

    // Lays out the line of the paragraph [.., end) that starts at
    // lineStart; answers where the next line starts, -1 at the end.
    int NextLine(int lineStart, int end);

    // The index after the last space of the longest run of whole words
    // from lineStart that fits; -1 when not even the first word does.
    int FittingWords(int lineStart, int end);

    // The first word alone is too wide: it stays whole, or with
    // DT_EDITCONTROL it is broken between characters.
    int CutFirstWord(int lineStart, int end);

    // ----- DT_CALCRECT: the widest line (without ellipsis) and the lines' height

    int Extent();

    // ----- Placing and drawing

    int Draw();

    // Unless DT_NOCLIP, lines below the rectangle are not drawn, nor with
    // DT_EDITCONTROL a last line that would show only partly.
    bool LineShows(int y) const;

    void DrawLine(const TextLine& line, int y);

    // The longest prefix of the line that fits with "..." after it, in a
    // buffer kept between calls; answers its length.
    int Shorten(const TextLine& line, QStringView& shown, int& shownWidth);

    // With the OPAQUE background mode each line's cell is filled first.
    void FillCell(TRect cell, const TRect* clipRect);

    // The line's text; with tabs segment by segment at the tab positions.
    void DrawRuns(const TextLine& line, QStringView shown, int x, int y, int keep, const TRect* clipRect);

    // The underlined prefix characters of the line that are shown.
    void DrawUnderlines(const TextLine& line, int x, int y, int keep);

    static constexpr char16_t kEllipsis[] = u"...";

    TCanvas& m_canvas;
    TRect& m_r;
    const TextFormat m_f;
    const TTextMetric m_tm;
    const int m_maxWidth;
    int m_lineHeight = 0;
    int m_tabWidth = 1;
    QString m_text;
    std::vector<int> m_underlined;
    bool m_hasTabs = false;
    QVarLengthArray<TextLine, 8> m_lines;
    // Set when drawing.
    bool m_rotated = false;
    bool m_opaque = false;
    int m_ellipsisWidth = 0;
    size_t m_underlineIndex = 0;
};

TCanvas::TextLayout::TextLayout(TCanvas& canvas, const QString& input, TRect& r, unsigned format)
    : m_canvas(canvas), m_r(r), m_f(format), m_tm(canvas.CurrentTextMetrics()), m_maxWidth(r.Width())
{
    m_lineHeight = m_tm.tmHeight + (m_f.externalLeading ? m_tm.tmExternalLeading : 0);
    m_tabWidth = std::max(1, 8 * m_tm.tmAveCharWidth);
    m_text = DisplayText(input, m_f, m_underlined);
    m_hasTabs = m_f.expandTabs && m_text.contains(QLatin1Char('\t'));
    BreakLines();
}

int TCanvas::TextLayout::Position(int lineStart, int to)
{
    const QStringView text(m_text);
    if (!m_hasTabs) return m_canvas.CurrentTextWidth(text.mid(lineStart, to - lineStart));
    int x = 0;
    int segStart = lineStart;
    for (int j = lineStart; j < to; ++j) {
        if (text[j] != QLatin1Char('\t')) continue;
        x += m_canvas.CurrentTextWidth(text.mid(segStart, j - segStart));
        x = (x / m_tabWidth + 1) * m_tabWidth;
        segStart = j + 1;
    }
    return x + m_canvas.CurrentTextWidth(text.mid(segStart, to - segStart));
}

int TCanvas::TextLayout::Width(int lineStart, int from, int to)
{
    if (from == lineStart) return Position(lineStart, to);
    return Position(lineStart, to) - Position(lineStart, from);
}

void TCanvas::TextLayout::BreakLines()
{
    const int n = int(m_text.size());
    if (m_f.singleLine) {
        AddLine(0, n);
        return;
    }
    int pos = 0;
    while (true) {
        int end = pos;
        while (end < n && !IsBreakChar(m_text[end])) ++end;
        BreakParagraph(pos, end);
        if (end >= n) break;
        const bool crlf = m_text[end] == QLatin1Char('\r') && end + 1 < n && m_text[end + 1] == QLatin1Char('\n');
        pos = end + (crlf ? 2 : 1);
        if (pos > n) break;
    }
}

void TCanvas::TextLayout::BreakParagraph(int pos, int end)
{
    if (!m_f.wordBreak) {
        AddLine(pos, end);
        return;
    }
    for (int lineStart = pos; lineStart >= 0;) lineStart = NextLine(lineStart, end);
}

int TCanvas::TextLayout::NextLine(int lineStart, int end)
{
    if (Width(lineStart, end) <= m_maxWidth) {
        AddLine(lineStart, end);
        return -1;
    }
    const int breakAt = FittingWords(lineStart, end);
    if (breakAt >= end) {
        AddLine(lineStart, end);
        return -1;
    }
    if (breakAt <= lineStart) return CutFirstWord(lineStart, end);
    // Trailing spaces hang past the edge and do not count.
    int lineEnd = breakAt;
    while (lineEnd > lineStart && IsSpace(lineEnd - 1)) --lineEnd;
    AddLine(lineStart, lineEnd);
    return breakAt;
}

int TCanvas::TextLayout::FittingWords(int lineStart, int end)
{
    int breakAt = -1;
    int i = lineStart;
    while (i < end) {
        while (i < end && !IsSpace(i)) ++i;
        // The word ends at i; the line up to i must fit.
        if (Width(lineStart, i) > m_maxWidth) break;
        while (i < end && IsSpace(i)) ++i;
        breakAt = i;
    }
    return breakAt;
}

int TCanvas::TextLayout::CutFirstWord(int lineStart, int end)
{
    int wordEnd = lineStart;
    while (wordEnd < end && !IsSpace(wordEnd)) ++wordEnd;
    int cut = wordEnd;
    if (m_f.editControl) {
        cut = lineStart + 1;
        while (cut < wordEnd && Width(lineStart, cut + 1) <= m_maxWidth) ++cut;
    }
    int next = cut;
    while (next < end && IsSpace(next)) ++next;
    AddLine(lineStart, cut);
    return next >= end ? -1 : next;
}

int TCanvas::TextLayout::Extent()
{
    int widest = 0;
    for (const TextLine& line : m_lines) widest = std::max(widest, line.width);
    const int totalHeight = int(m_lines.size()) * m_lineHeight;
    m_r.Right = m_r.Left + widest;
    m_r.Bottom = m_r.Top + totalHeight;
    return totalHeight;
}

int TCanvas::TextLayout::Draw()
{
    // DT_VCENTER and DT_BOTTOM apply to single lines only.
    const bool placed = m_f.singleLine && (m_f.vcenter || m_f.bottom);
    int y = m_r.Top;
    if (m_f.singleLine && m_f.vcenter)
        y = (m_r.Top + m_r.Bottom - m_lineHeight) / 2;
    else if (m_f.singleLine && m_f.bottom)
        y = m_r.Bottom - m_lineHeight;
    const int result = placed ? y + m_lineHeight - m_r.Top : int(m_lines.size()) * m_lineHeight;
    m_rotated = m_canvas.m_font.Orientation() % 3600 != 0;
    m_opaque = m_canvas.Opaque();
    m_ellipsisWidth = m_f.ellipsis ? m_canvas.CurrentTextWidth(kEllipsis) : 0;
    for (const TextLine& line : m_lines) {
        if (!LineShows(y)) break;
        DrawLine(line, y);
        y += m_lineHeight;
    }
    return result;
}

bool TCanvas::TextLayout::LineShows(int y) const
{
    if (!m_f.clip) return true;
    if (y >= m_r.Bottom) return false;
    return !(m_f.editControl && !m_f.singleLine && y + m_lineHeight > m_r.Bottom && y > m_r.Top);
}

void TCanvas::TextLayout::DrawLine(const TextLine& line, int y)
{
    QStringView shown = QStringView(m_text).mid(line.start, line.length);
    int shownWidth = line.width;
    int keep = line.length; // characters of the line shown before the ellipsis
    if (m_f.ellipsis && line.width > m_maxWidth) keep = Shorten(line, shown, shownWidth);
    int x = m_r.Left;
    if (m_f.center)
        x = (m_r.Left + m_r.Right - shownWidth) / 2;
    else if (m_f.right)
        x = m_r.Right - shownWidth;
    // Rotated text turns about its start, away from the extent measured
    // here, so it is always clipped.
    const bool inside =
        !m_rotated && x >= m_r.Left && x + shownWidth <= m_r.Right && y >= m_r.Top && y + m_lineHeight <= m_r.Bottom;
    const TRect* clipRect = (m_f.clip && !inside) ? &m_r : nullptr;
    if (m_opaque && !shown.isEmpty()) FillCell(TRect(x, y, x + shownWidth, y + m_lineHeight), clipRect);
    DrawRuns(line, shown, x, y, keep, clipRect);
    DrawUnderlines(line, x, y, keep);
}

int TCanvas::TextLayout::Shorten(const TextLine& line, QStringView& shown, int& shownWidth)
{
    int lo = 0;
    int hi = line.length;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (Width(line.start, line.start + mid) + m_ellipsisWidth <= m_maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    QString& buffer = m_canvas.m_ellipsisLine;
    buffer.resize(0);
    buffer.append(shown.left(lo));
    buffer.append(QStringView(kEllipsis));
    shown = buffer;
    shownWidth = Width(line.start, line.start + lo) + m_ellipsisWidth;
    return lo;
}

void TCanvas::TextLayout::FillCell(TRect cell, const TRect* clipRect)
{
    if (clipRect) cell = cell.Intersected(*clipRect);
    if (!cell.IsEmpty()) m_canvas.FillSolid(cell, m_canvas.m_brush.Color());
}

void TCanvas::TextLayout::DrawRuns(const TextLine& line, QStringView shown, int x, int y, int keep,
                                   const TRect* clipRect)
{
    if (!m_hasTabs || !shown.contains(QLatin1Char('\t'))) {
        if (!shown.isEmpty()) m_canvas.TextRun(x, y, shown, false, clipRect);
        return;
    }
    int segStart = 0;
    for (int i = 0; i <= int(shown.size()); ++i) {
        if (i < int(shown.size()) && shown[i] != QLatin1Char('\t')) continue;
        if (i > segStart)
            m_canvas.TextRun(x + Width(line.start, line.start + std::min(segStart, keep)), y,
                             shown.mid(segStart, i - segStart), false, clipRect);
        segStart = i + 1;
    }
}

void TCanvas::TextLayout::DrawUnderlines(const TextLine& line, int x, int y, int keep)
{
    const std::vector<int>& underlined = m_underlined;
    while (m_underlineIndex < underlined.size() && underlined[m_underlineIndex] < line.start) ++m_underlineIndex;
    while (m_underlineIndex < underlined.size() && underlined[m_underlineIndex] < line.start + line.length) {
        const int pos = underlined[m_underlineIndex++];
        if (pos - line.start >= keep) continue;
        const int ux = x + Width(line.start, pos);
        const int uw = m_canvas.CurrentTextWidth(QStringView(m_text).mid(pos, 1));
        TRect u(ux, y + m_tm.tmAscent + 1, ux + uw, y + m_tm.tmAscent + 2);
        if (m_f.clip) u = u.Intersected(m_r);
        if (!u.IsEmpty()) m_canvas.FillSolid(u, m_canvas.m_font.Color());
    }
}

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
    return TextLayout(*this, input, r, format).Run();
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

// The classic controls of DrawFrameControl, from the state flags read once.
class TCanvas::FramePainter {
public:
    FramePainter(TCanvas& canvas, unsigned state);

    // DFC_BUTTON: a push button, radio button or check box.
    bool Button(TRect& rc);
    // DFC_SCROLL: a scroll arrow; false for a state of another kind.
    bool Scroll(TRect& rc);

private:
    // The pixels marked 'X' in rows, from (x0, y0), each in its colour.
    void Plot(const char* const* rows, int count, int x0, int y0, const std::function<TColor(int, int)>& color);
    void Plot(const char* const* rows, int count, int x0, int y0, TColor color);

    void PushButton(TRect& rc);

    // The face of a radio button or check box.
    TColor Face() const { return (m_pushed || m_inactive) ? clBtnFace : clWindow; }

    void RadioButton(const TRect& rc);

    // A check box (also three-state) in a square centred in the rectangle.
    void CheckBox(const TRect& rc, int side);

    // Row i of an arrow of that many rows, counted from its tip, whose
    // bounding box starts at (x0, y0): the rows shrink by one pixel at each
    // end towards the tip.
    TRect ArrowRow(int i, int rows, int x0, int y0) const;

    void ScrollArrow(const TRect& rc);

    TCanvas& m_canvas;
    const unsigned m_type;
    const bool m_flat;
    const bool m_mono;
    const bool m_pushed;
    const bool m_inactive;
    const bool m_checked;
    const bool m_adjust;
};

TCanvas::FramePainter::FramePainter(TCanvas& canvas, unsigned state)
    : m_canvas(canvas),
      m_type(state & 0x1F),
      m_flat(state & Win::DFCS_FLAT),
      m_mono(state & Win::DFCS_MONO),
      m_pushed(state & Win::DFCS_PUSHED),
      m_inactive(state & Win::DFCS_INACTIVE),
      m_checked(state & Win::DFCS_CHECKED),
      m_adjust(state & Win::DFCS_ADJUSTRECT)
{ }

bool TCanvas::FramePainter::Button(TRect& rc)
{
    if (m_type == Win::DFCS_BUTTONPUSH) {
        PushButton(rc);
        return true;
    }
    const int side = std::min(rc.Width(), rc.Height());
    if (side <= 0) return true;
    if (m_type == Win::DFCS_BUTTONRADIO || m_type == Win::DFCS_BUTTONRADIOIMAGE || m_type == Win::DFCS_BUTTONRADIOMASK)
        RadioButton(rc);
    else
        CheckBox(rc, side);
    return true;
}

bool TCanvas::FramePainter::Scroll(TRect& rc)
{
    if (m_type != Win::DFCS_SCROLLUP && m_type != Win::DFCS_SCROLLDOWN && m_type != Win::DFCS_SCROLLLEFT &&
        m_type != Win::DFCS_SCROLLRIGHT && m_type != Win::DFCS_SCROLLCOMBOBOX)
        return false;
    TRect r = rc;
    if (m_pushed)
        m_canvas.DrawEdge(r, Win::EDGE_RAISED, Win::BF_RECT | Win::BF_MIDDLE | Win::BF_FLAT | Win::BF_ADJUST);
    else
        m_canvas.DrawEdge(r, Win::EDGE_RAISED,
                          Win::BF_RECT | Win::BF_MIDDLE | Win::BF_ADJUST | (m_flat ? unsigned(Win::BF_FLAT) : 0u) |
                              (m_mono ? unsigned(Win::BF_MONO) : 0u));
    ScrollArrow(rc);
    if (m_adjust) rc = r;
    return true;
}

void TCanvas::FramePainter::Plot(const char* const* rows, int count, int x0, int y0,
                                 const std::function<TColor(int, int)>& color)
{
    for (int y = 0; y < count; ++y)
        for (int x = 0; rows[y][x]; ++x)
            if (rows[y][x] == 'X') m_canvas.FillSolid(TRect(x0 + x, y0 + y, x0 + x + 1, y0 + y + 1), color(x, y));
}

void TCanvas::FramePainter::Plot(const char* const* rows, int count, int x0, int y0, TColor color)
{
    Plot(rows, count, x0, y0, [color](int, int) { return color; });
}

void TCanvas::FramePainter::PushButton(TRect& rc)
{
    TRect r = rc;
    const unsigned edge = (m_pushed || m_checked) ? Win::EDGE_SUNKEN : Win::EDGE_RAISED;
    unsigned flags = Win::BF_RECT | Win::BF_SOFT | Win::BF_MIDDLE;
    if (m_flat) flags |= Win::BF_FLAT;
    if (m_mono) flags |= Win::BF_MONO;
    m_canvas.DrawEdge(r, edge, flags | Win::BF_ADJUST);
    if (m_adjust) rc = r;
}

void TCanvas::FramePainter::RadioButton(const TRect& rc)
{
    const int x0 = rc.Left + (rc.Width() - 12) / 2;
    const int y0 = rc.Top + (rc.Height() - 12) / 2;
    if (m_type == Win::DFCS_BUTTONRADIOMASK) {
        Plot(kRadioOuter, 12, x0, y0, clBlack);
        Plot(kRadioInner, 12, x0, y0, clBlack);
        Plot(kRadioFace, 12, x0, y0, clBlack);
        return;
    }
    const TColor face = Face();
    if (m_flat || m_mono) {
        Plot(kRadioOuter, 12, x0, y0, m_mono ? clWindowFrame : clBtnShadow);
        Plot(kRadioInner, 12, x0, y0, face);
    } else {
        Plot(kRadioOuter, 12, x0, y0, [](int x, int y) { return x + y < 11 ? clBtnShadow : clBtnHighlight; });
        Plot(kRadioInner, 12, x0, y0, [](int x, int y) { return x + y < 11 ? cl3DDkShadow : cl3DLight; });
    }
    Plot(kRadioFace, 12, x0, y0, face);
    if (m_checked) Plot(kRadioDot, 12, x0, y0, m_inactive ? clBtnShadow : clWindowText);
}

void TCanvas::FramePainter::CheckBox(const TRect& rc, int side)
{
    TRect box = Bounds(rc.Left + (rc.Width() - side) / 2, rc.Top + (rc.Height() - side) / 2, side, side);
    if (m_flat || m_mono) {
        DrawRing(m_canvas, box, Win::BF_RECT,
                 m_mono ? RingColors{clWindowFrame, clWindowFrame} : RingColors{clBtnShadow, clBtnShadow},
                 [this](const TRect& x, TColor c) { m_canvas.FillSolid(x, c); });
        box.Inflate(-1, -1);
    } else {
        m_canvas.DrawEdge(box, Win::EDGE_SUNKEN, Win::BF_RECT | Win::BF_ADJUST);
    }
    if (!box.IsEmpty()) m_canvas.FillSolid(box, Face());
    if (!m_checked) return;
    const TColor mark = (m_inactive || m_type == Win::DFCS_BUTTON3STATE) ? clBtnShadow : clWindowText;
    m_canvas.SaveClip();
    m_canvas.IntersectClipRect(box);
    Plot(kCheckMark, 7, box.Left + (box.Width() - 7) / 2, box.Top + (box.Height() - 7) / 2, mark);
    m_canvas.RestoreClip();
}

TRect TCanvas::FramePainter::ArrowRow(int i, int rows, int x0, int y0) const
{
    switch (m_type) {
    case Win::DFCS_SCROLLUP: return TRect(x0 + rows - 1 - i, y0 + i, x0 + rows + i, y0 + i + 1);
    case Win::DFCS_SCROLLLEFT: return TRect(x0 + i, y0 + rows - 1 - i, x0 + i + 1, y0 + rows + i);
    case Win::DFCS_SCROLLRIGHT: return TRect(x0 + rows - 1 - i, y0 + rows - 1 - i, x0 + rows - i, y0 + rows + i);
    default: // down and combo box
        return TRect(x0 + rows - 1 - i, y0 + rows - 1 - i, x0 + rows + i, y0 + rows - i);
    }
}

void TCanvas::FramePainter::ScrollArrow(const TRect& rc)
{
    const int side = std::min(rc.Width(), rc.Height());
    const int rows = std::max(1, (side - 4) / 3);
    const int base = 2 * rows - 1;
    const bool vertical =
        m_type == Win::DFCS_SCROLLUP || m_type == Win::DFCS_SCROLLDOWN || m_type == Win::DFCS_SCROLLCOMBOBOX;
    const int x0 = rc.Left + (rc.Width() - (vertical ? base : rows)) / 2 + (m_pushed ? 1 : 0);
    const int y0 = rc.Top + (rc.Height() - (vertical ? rows : base)) / 2 + (m_pushed ? 1 : 0);
    const auto arrow = [&](int dx, int dy, TColor color) {
        for (int i = 0; i < rows; ++i) {
            TRect seg = ArrowRow(i, rows, x0, y0);
            seg.Offset(dx, dy);
            m_canvas.FillSolid(seg, color);
        }
    };
    if (m_inactive) {
        arrow(1, 1, clBtnHighlight);
        arrow(0, 0, clBtnShadow);
    } else {
        arrow(0, 0, clBtnText);
    }
}

bool TCanvas::DrawFrameControl(TRect& rc, unsigned kind, unsigned state)
{
    FramePainter painter(*this, state);
    if (kind == Win::DFC_BUTTON) return painter.Button(rc);
    if (kind == Win::DFC_SCROLL) return painter.Scroll(rc);
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
