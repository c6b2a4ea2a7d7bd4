#include "report/TPropInfoPage.h"

#include "state/TAppState.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/xml/TXMLElement.h"
#include "report/TReportContext.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }

// The right margin of the body, left of the header bar.
constexpr double kMargin = 7.8;
// The least room between two fields on a line, and between a label and
// its value.
constexpr double kGap = 0.08;
constexpr double kLabelGap = 0.03;
// Far more of the legal description than the pages can hold: a longer text
// is cut first.
constexpr int kLegalLength = 8192;
// The lowest line of the body ends above the footer's rule at 9.9.
constexpr double kFooterTop = 9.85;
// What the lines beside its label leave of the legal description follows
// under a label of its own, in small type so that more of it fits.
constexpr double kRestLineHeight = 0.12;
const char* const kRestLabelText = "Legal description (cont.):";
} // namespace

QString TPropInfoPage::Field(const char* name) const { return m_context.SubjectField(L(name)); }

bool TPropInfoPage::Residential() const
{
    const QString t = Field("prop_type");
    return t == QLatin1String("1") || t == QLatin1String("2") || t == QLatin1String("4");
}

QString TPropInfoPage::BathsText() const
{
    if (m_context.CountyId() == 106) return Field("PP_BATH_PART");
    return Field("bath") + QStringLiteral("      Full: ") + Field("PP_BATH_FULL") + QStringLiteral("      Partial: ") +
        Field("PP_BATH_PART");
}

QString TPropInfoPage::LotWidthDepth() const
{
    const QString w = Field("PP_LOT_WIDTH");
    const QString d = Field("PP_LOT_DEPTH");
    if (w.isEmpty() && d.isEmpty()) return QString();
    return w + QLatin1Char('/') + d;
}

void TPropInfoPage::PrintBlockCaption(TBaseReport& report, const QString& caption, double x)
{
    const TReportSettings& s = m_context.Settings;
    TReportContext::UseFont(report, s.GroupFont);
    report.SetBold(true);
    report.PrintLeft(caption, x);
    const double w = report.TextWidth(caption);
    report.Brush().SetColor(s.Color(rcProfileBar));
    TReportContext::ShadedBox(report, x, report.YPos() - 0.01, x + w, report.YPos() + 0.03);
    report.Brush().SetColor(clBlack);
    report.SetFont(QStringLiteral("Arial"), 10);
    report.NewLine();
    report.NewLine();
}

void TPropInfoPage::Row(TBaseReport& report, const QString& label, const QString& value, double labelX, double valueX,
                        double limitX)
{
    report.PrintLeft(label, labelX);
    const double x = std::max(valueX, labelX + report.TextWidth(label) + kLabelGap);
    report.PrintLeft(TReportContext::FitText(report, value, limitX - x), x);
}

double TPropInfoPage::CaptionTop(TBaseReport& report, double y) const
{
    TReportContext::UseFont(report, m_context.Settings.GroupFont);
    report.SetBold(true);
    const double top = TReportContext::TextTop(report, y);
    report.SetFont(QStringLiteral("Arial"), 10);
    return top;
}

