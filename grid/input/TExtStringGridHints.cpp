// Cell hints on hover: the text of a cell (all of them, or those that do not
// fit), the anchor under the pointer in an HTML cell, or what OnGridHint
// says, shown by the grid's HTML hint window at the cell. The grid's event
// entry lives here too.
#include "grid/TExtStringGrid.h"

#include "controls/HTMLDraw.h"
#include "controls/HTMLText.h"
#include "grid/THTMLHintWindow.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/text/CellText.h"
#include "platform/graphics/PainterCanvas.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QImage>

bool TExtStringGrid::HintShowCells() const { return d->input.hintShowCells; }
void TExtStringGrid::SetHintShowCells(bool value) { d->input.hintShowCells = value; }
bool TExtStringGrid::HintShowLargeText() const { return d->input.hintShowLargeText; }
void TExtStringGrid::SetHintShowLargeText(bool value) { d->input.hintShowLargeText = value; }
bool TExtStringGrid::HTMLHint() const { return d->input.htmlHint; }
void TExtStringGrid::SetHTMLHint(bool value) { d->input.htmlHint = value; }
bool TExtStringGrid::AnchorHint() const { return d->input.anchorHint; }
void TExtStringGrid::SetAnchorHint(bool value) { d->input.anchorHint = value; }
TPoint TExtStringGrid::HoverCell() const { return d->input.hoverCell; }

QString TExtStringGrid::AnchorAt(int col, int row, int x, int y)
{
    const int rc = RealColIndex(col);
    if (rc < 0 || row < 0 || row >= RowCount()) return QString();
    const QString text = GetCellText(rc, row);
    if (GetTextKind(text, d->enableHTML) != tkHTML) return QString();
    TRect rect = GetCellRect(col, row);
    rect.Left += 1 + d->draw.marginX;
    rect.Top += 1 + d->draw.marginY;
    if (IsCheckBoxCell(rc, row)) rect.Left += d->controlLook.CheckSize();
    QImage image(1, 1, QImage::Format_RGB32);
    TPainterCanvas canvas(&image);
    canvas.Font() = Font();
    THTMLDrawOptions o;
    o.XPos = x;
    o.YPos = y;
    o.CheckHotSpot = true;
    o.Images = d->gridImages.get();
    o.PictureCache = d->draw.pictureCache.get();
    o.PictureContainer = d->pictureContainer;
    THTMLDrawResults res;
    return HTMLDraw(canvas, text, rect, o, res) ? res.AnchorVal : QString();
}

QString TExtStringGrid::CellHintAt(int x, int y)
{
    TGridInputState& in = d->input;
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    in.hoverCell = TPoint(c, r);
    const int rc = c >= 0 ? RealColIndex(c) : -1;
    if (rc < 0 || r < 0 || r >= RowCount()) return QString();
    QString hint;
    const QString text = GetCellText(rc, r);
    const bool html = GetTextKind(text, d->enableHTML) == tkHTML;
    if (html && in.anchorHint) {
        hint = AnchorAt(c, r, x, y);
        if (!hint.isEmpty() && OnAnchorHint) OnAnchorHint(this, r, c, hint);
    }
    const bool normal = c >= FixedCols() && r >= FixedRows() && !IsFixed(c, r);
    if (hint.isEmpty() && normal && (in.hintShowCells || in.hintShowLargeText) && !text.isEmpty()) {
        QString shown;
        GetCellDisplayText(rc, r, shown);
        const QString plain = HTMLStrip(shown);
        bool show = in.hintShowCells;
        if (!show) {
            // Large text: the text as drawn, margins included, is wider or
            // taller than the cell.
            const TRect cell = GetCellRect(c, r);
            TSize size{0, 0};
            GetCellTextSize(c, r, size, false);
            show = size.cx > cell.Width() || size.cy > cell.Height();
        }
        if (show) hint = in.htmlHint ? shown : plain;
    }
    GetCellHint(rc, r, hint);
    return hint;
}

bool TExtStringGrid::ShowCellHint(int x, int y)
{
    const QString hint = CellHintAt(x, y);
    if (hint.isEmpty()) {
        HideCellHint();
        return false;
    }
    THTMLHintWindow* window = HintWindow();
    window->SetColor(d->hintColor);
    window->Font() = Font();
    const TPoint cell = d->input.hoverCell;
    const TRect r = GetCellRect(cell.X, cell.Y);
    const QPoint at = mapToGlobal(ClientOrigin() + QPoint(r.Left, r.Bottom));
    window->ActivateHint(TRect(at.x(), at.y(), at.x(), at.y()), hint);
    return true;
}

void TExtStringGrid::HideCellHint()
{
    if (d->footer.hint && d->footer.hint->isVisible() && d->input.sizeHint.isEmpty()) d->footer.hint->hide();
}

bool TExtStringGrid::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        // Cell hints are off while panning.
        const QPoint p = static_cast<QHelpEvent*>(e)->pos() - ClientOrigin();
        if (d->input.panning || !ShowCellHint(p.x(), p.y())) e->ignore();
        return true;
    }
    if (e->type() == QEvent::ShortcutOverride) {
        // A character typed into the grid is the grid's: it triggers no
        // shortcut of the form unless Alt is held.
        auto* key = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = key->modifiers();
        const QString text = key->text();
        if (!(mods & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) && !text.isEmpty() &&
            text.at(0).isPrint()) {
            e->accept();
            return true;
        }
    }
    if (e->type() == QEvent::CursorChange && d && !d->input.settingCursor) {
        // A cursor given from outside becomes the grid's own: the one its
        // link and header cursors give way to again.
        d->input.hasOwnCursor = testAttribute(Qt::WA_SetCursor);
        d->input.ownCursor = cursor();
        d->input.cursorState = 0;
    }
    if (e->type() == QEvent::ParentChange && d->scroll.sizeWithForm) WatchForm();
    if (e->type() == QEvent::Show && !d->windowCreated) CreateWnd();
    return TBaseGrid::event(e);
}
