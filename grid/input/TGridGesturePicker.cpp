// What a left press starts, by the kind of the cell under the pointer and
// the pointer's place in it. Every step is tried in a fixed order; the
// first that takes the press starts its gesture and ends the picking. What
// no step takes goes to the grid's own handling.
#include "grid/input/Gestures_p.h"

#include "controls/HTMLDraw.h"
#include "controls/HTMLText.h"
#include "grid/cells/TCellGraphic.h"
#include "grid/text/CellLinks.h"
#include "grid/text/CellText.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/graphics/PainterCanvas.h"

#include <QImage>
#include <utility>

namespace {

// Only web and mail links leave the program; server text never names a
// local file or another scheme to open.
bool IsSafeLink(const QString& link)
{
    const QString l = link.trimmed().toLower();
    return l.startsWith(QLatin1String("http://")) || l.startsWith(QLatin1String("https://")) ||
        l.startsWith(QLatin1String("mailto:"));
}

} // namespace

template <class G, class... Args>
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::Start(Args&&... args)
{
    auto gesture = std::make_shared<G>(g, std::forward<Args>(args)...);
    gesture->unmarkRow = m_unmarkRow;
    gesture->unmarkCol = m_unmarkCol;
    // Running from here on: a handler the rest of the press fires meets it.
    g.d->input.gesture = gesture;
    return gesture;
}

void TExtStringGrid::Gestures::Picker::Pick()
{
    TGridInputState& in = g.d->input;
    if (const std::shared_ptr<TGridGesture> running = std::exchange(in.gesture, nullptr)) running->Cancel();
    in.buttonDown = true;
    // A node graphic may have been made one since the last count.
    g.RecountNodes();
    if (OnFillHandle() || OnFixedColBorder() || OutsideCells()) return;
    TakeBaseCell();
    static constexpr Step kCellSteps[] = {
        &Picker::OnNode, &Picker::OnRadio,  &Picker::ArmsDrag,   &Picker::OnButtonCell,    &Picker::DisjunctMarks,
        &Picker::OnLink, &Picker::OnHeader, &Picker::OnCheckBox, &Picker::DirectEditFocus, &Picker::OnFixedLookCell};
    for (const Step step : kCellSteps)
        if ((this->*step)()) return;
    GridPress();
}

// The selection resizer: the selection is copied for a smart fill, and the
// drag grows it from its top-left corner (the press opens no editor on the
// corner cell).
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnFillHandle()
{
    if (g.d->input.cursorState != 5) return nullptr;
    g.CopySelectionToClipboard();
    auto gesture = Start<FillHandle>(g.Selection());
    g.SetSelection(g.Selection());
    const TGridOptions options = g.Options();
    g.SetOptions(options - TGridOption::goEditing);
    g.TBaseGrid::MouseDown(TMouseButton::mbLeft, m_shift + TShiftStateItem::ssShift, m_x, m_y);
    g.SetOptions(options);
    return gesture;
}

std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnFixedColBorder()
{
    if (!g.d->input.overFixedColBorder) return nullptr;
    auto gesture = Start<FixedColSizing>(m_x);
    g.DrawSizingLine(m_x);
    return gesture;
}

std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OutsideCells()
{
    TGridInputState& in = g.d->input;
    g.MouseToCell(m_x, m_y, m_col, m_row);
    in.downCol = m_col;
    in.downRow = m_row;
    in.downPos = TPoint(m_x, m_y);
    if (m_col >= 0 && m_row >= 0) return nullptr;
    auto gesture = Start<Press>();
    g.HideEditor();
    g.TBaseGrid::MouseDown(TMouseButton::mbLeft, m_shift, m_x, m_y);
    return gesture;
}

// A merged cell answers by its base cell; a fixed cell closes the editor.
void TExtStringGrid::Gestures::Picker::TakeBaseCell()
{
    const TPoint base = g.BaseCellPoint(g.RealColIndex(m_col), m_row);
    m_realCol = base.X;
    m_row = base.Y;
    m_col = g.DisplColIndex(m_realCol);
    m_cellRect = g.GetCellRect(m_col, m_row);
    m_fixedArea = m_row < g.FixedRows() || m_col < g.FixedCols();
    m_fixed = m_fixedArea || g.IsFixed(m_col, m_row);
    if (m_fixed) g.HideEditor();
}

