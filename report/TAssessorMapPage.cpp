#include "report/TAssessorMapPage.h"

#include "platform/readers/TiffReader.h"
#include "platform/report/TBaseReport.h"
#include "report/TReportContext.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

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

bool TAssessorMapPage::FirstSheet(TBaseReport& report)
{
    m_first = QImage();
    m_next = -1;
    const QStringList& files = m_context.SheetFiles;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!QFileInfo(files[i]).isFile()) continue;
        QImage sheet;
        if (!ReadSheet(files[i], sheet)) {
            // No page holds it yet: the page itself may be left out.
            if (report.OnLeftOut)
                report.OnLeftOut(QStringLiteral("The assessor map sheet %1 could not be read and was left out: %2")
                                     .arg(QFileInfo(files[i]).fileName(), LastError()));
            continue;
        }
        m_first = sheet;
        m_next = i + 1;
        return true;
    }
    return false;
}

void TAssessorMapPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    valid = false;
    if (m_next < 0 && !FirstSheet(report)) return;
    const QStringList& files = m_context.SheetFiles;
    QImage sheet = std::exchange(m_first, QImage());
    const qsizetype from = std::exchange(m_next, -1);
    TReportContext::PrintImageFit(report, 0.75, 0.5, report.PageWidth() - 0.2, report.PageHeight() - 0.2, sheet);
    for (qsizetype i = from; i < files.size(); ++i) {
        const QString& name = files[i];
        if (!QFileInfo(name).isFile()) continue;
        if (!ReadSheet(name, sheet)) {
            TReportContext::PictureLeftOut(
                report, QStringLiteral("The assessor map sheet %1").arg(QFileInfo(name).fileName()), LastError());
            continue;
        }
        report.NewPage();
        TReportContext::PrintImageFit(report, 0.75, 0.5, report.PageWidth() - 0.2, report.PageHeight() - 0.2, sheet);
    }
}
