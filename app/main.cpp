#include "app/MainProfileFrm.h"
#include "grid/TGridUnit.h"
#include "state/TAppState.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fonts/ScriptFaces.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"

#include <memory>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    InstallWidgetStyle();
    // The faces Qt would refuse for their own script (Thaana's among them),
    // registered in a form it takes, before any text is laid out.
    ScriptFaces::Install();
    // The grid unit's start-up: its clipboard format, once per process.
    TGridUnit::Startup();
    int result = 1;
    try {
        auto mainForm = std::make_unique<TMainProfileFrm>();
        mainForm->show();
        result = app.Run();
        FreeAppState();
    } catch (const Exception& e) {
        Dialogs::ShowError(e.Message());
    }
    TGridUnit::Shutdown();
    return result;
}
