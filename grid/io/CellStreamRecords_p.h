#pragma once
// The records of the cell stream, each one's writer beside its reader, so
// that a record, or a property of one, is never written without being read.
//
// A stream is one head record (TGridPropIO), then per cell a cell record
// (TGridCellIO); with HasProp its properties follow (TGridCellPropIO), with
// HasGraphic its graphic (TGridGraphicIO) and, for the kinds of graphic that
// carry content, the content record of its kind (kContentRecords). A new
// record goes here, as a struct with its class name, Write and Read, and is
// called from the block's writer and parser (TExtStringGridStream.cpp).
//
// Readers take records from anywhere: a value of the wrong type or a count
// out of range raises EReadError ("Invalid cell stream").

#include "grid/cells/TCellGraphic.h"
#include "grid/io/TObjectReader.h"
#include "grid/io/TObjectWriter.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <vector>

class TBlockBudget;
class TCellProperties;

namespace cellstream {

[[noreturn]] void Fail();
// The property as a 32-bit integer; EReadError past that range. Inline, as
// the next: a stream reads them for millions of cells.
inline int Int32(const TStreamRecord& rec, QByteArrayView property, int defaultValue = 0)
{
    const qint64 v = rec.Int(property, defaultValue);
    if (v < INT32_MIN || v > INT32_MAX) Fail();
    return int(v);
}
// The next record of reader into rec; EReadError when it is of another class.
inline void ReadExpected(TObjectReader& reader, TStreamRecord& rec, QByteArrayView className)
{
    reader.ReadRecord(rec);
    if (rec.className != className) Fail();
}
// EReadError when what budget holds is past the caps.
void CheckBudget(const TBlockBudget& budget);

// TGridPropIO: the block's size, the widths of its columns and heights of
// its rows, whether it is the whole grid, the source grid, and the block's
// top-left (absent in older streams, which place a block by its first cell).
struct THeadRecord {
    static constexpr QByteArrayView kClass{"TGridPropIO"};
    qint64 cols = 0;
    qint64 rows = 0;
    std::vector<int> colWidths;
    std::vector<int> rowHeights;
    bool fullGrid = false;
    qint64 id = 0;
    bool hasOrigin = false;
    int originCol = 0;
    int originRow = 0;

    void Write(TObjectWriter& w) const;
    // The size is checked against the stream's bounds, each size list
    // against the count it belongs to.
    void Read(const TStreamRecord& rec);
};

// TGridCellIO: a cell's place in the source grid, its text and whether its
// properties follow. Written for millions of cells: inline.
struct TCellRecord {
    static constexpr QByteArrayView kClass{"TGridCellIO"};
    int col = 0;
    int row = 0;
    // The text as it stands in the record; nullptr when it has none.
    const TStreamValue* text = nullptr;
    bool hasProp = false;

    static void Write(TObjectWriter& w, int col, int row, const QString& text, bool hasProp)
    {
        w.BeginRecord(kClass);
        w.Integer("Col", col);
        w.Integer("Row", row);
        w.String("Cell", text);
        w.Boolean("HasProp", hasProp);
        w.EndRecord();
    }
    // The fields of rec, which lives as long as they are used.
    void Read(const TStreamRecord& rec)
    {
        ReadPlace(rec);
        hasProp = rec.Bool("HasProp");
    }
    // The place and the text alone.
    void ReadPlace(const TStreamRecord& rec)
    {
        col = Int32(rec, "Col");
        row = Int32(rec, "Row");
        text = rec.Find("Cell");
        if (text && text->kind != TStreamValue::String) Fail();
    }
    // The bytes the text takes in the record.
    qsizetype TextBytes() const { return text ? text->raw.size() : 0; }
    QString Text() const { return text ? TObjectReader::DecodeString(text->encoding, text->raw) : QString(); }
};

// TGridCellPropIO: a copy of the cell's properties (never the application's
// cell object or a control) and whether its graphic follows.
struct TPropRecord {
    static constexpr QByteArrayView kClass{"TGridCellPropIO"};
    static void Write(TObjectWriter& w, const TCellProperties& p, bool hasGraphic);
    // Into p; answers HasGraphic.
    static bool Read(const TStreamRecord& rec, TCellProperties& p);
};

// TGridGraphicIO: a copy of the cell's graphic without its content.
struct TGraphicRecord {
    static constexpr QByteArrayView kClass{"TGridGraphicIO"};
    // Whether a cell's graphic goes into the stream: not one the
    // application owns, and only the kinds whose content the stream can
    // carry.
    static bool Writable(const TCellGraphic* g);
    static void Write(TObjectWriter& w, const TCellGraphic& g);
    // Into g, which is then the grid's (CellCreated).
    static void Read(const TStreamRecord& rec, TCellGraphic& g);
};

// The record of a graphic's content, by its cell type (kContentRecords):
// the bitmap, icon, picture or file picture in its own bytes, or the texts
// of a string list (radio items, image indexes). The types the graphic
// record carries alone (check boxes, nodes, progress ...) have none.
struct TContentRecord {
    // Writes g's content record when its type has one.
    static void Write(TObjectWriter& w, const TCellGraphic& g);
    // Reads g's content record into g when its type has one, and answers
    // whether there was one to read. What a picture keeps and shows counts
    // against budget.
    static bool Read(TObjectReader& reader, TStreamRecord& rec, TCellGraphic& g, TBlockBudget& budget);
};

} // namespace cellstream
