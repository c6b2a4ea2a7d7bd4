// Sorting rows by a column, by the index list and within node groups, and
// the merging of equal cells after a sort.
//
// A sort never changes the grid before the new order is known: the sorter
// reads every key first (events may raise there, leaving the grid as it
// was), then the rows are put in their places in one pass, each row moved
// as one object.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/sort/TRowSorter.h"

#include <QStringList>

namespace {

enum : int { smColumn = 0, smIndexes = 1, smGroups = 2 };

std::vector<int> RowRange(int from, int to)
{
    std::vector<int> rows;
    rows.reserve(size_t(std::max(0, to - from + 1)));
    for (int r = from; r <= to; ++r) rows.push_back(r);
    return rows;
}

} // namespace

TSortIndexList& TExtStringGrid::SortIndexes() { return d->sort.indexes; }
TIntList& TExtStringGrid::MergeColumnList() { return d->sort.mergeColumns; }

void TExtStringGrid::SortByColumn()
{
    d->sort.indexes.Clear();
    RunSort(smColumn);
}

void TExtStringGrid::SortByIndexes()
{
    if (d->sort.indexes.Count() == 0) throw EExtGridError(QStringLiteral("No indexes specified for indexed sort"));
    RunSort(smIndexes);
}

void TExtStringGrid::SortGroups() { RunSort(smGroups); }

void TExtStringGrid::RunSort(int mode)
{
    const TSortSettings& ss = d->sortSettings;
    const int first = FixedRows();
    const int last = RowCount() - 1 - d->fixedFooters;
    if (last <= first) return;
    // An edit in progress ends in its own row first: the row sorts by it,
    // and no other row moves under the editor to take its text.
    CloseEditorControl();
    HideEditor();
    TUpdateScope update(*this);

    const auto sorted = [&](int from, int to) {
        TRowSorter sorter(*this, RowRange(from, to));
        sorter.SetFull(ss.Full);
        if (mode == smIndexes) {
            for (int i = 0; i < d->sort.indexes.Count(); ++i) {
                const int entry = d->sort.indexes.Item(i);
                sorter.AddColumn(TSortIndexList::ColumnOf(entry), !TSortIndexList::IsAscending(entry));
            }
        } else {
            const bool descending = ss.Direction == sdDescending;
            sorter.AddColumn(ss.Column, descending);
            if (ss.Full)
                for (int c = ss.Column + 1; c < StoreCols(); ++c) sorter.AddColumn(c, descending);
        }
        return sorter.SortedRows();
    };

    // Every order is known before any row moves.
    std::vector<std::pair<int, std::vector<int>>> orders;
    if (mode == smGroups) {
        // A group is the rows after a node row up to the next node row or
        // the last data row; node rows stay where they are.
        const auto isNode = [&](int r) { return GetCellType(0, r) == ctNode; };
        int r = first;
        while (r <= last) {
            if (!isNode(r)) {
                ++r;
                continue;
            }
            int end = r + 1;
            while (end <= last && !isNode(end)) ++end;
            if (end - 1 > r + 1) orders.emplace_back(r + 1, sorted(r + 1, end - 1));
            r = end;
        }
    } else {
        orders.emplace_back(first, sorted(first, last));
    }

    // A fixed first column (row numbers) keeps its texts in place.
    const bool keepFirstColumn = ss.NormalCellsOnly && FixedCols() > 0;
    QStringList firstColumn;
    if (keepFirstColumn)
        for (int r = first; r <= last; ++r) firstColumn << Cells(0, r);
    for (const auto& [from, order] : orders) ApplyRowOrder(from, order);
    if (keepFirstColumn)
        for (int r = first; r <= last; ++r) SetCells(0, r, firstColumn[r - first]);
}

