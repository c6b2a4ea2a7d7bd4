#pragma once
// Text laid out for the PDF as the preview lays it out: shaped by Qt's text
// layout (HarfBuzz, the Unicode bidi algorithm, the faces fontconfig picks
// for characters the page font lacks), so the glyphs and their places are
// the ones the page was measured with, for every script. Plain Latin text
// the page font has every character of takes a shorter road with the same
// result: the face's glyphs and kerned advances, as the measurement takes
// them.
//
// The glyphs come in clusters, in the order of their characters, each glyph
// once: the characters of one cluster and the glyphs drawn for them. A
// cluster whose glyphs cannot say its characters through the face's map
// back to the characters (several glyphs, the missing glyph, a glyph that
// stood for other characters before) tells them itself. Text with
// right-to-left runs tells its characters as a whole: readers rebuild the
// order of such a line from the glyphs' places by a guess that goes wrong
// around the numbers and Latin inside a right-to-left run. Readers that
// take the glyphs in the order they come read the characters in order.
//
// Readers that take the glyphs in the order they come and read no
// ActualText (mupdf) get the characters in order too: a cluster whose
// glyphs stand in another order than its characters draws them under codes
// that give its characters in their order, and in text with right-to-left
// runs a glyph such a reader would take for the start of another line (one
// read as left to right that stands far from where the glyph before
// ended, as the first glyph of a Latin run inside a right-to-left one does)
// reads a right-to-left mark first, which such a reader lets go anywhere
// on the line.
//
// A whole paragraph is laid out at once; a text of thousands of
// characters in pieces, placed in the text's direction.

#include "platform/print/PdfFonts_p.h"

#include <QHash>
#include <QRawFont>
#include <QString>
#include <vector>

class PdfFont;

class PdfTextLayout {
public:
    // A glyph at its place in layout units from the text's origin (y down
    // from the base line).
    struct Glyph {
        PdfFont* Face = nullptr;
        quint16 Id = 0;
        // The code the glyph is drawn under when it is not its own
        // (PdfFont::Alias); -1 for its own.
        int Code = -1;
        double X = 0, Y = 0;
    };
    struct Cluster {
        qsizetype From = 0, Length = 0; // characters of the text
        int First = 0, Count = 0;       // glyphs
        bool TellsCharacters = false;
        bool RightToLeft = false;
    };
    // The most characters shaped at once.
    static constexpr qsizetype MaxPiece = 2000;

    explicit PdfTextLayout(PdfFonts& fonts) : m_fonts(fonts) { }

    // Lays text out in font; its advance in layout units. Glyphs and
    // clusters hold the result until the next text.
    double Lay(const PdfFonts::TextFont& font, const QString& text);
    // The same text shaped whatever it holds (the plain road skipped).
    double Shape(const PdfFonts::TextFont& font, const QString& text);
    const std::vector<Glyph>& Glyphs() const { return m_glyphs; }
    const std::vector<Cluster>& Clusters() const { return m_clusters; }
    // Whether the last text laid out holds a right-to-left run; it then
    // tells its characters as a whole (ReaderText), not by cluster.
    bool RightToLeft() const { return m_rightToLeft; }
    // The characters of a cluster of text.
    static QString Characters(const Cluster& cluster, const QString& text);
    // Left-to-right letters less right-to-left ones in the last text laid
    // out: readers guess a page's direction from their sum.
    int Leaning() const { return m_leaning; }
    // The characters of a whole text with right-to-left runs in the form
    // readers turn back into their order. Readers put a line's characters
    // in the order of their places and then turn its runs round: on a page
    // they take for left to right, each run from a right-to-left letter
    // (with the neutral ones after it), so these runs come the other way
    // round, opened by a right-to-left mark where a mark ends the run and
    // closed by a left-to-right mark where a neutral character follows;
    // on a page they take for right to left, the whole line and
    // then each run of left-to-right characters and numbers back, so the
    // line comes the other way round with these runs kept, each opened by
    // a right-to-left mark where no right-to-left character follows it.
    static QString ReaderText(const QString& text, bool rightToLeftPage);

private:
    bool Plain(const PdfFonts::TextFont& font, const QString& text, double& advance);
    // Shapes the piece of text from, length long, laid out from 0; its
    // advance.
    double ShapePiece(const PdfFonts::TextFont& font, const QString& text, qsizetype from, qsizetype length);
    // Gives each glyph of a cluster of several the characters it stands
    // for, and puts the glyphs in the order of their characters.
    void ShareCharacters(Cluster& cluster, const QString& chars);
    // Draws the glyphs of a left-to-right cluster whose glyphs stand in
    // another order than its characters (a vowel sign before its
    // consonant) under codes that read its characters in their order.
    void ReadInOrder(const Cluster& cluster, const QString& chars);
    // Draws each glyph that would end a reader's line under a code that
    // reads a right-to-left mark before its characters (see above).
    void KeepOnOneLine(const PdfFonts::TextFont& font);

    PdfFonts& m_fonts;
    std::vector<Glyph> m_glyphs;
    std::vector<Cluster> m_clusters;
    bool m_rightToLeft = false;
    int m_leaning = 0;
    std::vector<quint32> m_ids;
    std::vector<QPointF> m_advances;
    // Qt's face of each embedded face laid out with: its map of the
    // characters.
    QHash<const PdfFont*, QRawFont> m_raws;
};
