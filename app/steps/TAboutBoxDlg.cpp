#include "app/steps/TAboutBoxDlg.h"

#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TAboutBoxDlg::TAboutBoxDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBoxDlg"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 219);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 281, 161);
    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(8, 8, 32, 32);
    icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_DesktopIcon).pixmap(32, 32));
    auto label = [panel](const char* name, const QString& text, int y) {
        auto* l = new QLabel(text, panel);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(56, y, 217, 16);
        l->setWordWrap(true);
        return l;
    };
    label("ProductName", QStringLiteral("Tamsel"), 16);
    label("Version", QStringLiteral("Version ") + QLatin1String(TAMSEL_VERSION), 40);
    label("Copyright", QStringLiteral("Copyright Ostrel. All rights reserved."), 64)->setFixedHeight(32);
    label("Comments", QStringLiteral("Property profiles for real-estate agents."), 104)->setFixedHeight(48);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(111, 180, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    if (parent) move(parent->geometry().center() - rect().center());
}
