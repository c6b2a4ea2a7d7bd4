#pragma once
// The report file writer: executing it runs OnPrint with a page surface and
// records every page into the report file FileName, written as a whole or
// not at all. A report file holds a header with its version, each picture
// once however often it is drawn, and one compressed list of drawing
// operations per page (TReportFileReader reads it back).

#include "platform/report/TBaseReport.h"

#include <QByteArray>
#include <QString>
#include <functional>

class TReportFileWriter {
public:
    QString FileName;
    // Kept in the file (the preview and the printer job show it).
    QString Title;
    std::function<void(TBaseReport& report)> OnPrint;
    // Told of every picture or drawing left out of the report because it
    // cannot be put on a page; the rest of the report is written.
    std::function<void(const QString& what)> OnLeftOut;

    // Records the report and writes FileName; the errors of OnPrint pass
    // through and leave no new file.
    void Execute();
    // Records the report into the bytes of a report file.
    QByteArray Record();
};
