#pragma once
// Driving real widgets in tests: find them by object name, click, type and
// press keys as a user would, with the events Qt delivers for those actions.

#include <QAbstractButton>
#include <QAction>
#include <QObject>
#include <QString>
#include <QTest>
#include <QWidget>

namespace testsupport {

// The descendant of root with this object name and type, or nullptr.
template <class T>
T* FindByName(QObject* root, const QString& name)
{
    if (!root) return nullptr;
    if (root->objectName() == name)
        if (T* t = qobject_cast<T*>(root)) return t;
    return root->findChild<T*>(name);
}

// A left click in the middle of the widget.
inline void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }

// Focuses the widget and types the text key by key.
inline void Type(QWidget* w, const QString& text)
{
    w->setFocus();
    QTest::keyClicks(w, text);
}

inline void Press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(w, key, modifiers);
}

} // namespace testsupport
