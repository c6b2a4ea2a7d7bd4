// The printer set-up box of Dialogs. It lives with the printer rather than
// with the other dialogs: only this room links Qt PrintSupport.

#include "platform/dialogs/Dialogs.h"

#include <QPrintDialog>
#include <QPrinter>

bool Dialogs::PrinterSetup(QWidget* parent, QPrinter* printer)
{
    if (DialogResponder* responder = Responder()) {
        DialogRequest r;
        r.kind = DialogRequest::Kind::PrinterSetup;
        r.buttons = mbOKCancel;
        return responder->Answer(r) == mrOk;
    }
    QPrinter own;
    QPrintDialog dlg(printer ? printer : &own, parent);
    return dlg.exec() == QDialog::Accepted;
}
