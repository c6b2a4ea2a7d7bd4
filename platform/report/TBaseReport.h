#pragma once
// The page surface the report pages print on: a US Letter portrait page in
// inches from its top-left corner, fonts in points, colours as BGR integers.
//
// Text runs on lines: YPos is the line's bottom (the descent line of the
// text), LineTop the line's top, LineHeight fixed (1/6 inch unless set).
// NewLine moves down one line and breaks the page when the next line would
// end below the bottom limit, except inside page headers and footers.
// Everything is measured at one fixed reference resolution with the
// installed metric-compatible fonts, so every device lays pages out alike.
// The surface sends what it draws to a page painter (the report file writer
// records it).

#include "platform/core/Set.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/report/PagePainter.h"
#include "platform/report/TMemoBuf.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TBitmap;
class TGraphic;
class TReportMetrics;
class TReportShell;

// Justification of a tab stop, as SetTab takes it.
enum class TTabJustify : int { tjCenter = 0, tjLeft = 1, tjRight = 2, tjBlock = 3 };
// Cell border lines of a tab stop; as flags (Bits) left 1, right 2, top 4,
// bottom 8.
enum class TTabLine { tbLeft, tbRight, tbTop, tbBottom };
using TTabLines = TSet<TTabLine>;
// A tab position meaning "right after the previous tab stop".
constexpr double tabAfterPrevious = -32768;

class TBaseReport {
public:
    // Opens page 1 on painter, which must outlive the surface.
    explicit TBaseReport(TPagePainter& painter);
    ~TBaseReport();
    TBaseReport(const TBaseReport&) = delete;
    TBaseReport& operator=(const TBaseReport&) = delete;

    // Ends the last page; nothing is drawn after it.
    void Finish();

    // ----- Page
    double PageWidth() const { return 8.5; }
    double PageHeight() const { return 11.0; }
    // The margins the line model keeps: the first line of a page starts at
    // the top margin, NewLine breaks the page below the bottom one.
    double TopMargin() const { return 0.5; }
    double BottomMargin() const { return 0.5; }
    double LeftMargin() const { return 0.5; }
    // Pages begun so far (1 on the first page).
    int PageNumber() const { return m_pageIndex + 1; }

    // ----- Font
    // Selects the font, colour black, styles off; a size of 0 or less
    // changes nothing.
    void SetFont(const QString& name, double size);
    void SetFontColor(TColor color);
    void SetFontSize(double size);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    bool Bold() const { return m_font.Bold; }
    // The font as drawn (family resolved to the installed font).
    const TPageFont& Font() const { return m_font; }
    // The name given to SetFont.
    const QString& FontName() const { return m_fontName; }

    // ----- Position and lines
    void GotoXY(double x, double y);
    double XPos() const { return m_x; }
    double YPos() const { return m_y; }
    void SetXPos(double x) { m_x = x; }
    void SetYPos(double y) { m_y = y; }
    double LineHeight() const { return m_lineHeight; }
    // A height of 0 or less is ignored.
    void SetLineHeight(double height);
    double LineTop() const { return m_y - m_lineHeight; }
    // Next line: x back to the left margin, the tab stops back to the
    // first; a new page first when the line would end below the bottom
    // limit (never inside a page header or footer).
    void NewLine();
    // Whole lines that still fit below the current one.
    int LinesLeft() const;
    // Ends the page (page footer of a running section), begins the next
    // (page header), and puts the position at the top margin.
    void NewPage();

    // ----- Text
    // Text starting at, centred on, or ending at x on the current line; the
    // position moves to the text's end.
    void PrintLeft(const QString& text, double x);
    void PrintCenter(const QString& text, double x);
    void PrintRight(const QString& text, double x);
    // Text at the current position, which moves to its end; each TAB
    // character moves on to the next tab stop (PrintTab of the rest).
    void Print(const QString& text);
    double TextWidth(const QString& text) const;

    // ----- Tab stops of the line
    // pos in inches (tabAfterPrevious: right after the previous stop),
    // justify tjCenter/tjLeft/tjRight/tjBlock, width in inches, margin in
    // hundredths of an inch inside the cell, lines the borders drawn,
    // shade a grey percentage (clamped to 0..100).
    void SetTab(double pos, TTabJustify justify, double width, double margin, TTabLines lines, int shade);
    void ClearTabs();
    // Shade of the cells printed from now on, clamped to 0..100; 0 leaves
    // each tab stop's own shade.
    void SetTabShade(int percent);
    int TabShade() const { return m_tabShade; }
    // Fills the next tab stop of the line: shade, text, border lines. Past
    // the last stop the text is printed at the current position.
    void PrintTab(const QString& text);
    int TabCount() const { return int(m_tabs.size()); }

