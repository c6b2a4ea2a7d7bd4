#include "protocol/xml/TXMLElement.h"

#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLDTDHooks.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLExpand_p.h"
#include "protocol/xml/XMLWideStrings.h"

#include <algorithm>
#include <vector>

TXMLElement::TXMLElement(const QString& tagName, TXMLDocument* document) : TContainer(tagName, document, 1) { }

TXMLElement::TXMLElement(const QString* tagName, TXMLDocument* document, ParsedName) : TContainer(tagName, document, 1)
{ }

TXMLElement::~TXMLElement() = default;

QString TXMLElement::getAttribute(const QString& name) const
{
    const TXMLAttr* a = getAttributeNode(name);
    return a ? a->getNodeValue() : QString();
}

TXMLAttr* TXMLElement::setAttribute(const QString& name, const QString& value)
{
    if (TXMLAttr* a = getAttributeNode(name)) {
        a->setNodeValue(value);
        return a;
    }
    return addAttribute(name, value, false);
}

TXMLAttr* TXMLElement::addAttribute(const QString& name, const QString& value, bool parsed)
{
    TXMLAttr* a = new (getOwnerDocument()) TXMLAttr(name, getOwnerDocument(), value, TXMLAttr::NoExpand{});
    m_list.setNamedItem(a);
    try {
        a->ExpandValue(parsed);
    } catch (...) {
        delete a; // unlinks itself
        throw;
    }
    return a;
}

TXMLAttr* TXMLElement::setParsedAttribute(const QString& name, const QString& rawValue)
{
    TXMLAttr* a = getAttributeNode(name);
    if (!a) return addAttribute(name, rawValue, true);
    const QString old = a->getNodeValue();
    a->setNodeValue(rawValue);
    try {
        a->Expand();
    } catch (...) {
        a->setNodeValue(old);
        throw;
    }
    return a;
}

TXMLText* TXMLElement::appendText(TXMLText* text)
{
    try {
        m_list.setNamedItem(text);
        text->Expand();
    } catch (...) {
        delete text;
        throw;
    }
    if (WideIsBlank(text->getNodeValue())) {
        delete text;
        return nullptr;
    }
    return text;
}

TXMLElement* TXMLElement::getFirstChildElement() const { return static_cast<TXMLElement*>(m_list.getFirstOfType(1)); }

TXMLElement* TXMLElement::getNextSiblingElement() const { return static_cast<TXMLElement*>(nextSameTypeSibling()); }

TXMLText* TXMLElement::getFirstTextNode() const { return static_cast<TXMLText*>(m_list.getFirstOfType(3)); }

void TXMLElement::Validate()
{
    TXMLDTDHooks* hooks = TXMLDTDHooks::Current();
    if (!hooks) return;
    // Pre-order over the element and its descendants, without recursion.
    std::vector<TXMLElement*> pending{this};
    while (!pending.empty()) {
        TXMLElement* e = pending.back();
        pending.pop_back();
        hooks->ValidateElement(e);
        const size_t mark = pending.size();
        for (TXMLElement* c = e->getFirstChildElement(); c; c = c->getNextSiblingElement()) pending.push_back(c);
        std::reverse(pending.begin() + qsizetype(mark), pending.end());
    }
}

namespace {

// Start tag with attributes; "/>" and false when nothing follows.
bool openElement(const TXMLElement* e, TXMLOutput& out, int indent)
{
    out.NewLine(indent);
    out.Append(u'<');
    out.Append(e->getTagName());
    out.LastWasText = false;
    const TNodeList& list = e->getChildNodes();
    int left = list.attributeCount();
    for (const TXMLNode* a = list.first(); a && left > 0; a = a->nextSibling()) {
        if (a->getNodeType() != 2) continue;
        a->WriteTo(out, indent);
        --left;
    }
    if (!e->hasContent()) {
        out.Append("/>");
        out.LastWasText = false;
        return false;
    }
    out.Append(u'>');
    return true;
}

void closeElement(const TXMLElement* e, TXMLOutput& out, int indent)
{
    out.NewLine(indent);
    out.Append("</");
    out.Append(e->getTagName());
    out.Append(u'>');
    out.LastWasText = false;
}

} // namespace

void TXMLElement::WriteTo(TXMLOutput& out, int indent) const
{
    // Elements below are written by this loop, not by recursion, so depth
    // costs no stack.
    struct Frame {
        const TXMLElement* element;
        const TXMLNode* next;
        int indent;
    };
    std::vector<Frame> stack;
    if (!openElement(this, out, indent)) return;
    stack.push_back({this, m_list.first(), indent});
    while (!stack.empty()) {
        out.MaybeFlush();
        Frame& f = stack.back();
        const TXMLNode* c = f.next;
        while (c && c->getNodeType() == 2) c = c->nextSibling();
        if (!c) {
            closeElement(f.element, out, f.indent);
            stack.pop_back();
            continue;
        }
        f.next = c->nextSibling();
        const int childIndent = out.ChildIndent(f.indent);
        if (c->getNodeType() == 1) {
            const TXMLElement* e = static_cast<const TXMLElement*>(c);
            if (openElement(e, out, childIndent)) stack.push_back({e, e->getChildNodes().first(), childIndent});
        } else {
            c->WriteTo(out, childIndent);
        }
    }
}

TXMLNode* TXMLElement::CloneNode() const
{
    TXMLElement* e = new TXMLElement(getNodeName(), getOwnerDocument());
    e->setNodeValue(getNodeValue());
    return e;
}
