#pragma once
// The about box: the program's icon, name, version, rights and a comment.

#include <QDialog>

class TAboutBoxDlg : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBoxDlg(QWidget* parent = nullptr);
};
