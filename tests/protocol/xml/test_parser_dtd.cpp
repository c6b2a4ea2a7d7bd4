// Declarations read from the internal subset and written back, entity
// values, and the results of validation.

#include "ParserTestSupport.h"

#include "protocol/xml/TAttDef.h"
#include "protocol/xml/TAttListDecl.h"
#include "protocol/xml/TContentModel.h"
#include "protocol/xml/TContentModelAnalyzer.h"
#include "protocol/xml/TElementDecl.h"
#include "protocol/xml/TEnumeration.h"
#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TNotation.h"
#include "protocol/xml/TPEntityDecl.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/XmlEntities_p.h"

#include <gtest/gtest.h>

using namespace parsertest;

namespace {

QByteArray WithDtd(const char* subset, const char* body)
{
    return QByteArray("<?xml version=\"1.0\"?><!DOCTYPE r [") + subset + "]>" + body;
}

QString Written(const TXMLNode* node)
{
    TXMLOutput out;
    node->WriteTo(out, 0);
    return out.Take();
}

TGEntityDecl* General(TXMLDocument& doc, const char* name)
{
    return xmlentities::FindGeneralEntity(doc.getDocType(), QString::fromLatin1(name));
}

QStringList Validate(const char* subset, const char* body)
{
    TXMLParser parser;
    parser.ValidateDocument = true;
    Doc d = Parse(parser, WithDtd(subset, body));
    const QStringList messages = parser.Errors().Messages();
    EXPECT_EQ(d.result, messages.isEmpty());
    return messages;
}

} // namespace

TEST(DtdDeclarations, ElementDeclarationsAndTheirModels)
{
    Doc d = Parse(WithDtd("<!ELEMENT r (a,b)><!ELEMENT a (#PCDATA|x|y)*><!ELEMENT b empty><!ELEMENT x Any>"
                          "<!ELEMENT y (#PCDATA)><!ELEMENT z ((a|b)+,(x?,y*)?)*>",
                          "<r/>"));
    TDocumentType* dt = d.doc->getDocType();
    auto decl = [&](const char* n) { return dt->getElementDecl(QString::fromLatin1(n)); };
    EXPECT_EQ(Written(decl("r")), QStringLiteral("<!ELEMENT r (a,b)>\r\n"));
    EXPECT_EQ(Written(decl("a")), QStringLiteral("<!ELEMENT a (#PCDATA |x|y)*>\r\n"));
    EXPECT_EQ(Written(decl("b")), QStringLiteral("<!ELEMENT b  EMPTY>\r\n"));
    EXPECT_EQ(Written(decl("x")), QStringLiteral("<!ELEMENT x  ANY>\r\n"));
    EXPECT_EQ(Written(decl("y")), QStringLiteral("<!ELEMENT y (#PCDATA )>\r\n"));
    // Each group writes its own sign once, so the text reads back.
    EXPECT_EQ(Written(decl("z")), QStringLiteral("<!ELEMENT z ((a|b)+,(x?,y*)?)*>\r\n"));
    auto* z = static_cast<TElementDecl*>(decl("z"));
    EXPECT_EQ(z->ContentModel()->Kind, ckChildren);
    EXPECT_EQ(z->ContentModel()->Occurrence, ocZeroOrMore);
    EXPECT_EQ(z->ContentModel()->Children().count(), 2);

    // Written and read again, the declarations stay the same.
    const QByteArray written = d.doc->SaveToBytes();
    Doc again = Parse(written);
    EXPECT_EQ(again.doc->SaveToBytes(), written);
}

