#pragma once
// "New settings name": asks the name a set of search parameters (or of
// report pages) is saved under.

#include <QDialog>

class QLineEdit;

class TCompsParamsNameDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCompsParamsNameDlg(QWidget* parent = nullptr);

    QLineEdit* edParamsName = nullptr;
};