// Tree nodes toggle and set the row, nothing else; the node column is
// usually the fixed column 0, so only the row has to be a data row.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnNode()
{
    if (m_col != 0 || m_row < g.FixedRows() || !g.IsNodeRow(m_row)) return nullptr;
    auto gesture = Start<Press>();
    const int realRow = g.RealRowIndex(m_row);
    if (g.GetNodeState(m_row)) {
        g.ExpandNode(realRow);
        if (g.OnExpandNode) g.OnExpandNode(&g, m_row, realRow);
    } else {
        g.ContractNode(realRow);
        if (g.OnContractNode) g.OnContractNode(&g, m_row, realRow);
    }
    g.SetRow(m_row);
    return gesture;
}

// Radio groups; any other click in the node column of a tree goes no
// further.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnRadio()
{
    if (!m_fixed && g.IsRadioButtonCell(m_realCol, m_row) && g.IsEditableCell(m_realCol, m_row)) {
        auto gesture = Start<Press>();
        g.HideEditor();
        g.RadioClick(m_realCol, m_row, m_x - m_cellRect.Left, m_y - m_cellRect.Top);
        return gesture;
    }
    if (m_col == 0 && g.NodeCount() > 0) return Start<Press>();
    return nullptr;
}

// An OLE drag is armed on a selected cell; it starts on a later move.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::ArmsDrag()
{
    const TExtStringGridPrivate& d = *g.d;
    const bool selected = g.IsSelected(m_col, m_row) || (m_row < g.FixedRows() && !d.input.enhRowColMove);
    if (!selected || g.Options().Contains(TGridOption::goEditing) || !d.dragDropSettings.OleDropSource ||
        d.mouseActions.ColSelect || d.mouseActions.AllSelect)
        return nullptr;
    const bool nearBorder = g.Options().Contains(TGridOption::goColSizing) &&
        (m_x - m_cellRect.Left < kBorderMargin || m_cellRect.Right - m_x < kBorderMargin);
    if (nearBorder) return nullptr;
    auto gesture = Start<DragStart>();
    if (g.OnClickCell) g.OnClickCell(&g, m_row, m_col);
    return gesture;
}

// Button cells are pressed until the release.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnButtonCell()
{
    if (!g.IsButtonCell(m_realCol, m_row)) return nullptr;
    g.HideEditor();
    g.SetSelection(TGridRect(m_col, m_row, m_col, m_row));
    TRect button;
    g.GetCellGraphicRect(m_col, m_row, button);
    std::shared_ptr<TGridGesture> gesture;
    if (button.Contains(TPoint(m_x, m_y))) {
        if (TCellGraphic* graphic = g.GetCellGraphic(m_realCol, m_row)) graphic->CellBoolean = true;
        gesture = Start<ButtonCell>(m_col, m_row);
        g.grabMouse();
        g.RepaintCell(m_col, m_row);
    } else {
        gesture = Start<Press>();
    }
    if (g.OnClickCell) g.OnClickCell(&g, m_row, m_col);
    return gesture;
}

// Disjunct marks: a Ctrl-click on a marked row (column) unmarks it at the
// release; a click without Ctrl clears the marks. Takes no press.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::DisjunctMarks()
{
    if (m_fixedArea) return nullptr;
    const bool ctrl = m_shift.Contains(TShiftStateItem::ssCtrl);
    if (g.d->mouseActions.DisjunctRowSelect) {
        if (!ctrl)
            g.ClearRowSelect();
        else if (g.RowSelect(m_row))
            m_unmarkRow = m_row;
    }
    if (g.d->mouseActions.DisjunctColSelect) {
        if (!ctrl)
            g.ClearColSelect();
        else if (g.ColSelect(m_col))
            m_unmarkCol = m_col;
    }
    return nullptr;
}

