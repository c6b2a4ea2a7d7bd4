// Nodes of a parsed document come from the document's arena: nodes taken
// out of the tree outlive their document, and the query helpers every
// reader of answers uses.

#include "protocol/xml/TNodeArena_p.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <algorithm>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TXMLDocument> Parse(TXMLParser& parser, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    parser.LoadFromStream(&buffer, doc);
    return std::unique_ptr<TXMLDocument>(doc);
}

} // namespace

TEST(DomArena, RemovedNodesOutliveTheirDocumentAndMoveBetweenDocuments)
{
    TXMLParser parser;
    auto doc = Parse(parser, "<a><b x=\"1\">text</b><c/></a>");
    TXMLElement* b = doc->getDocumentElement()->getFirstChildElement();
    doc->getDocumentElement()->removeChild(b);
    doc.reset();
    // Still whole: its attribute and text are read after the document went.
    EXPECT_EQ(b->getAttribute(QStringLiteral("x")), QStringLiteral("1"));
    EXPECT_EQ(ElementText(b), QStringLiteral("text"));

    TXMLDocument other;
    other.setDocumentElement(b);
    EXPECT_EQ(b->getOwnerDocument(), &other);
    EXPECT_NE(other.SaveToBytes().indexOf("<b x = \"1\">text</b>"), -1);
}

TEST(DomArena, ValuesKeptAsInputBytesOutliveTheInputAndShareNothingButNames)
{
    TXMLParser parser;
    TXMLDocument* doc = nullptr;
    std::unique_ptr<TXMLDocument> owner;
    {
        // Raw bytes of the caller's, overwritten and gone once parsed.
        std::string text = "<a><b x=\"1 'q'\" y='say \"hi\"'>first</b><b>second</b></a>";
        QByteArray raw = QByteArray::fromRawData(text.data(), qsizetype(text.size()));
        QBuffer buffer(&raw);
        buffer.open(QIODevice::ReadOnly);
        parser.LoadFromStream(&buffer, doc);
        owner.reset(doc);
        std::fill(text.begin(), text.end(), '#');
    }
    const QByteArray written = doc->SaveToBytes();
    EXPECT_NE(written.indexOf("<b x = \"1 'q'\" y = \"say &quot;hi&quot;\">first</b>"), -1) << written.constData();
    TXMLElement* first = doc->getDocumentElement()->getFirstChildElement();
    TXMLElement* second = first->getNextSiblingElement();
    EXPECT_EQ(ElementText(second), QStringLiteral("second"));
    // Read or not, a value writes alike; a rename stays with its node.
    EXPECT_EQ(doc->SaveToBytes(), written);
    second->setNodeName(QStringLiteral("c"));
    EXPECT_EQ(first->getTagName(), QStringLiteral("b"));
    doc->getDocumentElement()->removeChild(first);
    owner.reset();
    EXPECT_EQ(first->getAttribute(QStringLiteral("y")), QStringLiteral("say \"hi\""));
    EXPECT_EQ(ElementText(first), QStringLiteral("first"));
    first->getFirstTextNode()->appendData(QStringLiteral("!"));
    EXPECT_EQ(ElementText(first), QStringLiteral("first!"));
    delete first;
}

TEST(DomArena, ClearingADocumentGivesItsNodesMemoryBack)
{
    TXMLParser parser;
    QByteArray big = "<r>";
    for (int i = 0; i < 20000; ++i) big += "<e a=\"v\">t</e>";
    big += "</r>";
    TXMLDocument* doc = nullptr;
    QBuffer buffer(&big);
    buffer.open(QIODevice::ReadOnly);
    parser.LoadFromStream(&buffer, doc);
    std::unique_ptr<TXMLDocument> owner(doc);
    const TNodeArena* arena = doc->NodeArena();
    EXPECT_GE(arena->LiveBlocks(), 60000u); // elements, attributes, texts
    EXPECT_GE(arena->ChunkBytes(), 60000u * 64);
    doc->Clear();
    // A fresh arena: the old one and its chunks are gone.
    EXPECT_EQ(doc->NodeArena()->LiveBlocks(), 0u);
    EXPECT_EQ(doc->NodeArena()->ChunkBytes(), 0u);
}

TEST(DomQuery, ChildByNameItsTextAndTheCountChainOverAbsentElements)
{
    TXMLParser parser;
    auto doc = Parse(parser, "<a><x>1</x><y/><x>2</x><z><w>deep</w></z>text</a>");
    const TXMLElement* a = doc->getDocumentElement();
    EXPECT_EQ(ChildText(a, QStringLiteral("x")), QStringLiteral("1")); // the first of that name
    EXPECT_EQ(ChildText(ChildElement(a, QStringLiteral("z")), QStringLiteral("w")), QStringLiteral("deep"));
    EXPECT_EQ(ChildText(a, QStringLiteral("y")), QString());
    EXPECT_EQ(ChildElement(a, QStringLiteral("X")), nullptr); // names compare exactly
    EXPECT_EQ(ChildElementCount(a), 4);                       // elements only, not the text
    EXPECT_EQ(ElementText(a), QStringLiteral("text"));
    EXPECT_EQ(ChildElement(nullptr, QStringLiteral("x")), nullptr);
    EXPECT_EQ(ChildText(ChildElement(a, QStringLiteral("none")), QStringLiteral("w")), QString());
    EXPECT_EQ(ChildElementCount(nullptr), 0);
}

TEST(DomQuery, ChildTextNoCaseIgnoresCaseChildElementDoesNot)
{
    TXMLParser parser;
    auto doc = Parse(parser, "<a><NAME>Lincoln</NAME><name>second</name><empty/></a>");
    const TXMLElement* a = doc->getDocumentElement();
    EXPECT_EQ(ChildTextNoCase(a, QStringLiteral("name")), QStringLiteral("Lincoln"));
    EXPECT_EQ(ChildTextNoCase(a, QStringLiteral("Name")), QStringLiteral("Lincoln"));
    EXPECT_EQ(ElementText(ChildElementNoCase(a, QStringLiteral("Name"))), QStringLiteral("Lincoln"));
    EXPECT_EQ(ElementText(ChildElement(a, QStringLiteral("name"))), QStringLiteral("second"));
    EXPECT_EQ(ChildElement(a, QStringLiteral("Name")), nullptr);
    EXPECT_EQ(ChildTextNoCase(a, QStringLiteral("empty")), QString());
    EXPECT_EQ(ChildTextNoCase(a, QStringLiteral("missing")), QString());
    EXPECT_EQ(ChildTextNoCase(nullptr, QStringLiteral("x")), QString());
}
