#pragma once
// Window frames as a desktop draws them: a test that must see real title bars
// and borders runs itself again on an X server of its own (Xvfb) under a
// window manager (evilwm, tools/install-deps.sh), on Qt's xcb platform.

#include <QString>

namespace testsupport {

// True inside that second run.
bool UnderWindowManager();

// Runs the current test again under the window manager and reports its
// failures as this test's own.
void RunUnderWindowManager();

} // namespace testsupport
