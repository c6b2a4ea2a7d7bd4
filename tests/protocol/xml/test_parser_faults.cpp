// Hostile input: each must fail cleanly, in bounded time and memory, or be
// read soundly. Recursive and exploding entities, external files, deep
// nesting, character references, entities holding markup, encodings inside
// entities, and the list of unconvertible characters around nested parses.

#include "ParserTestSupport.h"

#include "platform/dialogs/Dialogs.h"
#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/XMLEncoding.h"
#include "protocol/xml/XmlEntities_p.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace parsertest;

namespace {

QByteArray WithDtd(const QByteArray& subset, const QByteArray& body) { return "<!DOCTYPE r [" + subset + "]>" + body; }

QString Message(const QByteArray& xml) { return ParseFailure(xml).message; }

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A parser allowed to read files below dir, recording the files not found.
struct ExternalParser {
    explicit ExternalParser(const QString& dir, bool allow = true)
    {
        parser.AllowExternalFiles = allow;
        parser.ExternalBaseDir = dir;
        parser.OnFileNotFound = [this](TXMLNode* sender, const QString& name) {
            missing << name;
            senders.push_back(sender);
        };
    }
    TXMLParser parser;
    QStringList missing;
    std::vector<TXMLNode*> senders;
};

} // namespace

TEST(HostileEntities, RecursionIsReportedNotFollowed)
{
    const QString recursive = QStringLiteral("Recursive reference to entity \"a\".");
    // General entities, directly and through another, in text and values.
    EXPECT_EQ(Message(WithDtd("<!ENTITY a \"x&a;\">", "<r>&a;</r>")), recursive);
    EXPECT_EQ(Message(WithDtd("<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">", "<r>\n&a;</r>")), recursive);
    EXPECT_EQ(Message(WithDtd("<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">", "<r v=\"&a;\"/>")), recursive);
    EXPECT_EQ(Message(WithDtd("<!ENTITY a \"<x>&a;</x>\">", "<r>&a;</r>")), recursive);
    // Parameter entities made to refer to each other through character
    // references.
    EXPECT_EQ(Message(WithDtd("<!ENTITY % a \"&#37;b;\"><!ENTITY % b \"&#37;a;\">%a;", "<r/>")), recursive);
    // The line is that of the reference.
    EXPECT_EQ(ParseFailure(WithDtd("<!ENTITY a \"&a;\">", "<r>\n\n&a;</r>")).line, 3);
}

TEST(HostileEntities, NestingDepthIsBounded)
{
    QByteArray subset;
    for (int i = 0; i < 60; ++i)
        subset += "<!ENTITY e" + QByteArray::number(i) + " \"&e" + QByteArray::number(i + 1) + ";\">";
    subset += "<!ENTITY e60 \"end\">";
    EXPECT_EQ(Message(WithDtd(subset, "<r>&e0;</r>")), QStringLiteral("Entity expansion limit exceeded."));
    // A chain well inside the bound resolves.
    Doc d = Parse(WithDtd(subset, "<r>&e50;</r>"));
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("end"));
}

TEST(HostileEntities, ExpansionBombsStopAtTheBudget)
{
    const QString limit = QStringLiteral("Entity expansion limit exceeded.");
    // Billion laughs with general entities, in text and in an attribute.
    QByteArray laughs = "<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        laughs += "<!ENTITY l" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k) laughs += "&l" + QByteArray::number(i - 1) + ";";
        laughs += "\">";
    }
    EXPECT_EQ(Message(WithDtd(laughs, "<r>&l9;</r>")), limit);
    EXPECT_EQ(Message(WithDtd(laughs, "<r a=\"&l9;\"/>")), limit);
    // The same with markup, so that each level is a nested parse.
    QByteArray marked = "<!ENTITY m0 \"<x>lol</x>\">";
    for (int i = 1; i < 10; ++i) {
        marked += "<!ENTITY m" + QByteArray::number(i) + " \"<y>";
        for (int k = 0; k < 10; ++k) marked += "&m" + QByteArray::number(i - 1) + ";";
        marked += "</y>\">";
    }
    EXPECT_EQ(Message(WithDtd(marked, "<r>&m9;</r>")), limit);
    // Parameter entities stored expanded: the blow-up happens in the DTD.
    QByteArray pe = "<!ENTITY % p0 \"lollollollollol\">";
    for (int i = 1; i < 12; ++i) {
        pe += "<!ENTITY % p" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k) pe += "%p" + QByteArray::number(i - 1) + ";";
        pe += "\">";
    }
    EXPECT_EQ(Message(WithDtd(pe, "<r/>")), limit);
    // Quadratic: one large value referred to many times.
    QByteArray big = "<!ENTITY big \"" + QByteArray(60000, 'x') + "\">";
    QByteArray body = "<r>";
    for (int i = 0; i < 400; ++i) body += "<e a=\"&big;\"/>";
    body += "</r>";
    EXPECT_EQ(Message(WithDtd(big, body)), limit);
    // Many expansions producing nothing.
    QByteArray empty = "<!ENTITY z \"\"><!ENTITY t \"" + QByteArray().fill('\0', 0);
    for (int i = 0; i < 1000; ++i) empty += "&z;";
    empty += "\">";
    QByteArray many = "<r>";
    for (int i = 0; i < 200; ++i) many += "&t;";
    many += "</r>";
    EXPECT_EQ(Message(WithDtd(empty, many)), limit);
}

