// The cell stream: a block of cells with their texts, properties and
// graphics as records of the class library's object stream. It carries the
// private clipboard format and whole grids.
//
// Reading parses the whole stream first, with every size, count and place
// checked; only a stream that reads completely changes the grid. Pointers
// (the application's cell object, embedded controls) are never written or
// read, the owner of pasted properties is the target cell, and a merged
// area is kept only when the block holds all of it.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/io/TBlockBudget.h"
#include "grid/io/TObjectReader.h"
#include "grid/io/TObjectWriter.h"
#include "controls/HTMLPicture.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QStringTokenizer>
#include <algorithm>
#include <charconv>
#include <functional>
#include <memory>
#include <new>

namespace {

// Bounds a stream may claim.
constexpr qint64 kMaxStreamCols = 16384;
constexpr qint64 kMaxStreamRows = 4000000;
constexpr qint64 kMaxStreamBytes = qint64(512) * 1024 * 1024;
constexpr int kMaxSize = 10000; // column width or row height in pixels
// Room made ahead for a stream being written, at most.
constexpr qint64 kMaxReserve = qint64(256) * 1024 * 1024;

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

[[noreturn]] void Fail() { throw EReadError(QStringLiteral("Invalid cell stream")); }

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

int Int32(const TStreamRecord& rec, QByteArrayView property, int defaultValue = 0)
{
    const qint64 v = rec.Int(property, defaultValue);
    if (v < INT32_MIN || v > INT32_MAX) Fail();
    return int(v);
}

// "64,80,12": sizes, each clamped to 0 .. kMaxSize; the count must match.
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

bool NeedsContent(TCellType t)
{
    return t == ctBitmap || t == ctBitButton || t == ctIcon || t == ctRadio || t == ctImages || t == ctPicture ||
        t == ctFilePicture;
}

// Whether a cell's graphic goes into the stream: not one the application
// owns, and only the kinds whose content the stream can carry.
bool WritableGraphic(const TCellGraphic* g)
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

// The properties and graphic of a cell of the stream, and the records
// they took.
struct TParsedExtra {
    qint64 index = 0; // of the cell in the stream
    int col = 0;
    int row = 0;
    int records = 0;
    std::unique_ptr<TCellProperties> props;
    std::unique_ptr<TCellGraphic> graphic;
};

struct TParsedBlock {
    qint64 cols = 0;
    qint64 rows = 0;
    std::vector<int> colWidths;
    std::vector<int> rowHeights;
    bool fullGrid = false;
    qint64 id = 0;
    bool hasOrigin = false;
    int originCol = 0;
    int originRow = 0;
    qint64 cellCount = 0;
    std::vector<TParsedExtra> extras; // in stream order
    // Per row of the block (from rowBase rows above its top): one past the
    // grid column its last cell goes to, 0 for a row without cells.
    std::vector<int> reach;
    qint64 rowBase = 0;
};

void ReadProperties(const TStreamRecord& rec, TCellProperties& p)
{
    p.IsBaseCell = rec.Bool("CellProperties.IsBaseCell", true);
    p.CellSpanX = Int32(rec, "CellProperties.CellSpanX", -1);
    p.CellSpanY = Int32(rec, "CellProperties.CellSpanY", -1);
    p.Alignment = TAlignment(Ident(rec, "CellProperties.Alignment", kAlignments, taLeftJustify));
    p.BorderColor = TColor(Int32(rec, "CellProperties.BorderColor", int(clBlack)));
    p.BorderWidth = std::clamp(Int32(rec, "CellProperties.BorderWidth"), 0, 100);
    p.BrushColor = TColor(Int32(rec, "CellProperties.BrushColor", int(clNone)));
    p.BrushStyle = TBrushStyle(Ident(rec, "CellProperties.BrushStyle", kBrushStyles, int(TBrushStyle::bsSolid)));
    p.FontColor = TColor(Int32(rec, "CellProperties.FontColor", int(clNone)));
    p.FontName = rec.Str("CellProperties.FontName").left(255);
    p.FontSize = std::clamp(Int32(rec, "CellProperties.FontSize"), -1000, 1000);
    if (const TStreamValue* v = rec.Find("CellProperties.FontStyle")) {
        if (v->kind != TStreamValue::Set) Fail();
        TFontStyles styles;
        for (const QString& s : v->items) {
            const int i = int(kFontStyles.indexOf(s));
            if (i < 0) Fail();
            styles += TFontStyle(i);
        }
        p.FontStyle = styles;
    }
    p.Editor = TEditorType(Ident(rec, "CellProperties.Editor", kEditors, edNormal));
    p.ReadOnly = rec.Bool("CellProperties.ReadOnly");
    p.VAlignment = TVAlignment(Ident(rec, "CellProperties.VAlignment", kVAlignments, vtaTop));
    p.WordWrap = rec.Bool("CellProperties.WordWrap");
    p.NodeLevel = std::clamp(Int32(rec, "CellProperties.NodeLevel"), 0, 1000);
}

void ReadGraphic(const TStreamRecord& rec, TCellGraphic& g)
{
    g.CellType = TCellType(Ident(rec, "CellGraphic.CellType", kCellTypes, ctNone));
    g.CellVAlign = TCellVAlign(Ident(rec, "CellGraphic.CellVAlign", kCellVAligns, vaTop));
    g.CellHAlign = TCellHAlign(Ident(rec, "CellGraphic.CellHAlign", kCellHAligns, haLeft));
    g.CellIndex = Int32(rec, "CellGraphic.CellIndex");
    g.CellTransparent = rec.Bool("CellGraphic.CellTransparent");
    g.CellBoolean = rec.Bool("CellGraphic.CellBoolean");
    g.CellAngle = Int32(rec, "CellGraphic.CellAngle");
    g.CellValue = rec.Float("CellGraphic.CellValue");
    g.CellErrFrom = short(std::clamp(Int32(rec, "CellGraphic.CellErrFrom"), -32768, 32767));
    g.CellErrLen = short(std::clamp(Int32(rec, "CellGraphic.CellErrLen"), -32768, 32767));
    g.CellText = rec.Str("CellGraphic.CellText");
    // What the grid makes from a stream is the grid's.
    g.CellCreated = true;
}

// Reads and checks the whole stream. The cells' texts are checked but not
// kept: the grid takes them from the bytes once the stream has proved good.
// What the block would take goes into budget: claim adds the rows the grid
// grows by once the head is read (before anything is made for the rows)
// and answers the grid column the block's left edge goes to; then the
// cells' slots, texts and properties follow. A block past the caps is
// refused as soon as that shows.
TParsedBlock ParseBlock(const QByteArray& bytes, TBlockBudget& budget,
                        const std::function<qint64(const TParsedBlock&, TBlockBudget&)>& claim)
{
    TObjectReader reader(bytes);
    TParsedBlock block;
    TStreamRecord head;
    reader.ReadRecord(head);
    if (head.className != "TGridPropIO") Fail();
    block.cols = head.Int("ColCount");
    block.rows = head.Int("RowCount");
    if (block.cols < 1 || block.rows < 1 || block.cols > kMaxStreamCols || block.rows > kMaxStreamRows) Fail();
    block.colWidths = SizeList(head.Str("ColWidths"), block.cols);
    block.rowHeights = SizeList(head.Str("RowHeights"), block.rows);
    block.fullGrid = head.Bool("FullGrid");
    block.id = head.Int("ID");
    if (head.Find("OriginCol") || head.Find("OriginRow")) {
        block.hasOrigin = true;
        block.originCol = Int32(head, "OriginCol");
        block.originRow = Int32(head, "OriginRow");
    }
    // A block's place: its own top-left, the grid's for a whole grid, else
    // (older streams) its first cell, with the cells on either side of it.
    if (block.fullGrid) block.originCol = block.originRow = 0;
    const bool fixedOrigin = block.hasOrigin || block.fullGrid;
    const qint64 maxCells = block.cols * block.rows;
    budget.Claim(block.cols, block.rows);
    const qint64 left = claim(block, budget);
    const auto refuse = [&] {
        if (!budget.Fits()) throw EReadError(budget.Refusal(QStringLiteral("The cell block")));
    };
    refuse();
    // The columns each row of the block reaches: a row's slots run up to
    // its last cell. A block placed by its first cell has rows on both
    // sides of it.
    block.rowBase = fixedOrigin ? 0 : block.rows - 1;
    std::vector<int>& reach = block.reach;
    reach.assign(size_t(fixedOrigin ? block.rows : 2 * block.rows - 1), 0);
    TStreamRecord rec;
    TStreamRecord pr;
    TStreamRecord gr;
    TStreamRecord content;
    while (reader.Remaining() >= 2) {
        reader.ReadRecord(rec);
        if (rec.className != "TGridCellIO") Fail();
        if (block.cellCount >= maxCells) Fail();
        const int col = Int32(rec, "Col");
        const int row = Int32(rec, "Row");
        const TStreamValue* text = rec.Find("Cell");
        if (text && text->kind != TStreamValue::String) Fail();
        if (block.cellCount == 0 && !fixedOrigin) {
            block.originCol = col;
            block.originRow = row;
        }
        // Every cell lies inside the block it claims.
        const qint64 dc = qint64(col) - block.originCol;
        const qint64 dr = qint64(row) - block.originRow;
        const bool inside = fixedOrigin ? (dc >= 0 && dc < block.cols && dr >= 0 && dr < block.rows)
                                        : (dc > -block.cols && dc < block.cols && dr > -block.rows && dr < block.rows);
        if (!inside) Fail();
        // A text takes no more characters than its bytes.
        if (text && !text->raw.isEmpty()) budget.Text(text->raw.size());
        int& width = reach[size_t(block.rowBase + dr)];
        width = int(std::clamp<qint64>(left + dc + 1, std::max(width, 1), INT32_MAX));
        const qint64 index = block.cellCount++;
        if (!rec.Bool("HasProp")) continue;
        budget.Properties(1);
        refuse();
        TParsedExtra extra;
        extra.index = index;
        extra.col = col;
        extra.row = row;
        reader.ReadRecord(pr);
        extra.records = 1;
        if (pr.className != "TGridCellPropIO") Fail();
        extra.props = std::make_unique<TCellProperties>(nullptr, 0, 0);
        ReadProperties(pr, *extra.props);
        if (pr.Bool("HasGraphic")) {
            reader.ReadRecord(gr);
            ++extra.records;
            if (gr.className != "TGridGraphicIO") Fail();
            extra.graphic = std::make_unique<TCellGraphic>();
            ReadGraphic(gr, *extra.graphic);
            const TCellType type = extra.graphic->CellType;
            if (NeedsContent(type)) {
                reader.ReadRecord(content);
                ++extra.records;
                if (type == ctRadio || type == ctImages) {
                    if (content.className != "TGridSLIO") Fail();
                    const TStreamValue* list = content.Find("Strings.Strings");
                    const QStringList items = list && list->kind == TStreamValue::List ? list->items : QStringList();
                    if (type == ctRadio) {
                        extra.graphic->Options = items;
                    } else {
                        for (const QString& s : items.join(u',').split(u',', Qt::SkipEmptyParts)) {
                            bool ok = false;
                            extra.graphic->Images.push_back(s.trimmed().toInt(&ok));
                            if (!ok) Fail();
                        }
                    }
                } else if (type == ctBitmap || type == ctBitButton) {
                    if (content.className != "TGridBMPIO") Fail();
                    const TStreamValue* data = content.Find("Bitmap.Data");
                    if (!data || data->kind != TStreamValue::Binary) Fail();
                    auto bitmap = std::make_unique<TBitmap>();
                    QByteArray raw = data->bytes;
                    QBuffer buffer(&raw);
                    buffer.open(QIODevice::ReadOnly);
                    try {
                        bitmap->LoadFromStream(buffer);
                    } catch (const Exception&) {
                        Fail();
                    }
                    extra.graphic->Graphic = bitmap.release();
                } else {
                    // An icon, a picture or a file picture: the picture's
                    // own bytes, read by the bounded picture reader. What it
                    // keeps and shows counts against the caps.
                    const char* cls = type == ctIcon ? "TGridIconIO"
                        : type == ctPicture          ? "TGridPicIO"
                                                     : "TGridFilePicIO";
                    if (content.className != cls) Fail();
                    const TStreamValue* data = content.Find(type == ctIcon ? "Icon.Data" : "Picture.Data");
                    if (!data || data->kind != TStreamValue::Binary) Fail();
                    auto picture = std::make_unique<THTMLPicture>();
                    if (!data->bytes.isEmpty()) {
                        QByteArray raw = data->bytes;
                        QBuffer buffer(&raw);
                        buffer.open(QIODevice::ReadOnly);
                        try {
                            picture->LoadFromStream(buffer);
                        } catch (const Exception&) {
                            Fail();
                        }
                        budget.Bytes(raw.size() + qint64(picture->Image().width()) * picture->Image().height() * 4);
                        refuse();
                    }
                    (type == ctIcon ? extra.graphic->Icon : extra.graphic->Graphic) = picture.release();
                }
            }
        }
        block.extras.push_back(std::move(extra));
    }
    if (reader.Remaining() != 0) Fail();
    for (const int width : reach)
        if (width > 0) budget.Slots(width);
    budget.Bytes(qint64(sizeof(void*) * 5) * block.cellCount); // the cells' places, decided before any is written
    refuse();
    return block;
}

} // namespace

