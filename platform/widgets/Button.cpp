#include "platform/widgets/Button.h"

TButton::TButton(QWidget* parent, const QString& name) : TWinControlOf<QPushButton>(parent, name)
{
    setAutoDefault(false);
}

TButton::~TButton() = default;
