#pragma once
// Page 120: the county's assessor map sheets of the subject parcel, one
// page each, filled from (0.75, 0.5) to 0.2 inch short of the right and
// bottom page edges; no header or footer. The sheets are the TIFF files the
// tax-map client saved; a sheet that is gone is passed over, one that cannot
// be read is left out and the report's log says why. When no sheet can be
// read the page is left out whole (the page driver asks FirstSheet before it
// starts the page).

#include <QByteArray>
#include <QImage>
#include <QString>

class TBaseReport;
class TReportContext;
class TReportShell;

class TAssessorMapPage {
public:
    explicit TAssessorMapPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    // Reads the sheets up to the first one that can be read, which the page
    // then starts with; those before it are told as left out. False when
    // none can be read.
    bool FirstSheet(TBaseReport& report);

    // Decodes TIFF data into a 1-bit picture; false (picture untouched) when
    // the data is no readable sheet, LastError then saying why.
    bool ReadTiffMonochrome(const QByteArray& data, QImage& picture);
    const QString& LastError() const { return m_lastError; }

private:
    // The sheet file as a picture; false, LastError saying why, when it
    // cannot be read.
    bool ReadSheet(const QString& name, QImage& sheet);

    TReportContext& m_context;
    QString m_lastError;
    // The sheet the page starts with and the index of the sheet after it,
    // from FirstSheet until the page is printed.
    QImage m_first;
    qsizetype m_next = -1;
};
