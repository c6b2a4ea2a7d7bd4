#include "grid/edit/TExtInplaceMemo.h"

#include "grid/edit/TExtInplaceEdit.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTextCursor>

TExtInplaceMemo::TExtInplaceMemo(TExtInplaceEdit* owner, QWidget* parent) : QPlainTextEdit(parent), m_owner(owner)
{
    setObjectName(QStringLiteral("ExtInplaceMemo"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    document()->setDocumentMargin(2);
    hide();
}

TExtInplaceMemo::~TExtInplaceMemo() = default;

QString TExtInplaceMemo::ViewText(const QString& text)
{
    QString view = text;
    view.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    view.replace(u'\r', u'\n');
    return view;
}

int TExtInplaceMemo::ToView(const QString& text, int pos)
{
    pos = std::clamp(pos, 0, int(text.size()));
    int view = 0;
    for (int i = 0; i < pos; ++view) i += text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return view;
}

int TExtInplaceMemo::ToText(const QString& text, int viewPos)
{
    int i = 0;
    for (int view = 0; i < text.size() && view < viewPos; ++view)
        i += text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return i;
}

void TExtInplaceMemo::Pull()
{
    m_pulling = true;
    const QString text = m_owner->text();
    const QString view = ViewText(text);
    if (toPlainText() != view) setPlainText(view);
    int anchor = m_owner->cursorPosition();
    int pos = anchor;
    if (m_owner->hasSelectedText()) {
        const int start = m_owner->selectionStart();
        const int end = m_owner->selectionEnd();
        anchor = pos == start ? end : start;
        pos = pos == start ? start : end;
    }
    QTextCursor c(document());
    c.setPosition(ToView(text, anchor));
    c.setPosition(ToView(text, pos), QTextCursor::KeepAnchor);
    setTextCursor(c);
    m_pulling = false;
}

void TExtInplaceMemo::Push()
{
    const QTextCursor c = textCursor();
    const QString text = m_owner->text();
    const int anchor = ToText(text, c.anchor());
    const int pos = ToText(text, c.position());
    if (anchor == pos)
        m_owner->setCursorPosition(pos);
    else
        m_owner->setSelection(anchor, pos - anchor);
}

bool TExtInplaceMemo::MovesCaret(const QKeyEvent* e) const
{
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const QTextCursor c = textCursor();
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // Between the lines; from the first line up or the last line down
        // the key leaves the cell.
        if (mods != Qt::NoModifier) return true;
        QTextCursor probe = c;
        probe.clearSelection();
        return probe.movePosition(e->key() == Qt::Key_Up ? QTextCursor::Up : QTextCursor::Down);
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
        // At the start and the end the editor decides (CursorWalkEditor).
        if (mods != Qt::NoModifier || c.hasSelection()) return true;
        return e->key() == Qt::Key_Left ? !c.atStart() : !c.atEnd();
    case Qt::Key_Home:
    case Qt::Key_End: return (mods & Qt::AltModifier) == 0;
    default: return false;
    }
}

void TExtInplaceMemo::Forward(QKeyEvent* e)
{
    Push();
    // A line end is two characters of the text: Backspace and Delete take
    // it whole.
    const QString text = m_owner->text();
    const int pos = m_owner->cursorPosition();
    if (!m_owner->hasSelectedText() && e->type() == QEvent::KeyPress && e->modifiers() == Qt::NoModifier) {
        if (e->key() == Qt::Key_Backspace && pos >= 2 && QStringView(text).mid(pos - 2, 2) == u"\r\n")
            m_owner->setSelection(pos - 2, 2);
        else if (e->key() == Qt::Key_Delete && QStringView(text).mid(pos, 2) == u"\r\n")
            m_owner->setSelection(pos, 2);
    }
    QPointer<QWidget> alive(this);
    QCoreApplication::sendEvent(m_owner, e);
    if (alive && isVisible()) Pull();
    e->accept();
}

void TExtInplaceMemo::keyPressEvent(QKeyEvent* e)
{
    if (MovesCaret(e)) {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }
    Forward(e);
}

void TExtInplaceMemo::keyReleaseEvent(QKeyEvent* e)
{
    if (MovesCaret(e)) {
        QPlainTextEdit::keyReleaseEvent(e);
        return;
    }
    Forward(e);
}

void TExtInplaceMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    // A menu or another window keeps the edit open.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason) return;
    if (m_pulling || !isVisible()) return;
    Push();
    m_owner->LinesLeft();
}

void TExtInplaceMemo::mouseDoubleClickEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseDoubleClickEvent(e);
    m_owner->LinesDoubleClicked();
}
