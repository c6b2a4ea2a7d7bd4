#include "grid/TArrowWindow.h"
#include "grid/TPopupButton.h"
#include "grid/cells/TExtStringGridCheck.h"
#include "grid/cells/TFilePicture.h"
#include "tests/support/PrintQString.h"
#include "tests/support/RecordingCanvas.h"

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

TEST(CellHelpers, FilePictureKeepsNameAndSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.bmp");
    QImage image(12, 7, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path));
    TFilePicture picture;
    picture.SetFilename(path);
    EXPECT_EQ(picture.Width(), 12);
    EXPECT_EQ(picture.Height(), 7);
    TFilePicture copy;
    copy.Assign(picture);
    EXPECT_EQ(copy.Filename(), path);
    EXPECT_EQ(copy.Width(), 12);

    TRecordingCanvas canvas;
    copy.DrawPicture(canvas, TRect(0, 0, 24, 14));
    ASSERT_EQ(canvas.CallsOf("DrawImage").size(), 1);
    EXPECT_EQ(canvas.CallsOf("DrawImage").front().Rect, TRect(0, 0, 24, 14));

    // A missing file or a folder: no size, nothing drawn.
    picture.SetFilename(dir.filePath("missing.png"));
    EXPECT_EQ(picture.Width(), 0);
    picture.SetFilename(dir.path());
    EXPECT_EQ(picture.Height(), 0);
    canvas.Clear();
    picture.DrawPicture(canvas, TRect(0, 0, 5, 5));
    EXPECT_TRUE(canvas.Calls().isEmpty());
}

namespace {

class UpperChecker : public TExtStringGridCheck {
public:
    QString Correct(int, int, const QString& text) override { return text.toUpper(); }
    QString MarkError(int col, int row, const QString& text) override
    {
        return text + QStringLiteral("@%1,%2").arg(col).arg(row);
    }
};

} // namespace

TEST(CellHelpers, CheckerRunsCorrectThenMarkErrorAsAsked)
{
    TExtStringGridCheck plain;
    plain.AutoCorrect = plain.AutoMarkError = true;
    EXPECT_EQ(plain.Check(1, 2, "abc"), "abc");
    UpperChecker checker;
    EXPECT_EQ(checker.Check(1, 2, "abc"), "abc");
    checker.AutoCorrect = true;
    EXPECT_EQ(checker.Check(1, 2, "abc"), "ABC");
    checker.AutoMarkError = true;
    EXPECT_EQ(checker.Check(1, 2, "abc"), "ABC@1,2");
}

TEST(CellHelpers, ArrowWindowsAreShapedHiddenPopups)
{
    QWidget owner;
    for (int d = 0; d < 4; ++d) {
        TArrowWindow arrow(&owner, d);
        EXPECT_EQ(arrow.Direction(), d);
        EXPECT_FALSE(arrow.isVisible());
        EXPECT_TRUE(arrow.isWindow());
        EXPECT_EQ(TArrowWindow::ArrowShape(d).size(), 7);
        EXPECT_FALSE(arrow.mask().isEmpty());
    }
    EXPECT_EQ(TArrowWindow::ArrowShape(0).point(0), QPoint(5, 0));
    EXPECT_EQ(TArrowWindow::ArrowShape(3).point(3), QPoint(8, 7));
    // The arrow's tip is inside its region, a corner outside it.
    TArrowWindow down(&owner, 1);
    EXPECT_TRUE(down.mask().contains(QPoint(5, 6)));
    EXPECT_FALSE(down.mask().contains(QPoint(0, 0)));

    TPopupButton button(&owner);
    EXPECT_FALSE(button.isEnabled());
    EXPECT_FALSE(button.isVisible());
    button.SetCaption("Row : 5");
    EXPECT_EQ(button.Caption(), "Row : 5");
}
