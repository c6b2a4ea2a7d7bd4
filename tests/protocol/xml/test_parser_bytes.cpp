// Documents read one byte per character take a byte path through their tags
// and plain text, and hand everything else back to the token path. Read as
// UTF-16, the same characters go through the token path alone: both must
// build the same tree, or fail with the same error on the same line. The
// writer converts to bytes a piece at a time: the bytes and the list of
// unconvertible characters are those of the whole text.

#include "ParserTestSupport.h"

#include "protocol/xml/XMLEncoding.h"

#include <gtest/gtest.h>

using namespace parsertest;

namespace {

QByteArray Utf16(const QByteArray& ascii)
{
    QByteArray out("\xFF\xFE", 2);
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The written tree, or the error with its line.
QString Outcome(const QByteArray& bytes, bool standard = false)
{
    TXMLParser parser;
    parser.StandardXML = standard;
    const Failure f = ParseFailure(parser, bytes);
    if (f.raised) return QStringLiteral("error %1 line %2: %3").arg(f.domCode).arg(f.line).arg(f.message);
    return Text(*Parse(parser, bytes).doc);
}

void ExpectSamePaths(const QByteArray& doc)
{
    SCOPED_TRACE(doc.constData());
    const QString bytes = Outcome(doc);
    EXPECT_EQ(bytes, Outcome(Utf16(doc)));
    EXPECT_EQ(Outcome(doc, true), Outcome(Utf16(doc), true));
}

} // namespace

TEST(ParserBytePath, BuildsWhatTheTokenPathBuilds)
{
    const char* const docs[] = {
        // Tags, attributes in both quotes, blanks around "=", empty tags.
        "<?xml version=\"1.0\"?>\n<a x=\"1\" y = '2'\t z =\"\"><b/><c k=\"v\" /><d>t</d ></a>\n",
        // Text with LFs and CRs, blank text, text ending the document.
        "<a>\r\n  <b>one\r\ntwo</b>\r\n  <c>  x  </c>\r\n</a>\r\n \r\n",
        // Predefined entities in any case, character references, blank
        // results, references the text's expand keeps or resolves.
        "<a><b>5 &lt; 6 &AMP; 7 &Gt; 2 &apos;&quot;</b><c>&#65;&#x42;&#32;</c><d>&#32;&#9;</d>"
        "<e>&bogus; &amp</e><f>a & b; c</f><g>&#;</g><h>&amp;lt;</h></a>",
        // Attribute values expansion changes: references, tabs, CR LF, "<".
        "<a x=\"a&amp;b\" y=\"t\tv\" z=\"l\r\nm\" w=\"&#65;\" v=\"&undeclared;\"/>",
        "<a x=\"1<2\"/>",
        "<a x=\"&\"/>",
        // A repeated attribute takes the later value in the first place.
        "<a x=\"1\" y=\"2\" x=\"3&amp;\" x=\"4\"/>",
        // Markup the byte path leaves to the token path, between tags.
        "<a><!-- c --><b/><?pi data?><c><![CDATA[<x>&amp;]]></c>tail<!--x--></a>",
        // Tags across lines, attributes without blanks between them.
        "<a\nx=\"1\"><b x=\"1\"\n/><c\r\n>t</c\n><d x=\"1\"y=\"2\"/></a>",
        // Names the byte path does not read.
        "<a><b.c-d:e_f>t</b.c-d:e_f><_x/><:y/></a>",
        // Mismatched, missing and stray end tags; the end of the input.
        "<a><b></c></a>",
        "<a><b>text</b>",
        "<a><b>text",
        "<a><b>\n\ntext\n</b>\n</a>\n<c/>",
        "<a></>",
        "<a><b/ ></a>",
        "<a x=\"1\"",
        "<a x=1/>",
        "<a><1b/></a>",
        "<a>\n<b>\n&x</b></a>",
        // Control bytes are no characters of a document.
        "<a>\x01</a>",
        "<a x=\"\x01\"/>",
        // With a document type: declared entities, defaults, tokenized
        // attributes.
        "<!DOCTYPE a [<!ENTITY e \"one &amp; two\"><!ENTITY m \"<b>mark</b>\">"
        "<!ATTLIST a t NMTOKENS #IMPLIED d CDATA \"def\">]>\n<a t=\"  x   y \"><c>&e; and &m; end</c></a>",
    };
    for (const char* doc : docs) ExpectSamePaths(doc);
}

TEST(ParserBytePath, TellsNamesApartPastTheirFirstBytesAndFindsTheEndOfLongText)
{
    // Names alike in their first eight bytes or their length, prefixes of
    // each other, as elements and attributes, and a name ending the input.
    ExpectSamePaths("<a><property_a/><property_b x=\"1\"/><property_a/><property_ab/><propert/><property/>"
                    "<b property_a=\"1\" property_b=\"2\" property=\"3\"/><property_b/></a><property_a");
    // Texts whose "<" lies about where the quick look stops, and beyond.
    for (int n : {1, 30, 31, 32, 33, 64, 5000}) {
        const QByteArray text(n, 'x');
        ExpectSamePaths("<a><b>" + text + "</b><c>" + text + "&amp;" + text + "</c><d>" + text + "</d></a>");
        ExpectSamePaths("<a><b>t</b>" + text);
    }
    // Values kept as bytes are written as their strings would be.
    ExpectSamePaths("<a x=\"q'\" y='say \"hi\"' z=\"\">line\r\nnext</a>");
}

TEST(ParserBytePath, KeepsTheLimitsAndTheLineOfAnError)
{
    // The element depth and the attribute cap hold on either path.
    QByteArray deep;
    for (int i = 0; i < 1001; ++i) deep += "<e>";
    EXPECT_EQ(Outcome(deep), QStringLiteral("error 0 line 1: Element nesting is too deep."));
    ExpectSamePaths(deep);
    QByteArray many = "<a>\n<b";
    for (int i = 0; i < 10001; ++i) many += " n" + QByteArray::number(i) + "=\"v\"";
    many += "/></a>";
    EXPECT_EQ(Outcome(many), QStringLiteral("error 0 line 2: Element \"b\" has more than 10000 attributes."));
    // Lines counted in text on the byte path place a later error.
    EXPECT_EQ(Outcome("<a>\n<b>x\ny</b>\n<c>&unterminated</c></a>"),
              QStringLiteral("error 0 line 4: Illegal character in the text value '&&'."));
    ExpectSamePaths("<a>\n<b>x\ny</b>\n<c>&unterminated</c></a>");
}

TEST(ParserBytePath, TakesUpAgainAfterWhatItLeaves)
{
    // Characters that are not plain bytes go through the token path, and the
    // tags after them through the byte path again.
    QObject form;
    TXMLParser parser(&form);
    parser.SetDefaultEncoding(i8859_1);
    const Doc d = Parse(parser, "<a><b>caf\xE9</b><c x=\"\xE9t\xE9\">t</c><d>plain</d></a>");
    const TXMLElement* a = d.doc->getDocumentElement();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getFirstChildElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("caf\u00E9"));
    const TXMLElement* c = a->getFirstChildElement()->getNextSiblingElement();
    EXPECT_EQ(c->getAttribute(QStringLiteral("x")), QStringLiteral("\u00E9t\u00E9"));
    EXPECT_EQ(c->getNextSiblingElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("plain"));
    // UTF-8 text is decoded on the byte path; an overlong "<" is the token
    // path's, as is the tag after it.
    TXMLParser utf8(&form);
    utf8.SetDefaultEncoding(UTF_8);
    const Doc u = Parse(utf8,
                        "<a><b>caf\xC3\xA9 &amp; cr\xC3\xA8me &#65;</b><c>x\xC0\xBC"
                        "d/>y</c></a>");
    const TXMLElement* ub = u.doc->getDocumentElement()->getFirstChildElement();
    EXPECT_EQ(ub->getFirstTextNode()->getNodeValue(), QStringLiteral("caf\u00E9 & cr\u00E8me A"));
    const TXMLElement* uc = ub->getNextSiblingElement();
    EXPECT_EQ(uc->getFirstTextNode()->getNodeValue(), QStringLiteral("x"));
    ASSERT_NE(uc->getFirstChildElement(), nullptr);
    EXPECT_EQ(uc->getFirstChildElement()->getTagName(), QStringLiteral("d"));
    // A name is read once per document: the token path's "b" (a tag across
    // lines) and the byte path's share one string.
    const Doc shared = Parse(parser, "<a><b\n/><b/></a>");
    const TXMLElement* first = shared.doc->getDocumentElement()->getFirstChildElement();
    EXPECT_EQ(first->getTagName().constData(), first->getNextSiblingElement()->getTagName().constData());
}