TEST(DtdDeclarations, AttributeLists)
{
    Doc d = Parse(WithDtd("<!ATTLIST r a CDATA #IMPLIED b ID #REQUIRED>"
                          "<!ATTLIST r a NMTOKEN 'x' c (one|2|three) \"one\" d NOTATION (gif|jpg) #FIXED 'gif'>"
                          "<!ATTLIST r e idrefs #implied f Entities #IMPLIED g NmTokens #IMPLIED h IDREF #IMPLIED>",
                          "<r/>"));
    TDocumentType* dt = d.doc->getDocType();
    // One list per element; the first definition of a name counts.
    int lists = 0;
    for (TXMLNode* n = dt->getDeclarations().first(); n; n = n->nextSibling())
        if (n->getNodeType() == 18) ++lists;
    EXPECT_EQ(lists, 1);
    auto* list = static_cast<TAttListDecl*>(dt->getAttList(QStringLiteral("r")));
    EXPECT_EQ(list->Definition(QStringLiteral("a"))->AttType, atCDATA);
    EXPECT_EQ(list->Definition(QStringLiteral("b"))->DefaultKind, dkRequired);
    TAttDef* c = list->Definition(QStringLiteral("c"));
    EXPECT_EQ(c->AttType, atEnumeration);
    EXPECT_EQ(c->DefaultKind, dkValue);
    EXPECT_TRUE(c->Enumeration()->Contains(QStringLiteral("2")));
    TAttDef* dd = list->Definition(QStringLiteral("d"));
    EXPECT_EQ(dd->AttType, atNOTATION);
    EXPECT_EQ(dd->DefaultKind, dkFixed);
    EXPECT_EQ(dd->DefaultValue, QStringLiteral("gif"));
    EXPECT_EQ(list->Definition(QStringLiteral("e"))->AttType, atIDREFS);
    EXPECT_EQ(list->Definition(QStringLiteral("f"))->AttType, atENTITIES);
    EXPECT_EQ(list->Definition(QStringLiteral("g"))->AttType, atNMTOKENS);
    EXPECT_EQ(Written(list).left(70).toStdString(),
              std::string("<!ATTLIST r\r\n          a CDATA #IMPLIED\r\n          b ID #REQUIRED\r\n   "));
    EXPECT_TRUE(Written(list).contains(QStringLiteral("c (one|2|three) \"one\"")));
    EXPECT_TRUE(Written(list).contains(QStringLiteral("d NOTATION (gif|jpg) #FIXED \"gif\"")));
}

TEST(DtdDeclarations, EntitiesAndTheirValues)
{
    Doc d = Parse(WithDtd("<!ENTITY a \"one\r\ntwo\ttab  x\">"
                          "<!ENTITY a \"second\">"
                          "<!ENTITY b \"&a; &#65;&#x42; &lt;\">"
                          "<!ENTITY % p \"pe &#67;\">"
                          "<!ENTITY c \"[%p;]\">"
                          "<!ENTITY % a \"parameter a\">",
                          "<r/>"));
    // CR LF gives one space; the first declaration counts.
    EXPECT_EQ(General(*d.doc, "a")->getNodeValue(), QStringLiteral("one two tab x"));
    // General references stay as written, character references resolve.
    EXPECT_EQ(General(*d.doc, "b")->getNodeValue(), QStringLiteral("&a; AB &lt;"));
    // Parameter references are included.
    EXPECT_EQ(General(*d.doc, "c")->getNodeValue(), QStringLiteral("[pe C]"));
    // General and parameter entities of one name live side by side.
    TPEntityDecl* pa = xmlentities::FindParameterEntity(d.doc->getDocType(), QStringLiteral("a"));
    ASSERT_NE(pa, nullptr);
    EXPECT_EQ(pa->getNodeValue(), QStringLiteral("parameter a"));
    EXPECT_EQ(Written(General(*d.doc, "b")), QStringLiteral("<!ENTITY b \"&a; AB &lt;\">\r\n"));
    EXPECT_EQ(Written(pa), QStringLiteral("<!ENTITY % a \"parameter a\">\r\n"));
}

