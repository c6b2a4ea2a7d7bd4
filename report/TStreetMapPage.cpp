#include "report/TStreetMapPage.h"

#include "platform/core/FloatFormat.h"
#include "platform/print/TMetafileGraphic.h"
#include "platform/report/TBaseReport.h"
#include "protocol/FieldTexts.h"
#include "protocol/TCompsRecords.h"
#include "protocol/TMetafilePicture.h"
#include "protocol/TvxpDocument.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/WireNumbers.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLQuery.h"
#include "report/ReportNumbers.h"
#include "report/TPropInfoPage.h"
#include "report/TReportContext.h"

#include <limits>

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

// The rule under the map.
constexpr double kRuleY = 5.5;

constexpr qint64 kNoRanges = std::numeric_limits<qint32>::max();

qint64 PriceValue(const QString& text)
{
    bool ok = false;
    const qlonglong v = MoneyToInt(text).trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

double PpsfValue(const QString& text) { return StrToFloatDefault(MoneyToInt(text), 0); }

// Thousands separators, no decimals.
QString F(qint64 value) { return FloatToStrF(double(value), ffNumber, 15, 0); }

struct LegendStatus {
    const char* Code;
    const char* Name;
    const char* Symbol;
};
const LegendStatus kLegend[] = {
    {"0", "Active", "n"}, {"7", "Pending", "u"}, {"3", "Expired", "\xAB"}, {"8", "Sold", "l"}};

// The columns of the comps table.
struct CompsColumn {
    double Width;
    TTabJustify Justify;
    double Margin;
};
const CompsColumn kCompsColumns[] = {
    {0.24, TTabJustify::tjLeft, 0.01}, {2.0, TTabJustify::tjLeft, 0},     {0.6, TTabJustify::tjRight, 0},
    {0.25, TTabJustify::tjRight, 0},   {0.3, TTabJustify::tjRight, 0.01}, {0.7, TTabJustify::tjRight, 0.01},
    {0.45, TTabJustify::tjRight, 0},   {0.57, TTabJustify::tjRight, 0},   {1.9, TTabJustify::tjCenter, 0}};

} // namespace

QString TStreetMapPage::StatusLetter(const QString& status)
{
    if (status == QLatin1String("0")) return L("A");
    if (status == QLatin1String("7")) return L("P");
    if (status == QLatin1String("3")) return L("E");
    if (status == QLatin1String("8")) return L("S");
    return QString();
}

void TStreetMapPage::RowPrint(TBaseReport& report, TReportShell&, bool& valid)
{
    PrintStreetMapPage(report);
    report.SetBKColor(0xFFFFFF);
    report.SetFontColor(clBlack);
    report.SetBold(false);
    report.Pen().SetStyle(TPenStyle::psSolid);
    report.Pen().SetColor(clBlack);
    valid = false;
}

void TStreetMapPage::PrintStreetFrame(TBaseReport& report)
{
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Rectangle(0.75, 0.75, 7.8, 10.35);
    report.Pen().SetWidth(1);
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    report.SetFont(L("Arial"), 8);
    // The footer line sits below the frame's bottom line, clear of it.
    report.GotoXY(0, 10.52);
    const QString agent = m_context.AgentLine();
    const QString notice = L("Street map data provided by Ostrel Profile Services");
    const QString date = m_context.Settings.ReportDateText();
    const double room = 7.8 - report.TextWidth(notice) - 0.15 - 0.75;
    report.PrintLeft(TReportContext::FitText(report, agent.isEmpty() ? date : agent + L(" - ") + date, room), 0.75);
    report.PrintRight(notice, 7.8);
    report.Brush().SetColor(clWhite);
}

void TStreetMapPage::PrintPreparedBy(TBaseReport& report, const QString& fullName, const QString& company)
{
    report.SetBKColor(clWhite);
    report.GotoXY(0, 5.75);
    report.SetFont(L("Arial"), 10);
    report.PrintCenter(L("Prepared by"), 4.275);
    report.GotoXY(0, 6.0);
    report.SetFont(L("Arial"), 12);
    report.SetBold(true);
    // Centred between the price legend at the left and the status legend
    // at the right.
    report.PrintCenter(TReportContext::FitText(report, fullName, 3.4), 4.275);
    report.GotoXY(0, 6.2);
    report.SetFont(L("Arial"), 12);
    report.SetBold(true);
    report.PrintCenter(TReportContext::FitText(report, company, 3.4), 4.275);
    report.SetBold(false);
}