TEST(ParserBytePath, LeavesTheTagsAndTextItDoesNotReadToTheTokenPath)
{
    // Tags cut short or shaped otherwise: a name without "=", blanks around
    // "=", a "/" inside a tag, an end tag that ends the input, one whose name
    // only begins like the open element's, blanks before its ">".
    const char* const docs[] = {
        "<a x y=\"1\"/>",
        "<a x/>",
        "<a\tx\t=\t'1'\t/>",
        "<a/b>",
        "<a x='1'/",
        "<a><b></b",
        "<a><b></bc></a>",
        "<a><b></b\t\r >t</a>",
        "<a><b>x</b>&amp;<!--c--></a>",
    };
    for (const char* doc : docs) ExpectSamePaths(doc);

    // UTF-8 text whose first character is no character of a document.
    QObject form;
    TXMLParser utf8(&form);
    utf8.SetDefaultEncoding(UTF_8);
    const Failure f = ParseFailure(utf8, "<a><b>\xEF\xBF\xBEx</b></a>");
    EXPECT_EQ(f.message, QStringLiteral("Illegal occurence of \"\uFFFE\""));
    EXPECT_EQ(f.line, 1);

    // A text with references before a tag whose name the encoding cannot
    // hold: the tag's character is listed first, then the reference's.
    TXMLParser ascii(&form);
    QString listed;
    ascii.OnUnconverted = [&](TXMLParser*, const QString& message) { listed = message; };
    const Doc d = Parse(ascii, "<a>&#233; x<\xF6/></a>");
    const TXMLElement* a = d.doc->getDocumentElement();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getFirstTextNode()->getNodeValue(), QStringLiteral("_ x"));
    ASSERT_NE(a->getFirstChildElement(), nullptr);
    EXPECT_EQ(a->getFirstChildElement()->getTagName(), QStringLiteral("\u00F6"));
    EXPECT_TRUE(listed.contains(QStringLiteral("[(0x00F6), (0x00E9)]"))) << listed.toStdString();
}

