#include "platform/report/TBaseReport.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/report/FramedPainter_p.h"
#include "platform/report/PagePicture_p.h"
#include "platform/report/ReportFonts.h"
#include "platform/report/ReportMetrics_p.h"
#include "platform/report/TPageDrawable.h"
#include "platform/report/TReportShell.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Positions are compared with this slack, so that lines summed from a
// decimal line height still fit where they should.
constexpr double slack = 1e-9;
constexpr double ref = ReportFonts::ReferenceDpi;

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool IsBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

TPagePen PagePen(const TPen& pen)
{
    TPagePen p;
    p.Color = ColorToRGB(pen.Color());
    p.Style = pen.Color() == clNone ? TPenStyle(5) /* clear */ : pen.Style();
    p.Width = std::max(0, pen.Width());
    p.Mode = pen.Mode();
    return p;
}

// Rasterises pictures that cannot draw themselves as page operations at
// up to this many pixels a side.
constexpr int maxRasterSide = 4000;

} // namespace

TBaseReport::TBaseReport(TPagePainter& painter) : m_painter(painter), m_metrics(std::make_unique<TReportMetrics>())
{
    m_font = ReportFonts::Resolve(m_fontName, 10);
    BeginPage();
}

TBaseReport::~TBaseReport() = default;

void TBaseReport::Finish()
{
    if (m_finished) return;
    m_finished = true;
    EndPage();
}

void TBaseReport::BeginPage()
{
    ++m_pageIndex;
    m_painter.BeginPage(m_pageIndex, QSizeF(PageWidth(), PageHeight()));
    m_pageOpen = true;
    // Each page replays on its own: its state is sent afresh.
    m_fontSent = m_penSent = m_brushSent = false;
    m_x = LeftMargin();
    m_y = TopMargin();
    m_tabIndex = 0;
}

void TBaseReport::EndPage()
{
    if (!m_pageOpen) return;
    m_pageOpen = false;
    m_painter.EndPage();
}

// ----- Font

void TBaseReport::SetFont(const QString& name, double size)
{
    if (!(size > 0)) return;
    m_fontName = name;
    m_font = ReportFonts::Resolve(name, size);
    m_symbolFont = ReportFonts::IsSymbolFont(name);
}

void TBaseReport::SetFontColor(TColor color) { m_font.Color = ColorToRGB(color); }

void TBaseReport::SetFontSize(double size)
{
    if (size > 0) m_font.Size = size;
}

void TBaseReport::SetBold(bool on) { m_font.Bold = on; }
void TBaseReport::SetItalic(bool on) { m_font.Italic = on; }
void TBaseReport::SetUnderline(bool on) { m_font.Underline = on; }

double TBaseReport::TextWidth(const QString& text) const
{
    if (text.isEmpty()) return 0;
    const QString t = m_symbolFont ? ReportFonts::MapSymbols(m_fontName, text) : text;
    return m_metrics->Width(m_font, t) / ref;
}

double TBaseReport::Descent() const { return m_metrics->Descent(m_font) / ref; }

void TBaseReport::SyncFont()
{
    if (m_fontSent && m_sentFont == m_font) return;
    m_painter.SetFont(m_font);
    m_sentFont = m_font;
    m_fontSent = true;
}

void TBaseReport::SyncPen()
{
    const TPagePen pen = PagePen(m_pen);
    if (m_penSent && m_sentPen == pen) return;
    m_painter.SetPen(pen);
    m_sentPen = pen;
    m_penSent = true;
}

void TBaseReport::SyncBrush()
{
    TPageBrush brush;
    brush.Color = ColorToRGB(m_brush.StoredColor());
    brush.Style = m_brush.Style();
    if (m_brushSent && m_sentBrush == brush && m_sentBrushBitmap == m_brushBitmap) return;
    QImage pattern = m_brushBitmap && !m_brushBitmap->Empty() ? m_brushBitmap->Image() : QImage();
    if (!pattern.isNull() && !PagePicture::Fits(pattern)) {
        const QImage fitted = PagePicture::Fit(pattern);
        if (fitted.isNull())
            LeftOut(QStringLiteral("A brush pattern of %1 x %2 pixels was left out of page %3.")
                        .arg(pattern.width())
                        .arg(pattern.height())
                        .arg(PageNumber()));
        pattern = fitted;
    }
    m_painter.SetBrush(brush, pattern.isNull() ? nullptr : &pattern);
    m_sentBrush = brush;
    m_sentBrushBitmap = m_brushBitmap;
    m_brushSent = true;
}

