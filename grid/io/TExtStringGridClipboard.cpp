// Copying, cutting and pasting cells through the clipboard, in three
// formats: plain text, rich text of one cell and the cell stream; and the
// smart fill of a selection after a paste.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/TGridUnit.h"
#include "grid/cells/TCellProperties.h"
#include "grid/io/GridMimeTypes.h"
#include "grid/io/TBlockBudget.h"
#include "grid/io/TObjectReader.h"
#include "grid/io/TObjectWriter.h"
#include "grid/io/TextPaste_p.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/core/Format.h"
#include "platform/core/LargeBuffer.h"
#include "platform/core/RegionalSettings.h"
#include "platform/core/SysUtils.h"
#include "platform/text/RtfReader.h"

#include <QMimeData>
#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

namespace {

QString RichTextAsPlain(const QString& text)
{
    try {
        return TRtfReader::Read(text.toLatin1()).PlainText();
    } catch (const Exception&) {
        return text;
    }
}

// The shape of pasted text and what pasting it would take, read without
// making anything: its lines (ended by CR LF, a lone CR or a lone LF; an
// empty segment after the final line end is no line, hasTail tells whether
// there was one), its widest line in TAB-separated fields, and per line the
// cell slots up to its last non-empty field (noted in lineLast, -1 for none)
// and the texts of its fields.
struct TTextShape {
    qint64 lines = 0;
    qint64 widest = 0;
    qint64 fields = 0;
    bool hasTail = false;
};

// The first position from at on that holds a character up to CR (TAB, LF
// and CR among them), or n. ASCII text is searched eight bytes at a time.
qsizetype NextControl(const char* u, qsizetype at, qsizetype n)
{
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    for (; at + 8 <= n; at += 8) {
        quint64 x;
        std::memcpy(&x, u + at, 8);
        // The lowest byte below 14 sets the lowest flag (bytes are ASCII).
        const quint64 low = (x - 14 * kOnes) & ~x & (0x80 * kOnes);
        if (low) return at + (std::countr_zero(low) >> 3);
    }
    while (at<n&& static_cast<unsigned char>(u[at])> '\r') ++at;
    return at;
}

qsizetype NextControl(const char16_t* u, qsizetype at, qsizetype n)
{
    while (at < n && u[at] > u'\r') ++at;
    return at;
}

template <class Char>
TTextShape MeasureText(const Char* u, qsizetype n, qint64 col, TBlockBudget& budget, std::vector<int>& lineLast)
{
    TTextShape shape;
    qint64 filled = 0; // non-empty fields
    qint64 chars = 0;  // their characters
    qsizetype start = 0;
    while (start < n) {
        qint64 fields = 1;
        qint64 lastFilled = -1;
        qsizetype fieldStart = start;
        qsizetype end = start;
        for (;; ++end) {
            end = NextControl(u, end, n);
            const Char ch = end < n ? u[end] : Char('\n');
            const bool atEnd = ch == '\r' || ch == '\n';
            if (atEnd || ch == '\t') {
                if (end > fieldStart) {
                    ++filled;
                    chars += end - fieldStart;
                    lastFilled = fields - 1;
                }
                if (atEnd) break;
                ++fields;
                fieldStart = end + 1;
            }
        }
        ++shape.lines;
        // Lines past the cell cap are counted, not noted: that paste is refused.
        if (shape.lines <= TBlockBudget::MaxCells) lineLast.push_back(int(lastFilled));
        shape.fields += fields;
        shape.widest = std::max(shape.widest, fields);
        if (lastFilled >= 0) budget.Slots(col + lastFilled + 1);
        if (end >= n) break;
        start = end + ((u[end] == '\r' && end + 1 < n && u[end + 1] == '\n') ? 2 : 1);
        if (start >= n) shape.hasTail = true;
    }
    budget.Texts(filled, chars);
    return shape;
}

QString FieldText(const char* ascii, qsizetype size) { return QString::fromLatin1(ascii, size); }
QString FieldText(const char16_t* u, qsizetype size) { return QString(reinterpret_cast<const QChar*>(u), size); }

bool IsAscii(const QByteArray& bytes)
{
    unsigned char seen = 0;
    for (const char c : bytes) seen |= static_cast<unsigned char>(c);
    return seen < 0x80;
}

// Collects text as UTF-8 in one growing buffer (none: collects nothing).
// Held by value, not in a std::optional, whose empty state an optimising
// g++ takes for an uninitialised buffer.
class TUtf8Sink {
public:
    explicit TUtf8Sink(QByteArray* out) : m_out(out) { }
    ~TUtf8Sink()
    {
        if (m_out) m_out->resize(m_size);
    }
    TUtf8Sink(const TUtf8Sink&) = delete;
    TUtf8Sink& operator=(const TUtf8Sink&) = delete;
    explicit operator bool() const { return m_out != nullptr; }
    void Append(QStringView s)
    {
        if (s.isEmpty()) return;
        if (s.size() > m_room - m_size) Grow(s.size());
        if (TObjectWriter::CopyAscii(m_data + m_size, s)) {
            m_size += s.size();
            return;
        }
        const QByteArray utf8 = s.toUtf8();
        if (utf8.size() > m_room - m_size) Grow(utf8.size());
        std::memcpy(m_data + m_size, utf8.constData(), size_t(utf8.size()));
        m_size += utf8.size();
    }
    qsizetype Size() const { return m_size; }
    void Reserve(qsizetype total)
    {
        if (total > m_room) Grow(total - m_size);
    }

private:
    void Grow(qsizetype count)
    {
        m_out->resize(std::max(m_size + count, std::max<qsizetype>(2 * m_size, 256)));
        m_room = m_out->size();
        m_data = m_out->data();
    }
    QByteArray* m_out;
    char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_room = 0;
};

// Where a copied block's text goes: into a string, or straight as UTF-8
// into bytes.
class TCopyText {
public:
    TCopyText(QString* text, QByteArray* utf8) : m_text(text), m_sink(utf8) { }
    void Append(QStringView s)
    {
        if (m_sink)
            m_sink.Append(s);
        else
            m_text->append(s);
    }
    // The rows after the first take about as much room as it did (a
    // quarter more, so that the text is rarely moved while it grows).
    void ReserveRows(size_t rows)
    {
        const qsizetype room = qsizetype(rows) * 5 / 4;
        if (m_sink) {
            m_sink.Reserve(m_sink.Size() * room);
        } else {
            m_text->reserve(m_text->size() * room);
            AdviseLargeBuffer(m_text->data(), size_t(m_text->capacity()));
        }
    }

private:
    QString* m_text;
    TUtf8Sink m_sink;
};

// The indexes first..last, only the marked ones when only is set.
template <class Marked>
std::vector<int> CopiedIndexes(int first, int last, bool only, Marked&& marked)
{
    std::vector<int> indexes;
    for (int i = first; i <= last; ++i)
        if (!only || marked(i)) indexes.push_back(i);
    return indexes;
}

// A cell's text as a copy takes it (real column): an empty check box's
// check text, HTML without its tags unless they are kept, rich text as
// plain text.
void CopiedCellText(TExtStringGrid& grid, int rc, int r, bool keepTags, QString& cell)
{
    grid.GetCellDisplayText(rc, r, cell);
    bool state = false;
    if (cell.isEmpty() && grid.GetCellType(rc, r) == ctCheckBox && grid.GetCheckBoxState(rc, r, state)) {
        if (state)
            grid.GetCheckTrue(rc, r, cell);
        else
            grid.GetCheckFalse(rc, r, cell);
    }
    if (!keepTags && cell.contains(QStringLiteral("</"))) cell = HTMLStrip(cell);
    if (cell.contains(QStringLiteral("{\\"))) cell = RichTextAsPlain(cell);
}

// One row of a copied block: its cells' texts (display columns) joined by TAB.
void AppendCopiedRow(TExtStringGrid& grid, int r, const std::vector<int>& cols, bool keepTags, QString& cell,
                     TCopyText& out)
{
    bool firstField = true;
    for (int c : cols) {
        const int rc = grid.RealColIndex(c);
        cell.clear();
        if (rc >= 0) CopiedCellText(grid, rc, r, keepTags, cell);
        if (!firstField) out.Append(u"\t");
        out.Append(cell);
        firstField = false;
    }
}

// The end of the field that starts at start: the next TAB, CR or LF, or the end.
template <class Char>
qsizetype FieldEnd(const Char* u, qsizetype start, qsizetype size)
{
    qsizetype stop = NextControl(u, start, size);
    while (stop < size && u[stop] != '\t' && u[stop] != '\r' && u[stop] != '\n') stop = NextControl(u, stop + 1, size);
    return stop;
}

// Pasted text measured against the caps before anything changes (see
// MeasureText); refused whole past them.
template <class Char>
TTextShape MeasurePaste(const Char* u, qsizetype size, int col, int row, TExtStringGrid& grid,
                        std::vector<int>& lineLast)
{
    TBlockBudget budget;
    const TTextShape shape = MeasureText(u, size, col, budget, lineLast);
    if (shape.lines == 0) return shape;
    budget.Claim(shape.widest, shape.lines);
    if (grid.Navigation().AllowClipboardRowGrow) budget.Rows(row + shape.lines - grid.RowCount());
    // The note of the cells written, kept until the paste is done.
    budget.Bytes(qint64(sizeof(TPoint)) * shape.fields + qint64(sizeof(int)) * shape.lines);
    if (!budget.Fits()) throw EReadError(budget.Refusal(QStringLiteral("The pasted text")));
    return shape;
}

// The cells a text paste wrote, with what each held when that was not
// empty, so that a failure half-way puts every one back.
class TPasteNotes {
public:
    void Reserve(qint64 fields) { m_written.reserve(size_t(fields)); }
    void Note(TPoint base, QString&& old)
    {
        if (!old.isEmpty()) m_held.emplace_back(m_written.size(), std::move(old));
        m_written.push_back(base);
    }
    // Back the way it came, the last cell first.
    void PutBack(TExtStringGrid& grid)
    {
        auto h = m_held.rbegin();
        for (size_t k = m_written.size(); k-- > 0;) {
            QString old;
            if (h != m_held.rend() && h->first == k) old = std::move((h++)->second);
            grid.SetCells(m_written[k].X, m_written[k].Y, std::move(old));
        }
    }

private:
    std::vector<TPoint> m_written;
    std::vector<std::pair<size_t, QString>> m_held;
};

// Walks pasted text line by line and field by field, each field going
// into its cell as it is reached (display columns), noted first.
template <class Char>
class TTextPaste {
public:
    TTextPaste(TExtStringGrid& grid, const Char* u, qsizetype size, TPasteNotes& notes)
        : m_grid(grid), m_nav(grid.Navigation()), m_u(u), m_size(size), m_notes(notes)
    { }
    // The line at row r from column col, whose last non-empty field is
    // last (-1: none); every field counts in fields.
    void Line(int col, int r, int last, int& fields)
    {
        ReserveRow(col, r, last);
        for (int c = col;; ++c) {
            ++fields;
            const qsizetype from = m_start;
            const qsizetype stop = FieldEnd(m_u, from, m_size);
            const bool lineEnd = stop >= m_size || m_u[stop] != '\t';
            m_start = stop + 1;
            Field(c, r, from, stop);
            if (lineEnd) {
                if (stop < m_size && m_u[stop] == '\r' && stop + 1 < m_size && m_u[stop + 1] == '\n') ++m_start;
                return;
            }
        }
    }

private:
    // Room for the row's cells up to its last non-empty field.
    void ReserveRow(int col, int r, int last)
    {
        if (r >= m_grid.RowCount() || last < 0 || col >= m_grid.ColCount()) return;
        const int rc = m_grid.RealColIndex(std::min(m_grid.ColCount() - 1, col + last));
        if (rc >= 0) m_grid.ReserveCols(r, r, rc + 1);
    }
    // A field into its cell, when the cell is there and takes it.
    void Field(int c, int r, qsizetype from, qsizetype stop)
    {
        if (r >= m_grid.RowCount() || c >= m_grid.ColCount()) return;
        // The block is cut at the data area: footer rows and right columns
        // keep what they hold.
        if (r >= m_grid.RowCount() - m_grid.FixedFooters() || c >= m_grid.ColCount() - m_grid.FixedRightCols()) return;
        const int rc = m_grid.RealColIndex(c);
        if (rc < 0 || !(m_nav.AllowClipboardAlways || m_grid.IsEditableCell(rc, r))) return;
        QString value = FieldText(m_u + from, stop - from);
        bool allow = true;
        if (m_grid.OnClipboardBeforePasteCell) m_grid.OnClipboardBeforePasteCell(&m_grid, c, r, value, allow);
        if (!allow) return;
        // Only a cell with a property object may lie in a merged area.
        const TPoint base = m_grid.Objects(rc, r) ? m_grid.BaseCellPoint(rc, r) : TPoint(rc, r);
        m_notes.Note(base, m_grid.Cells(base.X, base.Y));
        m_grid.SetCellText(rc, r, std::move(value));
    }