void TExtStringGrid::ApplyRowOrder(int first, const std::vector<int>& order)
{
    const int n = int(order.size());
    bool moved = false;
    for (int k = 0; k < n && !moved; ++k) moved = order[size_t(k)] != first + k;
    if (!moved) return;
    const TSortSettings& ss = d->sortSettings;
    if (ss.SingleColumn) {
        // Only the sort column's cells, raw: texts and objects.
        const int col = ss.Column;
        std::vector<QString> texts;
        std::vector<TObject*> objects;
        texts.reserve(size_t(n));
        objects.reserve(size_t(n));
        for (int r : order) {
            texts.push_back(Cells(col, r));
            objects.push_back(Objects(col, r));
        }
        for (int k = 0; k < n; ++k) {
            SetCells(col, first + k, texts[size_t(k)]);
            SetObjects(col, first + k, objects[size_t(k)]);
        }
        return;
    }
    ReorderRows(first, order);
    RowsReordered(first, order); // hidden rows follow their rows (hidden/)
    if (d->mouseActions.DisjunctRowSelect && d->navigation.MoveRowOnSort) {
        std::vector<char>& marks = d->typed.rowMarks;
        if (marks.size() < size_t(first + n)) marks.resize(size_t(first + n), 0);
        std::vector<char> old(marks.begin() + first, marks.begin() + first + n);
        for (int k = 0; k < n; ++k) marks[size_t(first + k)] = old[size_t(order[size_t(k)] - first)];
    }
    if (d->navigation.MoveRowOnSort) {
        const int current = Row();
        for (int k = 0; k < n; ++k)
            if (order[size_t(k)] == current) {
                if (first + k != current) SetRow(first + k);
                break;
            }
    }
}

void TExtStringGrid::SwapRows(int row1, int row2)
{
    if (row1 == row2 || row1 < 0 || row2 < 0 || row1 >= RowCount() || row2 >= RowCount()) return;
    // An edit in progress ends in its own row before the rows trade places.
    CloseEditorControl();
    HideEditor();
    const int lo = std::min(row1, row2);
    const int hi = std::max(row1, row2);
    std::vector<int> order = RowRange(lo, hi);
    std::swap(order.front(), order.back());
    ApplyRowOrder(lo, order);
}

// ---------------------------------------------------------------------------
// Comparisons one at a time. The results are those the sort uses, given
// before the direction multiplier: only the blank placement follows the
// direction.

int TExtStringGrid::CompareCells(int col, int row1, int row2)
{
    TRowSorter sorter(*this, {row1, row2});
    const bool descending = d->sortSettings.Direction == sdDescending;
    sorter.AddColumn(col, descending);
    const int r = sorter.Compare(0, 1);
    return descending ? -r : r;
}

int TExtStringGrid::CompareRows(int col, int row1, int row2)
{
    TRowSorter sorter(*this, {row1, row2});
    const bool descending = d->sortSettings.Direction == sdDescending;
    sorter.SetFull(d->sortSettings.Full);
    for (int c = col; c < StoreCols(); ++c) sorter.AddColumn(c, descending);
    const int r = sorter.Compare(0, 1);
    return descending ? -r : r;
}

int TExtStringGrid::CompareRowsIndexed(int idx, int row1, int row2)
{
    TRowSorter sorter(*this, {row1, row2});
    sorter.SetFull(d->sortSettings.Full);
    for (int i = std::max(0, idx); i < d->sort.indexes.Count(); ++i) {
        const int entry = d->sort.indexes.Item(i);
        sorter.AddColumn(TSortIndexList::ColumnOf(entry), !TSortIndexList::IsAscending(entry));
    }
    return sorter.Compare(0, 1);
}

// ---------------------------------------------------------------------------
// Merging equal cells

void TExtStringGrid::SplitColumnMerges(int col)
{
    const int last = RowCount() - 1 - d->fixedFooters;
    int r = 0;
    while (r <= last) {
        if (!IsMergedCell(col, r)) {
            ++r;
            continue;
        }
        const TPoint base = BaseCellPoint(col, r);
        const TPoint span = GetCellSpan(base.X, base.Y);
        SplitCells(base.X, base.Y);
        r = std::max(r + 1, base.Y + span.Y + 1);
    }
}

void TExtStringGrid::MergeColumnCells(int col, bool mainMerge)
{
    const int first = FixedRows();
    const int last = RowCount() - 1 - d->fixedFooters;
    if (last <= first) return;
    // Whether some other column already holds one area over both rows.
    const auto insideOtherRun = [&](int upper, int lower) {
        for (int c = 0; c < StoreCols(); ++c) {
            if (c == col || !IsMergedCell(c, lower)) continue;
            const TPoint base = BaseCellPoint(c, lower);
            if (base.Y <= upper && GetCellSpan(base.X, base.Y).Y > 0) return true;
        }
        return false;
    };
    const auto close = [&](int start, int end) {
        if (end > start) MergeCells(col, start, 1, end - start + 1);
    };
    int start = first;
    QString previous = GetCellText(col, first);
    for (int r = first + 1; r <= last; ++r) {
        const QString text = GetCellText(col, r);
        const bool joins = text == previous && (mainMerge || insideOtherRun(r - 1, r));
        if (!joins) {
            close(start, r - 1);
            start = r;
        }
        previous = text;
    }
    close(start, last);
}