// ----- Position and lines

void TBaseReport::GotoXY(double x, double y)
{
    m_x = x;
    m_y = y;
}

void TBaseReport::SetLineHeight(double height)
{
    if (height > 0) m_lineHeight = height;
}

void TBaseReport::NewLine()
{
    const double limit = PageHeight() - BottomMargin();
    if (!m_inFurniture && m_y + m_lineHeight > limit + slack) NewPage();
    m_y += m_lineHeight;
    m_x = LeftMargin();
    m_tabIndex = 0;
}

int TBaseReport::LinesLeft() const
{
    const double room = PageHeight() - BottomMargin() - m_y;
    if (room <= 0) return 0;
    return int(std::floor(room / m_lineHeight + 1e-6));
}

void TBaseReport::NewPage()
{
    if (m_finished) return;
    FirePageFooter();
    EndPage();
    BeginPage();
    ++m_pageBreaks;
    FirePageHeader();
}

void TBaseReport::FirePageHeader()
{
    if (!m_shell || m_inFurniture || !m_shell->OnPageHeader) return;
    ++m_inFurniture;
    try {
        m_shell->OnPageHeader(*this);
    } catch (...) {
        --m_inFurniture;
        throw;
    }
    --m_inFurniture;
}

void TBaseReport::FirePageFooter()
{
    if (!m_shell || m_inFurniture || !m_shell->OnPageFooter) return;
    ++m_inFurniture;
    try {
        m_shell->OnPageFooter(*this);
    } catch (...) {
        --m_inFurniture;
        throw;
    }
    --m_inFurniture;
}

// ----- Text

void TBaseReport::TextAt(double x, const QString& text)
{
    if (text.isEmpty() || !m_pageOpen) return;
    SyncFont();
    const QString t = m_symbolFont ? ReportFonts::MapSymbols(m_fontName, text) : text;
    m_painter.DrawText(QPointF(x, m_y - Descent()), t);
}

void TBaseReport::PrintLeft(const QString& text, double x)
{
    TextAt(x, text);
    m_x = x + TextWidth(text);
}

void TBaseReport::PrintCenter(const QString& text, double x)
{
    const double w = TextWidth(text);
    TextAt(x - w / 2, text);
    m_x = x + w / 2;
}

void TBaseReport::PrintRight(const QString& text, double x)
{
    TextAt(x - TextWidth(text), text);
    m_x = x;
}

void TBaseReport::Print(const QString& text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0) {
        PrintLeft(text, m_x);
        return;
    }
    PrintLeft(text.left(tab), m_x);
    qsizetype start = tab + 1;
    for (;;) {
        const qsizetype next = text.indexOf(QLatin1Char('\t'), start);
        PrintTab(text.mid(start, next < 0 ? -1 : next - start));
        if (next < 0) break;
        start = next + 1;
    }
}

// ----- Tab stops

void TBaseReport::SetTab(double pos, TTabJustify justify, double width, double margin, TTabLines lines, int shade)
{
    Tab tab;
    if (pos <= tabAfterPrevious + 0.5) pos = m_tabs.empty() ? LeftMargin() : m_tabs.back().Pos + m_tabs.back().Width;
    tab.Pos = pos;
    tab.Width = std::max(0.0, width);
    tab.Margin = std::max(0.0, margin) / 100.0;
    tab.Justify = justify >= TTabJustify::tjCenter && justify <= TTabJustify::tjBlock ? justify : TTabJustify::tjLeft;
    tab.Lines = lines * TTabLines{TTabLine::tbLeft, TTabLine::tbRight, TTabLine::tbTop, TTabLine::tbBottom};
    tab.Shade = std::clamp(shade, 0, 100);
    m_tabs.push_back(tab);
}

void TBaseReport::ClearTabs()
{
    m_tabs.clear();
    m_tabIndex = 0;
}

void TBaseReport::SetTabShade(int percent) { m_tabShade = std::clamp(percent, 0, 100); }

void TBaseReport::PrintTab(const QString& text)
{
    if (m_tabIndex >= int(m_tabs.size())) {
        PrintLeft(text, m_x);
        return;
    }
    const Tab tab = m_tabs[size_t(m_tabIndex++)];
    PrintCell(tab, text);
    m_x = tab.Pos + tab.Width;
}

