// The grid hands its visual-style flag to the spin, combo, wide combo and
// edit-button editors: on a themed desktop their buttons draw through the
// style, as the form's own spin edit does; otherwise classic.
#include "controls/EsgSpinButton.h"
#include "controls/ExtSpeedButton.h"
#include "controls/ExtTimerSpeedButton.h"
#include "grid/TExtStringGrid.h"
#include "grid/edit/TGridCombo.h"
#include "grid/edit/TGridEditBtn.h"
#include "grid/edit/TGridSpin.h"
#include "grid/edit/TGridUniCombo.h"
#include "platform/graphics/Themes.h"
#include "tests/support/PrintQString.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

struct Looks {
    bool spinThemed = false;
    bool comboFlag = false;
    bool uniComboFlag = false;
    bool editButtonThemed = false;
    QStringList comboParts; // theme classes the combo's button is drawn with
};

Looks EditorsOfAGridMade(bool themesActive)
{
    const bool was = IsThemeActive();
    SetThemesActive(themesActive);
    Looks looks;
    {
        TExtStringGrid g(nullptr, QStringLiteral("Grid"));
        looks.spinThemed = g.GridSpin()->SpinButton()->UpButton()->DoVisualStyles() &&
            g.GridSpin()->SpinButton()->DownButton()->DoVisualStyles();
        looks.comboFlag = g.GridCombo()->ButtonStyleFlag();
        looks.uniComboFlag = g.GridUniCombo()->ButtonStyleFlag();
        looks.editButtonThemed = g.GridEditBtn()->IsWinXP();
        g.GridCombo()->resize(120, 22);
        TRecordingCanvas canvas;
        g.GridCombo()->PaintFlat(canvas);
        for (const TCanvasCall& c : canvas.CallsOf(QStringLiteral("ThemePart"))) looks.comboParts << c.Text;
    }
    SetThemesActive(was);
    return looks;
}

} // namespace

TEST(EditorVisualStyle, ThemedDesktopThemedEditors)
{
    const Looks themed = EditorsOfAGridMade(true);
    EXPECT_TRUE(themed.spinThemed);
    EXPECT_TRUE(themed.comboFlag);
    EXPECT_TRUE(themed.uniComboFlag);
    EXPECT_TRUE(themed.editButtonThemed);
    EXPECT_TRUE(themed.comboParts.contains(QStringLiteral("combobox"))) << themed.comboParts.join(u',').toStdString();

    const Looks classic = EditorsOfAGridMade(false);
    EXPECT_FALSE(classic.spinThemed);
    EXPECT_FALSE(classic.comboFlag);
    EXPECT_FALSE(classic.uniComboFlag);
    EXPECT_FALSE(classic.editButtonThemed);
    EXPECT_TRUE(classic.comboParts.isEmpty());
}
