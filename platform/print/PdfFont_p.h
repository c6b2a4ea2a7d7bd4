#pragma once
// A font face as the PDF writer embeds it. The face is the TrueType file the
// machine has for a family, bold and italic (found as Qt finds the page
// font). Text is turned into glyphs from the face's own tables: character
// map, advance widths and kerning pairs, so a text costs a table lookup per
// character and comes out as wide as the report measured it. Once the pages
// are written the face is cut down to the glyphs used (glyph ids unchanged)
// and handed to the document with its widths and its map back to the
// characters, so the text can be searched and copied.
//
// Widths, advances and metrics are in thousandths of the em, as a PDF font
// states them.

#include <QByteArray>
#include <QHash>
#include <QRectF>
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

class PdfFont {
public:
    // One glyph of a laid-out text. Face is 0 for this face and 1 for the
    // fallback face (see SetFallback). Advance is the distance to the next
    // glyph's origin, kerning with it included.
    struct Glyph {
        quint16 Id = 0;
        quint8 Face = 0;
        float Advance = 0;
    };

    // The face of family, bold and italic; nullptr when the machine has no
    // TrueType outline face for it.
    static std::unique_ptr<PdfFont> Open(const QString& family, bool bold, bool italic);
    // The face made of a TrueType font's tables, by tag ("head", "glyf",
    // ...); name stands for the PostScript name when the face has none.
    // nullptr when a table the face needs is missing or damaged.
    static std::unique_ptr<PdfFont> FromTables(const QHash<QByteArray, QByteArray>& tables, const QString& name);
    ~PdfFont();
    PdfFont(const PdfFont&) = delete;
    PdfFont& operator=(const PdfFont&) = delete;

    // Characters this face lacks are taken from fallback when it has them
    // (not owned; it outlives this face), else drawn as the missing glyph 0.
    void SetFallback(PdfFont* fallback);

    // The glyphs of text replace out's contents, one a character (a
    // surrogate pair is one character). The glyphs are marked as used, with
    // the characters they stand for, in the face they come from.
    void Layout(QStringView text, std::vector<Glyph>& out);

    // The advance width of a glyph as the face states it, without kerning.
    float GlyphWidth(quint16 id) const;

    // Metrics for the descriptor and for underline and strike-out lines;
    // positions are above the base line (negative: below).
    float Ascent() const;
    float Descent() const;
    float CapHeight() const;
    float ItalicAngle() const;
    QRectF BoundingBox() const; // left, bottom, width, height
    float UnderlinePosition() const;
    float UnderlineThickness() const;
    float StrikeOutPosition() const;

    // Whether any glyph of this face was used; an unused face is not
    // written into the document.
    bool Used() const;

    // What the document holds for the face once the pages are done.
    // "ABCDEF+LiberationSans-Bold": a six-letter tag made from the glyphs
    // used, and the face's PostScript name.
    QByteArray BaseFont() const;
    // The CIDFont's W array of the used glyphs: "[1 [500] 5 [278 556]]".
    QByteArray Widths() const;
    // The descriptor's entries after /FontName: "/Flags 32 /FontBBox [...]
    // /ItalicAngle 0 /Ascent 905 /Descent -212 /CapHeight 716 /StemV 80".
    QByteArray DescriptorEntries() const;
    // The TrueType file with the outlines of the used glyphs only (and the
    // glyphs composite glyphs are built from); uncompressed.
    QByteArray SubsetFile() const;
    // The ToUnicode CMap program mapping the used glyph ids (two bytes,
    // Identity-H) to their characters.
    QByteArray ToUnicode() const;

private:
    PdfFont();
    struct Data;
    std::unique_ptr<Data> d;
};
