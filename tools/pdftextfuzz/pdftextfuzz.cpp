// Fuzz target of the PDF writer's text: any text of 16-bit units (every
// script, characters beyond U+FFFF, lone surrogates, marks without a base,
// controls, runs of thousands) drawn on a report page and written as PDF.
// The first byte picks the font: bits 0-1 the family, 2 bold, 3 italic,
// 4 underline, 5 turned a quarter, 6-7 the size; the rest is the text in
// UTF-16 little-endian, each line (U+000A) drawn as a text of its own.
// The PDF must be written; with PdfTextFuzzCheck (the corpus replay) qpdf
// must find it clean.

#include "platform/core/Exception.h"
#include "platform/print/TRenderPDF.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportFileWriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

bool PdfTextFuzzCheck = false;

namespace {

void StartApplication()
{
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pdftextfuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

QString QpdfProblems(const QString& pdf)
{
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    if (!qpdf.waitForFinished(120000)) return QStringLiteral("qpdf did not run");
    const QString err = QString::fromUtf8(qpdf.readAllStandardError());
    // Warnings go to the error output and end in exit code 3.
    if (qpdf.exitStatus() == QProcess::NormalExit && qpdf.exitCode() == 0 && err.trimmed().isEmpty()) return {};
    return QString::fromUtf8(qpdf.readAllStandardOutput()) + err;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    StartApplication();
    const uint8_t options = data[0];
    QString text(qsizetype((size - 1) / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) text[i] = QChar(char16_t(data[1 + 2 * i] | (data[2 + 2 * i] << 8)));

    static const char* const families[4] = {"Liberation Sans", "Liberation Serif", "Liberation Mono", "DejaVu Sans"};
    static const int sizes[4] = {6, 10, 16, 36};
    TReportFileWriter writer;
    writer.Title = QStringLiteral("pdftextfuzz");
    writer.OnPrint = [&](TBaseReport& report) {
        TPagePainter& painter = report.Painter();
        TPageFont font;
        font.Family = QString::fromLatin1(families[options & 3]);
        font.Bold = options & 4;
        font.Italic = options & 8;
        font.Underline = options & 16;
        font.Angle = (options & 32) ? 900 : 0;
        font.Size = sizes[options >> 6];
        painter.SetFont(font);
        double y = 0.5;
        for (const QStringView line : QStringView(text).split(QChar(u'\n'))) {
            painter.DrawText(QPointF(0.5, y), line.toString());
            y = y < 10 ? y + 0.25 : 0.5;
        }
    };
    QByteArray report;
    try {
        report = writer.Record();
    } catch (const Exception&) {
        return 0;
    }
    static const QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("text.pdf"));
    QBuffer stream(&report);
    stream.open(QIODevice::ReadOnly);
    TRenderPDF renderer;
    try {
        renderer.Render(stream, pdf);
    } catch (const Exception& e) {
        std::fprintf(stderr, "the PDF was not written: %s\n", e.Message().toUtf8().constData());
        std::abort();
    }
    if (PdfTextFuzzCheck) {
        const QString problems = QpdfProblems(pdf);
        if (!problems.isEmpty()) {
            std::fprintf(stderr, "qpdf --check: %s\n", problems.toUtf8().constData());
            std::abort();
        }
    }
    return 0;
}
