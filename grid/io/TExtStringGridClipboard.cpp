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
#include <new>
#include <optional>
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

// Collects text as UTF-8 in one growing buffer.
class TUtf8Sink {
public:
    explicit TUtf8Sink(QByteArray& out) : m_out(out) { }
    ~TUtf8Sink() { m_out.resize(m_size); }
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
        m_out.resize(std::max(m_size + count, std::max<qsizetype>(2 * m_size, 256)));
        m_room = m_out.size();
        m_data = m_out.data();
    }
    QByteArray& m_out;
    char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_room = 0;
};

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
    const bool rowsOnly = selectedOnly && d->mouseActions.DisjunctRowSelect && !d->mouseActions.DisjunctColSelect;
    const bool colsOnly = selectedOnly && d->mouseActions.DisjunctColSelect;
    std::vector<int> cols;
    for (int c = left; c <= right; ++c)
        if (!colsOnly || ColSelect(c)) cols.push_back(c);
    std::vector<int> rows;
    for (int r = top; r <= bottom; ++r)
        if (!rowsOnly || RowSelect(r)) rows.push_back(r);
    const bool multiRow = bottom > top;
    std::optional<TUtf8Sink> sink;
    if (utf8) sink.emplace(*utf8);
    const auto append = [&](QStringView s) {
        if (sink)
            sink->Append(s);
        else
            text->append(s);
    };
    QString cell;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        bool firstField = true;
        for (int c : cols) {
            const int rc = RealColIndex(c);
            cell.clear();
            if (rc >= 0) {
                GetCellDisplayText(rc, r, cell);
                if (cell.isEmpty()) {
                    bool state = false;
                    if (GetCellType(rc, r) == ctCheckBox && GetCheckBoxState(rc, r, state)) {
                        if (state)
                            GetCheckTrue(rc, r, cell);
                        else
                            GetCheckFalse(rc, r, cell);
                    }
                }
                if (!d->navigation.CopyHTMLTagsToClipboard && cell.contains(QStringLiteral("</")))
                    cell = HTMLStrip(cell);
                if (cell.contains(QStringLiteral("{\\"))) cell = RichTextAsPlain(cell);
            }
            if (!firstField) append(u"\t");
            append(cell);
            firstField = false;
        }
        if (multiRow) append(u"\r\n");
        // The rows after the first take about as much room as it did (a
        // quarter more, so that the text is rarely moved while it grows).
        if (i == 0 && rows.size() > 1) {
            const qsizetype room = qsizetype(rows.size()) * 5 / 4;
            if (sink)
                sink->Reserve(sink->Size() * room);
            else {
                text->reserve(text->size() * room);
                AdviseLargeBuffer(text->data(), size_t(text->capacity()));
            }
        }
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
    if (col < 0 || row < 0) return 0;
    const TNavigation& nav = d->navigation;
    if (!Options().Contains(TGridOption::goEditing) && !nav.AllowClipboardAlways && !d->mouseActions.RangeSelectAndEdit)
        return 0;
    // The whole text is measured against the caps before anything changes.
    TBlockBudget budget;
    std::vector<int> lineLast;
    const TTextShape shape = MeasureText(u, size, col, budget, lineLast);
    if (shape.lines == 0) return shape.hasTail ? 1 : 0;
    budget.Claim(shape.widest, shape.lines);
    if (nav.AllowClipboardRowGrow) budget.Rows(row + shape.lines - RowCount());
    // The note of the cells written, kept until the paste is done.
    budget.Bytes(qint64(sizeof(TPoint)) * shape.fields + qint64(sizeof(int)) * shape.lines);
    if (!budget.Fits()) throw EReadError(budget.Refusal(QStringLiteral("The pasted text")));
    const int lines = int(shape.lines);
    const int widest = int(shape.widest);

    const TUpdateScope update(*this);
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    // Each cell gets its value as the text is walked; the cells written are
    // noted, with what they held when that was not empty, so that a failure
    // half-way (the paste event, memory) puts every one back.
    std::vector<TPoint> written;
    std::vector<std::pair<size_t, QString>> held;
    int fields = 0;
    try {
        written.reserve(size_t(shape.fields));
        // The grid grows once to what the text needs (where allowed).
        if (nav.AllowClipboardColGrow && col + widest > ColCount()) SetColCount(col + widest);
        if (nav.AllowClipboardRowGrow && row + lines > RowCount()) SetRowCount(row + lines);
        qsizetype start = 0;
        for (int j = 0; j < lines; ++j) {
            const int r = row + j;
            // Room for the row's cells up to its last non-empty field.
            const int last = lineLast[size_t(j)];
            if (r < RowCount() && last >= 0 && col < ColCount()) {
                const int rc = RealColIndex(std::min(ColCount() - 1, col + last));
                if (rc >= 0) ReserveCols(r, r, rc + 1);
            }
            for (int c = col;; ++c) {
                ++fields;
                qsizetype stop = NextControl(u, start, size);
                while (stop < size && u[stop] != '\t' && u[stop] != '\r' && u[stop] != '\n')
                    stop = NextControl(u, stop + 1, size);
                const qsizetype from = start;
                const bool lineEnd = stop >= size || u[stop] != '\t';
                start = stop + 1;
                if (r < RowCount() && c < ColCount()) {
                    const int rc = RealColIndex(c);
                    if (rc >= 0 && (nav.AllowClipboardAlways || IsEditableCell(rc, r))) {
                        QString value = FieldText(u + from, stop - from);
                        bool allow = true;
                        if (OnClipboardBeforePasteCell) OnClipboardBeforePasteCell(this, c, r, value, allow);
                        if (allow) {
                            // Only a cell with a property object may lie in a merged area.
                            const TPoint base = Objects(rc, r) ? BaseCellPoint(rc, r) : TPoint(rc, r);
                            QString old = Cells(base.X, base.Y);
                            if (!old.isEmpty()) held.emplace_back(written.size(), std::move(old));
                            written.push_back(base);
                            SetCellText(rc, r, std::move(value));
                        }
                    }
                }
                if (lineEnd) {
                    if (stop < size && u[stop] == '\r' && stop + 1 < size && u[stop + 1] == '\n') ++start;
                    break;
                }
            }
        }
    } catch (...) {
        // Back the way it came: the cells, then the counts.
        auto h = held.rbegin();
        for (size_t k = written.size(); k-- > 0;) {
            QString old;
            if (h != held.rend() && h->first == k) old = std::move((h++)->second);
            SetCells(written[k].X, written[k].Y, std::move(old));
        }
        RestoreSize(oldCols, oldRows);
        try {
            throw;
        } catch (const std::bad_alloc&) {
            throw EReadError(QStringLiteral("Not enough memory to paste the text"));
        }
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
    const TGridRect s = Selection();
    const auto text = [&](int c, int r) {
        const int rc = RealColIndex(c);
        return rc >= 0 ? GetCellText(rc, r) : QString();
    };
    // A selection reaching above or left of the source is filled backwards:
    // only the cells swept before the source are written, the series run
    // back from it; a block that cannot run that way fills nothing.
    const bool backward = s.Top < source.Top || s.Left < source.Left;
    const bool oneCell = source.Left == source.Right && source.Top == source.Bottom;
    const bool column = s.Left == s.Right && (!backward || (source.Left == s.Left && source.Right == s.Left));
    const bool rowWise = s.Top == s.Bottom && (!backward || (source.Top == s.Top && source.Bottom == s.Top));
    if (backward) {
        // Refused: the source shows selected again.
        if (!oneCell && !(column && s.Top < source.Top) && !(rowWise && s.Left < source.Left)) {
            SetSelection(source);
            return;
        }
        // The filled cells and the source show as one selection.
        SetSelection(TGridRect(s.Left, s.Top, std::max(s.Right, source.Right), std::max(s.Bottom, source.Bottom)));
    }
    const auto written = [&](int c, int r) {
        if (backward && c >= source.Left && c <= source.Right && r >= source.Top && r <= source.Bottom) return false;
        const int rc = RealColIndex(c);
        return rc >= 0 && (IsEditableCell(rc, r) || d->navigation.AllowClipboardAlways);
    };
    // Writes f(i) into the selection's cells, i counting from the
    // series' start down a column or along a row (negative before it).
    const auto fill = [&](const std::function<QString(int)>& value) {
        BeginUpdate();
        for (int r = s.Top; r <= s.Bottom; ++r)
            for (int c = s.Left; c <= s.Right; ++c)
                if (written(c, r)) SetCellText(RealColIndex(c), r, value(column ? r - source.Top : c - source.Left));
        CellsChanged(TRect(s.Left, s.Top, s.Right, s.Bottom));
        EndUpdate();
    };
    if (pasted == 1 || (backward && oneCell)) {
        if ((s.Right - s.Left + 1) * (s.Bottom - s.Top + 1) > 1) {
            const QString v = text(source.Left, source.Top);
            fill([&](int) { return v; });
        }
        return;
    }
    if (!column && !rowWise) return;
    const QString a = text(source.Left, source.Top);
    const QString b = column ? text(source.Left, source.Top + 1) : text(source.Left + 1, source.Top);

    // Dates and times; a text that merely holds a separator goes on to the
    // next rule.
    const QChar dateSep = RegionalSettings::DateSeparator();
    const QChar timeSep = RegionalSettings::TimeSeparator();
    const auto hasSep = [&](const QString& t) { return t.contains(dateSep) || t.contains(timeSep); };
    const auto readDateTime = [&](const QString& t, TDateTime& v) {
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
    };
    TDateTime da = 0;
    TDateTime db = 0;
    if (hasSep(a) && hasSep(b) && readDateTime(a, da) && readDateTime(b, db)) {
        const bool asDate = a.contains(dateSep);
        int y1, m1, d1, y2, m2, d2;
        DecodeDate(da, y1, m1, d1);
        DecodeDate(db, y2, m2, d2);
        const int months = (y2 - y1) * 12 + (m2 - m1);
        const bool byMonths = asDate && d1 == d2 && months != 0;
        const double delta = db - da;
        fill([&](int i) {
            // Month steps count from the first date, each clamped to its
            // month's last day.
            const TDateTime v = byMonths ? IncMonth(da, i * months) : da + i * delta;
            return asDate ? DateToStr(v) : TimeToStr(v);
        });
        return;
    }
    const QChar decimal = RegionalSettings::DecimalSeparator();
    double fa = 0;
    double fb = 0;
    if ((a.contains(decimal) || b.contains(decimal)) && TryStrToFloat(a, fa) && TryStrToFloat(b, fb)) {
        const QString format = d->floatFormat;
        fill([&](int i) { return Format(format, {fa + i * (fb - fa)}); });
        return;
    }
    qint64 ia = 0;
    qint64 ib = 0;
    if (TryStrToInt64(a, ia) && TryStrToInt64(b, ib)) {
        fill([&](int i) { return QString::number(ia + i * (ib - ia)); });
        return;
    }
    // The block again and again after (or before) itself, each cell from
    // the one a period nearer the source.
    BeginUpdate();
    if (column) {
        const int period = source.Bottom - source.Top + 1;
        if (backward) {
            for (int r = source.Top - 1; r >= s.Top; --r)
                if (written(s.Left, r)) SetCellText(RealColIndex(s.Left), r, text(s.Left, r + period));
        } else {
            for (int r = s.Top + period; r <= s.Bottom; ++r)
                if (written(s.Left, r)) SetCellText(RealColIndex(s.Left), r, text(s.Left, r - period));
        }
    } else {
        const int period = source.Right - source.Left + 1;
        if (backward) {
            for (int c = source.Left - 1; c >= s.Left; --c)
                if (written(c, s.Top)) SetCellText(RealColIndex(c), s.Top, text(c + period, s.Top));
        } else {
            for (int c = s.Left + period; c <= s.Right; ++c)
                if (written(c, s.Top)) SetCellText(RealColIndex(c), s.Top, text(c - period, s.Top));
        }
    }
    CellsChanged(TRect(s.Left, s.Top, s.Right, s.Bottom));
    EndUpdate();
}
