// Documents written by the writer read back by the parser unchanged: every
// node kind, tricky escapes, the document type, and the local-file form
// with characters beyond ASCII.

#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLCData.h"
#include "protocol/xml/TXMLComment.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/TXMLText.h"

#include "platform/dialogs/Dialogs.h"
#include "tests/support/PrintQString.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <memory>

namespace {

// Parses bytes with a parser placed as the program places them.
std::unique_ptr<TXMLDocument> parse(const QByteArray& bytes, QObject* owner)
{
    TXMLParser parser(owner);
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    try {
        parser.LoadFromStream(&buffer, doc);
    } catch (...) {
        delete doc;
        throw;
    }
    std::unique_ptr<TXMLDocument> result(doc);
    result->SetParser(nullptr);
    return result;
}

} // namespace

TEST(DomRoundTrip, EveryNodeKindAndTrickyEscapes)
{
    TXMLDocument doc;
    doc.setStandalone(true);
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("app"), QStringLiteral("x=\"1\"")));
    doc.appendChild(new TXMLComment(QStringLiteral("top comment"), &doc));
    auto* root = new TXMLElement(QStringLiteral("vxp"), &doc);
    doc.setDocumentElement(root);
    auto* e = new TXMLElement(QStringLiteral("prop.data"), &doc);
    root->appendChild(e);
    TXMLAttr* a = e->setAttribute(QStringLiteral("name"), QStringLiteral("x"));
    a->setNodeValue(QStringLiteral("x\" evil=\"1; <b> & 'q' &amp;"));
    e->setAttribute(QStringLiteral("empty"), QString());
    auto* t = new TXMLElement(QStringLiteral("text"), &doc);
    e->appendChild(t);
    TXMLText* text = t->appendText(new TXMLText(QStringLiteral("x"), &doc));
    text->setNodeValue(QStringLiteral("1 < 2; 3 > 2 & a; \"quoted\" 'single' & b"));
    auto* cdata = new TXMLElement(QStringLiteral("raw"), &doc);
    e->appendChild(cdata);
    cdata->appendChild(new TXMLCData(QStringLiteral("<not & markup>"), &doc));
    auto* c = new TXMLElement(QStringLiteral("commented"), &doc);
    e->appendChild(c);
    c->appendChild(new TXMLComment(QStringLiteral("inside"), &doc));
    e->appendChild(doc.createProcessingInstruction(QStringLiteral("pi"), QStringLiteral("data here")));
    e->appendChild(new TXMLElement(QStringLiteral("empty"), &doc));

    QObject owner;
    const QByteArray first = doc.SaveToBytes(TXMLSaveForm::LocalFile);
    std::unique_ptr<TXMLDocument> back = parse(first, &owner);
    EXPECT_EQ(back->SaveToBytes(TXMLSaveForm::LocalFile), first);

    TXMLElement* pe = back->getDocumentElement()->getFirstChildElement();
    ASSERT_NE(pe, nullptr);
    EXPECT_EQ(pe->getAttribute(QStringLiteral("name")), QStringLiteral("x\" evil=\"1; <b> & 'q' &"));
    EXPECT_EQ(pe->getAttributeNode(QStringLiteral("evil")), nullptr); // no injected attribute
    TXMLElement* te = pe->getFirstChildElement();
    EXPECT_EQ(te->getFirstTextNode()->getNodeValue(), QStringLiteral("1 < 2; 3 > 2 & a; \"quoted\" 'single' & b"));
    TXMLElement* raw = te->getNextSiblingElement();
    ASSERT_TRUE(raw->hasCDataNode());
    EXPECT_EQ(raw->getFirstOfType(4)->getNodeValue(), QStringLiteral("<not & markup>"));
    EXPECT_TRUE(raw->getNextSiblingElement()->hasCommentNode());
    EXPECT_TRUE(pe->hasPINode());
    EXPECT_TRUE(back->getStandalone());
}

