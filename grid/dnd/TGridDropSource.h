#pragma once
// The grid's drop source: the platform's drop source for the drags the grid
// starts (its cells, a column). It remembers the last effect the place
// under the pointer offered, copy or move, which the grid takes when the
// drop itself reports none; the drag indicator follows the pointer as the
// source's indicator picture.

#include "platform/clipboard/ESGDropSource.h"

class TGridDropSource : public TESGDropSource {
public:
    TGridDropSource();
    ~TGridDropSource() override;
    // Copy or move, as last offered (None until then).
    TDropEffect LastEffect() const { return m_effect; }

protected:
    void CurrentEffect(TDropEffect effect) override;

private:
    TDropEffect m_effect = TDropEffect::None;
};
