#pragma once
// The column grid's header filter list: a list box on the grid that
// reports a choice when Enter is pressed in it or the mouse button is
// released over it, hiding itself first. Escape and losing the focus hide
// it without a choice.

#include <QListWidget>
#include <functional>

class TDropList : public QListWidget {
public:
    explicit TDropList(QWidget* parent);

    // The chosen row (the list is already hidden).
    std::function<void(int index)> OnSelect;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Choose();
};
