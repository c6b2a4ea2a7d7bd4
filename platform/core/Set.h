#pragma once
// The class library's set type over a scoped enumeration of at most 32
// values: Style + TFontStyle::fsBold, State.Contains(TGridDrawStateItem::gdFixed).
// Bits() is the set as flags (bit n for the enumerator of value n).

#include <initializer_list>

template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E v : values) m_bits |= Bit(v);
    }
    static constexpr TSet FromBits(unsigned bits)
    {
        TSet s;
        s.m_bits = bits;
        return s;
    }

    constexpr bool Contains(E v) const { return (m_bits & Bit(v)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr unsigned Bits() const { return m_bits; }

    constexpr TSet& operator+=(E v)
    {
        m_bits |= Bit(v);
        return *this;
    }
    constexpr TSet& operator-=(E v)
    {
        m_bits &= ~Bit(v);
        return *this;
    }
    constexpr TSet& operator+=(TSet o)
    {
        m_bits |= o.m_bits;
        return *this;
    }
    constexpr TSet& operator-=(TSet o)
    {
        m_bits &= ~o.m_bits;
        return *this;
    }
    constexpr TSet operator+(E v) const
    {
        TSet r = *this;
        r += v;
        return r;
    }
    constexpr TSet operator-(E v) const
    {
        TSet r = *this;
        r -= v;
        return r;
    }
    constexpr TSet operator+(TSet o) const
    {
        TSet r = *this;
        r += o;
        return r;
    }
    constexpr TSet operator-(TSet o) const
    {
        TSet r = *this;
        r -= o;
        return r;
    }
    // Intersection.
    constexpr TSet operator*(TSet o) const { return FromBits(m_bits & o.m_bits); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr unsigned Bit(E v) { return 1u << static_cast<unsigned>(v); }
    unsigned m_bits = 0;
};
