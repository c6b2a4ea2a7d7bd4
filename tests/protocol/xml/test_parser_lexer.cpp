// The input buffer, the symbol table and the token reader: byte-order marks,
// reads past the end, UTF-8 decoding, the keyword table, and what the
// scanners make of markup, comments, text and line breaks.

#include "ParserTestSupport.h"

#include "protocol/xml/TInputBuffer.h"
#include "protocol/xml/TSymTab.h"
#include "protocol/xml/TXMLComment.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/TokenKinds.h"

#include <gtest/gtest.h>

#include <QBuffer>

using namespace parsertest;

namespace {

QString ReadAll(TInputBuffer& in, int max = 100)
{
    QString s;
    for (int i = 0; i < max; ++i) {
        const char16_t c = in.NextChar();
        if (!c) break;
        s.append(QChar(c));
    }
    return s;
}

} // namespace

TEST(InputBuffer, ByteOrderMarks)
{
    TInputBuffer le;
    le.SetBytes(QByteArray("\xFF\xFE"
                           "a\0\xE9\0",
                           6));
    EXPECT_TRUE(le.IsUTF16);
    EXPECT_FALSE(le.BigEndian);
    EXPECT_EQ(le.Encoding, UTF_16);
    EXPECT_EQ(ReadAll(le), QString::fromUtf8("a\u00e9"));

    TInputBuffer be;
    be.SetBytes(QByteArray("\xFE\xFF\0a\x04\x10", 6));
    EXPECT_TRUE(be.IsUTF16);
    EXPECT_TRUE(be.BigEndian);
    EXPECT_EQ(ReadAll(be), QString::fromUtf8("a\u0410"));

    // A UTF-8 mark is skipped and the rest read as UTF-8.
    TInputBuffer u8;
    u8.SetBytes(QByteArray("\xEF\xBB\xBF"
                           "a\xC3\xA9"));
    EXPECT_FALSE(u8.IsUTF16);
    EXPECT_EQ(u8.Encoding, UTF_8);
    EXPECT_EQ(ReadAll(u8), QString::fromUtf8("a\u00e9"));

    TInputBuffer plain;
    plain.SetBytes(QByteArray("ab"));
    EXPECT_EQ(plain.Encoding, US_ASCII);
    EXPECT_FALSE(plain.IsUTF16);
}

