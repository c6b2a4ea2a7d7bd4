// The cell stream: a block of cells with their texts, properties and
// graphics as records of the class library's object stream. It carries the
// private clipboard format and whole grids. The records themselves, each
// one's writer beside its reader, are in CellStreamRecords_p.h; here the
// block is written from the grid and read into it.
//
// Reading parses the whole stream first, with every size, count and place
// checked; only a stream that reads completely changes the grid. Pointers
// (the application's cell object, embedded controls) are never written or
// read, the owner of pasted properties is the target cell, and a merged
// area is kept only when the block holds all of it.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellProperties.h"
#include "grid/io/CellStreamRecords_p.h"
#include "grid/io/TBlockBudget.h"

#include <QIODevice>
#include <QRandomGenerator>
#include <algorithm>
#include <functional>
#include <memory>
#include <new>

using namespace cellstream;

namespace {

constexpr qint64 kMaxStreamBytes = qint64(512) * 1024 * 1024;
// Room made ahead for a stream being written, at most.
constexpr qint64 kMaxReserve = qint64(256) * 1024 * 1024;

[[noreturn]] void OutOfMemory() { throw EReadError(QStringLiteral("Not enough memory to read the cell stream")); }

// ---------------------------------------------------------------------------
// Writing

// Room for what a sample of the cells of the block suggests, a quarter
// more, so that a large stream is rarely moved while it grows.
qsizetype EstimatedBytes(const TExtStringGrid& grid, const TRect& block)
{
    const int cols = block.Right - block.Left + 1;
    const qint64 cells = qint64(cols) * (block.Bottom - block.Top + 1);
    const qint64 step = std::max<qint64>(1, cells / 256);
    qint64 sampled = 0;
    qint64 sampleBytes = 0;
    for (qint64 i = 0; i < cells; i += step, ++sampled) {
        const int rc = grid.RealColIndex(block.Left + int(i % cols));
        const int r = block.Top + int(i / cols);
        if (rc < 0) continue;
        const qsizetype length = grid.Cells(rc, r).size();
        const bool props = grid.CellPropertiesOf(rc, r) != nullptr;
        if (length > 0 || props) sampleBytes += 50 + length + (props ? 500 : 0);
    }
    return qsizetype(std::min(double(sampleBytes) / double(sampled) * double(cells) * 1.25, double(kMaxReserve)));
}

// The records of one cell: the cell, then its properties, graphic and the
// graphic's content as far as it has them.
void WriteCell(TObjectWriter& w, int col, int row, const QString& text, const TCellProperties* p)
{
    TCellRecord::Write(w, col, row, text, p != nullptr);
    if (!p) return;
    const TCellGraphic* g = p->CellGraphic();
    const bool hasGraphic = TGraphicRecord::Writable(g);
    TPropRecord::Write(w, *p, hasGraphic);
    if (!hasGraphic) return;
    TGraphicRecord::Write(w, *g);
    TContentRecord::Write(w, *g);
}

// ---------------------------------------------------------------------------
// Reading

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

struct TParsedBlock : THeadRecord {
    qint64 cellCount = 0;
    std::vector<TParsedExtra> extras; // in stream order
    // Per row of the block (from rowBase rows above its top): one past the
    // grid column its last cell goes to, 0 for a row without cells.
    std::vector<int> reach;
    qint64 rowBase = 0;
};

// Reads and checks the whole stream. The cells' texts are checked but not
// kept: the grid takes them from the bytes once the stream has proved good.
// What the block would take goes into budget: claim adds the rows the grid
// grows by once the head is read (before anything is made for the rows)
// and answers the grid column the block's left edge goes to; then the
// cells' slots, texts and properties follow. A block past the caps is
// refused as soon as that shows.
class TBlockParser {
public:
    using Claim = std::function<qint64(const TParsedBlock&, TBlockBudget&)>;

