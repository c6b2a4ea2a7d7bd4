#include "forms/TControlField.h"

#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"

TEditField::TEditField(TCustomEdit* edit) : TTextField(edit), m_edit(edit) { }

QString TEditField::Text() const { return m_edit ? m_edit->Text() : QString(); }

void TEditField::SetText(const QString& text)
{
    if (m_edit) m_edit->SetText(text);
}

TComboField::TComboField(TCustomComboBox* combo) : TTextField(combo), m_combo(combo) { }

QString TComboField::Text() const { return m_combo ? m_combo->Text() : QString(); }

void TComboField::SetText(const QString& text)
{
    if (m_combo) m_combo->SetText(text);
}
