// Parse errors with their exact texts and lines, the clearing of the
// document, and the exceptions passed on.

#include "ParserTestSupport.h"

#include "protocol/xml/TXMLElement.h"

#include <gtest/gtest.h>

using namespace parsertest;

namespace {

struct ErrorCase {
    const char* xml;
    const char* message;
    int line;
};

void ExpectErrors(const std::vector<ErrorCase>& cases, bool standard = false)
{
    for (const ErrorCase& c : cases) {
        TXMLParser parser;
        parser.StandardXML = standard;
        const Failure f = ParseFailure(parser, QByteArray(c.xml));
        EXPECT_TRUE(f.raised) << c.xml;
        EXPECT_FALSE(f.dom) << c.xml;
        EXPECT_EQ(f.message, QString::fromUtf8(c.message)) << c.xml;
        EXPECT_EQ(f.line, c.line) << c.xml;
    }
}

} // namespace

TEST(ParseErrors, Prolog)
{
    ExpectErrors({
        {"", "Unexpected end of file.", 1},
        {"  \n \n ", "Unexpected end of file.", 3},
        {"<?xml encoding=\"UTF-8\"?><a/>", "XML declaration: version declaration required", 1},
        {"<?xml version=\" \"?><a/>", "Version declaration: version number required", 1},
        {"<?xml version=\"1.1\"?><a/>", "Version declaration: version \"1.1\" is not supported.", 1},
        {"<?xml version=\"1.0\" encoding=\"Latin-1\"?><a/>",
         "Encoding 'Latin-1' is not supported in this version of XMLParser.", 1},
        {"<?xml version=\"1.0\" encoding=\"UTF8\"?><a/>",
         "Encoding 'UTF8' is not supported in this version of XMLParser.", 1},
        {"<?xml version=\"1.0\" x=?><a/>", "Attribute value required or incorrect", 1},
        {"<?xml version=\"1.0\"?><?xml version=\"1.0\"?><a/>", "Illegal occurence of \"<?xml\"", 1},
        {"<!-x><a/>", "Wrong declaration (comment?): \"<!-\".", 1},
        {"<!FOOBARBAZ><a/>", "Wrong declaration: \"<!\".", 1},
        {"<!DOCTYPE a FOO><a/>", "Illegal occurence of \"FOO\".", 1},
    });
}

TEST(ParseErrors, StandardXmlDeclaration)
{
    // Any order is accepted by default; strictly, encoding comes first.
    EXPECT_NO_THROW(Parse(QByteArray("<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?><a/>")));
    ExpectErrors(
        {
            {"<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?><a/>", "Illegal occurence of \"encoding\"",
             1},
            {"<?xml version=\"1.0\" standalone=\"maybe\"?><a/>", "Standalone declaration: incorrect attribute value",
             1},
            {"<?xml version=\"1.0\" other=\"1\"?><a/>", "Illegal occurence of \"other\"", 1},
            {"<a></>", "Illegal occurence of \">\"", 1},
        },
        true);
    TXMLParser strict;
    strict.StandardXML = true;
    EXPECT_NO_THROW(Parse(strict, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"NO\"?><a/>")));
}

TEST(ParseErrors, Elements)
{
    ExpectErrors({
        {"<a><b></c></a>", "Start-tag name \"b\" does not match end-tag name \"c\"", 1},
        {"<a>\n</A>", "Start-tag name \"a\" does not match end-tag name \"A\"", 2},
        {"<a b></a>", "Illegal occurence of \">\"", 1},
        {"<a b=></a>", "Attribute value required or incorrect", 1},
        {"<a b=\"1\" =\"2\"></a>", "Illegal occurence of \"=\"", 1},
        {"<a/ >", "Illegal occurence of : \"/\".", 1},
        {"<a>text", "Unexpected end of file.", 1},
        {"<a>\n<b>", "Unexpected end of file.", 2},
        {"<a b=\"x", "Unexpected end of file.", 1},
        {"<a b='x\n\n", "Unexpected end of file.", 1},
        {"<a><!-- x -- y --></a>", "Comment contains wrong entry \"--\"", 1},
        {"<a><!-- x", "Comment does not have a matching end-tag.", 1},
        {"<a><![CDATA[x]]", "CDSection does not have a matching end-tag.", 1},
        {"<a><?pi x", "PI does not have a matching end-tag.", 1},
        {"<a>x]]y</a", "Unexpected end of file.", 1},
        {"<a>\n\n&amp</a>", "Illegal character in the text value '&&'.", 3},
        {"<a b=\"&x\"/>", "Illegal character in the attribute value '&&'.", 1},
        {"<a\nb=\"<\"/>", "Illegal character in the attribute value '<'.", 2},
    });
}

