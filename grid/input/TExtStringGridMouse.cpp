// Mouse clicks: what a button going down, coming up or a double click does
// by the kind of the cell under the pointer and the pointer's place in it.
// Every rule is tried in a fixed order; the first that applies ends the
// handling. What no rule takes goes to the standard grid handling.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "controls/HTMLText.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/THTMLHintWindow.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/text/CellLinks.h"
#include "grid/text/CellText.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>

namespace {

// Pixels from a column border that count as the border.
constexpr int kBorderMargin = 4;

// Only web and mail links leave the program; server text never names a
// local file or another scheme to open.
bool IsSafeLink(const QString& link)
{
    const QString l = link.trimmed().toLower();
    return l.startsWith(QLatin1String("http://")) || l.startsWith(QLatin1String("https://")) ||
        l.startsWith(QLatin1String("mailto:"));
}

} // namespace

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

void TExtStringGrid::LeftButtonDown(TShiftState shift, int x, int y)
{
    TGridInputState& in = d->input;
    in.buttonDown = true;
    in.oleDragArmed = false;
    in.unmarkRow = in.unmarkCol = -1;
    in.marksCleared = false;
    // A node graphic may have been made one since the last count.
    RecountNodes();

    if (in.cursorState == 5) {
        // The selection resizer: the selection is copied for a smart fill,
        // and the drag grows it from its top-left corner (the press opens
        // no editor on the corner cell).
        CopySelectionToClipboard();
        in.smartFill = true;
        in.smartFillSource = Selection();
        SetSelection(Selection());
        const TGridOptions options = Options();
        SetOptions(options - TGridOption::goEditing);
        TBaseGrid::MouseDown(TMouseButton::mbLeft, shift + TShiftStateItem::ssShift, x, y);
        SetOptions(options);
        return;
    }

    if (in.overFixedColBorder) {
        // The fixed column is sized from its border over the body rows.
        in.fixedColSizing = true;
        in.fixedColX = x;
        DrawSizingLine(x);
        return;
    }

    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    in.downCol = c;
    in.downRow = r;
    in.downPos = TPoint(x, y);
    if (c < 0 || r < 0) {
        HideEditor();
        TBaseGrid::MouseDown(TMouseButton::mbLeft, shift, x, y);
        return;
    }

    int rc = RealColIndex(c);
    const TPoint base = BaseCellPoint(rc, r);
    rc = base.X;
    r = base.Y;
    c = DisplColIndex(rc);
    const TRect cellRect = GetCellRect(c, r);
    const bool fixedArea = r < FixedRows() || c < FixedCols();
    const bool fixed = fixedArea || IsFixed(c, r);
    if (fixed) HideEditor();

    // Tree nodes toggle and set the row, nothing else; the node column is
    // usually the fixed column 0, so only the row has to be a data row.
    if (c == 0 && r >= FixedRows() && IsNodeRow(r)) {
        const int realRow = RealRowIndex(r);
        if (GetNodeState(r)) {
            ExpandNode(realRow);
            if (OnExpandNode) OnExpandNode(this, r, realRow);
        } else {
            ContractNode(realRow);
            if (OnContractNode) OnContractNode(this, r, realRow);
        }
        SetRow(r);
        return;
    }

    // Radio groups.
    if (!fixed && IsRadioButtonCell(rc, r) && IsEditableCell(rc, r)) {
        HideEditor();
        RadioClick(rc, r, x - cellRect.Left, y - cellRect.Top);
        return;
    }
    if (c == 0 && NodeCount() > 0) return;

    // An OLE drag is armed on a selected cell; it starts on a later move.
    const bool selected = IsSelected(c, r) || (r < FixedRows() && !in.enhRowColMove);
    if (selected && !Options().Contains(TGridOption::goEditing) && d->dragDropSettings.OleDropSource &&
        !d->mouseActions.ColSelect && !d->mouseActions.AllSelect) {
        const bool nearBorder = Options().Contains(TGridOption::goColSizing) &&
            (x - cellRect.Left < kBorderMargin || cellRect.Right - x < kBorderMargin);
        if (!nearBorder) {
            in.oleDragArmed = true;
            if (OnClickCell) OnClickCell(this, r, c);
            return;
        }
    }

    // Button cells are pressed until the release.
    if (IsButtonCell(rc, r)) {
        HideEditor();
        SetSelection(TGridRect(c, r, c, r));
        TRect button;
        GetCellGraphicRect(c, r, button);
        if (button.Contains(TPoint(x, y))) {
            if (TCellGraphic* g = GetCellGraphic(rc, r)) g->CellBoolean = true;
            in.buttonCol = c;
            in.buttonRow = r;
            grabMouse();
            RepaintCell(c, r);
        }
        if (OnClickCell) OnClickCell(this, r, c);
        return;
    }

    in.cellOffset = TPoint(x - cellRect.Left, y - cellRect.Top);

    // Disjunct marks.
    if (d->mouseActions.DisjunctRowSelect && !fixedArea) {
        if (shift.Contains(TShiftStateItem::ssCtrl)) {
            if (RowSelect(r)) in.unmarkRow = r;
        } else {
            ClearRowSelect();
            in.marksCleared = true;
        }
    }
    if (d->mouseActions.DisjunctColSelect && !fixedArea) {
        if (shift.Contains(TShiftStateItem::ssCtrl)) {
            if (ColSelect(c)) in.unmarkCol = c;
        } else {
            ClearColSelect();
            in.marksCleared = true;
        }
    }

    if (HandleLinkClick(c, r, x, y, cellRect)) return;

    // Whole rows, columns or the grid from the headers.
    in.selectAnchor = -1;
    const bool range = Options().Contains(TGridOption::goRangeSelect);
    if (in.cursorState == 3 && d->mouseActions.AllSelect && range) {
        SetFocus();
        SetSelection(TGridRect(FixedCols(), FixedRows(), ColCount() - 1, RowCount() - 1));
        TBaseGrid::MouseDown(TMouseButton::mbLeft, shift, x, y);
        return;
    }
    if (in.cursorState == 2 && d->mouseActions.RowSelect && range) {
        SetSelection(TGridRect(FixedCols(), r, ColCount() - 1, r));
        in.selectAnchor = r;
        if (d->activeCellShow) InvalidateGrid();
        return;
    }
    if (in.cursorState == 1 && d->mouseActions.ColSelect && range) {
        SetSelection(TGridRect(c, FixedRows(), c, RowCount() - 1));
        in.selectAnchor = c;
        if (d->activeCellShow) InvalidateGrid();
        return;
    }

    // Check boxes.
    bool canEdit = Options().Contains(TGridOption::goEditing) || d->mouseActions.RangeSelectAndEdit;
    // The hook has the last word: it may also let a read-only grid's box
    // be clicked.
    CanEditCell(rc, r, canEdit);
    if (!fixed && canEdit && IsCheckBoxCell(rc, r)) {
        HideEditor();
        SetFocus();
        ToggleCheckBox(rc, r, true);
        bool state = false;
        GetCheckBoxState(rc, r, state);
        if (OnCheckBoxClick) OnCheckBoxClick(this, c, r, state);
        if (!d->navigation.AlwaysEdit) FocusCell(c, r);
        if (d->hideFocusRect) RepaintCell(c, r);
        Click();
        return;
    }

    if (d->mouseActions.DirectEdit && !fixed && IsEditableCell(rc, r)) {
        SetFocus();
        HideEditor();
    }

    if (!fixedArea && fixed) {
        if (OnClickCell) OnClickCell(this, r, c);
        return;
    }

    const TGridRect before = Selection();
    const bool inSelection = before.Contains(c, r);
    const int left = LeftCol();
    // The partly visible column or row just past the view.
    const bool pastView = c == LeftCol() + VisibleColCount() || r == TopRow() + VisibleRowCount();
    const bool alwaysEdit = d->navigation.AlwaysEdit;
    d->navigation.AlwaysEdit = false;
    if (VetoSizing(x, y)) {
        const TGridOptions options = Options();
        SetOptions(options - TGridOption::goColSizing - TGridOption::goRowSizing - TGridOption::goColMoving -
                   TGridOption::goRowMoving);
        TBaseGrid::MouseDown(TMouseButton::mbLeft, shift, x, y);
        SetOptions(options);
    } else {
        TBaseGrid::MouseDown(TMouseButton::mbLeft, shift, x, y);
    }
    d->navigation.AlwaysEdit = alwaysEdit;
    // Clicked there, the view scrolls under the pointer; without the
    // range selection going on, that scroll selects no further.
    if (pastView && d->mouseActions.NoAutoRangeScroll && Selecting()) EndSelecting();
    if (Options().Contains(TGridOption::goRowSelect) && d->navigation.KeepHorizScroll) SetLeftCol(left);

    if (OnClickCell) OnClickCell(this, r, c);

    // A merged cell is selected whole.
    if (!fixed && IsMergedCell(rc, r)) {
        const TPoint span = GetCellSpan(rc, r);
        SetSelection(TGridRect(c, r, c + span.X, r + span.Y));
        if (inSelection && canEdit && !IsCheckCell(rc, r)) ShowEditor();
    }

    if (d->mouseActions.DirectEdit && canEdit && !fixed && !IsCheckCell(rc, r) && x - cellRect.Left >= kBorderMargin &&
        cellRect.Right - x >= kBorderMargin)
        ShowEditor();
}

