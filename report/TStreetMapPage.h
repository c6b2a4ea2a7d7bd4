#pragma once
// Page 30, "STREET MAP": the service's street map of the subject and its
// comps, the subject's address, who prepared the report, the legends of the
// listing statuses and price ranges, and a table of the comps marked for use
// with a bar of each comp's price per square foot. With fewer than two comps
// the subject's property block takes the legends' and table's place.

#include <QString>
#include <QtGlobal>

class TBaseReport;
class TPropInfoPage;
class TReportContext;
class TReportShell;

class TStreetMapPage {
public:
    TStreetMapPage(TReportContext& context, TPropInfoPage& propInfo) : m_context(context), m_propInfo(propInfo) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);

    static QString StatusLetter(const QString& status);

private:
    void PrintStreetMapPage(TBaseReport& report);
    void PrintStreetFrame(TBaseReport& report);
    void PrintPreparedBy(TBaseReport& report, const QString& fullName, const QString& company);
    void PrintStatusLegend(TBaseReport& report);
    void PrintPriceLegend(TBaseReport& report);
    void PrintPriceRanges(TBaseReport& report);
    void PrintPriceList(TBaseReport& report);
    void PrintPriceLegendEntry(TBaseReport& report, int slot, const QString& text, quint32 color);
    void PrintCompsTable(TBaseReport& report);
    int UsedComps() const;
    // The boxed header row, placed by the line height the table started
    // with.
    void PrintCompsHeader(TBaseReport& report, double keptLineHeight);
    void SetCompsRowTabs(TBaseReport& report);
    // The cells of the current comp, its graph cell and its bar.
    void PrintCompRow(TBaseReport& report);
    void PrintPpsfBar(TBaseReport& report, const QString& ppsfText);
    void UpdatePriceRange(const QString& priceText);
    void CalcPriceRangeWidth();
    QString PriceOf() const;

    TReportContext& m_context;
    TPropInfoPage& m_propInfo;
    // Price statistics of the comps marked for use, 64 bits wide so that no
    // span of prices overflows.
    qint64 m_lowest = 0;
    qint64 m_highest = 0;
    double m_largestPpsf = 0;
    int m_priced = 0;
    qint64 m_rangeWidth = 0;
    bool m_anyPrice = false;
};
