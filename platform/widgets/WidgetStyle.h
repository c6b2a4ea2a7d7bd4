#pragma once
// Installs the graphics room's style hooks (themed parts through Fusion,
// stock icons from the application style). Called by every control's
// constructor, the program's start and the test main; only the first call
// acts.

void InstallWidgetStyle();
