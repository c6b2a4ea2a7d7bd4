#include "report/TMarketSummaryPage.h"

#include "platform/core/FloatFormat.h"
#include "platform/core/SysUtils.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/TCompsRecords.h"
#include "report/ListingStatus.h"
#include "report/ReportNumbers.h"
#include "report/TReportContext.h"

#include <array>

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

int StructureType(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString StatusDateHeading(const QString& status)
{
    if (status == QLatin1String("8")) return L("Sold Date");
    if (status == QLatin1String("3")) return L("Exp Date");
    if (status == QLatin1String("9")) return L("With Date");
    if (status == QLatin1String("7")) return L("Pend Date");
    return QString();
}

// The status date cell, by the status's first character.
QString StatusDateCell(const TCompsRecords& r, const QString& status)
{
    const QChar first = status.isEmpty() ? QChar() : status.at(0);
    if (first == QLatin1Char('8') || first == QLatin1Char('3') || first == QLatin1Char('9'))
        return r.Field(L("search_date"));
    if (first == QLatin1Char('7')) return r.Field(L("close_date"));
    return QString();
}

// Columns 2 to 4 by structure type: their headings and the fields of the
// cells.
struct StructureColumns {
    const char* Headings[3];
    const char* Fields[3];
};
const StructureColumns* Columns(int structure, bool county106)
{
    static const StructureColumns house = {{"Beds", "Baths", "Est SF"}, {"bed", "bath", "house_sqft"}};
    static const StructureColumns house106 = {{"Beds", "Fixtures", "Est SF"}, {"bed", "partial_baths", "house_sqft"}};
    static const StructureColumns income = {{"GSI", "Zoning", "Est SF"}, {"annual_gross", "zoning", "house_sqft"}};
    static const StructureColumns land = {{"APN", "Acreage", "Lot Size"}, {"apn_index", "acres", "lot_sqft"}};
    switch (structure) {
    case 1:
    case 2:
    case 4: return county106 ? &house106 : &house;
    case 3:
    case 5: return &income;
    case 6: return &land;
    default: return nullptr; // three empty cells
    }
}

std::array<QString, 3> StructureHeadings(int structure, bool county106)
{
    std::array<QString, 3> out;
    if (const StructureColumns* c = Columns(structure, county106))
        for (int i = 0; i < 3; ++i) out[size_t(i)] = L(c->Headings[i]);
    return out;
}

std::array<QString, 3> StructureCells(const TCompsRecords& r, int structure, bool county106)
{
    std::array<QString, 3> out;
    if (const StructureColumns* c = Columns(structure, county106))
        for (int i = 0; i < 3; ++i) out[size_t(i)] = r.Field(L(c->Fields[i]));
    return out;
}

} // namespace

namespace {

// Column widths of the heading row (style 0) and of the data and averages
// rows. The address column, empty on the data lines, gives room to the DOM
// and date columns, so that a full date keeps a gap to its neighbours, and
// to the third column, so that its longest headings ("Acreage",
// "Fixtures") are printed whole.
const double kHeadingWidths[9] = {1.05, 1.0, 0.64, 0.6, 0.5, 0.78, 0.78, 0.85, 0.85};
const double kDataWidths[9] = {1.05, 1.0, 0.6, 0.6, 0.5, 0.8, 0.8, 0.85, 0.85};
// Margins in hundredths of an inch: the outer columns 5, the others 4.
int Margin(int column) { return (column == 0 || column == 8) ? 5 : 4; }
// The least room between the texts of two cells.
constexpr double kCellGap = 0.04;

} // namespace

void TMarketSummaryPage::SetMarketSummaryTabs(TBaseReport& report, int style)
{
    if (style != 0 && style != 1 && style != 3) return;
    for (int i = 0; i < 9; ++i) {
        int lines = 0;
        if (style == 0)
            lines = kLineTop | kLineBottom | (i == 0 ? kLineLeft : 0u) | (i == 8 ? kLineRight : 0u);
        else if (style == 1)
            lines = kLineTop;
        const double width = style == 0 ? kHeadingWidths[i] : kDataWidths[i];
        SetTabLines(report, i == 0 ? 0.75 : tabAfterPrevious, i == 0 ? TTabJustify::tjLeft : TTabJustify::tjRight,
                    width, Margin(i), lines, 0);
    }
}