void TPropInfoPage::PrintCharacteristics(TBaseReport& report, int fromLine, double l1, double v1, double l2, double v2,
                                         double limit2)
{
    const bool residential = Residential();
    struct Line {
        const char* Label1;
        QString Value1;
        bool Show1;
        const char* Label2;
        QString Value2;
    };
    const Line lines[] = {
        {"Land Use:", Field("land_use"), true, nullptr, QString()},
        {"Zoning:", Field("zoning"), true, "Heating:", Field("heating")},
        {"Year Built:", Field("year_built"), true, "Cooling:", Field("cooling")},
        {"Bedrooms:", Field("bed"), residential, "Parking:", Field("parking")},
        {"Bathrooms:", BathsText(), residential, "Lot SqFt:", Field("lot_sqft")},
        {"Units:", Field("units"), true, "Lot Width/Depth:", LotWidthDepth()},
        {"Rooms:", Field("rooms"), true, "Roof Cover:", Field("roof_cover")},
        {"SqFt:", Field("house_sqft"), true, "Fireplace:", Field("fireplace")},
        {"View:", Field("view"), true, "Exterior:", Field("exterior")},
        {"Water:", Field("water"), true, "Construction:", Field("PP_CONSTRUCTION")},
        {"Patio:", Field("patio"), true, "Pool:", Field("pool")},
        {"Stories:", Field("stories"), true, nullptr, QString()},
    };
    for (int n = fromLine; n <= 12; ++n) {
        const Line& line = lines[n - 1];
        if (line.Show1) Row(report, L(line.Label1), line.Value1, l1, v1, l2 - kGap);
        if (line.Label2) Row(report, L(line.Label2), line.Value2, l2, v2, limit2);
        report.NewLine();
    }
}

int TPropInfoPage::LinesAbove(const TBaseReport& report, double bottom)
{
    if (report.YPos() > bottom + 1e-6) return 0;
    return int((bottom - report.YPos()) / report.LineHeight() + 1e-6) + 1;
}

void TPropInfoPage::PrintLegal(TBaseReport& report, TMemoBuf& memo, double bottom)
{
    // Lines that end above bottom; at least the first one.
    const int room = std::max(1, LinesAbove(report, bottom));
    if (report.MemoLines(memo) <= room) {
        report.PrintMemo(memo, 0, false);
        return;
    }
    report.PrintMemo(memo, room - 1, false);
    QString rest = memo.Text().mid(memo.Pos()).simplified();
    rest.truncate(1024); // more than a line can show
    report.PrintLeft(TReportContext::FitText(report, rest, memo.PrintEnd() - memo.PrintStart()), memo.PrintStart());
    report.NewLine();
}

int TPropInfoPage::UseLegalRestType(TBaseReport& report, TMemoBuf& memo)
{
    report.SetLineHeight(kRestLineHeight);
    report.SetFont(QStringLiteral("Arial"), 8);
    memo.SetPrintStart(0.75);
    memo.SetPrintEnd(kMargin);
    return report.MemoLines(memo);
}

void TPropInfoPage::PrintLegalRest(TBaseReport& report, TMemoBuf& memo, double bottom)
{
    const double kept = report.LineHeight();
    UseLegalRestType(report, memo);
    while (!memo.Empty()) {
        int room = LinesAbove(report, bottom);
        if (room == 0) {
            // The footer and header of the page break in the page's own
            // line height.
            report.SetLineHeight(kept);
            report.NewPage();
            UseLegalRestType(report, memo);
            report.GotoXY(0, 0.75 + kRestLineHeight);
            room = std::max(1, LinesAbove(report, bottom));
        }
        report.PrintMemo(memo, room, false);
    }
    report.SetLineHeight(kept);
    report.SetFont(QStringLiteral("Arial"), 10);
}

void TPropInfoPage::PrintAgentPhoto(TBaseReport& report)
{
    // The longer side 196 pixels at 96 per inch, centred on (1.625, 1.625).
    const TvxpPersonalInfo* agent = m_context.Personal;
    if (agent && !agent->Photo.isNull()) {
        const QImage& photo = agent->Photo;
        const double s = std::max(photo.width(), photo.height()) / 196.0;
        const double w = photo.width() / s / 96.0;
        const double h = photo.height() / s / 96.0;
        report.PrintImageRect(1.625 - w / 2, 1.625 - h / 2, 1.625 + w / 2, 1.625 + h / 2, photo);
    }
    report.NewLine();
}

