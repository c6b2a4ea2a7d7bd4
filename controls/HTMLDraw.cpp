#include "controls/HTMLDraw.h"

#include "controls/HTMLPictureAccess_p.h"
#include "controls/HTMLText.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Themes.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

// DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING
constexpr unsigned kTextFlags = 0x268;
constexpr int kListStep = 12;
constexpr int kMaxPoints = 1000;
// Sizes and offsets read from the text stay inside the coordinate range of
// the drawing interface, whatever the text says.
constexpr int kMaxExtent = 32767;

inline bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// The tag starts with prefix (any case) followed by ">", "/" or white space.
bool IsTag(QStringView tag, QStringView prefix)
{
    if (!tag.startsWith(prefix, Qt::CaseInsensitive)) return false;
    if (tag.size() == prefix.size()) return true;
    const QChar c = tag[prefix.size()];
    return c == u'>' || c == u'/' || IsBlank(c);
}

// The value of NAME="value": the name in any case, after white space and
// outside quoted values. found tells whether the attribute is there at all.
QStringView Attribute(QStringView tag, QStringView name, bool* found = nullptr)
{
    if (found) *found = false;
    bool quoted = false;
    const qsizetype n = tag.size();
    for (qsizetype i = 1; i < n; ++i) {
        const QChar c = tag[i];
        if (c == u'"') {
            quoted = !quoted;
            continue;
        }
        if (quoted || !IsBlank(tag[i - 1])) continue;
        if (!tag.mid(i).startsWith(name, Qt::CaseInsensitive)) continue;
        qsizetype j = i + name.size();
        while (j < n && IsBlank(tag[j])) ++j;
        if (j >= n || tag[j] != u'=') continue;
        ++j;
        while (j < n && IsBlank(tag[j])) ++j;
        if (found) *found = true;
        if (j >= n || tag[j] != u'"') return {};
        qsizetype k = tag.indexOf(u'"', j + 1);
        if (k < 0) k = tag.endsWith(u'>') ? n - 1 : n;
        return tag.mid(j + 1, k - j - 1);
    }
    return {};
}

// Text between the first two double quotes of the tag.
QStringView FirstQuoted(QStringView tag, qsizetype from = 0)
{
    const qsizetype a = tag.indexOf(u'"', from);
    if (a < 0) return {};
    qsizetype b = tag.indexOf(u'"', a + 1);
    if (b < 0) b = tag.endsWith(u'>') ? tag.size() - 1 : tag.size();
    return tag.mid(a + 1, b - a - 1);
}

// A number that does not parse reads as 0.
int Number(QStringView v, bool* ok = nullptr)
{
    bool good = false;
    const qlonglong n = v.trimmed().toLongLong(&good);
    if (ok) *ok = good;
    if (!good) return 0;
    return int(std::clamp<qlonglong>(n, -kMaxExtent, kMaxExtent));
}

TColor ParseColor(QStringView v)
{
    v = v.trimmed();
    if (v.startsWith(u'#')) return HexToColor(v);
    // Names are looked up in lower case.
    QVarLengthArray<char16_t, 32> lower;
    for (QChar ch : v) lower.append(ch.toLower().unicode());
    return TextToColor(QStringView(lower.constData(), lower.size()));
}

struct Line {
    int width = 0;
    int height = 0;
    int sub = 0;   // extra height below (subscript)
    int sup = 0;   // extra height above (superscript)
    int base = 0;  // base-line offset (IMG ALIGN)
    int align = 0; // 0 left, 1 right, 2 centre
    int indent = 0;
    bool anchorHit = false;
    bool objectHit = false;
};

// Tag state carried from line to line; each pass of a line starts from the
// state the same pass of the previous line left.
struct PassState {
    bool shadow = false;
    bool sub = false;
    bool sup = false;
    bool hidden = false;
    bool error = false;
    int listLevel = 0;
    int anchors = 0;
    int pictures = 0;
    bool anchorOpen = false;
    int anchorIndex = -1;
    int anchorStart = 0;
    bool mouseInAnchor = false;
    QStringView href;
    bool paraBg = false;
    bool focusOpen = false;
    TRect focus;
    QVarLengthArray<int, 4> rotations;
};

// What a tag or a piece of text does to the line: nothing more, ends it, or
// ends it before itself (it is met again on the next line).
enum class LineStep { Next, LineEnd, BreakBefore };

// Where the layout of a line stands while a pass interprets it.
struct Cursor {
    int x = 0;           // where the next piece or object goes
    int w = 0;           // used width
    bool liSeen = false; // a second LI breaks the line before itself
    // Whether the visible text laid out on the line so far ends in a space
    // (tags between words do not count; "&nbsp;" is no place to break).
    bool endsInSpace = false;
    bool hasText = false;
};

// The font and tag state one pass left at the end of a line.
struct PassEnd {
    TFont font;
    PassState state;
};

// Entities replaced, the first "<#" placeholder unwrapped, line ends as BR.
QString PrepareText(const QString& text)
{
    QString work = text;
    if (work.contains(u'&')) ReplaceEntities(work);
    return LineBreaksToBR(UnwrapHashTag(work), true);
}

class Renderer {
public:
    Renderer(TCanvas& canvas, const TRect& rect, const THTMLDrawOptions& o, THTMLDrawResults& r, QString& pieceBuffer,
             QString& runBuffer)
        : c(canvas), m_rect(rect), o(o), r(r), m_piece(pieceBuffer), m_runText(runBuffer)
    { }

