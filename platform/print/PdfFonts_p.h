#pragma once
// The fonts of one PDF: a face per family, bold and italic, opened once
// for the document, with DejaVu Sans behind each for the characters a face
// lacks. A face gets its resource name when a page first draws with it;
// the faces are written into the document once the pages are done, as
// each holds only the glyphs the pages used.

#include "platform/report/PagePainter.h"

#include <QByteArray>
#include <memory>
#include <vector>

class PdfDocument;
class PdfFont;

class PdfFonts {
public:
    explicit PdfFonts(PdfDocument& document);
    ~PdfFonts();
    PdfFonts(const PdfFonts&) = delete;
    PdfFonts& operator=(const PdfFonts&) = delete;

    // The face a page font draws with: its own, else the fallback face;
    // nullptr when the machine has neither.
    PdfFont* Face(const TPageFont& font);
    // The face of the characters the others lack (their glyphs of Face 1).
    PdfFont* Fallback();
    // The face's name in the pages' resources.
    const QByteArray& Resource(PdfFont* face);
    // Writes every face a page drew with.
    void WriteAll();

private:
    struct Data;
    std::unique_ptr<Data> d;
};
