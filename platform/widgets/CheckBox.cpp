#include "platform/widgets/CheckBox.h"

#include "platform/kernel/Application.h"

TCheckBox::TCheckBox(QWidget* parent, const QString& name) : TWinControlOf<QCheckBox>(parent, name)
{
    // OnClick follows the state, not the press and release.
    SetClickEvents(false);
    QObject::connect(this, &QCheckBox::stateChanged, this, [this] {
        if (OnClick) GuardedCall(this, [this] { OnClick(this); });
    });
}

TCheckBox::~TCheckBox() = default;

TCheckBoxState TCheckBox::State() const
{
    switch (checkState()) {
    case Qt::Checked: return TCheckBoxState::cbChecked;
    case Qt::PartiallyChecked: return TCheckBoxState::cbGrayed;
    default: return TCheckBoxState::cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState value)
{
    if (value == TCheckBoxState::cbGrayed) setTristate(true);
    setCheckState(value == TCheckBoxState::cbChecked      ? Qt::Checked
                      : value == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                          : Qt::Unchecked);
}

void TCheckBox::Toggle()
{
    SetState(State() == TCheckBoxState::cbChecked ? TCheckBoxState::cbUnchecked : TCheckBoxState::cbChecked);
}
