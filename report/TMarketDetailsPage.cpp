#include "report/TMarketDetailsPage.h"

#include "platform/core/FloatFormat.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/FieldTexts.h"
#include "protocol/TCompsRecords.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLQuery.h"
#include "report/ListingStatus.h"
#include "report/ReportNumbers.h"
#include "report/TReportContext.h"

#include <algorithm>

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

int StructureType(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

constexpr double kPhotoWidth = 2.05;
constexpr double kPhotoHeight = 1.45;
// Where the features and comments end: inside the blocks' frames at 7.78,
// clear of their 2-pixel lines.
constexpr double kTextRight = 7.74;

// A value that says something: not empty and, when it is a number (money
// or not), not zero.
bool Said(const QString& value)
{
    const QString text = MoneyToInt(value).trimmed();
    if (text.isEmpty()) return false;
    bool number = false;
    const double v = text.toDouble(&number);
    return !number || v != 0;
}

} // namespace

void TMarketDetailsPage::PrintLabelValue(TBaseReport&, const QString& label, const QString& value, double x)
{
    m_pairs.push_back(Pair{label.left(255), value.left(255), x, 0, 0});
}

void TMarketDetailsPage::PrintPairs(TBaseReport& report)
{
    // Each pair wants its label to end at its x. Pairs are moved right of
    // the one before them and left of the right edge, keeping kGap between
    // them; when they cannot all fit, the longest values are cut first.
    constexpr double left = 0.79, right = 7.74, kGap = 0.08, labelGap = 0.02;
    std::vector<Pair>& pairs = m_pairs;
    auto measure = [&](Pair& p) {
        p.LabelWidth = report.TextWidth(p.Label);
        report.SetBold(true);
        p.ValueWidth = report.TextWidth(p.Value);
        report.SetBold(false);
    };
    double total = 0;
    for (Pair& p : pairs) {
        measure(p);
        total += p.LabelWidth + labelGap + p.ValueWidth + kGap;
    }
    total -= pairs.empty() ? 0 : kGap;
    while (total > right - left) {
        auto longest = std::max_element(pairs.begin(), pairs.end(),
                                        [](const Pair& a, const Pair& b) { return a.ValueWidth < b.ValueWidth; });
        if (longest == pairs.end() || longest->ValueWidth <= 0) break;
        const double before = longest->ValueWidth;
        report.SetBold(true);
        longest->Value =
            TReportContext::FitText(report, longest->Value, std::max(0.0, before - (total - (right - left))));
        report.SetBold(false);
        measure(*longest);
        total -= before - longest->ValueWidth; // each cut makes the value narrower
    }
    std::vector<double> start(pairs.size());
    double end = left - kGap;
    for (size_t i = 0; i < pairs.size(); ++i) {
        start[i] = std::max(pairs[i].X - pairs[i].LabelWidth, end + kGap);
        end = start[i] + pairs[i].LabelWidth + labelGap + pairs[i].ValueWidth;
    }
    double bound = right;
    for (size_t i = pairs.size(); i-- > 0;) {
        const double width = pairs[i].LabelWidth + labelGap + pairs[i].ValueWidth;
        start[i] = std::min(start[i], bound - width);
        bound = start[i] - kGap;
    }
    for (size_t i = 0; i < pairs.size(); ++i) {
        const double labelEnd = start[i] + pairs[i].LabelWidth;
        report.PrintRight(pairs[i].Label, labelEnd);
        report.SetBold(true);
        report.PrintLeft(pairs[i].Value, labelEnd + labelGap);
        report.SetBold(false);
    }
    pairs.clear();
}

double TMarketDetailsPage::EstimateTextLines(TBaseReport& report, const QString& text, double width)
{
    return report.TextWidth(text) / width;
}

TXMLElement* TMarketDetailsPage::PhotoElement(const QString& apn) const
{
    if (m_context.PageId != pgDetailsPhotos || !m_context.CountyPhotos()) return nullptr;
    const TXMLElement* photos = m_context.RootChild(L("photos"));
    if (!photos) return nullptr;
    QString key = apn;
    key.remove(QLatin1Char('-')).remove(QLatin1Char(' '));
    for (TXMLElement* e = photos->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getAttribute(L("apn")) == key) return e;
    return nullptr;
}

