#pragma once
// Key bindings, in the spirit of Qt's: a static table from a key (with the
// modifiers it needs and a condition on its owner's state) to a small
// action. A key down walks the table top to bottom; every row that matches
// runs, and one that takes the key (sets it to 0) ends the walk. The rows
// stand in the order the steps run, so the table reads as the key handling.
// Nothing is allocated per key.

#include "platform/kernel/VirtualKeys.h"

#include <cstddef>
#include <limits>

// The keys a row answers: one virtual key, a range of them, or any.
struct TKeyRange {
    int first;
    int last;
    constexpr bool Contains(int key) const { return key >= first && key <= last; }
};

constexpr TKeyRange SingleKey(int key) { return {key, key}; }
constexpr TKeyRange kAnyKey{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};

constexpr TShiftState kNoKeys{};
constexpr TShiftState kCtrlKey{TShiftStateItem::ssCtrl};
constexpr TShiftState kShiftKey{TShiftStateItem::ssShift};
constexpr TShiftState kAltKey{TShiftStateItem::ssAlt};
constexpr TShiftState kModifierKeys{TShiftStateItem::ssCtrl, TShiftStateItem::ssShift, TShiftStateItem::ssAlt};

// The key down being walked through a table.
struct TKeyPress {
    int& key;          // 0 once a row has taken it
    TShiftState shift; // as it was at the key down
};

// One row: the keys, the modifiers that must all be held (down) and those
// none of which may be (up), the condition (nullptr: always) and the action.
template <class Owner, class Press = TKeyPress>
struct TKeyBinding {
    using Condition = bool (*)(Owner& owner, const Press& press);
    using Action = void (*)(Owner& owner, Press& press);

    TKeyRange keys;
    TShiftState down;
    TShiftState up;
    Condition when;
    Action run;

    bool Matches(Owner& owner, const Press& press) const
    {
        const unsigned held = press.shift.Bits();
        return keys.Contains(press.key) && (held & down.Bits()) == down.Bits() && (held & up.Bits()) == 0 &&
            (!when || when(owner, press));
    }
};

template <class Owner, class Press, std::size_t N>
void WalkKeyBindings(const TKeyBinding<Owner, Press> (&table)[N], Owner& owner, Press& press)
{
    for (const TKeyBinding<Owner, Press>& row : table) {
        if (!row.Matches(owner, press)) continue;
        row.run(owner, press);
        if (press.key == 0) return;
    }
}
