// Hostile uses of the model that must fail cleanly or work without limits:
// deep and long trees, foreign nodes in lists, subtrees moved between
// documents, entities holding markup.

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLDTDHooks.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLDocumentOwner.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>

#include <functional>

#include <memory>

namespace {

int domCode(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EDOMException& e) {
        return e.Code();
    }
    return -1;
}

// A chain of nested elements, depth levels deep.
TXMLElement* deepChain(TXMLDocument& doc, int depth, TXMLElement** innermost = nullptr)
{
    auto* top = new TXMLElement(QStringLiteral("d"), &doc);
    TXMLElement* e = top;
    for (int i = 1; i < depth; ++i) {
        auto* c = new TXMLElement(QStringLiteral("d"), &doc);
        e->appendChild(c);
        e = c;
    }
    if (innermost) *innermost = e;
    return top;
}

class FlatParser : public TXMLDocumentOwner {
public:
    bool DocumentFormatedOutput() const override { return false; }
};

// Declarations for the tests: a name -> (kind, text) table.
class FakeHooks : public TXMLDTDHooks {
public:
    FakeHooks() : m_previous(TXMLDTDHooks::Current()) { Install(this); }
    ~FakeHooks() override { Install(m_previous); }

    QHash<QString, std::pair<TGeneralEntityKind, QString>> entities;
    QSet<QString> tokenized;
    int parsed = 0;
    int loaded = 0;
    QStringList validated;

    TGeneralEntityKind ResolveGeneralEntity(TDocumentType*, const QString& name, QString& value) override
    {
        auto it = entities.find(name);
        if (it == entities.end()) return gekNotDeclared;
        value = it->second;
        return it->first;
    }
    // Stands for the parser: "<b>x</b>" style content, one element with one text.
    TXMLDocument* ParseEntityContent(TXMLDocument* document, const QString& value) override
    {
        ++parsed;
        auto* doc = new TXMLDocument();
        doc->setEncodingValue(document->getEncoding());
        auto* root = new TXMLElement(QStringLiteral("_root"), doc);
        doc->setDocumentElement(root);
        const qsizetype open = value.indexOf(u'<');
        const qsizetype close = value.indexOf(u'>');
        const QString tag = value.mid(open + 1, close - open - 1);
        const qsizetype end = value.indexOf(QStringLiteral("</"));
        auto* e = new TXMLElement(tag, doc);
        root->appendChild(e);
        e->appendText(new TXMLText(value.mid(close + 1, end - close - 1), doc));
        return doc;
    }
    bool IsTokenizedAttribute(TDocumentType*, const QString& element, const QString& attribute) override
    {
        return tokenized.contains(element + u'/' + attribute);
    }
    void LoadExternal(TDocumentType*) override { ++loaded; }
    void ValidateDocumentType(TDocumentType*) override { }
    void ValidateElement(TXMLElement* e) override { validated << e->getTagName(); }

private:
    TXMLDTDHooks* m_previous;
};

} // namespace

TEST(DomFaults, LongAndDeepTreesAreDestroyedWithoutRecursion)
{
    auto doc = std::make_unique<TXMLDocument>();
    auto* root = new TXMLElement(QStringLiteral("r"), doc.get());
    doc->setDocumentElement(root);
    for (int i = 0; i < 300000; ++i) root->appendChild(new TXMLElement(QStringLiteral("s"), doc.get()));
    root->appendChild(deepChain(*doc, 200000));
    doc.reset(); // must not overflow the stack

    // A removed deep subtree deleted on its own.
    TXMLDocument other;
    TXMLElement* inner = nullptr;
    std::unique_ptr<TXMLElement> chain(deepChain(other, 200000, &inner));
    inner->appendText(new TXMLText(QStringLiteral("x"), &other));
    chain.reset();
}