// Anchors, URL texts and embedded controls.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnLink()
{
    const QString text = g.GetCellText(m_realCol, m_row);
    const bool html = GetTextKind(text, g.d->enableHTML) == tkHTML;
    LinkHit hit;
    if (!HitLink(text, html, hit)) return nullptr;
    if (!hit.id.isEmpty()) return ControlClick(text, hit);
    return AnchorClick(hit.anchor);
}

// A plain text that is a link is the link; an HTML text is hit-tested as it
// is drawn, past the cell's check box.
bool TExtStringGrid::Gestures::Picker::HitLink(const QString& text, bool html, LinkHit& hit)
{
    if (!html) {
        if (!g.d->urlShow || !IsURL(text)) return false;
        hit.anchor = text;
        return true;
    }
    const TExtStringGridPrivate& d = *g.d;
    TRect rect = m_cellRect;
    rect.Left += 1 + d.draw.marginX;
    rect.Top += 1 + d.draw.marginY;
    if (g.IsCheckBoxCell(m_realCol, m_row)) rect.Left += d.controlLook.CheckSize();
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    TBrush brush;
    TFont font = g.Font();
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    TGridDrawState state;
    bool reserved = false;
    g.PrepareCellCanvas(m_col, m_row, state, false, false, true, brush, font, ha, va, reserved);
    canvas.Font() = font;
    THTMLDrawOptions o;
    o.Images = d.gridImages.get();
    o.XPos = m_x;
    o.YPos = m_y;
    o.CheckHotSpot = true;
    o.WordWrap = !d.enhTextSize;
    o.PictureCache = d.draw.pictureCache.get();
    o.PictureContainer = d.pictureContainer;
    THTMLDrawResults res;
    if (!HTMLDraw(canvas, text, rect, o, res)) return false;
    hit.anchor = res.AnchorVal;
    hit.id = res.CID;
    hit.type = res.CT.toUpper();
    hit.value = res.CV;
    hit.rect = res.ControlRect;
    return true;
}

// An embedded control: the grid acts on it; its "ctrl" anchor is no link.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::ControlClick(const QString& text, LinkHit& hit)
{
    if (!g.d->input.ctrlType.isEmpty()) g.ControlEditDone();
    std::shared_ptr<TGridGesture> gesture;
    if (hit.type == QLatin1String("BUTTON")) {
        gesture = Start<HtmlButton>(m_col, m_row);
    } else {
        gesture = Start<Press>();
        if (hit.type == QLatin1String("CHECK")) {
            hit.value = hit.value.toUpper() == QLatin1String("TRUE") ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            QString html = text;
            SetControlValue(html, hit.id, hit.value);
            g.SetCellText(m_realCol, m_row, html);
        }
    }
    if (g.OnControlClick) g.OnControlClick(&g, m_row, m_col, hit.id, hit.type, hit.value);
    if (hit.type == QLatin1String("EDIT"))
        g.ShowControlEdit(m_col, m_row, hit.id, hit.value, hit.rect);
    else if (hit.type == QLatin1String("COMBO"))
        g.ShowControlCombo(m_col, m_row, hit.id, hit.value, hit.rect);
    return gesture;
}

// A plain anchor: the event may handle it; else a cell reference moves the
// current cell, and a web or mail link opens.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::AnchorClick(const QString& anchor)
{
    auto gesture = Start<Press>();
    bool autoHandle = true;
    if (g.OnAnchorClick) g.OnAnchorClick(&g, m_row, m_col, anchor, autoHandle);
    // The anchor of an embedded control is never a link.
    if (!autoHandle || anchor.isEmpty() || anchor == QLatin1String("ctrl")) return gesture;
    const int at = anchor.toUpper().indexOf(QLatin1String("CELL://"));
    if (at < 0) {
        if (IsSafeLink(anchor)) Dialogs::OpenLink(anchor.trimmed(), true);
        return gesture;
    }
    // The reference follows the marker; one outside the grid is ignored.
    TPoint cell;
    if (ParseRCReference(anchor.mid(at + 7), cell) && cell.X >= 0 && cell.X < g.ColCount() && cell.Y >= 0 &&
        cell.Y < g.RowCount()) {
        g.FocusCell(cell.X, cell.Y);
        g.ScrollInView(cell.X, cell.Y);
    }
    return gesture;
}

