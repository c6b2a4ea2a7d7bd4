#pragma once
// State of scrolling and stretching.

#include "grid/GridSettings.h"

#include <QPointer>
#include <QWidget>

struct TGridScrollState {
    bool integralHeight = false;
    // Cleared while StretchColumn sets widths.
    bool stretchGuard = true;
    // SizeWithForm: the form followed and its size last seen.
    bool sizeWithForm = false;
    QPointer<QWidget> form;
    int formWidth = 0;
    int formHeight = 0;
    // Which scroll bars show the row (column) hint while their thumb is
    // dragged, and whether that hint is on screen.
    TScrollHintType scrollHints = shNone;
    // The view follows a dragged thumb.
    bool scrollSynch = false;
    bool hintShown = false;
    // The top-left the controls placed in cells were last laid out for
    // (-1: the first scrolling column and row).
    int lastLeft = -1;
    int lastTop = -1;
};
