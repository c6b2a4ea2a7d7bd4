#pragma once
// The two drawing services that need the desktop's widget style: themed
// parts (buttons, check boxes, combo and spin arrows) and stock icons. The
// graphics room needs only Qt Gui, so the widgets room installs them
// (InstallWidgetStyle); until then themed parts draw nothing and stock icons
// are empty.

#include <QIcon>
#include <QString>
#include <functional>

class QPainter;
class QRect;
class QWidget;

// Directory: an existing folder as the file system shows it.
enum class TStockIcon { File, Folder, FolderOpen, Directory, Computer, Drive };

struct TStyleHooks {
    // Draws one part of a theme class ("button", "combobox", "spin") into
    // rect; the painter's state is saved and restored around the call.
    std::function<void(QPainter* painter, QWidget* window, const QString& themeClass, int part, int state,
                       const QRect& rect)>
        DrawThemePart;
    std::function<QIcon(TStockIcon icon)> StockIcon;
};

void SetStyleHooks(TStyleHooks hooks);
const TStyleHooks& StyleHooks();
