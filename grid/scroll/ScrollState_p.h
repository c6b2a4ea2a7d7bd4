#pragma once
// State of scrolling and stretching.

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
};
