// The spin edits' values without keys or mouse: clamping, parse fallbacks,
// steps of every kind, texts, the label's places and the layout.

#include "controls/EsgSpinEdit.h"
#include "controls/ExtSpinEdit.h"
#include "platform/widgets/Label.h"
#include "platform/core/SysUtils.h"
#include "platform/graphics/SystemMetrics.h"
#include "tests/controls/EditTestHost.h"

#include <gtest/gtest.h>

using namespace edittest;

namespace {

class SpinValues : public ::testing::Test {
protected:
    ScopedRegionalSettings locale{MonthFirst()};
    ScopedDialogResponder dialogs;
    QWidget host;
    TExtSpinEdit edit{&host, QStringLiteral("edSpin")};
    TEsgSpinEdit grid{&host, QStringLiteral("edGridSpin")};

    void Caret(TCustomEdit& e, int pos)
    {
        e.SetSelStart(pos);
        e.SetSelLength(0);
    }
};

TDateTime Ymd(int y, int m, int d) { return EncodeDate(y, m, d); }

// ---------------------------------------------------------------------------
// Clamping and fallbacks

TEST_F(SpinValues, NewEditsHoldZeroAndStopAtTheDefaultMaximum)
{
    EXPECT_EQ(edit.Text(), QStringLiteral("0"));
    EXPECT_EQ(grid.Text(), QStringLiteral("0"));
    for (int i = 0; i < 150; ++i) edit.StepUp();
    EXPECT_EQ(edit.Value(), 100);
    grid.SetText(QStringLiteral("100"));
    grid.StepUp();
    EXPECT_EQ(grid.Value(), 100);
    edit.SetValue(-5);
    EXPECT_EQ(edit.Text(), QStringLiteral("0"));
    edit.SetFloatValue(250.0);
    EXPECT_EQ(edit.Text(), QStringLiteral("100"));
}

TEST_F(SpinValues, EqualBoundsMeanNoRange)
{
    edit.SetMinValue(0);
    edit.SetMaxValue(0);
    edit.SetValue(100);
    edit.StepUp();
    EXPECT_EQ(edit.Value(), 101);
    edit.SetValue(-7);
    EXPECT_EQ(edit.Value(), -7);
    grid.SetMinValue(5);
    grid.SetMaxValue(5);
    grid.SetValue(100);
    grid.StepUp();
    EXPECT_EQ(grid.Value(), 101);
    edit.SetMinFloatValue(1.0);
    edit.SetMaxFloatValue(1.0);
    edit.SetFloatValue(-3.5);
    EXPECT_EQ(edit.FloatValue(), -3.5);
}

TEST_F(SpinValues, TextsThatDoNotParseReadAsTheFallbacks)
{
    edit.SetMinValue(5);
    edit.SetText(QStringLiteral("abc"));
    EXPECT_EQ(edit.Value(), 5);
    edit.SetText(QString());
    // The float reads the integer minimum, not the float one.
    edit.SetMinFloatValue(2.5);
    EXPECT_EQ(edit.FloatValue(), 5.0);
    edit.SetText(QStringLiteral("10,000"));
    EXPECT_EQ(edit.Value(), 5);

    edit.SetMinDateValue(Ymd(2001, 1, 1));
    edit.SetText(QStringLiteral("32/45/x"));
    EXPECT_EQ(edit.DateValue(), Ymd(2001, 1, 1));
    edit.SetText(QString());
    EXPECT_NEAR(edit.DateValue(), Now(), 1.0 / 24);
    edit.SetText(QStringLiteral("0"));
    EXPECT_NEAR(edit.DateValue(), Now(), 1.0 / 24);
    edit.SetText(QStringLiteral("noon"));
    EXPECT_EQ(edit.TimeValue(), 0.0);

    grid.SetText(QStringLiteral("1x"));
    EXPECT_EQ(grid.Value(), 0);
    grid.SetText(QString());
    EXPECT_NEAR(grid.DateValue(), Now(), 1.0 / 24);
}

// ---------------------------------------------------------------------------
// Smart and page steps

TEST_F(SpinValues, SmartStepsChangeTheDigitLeftOfTheCaret)
{
    edit.SetMaxValue(0);
    edit.SetIncrementSmart(true);
    edit.SetText(QStringLiteral("1234"));
    Caret(edit, 2);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("1334"));
    EXPECT_EQ(edit.SelStart(), 2);
    Caret(edit, 0);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("1335"));

    edit.SetSpinType(sptFloat);
    edit.SetMaxFloatValue(0);
    edit.SetText(QStringLiteral("12.345"));
    Caret(edit, 5);
    edit.SmartStepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("12.355"));
    edit.SetText(QStringLiteral("12.345"));
    Caret(edit, 6);
    edit.SmartStepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("12.346"));
    edit.SetText(QStringLiteral("12.345"));
    Caret(edit, 3);
    edit.SmartStepDown();
    EXPECT_EQ(edit.Text(), QStringLiteral("11.345"));

    // A date is left as it is.
    edit.SetSpinType(sptDate);
    edit.SetDateValue(Ymd(2003, 1, 31));
    const QString date = edit.Text();
    edit.SmartStepUp();
    EXPECT_EQ(edit.Text(), date);
}