// Whole rows, columns or the grid from the headers.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnHeader()
{
    const TExtStringGridPrivate& d = *g.d;
    const int state = d.input.cursorState;
    if (!g.Options().Contains(TGridOption::goRangeSelect)) return nullptr;
    if (state == 3 && d.mouseActions.AllSelect) {
        auto gesture = Start<Press>();
        g.SetFocus();
        g.SetSelection(TGridRect(g.FixedCols(), g.FixedRows(), g.ColCount() - 1, g.RowCount() - 1));
        g.TBaseGrid::MouseDown(TMouseButton::mbLeft, m_shift, m_x, m_y);
        return gesture;
    }
    std::shared_ptr<TGridGesture> gesture;
    if (state == 2 && d.mouseActions.RowSelect) {
        gesture = Start<HeaderSelect>(true, m_row);
        g.SetSelection(TGridRect(g.FixedCols(), m_row, g.ColCount() - 1, m_row));
    } else if (state == 1 && d.mouseActions.ColSelect) {
        gesture = Start<HeaderSelect>(false, m_col);
        g.SetSelection(TGridRect(m_col, g.FixedRows(), m_col, g.RowCount() - 1));
    }
    if (gesture && d.activeCellShow) g.InvalidateGrid();
    return gesture;
}

// Check boxes; the editing hook has the last word: it may also let a
// read-only grid's box be clicked.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnCheckBox()
{
    m_canEdit = g.Options().Contains(TGridOption::goEditing) || g.d->mouseActions.RangeSelectAndEdit;
    g.CanEditCell(m_realCol, m_row, m_canEdit);
    if (m_fixed || !m_canEdit || !g.IsCheckBoxCell(m_realCol, m_row)) return nullptr;
    auto gesture = Start<Press>();
    g.HideEditor();
    g.SetFocus();
    g.ToggleCheckBox(m_realCol, m_row, true);
    bool state = false;
    g.GetCheckBoxState(m_realCol, m_row, state);
    if (g.OnCheckBoxClick) g.OnCheckBoxClick(&g, m_col, m_row, state);
    if (!g.d->navigation.AlwaysEdit) g.FocusCell(m_col, m_row);
    if (g.d->hideFocusRect) g.RepaintCell(m_col, m_row);
    g.Click();
    return gesture;
}

// DirectEdit on an editable cell: the grid takes the focus and closes an
// open editor. Takes no press.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::DirectEditFocus()
{
    if (g.d->mouseActions.DirectEdit && !m_fixed && g.IsEditableCell(m_realCol, m_row)) {
        g.SetFocus();
        g.HideEditor();
    }
    return nullptr;
}

// A cell the grid declares fixed outside the fixed rows and columns is
// clicked, nothing else.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::OnFixedLookCell()
{
    if (m_fixedArea || !m_fixed) return nullptr;
    auto gesture = Start<Press>();
    if (g.OnClickCell) g.OnClickCell(&g, m_row, m_col);
    return gesture;
}

// The grid's own press: the current cell, a range selection, or a sizing
// or move its event let start.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::GridPress()
{
    TExtStringGridPrivate& d = *g.d;
    const bool inSelection = g.Selection().Contains(m_col, m_row);
    const int left = g.LeftCol();
    // The partly visible column or row just past the view.
    const bool pastView = m_col == g.LeftCol() + g.VisibleColCount() || m_row == g.TopRow() + g.VisibleRowCount();
    const bool alwaysEdit = d.navigation.AlwaysEdit;
    d.navigation.AlwaysEdit = false;
    std::shared_ptr<TGridGesture> gesture = VetoSizing();
    const bool sizing = gesture != nullptr;
    if (!sizing) gesture = Start<Press>();
    if (VetoMove()) {
        const TGridOptions options = g.Options();
        g.SetOptions(options - TGridOption::goColSizing - TGridOption::goRowSizing - TGridOption::goColMoving -
                     TGridOption::goRowMoving);
        g.TBaseGrid::MouseDown(TMouseButton::mbLeft, m_shift, m_x, m_y);
        g.SetOptions(options);
    } else {
        g.TBaseGrid::MouseDown(TMouseButton::mbLeft, m_shift, m_x, m_y);
    }
    if (!sizing && (g.MovingCol() >= 0 || g.MovingRow() >= 0)) gesture = Start<RowColMove>();
    d.navigation.AlwaysEdit = alwaysEdit;
    // Clicked there, the view scrolls under the pointer; without the
    // range selection going on, that scroll selects no further.
    if (pastView && d.mouseActions.NoAutoRangeScroll && g.Selecting()) g.EndSelecting();
    if (g.Options().Contains(TGridOption::goRowSelect) && d.navigation.KeepHorizScroll) g.SetLeftCol(left);
    AfterGridPress(inSelection);
    return gesture;
}

