#include "grid/hidden/TColumnMap.h"

#include <algorithm>

bool TColumnMap::SetVisible(int realCol, bool visible)
{
    if (realCol < 0 || IsHidden(realCol) == !visible) return false;
    if (size_t(realCol) >= m_hidden.size()) m_hidden.resize(size_t(realCol) + 1, 0);
    m_hidden[size_t(realCol)] = visible ? 0 : 1;
    m_hiddenCount += visible ? -1 : 1;
    return true;
}

void TColumnMap::Rebuild(int totalCols)
{
    const int total = std::max(totalCols, 0);
    m_total = total;
    m_displayToReal.clear();
    m_hiddenBefore.assign(size_t(total) + 1, 0);
    if (m_hiddenCount == 0) return;
    m_displayToReal.reserve(size_t(total));
    int hidden = 0;
    for (int c = 0; c < total; ++c) {
        m_hiddenBefore[size_t(c)] = hidden;
        if (IsHidden(c))
            ++hidden;
        else
            m_displayToReal.push_back(c);
    }
    m_hiddenBefore[size_t(total)] = hidden;
}

int TColumnMap::RealColIndex(int displCol) const
{
    if (m_hiddenCount == 0 || displCol < 0) return displCol;
    return size_t(displCol) < m_displayToReal.size() ? m_displayToReal[size_t(displCol)] : -1;
}

int TColumnMap::DisplColIndex(int realCol) const
{
    if (m_hiddenCount == 0 || realCol < 1) return realCol;
    if (size_t(realCol) < m_hiddenBefore.size()) return realCol - m_hiddenBefore[size_t(realCol)];
    return realCol - m_hiddenCount;
}

namespace {
template <class T>
void MoveEntry(std::vector<T>& v, int from, int to)
{
    const size_t need = size_t(std::max(from, to)) + 1;
    if (v.size() <= size_t(from) && v.size() <= size_t(to)) return; // both at the default
    if (v.size() < need) v.resize(need, T());
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}
} // namespace

void TColumnMap::MoveColumn(int from, int to)
{
    if (from < 0 || to < 0 || from == to) return;
    MoveEntry(m_hidden, from, to);
    MoveEntry(m_savedWidths, from, to);
    Rebuild(m_total);
}

int TColumnMap::SavedWidth(int realCol) const
{
    return realCol >= 0 && size_t(realCol) < m_savedWidths.size() ? m_savedWidths[size_t(realCol)] : 0;
}

void TColumnMap::SetSavedWidth(int realCol, int width)
{
    if (realCol < 0) return;
    if (size_t(realCol) >= m_savedWidths.size()) m_savedWidths.resize(size_t(realCol) + 1, 0);
    m_savedWidths[size_t(realCol)] = std::max(width, 0);
}
