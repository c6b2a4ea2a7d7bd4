#pragma once
// State of the keyboard and mouse handling.

#include "platform/graphics/Geometry.h"
#include "grid/GridSettings.h"
#include "platform/grids/GridTypes.h"
#include "grid/input/TGridGesture_p.h"

#include <QCursor>
#include <QString>
#include <memory>
#include <set>
#include <utility>

class QLabel;
class QTimer;
class TArrowWindow;
class TCustomEdit;
class TCustomComboBox;

struct TGridInputState {
    // ----- The press in progress
    // The gesture the last left press started, until its release; shared
    // so that a gesture outlives a press its own handlers let through.
    std::shared_ptr<TGridGesture> gesture;
    bool buttonDown = false; // from the press to the start of its release (a move's: its end)
    int downCol = -1;        // cell under the last button-down (-1: outside)
    int downRow = -1;
    TPoint downPos;
    bool dblClickSized = false; // suppresses the next sort click

    // ----- The pointer without a button: what a press there would start.
    // The pointer is at the border of the fixed column, which it sizes
    // over the body rows (MouseActions.SizeFixedCol).
    bool overFixedColBorder = false;
    // 0 none, 1 column header, 2 row header, 3 top-left corner, 5 resizer.
    int cursorState = 0;
    // The cursor given to the grid from outside (none: the default), which
    // the grid's own cursors (links, header states, panning) stand in for
    // while they show; settingCursor marks a change the grid makes itself.
    QCursor ownCursor;
    bool hasOwnCursor = false;
    bool settingCursor = false;
    QString sizeHint; // "cw=<b>..</b>" while sizing
    bool hintShowSizing = false;
    QString anchor; // the anchor under the pointer
    bool hintShowCells = false;
    bool hintShowLargeText = false;
    bool htmlHint = false;
    bool anchorHint = false;
    TPoint hoverCell{-1, -1}; // the cell whose hint may show
    // Cells picked one by one (column, row), each once.
    std::set<std::pair<int, int>> disjunctCells;

    // ----- The marks of an enhanced row or column move, made once and
    // shown while one runs: the arrows at the gap (0 up, below the header;
    // 1 down, above it; 2 right, left of the row; 3 left, right of it) and
    // the floating image of what moves (children of the grid).
    TArrowWindow* moveArrows[4] = {nullptr, nullptr, nullptr, nullptr};
    QLabel* moveImage = nullptr;

    // ----- The embedded control being edited
    int ctrlCol = -1;
    int ctrlRow = -1;
    QString ctrlID;
    QString ctrlType;                   // "EDIT", "COMBO" or empty
    unsigned ctrlSerial = 0;            // counts the embedded controls shown
    TCustomEdit* controlEdit = nullptr; // child of the grid
    TCustomComboBox* controlCombo = nullptr;

    // ----- Keyboard
    TGridRect keySelection;
    bool keypadDecimal = false; // the key down is the keypad's decimal key
    QString autoGotoText;

    // ----- Settings of the input
    bool urlEdit = false;
    bool enhRowColMove = true;
    qint64 sortTime = 0;
    bool hovering = false;
    bool enableBlink = false;
    QTimer* timer = nullptr; // child of the grid, made when first needed
    int lastWidth = 0;       // for column widths following the width
    TIntelliPan intelliPan = ipVertical;
    bool panning = false;
    TPoint panOrigin;
    QTimer* panTimer = nullptr; // child of the grid
};