void TBaseReport::PrintCell(const Tab& tab, const QString& text)
{
    if (!m_pageOpen) return;
    const double left = tab.Pos, right = tab.Pos + tab.Width;
    const double top = LineTop(), bottom = m_y;
    const int shade = m_tabShade > 0 ? m_tabShade : tab.Shade;
    if (shade > 0) {
        const int grey = int(std::lround(255.0 * (100 - shade) / 100.0));
        m_painter.FillRect(QRectF(QPointF(left, top), QPointF(right, bottom)), RGB(grey, grey, grey));
    }

    const double innerLeft = left + tab.Margin, innerRight = right - tab.Margin;
    const double w = TextWidth(text);
    switch (tab.Justify) {
    case TTabJustify::tjRight: TextAt(innerRight - w, text); break;
    case TTabJustify::tjCenter: TextAt((left + right - w) / 2, text); break;
    case TTabJustify::tjBlock: {
        // Words spread so that the text fills the cell; a text that does
        // not fit keeps its own spacing.
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        double sum = 0;
        for (const QString& word : words) sum += TextWidth(word);
        const double gap = words.size() > 1 ? (innerRight - innerLeft - sum) / double(words.size() - 1) : 0;
        if (words.size() < 2 || gap < TextWidth(QStringLiteral(" "))) {
            TextAt(innerLeft, text);
            break;
        }
        double x = innerLeft;
        for (const QString& word : words) {
            TextAt(x, word);
            x += TextWidth(word) + gap;
        }
        break;
    }
    default: TextAt(innerLeft, text); break;
    }

    if (!tab.Lines.Empty()) {
        SyncPen();
        if (tab.Lines.Contains(TTabLine::tbLeft)) m_painter.DrawLine(QPointF(left, top), QPointF(left, bottom));
        if (tab.Lines.Contains(TTabLine::tbRight)) m_painter.DrawLine(QPointF(right, top), QPointF(right, bottom));
        if (tab.Lines.Contains(TTabLine::tbTop)) m_painter.DrawLine(QPointF(left, top), QPointF(right, top));
        if (tab.Lines.Contains(TTabLine::tbBottom)) m_painter.DrawLine(QPointF(left, bottom), QPointF(right, bottom));
    }
}

// ----- Shapes and pictures

void TBaseReport::SetPen(TColor color, TPenStyle style, int width, TPenMode mode)
{
    m_pen.SetColor(color);
    m_pen.SetStyle(style);
    m_pen.SetWidth(width);
    m_pen.SetMode(mode);
}

void TBaseReport::SetBrush(TColor color, TBrushStyle style, const TBitmap* bitmap)
{
    m_brush.SetColor(color);
    m_brush.SetStyle(style);
    m_brushBitmap = bitmap;
}

