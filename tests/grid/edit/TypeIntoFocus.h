// Keys as the user types them: pressed and released in whatever has the
// focus at the time (an editor may take the focus between the two); clicks
// on a grid's cells.
#pragma once

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

inline void TypeIntoFocus(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyPress(focus, key, mods);
    focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyRelease(focus, key, mods);
}

inline void TypeIntoFocus(const QString& text)
{
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, text);
}

// The widget shown at the size, active and focused, ready for keys.
inline void ShowFocused(QWidget& w, int width, int height)
{
    w.resize(width, height);
    w.show();
    QApplication::setActiveWindow(&w);
    w.setFocus();
}

// A left click just inside the cell's top-left corner.
template <class Grid>
void ClickCell(Grid& g, int col, int row)
{
    const auto r = g.CellRect(col, row);
    QTest::mouseClick(&g, Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 5, r.Top + 5));
}
