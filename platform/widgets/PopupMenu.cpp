#include "platform/widgets/PopupMenu.h"

#include "platform/dialogs/Dialogs.h"

#include <QWidget>

int TPopupMenu::Popup(const QPoint& screenPos, QWidget* owner)
{
    const int chosen = Dialogs::PopupMenu(m_items, screenPos, owner);
    if (chosen < 0 || chosen >= m_items.size()) return -1;
    if (OnClick) OnClick(owner, chosen);
    return chosen;
}
