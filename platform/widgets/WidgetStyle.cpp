#include "platform/widgets/WidgetStyle.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/StyleHooks.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace {

// Themed parts always come from Fusion, whatever the desktop style, so they
// look the same on every machine and in tests.
QStyle* ThemeStyle()
{
    static QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"));
    return style;
}

void DrawThemePart(QPainter* p, QWidget* window, const QString& themeClass, int part, int state, const QRect& rect)
{
    QStyle* style = ThemeStyle();
    if (!style) return;
    QPalette palette = style->standardPalette();
    palette.setColor(QPalette::Button, ToQColor(clBtnFace));
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    palette.setColor(QPalette::Base, ToQColor(clWindow));
    palette.setColor(QPalette::Highlight, ToQColor(clHighlight));
    auto initOption = [&](QStyleOption& opt, bool disabled, bool hot, bool pressed) {
        opt.rect = rect;
        opt.palette = palette;
        opt.state = QStyle::State_None;
        if (!disabled) opt.state |= QStyle::State_Enabled;
        if (hot) opt.state |= QStyle::State_MouseOver;
        if (pressed)
            opt.state |= QStyle::State_Sunken;
        else
            opt.state |= QStyle::State_Raised;
    };
    if (themeClass == QLatin1String("button")) {
        QStyleOptionButton opt;
        if (part == 1) {
            initOption(opt, state == 4, state == 2, state == 3);
            if (state == 5) opt.features |= QStyleOptionButton::DefaultButton;
            style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, p, window);
        } else if (part == 3 || part == 2) {
            const int group = (state - 1) / 4;   // 0 unchecked, 1 checked, 2 mixed
            const int sub = (state - 1) % 4 + 1; // 1 normal, 2 hot, 3 pressed, 4 disabled
            initOption(opt, sub == 4, sub == 2, sub == 3);
            opt.state &= ~QStyle::State_Raised;
            opt.state |= group == 1 ? QStyle::State_On : (group == 2 ? QStyle::State_NoChange : QStyle::State_Off);
            style->drawPrimitive(part == 3 ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton, &opt, p,
                                 window);
        } else {
            QStyleOptionFrame frame;
            initOption(frame, state == 2, false, false);
            style->drawPrimitive(QStyle::PE_FrameGroupBox, &frame, p, window);
        }
    } else if (themeClass == QLatin1String("combobox") || themeClass == QLatin1String("spin")) {
        QStyleOptionButton opt;
        initOption(opt, state == 4, state == 2, state == 3);
        style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, p, window);
        QStyleOption arrow;
        initOption(arrow, state == 4, state == 2, state == 3);
        arrow.rect = rect.adjusted(2, 2, -2, -2);
        QStyle::PrimitiveElement pe = QStyle::PE_IndicatorArrowDown;
        if (themeClass == QLatin1String("spin")) {
            switch (part) {
            case 1: pe = QStyle::PE_IndicatorArrowUp; break;
            case 2: pe = QStyle::PE_IndicatorArrowDown; break;
            case 3: pe = QStyle::PE_IndicatorArrowRight; break;
            case 4: pe = QStyle::PE_IndicatorArrowLeft; break;
            default: break;
            }
        }
        style->drawPrimitive(pe, &arrow, p, window);
    }
}

QIcon StockIcon(TStockIcon icon)
{
    QStyle* style = QApplication::style();
    if (!style) return QIcon();
    switch (icon) {
    case TStockIcon::Computer: return style->standardIcon(QStyle::SP_ComputerIcon);
    case TStockIcon::Folder: return style->standardIcon(QStyle::SP_DirClosedIcon);
    case TStockIcon::FolderOpen: return style->standardIcon(QStyle::SP_DirOpenIcon);
    case TStockIcon::Directory: return style->standardIcon(QStyle::SP_DirIcon);
    case TStockIcon::Drive: return style->standardIcon(QStyle::SP_DriveHDIcon);
    case TStockIcon::File: break;
    }
    return style->standardIcon(QStyle::SP_FileIcon);
}

// The Windows faces the forms name, in faces of their widths: Tahoma is
// Wine's Tahoma (drawn to Tahoma's metrics; not on fontconfig's path, so
// registered here), and the class library's default "MS Sans Serif" (and
// "Microsoft Sans Serif") draws in it too: its widths are within a pixel
// or two of MS Sans Serif's on the captions. Only the regular face is
// registered: Wine's bold face has wider advances but the regular strokes,
// so bold text is emboldened from the regular face instead, and shows.
// Arial and the rest are mapped by the canvas (to the Liberation fonts).
void InstallWindowsFaces()
{
    const QString file = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    bool tahoma = QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
    if (!tahoma && QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0) tahoma = true;
    if (!tahoma) return;
    for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif"})
        if (!QFontDatabase::families().contains(QString::fromLatin1(face), Qt::CaseInsensitive))
            QFont::insertSubstitution(QString::fromLatin1(face), QStringLiteral("Tahoma"));
}

} // namespace

void InstallWidgetStyle()
{
    // Faces need the font database, so the application object.
    static bool faces = false;
    if (!faces && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        faces = true;
        InstallWindowsFaces();
    }
    static const bool installed = [] {
        TStyleHooks hooks;
        hooks.DrawThemePart = DrawThemePart;
        hooks.StockIcon = StockIcon;
        SetStyleHooks(std::move(hooks));
        return true;
    }();
    (void)installed;
}
