#pragma once
// The enumerations and small sets of the string grid's cells and looks.

#include "platform/grids/GridTypes.h"
#include "platform/widgets/CustomEdit.h"

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
enum TGridLook { glStandard, glSoft, glClassic, glDUV };
enum TControlStyle { csClassic, csFlat, csWinXP, csBrevon, csDUV, csGlyph, csTheme };
enum TEditorType {
    edNormal,
    edSpinEdit,
    edComboEdit,
    edComboList,
    edEditBtn,
    edCheckBox,
    edDateEdit,
    edDateEditUpDown,
    edTimeEdit,
    edButton,
    edDataCheckBox,
    edNumeric,
    edPositiveNumeric,
    edFloat,
    edCapital,
    edMixedCase,
    edPassword,
    edUnitEditBtn,
    edLowerCase,
    edUpperCase,
    edFloatSpinEdit,
    edTimeSpinEdit,
    edDateSpinEdit,
    edNumericEditBtn,
    edFloatEditBtn,
    edCustom,
    edRichEdit,
    edUniEdit,
    edUniComboEdit,
    edUniComboList,
    edUniEditBtn,
    edUniMemo,
    edDateTimeEdit,
    edCount // the number of editor types; no cell has it
};
enum TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
using TCellBorders = TSet<TCellBorder>;
