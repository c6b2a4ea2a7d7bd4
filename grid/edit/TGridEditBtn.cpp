#include "grid/edit/TGridEditBtn.h"

#include "grid/TExtStringGrid.h"
#include "platform/core/RegionalSettings.h"

TGridEditBtn::TGridEditBtn(TExtStringGrid* grid, const QString& name) : TEsgEditBtn(grid, name), m_grid(grid)
{
    OnClickBtn = [this](QObject*) { ButtonClicked(); };
}

TGridEditBtn::~TGridEditBtn() = default;

bool TGridEditBtn::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_grid); }

void TGridEditBtn::ButtonClicked()
{
    SetText(m_grid->EllipsClick(Text()));
    SelectAll();
    Repaint();
}

bool TGridEditBtn::HandsBack(int key, TShiftState shift) const
{
    // With Ctrl the edit's own keys run.
    if (shift.Contains(TShiftStateItem::ssCtrl)) return false;
    return key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_ESCAPE || key == Win::VK_PRIOR ||
        key == Win::VK_NEXT || key == Win::VK_UP || key == Win::VK_DOWN;
}

void TGridEditBtn::ResetFromCell() { SetText(m_grid->GetCurrentCellText()); }

void TGridEditBtn::ShowRefused()
{
    ResetFromCell();
    SetSelStart(Text().size());
    Repaint();
}

void TGridEditBtn::KeyDown(int& key, TShiftState shift)
{
    if (!TEditorKeyProtocol::KeyDown(*m_grid, *this, key, shift)) TEsgEditBtn::KeyDown(key, shift);
}

void TGridEditBtn::CharMessage(TKeyChar& key)
{
    if (key == '\r') {
        key = 0;
        return;
    }
    if (FiltersChars() && key >= 32) {
        const QString text = Text();
        const QString selected = SelText();
        const int caret = SelStart();
        const bool digit = key >= '0' && key <= '9';
        switch (m_grid->CurrentEditorType()) {
        case edNumericEditBtn:
            if (!digit && !(key == '-' && caret == 0 && !text.contains(QLatin1Char('-')))) {
                MessageBeep();
                key = 0;
                return;
            }
            break;
        case edFloatEditBtn: {
            const QChar ch(char16_t(key <= 0xFFFF ? key : 0));
            const QChar dec = RegionalSettings::DecimalSeparator();
            bool ok = digit;
            if (ch == dec)
                ok = !text.contains(dec) || selected.contains(dec);
            else if (key == '-') {
                ok = (caret == 0 && !text.contains(QLatin1Char('-'))) || selected.contains(QLatin1Char('-'));
                if (!ok) MessageBeep();
            }
            if (!ok) {
                key = 0;
                return;
            }
            break;
        }
        default: break;
        }
    }
    TEsgEditBtn::CharMessage(key);
}

void TGridEditBtn::DoExit()
{
    m_grid->CloseEditorControl();
    TEsgEditBtn::DoExit();
}