int TMarketSummaryPage::StructureKind(int structure)
{
    switch (structure) {
    case 1:
    case 2:
    case 4: return 1;
    case 3:
    case 5: return 3;
    case 6: return 6;
    default: return 0;
    }
}

void TMarketSummaryPage::MakeOrder()
{
    TCompsRecords& r = *m_context.Records;
    std::vector<Entry> used;
    for (int i = 0; i <= r.LastIndex(); ++i) {
        if (!r.IsUsed(i)) continue;
        r.SetIndex(i);
        const int structure = StructureType(r.Field(L("struct_type")));
        used.push_back(Entry{i, r.Field(L("status")), StructureKind(structure), structure, 0});
    }
    m_order.clear();
    std::vector<bool> taken(used.size(), false);
    for (size_t i = 0; i < used.size(); ++i) {
        if (taken[i]) continue;
        const size_t group = m_order.size();
        for (size_t j = i; j < used.size(); ++j) {
            if (!taken[j] && used[j].Status == used[i].Status && used[j].Kind == used[i].Kind) {
                taken[j] = true;
                m_order.push_back(used[j]);
                m_order.back().Group = group;
            }
        }
    }
}

TStatusStats TMarketSummaryPage::GroupStats(size_t from, size_t to) const
{
    TCompsRecords& r = *m_context.Records;
    const int kept = r.Index();
    TStatusStats s;
    const int slot = StatusCodeIndex(m_order[from].Status);
    for (size_t i = from; i < to; ++i) {
        r.SetIndex(m_order[i].Index);
        AddCompStatistics(r, slot, s);
    }
    r.SetIndex(kept);
    AverageCompStatistics(s);
    return s;
}

void TMarketSummaryPage::PrintCell(TBaseReport& report, const QString& text, const double* widths, int& column)
{
    const double room = widths[column] - Margin(column) / 100.0 - (column == 0 ? Margin(column) / 100.0 : kCellGap);
    ++column;
    report.PrintTab(TReportContext::FitText(report, text, room));
}

void TMarketSummaryPage::PrintGroupBand(TBaseReport& report, const Entry& e)
{
    TReportContext& c = m_context;
    c.DrawGroupBand(report, StatusBandCaption(e.Status, e.Group == m_bandGroup), c.Settings.Color(rcMarketSumBar));
    report.NewLine();
    c.GroupStatus = e.Status;
    m_bandGroup = e.Group;
}

void TMarketSummaryPage::PrintHeadingRow(TBaseReport& report, const Entry& e)
{
    report.SetFont(L("Arial"), 10);
    report.SetTabShade(m_context.Settings.TabShade);
    int column = 0;
    auto h = [&](const QString& text) { PrintCell(report, text, kHeadingWidths, column); };
    h(L("Address"));
    for (const QString& text : StructureHeadings(e.Structure, m_context.CountyId() == 106)) h(text);
    h(L("DOM"));
    h(L("List Date"));
    h(StatusDateHeading(e.Status));
    h(L("List Price"));
    h(e.Status == QLatin1String("8") ? L("Sale Price") : QString());
    report.SetBold(false);
    report.SetFont(L("Arial"), 10);
    report.NewLine();
    report.SetTabShade(0);
}

void TMarketSummaryPage::PrintEntry(TBaseReport& report, const Entry& e)
{
    const TCompsRecords& r = *m_context.Records;
    // First line: the address and city after four empty cells.
    for (int i = 0; i < 4; ++i) report.PrintTab(QString());
    report.PrintLeft(TReportContext::FitText(report, r.Field(L("address")) + L("   ") + r.Field(L("city")), 7.8 - 0.79),
                     0.79);
    report.NewLine();

    int column = 0;
    auto d = [&](const QString& text) { PrintCell(report, text, kDataWidths, column); };
    d(QString());
    for (const QString& text : StructureCells(r, e.Structure, m_context.CountyId() == 106)) d(text);
    d(r.Field(L("dom")));
    d(r.Field(L("list_date")));
    d(StatusDateCell(r, e.Status));
    d(r.Field(L("list_price")));
    d(e.Status == QLatin1String("8") ? r.Field(L("sold_price")) : QString());

    // The rule under the entry.
    report.Brush().SetColor(0x808080);
    TReportContext::ShadedBox(report, 0.75, report.YPos(), 7.8, report.YPos() + 0.002);
    report.Brush().SetColor(clWhite);
    report.NewLine();
}

