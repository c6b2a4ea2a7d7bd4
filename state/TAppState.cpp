#include "state/TAppState.h"

#include "platform/core/Directories.h"
#include "platform/kernel/Form.h"

namespace {

TAppState* g_state = nullptr;
bool g_creating = false;

} // namespace

TAppState::TAppState()
{
    if (g_state) throw Exception(QStringLiteral("AppState already exists"));
    if (!g_creating) throw Exception(QStringLiteral("Call AppState function to reference this class"));
    ExeDir = Directories::ExeDir();
    DataDir = Directories::DataDir();
    TempDir = Directories::TempDir();
}

TAppState::~TAppState() = default;

void TAppState::Reset()
{
    CompsFound = false;
    PropFound = false;
    OrderId = 0;
    MapId = 0;
    PropertyId = 0;
}

LRESULT TAppState::BroadcastMessage(TForm* exceptForm, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    return ::BroadcastMessage(msg, wParam, lParam, exceptForm);
}

TAppState& AppState()
{
    if (!g_state) {
        g_creating = true;
        try {
            auto* state = new TAppState;
            g_state = state;
        } catch (...) {
            g_creating = false;
            throw;
        }
        g_creating = false;
    }
    return *g_state;
}

void FreeAppState()
{
    delete g_state;
    g_state = nullptr;
}