    bool Run(const QString& text);
    void Restore();

private:
    // Saves what the call changes on the canvas and sets the call's state up.
    void Begin();
    // The measuring pass of the next line: takes the line's source off rest
    // and returns it, with the line's size, alignment and indent in ln.
    QStringView MeasureLine(QStringView& rest, int top, PassEnd& from, Line& ln);
    // Left edge of a measured line: its alignment in the working rectangle
    // plus its indent.
    int HorizontalStart(const Line& ln) const;
    // The second pass of a line, from the state the previous line's second
    // pass left: draws it, or hit-tests it without drawing. True when the
    // mouse is on an object, or on an anchor's text within the line's band.
    bool SecondPass(QStringView src, const TRect& lr, const Line& measured, PassEnd& from);
    qsizetype Core(bool draw, QStringView src, const TRect& lr, Line& ln);
    // Hit flags cleared; an open anchor and focus frame restart at the left
    // edge; a paragraph background fills the band first.
    void StartLine(bool draw, const TRect& lr, Line& ln);
    // One piece of text: measured, added to the stripped text, fitted on the
    // line, then drawn or hit-tested.
    LineStep Piece(bool draw, QStringView raw, const TRect& lr, Line& ln, Cursor& cur);
    // In a measuring pass: whether the mouse is on the piece of an anchor.
    void HitTestPiece(const TRect& pr, int x, int pw, Line& ln);
    // The line's width (less a trailing space) and the focus frame's part
    // on it.
    void EndLine(bool draw, bool endsInSpace, const TRect& lr, Line& ln, const Cursor& cur);
    LineStep Tag(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w, bool& liSeen);
    LineStep OpenTag(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w, bool& liSeen);
    LineStep CloseTag(bool draw, QStringView tag, const TRect& lr, const Line& ln, int x);
    void CloseFont(bool draw);
    void Highlight(bool draw);
    void Rule(const TRect& lr);
    void Indent(QStringView tag, const TRect& lr, int& x, int& w);
    void Rotate(QStringView tag);
    void OpenAnchor(bool draw, QStringView tag, const TRect& lr, const Line& ln, int x);
    void CloseAnchor(bool draw, const TRect& lr, const Line& ln, int x);
    void Body(bool draw, QStringView tag);
    void Font(bool draw, QStringView tag);
    void Paragraph(bool draw, QStringView tag, const TRect& lr, Line& ln);
    LineStep ListItem(bool draw, const TRect& lr, const Line& ln, int& x, int& w, bool& liSeen);
    LineStep Image(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w);
    LineStep Control(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w);
    void DrawControl(const TControlTag& t, int x, int b, int width, int height, bool hot, bool checked);
    void DrawPiece(const QString& piece, const TRect& pr, int pw);
    void FlushRun();
    void ZigZag(int left, int right, int bottom);
    void FillBand(int top, int height);

    const QString& Decode(QStringView raw);
    // Where the piece of text that starts at pos ends (see Core).
    qsizetype PieceEnd(QStringView src, qsizetype pos) const;
    int LineBottom(bool draw, const TRect& lr, const Line& ln) const
    {
        return draw ? lr.Bottom : lr.Top + ln.height + ln.sub + ln.sup;
    }
    TRect PieceRect(bool draw, const TRect& lr, const Line& ln, int x) const
    {
        int bottom = LineBottom(draw, lr, ln) - ln.sub;
        if (m_s.sup) bottom -= ln.sup;
        if (m_s.sub) bottom += ln.sub;
        bottom -= ln.base;
        return TRect(x, lr.Top, m_work.Right, bottom);
    }
    int TextExtent(const QString& piece, const TRect& pr)
    {
        TRect calc = pr;
        c.DrawText(piece, calc, m_flags | Win::DT_CALCRECT);
        return calc.Right - calc.Left;
    }
    void SetFontColor(TColor color) { c.Font().SetColor(color); }
    void AddStyle(TFontStyle s, bool on)
    {
        TFontStyles st = c.Font().Style();
        if (st.Contains(s) == on) return;
        c.Font().SetStyle(on ? st + s : st - s);
    }

    TCanvas& c;
    TRect m_rect;
    const THTMLDrawOptions& o;
    THTMLDrawResults& r;

    TRect m_work;
    unsigned m_flags = kTextFlags;
    TFont m_entryFont;
    TColor m_entryBrush = clNone;
    TPen m_entryPen;
    int m_entryBkMode = Win::TRANSPARENT;
    TColor m_bodyColor = clNone;
    TColor m_paraColor = clNone;
    TColor m_hiText = clNone;
    TColor m_hiBrush = clNone;
    TColor m_anchorBrush = clNone;
    TColor m_anchorText = clNone;
    bool m_themes = false;
    int m_mousePicture = -1;
    int m_gh = 0;
    bool m_firstPass = true;
    bool m_dropRest = false;
    bool m_hoverSet = false;
    int m_objectWidth = 0;
    int m_objectHeight = 0;
    PassState m_s;
    QString& m_piece;
    // Widths of the pieces the measuring pass laid out, in order: the second
    // pass meets the same pieces in the same fonts.
    QVarLengthArray<int, 32> m_widths;
    qsizetype m_widthIndex = 0;
    // Text drawn but not yet handed to the canvas (DrawPiece).
    bool m_run = false;
    TRect m_runRect;
    int m_runWidth = 0;
    QString& m_runText;
    HTMLPictureAccess m_pictures;
};

const QString& Renderer::Decode(QStringView raw)
{
    m_piece.resize(0);
    if (!raw.contains(u'&')) {
        m_piece.append(raw);
        return m_piece;
    }
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'&') {
            const QStringView rest = raw.mid(i);
            if (rest.startsWith(u"&nbsp;", Qt::CaseInsensitive)) {
                m_piece.append(u' ');
                i += 5;
                continue;
            }
            if (rest.startsWith(u"&lt;", Qt::CaseInsensitive)) {
                m_piece.append(u'<');
                i += 3;
                continue;
            }
            if (rest.startsWith(u"&gt;", Qt::CaseInsensitive)) {
                m_piece.append(u'>');
                i += 3;
                continue;
            }
        }
        m_piece.append(raw[i]);
    }
    return m_piece;
}

