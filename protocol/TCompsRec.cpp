#include "protocol/TCompsRec.h"

#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"

#include <memory>

namespace {

TXMLElement* FindChild(const TXMLElement* parent, const QString& name)
{
    for (TXMLElement* e = parent->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getTagName() == name) return e;
    return nullptr;
}

} // namespace

QString TCompsRec::GetValue(const QString& name) const
{
    const TXMLElement* field = FindChild(m_element, name);
    if (!field) return QString();
    const TXMLText* text = field->getFirstTextNode();
    return text ? text->getData() : QString();
}

void TCompsRec::SetValue(const QString& name, const QString& value)
{
    TXMLDocument* doc = m_element->getOwnerDocument();
    TXMLElement* field = FindChild(m_element, name);
    if (!field) {
        auto created = std::make_unique<TXMLElement>(name, doc);
        m_element->appendChild(created.get());
        field = created.release();
    }
    if (TXMLText* text = field->getFirstTextNode()) {
        text->setData(value);
        return;
    }
    // The value as it stands: a text node, not text to be expanded.
    auto text = std::make_unique<TXMLText>(value, doc);
    field->appendChild(text.get());
    text.release();
}
