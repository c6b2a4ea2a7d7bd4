#pragma once
// "Land Use Codes": the county land-use codes with their descriptions, one
// row each in ascending code order; the caller reads the code of the
// current row when the dialog ends with OK. A double click is OK.

#include <QDialog>

class QPushButton;
class TExtStringGrid;

class TLandUseDlg : public QDialog {
    Q_OBJECT
public:
    explicit TLandUseDlg(QWidget* parent = nullptr);

    TExtStringGrid* gLandUse = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // Column 1 of the current row.
    QString Code();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Puts the dialog's frame (title bar included) centred on the main
    // window's frame. Before the window manager framed the dialog, its
    // frame is taken to be as thick as the main window's.
    void CentreOnMainWindow();
};
