#include "app/steps/TCompsParamsNameDlg.h"

#include "platform/dialogs/Dialogs.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TCompsParamsNameDlg::TCompsParamsNameDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CompsParamsNameDlg"));
    setWindowTitle(QStringLiteral("New settings name"));
    setFixedSize(300, 90);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    edParamsName = new QLineEdit(this);
    edParamsName->setObjectName(QStringLiteral("edParamsName"));
    edParamsName->setGeometry(12, 14, 276, 22);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setGeometry(132, 52, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setGeometry(213, 52, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}