bool TMarketDetailsPage::HasCompPhoto(const QString& apn) const { return PhotoElement(apn) != nullptr; }

bool TMarketDetailsPage::LoadCompPhoto(const QString& apn, QImage& photo, QString& error) const
{
    error.clear();
    const TXMLElement* e = PhotoElement(apn);
    if (!e) return false;
    try {
        QImage decoded;
        TvxpDocument::DecodeJpeg(ElementText(e), decoded);
        photo = decoded;
        return true;
    } catch (const std::exception& ex) {
        error = TReportContext::ErrorText(ex);
        return false;
    }
}

void TMarketDetailsPage::PrintCategorySummaries(TBaseReport& report)
{
    TReportContext& c = m_context;
    c.DrawGroupBand(report, L("Category Summaries"), c.Settings.Color(rcDetailsBar));
    report.SetFont(L("Arial"), 10);
    report.NewLine();
    report.SetFont(L("Arial"), 8);
    report.SetBold(true);
    const double top = report.LineTop() + 0.02;
    report.PrintRight(L("Listing Category"), 2.0);
    report.PrintRight(L("Lowest Price"), 3.25);
    report.PrintRight(L("Highest Price"), 4.75);
    report.PrintRight(L("Average Price"), 6.25);
    report.PrintRight(L("Average Price SqFt"), 7.75);
    report.SetBold(false);
    report.NewLine();
    for (int status = 0; status <= 9; ++status) {
        const TStatusStats& s = c.Stats[size_t(status)];
        if (s.RecordCount <= 0) continue;
        report.PrintRight(StatusIndexName(status) + L(" Listings"), 2.0);
        report.PrintRight(s.HasMinPrice() ? FormatMoney(L("#,###"), s.MinPrice) : QString(), 3.25);
        report.PrintRight(FormatMoney(L("#,###"), s.MaxPrice), 4.75);
        report.PrintRight(FormatMoney(L("#,###"), status == 8 ? s.SoldPrice.Average : s.ListPrice.Average), 6.25);
        report.PrintRight(FormatMoney(L("#0.00"), s.Ppsf.Average), 7.75);
        report.NewLine();
    }
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Rectangle(0.75, top, 7.78, report.YPos());
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    report.NewLine();
}

void TMarketDetailsPage::PrintSubjectBlock(TBaseReport& report)
{
    TReportContext& c = m_context;
    c.DrawGroupBand(report, L("Subject Property"), c.Settings.Color(rcDetailsBar));
    report.NewLine();
    report.SetFont(L("Arial"), 8);
    const double top = report.LineTop() + 0.01;
    auto f = [&](const char* name) { return c.SubjectField(L(name)); };
    PrintLabelValue(report, L("Owner:"), f("owner1"), 1.5);
    PrintLabelValue(report, L("APN:"), f("apn"), 5.5);
    PrintLabelValue(report, L("Year Built:"), f("year_built"), 7.0);
    PrintPairs(report);
    report.NewLine();
    PrintLabelValue(report, L("Site Address:"), f("address") + L(" ") + f("city_state"), 1.5);
    PrintLabelValue(report, L("Use Code:"), f("land_use"), 5.5);
    PrintPairs(report);
    report.NewLine();
    PrintLabelValue(report, L("Mail Address:"), f("m_address") + L(" ") + f("m_city_state"), 1.5);
    PrintLabelValue(report, L("Last Trans:"), c.TrxField(L("doc_date")), 5.5);
    PrintLabelValue(report, L("Last Price:"), c.TrxField(L("sold_price")), 7.0);
    PrintPairs(report);
    report.NewLine();
    if (c.TrxCursor) c.TrxCursor = c.TrxCursor->getNextSiblingElement();
    PrintLabelValue(report, L("Sqft:"), f("house_sqft"), 1.2);
    const QString type = f("prop_type");
    if (type == QLatin1String("1") || type == QLatin1String("2") || type == QLatin1String("4")) {
        PrintLabelValue(report, L("Bdrms:"), f("bed"), 2.2);
        PrintLabelValue(report, L("Baths:"), f("bath"), 3.4);
    }
    PrintLabelValue(report, L("Prior Trans:"), c.TrxField(L("doc_date")), 5.5);
    PrintLabelValue(report, L("Prior Price:"), c.TrxField(L("sold_price")), 7.0);
    PrintPairs(report);
    report.NewLine();
    PrintLabelValue(report, L("Lot:"), f("lot_sqft"), 1.2);
    if (!f("lot_width").isEmpty() && !f("lot_depth").isEmpty())
        PrintLabelValue(report, L("Lot Size:"), f("lot_width") + L("x") + f("lot_depth"), 3.2);
    PrintLabelValue(report, L("Deed Type:"), f("doc_type"), 5.5);
    PrintPairs(report);
    report.NewLine();
    PrintLabelValue(report, L("Pool:"), f("pool"), 1.2);
    PrintLabelValue(report, L("Lender:"), QString(), 5.5);
    PrintPairs(report);
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Rectangle(0.75, top, 7.78, report.YPos());
    report.Pen().SetWidth(1);
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    report.NewLine();
    report.NewLine();
}

