// Node operations of the document model: lists, elements, attributes,
// character data and the document, with their error codes and texts.

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TNotation.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLCData.h"
#include "protocol/xml/TXMLComment.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/TXMLText.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Runs fn, expecting an EDOMException; returns it.
EDOMException domError(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EDOMException& e) {
        return e;
    }
    ADD_FAILURE() << "no EDOMException raised";
    return EDOMException(0, QString());
}

QString parserError(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EXMLParserError& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no EXMLParserError raised";
    return QString();
}

} // namespace

TEST(DomNode, ElementNameMustBeValidTextNameNeedNot)
{
    TXMLDocument doc;
    const EDOMException e = domError([&] { TXMLElement bad(QStringLiteral("1abc"), &doc); });
    EXPECT_EQ(e.Code(), 5);
    EXPECT_EQ(e.Message(),
              QStringLiteral("XML-DOM [INVALID_CHARACTER_ERR]: TXMLDocument.TXMLNode.Create(\"1abc\"): "
                             "invalid character(s) for name"));
    TXMLText text(QStringLiteral("1abc"), &doc);
    EXPECT_EQ(text.getNodeValue(), QStringLiteral("1abc"));
    EXPECT_EQ(domError([&] { TXMLAttr a(QStringLiteral("a b"), &doc, QString()); }).Code(), 5);
    EXPECT_EQ(domError([&] { TXMLPI p(QStringLiteral("-x"), QString(), &doc); }).Code(), 5);
    const EDOMException pi = domError([&] { delete doc.createProcessingInstruction(QStringLiteral("1x"), QString()); });
    EXPECT_EQ(
        pi.Message(),
        QStringLiteral(
            "XML-DOM [INVALID_CHARACTER_ERR]: TXMLDocument.createProcessingInstruction: invalid character for name"));
}

TEST(DomNode, ExceptionCodeNames)
{
    EXPECT_EQ(EDOMException::CodeName(1), QStringLiteral("INDEX_SIZE_ERR"));
    EXPECT_EQ(EDOMException::CodeName(7), QStringLiteral("NO_MODIFICATION_ALLOWED_ERR"));
    EXPECT_EQ(EDOMException::CodeName(10), QStringLiteral("INUSE_ATTRIBUTE_ERR"));
    EXPECT_EQ(EDOMException::CodeName(11), QString());
    EXPECT_EQ(EDOMException::CodeName(12), QStringLiteral("INVALID_POINTER_ERR"));
    EXPECT_EQ(EDOMException::CodeName(15), QString());
    EXPECT_EQ(EDOMException(15, QStringLiteral("t")).Message(), QStringLiteral("XML-DOM []: t"));
    EXPECT_EQ(EDOMException::WithMessage(8, QStringLiteral("as is")).Message(), QStringLiteral("as is"));
}

