#include "controls/EsgSpinButton.h"

TEsgSpinButton::TEsgSpinButton(QWidget* parent, const QString& name) : TExtSpinButton(parent, name)
{
    LoadDefaultGlyphs();
    SetButtonStyleFlag(false);
}

QString TEsgSpinButton::DefaultGlyphName(bool up) const
{
    return up ? QStringLiteral("EsgSpinUp") : QStringLiteral("EsgSpinDown");
}

void TEsgSpinButton::SetButtonStyleFlag(bool value)
{
    m_styleFlag = value;
    UpButton()->SetButtonStyleFlag(value);
    DownButton()->SetButtonStyleFlag(value);
}
