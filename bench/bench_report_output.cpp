// The report output: the 12-page report of bench_report with four 1-bit
// 5,000 x 3,500 assessor map sheets (G4 TIFF, read through libtiff) and a
// vector street map, written to a report file, read back, rendered to PDF,
// and one page with a sheet drawn by the preview at zoom 90 and 200 once its
// sheet is scaled and cached. Beside it, QTextDocument printing the same
// texts and pictures to PDF as the reference.
// Targets: writing and reading the file under 100 ms each, the PDF under
// 700 ms, a preview page under 30 ms.
//
//   build/<dir>/bench/bench_report_output [--benchmark_filter=...]

#include "ReportBenchmarkPages.h"
#include "RichTextReference.h"
#include "platform/core/AtomicFile.h"
#include "platform/print/TFilePreview.h"
#include "platform/print/TMetafileGraphic.h"
#include "platform/print/TRenderPDF.h"
#include "platform/readers/TiffReader.h"
#include "platform/report/TReportFileReader.h"
#include "platform/report/TReportFileWriter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <tiffio.h>
#include <vector>

namespace {

constexpr int sheetWidth = 5000, sheetHeight = 3500;

// A parcel map: blocks of lot lines, a few diagonal streets and lot numbers
// as dots, in 1 bit.
QImage ParcelSheet(int seed)
{
    QImage image(sheetWidth, sheetHeight, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    const auto ink = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < sheetWidth && y < sheetHeight) image.scanLine(y)[x >> 3] |= uchar(0x80 >> (x & 7));
    };
    for (int y = 0; y < sheetHeight; y += 3)
        for (int x = 0; x < sheetWidth; ++x) {
            const bool lotLine = (y % 240 < 3) || (x % (110 + seed * 7) < 3 && y % 240 < 200);
            if (lotLine)
                for (int t = 0; t < 3; ++t) ink(x, y + t);
        }
    for (int d = 0; d < 4; ++d)
        for (int x = 0; x < sheetWidth; ++x)
            for (int t = 0; t < 4; ++t) ink(x, (x * (d + 1) / 3 + d * 900 + seed * 50 + t) % sheetHeight);
    return image;
}

QByteArray G4Tiff(const QImage& sheet)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("sheet.tif")).toLocal8Bit();
    TIFF* t = TIFFOpen(path.constData(), "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(sheet.width()));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(sheet.height()));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, uint16_t(1));
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(t, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_CCITTFAX4));
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISWHITE));
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(sheet.height()));
    for (int y = 0; y < sheet.height(); ++y)
        TIFFWriteScanline(t, const_cast<uchar*>(sheet.constScanLine(y)), uint32_t(y), 0);
    TIFFClose(t);
    QFile f(QString::fromLocal8Bit(path));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A street map metafile of a neighbourhood: streets as polylines, blocks
