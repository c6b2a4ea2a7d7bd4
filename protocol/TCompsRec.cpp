#include "protocol/TCompsRec.h"

#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <memory>

QString TCompsRec::GetValue(const QString& name) const { return ChildText(m_element, name); }

void TCompsRec::SetValue(const QString& name, const QString& value)
{
    TXMLDocument* doc = m_element->getOwnerDocument();
    TXMLElement* field = ChildElement(m_element, name);
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
