// The property information page (also "propinfo.rpt") and the cover page,
// laid out from the recorded property answer and checked on the dump and,
// where the customer reads it, in the PDF.

#include "PdfWords.h"
#include "ProfileFixture.h"

#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <QRegularExpression>

namespace {

// y of the text's base line relative to another's, in lines of 0.17 inch.
double LinesBetween(const TextAt& a, const TextAt& b) { return (b.Y - a.Y) / 0.17; }

void SetField(TXMLElement* property, const QString& name, const QString& value)
{
    for (TXMLElement* e = property->getFirstChildElement(); e; e = e->getNextSiblingElement()) {
        if (e->getTagName() == name) {
            e->getFirstTextNode()->setNodeValue(value);
            return;
        }
    }
    FAIL() << name.toStdString();
}

// The body of a page: from the top margin down to the footer's rule,
// from the left margin to the header bar.
bool InBody(const Word& w)
{
    const double e = 0.5 / 72;
    return w.X1 >= 0.75 - e && w.X2 <= 7.8 + e && w.Y1 >= 0.5 && w.Y2 <= 9.9;
}

// The words of the legal description as the PDF reads them, over the pages
// in reading order with the page of each: on the lines from its label's down
// to the characteristics caption, and after the label of its rest down to
// the next blocks' captions or the footer. The labels are not its words.
std::vector<std::pair<size_t, Word>> LegalInPdf(const std::vector<PdfPage>& pages)
{
    std::vector<std::pair<size_t, Word>> out;
    for (size_t p = 0; p < pages.size(); ++p) {
        enum { Outside, Beside, Rest } in = Outside;
        for (const auto& line : Lines(pages[p])) {
            const QString text = LineText(line);
            if (in == Beside && text.contains(QLatin1String("PROPERTY CHARACTERISTICS"))) in = Outside;
            if (in == Rest && (text.startsWith(QLatin1String("PREPARED BY")) || line.front().Y1 > 9.9)) in = Outside;
            size_t from = 0;
            for (size_t i = 0; i + 1 < line.size(); ++i) {
                if (line[i].Text != QLatin1String("Legal")) continue;
                if (line[i + 1].Text == QLatin1String("description:")) {
                    in = Beside;
                    from = i + 2;
                } else if (i + 2 < line.size() && line[i + 1].Text == QLatin1String("description") &&
                           line[i + 2].Text == QLatin1String("(cont.):")) {
                    in = Rest;
                    from = i + 3;
                }
            }
            if (in == Outside) continue;
            for (size_t i = from; i < line.size(); ++i) out.emplace_back(p, line[i]);
        }
    }
    return out;
}

} // namespace

class PropInfoPage : public ProfileTest {
protected:
    QStringList Write()
    {
        SelectPages({pgPropInfo});
        WriteProfile();
        EXPECT_EQ(Pages(), 1);
        return Page(0);
    }
};

