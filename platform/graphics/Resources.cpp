#include "platform/graphics/Resources.h"

#include <QFile>
#include <QtGlobal>

// The resource file is linked from a static library: registered on first use.
static void InitResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(Resources);
        return true;
    }();
    (void)done;
}

QString ResourcePath(const QString& name, TResourceType type)
{
    InitResources();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) return QString();
    const QString upper = name.toUpper();
    const QString path = type == TResourceType::Bitmap
        ? QStringLiteral(":/res/bitmap/") + upper + QStringLiteral(".bmp")
        : QStringLiteral(":/res/rcdata/") + upper;
    return QFile::exists(path) ? path : QString();
}

bool HasResource(const QString& name, TResourceType type) { return !ResourcePath(name, type).isEmpty(); }

QByteArray LoadResourceData(const QString& name, TResourceType type)
{
    const QString path = ResourcePath(name, type);
    if (path.isEmpty()) return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}