TEST(DomRoundTrip, DocumentTypeWithInternalSubset)
{
    const QByteArray source = "<?xml version=\"1.0\"?>\n"
                              "<!DOCTYPE r SYSTEM \"r.dtd\" [\n"
                              "<!ELEMENT r (a|b)*>\n"
                              "<!ELEMENT a (#PCDATA)>\n"
                              "<!ELEMENT b EMPTY>\n"
                              "<!ATTLIST a id ID #IMPLIED kind (x|y) \"x\">\n"
                              "<!ENTITY who \"World &amp; co\">\n"
                              "<!NOTATION gif SYSTEM \"viewer\">\n"
                              "]>\n"
                              "<r><a id=\"i1\">Hello &who;</a><b/></r>";
    QObject owner;
    ScopedDialogResponder responder;
    std::unique_ptr<TXMLDocument> doc = parse(source, &owner);
    ASSERT_NE(doc->getDocType(), nullptr);
    const QByteArray written = doc->SaveToBytes();
    // The declaration is complete: external identifier, internal subset, ">".
    EXPECT_TRUE(written.contains("<!DOCTYPE r SYSTEM \"r.dtd\" [\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("]>\r\n")) << written.constData();
    std::unique_ptr<TXMLDocument> again = parse(written, &owner);
    EXPECT_EQ(again->SaveToBytes(), written);
    EXPECT_NE(again->getDocType()->getElementDecl(QStringLiteral("a")), nullptr);
    EXPECT_NE(again->getDocType()->getNotation(QStringLiteral("gif")), nullptr);
    EXPECT_EQ(again->getDocumentElement()->getFirstChildElement()->getFirstTextNode()->getNodeValue(),
              QStringLiteral("Hello World & co"));
}

TEST(DomRoundTrip, LocalFileKeepsAccentedNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("myinfo.xml"));
    TXMLDocument doc;
    doc.Clear(); // US-ASCII, as the service document starts
    doc.setStandalone(true);
    auto* vxp = new TXMLElement(QStringLiteral("vxp"), &doc);
    doc.setDocumentElement(vxp);
    auto* info = new TXMLElement(QStringLiteral("name_info"), &doc);
    vxp->appendChild(info);
    const QString first = QString::fromUtf8("Jos\u00e9 \u0141ukasz \u20ac \u4e2d");
    info->setAttribute(QStringLiteral("first"), first);
    ScopedDialogResponder responder;
    doc.SaveToFile(name, TXMLSaveForm::LocalFile);
    EXPECT_EQ(responder.Shown().size(), 0);

    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QObject owner;
    TXMLParser parser(&owner); // DefaultEncoding US-ASCII, as the forms place it
    TXMLDocument* loaded = nullptr;
    parser.LoadFromStream(&f, loaded);
    std::unique_ptr<TXMLDocument> guard(loaded);
    EXPECT_EQ(loaded->getEncoding(), UTF_8);
    EXPECT_EQ(loaded->getDocumentElement()->getFirstChildElement()->getAttribute(QStringLiteral("first")), first);
    EXPECT_EQ(responder.Shown().size(), 0);
}

TEST(DomRoundTrip, AReportSetFileThatLoadsIsWrittenAndReadAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("rs.xml"));
    QObject owner;
    // Processing instructions with white space before their target load
    // and come back as they were.
    const QByteArray sets = "<?xml version=\"1.0\"?>\n"
                            "<? report-style compact?>\n"
                            "<vxp version=\"1.0\">\n"
                            " <report.list>\n"
                            "  <?  xml-stylesheet href=\"sets.css\"?>\n"
                            "  <report name=\"Sales\"><page id=\"20\" order=\"1\"/></report>\n"
                            " </report.list>\n"
                            "</vxp>\n";
    const auto readAll = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    ScopedDialogResponder responder;
    parse(sets, &owner)->SaveToFile(name, TXMLSaveForm::LocalFile);
    const QByteArray saved = readAll(name);
    EXPECT_TRUE(saved.contains("<?report-style compact?>")) << saved.constData();
    EXPECT_TRUE(saved.contains("<?xml-stylesheet href=\"sets.css\"?>")) << saved.constData();
    // Read at the next start and saved again: the same file.
    parse(saved, &owner)->SaveToFile(name, TXMLSaveForm::LocalFile);
    EXPECT_EQ(readAll(name), saved);

    // The reserved target, in any letter case, is refused wherever it
    // stands: before the root, in content, after the root, in the DTD.
    const QList<QByteArray> reserved{
        "<? xml?>\n<vxp version=\"1.0\"/>",
        "<vxp version=\"1.0\"><report.list><? XML?></report.list></vxp>",
        "<vxp version=\"1.0\"/><?\txMl data?>",
        "<!DOCTYPE vxp [<? Xml?><!ELEMENT vxp ANY>]><vxp/>",
    };
    for (const QByteArray& text : reserved) {
        QString message;
        try {
            parse(text, &owner);
        } catch (const EXMLParserError& e) {
            message = e.Message();
        }
        EXPECT_TRUE(message.startsWith(QStringLiteral("Illegal occurence of \"<?")) && message.endsWith(u'"'))
            << text.constData() << ": " << message.toStdString();
        EXPECT_EQ(message.mid(24).toLower(), QStringLiteral("xml\"")) << message.toStdString();
    }
    // A target that only begins with those letters is no declaration.
    EXPECT_NO_THROW(parse("<vxp><?xmlish a?></vxp>", &owner));
}

namespace {

// What a document holds, as its reader sees it: every node below the
// document in order, by kind, name and value (the attributes of elements
// included, the declaration's left out).
QStringList Shown(const TXMLDocument& doc)
{
    QStringList shown;
    std::vector<const TXMLNode*> pending;
    for (const TXMLNode* n = doc.getChildNodes().last(); n; n = n->previousSibling())
        if (n->getNodeType() != nt::Attribute) pending.push_back(n);
    while (!pending.empty()) {
        const TXMLNode* n = pending.back();
        pending.pop_back();
        if (n->getNodeType() != nt::DocumentType)
            shown << QStringLiteral("%1 %2=%3").arg(n->getNodeType()).arg(n->getNodeName(), n->getNodeValue());
        if (n->getNodeType() != nt::Element) continue;
        if (const TNodeList* list = n->OwnedList())
            for (const TXMLNode* c = list->last(); c; c = c->previousSibling()) pending.push_back(c);
    }
    return shown;
}

} // namespace

