#include "platform/kernel/VirtualKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

struct KeyPair {
    int qt;
    int vk;
};

// Keys that have a virtual key of their own (digits and letters are done by
// range).
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, Win::VK_BACK},
    {Qt::Key_Tab, Win::VK_TAB},
    {Qt::Key_Backtab, Win::VK_TAB},
    {Qt::Key_Clear, Win::VK_CLEAR},
    {Qt::Key_Return, Win::VK_RETURN},
    {Qt::Key_Enter, Win::VK_RETURN},
    {Qt::Key_Shift, Win::VK_SHIFT},
    {Qt::Key_Control, Win::VK_CONTROL},
    {Qt::Key_Alt, Win::VK_MENU},
    {Qt::Key_Pause, Win::VK_PAUSE},
    {Qt::Key_CapsLock, Win::VK_CAPITAL},
    {Qt::Key_Escape, Win::VK_ESCAPE},
    {Qt::Key_Space, Win::VK_SPACE},
    {Qt::Key_PageUp, Win::VK_PRIOR},
    {Qt::Key_PageDown, Win::VK_NEXT},
    {Qt::Key_End, Win::VK_END},
    {Qt::Key_Home, Win::VK_HOME},
    {Qt::Key_Left, Win::VK_LEFT},
    {Qt::Key_Up, Win::VK_UP},
    {Qt::Key_Right, Win::VK_RIGHT},
    {Qt::Key_Down, Win::VK_DOWN},
    {Qt::Key_Print, Win::VK_SNAPSHOT},
    {Qt::Key_Insert, Win::VK_INSERT},
    {Qt::Key_Delete, Win::VK_DELETE},
    {Qt::Key_Help, Win::VK_HELP},
    {Qt::Key_Meta, Win::VK_LWIN},
    {Qt::Key_Menu, Win::VK_APPS},
    {Qt::Key_NumLock, Win::VK_NUMLOCK},
    {Qt::Key_ScrollLock, Win::VK_SCROLL},
    {Qt::Key_Semicolon, Win::VK_OEM_1},
    {Qt::Key_Colon, Win::VK_OEM_1},
    {Qt::Key_Equal, Win::VK_OEM_PLUS},
    {Qt::Key_Plus, Win::VK_OEM_PLUS},
    {Qt::Key_Comma, Win::VK_OEM_COMMA},
    {Qt::Key_Less, Win::VK_OEM_COMMA},
    {Qt::Key_Minus, Win::VK_OEM_MINUS},
    {Qt::Key_Underscore, Win::VK_OEM_MINUS},
    {Qt::Key_Period, Win::VK_OEM_PERIOD},
    {Qt::Key_Greater, Win::VK_OEM_PERIOD},
    {Qt::Key_Slash, Win::VK_OEM_2},
    {Qt::Key_Question, Win::VK_OEM_2},
    {Qt::Key_QuoteLeft, Win::VK_OEM_3},
    {Qt::Key_AsciiTilde, Win::VK_OEM_3},
    {Qt::Key_BracketLeft, Win::VK_OEM_4},
    {Qt::Key_BraceLeft, Win::VK_OEM_4},
    {Qt::Key_Backslash, Win::VK_OEM_5},
    {Qt::Key_Bar, Win::VK_OEM_5},
    {Qt::Key_BracketRight, Win::VK_OEM_6},
    {Qt::Key_BraceRight, Win::VK_OEM_6},
    {Qt::Key_Apostrophe, Win::VK_OEM_7},
    {Qt::Key_QuoteDbl, Win::VK_OEM_7},
};

// Shifted digits of a US keyboard: Qt names the character, Windows the key.
constexpr KeyPair kShiftedDigits[] = {
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'},    {Qt::Key_At, '2'},          {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},   {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},   {Qt::Key_ParenLeft, '9'},
};

} // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return Win::VK_NUMPAD0 + (qtKey - Qt::Key_0);
        switch (qtKey) {
        case Qt::Key_Asterisk: return Win::VK_MULTIPLY;
        case Qt::Key_Plus: return Win::VK_ADD;
        case Qt::Key_Minus: return Win::VK_SUBTRACT;
        case Qt::Key_Period:
        case Qt::Key_Comma: return Win::VK_DECIMAL;
        case Qt::Key_Slash: return Win::VK_DIVIDE;
        default: break;
        }
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return Win::VK_F1 + (qtKey - Qt::Key_F1);
    for (const KeyPair& k : kKeys)
        if (k.qt == qtKey) return k.vk;
    for (const KeyPair& k : kShiftedDigits)
        if (k.qt == qtKey) return k.vk;
    return 0;
}

