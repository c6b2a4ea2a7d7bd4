// What the steps look like: the fonts their labels and buttons are drawn in,
// and captions that fit their buttons.

#include "app/MainProfileFrm.h"
#include "app/steps/TCompsParamsFrm.h"
#include "app/steps/TCustomerFrm.h"
#include "app/steps/TLoginFrm.h"
#include "controls/HTMLButton.h"
#include "platform/graphics/ImageList.h"
#include "platform/widgets/Panel.h"
#include "platform/widgets/Label.h"
#include "tests/app/MainWindowTest.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QFontMetrics>
#include <QToolButton>

using namespace testsupport;

namespace {

void ExpectDrawnIn(const TLabel* label, const QString& name, int size, bool bold)
{
    ASSERT_TRUE(label);
    const std::string what = label->objectName().toStdString();
    EXPECT_EQ(label->Font().Name(), name) << what;
    EXPECT_EQ(label->Font().Size(), size) << what;
    EXPECT_EQ(label->Font().Style().Contains(TFontStyle::fsBold), bold) << what;
    // Room for its caption in that font, as it is painted.
    const TTextMetric tm = TWinControl::TextMetricsOf(label->Font());
    EXPECT_GE(label->height(), tm.tmHeight) << what;
    if (!label->Caption().isEmpty()) {
        EXPECT_GE(label->width(), TWinControl::TextWidthOf(label->Font(), label->Caption())) << what;
    }
}

} // namespace

TEST_F(MainWindow, LabelsAreDrawnInTheFontsTheStepsGiveThem)
{
    TMainProfileFrm* main = Open();
    main->ShowStep(siCustomer);
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    const TLabel* heading = nullptr;
    for (const QWidget* w : CustomerFrm->findChildren<QWidget*>())
        if (auto* l = dynamic_cast<const TLabel*>(w); l && l->Caption() == QLatin1String("Customer Information"))
            heading = l;
    ExpectDrawnIn(heading, QStringLiteral("MS Sans Serif"), 12, true);

    main->ShowStep(siCompsParams);
    ASSERT_TRUE(WaitUntil([] { return bool(CompsParamsFrm); }));
    const TLabel* subject = nullptr;
    for (const QWidget* w : CompsParamsFrm->findChildren<QWidget*>())
        if (auto* l = dynamic_cast<const TLabel*>(w); l && l->Caption() == QLatin1String("Subject Property"))
            subject = l;
    ExpectDrawnIn(subject, QStringLiteral("MS Sans Serif"), 8, true);
    for (int i = 0; i < TCompsParamsFrm::rgCount; ++i) {
        TLabel* range = CompsParamsFrm->Range(i).RangeLabel;
        ExpectDrawnIn(range, QStringLiteral("Arial"), 12, true);
        range->SetCaption(QStringLiteral("1 to 3"));
        ExpectDrawnIn(range, QStringLiteral("Arial"), 12, true);
        // A regular 8-point caption is lower than the 12-point bold one.
        TFont small;
        EXPECT_LT(TWinControl::TextMetricsOf(small).tmHeight, range->height());
    }
}

TEST_F(MainWindow, TheLoginButtonShowsLoginInBoldAtTen)
{
    Open();
    ASSERT_TRUE(LoginFrm);
    THTMLButton* button = LoginFrm->btnLogin;
    EXPECT_EQ(button->Caption(), QStringLiteral("<B>Login</B>"));
    TRecordingCanvas canvas;
    button->PaintTo(canvas, false, false);
    bool drawn = false;
    for (const TCanvasCall& c : canvas.CallsOf(QStringLiteral("TextRun"))) {
        if (c.Text != QLatin1String("Login")) continue;
        drawn = true;
        EXPECT_TRUE(c.Font.Style().Contains(TFontStyle::fsBold));
        EXPECT_EQ(c.Font.Size(), 10);
    }
    EXPECT_TRUE(drawn);

    // And it shows: the bold caption puts more ink on the face than the
    // same caption in the regular face.
    auto ink = [button] {
        const QImage face = button->grab().toImage();
        int dark = 0;
        for (int y = 0; y < face.height(); ++y)
            for (int x = 0; x < face.width(); ++x)
                if (qGray(face.pixel(x, y)) < 96) ++dark;
        return dark;
    };
    const int bold = ink();
    button->SetCaption(QStringLiteral("Login"));
    const int regular = ink();
    EXPECT_GT(bold, regular + regular / 8) << bold << " against " << regular;
}

