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
#include "grid/util/CellText.h"
#include "controls/HTMLText.h"
#include "platform/core/RegionalSettings.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QTextDocument>
#include <cmath>

namespace {

bool IsTextEditorType(TEditorType t)
{
    switch (t) {
    case edNormal: case edNumeric: case edPositiveNumeric: case edFloat: case edCapital:
    case edMixedCase: case edPassword: case edLowerCase: case edUpperCase:
        return true;
    default:
        return false;
    }
}

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

// The integer at the start of a text (0 when there is none).
int LeadingInt(const QString& text)
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) ++i;
    const int digits = i;
    while (i < t.size() && t[i].isDigit()) ++i;
    if (i == digits) return 0;
    bool ok = false;
    const long long v = t.left(i).toLongLong(&ok);
    if (!ok) return 0;
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
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
void TExtStringGrid::SetPasswordChar(QChar value) { d->edit.passwordChar = value; }
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
    const QList<TWinControl*> all{e.combo, e.spin, e.uniEdit, e.uniCombo, e.checkBox,
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
}

void TExtStringGrid::DestroyEditControls()
{
    TGridEditState& e = d->edit;
    if (!e.combo) return;
    e.editInProgress = false;
    const QList<QWidget*> all{e.combo, e.spin, e.uniEdit, e.uniCombo, e.checkBox,
                              e.editBtn, e.unitEditBtn, e.datePicker, e.button, e.richEdit};
    e.combo = nullptr;
    for (QWidget* w : all) delete w;
}

TExtInplaceEdit* TExtStringGrid::TextEditor() const { return static_cast<TExtInplaceEdit*>(InplaceEditor()); }
TGridCombo* TExtStringGrid::GridCombo() const { EnsureEditControls(); return d->edit.combo; }
TGridSpin* TExtStringGrid::GridSpin() const { EnsureEditControls(); return d->edit.spin; }
TGridUniEdit* TExtStringGrid::GridUniEdit() const { EnsureEditControls(); return d->edit.uniEdit; }
TGridUniCombo* TExtStringGrid::GridUniCombo() const { EnsureEditControls(); return d->edit.uniCombo; }
TGridCheckBox* TExtStringGrid::GridCheckBox() const { EnsureEditControls(); return d->edit.checkBox; }
TGridEditBtn* TExtStringGrid::GridEditBtn() const { EnsureEditControls(); return d->edit.editBtn; }
TGridUnitEditBtn* TExtStringGrid::GridUnitEditBtn() const { EnsureEditControls(); return d->edit.unitEditBtn; }
TGridDatePicker* TExtStringGrid::GridDatePicker() const { EnsureEditControls(); return d->edit.datePicker; }
TGridButton* TExtStringGrid::GridButton() const { EnsureEditControls(); return d->edit.button; }
TExtRichEdit* TExtStringGrid::GridRichEdit() const { EnsureEditControls(); return d->edit.richEdit; }

QWidget* TExtStringGrid::ActiveEditControl() const
{
    const TGridEditState& e = d->edit;
    if (!e.combo) return nullptr;
    switch (e.editorType) {
    case edComboEdit: case edComboList: return e.combo;
    case edUniEdit: return e.uniEdit;
    case edUniComboEdit: case edUniComboList: return e.uniCombo;
    case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit: return e.spin;
    case edDateEdit: case edDateEditUpDown: case edTimeEdit: return e.datePicker;
    case edCheckBox: return e.checkBox;
    case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: return e.editBtn;
    case edUnitEditBtn: return e.unitEditBtn;
    case edButton: return e.button;
    case edRichEdit: return e.richEdit;
    case edCustom: return e.editLink ? e.editLink->EditControl() : nullptr;
    default: return nullptr;
    }
}