TEST(DomFaults, DeepTreesAreWrittenClonedAndValidatedWithoutRecursion)
{
    TXMLDocument doc;
    FlatParser flat; // indentation would make the text quadratic in the depth
    doc.SetParser(&flat);
    TXMLElement* inner = nullptr;
    doc.setDocumentElement(deepChain(doc, 100000, &inner));
    inner->appendText(new TXMLText(QStringLiteral("x"), &doc));
    const QString text = doc.WriteToString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("</d>")));
    EXPECT_EQ(text.count(QStringLiteral("<d>")), 100000);
    std::unique_ptr<TXMLNode> copy(doc.getDocumentElement()->Clone());
    int depth = 0;
    for (TXMLElement* e = static_cast<TXMLElement*>(copy.get()); e; e = e->getFirstChildElement()) ++depth;
    EXPECT_EQ(depth, 100000);
    FakeHooks hooks;
    doc.getDocumentElement()->Validate();
    EXPECT_EQ(hooks.validated.size(), 100000);
}

TEST(DomFaults, ValidationVisitsElementsInDocumentOrder)
{
    TXMLDocument doc;
    auto* a = new TXMLElement(QStringLiteral("a"), &doc);
    doc.setDocumentElement(a);
    auto* b = new TXMLElement(QStringLiteral("b"), &doc);
    a->appendChild(b);
    b->appendChild(new TXMLElement(QStringLiteral("c"), &doc));
    a->appendChild(new TXMLElement(QStringLiteral("d"), &doc));
    FakeHooks hooks;
    a->Validate();
    EXPECT_EQ(hooks.validated, (QStringList{"a", "b", "c", "d"}));
}

TEST(DomFaults, ForeignNodesInAList)
{
    TXMLDocument doc;
    TXMLElement one(QStringLiteral("one"), &doc);
    TXMLElement two(QStringLiteral("two"), &doc);
    auto* a = new TXMLElement(QStringLiteral("a"), &doc);
    auto* b = new TXMLElement(QStringLiteral("b"), &doc);
    one.appendChild(a);
    two.appendChild(b);
    // Removing a node of another list: 12, both lists intact.
    EXPECT_EQ(domCode([&] { one.removeChild(b); }), 12);
    EXPECT_EQ(domCode([&] { one.getChildNodes().removeChild(b); }), 12);
    EXPECT_EQ(two.getChildNodes().first(), b);
    EXPECT_EQ(b->getParentNode(), &two);
    // A reference node of another list: 8.
    auto* c = new TXMLElement(QStringLiteral("c"), &doc);
    EXPECT_EQ(domCode([&] { one.getChildNodes().insertBefore(c, b); }), 8);
    EXPECT_EQ(domCode([&] { one.getChildNodes().insertAfter(c, b); }), 8);
    EXPECT_EQ(c->getParentList(), nullptr);
    EXPECT_EQ(one.getChildNodes().count(), 1);
    EXPECT_EQ(two.getChildNodes().count(), 1);
    one.getChildNodes().insertBefore(c, a);
    EXPECT_EQ(one.getChildNodes().first(), c);

    // An ancestor appended into its descendant, or a node into itself: 3.
    auto top = std::make_unique<TXMLElement>(QStringLiteral("top"), &doc);
    auto* mid = new TXMLElement(QStringLiteral("mid"), &doc);
    auto* leaf = new TXMLElement(QStringLiteral("leaf"), &doc);
    top->appendChild(mid);
    mid->appendChild(leaf);
    EXPECT_EQ(domCode([&] { leaf->appendChild(top.get()); }), 3);
    EXPECT_EQ(domCode([&] { top->appendChild(top.get()); }), 3);
    EXPECT_EQ(domCode([&] { leaf->getChildNodes().insertAfter(top.get(), nullptr); }), 3);
    EXPECT_TRUE(leaf->getChildNodes().isEmpty());
    EXPECT_EQ(top->getParentList(), nullptr);
    // The document itself cannot go under its own element.
    auto* root = new TXMLElement(QStringLiteral("root"), &doc);
    doc.setDocumentElement(root);
    EXPECT_EQ(domCode([&] { root->appendChild(&doc); }), 3);
}