    TExtStringGrid& m_grid;
    const TNavigation& m_nav;
    const Char* m_u;
    qsizetype m_size;
    TPasteNotes& m_notes;
    qsizetype m_start = 0;
};

// Rethrown from a failed paste: memory running out as a read error.
[[noreturn]] void RethrowPasteFailure()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        throw EReadError(QStringLiteral("Not enough memory to paste the text"));
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Copying

QString TExtStringGrid::RectAsText(const TRect& block, bool selectedOnly)
{
    QString text;
    RectText(block, selectedOnly, &text, nullptr);
    return text;
}

void TExtStringGrid::RectText(const TRect& block, bool selectedOnly, QString* text, QByteArray* utf8)
{
    const int left = std::max(0, block.Left);
    const int top = std::max(0, block.Top);
    const int right = std::min(block.Right, ColCount() - 1);
    const int bottom = std::min(block.Bottom, RowCount() - 1);
    d->io.copyOrigin = TPoint(left, top);
    const TMouseActions& m = d->mouseActions;
    const std::vector<int> cols =
        CopiedIndexes(left, right, selectedOnly && m.DisjunctColSelect, [&](int c) { return ColSelect(c); });
    const std::vector<int> rows = CopiedIndexes(
        top, bottom, selectedOnly && m.DisjunctRowSelect && !m.DisjunctColSelect, [&](int r) { return RowSelect(r); });
    TCopyText out(text, utf8);
    QString cell;
    for (size_t i = 0; i < rows.size(); ++i) {
        AppendCopiedRow(*this, rows[i], cols, d->navigation.CopyHTMLTagsToClipboard, cell, out);
        if (bottom > top) out.Append(u"\r\n");
        if (i == 0 && rows.size() > 1) out.ReserveRows(rows.size());
    }
}

QMimeData* TExtStringGrid::RectAsMimeData(const TRect& block, bool selectedOnly)
{
    auto* data = new QMimeData;
    QByteArray text;
    RectText(block, selectedOnly, nullptr, &text);
    data->setData(GridMimeTypes::Text, text);
    const int tc = RealColIndex(std::max(0, block.Left));
    const QString topLeft = tc >= 0 ? Cells(tc, std::max(0, block.Top)) : QString();
    if (d->navigation.AllowRTFClipboard && topLeft.contains(QStringLiteral("{\\")))
        data->setData(GridMimeTypes::RichText, topLeft.toLatin1());
    const QString cells = TGridUnit::CellsFormat();
    if (d->navigation.AllowFmtClipboard && !cells.isEmpty()) data->setData(cells, CellStreamBytes(block));
    return data;
}

void TExtStringGrid::CopyRectAsText(const TRect& block, bool selectedOnly)
{
    TClipboard::SetMimeData(RectAsMimeData(block, selectedOnly));
}

void TExtStringGrid::CopySelectionToClipboard()
{
    const TMouseActions& m = d->mouseActions;
    if (m.DisjunctRowSelect || m.DisjunctColSelect) {
        CopyRectAsText(TRect(0, 0, ColCount() - 1, RowCount() - 1), true);
    } else {
        const TGridRect s = Selection();
        CopyRectAsText(TRect(s.Left, s.Top, s.Right, s.Bottom), false);
    }
    d->io.lastWasCopy = true;
}

void TExtStringGrid::CutSelectionToClipboard()
{
    // An edit in progress ends in its own cell first: its text is cut with
    // the cell rather than written back over it afterwards.
    CloseEditorControl();
    HideEditor();
    CopySelectionToClipboard();
    BeginUpdate();
    const TMouseActions& m = d->mouseActions;
    if (m.DisjunctRowSelect) {
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (RowSelect(r)) ClearRows(r, 1);
    } else if (m.DisjunctColSelect) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (ColSelect(c)) ClearCols(c, 1);
    } else {
        const TGridRect s = Selection();
        for (int r = s.Top; r <= s.Bottom; ++r)
            for (int c = s.Left; c <= s.Right; ++c) {
                const int rc = RealColIndex(c);
                if (rc < 0) continue;
                if (!d->navigation.AllowClipboardAlways && !IsEditableCell(rc, r)) continue;
                // Only the cells cleared lose their properties.
                SetCellText(rc, r, QString());
                if (d->navigation.AllowFmtClipboard) FreeCellProperties(rc, r, rc, r);
            }
        CellsChanged(TRect(s.Left, s.Top, s.Right, s.Bottom));
    }
    d->io.lastWasCopy = false;
    EndUpdate();
}

