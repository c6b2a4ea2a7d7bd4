#pragma once
// The modal dialog of an unhandled error: the message, a comments box, OK and
// Print (which prints the message on one page of the default printer).

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TCanvas;

class TErrorDlg : public QDialog {
    Q_OBJECT
public:
    explicit TErrorDlg(QWidget* parent = nullptr);

    void SetMessageLines(const QStringList& lines);
    // Without printing the Print button is hidden and OK stands alone.
    void SetAllowPrint(bool allow);

    QPlainTextEdit* Memo1 = nullptr;
    QPlainTextEdit* Comments = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* PrintBtn = nullptr;

    // The error page in printer pixels on a page pageWidth wide.
    static void PaintErrorPage(TCanvas& canvas, int pageWidth, const QString& title, const QString& program,
                               const QString& time, const QStringList& lines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PrintBtnClick();
};
