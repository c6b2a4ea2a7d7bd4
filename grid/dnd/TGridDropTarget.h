#pragma once
// The grid's drop target: watches the drag events of its grid's window and
// hands them to the grid's drop operations (DragOver, DropMimeData, ...).
// A drop that pastes nothing is answered with no effect, so the source
// never removes what was not moved.

#include <QObject>

class TExtStringGrid;

class TGridDropTarget : public QObject {
public:
    explicit TGridDropTarget(TExtStringGrid* grid);
    ~TGridDropTarget() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TExtStringGrid* m_grid;
};
