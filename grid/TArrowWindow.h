#pragma once
// The small lime arrows that mark where a moved row or column will land: a
// frameless pop-up window shaped to an arrow, hidden until the grid places
// and shows it. Directions: 0 up, 1 down, 2 right, 3 left.

#include <QPolygon>
#include <QWidget>

class TArrowWindow : public QWidget {
public:
    TArrowWindow(QWidget* owner, int direction);

    int Direction() const { return m_direction; }
    // The seven corners of the arrow of a direction (0..3; others: up).
    static QPolygon ArrowShape(int direction);

private:
    int m_direction;
};
