#include "platform/graphics/StyleHooks.h"

namespace {

TStyleHooks& Hooks()
{
    static TStyleHooks hooks;
    return hooks;
}

} // namespace

void SetStyleHooks(TStyleHooks hooks) { Hooks() = std::move(hooks); }

const TStyleHooks& StyleHooks() { return Hooks(); }