    TBlockParser(const QByteArray& bytes, TBlockBudget& budget) : m_reader(bytes), m_budget(budget) { }

    TParsedBlock Parse(const Claim& claim)
    {
        ReadHead(claim);
        while (m_reader.Remaining() >= 2) ReadCell();
        if (m_reader.Remaining() != 0) Fail();
        for (const int width : m_block.reach)
            if (width > 0) m_budget.Slots(width);
        // The cells' places, decided before any is written.
        m_budget.Bytes(qint64(sizeof(void*) * 5) * m_block.cellCount);
        CheckBudget(m_budget);
        return std::move(m_block);
    }

private:
    void ReadHead(const Claim& claim)
    {
        TStreamRecord head;
        ReadExpected(m_reader, head, THeadRecord::kClass);
        m_block.Read(head);
        // A block's place: its own top-left, the grid's for a whole grid,
        // else (older streams) its first cell, with the cells on either side
        // of it.
        if (m_block.fullGrid) m_block.originCol = m_block.originRow = 0;
        m_fixedOrigin = m_block.hasOrigin || m_block.fullGrid;
        m_maxCells = m_block.cols * m_block.rows;
        m_budget.Claim(m_block.cols, m_block.rows);
        m_left = claim(m_block, m_budget);
        CheckBudget(m_budget);
        // The columns each row of the block reaches: a row's slots run up
        // to its last cell. A block placed by its first cell has rows on
        // both sides of it.
        m_block.rowBase = m_fixedOrigin ? 0 : m_block.rows - 1;
        m_block.reach.assign(size_t(m_fixedOrigin ? m_block.rows : 2 * m_block.rows - 1), 0);
    }

    // Every cell lies inside the block it claims.
    bool Inside(qint64 dc, qint64 dr) const
    {
        const qint64 cols = m_block.cols;
        const qint64 rows = m_block.rows;
        if (m_fixedOrigin) return dc >= 0 && dc < cols && dr >= 0 && dr < rows;
        return dc > -cols && dc < cols && dr > -rows && dr < rows;
    }

    void ReadCell()
    {
        ReadExpected(m_reader, m_rec, TCellRecord::kClass);
        if (m_block.cellCount >= m_maxCells) Fail();
        TCellRecord cell;
        cell.Read(m_rec);
        if (m_block.cellCount == 0 && !m_fixedOrigin) {
            m_block.originCol = cell.col;
            m_block.originRow = cell.row;
        }
        const qint64 dc = qint64(cell.col) - m_block.originCol;
        const qint64 dr = qint64(cell.row) - m_block.originRow;
        if (!Inside(dc, dr)) Fail();
        // A text takes no more characters than its bytes.
        if (cell.TextBytes() > 0) m_budget.Text(cell.TextBytes());
        int& width = m_block.reach[size_t(m_block.rowBase + dr)];
        width = int(std::clamp<qint64>(m_left + dc + 1, std::max(width, 1), INT32_MAX));
        const qint64 index = m_block.cellCount++;
        if (!cell.hasProp) return;
        m_budget.Properties(1);
        CheckBudget(m_budget);
        TParsedExtra extra;
        extra.index = index;
        extra.col = cell.col;
        extra.row = cell.row;
        ReadExtra(extra);
        m_block.extras.push_back(std::move(extra));
    }

    // The properties of a cell and, as far as it has them, its graphic and
    // the graphic's content.
    void ReadExtra(TParsedExtra& extra)
    {
        ReadExpected(m_reader, m_extraRec, TPropRecord::kClass);
        extra.records = 1;
        extra.props = std::make_unique<TCellProperties>(nullptr, 0, 0);
        if (!TPropRecord::Read(m_extraRec, *extra.props)) return;
        ReadExpected(m_reader, m_extraRec, TGraphicRecord::kClass);
        ++extra.records;
        extra.graphic = std::make_unique<TCellGraphic>();
        TGraphicRecord::Read(m_extraRec, *extra.graphic);
        if (TContentRecord::Read(m_reader, m_extraRec, *extra.graphic, m_budget)) ++extra.records;
    }