bool Renderer::Run(const QString& text)
{
    Begin();
    r.StripVal.reserve(text.size());
    const QString work = PrepareText(text);

    PassEnd measured{m_entryFont, {}};
    PassEnd drawn{m_entryFont, {}};
    bool result = false;
    int top = m_work.Top;
    QStringView rest(work);

    while (!rest.isEmpty()) {
        Line ln;
        const QStringView src = MeasureLine(rest, top, measured, ln);
        const int left = HorizontalStart(ln);
        const int bottom = top + ln.height + ln.sub + ln.sup;

        // The measuring pass ran at the working left edge and did not know
        // the line's final height.
        if (m_hoverSet) {
            r.HoverRect.Offset(left - m_work.Left, 0);
            r.HoverRect.Bottom = bottom;
        }
        if (!o.CheckHeight && SecondPass(src, TRect(left, top, m_work.Right, bottom), ln, drawn)) result = true;

        const int advance = ln.height + ln.sub + ln.sup;
        top += advance;
        r.YSize += advance;
        if (!o.CheckHeight && top + m_gh > m_rect.Bottom) break;
    }
    if (r.YSize == 0) {
        c.Font() = m_entryFont;
        r.YSize = c.TextMetrics().tmHeight;
    }
    Restore();
    return result;
}

void Renderer::Begin()
{
    m_entryFont = c.Font();
    m_entryBrush = c.Brush().Color();
    m_entryPen = c.Pen();
    m_entryBkMode = c.BkMode();
    c.Brush().SetColor(clNone);
    m_themes = o.Controls && IsWinXPOrLater() && ThemeLibraryLoaded() && IsThemeActive();
    c.SetBkMode(Win::TRANSPARENT);
    m_flags = kTextFlags | (o.WordWrap ? 0u : unsigned(Win::DT_END_ELLIPSIS));
    m_pictures.Reset(o.PictureCache, o.PictureContainer, o.Images);
    m_work = m_rect;
    m_work.Left += 1;
}

QStringView Renderer::MeasureLine(QStringView& rest, int top, PassEnd& from, Line& ln)
{
    if (!(c.Font() == from.font)) c.Font() = from.font;
    m_gh = c.TextMetrics().tmHeight; // the height of "gh"
    ln.height = m_gh;
    m_s = from.state;
    m_firstPass = true;
    m_widths.clear();
    m_widthIndex = 0;
    m_hoverSet = false;
    const qsizetype consumed = Core(false, rest, TRect(m_work.Left, top, m_work.Right, top + m_gh), ln);
    from.state = m_s;
    from.font = c.Font();
    const QStringView src = rest.left(consumed);
    rest = (m_dropRest || consumed == 0) ? QStringView() : rest.mid(consumed);
    return src;
}

int Renderer::HorizontalStart(const Line& ln) const
{
    int left = m_work.Left;
    if (ln.align == 1) {
        if (m_work.Right - ln.width > m_work.Left) left = m_work.Right - ln.width;
    } else if (ln.align == 2) {
        const int d = m_work.Right - m_work.Left - ln.width;
        if (d > 0) left = m_work.Left + d / 2;
    }
    return left + ln.indent;
}

bool Renderer::SecondPass(QStringView src, const TRect& lr, const Line& measured, PassEnd& from)
{
    if (!(c.Font() == from.font)) c.Font() = from.font;
    m_s = from.state;
    m_firstPass = false;
    Line ln = measured;
    Core(!o.CheckHotSpot, src, lr, ln);
    from.state = m_s;
    from.font = c.Font();
    if (ln.objectHit) return true;
    return ln.anchorHit && lr.Bottom - ln.base - m_gh < o.YPos && o.YPos < lr.Bottom - ln.base;
}

void Renderer::Restore()
{
    c.Font() = m_entryFont;
    c.Brush().SetColor(m_entryBrush);
    c.Pen() = m_entryPen;
    c.SetBkMode(m_entryBkMode);
}

void Renderer::FillBand(int top, int height)
{
    const TColor color = c.Brush().Color();
    if (color == clNone) return;
    c.Pen().SetColor(color);
    c.Rectangle(TRect(m_rect.Left, top, m_rect.Right, top + height));
}

// One line of one pass: text pieces and tags in turn until the line ends;
// returns how much of src the line took.
qsizetype Renderer::Core(bool draw, QStringView src, const TRect& lr, Line& ln)
{
    StartLine(draw, lr, ln);
    Cursor cur;
    cur.x = lr.Left;
    bool lineEnd = false;
    qsizetype pos = 0;
    const qsizetype n = src.size();
    while (pos < n && !lineEnd) {
        if (src[pos] == u'<') {
            // A "<" followed by at most one character, or a tag without its
            // ">", ends the text.
            const qsizetype gt = n - pos <= 2 ? -1 : src.indexOf(u'>', pos);
            if (gt < 0) {
                pos = n;
                break;
            }
            if (draw) FlushRun();
            const LineStep step = Tag(draw, src.mid(pos, gt - pos + 1), lr, ln, cur.x, cur.w, cur.liSeen);
            if (step == LineStep::BreakBefore) break;
            pos = gt + 1;
            if (step == LineStep::LineEnd) lineEnd = true;
            continue;
        }
        // A piece runs up to the next tag; with WordWrap up to and including
        // the next space when that comes first. The search ends with the
        // piece, so a long text costs time in step with its length.
        const qsizetype end = PieceEnd(src, pos);
        const LineStep step = Piece(draw, src.mid(pos, end - pos), lr, ln, cur);
        if (step == LineStep::BreakBefore) break;
        if (step == LineStep::LineEnd) lineEnd = true;
        pos = end;
    }
    EndLine(draw, pos > 0 && src[pos - 1] == u' ', lr, ln, cur);
    return pos;
}

qsizetype Renderer::PieceEnd(QStringView src, qsizetype pos) const
{
    const char16_t* p = src.utf16();
    const qsizetype n = src.size();
    if (!o.WordWrap) {
        const qsizetype lt = QStringView(p + pos, n - pos).indexOf(u'<');
        return lt < 0 ? n : pos + lt;
    }
    for (qsizetype i = pos; i < n; ++i) {
        if (p[i] == u'<') return i;
        if (p[i] == u' ') return i + 1;
    }
    return n;
}

void Renderer::StartLine(bool draw, const TRect& lr, Line& ln)
{
    ln.anchorHit = ln.objectHit = false;
    if (m_s.anchorOpen) m_s.anchorStart = lr.Left;
    if (m_s.focusOpen) m_s.focus = TRect(lr.Left + 1, lr.Top, lr.Left + 1, lr.Top);
    if (m_s.paraBg && draw) FillBand(lr.Top, ln.height);
}

