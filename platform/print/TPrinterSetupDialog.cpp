#include "platform/print/TPrinterSetupDialog.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/print/TFilePrinter.h"

bool TPrinterSetupDialog::Execute()
{
    return Dialogs::PrinterSetup(Parent, FilePrinter ? &FilePrinter->Printer() : nullptr);
}