TEST(DomNode, SameTypeSiblingsSkipOtherKinds)
{
    TXMLDocument doc;
    auto* root = new TXMLElement(QStringLiteral("r"), &doc);
    doc.setDocumentElement(root);
    auto* a = new TXMLAttr(QStringLiteral("a"), &doc, QString());
    auto* t = new TXMLText(QStringLiteral("t"), &doc);
    auto* e1 = new TXMLElement(QStringLiteral("e1"), &doc);
    auto* b = new TXMLAttr(QStringLiteral("b"), &doc, QString());
    auto* e2 = new TXMLElement(QStringLiteral("e2"), &doc);
    for (TXMLNode* n : {static_cast<TXMLNode*>(a), static_cast<TXMLNode*>(t), static_cast<TXMLNode*>(e1),
                        static_cast<TXMLNode*>(b), static_cast<TXMLNode*>(e2)})
        root->appendChild(n);
    EXPECT_EQ(e1->nextSameTypeSibling(), e2);
    EXPECT_EQ(e1->getNextSiblingElement(), e2);
    EXPECT_EQ(e2->getNextSiblingElement(), nullptr);
    EXPECT_EQ(a->nextSameTypeSibling(), b);
    EXPECT_EQ(b->previousSameTypeSibling(), a);
    EXPECT_EQ(t->nextSameTypeSibling(), nullptr);
    EXPECT_EQ(root->getFirstChildElement(), e1);
    EXPECT_EQ(root->getFirstTextNode(), t);
    EXPECT_TRUE(root->hasTextNode());
    EXPECT_FALSE(root->hasCDataNode());

    const TNodeList& list = root->getChildNodes();
    EXPECT_EQ(list.item(1, 1), e1);
    EXPECT_EQ(list.item(2, 1), e2);
    EXPECT_EQ(list.item(3, 1), nullptr);
    EXPECT_EQ(list.item(2, 2), b);
    EXPECT_EQ(list.getLength(), 2); // from the first node (an attribute) along attributes
    EXPECT_EQ(list.count(), 5);
    EXPECT_EQ(list.getNamedItem(QStringLiteral("e2"), 1), e2);
    EXPECT_EQ(list.getNamedItem(QStringLiteral("e2"), 2), nullptr);
    EXPECT_EQ(e1->getParentNode(), root);
    EXPECT_EQ(a->getParentNode(), root);
}

TEST(DomNode, ListInsertRemoveAndTheirErrors)
{
    TXMLDocument doc;
    TXMLElement root(QStringLiteral("r"), &doc);
    auto* x = new TXMLElement(QStringLiteral("x"), &doc);
    auto* y = new TXMLElement(QStringLiteral("y"), &doc);
    auto* z = new TXMLElement(QStringLiteral("z"), &doc);
    TNodeList& list = root.getChildNodes();
    list.setNamedItem(y);
    list.insertBefore(x, y);
    list.insertAfter(z, y);
    EXPECT_EQ(list.first(), x);
    EXPECT_EQ(list.last(), z);
    EXPECT_EQ(y->previousSibling(), x);
    EXPECT_EQ(y->nextSibling(), z);

    EDOMException e = domError([&] { list.setNamedItem(y); });
    EXPECT_EQ(e.Code(), 10);
    EXPECT_EQ(
        e.Message(),
        QStringLiteral(
            "XML-DOM [INUSE_ATTRIBUTE_ERR]: TNamedNodeMap.setNamedItem: attribute \"y\" already in use (use clone)"));
    EXPECT_EQ(
        domError([&] { list.insertBefore(y, x); }).Message(),
        QStringLiteral("XML-DOM [INUSE_ATTRIBUTE_ERR]: TNodeList.insertBefore: attribute already in use (use clone)"));
    EXPECT_EQ(
        domError([&] { list.insertAfter(y, x); }).Message(),
        QStringLiteral("XML-DOM [INUSE_ATTRIBUTE_ERR]: TNodeList.insertAfter: attribute already in use (use clone)"));

    EXPECT_EQ(domError([&] { list.removeChild(nullptr); }).Message(),
              QStringLiteral(
                  "XML-DOM [INVALID_POINTER_ERR]: TNodeList.removeChild: you are trying to remove not exist child"));
    TXMLElement loose(QStringLiteral("loose"), &doc);
    EXPECT_EQ(domError([&] { list.removeChild(&loose); }).Message(),
              QStringLiteral(
                  "XML-DOM [INVALID_POINTER_ERR]: TNodeList.removeChild: you are trying to remove child out of list."));

    std::unique_ptr<TXMLNode> removed(list.removeChild(y));
    EXPECT_EQ(removed.get(), y);
    EXPECT_EQ(y->getParentList(), nullptr);
    EXPECT_EQ(x->nextSibling(), z);
    EXPECT_EQ(z->previousSibling(), x);
    std::unique_ptr<TXMLNode> byName(list.removeNamedItem(QStringLiteral("z"), 1));
    EXPECT_EQ(byName.get(), z);
    EXPECT_EQ(list.first(), x);
    EXPECT_EQ(list.last(), x);
    EXPECT_EQ(list.removeNamedItem(QStringLiteral("nope"), 1), nullptr);
}

