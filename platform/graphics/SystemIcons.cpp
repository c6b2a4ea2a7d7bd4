#include "platform/graphics/SystemIcons.h"
#include "platform/graphics/StyleHooks.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

namespace {

QImage FromIcon(const QIcon& icon, int side)
{
    QImage out(side, side, QImage::Format_ARGB32);
    out.fill(0);
    if (!icon.isNull()) {
        QPainter p(&out);
        icon.paint(&p, QRect(0, 0, side, side));
    }
    return out;
}

QIcon Stock(TStockIcon which)
{
    const auto& stock = StyleHooks().StockIcon;
    return stock ? stock(which) : QIcon();
}

} // namespace

TSize SystemIconSize(bool large) { return large ? TSize(32, 32) : TSize(16, 16); }

QImage SystemIcon(const QString& pathOrIndex, bool large)
{
    const int side = SystemIconSize(large).cx;
    bool isNumber = false;
    const int index = pathOrIndex.trimmed().toInt(&isNumber);
    QIcon icon;
    if (isNumber) {
        switch (index) {
        case 2: icon = Stock(TStockIcon::Computer); break;
        case 3: icon = Stock(TStockIcon::Folder); break;
        case 4: icon = Stock(TStockIcon::FolderOpen); break;
        case 8: icon = Stock(TStockIcon::Drive); break;
        default: icon = Stock(TStockIcon::File); break;
        }
    } else if (pathOrIndex.size() <= 1024) {
        const QFileInfo info(pathOrIndex);
        if (info.exists() && info.isDir()) {
            icon = Stock(TStockIcon::Directory);
        } else {
            static QMimeDatabase db;
            const QMimeType mime = db.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
            if (mime.isValid() && !mime.isDefault())
                icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
            if (icon.isNull()) icon = Stock(TStockIcon::File);
        }
    } else {
        icon = Stock(TStockIcon::File);
    }
    return FromIcon(icon, side);
}