std::vector<std::pair<QString, QString>> TPropInfoPage::PropertyFields() const
{
    return {
        {L("Owner:"), Field("owner1")},
        {L("Parcel:"), Field("apn")},
        {L("Site Address:"), Field("address") + QLatin1Char(' ') + Field("city_state")},
        {L("Mail Address:"), Field("m_address") + QLatin1Char(' ') + Field("m_city_state")},
        {L("Vesting:"), Field("vesting")},
        {L("Phone Number:"), Field("phone")},
        {L("Co-Owner:"), Field("owner2")},
        {L("Map Code:"), Field("map")},
        {L("Flood:"), Field("flood")},
        {L("Census Tract:"), Field("census_tract")},
        {L("Tract/Lot/Block:"), Field("tract") + QLatin1Char('/') + Field("lot") + QLatin1Char('/') + Field("block")},
    };
}

void TPropInfoPage::PrintPropertyInformation(TBaseReport& report)
{
    report.GotoXY(0, 0.75);
    PrintBlockCaption(report, QStringLiteral("PROPERTY  INFORMATION"), 2.8);
    const auto fields = PropertyFields();
    // Owner to Co-Owner one a line; then Map Code beside Flood and Census
    // Tract beside Tract/Lot/Block.
    for (size_t i = 0; i < 7; ++i) {
        Row(report, fields[i].first, fields[i].second, 2.8, 4.0, kMargin);
        report.NewLine();
    }
    for (size_t i = 7; i < fields.size(); i += 2) {
        Row(report, fields[i].first, fields[i].second, 2.8, 4.0, 5.5 - kGap);
        Row(report, fields[i + 1].first, fields[i + 1].second, 5.5, 6.5, kMargin);
        report.NewLine();
    }
}

void TPropInfoPage::PrintLegalBeside(TBaseReport& report, TMemoBuf& legal)
{
    // On the lines left above the characteristics caption at 3.3; what they
    // cannot hold follows the sale history.
    report.PrintLeft(L("Legal description:"), 2.8);
    legal.SetPrintStart(4.0);
    legal.SetPrintEnd(kMargin);
    report.PrintMemo(
        legal,
        std::min(std::max(1, LinesAbove(report, CaptionTop(report, 3.3) - 0.03)), std::max(1, report.MemoLines(legal))),
        false);
}

double TPropInfoPage::PrintSaleHistory(TBaseReport& report)
{
    report.GotoXY(0, 5.75);
    PrintBlockCaption(report, QStringLiteral("SALE AND LOAN INFORMATION"), 0.75);
    report.ClearTabs();
    SetTabLines(report, 0.75, TTabJustify::tjLeft, 0.8, 0, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 1.0, 0, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 1.25, 0, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 1.75, 0.01, 0, 0);
    SetTabLines(report, tabAfterPrevious, TTabJustify::tjLeft, 1.75, 0.01, 0, 0);
    report.SetBold(true);
    for (const char* h : {"Doc date", "Doc number", "Sold price", "Doc type", "TD type"}) report.PrintTab(L(h));
    report.SetBold(false);
    // The rows end above the blocks at 7.2, the last row that fits showing
    // "..." when more are left.
    const double tableBottom = CaptionTop(report, 7.2) - 0.03;
    while (m_context.TrxCursor) {
        report.NewLine();
        if (report.YPos() + report.LineHeight() > tableBottom && m_context.TrxCursor->getNextSiblingElement()) {
            report.PrintTab(QStringLiteral("..."));
            m_context.TrxCursor = nullptr;
            break;
        }
        PrintTransaction(report);
        m_context.TrxCursor = m_context.TrxCursor->getNextSiblingElement();
    }
    report.ClearTabs();
    return tableBottom;
}

void TPropInfoPage::PrintTransaction(TBaseReport& report)
{
    // Every cell keeps a gap to the next.
    const double cellWidths[] = {0.8, 1.0, 1.25, 1.73, 1.73};
    const QString cells[] = {
        m_context.TrxField(L("doc_date")),
        m_context.TrxField(L("doc_number")),
        m_context.TrxField(L("sold_price")) + m_context.TrxField(L("doc_sale_code")).left(255),
        m_context.TrxField(L("doc_type")),
        m_context.TrxField(L("td_type")),
    };
    for (int i = 0; i < 5; ++i) report.PrintTab(TReportContext::FitText(report, cells[i], cellWidths[i] - kGap));
}

