// The editor host: which editor a cell gets, laying the in-place controls
// over the cell and reading them back, validation, and the keys editors
// hand back to the grid.
//
// Values go back into a cell only when the user changed them: each control
// remembers what it showed when it was laid over the cell, and a control
// still showing that stores nothing (so merely entering and leaving an
// editor never rewrites a cell).
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/TFooterPanel.h"
#include "grid/edit/EditorMakers_p.h"
#include "grid/cells/TExtStringGridCheck.h"
#include "grid/edit/TEditLink.h"
#include "grid/edit/TExtRichEdit.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "grid/edit/TGridButton.h"
#include "grid/edit/TGridCheckBox.h"
#include "grid/edit/TGridCombo.h"
#include "grid/edit/TGridDatePicker.h"
#include "grid/edit/TGridEditBtn.h"
#include "grid/edit/TGridSpin.h"
#include "grid/edit/TGridUniCombo.h"
#include "grid/edit/TGridUniEdit.h"
#include "grid/edit/TGridUnitEditBtn.h"
#include "grid/text/CellText.h"
#include "grid/draw/CellDrawing.h"
#include "controls/HTMLText.h"
#include "platform/core/RegionalSettings.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

// Hands a typed character to a control as if typed there.
void SendChar(QWidget* w, TKeyChar ch)
{
    if (!w || ch == 0) return;
    const QString text = KeyCharText(ch);
    const QChar c = text.isEmpty() ? QChar() : text[0].toUpper();
    const int key = c.unicode() < 128 ? int(c.unicode()) : int(Qt::Key_unknown);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &release);
}

} // namespace

// ---------------------------------------------------------------------------
// Settings

bool TExtStringGrid::Lookup() const { return d->edit.lookup; }
void TExtStringGrid::SetLookup(bool value) { d->edit.lookup = value; }
bool TExtStringGrid::LookupCaseSensitive() const { return d->edit.lookupCaseSensitive; }
void TExtStringGrid::SetLookupCaseSensitive(bool value) { d->edit.lookupCaseSensitive = value; }
bool TExtStringGrid::LookupHistory() const { return d->edit.lookupHistory; }
void TExtStringGrid::SetLookupHistory(bool value) { d->edit.lookupHistory = value; }
QStringList& TExtStringGrid::LookupItems() { return d->edit.lookupItems; }
int TExtStringGrid::MaxEditLength() const { return d->edit.maxEditLength; }
void TExtStringGrid::SetMaxEditLength(int value) { d->edit.maxEditLength = std::max(0, value); }
bool TExtStringGrid::ExcelStyleDecimalSeparator() const { return d->edit.excelStyleDecimalSeparator; }
void TExtStringGrid::SetExcelStyleDecimalSeparator(bool value) { d->edit.excelStyleDecimalSeparator = value; }
QChar TExtStringGrid::PasswordChar() const { return d->edit.passwordChar; }
void TExtStringGrid::SetPasswordChar(QChar value)
{
    if (value == d->edit.passwordChar) return;
    d->edit.passwordChar = value;
    // Password cells show the new character.
    InvalidateGrid();
}
TExtStringGridCheck* TExtStringGrid::CellChecker() const { return d->edit.cellChecker; }
void TExtStringGrid::SetCellChecker(TExtStringGridCheck* value) { d->edit.cellChecker = value; }
TEditLink* TExtStringGrid::EditLink() const { return d->edit.editLink; }
void TExtStringGrid::SetEditLink(TEditLink* value) { d->edit.editLink = value; }
TEditorType TExtStringGrid::CurrentEditorType() const { return d->edit.editorType; }
bool TExtStringGrid::EditInProgress() const { return d->edit.editInProgress; }

// ---------------------------------------------------------------------------
// The controls: made once, on first use, children of the grid