// ---------------------------------------------------------------------------
// Pasting

void TExtStringGrid::PasteNotify(TPoint, TRect, bool) { }

int TExtStringGrid::PasteFromClipboard(int col, int row)
{
    const QMimeData* data = TClipboard::MimeData();
    return data ? PasteMimeData(col, row, *data) : 0;
}

int TExtStringGrid::PasteMimeData(int col, int row, const QMimeData& data)
{
    d->io.lastPasteCols = d->io.lastPasteRows = 0;
    const QString cells = TGridUnit::CellsFormat();
    if (d->navigation.AllowFmtClipboard && !cells.isEmpty() && data.hasFormat(cells)) {
        int count = 0;
        try {
            count = LoadCells(col, row, data.data(cells), true);
        } catch (const EReadError&) {
            return 0; // a stream that does not read changes nothing
        }
        const TPoint source = d->io.lastBlockId == StreamId() ? d->io.copyOrigin : TPoint(-1, -1);
        d->io.lastPasteCols = d->io.lastBlockCols;
        d->io.lastPasteRows = d->io.lastBlockRows;
        PasteNotify(source, TRect(col, row, col + d->io.lastBlockCols - 1, row + d->io.lastBlockRows - 1),
                    d->io.lastWasCopy);
        return count;
    }
    if (d->navigation.AllowRTFClipboard && data.hasFormat(GridMimeTypes::RichText)) {
        const int rc = RealColIndex(col);
        if (rc < 0 || row < 0 || row >= RowCount()) return 0;
        if (!IsEditableCell(rc, row) && !d->navigation.AllowClipboardAlways) return 0;
        QByteArray bytes = data.data(GridMimeTypes::RichText);
        const qsizetype zero = bytes.indexOf('\0');
        if (zero >= 0) bytes.truncate(zero);
        CloseEditorControl();
        HideEditor();
        SetCellText(rc, row, QString::fromLatin1(bytes));
        d->io.lastPasteCols = d->io.lastPasteRows = 1;
        return 1;
    }
    // Text past the caps changes nothing, as a stream that does not read.
    try {
        if (data.hasFormat(GridMimeTypes::Text)) {
            const QByteArray bytes = data.data(GridMimeTypes::Text);
            // ASCII, the usual case, is read as it stands: no wide copy of
            // the whole text is made.
            if (IsAscii(bytes)) return PasteChars(col, row, bytes.constData(), bytes.size());
            return PasteText(col, row, QString::fromUtf8(bytes));
        }
        if (data.hasText()) return PasteText(col, row, data.text());
    } catch (const EReadError&) {
        return 0;
    }
    return 0;
}

