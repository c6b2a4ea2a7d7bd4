#include "grid/TGridUnit.h"

namespace {

struct UnitState {
    int users = 0;
    int registrations = 0;
    QString cellsFormat;
    bool flatScrollBars = false;
};

UnitState& State()
{
    static UnitState state;
    return state;
}

} // namespace

void TGridUnit::Startup()
{
    UnitState& s = State();
    if (s.users++ > 0) return;
    if (s.cellsFormat.isEmpty()) {
        // A format registered by its name, as the platform's clipboard
        // names it (on Windows, Qt hands it to RegisterClipboardFormat).
        s.cellsFormat = QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(CellsFormatName());
        ++s.registrations;
    }
    s.flatScrollBars = false;
}

void TGridUnit::Shutdown()
{
    UnitState& s = State();
    if (s.users == 0) return;
    --s.users;
}

int TGridUnit::Users() { return State().users; }
int TGridUnit::Registrations() { return State().registrations; }
QString TGridUnit::CellsFormat() { return State().cellsFormat; }
bool TGridUnit::FlatScrollBars() { return State().flatScrollBars; }