TInplaceEdit* TExtStringGrid::CreateEditor() { return new TExtInplaceEdit(this); }

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
    if (value != e.editStartText) {
        if (TExtStringGridCheck* checker = e.cellChecker) value = checker->Check(e.editCol, e.editRow, value);
        if (OnCellValidate) OnCellValidate(this, e.editCol, e.editRow, value, valid);
        // Seam: the footer of the column is recalculated here once the
        // floating footer exists.
    }
    if (valid) {
        e.editStartText = value;
    } else if (e.editRow < RowCount()) {
        // Refused: the cell keeps the text it had when the edit began.
        SetCellText(e.editCol, e.editRow, e.editStartText);
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
    TRect r = GetCellRect(col, row);
    const int w = r.Width() - 1;
    const int h = r.Height() - 1;
    const int rc = RealColIndex(col);
    if (rc < 0) {
        e.editInProgress = false;
        return;
    }
    TColor color = clWindow;
    TFont font = Font();
    GetEditorColors(col, Row(), color, font);
    const QString text = GetEditText(col, row);
    const TKeyChar startKey = e.pendingStartKey;
    e.pendingStartKey = 0;
    const bool flat = d->look == glSoft || d->look == glDUV;
    const int columnLimit = GetEditLimit();
    const int editLimit = columnLimit > 0 ? columnLimit : e.maxEditLength;
    QWidget* shown = nullptr;
    bool postKey = false;

    auto place = [this](TWinControl* c, int left, int top, int width, int height) {
        PlaceChild(c->Widget(), TRect(left, top, left + width, top + height));
    };
    auto activate = [&](TWinControl* c) {
        c->SetColor(color);
        c->SetEnabled(true);
        c->SetVisible(true);
        shown = c->Widget();
    };

    switch (e.editorType) {
    case edComboEdit:
    case edComboList: {
        TGridCombo* c = e.combo;
        c->SetStyle(e.editorType == edComboEdit ? csDropDown : csDropDownList);
        place(c, r.Left, r.Top, w, h);
        if (e.editorType == edComboList) {
            const int i = c->Items().IndexOf(text);
            c->SetItemIndex(i >= 0 ? i : (c->Items().Count() > 0 ? 0 : -1));
        } else {
            c->SetText(text);
        }
        c->SetFlat(flat);
        c->SetEtched(flat);
        if (d->navigation.AutoComboDropSize) c->SizeDropWidth();
        activate(c);
        e.shownValue = c->Text();
        postKey = true;
        break;
    }
    case edUniEdit: {
        TGridUniEdit* c = e.uniEdit;
        place(c, r.Left + 2 + e.wideEditOffsetX, r.Top + 2 + e.wideEditOffsetY, w - 2 - 2 * e.wideEditOffsetX,
              h - 2 - 2 * e.wideEditOffsetY);
        c->Font() = Font();
        c->SetText(GetWideCellText(rc, row));
        activate(c);
        e.shownValue = c->Text();
        postKey = true;
        break;
    }
    case edUniComboEdit:
    case edUniComboList: {
        TGridUniCombo* c = e.uniCombo;
        c->SetStyle(e.editorType == edUniComboEdit ? csDropDown : csDropDownList);
        place(c, r.Left, r.Top, w, h);
        const QString wide = GetWideCellText(rc, row);
        if (e.editorType == edUniComboList) {
            const int i = c->Items().IndexOf(wide);
            c->SetItemIndex(i >= 0 ? i : (c->Items().Count() > 0 ? 0 : -1));
        } else {
            c->SetText(wide);
        }
        c->Font() = Font();
        c->SetFlat(flat);
        c->SetEtched(flat);
        if (d->navigation.AutoComboDropSize) c->SizeDropWidth();
        activate(c);
        e.shownValue = c->Text();
        break;
    }
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit: {
        TGridSpin* c = e.spin;
        place(c, r.Left, r.Top, w, h);
        switch (e.editorType) {
        case edSpinEdit:
            c->SetSpinType(sptNormal);
            c->SetValue(LeadingInt(text));
            break;
        case edFloatSpinEdit: {
            c->SetSpinType(sptFloat);
            bool ok = false;
            const double v = CleanNumberText(text).replace(RegionalSettings::DecimalSeparator(), u'.').toDouble(&ok);
            c->SetFloatValue(ok && std::isfinite(v) ? v : 0.0);
            break;
        }
        case edTimeSpinEdit:
            c->SetSpinType(sptTime);
            c->SetText(GetEditText(col, row));
            break;
        default: {
            TDateTime dt = 0;
            if (text.isEmpty() || !TryStrToDate(text, dt)) dt = Now();
            c->SetDateValue(dt);
            c->SetSpinType(sptDate);
            break;
        }
        }
        activate(c);
        e.shownValue = c->Text();
        postKey = true;
        break;
    }
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit: {
        TGridDatePicker* c = e.datePicker;
        place(c, r.Left, r.Top, w, h);
        TDateTime v = 0;
        if (e.editorType == edTimeEdit) {
            c->SetKind(TDateTimeKind::dtkTime);
            if (text.isEmpty() || !TryStrToTime(text, v)) v = Now();
            c->SetTime(v);
        } else {
            c->SetKind(TDateTimeKind::dtkDate);
            c->SetDateMode(e.editorType == edDateEditUpDown ? TDTDateMode::dmUpDown : TDTDateMode::dmComboBox);
            if (text.isEmpty() || !TryStrToDate(text, v)) v = Now();
            c->SetDate(v);
        }
        c->SetChecked(true);
        activate(c);
        e.shownValue = e.editorType == edTimeEdit ? TimeToStr(c->Time()) : DateToStr(c->Date());
        break;
    }
    case edCheckBox: {
        TGridCheckBox* c = e.checkBox;
        place(c, r.Left, r.Top, w, h);
        c->SetCaption(text);
        c->SetState(TCheckBoxState::cbUnchecked);
        activate(c);
        break;
    }
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: {
        TGridEditBtn* c = e.editBtn;
        place(c, r.Left, r.Top, w, h);
        c->SetText(text);
        c->SetMaxLength(editLimit);
        activate(c);
        e.shownValue = c->Text();
        postKey = true;
        break;
    }
    case edUnitEditBtn: {
        TGridUnitEditBtn* c = e.unitEditBtn;
        place(c, r.Left, r.Top, w, h);
        c->SetMaxLength(editLimit);
        c->SetCellValue(text);
        activate(c);
        e.shownValue = c->CellValue();
        postKey = true;
        break;
    }
    case edButton: {
        TGridButton* c = e.button;
        place(c, r.Left - 1, r.Top - 1, w + 2, h + 2);
        c->SetCaption(text);
        c->SetEnabled(true);
        c->SetVisible(true);
        shown = c;
        break;
    }
    case edCustom: {
        TEditLink* link = e.editLink;
        if (!link) break;
        link->SetGrid(this);
        link->SetEditCell(TPoint(rc, row));
        TRect lr = r;
        if (link->EditStyle == esPopup) {
            if (link->AutoPopupWidth) link->PopupWidth = r.Width();
            // One popup per link at a time, freed whenever the edit ends.
            auto form = std::make_unique<QWidget>(nullptr, Qt::Popup | Qt::FramelessWindowHint);
            const QPoint at = mapToGlobal(ClientOrigin() + QPoint(r.Left, r.Top));
            form->setGeometry(at.x(), at.y(), link->PopupWidth, link->PopupHeight);
            QWidget* parent = form.get();
            link->SetPopupForm(std::move(form));
            parent->show();
            link->CreateEditor(parent);
            lr = TRect(0, 0, link->PopupWidth, link->PopupHeight);
        } else {
            link->CreateEditor(this);
        }
        link->PlaceEditor(lr);
        link->ShowEditor(true);
        link->ApplyColors(color, font);
        link->SetProperties();
        if (OnGetEditorProp) OnGetEditorProp(this, rc, row, link);
        link->SetEditorValue(text);
        e.shownValue = link->GetEditorValue();
        link->WatchEditControl();
        link->FocusEditor(true);
        shown = link->EditControl();
        postKey = true;
        break;
    }
    case edRichEdit: {
        TExtRichEdit* c = e.richEdit;
        c->SizingLock = true;
        PlaceChild(c, TRect(r.Left, r.Top, r.Left + w, r.Top + h));
        c->LoadRichText(GetCellText(rc, row));
        c->selectAll();
        c->setEnabled(true);
        c->setVisible(true);
        c->document()->setDocumentMargin(2); // the text 2 pixels inside the cell
        QPalette p = c->palette();
        p.setColor(QPalette::Base, ToQColor(color));
        c->setPalette(p);
        e.shownValue = c->SaveRichText();
        shown = c;
        postKey = true;
        break;
    }
    default:
        break;
    }
    if (!shown) {
        // Nothing to edit with: no edit is in progress.
        e.editInProgress = false;
        return;
    }
    if (e.editorType != edCustom) shown->setFocus(Qt::OtherFocusReason);
    if ((e.editorType == edComboEdit || e.editorType == edComboList) && d->mouseActions.DirectComboDrop)
        e.combo->SetDroppedDown(true);
    if (e.editorType == edUniComboEdit || e.editorType == edUniComboList) {
        if (d->mouseActions.DirectComboDrop) e.uniCombo->SetDroppedDown(true);
    }
    if (postKey) SendChar(shown, startKey);
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
    // Only a value the user changed goes back into the cell.
    auto put = [&](const QString& value) {
        if (!cancelled && value != e.shownValue) PutCellText(rc, row, value);
    };
    auto putWide = [&](const QString& value) {
        if (!cancelled && value != e.shownValue) SetWideCellText(rc, row, value);
    };
    switch (e.editorType) {
    case edComboEdit:
    case edComboList:
        if (e.editInProgress) put(e.combo->Text());
        break;
    case edUniEdit: putWide(e.uniEdit->Text()); break;
    case edUniComboEdit:
    case edUniComboList: putWide(e.uniCombo->Text()); break;
    case edSpinEdit:
    case edTimeSpinEdit: put(e.spin->Text()); break;
    case edFloatSpinEdit:
        if (!cancelled && e.spin->Text() != e.shownValue) SetCellFloat(rc, row, e.spin->FloatValue());
        break;
    case edDateSpinEdit:
        if (!cancelled && e.spin->Text() != e.shownValue) PutCellText(rc, row, DateToStr(e.spin->DateValue()));
        break;
    case edDateEdit:
    case edDateEditUpDown:
        put(e.datePicker->Checked() ? DateToStr(e.datePicker->Date()) : QString());
        break;
    case edTimeEdit: put(TimeToStr(e.datePicker->Time())); break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: put(e.editBtn->Text()); break;
    case edUnitEditBtn: put(e.unitEditBtn->CellValue()); break;
    case edRichEdit: put(e.richEdit->SaveRichText()); break;
    case edCustom:
        if (TEditLink* link = e.editLink) {
            put(link->GetEditorValue());
            if (link->EditStyle != esPopup) link->ShowEditor(false);
            link->DestroyEditor();
            link->FreePopupForm();
        }
        break;
    default:
        break;
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
    case Win::VK_TAB: case Win::VK_LEFT: case Win::VK_RIGHT: case Win::VK_UP: case Win::VK_DOWN: case Win::VK_PRIOR: case Win::VK_NEXT: case Win::VK_END: {
        int k = key;
        KeyDown(k, shift);
        break;
    }
    case Win::VK_RETURN:
        AdvanceToNextCell(col, row, false, nav.AlwaysEdit, true);
        break;
    default:
        break;
    }
}