LineStep Renderer::Piece(bool draw, QStringView raw, const TRect& lr, Line& ln, Cursor& cur)
{
    const QString& piece = Decode(raw);
    const int h = c.TextMetrics().tmHeight;
    if (m_s.sub) ln.sub = std::max(ln.sub, h / 4);
    if (m_s.sup) ln.sup = std::max(ln.sup, h / 4);
    ln.height = std::max(ln.height, h);

    if (m_s.hidden) { // stripped, not laid out
        if (m_firstPass) r.StripVal += piece;
        return LineStep::Next;
    }

    const TRect pr = PieceRect(draw, lr, ln, cur.x);
    int pw;
    if (!m_firstPass && m_widthIndex < m_widths.size())
        pw = m_widths[m_widthIndex++];
    else
        pw = TextExtent(piece, pr);

    // Fitting: a piece wider than the line, or one that continues a word
    // split by tags, stays on the line.
    LineStep step = LineStep::Next;
    const int lineWidth = m_work.Width();
    cur.w += pw;
    if (!(cur.w <= lineWidth || pw > lineWidth || !cur.endsInSpace)) {
        if (o.WordWrap) {
            cur.w -= pw;
            return LineStep::BreakBefore; // the piece goes to the next line
        }
        // Without WordWrap the piece stays, clipped with an ellipsis, and
        // nothing after it is shown.
        if (!draw && m_firstPass && cur.hasText) {
            m_dropRest = true;
            step = LineStep::LineEnd;
        }
    }
    cur.endsInSpace = raw.back() == u' ';
    cur.hasText = true;

    if (m_firstPass) {
        r.StripVal += piece;
        m_widths.push_back(pw);
    }
    if (draw)
        DrawPiece(piece, pr, pw);
    else
        HitTestPiece(pr, cur.x, pw, ln);
    cur.x += pw;
    return step;
}

void Renderer::HitTestPiece(const TRect& pr, int x, int pw, Line& ln)
{
    if (!(o.XPos >= x && o.XPos < x + pw && m_s.anchorOpen)) return;
    ln.anchorHit = true;
    if (o.YPos >= pr.Top) {
        r.AnchorVal = m_s.href.toString();
        m_s.mouseInAnchor = true;
    }
}

void Renderer::EndLine(bool draw, bool endsInSpace, const TRect& lr, Line& ln, const Cursor& cur)
{
    if (draw) FlushRun();
    int w = cur.w;
    if (endsInSpace) w -= c.TextWidth(QStringLiteral(" "));
    ln.width = w;
    r.XSize = std::max(r.XSize, w);

    // An anchor with the focus frames what it holds on this line and goes on
    // at the next line's left edge.
    if (m_s.focusOpen) {
        m_s.focus.Right = cur.x;
        m_s.focus.Bottom = LineBottom(draw, lr, ln);
        if (draw) c.DrawFocusRect(m_s.focus.Inflated(1, 0));
    }
}

void Renderer::DrawPiece(const QString& piece, const TRect& pr, int pw)
{
    if (m_s.anchorOpen && m_s.anchorIndex == o.FocusLink) r.FocusAnchor = m_s.href.toString();
    if (!m_s.shadow && !m_s.error && !piece.contains(u'\t')) {
        // Pieces that follow each other in the same state are drawn as one
        // run: the same pixels with one text call instead of one per word.
        if (m_run && m_runRect.Top == pr.Top && m_runRect.Bottom == pr.Bottom &&
            m_runRect.Left + m_runWidth == pr.Left) {
            m_runText.append(piece);
            m_runWidth += pw;
            return;
        }
        FlushRun();
        m_run = true;
        m_runRect = pr;
        m_runWidth = pw;
        m_runText.resize(0);
        m_runText.append(piece);
        return;
    }
    FlushRun();
    const TColor color = c.Font().Color();
    if (color != clNone) {
        if (m_s.shadow) {
            SetFontColor(o.ShadowColor);
            TRect sr = pr.Offsetted(o.ShadowOffset, o.ShadowOffset);
            c.DrawText(piece, sr, m_flags);
            SetFontColor(color);
        }
        TRect dr = pr;
        c.DrawText(piece, dr, m_flags);
    }
    if (m_s.error) ZigZag(pr.Left, pr.Left + pw, pr.Bottom);
}

void Renderer::FlushRun()
{
    if (!m_run) return;
    m_run = false;
    if (c.Font().Color() == clNone) return;
    TRect dr = m_runRect;
    c.DrawText(m_runText, dr, m_flags);
}

void Renderer::ZigZag(int left, int right, int bottom)
{
    const TPen saved = c.Pen();
    c.Pen().SetColor(clRed);
    c.Pen().SetWidth(1);
    c.Pen().SetStyle(TPenStyle::psSolid);
    int x = left - (((left % 2) + 2) % 2); // rounded down to an even number
    bool low = ((x % 4) + 4) % 4 == 0;
    c.MoveTo(x, low ? bottom + 1 : bottom - 1);
    for (x += 2; x <= right; x += 2) {
        low = !low;
        c.LineTo(x, low ? bottom + 1 : bottom - 1);
    }
    c.Pen() = saved;
}

// A tag is dispatched on its first letter, that of a closing tag on the
// letter after the "/"; a letter without an entry, or a tag that its letter's
// entries do not name, has no effect.
LineStep Renderer::Tag(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w, bool& liSeen)
{
    const bool closing = tag.size() >= 4 && tag[1] == u'/';
    if (closing) return CloseTag(draw, tag, lr, ln, x);
    return OpenTag(draw, tag, lr, ln, x, w, liSeen);
}

