#pragma once
// The class library's check box: a caption beside a box that is unchecked,
// checked or greyed. A click or Space flips it between unchecked and
// checked and fires OnClick; setting Checked or State from code fires
// OnClick only when the state changes.

#include "platform/widgets/WinControl.h"

#include <QCheckBox>

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControlOf<QCheckBox> {
public:
    explicit TCheckBox(QWidget* parent, const QString& name = QString());
    ~TCheckBox() override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& value) { setText(value); }
    bool Checked() const { return State() == TCheckBoxState::cbChecked; }
    void SetChecked(bool value) { SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const;
    void SetState(TCheckBoxState value);
    // Unchecked and greyed become checked, checked becomes unchecked.
    void Toggle();
};
