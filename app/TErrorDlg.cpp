#include "app/TErrorDlg.h"

#include "platform/core/DateTime.h"
#include "platform/core/Directories.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/kernel/Application.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

TErrorDlg::TErrorDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ErrorDlg"));
    setWindowTitle(QStringLiteral("Application Error"));
    setFixedSize(337, 300);

    auto* comments = new QLabel(QStringLiteral("Comments"), this);
    comments->setObjectName(QStringLiteral("Label1"));
    comments->setGeometry(8, 8, 320, 16);
    Comments = new QPlainTextEdit(this);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setGeometry(8, 26, 320, 60);
    Comments->installEventFilter(this);

    auto* errorLabel = new QLabel(QStringLiteral("Error Message"), this);
    errorLabel->setObjectName(QStringLiteral("Label2"));
    errorLabel->setGeometry(8, 94, 320, 16);
    errorLabel->setAutoFillBackground(true);
    QPalette yellow = errorLabel->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    errorLabel->setPalette(yellow);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setGeometry(8, 112, 320, 140);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setToolTip(QStringLiteral("Close"));
    OkBtn->setGeometry(88, 264, 75, 25);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, [this] { done(mrOk); });

    PrintBtn = new QPushButton(QStringLiteral("Print"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintBtn->setToolTip(QStringLiteral("Print error message"));
    PrintBtn->setGeometry(174, 264, 75, 25);
    connect(PrintBtn, &QPushButton::clicked, this, [this] { GuardedCall(this, [this] { PrintBtnClick(); }); });
}

bool TErrorDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the comments closes the dialog as OK until something is
    // typed there; then it starts a new line, and Ctrl+Enter closes.
    if (watched == Comments && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && ((key->modifiers() & Qt::ControlModifier) || Comments->document()->isEmpty())) {
            OkBtn->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TErrorDlg::SetMessageLines(const QStringList& lines) { Memo1->setPlainText(lines.join(QLatin1Char('\n'))); }

void TErrorDlg::SetAllowPrint(bool allow)
{
    PrintBtn->setVisible(allow);
    OkBtn->move(allow ? 88 : 131, OkBtn->y());
}

void TErrorDlg::PaintErrorPage(TCanvas& canvas, int pageWidth, const QString& title, const QString& program,
                               const QString& time, const QStringList& lines)
{
    canvas.Font().SetName(QStringLiteral("Arial"));
    canvas.Font().SetSize(16);
    canvas.Font().SetStyle({TFontStyle::fsBold, TFontStyle::fsUnderline});
    const QString heading = title + QStringLiteral(" Application Error");
    canvas.TextOut(pageWidth / 2 - canvas.TextWidth(heading) / 2, 100, heading);
    canvas.Font().SetSize(10);
    canvas.Font().SetStyle({});
    canvas.TextOut(100, 300, QStringLiteral("Program reporting error: ") + program);
    canvas.TextOut(100, 400, QStringLiteral("Time of error: ") + time);
    canvas.TextOut(100, 500, QStringLiteral("Error Message"));
    for (int n = 0; n < lines.size(); ++n) canvas.TextOut(100, 600 + 100 * n, lines[n]);
}

void TErrorDlg::PrintBtnClick()
{
    if (!Dialogs::PrinterSetup(this)) return;
    QPrinter printer(QPrinter::HighResolution);
    QPainter painter;
    if (!painter.begin(&printer)) return;
    TPainterCanvas canvas(&painter, printer.resolution(), printer.resolution());
    const TApplication* app = TApplication::Instance();
    PaintErrorPage(canvas, printer.pageLayout().paintRectPixels(printer.resolution()).width(),
                   app ? app->Title() : QString(), Directories::ExeName(), DateTimeToStr(Now()),
                   Memo1->toPlainText().split(QLatin1Char('\n')));
    painter.end();
}