// Anchors, URL texts and embedded controls; true when something was hit.
bool TExtStringGrid::HandleLinkClick(int c, int r, int x, int y, const TRect& cellRect)
{
    const int rc = RealColIndex(c);
    const QString text = GetCellText(rc, r);
    const bool html = GetTextKind(text, d->enableHTML) == tkHTML;
    if (!d->urlShow && !html) return false;

    QString anchor;
    QString id, type, value;
    TRect ctrlRect;
    if (!html) {
        if (!IsURL(text)) return false;
        anchor = text;
    } else {
        TRect r2 = cellRect;
        r2.Left += 1 + d->draw.marginX;
        r2.Top += 1 + d->draw.marginY;
        if (IsCheckBoxCell(rc, r)) r2.Left += d->controlLook.CheckSize();
        QImage image(1, 1, QImage::Format_RGB32);
        TPainterCanvas canvas(&image);
        TBrush brush;
        TFont font = Font();
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        TGridDrawState state;
        bool reserved = false;
        PrepareCellCanvas(c, r, state, false, false, true, brush, font, ha, va, reserved);
        canvas.Font() = font;
        THTMLDrawOptions o;
        o.Images = d->gridImages.get();
        o.XPos = x;
        o.YPos = y;
        o.CheckHotSpot = true;
        o.WordWrap = !d->enhTextSize;
        o.PictureCache = d->draw.pictureCache.get();
        o.PictureContainer = d->pictureContainer;
        THTMLDrawResults res;
        if (!HTMLDraw(canvas, text, r2, o, res)) return false;
        anchor = res.AnchorVal;
        id = res.CID;
        type = res.CT.toUpper();
        value = res.CV;
        ctrlRect = res.ControlRect;
    }

    bool autoHandle = true;
    if (!id.isEmpty()) {
        // An embedded control: the grid acts on it; its "ctrl" anchor is no
        // link.
        if (!d->input.ctrlType.isEmpty()) ControlEditDone();
        if (type == QLatin1String("BUTTON")) {
            d->input.htmlButtonCol = c;
            d->input.htmlButtonRow = r;
            d->draw.htmlButtonDown = true;
            RepaintCell(c, r);
        } else if (type == QLatin1String("CHECK")) {
            value = value.toUpper() == QLatin1String("TRUE") ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            QString html = text;
            SetControlValue(html, id, value);
            SetCellText(rc, r, html);
        }
        if (OnControlClick) OnControlClick(this, r, c, id, type, value);
        if (type == QLatin1String("EDIT"))
            ShowControlEdit(c, r, id, value, ctrlRect);
        else if (type == QLatin1String("COMBO"))
            ShowControlCombo(c, r, id, value, ctrlRect);
        return true;
    }
    if (OnAnchorClick) OnAnchorClick(this, r, c, anchor, autoHandle);
    // The anchor of an embedded control is never a link.
    if (!autoHandle || anchor.isEmpty() || anchor == QLatin1String("ctrl")) return true;

    const int at = anchor.toUpper().indexOf(QLatin1String("CELL://"));
    if (at >= 0) {
        // The reference follows the marker; one outside the grid is ignored.
        TPoint cell;
        if (ParseRCReference(anchor.mid(at + 7), cell) && cell.X >= 0 && cell.X < ColCount() && cell.Y >= 0 &&
            cell.Y < RowCount()) {
            FocusCell(cell.X, cell.Y);
            ScrollInView(cell.X, cell.Y);
        }
        return true;
    }
    if (IsSafeLink(anchor)) Dialogs::OpenLink(anchor.trimmed(), true);
    return true;
}

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

