// The character rules of both spin edits, case by case: what a typed
// character is answered with for each kind, text, caret and setting, and
// what character the edit receives.

#include "controls/EsgSpinEdit.h"
#include "controls/ExtSpinEdit.h"
#include "tests/controls/EditTestHost.h"

#include <gtest/gtest.h>

using namespace edittest;

namespace {

enum class Editor { Form, Grid };

struct CharCase {
    const char* what;
    Editor editor;
    TExtSpinType type;
    const char* text;
    int selStart;
    TKeyChar key;
    bool valid;
    TKeyChar received = 0; // 0: the key as typed
    int precision = 2;
    int selLength = 0;
    bool editorEnabled = true;
};

constexpr TKeyChar kBack = 8, kEnter = 13, kEscape = 27, kCtrlA = 1, kDel = 127;

void Check(TSpinEditCore& edit, const CharCase& c)
{
    edit.SetSpinType(c.type);
    edit.SetPrecision(c.precision);
    edit.SetEditorEnabled(c.editorEnabled);
    edit.SetText(QString::fromLatin1(c.text));
    edit.SetSelStart(c.selStart);
    edit.SetSelLength(c.selLength);
    TKeyChar key = c.key;
    EXPECT_EQ(edit.IsValidChar(key), c.valid) << c.what;
    EXPECT_EQ(key, c.received ? c.received : c.key) << c.what;
}

class SpinChars : public ::testing::Test {
protected:
    void Run(const std::vector<CharCase>& cases)
    {
        for (const CharCase& c : cases) Check(c.editor == Editor::Form ? static_cast<TSpinEditCore&>(form) : grid, c);
    }

