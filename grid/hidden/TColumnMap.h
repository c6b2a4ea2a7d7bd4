#pragma once
// Which real columns are hidden, and the two numberings that follow: a real
// column keeps its place in the cell storage while a display column is its
// place on the screen among the visible ones. Both conversions are table
// look-ups, the tables rebuilt on every hide and show.
//
// Any column can be hidden; the flags grow with the columns hidden. A display
// column past the visible ones has no real column (-1) while columns are
// hidden.

#include <QtGlobal>
#include <vector>

class TColumnMap {
public:
    TColumnMap() = default;

    int HiddenCount() const { return m_hiddenCount; }
    bool IsHidden(int realCol) const
    {
        return realCol >= 0 && size_t(realCol) < m_hidden.size() && m_hidden[size_t(realCol)];
    }
    // The raw flag (True: visible).
    bool Visible(int realCol) const { return !IsHidden(realCol); }
    // Sets the flag; false when it did not change. The tables follow at the
    // next Rebuild.
    bool SetVisible(int realCol, bool visible);

    // Rebuilds the tables for a grid of totalCols real columns.
    void Rebuild(int totalCols);
    // The column total of the last Rebuild.
    int Total() const { return m_total; }

    int RealColIndex(int displCol) const;
    int DisplColIndex(int realCol) const;

    // The flag and saved width of real column from move to real column to,
    // those between shifting one place toward from; the tables are rebuilt.
    void MoveColumn(int from, int to);

    // The width a column had when it was hidden.
    int SavedWidth(int realCol) const;
    void SetSavedWidth(int realCol, int width);

private:
    std::vector<char> m_hidden;     // per real column, grown on demand
    std::vector<int> m_savedWidths; // likewise
    int m_hiddenCount = 0;
    int m_total = 0;
    std::vector<int> m_displayToReal; // per display column
    std::vector<int> m_hiddenBefore;  // per real column: hidden columns left of it
};
