#include "grid/dnd/TGridDropSource.h"

TGridDropSource::TGridDropSource() = default;
TGridDropSource::~TGridDropSource() = default;

void TGridDropSource::CurrentEffect(TDropEffect effect)
{
    if (effect == TDropEffect::Copy || effect == TDropEffect::Move) m_effect = effect;
}
