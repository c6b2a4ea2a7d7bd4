#pragma once
// What the button holders at the right edge of an edit share (the
// edit-with-button's holder and the spin button pair): a control that takes
// no focus from a click and is no tab stop, lays its buttons out through
// AdjustSize whenever its size is set or changes, sits at the right edge of
// its edit, and hands the focus to its FocusControl (the edit) when a button
// is pressed.

#include "platform/widgets/WinControl.h"

class TButtonHolder : public TWinControlOf<QWidget> {
public:
    void SetBounds(int left, int top, int width, int height) override;
    // Places the holder at the right edge of edit, its parent: inside a 3-D
    // border, over a flat one.
    void PlaceInEdit(const TWinControl& edit);

protected:
    TButtonHolder(QWidget* parent, const QString& name);

    // Corrects a size asked for and lays the buttons out in it.
    virtual void AdjustSize(int& width, int& height) = 0;
    // After a press: the focus goes to FocusControl when that can take it,
    // else to the holder when it is a tab stop.
    void PassFocus();

    void Resize() override;
};
