#pragma once
// Writes report pages as PDF content streams: each page operation becomes
// the PDF operators that draw it, with no painter in between. Page inches
// from the top-left become points from the bottom-left; pen, brush, font
// and colours are written only when they change; text goes in as glyph ids
// of the document's faces, laid out and placed as the preview lays it out
// (PdfTextLayout), each cluster whose glyphs cannot say its characters
// telling them itself (a span with ActualText).

#include "platform/print/PdfFonts_p.h"
#include "platform/print/PdfOutput_p.h"
#include "platform/print/PdfText_p.h"
#include "platform/report/PagePainter.h"

#include <QByteArray>
#include <QHash>
#include <functional>
#include <vector>

class PdfDocument;
class PdfFont;
class PdfPictures;

class PdfPagePainter : public TPagePainter {
public:
    PdfPagePainter(PdfDocument& document, PdfFonts& fonts, PdfPictures& pictures);

    void BeginPage(int index, QSizeF inches) override;
    void EndPage() override;
    void SetFont(const TPageFont& font) override;
    void SetPen(const TPagePen& pen) override;
    void SetBrush(const TPageBrush& brush, const QImage* pattern) override;
    void SetClip(const QRectF* r) override;
    void DrawText(QPointF origin, const QString& text) override;
    void DrawLine(QPointF from, QPointF to) override;
    void DrawRectangle(const QRectF& r) override;
    void DrawEllipse(const QRectF& r) override;
    void DrawPolyline(const QPointF* points, int count) override;
    void DrawPolygon(const QPointF* points, int count, bool winding) override;
    void FillRect(const QRectF& r, TColor color) override;
    void DrawImage(const QRectF& r, const QImage& image, int imageIndex) override;
    // Pictures are taken from the file by index.
    bool NeedsImagePixels() const override { return false; }

private:
    // How areas are filled: nothing, a colour, a hatch in a colour, a
    // picture pattern.
    enum FillKind { NoFill, ColourFill, HatchFill, PictureFill };
    struct Fill {
        FillKind Kind = NoFill;
        TColor Colour = clBlack;
        int Style = 0;    // the hatch
        int Picture = -1; // the pattern's picture
        bool operator==(const Fill&) const = default;
    };
    // What the content stream has set, so each is written only on change.
    struct State {
        Fill FillSet{ColourFill, clBlack};
        TColor Stroke = clBlack;
        double LineWidth = 1;
        double DashUnit = 0;
        int Dash = 0;
        PdfFont* Face = nullptr;
        double FontSize = 0;
    };

    const PdfFonts::TextFont& TextFont();
    double X(double inches) const;
    double Y(double inches) const;
    void Point(QPointF p);
    // The points joined by straight lines (count at least 1).
    void Path(const QPointF* points, int count);
    void Rect(const QRectF& r);
    // The outline of the ellipse in r, closed.
    void EllipsePath(const QRectF& r);
    void Colour(TColor c);
    // Sets the stroke for the pen; false when the pen draws nothing.
    bool ApplyPen();
    // Sets the fill for the brush; false when the brush fills nothing.
    bool ApplyBrush();
    // Sets the fill; false when it fills nothing (a picture that cannot be
    // written).
    bool ApplyFill(const Fill& fill);
    void Paint(bool fill, bool stroke, bool evenOdd);
    // Fills and outlines a shape: path writes its outline, bounds (inches)
    // holds it.
    void Shape(const QRectF& bounds, bool evenOdd, const std::function<void()>& path);
    // The brush's hatch over the shape: its outline as the clip, the lines
    // drawn whole across its bounds.
    void Hatch(const QRectF& bounds, bool evenOdd, const std::function<void()>& path);
    // The brush's hatch over the whole page as a form, written once.
    QByteArray HatchForm();
    // Underline or strike-out of a text at x, y turned by the angle of
    // cosine and sine: a band of thickness centred position above the base
    // line, width long.
    void Decoration(double x, double y, double cosine, double sine, double width, double position, double thickness);

    PdfDocument& m_document;
    PdfFonts& m_fonts;
    PdfPictures& m_pictures;
    PdfOutput m_out;
    double m_width = 612, m_height = 792; // points
    State m_state, m_saved;
    bool m_clipped = false;

    TPageFont m_font;
    const PdfFonts::TextFont* m_textFont = nullptr;
    TPagePen m_pen;
    bool m_penNone = false;
    Fill m_brush{ColourFill, clWhite};
    PdfTextLayout m_layout;
    // Bytes of hatch lines on the page; past the budget a hatch draws the
    // page's form instead, so what a page writes stays near what it records.
    static constexpr qsizetype HatchBudget = 4 << 20;
    qsizetype m_hatchBytes = 0;
    QHash<QByteArray, QByteArray> m_hatchForms;
    // The page's leaning (PdfTextLayout::Leaning), and its texts with
    // right-to-left runs: the bytes of m_out their characters take and the
    // text, written again for a page readers take for right to left.
    struct WholeText {
        qsizetype From = 0, To = 0;
        QString Text;
    };
    int m_leaning = 0;
    std::vector<WholeText> m_wholeTexts;
    PdfOutput m_turned;
};
