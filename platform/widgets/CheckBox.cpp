#include "platform/widgets/CheckBox.h"

TCheckBox::TCheckBox(QWidget* parent, const QString& name) : TWinControlOf<QCheckBox>(parent, name)
{
    // OnClick follows the state, not the press and release.
    SetClickEvents(false);
    QObject::connect(this, &QCheckBox::stateChanged, this, [this] {
        if (OnClick) OnClick(this);
    });
}

TCheckBox::~TCheckBox() = default;

TCheckBoxState TCheckBox::State() const
{
    switch (checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState value)
{
    if (value == cbGrayed) setTristate(true);
    setCheckState(value == cbChecked ? Qt::Checked : value == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

void TCheckBox::Toggle()
{
    SetState(State() == cbChecked ? cbUnchecked : cbChecked);
}