void TBaseReport::Rectangle(double x1, double y1, double x2, double y2)
{
    if (!m_pageOpen) return;
    SyncPen();
    SyncBrush();
    m_painter.DrawRectangle(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void TBaseReport::Ellipse(double x1, double y1, double x2, double y2)
{
    if (!m_pageOpen) return;
    SyncPen();
    SyncBrush();
    m_painter.DrawEllipse(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void TBaseReport::MoveTo(double x, double y)
{
    m_penX = x;
    m_penY = y;
}

void TBaseReport::LineTo(double x, double y)
{
    if (m_pageOpen) {
        SyncPen();
        m_painter.DrawLine(QPointF(m_penX, m_penY), QPointF(x, y));
    }
    MoveTo(x, y);
}

void TBaseReport::LeftOut(const QString& what) const
{
    if (OnLeftOut) OnLeftOut(what);
}

void TBaseReport::PrintImageRect(double x1, double y1, double x2, double y2, const QImage& image)
{
    if (image.isNull() || !m_pageOpen) return;
    // Scaled down here when larger than a page picture may be, so that the
    // report file always reads back.
    const QImage fitted = PagePicture::Fit(image);
    if (fitted.isNull()) {
        LeftOut(QStringLiteral("A picture of %1 x %2 pixels was left out of page %3.")
                    .arg(image.width())
                    .arg(image.height())
                    .arg(PageNumber()));
        return;
    }
    m_painter.DrawImage(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), fitted, -1);
}

void TBaseReport::PrintBitmapRect(double x1, double y1, double x2, double y2, const TBitmap& bitmap)
{
    if (bitmap.Empty()) return;
    PrintImageRect(x1, y1, x2, y2, bitmap.Image());
}

void TBaseReport::StretchDraw(const QRectF& r, const TGraphic& graphic)
{
    if (!m_pageOpen) return;
    const QRectF box = r.normalized();
    if (const auto* drawable = dynamic_cast<const TPageDrawable*>(&graphic)) {
        m_painter.SetClip(&box);
        // The picture sets its own pen, brush and font: ours go again.
        m_fontSent = m_penSent = m_brushSent = false;
        // The clip hides what lies outside the frame but records it all: what
        // the picture draws is cut to its frame before it reaches the page.
        const int page = PageNumber();
        TFramedPainter framed(m_painter, box, [this, page](const QString& what) {
            LeftOut(what.chopped(1) + QStringLiteral(" of page %1.").arg(page));
        });
        try {
            drawable->DrawPage(framed, box);
        } catch (...) {
            m_painter.SetClip(nullptr);
            throw;
        }
        m_painter.SetClip(nullptr);
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic)) {
        PrintBitmapRect(box.left(), box.top(), box.right(), box.bottom(), *bitmap);
        return;
    }
    if (graphic.Empty() || graphic.Width() <= 0 || graphic.Height() <= 0) return;
    const double scale = std::min(1.0, double(maxRasterSide) / std::max(graphic.Width(), graphic.Height()));
    const int w = std::max(1, int(graphic.Width() * scale)), h = std::max(1, int(graphic.Height() * scale));
    TBitmap raster(w, h);
    raster.SetPixelFormat(pf32bit);
    graphic.Draw(raster.Canvas(), TRect(0, 0, w, h));
    PrintImageRect(box.left(), box.top(), box.right(), box.bottom(), raster.Image());
}

// ----- Memo buffers

int TBaseReport::WrapLine(const QString& text, int pos, double width, int& next) const
{
    const int n = int(text.size());
    int hard = pos;
    while (hard < n && !IsBreak(text[hard])) ++hard;
    const auto fits = [&](int end) { return TextWidth(text.mid(pos, end - pos)) <= width + slack; };

    // Where each word of the line ends (with the blanks before it); a
    // longer stretch is wider, so the last end that fits is found by
    // halving rather than by measuring every word.
    std::vector<int> ends;
    for (int i = pos; i < hard;) {
        while (i < hard && IsBlank(text[i])) ++i;
        while (i < hard && !IsBlank(text[i])) ++i;
        ends.push_back(i);
    }
    int lo = 0, hi = int(ends.size()); // ends[0, lo) fit
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (fits(ends[size_t(mid - 1)]))
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo == int(ends.size())) {
        next = hard;
        if (next < n) {
            // One hard break: CR LF, CR or LF.
            if (text[next] == QLatin1Char('\r') && next + 1 < n && text[next + 1] == QLatin1Char('\n'))
                next += 2;
            else
                ++next;
        }
        return hard - pos;
    }
    if (lo == 0) {
        // Not even the first word fits: break it where the line ends, at
        // least one character, so every line makes progress.
        int low = 1, high = ends.front() - pos;
        while (low < high) {
            const int mid = (low + high + 1) / 2;
            if (fits(pos + mid))
                low = mid;
            else
                high = mid - 1;
        }
        next = pos + low;
        // A word broken at its very end: the blanks after it go too.
        while (next < hard && IsBlank(text[next])) ++next;
        return low;
    }
    const int end = ends[size_t(lo - 1)];
    next = end;
    while (next < hard && IsBlank(text[next])) ++next;
    return end - pos;
}

void TBaseReport::PrintMemo(TMemoBuf& memo, int lines, bool printTabs)
{
    const QString& text = memo.Text();
    const double width = memo.PrintEnd() - memo.PrintStart();
    int printed = 0;
    while (memo.Pos() < memo.Size() && (lines <= 0 || printed < lines)) {
        int next = memo.Pos();
        const int length = WrapLine(text, memo.Pos(), width, next);
        QString line = text.mid(memo.Pos(), length);
        if (printTabs) {
            m_x = memo.PrintStart();
            Print(line);
        } else {
            line.replace(QLatin1Char('\t'), QLatin1Char(' '));
            PrintLeft(line, memo.PrintStart());
        }
        memo.SetPos(next);
        ++printed;
        NewLine();
    }
}

int TBaseReport::MemoLines(const TMemoBuf& memo) const
{
    const QString& text = memo.Text();
    const double width = memo.PrintEnd() - memo.PrintStart();
    int pos = memo.Pos(), count = 0;
    while (pos < memo.Size()) {
        int next = pos;
        WrapLine(text, pos, width, next);
        pos = next;
        ++count;
    }
    return count;
}