TEST(DtdDeclarations, EntityValuesReadBackTheSameAfterASave)
{
    // Values whose characters came from references that the value itself
    // would not give back: an "&" or a "%" from a character reference, a
    // double quote, a line feed; and a plain value beside them.
    const char* subset = "<!ENTITY amp2 \"&#38;#60;\">"
                         "<!ENTITY quote '&#34;one&#34; \"two\"'>"
                         "<!ENTITY pct \"50&#37; off\">"
                         "<!ENTITY lf \"a&#10;b&#32; c\">"
                         "<!ENTITY ref \"&#38;amp2;\">"
                         "<!ENTITY plain \"one &amp; two\">";
    Doc d = Parse(WithDtd(subset, "<r>&amp2;</r>"));
    const char* names[] = {"amp2", "quote", "pct", "lf", "ref", "plain"};
    QStringList values;
    for (const char* n : names) values << General(*d.doc, n)->getNodeValue();
    EXPECT_EQ(values[0], QStringLiteral("&#60;"));
    EXPECT_EQ(values[1], QStringLiteral("\"one\" \"two\""));
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("<"));
    // A value that reads back as it stands is written as it stands.
    EXPECT_EQ(Written(General(*d.doc, "plain")), QStringLiteral("<!ENTITY plain \"one &amp; two\">\r\n"));

    const QByteArray once = d.doc->SaveToBytes();
    Doc back = Parse(once);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(General(*back.doc, names[i])->getNodeValue(), values[i]) << names[i] << "\n" << once.constData();
    EXPECT_EQ(back.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("<"));
    EXPECT_EQ(back.doc->SaveToBytes(), once);

    // A value changed after its declaration was read is written as it is.
    General(*d.doc, "plain")->setNodeValue(QStringLiteral("three"));
    EXPECT_EQ(Written(General(*d.doc, "plain")), QStringLiteral("<!ENTITY plain \"three\">\r\n"));
}

TEST(DtdDeclarations, EntityReferencesInContent)
{
    Doc d = Parse(WithDtd("<!ENTITY who \"World\"><!ENTITY hi \"Hello &who;!\"><!ENTITY m \"<b>bold</b>\">",
                          "<r a=\"&hi;\">&hi; &m; end</r>"));
    TXMLElement* r = d.doc->getDocumentElement();
    // A general entity's text includes the entities it refers to.
    EXPECT_EQ(r->getAttribute(QStringLiteral("a")), QStringLiteral("Hello World!"));
    EXPECT_EQ(r->getFirstTextNode()->getNodeValue(), QStringLiteral("Hello World! "));
    TXMLElement* b = r->getFirstChildElement();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getTagName(), QStringLiteral("b"));
    EXPECT_EQ(b->getFirstTextNode()->getNodeValue(), QStringLiteral("bold"));
    EXPECT_EQ(r->getChildNodes().last()->getNodeValue(), QStringLiteral(" end"));

    // The predefined references of an entity's text resolve as well, and
    // inside markup they stay character data.
    Doc p =
        Parse(WithDtd("<!ENTITY t \"a &lt; b &amp; c\"><!ENTITY m \"<i>&lt;x&gt;</i>\">", "<r v=\"&t;\">&t;&m;</r>"));
    TXMLElement* pr = p.doc->getDocumentElement();
    EXPECT_EQ(pr->getAttribute(QStringLiteral("v")), QStringLiteral("a < b & c"));
    EXPECT_EQ(pr->getFirstTextNode()->getNodeValue(), QStringLiteral("a < b & c"));
    ASSERT_NE(pr->getFirstChildElement(), nullptr);
    EXPECT_EQ(pr->getFirstChildElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("<x>"));
}

