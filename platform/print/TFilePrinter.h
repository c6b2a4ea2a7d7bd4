#pragma once
// Prints a report file: executing it prints every page of FileName (or the
// pages chosen in the printer set-up dialog) on Printer, each page at the
// printer's own resolution from the paper's top-left corner.

#include "platform/core/Exception.h"

#include <QString>
#include <memory>

class QPrinter;

class EPrinterError : public Exception {
public:
    using Exception::Exception;
};

class TFilePrinter {
public:
    TFilePrinter();
    ~TFilePrinter();
    TFilePrinter(const TFilePrinter&) = delete;
    TFilePrinter& operator=(const TFilePrinter&) = delete;

    QString FileName;

    // The printer the pages go to; the set-up dialog changes it.
    QPrinter& Printer() { return *m_printer; }

    // EFOpenError or EReportFileError for the file, EPrinterError when the
    // printer does not start.
    void Execute();

private:
    std::unique_ptr<QPrinter> m_printer;
};