TEST_F(PropInfoPage, BlocksStandAtTheirPlacesWithTheTextsAsSent)
{
    AppState().CustName = QStringLiteral("Pat Morales");
    AppState().CustAddr1 = QStringLiteral("18 Birch Ln");
    AppState().CustCity = QStringLiteral("Alder Creek CA");
    const QStringList page = Write();

    const TextAt caption = FindText(page, QStringLiteral("PROPERTY  INFORMATION"));
    EXPECT_DOUBLE_EQ(caption.X, 2.8);
    const TextAt owner = FindText(page, QStringLiteral("Owner:"));
    const TextAt ownerValue = FindText(page, QStringLiteral("HARTLEY, JAMES R"));
    EXPECT_DOUBLE_EQ(owner.X, 2.8);
    EXPECT_DOUBLE_EQ(ownerValue.X, 4.0);
    // Two lines below the caption (whose larger font sits a little lower).
    EXPECT_NEAR(LinesBetween(caption, owner), 2, 0.1);
    EXPECT_NEAR(owner.Y, ownerValue.Y, 1e-9);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("1427 N ALDER CREEK RD ALDER CREEK CA 93602")).X, 4.0);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("Flood:")).X, 5.5);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("11872/14/C")).X, 6.5);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("$486,600")).X, 5.7);

    // The sale history: five columns from 0.75, every transaction a row.
    const double columns[] = {0.75, 1.55, 2.55, 3.8, 5.55};
    const char* headers[] = {"Doc date", "Doc number", "Sold price", "Doc type", "TD type"};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(FindText(page, QString::fromLatin1(headers[i])).X, columns[i], 0.011) << headers[i];
    const TextAt first = FindText(page, QStringLiteral("$472,500F"));
    const TextAt last = FindText(page, QStringLiteral("$174,000P"));
    EXPECT_NEAR(first.X, 2.55, 1e-9);
    EXPECT_NEAR(LinesBetween(FindText(page, QStringLiteral("Doc date")), first), 1, 1e-3);
    EXPECT_NEAR(LinesBetween(first, last), 2, 1e-3);

    // Characteristics of a residential type: bedrooms and bathrooms rows.
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("Bedrooms:")).X, 0.75);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("2.5      Full: 2      Partial: 1")).X, 1.9);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("65/110")).X, 5.2);

    // PREPARED BY: phones beside the name, only the filled ones.
    const TextAt name = FindText(page, QStringLiteral("Dana Whitfield"));
    EXPECT_DOUBLE_EQ(name.X, 0.75);
    const TextAt office = FindText(page, QStringLiteral("(559) 555-0100"));
    EXPECT_DOUBLE_EQ(office.X, 3.25);
    EXPECT_NEAR(office.Y, name.Y, 1e-9);
    EXPECT_NEAR(LinesBetween(office, FindText(page, QStringLiteral("(559) 555-0199"))), 1, 1e-3);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("Alder Creek,  CA  93602")).X, 0.75);

    // PREPARED FOR with the customer's three lines.
    const TextAt prepared = FindText(page, QStringLiteral("PREPARED  FOR"));
    EXPECT_DOUBLE_EQ(prepared.X, 0.75);
    EXPECT_NEAR(
        LinesBetween(FindText(page, QStringLiteral("Pat Morales")), FindText(page, QStringLiteral("Alder Creek CA"))),
        2, 1e-3);
    EXPECT_NEAR(LinesBetween(prepared, FindText(page, QStringLiteral("Pat Morales"))), 2, 0.1);

    // The footer: agent line, date and disclaimers.
    EXPECT_TRUE(Texts(page).contains(QStringLiteral("Dana Whitfield - Alder Creek Realty")));
    EXPECT_TRUE(Texts(page).contains(QStringLiteral("Information deemed reliable but not guaranteed.")));
    EXPECT_TRUE(Texts(page).contains(m_form.Context().Settings.ReportDateText()));
}

TEST_F(PropInfoPage, OtherTypesAndCounty106ChangeTheCharacteristics)
{
    SetField(m_propDoc.RequestElement(), QStringLiteral("prop_type"), QStringLiteral("3"));
    SetField(m_propDoc.RequestElement(), QStringLiteral("PP_LOT_WIDTH"), QString());
    QStringList page = Write();
    EXPECT_EQ(FindText(page, QStringLiteral("Bedrooms:")).X, -1);
    EXPECT_EQ(FindText(page, QStringLiteral("Bathrooms:")).X, -1);
    const TextAt parking = FindText(page, QStringLiteral("Parking:"));
    const TextAt lot = FindText(page, QStringLiteral("Lot SqFt:"));
    EXPECT_DOUBLE_EQ(parking.X, 4.0);
    EXPECT_NEAR(LinesBetween(parking, lot), 1, 1e-3);
    EXPECT_DOUBLE_EQ(FindText(page, QStringLiteral("/110")).X, 5.2);
    // No customer: no PREPARED FOR block.
    EXPECT_EQ(FindText(page, QStringLiteral("PREPARED  FOR")).X, -1);

    SetField(m_propDoc.RequestElement(), QStringLiteral("prop_type"), QStringLiteral("1"));
    AppState().County = std::make_shared<TCountyRec>(
        TCountyRec{false, false, 106, QStringLiteral("Mariposa Bay - CA"), QStringLiteral("MBAY")});
    page = Write();
    // County 106: the bathrooms line shows the partial baths alone.
    EXPECT_NE(FindText(page, QStringLiteral("Bathrooms:")).X, -1);
    EXPECT_TRUE(page.filter(QStringLiteral("Full:")).isEmpty());
}