void TStreetMapPage::PrintStreetMapPage(TBaseReport& report)
{
    TReportContext& c = m_context;
    report.Brush().SetColor(clBlack);
    const QString address = c.SubjectField(L("address"));
    const QString cityState = c.SubjectField(L("city_state"));
    PrintStreetFrame(report);

    report.GotoXY(0.75, 0.65);
    TReportContext::UseFont(report, c.Settings.MiddleFont);
    report.SetFontColor(clBlack);
    report.SetBold(true);
    // A placeholder address ("SITUS ...", "UNKNOWN") is left out.
    const QString upper = address.toUpper();
    const bool placeholder = upper.contains(L("SITUS")) || upper.contains(L("UNKNOWN"));
    report.PrintLeft(TReportContext::FitText(report, placeholder ? cityState : address + L(" - ") + cityState, 7.05),
                     0.75);

    // The rule between the map (to 5.45) and the texts below it, whose
    // tallest (the status symbols on the line at 5.75) start near 5.56.
    report.Brush().SetColor(clBlack);
    TReportContext::ShadedBox(report, 0.75, kRuleY, 7.8, kRuleY);
    const TvxpPersonalInfo* agent = c.Personal;
    PrintPreparedBy(report, c.AgentName(), agent ? agent->Company() : QString());

    if (c.CompsLastIndex() > 0) {
        PrintStatusLegend(report);
        PrintPriceLegend(report);
        PrintCompsTable(report);
    } else {
        m_propInfo.PrintPropertyBlock(report);
    }

    // The map, decoded from its Base64 text; a text that holds no metafile
    // leaves the map's area empty, and the report's log says so.
    TMetafilePicture metafile;
    const QString text = ElementText(c.FindMapNode(L("street")));
    if (!text.isEmpty()) {
        try {
            TvxpDocument::DecodeMetafile(text, metafile);
        } catch (const std::exception& e) {
            metafile.Clear();
            TReportContext::PictureLeftOut(report, L("The street map"), TReportContext::ErrorText(e));
        }
    }
    const TMetafileGraphic picture(metafile.Data());
    report.StretchDraw(QRectF(QPointF(0.75, 0.75), QPointF(7.8, 5.45)), picture);
    report.Pen().SetColor(clBlack);
    report.MoveTo(0.75, 5.45);
    report.LineTo(7.8, 5.45);
}

void TStreetMapPage::PrintStatusLegend(TBaseReport& report)
{
    TCompsRecords& r = *m_context.Records;
    bool present[4] = {false, false, false, false};
    for (int i = 0; i <= r.LastIndex(); ++i) {
        r.SetIndex(i);
        const QString status = r.Field(L("status"));
        for (int k = 0; k < 4; ++k) present[k] = present[k] || status == QLatin1String(kLegend[k].Code);
    }
    r.First();
    report.SetBKColor(clWhite);
    double y = 5.75;
    report.SetFont(L("WingDings"), 12);
    report.SetBold(true);
    for (int k = 0; k < 4; ++k) {
        if (!present[k]) continue;
        report.GotoXY(0, y);
        report.PrintCenter(QString::fromLatin1(kLegend[k].Symbol), 6.95);
        y += 0.14;
    }
    report.SetBold(false);
    y = 5.75;
    report.SetFont(L("Arial"), 8);
    for (int k = 0; k < 4; ++k) {
        if (!present[k]) continue;
        report.GotoXY(0, y);
        report.PrintLeft(QString::fromLatin1(kLegend[k].Name), 7.15);
        y += 0.14;
    }
}

QString TStreetMapPage::PriceOf() const
{
    const TCompsRecords& r = *m_context.Records;
    return r.Field(L("status")) == QLatin1String("8") ? r.Field(L("sold_price")) : r.Field(L("list_price"));
}

void TStreetMapPage::UpdatePriceRange(const QString& priceText)
{
    const qint64 price = PriceValue(priceText);
    if (price == 0) return;
    m_anyPrice = true;
    m_lowest = std::min(m_lowest, price);
    m_highest = std::max(m_highest, price);
}

void TStreetMapPage::CalcPriceRangeWidth()
{
    // Ranges need four priced comps and at least one price.
    if (m_priced < 4 || !m_anyPrice)
        m_rangeWidth = kNoRanges;
    else
        m_rangeWidth = Trunc(double(m_highest - m_lowest) / 400.0) * 100;
}

