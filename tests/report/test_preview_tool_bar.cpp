// The preview's tool bar: each button shows its image above its caption.

#include "ProfileFixture.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "tests/support/GuiTest.h"

#include <QAction>
#include <QDialog>
#include <QToolBar>
#include <QToolButton>

using namespace testsupport;

TEST_F(ProfileTest, PreviewToolButtonsShowTheirImagesAboveTheirCaptions)
{
    SelectPages({pgPropInfo});
    WriteProfile();
    // The program's pictures, in the tool bar's order.
    TImageList images(16, 16);
    TBitmap strip;
    strip.LoadFromResourceName(QStringLiteral("TOOLPREVIEW"));
    images.AddImages(strip.Image(), clFuchsia);
    const char* const names[] = {"FilePrint", "FileSaveAs", "ZoomIn",   "ZoomOut", "PageFirst",
                                 "PageNext",  "PagePrior",  "PageLast", "Back"};
    ASSERT_EQ(images.Count(), int(std::size(names)));
    int checked = 0;
    m_dialogs.NextModal([&](QDialog& w) {
        w.show();
        auto* bar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
        EXPECT_TRUE(bar);
        if (!bar) return int(mrCancel);
        for (int i = 0; i < images.Count(); ++i) {
            auto* action = w.findChild<QAction*>(QString::fromLatin1(names[i]));
            auto* button = action ? qobject_cast<QToolButton*>(bar->widgetForAction(action)) : nullptr;
            EXPECT_TRUE(button) << names[i];
            if (!button) continue;
            const QImage face = button->grab().toImage();
            const QPoint at = FindImage(face, images.Image(i));
            EXPECT_NE(at, QPoint(-1, -1)) << names[i];
            EXPECT_GT(InkFrom(face, at.y() + 16), 20) << names[i];
            // Its own image, no other.
            for (int other = 0; other < images.Count(); ++other) {
                if (other == i) continue;
                EXPECT_EQ(FindImage(face, images.Image(other)), QPoint(-1, -1)) << names[i] << " " << other;
            }
            ++checked;
        }
        return int(mrCancel);
    });
    m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
    EXPECT_EQ(checked, images.Count());
}
