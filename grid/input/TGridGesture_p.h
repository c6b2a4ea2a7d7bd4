#pragma once
// One gesture of the mouse: what a left press started. It takes the moves
// made with the button held and the release, and ends with the release.

#include "platform/kernel/VirtualKeys.h"

class QCursor;

class TGridGesture {
public:
    virtual ~TGridGesture() = default;
    // A move with the button held (client coordinates).
    virtual void Move(TShiftState shift, int x, int y) = 0;
    // The left button comes up: the gesture's last step.
    virtual void Release(TShiftState shift, int x, int y) = 0;
    // A new press replaces the gesture before its release: what it holds
    // lets go, and nothing of its release runs.
    virtual void Cancel() { }
    // The grid lost the focus while the button was held: what the gesture
    // holds pressed comes up; the release still follows.
    virtual void FocusLost() { }
    // The cursor the gesture shows after a move; none leaves the cursor as
    // it is.
    virtual const QCursor* Cursor() const { return nullptr; }
    // The grid set a column width (row height) while the gesture ran.
    virtual void ColWidthsChanged() { }
    virtual void RowHeightsChanged() { }
    // Where the row or column the gesture moves would go; -1: it moves none.
    virtual int TargetCol() const { return -1; }
    virtual int TargetRow() const { return -1; }
};