TEST(HostileEntities, OrdinaryUseStaysWithinTheBudget)
{
    QByteArray subset = "<!ENTITY co \"Ostrel &amp; Sons, " + QByteArray(1000, 'x') + "\">";
    QByteArray body = "<r>";
    for (int i = 0; i < 500; ++i) body += "<e n=\"&co;\">&co;</e>";
    body += "</r>";
    Doc d = Parse(WithDtd(subset, body));
    TXMLElement* e = d.doc->getDocumentElement()->getFirstChildElement();
    EXPECT_EQ(e->getAttribute(QStringLiteral("n")), QStringLiteral("Ostrel & Sons, ") + QString(1000, u'x'));
    EXPECT_EQ(e->getFirstTextNode()->getNodeValue(), e->getAttribute(QStringLiteral("n")));
}

TEST(HostileNesting, ElementsAndContentModels)
{
    auto nested = [](int depth) {
        QByteArray xml;
        for (int i = 0; i < depth; ++i) xml += "<a>";
        for (int i = 0; i < depth; ++i) xml += "</a>";
        return xml;
    };
    EXPECT_NO_THROW(Parse(nested(1000)));
    EXPECT_EQ(Message(nested(1001)), QStringLiteral("Element nesting is too deep."));
    EXPECT_EQ(Message(nested(100000)), QStringLiteral("Element nesting is too deep."));

    auto model = [](int depth) {
        QByteArray m;
        for (int i = 0; i < depth; ++i) m += "(";
        m += "a";
        for (int i = 0; i < depth; ++i) m += ")";
        return WithDtd("<!ELEMENT r " + m + ">", "<r/>");
    };
    EXPECT_NO_THROW(Parse(model(256)));
    EXPECT_EQ(Message(model(257)), QStringLiteral("Content model nesting is too deep."));
    EXPECT_EQ(Message(model(50000)), QStringLiteral("Content model nesting is too deep."));

    // Depth reached through an entity's content counts too.
    QByteArray deep;
    for (int i = 0; i < 999; ++i) deep += "<a>";
    const QByteArray entity = "<!ENTITY in \"<b><c/></b>\">";
    QByteArray body = deep + "&in;";
    for (int i = 0; i < 999; ++i) body += "</a>";
    EXPECT_EQ(Message(WithDtd(entity, "<r>" + body + "</r>")), QStringLiteral("Element nesting is too deep."));
}

