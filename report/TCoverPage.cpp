#include "report/TCoverPage.h"

#include "state/TAppState.h"
#include "platform/report/TBaseReport.h"
#include "protocol/TvxpPersonalInfo.h"
#include "report/TReportContext.h"

#include <algorithm>

namespace {
constexpr double kCenter = 4.275;
} // namespace

void TCoverPage::RowPrint(TBaseReport& report, TReportShell&, bool&)
{
    const TvxpPersonalInfo* agent = m_context.Personal;
    report.SetLineHeight(0.25);
    if (agent && !agent->Photo.isNull()) {
        const QImage& photo = agent->Photo;
        const double m = std::max(photo.width(), photo.height());
        const double w = photo.width() * 196.0 / m / 96.0;
        const double h = photo.height() * 196.0 / m / 96.0;
        report.PrintImageRect(1.875 - w / 2, 1.875 - h / 2, 1.875 + w / 2, 1.875 + h / 2, photo);
    }
    report.GotoXY(0, 3.75);
    report.SetFont(QStringLiteral("Arial"), 14);
    report.SetBold(true);
    // Every line stays between the margins (0.75 to 7.8).
    auto line = [&](const QString& text) {
        report.PrintCenter(TReportContext::FitText(report, text, 7.05), kCenter);
        report.NewLine();
    };
    if (agent) {
        line(m_context.AgentName());
        for (const QString& text : {agent->Company(), agent->Address1(), agent->Address2()})
            if (!text.isEmpty()) line(text);
        if (!agent->AddrCity().isEmpty())
            line(agent->AddrCity() + QStringLiteral(",  ") + agent->AddrState() + QStringLiteral("  ") +
                 agent->AddrZip());
        const QString phones[4][2] = {{agent->PhType1(), agent->PhNumber1()},
                                      {agent->PhType2(), agent->PhNumber2()},
                                      {agent->PhType3(), agent->PhNumber3()},
                                      {agent->PhType4(), agent->PhNumber4()}};
        for (const auto& p : phones)
            if (!p[1].isEmpty()) line(p[0] + QLatin1Char(' ') + p[1]);
    }

    // A long agent block pushes the customer's block down.
    report.GotoXY(0, std::max(5.75, report.YPos() + 0.25));
    const TAppState& state = AppState();
    if (!state.CustName.isEmpty()) {
        report.SetFont(QStringLiteral("Arial"), 18);
        report.SetBold(true);
        line(QStringLiteral("PREPARED FOR"));
        report.SetFont(QStringLiteral("Arial"), 14);
        report.SetBold(true);
        report.Brush().SetColor(0x0000FF);
        TReportContext::ShadedBox(report, kCenter - 1.5, report.LineTop(), kCenter + 1.5, report.LineTop() + 0.02);
        report.NewLine();
        report.Brush().SetColor(clBlack);
        for (const QString& text : {state.CustName, state.CustAddr1, state.CustAddr2, state.CustCity})
            if (!text.isEmpty()) line(text);
    }
    report.SetLineHeight(0.17);
}

void TCoverPage::RowAfter(TBaseReport&, TReportShell&, bool& valid) { valid = false; }
