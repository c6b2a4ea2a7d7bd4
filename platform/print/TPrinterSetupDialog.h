#pragma once
// The printer set-up dialog on a file printer's printer, shown through the
// dialog layer (tests answer it).

class QWidget;
class TFilePrinter;

class TPrinterSetupDialog {
public:
    // The printer the dialog sets up; with none, the dialog sets up a
    // printer of its own that nothing uses.
    TFilePrinter* FilePrinter = nullptr;
    QWidget* Parent = nullptr;

    // True when accepted.
    bool Execute();
};
