#pragma once
// The one application-wide state: the login result, the directories, the
// current county, the chosen property, the found flags, the customer and the
// lists of the login answer. Every step form, the main window and the report
// read and write it; it is reached only through AppState(), which makes it on
// first use.

#include "state/TCountyList.h"
#include "state/TReportPageList.h"
#include "state/TSearchTypeList.h"
#include "platform/kernel/WindowMessage.h"

#include <QString>
#include <memory>

class TForm;

class TAppState {
public:
    // Only AppState() may make the one instance: a direct creation raises
    // "Call AppState function to reference this class", a second one "AppState
    // already exists".
    TAppState();
    ~TAppState();
    TAppState(const TAppState&) = delete;
    TAppState& operator=(const TAppState&) = delete;

    bool MlsValid = false;
    bool LoggedIn = false;
    bool CompsFound = false;
    QString ExeDir; // with a trailing separator
    QString Host;
    QString UserName;
    // The current county; none until one is chosen. Shared with the county
    // list, so clearing the list at logout keeps it.
    std::shared_ptr<const TCountyRec> County;
    int PropertyId = 0;
    int OrderId = 0;
    int UserId = 0;
    QString TempDir; // with a trailing separator
    bool PropFound = false;
    int MapId = 0;
    bool NeedMap = false;
    QString DataDir; // ExeDir + "data/"
    QString CustCity;
    QString CustName;
    QString CustAddr2;
    QString CustAddr1;
    QString TitleCoName;
    bool TourMap = false;
    QString AssrMapIp;
    QString AssrMapPort;
    bool MlsLogin = false;
    QString LogoLink;

    TCountyList Counties;
    TSearchTypeList SearchTypes;
    TReportPageList ReportPages;

    // Clears CompsFound, PropFound, OrderId, MapId and PropertyId; the
    // customer, the county, NeedMap and the login data stay.
    void Reset();

    // Sends the message to every form, last created first, but exceptForm
    // (none skipped when null); the first non-zero answer, 0 when all answer 0.
    LRESULT BroadcastMessage(TForm* exceptForm, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
};

// The one state, made on the first call.
TAppState& AppState();
// Frees the state at program end (before the application frees the forms);
// the next AppState() makes a new one. Also for tests.
void FreeAppState();
