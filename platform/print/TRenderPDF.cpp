#include "platform/print/TRenderPDF.h"

#include "platform/core/AtomicFile.h"
#include "platform/print/PdfDocument_p.h"
#include "platform/print/PdfFonts_p.h"
#include "platform/print/PdfPagePainter_p.h"
#include "platform/print/PdfPictures_p.h"
#include "platform/report/TReportFileReader.h"

#include <QDateTime>
#include <QFileInfo>

void TRenderPDF::Render(QIODevice& stream, const QString& pdfFileName) const
{
    TReportFileReader reader;
    reader.LoadFromStream(stream);

    QByteArray pdf;
    {
        PdfDocument document;
        PdfFonts fonts(document);
        PdfPictures pictures(document, reader, ImageQuality);
        pictures.OnLeftOut = OnLeftOut;
        PdfPagePainter painter(document, fonts, pictures);
        for (int page = 0; page < reader.PageCount(); ++page) {
            pictures.Page = page;
            reader.PlayPage(page, painter);
        }
        // The faces hold the glyphs of every page now.
        fonts.WriteAll();
        pdf = document.Finish(reader.Title(), QDateTime::currentDateTime());
    }
    AtomicFile::WriteAll(pdfFileName, pdf);
}

bool IsPdfFileName(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}