TEST(DomNode, DeletingALinkedNodeUnlinksIt)
{
    TXMLDocument doc;
    TXMLElement root(QStringLiteral("r"), &doc);
    auto* a = new TXMLElement(QStringLiteral("a"), &doc);
    auto* b = new TXMLElement(QStringLiteral("b"), &doc);
    auto* c = new TXMLElement(QStringLiteral("c"), &doc);
    root.appendChild(a);
    root.appendChild(b);
    root.appendChild(c);
    delete b; // only b goes, its siblings stay
    EXPECT_EQ(a->nextSibling(), c);
    EXPECT_EQ(c->previousSibling(), a);
    EXPECT_EQ(root.getChildNodes().count(), 2);
}

TEST(DomElement, Attributes)
{
    TXMLDocument doc;
    TXMLElement e(QStringLiteral("e"), &doc);
    EXPECT_EQ(e.getAttribute(QStringLiteral("a")), QString());
    e.setAttribute(QStringLiteral("a"), QStringLiteral("1"));
    e.setAttribute(QStringLiteral("empty"), QString());
    e.appendChild(new TXMLElement(QStringLiteral("child"), &doc));
    e.setAttribute(QStringLiteral("late"), QStringLiteral("x"));
    e.setAttribute(QStringLiteral("a"), QStringLiteral("2"));
    EXPECT_EQ(e.getAttribute(QStringLiteral("a")), QStringLiteral("2"));
    EXPECT_EQ(e.getAttribute(QStringLiteral("empty")), QString());
    EXPECT_EQ(e.getAttribute(QStringLiteral("late")), QStringLiteral("x"));
    EXPECT_EQ(e.getAttribute(QStringLiteral("A")), QString()); // names compare exactly
    // One attribute "a", still first.
    EXPECT_EQ(e.getFirstAttribute()->getNodeName(), QStringLiteral("a"));
    int count = 0;
    for (TXMLNode* n = e.getFirstAttribute(); n; n = n->nextSameTypeSibling()) ++count;
    EXPECT_EQ(count, 3);

    // A new attribute resolves references; setting an existing one does not.
    e.setAttribute(QStringLiteral("ref"), QStringLiteral("a&amp;b&#65;"));
    EXPECT_EQ(e.getAttribute(QStringLiteral("ref")), QStringLiteral("a&bA"));
    e.setAttribute(QStringLiteral("ref"), QStringLiteral("a&amp;b"));
    EXPECT_EQ(e.getAttribute(QStringLiteral("ref")), QStringLiteral("a&amp;b"));
    // The parser's form expands a repeated attribute too.
    e.setParsedAttribute(QStringLiteral("ref"), QStringLiteral("c&lt;d"));
    EXPECT_EQ(e.getAttribute(QStringLiteral("ref")), QStringLiteral("c<d"));
}

TEST(DomElement, SetAttributeNodeErrorsInOrder)
{
    TXMLDocument doc;
    TXMLDocument other;
    TXMLElement e(QStringLiteral("e"), &doc);
    TXMLElement f(QStringLiteral("f"), &doc);
    auto* a = new TXMLAttr(QStringLiteral("a"), &doc, QStringLiteral("1"));
    e.setAttributeNode(a);
    // Same name present: 15, checked before "in use".
    EDOMException dup = domError([&] { e.setAttributeNode(a); });
    EXPECT_EQ(dup.Code(), 15);
    EXPECT_EQ(dup.Message(),
              QStringLiteral("XML-DOM []: TContainer.setAttributeNode: element already contains the attribute \"a\""));
    // The same attribute on a second element: 10.
    EDOMException inUse = domError([&] { f.setAttributeNode(a); });
    EXPECT_EQ(inUse.Code(), 10);
    EXPECT_EQ(inUse.Message(),
              QStringLiteral("XML-DOM [INUSE_ATTRIBUTE_ERR]: TContainer.setAttributeNode: attribute already in use"));
    std::unique_ptr<TXMLAttr> foreign(new TXMLAttr(QStringLiteral("b"), &other, QString()));
    EDOMException wrong = domError([&] { f.setAttributeNode(foreign.get()); });
    EXPECT_EQ(wrong.Code(), 4);
    EXPECT_EQ(
        wrong.Message(),
        QStringLiteral("XML-DOM [WRONG_DOCUMENT_ERR]: TContainer.setAttributeNode: wrong document in attribute node"));
    EXPECT_EQ(f.getFirstAttribute(), nullptr);
    // Appending the attribute to a second element's list: 10 as well.
    EXPECT_EQ(domError([&] { f.appendChild(a); }).Code(), 10);
}

