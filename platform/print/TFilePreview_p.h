#pragma once
// Private state of TFilePreview.

#include "platform/print/SheetCache_p.h"
#include "platform/print/TFilePreview.h"
#include "platform/report/TReportFileReader.h"

#include <QImage>
#include <memory>

struct TFilePreview::Data {
    // The shown file; null while none is.
    std::unique_ptr<TReportFileReader> Reader;
    TSheetCache Sheets;
    // The drawn page, and the page and zoom it was drawn for.
    QImage Page;
    int PageShown = 0;
    double ZoomShown = 0;
};
