#pragma once
// Key codes and shift states as the controls speak of them: the Windows
// virtual-key numbers (VK_UP is 38), the class library's shift state, and the
// one place where Qt's keys are turned into them and back.

#include "platform/core/Set.h"

#include <QList>
#include <QString>
#include <Qt>

class QKeyEvent;
class QWidget;

namespace Win {

// Virtual-key numbers. Digits and letters are their upper-case character
// codes ('0'..'9', 'A'..'Z').
enum : int {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2,
    VK_F3,
    VK_F4,
    VK_F5,
    VK_F6,
    VK_F7,
    VK_F8,
    VK_F9,
    VK_F10,
    VK_F11,
    VK_F12,
    VK_F13,
    VK_F14,
    VK_F15,
    VK_F16,
    VK_F17,
    VK_F18,
    VK_F19,
    VK_F20,
    VK_F21,
    VK_F22,
    VK_F23,
    VK_F24,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA,      // ;:
    VK_OEM_PLUS = 0xBB,   // =+
    VK_OEM_COMMA = 0xBC,  // ,<
    VK_OEM_MINUS = 0xBD,  // -_
    VK_OEM_PERIOD = 0xBE, // .>
    VK_OEM_2 = 0xBF,      // /?
    VK_OEM_3 = 0xC0,      // `~
    VK_OEM_4 = 0xDB,      // [{
    VK_OEM_5 = 0xDC,      // \|
    VK_OEM_6 = 0xDD,      // ]}
    VK_OEM_7 = 0xDE,      // '"
};

} // namespace Win

// The class library's shift state: Shift.Contains(TShiftStateItem::ssCtrl).
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// A typed character as the key-press events see it: the real character,
// also beyond U+00FF and beyond the 16-bit range; 0 means none (dropped).
using TKeyChar = char32_t;

// The virtual key of a Qt key (0 when there is none). Keys of the keypad
// give the keypad codes.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The Qt key of a virtual key (Qt::Key_unknown when there is none).
int QtKeyFromVirtualKey(int vk);

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
Qt::KeyboardModifiers QtModifiersFromShiftState(TShiftState shift);

// The characters a key press gives as the platform's character messages
// would: the typed text (no control character in it), with Ctrl+letter as
// the control character 1..26, Ctrl+Enter as 10, and no character for keys
// such as Delete, the arrows or Ctrl+Backspace, nor for Alt combinations
// without Ctrl.
QList<TKeyChar> CharactersOfKey(const QKeyEvent& event);

// A key-down message for the widget, queued as the platform's PostMessage
// of WM_KEYDOWN would (delivered later from the event loop).
void PostKeyDown(QWidget* target, int vk, TShiftState shift = {});

// The text of one character.
QString KeyCharText(TKeyChar ch);
