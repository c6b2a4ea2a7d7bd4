#pragma once
// The small types of the class library's grids: cell coordinates and cell
// rectangles, the options set, the drawing state of a cell and the grid's
// error.

#include "platform/core/Exception.h"

#include <initializer_list>

// A set over an enumeration of at most 32 values, as the class library's
// set types: Options + goEditing, State.Contains(gdFixed).
template <class E>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E v : values) m_bits |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (m_bits & Bit(v)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr unsigned Bits() const { return m_bits; }
    constexpr TEnumSet& operator+=(E v) { m_bits |= Bit(v); return *this; }
    constexpr TEnumSet& operator-=(E v) { m_bits &= ~Bit(v); return *this; }
    constexpr TEnumSet operator+(E v) const { TEnumSet r = *this; r += v; return r; }
    constexpr TEnumSet operator-(E v) const { TEnumSet r = *this; r -= v; return r; }
    constexpr TEnumSet operator+(TEnumSet o) const { TEnumSet r = *this; r.m_bits |= o.m_bits; return r; }
    constexpr TEnumSet operator-(TEnumSet o) const { TEnumSet r = *this; r.m_bits &= ~o.m_bits; return r; }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr unsigned Bit(E v) { return 1u << static_cast<unsigned>(v); }
    unsigned m_bits = 0;
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TEnumSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TEnumSet<TGridDrawStateItem>;

struct TGridCoord {
    int X = 0;
    int Y = 0;
    constexpr TGridCoord() = default;
    constexpr TGridCoord(int x, int y) : X(x), Y(y) {}
    constexpr bool operator==(const TGridCoord&) const = default;
};

// A block of cells, both corners included.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TGridRect() = default;
    constexpr TGridRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr bool operator==(const TGridRect&) const = default;
    constexpr bool Contains(int col, int row) const
    {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
};

class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};
