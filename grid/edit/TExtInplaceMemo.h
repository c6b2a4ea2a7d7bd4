#pragma once
// The lines of the grid's text editor: while a multi-line or word-wrapped
// cell is edited, TExtInplaceEdit shows its text on this multi-line view
// laid over it, and the view holds the focus for it. The text editor stays
// the one the edit runs through: every key that changes the text or leaves
// the cell goes to it (its filters, validation, lookup and key protocol),
// and the view shows the editor's text and selection again after each.
// The view itself moves the caret: the arrows, Home, End and the mouse,
// and Up and Down between the lines (on the first line Up, on the last
// Down leave the cell). A line break in the cell is CR-LF; the view shows
// each as one line end.

#include <QPlainTextEdit>

class TExtInplaceEdit;

class TExtInplaceMemo : public QPlainTextEdit {
public:
    explicit TExtInplaceMemo(TExtInplaceEdit* owner, QWidget* parent);
    ~TExtInplaceMemo() override;

    // Shows the editor's text and selection.
    void Pull();
    // Gives the editor the view's selection.
    void Push();

    // Positions in the editor's text and in the view's.
    static int ToView(const QString& text, int pos);
    static int ToText(const QString& text, int viewPos);
    static QString ViewText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData*) const override { return false; }

private:
    // Whether the view moves the caret for the key itself.
    bool MovesCaret(const QKeyEvent* event) const;
    // Hands a key event to the editor and shows what it made of it.
    void Forward(QKeyEvent* event);

    TExtInplaceEdit* m_owner;
    bool m_pulling = false;
};
