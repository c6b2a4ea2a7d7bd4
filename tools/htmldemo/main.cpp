// Draws sample texts of the HTML mini-language and HTML buttons with every
// face into one picture (default htmldemo.png), and below them a price in a
// narrow grid cell and an idle flat combo.

#include "controls/ESGComboBox.h"
#include "controls/HTMLButton.h"
#include "controls/HTMLDraw.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/WidgetStyle.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/graphics/Themes.h"

#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

const char* const kSamples[] = {
    "Plain text in a cell that wraps at spaces when it is too long",
    "<B>Bold</B>, <I>italic</I>, <U>underline</U>, <S>strike</S> and <FONT COLOR=\"clred\">red</FONT>",
    "<FONT SIZE=\"4\" COLOR=\"#0000FF\">Size 4 blue</FONT> <FONT FACE=\"DejaVu Serif\">serif</FONT>",
    "Links: <A HREF=\"one\">first</A> and <A HREF=\"two\">second (focused)</A>",
    "H<SUB>2</SUB>O and E = mc<SUP>2</SUP>, &lt;tags&gt; &amp; &euro; &copy; &trade;",
    "<UL><LI>First level<UL><LI>Second level</UL></UL>",
    "<P ALIGN=\"CENTER\">Centred paragraph</P><P ALIGN=\"RIGHT\">right</P>",
    "<FONT BGCOLOR=\"clyellow\">highlighted</FONT> <HI>selection</HI> <E>speling</E> <SH>shadow</SH>",
    "<P BGCOLOR=\"claqua\">paragraph band</P><HR>after the rule",
    "<IMG SRC=\"IDX:0\"> picture from a list <IMG SRC=\"SSYS:3\"> folder",
    "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\" WIDTH=\"16\"> check "
    "<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"TRUE\" WIDTH=\"16\"> radio",
    "<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"edit\" WIDTH=\"70\"> "
    "<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"combo\" WIDTH=\"80\"> "
    "<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"50\">",
};

const char* const kFaces[] = {"stNormal",  "stNoise",     "stDiagShade", "stHShade", "stVShade", "stHBump",
                              "stVBump",   "stSoftBump",  "stHardBump",  "stLMetal", "stRMetal", "stIRadial",
                              "stORadial", "stHShadeInv", "stVShadeInv", "stXPTheme"};

void DrawButton(QImage& target, THTMLButton& b, int x, int y, bool down)
{
    QImage img(b.width(), b.height(), QImage::Format_RGB32);
    img.fill(QColor(212, 208, 200));
    TPainterCanvas canvas(&img, 96);
    b.PaintTo(canvas, down, false);
    canvas.Release();
    QPainter p(&target);
    p.drawImage(x, y, img);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    InstallWidgetStyle();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("htmldemo.png");

    const int cellWidth = 300;
    QImage image(2 * cellWidth + 30, 750, QImage::Format_RGB32);
    image.fill(QColor(212, 208, 200));

    TImageList images(16, 16);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setBrush(QColor(30, 120, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(1, 1, 14, 14);
    }
    images.AddImages(icon);

    {
        TPainterCanvas canvas(&image, 96);
        canvas.Font().SetName(QStringLiteral("DejaVu Sans"));
        canvas.Font().SetSize(8);
        canvas.Font().SetColor(clWindowText);
        int y = 10;
        int i = 0;
        for (const char* sample : kSamples) {
            const int column = i % 2;
            const TRect cell(10 + column * (cellWidth + 10), y, 10 + column * (cellWidth + 10) + cellWidth, y + 40);
            canvas.Brush().SetColor(clWindow);
            canvas.Pen().SetColor(clGray);
            canvas.Rectangle(cell.Inflated(1, 1));
            THTMLDrawOptions o;
            o.Images = &images;
            o.FocusLink = 1;
            THTMLDrawResults r;
            HTMLDraw(canvas, QString::fromUtf8(sample), cell, o, r);
            if (column == 1) y += 48;
            ++i;
        }
        canvas.Release();
    }

    // Buttons: the login button, then every face, up and pressed, and a
    // disabled one.
    int x = 10;
    int y = 310;
    THTMLButton login(nullptr, QStringLiteral("LoginBtn"));
    login.resize(120, 30);
    login.SetCaption(QStringLiteral("<FONT SIZE=\"10\"><B>Login</B></FONT>"));
    login.Font().SetName(QStringLiteral("DejaVu Sans"));
    login.SetButtonStyle(true);
    DrawButton(image, login, x, y, false);
    DrawButton(image, login, x + 130, y, true);
    login.setEnabled(false);
    DrawButton(image, login, x + 260, y, false);
    THTMLButton flat;
    flat.resize(120, 30);
    flat.Font().SetName(QStringLiteral("DejaVu Sans"));
    flat.SetFlat(true);
    flat.SetHoverColor(clInfoBk);
    flat.SetCaption(QStringLiteral("<I>Flat</I> <FONT COLOR=\"clblue\">face</FONT>"));
    DrawButton(image, flat, x + 390, y, false);
    DrawButton(image, flat, x + 520 - 10, y, true);

    y += 45;
    for (int k = 0; k < 16; ++k) {
        THTMLButton b;
        b.resize(140, 32);
        b.Font().SetName(QStringLiteral("DejaVu Sans"));
        b.Font().SetColor(k == stNormal || k == stXPTheme ? clBtnText : clWhite);
        b.SetColor(RGB(60, 110, 190));
        b.SetBackground(TBtnBackground(k));
        b.SetCaption(QStringLiteral("<B>") + QString::fromLatin1(kFaces[k]) + QStringLiteral("</B>"));
        const int bx = 10 + (k % 4) * 150;
        const int by = y + (k / 4) * 80;
        DrawButton(image, b, bx, by, false);
        DrawButton(image, b, bx, by + 36, true);
    }

    // A bold price that wraps in a narrow cell, and a flat combo with the
    // mouse elsewhere (its drop-down arrow shows all the same).
    {
        TPainterCanvas canvas(&image, 96);
        canvas.Font().SetName(QStringLiteral("DejaVu Sans"));
        canvas.Font().SetSize(8);
        canvas.Font().SetColor(clWindowText);
        const TRect cell(10, 690, 100, 730);
        canvas.Brush().SetColor(clWindow);
        canvas.Pen().SetColor(clGray);
        canvas.Rectangle(cell.Inflated(1, 1));
        THTMLDrawOptions o;
        THTMLDrawResults r;
        HTMLDraw(canvas, QStringLiteral("Price: <B>$100,000</B>"), cell, o, r);
        canvas.Release();
    }
    TESGComboBox combo(nullptr, QStringLiteral("cbType"));
    combo.Font().SetName(QStringLiteral("DejaVu Sans"));
    combo.SetStyle(csDropDownList);
    combo.Items().Add(QStringLiteral("Single Family"));
    combo.SetItemIndex(0);
    combo.SetBounds(0, 0, 150, 21);
    {
        QPainter p(&image);
        p.drawImage(120, 690, combo.grab().toImage());
    }

    if (!image.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
