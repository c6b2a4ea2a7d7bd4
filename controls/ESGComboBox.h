#pragma once
// The grid's combo box (combo-edit and combo-list cells build on it).

#include "controls/ESGCustomCombo.h"

class TESGComboBox : public TESGCustomCombo {
public:
    explicit TESGComboBox(QWidget* parent, const QString& name = QString()) : TESGCustomCombo(parent, name) { }
};