int TExtStringGrid::PasteText(int col, int row, const QString& text)
{
    // Read through a copy of its own: nothing a handler does to the
    // caller's string moves what is being read.
    const QString source = text;
    return PasteChars(col, row, QStringView(source).utf16(), source.size());
}

template <class Char>
int TExtStringGrid::PasteChars(int col, int row, const Char* u, qsizetype size)
{
    if (col < 0 || row < 0 || !TakesTextPaste(*this)) return 0;
    std::vector<int> lineLast;
    const TTextShape shape = MeasurePaste(u, size, col, row, *this, lineLast);
    if (shape.lines == 0) return shape.hasTail ? 1 : 0;
    const int lines = int(shape.lines);
    const int widest = int(shape.widest);
    // An edit in progress ends first, or its text would land on what was
    // pasted.
    CloseEditorControl();
    HideEditor();

    const TUpdateScope update(*this);
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    TPasteNotes notes;
    int fields = 0;
    try {
        notes.Reserve(shape.fields);
        // The grid grows once to what the text needs (where allowed).
        if (d->navigation.AllowClipboardColGrow && col + widest > ColCount()) SetColCount(col + widest);
        if (d->navigation.AllowClipboardRowGrow && row + lines > RowCount()) SetRowCount(row + lines);
        TTextPaste<Char> paste(*this, u, size, notes);
        for (int j = 0; j < lines; ++j) paste.Line(col, row + j, lineLast[size_t(j)], fields);
    } catch (...) {
        // Back the way it came: the cells, then the counts.
        notes.PutBack(*this);
        RestoreSize(oldCols, oldRows);
        RethrowPasteFailure();
    }
    if (shape.hasTail) ++fields;
    d->io.lastPasteCols = widest;
    d->io.lastPasteRows = lines;
    CellsChanged(
        TRect(col, row, std::min(ColCount() - 1, col + widest - 1), std::min(RowCount() - 1, row + lines - 1)));
    return fields;
}

