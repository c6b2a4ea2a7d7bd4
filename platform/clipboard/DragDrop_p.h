#pragma once
// What stands in for the user during a drag in a test: a drag started by
// StartTextDragDrop or StartColumnDragDrop is handed to the runner instead
// of the platform's drag loop, and the runner answers with the action the
// drop took, as the user's drop would (it may give the source feedback
// first). nullptr: the platform's loop.

#include <QtCore/qnamespace.h>
#include <functional>

class QDrag;
class TESGDropSource;

namespace DragDropTesting {
using DragRunner = std::function<Qt::DropAction(QDrag& drag, TESGDropSource& source)>;
void SetDragRunner(DragRunner runner);
} // namespace DragDropTesting
