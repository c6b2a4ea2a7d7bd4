#pragma once
// State of the keyboard and mouse handling.

#include "platform/graphics/Geometry.h"
#include "grid/GridSettings.h"
#include "platform/grids/GridTypes.h"

#include <QCursor>
#include <QString>
#include <set>
#include <utility>

class QLabel;
class QTimer;
class TArrowWindow;
class TCustomEdit;
class TCustomComboBox;

struct TGridInputState {
    // ----- The press in progress
    int downCol = -1; // cell under the last button-down (-1: outside)
    int downRow = -1;
    TPoint downPos;
    TPoint cellOffset;  // pointer inside that cell
    int buttonCol = -1; // pressed button cell
    int buttonRow = -1;
    int htmlButtonCol = -1; // pressed embedded "BUTTON"
    int htmlButtonRow = -1;
    int selectAnchor = -1; // row or column selection from a header
    bool buttonDown = false;
    bool oleDragArmed = false;
    bool dblClickSized = false; // suppresses the next sort click
    int unmarkRow = -1;         // Ctrl-click on a marked row: unmark at release
    int unmarkCol = -1;
    bool marksCleared = false;
    bool smartFill = false;
    TGridRect smartFillSource; // the selection the resizer was taken from
    // The fixed column sized by dragging its border over the body rows
    // (MouseActions.SizeFixedCol): the pointer is at that border; a drag
    // runs, with the x of its sizing line.
    bool overFixedColBorder = false;
    bool fixedColSizing = false;
    int fixedColX = 0;
    // 0 none, 1 column header, 2 row header, 3 top-left corner, 5 resizer.
    int cursorState = 0;
    // The cursor given to the grid from outside (none: the default), which
    // the grid's own cursors (links, header states, panning) stand in for
    // while they show; settingCursor marks a change the grid makes itself.
    QCursor ownCursor;
    bool hasOwnCursor = false;
    bool settingCursor = false;
    int sizingCol = -1; // column (row) being sized by the mouse, its size at the press
    int sizingWidth = 0;
    int sizingRow = -1;
    int sizingHeight = 0;
    // A sizing by the mouse whose end-of-sizing steps have not run yet.
    bool sizingPending = false;
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

    // ----- An enhanced row or column move: the arrows at the gap (0 up,
    // below the header; 1 down, above it; 2 right, left of the row; 3 left,
    // right of it), the floating image of what moves (children of the
    // grid) and the cell under the pointer.
    TArrowWindow* moveArrows[4] = {nullptr, nullptr, nullptr, nullptr};
    QLabel* moveImage = nullptr;
    int moveTargetCol = -1;
    int moveTargetRow = -1;

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
