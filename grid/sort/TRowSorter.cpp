#include "grid/sort/TRowSorter.h"

#include "controls/HTMLText.h"
#include "grid/TExtStringGrid.h"
#include "grid/sort/StableSort.h"
#include "grid/text/CellText.h"
#include "platform/core/RegionalSettings.h"
#include "platform/core/SysUtils.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>

namespace {

enum class KeyKind { Text, Collated, Number, Custom, Raw };

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The number at the start of a text ("12abc" is 12), for a text that is not
// a number as a whole; nullopt when it does not start with one.
std::optional<double> LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    const qsizetype digitsFrom = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
    }
    if (i == digitsFrom || (i == digitsFrom + 1 && text[digitsFrom] == u'.')) return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(QStringView(text).mid(start, i - start), &ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

// Date and time in the short formats of the regional settings; 0 for an
// empty text and for one that is no date, so a comparison never raises.
double DateKey(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    TDateTime value = 0;
    if (TryStrToDate(t, value)) return value;
    const qsizetype blank = t.indexOf(u' ');
    if (blank > 0) {
        TDateTime date = 0;
        TDateTime time = 0;
        if (TryStrToDate(t.left(blank), date) && TryStrToTime(t.mid(blank + 1).trimmed(), time))
            return date >= 0 ? date + time : date - time;
    }
    if (TryStrToTime(t, value)) return value;
    return 0;
}

// The first eight UTF-16 units of a text packed into two numbers, so that
// comparing packs orders the texts as QString::compare does (by code unit,
// a shorter text first); texts with equal packs are compared whole.
void TextPrefix(const QString& text, std::uint64_t& high, std::uint64_t& low)
{
    const ushort* p = text.utf16();
    const qsizetype n = text.size();
    high = 0;
    low = 0;
    for (qsizetype i = 0; i < 4; ++i) high = (high << 16) | (i < n ? p[i] : 0u);
    for (qsizetype i = 4; i < 8; ++i) low = (low << 16) | (i < n ? p[i] : 0u);
}

// A plain decimal number ("-1234.5", thousand separators dropped when
// asked, the decimal separator given) read without building strings; false
// for anything else, which then takes the general reading.
bool PlainNumber(QStringView text, QChar decimal, QChar thousand, bool dropThousands, double& value)
{
    char buffer[40];
    int k = 0;
    bool point = false;
    bool digits = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace()) ++i;
    qsizetype end = n;
    while (end > i && text[end - 1].isSpace()) --end;
    if (i < end && text[i] == u'-') {
        buffer[k++] = '-';
        ++i;
    }
    for (; i < end; ++i) {
        const QChar ch = text[i];
        if (ch >= u'0' && ch <= u'9') {
            if (k >= int(sizeof buffer) - 1) return false;
            buffer[k++] = char(ch.unicode());
            digits = true;
        } else if (ch == decimal && !point && digits) {
            buffer[k++] = '.';
            point = true;
        } else if (!(dropThousands && ch == thousand)) {
            return false;
        }
    }
    if (!digits || buffer[k - 1] == '.') return false;
    return std::from_chars(buffer, buffer + k, value).ec == std::errc();
}

constexpr std::uint32_t kEmpty = 1u << 31;
constexpr std::uint32_t kNumeric = 1u << 30;
constexpr std::uint32_t kSlot = kNumeric - 1;

} // namespace

struct TRowSorter::Column {
    int col = 0;
    bool descending = false;
    bool prepared = false;
    TSortStyle style = ssAlphabetic;
    KeyKind kind = KeyKind::Text;
    QString prefix;
    QString suffix;
    bool dropThousands = false;
    QChar thousand;
    QChar decimal;
    std::unique_ptr<QCollator> collator;
};

// The keys of one column for a set of rows, by slot.
struct TRowSorter::Keys {
    std::vector<char> empty;
    std::vector<QString> text;
    std::vector<std::optional<QCollatorSortKey>> collated;
    std::vector<double> number;
    std::vector<char> numeric; // read as a number (both unread: equal)
    std::vector<int> row;

