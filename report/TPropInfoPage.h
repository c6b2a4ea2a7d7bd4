#pragma once
// Page 20, "PROPERTY INFORMATION": everything the service returned about one
// property (the agent's photo, the property, characteristics, sale history,
// assessment and tax blocks, PREPARED BY and PREPARED FOR), printed as the
// texts stand. Also the one-page reports "propinfo.rpt" and "compinfo.rpt",
// and the captionless property block of the street map page.

#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

class TBaseReport;
class TMemoBuf;
class TReportContext;
class TReportShell;

class TPropInfoPage {
public:
    explicit TPropInfoPage(TReportContext& context) : m_context(context) { }

    // The section's row: the whole page; ends the rows.
    void RowPrint(TBaseReport& report, TReportShell& shell, bool& valid);
    // The property fields without captions, below the street map.
    void PrintPropertyBlock(TBaseReport& report);

private:
    // The steps of the page, in drawing order.
    void PrintAgentPhoto(TBaseReport& report);
    void PrintPropertyInformation(TBaseReport& report);
    // The legal description beside its label, on the lines above the
    // characteristics; the memo keeps what is left.
    void PrintLegalBeside(TBaseReport& report, TMemoBuf& legal);
    // The sale history, every transaction that fits; returns where its
    // rows end.
    double PrintSaleHistory(TBaseReport& report);
    void PrintTransaction(TBaseReport& report);
    // The rest of the legal description below the sale history, when it
    // fits there whole; false (nothing printed) when it does not.
    bool PrintLegalRestBelowHistory(TBaseReport& report, TMemoBuf& legalRest, double tableBottom);
    // The assessment or tax block: a caption at 4.5 and its label and field
    // rows.
    void PrintValueBlock(TBaseReport& report, double y, const QString& caption,
                         std::initializer_list<std::pair<const char*, const char*>> rows);
    void PrintPreparedFor(TBaseReport& report);
    void PrintPreparedBy(TBaseReport& report);
    // The labels and values of the property block, Owner to
    // Tract/Lot/Block.
    std::vector<std::pair<QString, QString>> PropertyFields() const;

    void PrintBlockCaption(TBaseReport& report, const QString& caption, double x);
    // A label and its value; the value starts after the label when the
    // label is longer than valueX leaves room for, and is cut to end before
    // limitX (the next field on the line, or the margin).
    void Row(TBaseReport& report, const QString& label, const QString& value, double labelX, double valueX,
             double limitX);
    QString Field(const char* name) const;
    QString BathsText() const;
    QString LotWidthDepth() const;
    bool Residential() const;
    // Characteristics lines from..12 with the two pairs at the given places.
    void PrintCharacteristics(TBaseReport& report, int fromLine, double l1, double v1, double l2, double v2,
                              double limit2);
    // What is left of the legal description, wrapped between the memo's
    // print start and end from the current line, on the lines that end
    // above bottom; the last of them ends in "..." when text is left over.
    void PrintLegal(TBaseReport& report, TMemoBuf& memo, double bottom);
    // What the lines beside its label left of the legal description, with
    // a label of its own, from the current line across the page in small
    // type: it goes on over the following pages when it reaches bottom.
    void PrintLegalRest(TBaseReport& report, TMemoBuf& memo, double bottom);
    // The small type of that rest and its lines' places; the lines it
    // needs.
    static int UseLegalRestType(TBaseReport& report, TMemoBuf& memo);
    // Lines of the current line height from the current line on that end
    // above bottom.
    static int LinesAbove(const TBaseReport& report, double bottom);
    // The y where the text of a caption printed on a line at y starts.
    double CaptionTop(TBaseReport& report, double y) const;

    TReportContext& m_context;
};
