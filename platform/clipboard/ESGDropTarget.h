#pragma once
// A drop target: classifies what is dragged over a widget (plain text, rich
// text, a grid column, files), shows whether it may drop, and hands the
// dropped data to its hooks. Descendants (the grid's target) override the
// hooks; the platform's drag events reach the target once it is registered
// for a widget (which must accept drops).

#include "platform/clipboard/DragDrop.h"
#include "platform/graphics/Geometry.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QMimeData;

class TESGDropTarget : public QObject {
public:
    TESGDropTarget();
    ~TESGDropTarget() override;

    bool AcceptText = true;
    bool AcceptFiles = true;
    bool AcceptCols = false;

    // The drag events of widget reach this target (nullptr: none).
    void Register(QObject* widget);
    void Revoke();
    QObject* Registered() const { return m_widget; }

    // ----- The platform's calls (points in the widget's coordinates)
    void DragEnter(const QMimeData* data, bool ctrlDown, TPoint point, TDropEffect& effect);
    void DragOver(bool ctrlDown, TPoint point, TDropEffect& effect);
    void DragLeave();
    void Drop(const QMimeData* data, bool ctrlDown, TPoint point, TDropEffect& effect);

    // The drag over the target may drop, and what it carries.
    bool Accepted() const { return m_accept; }
    TDropKinds Kinds() const { return m_kinds; }

protected:
    // ----- Hooks (nothing in this class)
    virtual void DropText(TPoint point, const QString& text);
    virtual void DropCol(TPoint point, int column);
    virtual void DropRTF(TPoint point, const QString& rtf);
    virtual void DropFiles(TPoint point, const QStringList& files);
    virtual void DragMouseMove(TPoint point, bool& allow, TDropKinds kinds);
    virtual void DragMouseEnter();
    virtual void DragMouseLeave();
    // Called by a drop hook that took nothing: when every hook of a drop
    // refused, the drop answers "no drop", so a source never removes what
    // was not moved.
    void RefuseDrop() { ++m_refused; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QObject> m_widget;
    bool m_accept = false;
    TDropKinds m_kinds;
    int m_refused = 0;
};
