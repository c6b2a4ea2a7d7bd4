#include "platform/graphics/Themes.h"

#include "platform/graphics/Canvas.h"

struct TThemeData {
    QWidget* window = nullptr;
    QString className;
};

namespace {
bool g_themesActive = qgetenv("TAMSEL_THEMES") != "0";
int g_major = 5;
int g_minor = 1;
} // namespace

bool ThemeLibraryLoaded() { return true; }
bool IsThemeActive() { return g_themesActive; }
bool IsAppThemed() { return g_themesActive; }
void SetThemesActive(bool active) { g_themesActive = active; }

HTHEME OpenThemeData(QWidget* window, const QString& classList)
{
    if (!g_themesActive) return nullptr;
    for (const QString& part : classList.split(QLatin1Char(';'))) {
        const QString name = part.trimmed().toLower();
        if (name == QLatin1String("button") || name == QLatin1String("combobox") || name == QLatin1String("spin"))
            return new TThemeData{window, name};
    }
    return nullptr;
}

void CloseThemeData(HTHEME theme) { delete theme; }

bool DrawThemeBackground(HTHEME theme, TCanvas& canvas, int part, int state, const TRect& r, const TRect* clip)
{
    if (!theme) return false;
    canvas.DrawThemePart(theme->window, theme->className, part, state, r, clip);
    return true;
}

QString ThemeClassName(HTHEME theme) { return theme ? theme->className : QString(); }

int Win32MajorVersion() { return g_major; }
int Win32MinorVersion() { return g_minor; }
void SetWin32Version(int major, int minor)
{
    g_major = major;
    g_minor = minor;
}
