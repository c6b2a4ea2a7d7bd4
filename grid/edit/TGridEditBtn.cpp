#include "grid/edit/TGridEditBtn.h"

#include "grid/TExtStringGrid.h"
#include "platform/core/RegionalSettings.h"

TGridEditBtn::TGridEditBtn(TExtStringGrid* grid, const QString& name) : TEsgEditBtn(grid, name), m_grid(grid)
{
    OnClickBtn = [this](QObject*) { ButtonClicked(); };
}

TGridEditBtn::~TGridEditBtn() = default;

bool TGridEditBtn::WantTab() const { return m_grid->Options().Contains(TGridOption::goTabs); }

void TGridEditBtn::ButtonClicked()
{
    SetText(m_grid->EllipsClick(Text()));
    SelectAll();
    Repaint();
}

void TGridEditBtn::KeyDown(int& key, TShiftState shift)
{
    const bool handled = key == Win::VK_TAB || key == Win::VK_RETURN || key == Win::VK_ESCAPE || key == Win::VK_PRIOR ||
                         key == Win::VK_NEXT || key == Win::VK_UP || key == Win::VK_DOWN;
    if (!handled || shift.Contains(TShiftStateItem::ssCtrl)) {
        TEsgEditBtn::KeyDown(key, shift);
        return;
    }
    if (key == Win::VK_ESCAPE) {
        SetText(m_grid->GetCurrentCellText());
    } else {
        QString text = Text();
        if (!m_grid->ValidateEditorText(text)) {
            SetText(m_grid->GetCurrentCellText());
            if (FullRefusal()) {
                SetSelStart(Text().size());
                Repaint();
            }
            key = 0;
            return;
        }
        if (text != Text()) SetText(text);
    }
    if (key == Win::VK_TAB && m_grid->Options().Contains(TGridOption::goTabs)) {
        m_grid->CloseEditorControl();
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->TabToNextCell(shift.Contains(TShiftStateItem::ssShift));
        key = 0;
        return;
    }
    const int forward = key;
    key = 0;
    m_grid->EditorKeyDown(forward, shift);
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
            if (ch == dec) ok = !text.contains(dec) || selected.contains(dec);
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
        default:
            break;
        }
    }
    TEsgEditBtn::CharMessage(key);
}

void TGridEditBtn::DoExit()
{
    m_grid->CloseEditorControl();
    TEsgEditBtn::DoExit();
}
