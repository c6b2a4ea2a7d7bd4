// Mouse clicks: what a button going down, coming up or a double click does.
// A left press starts a gesture (input/Gestures_p.h), which its release
// ends; the embedded controls of HTML cells, radio groups and the sort on a
// header click are run from here.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/input/Gestures_p.h"
#include "grid/text/CellLinks.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"

#include <QElapsedTimer>
#include <QLabel>

qint64 TExtStringGrid::SortTime() const { return d->input.sortTime; }
bool TExtStringGrid::URLEdit() const { return d->input.urlEdit; }
void TExtStringGrid::SetURLEdit(bool value) { d->input.urlEdit = value; }
bool TExtStringGrid::EnhRowColMove() const { return d->input.enhRowColMove; }
void TExtStringGrid::SetEnhRowColMove(bool value) { d->input.enhRowColMove = value; }

bool TExtStringGrid::IsCheckCell(int col, int row)
{
    const TCellType t = GetCellType(col, row);
    return t == ctCheckBox || t == ctDataCheckBox || t == ctRadio || t == ctVirtCheckBox;
}

void TExtStringGrid::Click() { TBaseGrid::Click(); }

// ---------------------------------------------------------------------------
// Button down

void TExtStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // Any press ends panning; the middle button starts it.
    if (Panning()) {
        StopPanning();
        return;
    }
    if (button == TMouseButton::mbMiddle && StartPanning(x, y)) return;
    if (button == TMouseButton::mbLeft) {
        if (shift.Contains(TShiftStateItem::ssDouble)) {
            DoubleClickAt(shift, x, y);
        } else {
            // An editor this click opens puts its caret under the pointer.
            d->edit.clickPending = d->mouseActions.CaretPositioning;
            d->edit.clickPos = QPoint(x, y);
            LeftButtonDown(shift, x, y);
            d->edit.clickPending = false;
        }
        return;
    }
    TBaseGrid::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbRight) return;
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (OnRightClickCell) OnRightClickCell(this, r, c);
    if (c < 0 || r < 0 || !d->urlShow || !d->input.urlEdit) return;
    if (IsURL(GetCellText(RealColIndex(c), r))) {
        FocusCell(c, r);
        ShowEditor();
    }
}

// The press picks its gesture (input/TGridGesturePicker.cpp).
void TExtStringGrid::LeftButtonDown(TShiftState shift, int x, int y) { Gestures::Picker(*this, shift, x, y).Pick(); }

void TExtStringGrid::ShowControlEdit(int c, int r, const QString& id, const QString& value, const TRect& rect)
{
    TGridInputState& in = d->input;
    if (!in.controlEdit) {
        in.controlEdit = new TCustomEdit(this, QStringLiteral("ControlEdit"));
        in.controlEdit->SetBorderStyle(TBorderStyle::bsNone);
        in.controlEdit->OnExit = [this](QObject*) { ControlEditDone(); };
        in.controlEdit->OnKeyPress = [this](QObject* sender, TKeyChar& key) { ControlEnterKey(sender, key); };
    }
    in.ctrlCol = RealColIndex(c);
    in.ctrlRow = r;
    in.ctrlID = id;
    in.ctrlType = QStringLiteral("EDIT");
    ++in.ctrlSerial;
    in.controlEdit->SetText(value);
    PlaceChild(in.controlEdit, rect);
    in.controlEdit->Show();
    in.controlEdit->SetFocus();
}