void TExtStringGrid::EnsureEditControls() const
{
    TGridEditState& e = d->edit;
    if (e.combo) return;
    auto* self = const_cast<TExtStringGrid*>(this);
    e.combo = new TGridCombo(self);
    e.spin = new TGridSpin(self);
    e.uniEdit = new TGridUniEdit(self);
    e.uniCombo = new TGridUniCombo(self);
    e.checkBox = new TGridCheckBox(self);
    e.editBtn = new TGridEditBtn(self);
    e.unitEditBtn = new TGridUnitEditBtn(self);
    e.datePicker = new TGridDatePicker(self);
    e.button = new TGridButton(self);
    e.richEdit = new TExtRichEdit(self);
    e.richEdit->setEnabled(false);
    e.richEdit->setVisible(false);
    const QList<TWinControl*> all{e.combo,   e.spin,        e.uniEdit,    e.uniCombo, e.checkBox,
                                  e.editBtn, e.unitEditBtn, e.datePicker, e.button};
    for (TWinControl* c : all) {
        c->SetTabStop(false);
        c->SetEnabled(false);
        c->SetVisible(false);
    }
    e.spin->SetBorderStyle(TBorderStyle::bsNone);
    e.uniEdit->SetBorderStyle(TBorderStyle::bsNone);
    e.editBtn->SetBorderStyle(TBorderStyle::bsNone);
    e.unitEditBtn->SetBorderStyle(TBorderStyle::bsNone);
    e.editBtn->SetButtonCaption(QStringLiteral("..."));
    e.unitEditBtn->SetButtonCaption(QStringLiteral("..."));
    // The buttons of these draw through the visual style as the grid does.
    const bool themed = d->draw.themesInUse;
    e.combo->SetButtonStyleFlag(themed);
    e.spin->SetButtonStyleFlag(themed);
    e.uniCombo->SetButtonStyleFlag(themed);
    e.editBtn->SetIsWinXP(themed);
}

void TExtStringGrid::DestroyEditControls()
{
    TGridEditState& e = d->edit;
    if (!e.combo) return;
    e.editInProgress = false;
    const QList<QWidget*> all{e.combo,   e.spin,        e.uniEdit,    e.uniCombo, e.checkBox,
                              e.editBtn, e.unitEditBtn, e.datePicker, e.button,   e.richEdit};
    e.combo = nullptr;
    for (QWidget* w : all) delete w;
}

TExtInplaceEdit* TExtStringGrid::TextEditor() const { return static_cast<TExtInplaceEdit*>(InplaceEditor()); }
TGridCombo* TExtStringGrid::GridCombo() const
{
    EnsureEditControls();
    return d->edit.combo;
}
TGridSpin* TExtStringGrid::GridSpin() const
{
    EnsureEditControls();
    return d->edit.spin;
}
TGridUniEdit* TExtStringGrid::GridUniEdit() const
{
    EnsureEditControls();
    return d->edit.uniEdit;
}
TGridUniCombo* TExtStringGrid::GridUniCombo() const
{
    EnsureEditControls();
    return d->edit.uniCombo;
}
TGridCheckBox* TExtStringGrid::GridCheckBox() const
{
    EnsureEditControls();
    return d->edit.checkBox;
}
TGridEditBtn* TExtStringGrid::GridEditBtn() const
{
    EnsureEditControls();
    return d->edit.editBtn;
}
TGridUnitEditBtn* TExtStringGrid::GridUnitEditBtn() const
{
    EnsureEditControls();
    return d->edit.unitEditBtn;
}
TGridDatePicker* TExtStringGrid::GridDatePicker() const
{
    EnsureEditControls();
    return d->edit.datePicker;
}
TGridButton* TExtStringGrid::GridButton() const
{
    EnsureEditControls();
    return d->edit.button;
}
TExtRichEdit* TExtStringGrid::GridRichEdit() const
{
    EnsureEditControls();
    return d->edit.richEdit;
}

QWidget* TExtStringGrid::ActiveEditControl() const
{
    const TGridEditState& e = d->edit;
    if (!e.combo) return nullptr;
    const EditorMaker* maker = EditorMaker::Of(e.editorType);
    return maker ? maker->control(e) : nullptr;
}

TInplaceEdit* TExtStringGrid::CreateEditor()
{
    auto* editor = new TExtInplaceEdit(this);
    editor->SetWordWrap(d->wordWrap);
    return editor;
}

// The text editor's word wrap follows the grid's.
bool TExtStringGrid::WordWrap() const { return d->wordWrap; }
void TExtStringGrid::SetWordWrap(bool value)
{
    if (d->wordWrap == value) return;
    d->wordWrap = value;
    if (TExtInplaceEdit* editor = TextEditor()) editor->SetWordWrap(value);
    InvalidateGrid();
}

