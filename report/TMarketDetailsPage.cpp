#include "report/TMarketDetailsPage.h"

#include "platform/core/FloatFormat.h"
#include "platform/report/TBaseReport.h"
#include "platform/report/TReportShell.h"
#include "protocol/FieldTexts.h"
#include "protocol/TCompsRecords.h"
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

// Structure types laid out as houses: bedrooms, baths and a pool.
bool HouseStructure(int structure) { return structure == 0 || structure == 1 || structure == 2 || structure == 4; }

// The statuses whose third line shows the list price.
bool ListPriced(const QString& status)
{
    for (const char* code : {"3", "9", "7", "0"})
        if (status == QLatin1String(code)) return true;
    return false;
}

// The status date on a comp's third line: its label and field by status.
struct StatusDate {
    const char* Status;
    const char* Label;
    const char* Field;
};
const StatusDate kStatusDates[] = {{"8", "Last Trans:", "doc_date"},
                                   {"3", "Exp Date:", "search_date"},
                                   {"9", "With Date:", "search_date"},
                                   {"7", "Pend Date:", "search_date"}};
const StatusDate kOtherStatusDate = {"", "Last Trans:", "search_date"};

// A word of a features text with the blank after it (a blank ends a word
// of two characters at the least), and the bold marks around it: an at sign
// sets bold-start, the next one bold-end; the word after which the text ends
// takes what is left, an empty word included.
struct FeatureWord {
    QString Text;
    bool StartsBold = false, EndsBold = false;
};

std::vector<FeatureWord> FeatureWords(const QString& text)
{
    std::vector<FeatureWord> words;
    QString word;
    bool boldStart = false, boldEnd = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
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
            words.push_back(FeatureWord{word, boldStart, boldEnd});
            word.clear();
            if (boldEnd) boldStart = boldEnd = false;
        }
    }
    return words;
}

inline bool IsBlankChar(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QStringView TrimmedEnd(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && IsBlankChar(s[n - 1])) --n;
    return s.left(n);
}

QStringView TrimmedStart(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && IsBlankChar(s[i])) ++i;
    return s.mid(i);
}

// Whether the first character of a strong direction reads left to right.
bool StartsLeftToRight(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        switch (QChar::direction(c)) {
        case QChar::DirL: return true;
        case QChar::DirR:
        case QChar::DirAL: return false;
        default: break;
        }
    }
    return false;
}

// The longest start of text no wider than room, one character at the least;
// a surrogate pair is never parted.
template <typename Width>
qsizetype FittingPrefix(QStringView text, double room, Width width)
{
    qsizetype lo = 1, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (width(text.left(mid)) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo < text.size() && text[lo].isLowSurrogate()) lo += lo > 1 ? -1 : 1;
    return lo;
}

