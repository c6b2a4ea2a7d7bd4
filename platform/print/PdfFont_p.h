#pragma once
// A font face as the PDF writer embeds it: a face Qt laid text out with,
// the page font's own or the one Qt's font matching chose for characters
// the page font lacks. HarfBuzz reads the face (TrueType or CFF outlines,
// a face of a collection as well) from the tables Qt hands out. The face
// records the glyphs the pages used with the characters each stands for;
// once the pages are written, HarfBuzz's subsetter cuts it down to those
// glyphs (glyph ids unchanged), and the document gets it with its widths
// and its map back to the characters, so the text can be searched and
// copied.
//
// A face without outlines whose glyphs are colour pictures (emoji) goes
// in as a font of pictures: each glyph used draws its picture where the
// face places it, named by a one-byte code of its own.
//
// Widths and metrics are in thousandths of the em, as a PDF font states
// them.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringView>
#include <memory>

class QRawFont;

class PdfFont {
public:
    // How the face's outlines go into the document: a TrueType file, an
    // OpenType file with CFF outlines, or CFF outlines keyed by CIDs as
    // their CFF table alone (readers take the CIDs through it alike); or
    // no outlines but a colour picture a glyph.
    enum Outlines { TrueTypeOutlines, CffOutlines, CidKeyedCffOutlines, ColourPictures };

    // The face of a raw font; nullptr when the face cannot be embedded (no
    // outlines HarfBuzz can cut nor colour pictures, or damaged past its
    // reading). The faces read are kept while the program runs (a few at
    // the most).
    static std::unique_ptr<PdfFont> Open(const QRawFont& raw);
    // What tells Qt's faces apart: the same face at every size has the same
    // key. Empty for a face of no font file: the boxes Qt draws characters
    // no installed face has with.
    static QByteArray Key(const QRawFont& raw);
    ~PdfFont();
    PdfFont(const PdfFont&) = delete;
    PdfFont& operator=(const PdfFont&) = delete;

    // The glyph is used, standing for the characters (a whole cluster's:
    // one or several). True when the document's map back to the characters
    // gives them for it: the first characters a glyph stands for are its
    // own. False for the missing glyph 0, which stands for no character,
    // and for a glyph that stood for other characters before: such text
    // tells its characters itself.
    bool Use(quint16 glyph, QStringView characters);
    // The glyph is used as part of a cluster that tells its characters
    // itself; the characters, when given, become the glyph's own if it has
    // none yet.
    void UseInCluster(quint16 glyph, QStringView characters);
    // The characters the map back gives for the glyph drawn under a code
    // (Alias; -1 for its own code); empty for none.
    QString Characters(quint16 glyph, int code = -1) const;
    // A code that draws the glyph and that the map back gives these
    // characters for: its own code when they are its own, else a code of
    // its own (a glyph drawn for other characters than the ones its shape
    // says, so a reader taking the glyphs in the order they come reads the
    // characters in order). -1 when the face has no code left or its
    // outlines are not TrueType ones (readers take the characters of a CID,
    // and only these name the glyph of each CID).
    int Alias(quint16 glyph, QStringView characters);

    // The code the pages name a glyph by: its id, but for CFF outlines
    // keyed by CIDs the glyph's CID (a reader finds the glyph by it), and
    // for colour pictures a one-byte code given to each glyph as it is
    // first used (0, drawing nothing, for the missing glyph and past 254
    // pictures; 255 is left to the font).
    quint16 Code(quint16 glyph) const;
    // Colour pictures: the codes given (code 0 among them), the glyph of
    // each, and a glyph's picture with its box.
    int CodeCount() const;
    quint16 GlyphOfCode(int code) const;
    QImage Picture(quint16 glyph) const;
    QRectF PictureBox(quint16 glyph) const;
    // The advance width of a glyph as the face states it.
    float GlyphWidth(quint16 glyph) const;
    int GlyphCount() const;
    Outlines OutlineKind() const;
    // Whether Latin text in this face comes out of shaping glyph for
    // character with the kerned advances of its 'kern' table: no
    // substitutions (ligatures, contextual forms) for Latin, and no
    // positioning but what that table holds.
    bool LatinIsGlyphForCharacter() const;

    // Whether any glyph of this face was used; an unused face is not
    // written into the document.
    bool Used() const;

    // What the document holds for the face once the pages are done.
    // "ABCDEF+LiberationSans-Bold": a six-letter tag made from the glyphs
    // used, and the face's PostScript name.
    QByteArray BaseFont() const;
    // The CIDFont's W array of the used glyphs by their codes:
    // "[1 [500] 5 [278 556]]".
    QByteArray Widths() const;
    // The descriptor's entries after /FontName: "/Flags 32 /FontBBox [...]
    // /ItalicAngle 0 /Ascent 905 /Descent -212 /CapHeight 716 /StemV 80".
    QByteArray DescriptorEntries() const;
    // The face cut down to the used glyphs (and the glyphs composite glyphs
    // are made of), their ids kept, without hinting, in the form of
    // OutlineKind; uncompressed. Empty when the subsetter fails, or when
    // what it made does not read as the face: HarfBuzz finds fewer glyphs
    // than used or more than the face has, FreeType cannot open it, or a
    // glyph used has another advance in it (a damaged face the subsetter
    // takes may come out without the tables a reader needs).
    QByteArray SubsetFile() const;
    // The whole face as read, in the form of OutlineKind, for a face whose
    // subset does not read as the face; empty when FreeType cannot open the
    // whole either.
    QByteArray WholeFile() const;
    // The ToUnicode CMap program mapping the codes of the used glyphs (two
    // bytes, Identity-H; one for colour pictures) and the aliases to their
    // characters.
    QByteArray ToUnicode() const;
    // The map of the CIDs to the glyph ids (two bytes, big-endian, a CID)
    // when glyphs are drawn under codes of their own (the codes are the
    // CIDs, those of the aliases past the face's glyphs); empty when each
    // CID is its glyph's id.
    QByteArray CidToGidMap() const;

private:
    PdfFont();
    struct Data;
    std::unique_ptr<Data> d;
};
