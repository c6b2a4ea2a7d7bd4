#include "grid/edit/TExtInplaceEdit.h"

#include "grid/TExtStringGrid.h"
#include "grid/edit/TExtInplaceMemo.h"
#include "grid/input/KeyBindings_p.h"
#include "grid/text/CellLines.h"
#include "grid/text/CellText.h"
#include "grid/text/TextChars.h"
#include "platform/core/RegionalSettings.h"

#include <QFontMetrics>
#include <QTextOption>

namespace {

bool IsTextType(TEditorType t)
{
    return t == edNormal || t == edCapital || t == edMixedCase || t == edLowerCase || t == edUpperCase;
}

QChar KeyQChar(TKeyChar key) { return key <= 0xFFFF ? QChar(char16_t(key)) : QChar(); }

} // namespace

TExtInplaceEdit::TExtInplaceEdit(TExtStringGrid* grid)
    : TInplaceEdit(grid, QStringLiteral("ExtInplaceEdit")), m_ext(grid)
{
    // The lines show every change of the text, typed or set.
    QObject::connect(this, &QLineEdit::textChanged, this, [this] {
        if (m_linesOn && m_lines) m_lines->Pull();
    });
}

TExtInplaceEdit::~TExtInplaceEdit() = default;

void TExtInplaceEdit::SetVAlign(bool value)
{
    m_vAlign = value;
    SetAlignment(value ? taRightJustify : taLeftJustify);
    if (m_linesOn) ApplyLinesLook();
}

void TExtInplaceEdit::SetWordWrap(bool value)
{
    m_wordWrap = value;
    if (m_linesOn) ApplyLinesLook();
}

