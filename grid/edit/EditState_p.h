#pragma once
// State of the editor host: the text editor, the in-place controls and the
// edit in progress.

#include "grid/cells/CellTypes.h"
#include "platform/kernel/VirtualKeys.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class TExtInplaceEdit;
class TGridCombo;
class TGridSpin;
class TGridUniEdit;
class TGridUniCombo;
class TGridCheckBox;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridDatePicker;
class TGridButton;
class TExtRichEdit;
class TEditLink;
class TExtStringGridCheck;

// The editor types the text editor edits; every other type edits with a
// control of its own (the special editors).
inline bool IsTextEditorType(TEditorType t)
{
    switch (t) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase: return true;
    default: return false;
    }
}

struct TGridEditState {
    bool editorShown = false; // the in-place editor is shown (frame round the cell)

    // ----- The edit in progress
    TEditorType editorType = edNormal; // the editor chosen for the cell
    bool editInProgress = false;
    bool editorOpened = false;
    bool textEditPending = false;    // the text editor is shown: leaving validates
    bool validationLock = false;     // validation running
    bool closing = false;            // a control is being stored (its exit comes back)
    bool cancelled = false;          // Esc ended the edit: nothing is stored
    TKeyChar pendingStartKey = 0;    // the character that started the edit
    QString savedCellText;           // the current cell's text when it was selected
    bool editingSwitchedOff = false; // TGridOption::goEditing removed for a read-only cell
    // What the shown control held when it was laid over the cell; a control
    // still holding it stores nothing back.
    QString shownValue;
    // The cell validation compares with: the cell and its text when the
    // edit began.
    int editCol = -1;
    int editRow = -1;
    QString editStartText;
    bool advancing = false; // AdvanceToNextCell moves the current cell
    // A control (not the text editor) is open over the cell: the grid
    // closes it, storing its value, when it scrolls or takes the focus.
    bool SpecialEditorOpen() const { return editInProgress && !IsTextEditorType(editorType); }
    // A click that may open an editor with MouseActions.CaretPositioning:
    // the editor that opens puts its caret under it (grid client
    // coordinates) and takes it; it is forgotten when the click is done.
    bool clickPending = false;
    QPoint clickPos;

    // ----- Settings of the editors
    bool lookup = false;
    bool lookupCaseSensitive = false;
    bool lookupHistory = false;
    QStringList lookupItems;
    int maxEditLength = 0;
    bool excelStyleDecimalSeparator = false;
    QChar passwordChar = QLatin1Char('*');
    int wideEditOffsetX = 2;
    int wideEditOffsetY = 2;
    QPointer<TExtStringGridCheck> cellChecker;

    // ----- The controls, children of the grid (the grid frees them)
    TGridCombo* combo = nullptr;
    TGridSpin* spin = nullptr;
    TGridUniEdit* uniEdit = nullptr;
    TGridUniCombo* uniCombo = nullptr;
    TGridCheckBox* checkBox = nullptr;
    TGridEditBtn* editBtn = nullptr;
    TGridUnitEditBtn* unitEditBtn = nullptr;
    TGridDatePicker* datePicker = nullptr;
    TGridButton* button = nullptr;
    TExtRichEdit* richEdit = nullptr;
    // The custom editor (not owned; forgotten when it goes). The column
    // grid sets it from the cell's column.
    QPointer<TEditLink> editLink;
};
