#include "app/steps/TSettingsDlg.h"

#include "state/TAppState.h"
#include "platform/dialogs/Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QPointer<TSettingsDlg> SettingsDlg;

TSettingsDlg::TSettingsDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingsDlg"));
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(300, 110);
    auto* label = new QLabel(QStringLiteral("Profile server"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(12, 14, 276, 16);
    edPmHost = new QLineEdit(this);
    edPmHost->setObjectName(QStringLiteral("edPmHost"));
    edPmHost->setGeometry(12, 32, 276, 22);
    edPmHost->setText(AppState().Host);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setGeometry(132, 72, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setGeometry(213, 72, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    SettingsDlg = this;
}

TSettingsDlg::~TSettingsDlg()
{
    if (SettingsDlg == this) SettingsDlg = nullptr;
}