TEST(InputBuffer, ReadsAfterTheEndKeepReturningZero)
{
    TInputBuffer in;
    in.SetBytes(QByteArray("ab"));
    EXPECT_EQ(in.NextChar(), u'a');
    EXPECT_EQ(in.NextChar(), u'b');
    for (int i = 0; i < 5; ++i) EXPECT_EQ(in.NextChar(), 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(in.NextByte(), 0);

    // An odd byte at the end of UTF-16 input: the missing byte reads as 0, and
    // so does everything after it.
    TInputBuffer odd;
    odd.SetBytes(QByteArray("\xFF\xFE"
                            "a\0b",
                            5));
    EXPECT_EQ(odd.NextChar(), u'a');
    EXPECT_EQ(odd.NextChar(), u'b');
    for (int i = 0; i < 5; ++i) EXPECT_EQ(odd.NextChar(), 0);

    // Stepping back over the end and reading again.
    TInputBuffer back;
    back.SetBytes(QByteArray("x"));
    EXPECT_EQ(back.NextChar(), u'x');
    EXPECT_EQ(back.NextChar(), 0);
    back.StepBack();
    EXPECT_EQ(back.NextChar(), 0);
    back.StepBackChars(2);
    EXPECT_EQ(back.NextChar(), u'x');
}

TEST(InputBuffer, Utf8DecodingAsDescribed)
{
    TInputBuffer in;
    in.SetBytes(QByteArray("\xC3\xA9|\xE2\x82\xAC|\x80|\xF0\x9F"));
    in.SetEncoding(UTF_8);
    // Two and three byte sequences; a lone continuation byte and the lead of
    // a four-byte sequence are characters of their own code.
    EXPECT_EQ(ReadAll(in), QString::fromUtf16(u"\u00e9|\u20ac|\u0080|\u00f0\u009f"));

    // Stepping back a multi-byte character un-reads all its bytes.
    TInputBuffer b;
    b.SetBytes(QByteArray("\xE2\x82\xAC"
                          "x"));
    b.SetEncoding(UTF_8);
    EXPECT_EQ(b.NextChar(), u'\u20ac');
    b.StepBack();
    EXPECT_EQ(b.ReadChars(2), QString::fromUtf16(u"\u20acx"));
}

TEST(InputBuffer, FourByteCharactersReadAsTheirTwoHalves)
{
    TInputBuffer in;
    in.SetBytes(QByteArray("a\xF0\x9F\x98\x80\xF0\x9D\x84\x9E"
                           "b"));
    in.SetEncoding(UTF_8);
    EXPECT_EQ(in.NextChar(), u'a');
    EXPECT_EQ(in.NextChar(), 0xD83D);
    EXPECT_EQ(in.LastStart(), 1);
    EXPECT_EQ(in.NextChar(), 0xDE00);
    EXPECT_EQ(in.LastStart(), 1);
    EXPECT_EQ(in.Pos(), 5);
    // Stepping back goes half by half, over pairs and into the middle of one.
    in.StepBack();
    EXPECT_EQ(in.NextChar(), 0xDE00);
    EXPECT_EQ(in.ReadChars(3),
              QString::fromUtf8("\xF0\x9D\x84\x9E"
                                "b"));
    in.StepBackChars(4);
    EXPECT_EQ(in.NextChar(), 0xDE00);
    EXPECT_EQ(ReadAll(in),
              QString::fromUtf8("\xF0\x9D\x84\x9E"
                                "b"));
    // The three-byte halves older files hold read as the same pair.
    TInputBuffer old;
    old.SetBytes(QByteArray("\xED\xA0\xBD\xED\xB8\x80"));
    old.SetEncoding(UTF_8);
    EXPECT_EQ(ReadAll(old), QString::fromUtf8("\xF0\x9F\x98\x80"));
}

TEST(InputBuffer, EncodingSwitchesAreRefusedWhenTheyCouldOnlyGarble)
{
    TInputBuffer marked;
    marked.SetBytes(QByteArray("\xEF\xBB\xBF\xC3\xA9"));
    marked.SetEncoding(i8859_1);
    EXPECT_EQ(marked.Encoding, UTF_8);
    EXPECT_EQ(ReadAll(marked), QString::fromUtf8("\u00e9"));

    TInputBuffer bytes;
    bytes.SetBytes(QByteArray("ab"));
    bytes.SetEncoding(UTF_16);
    EXPECT_FALSE(bytes.IsUTF16);
    EXPECT_EQ(ReadAll(bytes), QStringLiteral("ab"));
}

TEST(SymTab, KeywordsAndOneCharacterTokens)
{
    TSymTab t;
    EXPECT_EQ(t.Count(), 0);
    t.AddKeywords();
    // Entries are numbered from 1; lookups ignore the case of ASCII letters.
    const int doctype = t.Lookup(u"<!doctype");
    ASSERT_GT(doctype, 0);
    EXPECT_EQ(t.KindOf(doctype), tk::Doctype);
    EXPECT_EQ(t.TextOf(doctype), QStringLiteral("<!DOCTYPE"));
    EXPECT_EQ(t.KindOf(t.Lookup(u"#pcdata")), tk::PCData);
    EXPECT_EQ(t.KindOf(t.Lookup(u"%")), '%');
    EXPECT_EQ(t.KindOf(t.Lookup(u"|")), '|');
    EXPECT_EQ(t.Lookup(u"="), 0);

    // Any other character gets its own code as kind, once.
    const int eq = t.CharEntry(u'=');
    EXPECT_EQ(t.KindOf(eq), '=');
    EXPECT_EQ(t.CharEntry(u'='), eq);
    EXPECT_EQ(t.KindOf(t.CharEntry(u'[')), '[');
    EXPECT_EQ(t.KindOf(t.CharEntry(u'\u00e9')), 0xE9);

    const int before = t.Count();
    EXPECT_EQ(t.Add(QStringLiteral("X"), 1234), before + 1);
    EXPECT_EQ(t.KindOf(t.Lookup(u"x")), 1234);

    // Names are kept once each and shared.
    int i1 = -1, i2 = -1;
    const QString& a = t.InternName(u"name", 4, i1);
    const QString& b = t.InternName(reinterpret_cast<const uint8_t*>("name"), 4, i2);
    EXPECT_EQ(i1, i2);
    EXPECT_EQ(a.constData(), b.constData());
    int i3 = -1;
    t.InternName(u"Name", 4, i3);
    EXPECT_NE(i3, i1);
}

TEST(SymTab, ManyNamesStayFindable)
{
    TSymTab t;
    std::vector<int> index(5000);
    for (int i = 0; i < 5000; ++i) {
        const QString n = QStringLiteral("n%1").arg(i);
        t.InternName(reinterpret_cast<const char16_t*>(n.utf16()), n.size(), index[size_t(i)]);
    }
    EXPECT_EQ(t.NameCount(), 5000);
    for (int i = 0; i < 5000; i += 97) {
        const QString n = QStringLiteral("n%1").arg(i);
        int again = -1;
        EXPECT_EQ(t.InternName(reinterpret_cast<const char16_t*>(n.utf16()), n.size(), again), n);
        EXPECT_EQ(again, index[size_t(i)]);
    }
}

TEST(Tokens, KeywordsInAnyCase)
{
    Doc d =
        Parse(QByteArray("<?XML VERSION=\"1.0\"?><!doctype a [<!element a EMPTY><!attlist a x cdata #implied>]><a/>"));
    ASSERT_NE(d.doc->getDocType(), nullptr);
    EXPECT_NE(d.doc->getDocType()->getElementDecl(QStringLiteral("a")), nullptr);
    EXPECT_EQ(d.doc->getVersion(), QStringLiteral("1.0"));
}

TEST(Tokens, ProcessingInstructionWhoseTargetBeginsWithXml)
{
    Doc d = Parse(QByteArray("<?xml-stylesheet href=\"s.css\"?><?xmlfoo x?><a/>"));
    TXMLNode* pi = d.doc->getFirstOfType(6);
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(pi->getNodeName(), QStringLiteral("xml-stylesheet"));
    EXPECT_EQ(pi->getNodeValue(), QStringLiteral("href=\"s.css\""));
    ASSERT_NE(pi->nextSameTypeSibling(), nullptr);
    EXPECT_EQ(pi->nextSameTypeSibling()->getNodeName(), QStringLiteral("xmlfoo"));
}

TEST(Tokens, CommentsLoseLineBreaksAndDoubleSpaces)
{
    Doc d = Parse(QByteArray("<a><!-- one  two\r\n   three - four --></a>"));
    TXMLNode* c = d.doc->getDocumentElement()->getFirstOfType(5);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getNodeValue(), QStringLiteral(" one two three - four "));
    Doc empty = Parse(QByteArray("<a><!----></a>"));
    EXPECT_EQ(empty.doc->getDocumentElement()->getFirstOfType(5)->getNodeValue(), QString());
}