    // ----- Shapes and pictures
    // The pen and brush of the following shapes (changes are picked up by
    // the next drawing).
    TPen& Pen() { return m_pen; }
    TBrush& Brush() { return m_brush; }
    void SetPen(TColor color, TPenStyle style, int width, TPenMode mode);
    // bitmap (may be null) makes a pattern brush.
    void SetBrush(TColor color, TBrushStyle style, const TBitmap* bitmap);
    // Background colour of text; report text is always drawn transparent,
    // so it is kept for callers but changes no pixel.
    void SetBKColor(TColor color) { m_bkColor = color; }
    TColor BKColor() const { return m_bkColor; }

    void Rectangle(double x1, double y1, double x2, double y2);
    void Ellipse(double x1, double y1, double x2, double y2);
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    // The bitmap scaled into the rectangle. A picture larger than a page
    // picture may be (PictureLimits) is first scaled down in proportion; one
    // that cannot be is left out (OnLeftOut).
    void PrintBitmapRect(double x1, double y1, double x2, double y2, const TBitmap& bitmap);
    void PrintImageRect(double x1, double y1, double x2, double y2, const QImage& image);
    // The picture scaled into r (inches). A picture that can draw itself
    // as page operations (TPageDrawable) stays vector, what it draws cut
    // to r (and a margin) however far out it reaches; any other is drawn
    // into a bitmap first.
    void StretchDraw(const QRectF& r, const TGraphic& graphic);

    // ----- Memo buffers
    // Prints up to lines lines of the memo's text (0: all that is left),
    // word-wrapped between its print start and end, each line on the
    // current line followed by NewLine. Hard breaks start a new line; a
    // word longer than the line is broken. printTabs expands TAB
    // characters to the tab stops; otherwise they print as blanks.
    void PrintMemo(TMemoBuf& memo, int lines, bool printTabs);
    // Lines the memo's text from its read position needs between its print
    // start and end (the read position stays).
    int MemoLines(const TMemoBuf& memo) const;

    // The painter the surface draws into (for pictures that draw
    // themselves as page operations).
    TPagePainter& Painter() { return m_painter; }

    // Told of every picture the surface leaves out because it cannot be
    // put on a page (what and on which page).
    std::function<void(const QString& what)> OnLeftOut;

private:
    friend class TReportShell;
    struct Tab {
        double Pos, Width, Margin;
        TTabJustify Justify;
        TTabLines Lines;
        int Shade;
    };
    void BeginPage();
    void EndPage();
    void LeftOut(const QString& what) const;
    void FirePageHeader();
    void FirePageFooter();
    void SyncFont();
    void SyncPen();
    void SyncBrush();
    void TextAt(double x, const QString& text);
    void PrintCell(const Tab& tab, const QString& text);
    // Length of the next line of text from pos that fits in width, and
    // where the line after it starts.
    int WrapLine(const QString& text, int pos, double width, int& next) const;
    double Descent() const;

    TPagePainter& m_painter;
    TPageFont m_font;
    bool m_symbolFont = false;
    QString m_fontName = QStringLiteral("Arial");
    TPen m_pen;
    TBrush m_brush;
    const TBitmap* m_brushBitmap = nullptr;
    TColor m_bkColor = clWhite;
    TPageFont m_sentFont;
    TPagePen m_sentPen;
    TPageBrush m_sentBrush;
    const TBitmap* m_sentBrushBitmap = nullptr;
    bool m_fontSent = false, m_penSent = false, m_brushSent = false;

    double m_x = 0.5, m_y = 0.5;
    double m_lineHeight = 1.0 / 6.0;
    double m_penX = 0, m_penY = 0;
    std::vector<Tab> m_tabs;
    int m_tabIndex = 0;
    int m_tabShade = 0;

    int m_pageIndex = -1;
    bool m_pageOpen = false;
    bool m_finished = false;
    // The running section, whose page header and footer frame each page.
    TReportShell* m_shell = nullptr;
    int m_inFurniture = 0;
    int m_pageBreaks = 0;

    // Widths and metrics of the fonts measured, kept while the surface lives.
    std::unique_ptr<TReportMetrics> m_metrics;
};
