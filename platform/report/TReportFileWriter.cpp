#include "platform/report/TReportFileWriter.h"

#include "platform/core/AtomicFile.h"
#include "platform/report/ReportRecorder_p.h"

QByteArray TReportFileWriter::Record()
{
    TReportRecorder recorder;
    recorder.OnLeftOut = OnLeftOut;
    TBaseReport report(recorder);
    report.OnLeftOut = OnLeftOut;
    if (OnPrint) OnPrint(report);
    report.Finish();
    return recorder.File(Title);
}

void TReportFileWriter::Execute()
{
    if (FileName.isEmpty()) throw Exception(QStringLiteral("The report file writer has no file name."));
    AtomicFile::WriteAll(FileName, Record());
}