TEST(HostileExternalFiles, RefusedUnlessAllowed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(QStringLiteral("r.dtd")), "<!ELEMENT r EMPTY>");
    WriteFile(dir.filePath(QStringLiteral("e.txt")), "external");
    const QByteArray xml = "<!DOCTYPE r SYSTEM \"r.dtd\" [<!ENTITY e SYSTEM \"e.txt\"><!NOTATION n SYSTEM \"r.dtd\">]>"
                           "<r>&e;</r>";
    // Not allowed: the files count as not found; nothing is read.
    ExternalParser off(dir.path(), false);
    Doc d = Parse(off.parser, xml);
    EXPECT_EQ(off.missing, (QStringList{QStringLiteral("r.dtd"), QStringLiteral("e.txt")}));
    EXPECT_EQ(off.senders.front(), d.doc->getDocType());
    EXPECT_EQ(d.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr);
    EXPECT_FALSE(d.doc->getDocumentElement()->hasTextNode());

    // Allowed: both read from the base folder; the notation loads nothing.
    ExternalParser on(dir.path());
    Doc e = Parse(on.parser, xml);
    EXPECT_TRUE(on.missing.isEmpty());
    EXPECT_NE(e.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr);
    EXPECT_EQ(e.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("external"));
}

TEST(HostileExternalFiles, OnlyRegularFilesBelowTheBase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.filePath(QStringLiteral("base"));
    ASSERT_TRUE(QDir().mkpath(base + QStringLiteral("/sub")));
    WriteFile(dir.filePath(QStringLiteral("outside.dtd")), "<!ELEMENT r EMPTY>");
    WriteFile(base + QStringLiteral("/sub/inside.dtd"), "<!ELEMENT r EMPTY>");
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("outside.dtd")), base + QStringLiteral("/link.dtd")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(base + QStringLiteral("/fifo.dtd")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(base + QStringLiteral("/folder.dtd")));
    {
        QFile huge(base + QStringLiteral("/huge.dtd"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(xmlentities::MaxExternalFileSize + 1));
    }
    const QString absolute = base + QStringLiteral("/sub/inside.dtd");
    const char* refused[] = {
        "../outside.dtd", "sub/../../outside.dtd", "link.dtd", "fifo.dtd",   "folder.dtd", "huge.dtd",
        "C:inside.dtd",   "file:sub/inside.dtd",   "",         "missing.dtd"};
    for (const char* name : refused) {
        ExternalParser p(base);
        Doc d = Parse(p.parser, "<!DOCTYPE r SYSTEM \"" + QByteArray(name) + "\"><r/>");
        EXPECT_EQ(d.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr) << name;
        EXPECT_EQ(p.missing.size(), 1) << name;
    }
    {
        ExternalParser p(base);
        Doc d = Parse(p.parser, "<!DOCTYPE r SYSTEM \"" + absolute.toUtf8() + "\"><r/>");
        EXPECT_EQ(d.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr);
    }
    ExternalParser ok(base);
    Doc d = Parse(ok.parser, QByteArray("<!DOCTYPE r SYSTEM \"sub\\inside.dtd\"><r/>"));
    EXPECT_NE(d.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr);
    // The public identifier is tried first.
    ExternalParser pub(base);
    Doc p2 = Parse(pub.parser, QByteArray("<!DOCTYPE r PUBLIC \"sub/inside.dtd\" \"missing.dtd\"><r/>"));
    EXPECT_NE(p2.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr);
}

TEST(HostileExternalFiles, EntitiesAreReadWhenFirstReferredTo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(QStringLiteral("lines.txt")), "first\r\nsecond\n\nfourth\n");
    WriteFile(dir.filePath(QStringLiteral("decls.ent")), "<!ELEMENT r ANY>");
    ExternalParser p(dir.path());
    Doc d = Parse(p.parser,
                  WithDtd("<!ENTITY unused SYSTEM \"nowhere.txt\"><!ENTITY lines SYSTEM \"lines.txt\">"
                          "<!ENTITY % decls SYSTEM \"decls.ent\">%decls;",
                          "<r>&lines;</r>"));
    // The unused entity was never looked for.
    EXPECT_TRUE(p.missing.isEmpty());
    // Line breaks are kept, joined with LF.
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue().toStdString(), "first\nsecond\n\nfourth");
    EXPECT_NE(d.doc->getDocType()->getElementDecl(QStringLiteral("r")), nullptr);
}

