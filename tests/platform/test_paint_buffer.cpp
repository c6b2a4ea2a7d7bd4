// Double-buffered widget painting through the canvas.

#include "platform/widgets/PaintBuffer.h"

#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Painted : public QWidget {
public:
    TColor seen = clNone;

protected:
    void paintEvent(QPaintEvent*) override
    {
        TPaintBuffer buffer(this);
        TCanvas& c = buffer.Canvas();
        c.Brush().SetColor(clRed);
        c.FillRect(TRect(2, 2, 6, 6));
        seen = c.Pixel(3, 3); // read back from the buffer
    }
};

} // namespace

TEST(PaintBuffer, DrawsThroughAnImageOntoTheWidget)
{
    Painted w;
    w.resize(10, 8);
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(w.seen, clRed);
    EXPECT_EQ(FromQRgb(shot.pixel(3, 3)), clRed);
    EXPECT_EQ(FromQRgb(shot.pixel(8, 7)), ColorToRGB(clBtnFace));
}