qint32 TExtStringGrid::StreamId() const
{
    if (d->io.streamId == 0) d->io.streamId = qint32(QRandomGenerator::global()->bounded(1, INT32_MAX));
    return d->io.streamId;
}

void TExtStringGrid::SaveCellsToStream(const TRect& block, QIODevice& stream)
{
    const QByteArray bytes = CellStreamBytes(block);
    if (stream.write(bytes) != bytes.size()) throw EExtGridError(QStringLiteral("Stream write error"));
}

QByteArray TExtStringGrid::CellStreamBytes(const TRect& block)
{
    const int left = std::max(0, block.Left);
    const int top = std::max(0, block.Top);
    const int right = std::min(block.Right, ColCount() - 1);
    const int bottom = std::min(block.Bottom, RowCount() - 1);
    if (right < left || bottom < top) return QByteArray();
    TObjectWriter w;
    w.BeginRecord("TGridPropIO");
    w.Integer("ColCount", right - left + 1);
    w.Integer("RowCount", bottom - top + 1);
    // "64,80,12"
    const auto sizeList = [](int from, int to, const auto& size) {
        QByteArray list;
        list.reserve(qsizetype(to - from + 1) * 4);
        for (int i = from; i <= to; ++i) {
            char digits[16];
            if (i > from) list.append(',');
            list.append(digits, std::to_chars(digits, digits + sizeof digits, size(i)).ptr - digits);
        }
        return QString::fromLatin1(list);
    };
    w.String("ColWidths", sizeList(left, right, [this](int c) { return ColWidths(c); }));
    w.String("RowHeights", sizeList(top, bottom, [this](int r) { return RowHeights(r); }));
    w.Boolean("FullGrid", right - left + 1 == ColCount() && bottom - top + 1 == RowCount());
    w.Integer("ID", StreamId());
    // The block's own top-left: the paste places every cell relative to it.
    w.Integer("OriginCol", left);
    w.Integer("OriginRow", top);
    w.EndRecord();

    // Room for what a sample of the cells suggests, a quarter more, so that
    // a large stream is rarely moved while it grows.
    const qint64 cells = qint64(right - left + 1) * (bottom - top + 1);
    const qint64 step = std::max<qint64>(1, cells / 256);
    qint64 sampled = 0;
    qint64 sampleBytes = 0;
    for (qint64 i = 0; i < cells; i += step, ++sampled) {
        const int rc = RealColIndex(left + int(i % (right - left + 1)));
        const int r = top + int(i / (right - left + 1));
        if (rc < 0) continue;
        const qsizetype length = Cells(rc, r).size();
        const bool props = CellPropertiesOf(rc, r) != nullptr;
        if (length > 0 || props) sampleBytes += 50 + length + (props ? 500 : 0);
    }
    w.Reserve(qsizetype(std::min(double(sampleBytes) / double(sampled) * double(cells) * 1.25, double(kMaxReserve))));

    for (int c = left; c <= right; ++c) {
        const int rc = RealColIndex(c);
        if (rc < 0) continue;
        for (int r = top; r <= bottom; ++r) {
            const QString text = Cells(rc, r);
            const TCellProperties* p = CellPropertiesOf(rc, r);
            if (text.isEmpty() && !p) continue;
            w.BeginRecord("TGridCellIO");
            w.Integer("Col", c);
            w.Integer("Row", r);
            w.String("Cell", text);
            w.Boolean("HasProp", p != nullptr);
            w.EndRecord();
            if (!p) continue;
            const TCellGraphic* g = p->CellGraphic();
            const bool hasGraphic = WritableGraphic(g);
            w.BeginRecord("TGridCellPropIO");
            w.Boolean("CellProperties.IsBaseCell", p->IsBaseCell);
            w.Integer("CellProperties.CellSpanX", p->CellSpanX);
            w.Integer("CellProperties.CellSpanY", p->CellSpanY);
            w.Ident("CellProperties.Alignment", kAlignments.value(int(p->Alignment)));
            w.Integer("CellProperties.BorderColor", qint32(p->BorderColor));
            w.Integer("CellProperties.BorderWidth", p->BorderWidth);
            w.Integer("CellProperties.BrushColor", qint32(p->BrushColor));
            w.Ident("CellProperties.BrushStyle", kBrushStyles.value(int(p->BrushStyle)));
            w.Integer("CellProperties.FontColor", qint32(p->FontColor));
            w.String("CellProperties.FontName", p->FontName);
            w.Integer("CellProperties.FontSize", p->FontSize);
            QStringList styles;
            for (int s = 0; s < kFontStyles.size(); ++s)
                if (p->FontStyle.Contains(TFontStyle(s))) styles << kFontStyles[s];
            w.Set("CellProperties.FontStyle", styles);
            w.Ident("CellProperties.Editor", kEditors.value(int(p->Editor)));
            w.Boolean("CellProperties.ReadOnly", p->ReadOnly);
            w.Ident("CellProperties.VAlignment", kVAlignments.value(int(p->VAlignment)));
            w.Boolean("CellProperties.WordWrap", p->WordWrap);
            w.Integer("CellProperties.NodeLevel", p->NodeLevel);
            w.Boolean("HasGraphic", hasGraphic);
            w.EndRecord();
            if (!hasGraphic) continue;
            w.BeginRecord("TGridGraphicIO");
            w.Ident("CellGraphic.CellType", kCellTypes.value(int(g->CellType)));
            w.Ident("CellGraphic.CellVAlign", kCellVAligns.value(int(g->CellVAlign)));
            w.Ident("CellGraphic.CellHAlign", kCellHAligns.value(int(g->CellHAlign)));
            w.Integer("CellGraphic.CellIndex", g->CellIndex);
            w.Boolean("CellGraphic.CellTransparent", g->CellTransparent);
            w.Boolean("CellGraphic.CellCreated", g->CellCreated);
            w.Boolean("CellGraphic.CellBoolean", g->CellBoolean);
            w.Integer("CellGraphic.CellAngle", g->CellAngle);
            w.Float("CellGraphic.CellValue", g->CellValue);
            w.Integer("CellGraphic.CellErrFrom", g->CellErrFrom);
            w.Integer("CellGraphic.CellErrLen", g->CellErrLen);
            w.String("CellGraphic.CellText", g->CellText);
            w.EndRecord();
            if (g->CellType == ctRadio || g->CellType == ctImages) {
                QStringList items = g->Options;
                if (g->CellType == ctImages) {
                    QStringList indexes;
                    for (int i : g->Images) indexes << QString::number(i);
                    items = QStringList{indexes.join(u',')};
                }
                w.BeginRecord("TGridSLIO");
                w.StringList("Strings.Strings", items);
                w.EndRecord();
            } else if (NeedsContent(g->CellType)) {
                // The bitmap, icon or picture the grid made, in its own bytes.
                const TGraphic* picture = g->CellType == ctIcon ? g->Icon : g->Graphic;
                QByteArray raw;
                if (!picture->Empty()) {
                    QBuffer buffer(&raw);
                    buffer.open(QIODevice::WriteOnly);
                    picture->SaveToStream(buffer);
                }
                switch (g->CellType) {
                case ctIcon:
                    w.BeginRecord("TGridIconIO");
                    w.Binary("Icon.Data", raw);
                    break;
                case ctPicture:
                    w.BeginRecord("TGridPicIO");
                    w.Binary("Picture.Data", raw);
                    break;
                case ctFilePicture:
                    w.BeginRecord("TGridFilePicIO");
                    w.Binary("Picture.Data", raw);
                    break;
                default:
                    w.BeginRecord("TGridBMPIO");
                    w.Binary("Bitmap.Data", raw);
                    break;
                }
                w.EndRecord();
            }
        }
    }
    return w.Bytes();
}

