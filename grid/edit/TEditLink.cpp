#include "grid/edit/TEditLink.h"

#include "grid/TExtStringGrid.h"
#include "grid/TExtStringGrid_p.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

TEditLink::TEditLink(QObject* owner) : QObject(owner) { }

TExtStringGrid* TEditLink::Grid() const { return m_grid; }
void TEditLink::SetGrid(TExtStringGrid* grid) { m_grid = grid; }

TEditLink::~TEditLink()
{
    // The editor lives in the popup; take it out before the form goes.
    if (m_popup) DestroyEditor();
}

void TEditLink::SetPopupForm(std::unique_ptr<QWidget> form)
{
    FreePopupForm();
    m_popup = std::move(form);
}

void TEditLink::FreePopupForm() { m_popup.reset(); }

void TEditLink::CreateEditor(QWidget*) { }
void TEditLink::DestroyEditor() { }

void TEditLink::PlaceEditor(const TRect& rect)
{
    QWidget* c = EditControl();
    if (!c) return;
    const int line = m_grid ? m_grid->GridLineWidth() : 0;
    c->setGeometry(rect.Left, rect.Top, rect.Width() - line, rect.Height() - line);
}

void TEditLink::ShowEditor(bool visible)
{
    if (QWidget* c = EditControl()) c->setVisible(visible);
}

void TEditLink::ApplyColors(TColor, const TFont&) { }

void TEditLink::FocusEditor(bool focus)
{
    if (focus) {
        if (QWidget* c = EditControl()) c->setFocus(Qt::OtherFocusReason);
    } else if (m_grid) {
        m_grid->setFocus(Qt::OtherFocusReason);
    }
}

// ---------------------------------------------------------------------------
// Keys and leaving

namespace {

// The keys that end editing unless the link wants them.
bool IsEditKey(int key)
{
    switch (key) {
    case Win::VK_UP:
    case Win::VK_DOWN:
    case Win::VK_LEFT:
    case Win::VK_RIGHT:
    case Win::VK_END:
    case Win::VK_HOME:
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_RETURN:
    case Win::VK_ESCAPE: return true;
    default: return false;
    }
}

} // namespace

bool TEditLink::KeyEndsEdit(int key) const
{
    switch (key) {
    case Win::VK_UP:
    case Win::VK_DOWN: return !WantKeyUpDown;
    case Win::VK_LEFT:
    case Win::VK_RIGHT: return !WantKeyLeftRight;
    case Win::VK_END: return !WantKeyHomeEnd;
    case Win::VK_PRIOR:
    case Win::VK_NEXT: return !WantKeyPriorNext;
    case Win::VK_RETURN: return !WantKeyReturn;
    case Win::VK_ESCAPE: return !WantKeyEscape;
    case Win::VK_TAB: return true;
    default: return false; // Home too: it stays in the editor unless wanted
    }
}

void TEditLink::EditKeyHandler(int& key, TShiftState shift)
{
    if (!KeyEndsEdit(key) || !m_grid) return;
    TExtStringGrid* grid = m_grid;
    const bool ours = grid->EditInProgress() && grid->CurrentEditorType() == edCustom && grid->EditLink() == this;
    const bool escape = key == Win::VK_ESCAPE;
    m_endingByKey = true;
    // Esc stores nothing and gives the cell its text from before. The grid
    // taking the focus back may already close the edit.
    if (ours && escape) grid->d->edit.cancelled = true;
    FocusEditor(false);
    if (ours) {
        grid->CloseEditorControl();
        if (escape) grid->RestoreEditText();
    }
    m_endingByKey = false;
    if (key == Win::VK_UP || key == Win::VK_DOWN) {
        int k = key;
        grid->KeyDown(k, shift);
    }
    key = 0;
}

void TEditLink::EditExit()
{
    if (m_endingByKey || !m_grid) return;
    if (!m_grid->EditInProgress() || m_grid->CurrentEditorType() != edCustom || m_grid->EditLink() != this) return;
    // The focus went within the link's own windows: still editing.
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* control = EditControl();
    if (focus &&
        ((control && (focus == control || control->isAncestorOf(focus))) ||
         (m_popup && (focus == m_popup.get() || m_popup->isAncestorOf(focus)))))
        return;
    m_grid->CloseEditorControl();
}

void TEditLink::WatchEditControl()
{
    ++m_editSerial;
    m_watched = EditControl();
    if (m_watched) m_watched->installEventFilter(this);
}

bool TEditLink::eventFilter(QObject* watched, QEvent* event)
{
    // (The control may be going: its events are told apart by address.)
    if (!m_watched || watched != m_watched.data()) return QObject::eventFilter(watched, event);
    // The edit ends once the control's event is over: ending it frees the
    // control or its popup form.
    const int serial = m_editSerial;
    if (event->type() == QEvent::KeyPress) {
        const auto* ke = static_cast<QKeyEvent*>(event);
        const int vk = VirtualKeyFromQt(ke->key(), ke->modifiers());
        if (!KeyEndsEdit(vk)) {
            // A navigation key the editor keeps goes to it alone: what it
            // leaves must not reach the grid (its parent) and move the cell.
            if (!IsEditKey(vk)) return false;
            static_cast<QObject*>(watched)->event(event);
            event->accept();
            return true;
        }
        const TShiftState shift = ShiftStateFromQt(ke->modifiers());
        QMetaObject::invokeMethod(
            this,
            [this, serial, vk, shift] {
                if (serial != m_editSerial) return;
                int key = vk;
                EditKeyHandler(key, shift);
            },
            Qt::QueuedConnection);
        event->accept();
        return true;
    }
    if (event->type() == QEvent::FocusOut && !m_endingByKey) {
        QMetaObject::invokeMethod(
            this,
            [this, serial] {
                if (serial == m_editSerial) EditExit();
            },
            Qt::QueuedConnection);
    }
    return false;
}
