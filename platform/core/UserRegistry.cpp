#include "platform/core/UserRegistry.h"

#include "platform/core/Directories.h"
#include "platform/core/Format.h"
#include "platform/core/SysUtils.h"

#include <QDir>
#include <QSettings>
#include <memory>

const QString UserRegistry::TamselKey = QStringLiteral("SOFTWARE\\Ostrel\\Tamsel");

namespace {

// The groups of a key path below the program's own key.
QStringList Groups(const QString& keyPath)
{
    QString path = keyPath;
    path.replace(u'\\', u'/');
    QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    static const QStringList own = {QStringLiteral("SOFTWARE"), QStringLiteral("Ostrel"), QStringLiteral("Tamsel")};
    if (parts.size() >= own.size()) {
        bool ours = true;
        for (qsizetype i = 0; i < own.size(); ++i) ours = ours && SameText(parts[i], own[i]);
        if (ours) parts.remove(0, own.size());
    }
    return parts;
}

QString Spelling(const QStringList& existing, const QString& name)
{
    for (const QString& e : existing)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
    return name;
}

// Opens the settings file inside the key's groups (as spelt in the file when
// present) and returns the value's key as spelt in the file when present.
std::unique_ptr<QSettings> Open(const QString& keyPath, const QString& name, QString& key)
{
    auto settings = std::make_unique<QSettings>(UserRegistry::FileName(), QSettings::NativeFormat);
    for (const QString& group : Groups(keyPath)) settings->beginGroup(Spelling(settings->childGroups(), group));
    key = Spelling(settings->childKeys(), name);
    return settings;
}

void Store(const QString& keyPath, const QString& name, const QString& value)
{
    QString key;
    auto settings = Open(keyPath, name, key);
    settings->setValue(key, value);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw ERegistryException(Format(QStringLiteral("Failed to set data for '%s'"), {name}));
}

} // namespace

QString UserRegistry::FileName()
{
    return QDir::cleanPath(Directories::UserConfigDir() + QStringLiteral("../Tamsel.conf"));
}

QString UserRegistry::ReadString(const QString& keyPath, const QString& name, const QString& defaultValue)
{
    QString key;
    auto settings = Open(keyPath, name, key);
    const QVariant v = settings->value(key);
    return v.isValid() ? v.toString() : defaultValue;
}

void UserRegistry::WriteString(const QString& keyPath, const QString& name, const QString& value)
{
    Store(keyPath, name, value);
}

int UserRegistry::ReadInteger(const QString& keyPath, const QString& name, int defaultValue)
{
    return StrToIntDef(ReadString(keyPath, name), defaultValue);
}

void UserRegistry::WriteInteger(const QString& keyPath, const QString& name, int value)
{
    Store(keyPath, name, QString::number(value));
}

bool UserRegistry::ValueExists(const QString& keyPath, const QString& name)
{
    QString key;
    auto settings = Open(keyPath, name, key);
    return settings->contains(key);
}