TEST(DomRoundTrip, ReferenceLikeTextBesideAKeptReferenceReadsBackTheSame)
{
    QObject owner;
    ScopedDialogResponder responder;
    const QList<QByteArray> documents{
        // An escaped "&" before what a reader would take as a reference, in
        // a text or an attribute that also keeps an undeclared reference.
        "<r>&amp;lt; &u;</r>",
        "<r>&amp;#65; &u;</r>",
        "<r>&amp;#x41;&amp;amp;&u;&amp;gt;</r>",
        "<r>&u;&amp;x; &amp;1; &amp; &#38;quot;</r>",
        "<r a=\"&amp;lt; &u;\" b=\"&u;&amp;#65;\" c=\"&#38;gt;&u;\"/>",
        // A declared entity: the text after "&amp;" is no reference to it.
        "<!DOCTYPE r [<!ENTITY e \"E\">]><r x=\"&amp;e;&u;\">&amp;e; &e; &u;</r>",
        // A markup entity splits the text: each part keeps its own.
        "<!DOCTYPE r [<!ENTITY m \"<b>x</b>\">]><r>&u; &amp;lt; &m; &amp;gt; &v;</r>",
        // A tokenized attribute has its spaces collapsed first.
        "<!DOCTYPE r [<!ATTLIST r t NMTOKENS #IMPLIED>]><r t=\"  &amp;lt;   &u;  \"/>",
    };
    for (const QByteArray& text : documents) {
        std::unique_ptr<TXMLDocument> loaded = parse(text, &owner);
        const QStringList first = Shown(*loaded);
        const QByteArray saved = loaded->SaveToBytes(TXMLSaveForm::LocalFile);
        std::unique_ptr<TXMLDocument> back = parse(saved, &owner);
        EXPECT_EQ(Shown(*back), first) << text.constData() << "\nwritten as:\n" << saved.constData();
        EXPECT_EQ(back->SaveToBytes(TXMLSaveForm::LocalFile), saved) << text.constData();
    }
    // What the reader saw first, and how it is written.
    std::unique_ptr<TXMLDocument> doc = parse("<r a=\"&amp;#65;&u;\">&amp;lt; &u;</r>", &owner);
    EXPECT_EQ(doc->getDocumentElement()->getFirstTextNode()->getNodeValue(), QStringLiteral("&lt; &u;"));
    EXPECT_EQ(doc->getDocumentElement()->getAttribute(QStringLiteral("a")), QStringLiteral("&#65;&u;"));
    const QByteArray saved = doc->SaveToBytes(TXMLSaveForm::LocalFile);
    EXPECT_TRUE(saved.contains("&amp;lt; &u;</r>")) << saved.constData();
    EXPECT_TRUE(saved.contains("\"&amp;#65;&u;\"")) << saved.constData();
    // A copy of the node keeps what it kept.
    std::unique_ptr<TXMLNode> copy(doc->getDocumentElement()->Clone());
    TXMLDocument other;
    other.setDocumentElement(static_cast<TXMLElement*>(copy.release()));
    EXPECT_TRUE(other.SaveToBytes(TXMLSaveForm::LocalFile).contains("&amp;lt; &u;</r>"));
}

TEST(DomRoundTrip, CommentsAndInstructionsAfterTheRootSurviveEverySave)
{
    QObject owner;
    ScopedDialogResponder responder;
    std::unique_ptr<TXMLDocument> doc = parse("<r/><!--keep me--><?app-state v=2?>", &owner);
    const QStringList shown{QStringLiteral("1 r="), QStringLiteral("5 #comment=keep me"),
                            QStringLiteral("6 app-state=v=2")};
    ASSERT_EQ(Shown(*doc), shown);
    QByteArray saved = doc->SaveToBytes(TXMLSaveForm::LocalFile);
    EXPECT_TRUE(saved.contains("\r\n<!--keep me-->\r\n<?app-state v=2?>")) << saved.constData();
    for (int round = 0; round < 2; ++round) {
        std::unique_ptr<TXMLDocument> back = parse(saved, &owner);
        EXPECT_EQ(Shown(*back), shown) << saved.constData();
        EXPECT_EQ(back->SaveToBytes(TXMLSaveForm::LocalFile), saved);
        saved = back->SaveToBytes(TXMLSaveForm::LocalFile);
    }
    // Any white space between them, and text after them, is no content.
    std::unique_ptr<TXMLDocument> spaced = parse("<r/>\n\t <!--a-->  \r\n<?p d?>\n\n<!--b-->\n", &owner);
    EXPECT_EQ(Shown(*spaced),
              QStringList({QStringLiteral("1 r="), QStringLiteral("5 #comment=a"), QStringLiteral("6 p=d"),
                           QStringLiteral("5 #comment=b")}));
    std::unique_ptr<TXMLDocument> trailing = parse("<r/> <!--a--> junk <!--b-->", &owner);
    EXPECT_EQ(Shown(*trailing), QStringList({QStringLiteral("1 r="), QStringLiteral("5 #comment=a")}));
}
