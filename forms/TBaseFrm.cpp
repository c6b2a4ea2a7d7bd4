#include "forms/TBaseFrm.h"

#include "forms/StepMessages.h"
#include "platform/kernel/Application.h"

TBaseFrm::TBaseFrm(QObject* owner, TStepHost* host) : TChildForm(owner), m_host(host)
{
    setObjectName(QStringLiteral("BaseFrm"));
    setWindowTitle(QStringLiteral("BaseFrm"));
    OnClose = [this](QObject* sender, TCloseAction& action) { FormClose(sender, action); };
    OnShow = [this](QObject* sender) { FormShow(sender); };
}

void TBaseFrm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_STEPCLOSE: {
        hide();
        QPointer<TBaseFrm> self(this);
        TApplication::ProcessMessages();
        if (!self) break;
        try {
            Close();
        } catch (...) {
            // The step stays on screen and current; the error is reported
            // and the caller told (non-zero) not to open the next step.
            if (self) {
                show();
                message.Result = 1;
            }
            if (TApplication* app = TApplication::Instance()) app->HandleException(self);
        }
        break;
    }
    case WM_FITPANEL: FitToPanel(); break;
    default: TChildForm::WndProc(message);
    }
}

void TBaseFrm::FormClose(QObject*, TCloseAction& action) { action = TCloseAction::caFree; }

void TBaseFrm::FormShow(QObject*)
{
    FitToPanel();
    setFocus();
}

bool TBaseFrm::PreviewKey(int) { return false; }