TEST(Tokens, TextAndWhiteSpace)
{
    // White space before the first markup is skipped; white space between
    // elements makes no node; a letter between two elements makes one.
    Doc d = Parse(QByteArray(" \r\n\t <a>\n  <b/>\n  x\n  <c/>\n</a>"));
    TXMLElement* a = d.doc->getDocumentElement();
    int texts = 0;
    for (TXMLNode* n = a->getChildNodes().first(); n; n = n->nextSibling())
        if (n->getNodeType() == 3) ++texts;
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(a->getFirstTextNode()->getNodeValue(), QStringLiteral("\n  x\n  "));
}

TEST(Tokens, LinesCountLineFeedsOutsideLiteralsAndInstructions)
{
    // Text, comments and CDATA count; literals and processing instructions
    // do not.
    struct Case {
        const char* xml;
        int line;
    };
    const Case cases[] = {
        {"<a>\n\n<b></c></a>", 3},        {"<a>\n<!--\n\n-->\n<b></c></a>", 5}, {"<a><![CDATA[\n\n]]><b></c></a>", 3},
        {"<a x=\"\n\n\"><b></c></a>", 1}, {"<a><?pi \n\n?><b></c></a>", 1},     {"\n\n<a\n\nx=\"1\"><b></c></a>", 5},
    };
    for (const Case& c : cases) {
        const Failure f = ParseFailure(QByteArray(c.xml));
        EXPECT_EQ(f.message, QStringLiteral("Start-tag name \"b\" does not match end-tag name \"c\"")) << c.xml;
        EXPECT_EQ(f.line, c.line) << c.xml;
    }
}