void TExtStringGrid::ShowControlCombo(int c, int r, const QString& id, const QString& value, const TRect& rect)
{
    TGridInputState& in = d->input;
    if (!in.controlCombo) {
        in.controlCombo = new TCustomComboBox(this, QStringLiteral("ControlCombo"));
        // The list closes before the choice made in it is applied: the
        // control ends once it is, unless another control was shown since.
        in.controlCombo->OnCloseUp = [this](QObject*) {
            const unsigned serial = d->input.ctrlSerial;
            QMetaObject::invokeMethod(
                this,
                [this, serial] {
                    if (d->input.ctrlSerial == serial) ControlEditDone();
                },
                Qt::QueuedConnection);
        };
        in.controlCombo->OnExit = [this](QObject*) { ControlEditDone(); };
        in.controlCombo->OnKeyPress = [this](QObject* sender, TKeyChar& key) { ControlEnterKey(sender, key); };
    }
    in.ctrlCol = RealColIndex(c);
    in.ctrlRow = r;
    in.ctrlID = id;
    in.ctrlType = QStringLiteral("COMBO");
    ++in.ctrlSerial;
    QStringList values;
    bool edit = true;
    if (OnControlComboList) OnControlComboList(this, id, value, in.ctrlCol, r, values, edit);
    in.controlCombo->SetStyle(edit ? csDropDown : csDropDownList);
    in.controlCombo->clear();
    in.controlCombo->addItems(values);
    const int at = int(values.indexOf(value));
    if (at >= 0) in.controlCombo->SetItemIndex(at);
    if (edit) in.controlCombo->SetText(value);
    PlaceChild(in.controlCombo, rect);
    in.controlCombo->Show();
    // The list opens at once; choosing from it closes the control.
    in.controlCombo->SetDroppedDown(true);
    in.controlCombo->SetFocus();
}

// Enter in an embedded control ends its edit as leaving it does; the grid
// takes the focus back.
void TExtStringGrid::ControlEnterKey(QObject* sender, TKeyChar& key)
{
    if (key != '\r') return;
    key = 0;
    auto* control = TWinControl::Of(qobject_cast<QWidget*>(sender));
    if (control && control->OnExit) control->OnExit(sender);
    SetFocus();
}

void TExtStringGrid::ControlEditDone()
{
    TGridInputState& in = d->input;
    if (in.ctrlType.isEmpty()) return;
    const QString type = in.ctrlType;
    in.ctrlType.clear(); // before hiding: hiding takes the focus away again
    QString value;
    if (type == QLatin1String("EDIT") && in.controlEdit) {
        value = in.controlEdit->Text();
        in.controlEdit->Hide();
    } else if (type == QLatin1String("COMBO") && in.controlCombo) {
        value = in.controlCombo->Text();
        in.controlCombo->Hide();
    }
    if (in.ctrlCol < 0 || in.ctrlCol >= StoreCols() || in.ctrlRow < 0 || in.ctrlRow >= RowCount()) return;
    QString html = GetCellText(in.ctrlCol, in.ctrlRow);
    SetControlValue(html, in.ctrlID, value);
    SetCellText(in.ctrlCol, in.ctrlRow, html);
    if (OnControlEditDone) OnControlEditDone(this, in.ctrlRow, in.ctrlCol, in.ctrlID, type, value);
}

void TExtStringGrid::RadioClick(int col, int row, int x, int y)
{
    TCellGraphic* g = GetCellGraphic(col, row);
    if (!g || g->CellType != ctRadio || g->Options.isEmpty()) return;
    FocusCell(DisplColIndex(col), row);
    const TControlStyle style = d->controlLook.ControlStyle();
    const int size = (style == csClassic || style == csFlat) ? d->controlLook.RadioSize() : 16;
    const bool horizontal = g->CellBoolean;
    // The items as the cell paints them: 2 pixels in, one line each (at
    // least a button high for the bitmap styles), or side by side.
    const bool classic = style == csClassic || style == csFlat;
    const int lineHeight = std::max(classic ? 0 : 16, TextMetricsOf(Font()).tmHeight);
    int end = 2;
    int chosen = -1;
    for (int i = 0; i < g->Options.size(); ++i) {
        end += horizontal ? TextWidthOf(Font(), g->Options[i]) + size : lineHeight;
        if ((horizontal ? x : y) <= end) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) return;
    if (g->CellIndex < 0) {
        SetCellText(col, row, g->Options[chosen]);
    } else {
        g->CellIndex = chosen;
        SetCellText(col, row, GetCellText(col, row));
        RepaintCell(DisplColIndex(col), row);
    }
    if (OnRadioClick) OnRadioClick(this, col, row, chosen);
}

// ---------------------------------------------------------------------------
// Button up

void TExtStringGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbLeft) {
        LeftButtonUp(shift, x, y);
        return;
    }
    // The right button let go while a row or column is carried leaves the
    // move to the left button.
    const TGridInputState& in = d->input;
    if (button == TMouseButton::mbRight && in.enhRowColMove && (MovingCol() >= 0 || MovingRow() >= 0) && in.moveImage &&
        in.moveImage->isVisible())
        return;
    TBaseGrid::MouseUp(button, shift, x, y);
}

// The running gesture ends with its release; a release no press of the
// grid's went before (the second of a double click) ends a plain click.
void TExtStringGrid::LeftButtonUp(TShiftState shift, int x, int y)
{
    TGridInputState& in = d->input;
    std::shared_ptr<TGridGesture> gesture = in.gesture;
    if (!gesture) gesture = in.gesture = std::make_shared<Gestures::Press>(*this);
    gesture->Release(shift, x, y);
    if (in.gesture == gesture) in.gesture.reset();
}

void TExtStringGrid::SortOnHeaderClick(int col, TShiftState shift)
{
    HideEditor();
    TSortSettings& ss = d->sortSettings;
    // Merged runs of the merge columns are undone for the sort and redone.
    TIntList& merges = MergeColumnList();
    if (ss.AutoColumnMerge)
        for (int i = 0; i < merges.Count(); ++i) SplitColumnMerges(merges.Item(i));
    QElapsedTimer timer;
    timer.start();
    if (ss.IndexShow) {
        TSortIndexList& list = SortIndexes();
        if (shift.Contains(TShiftStateItem::ssShift)) {
            if (list.FindIndex(col) < 0)
                list.AddIndex(col, true);
            else
                list.ToggleIndex(col);
        } else if (list.Count() == 1 && list.FindIndex(col) == 0) {
            list.ToggleIndex(col);
        } else {
            list.Clear();
            list.AddIndex(col, true);
        }
        SortByIndexes();
    } else {
        if (col == ss.Column)
            ss.Direction = ss.Direction == sdAscending ? sdDescending : sdAscending;
        else {
            ss.Direction = sdAscending;
            ss.Column = col;
        }
        const int left = LeftCol();
        BeginUpdate();
        if (NodeCount() > 0)
            SortGroups();
        else
            SortByColumn();
        if (Options().Contains(TGridOption::goRowSelect) && d->navigation.KeepHorizScroll) SetLeftCol(left);
        EndUpdate();
    }
    d->input.sortTime = timer.elapsed();
    if (ss.AutoColumnMerge)
        for (int i = 0; i < merges.Count(); ++i) MergeColumnCells(merges.Item(i), i == 0);
    if (OnClickSort) OnClickSort(this, ss.Column);
}

// ---------------------------------------------------------------------------
// Double click

void TExtStringGrid::DblClick()
{
    // Handled with the second press (DoubleClickAt), which knows the point.
}

void TExtStringGrid::DoubleClickAt(TShiftState shift, int x, int y)
{
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (r == 0 && c >= 0 && Options().Contains(TGridOption::goColSizing)) {
        const TRect cell = CellRect(c, r);
        int sized = -1;
        if (x - cell.Left < Gestures::kBorderMargin && c - 1 >= FixedCols())
            sized = c - 1;
        else if (cell.Right - x < Gestures::kBorderMargin && c >= FixedCols())
            sized = c;
        if (sized >= 0) {
            bool allow = true;
            if (OnColumnSize) OnColumnSize(this, sized, allow);
            if (allow) {
                AutoSizeCol(sized);
                if (OnEndColumnSize) OnEndColumnSize(this, sized);
            }
            d->input.dblClickSized = true;
            return;
        }
    }
    TBaseGrid::DblClick();
    if (OnDblClickCell) OnDblClickCell(this, r, c);
    if (c >= 0 && r >= 0 && d->mouseActions.RangeSelectAndEdit && IsEditableCell(RealColIndex(c), r)) {
        SetOptions(Options() + TGridOption::goEditing);
        LeftButtonDown(shift - TShiftStateItem::ssDouble, x, y);
    }
}
