#include "platform/clipboard/ESGDropSource.h"

TESGDropSource::TESGDropSource() = default;
TESGDropSource::~TESGDropSource() = default;

TESGDropSource::TContinue TESGDropSource::QueryContinueDrag(bool escapePressed, bool leftButtonDown)
{
    QueryDrag();
    if (escapePressed) return TContinue::Cancel;
    if (!leftButtonDown) return TContinue::Drop;
    return TContinue::Continue;
}

void TESGDropSource::GiveFeedback(TDropEffect effect)
{
    m_noDrop = effect == TDropEffect::None;
    CurrentEffect(effect);
}

void TESGDropSource::CurrentEffect(TDropEffect) { }
void TESGDropSource::QueryDrag() { }