void TExtInplaceEdit::ApplyLinesLook()
{
    m_lines->setFont(font());
    m_lines->setPalette(palette());
    QTextOption option = m_lines->document()->defaultTextOption();
    option.setAlignment(m_vAlign ? Qt::AlignRight : Qt::AlignLeft);
    m_lines->document()->setDefaultTextOption(option);
    m_lines->setLineWrapMode(m_wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_lines->setTabChangesFocus(!TEditorKeyProtocol::WantsTab(*m_ext));
}

int TExtInplaceEdit::Limit() const
{
    // A mask sets the length itself.
    if (!EditMask().isEmpty()) return 0;
    return m_lengthLimit > 0 ? m_lengthLimit : m_ext->MaxEditLength();
}

void TExtInplaceEdit::ShowAt(const TRect& rect, const QString& text)
{
    const bool password = m_ext->CurrentEditorType() == edPassword;
    SetPasswordChar(password ? m_ext->PasswordChar() : QChar());
    SetMaxLength(0);
    // The cell's column decides the length limit and the mask.
    const int rc = m_ext->RealColIndex(m_ext->Col());
    SetLengthLimit(m_ext->GetEditLimit());
    SetEditMask(rc >= 0 ? m_ext->GetEditMask(rc, m_ext->Row()) : QString());
    m_lookupEnabled = true;
    TColor color = clWindow;
    m_ext->GetEditorColors(m_ext->Col(), m_ext->Row(), color, Font());
    SetColor(color);
    // Multi-line and word-wrapped cells are edited on lines, which take the
    // focus for the editor.
    m_linesOn = !password && EditMask().isEmpty() && (m_wordWrap || m_ext->Multilinecells());
    if (m_linesOn) {
        if (!m_lines) m_lines = new TExtInplaceMemo(this, this);
        ApplyLinesLook();
        setFocusProxy(m_lines);
        m_lines->show();
        m_lines->raise();
    } else {
        setFocusProxy(nullptr);
        if (m_lines) m_lines->hide();
    }
    TInplaceEdit::ShowAt(rect, text);
    const TNavigation& nav = m_ext->Navigation();
    QPoint click;
    const bool clicked = m_ext->TakePendingClick(click);
    // A masked text starts with its first position selected.
    if (!EditMask().isEmpty() && nav.ImproveMaskSel && !clicked) {
        setSelection(0, 1);
        return;
    }
    if (!nav.EditSelectAll) SetSelStart(Text().size());
    if (m_linesOn) {
        m_lines->setGeometry(QWidget::rect());
        m_lines->Pull();
    }
    // A click that opened the editor puts the caret at the character under
    // the pointer.
    if (clicked && m_linesOn) {
        const QPoint p = m_lines->viewport()->mapFrom(m_ext, click);
        if (m_lines->viewport()->rect().contains(p)) {
            m_lines->setTextCursor(m_lines->cursorForPosition(p));
            m_lines->Push();
        }
    } else if (clicked) {
        const QPoint p = mapFrom(m_ext, click);
        if (this->rect().contains(p)) SetSelStart(cursorPositionAt(p));
    }
}

void TExtInplaceEdit::KeepInHistory()
{
    if (m_ext->LookupHistory() && !Text().isEmpty() && !m_ext->LookupItems().contains(Text()))
        m_ext->LookupItems().append(Text());
}

void TExtInplaceEdit::HideEdit()
{
    // However the edit ends (the focus leaving, a key handed to the grid),
    // its text joins the lookup history.
    if (IsShown()) KeepInHistory();
    if (m_linesOn && m_lines) {
        // The grid takes the focus from the lines before they go.
        m_hiding = true;
        const bool hadFocus = m_lines->hasFocus();
        setFocusProxy(nullptr);
        if (hadFocus && IsShown()) m_ext->setFocus(Qt::OtherFocusReason);
        m_lines->hide();
        m_hiding = false;
    }
    m_linesOn = false;
    TInplaceEdit::HideEdit();
}

void TExtInplaceEdit::LinesLeft()
{
    if (m_hiding || !IsShown()) return;
    DoExit();
}

void TExtInplaceEdit::Move(const TRect&)
{
    if (!IsShown()) return;
    // The whole merged area of the current cell.
    const TRect r = m_ext->GetCellRect(m_ext->Col(), m_ext->Row());
    const TRect visible = r.Intersected(TRect(0, 0, m_ext->ClientWidth(), m_ext->ClientHeight()));
    const TRect place =
        visible.IsEmpty() ? TRect(r.Left, r.Top, r.Left, r.Top) : TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
    m_ext->PlaceChild(this, place);
}

void TExtInplaceEdit::Resize()
{
    TInplaceEdit::Resize();
    // The lines cover the editor.
    if (m_lines) m_lines->setGeometry(rect());
}

void TExtInplaceEdit::TakeCellText()
{
    SetText(m_ext->GetCurrentCellText());
    SetSelStart(Text().size());
    Repaint();
}

bool TExtInplaceEdit::WantTab() const { return TEditorKeyProtocol::WantsTab(*m_ext); }

bool TExtInplaceEdit::HandsBack(int key, TShiftState shift) const
{
    const bool ctrl = shift.Contains(TShiftStateItem::ssCtrl);
    switch (key) {
    case Win::VK_TAB: return TEditorKeyProtocol::WantsTab(*m_ext);
    case Win::VK_ESCAPE: return true;
    case Win::VK_UP:
    case Win::VK_DOWN: return !ctrl && !shift.Contains(TShiftStateItem::ssShift);
    case Win::VK_RETURN: return !ctrl && !m_ext->Navigation().LineFeedOnEnter;
    default: return false;
    }
}

void TExtInplaceEdit::KeyDownMessage(int& key, TShiftState shift)
{
    const int pressed = key;
    m_keypadDecimal = key == Win::VK_DECIMAL;
    if (!TEditorKeyProtocol::KeyDown(*m_ext, *this, key, shift)) TInplaceEdit::KeyDownMessage(key, shift);
    // An Enter taken at key-down (the edit ended, a refusal, a line break)
    // types nothing more.
    m_dropReturn = pressed == Win::VK_RETURN && key == 0;
}

// The editor's own keys, after the editor key protocol has had its own:
// walking out of the text into the next cell, line breaks, the lookup.
struct TExtInplaceEdit::KeyBindings {
    using Binding = TKeyBinding<TExtInplaceEdit>;
    static const Binding Table[];

    // ----- Conditions
    static bool CursorWalk(const TExtInplaceEdit& e) { return e.m_ext->Navigation().CursorWalkEditor; }
    static bool AtTextEnd(TExtInplaceEdit& e, const TKeyPress&)
    {
        return CursorWalk(e) && e.SelLength() == 0 && e.SelStart() >= e.Text().size();
    }
    static bool AtTextStart(TExtInplaceEdit& e, const TKeyPress&)
    {
        return CursorWalk(e) && e.SelLength() == 0 && e.SelStart() == 0;
    }
    static bool RowGrowsForLines(TExtInplaceEdit& e, const TKeyPress&)
    {
        return !e.m_ext->Navigation().LineFeedOnEnter && e.m_ext->SizeWhileTyping().Height && e.m_ext->Multilinecells();
    }
    // Ctrl+Enter breaks the line with LineFeedOnEnter and on lines; on lines
    // Enter does too with LineFeedOnEnter.
    static bool CtrlEnterBreaksLine(TExtInplaceEdit& e, const TKeyPress&)
    {
        return e.m_ext->Navigation().LineFeedOnEnter || e.m_linesOn;
    }
    static bool EnterBreaksLine(TExtInplaceEdit& e, const TKeyPress&)
    {
        return e.m_linesOn && e.m_ext->Navigation().LineFeedOnEnter;
    }
    // Every key but the erasing ones and those that move switches the lookup
    // on.
    static bool SwitchesLookupOn(TExtInplaceEdit&, const TKeyPress& p)
    {
        switch (p.key) {
        case Win::VK_BACK:
        case Win::VK_DELETE:
        case Win::VK_UP:
        case Win::VK_DOWN:
        case Win::VK_RETURN:
        case Win::VK_LEFT:
        case Win::VK_RIGHT: return false;
        default: return true;
        }
    }

    // ----- Actions
    static void WalkToNextCell(TExtInplaceEdit& e, TKeyPress& p) { Walk(e, p, true); }
    static void WalkToPreviousCell(TExtInplaceEdit& e, TKeyPress& p) { Walk(e, p, false); }
    static void Walk(TExtInplaceEdit& e, TKeyPress& p, bool forward);
    static void GrowRow(TExtInplaceEdit& e, TKeyPress&) { e.GrowRowForLines(); }
    static void BreakLine(TExtInplaceEdit& e, TKeyPress& p)
    {
        e.InsertText(QStringLiteral("\r\n"));
        p.key = 0;
    }
    static void LookupOff(TExtInplaceEdit& e, TKeyPress&) { e.m_lookupEnabled = false; }
    static void LookupOn(TExtInplaceEdit& e, TKeyPress&) { e.m_lookupEnabled = true; }
    // Enter ends the edit; the grid advances as its navigation says.
    static void EndEdit(TExtInplaceEdit& e, TKeyPress& p)
    {
        e.m_ext->EditorKeyDown(p.key, p.shift);
        p.key = 0;
    }
    // The in-place editor's own handling passes navigation keys to the grid.
    static void Inherited(TExtInplaceEdit& e, TKeyPress& p) { e.TInplaceEdit::KeyDown(p.key, p.shift); }
};

const TExtInplaceEdit::KeyBindings::Binding TExtInplaceEdit::KeyBindings::Table[] = {
    {SingleKey(Win::VK_RIGHT), kNoKeys, kModifierKeys, AtTextEnd, WalkToNextCell},
    {SingleKey(Win::VK_LEFT), kNoKeys, kModifierKeys, AtTextStart, WalkToPreviousCell},
    {SingleKey(Win::VK_RETURN), kCtrlKey, kNoKeys, RowGrowsForLines, GrowRow},
    {SingleKey(Win::VK_RETURN), kCtrlKey, kNoKeys, CtrlEnterBreaksLine, BreakLine},
    {SingleKey(Win::VK_RETURN), kNoKeys, kCtrlKey, EnterBreaksLine, BreakLine},
    {SingleKey(Win::VK_BACK), kNoKeys, kNoKeys, nullptr, LookupOff},
    {SingleKey(Win::VK_DELETE), kNoKeys, kNoKeys, nullptr, LookupOff},
    {kAnyKey, kNoKeys, kNoKeys, SwitchesLookupOn, LookupOn},
    {SingleKey(Win::VK_RETURN), kNoKeys, kNoKeys, nullptr, EndEdit},
    {kAnyKey, kNoKeys, kNoKeys, nullptr, Inherited},
};

// The cursor walks out of the text into the next (previous) cell along the
// row, whatever the advance direction, and the editor opens there.
void TExtInplaceEdit::KeyBindings::Walk(TExtInplaceEdit& e, TKeyPress& p, bool forward)
{
    TExtStringGrid& grid = *e.m_ext;
    const TAdvanceDirection saved = grid.Navigation().AdvanceDirection;
    grid.Navigation().AdvanceDirection = adLeftRight;
    const int col = grid.Col();
    const int row = grid.Row();
    grid.CloseEditorControl();
    grid.AdvanceToNextCell(col, row, true, true, forward);
    grid.Navigation().AdvanceDirection = saved;
    p.key = 0;
}

void TExtInplaceEdit::KeyDown(int& key, TShiftState shift)
{
    TKeyPress press{key, shift};
    WalkKeyBindings(KeyBindings::Table, *this, press);
}

bool TExtInplaceEdit::FilterChar(TKeyChar& key)
{
    const QChar ch = KeyQChar(key);
    const QString text = Text();
    const int caret = SelStart();
    const QString selected = SelText();
    // Backspace, Tab, Enter, Esc and the clipboard's control characters.
    const bool control = key < 32;
    switch (m_ext->CurrentEditorType()) {
    case edNormal:
    case edPassword: return true;
    case edNumeric:
        if (control || (key >= '0' && key <= '9')) return true;
        if (key == '-' && !text.contains(QLatin1Char('-')) && caret == 0) return true;
        MessageBeep();
        return false;
    case edPositiveNumeric:
        if (control || (key >= '0' && key <= '9')) return true;
        MessageBeep();
        return false;
    case edFloat: {
        if (control || (key >= '0' && key <= '9')) return true;
        const QChar dec = RegionalSettings::DecimalSeparator();
        const QChar thousand = RegionalSettings::ThousandSeparator();
        if (ch == dec) return !text.contains(dec) || selected.contains(dec);
        if (ch == thousand) return false;
        if (key == '-') {
            if ((caret == 0 && !text.contains(QLatin1Char('-'))) || selected.contains(QLatin1Char('-'))) return true;
            MessageBeep();
            return false;
        }
        return false;
    }
    case edCapital:
    case edUpperCase:
        if (!ch.isNull()) key = ch.toUpper().unicode();
        return true;
    case edLowerCase:
        if (!ch.isNull()) key = ch.toLower().unicode();
        return true;
    case edMixedCase: return true;
    default: return false;
    }
}

void TExtInplaceEdit::CharMessage(TKeyChar& key)
{
    // An ended edit takes no more characters (the grid would see them).
    const bool dropReturn = m_dropReturn;
    m_dropReturn = false;
    if (!IsShown() || (dropReturn && (key == '\r' || key == '\n'))) {
        key = 0;
        return;
    }
    if (m_keypadDecimal && key == '.' && m_ext->ExcelStyleDecimalSeparator())
        key = RegionalSettings::DecimalSeparator().unicode();
    m_keypadDecimal = false;
    const int limit = Limit();
    if (limit > 0 && Text().size() >= limit && SelLength() == 0) {
        const bool enter = key == '\r' && m_ext->Navigation().AdvanceOnEnter;
        if (key != '\b' && key != 0x1B && !enter) {
            key = 0;
            return;
        }
    }
    const TEditorType type = m_ext->CurrentEditorType();
    if (key == '\r' && IsTextType(type) && m_ext->Navigation().LineFeedOnEnter) {
        TInplaceEdit::CharMessage(key);
        return;
    }
    if (!FilterChar(key)) {
        key = 0;
        return;
    }
    if (type == edMixedCase && key >= 32) {
        const int caret = SelStart();
        InsertText(KeyCharText(key));
        QString proper;
        ProperCase(Text(), proper);
        SetText(proper);
        SetSelStart(caret + 1);
        key = 0;
        return;
    }
    TInplaceEdit::CharMessage(key);
}

void TExtInplaceEdit::KeyPress(TKeyChar& key)
{
    if (key == '\r' && !m_ext->Navigation().LineFeedOnEnter) {
        QString text = Text();
        if (!m_ext->ValidateEditorText(text)) {
            TakeCellText();
            key = 0;
            return;
        }
    }
    TInplaceEdit::KeyPress(key);
}

void TExtInplaceEdit::DefaultChar(TKeyChar ch, QKeyEvent* source)
{
    TInplaceEdit::DefaultChar(ch, source);
    // AdvanceAuto: a masked text typed full is Enter to the grid.
    if (ch < 32 || !m_ext->Navigation().AdvanceAuto || EditMask().isEmpty() || !IsShown()) return;
    const QString mask = inputMask();
    const QString shown = displayText();
    if (mask.isEmpty() || shown.contains(mask.back()) || cursorPosition() < shown.size()) return;
    QString text = Text();
    if (!m_ext->ValidateEditorText(text)) {
        TakeCellText();
        return;
    }
    SetText(text);
    m_ext->EditorKeyDown(Win::VK_RETURN, TShiftState{});
}

void TExtInplaceEdit::KeyUp(int& key, TShiftState shift)
{
    TInplaceEdit::KeyUp(key, shift);
    if (key == Win::VK_LEFT || key == Win::VK_RIGHT) return;
    if (!IsShown()) return;
    // The grid's hook sees the text and may give the editor another.
    QString value = Text();
    if (m_ext->EditTextHook(Text(), value, key) && value != Text()) {
        SetText(value);
        SetSelStart(value.size());
    }
    Complete();
    SizeToText();
}

void TExtInplaceEdit::GrowRowForLines()
{
    const int row = m_ext->Row();
    // The lines of the text once the line is broken, against the most any
    // cell of the row holds.
    const int lines = CountLines(Text() + QStringLiteral("\r\n "), true);
    int most = 1;
    for (int c = 0; c < m_ext->ColCount(); ++c) {
        const int rc = m_ext->RealColIndex(c);
        if (rc >= 0) most = std::max(most, CountLines(m_ext->Cells(rc, row), true));
    }
    if (lines >= most) {
        const int lineHeight = QFontMetrics(TWinControl::QtFontOf(m_ext->Font())).height();
        m_ext->SetRowHeights(row, lines * lineHeight + 2 * 2);
    } else {
        m_ext->AutoSizeRow(row);
    }
    if (m_ext->OnEndRowSize) m_ext->OnEndRowSize(m_ext, row);
    Move(TRect());
}

void TExtInplaceEdit::SizeToText()
{
    if (!IsShown()) return;
    m_ext->SizeToTypedText(Text());
    Move(TRect());
}

void TExtInplaceEdit::Complete()
{
    if (!m_lookupEnabled || SelLength() != 0 || !m_ext->Lookup() || m_ext->LookupItems().isEmpty()) return;
    const bool cs = m_ext->LookupCaseSensitive();
    const QString typed = Text().left(SelStart());
    if (typed.isEmpty()) return;
    const QString prefix = cs ? typed : typed.toUpper();
    for (const QString& item : m_ext->LookupItems()) {
        const QString cmp = cs ? item : item.toUpper();
        if (!cmp.startsWith(prefix)) continue;
        const QString text = typed + item.mid(typed.size(), 255);
        SetText(text);
        setSelection(typed.size(), text.size() - typed.size());
        return;
    }
}

void TExtInplaceEdit::DblClick()
{
    TInplaceEdit::DblClick();
    if (m_ext->OnDblClickCell) m_ext->OnDblClickCell(m_ext, m_ext->Row(), m_ext->Col());
}

void TExtInplaceEdit::DoExit()
{
    if (IsShown()) {
        KeepInHistory();
        // Leaving validates: a refused text is not stored.
        QString text = Text();
        if (m_ext->ValidateEditorText(text))
            SetText(text);
        else
            SetText(m_ext->GetCurrentCellText());
    }
    TInplaceEdit::DoExit();
}

void TExtInplaceEdit::CopyToClipboard()
{
    bool allow = true;
    if (m_ext->OnClipboardCopy) m_ext->OnClipboardCopy(this, allow);
    if (allow) TInplaceEdit::CopyToClipboard();
}

void TExtInplaceEdit::CutToClipboard()
{
    bool allow = true;
    if (m_ext->OnClipboardCut) m_ext->OnClipboardCut(this, allow);
    if (allow) TInplaceEdit::CutToClipboard();
}

void TExtInplaceEdit::PasteText(const QString& clip)
{
    QString value = clip;
    bool allow = true;
    if (m_ext->OnClipboardBeforePasteCell)
        m_ext->OnClipboardBeforePasteCell(this, m_ext->Col(), m_ext->Row(), value, allow);
    if (!allow) return;
    const int limit = Limit();
    if (limit > 0 && value.size() > limit) return;
    const bool replaced = SelLength() > 0;
    const int start = SelStart();
    QString text = Text();
    text.replace(start, SelLength(), value);
    if (limit > 0 && text.size() > limit) return;
    if (m_ext->OnClipboardPaste) {
        m_ext->OnClipboardPaste(this, allow);
        if (!allow) return;
    }
    switch (m_ext->CurrentEditorType()) {
    case edNumeric:
    case edPositiveNumeric:
        if (GetNumberType(text) != 0) return;
        break;
    case edFloat:
        if (GetNumberType(text) > 1) return;
        break;
    case edLowerCase: text = text.toLower(); break;
    case edUpperCase: text = text.toUpper(); break;
    case edMixedCase: {
        QString proper;
        ProperCase(text, proper);
        text = proper;
        break;
    }
    default: break;
    }
    SetText(text);
    if (replaced)
        setSelection(start, value.size());
    else
        SetSelStart(start + value.size());
}
