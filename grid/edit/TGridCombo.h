#pragma once
// The grid's combo editor of edComboEdit and edComboList cells (see
// TGridComboEditor.h).

#include "controls/ESGComboBox.h"
#include "grid/edit/TGridComboEditor.h"

extern template class TGridComboEditor<TESGComboBox>;

class TGridCombo : public TGridComboEditor<TESGComboBox> {
public:
    explicit TGridCombo(TExtStringGrid* grid) : TGridComboEditor(grid, QStringLiteral("GridCombo")) { }
};
