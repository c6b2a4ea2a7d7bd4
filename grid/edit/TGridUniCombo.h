#pragma once
// The grid's wide-text combo editor of edUniComboEdit and edUniComboList
// cells (see TGridComboEditor.h).

#include "controls/ESGUniComboBox.h"
#include "grid/edit/TGridComboEditor.h"

extern template class TGridComboEditor<TESGUniComboBox>;

class TGridUniCombo : public TGridComboEditor<TESGUniComboBox> {
public:
    explicit TGridUniCombo(TExtStringGrid* grid) : TGridComboEditor(grid, QStringLiteral("GridUniCombo")) { }
};