bool TPropInfoPage::PrintLegalRestBelowHistory(TBaseReport& report, TMemoBuf& legalRest, double tableBottom)
{
    const double kept = report.LineHeight();
    report.GotoXY(0, report.YPos() + 0.015 + kRestLineHeight);
    // Down to the top of the captions' text at 7.2.
    const double bottom = tableBottom + 0.03;
    const bool fits = UseLegalRestType(report, legalRest) <= LinesAbove(report, bottom);
    report.SetLineHeight(kept);
    report.SetFont(QStringLiteral("Arial"), 10);
    if (fits) PrintLegalRest(report, legalRest, bottom);
    return fits;
}

void TPropInfoPage::PrintValueBlock(TBaseReport& report, double y, const QString& caption,
                                    std::initializer_list<std::pair<const char*, const char*>> rows)
{
    report.GotoXY(0, y);
    PrintBlockCaption(report, caption, 4.5);
    for (const auto& [label, field] : rows) {
        Row(report, L(label), Field(field), 4.5, 5.7, kMargin);
        report.NewLine();
    }
}

void TPropInfoPage::PrintPreparedFor(TBaseReport& report)
{
    const TAppState& state = AppState();
    if (state.CustName.isEmpty() || state.CustAddr1.isEmpty() || state.CustCity.isEmpty()) return;
    report.GotoXY(0, 8.7);
    PrintBlockCaption(report, QStringLiteral("PREPARED  FOR"), 0.75);
    // Beside the tax block at 4.5.
    auto line = [&](const QString& text) {
        report.PrintLeft(TReportContext::FitText(report, text, 4.5 - kGap - 0.75), 0.75);
    };
    line(state.CustName);
    report.NewLine();
    line(state.CustAddr1);
    report.NewLine();
    if (!state.CustAddr2.isEmpty()) {
        line(state.CustAddr2);
        report.NewLine();
    }
    line(state.CustCity);
}

void TPropInfoPage::PrintPreparedBy(TBaseReport& report)
{
    // The address at the left, the filled phones beside it from the name's
    // line.
    report.GotoXY(0, 7.2);
    PrintBlockCaption(report, QStringLiteral("PREPARED  BY"), 0.75);
    const double y0 = report.YPos();
    const TvxpPersonalInfo* agent = m_context.Personal;
    if (!agent) {
        report.NewLine();
        return;
    }
    const QString phones[4][2] = {{agent->PhType1(), agent->PhNumber1()},
                                  {agent->PhType2(), agent->PhNumber2()},
                                  {agent->PhType3(), agent->PhNumber3()},
                                  {agent->PhType4(), agent->PhNumber4()}};
    int phoneLines = 0;
    for (const auto& p : phones) phoneLines += p[1].isEmpty() ? 0 : 1;
    // The address lines end before the phones on the lines they share, and
    // before the assessment block at 4.5 below them.
    int n = 0;
    auto line = [&](const QString& text) {
        const double limit = n++ < phoneLines ? 2.75 - kGap : 4.5 - kGap;
        report.PrintLeft(TReportContext::FitText(report, text, limit - 0.75), 0.75);
        report.NewLine();
    };
    line(m_context.AgentName());
    for (const QString& text : {agent->Company(), agent->Address1(), agent->Address2()})
        if (!text.isEmpty()) line(text);
    if (!agent->AddrCity().isEmpty())
        line(agent->AddrCity() + QStringLiteral(",  ") + agent->AddrState() + QStringLiteral("  ") + agent->AddrZip());
    report.GotoXY(0, y0);
    for (const auto& p : phones) {
        if (p[1].isEmpty()) continue;
        Row(report, TReportContext::FitText(report, p[0], 1.0), p[1], 2.75, 3.25, 4.5 - kGap);
        report.NewLine();
    }
}

void TPropInfoPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    PrintAgentPhoto(report);
    PrintPropertyInformation(report);
    TMemoBuf legal(Field("legal_desc").left(kLegalLength));
    PrintLegalBeside(report, legal);
    const double tableBottom = PrintSaleHistory(report);
    // The rest of the legal description below the sale history when it
    // fits there whole; else on the following page, once this page is done.
    // It runs in after a label of its own.
    const QString rest = legal.Text().mid(legal.Pos()).trimmed();
    TMemoBuf legalRest(L(kRestLabelText) + QLatin1Char(' ') + rest);
    const bool legalOnNextPage = !rest.isEmpty() && !PrintLegalRestBelowHistory(report, legalRest, tableBottom);

    PrintValueBlock(report, 7.2, QStringLiteral("ASSESSMENT  INFORMATION"),
                    {{"Land:", "land_value"},
                     {"Structure:", "imp_value"},
                     {"Total:", "total_value"},
                     {"% Improved:", "pct_improved"}});
    PrintValueBlock(report, 8.7, QStringLiteral("TAX  INFORMATION"),
                    {{"Tax Amount:", "tax_amount"},
                     {"Exempt Type:", "exemption"},
                     {"Tax Rate Area:", "tax_area"},
                     {"Assessed Year:", "tax_year"}});
    report.GotoXY(0, 3.3);
    PrintBlockCaption(report, QStringLiteral("PROPERTY  CHARACTERISTICS"), 0.75);
    PrintCharacteristics(report, 1, 0.75, 1.9, 4.0, 5.2, kMargin);
    PrintPreparedFor(report);
    PrintPreparedBy(report);

    report.NewLine();
    if (legalOnNextPage) {
        report.NewPage();
        report.GotoXY(0, 0.75 + kRestLineHeight);
        PrintLegalRest(report, legalRest, kFooterTop);
    }
    valid = false;
}

void TPropInfoPage::PrintPropertyBlock(TBaseReport& report)
{
    report.GotoXY(0, 6.1);
    report.SetFont(QStringLiteral("Arial"), 10);
    report.NewLine();
    report.NewLine();
    const double l = 0.8, v = 2.0, right = kMargin - 0.05;
    auto pairs = PropertyFields();
    pairs.emplace_back(L("Land Use:"), Field("land_use"));
    // Owner to Mail Address run across the block, as on the property page;
    // the legal description stands beside the fields below them, above the
    // second column of the characteristics, and the first column ends
    // before it.
    constexpr size_t kAcross = 4;
    double legalY = report.YPos();
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i == kAcross) legalY = report.YPos();
        Row(report, pairs[i].first, pairs[i].second, l, v, i < kAcross ? right : 4.0 - kGap);
        report.NewLine();
    }
    const double characteristicsTop = report.YPos();
    // Inside the street map page's frame.
    PrintCharacteristics(report, 2, 0.8, 2.0, 4.0, 5.0, right);

    // The legal description in the small type of its rest on the property
    // page: its first line beside the label, the others below it from 4.0,
    // down to the characteristics; the last line ends in "..." when text
    // is left over.
    report.GotoXY(0, legalY);
    const QString label = L("Legal description:");
    report.PrintLeft(label, 4.0);
    const double besideLabel = 4.0 + report.TextWidth(label) + kGap;
    const double bottom = characteristicsTop - report.LineHeight() - 0.03;
    const double kept = report.LineHeight();
    TMemoBuf memo(Field("legal_desc").left(kLegalLength));
    UseLegalRestType(report, memo);
    memo.SetPrintStart(besideLabel);
    memo.SetPrintEnd(right);
    report.PrintMemo(memo, 1, false);
    memo.SetPrintStart(4.0);
    if (!memo.Empty()) PrintLegal(report, memo, bottom);
    report.SetLineHeight(kept);
    report.SetFont(QStringLiteral("Arial"), 10);
}