void TMarketSummaryPage::RowPrint(TBaseReport& report, TReportShell& shell, bool&)
{
    TReportContext& c = m_context;
    if (c.FirstComp) {
        c.FirstComp = false;
        c.GroupStatus.clear();
        m_bandGroup = SIZE_MAX;
        MakeOrder();
        m_pos = 0;
        if (!m_order.empty()) c.Records->SetIndex(m_order.front().Index);
    }
    if (m_pos >= m_order.size()) return;
    const Entry& e = m_order[m_pos];
    // A group starts, or goes on at the top of a page.
    const bool heading = e.Group != m_bandGroup || shell.FirstRow();
    if (heading) PrintGroupBand(report, e);
    report.ClearTabs();
    SetMarketSummaryTabs(report, 0);
    if (heading) PrintHeadingRow(report, e);
    report.ClearTabs();
    SetMarketSummaryTabs(report, 3);
    report.SetFont(L("Arial"), 10);
    PrintEntry(report, e);
}

void TMarketSummaryPage::PrintAverages(TBaseReport& report, size_t from, size_t to)
{
    const QString& status = m_order[from].Status;
    // A group of a status without statistics (unknown code), or of one
    // comp, has no averages.
    if (StatusCodeIndex(status) < 0 || to - from <= 1) return;
    const TStatusStats s = GroupStats(from, to);
    report.ClearTabs();
    SetMarketSummaryTabs(report, 1);
    report.SetBold(true);
    int column = 0;
    auto a = [&](const QString& text) { PrintCell(report, text, kDataWidths, column); };
    a(L("Average"));
    switch (m_order[from].Structure) {
    case 1:
    case 2:
    case 4:
        a(FormatFloat(L("#.#"), s.Bed.Average));
        a(FormatFloat(L("#.#"), s.Bath.Average));
        a(FormatFloat(L("#,###"), s.HouseSqft.Average));
        break;
    case 3:
        a(QString());
        a(QString());
        a(FormatFloat(L("#,###"), s.HouseSqft.Average));
        break;
    case 5:
        a(FormatMoney(L("#,###"), s.AnnualGross.Average));
        a(QString());
        a(FormatFloat(L("#,###"), s.HouseSqft.Average));
        break;
    case 6:
        a(QString());
        a(QString());
        a(FormatFloat(L("#,###"), s.LotSqft.Average));
        break;
    default:
        for (int i = 0; i < 3; ++i) a(QString());
    }
    a(FormatFloat(L("#"), s.Dom.Average));
    a(QString());
    a(QString());
    a(FormatMoney(L("#,###"), s.ListPrice.Average));
    a(status == QLatin1String("8") ? FormatMoney(L("#,###"), s.SoldPrice.Average) : QString());
    report.SetBold(false);
    report.NewLine();
}

void TMarketSummaryPage::RowAfter(TBaseReport& report, TReportShell&, bool& valid)
{
    TCompsRecords& r = *m_context.Records;
    if (m_pos >= m_order.size()) {
        r.SetIndex(r.LastIndex());
        r.Next();
        valid = false;
        return;
    }
    const size_t group = m_order[m_pos].Group;
    ++m_pos;
    valid = m_pos < m_order.size();
    if (valid) {
        r.SetIndex(m_order[m_pos].Index);
    } else {
        r.SetIndex(r.LastIndex());
        r.Next();
    }
    // The group ends with its last comp; its averages row comes once.
    if (!valid || m_order[m_pos].Group != group) PrintAverages(report, group, m_pos);
    if (valid && report.LinesLeft() < 10) report.NewPage();
}
