#pragma once
// Installs the graphics room's style hooks (themed parts through Fusion,
// stock icons from the application style) and the faces of the Windows
// fonts the forms name (Wine's Tahoma for Tahoma and MS Sans Serif, when
// installed). Called by every control's constructor, the program's start
// and the test main; only the first call acts (the faces wait for the
// application object).

void InstallWidgetStyle();