    Host host;
    TExtSpinEdit form{&host, QStringLiteral("edPriceLow")};
    TEsgSpinEdit grid{&host, QStringLiteral("edGridSpin")};
};

TEST_F(SpinChars, MonthFirstSettings)
{
    ScopedRegionalSettings locale(MonthFirst()); // "." decimal, "," thousands, ":" time, "/" date
    const Editor F = Editor::Form, G = Editor::Grid;
    Run({
        // Integers take signs, digits, the number separators and controls.
        {"plus", F, sptNormal, "12", 2, U'+', true},
        {"minus", F, sptNormal, "12", 2, U'-', true},
        {"digit", F, sptNormal, "12", 2, U'7', true},
        {"decimal separator", F, sptNormal, "12", 2, U'.', true},
        {"thousand separator", F, sptNormal, "12", 2, U',', true},
        {"letter", F, sptNormal, "12", 2, U'a', false},
        {"space", F, sptNormal, "12", 2, U' ', false},
        {"control", F, sptNormal, "12", 2, kCtrlA, true},
        {"delete character", F, sptNormal, "12", 2, kDel, true},
        {"backspace", F, sptNormal, "12", 2, kBack, true},
        {"enter", F, sptNormal, "12", 2, kEnter, false},
        {"time separator outside a time", F, sptNormal, "12", 2, U':', false},
        {"date separator outside a date", F, sptNormal, "12", 2, U'/', false},
        {"grid: time separator outside a time", G, sptNormal, "12", 2, U':', false},
        {"grid: date separator outside a date", G, sptNormal, "12", 2, U'/', false},

        // Dates and times take their own separator only.
        {"date separator in a date", F, sptDate, "1/2", 1, U'/', true},
        {"time separator in a date", F, sptDate, "1/2", 1, U':', false},
        {"grid: date separator in a date", G, sptDate, "1/2", 1, U'/', true},
        {"time separator in a time", F, sptTime, "12", 2, U':', true},
        {"second time separator", F, sptTime, "12:30", 5, U':', false},
        {"date separator in a time", F, sptTime, "12", 2, U'/', false},
        {"grid: second time separator", G, sptTime, "12:30", 5, U':', true},
        {"grid: third time separator", G, sptTime, "12:30:15", 8, U':', false},

        // Floats: the thousand separator becomes the decimal one, once, and
        // no more decimals than the precision, unless something is selected.
        {"thousand separator in a float", F, sptFloat, "1", 1, U',', true, U'.'},
        {"second decimal separator", F, sptFloat, "1.2", 3, U'.', false},
        {"second thousand separator", F, sptFloat, "1.2", 3, U',', false, U'.'},
        {"decimal at precision 0", F, sptFloat, "1", 1, U'.', false, 0, 0},
        {"decimal past the precision", F, sptFloat, "1.25", 4, U'3', false},
        {"decimal within the precision", F, sptFloat, "1.2", 3, U'3', true},
        {"digit before the separator", F, sptFloat, "1.25", 1, U'3', true},
        {"digit at the separator", F, sptFloat, "1.25", 2, U'3', false},
        {"digit over a selected decimal", F, sptFloat, "1.25", 3, U'3', true, 0, 2, 1},
        {"backspace past the precision", F, sptFloat, "1.25", 4, kBack, true},
        {"escape past the precision", F, sptFloat, "1.25", 4, kEscape, true},
        {"control past the precision", F, sptFloat, "1.25", 4, kCtrlA, false},
        {"time separator in a float", F, sptFloat, "1", 1, U':', false},
        {"grid: decimal at precision 0", G, sptFloat, "1", 1, U',', true, U'.', 0},
        {"grid: second decimal separator", G, sptFloat, "1.", 2, U'.', false, 0, 0},
        {"grid: decimal past the precision", G, sptFloat, "1.25", 4, U'3', false},

        // Hexadecimal texts: digits, letters A to F and controls after the
        // "0x" prefix, which stays.
        {"hex digit", F, sptHex, "0xAB", 4, U'9', true},
        {"hex small letter", F, sptHex, "0xAB", 4, U'c', true},
        {"hex capital letter", F, sptHex, "0xAB", 4, U'F', true},
        {"not a hex letter", F, sptHex, "0xAB", 4, U'g', false},
        {"hex sign", F, sptHex, "0xAB", 4, U'-', false},
        {"hex separator", F, sptHex, "0xAB", 4, U'.', false},
        {"hex control", F, sptHex, "0xAB", 4, kCtrlA, true},
        {"hex enter", F, sptHex, "0xAB", 4, kEnter, false},
        {"hex backspace", F, sptHex, "0xAB", 4, kBack, true},
        {"hex backspace into the prefix", F, sptHex, "0xAB", 2, kBack, false},
        {"hex digit in the prefix", F, sptHex, "0xAB", 1, U'1', false},
        {"hex control in the prefix", F, sptHex, "0xAB", 1, kCtrlA, false},

        // A disabled editor takes controls but no printable character and
        // no backspace.
        {"disabled: digit", F, sptNormal, "5", 1, U'7', false, 0, 2, 0, false},
        {"disabled: backspace", F, sptNormal, "5", 1, kBack, false, 0, 2, 0, false},
        {"disabled: control", F, sptNormal, "5", 1, kCtrlA, true, 0, 2, 0, false},
        {"disabled: escape", F, sptNormal, "5", 1, kEscape, true, 0, 2, 0, false},
        {"disabled: delete character", F, sptNormal, "5", 1, kDel, true, 0, 2, 0, false},
        {"disabled hex: control", F, sptHex, "0xAB", 4, kCtrlA, true, 0, 2, 0, false},
        {"grid disabled: digit", G, sptNormal, "5", 1, U'7', false, 0, 2, 0, false},
        {"grid disabled: control", G, sptNormal, "5", 1, kCtrlA, true, 0, 2, 0, false},
    });
}

TEST_F(SpinChars, SeparatorsThatShareACharacter)
{
    // "." is both the thousand and the date separator.
    ScopedRegionalSettings locale(DayFirst());
    const Editor F = Editor::Form, G = Editor::Grid;
    Run({
        {"float: date separator as thousand separator", F, sptFloat, "3", 1, U'.', true, U','},
        {"integer: date separator as thousand separator", F, sptNormal, "3", 1, U'.', false},
        {"grid integer: date separator as thousand separator", G, sptNormal, "3", 1, U'.', false},
        {"grid float: date separator as thousand separator", G, sptFloat, "3", 1, U'.', false, U','},
        {"grid date: the thousand separator", G, sptDate, "3", 1, U'.', true},
    });

    // A "-" date separator is the minus sign to the grid's editor.
    TFormatSettings dashes = MonthFirst();
    dashes.DateSeparator = u'-';
    dashes.TimeSeparator = u'-';
    ScopedRegionalSettings dashed(dashes);
    Run({
        {"grid integer: minus as date and time separator", G, sptNormal, "3", 1, U'-', true},
        {"grid date: minus", G, sptDate, "3", 1, U'-', true},
        {"grid float: minus", G, sptFloat, "3", 1, U'-', true},
        {"grid time: minus as a second time separator", G, sptTime, "3-4", 3, U'-', true},
        {"grid time: minus as a third time separator", G, sptTime, "3-4-5", 5, U'-', false},
        {"form date: minus as date separator", F, sptDate, "3", 1, U'-', false},
        {"form time: minus as time separator", F, sptTime, "3", 1, U'-', false},
    });
}

} // namespace