// The words of a comments text with the blanks after them; a hard break
// (CR LF, CR or LF) ends the line after the word before it, an empty one
// between two breaks.
std::vector<TMarketDetailsPage::TextPiece> CommentPieces(const QString& text)
{
    std::vector<TMarketDetailsPage::TextPiece> pieces;
    const qsizetype n = text.size();
    auto isBreak = [&](qsizetype i) { return text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n'); };
    for (qsizetype i = 0; i < n;) {
        const qsizetype start = i;
        while (i < n && !IsBlankChar(text[i]) && !isBreak(i)) ++i;
        while (i < n && IsBlankChar(text[i])) ++i;
        TMarketDetailsPage::TextPiece piece{text.mid(start, i - start), false, false};
        if (i < n && isBreak(i)) {
            piece.BreakAfter = true;
            i += text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n') ? 2 : 1;
        }
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

// The frame about a block from top to the current line, in the 2-pixel
// black pen that the frames after it keep.
void FrameBlock(TBaseReport& report, double top)
{
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Pen().SetColor(clBlack);
    report.Pen().SetWidth(2);
    report.Rectangle(0.75, top, 7.78, report.YPos());
    report.Brush().SetStyle(TBrushStyle::bsSolid);
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
    return e && TReportContext::DecodeJpegPicture(ElementText(e), photo, error);
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
    FrameBlock(report, top);
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
    PrintPairsLine(report);
    PrintLabelValue(report, L("Site Address:"), f("address") + L(" ") + f("city_state"), 1.5);
    PrintLabelValue(report, L("Use Code:"), f("land_use"), 5.5);
    PrintPairsLine(report);
    PrintLabelValue(report, L("Mail Address:"), f("m_address") + L(" ") + f("m_city_state"), 1.5);
    PrintLabelValue(report, L("Last Trans:"), c.TrxField(L("doc_date")), 5.5);
    PrintLabelValue(report, L("Last Price:"), c.TrxField(L("sold_price")), 7.0);
    PrintPairsLine(report);
    if (c.TrxCursor) c.TrxCursor = c.TrxCursor->getNextSiblingElement();
    PrintLabelValue(report, L("Sqft:"), f("house_sqft"), 1.2);
    const QString type = f("prop_type");
    if (type == QLatin1String("1") || type == QLatin1String("2") || type == QLatin1String("4")) {
        PrintLabelValue(report, L("Bdrms:"), f("bed"), 2.2);
        PrintLabelValue(report, L("Baths:"), f("bath"), 3.4);
    }
    PrintLabelValue(report, L("Prior Trans:"), c.TrxField(L("doc_date")), 5.5);
    PrintLabelValue(report, L("Prior Price:"), c.TrxField(L("sold_price")), 7.0);
    PrintPairsLine(report);
    PrintLabelValue(report, L("Lot:"), f("lot_sqft"), 1.2);
    if (!f("lot_width").isEmpty() && !f("lot_depth").isEmpty())
        PrintLabelValue(report, L("Lot Size:"), f("lot_width") + L("x") + f("lot_depth"), 3.2);
    PrintLabelValue(report, L("Deed Type:"), f("doc_type"), 5.5);
    PrintPairsLine(report);
    PrintLabelValue(report, L("Pool:"), f("pool"), 1.2);
    PrintLabelValue(report, L("Lender:"), QString(), 5.5);
    PrintPairs(report);
    FrameBlock(report, top);
    report.Pen().SetWidth(1);
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
    const std::vector<FeatureWord> words = FeatureWords(text);
    if (text.isRightToLeft()) {
        // The words' weights as the marks set them, then the text as one.
        bool bold = report.Bold();
        std::vector<TextPiece> pieces;
        pieces.reserve(words.size());
        for (const FeatureWord& w : words) {
            bold = bold || w.StartsBold;
            pieces.push_back(TextPiece{w.Text, bold, false});
            if (w.EndsBold) bold = false;
        }
        PrintRightToLeft(report, pieces, report.XPos(), left, false);
        report.SetBold(bold);
        return;
    }
    for (const FeatureWord& w : words) {
        if (w.StartsBold && !report.Bold()) report.SetBold(true);
        if (kTextRight - report.XPos() < report.TextWidth(w.Text)) {
            report.NewLine();
            report.GotoXY(left, report.YPos());
        }
        report.Print(w.Text);
        if (w.EndsBold) report.SetBold(false);
    }
}

void TMarketDetailsPage::PrintRightToLeft(TBaseReport& report, const std::vector<TextPiece>& pieces, double firstLeft,
                                          double left, bool newLineAfterLast)
{
    auto widthOf = [&report](QStringView text, bool bold) {
        if (text.isEmpty()) return 0.0;
        report.SetBold(bold);
        return report.TextWidth(text.toString());
    };
    struct Segment {
        size_t Piece;
        qsizetype From, To;
    };
    std::vector<Segment> line;
    size_t i = 0;
    qsizetype offset = 0; // where the rest of piece i starts
    double lineLeft = firstLeft;
    while (i < pieces.size()) {
        const double room = kTextRight - lineLeft;
        line.clear();
        double used = 0;
        while (i < pieces.size()) {
            const TextPiece& p = pieces[i];
            const QStringView rest = QStringView(p.Text).mid(offset);
            const double word = widthOf(TrimmedEnd(rest), p.Bold);
            if (used + word > room + 1e-9) {
                if (!line.empty()) break;
                // A word wider than the whole line: as much of it as fits,
                // a character at the least; the rest starts the next line.
                const qsizetype cut = FittingPrefix(rest, room, [&](QStringView t) { return widthOf(t, p.Bold); });
                line.push_back(Segment{i, offset, offset + cut});
                offset += cut;
                if (TrimmedEnd(QStringView(p.Text).mid(offset)).isEmpty()) {
                    ++i;
                    offset = 0;
                }
                break;
            }
            line.push_back(Segment{i, offset, p.Text.size()});
            used += widthOf(rest, p.Bold);
            ++i;
            offset = 0;
            if (p.BreakAfter) break;
        }
        // Runs of one weight from the right end leftwards, a blank's width
        // between two runs that blanks part.
        double x = kTextRight;
        for (size_t k = 0; k < line.size();) {
            const bool bold = pieces[line[k].Piece].Bold;
            QString run;
            for (; k < line.size() && pieces[line[k].Piece].Bold == bold; ++k) {
                const Segment& g = line[k];
                run += QStringView(pieces[g.Piece].Text).mid(g.From, g.To - g.From);
            }
            const bool blankAfter = !run.isEmpty() && IsBlankChar(run.back());
            QString text = TrimmedEnd(TrimmedStart(run)).toString();
            // Text that begins left to right would be laid out in that
            // direction: a right-to-left mark keeps it in the line's.
            if (StartsLeftToRight(text)) text.prepend(QChar(0x200F));
            const double w = widthOf(text, bold);
            if (!text.isEmpty()) {
                report.SetBold(bold);
                report.PrintLeft(text, x - w);
            }
            x -= w;
            if (k < line.size()) {
                const QString& next = pieces[line[k].Piece].Text;
                const bool blankBefore = line[k].From < line[k].To && IsBlankChar(next[line[k].From]);
                if (blankAfter || blankBefore) x -= widthOf(u" ", bold);
            }
        }
        if (i < pieces.size() || newLineAfterLast) {
            report.NewLine();
            report.GotoXY(left, report.YPos());
        }
        lineLeft = left;
    }
}

QString TMarketDetailsPage::CompField(const char* name) const { return m_context.Records->Field(L(name)); }

double TMarketDetailsPage::EstimateCompLines(TBaseReport& report, const QString& features, TMemoBuf& memo,
                                             bool newStatus, bool photo)
{
    double estimate = 7 + (newStatus ? 3 : 0);
    if (!features.isEmpty()) {
        const double textLeft = photo ? 0.75 + kPhotoWidth + 0.1 + 0.65 : 0.75;
        estimate += double(Round(EstimateTextLines(report, features, kTextRight - textLeft)));
    }
    if (!memo.Text().isEmpty()) {
        memo.SetPrintStart(photo ? 0.75 + kPhotoWidth + 0.1 + 0.75 : 0.79);
        memo.SetPrintEnd(kTextRight);
        estimate += report.MemoLines(memo);
    }
    if (photo) estimate = std::max(estimate, 18.0);
    return estimate;
}

bool TMarketDetailsPage::DeferComp(TBaseReport& report, double estimate)
{
    const int index = m_context.Records->Index();
    if (report.LinesLeft() - 5 <= estimate) {
        // A block that does not fit even on the fresh page it was deferred
        // to is printed anyway; its comments break the pages.
        const bool freshPage = m_deferredIndex == index && m_deferredPage != report.PageNumber();
        if (!freshPage) {
            m_deferredIndex = index;
            m_deferredPage = report.PageNumber();
            m_context.PageBreakPending = true;
            return true;
        }
    }
    m_deferredIndex = -1;
    return false;
}

void TMarketDetailsPage::PrintStatusBand(TBaseReport& report, const QString& status)
{
    TReportContext& c = m_context;
    c.DrawGroupBand(report, StatusBandCaption(status, status == c.GroupStatus), c.Settings.Color(rcDetailsBar));
    report.SetFont(L("Arial"), 8);
    report.NewLine();
    c.GroupStatus = status;
}

void TMarketDetailsPage::PrintPairsLine(TBaseReport& report)
{
    PrintPairs(report);
    report.NewLine();
}

void TMarketDetailsPage::PrintStatusDateAndPrice(TBaseReport& report, const QString& status)
{
    StatusDate date = kOtherStatusDate;
    for (const StatusDate& d : kStatusDates)
        if (status == QLatin1String(d.Status)) date = d;
    PrintLabelValue(report, L(date.Label), CompField(date.Field), 5.5);
    if (status == QLatin1String("8"))
        PrintLabelValue(report, L("Last Price:"),
                        CompField("sold_price") + L(" ") + SaleCodeName(CompField("sale_code")), 7.0);
    else if (ListPriced(status))
        PrintLabelValue(report, L("List Price:"), CompField("list_price"), 7.0);
}

void TMarketDetailsPage::PrintStructureFields(TBaseReport& report, int structure)
{
    if (structure >= 0 && structure <= 5) PrintLabelValue(report, L("Sqft:"), CompField("house_sqft"), 1.2);
    if (HouseStructure(structure)) {
        PrintLabelValue(report, L("Bdrms:"), CompField("bed"), 2.2);
        if (m_context.CountyId() == 106)
            PrintLabelValue(report, L("Fixtures:"), CompField("fixtures"), 3.4);
        else
            PrintLabelValue(report, L("Baths:"), CompField("bath"), 3.4);
        if (!CompField("dom").isEmpty()) PrintLabelValue(report, L("DOM:"), CompField("dom"), 3.9);
    } else if (structure == 3 || structure == 5) {
        PrintLabelValue(report, L("GSI:"), CompField("annual_gross"), 1.7);
        PrintLabelValue(report, L("Annual Exp:"), CompField("annual_expense"), 2.7);
        PrintLabelValue(report, L("Cap Rate:"), CompField("cap_rate"), 3.75);
        PrintLabelValue(report, L("#Units:"), CompField("total_units"), 4.7);
    }
}

void TMarketDetailsPage::PrintCompPhrases(TBaseReport& report)
{
    // The phrases of the last line, each only when its value says
    // something; the line only when one of them does.
    const QString ppsf = CompField("ppsf"), distance = CompField("distance"), difference = CompField("house_dif");
    if (Said(ppsf)) PrintLabelValue(report, QString(), ppsf + L(" Per Sqft."), 1.2);
    if (Said(distance)) PrintLabelValue(report, QString(), distance + L(" miles from subject property"), 2.5);
    if (Said(difference)) PrintLabelValue(report, QString(), L("Comparable is ") + difference, 4.8);
    if (!m_pairs.empty()) PrintPairsLine(report);
}

void TMarketDetailsPage::PrintCompData(TBaseReport& report, const QString& status)
{
    auto f = [this](const char* name) { return CompField(name); };
    PrintLabelValue(report, L("Owner:"), f("owner"), 1.5);
    PrintLabelValue(report, L("APN:"), f("apn"), 5.5);
    PrintLabelValue(report, L("Year Built:"), f("year_built"), 7.0);
    PrintPairsLine(report);
    const QString site = f("address") + L(" ") + f("city");
    PrintLabelValue(report, L("Site Address:"), site, 1.5);
    PrintLabelValue(report, L("Use Code:"), f("land_use"), 5.5);
    PrintPairsLine(report);
    PrintLabelValue(report, L("Mail Address:"), site, 1.5);
    PrintStatusDateAndPrice(report, status);
    PrintPairsLine(report);
    const int structure = StructureType(f("structure_type"));
    PrintStructureFields(report, structure);
    PrintLabelValue(report, L("Prior Trans:"), f("p_doc_date"), 5.5);
    PrintLabelValue(report, L("Prior Price:"), f("p_sold_price") + L("  ") + SaleCodeName(f("prev_sale_code")), 7.0);
    PrintPairsLine(report);
    PrintLabelValue(report, L("Lot:"), f("lot_sqft"), 1.2);
    PrintLabelValue(report, L("Acreage:"), f("acres"), 2.2);
    PrintLabelValue(report, L("Lot Size:"), f("lot_size"), 3.4);
    PrintLabelValue(report, L("Deed Type:"), f("doc_type"), 5.5);
    PrintPairsLine(report);
    if (HouseStructure(structure)) PrintLabelValue(report, L("Pool:"), f("pool"), 1.2);
    PrintLabelValue(report, L("Lender:"), f("lender"), 5.5);
    PrintPairsLine(report);
    PrintCompPhrases(report);
}

double TMarketDetailsPage::PrintPhotoArea(TBaseReport& report, const QString& apn, bool besideText)
{
    const double top = report.LineTop();
    const double bottom = top + kPhotoHeight;
    report.Pen().SetColor(clBlack);
    report.Brush().SetColor(clWhite);
    report.Rectangle(0.75, top, 2.8, bottom);
    // The box beside the photo holds the features and comments.
    if (besideText) report.Rectangle(2.85, top, 7.78, bottom);
    QImage picture;
    QString error;
    if (LoadCompPhoto(apn, picture, error))
        TReportContext::PrintImageFit(report, 0.75, top, 2.8, bottom, picture);
    else if (!error.isEmpty())
        TReportContext::PictureLeftOut(report, L("The photo of the comp %1").arg(apn.left(64)), error);
    report.Brush().SetStyle(TBrushStyle::bsClear);
    report.Rectangle(0.75, top, 2.8, bottom);
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    return bottom;
}

void TMarketDetailsPage::PrintComments(TBaseReport& report, TMemoBuf& memo, bool photo, double top)
{
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
    if (memo.Text().isRightToLeft()) {
        PrintRightToLeft(report, CommentPieces(memo.Text()), std::max(photo ? 3.55 : 1.4, labelEnd), photo ? 2.9 : 0.79,
                         true);
        report.SetBold(false);
        memo.SetPos(memo.Size());
        return;
    }
    memo.SetPrintStart(std::max(photo ? 3.55 : 1.4, labelEnd));
    memo.SetPrintEnd(kTextRight);
    report.PrintMemo(memo, 1, false);
    if (memo.Pos() < memo.Size()) {
        memo.SetPrintStart(photo ? 2.9 : 0.79);
        report.PrintMemo(memo, 0, false);
    }
}

void TMarketDetailsPage::CloseCompBlock(TBaseReport& report, bool photo, bool remarks, double top, double photoBottom)
{
    if (photo) {
        while (report.LineTop() < photoBottom) report.NewLine();
        return;
    }
    report.Pen().SetColor(clBlack);
    report.Brush().SetStyle(TBrushStyle::bsClear);
    if (remarks) {
        report.Rectangle(0.75, top, 7.78, report.YPos() - report.LineHeight());
    } else {
        report.Rectangle(0.75, top, 7.78, report.YPos());
        report.NewLine();
    }
    report.Brush().SetStyle(TBrushStyle::bsSolid);
    report.NewLine();
}

void TMarketDetailsPage::PrintCompExtras(TBaseReport& report, const QString& apn, const QString& features,
                                         TMemoBuf& memo, bool photo)
{
    const bool remarks = !memo.Text().isEmpty();
    // Nothing below the data: no box, the blank line parts the block from
    // the next.
    if (!photo && features.isEmpty() && !remarks) {
        report.NewLine();
        return;
    }
    report.GotoXY(0, report.YPos() + 0.03);
    const double top = report.LineTop();
    const double photoBottom = photo ? PrintPhotoArea(report, apn, !features.isEmpty() || remarks) : 0;
    if (!features.isEmpty()) {
        report.SetFont(L("Arial"), 8);
        const double left = photo ? 0.75 + kPhotoWidth + 0.1 : 0.79;
        report.GotoXY(left, report.YPos());
        PrintFeatures(report, features, left);
    }
    if (remarks) PrintComments(report, memo, photo, top);
    CloseCompBlock(report, photo, remarks, top, photoBottom);
}

void TMarketDetailsPage::PrintCompBlock(TBaseReport& report, TReportShell& shell)
{
    TReportContext& c = m_context;
    c.PageBreakPending = false;
    if (!c.Records->IsUsed(c.Records->Index())) return;
    const QString features = CompField("features");
    TMemoBuf memo(CompField("rem"));
    const QString status = CompField("status");
    const bool band = status != c.GroupStatus || shell.FirstRow();
    report.SetFont(L("Arial"), 8);
    const QString apn = CompField("apn");
    const bool photo = HasCompPhoto(apn);
    if (DeferComp(report, EstimateCompLines(report, features, memo, status != c.GroupStatus, photo))) return;

    if (band) PrintStatusBand(report, status);
    report.SetFont(L("Arial"), 8);
    const double top = report.LineTop() + 0.01;
    PrintCompData(report, status);
    FrameBlock(report, top);
    report.NewLine();
    PrintCompExtras(report, apn, features, memo, photo);
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