void TStreetMapPage::PrintPriceLegendEntry(TBaseReport& report, int slot, const QString& text, quint32 color)
{
    // The four slots between the rule and the comps table's header bar
    // (from 6.21), the lowest square ending 0.04 above the bar.
    const double y = kRuleY + 0.01 + 0.14 * slot;
    report.SetBrush(color, TBrushStyle::bsSolid, nullptr);
    report.Rectangle(1.05, y, 1.15, y + 0.1);
    report.SetBrush(clBlack, TBrushStyle::bsSolid, nullptr);
    report.SetBKColor(clWhite);
    report.SetFont(L("Arial"), 8);
    report.GotoXY(0, y + 0.08);
    report.PrintLeft(text, 1.25);
}

void TStreetMapPage::PrintPriceLegend(TBaseReport& report)
{
    TCompsRecords& r = *m_context.Records;
    m_priced = 0;
    m_lowest = std::numeric_limits<qint32>::max();
    m_highest = std::numeric_limits<qint32>::min();
    m_largestPpsf = 0;
    m_anyPrice = false;
    for (int i = 0; i <= r.LastIndex(); ++i) {
        r.SetIndex(i);
        if (!r.IsUsed(i)) continue;
        UpdatePriceRange(PriceOf());
        const double v = PpsfValue(r.Field(L("ppsf")));
        m_largestPpsf = MathMax(m_largestPpsf, v);
        if (v > 0) ++m_priced;
    }
    CalcPriceRangeWidth();
    if (m_rangeWidth < kNoRanges)
        PrintPriceRanges(report);
    else
        PrintPriceList(report);
    r.First();
}

void TStreetMapPage::PrintPriceRanges(TBaseReport& report)
{
    TCompsRecords& r = *m_context.Records;
    int counts[5] = {0, 0, 0, 0, 0};
    const qint64 w = m_rangeWidth, lo = m_lowest;
    for (int i = 0; i <= r.LastIndex(); ++i) {
        r.SetIndex(i);
        if (!r.IsUsed(i)) continue;
        const qint64 p = PriceValue(PriceOf());
        if (p == 0 || p < lo) continue;
        const int range = p < lo + w ? 1 : p < lo + 2 * w ? 2 : p < lo + 3 * w ? 3 : 4;
        ++counts[range];
    }
    auto line = [&](qint64 from, qint64 to, int count) {
        return F(from) + L(" to ") + F(to) + L(" (") + QString::number(count) + L(")");
    };
    PrintPriceLegendEntry(report, 4, line(lo, lo + w - 1, counts[1]), 0x800080);
    PrintPriceLegendEntry(report, 3, line(lo + w, lo + 2 * w - 1, counts[2]), 0x008000);
    PrintPriceLegendEntry(report, 2, line(lo + 2 * w, lo + 3 * w - 1, counts[3]), 0x0000FF);
    PrintPriceLegendEntry(report, 1, line(lo + 3 * w, m_highest, counts[4]), 0xFF0000);
}

void TStreetMapPage::PrintPriceList(TBaseReport& report)
{
    TCompsRecords& r = *m_context.Records;
    int n = 0;
    for (int i = 0; i <= r.LastIndex() && n < 3; ++i) {
        r.SetIndex(i);
        const QString sold = r.Field(L("sold_price"));
        const QString list = r.Field(L("list_price"));
        if (sold.isEmpty() && list.isEmpty()) continue;
        ++n;
        PrintPriceLegendEntry(report, n, F(PriceValue(sold.isEmpty() ? list : sold)), 0x800080);
    }
}

int TStreetMapPage::UsedComps() const
{
    const TCompsRecords& r = *m_context.Records;
    int used = 0;
    for (int i = 0; i <= r.LastIndex(); ++i) used += r.IsUsed(i) ? 1 : 0;
    return used;
}