TEST_F(SpinValues, FloatTextsFollowThePrecision)
{
    edit.SetSpinType(sptFloat);
    edit.SetFloatValue(0);
    for (int i = 0; i < 3; ++i) edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("0.3"));
    edit.SetPrecision(2);
    edit.SetFloatValue(1.5);
    EXPECT_EQ(edit.Text(), QStringLiteral("1.50"));
    edit.SetPrecision(-1);
    edit.SetFloatValue(12.34567);
    EXPECT_EQ(edit.Text(), QStringLiteral("12.35"));
    edit.SetPrecision(0);
    EXPECT_EQ(edit.Text(), QStringLiteral("12.35"));

    ScopedRegionalSettings dayFirst(DayFirst());
    edit.SetPrecision(2);
    edit.SetFloatValue(1.5);
    EXPECT_EQ(edit.Text(), QStringLiteral("1,50"));

    // The grid's editor steps floats by nothing until told.
    grid.SetSpinType(sptFloat);
    grid.SetFloatValue(2.0);
    grid.StepUp();
    EXPECT_EQ(grid.FloatValue(), 2.0);
    grid.SetIncrementFloat(0.25);
    grid.StepUp();
    EXPECT_EQ(grid.Text(), QStringLiteral("2,25"));
}

TEST_F(SpinValues, ChangingTheKindRewritesTheValue)
{
    edit.SetValue(42);
    edit.SetSpinType(sptFloat);
    edit.SetPrecision(1);
    EXPECT_EQ(edit.Text(), QStringLiteral("42.0"));
    edit.SetSpinType(sptHex);
    edit.SetHexValue(42);
    EXPECT_EQ(edit.Text(), QStringLiteral("0x2A"));
    // The class library reads "0x" texts as integers too.
    edit.SetSpinType(sptNormal);
    EXPECT_EQ(edit.Text(), QStringLiteral("42"));
    // The grid's editor has no hexadecimal kind.
    grid.SetSpinType(sptHex);
    EXPECT_EQ(grid.SpinType(), sptNormal);
}

TEST_F(SpinValues, ChangeFiresAlsoForChangesByCode)
{
    int changes = 0;
    edit.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &edit);
        ++changes;
    };
    edit.SetValue(3);
    edit.StepUp();
    edit.SetValue(4);
    EXPECT_EQ(changes, 2);
}

// ---------------------------------------------------------------------------
// Dates