TEST(DtdDeclarations, NotationsExternalIdsAndStandalone)
{
    Doc d = Parse(WithDtd("<!NOTATION gif PUBLIC \"-//GIF\"><!NOTATION jpg SYSTEM \"viewer\">"
                          "<!NOTATION png PUBLIC \"-//PNG\" \"png.exe\">"
                          "<!ENTITY pic SYSTEM \"pic.gif\" NDATA gif><!ENTITY ext PUBLIC \"-//X\" 'x.xml'>"
                          "<!-- a comment --><?dtd-pi data?>",
                          "<r/>"));
    TDocumentType* dt = d.doc->getDocType();
    auto* gif = static_cast<TNotation*>(dt->getNotation(QStringLiteral("gif")));
    EXPECT_EQ(gif->PublicId, QStringLiteral("-//GIF"));
    EXPECT_EQ(Written(gif), QStringLiteral("<!NOTATION gif\r\n          PUBLIC \"-//GIF\">\r\n"));
    EXPECT_EQ(Written(dt->getNotation(QStringLiteral("jpg"))),
              QStringLiteral("<!NOTATION jpg\r\n          SYSTEM \"viewer\">\r\n"));
    EXPECT_EQ(Written(dt->getNotation(QStringLiteral("png"))),
              QStringLiteral("<!NOTATION png\r\n          PUBLIC \"-//PNG\" \"png.exe\">\r\n"));
    TGEntityDecl* pic = General(*d.doc, "pic");
    EXPECT_TRUE(pic->IsUnparsed);
    EXPECT_FALSE(pic->IsInternal);
    EXPECT_EQ(pic->NotationName, QStringLiteral("gif"));
    EXPECT_EQ(Written(pic), QStringLiteral("<!ENTITY pic  SYSTEM \"pic.gif\"\r\n          NDATA gif>\r\n"));
    EXPECT_EQ(Written(General(*d.doc, "ext")), QStringLiteral("<!ENTITY ext  PUBLIC \"-//X\" \"x.xml\">\r\n"));
    // A system identifier in the DTD makes the document not standalone.
    EXPECT_FALSE(d.doc->getStandalone());
    EXPECT_EQ(d.doc->getAttributeNode(QStringLiteral("standalone"))->getValue(), QStringLiteral("no"));
    EXPECT_NE(dt->getDeclarations().getFirstOfType(5), nullptr);
    EXPECT_NE(dt->getDeclarations().getFirstOfType(6), nullptr);
}

TEST(DtdDeclarations, ParameterEntitiesInsideDeclarations)
{
    Doc d = Parse(WithDtd("<!ENTITY % kids \"(a|b)*\"><!ENTITY % name \"r\"><!ENTITY % type \"CDATA\">"
                          "<!ENTITY % decls \"<!ELEMENT a EMPTY><!ELEMENT b EMPTY>\">"
                          "<!ELEMENT %name; %kids;><!ATTLIST r x %type; #IMPLIED>%decls;<!ENTITY % empty \"\">%empty;",
                          "<r/>"));
    TDocumentType* dt = d.doc->getDocType();
    EXPECT_EQ(Written(dt->getElementDecl(QStringLiteral("r"))), QStringLiteral("<!ELEMENT r (a|b)*>\r\n"));
    EXPECT_NE(dt->getElementDecl(QStringLiteral("a")), nullptr);
    EXPECT_NE(dt->getElementDecl(QStringLiteral("b")), nullptr);
    EXPECT_EQ(static_cast<TAttListDecl*>(dt->getAttList(QStringLiteral("r")))->Definition(QStringLiteral("x"))->AttType,
              atCDATA);
}

