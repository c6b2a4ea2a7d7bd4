#pragma once
// The comparison of the string grid's rows and their sort.
//
// A sorter holds a list of grid rows and a chain of sort columns. Each
// column decides its sort style once (the format hook, then, for the
// automatic style, its first cell that holds anything) and converts a row's
// cell once into a key: a text, a locale sort key or a number. The rows are
// then ordered by comparing keys, never by reading cells again; the custom
// and raw styles ask their events per comparison, with the events' results
// reduced to their sign.
//
// Compare answers -1, 0 or 1 for two positions of the row list, after the
// column's direction; empty cells go to BlankPos whatever the direction
// when IgnoreBlanks is set. A tie goes on to the next column of the chain
// only with SortSettings.Full. A sort orders the whole list by the first
// column, then each run of rows equal there by the next column, and so on:
// a later column's keys are made only for the rows that tie before it.

#include "grid/GridSettings.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

class TExtStringGrid;

class TRowSorter {
public:
    TRowSorter(TExtStringGrid& grid, std::vector<int> rows);
    TRowSorter(const TRowSorter&) = delete;
    TRowSorter& operator=(const TRowSorter&) = delete;
    ~TRowSorter();

    // Appends a real column to the chain.
    void AddColumn(int col, bool descending);
    void SetFull(bool full) { m_full = full; }

    // -1, 0 or 1: the order of the rows at positions i and j of the list.
    int Compare(int i, int j);
    // The style the column at chain entry entry compares by.
    TSortStyle StyleOf(int entry);
    // The list's rows in sorted order (a stable order: equal rows keep
    // theirs).
    std::vector<int> SortedRows();

private:
    struct Column;
    struct Keys;
    struct Entry;
    Column& Prepared(int entry);
    void Prepare(Column& column);
    TSortStyle DetectStyle(int col);
    double NumberKey(const Column& column, QString& text, bool& numeric) const;
    void MakeKey(const Column& column, int row, Keys& keys, std::size_t slot);
    int CompareKeys(const Column& column, const Keys& keys, std::size_t a, std::size_t b);
    int CompareEntries(const Column& column, const Keys& keys, const Entry& a, const Entry& b);

    TExtStringGrid& m_grid;
    std::vector<int> m_rows;
    std::vector<std::unique_ptr<Column>> m_chain;
    bool m_full = false;
    bool m_ignoreBlanks = false;
    bool m_blanksLast = false;
};
