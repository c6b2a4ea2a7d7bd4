#include "protocol/xml/XMLQuery.h"

#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"

TXMLElement* ChildElement(const TXMLElement* parent, const QString& tagName)
{
    if (!parent) return nullptr;
    for (TXMLElement* e = parent->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getTagName() == tagName) return e;
    return nullptr;
}

QString ElementText(const TXMLElement* element)
{
    const TXMLText* text = element ? element->getFirstTextNode() : nullptr;
    return text ? text->getData() : QString();
}

QString ChildText(const TXMLElement* parent, const QString& tagName)
{
    return ElementText(ChildElement(parent, tagName));
}

TXMLElement* ChildElementNoCase(const TXMLElement* parent, const QString& tagName)
{
    if (!parent) return nullptr;
    const QString upper = tagName.toUpper();
    for (TXMLElement* e = parent->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getTagName().toUpper() == upper) return e;
    return nullptr;
}

QString ChildTextNoCase(const TXMLElement* parent, const QString& tagName)
{
    return ElementText(ChildElementNoCase(parent, tagName));
}

int ChildElementCount(const TXMLElement* parent)
{
    int n = 0;
    for (const TXMLElement* e = parent ? parent->getFirstChildElement() : nullptr; e; e = e->getNextSiblingElement())
        ++n;
    return n;
}
