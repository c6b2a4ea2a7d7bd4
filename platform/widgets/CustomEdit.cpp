#include "platform/widgets/CustomEdit.h"

#include "platform/core/RegionalSettings.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>

namespace {

constexpr int kUnlimited = 32767;

// Qt's editing shortcuts that the platform's edit does not have: each
// would change the text without passing the character rules.
bool IsForeignEditingKey(const QKeyEvent* e)
{
    return e->matches(QKeySequence::DeleteEndOfWord) || e->matches(QKeySequence::DeleteStartOfWord) ||
        e->matches(QKeySequence::DeleteEndOfLine) || e->matches(QKeySequence::DeleteCompleteLine) ||
        e->matches(QKeySequence::Redo) || e->matches(QKeySequence::Undo) ||
        (e->key() == Qt::Key_Delete && (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) ||
        (e->key() == Qt::Key_Backspace);
}

} // namespace

TCustomEdit::TCustomEdit(QWidget* parent, const QString& name) : TWinControlOf<QLineEdit>(parent, name, clWindow)
{
    setFrame(false);
    setDragEnabled(false);
    setAcceptDrops(true);
    setMaxLength(kUnlimited);
    SetBorderStyle(TBorderStyle::bsSingle);
    ApplyColor();
    QObject::connect(this, &QLineEdit::textChanged, this, [this] {
        // A text turned to the letter case changes once more: that change
        // is the one reported.
        if (ApplyCharCase()) return;
        GuardedCall(this, [this] { Change(); });
    });
    SetBounds(0, 0, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::SetText(const QString& value)
{
    const QString cased = Cased(value);
    if (cased == text()) return;
    setText(cased);
}

void TCustomEdit::SetCharCase(TEditCharCase value)
{
    if (m_charCase == value) return;
    m_charCase = value;
    ApplyCharCase();
}

QString TCustomEdit::Cased(const QString& value) const
{
    switch (m_charCase) {
    case TEditCharCase::ecUpperCase: return value.toUpper();
    case TEditCharCase::ecLowerCase: return value.toLower();
    default: return value;
    }
}

bool TCustomEdit::ApplyCharCase()
{
    const QString current = text();
    const QString cased = Cased(current);
    if (cased == current) return false;
    const int caret = cursorPosition();
    const bool modified = isModified();
    setText(cased);
    setModified(modified);
    setCursorPosition(std::min(caret, int(cased.size())));
    return true;
}

int TCustomEdit::SelStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

void TCustomEdit::SetSelStart(int value) { setCursorPosition(std::clamp(value, 0, int(text().size()))); }

int TCustomEdit::SelLength() const { return hasSelectedText() ? int(selectedText().size()) : 0; }

void TCustomEdit::SetSelLength(int value)
{
    const int start = SelStart();
    const int length = std::clamp(value, 0, int(text().size()) - start);
    if (length == 0)
        setCursorPosition(start);
    else
        setSelection(start, length);
}

void TCustomEdit::SetReadOnly(bool value) { setReadOnly(value); }

void TCustomEdit::SetMaxLength(int value)
{
    m_maxLength = std::max(0, value);
    setMaxLength(m_maxLength == 0 ? kUnlimited : m_maxLength);
}

void TCustomEdit::SetEditMask(const QString& value)
{
    if (value == m_editMask) return;
    m_editMask = value;
    setInputMask(InputMaskOf(value));
    if (value.isEmpty()) SetMaxLength(m_maxLength);
}

QString TCustomEdit::InputMaskOf(const QString& editMask)
{
    // The fields are split at the last two unescaped semicolons.
    QList<int> seps;
    for (int i = 0; i < editMask.size(); ++i) {
        if (editMask[i] == u'\\')
            ++i;
        else if (editMask[i] == u';')
            seps.append(i);
    }
    QString mask = editMask;
    QChar blank = u'_';
    if (seps.size() >= 2) {
        const QString blankField = editMask.mid(seps.last() + 1);
        if (!blankField.isEmpty()) blank = blankField[0];
        mask = editMask.left(seps[seps.size() - 2]);
    } else if (seps.size() == 1) {
        mask = editMask.left(seps[0]);
    }
    if (mask.isEmpty()) return QString();
    static const QString qtMeta = QStringLiteral("AaNnXx90DdHhBb#><!\\[]{};");
    auto literal = [&](QString& out, QChar c) {
        if (qtMeta.contains(c)) out += u'\\';
        out += c;
    };
    QString out;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        switch (c.unicode()) {
        case '0': out += u'9'; break;
        case '9': out += u'0'; break;
        case '#': out += u'#'; break;
        case 'L': out += u'A'; break;
        case 'l': out += u'a'; break;
        case 'A': out += u'N'; break;
        case 'a': out += u'n'; break;
        case 'C': out += u'X'; break;
        case 'c': out += u'x'; break;
        case '!': break; // blank trimming: Qt's text drops blanks anyway
        case '>': out += u'>'; break;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == u'>') {
                out += u'!';
                ++i;
            } else {
                out += u'<';
            }
            break;
        case '\\':
            if (i + 1 < mask.size()) literal(out, mask[++i]);
            break;
        case ':': literal(out, RegionalSettings::TimeSeparator()); break;
        case '/': literal(out, RegionalSettings::DateSeparator()); break;
        case '_': out += u' '; break;
        default: literal(out, c); break;
        }
    }
    return out + u';' + blank;
}

void TCustomEdit::SetPasswordChar(QChar value)
{
    if (value == m_passwordChar) return;
    m_passwordChar = value;
    setEchoMode(value.isNull() ? QLineEdit::Normal : QLineEdit::Password);
    // The character a password edit shows is the style's; the style sheet
    // names ours.
    setStyleSheet(value.isNull() ? QString()
                                 : QStringLiteral("lineedit-password-character: %1").arg(int(value.unicode())));
}

void TCustomEdit::SetAlignment(TAlignment value)
{
    m_alignment = value;
    Qt::Alignment a = Qt::AlignVCenter;
    a |= value == taRightJustify ? Qt::AlignRight : value == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(a);
}

TRect TCustomEdit::EditRect() const { return m_hasEditRect ? m_editRect : clientRect(); }

void TCustomEdit::SetEditRect(const TRect& r)
{
    m_editRect = r;
    m_hasEditRect = true;
    ApplyEditRect();
}

void TCustomEdit::ApplyEditRect()
{
    if (!m_hasEditRect) {
        setTextMargins(1, 0, 1, 0);
        return;
    }
    const TRect c = clientRect();
    setTextMargins(std::max(0, m_editRect.Left), std::max(0, m_editRect.Top), std::max(0, c.Right - m_editRect.Right),
                   std::max(0, c.Bottom - m_editRect.Bottom));
}

void TCustomEdit::Resize() { ApplyEditRect(); }

void TCustomEdit::ApplyColor() { TWinControlOf<QLineEdit>::ApplyColor(); }

void TCustomEdit::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomEdit::InsertText(const QString& value) { insert(Cased(value)); }

// ---------------------------------------------------------------------------
// Clipboard

void TCustomEdit::PasteFromClipboard()
{
    if (!PasteAllowed()) return;
    const QString t = QGuiApplication::clipboard()->text();
    if (!t.isEmpty()) PasteText(t);
}

void TCustomEdit::CutToClipboard()
{
    if (!CutAllowed() || !hasSelectedText()) return;
    QGuiApplication::clipboard()->setText(selectedText());
    del();
}

void TCustomEdit::CopyToClipboard()
{
    if (hasSelectedText() && echoMode() == QLineEdit::Normal) QGuiApplication::clipboard()->setText(selectedText());
}

void TCustomEdit::ClearSelection()
{
    if (!CutAllowed() || !hasSelectedText()) return;
    del();
}

void TCustomEdit::Undo()
{
    if (!PasteAllowed() || !CutAllowed()) return;
    undo();
}

// ---------------------------------------------------------------------------
// Keys

bool TCustomEdit::WantKey(int vk, TShiftState) const { return m_wantReturns && vk == Win::VK_RETURN; }

void TCustomEdit::SendKey(int qtKey, QKeyEvent* source)
{
    QKeyEvent key(QEvent::KeyPress, qtKey, Qt::NoModifier);
    BaseEvent(&key);
    if (source) source->setAccepted(key.isAccepted());
}

void TCustomEdit::DefaultKeyDown(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
    } else if (e->matches(QKeySequence::Cut)) {
        CutToClipboard();
    } else if (e->matches(QKeySequence::Copy)) {
        CopyToClipboard();
    } else if (IsForeignEditingKey(e)) {
        // nothing
    } else if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_PageUp ||
               e->key() == Qt::Key_PageDown) {
        // A one-line edit has no line to go to.
    } else {
        BaseEvent(e);
        return;
    }
    e->accept();
}

