#pragma once
// The grid's drop target: the platform's drop target (which classifies what
// is dragged over the grid's window and calls its hooks), its hooks handed
// to the grid's drop operations (DragOver, DropText, DropColumn, DropRTF,
// DropFiles). What it accepts follows the grid's DragDropSettings at every
// drag. Points reach the grid in its cell area's coordinates, as a click's
// do. A drop that takes nothing (damaged column data among it) is answered
// with no effect, so the source never removes what was not moved.

#include "platform/clipboard/ESGDropTarget.h"

class TExtStringGrid;

class TGridDropTarget : public TESGDropTarget {
public:
    explicit TGridDropTarget(TExtStringGrid* grid);
    ~TGridDropTarget() override;

protected:
    void DropText(TPoint point, const QString& text) override;
    void DropCol(TPoint point, int column) override;
    void DropRTF(TPoint point, const QString& rtf) override;
    void DropFiles(TPoint point, const QStringList& files) override;
    void DragMouseMove(TPoint point, bool& allow, TDropKinds kinds) override;
    void DragMouseLeave() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TPoint CellAreaPoint(TPoint point) const;

    TExtStringGrid* m_grid;
};