TEST(DomFaults, SubtreesMovedBetweenDocumentsAreRehomed)
{
    TXMLDocument from;
    TXMLDocument to;
    auto* subtree = new TXMLElement(QStringLiteral("s"), &from);
    subtree->setAttribute(QStringLiteral("a"), QStringLiteral("1"));
    auto* child = new TXMLElement(QStringLiteral("c"), &from);
    subtree->appendChild(child);
    TXMLText* text = child->appendText(new TXMLText(QStringLiteral("t"), &from));
    auto* fromRoot = new TXMLElement(QStringLiteral("r"), &from);
    from.setDocumentElement(fromRoot);
    fromRoot->appendChild(subtree);

    auto* toRoot = new TXMLElement(QStringLiteral("r"), &to);
    to.setDocumentElement(toRoot);
    toRoot->appendChild(fromRoot->removeChild(subtree));
    EXPECT_EQ(subtree->getOwnerDocument(), &to);
    EXPECT_EQ(subtree->getAttributeNode(QStringLiteral("a"))->getOwnerDocument(), &to);
    EXPECT_EQ(child->getOwnerDocument(), &to);
    EXPECT_EQ(text->getOwnerDocument(), &to);
    EXPECT_EQ(child->getChildNodes().getOwnerDocument(), &to);
    // New nodes of the moved subtree's lists are now checked against "to".
    auto* fresh = new TXMLAttr(QStringLiteral("b"), &to, QString());
    child->setAttributeNode(fresh);
    EXPECT_EQ(domCode([&] {
                  std::unique_ptr<TXMLAttr> stale(new TXMLAttr(QStringLiteral("z"), &from, QString()));
                  child->setAttributeNode(stale.get());
                  stale.release();
              }),
              4);
}

TEST(DomFaults, EntityWithMarkupGoesInPlaceAndItsDocumentIsFreed)
{
    FakeHooks hooks;
    hooks.entities.insert(QStringLiteral("bold"), {TXMLDTDHooks::gekInternal, QStringLiteral("<b>x &amp; y</b>")});
    hooks.entities.insert(QStringLiteral("name"), {TXMLDTDHooks::gekInternal, QStringLiteral("Ann")});
    hooks.entities.insert(QStringLiteral("pic"), {TXMLDTDHooks::gekUnparsed, QString()});
    hooks.entities.insert(QStringLiteral("ext"), {TXMLDTDHooks::gekExternal, QStringLiteral("outside")});
    TXMLDocument doc;
    doc.setEncoding(QStringLiteral("UTF-8"));
    doc.appendChild(new TDocumentType(QStringLiteral("r"), &doc));
    auto* root = new TXMLElement(QStringLiteral("r"), &doc);
    doc.setDocumentElement(root);

    TXMLText* t = root->appendText(new TXMLText(QStringLiteral("Hi &name;, &bold; and &ext; &undeclared;"), &doc));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(hooks.parsed, 1);
    EXPECT_EQ(t->getNodeValue(), QStringLiteral("Hi Ann, "));
    TXMLNode* b = t->nextSibling();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getNodeName(), QStringLiteral("b"));
    EXPECT_EQ(b->getOwnerDocument(), &doc);
    EXPECT_EQ(static_cast<TXMLElement*>(b)->getFirstTextNode()->getOwnerDocument(), &doc);
    EXPECT_EQ(static_cast<TXMLElement*>(b)->getFirstTextNode()->getNodeValue(), QStringLiteral("x & y"));
    ASSERT_NE(b->nextSibling(), nullptr);
    EXPECT_EQ(b->nextSibling()->getNodeValue(), QStringLiteral(" and outside &undeclared;"));
    EXPECT_EQ(doc.WriteToString().section(QStringLiteral("<r>"), 1),
              QStringLiteral("Hi Ann, <b>x &amp; y</b> and outside &undeclared;</r>"));

    try {
        root->appendText(new TXMLText(QStringLiteral("&pic;"), &doc));
        ADD_FAILURE() << "no error";
    } catch (const EXMLParserError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Reference to an unparsed entity is not allowed in the character data."));
    }
    try {
        root->setAttribute(QStringLiteral("a"), QStringLiteral("&ext;"));
        ADD_FAILURE() << "no error";
    } catch (const EXMLParserError& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("Reference to an external entity is not allowed in the attribute value."));
    }
    try {
        root->setAttribute(QStringLiteral("a"), QStringLiteral("&pic;"));
        ADD_FAILURE() << "no error";
    } catch (const EXMLParserError& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("Reference to an unparsed entity is not allowed in the attribute value."));
    }
    // In an attribute, markup text is plain text.
    root->setAttribute(QStringLiteral("n"), QStringLiteral("&name; &bold;"));
    EXPECT_EQ(root->getAttribute(QStringLiteral("n")), QStringLiteral("Ann <b>x &amp; y</b>"));
    EXPECT_EQ(hooks.parsed, 1);
}

