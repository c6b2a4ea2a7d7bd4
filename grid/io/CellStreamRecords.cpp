#include "grid/io/CellStreamRecords_p.h"

#include "grid/cells/TCellProperties.h"
#include "grid/io/TBlockBudget.h"
#include "controls/HTMLPicture.h"
#include "platform/graphics/Bitmap.h"

#include <QBuffer>
#include <QStringTokenizer>
#include <algorithm>
#include <charconv>
#include <memory>

namespace cellstream {

namespace {

// Bounds a stream may claim.
constexpr qint64 kMaxStreamCols = 16384;
constexpr qint64 kMaxStreamRows = 4000000;
constexpr int kMaxSize = 10000; // column width or row height in pixels

// The names the stream gives the values of the enumerations, in their order.
const QStringList kCellTypes = {
    "ctBitmap",    "ctIcon",     "ctNone",    "ctImageList", "ctCheckBox",  "ctDataCheckBox", "ctRotated",
    "ctDataImage", "ctNode",     "ctRadio",   "ctEmpty",     "ctImages",    "ctPicture",      "ctFilePicture",
    "ctValue",     "ctProgress", "ctComment", "ctButton",    "ctBitButton", "ctVirtCheckBox", "ctProgressPie"};
const QStringList kCellVAligns = {"vaTop", "vaBottom", "vaCenter", "vaUnderText", "vaAboveText", "vaFull"};
const QStringList kCellHAligns = {"haLeft", "haRight", "haCenter", "haBeforeText", "haAfterText", "haFull"};
const QStringList kAlignments = {"taLeftJustify", "taRightJustify", "taCenter"};
const QStringList kVAlignments = {"vtaTop", "vtaCenter", "vtaBottom"};
const QStringList kBrushStyles = {"TBrushStyle::bsSolid", "TBrushStyle::bsClear", "bsHorizontal", "bsVertical",
                                  "bsFDiagonal",          "bsBDiagonal",          "bsCross",      "bsDiagCross"};
const QStringList kFontStyles = {"TFontStyle::fsBold", "TFontStyle::fsItalic", "TFontStyle::fsUnderline",
                                 "TFontStyle::fsStrikeOut"};
const QStringList kEditors = {
    "edNormal",          "edSpinEdit",       "edComboEdit",     "edComboList",    "edEditBtn",      "edCheckBox",
    "edDateEdit",        "edDateEditUpDown", "edTimeEdit",      "edButton",       "edDataCheckBox", "edNumeric",
    "edPositiveNumeric", "edFloat",          "edCapital",       "edMixedCase",    "edPassword",     "edUnitEditBtn",
    "edLowerCase",       "edUpperCase",      "edFloatSpinEdit", "edTimeSpinEdit", "edDateSpinEdit", "edNumericEditBtn",
    "edFloatEditBtn",    "edCustom",         "edRichEdit",      "edUniEdit",      "edUniComboEdit", "edUniComboList",
    "edUniEditBtn",      "edUniMemo",        "edDateTimeEdit"};

// An enumeration's value: its name, or (older streams) its number.
int Ident(const TStreamRecord& rec, QByteArrayView property, const QStringList& names, int defaultValue)
{
    const TStreamValue* v = rec.Find(property);
    if (!v) return defaultValue;
    if (v->kind == TStreamValue::Integer && v->integer >= 0 && v->integer < names.size()) return int(v->integer);
    if (v->kind != TStreamValue::Ident) Fail();
    const int i = int(names.indexOf(v->text));
    if (i < 0) Fail();
    return i;
}

int Clamped(const TStreamRecord& rec, QByteArrayView property, int low, int high)
{
    return std::clamp(Int32(rec, property), low, high);
}

// "64,80,12" from sizes, and back: each size clamped to 0 .. kMaxSize, and
// the count must match.
QString SizeListText(const std::vector<int>& sizes)
{
    QByteArray list;
    list.reserve(qsizetype(sizes.size()) * 4);
    for (size_t i = 0; i < sizes.size(); ++i) {
        char digits[16];
        if (i > 0) list.append(',');
        list.append(digits, std::to_chars(digits, digits + sizeof digits, sizes[i]).ptr - digits);
    }
    return QString::fromLatin1(list);
}

std::vector<int> SizeList(const QString& text, qint64 count)
{
    std::vector<int> sizes;
    if (text.isEmpty()) return sizes;
    if (text.count(u',') + 1 != count) Fail();
    sizes.reserve(size_t(count));
    for (const QStringView p : QStringTokenizer(text, u',')) {
        bool ok = false;
        const int v = p.trimmed().toInt(&ok);
        if (!ok) Fail();
        sizes.push_back(std::clamp(v, 0, kMaxSize));
    }
    return sizes;
}

// A property of an object in a record: its name in the stream, how its
// value is written and how it is read back, side by side.
template <class Object>
struct TField {
    QByteArrayView name;
    void (*write)(TObjectWriter& w, QByteArrayView name, const Object& o);
    void (*read)(const TStreamRecord& rec, QByteArrayView name, Object& o);
};

template <class Object, size_t N>
void WriteFields(TObjectWriter& w, const TField<Object> (&fields)[N], const Object& o)
{
    for (const TField<Object>& f : fields) f.write(w, f.name, o);
}

template <class Object, size_t N>
void ReadFields(const TStreamRecord& rec, const TField<Object> (&fields)[N], Object& o)
{
    for (const TField<Object>& f : fields) f.read(rec, f.name, o);
}

using W = TObjectWriter;
using R = TStreamRecord;
using V = QByteArrayView;
using P = TCellProperties;
using G = TCellGraphic;

const TField<P> kPropFields[] = {
    {"CellProperties.IsBaseCell", [](W& w, V n, const P& p) { w.Boolean(n, p.IsBaseCell); },
     [](const R& r, V n, P& p) { p.IsBaseCell = r.Bool(n, true); }},
    {"CellProperties.CellSpanX", [](W& w, V n, const P& p) { w.Integer(n, p.CellSpanX); },
     [](const R& r, V n, P& p) { p.CellSpanX = Int32(r, n, -1); }},
    {"CellProperties.CellSpanY", [](W& w, V n, const P& p) { w.Integer(n, p.CellSpanY); },
     [](const R& r, V n, P& p) { p.CellSpanY = Int32(r, n, -1); }},
    {"CellProperties.Alignment", [](W& w, V n, const P& p) { w.Ident(n, kAlignments.value(int(p.Alignment))); },
     [](const R& r, V n, P& p) { p.Alignment = TAlignment(Ident(r, n, kAlignments, taLeftJustify)); }},
    {"CellProperties.BorderColor", [](W& w, V n, const P& p) { w.Integer(n, qint32(p.BorderColor)); },
     [](const R& r, V n, P& p) { p.BorderColor = TColor(Int32(r, n, int(clBlack))); }},
    {"CellProperties.BorderWidth", [](W& w, V n, const P& p) { w.Integer(n, p.BorderWidth); },
     [](const R& r, V n, P& p) { p.BorderWidth = Clamped(r, n, 0, 100); }},
    {"CellProperties.BrushColor", [](W& w, V n, const P& p) { w.Integer(n, qint32(p.BrushColor)); },
     [](const R& r, V n, P& p) { p.BrushColor = TColor(Int32(r, n, int(clNone))); }},
    {"CellProperties.BrushStyle", [](W& w, V n, const P& p) { w.Ident(n, kBrushStyles.value(int(p.BrushStyle))); },
     [](const R& r, V n, P& p) { p.BrushStyle = TBrushStyle(Ident(r, n, kBrushStyles, int(TBrushStyle::bsSolid))); }},
    {"CellProperties.FontColor", [](W& w, V n, const P& p) { w.Integer(n, qint32(p.FontColor)); },
     [](const R& r, V n, P& p) { p.FontColor = TColor(Int32(r, n, int(clNone))); }},
    {"CellProperties.FontName", [](W& w, V n, const P& p) { w.String(n, p.FontName); },
     [](const R& r, V n, P& p) { p.FontName = r.Str(n).left(255); }},
    {"CellProperties.FontSize", [](W& w, V n, const P& p) { w.Integer(n, p.FontSize); },
     [](const R& r, V n, P& p) { p.FontSize = Clamped(r, n, -1000, 1000); }},
    {"CellProperties.FontStyle",
     [](W& w, V n, const P& p) {
         QStringList styles;
         for (int s = 0; s < kFontStyles.size(); ++s)
             if (p.FontStyle.Contains(TFontStyle(s))) styles << kFontStyles[s];
         w.Set(n, styles);
     },
     [](const R& r, V n, P& p) {
         const TStreamValue* v = r.Find(n);
         if (!v) return;
         if (v->kind != TStreamValue::Set) Fail();
         TFontStyles styles;
         for (const QString& s : v->items) {
             const int i = int(kFontStyles.indexOf(s));
             if (i < 0) Fail();
             styles += TFontStyle(i);
         }
         p.FontStyle = styles;
     }},
    {"CellProperties.Editor", [](W& w, V n, const P& p) { w.Ident(n, kEditors.value(int(p.Editor))); },
     [](const R& r, V n, P& p) { p.Editor = TEditorType(Ident(r, n, kEditors, edNormal)); }},
    {"CellProperties.ReadOnly", [](W& w, V n, const P& p) { w.Boolean(n, p.ReadOnly); },
     [](const R& r, V n, P& p) { p.ReadOnly = r.Bool(n); }},
    {"CellProperties.VAlignment", [](W& w, V n, const P& p) { w.Ident(n, kVAlignments.value(int(p.VAlignment))); },
     [](const R& r, V n, P& p) { p.VAlignment = TVAlignment(Ident(r, n, kVAlignments, vtaTop)); }},
    {"CellProperties.WordWrap", [](W& w, V n, const P& p) { w.Boolean(n, p.WordWrap); },
     [](const R& r, V n, P& p) { p.WordWrap = r.Bool(n); }},
    {"CellProperties.NodeLevel", [](W& w, V n, const P& p) { w.Integer(n, p.NodeLevel); },
     [](const R& r, V n, P& p) { p.NodeLevel = Clamped(r, n, 0, 1000); }},
};

const TField<G> kGraphicFields[] = {
    {"CellGraphic.CellType", [](W& w, V n, const G& g) { w.Ident(n, kCellTypes.value(int(g.CellType))); },
     [](const R& r, V n, G& g) { g.CellType = TCellType(Ident(r, n, kCellTypes, ctNone)); }},
    {"CellGraphic.CellVAlign", [](W& w, V n, const G& g) { w.Ident(n, kCellVAligns.value(int(g.CellVAlign))); },
     [](const R& r, V n, G& g) { g.CellVAlign = TCellVAlign(Ident(r, n, kCellVAligns, vaTop)); }},
    {"CellGraphic.CellHAlign", [](W& w, V n, const G& g) { w.Ident(n, kCellHAligns.value(int(g.CellHAlign))); },
     [](const R& r, V n, G& g) { g.CellHAlign = TCellHAlign(Ident(r, n, kCellHAligns, haLeft)); }},
    {"CellGraphic.CellIndex", [](W& w, V n, const G& g) { w.Integer(n, g.CellIndex); },
     [](const R& r, V n, G& g) { g.CellIndex = Int32(r, n); }},
    {"CellGraphic.CellTransparent", [](W& w, V n, const G& g) { w.Boolean(n, g.CellTransparent); },
     [](const R& r, V n, G& g) { g.CellTransparent = r.Bool(n); }},
    // What the grid makes from a stream is the grid's, whatever the source
    // said.
    {"CellGraphic.CellCreated", [](W& w, V n, const G& g) { w.Boolean(n, g.CellCreated); },
     [](const R&, V, G& g) { g.CellCreated = true; }},
    {"CellGraphic.CellBoolean", [](W& w, V n, const G& g) { w.Boolean(n, g.CellBoolean); },
     [](const R& r, V n, G& g) { g.CellBoolean = r.Bool(n); }},
    {"CellGraphic.CellAngle", [](W& w, V n, const G& g) { w.Integer(n, g.CellAngle); },
     [](const R& r, V n, G& g) { g.CellAngle = Int32(r, n); }},
    {"CellGraphic.CellValue", [](W& w, V n, const G& g) { w.Float(n, g.CellValue); },
     [](const R& r, V n, G& g) { g.CellValue = r.Float(n); }},
    {"CellGraphic.CellErrFrom", [](W& w, V n, const G& g) { w.Integer(n, g.CellErrFrom); },
     [](const R& r, V n, G& g) { g.CellErrFrom = short(Clamped(r, n, -32768, 32767)); }},
    {"CellGraphic.CellErrLen", [](W& w, V n, const G& g) { w.Integer(n, g.CellErrLen); },
     [](const R& r, V n, G& g) { g.CellErrLen = short(Clamped(r, n, -32768, 32767)); }},
    {"CellGraphic.CellText", [](W& w, V n, const G& g) { w.String(n, g.CellText); },
     [](const R& r, V n, G& g) { g.CellText = r.Str(n); }},
};

// ----- Content records

// The picture slot of a graphic: the icon of ctIcon, else the graphic.
TGraphic*& PictureOf(TCellGraphic& g) { return g.CellType == ctIcon ? g.Icon : g.Graphic; }
const TGraphic* PictureOf(const TCellGraphic& g) { return g.CellType == ctIcon ? g.Icon : g.Graphic; }

// The bitmap, icon or picture the grid made, in its own bytes.
void WritePicture(TObjectWriter& w, QByteArrayView property, const TCellGraphic& g)
{
    const TGraphic* picture = PictureOf(g);
    QByteArray raw;
    if (!picture->Empty()) {
        QBuffer buffer(&raw);
        buffer.open(QIODevice::WriteOnly);
        picture->SaveToStream(buffer);
    }
    w.Binary(property, raw);
}

const TStreamValue& BinaryValue(const TStreamValue* value)
{
    if (!value || value->kind != TStreamValue::Binary) Fail();
    return *value;
}

// What raw holds, loaded into picture; EReadError when it does not read.
template <class Picture>
void Load(Picture& picture, QByteArray raw)
{
    QBuffer buffer(&raw);
    buffer.open(QIODevice::ReadOnly);
    try {
        picture.LoadFromStream(buffer);
    } catch (const Exception&) {
        Fail();
    }
}

void ReadBitmap(const TStreamValue* value, TCellGraphic& g, TBlockBudget&)
{
    const QByteArray& raw = BinaryValue(value).bytes;
    auto bitmap = std::make_unique<TBitmap>();
    Load(*bitmap, raw);
    g.Graphic = bitmap.release();
}

// An icon, a picture or a file picture: read by the bounded picture reader.
void ReadPicture(const TStreamValue* value, TCellGraphic& g, TBlockBudget& budget)
{
    const TStreamValue& data = BinaryValue(value);
    auto picture = std::make_unique<THTMLPicture>();
    if (!data.bytes.isEmpty()) {
        Load(*picture, data.bytes);
        budget.Bytes(data.bytes.size() + qint64(picture->Image().width()) * picture->Image().height() * 4);
        CheckBudget(budget);
    }
    PictureOf(g) = picture.release();
}

QStringList StringListOf(const TStreamValue* value)
{
    return value && value->kind == TStreamValue::List ? value->items : QStringList();
}

void WriteRadio(TObjectWriter& w, QByteArrayView property, const TCellGraphic& g) { w.StringList(property, g.Options); }

void ReadRadio(const TStreamValue* value, TCellGraphic& g, TBlockBudget&) { g.Options = StringListOf(value); }

// The image indexes as one comma text.
void WriteImages(TObjectWriter& w, QByteArrayView property, const TCellGraphic& g)
{
    QStringList indexes;
    for (int i : g.Images) indexes << QString::number(i);
    w.StringList(property, QStringList{indexes.join(u',')});
}

void ReadImages(const TStreamValue* value, TCellGraphic& g, TBlockBudget&)
{
    for (const QString& s : StringListOf(value).join(u',').split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        g.Images.push_back(s.trimmed().toInt(&ok));
        if (!ok) Fail();
    }
}

// A content record: its class, its property, and how it is written and read.
struct TContentKind {
    TCellType type;
    QByteArrayView className;
    QByteArrayView property;
    void (*write)(TObjectWriter& w, QByteArrayView property, const TCellGraphic& g);
    void (*read)(const TStreamValue* value, TCellGraphic& g, TBlockBudget& budget);
};

const TContentKind kContentRecords[] = {
    {ctBitmap, "TGridBMPIO", "Bitmap.Data", WritePicture, ReadBitmap},
    {ctBitButton, "TGridBMPIO", "Bitmap.Data", WritePicture, ReadBitmap},
    {ctIcon, "TGridIconIO", "Icon.Data", WritePicture, ReadPicture},
    {ctPicture, "TGridPicIO", "Picture.Data", WritePicture, ReadPicture},
    {ctFilePicture, "TGridFilePicIO", "Picture.Data", WritePicture, ReadPicture},
    {ctRadio, "TGridSLIO", "Strings.Strings", WriteRadio, ReadRadio},
    {ctImages, "TGridSLIO", "Strings.Strings", WriteImages, ReadImages},
};

const TContentKind* ContentKindOf(TCellType type)
{
    for (const TContentKind& c : kContentRecords)
        if (c.type == type) return &c;
    return nullptr;
}

} // namespace

void Fail() { throw EReadError(QStringLiteral("Invalid cell stream")); }

void CheckBudget(const TBlockBudget& budget)
{
    if (!budget.Fits()) throw EReadError(budget.Refusal(QStringLiteral("The cell block")));
}

void THeadRecord::Write(TObjectWriter& w) const
{
    w.BeginRecord(kClass);
    w.Integer("ColCount", cols);
    w.Integer("RowCount", rows);
    w.String("ColWidths", SizeListText(colWidths));
    w.String("RowHeights", SizeListText(rowHeights));
    w.Boolean("FullGrid", fullGrid);
    w.Integer("ID", id);
    w.Integer("OriginCol", originCol);
    w.Integer("OriginRow", originRow);
    w.EndRecord();
}

void THeadRecord::Read(const TStreamRecord& rec)
{
    cols = rec.Int("ColCount");
    rows = rec.Int("RowCount");
    if (cols < 1 || rows < 1 || cols > kMaxStreamCols || rows > kMaxStreamRows) Fail();
    colWidths = SizeList(rec.Str("ColWidths"), cols);
    rowHeights = SizeList(rec.Str("RowHeights"), rows);
    fullGrid = rec.Bool("FullGrid");
    id = rec.Int("ID");
    hasOrigin = rec.Find("OriginCol") || rec.Find("OriginRow");
    if (hasOrigin) {
        originCol = Int32(rec, "OriginCol");
        originRow = Int32(rec, "OriginRow");
    }
}

void TPropRecord::Write(TObjectWriter& w, const TCellProperties& p, bool hasGraphic)
{
    w.BeginRecord(kClass);
    WriteFields(w, kPropFields, p);
    w.Boolean("HasGraphic", hasGraphic);
    w.EndRecord();
}

bool TPropRecord::Read(const TStreamRecord& rec, TCellProperties& p)
{
    ReadFields(rec, kPropFields, p);
    return rec.Bool("HasGraphic");
}

bool TGraphicRecord::Writable(const TCellGraphic* g)
{
    if (!g || g->CellType == ctVirtCheckBox) return false;
    switch (g->CellType) {
    case ctBitmap:
    case ctBitButton: return g->CellCreated && dynamic_cast<const TBitmap*>(g->Graphic) != nullptr;
    case ctIcon: return g->CellCreated && g->Icon != nullptr;
    case ctPicture:
    case ctFilePicture: return g->CellCreated && g->Graphic != nullptr;
    default: return true;
    }
}

void TGraphicRecord::Write(TObjectWriter& w, const TCellGraphic& g)
{
    w.BeginRecord(kClass);
    WriteFields(w, kGraphicFields, g);
    w.EndRecord();
}

void TGraphicRecord::Read(const TStreamRecord& rec, TCellGraphic& g) { ReadFields(rec, kGraphicFields, g); }

void TContentRecord::Write(TObjectWriter& w, const TCellGraphic& g)
{
    const TContentKind* kind = ContentKindOf(g.CellType);
    if (!kind) return;
    w.BeginRecord(kind->className);
    kind->write(w, kind->property, g);
    w.EndRecord();
}

bool TContentRecord::Read(TObjectReader& reader, TStreamRecord& rec, TCellGraphic& g, TBlockBudget& budget)
{
    const TContentKind* kind = ContentKindOf(g.CellType);
    if (!kind) return false;
    ReadExpected(reader, rec, kind->className);
    kind->read(rec.Find(kind->property), g, budget);
    return true;
}

} // namespace cellstream
