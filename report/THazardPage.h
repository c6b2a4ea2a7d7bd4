#pragma once
// Page 40, "NATURAL HAZARDS", two report pages: the hazard map of the
// subject's neighbourhood with the legend of the mapped hazards, the
// provider's block and the order number; then what each mapped hazard means
// and which law requires its disclosure.

#include <QImage>
#include <QString>

class TBaseReport;
class TReportContext;
class TReportShell;

class THazardPage {
public:
    explicit THazardPage(TReportContext& context) : m_context(context) { }
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);

    // The report's own picture of that name (legend symbols, the logo),
    // 32 bits per pixel; null for an unknown name.
    static QImage ResourcePicture(const QString& name);
    // The hazard map of the report data; false (picture untouched) when
    // there is none or it is no JPEG picture, error then saying why the
    // picture there is could not be read (empty when there is none).
    bool LoadHazardMap(QImage& picture, QString& error) const;

private:
    void SetHazardLegendTabs(TBaseReport& report, double x, double y);
    void PrintHazardSymbol(TBaseReport& report, const QString& name);
    void SetHazardHeadingTab(TBaseReport& report);
    void SetHazardBulletTabs(TBaseReport& report);
    void PrintHazardBullet(TBaseReport& report, const QString& bullet, const QString& text);
    // The first page: the note, the titles, the legend, the provider's
    // block, the order number, the hazard map and the provider's logo.
    void PrintFirstPage(TBaseReport& report);
    void PrintHazardNote(TBaseReport& report);
    void PrintHazardTitles(TBaseReport& report);
    void PrintHazardLegend(TBaseReport& report);
    void PrintProviderBlock(TBaseReport& report);
    void PrintOrderNumber(TBaseReport& report);
    void PrintHazardMap(TBaseReport& report);
    void PrintProviderLogo(TBaseReport& report);
    void PrintSecondPage(TBaseReport& report);

    TReportContext& m_context;
};