int TExtStringGrid::LoadCellsFromStream(int col, int row, QIODevice& stream)
{
    if (stream.bytesAvailable() > kMaxStreamBytes) throw EReadError(QStringLiteral("Invalid cell stream"));
    QByteArray bytes;
    try {
        bytes = stream.readAll();
    } catch (const std::bad_alloc&) {
        throw EReadError(QStringLiteral("Not enough memory to read the cell stream"));
    }
    return LoadCells(col, row, bytes, false);
}

int TExtStringGrid::LoadCells(int col, int row, const QByteArray& bytes, bool asPaste)
{
    if (bytes.size() > kMaxStreamBytes) throw EReadError(QStringLiteral("Invalid cell stream"));
    const TNavigation& nav = d->navigation;
    const bool whole = !asPaste; // a whole-grid stream replaces the grid
    // The rows the grid would grow by count against the caps before the
    // cells are read.
    TBlockBudget budget;
    TParsedBlock block;
    try {
        block = ParseBlock(bytes, budget, [&](const TParsedBlock& b, TBlockBudget& bb) -> qint64 {
            if (b.fullGrid && whole) {
                bb.Rows(b.rows - RowCount());
                return 0;
            }
            if (asPaste && nav.AllowClipboardRowGrow) bb.Rows(row + b.rows - RowCount());
            return col;
        });
    } catch (const std::bad_alloc&) {
        throw EReadError(QStringLiteral("Not enough memory to read the cell stream"));
    }
    const bool replace = block.fullGrid && whole;
    if (replace) col = row = 0;

    const TUpdateScope update(*this);

    // The grid grows first, to what the block needs; a failure puts the
    // counts back. A whole grid is cut to its size only once nothing can
    // fail any more.
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    const qint64 needCols = replace ? block.cols : col + block.cols;
    const qint64 needRows = replace ? block.rows : row + block.rows;
    const bool growCols = replace || (asPaste && nav.AllowClipboardColGrow);
    const bool growRows = replace || (asPaste && nav.AllowClipboardRowGrow);

    struct TPlaced {
        int col;
        int row;
        QString value;
        TParsedExtra* extra;
    };
    std::vector<TPlaced> placed;
    try {
        if (growCols && needCols > ColCount()) SetColCount(int(needCols));
        if (growRows && needRows > RowCount()) SetRowCount(int(needRows));
        if (replace) {
            // The sizes are stored where they will be set (the lists are
            // made now, each size as it was).
            if (!block.colWidths.empty()) SetColWidths(0, ColWidths(0));
            if (!block.rowHeights.empty()) SetRowHeights(0, RowHeights(0));
        }
        // Where each cell goes and what it gets (the paste event may change
        // or refuse it), all decided before the first is written.
        const bool always = !asPaste || nav.AllowClipboardAlways;
        const auto target = [&](int cellCol, int cellRow, int& tc, int& tr) {
            const qint64 x = qint64(col) + cellCol - block.originCol;
            const qint64 y = qint64(row) + cellRow - block.originRow;
            if (x < 0 || y < 0 || x >= (replace ? needCols : ColCount()) || y >= (replace ? needRows : RowCount()))
                return false;
            tc = RealColIndex(int(x));
            tr = int(y);
            return tc >= 0;
        };
        placed.reserve(size_t(block.cellCount));
        TObjectReader reader(bytes);
        TStreamRecord rec;
        reader.ReadRecord(rec);
        auto extra = block.extras.begin();
        for (qint64 i = 0; i < block.cellCount; ++i) {
            reader.ReadRecord(rec);
            TParsedExtra* x = extra != block.extras.end() && extra->index == i ? &*extra++ : nullptr;
            if (x) {
                TStreamRecord skipped;
                for (int k = 0; k < x->records; ++k) reader.ReadRecord(skipped);
            }
            int tc = 0;
            int tr = 0;
            if (!target(int(rec.Int("Col")), int(rec.Int("Row")), tc, tr)) continue;
            if (!always && !IsEditableCell(tc, tr)) continue;
            QString value = rec.Str("Cell");
            if (asPaste && OnClipboardBeforePasteCell) {
                bool allow = true;
                OnClipboardBeforePasteCell(this, DisplColIndex(tc), tr, value, allow);
                if (!allow) continue;
            }
            placed.push_back(TPlaced{tc, tr, std::move(value), x});
        }
        // Each row gets room for the columns its cells reach.
        for (size_t k = 0; k < block.reach.size(); ++k) {
            const qint64 r = qint64(row) + qint64(k) - block.rowBase;
            if (block.reach[k] <= 0 || r < 0 || r >= RowCount()) continue;
            const int rc = RealColIndex(int(std::min<qint64>(ColCount(), block.reach[k]) - 1));
            if (rc >= 0) ReserveCols(int(r), int(r), rc + 1);
        }
    } catch (const std::bad_alloc&) {
        RestoreSize(oldCols, oldRows);
        throw EReadError(QStringLiteral("Not enough memory to read the cell stream"));
    } catch (...) {
        RestoreSize(oldCols, oldRows);
        throw;
    }

    if (replace) {
        Clear();
        SetColCount(int(block.cols));
        SetRowCount(int(block.rows));
        for (size_t c = 0; c < block.colWidths.size(); ++c) SetColWidths(int(c), block.colWidths[c]);
        for (size_t r = 0; r < block.rowHeights.size(); ++r) SetRowHeights(int(r), block.rowHeights[r]);
    }
    for (TPlaced& cell : placed) {
        SetCells(cell.col, cell.row, std::move(cell.value));
        TParsedExtra* x = cell.extra;
        if (!x) continue;
        TCellProperties* p = EnsureCellProperties(cell.col, cell.row);
        p->Assign(*x->props);
        p->OwnerCol = cell.col;
        p->OwnerRow = cell.row;
        p->Control = nullptr;
        // Merges are made again below from the areas the block holds whole.
        p->IsBaseCell = true;
        p->CellSpanX = -1;
        p->CellSpanY = -1;
        // A virtual check box belongs to the application: let go, not freed.
        TCellGraphic* old = p->TakeCellGraphic();
        if (old && old->CellType != ctVirtCheckBox) delete old;
        if (x->graphic) p->SetCellGraphic(x->graphic.release());
    }
    const auto target = [&](int cellCol, int cellRow, int& tc, int& tr) {
        const qint64 x = qint64(col) + cellCol - block.originCol;
        const qint64 y = qint64(row) + cellRow - block.originRow;
        if (x < 0 || y < 0 || x >= ColCount() || y >= RowCount()) return false;
        tc = RealColIndex(int(x));
        tr = int(y);
        return tc >= 0;
    };
    for (const TParsedExtra& c : block.extras) {
        if (!c.props->IsBaseCell || (c.props->CellSpanX <= 0 && c.props->CellSpanY <= 0)) continue;
        const qint64 dc = qint64(c.col) - block.originCol;
        const qint64 dr = qint64(c.row) - block.originRow;
        const qint64 sx = std::max(0, c.props->CellSpanX);
        const qint64 sy = std::max(0, c.props->CellSpanY);
        if (dc < 0 || dr < 0 || dc + sx >= block.cols || dr + sy >= block.rows) continue;
        int tc = 0;
        int tr = 0;
        if (!target(c.col, c.row, tc, tr)) continue;
        if (DisplColIndex(tc) + sx >= ColCount() || tr + sy >= RowCount()) continue;
        MergeCells(tc, tr, int(sx) + 1, int(sy) + 1);
    }
    CellsChanged(TRect(col, row, int(std::min<qint64>(ColCount() - 1, col + block.cols - 1)),
                       int(std::min<qint64>(RowCount() - 1, row + block.rows - 1))));
    d->io.lastBlockCols = int(block.cols);
    d->io.lastBlockRows = int(block.rows);
    d->io.lastBlockId = block.id;
    return int(std::min<qint64>(INT32_MAX, block.cols * block.rows));
}