void TExtStringGrid::TabToNextCell(bool backward)
{
    // Seam: the tab order of the keyboard handling (TabAdvanceDirection,
    // TabToNextAtEnd) comes with the grid's input; here a plain step.
    const TAdvanceDirection saved = d->navigation.AdvanceDirection;
    d->navigation.AdvanceDirection = d->navigation.TabAdvanceDirection;
    AdvanceToNextCell(Col(), Row(), true, d->navigation.AlwaysEdit, !backward);
    d->navigation.AdvanceDirection = saved;
}

// ---------------------------------------------------------------------------
// Moving the current cell

bool TExtStringGrid::SelectCell(int col, int row)
{
    TGridEditState& e = d->edit;
    const TFloatingFooter& ff = d->floatingFooter;
    if (ff.Visible && ff.FooterStyle == fsFixedLastRow && row == RowCount() - 1) return false;
    if (col < 0 || row < 0) return false;
    bool allow = true;
    const int oldRow = Row();
    const int oldCol = Col();
    if (row != oldRow && OnRowChanging) OnRowChanging(this, oldRow, row, allow);
    if (col != oldCol && OnColChanging) OnColChanging(this, oldCol, col, allow);
    if ((row != oldRow || col != oldCol) && !e.advancing && OnCellChanging)
        OnCellChanging(this, oldRow, oldCol, row, col, allow);
    if (col == 0 && NodeCount() > 0 && !Options().Contains(TGridOption::goRowSelect)) return false;
    if (!allow) return false;
    const int rc = RealColIndex(col);
    if (rc < 0) return false;
    const QString text = GetCellText(rc, row);
    if (!IsCheckOrRadioCell(rc, row)) {
        bool can = Options().Contains(TGridOption::goEditing) || e.editingSwitchedOff;
        CanEditCell(rc, row, can);
        if (can) {
            const bool wasOff = !Options().Contains(TGridOption::goEditing);
            e.editingSwitchedOff = false;
            if (wasOff) {
                BeginCellEdit(col, row);
                SetOptions(Options() + TGridOption::goEditing);
            }
        } else if (Options().Contains(TGridOption::goEditing)) {
            CloseEditorControl();
            e.editingSwitchedOff = true;
            SetOptions(Options() - TGridOption::goEditing);
        }
    }
    // A pending text edit is validated before the cell is left.
    if (e.editInProgress && !IsTextEditorType(e.editorType)) CloseEditorControl();
    bool result = TBaseGrid::SelectCell(col, row);
    if (result && d->activeCellShow) {
        InvalidateRow(0);
        InvalidateCol(0);
    }
    e.savedCellText = text;
    return result;
}