LineStep Renderer::OpenTag(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w, bool& liSeen)
{
    switch (tag[1].toUpper().unicode()) {
    case 'A':
        // Anchor: opens a link, underlined and in the link colours.
        if (IsTag(tag, u"<A")) OpenAnchor(draw, tag, lr, ln, x);
        break;
    case 'B':
        // Line break (a carriage return in the stripped text), the body's
        // background, blinking text, bold.
        if (IsTag(tag, u"<BR")) {
            if (m_firstPass) r.StripVal += u'\r';
            return LineStep::LineEnd;
        }
        if (IsTag(tag, u"<BODY"))
            Body(draw, tag);
        else if (IsTag(tag, u"<BLINK")) {
            if (!o.Blink) SetFontColor(m_entryBrush);
        } else if (IsTag(tag, u"<B"))
            AddStyle(TFontStyle::fsBold, true);
        break;
    case 'C':
        // Embedded control: laid out, drawn and hit-tested as an object.
        if (IsTag(tag, u"<CONTROL") && o.Controls) return Control(draw, tag, lr, ln, x, w);
        break;
    case 'E':
        // Error mark: a red zig-zag under the text.
        if (IsTag(tag, u"<E")) m_s.error = true;
        break;
    case 'F':
        // Font face, size, colour and background.
        if (IsTag(tag, u"<FONT")) Font(draw, tag);
        break;
    case 'H':
        // Highlighted text, or a horizontal rule that ends the line.
        if (IsTag(tag, u"<HI")) {
            Highlight(draw);
        } else if (IsTag(tag, u"<HR")) {
            if (draw) Rule(lr);
            return LineStep::LineEnd;
        }
        break;
    case 'I':
        // Picture, indent to a position, italic.
        if (IsTag(tag, u"<IMG")) return Image(draw, tag, lr, ln, x, w);
        if (IsTag(tag, u"<IND"))
            Indent(tag, lr, x, w);
        else if (IsTag(tag, u"<I"))
            AddStyle(TFontStyle::fsItalic, true);
        break;
    case 'L':
        // List item: bullet at the list's indent, one item per line.
        if (IsTag(tag, u"<LI")) return ListItem(draw, lr, ln, x, w, liSeen);
        break;
    case 'P':
        // Paragraph: alignment, indent and background of its lines.
        if (IsTag(tag, u"<P")) Paragraph(draw, tag, lr, ln);
        break;
    case 'R':
        // Rotated text.
        if (IsTag(tag, u"<R")) Rotate(tag);
        break;
    case 'S':
        // Subscript, superscript, shadow, strike-out.
        if (tag.size() == 5 && tag.compare(u"<SUB>", Qt::CaseInsensitive) == 0)
            m_s.sub = true;
        else if (tag.size() == 5 && tag.compare(u"<SUP>", Qt::CaseInsensitive) == 0)
            m_s.sup = true;
        else if (IsTag(tag, u"<SH"))
            m_s.shadow = true;
        else if (IsTag(tag, u"<S"))
            AddStyle(TFontStyle::fsStrikeOut, true);
        break;
    case 'U':
        // List level, underline.
        if (IsTag(tag, u"<UL"))
            ++m_s.listLevel;
        else if (IsTag(tag, u"<U"))
            AddStyle(TFontStyle::fsUnderline, true);
        break;
    case 'Z':
        // Hidden text: stripped but not laid out.
        if (IsTag(tag, u"<Z")) m_s.hidden = true;
        break;
    default: break;
    }
    return LineStep::Next;
}

// Closing tags bring back what their opening tag changed: the colours it
// saved, or the entry font's.
LineStep Renderer::CloseTag(bool draw, QStringView tag, const TRect& lr, const Line& ln, int x)
{
    switch (tag[2].toUpper().unicode()) {
    case 'A':
        // Anchor end: the hover rectangle and the focus frame close here.
        CloseAnchor(draw, lr, ln, x);
        break;
    case 'B':
        // Bold; any other B tag (the end of blinking) brings back the text colour.
        if (IsTag(tag, u"</B"))
            AddStyle(TFontStyle::fsBold, false);
        else
            SetFontColor(m_entryFont.Color());
        break;
    case 'E': m_s.error = false; break;
    case 'F':
        if (IsTag(tag, u"</FONT")) CloseFont(draw);
        break;
    case 'H':
        if (IsTag(tag, u"</HI") && draw) {
            SetFontColor(m_hiText);
            c.Brush().SetColor(m_hiBrush);
        }
        break;
    case 'I': AddStyle(TFontStyle::fsItalic, false); break;
    case 'P':
        // Paragraph end: its background stops and the line ends.
        if (draw) c.Brush().SetColor(m_paraColor);
        m_s.paraBg = false;
        return LineStep::LineEnd;
    case 'R':
        // Rotation back to the angle before the matching R.
        if (!m_s.rotations.isEmpty()) {
            c.Font().SetOrientation(m_s.rotations.back());
            m_s.rotations.pop_back();
        }
        break;
    case 'S':
        // Subscript and superscript, shadow, strike-out.
        if (tag.startsWith(u"</SU", Qt::CaseInsensitive))
            m_s.sub = m_s.sup = false;
        else if (IsTag(tag, u"</SH"))
            m_s.shadow = false;
        else if (IsTag(tag, u"</S"))
            AddStyle(TFontStyle::fsStrikeOut, false);
        break;
    case 'U':
        // List level (never below 0), underline.
        if (IsTag(tag, u"</UL")) {
            if (m_s.listLevel > 0) --m_s.listLevel;
        } else if (IsTag(tag, u"</U")) {
            AddStyle(TFontStyle::fsUnderline, false);
        }
        break;
    case 'Z': m_s.hidden = false; break;
    default: break;
    }
    return LineStep::Next;
}

void Renderer::CloseFont(bool draw)
{
    TFont& font = c.Font();
    if (font.Name() != m_entryFont.Name()) font.SetName(m_entryFont.Name());
    if (font.Size() != m_entryFont.Size()) font.SetSize(m_entryFont.Size());
    if (draw && !o.Selected) {
        SetFontColor(m_entryFont.Color());
        c.Brush().SetColor(m_bodyColor);
    }
}

void Renderer::Highlight(bool draw)
{
    if (!draw) return;
    m_hiText = c.Font().Color();
    m_hiBrush = c.Brush().Color();
    c.Brush().SetColor(clHighlight);
    SetFontColor(clHighlightText);
}