TEST_F(SpinValues, DatesStepThePartUnderTheCaretInTheLocalesOrder)
{
    {
        ScopedRegionalSettings dayFirst(DayFirst());
        edit.SetSpinType(sptDate);
        edit.SetDateValue(Ymd(2003, 1, 31));
        EXPECT_EQ(edit.Text(), QStringLiteral("31.01.2003"));
        Caret(edit, 4);
        edit.StepUp();
        EXPECT_EQ(edit.DateValue(), Ymd(2003, 2, 28));
        edit.SetDateValue(Ymd(2003, 1, 31));
        Caret(edit, 0);
        edit.StepUp();
        EXPECT_EQ(edit.DateValue(), Ymd(2003, 2, 1));
        edit.SetDateValue(Ymd(2003, 1, 31));
        Caret(edit, 10);
        edit.StepUp();
        EXPECT_EQ(edit.DateValue(), Ymd(2004, 1, 31));
        EXPECT_EQ(edit.SelStart(), 10);
    }
    // Month first: the first part is the month.
    edit.SetDateValue(Ymd(2003, 1, 31));
    EXPECT_EQ(edit.Text(), QStringLiteral("1/31/2003"));
    Caret(edit, 0);
    edit.StepUp();
    EXPECT_EQ(edit.DateValue(), Ymd(2003, 2, 28));
    edit.SetDateValue(Ymd(2003, 1, 31));
    Caret(edit, 3);
    edit.StepUp();
    EXPECT_EQ(edit.DateValue(), Ymd(2003, 2, 1));
    Caret(edit, 0);
    edit.StepDown();
    EXPECT_EQ(edit.DateValue(), Ymd(2003, 1, 1));

    // Year first.
    TFormatSettings iso = MonthFirst();
    iso.ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    iso.DateSeparator = u'-';
    ScopedRegionalSettings yearFirst(iso);
    edit.SetDateValue(Ymd(2003, 1, 31));
    EXPECT_EQ(edit.Text(), QStringLiteral("2003-01-31"));
    Caret(edit, 1);
    edit.StepDown();
    EXPECT_EQ(edit.DateValue(), Ymd(2002, 1, 31));
    Caret(edit, 9);
    edit.StepUp();
    EXPECT_EQ(edit.DateValue(), Ymd(2002, 2, 1));
}

TEST_F(SpinValues, TheGridsDateStepsFollowTheLocaleToo)
{
    grid.SetSpinType(sptDate);
    grid.SetDateValue(Ymd(2003, 1, 31));
    Caret(grid, 0);
    grid.StepUp();
    EXPECT_EQ(grid.DateValue(), Ymd(2003, 2, 28));
    ScopedRegionalSettings dayFirst(DayFirst());
    grid.SetDateValue(Ymd(2003, 1, 31));
    Caret(grid, 0);
    grid.StepUp();
    EXPECT_EQ(grid.DateValue(), Ymd(2003, 2, 1));
    Caret(grid, 4);
    grid.StepUp();
    EXPECT_EQ(grid.DateValue(), Ymd(2003, 3, 1));
    Caret(grid, 9);
    grid.StepDown();
    EXPECT_EQ(grid.DateValue(), Ymd(2002, 3, 1));
}

TEST_F(SpinValues, AYearStepFromTheLeapDayBeepsAndKeepsTheValue)
{
    edit.SetSpinType(sptDate);
    edit.SetDateValue(Ymd(2004, 2, 29));
    Caret(edit, int(edit.Text().size()));
    edit.StepUp();
    EXPECT_EQ(edit.DateValue(), Ymd(2004, 2, 29));
    EXPECT_EQ(dialogs.Beeps(), 1);
    grid.SetSpinType(sptDate);
    grid.SetDateValue(Ymd(2004, 2, 29));
    Caret(grid, int(grid.Text().size()));
    grid.StepDown();
    EXPECT_EQ(grid.DateValue(), Ymd(2004, 2, 29));
    EXPECT_EQ(dialogs.Beeps(), 2);
    // The edge of the calendar.
    edit.SetDateValue(Ymd(9999, 12, 31));
    Caret(edit, 0);
    edit.StepUp();
    EXPECT_EQ(edit.DateValue(), Ymd(9999, 12, 31));
    EXPECT_EQ(dialogs.Beeps(), 3);
}