void TExtStringGrid::LeftButtonUp(TShiftState shift, int x, int y)
{
    TGridInputState& in = d->input;
    in.cursorState = 0;
    // The end of a sizing of the fixed column: it takes the width dragged,
    // unless released beyond the control, as any column sizing.
    const bool fixedColSized = in.fixedColSizing;
    if (fixedColSized) {
        in.fixedColSizing = false;
        DrawSizingLine(in.fixedColX);
        in.sizeHint.clear();
        if (d->footer.hint) d->footer.hint->hide();
        if (x <= ClientWidth()) SetColWidths(0, std::max(1, x));
    }
    if (in.htmlButtonCol >= 0) {
        d->draw.htmlButtonDown = false;
        RepaintCell(in.htmlButtonCol, in.htmlButtonRow);
        in.htmlButtonCol = in.htmlButtonRow = -1;
    }
    in.buttonDown = false;
    in.selectAnchor = -1;

    if (in.buttonCol >= 0) {
        const int bc = in.buttonCol, br = in.buttonRow;
        in.buttonCol = in.buttonRow = -1;
        if (TCellGraphic* g = GetCellGraphic(RealColIndex(bc), br)) g->CellBoolean = false;
        RepaintCell(bc, br);
        releaseMouse();
        if (OnButtonClick) OnButtonClick(this, RealColIndex(bc), br);
        TBaseGrid::MouseUp(TMouseButton::mbLeft, shift, x, y);
        return;
    }

    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (c >= 0 && r >= 0) {
        if (IsButtonCell(RealColIndex(c), r)) {
            TRect button;
            GetCellGraphicRect(c, r, button);
            if (button.Contains(TPoint(x, y))) return;
        }
    }

    // A release that ends a sizing (the sizing cursor shows from the press
    // at a border to the release) is no click and no sort.
    bool sizingEnded = fixedColSized || in.sizingCol >= 0 || in.sizingRow >= 0;
    if (c >= 0 && r >= 0 && r < FixedRows() && Options().Contains(TGridOption::goColSizing)) {
        const TRect cell = CellRect(c, r);
        sizingEnded = sizingEnded || x - cell.Left < kBorderMargin || cell.Right - x < kBorderMargin;
    }
    if (c >= 0 && r >= 0 && c < FixedCols() && Options().Contains(TGridOption::goRowSizing)) {
        const TRect cell = CellRect(c, r);
        sizingEnded = sizingEnded || y - cell.Top < kBorderMargin || cell.Bottom - y < kBorderMargin;
    }
    if (!sizingEnded) Click();

    if (in.oleDragArmed) {
        in.oleDragArmed = false;
        if (c >= 0 && r >= 0) {
            if (Options().Contains(TGridOption::goRowSelect))
                SetSelection(TGridRect(FixedCols(), r, ColCount() - 1, r));
            else
                FocusCell(c, r);
        }
    }

    const TGridRect sel = Selection();
    if (d->mouseActions.DisjunctRowSelect) {
        for (int row = std::max(sel.Top, FixedRows()); row <= sel.Bottom && row < RowCount(); ++row)
            SetRowSelect(row, true);
        if (in.unmarkRow >= 0 && in.unmarkRow < RowCount()) SetRowSelect(in.unmarkRow, false);
    }
    if (d->mouseActions.DisjunctColSelect) {
        for (int col = std::max(sel.Left, FixedCols()); col <= sel.Right && col < ColCount(); ++col)
            SetColSelect(col, true);
        if (in.unmarkCol >= 0 && in.unmarkCol < ColCount()) SetColSelect(in.unmarkCol, false);
    }
    in.unmarkRow = in.unmarkCol = -1;

    EndMoveMarks();
    DropSizingOutside(x, y);
    TBaseGrid::MouseUp(TMouseButton::mbLeft, shift, x, y);
    EndSizingAndCellMarks(shift, x, y);
    if (in.smartFill) {
        // The copied cells fill the selection the drag made. Swept above or
        // left of them, the series runs back from them instead: a paste at
        // the top-left would write over cells the user never swept.
        in.smartFill = false;
        const TGridRect source = in.smartFillSource;
        const TGridRect swept = Selection();
        if (swept.Top < source.Top || swept.Left < source.Left) {
            if (d->navigation.AllowSmartClipboard)
                SmartFill((source.Right - source.Left + 1) * (source.Bottom - source.Top + 1), source);
        } else {
            PasteSelectionFromClipboard();
        }
    }

    if (c >= 0 && r >= 0 && (c >= FixedCols() || d->sortSettings.FixedCols)) {
        const int rc = RealColIndex(c);
        bool state = false;
        if (IsCheckBoxCell(rc, r) && GetCheckBoxState(rc, r, state)) {
            if (OnCheckBoxMouseUp) OnCheckBoxMouseUp(this, rc, r, state);
        } else if (IsRadioButtonCell(rc, r)) {
            int index = -1;
            GetRadioIndex(rc, r, index);
            if (OnRadioMouseUp) OnRadioMouseUp(this, rc, r, index);
        }
    }

    if (in.dblClickSized) {
        in.dblClickSized = false;
        return;
    }

    // The sort click.
    if (c < 0 || r < 0 || sizingEnded) return;
    if (HasColumnFilter(RealColIndex(c)) && r == 0 && CellRect(c, r).Right - x <= 16) return;
    const TSortSettings& ss = d->sortSettings;
    if (r != ss.Row() || in.downRow != ss.Row() || FixedRows() <= 0 || !ss.Show || RowCount() <= 2) return;
    if (c < FixedCols() && !ss.FixedCols) return;
    bool doSort = true;
    if (OnCanSort) OnCanSort(this, RealColIndex(c), doSort);
    if (doSort) SortOnHeaderClick(RealColIndex(c), shift);
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
        if (x - cell.Left < kBorderMargin && c - 1 >= FixedCols())
            sized = c - 1;
        else if (cell.Right - x < kBorderMargin && c >= FixedCols())
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
