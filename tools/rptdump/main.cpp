// rptdump FILE: the report file as text on standard output; a damaged file
// gives its error on standard error and exit status 1.

#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: rptdump FILE\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    try {
        TReportFileReader reader;
        reader.LoadFromFile(QString::fromLocal8Bit(argv[1]));
        std::fputs(TReportDump::Text(reader).toUtf8().constData(), stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rptdump: %s\n", e.what());
        return 1;
    }
    return 0;
}
