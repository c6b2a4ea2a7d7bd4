#include "controls/ButtonHolder.h"

TButtonHolder::TButtonHolder(QWidget* parent, const QString& name) : TWinControlOf<QWidget>(parent, name, clBtnFace)
{
    SetClickFocus(false);
    SetTabStop(false);
    setCursor(Qt::ArrowCursor);
}

void TButtonHolder::SetBounds(int left, int top, int width, int height)
{
    int w = width, h = height;
    AdjustSize(w, h);
    TWinControlOf<QWidget>::SetBounds(left, top, w, h);
}

void TButtonHolder::Resize()
{
    int w = Width(), h = Height();
    AdjustSize(w, h);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
}

void TButtonHolder::PlaceInEdit(const TWinControl& edit)
{
    const int w = Width();
    if (edit.Ctl3D()) {
        const int d = edit.BorderStyle() == TBorderStyle::bsNone ? 1 : 5;
        edit.PlaceChild(this, Bounds(edit.Width() - w - d, 0, w, edit.Height() - d));
    } else {
        edit.PlaceChild(this, Bounds(edit.Width() - w, 1, w, edit.Height() - 3));
    }
}

void TButtonHolder::PassFocus()
{
    QWidget* fc = FocusControl();
    TWinControl* control = TWinControl::Of(fc);
    if (fc && (!control || control->TabStop()) && fc->isEnabled() && fc->isVisibleTo(fc->window()) && !fc->hasFocus()) {
        fc->setFocus(Qt::MouseFocusReason);
        return;
    }
    if (TabStop() && !Focused() && CanFocus()) SetFocus();
}
