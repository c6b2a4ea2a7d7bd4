#pragma once
// What the pages of the profile report share while one report is written:
// the sources they read (comps records, personal page, report-data answer,
// property element, map sheets), the appearance settings and statistics, the
// page driver's state (page id, title, first-comp flag, group status,
// transaction cursor) and the page furniture every page draws (header bar,
// footer, group band, shaded box).

#include "platform/report/TBaseReport.h"
#include "report/TReportSettings.h"
#include "report/TStatusStats.h"

#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <exception>

class TCompsRecords;
class TvxpDocument;
class TvxpPersonalInfo;
class TXMLElement;

// The page ids the page driver knows.
enum TReportPageId : int {
    pgCover = 10,
    pgPropInfo = 20,
    pgStreet = 30,
    pgHazard = 40,
    pgMarketSummary = 50,
    pgDetails = 60,
    pgSummaryAnalysis = 70,
    pgCommunity = 80,
    pgCensus = 90,
    pgSchool = 100,
    pgAssessorMap = 120,
    pgDetailsPhotos = 170
};

// Border lines of a tab stop as bits, and a tab stop set with them.
enum : unsigned { kLineLeft = 1, kLineRight = 2, kLineTop = 4, kLineBottom = 8, kLineBox = 15 };
void SetTabLines(TBaseReport& report, double pos, TTabJustify justify, double width, double margin, unsigned lines,
                 int shade);

class TReportContext {
public:
    // ----- Sources (not owned; any may be null)
    TCompsRecords* Records = nullptr;
    TvxpPersonalInfo* Personal = nullptr;
    // The report-data connection's document (its answer after the request).
    TvxpDocument* ReportData = nullptr;
    // The map sheets the tax-map client saved.
    QStringList SheetFiles;
    // The property element of the report (prop.data answer element).
    TXMLElement* Property = nullptr;

    TReportSettings Settings;
    TStatusStatsList Stats;

    // ----- Page driver state
    int PageId = 0;
    QString Title;
    bool FirstComp = false;
    // Status of the group whose band was printed last (market pages).
    QString GroupStatus;
    bool PageBreakPending = false;
    // The kept trx element and the transaction under the cursor.
    TXMLElement* Trx = nullptr;
    TXMLElement* TrxCursor = nullptr;

    // ----- Lookups
    // The answer element of the report data; null without an answer.
    TXMLElement* ReportRoot() const;
    // A direct child of the report-data root, by exact name.
    TXMLElement* RootChild(const QString& name) const;
    // The child named name of the root's maps elements (the last maps
    // element that has one wins).
    TXMLElement* FindMapNode(const QString& name) const;
    // The trx element of the property and its first child.
    void GetTrxNode();
    QString SubjectField(const QString& name) const;
    QString TrxField(const QString& name) const;
    // The comps records' last index; -1 when no comps were found for this
    // property (records of an earlier search are never used).
    int CompsLastIndex() const;
    // The current county's id and photo flag (0 and false without one).
    int CountyId() const;
    bool CountyPhotos() const;

    // ----- Furniture
    // Header and footer of the current page id; nothing for an id without
    // furniture.
    void PageHeader(TBaseReport& report);
    void PageFooter(TBaseReport& report);
    void DrawPageHeader(TBaseReport& report, const QString& title, TColor barColor);
    void DrawPageFooter(TBaseReport& report, TColor ruleColor);
    // A band in the colour with the caption in the group font, one line down;
    // the group font stays selected, bold.
    void DrawGroupBand(TBaseReport& report, const QString& caption, TColor color);
    // A solid block in the brush colour.
    static void ShadedBox(TBaseReport& report, double x1, double y1, double x2, double y2);
    // Sets font, colour and size of a setting.
    static void UseFont(TBaseReport& report, const TReportFontSetting& font);

    // ----- Fitting texts and pictures into their places
    // The text in the current font cut to at most width inches, ending in
    // "..." when it had to be cut (nothing when not even that fits).
    static QString FitText(const TBaseReport& report, const QString& text, double width);
    // The picture as large as the frame allows at its own proportions,
    // centred in the frame.
    static void PrintImageFit(TBaseReport& report, double x1, double y1, double x2, double y2, const QImage& image);
    // The agent's name as the furniture prints it: the full name, or the
    // first and last name when no full name was entered.
    QString AgentName() const;
    // Name and company joined by " - "; a part that is empty is left out
    // with its separator.
    QString AgentLine() const;
    // Tells the report's log, and so the incomplete-pages warning, that a
    // picture of the current page could not be read and was left out:
    // what names the picture, why is the reader's error.
    static void PictureLeftOut(TBaseReport& report, const QString& what, const QString& why);
    // The message of an error, ours or the library's.
    static QString ErrorText(const std::exception& e);
    // Decodes a picture sent as Base64 JPEG text; false, with the decoder's
    // error, when the text holds none.
    static bool DecodeJpegPicture(const QString& text, QImage& picture, QString& error);
    // The top of the text of the current font on a line that ends at y
    // (the surface prints a line's text from there up by the font's ascent
    // and descent).
    static double TextTop(const TBaseReport& report, double y);

    // The bar colour of a page id; false for an id without furniture.
    bool PageColor(int pageId, TColor& color) const;

private:
    const QImage& Bar(TColor color);
    const QImage& Band(TColor color);
    QMap<TColor, QImage> m_bars;
    QMap<TColor, QImage> m_bands;
};
