#pragma once
// Driving real widgets in tests: find them by object name, click, type and
// press keys as a user would, with the events Qt delivers for those actions.

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QHash>
#include <QImage>
#include <QMimeData>
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

// Drags data over w to p and drops it there, as the platform's drag loop
// delivers it (enter, move, drop); the action the drop answered
// (IgnoreAction: none).
inline Qt::DropAction DropOn(QWidget& w, QPoint p, const QMimeData& data, Qt::DropActions actions,
                             Qt::KeyboardModifiers keys)
{
    QDragEnterEvent enter(p, actions, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(&w, &enter);
    if (!enter.isAccepted()) return Qt::IgnoreAction;
    QDragMoveEvent move(p, actions, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(&w, &move);
    if (!move.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(&w, &leave);
        return Qt::IgnoreAction;
    }
    QDropEvent drop(QPointF(p), actions, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(&w, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// Where the opaque pixels of image show, pixel for pixel, in shown (a grab
// of a widget): the top-left corner of the place, or (-1, -1) when nowhere.
inline QPoint FindImage(const QImage& shown, const QImage& image)
{
    const QImage s = shown.convertToFormat(QImage::Format_RGB32);
    const QImage n = image.convertToFormat(QImage::Format_ARGB32);
    for (int y0 = 0; y0 + n.height() <= s.height(); ++y0)
        for (int x0 = 0; x0 + n.width() <= s.width(); ++x0) {
            bool same = true;
            for (int y = 0; same && y < n.height(); ++y)
                for (int x = 0; same && x < n.width(); ++x) {
                    const QRgb p = n.pixel(x, y);
                    if (qAlpha(p) == 255 && (s.pixel(x0 + x, y0 + y) & 0xFFFFFF) != (p & 0xFFFFFF)) same = false;
                }
            if (same) return QPoint(x0, y0);
        }
    return QPoint(-1, -1);
}

// The pixels of shown in its rows from top on that are not of their most
// common colour (the face behind them): a caption's ink, dark or greyed.
inline int InkFrom(const QImage& shown, int top)
{
    QHash<QRgb, int> count;
    for (int y = std::max(0, top); y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) ++count[shown.pixel(x, y)];
    int total = 0, face = 0;
    for (auto it = count.cbegin(); it != count.cend(); ++it) {
        total += it.value();
        face = std::max(face, it.value());
    }
    return total - face;
}

} // namespace testsupport