// as polygons, comps as ellipses, street names as text.
QByteArray StreetMapMetafile()
{
    QByteArray records;
    const auto put16 = [](QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    const auto record = [&](int function, std::initializer_list<int> words, const QByteArray& tail = {}) {
        const int size = 3 + int(words.size()) + int(tail.size() + 1) / 2;
        put16(records, size & 0xFFFF);
        put16(records, size >> 16);
        put16(records, function);
        for (int w : words) put16(records, w);
        records += tail;
        if (tail.size() % 2) records.append('\0');
    };
    record(0x020C, {3000, 4500});              // window extent
    record(0x02FA, {0, 6, 0, 0x8080, 0x0080}); // grey pen
    record(0x02FC, {0, 0xF0F0, 0x00E0, 0});    // pale brush
    record(0x02FB, {-40, 0, 0, 0, 400, 0, 0, 0, 0}, QByteArray("Arial\0", 6));
    record(0x012D, {0});
    record(0x012D, {1});
    record(0x012D, {2});
    record(0x0102, {1});
    record(0x012E, {24});
    for (int block = 0; block < 300; ++block) {
        const int x = (block % 20) * 225, y = (block / 20) * 200;
        record(0x0324, {4, x + 10, y + 10, x + 210, y + 10, x + 210, y + 185, x + 10, y + 185});
    }
    for (int street = 0; street < 35; ++street) {
        QList<int> words{20};
        for (int i = 0; i < 20; ++i) words << i * 235 << (street * 90 + (i * 37 + street * 11) % 60);
        QByteArray r;
        put16(r, 3 + int(words.size()));
        put16(r, 0);
        put16(r, 0x0325);
        for (int w : words) put16(r, w);
        records += r;
        const QByteArray name = QStringLiteral("%1 Street").arg(street + 1).toLatin1();
        record(0x0521, {int(name.size())},
               name + (name.size() % 2 ? QByteArray(1, '\0') : QByteArray()) +
                   QByteArray(1, char((street * 90 + 30) & 0xFF)) + QByteArray(1, char((street * 90 + 30) >> 8)) +
                   QByteArray("\x64\x00", 2));
    }
    for (int comp = 0; comp < 40; ++comp) {
        const int x = 300 + comp * 97, y = 400 + (comp * 311) % 2400;
        record(0x0418, {y + 30, x + 30, y - 30, x - 30});
    }
    QByteArray b;
    put16(b, 1);
    put16(b, 9);
    put16(b, 0x0300);
    const int words = 9 + int(records.size()) / 2 + 3;
    put16(b, words & 0xFFFF);
    put16(b, words >> 16);
    put16(b, 3);
    put16(b, 0);
    put16(b, 0);
    put16(b, 0);
    b += records;
    put16(b, 3);
    put16(b, 0);
    put16(b, 0);
    return b;
}

struct Output {
    ReportBenchmarkInput Input;
    std::vector<QByteArray> Tiffs;
    QTemporaryDir Dir;
    QString File;
};

Output& Shared()
{
    static const std::unique_ptr<Output> output = [] {
        auto o = std::make_unique<Output>();
        o->Input = MakeReportBenchmarkInput();
        TTiffReader tiff;
        for (int i = 0; i < 4; ++i) {
            o->Tiffs.push_back(G4Tiff(ParcelSheet(i)));
            o->Input.Sheets.push_back(tiff.Read(o->Tiffs.back()));
        }
        o->Input.StreetMap = std::make_unique<TMetafileGraphic>(StreetMapMetafile());
        o->File = o->Dir.filePath(QStringLiteral("profile.rpt"));
        TReportFileWriter writer;
        writer.FileName = o->File;
        writer.OnPrint = [p = o.get()](TBaseReport& r) { PrintReportBenchmarkPages(r, p->Input); };
        writer.Execute();
        return o;
    }();
    return *output;
}

void BM_SheetTiffRead(benchmark::State& state)
{
    Output& o = Shared();
    TTiffReader tiff;
    for (auto _ : state) benchmark::DoNotOptimize(tiff.Read(o.Tiffs[0]).width());
    state.counters["KiB"] = double(o.Tiffs[0].size()) / 1024;
}
BENCHMARK(BM_SheetTiffRead)->Unit(benchmark::kMillisecond);

void BM_OutputFileWrite(benchmark::State& state)
{
    Output& o = Shared();
    TReportFileWriter writer;
    writer.FileName = o.Dir.filePath(QStringLiteral("written.rpt"));
    writer.OnPrint = [&](TBaseReport& r) { PrintReportBenchmarkPages(r, o.Input); };
    for (auto _ : state) writer.Execute();
    TReportFileReader reader;
    reader.LoadFromFile(writer.FileName);
    state.counters["pages"] = reader.PageCount();
    state.counters["pictures"] = reader.ImageCount();
    state.counters["KiB"] = double(QFileInfo(writer.FileName).size()) / 1024;
}
BENCHMARK(BM_OutputFileWrite)->Unit(benchmark::kMillisecond);

void BM_OutputFileRead(benchmark::State& state)
{
    Output& o = Shared();
    for (auto _ : state) {
        TReportFileReader reader;
        reader.LoadFromFile(o.File);
        benchmark::DoNotOptimize(reader.PageCount());
    }
}
BENCHMARK(BM_OutputFileRead)->Unit(benchmark::kMillisecond);

void BM_OutputPdf(benchmark::State& state)
{
    Output& o = Shared();
    const QString pdf = o.Dir.filePath(QStringLiteral("profile.pdf"));
    for (auto _ : state) {
        QFile file(o.File);
        file.open(QIODevice::ReadOnly);
        TRenderPDF().Render(file, pdf);
    }
    state.counters["KiB"] = double(QFileInfo(pdf).size()) / 1024;
}
BENCHMARK(BM_OutputPdf)->Unit(benchmark::kMillisecond);

// Page 3 holds the first sheet; the first paint scales and caches it.
void BM_OutputPreviewPage(benchmark::State& state)
{
    Output& o = Shared();
    TFilePreview preview;
    preview.FileName = o.File;
    preview.Start();
    preview.GotoPage(3);
    preview.SetZoomFactor(double(state.range(0)));
    benchmark::DoNotOptimize(preview.grab());
    for (auto _ : state) {
        preview.RedrawPage();
        benchmark::DoNotOptimize(preview.grab());
    }
}
BENCHMARK(BM_OutputPreviewPage)->Arg(90)->Arg(200)->Unit(benchmark::kMillisecond);

// The first paint of a page at a new zoom, its sheet scaled.
void BM_OutputPreviewPageNewZoom(benchmark::State& state)
{
    Output& o = Shared();
    TFilePreview preview;
    preview.FileName = o.File;
    preview.Start();
    preview.GotoPage(3);
    int zoom = 90;
    for (auto _ : state) {
        preview.SetZoomFactor(zoom = zoom == 90 ? 91 : 90);
        preview.Finish();
        preview.Start();
        preview.GotoPage(3);
        benchmark::DoNotOptimize(preview.grab());
    }
}
BENCHMARK(BM_OutputPreviewPageNewZoom)->Unit(benchmark::kMillisecond);

// A page the file reader accepts that reaches far past its sheet: a 1-bit
// sheet drawn 10,000 inches tall and 100,000 characters at 2,000 points,
// previewed at a new zoom each time (so nothing comes from the cache).
void BM_OutputPreviewFarReachingPage(benchmark::State& state)
{
    QTemporaryDir dir;
    QImage sheet(5000, 3500, QImage::Format_Mono);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    sheet.fill(0);
    for (int y = 0; y < sheet.height(); y += 10)
        std::fill(sheet.scanLine(y), sheet.scanLine(y) + sheet.bytesPerLine(), uchar(0xFF));
    TReportFileWriter writer;
    writer.FileName = dir.filePath(QStringLiteral("far.rpt"));
    writer.OnPrint = [&](TBaseReport& r) {
        r.PrintImageRect(0.5, 0.5, 8, 10000, sheet);
        r.SetFontSize(2000);
        r.GotoXY(0.5, 8);
        r.PrintLeft(QString(100000, QLatin1Char('W')), 0.5);
    };
    writer.Execute();
    TFilePreview preview;
    preview.FileName = writer.FileName;
    preview.Start();
    int zoom = 90;
    for (auto _ : state) {
        preview.SetZoomFactor(zoom = zoom == 90 ? 100 : 90);
        preview.Finish();
        preview.Start();
        benchmark::DoNotOptimize(preview.grab());
    }
}
BENCHMARK(BM_OutputPreviewFarReachingPage)->Unit(benchmark::kMillisecond);

// The same texts and pictures, each picture at its drawn size, printed by
// QTextDocument.
void BM_ReferenceQTextDocumentPdf(benchmark::State& state)
{
    Output& o = Shared();
    TReportFileReader reader;
    reader.LoadFromFile(o.File);
    const RichTextPages pages(reader);
    const QString pdf = o.Dir.filePath(QStringLiteral("reference.pdf"));
    for (auto _ : state) pages.PrintPdf(pdf);
    state.counters["texts"] = pages.Texts;
    state.counters["pictures"] = double(pages.Images.size());
    state.counters["KiB"] = double(QFileInfo(pdf).size()) / 1024;
}
BENCHMARK(BM_ReferenceQTextDocumentPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
