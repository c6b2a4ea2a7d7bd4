#pragma once
// Colours as the class library keeps them: a plain colour is
// red + green * 256 + blue * 65536; a system colour is 0xFF000000 + the index
// of the system colour, resolved through a fixed table of classic Windows
// defaults (never through the desktop style, so pixels do not depend on it);
// clNone means no colour and is never painted (a pen, font or fill of that
// colour draws nothing).

#include <QColor>
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c) { return int(c & 0xFF); }
constexpr int GetGValue(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return int((c >> 16) & 0xFF); }

// Plain colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

namespace Win {

// System colour indices.
enum : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT,
};

} // namespace Win
constexpr int SystemColorCount = 31;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor + Win::COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor + Win::COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor + Win::COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor + Win::COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor + Win::COLOR_MENU;
constexpr TColor clWindow = clSystemColor + Win::COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor + Win::COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor + Win::COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor + Win::COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor + Win::COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor + Win::COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor + Win::COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor + Win::COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor + Win::COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor + Win::COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor + Win::COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor + Win::COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor + Win::COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor + Win::COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor + Win::COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor + Win::COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor + Win::COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor + Win::COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor + Win::COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor + Win::COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor + Win::COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor + Win::COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor + Win::COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor + Win::COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor + Win::COLOR_MENUBAR;

constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == clSystemColor; }

// RGB value of a system colour index from the fixed table (Windows 2000/XP
// "Windows Classic" scheme: button face 212,208,200, highlight 10,36,106).
// An index outside the table gives black.
TColor GetSysColor(int index);

// The colour as plain red/green/blue: system colours through the table,
// clNone and clDefault to black (callers test clNone before painting),
// anything else masked to its low 24 bits.
TColor ColorToRGB(TColor color);

// Qt colour of ColorToRGB(color); opaque.
QColor ToQColor(TColor color);
// Plain colour of a Qt colour (alpha ignored).
TColor FromQColor(const QColor& color);
// Plain colour of a 0xAARRGGBB pixel value (alpha ignored).
constexpr TColor FromQRgb(unsigned argb)
{
    return RGB(int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF));
}
// 0xFFRRGGBB pixel value of ColorToRGB(color).
unsigned ToQRgb(TColor color);