// A press at a sizing border asks the sizing events first; a refusal keeps
// the column (row) as it is. The sizing that may start is the gesture.
std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::VetoSizing()
{
    int c = -1, r = -1;
    if (g.Options().Contains(TGridOption::goColSizing)) {
        g.MouseToCell(m_x - 6, m_y, c, r);
        if (r == 0 && c >= 0 && c < g.ColCount() && std::abs(m_x - g.CellBounds(c, r).Right) <= kBorderMargin)
            return AskSizing(true, c);
    }
    if (g.Options().Contains(TGridOption::goRowSizing)) {
        g.MouseToCell(m_x, m_y - 6, c, r);
        if (c == 0 && r >= 0 && r < g.RowCount() && std::abs(m_y - g.CellBounds(c, r).Bottom) <= kBorderMargin)
            return AskSizing(false, r);
    }
    return nullptr;
}

std::shared_ptr<TGridGesture> TExtStringGrid::Gestures::Picker::AskSizing(bool column, int index)
{
    bool allow = true;
    if (column && g.OnColumnSize) g.OnColumnSize(&g, index, allow);
    if (!column && g.OnRowSize) g.OnRowSize(&g, index, allow);
    m_vetoed = !allow;
    if (!allow) return nullptr;
    m_sizing = column ? 1 : 2;
    return Start<Sizing>(column, index, column ? g.ColWidths(index) : g.RowHeights(index));
}

// A move of a column (row) by its header asks first as well; true when
// refused.
bool TExtStringGrid::Gestures::Picker::VetoMove()
{
    if (m_vetoed) return true;
    int c = -1, r = -1;
    g.MouseToCell(m_x, m_y, c, r);
    bool allow = true;
    if (c >= g.FixedCols() && r >= 0 && r < g.FixedRows() && g.Options().Contains(TGridOption::goColMoving) &&
        m_sizing != 1) {
        if (g.OnColumnMove) g.OnColumnMove(&g, c, allow);
        if (!allow) return true;
    }
    if (r >= g.FixedRows() && c >= 0 && c < g.FixedCols() && g.Options().Contains(TGridOption::goRowMoving) &&
        m_sizing != 2) {
        if (g.OnRowMove) g.OnRowMove(&g, r, allow);
        if (!allow) return true;
    }
    return false;
}

// After the grid's press: the click event, a merged cell selected whole, and
// the editor opened at once with DirectEdit.
void TExtStringGrid::Gestures::Picker::AfterGridPress(bool inSelection)
{
    if (g.OnClickCell) g.OnClickCell(&g, m_row, m_col);
    const bool check = g.IsCheckCell(m_realCol, m_row);
    if (!m_fixed && g.IsMergedCell(m_realCol, m_row)) {
        const TPoint span = g.GetCellSpan(m_realCol, m_row);
        g.SetSelection(TGridRect(m_col, m_row, m_col + span.X, m_row + span.Y));
        if (inSelection && m_canEdit && !check) g.ShowEditor();
    }
    if (g.d->mouseActions.DirectEdit && m_canEdit && !m_fixed && !check && m_x - m_cellRect.Left >= kBorderMargin &&
        m_cellRect.Right - m_x >= kBorderMargin)
        g.ShowEditor();
}