TEST(DomElement, AppendTextDropsBlankText)
{
    TXMLDocument doc;
    TXMLElement e(QStringLiteral("e"), &doc);
    EXPECT_EQ(e.appendText(new TXMLText(QStringLiteral("   "), &doc)), nullptr);
    EXPECT_EQ(e.appendText(new TXMLText(QStringLiteral("\r\n\t "), &doc)), nullptr);
    EXPECT_FALSE(e.hasTextNode());
    TXMLText* kept = e.appendText(new TXMLText(QStringLiteral(" a "), &doc));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(e.getFirstTextNode()->getNodeValue(), QStringLiteral(" a "));
    // A reference that resolves to blanks leaves nothing either.
    EXPECT_EQ(e.appendText(new TXMLText(QStringLiteral("&#32;&#x20;"), &doc)), nullptr);
    EXPECT_EQ(e.getChildNodes().count(), 1);
}

TEST(DomElement, TextExpand)
{
    TXMLDocument doc; // no document type: undeclared references stay
    TXMLElement e(QStringLiteral("e"), &doc);
    TXMLText* t = e.appendText(new TXMLText(QStringLiteral("&lt;&amp;&GT;&Apos;&QUOT;&#65;&#x42;&#X43;&nbsp;x"), &doc));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->getNodeValue(), QStringLiteral("<&>'\"ABC&nbsp;x"));
    EXPECT_EQ(parserError([&] { e.appendText(new TXMLText(QStringLiteral("a & b"), &doc)); }),
              QStringLiteral("Illegal character in the text value '&&'."));
    EXPECT_EQ(parserError([&] { e.appendText(new TXMLText(QStringLiteral("end &"), &doc)); }),
              QStringLiteral("Illegal character in the text value '&&'."));
    EXPECT_EQ(e.getChildNodes().count(), 1); // the failed texts are gone
}

TEST(DomAttr, AttributeExpandAndNormalization)
{
    TXMLDocument doc;
    TXMLAttr a(QStringLiteral("a"), &doc, QStringLiteral("x\r\ny\tz\nw\rv&#10;"));
    EXPECT_EQ(a.getNodeValue(), QStringLiteral("x y z w v\n"));
    EXPECT_TRUE(a.getSpecified());
    EXPECT_EQ(parserError([&] { TXMLAttr b(QStringLiteral("b"), &doc, QStringLiteral("a<b")); }),
              QStringLiteral("Illegal character in the attribute value '<'."));
    EXPECT_EQ(parserError([&] { TXMLAttr b(QStringLiteral("b"), &doc, QStringLiteral("a&b")); }),
              QStringLiteral("Illegal character in the attribute value '&&'."));
    TXMLAttr kept(QStringLiteral("c"), &doc, QStringLiteral("&undeclared;"));
    EXPECT_EQ(kept.getNodeValue(), QStringLiteral("&undeclared;"));
    // A failed setAttribute leaves the element as it was.
    TXMLElement e(QStringLiteral("e"), &doc);
    EXPECT_THROW(e.setAttribute(QStringLiteral("bad"), QStringLiteral("<")), EXMLParserError);
    EXPECT_EQ(e.getAttributeNode(QStringLiteral("bad")), nullptr);
    EXPECT_TRUE(e.getChildNodes().isEmpty());
}

