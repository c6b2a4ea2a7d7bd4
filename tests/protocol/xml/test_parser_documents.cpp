// Documents read by the parser: the XML declaration, the owner and the
// encodings (marks, declarations, defaults), the information box, the nodes
// built, and round trips through the writer.

#include "ParserTestSupport.h"

#include "platform/dialogs/Dialogs.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLEncoding.h"

#include <gtest/gtest.h>

#include <QObject>

using namespace parsertest;

namespace {

QByteArray Utf16(const QString& text, bool bigEndian, bool mark)
{
    QByteArray out;
    if (mark) out += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    out += WideToBytes(text, UTF_16, bigEndian);
    return out;
}

} // namespace

TEST(ParserDocuments, XmlDeclarationBecomesDocumentAttributes)
{
    Doc d = Parse(QByteArray("<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\" extra='x'?><a/>"));
    EXPECT_EQ(d.doc->getVersion(), QStringLiteral("1.0"));
    EXPECT_TRUE(d.doc->getStandalone());
    EXPECT_EQ(d.doc->getEncoding(), UTF_8);
    EXPECT_EQ(d.doc->getAttributeNode(QStringLiteral("encoding"))->getValue(), QStringLiteral("UTF-8"));
    EXPECT_EQ(d.doc->getAttributeNode(QStringLiteral("extra"))->getValue(), QStringLiteral("x"));

    // Without a declaration the document keeps version 1.0.
    Doc bare = Parse(QByteArray("<a/>"));
    EXPECT_EQ(bare.doc->getVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(bare.doc->getAttributeNode(QStringLiteral("encoding")), nullptr);
}

TEST(ParserDocuments, OwnedParserAppliesItsDefaultEncoding)
{
    const QByteArray latin("<a>caf\xE9</a>");
    QObject form;
    TXMLParser owned(&form);
    EXPECT_TRUE(owned.HasOwner());
    owned.SetDefaultEncoding(i8859_1);
    Doc d = Parse(owned, latin);
    EXPECT_EQ(d.doc->getEncoding(), i8859_1);
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("caf\u00e9"));

    // n_sup stores US-ASCII.
    owned.SetDefaultEncoding(n_sup);
    EXPECT_EQ(owned.DefaultEncoding(), US_ASCII);

    // Without an owner the input is read as US-ASCII whatever the default,
    // and the document keeps the encoding it had.
    TXMLParser loose;
    EXPECT_FALSE(loose.HasOwner());
    loose.SetDefaultEncoding(i8859_1);
    ScopedDialogResponder responder;
    Doc u = Parse(loose, latin);
    EXPECT_EQ(u.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("caf_"));
    EXPECT_EQ(int(u.doc->getEncoding()), int(UTF_8)); // as a new document has it
}

TEST(ParserDocuments, UnconvertibleCharactersAreReportedOnceInABox)
{
    ScopedDialogResponder responder;
    QObject form;
    TXMLParser parser(&form);
    ShowUnconvertedInABox(parser);
    Doc d = Parse(parser, QByteArray("<a b=\"\xE9\">\xE9\xE8\x01</a>"));
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("__\x01"));
    ASSERT_EQ(responder.Shown().size(), 1);
    const DialogRequest& box = responder.Shown().first();
    EXPECT_EQ(box.type, TMsgDlgType::mtInformation);
    EXPECT_EQ(box.text,
              QStringLiteral("The file contains the following characters that are illegal in the US-ASCII "
                             "encoding scheme: \r\n\r\n[(0x00E9), (0x00E8)]\r\n\r\nThey have been replaced "
                             "with the default underscore placeholder char '_' (0x005F)!"));
    EXPECT_TRUE(UnconvertedListIsEmpty());

    // A failed parse shows no box.
    responder.Clear();
    EXPECT_TRUE(ParseFailure(parser, QByteArray("<a>\xE9")).raised);
    EXPECT_EQ(responder.Shown().size(), 0);
}

