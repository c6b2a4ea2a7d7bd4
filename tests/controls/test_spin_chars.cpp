// The character rules of both spin edits, case by case: what a typed
// character is answered with for each kind, text, caret and setting, and
// what character the edit receives.

#include "controls/EsgSpinEdit.h"
#include "controls/ExtSpinEdit.h"
#include "tests/controls/EditTestHost.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

using namespace edittest;

namespace {

enum class Editor { Form, Grid };

// One situation of an editor and the characters it takes and refuses there;
// replaced, when set, is what the accepted and refused characters become
// (the float's thousand separator).
struct CharCase {
    const char* what;
    Editor editor;
    TExtSpinType type;
    const char* text;
    int selStart;
    std::u32string_view accepted;
    std::u32string_view refused;
    int precision = 2;
    int selLength = 0;
    bool editorEnabled = true;
    TKeyChar replaced = 0;
};

// Backspace, Enter, Escape, Ctrl+A and the delete character as typed.
#define BS U"\b"
#define CR U"\r"
#define ESC U"\x1b"
#define CTRL_A U"\x01"
#define DEL U"\x7f"

class SpinChars : public ::testing::Test {
protected:
    void Run(const std::vector<CharCase>& cases)
    {
        for (const CharCase& c : cases) {
            TSpinEditCore& edit = c.editor == Editor::Form ? static_cast<TSpinEditCore&>(form) : grid;
            for (const char32_t key : c.accepted) Check(edit, c, key, true);
            for (const char32_t key : c.refused) Check(edit, c, key, false);
        }
    }

    static void Check(TSpinEditCore& edit, const CharCase& c, TKeyChar typed, bool valid)
    {
        edit.SetSpinType(c.type);
        edit.SetPrecision(c.precision);
        edit.SetEditorEnabled(c.editorEnabled);
        edit.SetText(QString::fromLatin1(c.text));
        edit.SetSelStart(c.selStart);
        edit.SetSelLength(c.selLength);
        TKeyChar key = typed;
        EXPECT_EQ(edit.IsValidChar(key), valid) << c.what << ", character " << unsigned(typed);
        EXPECT_EQ(key, c.replaced ? c.replaced : typed) << c.what << ", character " << unsigned(typed);
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
        // Integers take signs, digits, the number separators and controls
        // but Enter; the time and date separators belong to their kinds.
        {"integer", F, sptNormal, "12", 2, U"+-07.," CTRL_A DEL BS ESC, U"a :/" CR},
        {"grid integer", G, sptNormal, "12", 2, U"+-07.," CTRL_A BS, U"a :/" CR},
        {"date", F, sptDate, "1/2", 1, U"/5", U":"},
        {"grid date", G, sptDate, "1/2", 1, U"/5", U":"},
        // The form's edit takes one time separator, the grid's editor two.
        {"time", F, sptTime, "12", 2, U":5", U"/"},
        {"time with its separator", F, sptTime, "12:30", 5, U"5", U":"},
        {"grid time with one separator", G, sptTime, "12:30", 5, U":5", U"/"},
        {"grid time with two separators", G, sptTime, "12:30:15", 8, U"5", U":"},

        // Floats: one decimal separator (none in the form's edit with
        // Precision 0), no more decimals than Precision unless something is
        // selected; backspace and Escape always pass.
        {"float", F, sptFloat, "1", 1, U"5.-" CTRL_A, U":/"},
        {"float, thousand separator", F, sptFloat, "1", 1, U",", U"", 2, 0, true, U'.'},
        {"float with a separator", F, sptFloat, "1.2", 3, U"3", U"."},
        {"float with a separator, thousand separator", F, sptFloat, "1.2", 3, U"", U",", 2, 0, true, U'.'},
        {"float at precision 0", F, sptFloat, "1", 1, U"5", U".", 0},
        {"float full", F, sptFloat, "1.25", 4, BS ESC, U"3" CTRL_A},
        {"float full, caret before the separator", F, sptFloat, "1.25", 1, U"3", U""},
        {"float full, caret right after it", F, sptFloat, "1.25", 2, U"", U"3"},
        {"float full, a decimal selected", F, sptFloat, "1.25", 3, U"3", U"", 2, 1},
        {"grid float at precision 0, thousand separator", G, sptFloat, "1", 1, U",", U"", 0, 0, true, U'.'},
        {"grid float with a separator", G, sptFloat, "1.", 2, U"5", U".", 0},
        {"grid float full", G, sptFloat, "1.25", 4, BS, U"3"},

        // Hexadecimal texts: digits, letters A to F and controls but Enter
        // after the "0x" prefix, which stays.
        {"hex", F, sptHex, "0xAB", 4, U"09afAF" CTRL_A BS, U"gG-+.," CR},
        {"hex after the prefix", F, sptHex, "0xAB", 2, U"1" CTRL_A, BS},
        {"hex in the prefix", F, sptHex, "0xAB", 1, U"", U"1" CTRL_A BS},

        // A disabled editor takes controls but no printable character and
        // no backspace.
        {"disabled", F, sptNormal, "5", 1, CTRL_A ESC DEL, U"7-" BS, 2, 0, false},
        {"disabled hex", F, sptHex, "0xAB", 4, CTRL_A, U"a" BS, 2, 0, false},
        {"grid disabled", G, sptNormal, "5", 1, CTRL_A ESC, U"7" BS, 2, 0, false},
    });
}

TEST_F(SpinChars, SeparatorsThatShareACharacter)
{
    // "." is both the thousand and the date separator, "," the decimal one.
    ScopedRegionalSettings locale(DayFirst());
    const Editor F = Editor::Form, G = Editor::Grid;
    Run({
        {"float", F, sptFloat, "3", 1, U".", U"", 2, 0, true, U','},
        {"integer", F, sptNormal, "3", 1, U",", U"."},
        {"grid integer", G, sptNormal, "3", 1, U",", U"."},
        {"grid float", G, sptFloat, "3", 1, U"", U".", 2, 0, true, U','},
        {"grid date", G, sptDate, "3", 1, U".", U""},
    });

    // A "-" separator is the minus sign to the grid's editor.
    TFormatSettings dashes = MonthFirst();
    dashes.DateSeparator = u'-';
    dashes.TimeSeparator = u'-';
    ScopedRegionalSettings dashed(dashes);
    Run({
        {"grid integer", G, sptNormal, "3", 1, U"-", U""},
        {"grid date", G, sptDate, "3", 1, U"-", U""},
        {"grid float", G, sptFloat, "3", 1, U"-", U""},
        {"grid time with one separator", G, sptTime, "3-4", 3, U"-", U""},
        {"grid time with two separators", G, sptTime, "3-4-5", 5, U"", U"-"},
        {"date", F, sptDate, "3", 1, U"", U"-"},
        {"time", F, sptTime, "3", 1, U"", U"-"},
    });
}

} // namespace
