#include "platform/graphics/Graphic.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QFile>

TGraphic::~TGraphic() = default;

void TGraphic::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(Format(QStringLiteral("Cannot open file \"%s\". %s"), {fileName, file.errorString()}));
    LoadFromStream(file);
}

void TGraphic::SaveToFile(const QString& fileName) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFCreateError(Format(QStringLiteral("Cannot create file \"%s\". %s"), {fileName, file.errorString()}));
    SaveToStream(file);
}

void TGraphic::Assign(const TGraphic*) { }

void TGraphic::SetTransparent(bool value)
{
    if (value == m_transparent) return;
    m_transparent = value;
    Changed();
}

void TGraphic::Changed()
{
    if (OnChange) OnChange(this);
}
