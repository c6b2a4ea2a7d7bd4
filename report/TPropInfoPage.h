#pragma once
// Page 20, "PROPERTY INFORMATION": everything the service returned about one
// property (the agent's photo, the property, characteristics, sale history,
// assessment and tax blocks, PREPARED BY and PREPARED FOR), printed as the
// texts stand. Also the one-page reports "propinfo.rpt" and "compinfo.rpt",
// and the captionless property block of the street map page.

class TBaseReport;
class TReportContext;
class TReportShell;
class QString;

class TPropInfoPage {
public:
    explicit TPropInfoPage(TReportContext& context) : m_context(context) {}

    // The section's row: the whole page; ends the rows.
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    // The property fields without captions, below the street map.
    void PrintPropertyBlock(TBaseReport& report);

private:
    void PrintBlockCaption(TBaseReport& report, const QString& caption, double x);
    void Row(TBaseReport& report, const QString& label, const QString& value, double labelX, double valueX);
    QString Field(const char* name) const;
    QString BathsText() const;
    QString LotWidthDepth() const;
    bool Residential() const;
    // Characteristics lines from..12 with the two pairs at the given places.
    void PrintCharacteristics(TBaseReport& report, int fromLine, double l1, double v1, double l2, double v2);
    void PrintLegal(TBaseReport& report, double start);

    TReportContext& m_context;
};