void TExtStringGrid::GetEditorColors(int col, int row, TColor& color, TFont& font)
{
    TGridDrawState state;
    TBrush brush;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool reserved = false;
    font = Font();
    PrepareCellCanvas(col, row, state, false, false, true, brush, font, ha, va, reserved);
    color = brush.Color();
}

// ---------------------------------------------------------------------------
// Texts of the edited cell

QString TExtStringGrid::GetEditText(int col, int row)
{
    const int rc = RealColIndex(col);
    if (rc < 0) return QString();
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    GetCellAlign(rc, row, ha, va);
    if (TExtInplaceEdit* ed = TextEditor()) ed->SetVAlign(ha == taRightJustify);
    QString text = GetCellText(rc, row);
    if (!d->editWithTags) text = HTMLStrip(text);
    if (OnGetEditText) OnGetEditText(this, col, row, text);
    return text;
}

void TExtStringGrid::SetEditText(int col, int row, const QString& value)
{
    // A column past the visible ones stores nothing (never into column 0).
    const int rc = RealColIndex(col);
    if (rc < 0) return;
    SetCellText(rc, row, value);
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

QString TExtStringGrid::GetCurrentCellText() { return GetCellText(RealColIndex(Col()), Row()); }

void TExtStringGrid::SetCurrentCellText(const QString& value)
{
    const int rc = RealColIndex(Col());
    if (rc >= 0) SetCellText(rc, Row(), value);
}

void TExtStringGrid::RestoreEditText()
{
    const int rc = RealColIndex(Col());
    if (rc < 0) return;
    SetCellText(rc, Row(), d->edit.savedCellText);
    RepaintCell(Col(), Row());
}

QString TExtStringGrid::EllipsClick(const QString& value)
{
    QString s = value;
    if (OnEllipsClick) OnEllipsClick(this, RealColIndex(Col()), Row(), s);
    return s;
}

// ---------------------------------------------------------------------------
// Validation

void TExtStringGrid::BeginCellEdit(int col, int row)
{
    TGridEditState& e = d->edit;
    e.editCol = RealColIndex(col);
    e.editRow = row;
    e.editStartText = e.editCol >= 0 ? GetCellText(e.editCol, row) : QString();
}

bool TExtStringGrid::ValidateCell(QString& value)
{
    TGridEditState& e = d->edit;
    if (e.validationLock || e.editCol < 0) return true;
    e.validationLock = true;
    bool valid = true;
    QString offered = value;
    if (value != e.editStartText) {
        if (TExtStringGridCheck* checker = e.cellChecker) value = checker->Check(e.editCol, e.editRow, value);
        offered = value;
        if (OnCellValidate) OnCellValidate(this, e.editCol, e.editRow, value, valid);
    }
    if (valid) {
        // An accepted change is the cell's text from now on: the footer and
        // OnCellsChanged see it at once.
        const bool changed = value != e.editStartText && e.editRow < RowCount() && e.editCol < StoreCols();
        e.editStartText = value;
        if (changed) {
            SetCellText(e.editCol, e.editRow, value);
            CellsChanged(TRect(e.editCol, e.editRow, e.editCol, e.editRow));
        }
    } else if (e.editRow < RowCount() && e.editCol < StoreCols()) {
        // Refused: the cell takes the event's correction, or keeps the text
        // it had when the edit began when the event left the value as it
        // was; the editor shows the cell's text and the edit goes on from it.
        const QString kept = value != offered ? value : e.editStartText;
        const bool changed = kept != e.editStartText;
        e.editStartText = kept;
        SetCellText(e.editCol, e.editRow, kept);
        if (changed) CellsChanged(TRect(e.editCol, e.editRow, e.editCol, e.editRow));
    }
    e.validationLock = false;
    return valid;
}

bool TExtStringGrid::ValidateEditorText(QString& text)
{
    QString value = text;
    if (ValidateCell(value)) {
        text = value;
        return true;
    }
    text = GetCurrentCellText();
    return false;
}

bool TExtStringGrid::TakePendingClick(QPoint& pos)
{
    TGridEditState& e = d->edit;
    if (!e.clickPending) return false;
    e.clickPending = false;
    pos = e.clickPos;
    return true;
}

// ---------------------------------------------------------------------------
// Choosing the editor

bool TExtStringGrid::CanEditShow()
{
    TGridEditState& e = d->edit;
    if (e.validationLock) return false;
    bool result = TBaseGrid::CanEditShow() && !IsFixed(Col(), Row());
    const int rc = RealColIndex(Col());
    if (rc < 0) return false;
    const TPoint base = BaseCellPoint(rc, Row());
    if (result && !e.editInProgress && IsCheckOrRadioCell(base.X, base.Y)) return false;
    if (result && !e.editInProgress) {
        e.savedCellText = GetCellText(rc, Row());
        e.editorType = edNormal;
        GetCellEditor(base.X, base.Y, e.editorType);
        e.editInProgress = true;
        BeginCellEdit(Col(), Row());
        if (!IsTextEditorType(e.editorType)) {
            ShowEditorControl(DisplColIndex(base.X), base.Y);
            e.editorOpened = true;
            return false;
        }
    }
    if (result) {
        e.editorOpened = true;
        e.textEditPending = true;
    }
    return result;
}

void TExtStringGrid::ShowEditorWithChar(TKeyChar ch)
{
    d->edit.pendingStartKey = ch;
    TBaseGrid::ShowEditorWithChar(ch);
    d->edit.pendingStartKey = 0;
}

void TExtStringGrid::EditorHidden()
{
    TGridEditState& e = d->edit;
    if (!IsTextEditorType(e.editorType) || !e.textEditPending) return;
    e.textEditPending = false;
    e.editInProgress = false;
    if (OnEditingDone) OnEditingDone(this);
}

// ---------------------------------------------------------------------------
// The controls over the cell

void TExtStringGrid::ShowEditorControl(int col, int row)
{
    TGridEditState& e = d->edit;
    EnsureEditControls();
    const TRect r = GetCellRect(col, row);
    const int rc = RealColIndex(col);
    if (rc < 0) {
        e.editInProgress = false;
        return;
    }
    EditorMaker::Setup s(*this, e, r);
    s.w = r.Width() - 1;
    s.h = r.Height() - 1;
    s.col = col;
    s.row = row;
    s.rc = rc;
    s.font = Font();
    GetEditorColors(col, Row(), s.color, s.font);
    s.text = GetEditText(col, row);
    const TKeyChar startKey = e.pendingStartKey;
    e.pendingStartKey = 0;
    s.flat = d->look == glSoft || d->look == glDUV;
    const int columnLimit = GetEditLimit();
    s.editLimit = columnLimit > 0 ? columnLimit : e.maxEditLength;

    const EditorMaker* maker = EditorMaker::Of(e.editorType);
    if (maker) maker->show(s);
    if (!s.shown) {
        // Nothing to edit with: no edit is in progress.
        e.editInProgress = false;
        return;
    }
    if (!maker->focusesItself) s.shown->setFocus(Qt::OtherFocusReason);
    const bool postKey = maker->postsStartKey && startKey != 0;
    if (maker->focused) maker->focused(s, postKey);
    if (postKey) SendChar(s.shown, startKey);
    if (e.richEdit) e.richEdit->SizingLock = false;
}

void TExtStringGrid::StoreEditorControl(int col, int row)
{
    TGridEditState& e = d->edit;
    const int rc = RealColIndex(col);
    e.pendingStartKey = 0;
    const bool cancelled = e.cancelled;
    e.cancelled = false;
    if (rc < 0 || !e.combo) return;
    if (const EditorMaker* maker = EditorMaker::Of(e.editorType))
        maker->store(EditorMaker::Store(*this, e, rc, row, cancelled));
    // A value stored without a validating key (the focus went elsewhere)
    // changes the cell all the same.
    if (!cancelled && rc == e.editCol && row == e.editRow && row < RowCount() && rc < StoreCols()) {
        const QString now = GetCellText(rc, row);
        if (now != e.editStartText) {
            e.editStartText = now;
            CellsChanged(TRect(rc, row, rc, row));
        }
    }
    if (QWidget* c = ActiveEditControl(); c && e.editorType != edCustom) {
        const bool hadFocus = c->hasFocus();
        if (TWinControl* wc = TWinControl::Of(c)) {
            wc->SetEnabled(false);
            wc->SetVisible(false);
        } else {
            c->setEnabled(false);
            c->setVisible(false);
        }
        if (hadFocus) setFocus(Qt::OtherFocusReason);
    }
    e.editInProgress = false;
    if (OnEditingDone) OnEditingDone(this);
}

void TExtStringGrid::CloseEditorControl()
{
    if (!d) return;
    TGridEditState& e = d->edit;
    if (!e.editInProgress || e.closing) return;
    e.closing = true;
    if (IsTextEditorType(e.editorType)) {
        HideEditor();
    } else {
        StoreEditorControl(Col(), Row());
    }
    e.editInProgress = false;
    e.textEditPending = false;
    e.closing = false;
    RepaintCell(Col(), Row());
}

// ---------------------------------------------------------------------------
// Keys handed back by the editors

void TExtStringGrid::EditorKeyDown(int key, TShiftState shift)
{
    const int col = Col();
    const int row = Row();
    // Esc ends the edit without storing anything.
    if (key == Win::VK_ESCAPE) d->edit.cancelled = true;
    CloseEditorControl();
    TNavigation& nav = d->navigation;
    const bool alwaysEdit = nav.AlwaysEdit;
    nav.AlwaysEdit = false;
    setFocus(Qt::OtherFocusReason);
    nav.AlwaysEdit = alwaysEdit;
    switch (key) {
    case Win::VK_TAB:
    case Win::VK_LEFT:
    case Win::VK_RIGHT:
    case Win::VK_UP:
    case Win::VK_DOWN:
    case Win::VK_PRIOR:
    case Win::VK_NEXT:
    case Win::VK_END: {
        int k = key;
        KeyDown(k, shift);
        break;
    }
    case Win::VK_RETURN: AdvanceToNextCell(col, row, false, nav.AlwaysEdit, true); break;
    default: break;
    }
}

void TExtStringGrid::TabToNextCell(bool backward)
{
    // The grid's own TAB walk: TabAdvanceDirection, merged cells passed
    // over whole, TabToNextAtEnd handing the focus on at the last cell.
    TabKey(backward);
}

void TExtStringGrid::SizeToTypedText(const QString& text)
{
    const TSizeWhileTyping& size = d->sizeWhileTyping;
    const bool rows = size.Height && d->wordWrap;
    const int col = Col();
    const int row = Row();
    const int rc = RealColIndex(col);
    if ((!size.Width && !rows) || rc < 0) return;
    // The cell is measured holding the typed text, then gets its own text
    // back: the edit is stored only when it ends. Only this cell is
    // measured: the others fit already or keep their width.
    const QString kept = Cells(rc, row);
    SetCells(rc, row, text);
    if (size.Width) {
        TSize typed{0, 0};
        GetCellTextSize(col, row, typed, false);
        int width = typed.cx - d->draw.marginX + 2 * (GridLineWidth() + 1);
        if (width > ColWidths(col)) {
            UpdateAutoColumnSize(rc, width);
            SetColWidths(col, std::max(0, ChooseBound(width, d->size.minColWidth, d->size.maxColWidth)));
        }
    }
    if (rows) AutoSizeRow(row);
    SetCells(rc, row, kept);
    if (rows && OnEndRowSize) OnEndRowSize(this, row);
}

// ---------------------------------------------------------------------------
// Moving the current cell

// A move of the current cell being decided (SelectCell runs the steps in
// order): the old cell, the events' answer, and what follows an allowed
// move.
struct TExtStringGrid::CellMove {
    int col;
    int row;
    int oldCol = -1;
    int oldRow = -1;
    int rc = -1; // the real column of the target
    bool allow = true;

    // The target under a floating footer comes into view; false: the
    // footer as the last row, which never becomes current.
    static bool FloatingFooter(TExtStringGrid& g, const CellMove& m);
    // The old cell, and the changing events' answer in allow.
    static void ChangingEvents(TExtStringGrid& g, CellMove& m);
    // A tree's node column is no current cell but in row-select mode.
    static bool NodeColumn(TExtStringGrid& g, const CellMove& m)
    {
        return m.col == 0 && g.NodeCount() > 0 && !g.Options().Contains(TGridOption::goRowSelect);
    }

    static void FollowEditability(TExtStringGrid& g, const CellMove& m);
    static void RepaintMarks(TExtStringGrid& g, const CellMove& m, bool moved);
};

bool TExtStringGrid::CellMove::FloatingFooter(TExtStringGrid& g, const CellMove& m)
{
    const TFloatingFooter& ff = g.d->floatingFooter;
    if (!ff.Visible()) return true;
    // The preview shows the row about to be current; a target cell under
    // the panel brings the next row into view.
    const bool preview = ff.FooterStyle() == fsColumnPreview || ff.FooterStyle() == fsCustomPreview;
    if (preview && g.d->footer.panel) g.d->footer.panel->update();
    if (m.col >= 0 && m.row >= 0 && m.col < g.ColCount() && m.row < (preview ? g.RowCount() : g.RowCount() - 1)) {
        const TRect cell = g.CellRect(m.col, m.row);
        if (!cell.IsEmpty() && cell.Bottom > g.ClientHeight() - ff.FooterHeight + 2) g.SetTopRow(g.TopRow() + 1);
    }
    // The footer as the last row never becomes current.
    return ff.FooterStyle() != fsFixedLastRow || m.row != g.RowCount() - 1;
}

void TExtStringGrid::CellMove::ChangingEvents(TExtStringGrid& g, CellMove& m)
{
    m.oldRow = g.Row();
    m.oldCol = g.Col();
    if (m.row != m.oldRow && g.OnRowChanging) g.OnRowChanging(&g, m.oldRow, m.row, m.allow);
    if (m.col != m.oldCol && g.OnColChanging) g.OnColChanging(&g, m.oldCol, m.col, m.allow);
    // The advance to the next cell raised OnCellChanging itself.
    if ((m.row != m.oldRow || m.col != m.oldCol) && !g.d->edit.advancing && g.OnCellChanging)
        g.OnCellChanging(&g, m.oldRow, m.oldCol, m.row, m.col, m.allow);
}

// goEditing follows the target cell's OnCanEditCell, and comes back on an
// editable cell when a read-only one took it away.
void TExtStringGrid::CellMove::FollowEditability(TExtStringGrid& g, const CellMove& m)
{
    TGridEditState& e = g.d->edit;
    bool can = g.Options().Contains(TGridOption::goEditing) || e.editingSwitchedOff;
    g.CanEditCell(m.rc, m.row, can);
    const bool editing = g.Options().Contains(TGridOption::goEditing);
    if (can) {
        e.editingSwitchedOff = false;
        if (!editing) {
            g.BeginCellEdit(m.col, m.row);
            g.SetOptions(g.Options() + TGridOption::goEditing);
        }
    } else if (editing) {
        g.CloseEditorControl();
        e.editingSwitchedOff = true;
        g.SetOptions(g.Options() - TGridOption::goEditing);
    }
}

void TExtStringGrid::CellMove::RepaintMarks(TExtStringGrid& g, const CellMove& m, bool moved)
{
    // The row indicator leaves the old row for the new one.
    if (g.d->rowIndicator && !g.d->rowIndicator->Empty() && g.FixedCols() > 0) {
        g.RepaintCell(0, m.oldRow);
        g.RepaintCell(0, m.row);
    }
    // The headers of the old and the new current cell change their look.
    if (moved && g.d->activeCellShow) g.RepaintHeaders(g.Col(), g.Row(), m.col, m.row);
}

bool TExtStringGrid::SelectCell(int col, int row)
{
    CellMove move{col, row};
    if (!CellMove::FloatingFooter(*this, move) || col < 0 || row < 0) return false;
    CellMove::ChangingEvents(*this, move);
    if (CellMove::NodeColumn(*this, move) || !move.allow) return false;
    // Fixed cells (footer rows and right columns among them) never become
    // current, whether the keys or the program move there.
    if (IsFixed(col, row)) return false;
    move.rc = RealColIndex(col);
    if (move.rc < 0) return false;
    const QString text = GetCellText(move.rc, row);
    if (!IsCheckOrRadioCell(move.rc, row)) CellMove::FollowEditability(*this, move);
    // A pending text edit is validated before the cell is left.
    if (d->edit.SpecialEditorOpen()) CloseEditorControl();
    const bool result = TBaseGrid::SelectCell(col, row);
    CellMove::RepaintMarks(*this, move, result);
    d->edit.savedCellText = text;
    return result;
}