void Renderer::Rule(const TRect& lr)
{
    const TPen saved = c.Pen();
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(1);
    c.MoveTo(lr.Left, lr.Bottom + 1);
    c.LineTo(m_work.Right, lr.Bottom + 1);
    c.Pen() = saved;
}

// IND X="n": the line goes on at n pixels from its left edge, unless it is
// already past it.
void Renderer::Indent(QStringView tag, const TRect& lr, int& x, int& w)
{
    bool found = false;
    const int n = Number(Attribute(tag, u"X", &found));
    if (found && w < n) {
        w = n;
        x = lr.Left + n;
    }
}

// R A="degrees": the text turns by the angle quoted after the tag's first A;
// the angle in force before is kept for the matching /R.
void Renderer::Rotate(QStringView tag)
{
    TFont& font = c.Font();
    qsizetype a = -1;
    for (qsizetype i = 2; i < tag.size(); ++i)
        if (tag[i] == u'a' || tag[i] == u'A') {
            a = i;
            break;
        }
    const int angle = a < 0 ? 0 : Number(FirstQuoted(tag, a + 2)) % 3600;
    m_s.rotations.push_back(font.Orientation());
    font.SetOrientation(angle * 10);
}

void Renderer::OpenAnchor(bool draw, QStringView tag, const TRect& lr, const Line& ln, int x)
{
    if (o.FocusLink == m_s.anchors) {
        m_s.focusOpen = true;
        m_s.focus = TRect(x, lr.Top, x, LineBottom(draw, lr, ln));
    }
    ++m_s.anchors;
    r.HyperLinks = std::max(r.HyperLinks, m_s.anchors);
    m_s.anchorIndex = m_s.anchors - 1;
    const bool hovered = o.HoverLink == m_s.anchors;
    if (draw) {
        if (!o.HoverStyle || hovered) {
            AddStyle(TFontStyle::fsUnderline, true);
            if (o.HoverColor != clNone) {
                m_anchorBrush = c.Brush().Color();
                c.Brush().SetColor(o.HoverColor);
            }
            if (o.HoverFontColor != clNone) {
                m_anchorText = c.Font().Color();
                SetFontColor(o.HoverFontColor);
            }
        }
        if (!o.Selected && !(o.HoverStyle && hovered && o.HoverFontColor != clNone)) SetFontColor(o.URLColor);
    }
    m_s.href = FirstQuoted(tag);
    m_s.anchorOpen = true;
    m_s.anchorStart = x;
    m_s.mouseInAnchor = false;
}

void Renderer::CloseAnchor(bool draw, const TRect& lr, const Line& ln, int x)
{
    if (draw) {
        if (!o.HoverStyle || o.HoverLink == m_s.anchors) {
            AddStyle(TFontStyle::fsUnderline, false);
            // Only an open anchor saved the colours it would bring back.
            if (m_s.anchorOpen && o.HoverColor != clNone) c.Brush().SetColor(m_anchorBrush);
            if (m_s.anchorOpen && o.HoverFontColor != clNone) SetFontColor(m_anchorText);
        }
        if (!o.Selected) SetFontColor(m_entryFont.Color());
    }
    if (!m_s.anchorOpen) return;
    m_s.anchorOpen = false;
    if (m_s.mouseInAnchor) {
        r.MouseLink = m_s.anchors;
        r.HoverRect = TRect(m_s.anchorStart, lr.Top, x, LineBottom(draw, lr, ln));
        m_hoverSet = m_firstPass;
        m_s.mouseInAnchor = false;
    }
    if (m_s.focusOpen && m_s.anchorIndex == o.FocusLink) {
        m_s.focus.Right = x;
        m_s.focus.Bottom = LineBottom(draw, lr, ln);
        if (draw) c.DrawFocusRect(m_s.focus.Inflated(1, 0));
        m_s.focusOpen = false;
    }
}

void Renderer::Body(bool draw, QStringView tag)
{
    if (!draw) return;
    bool found = false;
    const QStringView background = Attribute(tag, u"BACKGROUND", &found);
    if (found) {
        if (const TGraphic* pic = m_pictures.Picture(background.toString()))
            if (!pic->Empty() && pic->Width() > 0 && pic->Height() > 0) c.TileDraw(m_rect, *pic);
    }
    const QStringView bg = Attribute(tag, u"BGCOLOR", &found);
    if (found) {
        const TColor color = ParseColor(bg);
        c.Brush().SetColor(color);
        m_bodyColor = color;
        c.Pen().SetColor(color);
        c.Rectangle(m_rect);
    }
}

void Renderer::Font(bool draw, QStringView tag)
{
    TFont& font = c.Font();
    bool found = false;
    const QStringView face = Attribute(tag, u"FACE", &found);
    if (found && !face.isEmpty()) font.SetName(face.toString());
    const QStringView color = Attribute(tag, u"COLOR", &found);
    if (found && !o.Selected) SetFontColor(ParseColor(color));
    const QStringView bg = Attribute(tag, u"BGCOLOR", &found);
    if (found && draw && !o.Selected) {
        m_bodyColor = c.Brush().Color();
        c.Brush().SetColor(ParseColor(bg));
    }
    const QStringView size = Attribute(tag, u"SIZE", &found);
    if (found) {
        static constexpr int kSizes[] = {8, 10, 12, 14, 16};
        const int n = Number(size);
        // Sizes below 1 are ignored and large ones kept within reason: the
        // text may come from the server.
        if (n >= 1 && n <= 5)
            font.SetSize(kSizes[n - 1]);
        else if (n > 5)
            font.SetSize(std::min(n, kMaxPoints));
    }
}

void Renderer::Paragraph(bool draw, QStringView tag, const TRect& lr, Line& ln)
{
    bool found = false;
    const QString align = Attribute(tag, u"ALIGN", &found).toString().toUpper();
    if (found) {
        if (align.contains(u"RIGHT"))
            ln.align = 1;
        else if (align.contains(u"LEFT"))
            ln.align = 0;
        else if (align.contains(u"CENTER"))
            ln.align = 2;
    }
    const QStringView indent = Attribute(tag, u"INDENT", &found);
    if (found) ln.indent = Number(indent);
    const QStringView bg = Attribute(tag, u"BGCOLOR", &found);
    if (found) {
        m_s.paraBg = true;
        if (draw) {
            m_paraColor = c.Brush().Color();
            c.Brush().SetColor(ParseColor(bg));
            FillBand(lr.Top, ln.height);
        }
    }
}

