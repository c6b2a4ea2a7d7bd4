#pragma once
// The settings dialog: the profile server's host. Whichever button closes
// it, the main window takes the host over.

#include <QDialog>
#include <QPointer>

class QLineEdit;

class TSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsDlg(QWidget* parent = nullptr);
    ~TSettingsDlg() override;

    QLineEdit* edPmHost = nullptr;
};

extern QPointer<TSettingsDlg> SettingsDlg;
