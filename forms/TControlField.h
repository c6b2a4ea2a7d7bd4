#pragma once
// The edits and drop-down lists of a form as the text fields a connection is
// bound to. Each adapter is a child of its control and goes with it.

#include "protocol/TTextField.h"

#include <QPointer>

class TCustomComboBox;
class TCustomEdit;

class TEditField : public TTextField {
public:
    explicit TEditField(TCustomEdit* edit);
    QString Text() const override;
    void SetText(const QString& text) override;

private:
    QPointer<TCustomEdit> m_edit;
};

class TComboField : public TTextField {
public:
    explicit TComboField(TCustomComboBox* combo);
    QString Text() const override;
    // A list selects the item of that text (none when there is none).
    void SetText(const QString& text) override;

private:
    QPointer<TCustomComboBox> m_combo;
};
