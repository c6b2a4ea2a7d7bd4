#pragma once
// The report the report benchmarks print: 12 pages of mixed operations
// like a property profile (a gradient header bar and footer on every page,
// group bands, about 3,000 text runs, shaded tab tables, memo remarks and
// 40 house photos); with map sheets and a street map given, four 1-bit
// assessor map sheets and the vector street map are drawn over pages 1, 3,
// 6, 9 and 12 (only their cost counts, not the look). The preview, printer
// and PDF benchmarks print the same report, so they measure the same pages.

#include "platform/graphics/Bitmap.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <memory>
#include <vector>

struct ReportBenchmarkInput {
    std::vector<std::unique_ptr<TBitmap>> Photos;
    // 1-bit map sheets as the tax-map server's TIFF files decode.
    std::vector<QImage> Sheets;
    // The street map, drawn as vector.
    std::unique_ptr<TGraphic> StreetMap;
};

// 40 house photos, 320 x 240, decoded from JPEG as the report gets them.
inline ReportBenchmarkInput MakeReportBenchmarkInput()
{
    ReportBenchmarkInput input;
    for (int i = 0; i < 40; ++i) {
        QImage image(320, 240, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qRgb((x * 3 + i * 17 + (y * x) % 23) & 255, (y * 2 + i * 5 + (x ^ y) % 31) & 255,
                              ((x + y) / 2 + i * 11) & 255);
        }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "jpeg").write(image);
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetImage(QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB32));
        input.Photos.push_back(std::move(bitmap));
    }
    return input;
}

inline void PrintReportBenchmarkPages(TBaseReport& r, const ReportBenchmarkInput& input)
{
    r.SetLineHeight(0.17);
    TReportShell shell;
    int page = 0, row = 0, photo = 0;
    shell.OnPageHeader = [&](TBaseReport& s) {
        // A new gradient bar every page, as the page header makes it.
        TBitmap bar(60, 960);
        bar.SetPixelFormat(pf32bit);
        QImage image(60, 960, QImage::Format_RGB32);
        for (int y = 0; y < 960; ++y) {
            const int band = std::min(200, y / 5);
            const int light = 255 - band * 255 / 200;
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < 60; ++x) line[x] = qRgb(light, light, 255);
        }
        bar.SetImage(image);
        s.PrintBitmapRect(7.85, 0.5, 8.25, 10.35, bar);
        s.SetFont(QStringLiteral("Arial"), 18);
        s.SetBold(true);
        const QString title = QStringLiteral("MARKET DETAILS");
        for (int i = 0; i < title.size(); ++i) {
            s.GotoXY(0, 0.8 + 0.3 * (i + 1));
            s.PrintCenter(title.mid(i, 1), 8.05);
        }
        s.GotoXY(0, 0.75);
        if (s.PageNumber() == 1 && input.StreetMap) s.StretchDraw(QRectF(0.75, 0.75, 7.05, 4.7), *input.StreetMap);
    };
    shell.OnPageFooter = [&](TBaseReport& s) {
        const int sheet = s.PageNumber() / 3 - 1;
        if (s.PageNumber() % 3 == 0 && sheet < int(input.Sheets.size()))
            s.PrintImageRect(0.75, 4.5, 7.75, 9.4, input.Sheets[size_t(sheet)]);
        s.SetFont(QStringLiteral("Times New Roman"), 8);
        s.GotoXY(0, 9.9);
        s.Brush().SetColor(0x804000);
        s.Rectangle(0.75, 9.9, 7.8, 9.93);
        s.Brush().SetColor(0);
        s.NewLine();
        s.PrintLeft(QStringLiteral("Pat Agent - Ostrel Realty"), 0.75);
        s.NewLine();
        s.PrintRight(QStringLiteral("Information deemed reliable but not guaranteed."), 7.8);
        s.PrintLeft(QStringLiteral("05/17/2026"), 0.75);
        s.NewLine();
        s.PrintRight(QStringLiteral("Sourced from public and private data."), 7.8);
    };
    shell.OnRowPrint = [&](TBaseReport& s, TReportShell&, bool& valid) {
        // Group band and a shaded table heading.
        s.SetFont(QStringLiteral("Arial"), 10);
        s.SetBold(true);
        s.NewLine();
        s.PrintLeft(QStringLiteral("Comparable %1").arg(row + 1), 0.79);
        s.ClearTabs();
        s.SetTab(0.75, TTabJustify::tjLeft, 2.1, 5, TTabLines::FromBits(15), 0);
        for (int c = 0; c < 6; ++c)
            s.SetTab(tabAfterPrevious, TTabJustify::tjRight, 0.825, 0, TTabLines::FromBits(15), 0);
        s.SetTabShade(10);
        s.NewLine();
        for (const char* h : {"Address", "Beds", "Baths", "SqFt", "Year", "List", "Sold"})
            s.PrintTab(QString::fromLatin1(h));
        s.SetTabShade(0);
        s.SetBold(false);
        s.SetFont(QStringLiteral("Arial"), 8);
        s.ClearTabs();
        s.SetTab(0.75, TTabJustify::tjLeft, 2.1, 5, {}, 0);
        for (int c = 0; c < 6; ++c) s.SetTab(tabAfterPrevious, TTabJustify::tjRight, 0.825, 0, {}, 0);
        for (int line = 0; line < 6; ++line) {
            s.NewLine();
            s.SetTabShade(line % 2 ? 0 : 10);
            s.PrintTab(QStringLiteral("%1 Main Street").arg(1200 + row * 4 + line));
            s.PrintTab(QString::number(2 + line));
            s.PrintTab(QString::number(1 + line % 3));
            s.PrintTab(QStringLiteral("1,%1").arg(400 + row * 3));
            s.PrintTab(QString::number(1960 + row));
            s.PrintTab(QStringLiteral("$%1,000").arg(450 + row));
            s.PrintTab(QStringLiteral("$%1,500").arg(440 + row));
        }
        s.SetTabShade(0);
        s.NewLine();
        s.PrintLeft(QStringLiteral("Pool: Y"), 0.79);
        s.PrintLeft(QStringLiteral("DOM: %1").arg(row * 3 % 90), 2.0);
        s.PrintLeft(QStringLiteral("Distance: 0.%1 mi").arg(row % 10), 3.5);
        s.PrintRight(QStringLiteral("PPSF: $%1").arg(300 + row), 7.8);
        // A photo beside the features and the remarks.
        if (photo < int(input.Photos.size())) {
            s.NewLine();
            s.PrintBitmapRect(0.75, s.LineTop(), 2.8, s.LineTop() + 1.45, *input.Photos[size_t(photo++)]);
        }
        TMemoBuf memo(QStringLiteral("Remodeled kitchen with granite counters, hardwood floors throughout, "
                                     "new roof in 2019, dual pane windows, landscaped yard with sprinklers, "
                                     "two car garage with storage and a view of the hills."));
        memo.SetPrintStart(2.9);
        memo.SetPrintEnd(7.8);
        s.PrintMemo(memo, 0, false);
        s.NewLine();
        ++row;
        valid = row < 48;
        // A comp that no longer fits in full starts a new page.
        if (valid && s.LinesLeft() < 12) s.NewPage();
        page = s.PageNumber();
    };
    shell.Execute(r);
    (void)page;
}