int QtKeyFromVirtualKey(int vk)
{
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= Win::VK_F1 && vk <= Win::VK_F24) return Qt::Key_F1 + (vk - Win::VK_F1);
    if (vk >= Win::VK_NUMPAD0 && vk <= Win::VK_NUMPAD9) return Qt::Key_0 + (vk - Win::VK_NUMPAD0);
    switch (vk) {
    case Win::VK_MULTIPLY: return Qt::Key_Asterisk;
    case Win::VK_ADD: return Qt::Key_Plus;
    case Win::VK_SUBTRACT: return Qt::Key_Minus;
    case Win::VK_DECIMAL: return Qt::Key_Period;
    case Win::VK_DIVIDE: return Qt::Key_Slash;
    default: break;
    }
    for (const KeyPair& k : kKeys)
        if (k.vk == vk) return k.qt;
    return Qt::Key_unknown;
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s;
    if (modifiers & Qt::ShiftModifier) s += TShiftStateItem::ssShift;
    if (modifiers & Qt::AltModifier) s += TShiftStateItem::ssAlt;
    if (modifiers & Qt::ControlModifier) s += TShiftStateItem::ssCtrl;
    if (buttons & Qt::LeftButton) s += TShiftStateItem::ssLeft;
    if (buttons & Qt::RightButton) s += TShiftStateItem::ssRight;
    if (buttons & Qt::MiddleButton) s += TShiftStateItem::ssMiddle;
    return s;
}

Qt::KeyboardModifiers QtModifiersFromShiftState(TShiftState shift)
{
    Qt::KeyboardModifiers m;
    if (shift.Contains(TShiftStateItem::ssShift)) m |= Qt::ShiftModifier;
    if (shift.Contains(TShiftStateItem::ssAlt)) m |= Qt::AltModifier;
    if (shift.Contains(TShiftStateItem::ssCtrl)) m |= Qt::ControlModifier;
    return m;
}

QList<TKeyChar> CharactersOfKey(const QKeyEvent& event)
{
    QList<TKeyChar> out;
    const Qt::KeyboardModifiers mods = event.modifiers();
    const int key = event.key();
    const bool ctrl = (mods & Qt::ControlModifier) != 0;
    const bool alt = (mods & Qt::AltModifier) != 0;
    if (ctrl && !alt) {
        // Ctrl+letter gives its control character; a few other keys give one
        // too; the rest give none. Ctrl+Backspace gives none: its DEL would
        // type an invisible character into a cell.
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            out.append(TKeyChar(key - Qt::Key_A + 1));
        else if (key == Qt::Key_Return || key == Qt::Key_Enter)
            out.append(TKeyChar(10));
        else if (key == Qt::Key_BracketLeft)
            out.append(TKeyChar(27));
        return out;
    }
    if (alt && !ctrl) return out; // the system-character path: no key press
    switch (key) {
    case Qt::Key_Backspace: out.append(TKeyChar(8)); return out;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: out.append(TKeyChar(9)); return out;
    case Qt::Key_Return:
    case Qt::Key_Enter: out.append(TKeyChar(13)); return out;
    case Qt::Key_Escape: out.append(TKeyChar(27)); return out;
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return out;
    default: break;
    }
    // Typed text never carries a control character (C0, DEL, C1): those
    // come only from the keys above.
    const QString text = event.text();
    for (char32_t c : text.toUcs4()) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) continue;
        out.append(c);
    }
    return out;
}

void PostKeyDown(QWidget* target, int vk, TShiftState shift)
{
    if (!target) return;
    QCoreApplication::postEvent(
        target, new QKeyEvent(QEvent::KeyPress, QtKeyFromVirtualKey(vk), QtModifiersFromShiftState(shift)));
}

QString KeyCharText(TKeyChar ch) { return QString::fromUcs4(&ch, 1); }