void TExtStringGrid::RestoreSize(int cols, int rows)
{
    SetRowCount(rows);
    SetColCount(cols);
}

// ---------------------------------------------------------------------------
// Smart fill

namespace {

// The values of a series by their distance from its start (negative
// before it); empty when a rule does not apply.
using TSeries = std::function<QString(int)>;

// A date, a time, or a date and a time after a blank.
bool ReadDateTime(const QString& t, TDateTime& v)
{
    const QString x = t.trimmed();
    if (TryStrToDate(x, v) || TryStrToTime(x, v)) return true;
    const qsizetype blank = x.indexOf(u' ');
    TDateTime date = 0;
    TDateTime time = 0;
    if (blank > 0 && TryStrToDate(x.left(blank), date) && TryStrToTime(x.mid(blank + 1).trimmed(), time)) {
        v = date >= 0 ? date + time : date - time;
        return true;
    }
    return false;
}

// Dates and times; a text that merely holds a separator goes on to the
// next rule. Month steps count from the first date, each clamped to its
// month's last day.
TSeries DateSeries(const QString& a, const QString& b, TExtStringGrid&)
{
    const QChar dateSep = RegionalSettings::DateSeparator();
    const QChar timeSep = RegionalSettings::TimeSeparator();
    const auto hasSep = [&](const QString& t) { return t.contains(dateSep) || t.contains(timeSep); };
    TDateTime da = 0;
    TDateTime db = 0;
    if (!hasSep(a) || !hasSep(b) || !ReadDateTime(a, da) || !ReadDateTime(b, db)) return {};
    const bool asDate = a.contains(dateSep);
    int y1, m1, d1, y2, m2, d2;
    DecodeDate(da, y1, m1, d1);
    DecodeDate(db, y2, m2, d2);
    const int months = (y2 - y1) * 12 + (m2 - m1);
    const bool byMonths = asDate && d1 == d2 && months != 0;
    const double delta = db - da;
    return [=](int i) {
        const TDateTime v = byMonths ? IncMonth(da, i * months) : da + i * delta;
        return asDate ? DateToStr(v) : TimeToStr(v);
    };
}

// Numbers with a decimal separator, in the grid's float format.
TSeries FloatSeries(const QString& a, const QString& b, TExtStringGrid& grid)
{
    const QChar decimal = RegionalSettings::DecimalSeparator();
    double fa = 0;
    double fb = 0;
    if (!(a.contains(decimal) || b.contains(decimal)) || !TryStrToFloat(a, fa) || !TryStrToFloat(b, fb)) return {};
    const QString format = grid.FloatFormat();
    return [=](int i) { return Format(format, {fa + i * (fb - fa)}); };
}

TSeries IntegerSeries(const QString& a, const QString& b, TExtStringGrid&)
{
    qint64 ia = 0;
    qint64 ib = 0;
    if (!TryStrToInt64(a, ia) || !TryStrToInt64(b, ib)) return {};
    return [=](int i) { return QString::number(ia + i * (ib - ia)); };
}

// The series rules, tried in this order on the first two cells of the
// source; when none applies the block repeats.
using TSeriesRule = TSeries (*)(const QString& a, const QString& b, TExtStringGrid& grid);
constexpr TSeriesRule kSeriesRules[] = {DateSeries, FloatSeries, IntegerSeries};

// The fill of the selection from the series the source block starts. A
// selection reaching above or left of the source is filled backwards:
// only the cells swept before the source are written, the series run back
// from it; a block that cannot run that way fills nothing.
class TSmartFill {
public:
    using TChanged = std::function<void(const TRect&)>;
    TSmartFill(TExtStringGrid& grid, const TGridRect& source, TChanged changed)
        : m_grid(grid),
          m_nav(grid.Navigation()),
          m_sel(grid.Selection()),
          m_source(source),
          m_changed(std::move(changed)),
          m_backward(m_sel.Top < source.Top || m_sel.Left < source.Left),
          m_oneCell(source.Left == source.Right && source.Top == source.Bottom),
          m_column(m_sel.Left == m_sel.Right &&
                   (!m_backward || (source.Left == m_sel.Left && source.Right == m_sel.Left))),
          m_rowWise(m_sel.Top == m_sel.Bottom &&
                    (!m_backward || (source.Top == m_sel.Top && source.Bottom == m_sel.Top)))
    { }