TEST(ContentModels, MatchingReadsEveryWay)
{
    auto valid = [](const char* model, const char* children) {
        const QByteArray subset = QByteArray("<!ELEMENT r ") + model + ">";
        TXMLParser parser;
        parser.ValidateDocument = true;
        Doc d = Parse(parser, WithDtd(subset.constData(), children));
        for (const TError& e : parser.Errors())
            if (e.Message.contains(QStringLiteral("does not match its declaration"))) return false;
        return true;
    };
    EXPECT_TRUE(valid("(a,b)", "<r><a/><b/></r>"));
    EXPECT_FALSE(valid("(a,b)", "<r><a/></r>"));
    EXPECT_FALSE(valid("(a,b)", "<r><b/></r>"));
    EXPECT_FALSE(valid("(a,b)", "<r><a/><b/><a/></r>"));
    EXPECT_TRUE(valid("(a|b)*", "<r/>"));
    EXPECT_TRUE(valid("(a|b)*", "<r><b/><a/><a/><b/></r>"));
    // A failed alternative gives back what it consumed.
    EXPECT_TRUE(valid("((a,b)|(a,c))", "<r><a/><c/></r>"));
    EXPECT_TRUE(valid("((a,b)|(a,c))", "<r><a/><b/></r>"));
    EXPECT_FALSE(valid("((a,b)|(a,c))", "<r><a/><d/></r>"));
    EXPECT_TRUE(valid("(a*,a)", "<r><a/><a/><a/></r>"));
    EXPECT_TRUE(valid("((a|ab),c)", "<r><ab/><c/></r>"));
    EXPECT_TRUE(valid("(a+,b?)", "<r><a/><a/></r>"));
    EXPECT_FALSE(valid("(a+,b?)", "<r><b/></r>"));
    // A repetition whose pass consumes nothing ends.
    EXPECT_TRUE(valid("((a?)*)", "<r/>"));
    EXPECT_TRUE(valid("((a?,b?)*)", "<r><b/><a/></r>"));
    EXPECT_FALSE(valid("((a?,b?)*)", "<r><c/></r>"));
    EXPECT_TRUE(valid("((a?)+)", "<r/>"));
}

TEST(ContentModels, PathologicalModelsStayFast)
{
    // (a?,a?,...,a?,a,a,...,a) against a run of a's: an exponential search
    // for a backtracking matcher, a few steps here.
    QByteArray model = "(";
    for (int i = 0; i < 40; ++i) model += "a?,";
    for (int i = 0; i < 40; ++i) model += i ? ",a" : "a";
    model += ")";
    QByteArray body = "<r>";
    for (int i = 0; i < 40; ++i) body += "<a/>";
    body += "</r>";
    TXMLParser parser;
    parser.ValidateDocument = true;
    Doc d = Parse(parser,
                  WithDtd((QByteArray("<!ELEMENT r ") + model + "><!ELEMENT a EMPTY>").constData(), body.constData()));
    EXPECT_TRUE(d.result) << parser.Errors().Messages().join(u'\n').toStdString();
}

TEST(Validation, ContentChecks)
{
    EXPECT_EQ(Validate("<!ELEMENT r EMPTY>", "<r><!-- only a comment --></r>"), QStringList());
    EXPECT_EQ(Validate("<!ELEMENT r EMPTY>", "<r>x</r>"),
              QStringList{QStringLiteral("[Element \"r\"]: Element declared as EMPTY can not have a content.")});
    EXPECT_EQ(Validate("<!ELEMENT r (#PCDATA|a)*><!ELEMENT a ANY><!ELEMENT b ANY>", "<r>x<a/><?p?><b/></r>"),
              (QStringList{QStringLiteral("[Element \"r\"]: Element declared as MIXED has improper content."),
                           QStringLiteral("[Element \"b\"]: Element is not declared as a child of \"r\".")}));
    EXPECT_EQ(Validate("<!ELEMENT r (a)><!ELEMENT a ANY>", "<r>x<a/></r>"),
              QStringList{QStringLiteral("[Element \"r\"]: Element declared as CHILDREN has improper content.")});
    EXPECT_EQ(Validate("<!ELEMENT r (a)><!ELEMENT a ANY>", "<r><a/><a/></r>"),
              QStringList{QStringLiteral("[Element \"r\"]: Content of the element does not match its declaration.")});
    EXPECT_EQ(Validate("<!ELEMENT r ANY>", "<r><x y=\"1\"/></r>"),
              (QStringList{QStringLiteral("[Element \"x\"]: Element is not declared."),
                           QStringLiteral("[Element: \"x\" Attribute: \"y\"]: Attribute is not declared.")}));
}