TEST(Tokens, LongDocumentsReadAcrossBufferSeams)
{
    // Markup at every offset around the old 102,401-byte halves, with
    // look-back (keywords stepped back) right at the seams.
    for (int pad : {102380, 102395, 102398, 102400, 204790, 204800}) {
        QByteArray xml = "<a>";
        xml += QByteArray(pad - 3, 'x');
        xml += "<?xmlish data?><![CDATA[q]]><b z='1'/></a>";
        Doc d = Parse(xml);
        TXMLElement* a = d.doc->getDocumentElement();
        EXPECT_EQ(a->getFirstTextNode()->getLength(), pad - 3);
        EXPECT_EQ(a->getFirstOfType(6)->getNodeName(), QStringLiteral("xmlish"));
        EXPECT_EQ(a->getFirstChildElement()->getAttribute(QStringLiteral("z")), QStringLiteral("1"));
    }
}

TEST(Tokens, ContentWithCharactersBeyondAscii)
{
    TXMLParser parser;
    Doc d =
        Parse(parser, QByteArray("\xEF\xBB\xBF<r n\xC3\xA9=\"\xE2\x82\xAC\"><\xC3\xA9l>caf\xC3\xA9</\xC3\xA9l></r>"));
    TXMLElement* r = d.doc->getDocumentElement();
    EXPECT_EQ(r->getAttribute(QString::fromUtf8("n\u00e9")), QString::fromUtf8("\u20ac"));
    EXPECT_EQ(r->getFirstChildElement()->getTagName(), QString::fromUtf8("\u00e9l"));
    EXPECT_EQ(r->getFirstChildElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("caf\u00e9"));
}

TEST(Tokens, CharactersAboveFFFFInEveryPlaceOfADocumentAndBack)
{
    // A service answer with characters of four UTF-8 bytes: at the start
    // and inside text, in attribute values, comments, CDATA, instructions.
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
    const QString cjk = QString::fromUtf8("\xF0\xA0\x80\x8B"); // U+2000B
    const QByteArray answer = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                             "<vxp><prop.data rem=\"%1 view\"><rem>%1 quiet %2</rem>"
                                             "<owner>%3</owner><!-- %1 --><![CDATA[%2]]><?pi %3?></prop.data></vxp>")
                                  .arg(grin, clef, cjk)
                                  .toUtf8();
    TXMLParser parser;
    Doc d = Parse(parser, answer);
    ASSERT_TRUE(d.doc);
    TXMLElement* data = d.doc->getDocumentElement()->getFirstChildElement();
    ASSERT_TRUE(data);
    EXPECT_EQ(data->getAttribute(QStringLiteral("rem")), grin + QStringLiteral(" view"));
    TXMLElement* rem = data->getFirstChildElement();
    EXPECT_EQ(rem->getFirstTextNode()->getNodeValue(), grin + QStringLiteral(" quiet ") + clef);
    EXPECT_EQ(rem->getNextSiblingElement()->getFirstTextNode()->getNodeValue(), cjk);
    EXPECT_EQ(data->getFirstOfType(nt::Comment)->getNodeValue(), QStringLiteral(" ") + grin + QStringLiteral(" "));
    EXPECT_EQ(data->getFirstOfType(nt::CData)->getNodeValue(), clef);
    EXPECT_EQ(static_cast<TXMLPI*>(data->getFirstOfType(nt::ProcessingInstruction))->getData(), cjk);
    // Written back, each is its four bytes: what was read comes back.
    const QByteArray written = d.doc->SaveToBytes();
    EXPECT_TRUE(written.contains("\xF0\x9F\x98\x80 quiet \xF0\x9D\x84\x9E"));
    EXPECT_FALSE(written.contains("\xED"));
    EXPECT_EQ(written, QString::fromUtf8(written).toUtf8()); // well-formed UTF-8
    EXPECT_EQ(Text(*Parse(parser, written).doc), Text(*d.doc));

    // A file of an older version with each half as three bytes loads the
    // same text.
    Doc old = Parse(parser,
                    QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                               "<r>\xED\xA0\xBD\xED\xB8\x80 x</r>"));
    EXPECT_EQ(old.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), grin + QStringLiteral(" x"));
}
