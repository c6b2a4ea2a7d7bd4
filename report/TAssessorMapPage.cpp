#include "report/TAssessorMapPage.h"

#include "platform/readers/TiffReader.h"
#include "platform/report/TBaseReport.h"
#include "report/TReportContext.h"

#include <QFile>
#include <QFileInfo>

bool TAssessorMapPage::ReadTiffMonochrome(const QByteArray& data, QImage& picture)
{
    m_lastError.clear();
    try {
        TTiffReader reader;
        const QImage sheet = reader.Read(data);
        if (sheet.isNull()) {
            m_lastError = QStringLiteral("The file holds no picture.");
            return false;
        }
        picture = sheet.format() == QImage::Format_Mono
            ? sheet
            : sheet.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
        return true;
    } catch (const std::exception& e) {
        m_lastError = TReportContext::ErrorText(e);
        return false;
    }
}

bool TAssessorMapPage::ReadSheet(const QString& name, QImage& sheet)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = file.errorString();
        return false;
    }
    if (file.size() > TTiffReader::MaxFileSize) {
        m_lastError = QStringLiteral("The file of %1 bytes is larger than a map sheet may be.").arg(file.size());
        return false;
    }
    return ReadTiffMonochrome(file.readAll(), sheet);
}

void TAssessorMapPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    bool printed = false;
    for (const QString& name : m_context.SheetFiles) {
        if (!QFileInfo(name).isFile()) continue;
        QImage sheet;
        if (!ReadSheet(name, sheet)) {
            TReportContext::PictureLeftOut(
                report, QStringLiteral("The assessor map sheet %1").arg(QFileInfo(name).fileName()), LastError());
            continue;
        }
        if (printed) report.NewPage();
        TReportContext::PrintImageFit(report, 0.75, 0.5, report.PageWidth() - 0.2, report.PageHeight() - 0.2, sheet);
        printed = true;
    }
    valid = false;
}