LineStep Renderer::ListItem(bool draw, const TRect& lr, const Line& ln, int& x, int& w, bool& liSeen)
{
    if (liSeen) return LineStep::BreakBefore;
    liSeen = true;
    // An item outside any list is laid out as one of the first level; the
    // indent stays within the coordinate range however deep the nesting.
    const int level = std::clamp(m_s.listLevel, 1, kMaxExtent / kListStep / 2);
    w += level * kListStep;
    x += (level - 1) * kListStep;
    if (draw) {
        TFont& font = c.Font();
        const QString name = font.Name();
        font.SetName(QStringLiteral("Symbol"));
        const QString bullet = (level % 2 == 1) ? QStringLiteral("\u2022") : QStringLiteral("o");
        TRect br = PieceRect(true, lr, ln, x);
        if (font.Color() != clNone) c.DrawText(bullet, br, m_flags);
        font.SetName(name);
    }
    x += kListStep;
    return LineStep::Next;
}

LineStep Renderer::Image(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w)
{
    const QString src = Attribute(tag, u"SRC").toString();
    const TPictureRef pic = m_pictures.Resolve(src, c, o.Print, o.ResFactor);
    ++m_s.pictures;
    const int index = m_s.pictures;
    int pw = pic.width;
    int ph = pic.height;
    if (pic.graphic) {
        const int width = Number(Attribute(tag, u"WIDTH"));
        const int height = Number(Attribute(tag, u"HEIGHT"));
        if (width > 0 && height > 0) {
            pw = MulDiv(width, c.PixelsPerInchX(), 96);
            ph = MulDiv(height, c.PixelsPerInchY(), 96);
        }
    }
    if (pw <= 0 || ph <= 0) return LineStep::Next; // a missing or empty picture takes no room

    const int lineWidth = m_work.Width();
    if (w + pw > lineWidth && pw <= lineWidth) {
        --m_s.pictures; // met again on the next line
        return LineStep::BreakBefore;
    }

    // Hit-tested where it is drawn: only the second pass knows the line's
    // height and place.
    const int pb = LineBottom(draw, lr, ln) - ln.sub;
    const TRect box(x, pb - ph, x + pw, pb);
    if (!m_firstPass && m_s.anchorOpen && box.Contains(o.XPos, o.YPos)) {
        ln.objectHit = true;
        r.AnchorVal = m_s.href.toString();
        m_mousePicture = index;
    }
    if (draw) {
        TPictureRef shown = pic;
        if (index == m_mousePicture) {
            const QString alt = Attribute(tag, u"ALT").toString();
            if (!alt.isEmpty()) {
                const TPictureRef a = m_pictures.Resolve(alt, c, o.Print, o.ResFactor);
                if (a.width > 0 && a.height > 0) shown = a;
            }
        }
        m_pictures.Draw(shown, c, box, m_entryBrush, o.Print, o.ResFactor);
    }
    w += pw;
    x += pw;
    ln.height = std::max(ln.height, ph);
    m_objectWidth = pw;
    m_objectHeight = ph;
    const QString align = Attribute(tag, u"ALIGN").toString().toUpper();
    if (align.startsWith(u"TOP"))
        ln.base = ln.height - m_gh;
    else if (align.startsWith(u"MIDDLE"))
        ln.base = (ln.height - m_gh) / 2;
    return LineStep::Next;
}

LineStep Renderer::Control(bool draw, QStringView tag, const TRect& lr, Line& ln, int& x, int& w)
{
    const qsizetype inner = 8; // after "<CONTROL"
    const TControlTag t = ParseControlTag(tag.mid(inner, tag.size() - inner - 1));
    bool ok = false;
    int cw = Number(t.Width, &ok);
    if (!ok) return LineStep::Next;
    int ch = m_gh + 6;
    if (t.Type == u"BUTTON")
        ch = 24;
    else if (t.Type == u"COMBO")
        ch = 25;
    else if (t.Type == u"CHECK" || t.Type == u"RADIO")
        cw = ch = 16;
    if (cw <= 0) return LineStep::Next;

    const int lineWidth = m_work.Width();
    if (w + cw > lineWidth && cw <= lineWidth) return LineStep::BreakBefore;

    const int b = LineBottom(draw, lr, ln);
    const bool hot = x - 2 < o.XPos && o.XPos < x + cw - 2 && b - ch - 2 < o.YPos && o.YPos < b - 2;
    // Hit-tested where it is drawn (against the line's bottom), in the
    // second pass, which knows the line's height and place.
    if (!m_firstPass && x < o.XPos && o.XPos < x + cw && b - ch < o.YPos && o.YPos < b) {
        ln.objectHit = true;
        r.AnchorVal = QStringLiteral("ctrl");
        r.ControlRect = TRect(x, b - ch, x + cw, b);
        r.CV = t.Value;
        r.CID = t.ID;
        r.CT = t.Type;
    }
    if (draw) DrawControl(t, x, b, cw, ch, hot, t.Value.compare(u"TRUE", Qt::CaseInsensitive) == 0);
    w += cw;
    x += cw;
    ln.height = std::max(ln.height, ch);
    m_objectWidth = cw;
    m_objectHeight = ch;
    return LineStep::Next;
}

