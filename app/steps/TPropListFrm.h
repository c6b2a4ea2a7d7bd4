#pragma once
// The found-properties dialog: a grid of the properties a search listed,
// one row each (name; address and city; parcel number and land use; the
// property id in a hidden column). OK (or a double click) takes the chosen
// property id into the application state and has the main window fetch it.

#include <QDialog>
#include <QPointer>
#include <QRect>

class QPushButton;
class TExtStringGrid;
class TStepHost;

class TPropListFrm : public QDialog {
    Q_OBJECT
public:
    // The host is asked to fetch the chosen property; none, nothing is asked.
    TPropListFrm(QWidget* owner, TStepHost* host);
    ~TPropListFrm() override;

    TExtStringGrid* Grid = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // The id in column 4 of the selected row; below 1 raises "Invalid
    // property id!" and the dialog stays.
    void btnOkClick();
    void btnCancelClick();

    // Places the dialog's frame (title bar and borders included) on the
    // screen rectangle given: at once, taking the owner window's frame for
    // its own while it has none yet, and again when it shows.
    void PlaceFrame(const QRect& frame);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ApplyFrame();

    TStepHost* m_host = nullptr;
    QRect m_frame;
};

extern QPointer<TPropListFrm> PropListFrm;