TEST(DomFaults, TokenizedAttributesCollapseBlanks)
{
    FakeHooks hooks;
    hooks.tokenized.insert(QStringLiteral("e/ids"));
    TXMLDocument doc;
    doc.appendChild(new TDocumentType(QStringLiteral("e"), &doc));
    auto* e = new TXMLElement(QStringLiteral("e"), &doc);
    doc.setDocumentElement(e);
    e->setAttribute(QStringLiteral("ids"), QStringLiteral("  a \t\r\n b  c "));
    e->setAttribute(QStringLiteral("text"), QStringLiteral("  a \t b "));
    EXPECT_EQ(e->getAttribute(QStringLiteral("ids")), QStringLiteral("a b c"));
    // A value the program sets keeps its tab unless the attribute is tokenized.
    EXPECT_EQ(e->getAttribute(QStringLiteral("text")), QStringLiteral("  a \t b "));
    doc.getDocType()->LoadExternal();
    EXPECT_EQ(hooks.loaded, 1);
}

TEST(DomFaults, SelfReferringMarkupEntityStops)
{
    // Should the DTD side fail to guard, the model stops the recursion.
    class Looping : public FakeHooks {
    public:
        TXMLDocument* ParseEntityContent(TXMLDocument* document, const QString& value) override
        {
            auto* doc = new TXMLDocument();
            auto* root = new TXMLElement(QStringLiteral("_root"), doc);
            doc->setDocumentElement(root);
            doc->appendChild(new TDocumentType(QStringLiteral("_root"), doc));
            std::unique_ptr<TXMLDocument> guard(doc);
            root->appendText(new TXMLText(QStringLiteral("&loop;"), doc));
            (void)document;
            (void)value;
            return guard.release();
        }
    } hooks;
    hooks.entities.insert(QStringLiteral("loop"), {TXMLDTDHooks::gekInternal, QStringLiteral("<a>&loop;</a>")});
    TXMLDocument doc;
    doc.appendChild(new TDocumentType(QStringLiteral("r"), &doc));
    auto* root = new TXMLElement(QStringLiteral("r"), &doc);
    doc.setDocumentElement(root);
    try {
        root->appendText(new TXMLText(QStringLiteral("&loop;"), &doc));
        ADD_FAILURE() << "no error";
    } catch (const EXMLParserError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Recursive reference to entity \"loop\"."));
    }
    EXPECT_TRUE(root->getChildNodes().isEmpty());
}

TEST(DomFaults, DocumentTypeDeclarations)
{
    TXMLDocument doc;
    auto* dt = new TDocumentType(QStringLiteral("r"), &doc);
    doc.appendChild(dt);
    EXPECT_EQ(doc.getDocType(), dt);
    // Plain nodes stand for declarations here.
    auto* general = new TXMLNode(QStringLiteral("e"), &doc, 10);
    EXPECT_TRUE(dt->AddEntityDecl(general));
    std::unique_ptr<TXMLNode> again(new TXMLNode(QStringLiteral("e"), &doc, 10));
    EXPECT_FALSE(dt->AddEntityDecl(again.get()));
    EXPECT_EQ(again->getParentList(), nullptr);
    dt->AddDeclaration(new TXMLNode(QStringLiteral("el"), &doc, 8));
    EXPECT_NE(dt->getElementDecl(QStringLiteral("el")), nullptr);
    EXPECT_EQ(dt->FindDeclaration(QStringLiteral("e"), 10), general);
    std::unique_ptr<TXMLNode> copy(dt->Clone());
    EXPECT_EQ(copy->OwnedList()->count(), 2);
}
