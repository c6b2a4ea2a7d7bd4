#include "report/TReportContext.h"

#include "state/TAppState.h"
#include "platform/core/Exception.h"
#include "platform/report/TBaseReport.h"
#include "protocol/TCompsRecords.h"
#include "protocol/TvxpDocument.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLQuery.h"

#include "platform/report/ReportFonts.h"
#include "report/ReportColors.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

TXMLElement* TReportContext::ReportRoot() const { return ReportData ? ReportData->RequestElement() : nullptr; }

TXMLElement* TReportContext::RootChild(const QString& name) const { return ChildElement(ReportRoot(), name); }

TXMLElement* TReportContext::FindMapNode(const QString& name) const
{
    const TXMLElement* root = ReportRoot();
    if (!root) return nullptr;
    TXMLElement* found = nullptr;
    for (TXMLElement* e = root->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getTagName() == QLatin1String("maps")) found = ChildElement(e, name);
    return found;
}

void TReportContext::GetTrxNode()
{
    Trx = ChildElement(Property, QStringLiteral("trx"));
    TrxCursor = Trx ? Trx->getFirstChildElement() : nullptr;
}

QString TReportContext::SubjectField(const QString& name) const { return ChildText(Property, name); }

QString TReportContext::TrxField(const QString& name) const { return ChildText(TrxCursor, name); }

int TReportContext::CompsLastIndex() const
{
    if (!Records || !AppState().CompsFound) return -1;
    return Records->LastIndex();
}

int TReportContext::CountyId() const
{
    const auto& county = AppState().County;
    return county ? county->Id : 0;
}

bool TReportContext::CountyPhotos() const
{
    const auto& county = AppState().County;
    return county && county->Photos;
}

bool TReportContext::PageColor(int pageId, TColor& color) const
{
    switch (pageId) {
    case pgCover: color = 0xFF0000; return true;
    case pgPropInfo: color = Settings.Color(rcProfileBar); return true;
    case pgStreet: color = Settings.Color(rcStreetBar); return true;
    case pgHazard: color = Settings.Color(rcHazardsBar); return true;
    case pgMarketSummary: color = Settings.Color(rcMarketSumBar); return true;
    case pgDetails:
    case pgDetailsPhotos: color = Settings.Color(rcDetailsBar); return true;
    case pgSummaryAnalysis: color = Settings.Color(rcSumAnalysisBar); return true;
    case pgCommunity: color = Settings.Color(rcCommunityBar); return true;
    case pgCensus: color = Settings.Color(rcCensusBar); return true;
    case pgSchool: color = Settings.Color(rcSchoolBar); return true;
    default: return false;
    }
}

void TReportContext::PageHeader(TBaseReport& report)
{
    TColor color;
    if (PageColor(PageId, color)) DrawPageHeader(report, Title, color);
}

void TReportContext::PageFooter(TBaseReport& report)
{
    TColor color;
    if (PageColor(PageId, color)) DrawPageFooter(report, color);
}

const QImage& TReportContext::Bar(TColor color)
{
    auto it = m_bars.find(color);
    if (it == m_bars.end()) it = m_bars.insert(color, GradientFillVertical(color));
    return *it;
}

const QImage& TReportContext::Band(TColor color)
{
    auto it = m_bands.find(color);
    if (it == m_bands.end()) it = m_bands.insert(color, GradientFillHorizontal(color));
    return *it;
}

void TReportContext::UseFont(TBaseReport& report, const TReportFontSetting& font)
{
    report.SetFont(font.Name, font.Size);
    report.SetFontColor(font.Color);
}

void TReportContext::DrawPageHeader(TBaseReport& report, const QString& title, TColor barColor)
{
    report.PrintImageRect(7.85, 0.5, 8.25, 10.35, Bar(barColor));
    UseFont(report, Settings.LargeFont);
    report.SetBold(true);
    for (int i = 1; i <= title.size(); ++i) {
        report.GotoXY(0, 0.8 + 0.3 * i);
        report.PrintCenter(title.mid(i - 1, 1), 8.05);
    }
    report.GotoXY(0, 0.75);
}

