#pragma once
// Shared helpers of the test programs.

#include "tests/support/PrintQString.h"

#include <QString>
#include <functional>

namespace testsupport {

// Path of a file in the source tree (fixtures, the sample service).
QString SourcePath(const QString& relative);

// Processes events until pred() holds or timeoutMs passes; returns pred().
// Objects released with deleteLater are freed on the way. For waiting on
// observable state, never for timing.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

} // namespace testsupport
