#pragma once
// A shown, active window for the edit controls' key and mouse tests, and
// the regional settings the tests pin.

#include "platform/dialogs/Dialogs.h"
#include "platform/core/RegionalSettings.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace edittest {

// United States settings: M/d/yyyy, "." decimal, "," thousands, ":" time.
inline TFormatSettings MonthFirst()
{
    TFormatSettings s;
    s.ShortDateFormat = QStringLiteral("M/d/yyyy");
    s.LongTimeFormat = QStringLiteral("hh:nn:ss");
    return s;
}

// German-like settings: dd.mm.yyyy, "," decimal, "." thousands.
inline TFormatSettings DayFirst()
{
    TFormatSettings s;
    s.DateSeparator = u'.';
    s.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    s.LongTimeFormat = QStringLiteral("hh:nn:ss");
    return s;
}

// A top-level window away from the screen's corner, shown and active, so
// that focus, keys and screen positions behave as on a desktop.
class Host : public QWidget {
public:
    Host()
    {
        setObjectName(QStringLiteral("Host"));
        resize(480, 320);
        move(300, 200);
    }
    void ShowActive()
    {
        show();
        activateWindow();
        QApplication::setActiveWindow(this);
        testsupport::WaitUntil([this] { return isActiveWindow(); }, 5000);
    }
};

} // namespace edittest
