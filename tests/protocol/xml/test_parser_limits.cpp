// Documents with very many attributes, declarations and IDs: lookups are
// hashed past a few names (the first of a name still wins, order stays), and
// an element's attributes and a document's declarations are capped.

#include "ParserTestSupport.h"

#include "protocol/xml/TNodeList.h"
#include "protocol/xml/XMLQuery.h"

#include <gtest/gtest.h>

using namespace parsertest;

namespace {

QByteArray Attributes(int n, const QByteArray& extra = {})
{
    QByteArray b = "<a";
    for (int i = 0; i < n; ++i) b += " n" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    return b + extra + "/>";
}

QByteArray Doctype(const QByteArray& subset, const QByteArray& body = "<r/>")
{
    return "<?xml version=\"1.0\"?><!DOCTYPE r [\n" + subset + "]>" + body;
}

} // namespace

TEST(ParserLimits, ManyAttributesKeepTheirOrderAndTheRepeatRule)
{
    // A repeated name takes the later value in its first place.
    Doc d = Parse(Attributes(40, " n7=\"again\" n39=\"&amp;last\""));
    const TXMLElement* a = d.doc->getDocumentElement();
    EXPECT_EQ(a->getChildNodes().attributeCount(), 40);
    EXPECT_EQ(a->getAttribute(QStringLiteral("n7")), QStringLiteral("again"));
    EXPECT_EQ(a->getAttribute(QStringLiteral("n39")), QStringLiteral("&last"));
    EXPECT_EQ(a->getAttribute(QStringLiteral("n40")), QString());
    int i = 0;
    for (const TXMLNode* n = a->getFirstAttribute(); n; n = n->nextSameTypeSibling(), ++i)
        EXPECT_EQ(n->getNodeName(), QStringLiteral("n%1").arg(i));
}

TEST(ParserLimits, TheIndexFollowsRemovalsInsertionsAndRenames)
{
    Doc d = Parse(Attributes(30));
    TXMLElement* a = d.doc->getDocumentElement();
    TNodeList& list = a->getChildNodes();
    TXMLNode* n5 = a->getAttributeNode(QStringLiteral("n5"));
    ASSERT_NE(n5, nullptr);
    delete list.removeChild(n5);
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("n5")), nullptr);
    EXPECT_NE(a->getAttributeNode(QStringLiteral("n6")), nullptr);
    // A namesake linked before the first one is found first.
    auto* early = new TXMLAttr(QStringLiteral("n9"), d.doc.get(), QStringLiteral("early"));
    list.insertBefore(early, list.first());
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("n9")), early);
    EXPECT_NE(list.nextNamedItem(early), nullptr);
    EXPECT_EQ(list.nextNamedItem(early)->getNodeValue(), QStringLiteral("9"));
    // An appended namesake comes after it.
    auto* late = new TXMLAttr(QStringLiteral("n9"), d.doc.get(), QStringLiteral("late"));
    list.setNamedItem(late);
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("n9")), early);
    EXPECT_EQ(list.nextNamedItem(list.nextNamedItem(early)), late);
    // Renamed: found by its new name only.
    TXMLNode* n3 = a->getAttributeNode(QStringLiteral("n3"));
    n3->setNodeName(QStringLiteral("renamed"));
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("renamed")), n3);
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("n3")), nullptr);
    // Another type: no longer an attribute.
    TXMLNode* n4 = a->getAttributeNode(QStringLiteral("n4"));
    n4->setNodeType(nt::Comment);
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("n4")), nullptr);
    n4->setNodeType(nt::Attribute);
    EXPECT_EQ(a->getAttributeNode(QStringLiteral("n4")), n4);
}

TEST(ParserLimits, AnElementHoldsAtMost10000Attributes)
{
    Doc d = Parse(Attributes(10000, " n0=\"repeat\""));
    EXPECT_EQ(d.doc->getDocumentElement()->getChildNodes().attributeCount(), 10000);
    EXPECT_EQ(d.doc->getDocumentElement()->getAttribute(QStringLiteral("n0")), QStringLiteral("repeat"));
    const Failure f = ParseFailure(Attributes(10001));
    EXPECT_EQ(f.message, QStringLiteral("Element \"a\" has more than 10000 attributes."));
}

TEST(ParserLimits, ADocumentHoldsAtMost100000Declarations)
{
    QByteArray subset;
    for (int i = 0; i < 100000; ++i) subset += "<!ENTITY e" + QByteArray::number(i) + " \"v\">";
    Doc d = Parse(Doctype(subset));
    EXPECT_NE(d.doc->getDocType(), nullptr);
    const Failure f = ParseFailure(Doctype(subset + "<!NOTATION n SYSTEM \"x\">"));
    EXPECT_EQ(f.message, QStringLiteral("The document type holds more than 100000 declarations."));
}

TEST(ParserLimits, ManyEntitiesResolveByNameAndKindFirstOneWinning)
{
    QByteArray subset;
    for (int i = 0; i < 50; ++i)
        subset += "<!ENTITY e" + QByteArray::number(i) + " \"g" + QByteArray::number(i) + "\">";
    subset += "<!ENTITY % e7 \"<!ENTITY fromPE 'pe'>\">%e7;"; // a parameter namesake
    subset += "<!ENTITY e7 \"second\">";                      // ignored: the first wins
    Doc d = Parse(Doctype(subset, "<r>&e7;&e49;&fromPE;&e50;</r>"));
    EXPECT_EQ(ElementText(d.doc->getDocumentElement()), QStringLiteral("g7g49pe&e50;"));
}

TEST(ParserLimits, RepeatedIdsAreReportedOncePerFurtherNamesake)
{
    QByteArray body = "<r>";
    for (int i = 0; i < 40; ++i) body += "<e id=\"i" + QByteArray::number(i) + "\"/>";
    body += "<e id=\"i3\"/><e id=\"i3\"/><f ref=\"i39\"/><f ref=\"i40\"/></r>";
    TXMLParser parser;
    parser.ValidateDocument = true;
    Doc d = Parse(parser,
                  Doctype("<!ELEMENT r (e|f)*><!ELEMENT e EMPTY><!ELEMENT f EMPTY>"
                          "<!ATTLIST e id ID #REQUIRED><!ATTLIST f ref IDREF #REQUIRED>",
                          body));
    EXPECT_FALSE(d.result);
    int repeated = 0, dangling = 0;
    for (const QString& m : parser.Errors().Messages()) {
        if (m.contains(QStringLiteral("appears more than once"))) ++repeated;
        if (m.contains(QStringLiteral("nonexisting ID attribute"))) {
            ++dangling;
            EXPECT_TRUE(m.contains(QStringLiteral("\"i40\""))) << m.toStdString();
        }
    }
    EXPECT_EQ(repeated, 6); // three attributes of i3, two further namesakes each
    EXPECT_EQ(dangling, 1);
}