void TStreetMapPage::PrintCompsHeader(TBaseReport& report, double keptLineHeight)
{
    report.SetFontSize(8);
    report.SetBold(true);
    report.ClearTabs();
    for (int i = 0; i < 9; ++i)
        SetTabLines(report, i == 0 ? 0.75 : tabAfterPrevious, kCompsColumns[i].Justify, kCompsColumns[i].Width,
                    kCompsColumns[i].Margin, kLineLeft | kLineRight | kLineTop | kLineBottom, 0);
    report.GotoXY(0.75, 6.55 - keptLineHeight);
    report.SetTabShade(100);
    report.SetFontColor(0xFFFFFF);
    const bool county106 = m_context.CountyId() == 106;
    for (const QString& h : {L("Stat"), L("Address"), L("Date"), L("Bed"), county106 ? L("Fix") : L("Bath"), L("Price"),
                             L("SqFt"), L("PPSF"), L("Price Per Square Foot")})
        report.PrintTab(h);
    report.NewLine();
    report.SetTabShade(0);
    report.SetFontColor(clBlack);
}

void TStreetMapPage::SetCompsRowTabs(TBaseReport& report)
{
    report.ClearTabs();
    for (int i = 0; i < 9; ++i)
        SetTabLines(report, i == 0 ? 0.76 : tabAfterPrevious, i == 8 ? TTabJustify::tjLeft : kCompsColumns[i].Justify,
                    kCompsColumns[i].Width, i == 0 ? 5 : 0, 0, 0);
}

void TStreetMapPage::PrintCompRow(TBaseReport& report)
{
    const TCompsRecords& r = *m_context.Records;
    const QString status = r.Field(L("status"));
    const bool county106 = m_context.CountyId() == 106;
    const QString ppsf = r.Field(L("ppsf"));
    const QString cells[] = {StatusLetter(status),
                             r.Field(L("address")),
                             r.Field(L("doc_date")),
                             r.Field(L("bed")),
                             r.Field(county106 ? L("fixtures") : L("bath")),
                             status == QLatin1String("8") ? r.Field(L("sold_price")) : r.Field(L("mls_price")),
                             r.Field(L("house_sqft")),
                             ppsf};
    // Each text keeps a gap to the next cell.
    for (int column = 0; column < 8; ++column) {
        const double room = kCompsColumns[column].Width - (column == 0 ? 0.05 : 0) - 0.04;
        report.PrintTab(TReportContext::FitText(report, cells[column], room));
    }
    // The graph column is never shaded.
    const int shade = report.TabShade();
    report.SetTabShade(0);
    report.PrintTab(QString());
    report.SetTabShade(shade);
    PrintPpsfBar(report, ppsf);
}

void TStreetMapPage::PrintPpsfBar(TBaseReport& report, const QString& ppsfText)
{
    const double v = PpsfValue(ppsfText);
    if (ppsfText.isEmpty() || v <= 0) return;
    const double w = m_largestPpsf > 0 ? v / m_largestPpsf * 1.86 : 0.01;
    // The grey shadow, then the bar 0.03 left of it and above.
    report.SetPen(0xC0C0C0, TPenStyle::psSolid, 1, TPenMode::pmCopy);
    report.SetBrush(0xC0C0C0, TBrushStyle::bsSolid, nullptr);
    TReportContext::ShadedBox(report, 5.88, report.LineTop() + 0.04, 5.88 + w + 0.03, report.YPos() - 0.01);
    const TColor bar = m_context.Settings.SqFtGraphColor;
    report.SetPen(bar, TPenStyle::psSolid, 1, TPenMode::pmCopy);
    report.SetBrush(bar, TBrushStyle::bsSolid, nullptr);
    TReportContext::ShadedBox(report, 5.88, report.LineTop() + 0.01, 5.88 + w, report.YPos() - 0.04);
}

void TStreetMapPage::PrintCompsTable(TBaseReport& report)
{
    TCompsRecords& r = *m_context.Records;
    const int used = UsedComps();
    const double kept = report.LineHeight();
    PrintCompsHeader(report, kept);
    // The header row alone when no comp is marked for use.
    if (used == 0) {
        report.ClearTabs();
        report.SetLineHeight(0.17);
        return;
    }
    // The rows fill at most 3.8 inches.
    const double height = std::min(3.8 / used, 0.35);
    report.SetLineHeight(height);
    report.SetBold(false);
    report.GotoXY(0.75, 6.57 + height - kept);
    SetCompsRowTabs(report);
    report.SetTabShade(10);
    for (int i = 0; i <= r.LastIndex(); ++i) {
        r.SetIndex(i);
        if (!r.IsUsed(i)) continue;
        PrintCompRow(report);
        report.SetTabShade(report.TabShade() == 10 ? 0 : 10);
        report.NewLine();
    }
    report.SetTabShade(0);
    report.ClearTabs();
    report.SetLineHeight(0.17);
}
