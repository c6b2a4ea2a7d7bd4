// The printer, printing to a PDF printer read back with pdftotext, and its
// set-up dialog answered through the dialog layer.

#include "platform/dialogs/Dialogs.h"
#include "platform/print/TFilePrinter.h"
#include "platform/print/TPrinterSetupDialog.h"
#include "platform/report/TReportFileReader.h"
#include "tests/platform/print/OutputFixtures.h"

#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace outputtest;

namespace {

QString Pages(const QTemporaryDir& dir)
{
    return Write(dir.filePath(QStringLiteral("propinfo.rpt")), [](TBaseReport& r) {
        r.SetFont(QStringLiteral("Arial"), 14);
        for (int page = 1; page <= 3; ++page) {
            if (page > 1) r.NewPage();
            r.PrintLeft(QStringLiteral("Printed page %1").arg(page), 1);
            r.Rectangle(1, 2, 7.5, 3);
        }
    });
}

void ToPdf(TFilePrinter& printer, const QString& pdf)
{
    printer.Printer().setOutputFormat(QPrinter::PdfFormat);
    printer.Printer().setOutputFileName(pdf);
}

} // namespace

TEST(FilePrinter, PrintsEveryPageInOrder)
{
    QTemporaryDir dir;
    TFilePrinter printer;
    printer.FileName = Pages(dir);
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    ToPdf(printer, pdf);
    printer.Execute();

    const ToolResult text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_EQ(text.Exit, 0) << text.Err.toStdString();
    const QStringList pages = text.Out.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 3) << text.Out.toStdString();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pages[i].trimmed(), QStringLiteral("Printed page %1").arg(i + 1));
    const ToolResult info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.Out.contains(QLatin1String("612 x 792 pts"))) << info.Out.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Title:\\s+test\\n")))) << info.Out.toStdString();
}

TEST(FilePrinter, PrintsOnlyThePagesChosen)
{
    QTemporaryDir dir;
    TFilePrinter printer;
    printer.FileName = Pages(dir);
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    ToPdf(printer, pdf);
    printer.Printer().setPrintRange(QPrinter::PageRange);
    printer.Printer().setFromTo(2, 7);
    printer.Execute();
    const QStringList pages = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                                  .Out.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].trimmed(), QStringLiteral("Printed page 2"));
    EXPECT_EQ(pages[1].trimmed(), QStringLiteral("Printed page 3"));
}

TEST(FilePrinter, AFileThatCannotBeReadPrintsNothing)
{
    QTemporaryDir dir;
    TFilePrinter printer;
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    ToPdf(printer, pdf);
    printer.FileName = dir.filePath(QStringLiteral("missing.rpt"));
    EXPECT_THROW(printer.Execute(), EFOpenError);
    printer.FileName = dir.filePath(QStringLiteral("text.rpt"));
    AtomicFile::WriteAll(printer.FileName, "TAMSLRPT and then nothing sound");
    EXPECT_THROW(printer.Execute(), EReportFileError);
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST(FilePrinter, SetUpDialogIsAnsweredThroughTheDialogLayer)
{
    ScopedDialogResponder responder;
    TFilePrinter printer;
    TPrinterSetupDialog dialog;
    dialog.FilePrinter = &printer;
    responder.NextAnswer(mrOk);
    EXPECT_TRUE(dialog.Execute());
    responder.NextAnswer(mrCancel);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(responder.Count(DialogRequest::Kind::PrinterSetup), 2);
}
