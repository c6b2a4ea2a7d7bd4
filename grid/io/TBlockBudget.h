#pragma once
// The caps on what one paste or import may put into a grid, reckoned from
// the input before the grid changes: the cells of the block it claims
// (columns times rows) and the memory it would take (the rows the grid
// grows by, the cell slots of the rows it writes, the texts). Input past
// either cap is refused whole.

#include <QString>
#include <QtGlobal>
#include <algorithm>

class TBlockBudget {
public:
    // Columns x rows of one pasted or imported block.
    static constexpr qint64 MaxCells = qint64(1) << 24;
    // Memory one paste or import may take.
    static constexpr qint64 MaxBytes = qint64(512) << 20;

    // What the grid's storage takes: a row, a cell slot (text and object),
    // a text besides its characters, a cell's property object.
    static constexpr qint64 RowBytes = 64;
    static constexpr qint64 SlotBytes = 32;
    static constexpr qint64 TextBytes = 32;
    static constexpr qint64 PropertyBytes = 512;

    // A block of cols x rows; false when its cells are past the cap.
    bool Claim(qint64 cols, qint64 rows)
    {
        m_cells = cols > 0 && rows > 0 ? (cols > MaxCells || rows > MaxCells ? MaxCells + 1 : cols * rows) : 0;
        return m_cells <= MaxCells;
    }
    void Rows(qint64 n) { Add(std::max<qint64>(0, n), RowBytes); }
    void Slots(qint64 n) { Add(std::max<qint64>(0, n), SlotBytes); }
    void Text(qint64 chars) { Add(1, TextBytes + 2 * std::max<qint64>(0, chars)); }
    // count texts of chars characters in all.
    void Texts(qint64 count, qint64 chars)
    {
        Add(count, TextBytes);
        Add(2, std::max<qint64>(0, chars));
    }
    void Properties(qint64 n) { Add(std::max<qint64>(0, n), PropertyBytes); }
    void Bytes(qint64 n) { Add(1, std::max<qint64>(0, n)); }

    qint64 Cells() const { return m_cells; }
    qint64 Total() const { return m_bytes; }
    bool Fits() const { return m_cells <= MaxCells && m_bytes <= MaxBytes; }
    // Why it does not fit.
    QString Refusal(const QString& what) const
    {
        if (m_cells > MaxCells) return what + QStringLiteral(" is too large: more than %1 cells").arg(MaxCells);
        return what + QStringLiteral(" is too large: more than %1 MB").arg(MaxBytes >> 20);
    }

private:
    void Add(qint64 count, qint64 each)
    {
        // Saturates: a hostile count never wraps round to a small total.
        if (count <= 0) return;
        const qint64 room = MaxBytes + 1 - m_bytes;
        if (count == 1 ? each >= room : each > room / count)
            m_bytes = MaxBytes + 1;
        else
            m_bytes += count * each;
    }
    qint64 m_cells = 0;
    qint64 m_bytes = 0;
};
