// The table of the in-place controls by editor type (EditorMakers_p.h):
// each entry lays its control over the cell, fills it from the cell and
// reads it back.
#include "grid/edit/EditorMakers_p.h"

#include "grid/edit/TEditLink.h"
#include "grid/edit/TExtRichEdit.h"
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
#include "platform/core/RegionalSettings.h"

#include <QLineEdit>
#include <QPalette>
#include <QTextDocument>
#include <climits>
#include <cmath>
#include <map>

namespace {

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

// A click that opened the combo puts the caret at the character under the
// pointer in its field.
void CaretToClick(TExtStringGrid& grid, QComboBox* combo)
{
    QPoint click;
    if (!grid.TakePendingClick(click)) return;
    QLineEdit* field = combo->lineEdit();
    if (!field) return;
    const QPoint p = field->mapFrom(&grid, click);
    if (field->rect().contains(p)) field->setCursorPosition(field->cursorPositionAt(p));
}

} // namespace

void TExtStringGrid::EditorMaker::Setup::Place(TWinControl* c, int left, int top, int width, int height) const
{
    grid.PlaceChild(c->Widget(), TRect(left, top, left + width, top + height));
}

void TExtStringGrid::EditorMaker::Setup::Activate(TWinControl* c)
{
    c->SetColor(color);
    c->SetEnabled(true);
    c->SetVisible(true);
    shown = c->Widget();
}

void TExtStringGrid::EditorMaker::Store::Put(const QString& value) const
{
    if (Changed(value)) grid.PutCellText(rc, row, value);
}

void TExtStringGrid::EditorMaker::Store::PutWide(const QString& value) const
{
    if (Changed(value)) grid.SetWideCell(rc, row, value);
}

