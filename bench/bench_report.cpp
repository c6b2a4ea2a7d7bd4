// Writes and reads a 12-page report file of mixed operations (about 3,000
// text runs, shaded tab tables, 40 JPEG photos, a gradient bar per page).
// Targets: writing and reading under 100 ms each.
//
//   build/<dir>/bench/bench_report [--benchmark_filter=...]

#include "ReportBenchmarkPages.h"
#include "platform/core/AtomicFile.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "platform/report/TReportFileWriter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const ReportBenchmarkInput& Input()
{
    static const ReportBenchmarkInput input = MakeReportBenchmarkInput();
    return input;
}

QByteArray RecordBenchmarkReport()
{
    TReportFileWriter writer;
    writer.OnPrint = [](TBaseReport& r) { PrintReportBenchmarkPages(r, Input()); };
    return writer.Record();
}

void BM_ReportWrite(benchmark::State& state)
{
    QTemporaryDir dir;
    TReportFileWriter writer;
    writer.FileName = dir.filePath(QStringLiteral("profile.rpt"));
    writer.OnPrint = [](TBaseReport& r) { PrintReportBenchmarkPages(r, Input()); };
    for (auto _ : state) writer.Execute();
    TReportFileReader reader;
    reader.LoadFromFile(writer.FileName);
    int texts = 0;
    for (int p = 0; p < reader.PageCount(); ++p)
        texts += int(TReportDump::PageLines(reader, p).filter(QRegularExpression(QStringLiteral("^text "))).size());
    state.counters["pages"] = reader.PageCount();
    state.counters["texts"] = texts;
    state.counters["pictures"] = reader.ImageCount();
    state.counters["KiB"] = double(QFileInfo(writer.FileName).size()) / 1024;
}
BENCHMARK(BM_ReportWrite)->Unit(benchmark::kMillisecond);

void BM_ReportRead(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("profile.rpt"));
    AtomicFile::WriteAll(file, RecordBenchmarkReport());
    for (auto _ : state) {
        TReportFileReader reader;
        reader.LoadFromFile(file);
        benchmark::DoNotOptimize(reader.PageCount());
    }
}
BENCHMARK(BM_ReportRead)->Unit(benchmark::kMillisecond);

// Reading with every picture decoded, as a PDF or a print of all pages does.
void BM_ReportReadAndDecodePictures(benchmark::State& state)
{
    const QByteArray bytes = RecordBenchmarkReport();
    for (auto _ : state) {
        TReportFileReader reader;
        reader.LoadFromBytes(bytes);
        for (int i = 0; i < reader.ImageCount(); ++i) benchmark::DoNotOptimize(reader.Image(i).width());
    }
}
BENCHMARK(BM_ReportReadAndDecodePictures)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
