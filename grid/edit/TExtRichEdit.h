#pragma once
// The grid's rich-text cell editor (edRichEdit): cell texts in RTF are
// loaded into it as formatted text (bold, italic, underline, size, colour
// per run, alignment per paragraph) and saved back as RTF. Up and Down go back to the grid unless
// its cells wrap or hold several lines; Tab and Esc end the edit too (Esc
// storing nothing); leaving it ends the edit. While SizeWhileTyping.Height
// is on, a text grown taller than the row makes the row (and the editor)
// taller, telling OnEndRowSize.

#include "grid/edit/TEditorKeyProtocol.h"

#include <QTextEdit>
#include <utility>

class TExtStringGrid;
struct TRtfDocument;

class TExtRichEdit : public QTextEdit, public TCellEditor {
public:
    explicit TExtRichEdit(TExtStringGrid* grid);
    ~TExtRichEdit() override;

    TExtStringGrid* Grid() const { return m_grid; }
    // The size the text last asked for.
    int ReqWidth = 0;
    int ReqHeight = 0;
    // Set while the grid sets the editor up: no sizing then.
    bool SizingLock = false;

    // An empty text clears the editor; a text that is not RTF is taken as
    // plain text.
    void LoadRichText(const QString& rtf);
    QString SaveRichText() const;
    // The document as formatted runs, and back.
    TRtfDocument Document() const;
    void SetDocument(const TRtfDocument& document);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The grid's editor key protocol: nothing is validated; Esc stores
    // nothing.
    bool HandsBack(int key, TShiftState shift) const override;
    bool Validates(int) const override { return false; }

private:
    void RequestResize();
    // Tells the grid's OnRichEditSelectionChange of a new selection.
    void SelectionMoved();

    TExtStringGrid* m_grid;
    // The selection last told of: anchor and caret.
    std::pair<int, int> m_selection{0, 0};
};