TEST_F(SpinValues, DatesAreClampedToTheirRange)
{
    edit.SetSpinType(sptDate);
    edit.SetMinDateValue(Ymd(2000, 1, 1));
    edit.SetMaxDateValue(Ymd(2000, 12, 31));
    edit.SetDateValue(Ymd(2005, 6, 1));
    EXPECT_EQ(edit.DateValue(), Ymd(2000, 12, 31));
}

// ---------------------------------------------------------------------------
// Times

TEST_F(SpinValues, TimesStepTheirParts)
{
    edit.SetSpinType(sptTime);
    edit.SetTimeValue(EncodeTime(23, 59, 30, 0));
    EXPECT_EQ(edit.Text(), QStringLiteral("23:59:30"));
    Caret(edit, 7);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("23:59:31"));
    Caret(edit, 4);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("0:00:31"));
    // Past midnight the value counts on into the next day.
    EXPECT_NEAR(edit.TimeValue(), 1.0 + EncodeTime(0, 0, 31, 0), 1e-9);
    edit.SetIncrementHours(2);
    Caret(edit, 0);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("2:00:31"));
    edit.SetIncrementHours(0);
    edit.SetIncrementMinutes(15);
    Caret(edit, 0);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("2:15:31"));

    // At midnight of day 0 a step down does nothing.
    edit.SetTimeValue(0);
    Caret(edit, 7);
    edit.StepDown();
    EXPECT_EQ(edit.Text(), QStringLiteral("0:00:00"));
    EXPECT_EQ(dialogs.Beeps(), 0);

    edit.SetShowSeconds(false);
    EXPECT_EQ(edit.Text(), QStringLiteral("0:00"));
    edit.SetTimeValue(EncodeTime(10, 30, 0, 0));
    EXPECT_EQ(edit.TimeValue(), EncodeTime(10, 30, 0, 0));
}

TEST_F(SpinValues, AnHourStepOutOfRangeBeepsAndKeepsTheValue)
{
    edit.SetSpinType(sptTime);
    edit.SetTimeValue(EncodeTime(8, 0, 0, 0));
    edit.SetIncrementHours(24);
    Caret(edit, 0);
    edit.StepUp();
    EXPECT_EQ(edit.Text(), QStringLiteral("8:00:00"));
    EXPECT_EQ(dialogs.Beeps(), 1);
    edit.SetIncrementMinutes(60);
    Caret(edit, 3);
    edit.StepDown();
    EXPECT_EQ(edit.Text(), QStringLiteral("8:00:00"));
    EXPECT_EQ(dialogs.Beeps(), 2);
}

TEST_F(SpinValues, TheGridsTimesWrapRoundMidnight)
{
    grid.SetSpinType(sptTime);
    grid.SetTimeValue(EncodeTime(23, 59, 59, 0));
    EXPECT_EQ(grid.Text(), QStringLiteral("23:59:59"));
    Caret(grid, 7);
    grid.StepDown();
    EXPECT_EQ(grid.Text(), QStringLiteral("23:59:58"));
    grid.SetTimeValue(0);
    Caret(grid, 7);
    grid.StepDown();
    EXPECT_EQ(grid.Text(), QStringLiteral("23:59:59"));
    for (int i = 0; i < 60; ++i) grid.StepDown();
    EXPECT_EQ(grid.Text(), QStringLiteral("23:58:59"));
    Caret(grid, 0);
    grid.StepUp();
    EXPECT_EQ(grid.Text(), QStringLiteral("00:58:59"));
    Caret(grid, 3);
    grid.StepDown();
    EXPECT_EQ(grid.Text(), QStringLiteral("00:57:59"));
}

// ---------------------------------------------------------------------------
// Hexadecimal