TEST(DomNode, DeclarationValueExpand)
{
    // Tab and CR become a space, LF too unless it follows a CR; references
    // resolve, an undeclared one stays as written, runs of spaces stay.
    TXMLDocument doc;
    TNotation n(QStringLiteral("n"), &doc);
    n.setNodeValue(QStringLiteral("\na\tb\r\nc\nd  e\r&amp;&#65;&lt;&u;"));
    n.Expand();
    EXPECT_EQ(n.getNodeValue(), QStringLiteral(" a b c d  e &A<&u;"));
    n.setNodeValue(QStringLiteral("x &y"));
    EXPECT_EQ(parserError([&] { n.Expand(); }), QStringLiteral("Illegal character in the text value '&&'."));
}

TEST(DomCharacterData, Operations)
{
    TXMLDocument doc;
    TXMLText t(QStringLiteral("N"), &doc);
    t.replaceData(0, 1, QStringLiteral("Y"));
    EXPECT_EQ(t.getData(), QStringLiteral("Y"));
    t.insertData(1, QStringLiteral("es"));
    EXPECT_EQ(t.getData(), QStringLiteral("Yes"));
    t.insertData(0, QStringLiteral(">"));
    EXPECT_EQ(t.getData(), QStringLiteral(">Yes"));
    t.appendData(QStringLiteral("!"));
    EXPECT_EQ(t.getLength(), 5);
    EXPECT_EQ(t.substringData(1, 3), QStringLiteral("Yes"));
    EXPECT_EQ(t.substringData(3, 99), QStringLiteral("s!"));
    t.deleteData(0, 1);
    EXPECT_EQ(t.getData(), QStringLiteral("Yes!"));

    const QString sub =
        QStringLiteral("XML-DOM [INDEX_SIZE_ERR]: TCharacterData.substring: invalid offset/count values");
    EXPECT_EQ(domError([&] { t.substringData(-1, 1); }).Message(), sub);
    EXPECT_EQ(domError([&] { t.substringData(4, 1); }).Message(), sub);
    EXPECT_EQ(domError([&] { t.substringData(0, -1); }).Message(), sub);
    EXPECT_EQ(domError([&] { t.insertData(5, QStringLiteral("x")); }).Message(),
              QStringLiteral("XML-DOM [INDEX_SIZE_ERR]: TCharacterData.insertData: invalid offset value"));
    EXPECT_EQ(domError([&] { t.insertData(-1, QStringLiteral("x")); }).Code(), 1);
    const QString del =
        QStringLiteral("XML-DOM [INDEX_SIZE_ERR]: TCharacterData.deleteData: invalid offset/count values");
    EXPECT_EQ(domError([&] { t.deleteData(4, 1); }).Message(), del);
    EXPECT_EQ(domError([&] { t.deleteData(0, -2); }).Message(), del);
    EXPECT_EQ(domError([&] { t.replaceData(9, 1, QStringLiteral("x")); }).Code(), 1);
    EXPECT_EQ(t.getData(), QStringLiteral("Yes!")); // failures change nothing
    TXMLComment c(QStringLiteral("c"), &doc);
    TXMLCData d(QStringLiteral("d"), &doc);
    EXPECT_EQ(c.getNodeType(), 5);
    EXPECT_EQ(d.getNodeType(), 4);
}

