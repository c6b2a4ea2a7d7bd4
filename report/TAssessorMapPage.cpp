#include "report/TAssessorMapPage.h"

#include "platform/readers/TiffReader.h"
#include "platform/report/TBaseReport.h"
#include "report/TReportContext.h"

#include <QFile>
#include <QFileInfo>

bool TAssessorMapPage::ReadTiffMonochrome(const QByteArray& data, QImage& picture)
{
    try {
        TTiffReader reader;
        const QImage sheet = reader.Read(data);
        if (sheet.isNull()) return false;
        picture = sheet.format() == QImage::Format_Mono
            ? sheet
            : sheet.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
        return true;
    } catch (const Exception& e) {
        m_lastError = e.Message();
        return false;
    }
}

void TAssessorMapPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    bool printed = false;
    for (const QString& name : m_context.SheetFiles) {
        if (!QFileInfo(name).isFile()) continue;
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly) || file.size() > TTiffReader::MaxFileSize) continue;
        QImage sheet;
        if (!ReadTiffMonochrome(file.readAll(), sheet)) continue;
        if (printed) report.NewPage();
        TReportContext::PrintImageFit(report, 0.75, 0.5, report.PageWidth() - 0.2, report.PageHeight() - 0.2, sheet);
        printed = true;
    }
    valid = false;
}