TEST_F(MainWindow, StepCaptionsFitTheirButtons)
{
    // The forms' Windows faces: Tahoma, and MS Sans Serif drawn in it.
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Tahoma"))).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("MS Sans Serif"))).family(), QStringLiteral("Tahoma"));
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setBold(true);
    EXPECT_TRUE(QFontInfo(bold).bold());

    TMainProfileFrm* main = Open();
    QList<QToolButton*> buttons;
    for (int i = 0; i < siStepCount; ++i) buttons.append(main->StepButton(i));
    buttons.append(main->findChild<QToolButton*>(QStringLiteral("ToolButtonExit")));
    for (QToolButton* b : buttons) {
        ASSERT_TRUE(b);
        const std::string what = b->text().toStdString();
        EXPECT_EQ(QFontInfo(b->font()).family(), QStringLiteral("Tahoma")) << what;
        EXPECT_EQ(b->height(), 36) << what;
        // Every caption fits its button at the design width, "Search
        // Params" included (a wider face clipped it at both ends).
        EXPECT_EQ(b->width(), 79) << what;
        EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()) + 8, b->width()) << what;
    }
}

namespace {

// The image the button shows now, as its style draws it: the list's own
// pixels while enabled, greyed while disabled.
QImage ShownImage(const TMainProfileFrm* main, const QToolButton* button, int index)
{
    if (button->isEnabled()) return main->ImageList1->Image(index);
    return button->icon().pixmap(button->iconSize(), QIcon::Disabled).toImage();
}

} // namespace

TEST_F(MainWindow, StepButtonsShowTheirImagesAboveTheirCaptions)
{
    TMainProfileFrm* main = OpenWithProperty();
    const int images[siStepCount] = {imLogout,   imPersonal,    imCustomer,  imPropSearch,
                                     imPropInfo, imCompsParams, imCompsView, imReport};
    QList<QPair<QToolButton*, int>> buttons;
    for (int i = 0; i < siStepCount; ++i) buttons.append({main->StepButton(i), images[i]});
    buttons.append({main->findChild<QToolButton*>(QStringLiteral("ToolButtonExit")), imExit});
    bool sawDisabled = false;
    for (const auto& [button, index] : buttons) {
        ASSERT_TRUE(button);
        const std::string what = button->text().toStdString();
        sawDisabled = sawDisabled || !button->isEnabled();
        const QImage face = button->grab().toImage();
        const QImage image = ShownImage(main, button, index);
        ASSERT_FALSE(image.isNull()) << what;
        const QPoint at = FindImage(face, image);
        ASSERT_NE(at, QPoint(-1, -1)) << what;
        // Centred above the caption, whose ink is below the image.
        EXPECT_LE(std::abs(at.x() + image.width() / 2 - face.width() / 2), 2) << what;
        EXPECT_GT(InkFrom(face, at.y() + image.height()), 20) << what;
        // No other step's image.
        for (int other = imLogin; other <= imExit; ++other) {
            if (other == index) continue;
            EXPECT_EQ(FindImage(face, main->ImageList1->Image(other)), QPoint(-1, -1)) << what << " " << other;
        }
    }
    // View Comps waits for the comps, greyed.
    EXPECT_TRUE(sawDisabled);
}

