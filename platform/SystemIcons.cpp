#include "platform/SystemIcons.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyle>

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

QIcon Stock(QStyle::StandardPixmap which)
{
    QStyle* style = QApplication::style();
    return style ? style->standardIcon(which) : QIcon();
}

} // namespace

TSize SystemIconSize(bool large)
{
    return large ? TSize(32, 32) : TSize(16, 16);
}

QImage SystemIcon(const QString& pathOrIndex, bool large)
{
    const int side = SystemIconSize(large).cx;
    bool isNumber = false;
    const int index = pathOrIndex.trimmed().toInt(&isNumber);
    QIcon icon;
    if (isNumber) {
        switch (index) {
        case 2: icon = Stock(QStyle::SP_ComputerIcon); break;
        case 3: icon = Stock(QStyle::SP_DirClosedIcon); break;
        case 4: icon = Stock(QStyle::SP_DirOpenIcon); break;
        case 8: icon = Stock(QStyle::SP_DriveHDIcon); break;
        default: icon = Stock(QStyle::SP_FileIcon); break;
        }
    } else if (pathOrIndex.size() <= 1024) {
        const QFileInfo info(pathOrIndex);
        if (info.exists() && info.isDir()) {
            icon = Stock(QStyle::SP_DirIcon);
        } else {
            static QMimeDatabase db;
            const QMimeType mime = db.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
            if (mime.isValid() && !mime.isDefault())
                icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
            if (icon.isNull()) icon = Stock(QStyle::SP_FileIcon);
        }
    } else {
        icon = Stock(QStyle::SP_FileIcon);
    }
    return FromIcon(icon, side);
}
