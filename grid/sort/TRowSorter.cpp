#include "grid/sort/TRowSorter.h"

#include "controls/HTMLText.h"
#include "grid/TExtStringGrid.h"
#include "grid/sort/StableSort.h"
#include "grid/util/CellText.h"
#include "platform/core/RegionalSettings.h"
#include "platform/core/SysUtils.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <climits>
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

} // namespace

struct TRowSorter::Column {
    int col = 0;
    bool descending = false;
    bool built = false;
    TSortStyle style = ssAlphabetic;
    KeyKind kind = KeyKind::Text;
    std::vector<QString> text;
    std::vector<QCollatorSortKey> collated;
    std::vector<double> number;
    std::vector<char> numeric; // read as a number (both unread: equal)
    std::vector<char> empty;
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

TRowSorter::Column& TRowSorter::Built(int entry)
{
    Column& c = *m_chain[size_t(entry)];
    if (!c.built) Build(c);
    return c;
}

TSortStyle TRowSorter::StyleOf(int entry) { return Built(entry).style; }

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

void TRowSorter::Build(Column& c)
{
    c.built = true;
    int style = m_grid.SortSettings().AutoFormat ? ssAutomatic : ssAlphabetic;
    QString prefix;
    QString suffix;
    m_grid.GetCellFormat(c.col, style, prefix, suffix);
    bool cleanThousands = false;
    if (style == ssAutomatic) {
        style = DetectStyle(c.col);
        // The automatic numbers are those GetNumberType accepts, thousand
        // separators included.
        cleanThousands = style == ssNumeric;
    }
    if (style < ssAutomatic || style > ssUnicode) style = ssAlphabetic;
    c.style = TSortStyle(style);

    const size_t n = m_rows.size();
    std::vector<QString> texts;
    texts.reserve(n);
    c.empty.resize(n);
    for (size_t i = 0; i < n; ++i) {
        texts.push_back(m_grid.GetCellText(c.col, m_rows[i]));
        c.empty[i] = texts.back().isEmpty();
    }

    switch (c.style) {
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase:
    case ssUnicode: {
        QCollator collator{QLocale()};
        collator.setCaseSensitivity(c.style == ssAnsiAlphaCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
        c.kind = KeyKind::Collated;
        c.collated.reserve(n);
        for (const QString& t : texts) c.collated.push_back(collator.sortKey(t));
        break;
    }
    case ssNumeric:
    case ssFinancial: {
        c.kind = KeyKind::Number;
        c.number.resize(n);
        c.numeric.resize(n);
        const QChar thousand = RegionalSettings::ThousandSeparator();
        const QChar decimal = RegionalSettings::DecimalSeparator();
        const bool dropThousands = cleanThousands || c.style == ssFinancial;
        for (size_t i = 0; i < n; ++i) {
            QString t = texts[i];
            if (!prefix.isEmpty()) {
                const qsizetype p = t.indexOf(prefix);
                if (p >= 0) t.remove(p, prefix.size());
            }
            if (!suffix.isEmpty()) {
                const qsizetype p = t.indexOf(suffix);
                if (p >= 0) t.remove(p, suffix.size());
            }
            if (dropThousands && thousand != decimal) t.remove(thousand);
            if (decimal != u'.') {
                const qsizetype p = t.indexOf(decimal);
                if (p >= 0) t[p] = u'.';
            }
            t = t.trimmed();
            bool ok = t.isEmpty();
            double v = ok ? 0 : QLocale::c().toDouble(t, &ok);
            if (!ok) v = LeadingNumber(t).value_or(0);
            c.number[i] = v;
            c.numeric[i] = ok;
        }
        break;
    }
    case ssDate:
    case ssShortDateEU:
    case ssShortDateUS:
        c.kind = KeyKind::Number;
        c.number.resize(n);
        c.numeric.assign(n, 1);
        for (size_t i = 0; i < n; ++i) {
            c.number[i] = c.style == ssDate          ? DateKey(texts[i])
                          : c.style == ssShortDateEU ? ParseDateDayFirst(texts[i])
                                                     : ParseDateMonthFirst(texts[i]);
        }
        break;
    case ssImages:
        c.kind = KeyKind::Number;
        c.number.resize(n);
        c.numeric.assign(n, 1);
        for (size_t i = 0; i < n; ++i) {
            const TCellGraphic* g = m_grid.GetCellGraphic(c.col, m_rows[i]);
            double key = -1;
            if (g && g->CellType == ctImageList) key = g->CellIndex;
            // Pictures have no order of their own: one key after every image
            // index, so they stay together in their former order.
            else if (g && (g->CellType == ctBitmap || g->CellType == ctIcon || g->CellType == ctPicture ||
                           g->CellType == ctFilePicture))
                key = INT_MAX;
            c.number[i] = key;
        }
        break;
    case ssCheckBox:
        c.kind = KeyKind::Number;
        c.number.resize(n);
        c.numeric.assign(n, 1);
        for (size_t i = 0; i < n; ++i) {
            bool state = false;
            m_grid.GetCheckBoxState(c.col, m_rows[i], state);
            c.number[i] = state ? 1 : 0;
        }
        break;
    case ssCustom:
        c.kind = KeyKind::Custom;
        c.text = std::move(texts);
        break;
    case ssRaw:
        c.kind = KeyKind::Raw;
        break;
    case ssHTML:
        c.kind = KeyKind::Text;
        c.text.reserve(n);
        for (const QString& t : texts) c.text.push_back(HTMLStrip(t));
        break;
    case ssAlphaNoCase:
        c.kind = KeyKind::Text;
        c.text.reserve(n);
        for (const QString& t : texts) c.text.push_back(UpperCase(t));
        break;
    default:
        c.kind = KeyKind::Text;
        c.text = std::move(texts);
        break;
    }
}

int TRowSorter::CompareFrom(int entry, int i, int j)
{
    const int count = int(m_chain.size());
    for (int e = entry; e < count; ++e) {
        Column& c = Built(e);
        const size_t a = size_t(i);
        const size_t b = size_t(j);
        if (m_ignoreBlanks && c.empty[a] != c.empty[b]) return c.empty[a] == m_blanksLast ? 1 : -1;
        int r = 0;
        switch (c.kind) {
        case KeyKind::Text:
            r = Sign(c.text[a].compare(c.text[b]));
            break;
        case KeyKind::Collated:
            r = Sign(c.collated[a].compare(c.collated[b]));
            break;
        case KeyKind::Number:
            if (c.numeric[a] || c.numeric[b]) r = c.number[a] < c.number[b] ? -1 : (c.number[a] > c.number[b] ? 1 : 0);
            break;
        case KeyKind::Custom:
            if (m_grid.OnCustomCompare) {
                int res = 0;
                m_grid.OnCustomCompare(&m_grid, c.text[a], c.text[b], res);
                r = Sign(res);
            }
            break;
        case KeyKind::Raw:
            if (m_grid.OnRawCompare) {
                int res = 0;
                m_grid.OnRawCompare(&m_grid, c.col, m_rows[a], m_rows[b], res);
                r = Sign(res);
            }
            break;
        }
        if (r != 0) return c.descending ? -r : r;
        if (!m_full) return 0;
    }
    return 0;
}

int TRowSorter::Compare(int i, int j)
{
    if (m_chain.empty()) return 0;
    return CompareFrom(0, i, j);
}

std::vector<int> TRowSorter::SortedRows()
{
    std::vector<int> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    if (!m_chain.empty() && order.size() > 1) {
        Column& first = Built(0);
        const bool more = m_full && m_chain.size() > 1;
        // The first column's keys compared in place; the chain only on ties.
        const auto tail = [&](int a, int b) { return more ? CompareFrom(1, a, b) : 0; };
        const auto blanks = [&](size_t a, size_t b, int& r) {
            if (!m_ignoreBlanks || first.empty[a] == first.empty[b]) return false;
            r = first.empty[a] == m_blanksLast ? 1 : -1;
            return true;
        };
        const int dir = first.descending ? -1 : 1;
        switch (first.kind) {
        case KeyKind::Text:
            StableSortIndices(order, [&](int a, int b) {
                int r;
                if (!blanks(size_t(a), size_t(b), r)) {
                    r = dir * Sign(first.text[size_t(a)].compare(first.text[size_t(b)]));
                    if (r == 0) r = tail(a, b);
                }
                return r < 0;
            });
            break;
        case KeyKind::Number:
            StableSortIndices(order, [&](int a, int b) {
                int r;
                if (!blanks(size_t(a), size_t(b), r)) {
                    const double x = first.number[size_t(a)];
                    const double y = first.number[size_t(b)];
                    r = (!first.numeric[size_t(a)] && !first.numeric[size_t(b)]) ? 0 : dir * (x < y ? -1 : (x > y ? 1 : 0));
                    if (r == 0) r = tail(a, b);
                }
                return r < 0;
            });
            break;
        default:
            StableSortIndices(order, [&](int a, int b) { return CompareFrom(0, a, b) < 0; });
            break;
        }
    }
    for (int& i : order) i = m_rows[size_t(i)];
    return order;
}
