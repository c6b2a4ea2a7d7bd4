#include "platform/print/TRenderPDF.h"

#include "platform/core/AtomicFile.h"
#include "platform/print/PdfImages_p.h"
#include "platform/report/ReportFonts.h"
#include "platform/report/TPageRenderer.h"
#include "platform/report/TReportFileReader.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

QPageSize PageSizeOf(QSizeF inches)
{
    const QSizeF letter(8.5, 11);
    if (qAbs(inches.width() - letter.width()) < 1e-6 && qAbs(inches.height() - letter.height()) < 1e-6)
        return QPageSize(QPageSize::Letter);
    return QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch);
}

} // namespace

void TRenderPDF::Render(QIODevice& stream, const QString& pdfFileName) const
{
    TReportFileReader reader;
    reader.LoadFromStream(stream);

    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Tamsel"));
        writer.setTitle(reader.Title());
        // The text is laid out at the reference resolution: drawn at it, it
        // needs no scaling.
        writer.setResolution(ReportFonts::ReferenceDpi);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (reader.PageCount() > 0) writer.setPageSize(PageSizeOf(reader.PageSize(0)));
        QPainter painter;
        if (!painter.begin(&writer))
            throw EFCreateError(
                QStringLiteral("Cannot create file \"%1\". The PDF writer did not start.").arg(pdfFileName));
        TPageRenderer renderer(painter, ReportFonts::ReferenceDpi);
        for (int page = 0; page < reader.PageCount(); ++page) {
            if (page > 0) {
                writer.setPageSize(PageSizeOf(reader.PageSize(page)));
                writer.newPage();
            }
            reader.PlayPage(page, renderer);
        }
        painter.end();
    }
    PdfImages::SetJpegQuality(pdf, ImageQuality);
    AtomicFile::WriteAll(pdfFileName, pdf);
}

bool IsPdfFileName(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}
