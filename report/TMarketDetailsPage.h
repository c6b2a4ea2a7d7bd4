#pragma once
// Pages 60 and 170, "MARKET DETAILS": the category summaries, the subject
// property block, then a framed block for every comp marked for use under a
// band whenever the listing status changes; page 170 puts the comp's house
// photo beside its features and comments.

#include <QString>
#include <vector>

class QImage;
class TBaseReport;
class TMemoBuf;
class TReportContext;
class TReportShell;

class TMarketDetailsPage {
public:
    // A piece of a text laid out right to left: a word with the blanks
    // after it, its weight, and whether a hard break ends its line.
    struct TextPiece {
        QString Text;
        bool Bold = false;
        bool BreakAfter = false;
    };
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
    // The block of the current comp, or nothing when it is not marked for
    // use or is deferred to the next page.
    void PrintCompBlock(TBaseReport& report, TReportShell& shell);
    QString CompField(const char* name) const;
    // The lines the block will take: its data lines, the band when the
    // status changes, the features and the remarks (whose memo gets its
    // print start and end); 18 at the least beside a photo.
    double EstimateCompLines(TBaseReport& report, const QString& features, TMemoBuf& memo, bool newStatus, bool photo);
    // True when the block is put off to the next page.
    bool DeferComp(TBaseReport& report, double estimate);
    void PrintStatusBand(TBaseReport& report, const QString& status);
    // The seven lines of label and value pairs of the current comp.
    void PrintCompData(TBaseReport& report, const QString& status);
    void PrintStatusDateAndPrice(TBaseReport& report, const QString& status);
    void PrintStructureFields(TBaseReport& report, int structure);
    void PrintCompPhrases(TBaseReport& report);
    // Below the data frame: the photo area, the features, the comments and
    // the closing of the block.
    void PrintCompExtras(TBaseReport& report, const QString& apn, const QString& features, TMemoBuf& memo, bool photo);
    // The photo box and the box beside it from the current line; returns
    // the photo's bottom.
    double PrintPhotoArea(TBaseReport& report, const QString& apn, bool besideText);
    void PrintComments(TBaseReport& report, TMemoBuf& memo, bool photo, double top);
    void CloseCompBlock(TBaseReport& report, bool photo, bool remarks, double top, double photoBottom);
    void PrintFeatures(TBaseReport& report, const QString& text, double left);
    // A text whose own direction is right to left (features, comments) as
    // one text in that direction: its pieces wrapped in their order into
    // lines from firstLeft (the first) or left (the others) to the text's
    // right end, each line right-aligned and drawn as runs of one weight,
    // the first run at the right. The first line goes on the current line;
    // a new line follows each one but the last (and the last too with
    // newLineAfterLast).
    void PrintRightToLeft(TBaseReport& report, const std::vector<TextPiece>& pieces, double firstLeft, double left,
                          bool newLineAfterLast);
    // A label ending at x and its bold value after it, kept for the line
    // until PrintPairs prints them.
    void PrintLabelValue(TBaseReport& report, const QString& label, const QString& value, double x);
    // The kept pairs of the line, each as near its x as the others and the
    // margins allow, none touching another.
    void PrintPairs(TBaseReport& report);
    // The kept pairs and the line advance after them.
    void PrintPairsLine(TBaseReport& report);
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
