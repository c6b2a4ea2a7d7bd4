#pragma once
// Visual styles in place of the platform's theme library: the classes
// "button", "combobox" and "spin" with their parts and states, drawn in the
// style of the desktop (Qt's Fusion style). One loader serves every control;
// "themes active" is a platform switch that tests can turn on and off.
// Also the platform version that decides, with the switch, whether a control
// draws themed: the program runs as on version 5.1 (Windows XP) unless a test
// sets another.

#include "platform/graphics/Geometry.h"

#include <QString>

class QWidget;
class TCanvas;

struct TThemeData;
using HTHEME = TThemeData*;

namespace Win {

// Parts and states of the classes.
enum : int {
    // "button"
    BP_PUSHBUTTON = 1,
    BP_RADIOBUTTON = 2,
    BP_CHECKBOX = 3,
    BP_GROUPBOX = 4,
    PBS_NORMAL = 1,
    PBS_HOT = 2,
    PBS_PRESSED = 3,
    PBS_DISABLED = 4,
    PBS_DEFAULTED = 5,
    RBS_UNCHECKEDNORMAL = 1,
    RBS_UNCHECKEDHOT = 2,
    RBS_UNCHECKEDPRESSED = 3,
    RBS_UNCHECKEDDISABLED = 4,
    RBS_CHECKEDNORMAL = 5,
    RBS_CHECKEDHOT = 6,
    RBS_CHECKEDPRESSED = 7,
    RBS_CHECKEDDISABLED = 8,
    CBS_UNCHECKEDNORMAL = 1,
    CBS_UNCHECKEDHOT = 2,
    CBS_UNCHECKEDPRESSED = 3,
    CBS_UNCHECKEDDISABLED = 4,
    CBS_CHECKEDNORMAL = 5,
    CBS_CHECKEDHOT = 6,
    CBS_CHECKEDPRESSED = 7,
    CBS_CHECKEDDISABLED = 8,
    CBS_MIXEDNORMAL = 9,
    CBS_MIXEDHOT = 10,
    CBS_MIXEDPRESSED = 11,
    CBS_MIXEDDISABLED = 12,
    // "combobox"
    CP_DROPDOWNBUTTON = 1,
    CBXS_NORMAL = 1,
    CBXS_HOT = 2,
    CBXS_PRESSED = 3,
    CBXS_DISABLED = 4,
    // "spin"
    SPNP_UP = 1,
    SPNP_DOWN = 2,
    SPNP_UPHORZ = 3,
    SPNP_DOWNHORZ = 4,
    UPS_NORMAL = 1,
    UPS_HOT = 2,
    UPS_PRESSED = 3,
    UPS_DISABLED = 4,
    DNS_NORMAL = 1,
    DNS_HOT = 2,
    DNS_PRESSED = 3,
    DNS_DISABLED = 4,
    UPHZS_NORMAL = 1,
    UPHZS_HOT = 2,
    UPHZS_PRESSED = 3,
    UPHZS_DISABLED = 4,
    DNHZS_NORMAL = 1,
    DNHZS_HOT = 2,
    DNHZS_PRESSED = 3,
    DNHZS_DISABLED = 4,
};

} // namespace Win

// The loader: always present in this program (the theme library is built
// in), so the controls' "loaded" test is always true.
bool ThemeLibraryLoaded();

// Non-zero (true) when visual styles are in use: the platform switch.
bool IsThemeActive();
bool IsAppThemed();
// The platform switch (on at start unless the environment variable
// TAMSEL_THEMES is "0").
void SetThemesActive(bool active);

// A handle for a semicolon-separated class list of which the first known
// class ("button", "combobox", "spin"; case ignored) is taken; nullptr when
// none is known or themes are not active.
HTHEME OpenThemeData(QWidget* window, const QString& classList);
// Frees the handle (nullptr is allowed).
void CloseThemeData(HTHEME theme);
// Draws the part in its state into r (clipped to clip when given); false
// for a null handle or a part the class does not have.
bool DrawThemeBackground(HTHEME theme, TCanvas& canvas, int part, int state, const TRect& r,
                         const TRect* clip = nullptr);
// The class name of a handle ("button", "combobox", "spin").
QString ThemeClassName(HTHEME theme);

// Platform version (5.1 unless set); tests may set another.
int Win32MajorVersion();
int Win32MinorVersion();
void SetWin32Version(int major, int minor);