    TObjectReader m_reader;
    TBlockBudget& m_budget;
    TParsedBlock m_block;
    bool m_fixedOrigin = false;
    qint64 m_maxCells = 0;
    qint64 m_left = 0;
    // Records read again and again (their room is used again).
    TStreamRecord m_rec;
    TStreamRecord m_extraRec;
};

// The block of bytes, checked, with the rows the grid would grow by
// counted against the caps before the cells are read.
TParsedBlock ParseForGrid(TExtStringGrid& grid, const QByteArray& bytes, int col, int row, bool asPaste)
{
    const bool whole = !asPaste; // a whole-grid stream replaces the grid
    const bool rowGrow = asPaste && grid.Navigation().AllowClipboardRowGrow;
    TBlockBudget budget;
    try {
        return TBlockParser(bytes, budget).Parse([&](const TParsedBlock& b, TBlockBudget& bb) -> qint64 {
            if (b.fullGrid && whole) {
                bb.Rows(b.rows - grid.RowCount());
                return 0;
            }
            if (rowGrow) bb.Rows(row + b.rows - grid.RowCount());
            return col;
        });
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

// Where the cells of a parsed block go in the grid and what they get,
// decided whole (the paste event included) before the first is written,
// and then written.
class TBlockPlacement {
public:
    TBlockPlacement(TExtStringGrid& grid, TParsedBlock& block, int col, int row, bool asPaste)
        : m_grid(grid),
          m_block(block),
          m_asPaste(asPaste),
          m_replace(block.fullGrid && !asPaste),
          m_col(m_replace ? 0 : col),
          m_row(m_replace ? 0 : row),
          m_needCols(m_col + block.cols),
          m_needRows(m_row + block.rows)
    { }

    // Grows the grid to what the block needs and decides every cell; may
    // fail, leaving the grid grown (the caller puts the counts back).
    void Prepare(const QByteArray& bytes)
    {
        Grow();
        Decide(bytes);
        ReserveRows();
    }

    // Writes the cells decided; nothing here fails.
    void Apply()
    {
        if (m_replace) ReplaceGrid();
        for (TPlaced& cell : m_placed) WriteCell(cell);
        for (const TParsedExtra& c : m_block.extras) MergeArea(c);
    }

    // The cells the block reaches in the grid.
    TRect Reached() const
    {
        return TRect(m_col, m_row, int(std::min<qint64>(m_grid.ColCount() - 1, m_col + m_block.cols - 1)),
                     int(std::min<qint64>(m_grid.RowCount() - 1, m_row + m_block.rows - 1)));
    }

private:
    struct TPlaced {
        int col;
        int row;
        QString value;
        TParsedExtra* extra;
    };

    // The grid grows first, to what the block needs. A whole grid is cut
    // to its size only once nothing can fail any more.
    void Grow()
    {
        const TNavigation& nav = m_grid.Navigation();
        const bool growCols = m_replace || (m_asPaste && nav.AllowClipboardColGrow);
        const bool growRows = m_replace || (m_asPaste && nav.AllowClipboardRowGrow);
        if (growCols && m_needCols > m_grid.ColCount()) m_grid.SetColCount(int(m_needCols));
        if (growRows && m_needRows > m_grid.RowCount()) m_grid.SetRowCount(int(m_needRows));
        if (!m_replace) return;
        // The sizes are stored where they will be set (the lists are made
        // now, each size as it was).
        if (!m_block.colWidths.empty()) m_grid.SetColWidths(0, m_grid.ColWidths(0));
        if (!m_block.rowHeights.empty()) m_grid.SetRowHeights(0, m_grid.RowHeights(0));
    }

    // The grid cell (real column) a cell of the stream goes to, when it
    // lies in cols x rows of the grid.
    bool Target(int cellCol, int cellRow, qint64 cols, qint64 rows, int& tc, int& tr) const
    {
        const qint64 x = qint64(m_col) + cellCol - m_block.originCol;
        const qint64 y = qint64(m_row) + cellRow - m_block.originRow;
        if (x < 0 || y < 0 || x >= cols || y >= rows) return false;
        tc = m_grid.RealColIndex(int(x));
        tr = int(y);
        return tc >= 0;
    }

    void Decide(const QByteArray& bytes)
    {
        const bool always = !m_asPaste || m_grid.Navigation().AllowClipboardAlways;
        const qint64 cols = m_replace ? m_needCols : m_grid.ColCount();
        const qint64 rows = m_replace ? m_needRows : m_grid.RowCount();
        m_placed.reserve(size_t(m_block.cellCount));
        TObjectReader reader(bytes);
        TStreamRecord rec;
        TStreamRecord skipped;
        reader.ReadRecord(rec); // the head
        auto extra = m_block.extras.begin();
        for (qint64 i = 0; i < m_block.cellCount; ++i) {
            reader.ReadRecord(rec);
            TParsedExtra* x = extra != m_block.extras.end() && extra->index == i ? &*extra++ : nullptr;
            for (int k = 0; x && k < x->records; ++k) reader.ReadRecord(skipped);
            // Its properties, if any, are the extra's (read in the parse).
            TCellRecord cell;
            cell.ReadPlace(rec);
            int tc = 0;
            int tr = 0;
            if (!Target(cell.col, cell.row, cols, rows, tc, tr)) continue;
            if (!always && !m_grid.IsEditableCell(tc, tr)) continue;
            QString value = cell.Text();
            if (!Allowed(tc, tr, value)) continue;
            m_placed.push_back(TPlaced{tc, tr, std::move(value), x});
        }
    }

    // A paste asks OnClipboardBeforePasteCell, which may change or refuse
    // the value.
    bool Allowed(int tc, int tr, QString& value)
    {
        if (!m_asPaste || !m_grid.OnClipboardBeforePasteCell) return true;
        bool allow = true;
        m_grid.OnClipboardBeforePasteCell(&m_grid, m_grid.DisplColIndex(tc), tr, value, allow);
        return allow;
    }

    // Each row gets room for the columns its cells reach.
    void ReserveRows()
    {
        const std::vector<int>& reach = m_block.reach;
        for (size_t k = 0; k < reach.size(); ++k) {
            const qint64 r = qint64(m_row) + qint64(k) - m_block.rowBase;
            if (reach[k] <= 0 || r < 0 || r >= m_grid.RowCount()) continue;
            const int rc = m_grid.RealColIndex(int(std::min<qint64>(m_grid.ColCount(), reach[k]) - 1));
            if (rc >= 0) m_grid.ReserveCols(int(r), int(r), rc + 1);
        }
    }

    void ReplaceGrid()
    {
        m_grid.Clear();
        m_grid.SetColCount(int(m_block.cols));
        m_grid.SetRowCount(int(m_block.rows));
        for (size_t c = 0; c < m_block.colWidths.size(); ++c) m_grid.SetColWidths(int(c), m_block.colWidths[c]);
        for (size_t r = 0; r < m_block.rowHeights.size(); ++r) m_grid.SetRowHeights(int(r), m_block.rowHeights[r]);
    }

    void WriteCell(TPlaced& cell)
    {
        m_grid.SetCells(cell.col, cell.row, std::move(cell.value));
        TParsedExtra* x = cell.extra;
        if (!x) return;
        TCellProperties* p = m_grid.EnsureCellProperties(cell.col, cell.row);
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

    // A merged area of the stream, made again when the block holds all of
    // it and it fits the grid.
    void MergeArea(const TParsedExtra& c)
    {
        if (!c.props->IsBaseCell || (c.props->CellSpanX <= 0 && c.props->CellSpanY <= 0)) return;
        const qint64 dc = qint64(c.col) - m_block.originCol;
        const qint64 dr = qint64(c.row) - m_block.originRow;
        const qint64 sx = std::max(0, c.props->CellSpanX);
        const qint64 sy = std::max(0, c.props->CellSpanY);
        if (dc < 0 || dr < 0 || dc + sx >= m_block.cols || dr + sy >= m_block.rows) return;
        int tc = 0;
        int tr = 0;
        if (!Target(c.col, c.row, m_grid.ColCount(), m_grid.RowCount(), tc, tr)) return;
        if (m_grid.DisplColIndex(tc) + sx >= m_grid.ColCount() || tr + sy >= m_grid.RowCount()) return;
        m_grid.MergeCells(tc, tr, int(sx) + 1, int(sy) + 1);
    }

    TExtStringGrid& m_grid;
    TParsedBlock& m_block;
    const bool m_asPaste;
    const bool m_replace; // a whole-grid stream replaces the grid
    const int m_col;
    const int m_row;
    const qint64 m_needCols;
    const qint64 m_needRows;
    std::vector<TPlaced> m_placed;
};

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
    const TRect b(std::max(0, block.Left), std::max(0, block.Top), std::min(block.Right, ColCount() - 1),
                  std::min(block.Bottom, RowCount() - 1));
    if (b.Right < b.Left || b.Bottom < b.Top) return QByteArray();
    THeadRecord head;
    head.cols = b.Right - b.Left + 1;
    head.rows = b.Bottom - b.Top + 1;
    head.colWidths.reserve(size_t(head.cols));
    for (int c = b.Left; c <= b.Right; ++c) head.colWidths.push_back(ColWidths(c));
    head.rowHeights.reserve(size_t(head.rows));
    for (int r = b.Top; r <= b.Bottom; ++r) head.rowHeights.push_back(RowHeights(r));
    head.fullGrid = head.cols == ColCount() && head.rows == RowCount();
    head.id = StreamId();
    // The block's own top-left: the paste places every cell relative to it.
    head.originCol = b.Left;
    head.originRow = b.Top;
    TObjectWriter w;
    head.Write(w);
    w.Reserve(EstimatedBytes(*this, b));
    for (int c = b.Left; c <= b.Right; ++c) {
        const int rc = RealColIndex(c);
        if (rc < 0) continue;
        for (int r = b.Top; r <= b.Bottom; ++r) {
            const QString text = Cells(rc, r);
            const TCellProperties* p = CellPropertiesOf(rc, r);
            if (!text.isEmpty() || p) WriteCell(w, c, r, text, p);
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
        OutOfMemory();
    }
    return LoadCells(col, row, bytes, false);
}

int TExtStringGrid::LoadCells(int col, int row, const QByteArray& bytes, bool asPaste)
{
    if (bytes.size() > kMaxStreamBytes) throw EReadError(QStringLiteral("Invalid cell stream"));
    TParsedBlock block = ParseForGrid(*this, bytes, col, row, asPaste);
    TBlockPlacement placement(*this, block, col, row, asPaste);
    // An edit in progress ends first, or its text would land on what the
    // block wrote.
    CloseEditorControl();
    HideEditor();
    const TUpdateScope update(*this);
    // A failure puts the counts back.
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    try {
        placement.Prepare(bytes);
    } catch (const std::bad_alloc&) {
        RestoreSize(oldCols, oldRows);
        OutOfMemory();
    } catch (...) {
        RestoreSize(oldCols, oldRows);
        throw;
    }
    placement.Apply();
    CellsChanged(placement.Reached());
    d->io.lastBlockCols = int(block.cols);
    d->io.lastBlockRows = int(block.rows);
    d->io.lastBlockId = block.id;
    return int(std::min<qint64>(INT32_MAX, block.cols * block.rows));
}