    void Run(int pasted)
    {
        if (m_backward && !TakeBackwardSelection()) return;
        if (pasted == 1 || (m_backward && m_oneCell)) {
            FillCopies();
            return;
        }
        if (!m_column && !m_rowWise) return;
        const QString a = Text(m_source.Left, m_source.Top);
        const QString b = m_column ? Text(m_source.Left, m_source.Top + 1) : Text(m_source.Left + 1, m_source.Top);
        for (const TSeriesRule rule : kSeriesRules) {
            if (const TSeries series = rule(a, b, m_grid)) {
                Fill(series);
                return;
            }
        }
        Repeat();
    }

private:
    QString Text(int c, int r)
    {
        const int rc = m_grid.RealColIndex(c);
        return rc >= 0 ? m_grid.GetCellText(rc, r) : QString();
    }
    bool Written(int c, int r)
    {
        if (m_backward && c >= m_source.Left && c <= m_source.Right && r >= m_source.Top && r <= m_source.Bottom)
            return false;
        const int rc = m_grid.RealColIndex(c);
        return rc >= 0 && (m_grid.IsEditableCell(rc, r) || m_nav.AllowClipboardAlways);
    }
    TRect Area() const { return TRect(m_sel.Left, m_sel.Top, m_sel.Right, m_sel.Bottom); }
    // The filled cells and the source show as one selection; a refused
    // fill shows the source selected again.
    bool TakeBackwardSelection()
    {
        if (!m_oneCell && !(m_column && m_sel.Top < m_source.Top) && !(m_rowWise && m_sel.Left < m_source.Left)) {
            m_grid.SetSelection(m_source);
            return false;
        }
        m_grid.SetSelection(TGridRect(m_sel.Left, m_sel.Top, std::max(m_sel.Right, m_source.Right),
                                      std::max(m_sel.Bottom, m_source.Bottom)));
        return true;
    }
    // Writes value(i) into the selection's cells, i counting from the
    // series' start down a column or along a row.
    void Fill(const TSeries& value)
    {
        const TUpdateScope update(m_grid);
        for (int r = m_sel.Top; r <= m_sel.Bottom; ++r)
            for (int c = m_sel.Left; c <= m_sel.Right; ++c)
                if (Written(c, r))
                    m_grid.SetCellText(m_grid.RealColIndex(c), r,
                                       value(m_column ? r - m_source.Top : c - m_source.Left));
        m_changed(Area());
    }
    // One value into every cell of a selection of more than one.
    void FillCopies()
    {
        if ((m_sel.Right - m_sel.Left + 1) * (m_sel.Bottom - m_sel.Top + 1) <= 1) return;
        const QString v = Text(m_source.Left, m_source.Top);
        Fill([&](int) { return v; });
    }
    // The block again and again after (or before) itself, each cell from
    // the one a period nearer the source.
    void Repeat()
    {
        const TUpdateScope update(m_grid);
        const int period = m_column ? m_source.Bottom - m_source.Top + 1 : m_source.Right - m_source.Left + 1;
        const int first = m_column ? m_sel.Top : m_sel.Left;
        if (m_backward) {
            for (int p = (m_column ? m_source.Top : m_source.Left) - 1; p >= first; --p) CopyAlong(p, p + period);
        } else {
            const int last = m_column ? m_sel.Bottom : m_sel.Right;
            for (int p = first + period; p <= last; ++p) CopyAlong(p, p - period);
        }
        m_changed(Area());
    }
    // The cell at place to down the column (along the row) takes the text
    // of the one at place from.
    void CopyAlong(int to, int from)
    {
        const int c = m_column ? m_sel.Left : to;
        const int r = m_column ? to : m_sel.Top;
        if (Written(c, r))
            m_grid.SetCellText(m_grid.RealColIndex(c), r, m_column ? Text(m_sel.Left, from) : Text(from, m_sel.Top));
    }

    TExtStringGrid& m_grid;
    const TNavigation& m_nav;
    const TGridRect m_sel;
    const TGridRect m_source;
    const TChanged m_changed;
    const bool m_backward;
    const bool m_oneCell;
    const bool m_column;
    const bool m_rowWise;
};

} // namespace

void TExtStringGrid::PasteSelectionFromClipboard()
{
    const TGridRect s = Selection();
    const int n = PasteFromClipboard(s.Left, s.Top);
    if (!d->navigation.AllowSmartClipboard || n < 1) return;
    // The pasted block starts the series at the selection's top-left.
    SmartFill(n,
              TGridRect(s.Left, s.Top, s.Left + std::max(1, d->io.lastPasteCols) - 1,
                        s.Top + std::max(1, d->io.lastPasteRows) - 1));
}

void TExtStringGrid::SmartFill(int pasted, const TGridRect& source)
{
    TSmartFill(*this, source, [this](const TRect& cells) { CellsChanged(cells); }).Run(pasted);
}
