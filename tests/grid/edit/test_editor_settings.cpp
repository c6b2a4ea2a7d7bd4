// Settings the editors and the painter share: the password character, the
// rich-text editor's selection event and the date spin editor's value.
#include "grid/TExtStringGrid.h"
#include "grid/edit/TExtInplaceEdit.h"
#include "grid/edit/TExtRichEdit.h"
#include "grid/edit/TGridSpin.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/PrintQString.h"
#include "tests/support/RecordingCanvas.h"

#include <QApplication>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <map>

namespace {

// A shown grid with editing on; each cell's editor type from a table.
class Grid : public TExtStringGrid {
public:
    Grid() : TExtStringGrid(nullptr, QStringLiteral("SettingsGrid"))
    {
        SetBorderStyle(TBorderStyle::bsNone);
        resize(500, 300);
        SetColCount(5);
        SetRowCount(5);
        SetOptions(Options() + TGridOption::goEditing);
        OnGetEditorType = [this](QObject*, int col, int row, TEditorType& editor) {
            const auto it = editors.find({col, row});
            if (it != editors.end()) editor = it->second;
        };
        show();
        QApplication::setActiveWindow(this);
        setFocus();
    }
    void Edit(int col, int row)
    {
        FocusCell(col, row);
        ShowEditor();
    }
    void InvalidateRect(const TRect& r) override
    {
        ++invalidations;
        TExtStringGrid::InvalidateRect(r);
    }
    std::map<std::pair<int, int>, TEditorType> editors;
    int invalidations = 0;
};

} // namespace

TEST(PasswordChar, TheEditorAndThePainterShowTheGridsCharacter)
{
    Grid g;
    g.editors[{1, 1}] = edPassword;
    g.OnIsPasswordCell = [](QObject*, int row, int col, bool& p) { p = row == 1 && col == 1; };
    g.SetCellText(1, 1, QStringLiteral("secret"));
    EXPECT_EQ(g.PasswordChar(), QLatin1Char('*'));

    g.invalidations = 0;
    g.SetPasswordChar(QLatin1Char('#'));
    EXPECT_GT(g.invalidations, 0); // the password cells show it at once

    TRecordingCanvas canvas;
    g.PaintTo(canvas, g.CellRect(1, 1));
    const auto texts = canvas.CallsOf(QStringLiteral("DrawText"));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.back().Text, QStringLiteral("######"));

    g.Edit(1, 1);
    ASSERT_TRUE(g.EditorMode());
    TExtInplaceEdit* editor = g.TextEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->echoMode(), QLineEdit::Password);
    EXPECT_EQ(editor->displayText(), QStringLiteral("######"));
    g.CloseEditorControl();

    // A plain cell edits in the clear.
    g.SetCellText(2, 1, QStringLiteral("open"));
    g.Edit(2, 1);
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.TextEditor()->displayText(), QStringLiteral("open"));
}

TEST(RichEditSelection, MovingTheCaretOrSelectingTellsTheGrid)
{
    Grid g;
    g.editors[{2, 1}] = edRichEdit;
    g.SetCellText(2, 1, QStringLiteral("{\\rtf1\\ansi Plain {\\b bold}}"));
    int told = 0;
    g.OnRichEditSelectionChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &g);
        ++told;
    };
    g.Edit(2, 1);
    TExtRichEdit* rich = g.GridRichEdit();
    ASSERT_TRUE(rich->isVisible());
    EXPECT_EQ(told, 0); // loading the cell tells nothing
    QTest::keyClick(rich, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(told, 1);
    QTest::keyClick(rich, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(told, 2);
    QTest::keyClick(rich, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(told, 3);
    EXPECT_EQ(rich->textCursor().selectedText(), QStringLiteral("Pl"));
    g.OnRichEditSelectionChange = nullptr;
    QTest::keyClick(rich, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(rich->textCursor().position(), 10);
}

TEST(DateSpinEditor, TheDateGoesBackAsTheCellsShortDate)
{
    ScopedRegionalSettings us{TFormatSettings{}};
    Grid g;
    g.editors[{1, 2}] = edDateSpinEdit;
    g.SetCellText(1, 2, QStringLiteral("12/30/2003"));
    g.Edit(1, 2);
    TGridSpin* spin = g.GridSpin();
    ASSERT_TRUE(spin->isVisible());
    spin->SetDateValue(EncodeDate(2003, 12, 31));
    g.CloseEditorControl();
    EXPECT_EQ(g.GetCellText(1, 2), QStringLiteral("12/31/2003"));
}
