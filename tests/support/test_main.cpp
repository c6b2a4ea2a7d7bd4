// Entry point of every test program: a headless application object and a
// dialog responder, so nothing a test does can wait for a person.

#include "platform/Application.h"
#include "platform/Dialogs.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    ScopedDialogResponder responder;
    return RUN_ALL_TESTS();
}