void TMarketDetailsPage::RowPrint(TBaseReport& report, TReportShell& shell, bool&)
{
    TReportContext& c = m_context;
    if (c.FirstComp) {
        c.GroupStatus.clear();
        c.FirstComp = false;
        m_deferredIndex = -1;
        PrintCategorySummaries(report);
        PrintSubjectBlock(report);
    }
    PrintCompBlock(report, shell);
}

void TMarketDetailsPage::PrintFeatures(TBaseReport& report, const QString& text, double left)
{
    QString word;
    bool boldStart = false, boldEnd = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        bool ends = false;
        if (ch == QLatin1Char('@')) {
            if (!boldStart)
                boldStart = true;
            else
                boldEnd = true;
        } else {
            word += ch;
            ends = ch == QLatin1Char(' ') && word.size() >= 2;
        }
        if (ends || i == text.size() - 1) {
            if (boldStart && !report.Bold()) report.SetBold(true);
            if (kTextRight - report.XPos() < report.TextWidth(word)) {
                report.NewLine();
                report.GotoXY(left, report.YPos());
            }
            report.Print(word);
            word.clear();
            if (boldEnd) {
                report.SetBold(false);
                boldStart = boldEnd = false;
            }
        }
    }
}

void TMarketDetailsPage::PrintCompBlock(TBaseReport& report, TReportShell& shell)
{
    TReportContext& c = m_context;
    TCompsRecords& r = *c.Records;
    c.PageBreakPending = false;
    if (!r.IsUsed(r.Index())) return;
    auto f = [&](const char* name) { return r.Field(L(name)); };
    const QString features = f("features");
    const QString remarks = f("rem");
    const QString status = f("status");
    const bool band = status != c.GroupStatus || shell.FirstRow();
    double estimate = 7 + (status != c.GroupStatus ? 3 : 0);
    report.SetFont(L("Arial"), 8);
    const QString apn = f("apn");
    const bool photo = HasCompPhoto(apn);
    if (!features.isEmpty()) {
        const double textLeft = photo ? 0.75 + kPhotoWidth + 0.1 + 0.65 : 0.75;
        estimate += double(Round(EstimateTextLines(report, features, kTextRight - textLeft)));
    }
    TMemoBuf memo(remarks);
    if (!remarks.isEmpty()) {
        memo.SetPrintStart(photo ? 0.75 + kPhotoWidth + 0.1 + 0.75 : 0.79);
        memo.SetPrintEnd(kTextRight);
        estimate += report.MemoLines(memo);
    }
    if (photo) estimate = std::max(estimate, 18.0);
    if (report.LinesLeft() - 5 <= estimate) {
        // A block that does not fit even on the fresh page it was deferred
        // to is printed anyway; its comments break the pages.
        const bool freshPage = m_deferredIndex == r.Index() && m_deferredPage != report.PageNumber();
        if (!freshPage) {
            m_deferredIndex = r.Index();
            m_deferredPage = report.PageNumber();
            c.PageBreakPending = true;
            return;
        }
    }
    m_deferredIndex = -1;

    if (band) {
        c.DrawGroupBand(report, StatusBandCaption(status, status == c.GroupStatus), c.Settings.Color(rcDetailsBar));
        report.SetFont(L("Arial"), 8);
        report.NewLine();
        c.GroupStatus = status;
    }
    report.SetFont(L("Arial"), 8);
    double top = report.LineTop() + 0.01;
    const bool county106 = c.CountyId() == 106;
    PrintLabelValue(report, L("Owner:"), f("owner"), 1.5);
    PrintLabelValue(report, L("APN:"), apn, 5.5);
    PrintLabelValue(report, L("Year Built:"), f("year_built"), 7.0);
    PrintPairs(report);
    report.NewLine();
    const QString site = f("address") + L(" ") + f("city");
    PrintLabelValue(report, L("Site Address:"), site, 1.5);
    PrintLabelValue(report, L("Use Code:"), f("land_use"), 5.5);
    PrintPairs(report);
    report.NewLine();
    PrintLabelValue(report, L("Mail Address:"), site, 1.5);
    if (status == QLatin1String("8"))
        PrintLabelValue(report, L("Last Trans:"), f("doc_date"), 5.5);
    else if (status == QLatin1String("3"))
        PrintLabelValue(report, L("Exp Date:"), f("search_date"), 5.5);
    else if (status == QLatin1String("9"))
        PrintLabelValue(report, L("With Date:"), f("search_date"), 5.5);
    else if (status == QLatin1String("7"))
        PrintLabelValue(report, L("Pend Date:"), f("search_date"), 5.5);
    else
        PrintLabelValue(report, L("Last Trans:"), f("search_date"), 5.5);
    if (status == QLatin1String("8"))
        PrintLabelValue(report, L("Last Price:"), f("sold_price") + L(" ") + SaleCodeName(f("sale_code")), 7.0);
    else if (status == QLatin1String("3") || status == QLatin1String("9") || status == QLatin1String("7") ||
             status == QLatin1String("0"))
        PrintLabelValue(report, L("List Price:"), f("list_price"), 7.0);
    PrintPairs(report);
    report.NewLine();
    const int structure = StructureType(f("structure_type"));
    if (structure >= 0 && structure <= 5) PrintLabelValue(report, L("Sqft:"), f("house_sqft"), 1.2);
    if (structure == 0 || structure == 1 || structure == 2 || structure == 4) {
        PrintLabelValue(report, L("Bdrms:"), f("bed"), 2.2);
        if (county106)
            PrintLabelValue(report, L("Fixtures:"), f("fixtures"), 3.4);
        else
            PrintLabelValue(report, L("Baths:"), f("bath"), 3.4);
        if (!f("dom").isEmpty()) PrintLabelValue(report, L("DOM:"), f("dom"), 3.9);
    } else if (structure == 3 || structure == 5) {
        PrintLabelValue(report, L("GSI:"), f("annual_gross"), 1.7);
        PrintLabelValue(report, L("Annual Exp:"), f("annual_expense"), 2.7);
        PrintLabelValue(report, L("Cap Rate:"), f("cap_rate"), 3.75);
        PrintLabelValue(report, L("#Units:"), f("total_units"), 4.7);
    }
    PrintLabelValue(report, L("Prior Trans:"), f("p_doc_date"), 5.5);
    PrintLabelValue(report, L("Prior Price:"), f("p_sold_price") + L("  ") + SaleCodeName(f("prev_sale_code")), 7.0);
    PrintPairs(report);
    report.NewLine();
    PrintLabelValue(report, L("Lot:"), f("lot_sqft"), 1.2);
    PrintLabelValue(report, L("Acreage:"), f("acres"), 2.2);
    PrintLabelValue(report, L("Lot Size:"), f("lot_size"), 3.4);
    PrintLabelValue(report, L("Deed Type:"), f("doc_type"), 5.5);
    PrintPairs(report);
    report.NewLine();
    if (structure == 0 || structure == 1 || structure == 2 || structure == 4)
        PrintLabelValue(report, L("Pool:"), f("pool"), 1.2);
    PrintLabelValue(report, L("Lender:"), f("lender"), 5.5);
    PrintPairs(report);
    report.NewLine();
    // The phrases of the last line, each only when its value says
    // something; the line only when one of them does.
    if (Said(f("ppsf"))) PrintLabelValue(report, QString(), f("ppsf") + L(" Per Sqft."), 1.2);
    if (Said(f("distance"))) PrintLabelValue(report, QString(), f("distance") + L(" miles from subject property"), 2.5);
    if (Said(f("house_dif"))) PrintLabelValue(report, QString(), L("Comparable is ") + f("house_dif"), 4.8);
    if (!m_pairs.empty()) {
        PrintPairs(report);
        report.NewLine();
    }

    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Rectangle(0.75, top, 7.78, report.YPos());
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    report.NewLine();
    // Nothing below the data: no box, the blank line parts the block from
    // the next.
    if (!photo && features.isEmpty() && remarks.isEmpty()) {
        report.NewLine();
        return;
    }
    report.GotoXY(0, report.YPos() + 0.03);
    top = report.LineTop();

    double photoBottom = 0;
    if (photo) {
        photoBottom = report.LineTop() + kPhotoHeight;
        report.Pen().SetColor(clBlack);
        report.Brush().SetColor(clWhite);
        report.Rectangle(0.75, report.LineTop(), 2.8, photoBottom);
        // The box beside the photo holds the features and comments.
        if (!features.isEmpty() || !remarks.isEmpty()) report.Rectangle(2.85, report.LineTop(), 7.78, photoBottom);
        QImage picture;
        QString error;
        if (LoadCompPhoto(apn, picture, error))
            TReportContext::PrintImageFit(report, 0.75, top, 2.8, photoBottom, picture);
        else if (!error.isEmpty())
            TReportContext::PictureLeftOut(report, L("The photo of the comp %1").arg(apn.left(64)), error);
        report.Brush().SetStyle(TBrushStyle::bsClear);
        report.Rectangle(0.75, report.LineTop(), 2.8, photoBottom);
        report.Brush().SetStyle(TBrushStyle::bsSolid);
    }
    if (!features.isEmpty()) {
        report.SetFont(L("Arial"), 8);
        const double left = photo ? 0.75 + kPhotoWidth + 0.1 : 0.79;
        report.GotoXY(left, report.YPos());
        PrintFeatures(report, features, left);
    }
    if (!remarks.isEmpty()) {
        report.NewLine();
        report.SetFont(L("Arial"), 8);
        report.SetBold(true);
        const double label = photo ? 2.9 : 0.79;
        if (photo)
            while (report.LineTop() < top + kPhotoHeight / 2 - 0.25) report.NewLine();
        report.PrintLeft(L("Comments:"), label);
        // The remarks follow the label after a space at the least.
        const double labelEnd = label + report.TextWidth(L("Comments: "));
        report.SetBold(false);
        memo.SetPrintStart(std::max(photo ? 3.55 : 1.4, labelEnd));
        memo.SetPrintEnd(kTextRight);
        report.PrintMemo(memo, 1, false);
        if (memo.Pos() < memo.Size()) {
            memo.SetPrintStart(photo ? 2.9 : 0.79);
            report.PrintMemo(memo, 0, false);
        }
    }
    if (photo) {
        while (report.LineTop() < photoBottom) report.NewLine();
    } else {
        report.Pen().SetColor(clBlack);
        report.Brush().SetStyle(TBrushStyle::bsClear);
        if (remarks.isEmpty()) {
            report.Rectangle(0.75, top, 7.78, report.YPos());
            report.NewLine();
        } else {
            report.Rectangle(0.75, top, 7.78, report.YPos() - report.LineHeight());
        }
        report.Brush().SetStyle(TBrushStyle::bsSolid);
        report.NewLine();
    }
}

void TMarketDetailsPage::RowAfter(TBaseReport& report, TReportShell&, bool& valid)
{
    TReportContext& c = m_context;
    TCompsRecords& r = *c.Records;
    if (c.PageBreakPending)
        report.NewPage();
    else
        r.Next();
    valid = !r.Eof();
}
