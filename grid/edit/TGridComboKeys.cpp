#include "grid/edit/TGridComboKeys.h"

#include "controls/ESGCustomCombo.h"
#include "grid/TExtStringGrid.h"

#include <QFontMetrics>
#include <QPointer>

void TGridComboKeys::KeyDown(int& key, TShiftState shift)
{
    m_lookupEnabled = !(key == Win::VK_BACK || key == Win::VK_DELETE);
    TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift);
}

bool TGridComboKeys::HandsBack(int key, TShiftState shift) const
{
    if (shift.Contains(TShiftStateItem::ssAlt) && key == Win::VK_DOWN) return false; // opens the list
    const bool listMode = m_combo->Style() == csDropDownList || m_combo->DroppedDown();
    switch (key) {
    case Win::VK_TAB:
    case Win::VK_RETURN:
    case Win::VK_ESCAPE: return true;
    case Win::VK_LEFT:
    case Win::VK_RIGHT: return listMode;
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_END:
    case Win::VK_UP:
    case Win::VK_DOWN: return !listMode;
    default: return false;
    }
}

QString TGridComboKeys::EditorText() const { return m_combo->Text(); }

void TGridComboKeys::SetEditorText(const QString& text) { m_combo->SetText(text); }

void TGridComboKeys::ResetFromCell()
{
    const QString cellText = m_grid->GetCurrentCellText();
    m_combo->SetText(cellText);
    const int i = m_combo->Items().IndexOf(cellText);
    if (i >= 0) m_combo->SetItemIndex(i);
}

void TGridComboKeys::ShowRefused()
{
    const QString cellText = m_grid->GetCurrentCellText();
    m_combo->SetText(cellText);
    m_combo->SetSelStart(cellText.size());
    m_combo->update();
}

void TGridComboKeys::Wheel(int delta)
{
    const int count = m_combo->Items().Count();
    if (count == 0 || delta == 0) return;
    int i = m_combo->ItemIndex();
    if (delta < 0)
        i = std::min(i + 1, count - 1); // never past the last item
    else
        i = std::max(i - 1, 0);
    if (i == m_combo->ItemIndex()) return;
    m_combo->SetItemIndex(i);
    Selected();
}

void TGridComboKeys::Selected()
{
    const int i = m_combo->ItemIndex();
    if (i < 0 || i >= m_combo->Items().Count()) return;
    const QString text = m_combo->Items().Strings(i);
    QPointer<QWidget> alive(m_combo);
    if (m_grid->OnComboChange) m_grid->OnComboChange(m_combo, m_grid->Col(), m_grid->Row(), i, text);
    if (alive && m_grid->OnComboObjectChange)
        m_grid->OnComboObjectChange(m_combo, m_grid->Col(), m_grid->Row(), i, text, m_combo->Items().GetObject(i));
}

void TGridComboKeys::Edited()
{
    if (m_grid->OnComboChange) m_grid->OnComboChange(m_combo, m_grid->Col(), m_grid->Row(), -1, m_combo->Text());
}

void TGridComboKeys::ClosedUp()
{
    if (m_grid->OnComboCloseUp) m_grid->OnComboCloseUp(m_combo, m_grid->Row(), m_grid->Col());
}

void TGridComboKeys::KeyUp(int key)
{
    if (key == Win::VK_RETURN || !m_lookupEnabled || !m_grid->Lookup() || m_combo->Style() != csDropDown) return;
    const bool cs = m_grid->LookupCaseSensitive();
    const QString typed = m_combo->Text().left(m_combo->SelStart());
    if (typed.isEmpty() || m_combo->SelLength() != 0) return;
    const QString prefix = cs ? typed : typed.toUpper();
    const TWideStrings& items = m_combo->Items();
    for (int i = 0; i < items.Count(); ++i) {
        const QString item = items.Strings(i);
        if (!(cs ? item : item.toUpper()).startsWith(prefix)) continue;
        const QString text = typed + item.mid(typed.size(), 255);
        m_combo->SetItemIndex(i);
        m_combo->SetText(text);
        m_combo->SetSelStart(typed.size());
        m_combo->SetSelLength(text.size() - typed.size());
        return;
    }
}

void TGridComboKeys::Exit()
{
    const QString text = m_combo->Text();
    if (m_grid->LookupHistory() && !text.isEmpty() && m_combo->Items().IndexOf(text) < 0) m_combo->Items().Add(text);
}

void TGridComboKeys::SizeDropWidth()
{
    const QFontMetrics fm(TWinControl::QtFontOf(m_grid->Font()));
    int w = m_combo->Width();
    const TWideStrings& items = m_combo->Items();
    const bool scrolls = items.Count() > m_combo->DropDownCount();
    for (int i = 0; i < items.Count(); ++i) {
        const int tw = fm.horizontalAdvance(items.Strings(i));
        if (scrolls && tw > w - 25)
            w = tw + 25;
        else if (!scrolls && tw > w - 5)
            w = tw + 8;
    }
    m_combo->SetDropWidth(w);
}
