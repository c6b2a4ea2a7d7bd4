// Entry point of every test program: a headless application object, the
// program's font set-up and a dialog responder, so nothing a test does can
// wait for a person.

#include "platform/kernel/Application.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/fonts/ScriptFaces.h"
#include "platform/widgets/WidgetStyle.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    InstallWidgetStyle();
    ScriptFaces::Install();
    ScopedDialogResponder responder;
    return RUN_ALL_TESTS();
}