TEST_F(SpinValues, HexTextsRoundTripAlsoBelowZero)
{
    edit.SetSpinType(sptHex);
    edit.SetHexValue(255);
    EXPECT_EQ(edit.Text(), QStringLiteral("0xFF"));
    EXPECT_EQ(edit.HexValue(), 255);
    edit.SetHexValue(-1);
    EXPECT_EQ(edit.Text(), QStringLiteral("0xFFFFFFFF"));
    EXPECT_EQ(edit.HexValue(), -1);
    for (int v : {0, 1, -2, 0x7FFFFFFF, int(0x80000000u), 0x1234ABCD}) {
        edit.SetHexValue(v);
        EXPECT_EQ(edit.HexValue(), v) << edit.Text().toStdString();
    }
    edit.SetText(QStringLiteral("0xff"));
    EXPECT_EQ(edit.HexValue(), 255);
    edit.SetText(QStringLiteral("0x00000000FF"));
    EXPECT_EQ(edit.HexValue(), 255);
    // Nine digits, or letters beyond F, read as the minimum.
    edit.SetMinValue(7);
    edit.SetText(QStringLiteral("0x123456789"));
    EXPECT_EQ(edit.HexValue(), 7);
    edit.SetText(QStringLiteral("0x1G"));
    EXPECT_EQ(edit.HexValue(), 7);

    edit.SetHexValue(0x7FFFFFFF);
    edit.StepUp();
    EXPECT_EQ(edit.HexValue(), int(0x80000000u));
    edit.SetIncrement(16);
    edit.SetHexValue(1);
    edit.StepDown();
    EXPECT_EQ(edit.Text(), QStringLiteral("0xFFFFFFF1"));
}

// ---------------------------------------------------------------------------
// Label

struct LabelCase {
    TLabelPosition position;
    const char* name;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class SpinLabel : public ::testing::TestWithParam<LabelCase> { };

TEST_P(SpinLabel, StandsWhereItsPositionSays)
{
    QWidget host;
    host.resize(400, 300);
    TExtSpinEdit edit(&host, QStringLiteral("edPrice"));
    edit.SetBounds(150, 100, 50, 24);
    edit.SetLabelMargin(6);
    edit.SetLabelPosition(GetParam().position);
    edit.SetLabelCaption(QStringLiteral("A long caption"));
    const TLabel* label = edit.Label();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), QStringLiteral("A long caption"));
    EXPECT_EQ(label->parentWidget(), &host);
    EXPECT_EQ(label->FocusControl(), &edit);
    const int L = edit.Left(), T = edit.Top(), W = edit.Width(), H = edit.Height();
    const int lw = label->Width(), lh = label->Height(), tw = label->CanvasTextWidth(label->Caption()), M = 6;
    ASSERT_GT(lw, W); // wider than the edit: centring gives a negative offset
    int top = 0, left = 0;
    switch (GetParam().position) {
    case lpLeftTop:
        top = T;
        left = L - tw - M;
        break;
    case lpLeftCenter:
        top = T + (H - lh) / 2;
        left = L - tw - M;
        break;
    case lpLeftBottom:
        top = T + H - lh;
        left = L - tw - M;
        break;
    case lpTopLeft:
        top = T - lh - M;
        left = L;
        break;
    case lpBottomLeft:
        top = T + H + M;
        left = L;
        break;
    case lpLeftTopLeft:
        top = T;
        left = L - M;
        break;
    case lpLeftCenterLeft:
        top = T + (H - lh) / 2;
        left = L - M;
        break;
    case lpLeftBottomLeft:
        top = T + H - lh;
        left = L - M;
        break;
    case lpTopCenter:
        top = T - lh - M;
        left = L + (W - lw) / 2;
        break;
    case lpBottomCenter:
        top = T + H + M;
        left = L + (W - lw) / 2;
        break;
    }
    EXPECT_EQ(label->Top(), top);
    EXPECT_EQ(label->Left(), left);
    // It follows the edit.
    edit.SetBounds(160, 110, 50, 24);
    EXPECT_EQ(label->Left(), left + 10);
    EXPECT_EQ(label->Top(), top + 10);
}

