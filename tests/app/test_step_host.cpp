#include "app/steps/TPropListFrm.h"
#include "forms/StepMessages.h"
#include "forms/TStepHost.h"
#include "grid/TExtStringGrid.h"
#include "platform/core/Exception.h"
#include "state/TAppState.h"

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <vector>

namespace {

// A host without a main window: it notes every step message it is asked to
// deliver and answers the rest with nothing.
class RecordingHost : public TStepHost {
public:
    std::vector<unsigned> Posted, Sent, ToReport;
    QWidget Window;

    TServices Services() const override { return {}; }
    QObject* HostWindow() override { return &Window; }
    void UpdateActions() override { }
    void PostStepMessage(unsigned msg) override { Posted.push_back(msg); }
    void SendStepMessage(unsigned msg) override { Sent.push_back(msg); }
    void PostReportMessage(unsigned msg) override { ToReport.push_back(msg); }
    bool MayStart(unsigned) override { return true; }
    bool SendCompInfo(const std::function<void()>& send) override
    {
        send();
        return true;
    }
    void SetBusy(bool) override { }
    void ShowElapsed(const QString&) override { }
    bool ReportBusy() const override { return false; }
    void SetReportBusy(bool) override { }
    void SetCaption(const QString&) override { }
    void RestartLogoutTimer() override { }
    void WritePropertyInfoReport(TXMLElement*, const QString&) override { }
    void DeleteReportFile(const QString&) override { }
    void PreviewReportFile(const QString&) override { }
    void TellIncompleteReport(const QString&) override { }
};

struct StepHost : ::testing::Test {
    void SetUp() override { FreeAppState(); }
    void TearDown() override { FreeAppState(); }
    RecordingHost host;
};

} // namespace

TEST_F(StepHost, TheChosenPropertyIsFetchedThroughTheHostItWasGiven)
{
    TPropListFrm list(&host.Window, &host);
    list.Grid->SetCellText(4, 1, QStringLiteral("4711"));
    list.btnOkClick();
    EXPECT_EQ(AppState().PropertyId, 4711);
    EXPECT_EQ(host.Posted, std::vector<unsigned>{WM_PROPDATA});
    EXPECT_TRUE(host.Sent.empty());
    EXPECT_TRUE(host.ToReport.empty());

    // No property id: refused, and the host is asked nothing more.
    TPropListFrm empty(&host.Window, &host);
    EXPECT_THROW(empty.btnOkClick(), Exception);
    EXPECT_EQ(host.Posted.size(), 1u);
}