TEST(DocumentWriter, WritesBytesAPieceAtATimeAsTheWholeText)
{
    // Long enough for several pieces, with characters US-ASCII cannot hold
    // early and late, in a text long enough to be written straight.
    TXMLParser parser;
    const Doc d = Parse(parser, "<a/>");
    TXMLElement* a = d.doc->getDocumentElement();
    for (int i = 0; i < 3000; ++i) {
        auto* e = new TXMLElement(QStringLiteral("row"), d.doc.get());
        a->appendChild(e);
        e->setAttribute(QStringLiteral("n"), QString::number(i) + (i == 7 ? QStringLiteral("\u00E9") : QString()));
        e->appendText(new TXMLText(
            i == 2500 ? QString(40000, u'x') + QStringLiteral("\u20AC&amp;") : QStringLiteral("t"), d.doc.get()));
    }
    for (const TEncoding encoding : {US_ASCII, UTF_8, UTF_16}) {
        d.doc->setEncodingValue(encoding);
        ClearUnconvertedList();
        const QByteArray whole = WideToBytes(d.doc->WriteToString(), encoding, d.doc->BigEndian);
        const QString listed = UnconvertedList();
        ClearUnconvertedList();
        EXPECT_EQ(d.doc->SaveToBytes(), whole);
        EXPECT_EQ(UnconvertedList(), listed);
        if (encoding == US_ASCII) { EXPECT_EQ(listed, QStringLiteral("(0x00E9), (0x20AC)")); }
    }
    ClearUnconvertedList();
}