INSTANTIATE_TEST_SUITE_P(
    AllTen, SpinLabel,
    ::testing::Values(LabelCase{lpLeftTop, "LeftTop"}, LabelCase{lpLeftCenter, "LeftCenter"},
                      LabelCase{lpLeftBottom, "LeftBottom"}, LabelCase{lpTopLeft, "TopLeft"},
                      LabelCase{lpBottomLeft, "BottomLeft"}, LabelCase{lpLeftTopLeft, "LeftTopLeft"},
                      LabelCase{lpLeftCenterLeft, "LeftCenterLeft"}, LabelCase{lpLeftBottomLeft, "LeftBottomLeft"},
                      LabelCase{lpTopCenter, "TopCenter"}, LabelCase{lpBottomCenter, "BottomCenter"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpinLabelFont, TheCaptionIsMeasuredInTheLabelsOwnFont)
{
    QWidget host;
    TExtSpinEdit edit(&host);
    edit.SetBounds(200, 50, 80, 24);
    edit.SetLabelCaption(QStringLiteral("Square feet"));
    const TLabel* label = edit.Label();
    const int smallWidth = label->Width();
    edit.LabelFont().SetSize(20);
    EXPECT_EQ(label->Font().Size(), 20);
    EXPECT_GT(label->Width(), smallWidth);
    // Right-aligned against the edit at the margin, in the new size.
    EXPECT_EQ(label->Left() + label->Width() + edit.LabelMargin(), edit.Left());

    // A label made after the font was set stands in it at once.
    TExtSpinEdit other(&host);
    other.SetBounds(200, 150, 80, 24);
    other.LabelFont().SetSize(18);
    other.SetLabelCaption(QStringLiteral("Square feet"));
    EXPECT_EQ(other.Label()->Left() + other.Label()->Width() + other.LabelMargin(), other.Left());
    EXPECT_EQ(other.Label()->Width(), other.Label()->CanvasTextWidth(QStringLiteral("Square feet")));
}

TEST(SpinLabelState, FollowsEnabledUnlessAlwaysEnabledAndFollowsVisible)
{
    QWidget host;
    TExtSpinEdit edit(&host);
    edit.SetLabelCaption(QStringLiteral("Beds"));
    host.show();
    ASSERT_TRUE(edit.Label()->isVisible());
    edit.SetEnabled(false);
    EXPECT_FALSE(edit.Label()->Enabled());
    edit.SetEnabled(true);
    edit.SetLabelAlwaysEnabled(true);
    edit.SetEnabled(false);
    EXPECT_TRUE(edit.Label()->Enabled());
    edit.SetVisible(false);
    EXPECT_FALSE(edit.Label()->isVisible());
    edit.SetVisible(true);
    EXPECT_TRUE(edit.Label()->isVisible());
    // Freed with the edit.
    QPointer<TLabel> label = edit.Label();
    {
        TExtSpinEdit gone(&host);
        gone.SetLabelCaption(QStringLiteral("x"));
        label = gone.Label();
    }
    EXPECT_TRUE(label.isNull());
}

// ---------------------------------------------------------------------------
// Layout and look

TEST_F(SpinValues, TheButtonPairSitsInsideTheRightEdge)
{
    edit.SetBounds(0, 0, 100, 30);
    const int pw = edit.Button()->Width();
    EXPECT_EQ(pw, 15);
    // In client coordinates (Width - pw - 5, 0, pw, Height - 5), inside the
    // 2-pixel edge.
    EXPECT_EQ(edit.Button()->geometry(), QRect(2 + 100 - pw - 5, 2, pw, 30 - 5));
    EXPECT_EQ(edit.Button()->UpButton()->geometry(), QRect(0, 0, 15, 12));
    EXPECT_EQ(edit.Button()->DownButton()->geometry(), QRect(0, 11, 15, 14));
    EXPECT_EQ(edit.EditRect(), TRect(0, 0, edit.ClientWidth() - pw - 2, edit.ClientHeight() + 1));

    // Too low an edit is raised to its minimum height.
    edit.SetBounds(0, 0, 100, 5);
    const int t = TWinControl::TextMetricsOf(edit.Font()).tmHeight;
    EXPECT_EQ(edit.Height(), t + std::min(SystemFontCharHeight(), t) / 4 + 2 + 4);
    EXPECT_EQ(edit.Height(), edit.MinHeight());

    edit.SetDirection(spHorizontal);
    EXPECT_EQ(edit.Button()->Width(), 20);
    EXPECT_EQ(edit.Button()->UpButton()->ArrowDirection(), adRight);
    EXPECT_EQ(edit.Button()->DownButton()->geometry().x(), 0);

    grid.SetBorderStyle(TBorderStyle::bsNone);
    grid.SetBounds(0, 0, 100, 30);
    EXPECT_EQ(grid.Button()->geometry(), QRect(100 - 15 - 1, 0, 15, 29));
    EXPECT_EQ(grid.EditRect(), TRect(1, 1, 100 - 15 - 2 - 1, 31));
}

TEST_F(SpinValues, TheFlatLookDropsTheBorderAndGivesTheColourBack)
{
    edit.SetColor(clYellow);
    edit.SetBounds(0, 0, 100, 30);
    edit.SetFlat(true);
    EXPECT_EQ(edit.BorderStyle(), TBorderStyle::bsNone);
    EXPECT_EQ(edit.EditRect(), TRect(2, 4, 100 - 2 - 15 - 2, 30 - 4));
    edit.SetColor(clAqua);
    edit.SetFlat(false);
    EXPECT_EQ(edit.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(edit.Color(), clYellow);
    edit.SetFlat(true);
    edit.SetFlatLineColor(clRed);
    edit.SetTransparent(true);
    EXPECT_EQ(edit.palette().color(QPalette::Base).alpha(), 0);
    // Painting the flat look runs cleanly.
    host.resize(200, 100);
    EXPECT_FALSE(host.grab().isNull());
}

TEST_F(SpinValues, TheButtonsOfAReadOnlyEditBeepAndChangeNothing)
{
    edit.SetReadOnly(true);
    edit.SetValue(5);
    edit.StepUp();
    EXPECT_EQ(edit.Value(), 5);
    EXPECT_EQ(dialogs.Beeps(), 1);
    grid.SetReadOnly(true);
    grid.StepDown();
    EXPECT_EQ(grid.Value(), 0);
    EXPECT_EQ(dialogs.Beeps(), 2);
}

TEST_F(SpinValues, GlyphsAndStylesOfTheTwoPairs)
{
    EXPECT_FALSE(edit.Button()->UpGlyph().Empty());
    EXPECT_FALSE(grid.Button()->DownGlyph().Empty());
    edit.Button()->SetDownNumGlyphs(2);
    edit.Button()->SetDownGlyph(nullptr);
    EXPECT_EQ(edit.Button()->DownNumGlyphs(), 1);
    EXPECT_FALSE(edit.Button()->DownGlyph().Empty());
    // The grid's halves take the style from its flag.
    EXPECT_FALSE(grid.Button()->UpButton()->DoVisualStyles());
    grid.SetButtonStyleFlag(true);
    EXPECT_TRUE(grid.Button()->UpButton()->DoVisualStyles());
    EXPECT_TRUE(grid.Button()->DownButton()->ButtonStyleFlag());
    edit.SetSpinFlat(true);
    EXPECT_TRUE(edit.Button()->DownButton()->Flat());
    EXPECT_TRUE(edit.SpinFlat());
}

} // namespace