const TExtStringGrid::EditorMaker* TExtStringGrid::EditorMaker::Of(TEditorType type)
{
    // The controls, made once.
    struct Makers {
        EditorMaker combo, uniEdit, uniCombo, spin, datePicker, checkBox, editBtn, unitEditBtn, button, custom, rich;
    };
    static const Makers makers = [] {
        using E = TGridEditState;
        Makers m;

        EditorMaker& combo = m.combo;
        combo.control = [](const E& e) -> QWidget* { return e.combo; };
        combo.show = [](Setup& s) {
            TGridCombo* c = s.edit.combo;
            const bool list = s.edit.editorType == edComboList;
            c->SetStyle(list ? csDropDownList : csDropDown);
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            if (list) {
                const int i = c->Items().IndexOf(s.text);
                c->SetItemIndex(i >= 0 ? i : (c->Items().Count() > 0 ? 0 : -1));
            } else {
                c->SetText(s.text);
            }
            c->SetFlat(s.flat);
            c->SetEtched(s.flat);
            if (s.grid.d->navigation.AutoComboDropSize) c->SizeDropWidth();
            s.Activate(c);
            s.edit.shownValue = c->Text();
        };
        combo.focused = [](Setup& s, bool startKey) {
            if (s.grid.d->mouseActions.DirectComboDrop) s.edit.combo->SetDroppedDown(true);
            // Typing that started the edit replaces the text, as in the text
            // editor.
            if (startKey && s.edit.editorType == edComboEdit) s.edit.combo->SelectAll();
            CaretToClick(s.grid, s.edit.combo);
        };
        combo.store = [](const Store& s) {
            if (s.edit.editInProgress) s.Put(s.edit.combo->Text());
        };
        combo.postsStartKey = true;

        EditorMaker& uniEdit = m.uniEdit;
        uniEdit.control = [](const E& e) -> QWidget* { return e.uniEdit; };
        uniEdit.show = [](Setup& s) {
            TGridUniEdit* c = s.edit.uniEdit;
            const int ox = s.edit.wideEditOffsetX;
            const int oy = s.edit.wideEditOffsetY;
            s.Place(c, s.r.Left + 2 + ox, s.r.Top + 2 + oy, s.w - 2 - 2 * ox, s.h - 2 - 2 * oy);
            c->Font() = s.grid.Font();
            c->SetText(s.grid.GetWideCell(s.rc, s.row));
            s.Activate(c);
            s.edit.shownValue = c->Text();
        };
        uniEdit.store = [](const Store& s) { s.PutWide(s.edit.uniEdit->Text()); };
        uniEdit.postsStartKey = true;

        EditorMaker& uniCombo = m.uniCombo;
        uniCombo.control = [](const E& e) -> QWidget* { return e.uniCombo; };
        uniCombo.show = [](Setup& s) {
            TGridUniCombo* c = s.edit.uniCombo;
            const bool list = s.edit.editorType == edUniComboList;
            c->SetStyle(list ? csDropDownList : csDropDown);
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            const QString wide = s.grid.GetWideCell(s.rc, s.row);
            if (list) {
                const int i = c->Items().IndexOf(wide);
                c->SetItemIndex(i >= 0 ? i : (c->Items().Count() > 0 ? 0 : -1));
            } else {
                c->SetText(wide);
            }
            c->Font() = s.grid.Font();
            c->SetFlat(s.flat);
            c->SetEtched(s.flat);
            if (s.grid.d->navigation.AutoComboDropSize) c->SizeDropWidth();
            s.Activate(c);
            s.edit.shownValue = c->Text();
        };
        uniCombo.focused = [](Setup& s, bool) {
            if (s.grid.d->mouseActions.DirectComboDrop) s.edit.uniCombo->SetDroppedDown(true);
            CaretToClick(s.grid, s.edit.uniCombo);
        };
        uniCombo.store = [](const Store& s) { s.PutWide(s.edit.uniCombo->Text()); };

        EditorMaker& spin = m.spin;
        spin.control = [](const E& e) -> QWidget* { return e.spin; };
        spin.show = [](Setup& s) {
            TGridSpin* c = s.edit.spin;
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            switch (s.edit.editorType) {
            case edSpinEdit:
                c->SetSpinType(sptNormal);
                c->SetValue(LeadingInt(s.text));
                break;
            case edFloatSpinEdit: {
                c->SetSpinType(sptFloat);
                bool ok = false;
                const double v =
                    CleanNumberText(s.text).replace(RegionalSettings::DecimalSeparator(), u'.').toDouble(&ok);
                c->SetFloatValue(ok && std::isfinite(v) ? v : 0.0);
                break;
            }
            case edTimeSpinEdit:
                c->SetSpinType(sptTime);
                c->SetText(s.grid.GetEditText(s.col, s.row));
                break;
            default: {
                TDateTime dt = 0;
                if (s.text.isEmpty() || !TryStrToDate(s.text, dt)) dt = Now();
                c->SetDateValue(dt);
                c->SetSpinType(sptDate);
                break;
            }
            }
            s.Activate(c);
            s.edit.shownValue = c->Text();
        };
        spin.store = [](const Store& s) {
            TGridSpin* c = s.edit.spin;
            switch (s.edit.editorType) {
            case edFloatSpinEdit:
                if (s.Changed(c->Text())) s.grid.SetCellFloat(s.rc, s.row, c->FloatValue());
                break;
            case edDateSpinEdit:
                if (s.Changed(c->Text())) s.grid.SetCellDate(s.rc, s.row, c->DateValue());
                break;
            default: s.Put(c->Text()); break;
            }
        };
        spin.postsStartKey = true;

        EditorMaker& datePicker = m.datePicker;
        datePicker.control = [](const E& e) -> QWidget* { return e.datePicker; };
        datePicker.show = [](Setup& s) {
            TGridDatePicker* c = s.edit.datePicker;
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            TDateTime v = 0;
            const bool time = s.edit.editorType == edTimeEdit;
            if (time) {
                c->SetKind(TDateTimeKind::dtkTime);
                if (s.text.isEmpty() || !TryStrToTime(s.text, v)) v = Now();
                c->SetTime(v);
            } else {
                c->SetKind(TDateTimeKind::dtkDate);
                c->SetDateMode(s.edit.editorType == edDateEditUpDown ? TDTDateMode::dmUpDown : TDTDateMode::dmComboBox);
                if (s.text.isEmpty() || !TryStrToDate(s.text, v)) v = Now();
                c->SetDate(v);
            }
            c->SetChecked(true);
            s.Activate(c);
            s.edit.shownValue = time ? TimeToStr(c->Time()) : DateToStr(c->Date());
        };
        datePicker.store = [](const Store& s) {
            TGridDatePicker* c = s.edit.datePicker;
            if (s.edit.editorType == edTimeEdit)
                s.Put(TimeToStr(c->Time()));
            else
                s.Put(c->Checked() ? DateToStr(c->Date()) : QString());
        };

        EditorMaker& checkBox = m.checkBox;
        checkBox.control = [](const E& e) -> QWidget* { return e.checkBox; };
        checkBox.show = [](Setup& s) {
            TGridCheckBox* c = s.edit.checkBox;
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            c->SetCaption(s.text);
            c->SetState(TCheckBoxState::cbUnchecked);
            s.Activate(c);
        };
        checkBox.store = [](const Store&) {}; // the check box stores nothing

        EditorMaker& editBtn = m.editBtn;
        editBtn.control = [](const E& e) -> QWidget* { return e.editBtn; };
        editBtn.show = [](Setup& s) {
            TGridEditBtn* c = s.edit.editBtn;
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            c->SetText(s.text);
            c->SetMaxLength(s.editLimit);
            s.Activate(c);
            s.edit.shownValue = c->Text();
        };
        editBtn.store = [](const Store& s) { s.Put(s.edit.editBtn->Text()); };
        editBtn.postsStartKey = true;

        EditorMaker& unitEditBtn = m.unitEditBtn;
        unitEditBtn.control = [](const E& e) -> QWidget* { return e.unitEditBtn; };
        unitEditBtn.show = [](Setup& s) {
            TGridUnitEditBtn* c = s.edit.unitEditBtn;
            s.Place(c, s.r.Left, s.r.Top, s.w, s.h);
            c->SetMaxLength(s.editLimit);
            c->SetCellValue(s.text);
            s.Activate(c);
            s.edit.shownValue = c->CellValue();
        };
        unitEditBtn.store = [](const Store& s) { s.Put(s.edit.unitEditBtn->CellValue()); };
        unitEditBtn.postsStartKey = true;

        EditorMaker& button = m.button;
        button.control = [](const E& e) -> QWidget* { return e.button; };
        button.show = [](Setup& s) {
            TGridButton* c = s.edit.button;
            s.Place(c, s.r.Left - 1, s.r.Top - 1, s.w + 2, s.h + 2);
            c->SetCaption(s.text);
            c->SetEnabled(true);
            c->SetVisible(true);
            s.shown = c;
        };
        button.store = [](const Store&) {}; // the caption is no value

        EditorMaker& custom = m.custom;
        custom.control = [](const E& e) -> QWidget* { return e.editLink ? e.editLink->EditControl() : nullptr; };
        custom.show = [](Setup& s) {
            TEditLink* link = s.edit.editLink;
            if (!link) return;
            TExtStringGrid& g = s.grid;
            link->SetGrid(&g);
            link->SetEditCell(TPoint(s.rc, s.row));
            TRect lr = s.r;
            if (link->EditStyle == esPopup) {
                if (link->AutoPopupWidth) link->PopupWidth = s.r.Width();
                // One popup per link at a time, freed whenever the edit ends.
                auto form = std::make_unique<QWidget>(nullptr, Qt::Popup | Qt::FramelessWindowHint);
                const QPoint at = g.mapToGlobal(g.ClientOrigin() + QPoint(s.r.Left, s.r.Top));
                form->setGeometry(at.x(), at.y(), link->PopupWidth, link->PopupHeight);
                QWidget* parent = form.get();
                link->SetPopupForm(std::move(form));
                parent->show();
                link->CreateEditor(parent);
                lr = TRect(0, 0, link->PopupWidth, link->PopupHeight);
            } else {
                link->CreateEditor(&g);
            }
            link->PlaceEditor(lr);
            link->ShowEditor(true);
            link->ApplyColors(s.color, s.font);
            link->SetProperties();
            if (g.OnGetEditorProp) g.OnGetEditorProp(&g, s.rc, s.row, link);
            link->SetEditorValue(s.text);
            s.edit.shownValue = link->GetEditorValue();
            link->WatchEditControl();
            link->FocusEditor(true);
            s.shown = link->EditControl();
        };
        custom.store = [](const Store& s) {
            TEditLink* link = s.edit.editLink;
            if (!link) return;
            s.Put(link->GetEditorValue());
            if (link->EditStyle != esPopup) link->ShowEditor(false);
            link->DestroyEditor();
            link->FreePopupForm();
        };
        custom.postsStartKey = true;
        custom.focusesItself = true;

        EditorMaker& rich = m.rich;
        rich.control = [](const E& e) -> QWidget* { return e.richEdit; };
        rich.show = [](Setup& s) {
            TExtRichEdit* c = s.edit.richEdit;
            c->SizingLock = true;
            s.grid.PlaceChild(c, TRect(s.r.Left, s.r.Top, s.r.Left + s.w, s.r.Top + s.h));
            c->LoadRichText(s.grid.GetCellText(s.rc, s.row));
            c->selectAll();
            c->setEnabled(true);
            c->setVisible(true);
            c->document()->setDocumentMargin(2); // the text 2 pixels inside the cell
            QPalette p = c->palette();
            p.setColor(QPalette::Base, ToQColor(s.color));
            c->setPalette(p);
            s.edit.shownValue = c->SaveRichText();
            s.shown = c;
        };
        rich.store = [](const Store& s) { s.Put(s.edit.richEdit->SaveRichText()); };
        rich.postsStartKey = true;

        return m;
    }();
    // One entry per editor type, in the order of TEditorType, each naming
    // its type, so that an entry out of place or missing (a type added
    // anywhere, at the end too) fails the build. The text-editor types (and
    // edDataCheckBox) have no control.
    struct Entry {
        TEditorType type;
        const EditorMaker Makers::*maker;
    };
    static constexpr Entry kEntries[] = {
        {edNormal, nullptr},
        {edSpinEdit, &Makers::spin},
        {edComboEdit, &Makers::combo},
        {edComboList, &Makers::combo},
        {edEditBtn, &Makers::editBtn},
        {edCheckBox, &Makers::checkBox},
        {edDateEdit, &Makers::datePicker},
        {edDateEditUpDown, &Makers::datePicker},
        {edTimeEdit, &Makers::datePicker},
        {edButton, &Makers::button},
        {edDataCheckBox, nullptr},
        {edNumeric, nullptr},
        {edPositiveNumeric, nullptr},
        {edFloat, nullptr},
        {edCapital, nullptr},
        {edMixedCase, nullptr},
        {edPassword, nullptr},
        {edUnitEditBtn, &Makers::unitEditBtn},
        {edLowerCase, nullptr},
        {edUpperCase, nullptr},
        {edFloatSpinEdit, &Makers::spin},
        {edTimeSpinEdit, &Makers::spin},
        {edDateSpinEdit, &Makers::spin},
        {edNumericEditBtn, &Makers::editBtn},
        {edFloatEditBtn, &Makers::editBtn},
        {edCustom, &Makers::custom},
        {edRichEdit, &Makers::rich},
        {edUniEdit, &Makers::uniEdit},
        {edUniComboEdit, &Makers::uniCombo},
        {edUniComboList, &Makers::uniCombo},
        {edUniEditBtn, nullptr},
        {edUniMemo, nullptr},
        {edDateTimeEdit, nullptr},
    };
    static_assert(std::size(kEntries) == edCount, "one editor entry per editor type");
    static_assert(
        [] {
            for (std::size_t i = 0; i < std::size(kEntries); ++i)
                if (std::size_t(kEntries[i].type) != i) return false;
            return true;
        }(),
        "editor entries in the order of TEditorType");
    const auto i = std::size_t(type);
    return i < std::size(kEntries) && kEntries[i].maker ? &(makers.*kEntries[i].maker) : nullptr;
}