void Renderer::DrawControl(const TControlTag& t, int x, int b, int width, int h, bool hot, bool checked)
{
    const TPen savedPen = c.Pen();
    const TColor savedBrush = c.Brush().Color();
    c.Pen().SetColor(clGray);
    c.Pen().SetWidth(1);
    c.Brush().SetColor(clNone);

    auto themed = [&](const char* cls, int part, int state, const TRect& r) {
        HTHEME theme = OpenThemeData(o.Window, QString::fromLatin1(cls));
        const bool done = theme && DrawThemeBackground(theme, c, part, state, r);
        CloseThemeData(theme);
        return done;
    };

    if (t.Type == u"EDIT" || t.Type == u"COMBO") {
        c.Rectangle(TRect(x, b - h + 3, x + width, b + 1));
        const bool combo = t.Type == u"COMBO";
        TRect vr = combo ? TRect(x + 2, b - h + 6, x + width - 17, b) : TRect(x + 2, b - h + 4, x + width, b);
        if (c.Font().Color() != clNone)
            c.DrawText(t.Value, vr, Win::DT_LEFT | Win::DT_TOP | Win::DT_SINGLELINE | Win::DT_NOPREFIX);
        if (combo) {
            TRect br(x + width - 19, b - h + 6, x + width - 3, b - 2);
            if (!(m_themes && themed("combobox", Win::CP_DROPDOWNBUTTON, hot ? Win::CBXS_HOT : Win::CBXS_NORMAL, br)))
                c.DrawFrameControl(br, Win::DFC_SCROLL, Win::DFCS_SCROLLCOMBOBOX);
        }
    } else if (t.Type == u"CHECK") {
        TRect cr(x + 2, b - 15, x + 15, b);
        if (!(m_themes &&
              themed("button", Win::BP_CHECKBOX, checked ? Win::CBS_CHECKEDNORMAL : Win::CBS_UNCHECKEDNORMAL, cr)))
            c.DrawFrameControl(cr, Win::DFC_BUTTON, checked ? 0x4400u : 0x4000u);
    } else if (t.Type == u"RADIO") {
        TRect rr(x + 2, b - 14, x + 14, b);
        const int state = (checked ? 4 : 0) + (hot ? (o.Down ? 3 : 2) : 1);
        if (!(m_themes && themed("button", Win::BP_RADIOBUTTON, state, rr)))
            c.DrawFrameControl(rr, Win::DFC_BUTTON, checked ? 0x4404u : 0x4004u);
    } else if (t.Type == u"BUTTON") {
        TRect br(x + 2, b - 20, x + width - 2, b);
        const int state = hot ? (o.Down ? Win::PBS_PRESSED : Win::PBS_HOT) : Win::PBS_NORMAL;
        if (!(m_themes && themed("button", Win::BP_PUSHBUTTON, state, br))) {
            TRect fr = br;
            c.DrawFrameControl(fr, Win::DFC_BUTTON, (hot && o.Down) ? 0x210u : 0x10u);
        }
        TRect tr = br.Inflated(-2, -2);
        if (c.Font().Color() != clNone) c.DrawText(t.Value, tr, Win::DT_CENTER | Win::DT_SINGLELINE | Win::DT_NOPREFIX);
    }
    c.Pen() = savedPen;
    c.Brush().SetColor(savedBrush);
}

} // namespace

bool HTMLDraw(TCanvas& canvas, const QString& text, const TRect& rect, const THTMLDrawOptions& options,
              THTMLDrawResults& results)
{
    results = THTMLDrawResults();
    // Text buffers kept from call to call (the renderer runs on the
    // user-interface thread; a nested call takes its own).
    static thread_local int depth = 0;
    static thread_local QString pieceBuffer;
    static thread_local QString runBuffer;
    QString ownPiece;
    QString ownRun;
    const bool nested = depth > 0;
    ++depth;
    struct DepthGuard {
        int& d;
        ~DepthGuard() { --d; }
    } guard{depth};
    Renderer renderer(canvas, rect, options, results, nested ? ownPiece : pieceBuffer, nested ? ownRun : runBuffer);
    try {
        return renderer.Run(text);
    } catch (...) {
        // The renderer never raises: whatever failed underneath leaves the
        // canvas as it was given.
        try {
            renderer.Restore();
        } catch (...) { }
        return false;
    }
}

bool HTMLDrawEx(TCanvas* Canvas, const QString& Text, const TRect& Rect, const TImageList* Images, int XPos, int YPos,
                int FocusLink, int HoverLink, int ShadowOffset, bool CheckHotSpot, bool CheckHeight, bool Print,
                bool Selected, bool Blink, bool HoverStyle, bool WordWrap, bool Down, double ResFactor, TColor URLColor,
                TColor HoverColor, TColor HoverFontColor, TColor ShadowColor, QString& AnchorVal, QString& StripVal,
                QString& FocusAnchor, int& XSize, int& YSize, int& HyperLinks, int& MouseLink, TRect& HoverRect,
                TRect& ControlRect, QString& CID, QString& CV, QString& CT, THTMLPictureCache* PictureCache,
                TPictureContainer* PictureContainer, QWidget* Window)
{
    THTMLDrawOptions o;
    o.Images = Images;
    o.XPos = XPos;
    o.YPos = YPos;
    o.FocusLink = FocusLink;
    o.HoverLink = HoverLink;
    o.ShadowOffset = ShadowOffset;
    o.CheckHotSpot = CheckHotSpot;
    o.CheckHeight = CheckHeight;
    o.Print = Print;
    o.Selected = Selected;
    o.Blink = Blink;
    o.HoverStyle = HoverStyle;
    o.WordWrap = WordWrap;
    o.Down = Down;
    o.ResFactor = ResFactor;
    o.URLColor = URLColor;
    o.HoverColor = HoverColor;
    o.HoverFontColor = HoverFontColor;
    o.ShadowColor = ShadowColor;
    o.PictureCache = PictureCache;
    o.PictureContainer = PictureContainer;
    o.Window = Window;
    THTMLDrawResults res;
    const bool hit = Canvas ? HTMLDraw(*Canvas, Text, Rect, o, res) : false;
    AnchorVal = res.AnchorVal;
    StripVal = res.StripVal;
    FocusAnchor = res.FocusAnchor;
    XSize = res.XSize;
    YSize = res.YSize;
    HyperLinks = res.HyperLinks;
    MouseLink = res.MouseLink;
    HoverRect = res.HoverRect;
    ControlRect = res.ControlRect;
    CID = res.CID;
    CV = res.CV;
    CT = res.CT;
    return hit;
}