    void Reset(KeyKind kind, size_t n)
    {
        empty.resize(n);
        row.resize(n);
        if (kind == KeyKind::Text || kind == KeyKind::Custom) text.resize(n);
        if (kind == KeyKind::Collated) collated.resize(n);
        if (kind == KeyKind::Number) {
            number.resize(n);
            numeric.resize(n);
        }
    }
};

// One row of a sort: its position in the row list, the slot of its keys
// with the blank and number flags, and its key in the column being sorted
// (a text's prefix, or a number's bits), kept together so the merge reads
// no other memory for most comparisons.
struct TRowSorter::Entry {
    std::uint64_t key;
    std::uint64_t key2;
    std::uint32_t pos;
    std::uint32_t slot;
};

TRowSorter::TRowSorter(TExtStringGrid& grid, std::vector<int> rows) : m_grid(grid), m_rows(std::move(rows))
{
    m_ignoreBlanks = grid.SortSettings().IgnoreBlanks;
    m_blanksLast = grid.SortSettings().BlankPos == blLast;
}

TRowSorter::~TRowSorter() = default;

void TRowSorter::AddColumn(int col, bool descending)
{
    auto c = std::make_unique<Column>();
    c->col = col;
    c->descending = descending;
    m_chain.push_back(std::move(c));
}

TRowSorter::Column& TRowSorter::Prepared(int entry)
{
    Column& c = *m_chain[size_t(entry)];
    if (!c.prepared) Prepare(c);
    return c;
}

TSortStyle TRowSorter::StyleOf(int entry) { return Prepared(entry).style; }

TSortStyle TRowSorter::DetectStyle(int col)
{
    // Decided once for the whole column, from its first cell that holds a
    // check box or any text.
    for (int row : m_rows) {
        const TCellType type = m_grid.GetCellType(col, row);
        if (type == ctCheckBox || type == ctDataCheckBox || type == ctVirtCheckBox) return ssCheckBox;
        const QString text = m_grid.GetCellText(col, row);
        if (text.isEmpty()) continue;
        if (GetNumberType(text) != ntNone) return ssNumeric;
        const qsizetype slash = text.indexOf(u'/');
        if ((slash == 1 || slash == 2) && text.size() > slash + 1 && IsDigit(text[slash - 1]) &&
            IsDigit(text[slash + 1]))
            return ssDate;
        return ssAlphabetic;
    }
    return ssAlphabetic;
}