TEST(ParseErrors, Declarations)
{
    ExpectErrors({
        {"<!DOCTYPE a [<!ELEMENT a #FOO>]><a/>", "Unsupported keyword: \"#FOO>]\".", 1},
        {"<!DOCTYPE a [<!ELEMENT a (#X)>]><a/>", "Wrong declaration: \"#\".", 1},
        {"<!DOCTYPE a [<!ATTLIST a b FOO #IMPLIED>]><a/>", "Unknown attribute type: \"FOO\".", 1},
        {"<!DOCTYPE a [<!ATTLIST a b CDATA>]><a/>", "Attribute defaults required or incorrect.", 1},
        {"<!DOCTYPE a [<!ENTITY e \"a&b\">]><a/>", "Illegal character in the the entity value '&&' or '%'.", 1},
        {"<!DOCTYPE a [<!ENTITY e \"a&\">]><a/>", "Illegal character in the entity value '&&' or '%'.", 1},
        {"<!DOCTYPE a [<!ENTITY % e \"x\"><!ENTITY f \"%e\">]><a/>",
         "Illegal character in the the entity value '&&' or '%'.", 1},
        {"<!DOCTYPE a [\n%x;]><a/>", "Can't retrieve parameter entity value. Entity \"x\" is not declared.", 2},
        {"<!DOCTYPE a [<!ELEMENT a FOO>]><a/>", "Illegal occurence of \"FOO\".", 1},
        {"<!DOCTYPE a [<!ELEMENT a (b,c|d)>]><a/>", "Illegal occurence of \"|\".", 1},
        {"<!DOCTYPE a [<!ELEMENT a (b|c,d)>]><a/>", "Illegal occurence of \",\".", 1},
        {"<!DOCTYPE a [<!ENTITY e SYSTEM>]><a/>", "Illegal occurence of \">\"", 1},
        {"<!DOCTYPE a [<!ENTITY e FOO \"x\">]><a/>", "Illegal occurence of \"FOO\".", 1},
        {"<!DOCTYPE a [<!ENTITY u SYSTEM \"u\" NDATA n>]><a>&u;</a>",
         "Reference to an unparsed entity is not allowed in the character data.", 1},
        {"<!DOCTYPE a [<!ENTITY u SYSTEM \"u\" NDATA n>]><a x=\"&u;\"/>",
         "Reference to an unparsed entity is not allowed in the attribute value.", 1},
        {"<!DOCTYPE a [<!ENTITY x SYSTEM \"x.txt\">]><a x=\"&x;\"/>",
         "Reference to an external entity is not allowed in the attribute value.", 1},
        {"<!DOCTYPE a [<!ENTITY u SYSTEM \"u\" NDATA n><!ENTITY e \"&u;\">]><a/>",
         "Reference to an unparsed entity is not allowed in the entity value.", 1},
        {"<!DOCTYPE a [<!ELEMENT a EMPTY>]\n><a>", "Unexpected end of file.", 2},
    });
}

TEST(ParseErrors, DuplicateNameInMixedContentIsADomError)
{
    const Failure f = ParseFailure(QByteArray("<!DOCTYPE a [<!ELEMENT a (#PCDATA|b|b)*>]><a/>"));
    EXPECT_TRUE(f.dom);
    EXPECT_EQ(f.domCode, 14);
    EXPECT_EQ(f.message, QStringLiteral("XML-DOM []: Duplicate typesdeclaration is not allowed in mixed content."));
}

TEST(ParseErrors, TheDocumentIsClearedAndTheErrorCarriesLineAndSource)
{
    TXMLParser parser;
    QByteArray ok("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a x=\"1\"><b/></a>");
    QBuffer good(&ok);
    good.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    parser.LoadFromStream(&good, doc);
    std::unique_ptr<TXMLDocument> holder(doc);
    ASSERT_NE(doc->getDocumentElement(), nullptr);

    QByteArray bad("<a>\n<b>\n</c></a>");
    QBuffer broken(&bad);
    broken.open(QIODevice::ReadOnly);
    try {
        parser.LoadFromStream(&broken, doc);
        FAIL() << "no error";
    } catch (const EXMLParserError& e) {
        EXPECT_EQ(e.Line, 3);
        EXPECT_EQ(e.Position, 0);
        EXPECT_TRUE(e.Source.isEmpty());
    }
    // The same document object, emptied: version only, no root.
    EXPECT_EQ(doc->getDocumentElement(), nullptr);
    EXPECT_EQ(doc->getChildNodes().count(), 1);
    EXPECT_EQ(doc->getVersion(), QStringLiteral("1.0"));

    // The parser is reusable after a failure.
    QBuffer again(&ok);
    again.open(QIODevice::ReadOnly);
    EXPECT_TRUE(parser.LoadFromStream(&again, doc));
    EXPECT_EQ(doc->getDocumentElement()->getTagName(), QStringLiteral("a"));
}

TEST(ParseErrors, WhatIsNotReadIsNotChecked)
{
    // After the root and its trailing comments and instructions nothing is
    // read: a second element or broken markup there raise nothing.
    Doc d = Parse(QByteArray("<a/><!-- c --><?p q?><b><<<"));
    EXPECT_EQ(d.doc->getDocumentElement()->getTagName(), QStringLiteral("a"));
    EXPECT_NE(d.doc->getFirstOfType(5), nullptr);
    EXPECT_NE(d.doc->getFirstOfType(6), nullptr);
    // Without a strict mode, "</>" closes the open element.
    Doc loose = Parse(QByteArray("<a><b>x</></a>"));
    EXPECT_EQ(loose.doc->getDocumentElement()->getFirstChildElement()->getTagName(), QStringLiteral("b"));
}