TEST_F(PropInfoPage, TheCoverCentresTheAgentAndThePreparedForBlock)
{
    SelectPages({pgCover});
    WriteProfile();
    QStringList page = Page(0);
    const TextAt name = FindText(page, QStringLiteral("Dana Whitfield"));
    const TextAt phone = FindText(page, QStringLiteral("Cell (559) 555-0199"));
    // Company, address, city, office phone: the cell phone five lines down.
    EXPECT_NEAR(LinesBetween(name, phone) * 0.17 / 0.25, 5, 1e-3);
    EXPECT_EQ(FindText(page, QStringLiteral("PREPARED FOR")).X, -1);

    AppState().CustName = QStringLiteral("Pat Morales");
    AppState().CustCity = QStringLiteral("Alder Creek CA");
    WriteProfile();
    page = Page(0);
    const TextAt prepared = FindText(page, QStringLiteral("PREPARED FOR"));
    ASSERT_NE(prepared.X, -1);
    EXPECT_NEAR(prepared.Y, 5.75 + 0.25 - 0.25, 0.25); // on the line from 5.75
    // The red rule, three inches centred on 4.275.
    EXPECT_EQ(page.filter(QStringLiteral("rect 2.775 ")).size(), 1);
    // The rule's line, then the customer: name and city on following lines.
    const TextAt customer = FindText(page, QStringLiteral("Pat Morales"));
    EXPECT_NEAR((customer.Y - prepared.Y) / 0.25, 2, 0.1);
    EXPECT_NEAR((FindText(page, QStringLiteral("Alder Creek CA")).Y - customer.Y) / 0.25, 1, 1e-3);
}