QString TReportContext::FitText(const TBaseReport& report, const QString& whole, double width)
{
    // More characters than any line of the page holds at any size the
    // pages use: a longer text from the server is cut before it is measured.
    constexpr qsizetype kLongest = 4096;
    const QString text = whole.left(kLongest);
    if (whole.size() <= kLongest && report.TextWidth(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    // The longest start of the text that fits with the dots (halving the
    // range).
    qsizetype lo = 0, hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (report.TextWidth(text.left(mid).trimmed() + dots) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo == 0) return report.TextWidth(dots) <= width ? dots : QString();
    return text.left(lo).trimmed() + dots;
}

void TReportContext::PrintImageFit(TBaseReport& report, double x1, double y1, double x2, double y2, const QImage& image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) return;
    const double frameW = std::abs(x2 - x1), frameH = std::abs(y2 - y1);
    const double scale = std::min(frameW / image.width(), frameH / image.height());
    const double w = image.width() * scale, h = image.height() * scale;
    const double left = std::min(x1, x2) + (frameW - w) / 2, top = std::min(y1, y2) + (frameH - h) / 2;
    report.PrintImageRect(left, top, left + w, top + h, image);
}

QString TReportContext::AgentName() const
{
    if (!Personal) return QString();
    const QString full = Personal->FullName().trimmed();
    if (!full.isEmpty()) return full;
    return (Personal->FirstName().trimmed() + QLatin1Char(' ') + Personal->LastName().trimmed()).trimmed();
}

QString TReportContext::AgentLine() const
{
    const QString name = AgentName();
    const QString company = Personal ? Personal->Company().trimmed() : QString();
    if (name.isEmpty() || company.isEmpty()) return name + company;
    return name + QStringLiteral(" - ") + company;
}

void TReportContext::PictureLeftOut(TBaseReport& report, const QString& what, const QString& why)
{
    if (report.OnLeftOut)
        report.OnLeftOut(QStringLiteral("%1 could not be read and was left out of page %2: %3")
                             .arg(what)
                             .arg(report.PageNumber())
                             .arg(why));
}

QString TReportContext::ErrorText(const std::exception& e)
{
    const auto* own = dynamic_cast<const Exception*>(&e);
    return own ? own->Message() : QString::fromLocal8Bit(e.what());
}

bool TReportContext::DecodeJpegPicture(const QString& text, QImage& picture, QString& error)
{
    error.clear();
    try {
        TvxpDocument::DecodeJpeg(text, picture);
        return true;
    } catch (const std::exception& e) {
        error = ErrorText(e);
        return false;
    }
}

double TReportContext::TextTop(const TBaseReport& report, double y)
{
    const QFontMetricsF m(ReportFonts::QtFont(report.Font()));
    return y - (m.ascent() + m.descent()) / ReportFonts::ReferenceDpi;
}

void TReportContext::DrawPageFooter(TBaseReport& report, TColor ruleColor)
{
    const double lineHeight = report.LineHeight();
    report.SetLineHeight(lineHeight - 0.03);
    report.SetFont(QStringLiteral("Times New Roman"), 8);
    // The rule, then the three lines of text below it with a gap.
    report.GotoXY(0, 9.95);
    report.Brush().SetColor(ruleColor);
    ShadedBox(report, 0.75, 9.9, 7.8, 9.93);
    report.Brush().SetColor(clBlack);
    const bool logo = Personal && !Personal->Logo.isNull();
    if (logo) PrintImageFit(report, 4.0, 9.96, 4.5, 10.4, Personal->Logo);
    report.NewLine();
    // The agent line keeps clear of the logo.
    report.PrintLeft(FitText(report, AgentLine(), (logo ? 3.95 : 7.8) - 0.75), 0.75);
    report.NewLine();
    report.PrintRight(QStringLiteral("Information deemed reliable but not guaranteed."), 7.8);
    report.PrintLeft(Settings.ReportDateText(), 0.75);
    report.NewLine();
    report.PrintRight(QStringLiteral("Sourced from public and private data."), 7.8);
    report.SetLineHeight(lineHeight);
}

void TReportContext::DrawGroupBand(TBaseReport& report, const QString& caption, TColor color)
{
    UseFont(report, Settings.GroupFont);
    report.SetBold(true);
    report.NewLine();
    report.PrintImageRect(0.75, report.LineTop() - 0.07, 7.8, report.YPos(), Band(color));
    report.PrintLeft(caption, 0.79);
    report.GotoXY(0, report.YPos() + 0.02);
}

void TReportContext::ShadedBox(TBaseReport& report, double x1, double y1, double x2, double y2)
{
    const TColor pen = report.Pen().Color();
    report.Pen().SetColor(report.Brush().Color());
    report.Rectangle(x1, y1, x2, y2);
    report.Pen().SetColor(pen);
}

void SetTabLines(TBaseReport& report, double pos, TTabJustify justify, double width, double margin, unsigned lines,
                 int shade)
{
    report.SetTab(pos, justify, width, margin, TTabLines::FromBits(lines), shade);
}