TEST_F(MainWindow, TheLoginImageTurnsToLogoutOnLoginAndBack)
{
    TMainProfileFrm* main = Open();
    QToolButton* button = main->StepButton(siLogin);
    auto shows = [main, button](int index) {
        return FindImage(button->grab().toImage(), main->ImageList1->Image(index)) != QPoint(-1, -1);
    };
    EXPECT_TRUE(shows(imLogin));
    EXPECT_FALSE(shows(imLogout));
    LogIn(QStringLiteral("demo"), QStringLiteral("demo"));
    ASSERT_TRUE(WaitUntil([] { return bool(CustomerFrm); }));
    EXPECT_EQ(button->text(), QStringLiteral("Logout"));
    EXPECT_TRUE(shows(imLogout));
    EXPECT_FALSE(shows(imLogin));
    Click(button);
    ASSERT_TRUE(WaitUntil([] { return LoginFrm && !AppState().LoggedIn; }));
    EXPECT_EQ(button->text(), QStringLiteral("Login"));
    EXPECT_TRUE(shows(imLogin));
    EXPECT_FALSE(shows(imLogout));
}

TEST_F(MainWindow, TheLoginStepShowsItsPictureStretchedOverTheForm)
{
    TMainProfileFrm* main = Open();
    ASSERT_TRUE(WaitUntil([] { return LoginFrm && LoginFrm->isVisible(); }));
    TLoginFrm* f = LoginFrm;
    EXPECT_EQ(f->size(), main->Panel1->size());
    EXPECT_EQ(f->Image1->geometry(), f->rect());
    const QImage shown = f->grab().toImage();
    // A sky at the top, the lawn at the bottom, whatever the form's size.
    const QColor sky = shown.pixelColor(6, 6);
    const QColor lawn = shown.pixelColor(6, shown.height() - 6);
    EXPECT_GT(sky.blue(), sky.red() + 60) << sky.name().toStdString();
    EXPECT_GT(lawn.green(), lawn.red() + 20) << lawn.name().toStdString();
    EXPECT_GT(lawn.green(), lawn.blue() + 20) << lawn.name().toStdString();
    // Not one colour: a picture, not an empty face.
    QSet<QRgb> colours;
    for (int y = 0; y < shown.height(); y += 4) colours.insert(shown.pixel(shown.width() / 8, y));
    EXPECT_GT(colours.size(), 20);
}

TEST_F(MainWindow, LabelsOnTheLoginBoxAndTheSearchTypePageShowWhatLiesBehindThem)
{
    // Beside its caption a label shows the colour next to it: the white login
    // box of the picture, the page the tab control paints. The form's grey
    // there would be a misprint.
    auto expectBehind = [](QWidget* form, const char* name) {
        auto* label = dynamic_cast<TLabel*>(FindByName<QWidget>(form, QString::fromLatin1(name)));
        ASSERT_TRUE(label) << name;
        ASSERT_GT(label->width(), label->CanvasTextWidth(label->Caption()) + 4) << name;
        const QImage shown = form->grab().toImage();
        const QRect r(label->mapTo(form, QPoint(0, 0)), label->size());
        const QColor inside = shown.pixelColor(r.right(), r.center().y());
        const QColor beside = shown.pixelColor(r.right() + 2, r.center().y());
        EXPECT_EQ(inside.name(), beside.name()) << name;
        EXPECT_GE(inside.lightness(), 245) << name << " " << inside.name().toStdString();
    };
    TMainProfileFrm* main = Open();
    ASSERT_TRUE(WaitUntil([] { return LoginFrm && LoginFrm->isVisible(); }));
    for (const char* name : {"Label1", "Label2"}) expectBehind(LoginFrm, name);

    main->ShowStep(siCompsParams);
    ASSERT_TRUE(WaitUntil([] { return CompsParamsFrm && CompsParamsFrm->isVisible(); }));
    CompsParamsFrm->SetTabIndex(1);
    for (const char* name : {"Label10", "Label11", "lbArea", "Label12", "Label13", "Label14"})
        expectBehind(CompsParamsFrm, name);
}