TEST(HostileExternalFiles, ErrorsInsideADtdFileNameTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(QStringLiteral("bad.dtd")), "<!ELEMENT r EMPTY>\n\n<!ATTLIST r a FOO #IMPLIED>");
    ExternalParser p(dir.path());
    const Failure f =
        ParseFailure(p.parser, QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"bad.dtd\"><r/>"));
    EXPECT_EQ(f.message, QStringLiteral("Unknown attribute type: \"FOO\"."));
    EXPECT_EQ(f.line, 3);
    EXPECT_EQ(f.source, QStringLiteral("bad.dtd"));
}

TEST(HostileEncodings, EntityTextIsCheckedButNotSwitched)
{
    // Inside an entity's content the text declaration is checked only.
    Doc d =
        Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" +
              WithDtd("<!ENTITY m \"<?xml version='1.0' encoding='ISO-8859-5'?><b>caf\xC3\xA9</b>\">", "<r>&m;</r>"));
    TXMLElement* b = d.doc->getDocumentElement()->getFirstChildElement();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getFirstTextNode()->getNodeValue(), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(Message(WithDtd("<!ENTITY m \"<?xml version='1.0' encoding='KOI8-R'?><b/>\">", "<r>&m;</r>")),
              QStringLiteral("Encoding 'KOI8-R' is not supported in this version of XMLParser."));
    EXPECT_EQ(Message(WithDtd("<!ENTITY m \"<?xml version='1.0'?><b/>\">", "<r>&m;</r>")),
              QStringLiteral("Encoding declaration required"));

    // A DTD file may switch.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(QStringLiteral("latin.dtd")),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><!ENTITY e \"caf\xE9\">");
    ExternalParser p(dir.path());
    Doc e = Parse(p.parser, QByteArray("<!DOCTYPE r SYSTEM \"latin.dtd\"><r>&e;</r>"));
    EXPECT_EQ(e.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("caf\u00e9"));
}

TEST(HostileCharacters, ReferencesThatAreNoCharacters)
{
    ScopedDialogResponder responder;
    QObject form;
    TXMLParser parser(&form);
    ShowUnconvertedInABox(parser);
    parser.SetDefaultEncoding(UTF_8);
    Doc d =
        Parse(parser, QByteArray("<r a=\"&#0;\">&#0;|&#x10000;|&#xD800;|&#xFFFE;|&#65;|&#99999999999999999999;</r>"));
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("_|_|_|_|A|_"));
    EXPECT_EQ(d.doc->getDocumentElement()->getAttribute(QStringLiteral("a")), QStringLiteral("_"));
    ASSERT_EQ(responder.Shown().size(), 1);
    EXPECT_TRUE(responder.Shown().first().text.contains(QStringLiteral("[(0x0000), (0x10000), (0xD800), (0xFFFE)")))
        << responder.Shown().first().text.toStdString();

    // Single-byte documents map the number as a byte of their set.
    TXMLParser latin(&form);
    latin.SetDefaultEncoding(i8859_1);
    Doc l = Parse(latin, QByteArray("<r>&#233;&#xE9;</r>"));
    EXPECT_EQ(l.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QString::fromUtf8("\u00e9\u00e9"));
}

TEST(HostileMarkupEntities, LeadingAndTrailingTextAndOwnerDocument)
{
    Doc d = Parse(WithDtd("<!ENTITY m \"lead <b>bold<i>x</i></b> tail\">", "<r>A&m;Z</r>"));
    TXMLElement* r = d.doc->getDocumentElement();
    TXMLOutput out(false);
    r->WriteTo(out, 0);
    EXPECT_EQ(out.Take().toStdString(), "\r\n<r>Alead <b>bold<i>x</i>\r\n</b> tailZ</r>");
    // Every node taken from the entity's own document now belongs here.
    std::vector<TXMLNode*> pending{r};
    int nodes = 0;
    while (!pending.empty()) {
        TXMLNode* n = pending.back();
        pending.pop_back();
        ++nodes;
        EXPECT_EQ(n->getOwnerDocument(), d.doc.get());
        if (TNodeList* list = n->OwnedList())
            for (TXMLNode* c = list->first(); c; c = c->nextSibling()) pending.push_back(c);
    }
    EXPECT_GE(nodes, 7);
    // Text alone after the end of an entity's content ends it.
    Doc t = Parse(WithDtd("<!ENTITY m \"<b/>only text\">", "<r>&m;</r>"));
    EXPECT_EQ(t.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("only text"));
    // Unbalanced markup in an entity is an error.
    EXPECT_EQ(Message(WithDtd("<!ENTITY m \"x</b>y<c>\">", "<r>&m;</r>")),
              QStringLiteral("Illegal occurence of \"</\""));
}