TEST(Validation, AttributeChecks)
{
    const char* dtd = "<!ELEMENT r ANY><!ELEMENT e ANY><!NOTATION gif SYSTEM \"g\">"
                      "<!ENTITY pic SYSTEM \"p\" NDATA gif><!ENTITY txt \"t\">"
                      "<!ATTLIST e id ID #IMPLIED ref IDREF #IMPLIED refs IDREFS #IMPLIED ent ENTITY #IMPLIED "
                      "ents ENTITIES #IMPLIED tok NMTOKEN #IMPLIED toks NMTOKENS #IMPLIED "
                      "en (x|y) #IMPLIED fx CDATA #FIXED \"f\" req CDATA #REQUIRED nt NOTATION (gif|png) #IMPLIED>";
    EXPECT_EQ(Validate(dtd,
                       "<r><e id=\"a1\" req=\"1\"/><e ref=\"a1\" refs=\"a1  a1\" ent=\"pic\" ents=\"pic pic\" "
                       "tok=\"1.x\" toks=\"a b\" en=\"y\" fx=\"f\" req=\"\" nt=\"gif\"/></r>"),
              QStringList{QStringLiteral("[DTD]: Notation name \"png\" is not declared.")});
    const QStringList bad = Validate(dtd,
                                     "<r><e id=\"1a\" ref=\"zz\" refs=\"a,b\" ent=\"txt\" ents=\"\" tok=\"a b\" "
                                     "toks=\"a,b\" en=\"z\" fx=\"g\"/></r>");
    const QString p = QStringLiteral("[Element: \"e\" Attribute: \"%1\" Value: \"%2\"]: ");
    EXPECT_TRUE(bad.contains(p.arg("id", "1a") + QStringLiteral("Attribute's value doesn't match NAME production .")));
    EXPECT_TRUE(bad.contains(
        p.arg("ref", "zz") +
        QStringLiteral("The value of an IDREF Attribute matches the value of a nonexisting ID attribute.")));
    EXPECT_TRUE(
        bad.contains(p.arg("refs", "a,b") + QStringLiteral("Attribute value doesn't match NAMES production .")));
    EXPECT_TRUE(
        bad.contains(p.arg("ent", "txt") +
                     QStringLiteral("The value of an ENTITY Attribute matches a nonexisting unparsed entity.")));
    EXPECT_TRUE(bad.contains(p.arg("ents", "") + QStringLiteral("Attribute's value doesn't match NAMES production .")));
    EXPECT_TRUE(
        bad.contains(p.arg("tok", "a b") + QStringLiteral("Attribute's value doesn't match NMTOKEN production .")));
    EXPECT_TRUE(
        bad.contains(p.arg("toks", "a,b") + QStringLiteral("Attribute's value doesn't match TOKENS production .")));
    EXPECT_TRUE(bad.contains(p.arg("en", "z") + QStringLiteral("Improper value of an enumerated attribute.")));
    EXPECT_TRUE(
        bad.contains(p.arg("fx", "g") + QStringLiteral("Attribute's value doesn't match the default value \"f\".")));
    EXPECT_TRUE(bad.contains(
        QStringLiteral("[Element: \"e\" Attribute: \"req\"]: Element does not contain #REQUIRED attribute.")));
}

TEST(Validation, IdentifiersAppearingMoreThanOnce)
{
    // Three ID attributes with one value: the message twice for each.
    const QStringList errors = Validate("<!ELEMENT r ANY><!ELEMENT e EMPTY><!ATTLIST e i ID #IMPLIED>",
                                        "<r><e i=\"x\"/><e i=\"x\"/><e i=\"x\"/></r>");
    EXPECT_EQ(errors.size(), 6);
    for (const QString& e : errors)
        EXPECT_EQ(e,
                  QStringLiteral("[Element: \"e\" Attribute: \"i\" Value: \"x\"]: Attribute's value of type ID "
                                 "appears more than once."));
    EXPECT_EQ(Validate("<!ELEMENT r ANY><!ATTLIST r a ID #IMPLIED b ID #IMPLIED c ID 'd'>", "<r a=\"x\" b=\"y\"/>"),
              (QStringList{QStringLiteral("[Element: \"r\"]: Element has more than one attribute of type ID.")}));
    EXPECT_EQ(Validate("<!ELEMENT r ANY><!ATTLIST r c ID 'd'>", "<r c=\"d\"/>"),
              (QStringList{QStringLiteral("[Element: \"r\" Attribute: \"c\"]: An ID attribute must have a declared "
                                          "default of #IMPLIED or #REQUIRED.")}));
}