TEST(DomDocument, CreateClearAndDeclaration)
{
    TXMLDocument doc;
    EXPECT_EQ(doc.getNodeType(), 13);
    EXPECT_EQ(doc.getNodeName(), QString());
    EXPECT_EQ(doc.getVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(doc.getEncoding(), UTF_8);
    EXPECT_TRUE(doc.BigEndian);

    doc.setStandalone(true);
    doc.setEncoding(QStringLiteral("iso-8859-2"));
    EXPECT_EQ(doc.getEncoding(), i8859_2);
    // version, encoding (inserted after version), standalone.
    TXMLNode* a = doc.getFirstAttribute();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getNodeName(), QStringLiteral("version"));
    EXPECT_EQ(a->nextSameTypeSibling()->getNodeName(), QStringLiteral("encoding"));
    EXPECT_EQ(a->nextSameTypeSibling()->getNodeValue(), QStringLiteral("iso-8859-2"));
    EXPECT_EQ(a->nextSameTypeSibling()->nextSameTypeSibling()->getNodeName(), QStringLiteral("standalone"));
    EXPECT_TRUE(doc.getStandalone());
    doc.setStandalone(false);
    EXPECT_FALSE(doc.getStandalone());

    EXPECT_EQ(parserError([&] { doc.setEncoding(QStringLiteral("UTF8")); }),
              QStringLiteral("Encoding 'UTF8' is not supported in this version of XMLParser."));
    EXPECT_EQ(doc.getEncoding(), i8859_2);

    auto* root = new TXMLElement(QStringLiteral("root"), &doc);
    doc.setDocumentElement(root);
    EXPECT_EQ(doc.getDocumentElement(), root);
    const EDOMException e = domError([&] {
        std::unique_ptr<TXMLElement> second(new TXMLElement(QStringLiteral("second"), &doc));
        doc.setDocumentElement(second.get());
        second.release();
    });
    EXPECT_EQ(e.Code(), 5);
    EXPECT_TRUE(e.Message().endsWith(QStringLiteral("DocumentElement alredy exists")));
    doc.insertBeforeDocumentElement(new TXMLComment(QStringLiteral("c"), &doc));
    EXPECT_EQ(root->previousSibling()->getNodeType(), 5);

    doc.BigEndian = false;
    doc.Clear();
    EXPECT_EQ(doc.getEncoding(), US_ASCII);
    EXPECT_EQ(doc.getDocumentElement(), nullptr);
    EXPECT_EQ(doc.getChildNodes().count(), 1);
    EXPECT_EQ(doc.getVersion(), QStringLiteral("1.0"));
    EXPECT_FALSE(doc.BigEndian); // the other settings stay
}

TEST(DomDocument, StandaloneReaderIgnoresCase)
{
    TXMLDocument doc;
    auto* a = new TXMLAttr(QStringLiteral("standalone"), &doc, QStringLiteral("YeS"));
    doc.appendChild(a);
    EXPECT_TRUE(doc.getStandalone());
}

TEST(DomClone, DeepCopyOfAnElement)
{
    TXMLDocument doc;
    TXMLElement e(QStringLiteral("e"), &doc);
    e.setAttribute(QStringLiteral("a"), QStringLiteral("1"));
    auto* c = new TXMLElement(QStringLiteral("c"), &doc);
    e.appendChild(c);
    c->appendText(new TXMLText(QStringLiteral("text"), &doc));
    c->appendChild(new TXMLCData(QStringLiteral("<raw>"), &doc));
    std::unique_ptr<TXMLElement> copy(static_cast<TXMLElement*>(e.Clone()));
    EXPECT_EQ(copy->getParentList(), nullptr);
    EXPECT_EQ(copy->getOwnerDocument(), &doc);
    EXPECT_EQ(copy->getAttribute(QStringLiteral("a")), QStringLiteral("1"));
    TXMLElement* cc = copy->getFirstChildElement();
    ASSERT_NE(cc, nullptr);
    EXPECT_NE(cc, c);
    EXPECT_EQ(cc->getFirstTextNode()->getNodeValue(), QStringLiteral("text"));
    EXPECT_TRUE(cc->hasCDataNode());
    c->getFirstTextNode()->setNodeValue(QStringLiteral("changed"));
    EXPECT_EQ(cc->getFirstTextNode()->getNodeValue(), QStringLiteral("text"));
}