TEST_F(PropInfoPage, TheWholeLegalDescriptionIsPrinted)
{
    // The words of the legal description on a page, in order: beside its
    // label at the top, and in the body at 0.75 from top to bottom (its
    // rest, below the sale history or on a page of its own).
    const auto legalWords = [this](int page, double from, double to) {
        QStringList words;
        for (const QString& l : Page(page)) {
            if (!l.startsWith(QLatin1String("text "))) continue;
            const QStringList f = l.split(QLatin1Char(' '));
            const double x = f.value(1).toDouble(), y = f.value(2).toDouble();
            if ((x >= 4.0 && x < 7.8 && y > 2.5 && y < 3.1) || (x == 0.75 && y > from && y < to))
                words += Texts({l}).value(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
        for (const char* label : {"Legal", "description", "(cont.):"}) words.removeAll(QString::fromLatin1(label));
        return words;
    };
    // The recorded description: its first lines beside the label, the rest
    // in the room below the sale history, on the one page.
    const QStringList page = Write();
    const QString legal = ChildText(m_propDoc.RequestElement(), QStringLiteral("legal_desc"));
    EXPECT_EQ(legalWords(0, 6.6, 7.0), legal.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    EXPECT_TRUE(Texts(page).filter(QStringLiteral("...")).isEmpty());
    const QString restLine = Texts(page).filter(QStringLiteral("Legal description (cont.):")).value(0);
    const TextAt rest = FindText(page, restLine);
    EXPECT_DOUBLE_EQ(rest.X, 0.75);
    // Below the last transaction, above the blocks from 7.2.
    EXPECT_GT(rest.Y, FindText(page, QStringLiteral("08/19/1998")).Y + 0.1);
    EXPECT_LT(rest.Y, FindText(page, QStringLiteral("PREPARED  BY")).Y - 0.3);

    // One too long for that room: its rest on the following page, whole,
    // from its top, with the page's header and footer.
    QString longer;
    for (int i = 1; i <= 40; ++i)
        longer += QStringLiteral("PARCEL %1 OF PARCEL MAP NO. 88-1205 RECORDED IN BOOK 44. ").arg(i);
    SetField(m_propDoc.RequestElement(), QStringLiteral("legal_desc"), longer.trimmed());
    SelectPages({pgPropInfo});
    WriteProfile();
    ASSERT_EQ(Pages(), 2);
    EXPECT_TRUE(Texts(Page(0)).contains(QStringLiteral("TAX  INFORMATION")));
    EXPECT_TRUE(Texts(Page(0)).filter(QStringLiteral("(cont.)")).isEmpty());
    const QString nextLine = Texts(Page(1)).filter(QStringLiteral("Legal description (cont.):")).value(0);
    ASSERT_FALSE(nextLine.isEmpty());
    EXPECT_LT(FindText(Page(1), nextLine).Y, 1.0);
    EXPECT_TRUE(Texts(Page(1)).contains(QStringLiteral("Information deemed reliable but not guaranteed.")));
    EXPECT_EQ(legalWords(0, 0, 0) + legalWords(1, 0.5, 9.85), longer.split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

TEST_F(PropInfoPage, TheLegalDescriptionReadsWholeInThePdfClearOfTheOtherTexts)
{
    // A long description, with the recorded sale history cut to its first
    // transaction or whole, and a far longer one.
    QString longer = ChildText(m_propDoc.RequestElement(), QStringLiteral("legal_desc")) +
        QStringLiteral(" ALSO EXCEPTING THE NORTHERLY 12 FEET THEREOF AS CONVEYED TO THE COUNTY OF SIERRA VISTA FOR "
                       "ROAD PURPOSES BY DEED RECORDED MARCH 3, 1961 IN BOOK 1187, PAGE 402 OF OFFICIAL RECORDS.");
    QString longest = longer;
    for (int i = 1; i <= 30; ++i)
        longest +=
            QStringLiteral(" PARCEL %1 OF PARCEL MAP NO. 88-12%1 RECORDED IN BOOK 44, PAGE %2.").arg(i).arg(i + 60);
    const struct {
        QString Legal;
        bool OneTransaction;
        size_t RestPage;
    } cases[] = {{longer, true, 0}, {longer, false, 1}, {longest, false, 1}};
    QFile file(FixturePath(QStringLiteral("prop_data.xml")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString recorded = QString::fromUtf8(file.readAll());
    SelectPages({pgPropInfo});
    for (const auto& c : cases) {
        QString text = recorded;
        text.replace(QRegularExpression(QStringLiteral("<legal_desc>[^<]*</legal_desc>")),
                     QStringLiteral("<legal_desc>") + c.Legal + QStringLiteral("</legal_desc>"));
        if (c.OneTransaction)
            text.replace(QRegularExpression(QStringLiteral("</rec><rec>.*</rec></trx>")),
                         QStringLiteral("</rec></trx>"));
        LoadText(m_propDoc, text);
        const std::vector<PdfPage> pages = PdfWords(WriteProfilePdf(QStringLiteral("legal.pdf")), true);
        ASSERT_EQ(int(pages.size()), Pages());
        const auto legal = LegalInPdf(pages);
        // Every word once, in order: on the lines beside the label, the rest
        // below the sale history or on the following page.
        QStringList words;
        for (const auto& [page, w] : legal) words << w.Text;
        EXPECT_EQ(words, c.Legal.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        ASSERT_FALSE(legal.empty());
        EXPECT_EQ(legal.front().first, 0u);
        EXPECT_EQ(legal.back().first, c.RestPage);
        // No word of it over another text, none outside the body.
        for (const auto& [page, w] : legal) {
            EXPECT_TRUE(InBody(w)) << "page " << page + 1 << " " << w.Text.toStdString();
            int same = 0;
            for (const Word& other : pages[page]) {
                if (SameWord(w, other)) {
                    ++same;
                    continue;
                }
                EXPECT_FALSE(Overlap(w, other)) << "page " << page + 1 << ": \"" << w.Text.toStdString() << "\" over \""
                                                << other.Text.toStdString() << "\"";
            }
            EXPECT_EQ(same, 1) << "page " << page + 1 << " " << w.Text.toStdString();
        }
    }
}