TEST(Validation, DocumentTypeChecks)
{
    EXPECT_EQ(Validate("<!ELEMENT q ANY>", "<q/>"),
              (QStringList{QStringLiteral(
                  "[DTD]: Root name \"r\" in declaration does not match root name \"q\" in document.")}));
    EXPECT_EQ(Validate("<!ELEMENT r ANY><!ELEMENT r EMPTY><!ELEMENT r ANY>", "<r/>"),
              (QStringList{QStringLiteral("[DTD]: Element \"r\" is declared more than once."),
                           QStringLiteral("[DTD]: Element \"r\" is declared more than once."),
                           QStringLiteral("[DTD]: Element \"r\" is declared more than once.")}));
    EXPECT_EQ(Validate("<!ELEMENT r ANY><!ENTITY pic SYSTEM \"p\" NDATA gif>", "<r/>"),
              (QStringList{
                  QStringLiteral("[Unparsed entity declaration: \"pic\"]: Notation name \"gif\" is not declared.")}));
}

TEST(Validation, DocumentLevelChecksAndNeverRaising)
{
    TXMLParser parser;
    TXMLDocument* none = nullptr;
    EXPECT_FALSE(parser.Validate(none));
    EXPECT_EQ(parser.Errors().Messages(), QStringList{QStringLiteral("[XML]: The document is empty.")});

    Doc noDtd = Parse(parser, QByteArray("<r/>"));
    TXMLDocument* doc = noDtd.doc.get();
    EXPECT_FALSE(parser.Validate(doc));
    EXPECT_EQ(parser.Errors().Messages(), QStringList{QStringLiteral("[XML]: Document type declaration not found.")});
    EXPECT_EQ(parser.Errors()[0].Node, doc);

    Doc withDtd = Parse(parser, WithDtd("<!ELEMENT r ANY><!ENTITY e SYSTEM \"e.txt\">", "<r/>"));
    doc = withDtd.doc.get();
    EXPECT_TRUE(parser.Validate(doc));
    doc->setStandalone(true);
    EXPECT_FALSE(parser.Validate(doc));
    EXPECT_EQ(parser.Errors().Messages(), QStringList{QStringLiteral("[XML]: Wrong document standalone declaration.")});
    doc->getAttributeNode(QStringLiteral("version"))->setNodeValue(QStringLiteral("2.0"));
    EXPECT_FALSE(parser.Validate(doc));
    EXPECT_EQ(parser.Errors().Messages(), QStringList{QStringLiteral("[XML]: Unsupported version number \"2.0\".")});
    doc->getAttributeNode(QStringLiteral("version"))->setNodeValue(QStringLiteral(" "));
    EXPECT_FALSE(parser.Validate(doc));
    EXPECT_EQ(parser.Errors().Messages(),
              QStringList{QStringLiteral("[XML]: The document does not have a proper version declaration.")});

    // The validation result is the parse result; errors are kept until the
    // next validation.
    parser.ValidateDocument = true;
    Doc invalid = Parse(parser, WithDtd("<!ELEMENT r EMPTY>", "<r><x/></r>"));
    EXPECT_FALSE(invalid.result);
    EXPECT_EQ(parser.Errors().Count(), 2);
    Doc valid = Parse(parser, WithDtd("<!ELEMENT r EMPTY>", "<r/>"));
    EXPECT_TRUE(valid.result);
    EXPECT_EQ(parser.Errors().Count(), 0);
}