void TRowSorter::Prepare(Column& c)
{
    c.prepared = true;
    int style = m_grid.SortSettings().AutoFormat ? ssAutomatic : ssAlphabetic;
    m_grid.GetCellFormat(c.col, style, c.prefix, c.suffix);
    bool cleanThousands = false;
    if (style == ssAutomatic) {
        style = DetectStyle(c.col);
        // The automatic numbers are those GetNumberType accepts, thousand
        // separators included.
        cleanThousands = style == ssNumeric;
    }
    if (style < ssAutomatic || style > ssUnicode) style = ssAlphabetic;
    c.style = TSortStyle(style);

    switch (c.style) {
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase:
    case ssUnicode:
        c.kind = KeyKind::Collated;
        c.collator = std::make_unique<QCollator>(QLocale());
        c.collator->setCaseSensitivity(c.style == ssAnsiAlphaCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
        break;
    case ssNumeric:
    case ssFinancial:
        c.kind = KeyKind::Number;
        c.thousand = RegionalSettings::ThousandSeparator();
        c.decimal = RegionalSettings::DecimalSeparator();
        c.dropThousands = (cleanThousands || c.style == ssFinancial) && c.thousand != c.decimal;
        break;
    case ssDate:
    case ssShortDateEU:
    case ssShortDateUS:
    case ssImages:
    case ssCheckBox: c.kind = KeyKind::Number; break;
    case ssCustom: c.kind = KeyKind::Custom; break;
    case ssRaw: c.kind = KeyKind::Raw; break;
    default: c.kind = KeyKind::Text; break;
    }
}

double TRowSorter::NumberKey(const Column& c, QString& text, bool& numeric) const
{
    numeric = true;
    switch (c.style) {
    case ssNumeric:
    case ssFinancial: {
        double v = 0;
        if (c.prefix.isEmpty() && c.suffix.isEmpty() && PlainNumber(text, c.decimal, c.thousand, c.dropThousands, v))
            return v;
        if (!c.prefix.isEmpty()) {
            const qsizetype p = text.indexOf(c.prefix);
            if (p >= 0) text.remove(p, c.prefix.size());
        }
        if (!c.suffix.isEmpty()) {
            const qsizetype p = text.indexOf(c.suffix);
            if (p >= 0) text.remove(p, c.suffix.size());
        }
        if (c.dropThousands) text.remove(c.thousand);
        if (c.decimal != u'.') {
            const qsizetype p = text.indexOf(c.decimal);
            if (p >= 0) text[p] = u'.';
        }
        text = text.trimmed();
        bool ok = text.isEmpty();
        v = ok ? 0 : QLocale::c().toDouble(text, &ok);
        if (!ok) v = LeadingNumber(text).value_or(0);
        numeric = ok;
        return v;
    }
    case ssDate: return DateKey(text);
    case ssShortDateEU: return ParseDateDayFirst(text);
    case ssShortDateUS: return ParseDateMonthFirst(text);
    default: return 0;
    }
}

void TRowSorter::MakeKey(const Column& c, int row, Keys& keys, size_t slot)
{
    QString text = m_grid.GetCellText(c.col, row);
    keys.row[slot] = row;
    keys.empty[slot] = text.isEmpty();
    switch (c.style) {
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase:
    case ssUnicode: keys.collated[slot].emplace(c.collator->sortKey(text)); break;
    case ssImages: {
        const TCellGraphic* g = m_grid.GetCellGraphic(c.col, row);
        double key = -1;
        if (g && g->CellType == ctImageList) key = g->CellIndex;
        // Pictures have no order of their own: one key after every image
        // index, so they stay together in their former order.
        else if (g &&
                 (g->CellType == ctBitmap || g->CellType == ctIcon || g->CellType == ctPicture ||
                  g->CellType == ctFilePicture))
            key = INT_MAX;
        keys.number[slot] = key;
        keys.numeric[slot] = 1;
        break;
    }
    case ssCheckBox: {
        bool state = false;
        m_grid.GetCheckBoxState(c.col, row, state);
        keys.number[slot] = state ? 1 : 0;
        keys.numeric[slot] = 1;
        break;
    }
    case ssRaw: break;
    case ssHTML: keys.text[slot] = HTMLStrip(text); break;
    case ssAlphaNoCase: keys.text[slot] = UpperCase(text); break;
    default:
        if (c.kind == KeyKind::Number) {
            bool numeric = true;
            keys.number[slot] = NumberKey(c, text, numeric);
            keys.numeric[slot] = numeric;
        } else {
            keys.text[slot] = std::move(text);
        }
        break;
    }
}

int TRowSorter::CompareKeys(const Column& c, const Keys& keys, size_t a, size_t b)
{
    if (m_ignoreBlanks && keys.empty[a] != keys.empty[b]) return keys.empty[a] == m_blanksLast ? 1 : -1;
    int r = 0;
    switch (c.kind) {
    case KeyKind::Text: r = Sign(keys.text[a].compare(keys.text[b])); break;
    case KeyKind::Collated: r = Sign(keys.collated[a]->compare(*keys.collated[b])); break;
    case KeyKind::Number:
        if (keys.numeric[a] || keys.numeric[b])
            r = keys.number[a] < keys.number[b] ? -1 : (keys.number[a] > keys.number[b] ? 1 : 0);
        break;
    case KeyKind::Custom:
        if (m_grid.OnCustomCompare) {
            int res = 0;
            m_grid.OnCustomCompare(&m_grid, keys.text[a], keys.text[b], res);
            r = Sign(res);
        }
        break;
    case KeyKind::Raw:
        if (m_grid.OnRawCompare) {
            int res = 0;
            m_grid.OnRawCompare(&m_grid, c.col, keys.row[a], keys.row[b], res);
            r = Sign(res);
        }
        break;
    }
    return c.descending ? -r : r;
}

int TRowSorter::Compare(int i, int j)
{
    Keys keys;
    for (size_t e = 0; e < m_chain.size(); ++e) {
        const Column& c = Prepared(int(e));
        keys.Reset(c.kind, 2);
        MakeKey(c, m_rows[size_t(i)], keys, 0);
        MakeKey(c, m_rows[size_t(j)], keys, 1);
        const int r = CompareKeys(c, keys, 0, 1);
        if (r != 0 || !m_full) return r;
    }
    return 0;
}

int TRowSorter::CompareEntries(const Column& c, const Keys& keys, const Entry& a, const Entry& b)
{
    const std::uint32_t ea = a.slot & kEmpty;
    const std::uint32_t eb = b.slot & kEmpty;
    // Blank placement does not follow the direction.
    if (m_ignoreBlanks && ea != eb) return bool(ea) == m_blanksLast ? 1 : -1;
    const int dir = c.descending ? -1 : 1;
    switch (c.kind) {
    case KeyKind::Text:
        if (a.key != b.key) return a.key < b.key ? -dir : dir;
        if (a.key2 != b.key2) return a.key2 < b.key2 ? -dir : dir;
        return dir * Sign(keys.text[a.slot & kSlot].compare(keys.text[b.slot & kSlot]));
    case KeyKind::Number: {
        if (!(a.slot & kNumeric) && !(b.slot & kNumeric)) return 0;
        const double x = std::bit_cast<double>(a.key);
        const double y = std::bit_cast<double>(b.key);
        return dir * (x < y ? -1 : (x > y ? 1 : 0));
    }
    default: return CompareKeys(c, keys, a.slot & kSlot, b.slot & kSlot);
    }
}

std::vector<int> TRowSorter::SortedRows()
{
    const size_t n = m_rows.size();
    std::vector<Entry> entries(n);
    for (size_t i = 0; i < n; ++i) entries[i] = Entry{0, 0, std::uint32_t(i), 0};
    if (!m_chain.empty() && n > 1) {
        // Spans of the list still to order, each by one entry of the chain;
        // a list, not recursion, however long the chain. A span's keys live
        // while it is sorted and split into runs, so one store serves all.
        struct Span {
            size_t from;
            size_t to;
            int entry;
        };
        std::vector<Span> work{{0, n, 0}};
        const int last = int(m_chain.size()) - 1;
        Keys keys;
        while (!work.empty()) {
            const Span span = work.back();
            work.pop_back();
            const Column& c = Prepared(span.entry);
            Entry* first = entries.data() + span.from;
            const size_t count = span.to - span.from;
            keys.Reset(c.kind, count);
            for (size_t k = 0; k < count; ++k) {
                Entry& e = first[k];
                MakeKey(c, m_rows[e.pos], keys, k);
                e.slot = std::uint32_t(k) | (keys.empty[k] ? kEmpty : 0u);
                if (c.kind == KeyKind::Text) {
                    TextPrefix(keys.text[k], e.key, e.key2);
                } else if (c.kind == KeyKind::Number) {
                    e.key = std::bit_cast<std::uint64_t>(keys.number[k]);
                    if (keys.numeric[k]) e.slot |= kNumeric;
                }
            }
            switch (c.kind) {
            case KeyKind::Text:
            case KeyKind::Number:
                // The key kinds compared in place: one switch per comparison
                // the branch predictor always wins.
                StableSortRange(first, count,
                                [&](const Entry& a, const Entry& b) { return CompareEntries(c, keys, a, b) < 0; });
                break;
            default:
                StableSortRange(first, count, [&](const Entry& a, const Entry& b) {
                    return CompareKeys(c, keys, a.slot & kSlot, b.slot & kSlot) < 0;
                });
                break;
            }
            if (!m_full || span.entry >= last) continue;
            // Each run of rows equal in this column goes on to the next.
            size_t i = 0;
            while (i < count) {
                size_t j = i + 1;
                while (j < count && CompareEntries(c, keys, first[i], first[j]) == 0) ++j;
                if (j - i > 1) work.push_back({span.from + i, span.from + j, span.entry + 1});
                i = j;
            }
        }
    }
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = m_rows[entries[i].pos];
    return order;
}