TEST(HostileMarkupEntities, PercentInAGeneralEntityStaysAPercent)
{
    Doc d = Parse(
        WithDtd("<!ENTITY % q \"param\"><!ENTITY p \"100&#37;\"><!ENTITY s \"&#37;q;\">", "<r a=\"&p;\">&s;</r>"));
    EXPECT_EQ(d.doc->getDocumentElement()->getAttribute(QStringLiteral("a")), QStringLiteral("100%"));
    EXPECT_EQ(d.doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("%q;"));
}

TEST(HostileSymbols, LiteralsNeverBecomeMarkup)
{
    // A literal "]" or ">" read earlier does not change what those
    // characters mean later.
    Doc d = Parse(QByteArray("<!DOCTYPE r [<!ENTITY e \"]\"><!ENTITY f \">\"><!ENTITY g \"[\">]><r a=\"]\">]</r>"));
    EXPECT_NE(d.doc->getDocType(), nullptr);
    EXPECT_EQ(d.doc->getDocumentElement()->getAttribute(QStringLiteral("a")), QStringLiteral("]"));
}

TEST(HostileUnconvertedList, NestedParsesKeepTheOuterListAndShowNoBox)
{
    ScopedDialogResponder responder;
    QObject form;
    TXMLParser parser(&form); // US-ASCII
    ShowUnconvertedInABox(parser);
    // The reference reaches the entity's content as "&#241;", resolved there.
    Doc d = Parse(parser, WithDtd("<!ENTITY m \"<b>&#38;#38;#241;</b>\">", "<r>\xE8&m;\xE8</r>"));
    ASSERT_EQ(responder.Shown().size(), 1);
    EXPECT_TRUE(responder.Shown().first().text.contains(QStringLiteral("[(0x00E8), (0x00F1)]")))
        << responder.Shown().first().text.toStdString();
    EXPECT_TRUE(UnconvertedListIsEmpty());
    TXMLElement* b = d.doc->getDocumentElement()->getFirstChildElement();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getFirstTextNode()->getNodeValue(), QStringLiteral("_"));
}

TEST(HostileInput, GarbageFailsCleanly)
{
    // A few shapes the fuzzer met: each fails or parses, never crashes.
    const QByteArray inputs[] = {
        QByteArray("\0\0\0<a/>", 7),
        QByteArray("\xFF\xFE<\0"),
        QByteArray("\xFE\xFF\0<\0a\0/"),
        QByteArray("<?xml\x10\x10 version=\"1.0\"?><a/>"),
        QByteArray("<!DOCTYPE a [%"),
        QByteArray("<!DOCTYPE a [<!ENTITY % e \"%e\">"),
        QByteArray("<!DOCTYPE a [<!ELEMENT a (b|"),
        QByteArray("<!DOCTYPE a [<!ATTLIST a b (x|"),
        QByteArray("<a>&#"),
        QByteArray("<a>&"),
        QByteArray("<![CDATA["),
        QByteArray("<?"),
        QByteArray("<!"),
        QByteArray("<"),
        QByteArray("<a b='1' b='2' b=\"&amp;\"/>"),
    };
    for (const QByteArray& in : inputs) {
        try {
            Parse(in);
        } catch (const EXMLParserError&) {
        } catch (const EDOMException&) { }
    }
    SUCCEED();
}
