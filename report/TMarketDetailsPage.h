#pragma once
// Pages 60 and 170, "MARKET DETAILS": the category summaries, the subject
// property block, then a framed block for every comp marked for use under a
// band whenever the listing status changes; page 170 puts the comp's house
// photo beside its features and comments.

#include <QString>
#include <vector>

class QImage;
class TBaseReport;
class TReportContext;
class TReportShell;

class TMarketDetailsPage {
public:
    explicit TMarketDetailsPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    // A deferred comp stays current and is printed on the next page.
    void RowAfter(TBaseReport& report, TReportShell& shell, bool& valid);

    bool HasCompPhoto(const QString& apn) const;
    // The photo of the comp; false (photo untouched) when there is none or
    // it is no JPEG picture, error then saying why the photo there is could
    // not be read (empty when there is none).
    bool LoadCompPhoto(const QString& apn, QImage& photo, QString& error) const;

private:
    void PrintCategorySummaries(TBaseReport& report);
    void PrintSubjectBlock(TBaseReport& report);
    void PrintCompBlock(TBaseReport& report, TReportShell& shell);
    void PrintFeatures(TBaseReport& report, const QString& text, double left);
    // A label ending at x and its bold value after it, kept for the line
    // until PrintPairs prints them.
    void PrintLabelValue(TBaseReport& report, const QString& label, const QString& value, double x);
    // The kept pairs of the line, each as near its x as the others and the
    // margins allow, none touching another.
    void PrintPairs(TBaseReport& report);
    struct Pair {
        QString Label, Value;
        double X, LabelWidth, ValueWidth;
    };
    std::vector<Pair> m_pairs;
    static double EstimateTextLines(TBaseReport& report, const QString& text, double width);
    class TXMLElement* PhotoElement(const QString& apn) const;

    TReportContext& m_context;
    // The comp deferred last and whether it already had a fresh page: a
    // block that does not fit even there is printed anyway.
    int m_deferredIndex = -1;
    int m_deferredPage = -1;
};
