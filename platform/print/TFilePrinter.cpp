#include "platform/print/TFilePrinter.h"

#include "platform/report/TPageRenderer.h"
#include "platform/report/TReportFileReader.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

TFilePrinter::TFilePrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_printer->setFullPage(true);
    m_printer->setPageSize(QPageSize(QPageSize::Letter));
    m_printer->setPageOrientation(QPageLayout::Portrait);
}

TFilePrinter::~TFilePrinter() = default;

void TFilePrinter::Execute()
{
    TReportFileReader reader;
    reader.LoadFromFile(FileName);
    if (reader.PageCount() == 0) return;
    int first = 1, last = reader.PageCount();
    if (m_printer->printRange() == QPrinter::PageRange && m_printer->fromPage() > 0) {
        first = std::max(first, m_printer->fromPage());
        last = std::min(last, std::max(m_printer->fromPage(), m_printer->toPage()));
        if (first > last) return;
    }
    m_printer->setDocName(reader.Title().isEmpty() ? QFileInfo(FileName).fileName() : reader.Title());
    m_printer->setFullPage(true);

    QPainter painter;
    if (!painter.begin(m_printer.get())) throw EPrinterError(QStringLiteral("Printer is not currently printing"));
    TPageRenderer renderer(painter, m_printer->resolution());
    renderer.SetPaintBackground(false);
    for (int page = first; page <= last; ++page) {
        if (page > first) m_printer->newPage();
        reader.PlayPage(page - 1, renderer);
    }
    painter.end();
}
