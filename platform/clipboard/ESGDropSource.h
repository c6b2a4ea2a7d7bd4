#pragma once
// A drop source: follows the feedback of a drag it started (whether the
// place under the mouse takes the drop) and decides when the drag goes on.
// Descendants (the grid's source) override CurrentEffect and QueryDrag.

#include "platform/clipboard/DragDrop.h"

#include <QPixmap>
#include <QPoint>

class TESGDropSource {
public:
    TESGDropSource();
    virtual ~TESGDropSource();
    TESGDropSource(const TESGDropSource&) = delete;
    TESGDropSource& operator=(const TESGDropSource&) = delete;

    enum class TContinue { Continue, Drop, Cancel };
    // Escape cancels, a released left button drops, else the drag goes on.
    TContinue QueryContinueDrag(bool escapePressed, bool leftButtonDown);
    // The effect the place under the mouse shows.
    void GiveFeedback(TDropEffect effect);
    // The last feedback was "no drop".
    bool NoDrop() const { return m_noDrop; }

    // The picture that follows the pointer during the drag (none: the
    // platform's own), hotSpot being the pointer's place in it.
    void SetIndicator(const QPixmap& picture, QPoint hotSpot)
    {
        m_indicator = picture;
        m_hotSpot = hotSpot;
    }
    const QPixmap& Indicator() const { return m_indicator; }
    QPoint IndicatorHotSpot() const { return m_hotSpot; }

protected:
    virtual void CurrentEffect(TDropEffect effect);
    virtual void QueryDrag();

private:
    bool m_noDrop = false;
    QPixmap m_indicator;
    QPoint m_hotSpot;
};
