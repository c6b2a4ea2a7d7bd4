#pragma once
// The fonts of one PDF. A page font is Qt's font at the reference
// resolution, as the preview draws it, with the face Qt takes for it; the
// faces Qt lays text out with (that one, and those its font matching picks
// for characters it lacks) are each embedded once for the document. A face
// gets its resource name when a page first draws with it; the faces are
// written into the document once the pages are done, as each holds only
// the glyphs the pages used.

#include "platform/report/PagePainter.h"

#include <QByteArray>
#include <QFont>
#include <QRawFont>
#include <memory>

class PdfDocument;
class PdfFont;

class PdfFonts {
public:
    // A page font as the pages draw it. Layout units are pixels of the
    // reference resolution.
    struct TextFont {
        QFont Font;
        // Qt's face of the font, embedded as Face (nullptr: the font falls
        // back as a whole to a face that can be embedded).
        QRawFont Raw;
        PdfFont* Face = nullptr;
        double PointsPerUnit = 1;
        // The font size in points, and the lines of underline and
        // strike-out: the middle of the line above the base line, and its
        // thickness, in points.
        double Size = 10;
        double UnderlinePosition = 0, StrikeOutPosition = 0, LineThickness = 0;
    };

    explicit PdfFonts(PdfDocument& document);
    ~PdfFonts();
    PdfFonts(const PdfFonts&) = delete;
    PdfFonts& operator=(const PdfFonts&) = delete;

    // The page font's text font (kept for the document).
    const TextFont& Font(const TPageFont& font);
    // The embedded face of a face Qt laid text out with; nullptr when it
    // cannot be embedded.
    PdfFont* Face(const QRawFont& raw);
    // The face's name in the pages' resources.
    const QByteArray& Resource(PdfFont* face);
    // Writes every face a page drew with.
    void WriteAll();

private:
    struct Data;
    std::unique_ptr<Data> d;
};