void TCustomEdit::DefaultChar(TKeyChar ch, QKeyEvent* source)
{
    switch (ch) {
    case 8:
        if (!ReadOnly()) SendKey(Qt::Key_Backspace, nullptr);
        return;
    case 13: SendKey(Qt::Key_Return, source); return;
    case 27: SendKey(Qt::Key_Escape, source); return;
    case 1: selectAll(); return;
    case 3: CopyToClipboard(); return;
    case 0x16: PasteFromClipboard(); return;
    case 0x18: CutToClipboard(); return;
    case 0x1A: Undo(); return;
    default: break;
    }
    if (ch < 32 || ch == 127) return;
    if (!ReadOnly()) InsertText(KeyCharText(ch));
}

void TCustomEdit::focusInEvent(QFocusEvent* e)
{
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(e);
    // Qt selects all on Tab; the control decides that in DoEnter.
    if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason ||
        e->reason() == Qt::ShortcutFocusReason) {
        if (hasSelectedText() && selectedText() == text()) setCursorPosition(caret);
    }
}

void TCustomEdit::DoEnter()
{
    const bool leftDown = (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
    if (m_autoSelect && !leftDown && !m_wantReturns) selectAll();
    TWinControlOf<QLineEdit>::DoEnter();
}

// ---------------------------------------------------------------------------
// Mouse, drag and drop, context menu

bool TCustomEdit::AllowDefaultMouse(QMouseEvent* e)
{
    if (e->button() != Qt::MiddleButton) return true;
    // The middle button pastes the selection (where the platform keeps
    // one), as any paste.
    if (e->type() == QEvent::MouseButtonRelease && PasteAllowed()) {
        QClipboard* cb = QGuiApplication::clipboard();
        if (cb->supportsSelection()) {
            const QString t = cb->text(QClipboard::Selection);
            if (!t.isEmpty()) {
                deselect();
                InsertText(t);
            }
        }
    }
    return false;
}

void TCustomEdit::dragEnterEvent(QDragEnterEvent* e)
{
    if (!PasteAllowed()) {
        e->ignore();
        return;
    }
    QLineEdit::dragEnterEvent(e);
}

void TCustomEdit::dragMoveEvent(QDragMoveEvent* e)
{
    if (!PasteAllowed()) {
        e->ignore();
        return;
    }
    QLineEdit::dragMoveEvent(e);
}

void TCustomEdit::dropEvent(QDropEvent* e)
{
    if (!PasteAllowed()) {
        e->ignore();
        return;
    }
    QLineEdit::dropEvent(e);
}

void TCustomEdit::DefaultContextMenu(QEvent* event)
{
    auto* ce = static_cast<QContextMenuEvent*>(event);
    // The edit's standard menu; entries that do not apply are left out.
    enum Action { aUndo, aCut, aCopy, aPaste, aDelete, aSelectAll, aSeparator };
    const bool selection = hasSelectedText();
    const bool clipboardText = !QGuiApplication::clipboard()->text().isEmpty();
    QList<Action> actions;
    if (isUndoAvailable() && PasteAllowed() && CutAllowed()) actions << aUndo << aSeparator;
    if (selection && CutAllowed()) actions << aCut;
    if (selection) actions << aCopy;
    if (clipboardText && PasteAllowed()) actions << aPaste;
    if (selection && CutAllowed()) actions << aDelete;
    if (!text().isEmpty()) {
        if (!actions.isEmpty() && actions.last() != aSeparator) actions << aSeparator;
        actions << aSelectAll;
    }
    if (!actions.isEmpty() && actions.last() == aSeparator) actions.removeLast();
    if (actions.isEmpty()) return;
    QStringList items;
    for (Action a : actions) {
        switch (a) {
        case aUndo: items << QStringLiteral("&Undo"); break;
        case aCut: items << QStringLiteral("Cu&t"); break;
        case aCopy: items << QStringLiteral("&Copy"); break;
        case aPaste: items << QStringLiteral("&Paste"); break;
        case aDelete: items << QStringLiteral("&Delete"); break;
        case aSelectAll: items << QStringLiteral("Select &All"); break;
        case aSeparator: items << QStringLiteral("-"); break;
        }
    }
    QPointer<QWidget> alive(this);
    const int chosen = Dialogs::PopupMenu(items, ce->globalPos(), this);
    if (!alive || chosen < 0 || chosen >= actions.size()) return;
    switch (actions[chosen]) {
    case aUndo: Undo(); break;
    case aCut: CutToClipboard(); break;
    case aCopy: CopyToClipboard(); break;
    case aPaste: PasteFromClipboard(); break;
    case aDelete: ClearSelection(); break;
    case aSelectAll: selectAll(); break;
    case aSeparator: break;
    }
}
