#pragma once
// The settings dialog: the profile server's host. The main window takes
// the host over when OK closes it; Cancel leaves the host as it was.

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
