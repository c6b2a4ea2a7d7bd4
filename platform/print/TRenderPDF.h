#pragma once
// Saves a report as PDF: a report file, given as a stream, rendered into a
// named PDF file, page by page. Text stays text (a reader can search and
// copy it) in the report's fonts, embedded as subsets so the file reads the
// same on a machine without them; photographs are JPEG at ImageQuality;
// 1-bit map sheets are kept without loss; a street map stays vector. A
// picture whose data is damaged is written again from what can be decoded
// of it, or left out when nothing can. The file is written as a whole or
// not at all.

#include <QString>
#include <functional>

class QIODevice;

class TRenderPDF {
public:
    // JPEG quality of photographs, 1..100.
    int ImageQuality = 90;
    // Told of every picture left out of the PDF because it cannot be
    // decoded; the rest of the PDF is written.
    std::function<void(const QString& what)> OnLeftOut;

    // EReportFileError for a damaged report file, EFCreateError when the
    // PDF cannot be written.
    void Render(QIODevice& stream, const QString& pdfFileName) const;
};

// True when the file name's extension is ".pdf" in any case ("report.PDF").
bool IsPdfFileName(const QString& fileName);