TEST(ParserDocuments, Utf16WithAndWithoutMark)
{
    const QString text =
        QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r a=\"\u00e9\u4e2d\">\u0416\u20ac</r>");
    QObject form;
    for (bool bigEndian : {true, false}) {
        TXMLParser parser(&form);
        Doc d = Parse(parser, Utf16(text, bigEndian, true));
        EXPECT_EQ(d.doc->getEncoding(), UTF_16);
        TXMLElement* r = d.doc->getDocumentElement();
        EXPECT_EQ(r->getAttribute(QStringLiteral("a")), QString::fromUtf8("\u00e9\u4e2d"));
        EXPECT_EQ(r->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u0416\u20ac"));
    }
    // An owned parser whose default is UTF-16 reads unmarked little-endian
    // input.
    TXMLParser utf16(&form);
    utf16.SetDefaultEncoding(UTF_16);
    Doc d = Parse(utf16, Utf16(QString::fromUtf8("<r>\u20ac</r>"), false, false));
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u20ac"));
}

TEST(ParserDocuments, Utf8WithAndWithoutMark)
{
    QObject form;
    TXMLParser parser(&form);
    // A mark: UTF-8 whatever the default, and the document says so.
    Doc marked = Parse(parser, QByteArray("\xEF\xBB\xBF<r>\xE2\x82\xAC</r>"));
    EXPECT_EQ(marked.doc->getEncoding(), UTF_8);
    EXPECT_EQ(marked.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u20ac"));
    // No mark: the declaration switches the rest of the input.
    Doc declared = Parse(parser, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xE2\x82\xAC</r>"));
    EXPECT_EQ(declared.doc->getEncoding(), UTF_8);
    EXPECT_EQ(declared.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u20ac"));
}

TEST(ParserDocuments, DeclaredSingleByteEncodings)
{
    Doc cyr = Parse(QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-5\"?><r>\xB0\xD0</r>"));
    EXPECT_EQ(cyr.doc->getEncoding(), i8859_5);
    EXPECT_EQ(cyr.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u0410\u0430"));
    Doc latin2 = Parse(QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r>\xAB</r>"));
    EXPECT_EQ(latin2.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u0164"));
}

TEST(ParserDocuments, NodesOfEveryKind)
{
    Doc d = Parse(QByteArray("<?xml version=\"1.0\"?>\n<!-- before --><?app go?>\n"
                             "<r a=\"1 &amp; 2\" b='&#65;&#x42;'>\n"
                             "  head<e/>mid<![CDATA[ <raw> & ]]><!-- in --><?p  d?>tail &unknown; &lt;x&gt;\n"
                             "</r><!-- after -->"));
    TXMLDocument& doc = *d.doc;
    EXPECT_EQ(doc.getFirstOfType(5)->getNodeValue(), QStringLiteral(" before "));
    EXPECT_EQ(doc.getFirstOfType(6)->getNodeName(), QStringLiteral("app"));
    TXMLElement* r = doc.getDocumentElement();
    EXPECT_EQ(r->getAttribute(QStringLiteral("a")), QStringLiteral("1 & 2"));
    EXPECT_EQ(r->getAttribute(QStringLiteral("b")), QStringLiteral("AB"));
    std::vector<int> kinds;
    for (TXMLNode* n = r->getChildNodes().first(); n; n = n->nextSibling()) kinds.push_back(n->getNodeType());
    EXPECT_EQ(kinds, (std::vector<int>{2, 2, 3, 1, 3, 4, 5, 6, 3}));
    EXPECT_EQ(r->getFirstOfType(4)->getNodeValue(), QStringLiteral(" <raw> & "));
    // One space after the target is not part of the data.
    EXPECT_EQ(r->getFirstOfType(6)->getNodeValue(), QStringLiteral(" d"));
    // Undeclared references stay as written; the predefined ones resolve.
    EXPECT_EQ(static_cast<TXMLText*>(r->getChildNodes().last())->getNodeValue(),
              QStringLiteral("tail &unknown; <x>\n"));
    EXPECT_EQ(doc.getChildNodes().last()->getNodeValue(), QStringLiteral(" after "));
}

TEST(ParserDocuments, RepeatedAttributeIsExpandedLikeANewOne)
{
    Doc d = Parse(QByteArray("<a x=\"1\" y=\"2\" x=\"&amp;&#65;\"/>"));
    TXMLElement* a = d.doc->getDocumentElement();
    EXPECT_EQ(a->getAttribute(QStringLiteral("x")), QStringLiteral("&A"));
    // Still one attribute, in its first place.
    EXPECT_EQ(a->getFirstAttribute()->getNodeName(), QStringLiteral("x"));
    EXPECT_EQ(a->getChildNodes().count(), 2);
    EXPECT_TRUE(ParseFailure(QByteArray("<a x=\"1\" x=\"<\"/>")).raised);
}

TEST(ParserDocuments, RoundTripsAreStable)
{
    const QByteArray sources[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><!-- c --><?pi x?>"
        "<vxp a=\"x&quot;y &lt; z\" b=\"it's\"><t>1 &lt; 2 &amp;&amp; 3 > 2; &#x26;amp;</t>"
        "<c><![CDATA[a ]] b <c> &amp;]]></c><e/><m>x<b>y</b>z</m><n>&undeclared; &#1234;</n></vxp>",
        "<r>\xC3\xA9\xE2\x82\xAC</r>",
        "<r x='\"' y=\"'\">&apos;&quot;</r>",
    };
    for (const QByteArray& source : sources) {
        QObject form;
        TXMLParser parser(&form);
        parser.SetDefaultEncoding(UTF_8);
        Doc first = Parse(parser, source);
        const QByteArray written = first.doc->SaveToBytes(TXMLSaveForm::LocalFile);
        Doc second = Parse(parser, written);
        EXPECT_EQ(second.doc->SaveToBytes(TXMLSaveForm::LocalFile).toStdString(), written.toStdString());
        // The first reading already holds what every later one holds.
        Doc third = Parse(parser, second.doc->SaveToBytes(TXMLSaveForm::LocalFile));
        EXPECT_EQ(Text(*third.doc).toStdString(), Text(*second.doc).toStdString());
        EXPECT_EQ(first.doc->getDocumentElement()->getChildNodes().count(),
                  second.doc->getDocumentElement()->getChildNodes().count());
    }
}

TEST(ParserDocuments, ParserSettingsReachTheDocument)
{
    TXMLParser parser;
    EXPECT_TRUE(parser.FormatedOutput);
    EXPECT_FALSE(parser.StandardXML);
    EXPECT_FALSE(parser.ValidateDocument);
    EXPECT_EQ(parser.DefaultEncoding(), US_ASCII);
    parser.FormatedOutput = false;
    Doc d = Parse(parser, QByteArray("<a><b><c/></b></a>"));
    EXPECT_EQ(d.doc->Parser(), &parser);
    EXPECT_EQ(Text(*d.doc), QStringLiteral("<?xml version = \"1.0\"?>\r\n\r\n<a>\r\n<b>\r\n<c/>\r\n</b>\r\n</a>"));
    parser.FormatedOutput = true;
    EXPECT_EQ(Text(*d.doc),
              QStringLiteral("<?xml version = \"1.0\"?>\r\n\r\n<a>\r\n   <b>\r\n      <c/>\r\n   </b>\r\n</a>"));
}

TEST(ParserDocuments, LargeServiceAnswer)
{
    QByteArray xml = "<?xml version=\"1.0\"?><vxp><comps.result version=\"1.0\">";
    for (int r = 0; r < 2000; ++r) {
        xml += "<comp>";
        for (int f = 0; f < 20; ++f)
            xml +=
                "<f" + QByteArray::number(f) + ">v&amp;" + QByteArray::number(r) + "</f" + QByteArray::number(f) + ">";
        xml += "<use_rec>N</use_rec></comp>";
    }
    xml += "</comps.result></vxp>";
    Doc d = Parse(xml);
    TXMLElement* result = d.doc->getDocumentElement()->getFirstChildElement();
    int records = 0;
    for (TXMLElement* c = result->getFirstChildElement(); c; c = c->getNextSiblingElement()) ++records;
    EXPECT_EQ(records, 2000);
    TXMLElement* last = static_cast<TXMLElement*>(result->getChildNodes().last());
    EXPECT_EQ(last->getFirstChildElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("v&1999"));
}
