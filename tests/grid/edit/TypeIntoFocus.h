// Keys as the user types them: pressed and released in whatever has the
// focus at the time (an editor may take the focus between the two).
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
