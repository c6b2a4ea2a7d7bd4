#include "protocol/xml/TAttDef.h"

#include "platform/core/Format.h"
#include "protocol/xml/DTDWriting_p.h"
#include "protocol/xml/LexChars_p.h"
#include "protocol/xml/TAttListDecl.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TEnumeration.h"
#include "protocol/xml/TErrorsList.h"
#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XmlEntities_p.h"

TAttDef::TAttDef(const QString& name, TXMLDocument* document) : TXMLNode(name, document, nt::AttDef) { }

TAttDef::~TAttDef() = default;

TEnumeration* TAttDef::NewEnumeration()
{
    m_enumeration = std::make_unique<TEnumeration>(getOwnerDocument());
    return m_enumeration.get();
}

void TAttDef::OwnerDocumentChanged()
{
    if (m_enumeration) m_enumeration->setOwnerDocumentDeep(getOwnerDocument());
}

bool TAttDef::TypeFromText(const QString& text, TAttType& type)
{
    static const struct {
        const char16_t* text;
        TAttType type;
    } types[] = {
        {u"CDATA", atCDATA},       {u"ID", atID},
        {u"IDREF", atIDREF},       {u"IDREFS", atIDREFS},
        {u"ENTITY", atENTITY},     {u"ENTITIES", atENTITIES},
        {u"NMTOKEN", atNMTOKEN},   {u"NMTOKENS", atNMTOKENS},
        {u"NOTATION", atNOTATION}, {u"(", atEnumeration},
    };
    for (const auto& t : types)
        if (lexchars::SameText(text, QStringView(t.text))) {
            type = t.type;
            return true;
        }
    return false;
}

namespace {

bool IsGatheredId(TXMLDocument* document, const QString& value) { return document->IdValueCount(value) > 0; }

bool IsUnparsedEntity(TDocumentType* docType, const QString& name)
{
    const TGEntityDecl* ge = xmlentities::FindGeneralEntity(docType, name);
    return ge && ge->IsUnparsed;
}

// Messages that begin with the element, the attribute and the value.
constexpr const char* kNameMessage =
    "[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match NAME production .";
constexpr const char* kIdrefMessage = "[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: The value of an IDREF "
                                      "Attribute matches the value of a nonexisting ID attribute.";
constexpr const char* kEntityMessage = "[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: The value of an ENTITY "
                                       "Attribute matches a nonexisting unparsed entity.";

// The checks of one attribute value against its definition.
class TValueCheck {
public:
    TValueCheck(const TAttDef& def, TXMLAttr* attribute, TXMLElement* element, TErrorsList& errors)
        : m_def(def),
          m_attribute(attribute),
          m_element(element),
          m_errors(errors),
          m_document(element->getOwnerDocument()),
          m_docType(m_document ? m_document->getDocType() : nullptr),
          m_elementName(element->getTagName()),
          m_name(attribute->getNodeName()),
          m_value(attribute->getValue())
    { }

    void NotationNames() const;
    void Fixed() const;
    void Id() const;
    void IdRef() const;
    void IdRefs() const;
    void Entity() const;
    void Entities() const;
    void Nmtoken() const;
    void Nmtokens() const;
    void Enumerated() const;

private:
    void Add(const char* text) const
    {
        m_errors.Add(Format(QString::fromLatin1(text), {m_elementName, m_name, m_value}), m_attribute);
    }

    const TAttDef& m_def;
    TXMLAttr* const m_attribute;
    TXMLElement* const m_element;
    TErrorsList& m_errors;
    TXMLDocument* const m_document;
    TDocumentType* const m_docType;
    const QString& m_elementName;
    const QString& m_name;
    const QString& m_value;
};

// Each name of a NOTATION type's enumeration must be a notation of the
// document type.
void TValueCheck::NotationNames() const
{
    const TEnumeration* enumeration = m_def.Enumeration();
    if (m_def.AttType != atNOTATION || !enumeration) return;
    for (TXMLNode* v = enumeration->Values().first(); v; v = v->nextSibling())
        if (!m_docType || !m_docType->getNotation(v->getNodeName()))
            m_errors.Add(Format(QStringLiteral("[DTD]: Notation name \"%s\" is not declared."), {v->getNodeName()}), v);
}

void TValueCheck::Fixed() const
{
    if (m_def.DefaultKind != dkFixed || m_value == m_def.DefaultValue) return;
    m_errors.Add(Format(QStringLiteral("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't "
                                       "match the default value \"%s\"."),
                        {m_elementName, m_name, m_value, m_def.DefaultValue}),
                 m_attribute);
}

void TValueCheck::Id() const
{
    if (!IsValidName(m_value)) Add(kNameMessage);
    if (m_document) {
        // Once for each further attribute of the same value.
        for (int k = m_document->IdValueCount(m_value); k > 1; --k)
            Add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value of type ID appears more than "
                "once.");
    }
    if (const auto* list = dynamic_cast<const TAttListDecl*>(m_def.getParentNode())) {
        for (TXMLNode* a = m_attribute->nextSameTypeSibling(); a; a = a->nextSameTypeSibling()) {
            const TAttDef* def = list->Definition(a->getNodeName());
            if (def && def->AttType == atID)
                m_errors.Add(
                    Format(QStringLiteral("[Element: \"%s\"]: Element has more than one attribute of type ID."),
                           {m_elementName}),
                    m_element);
        }
    }
    if (m_def.DefaultKind != dkImplied && m_def.DefaultKind != dkRequired)
        m_errors.Add(Format(QStringLiteral("[Element: \"%s\" Attribute: \"%s\"]: An ID attribute must have a declared "
                                           "default of #IMPLIED or #REQUIRED."),
                            {m_elementName, m_name}),
                     m_attribute);
}

void TValueCheck::IdRef() const
{
    if (!IsValidName(m_value)) Add(kNameMessage);
    if (!m_document || !IsGatheredId(m_document, m_value)) Add(kIdrefMessage);
}

void TValueCheck::IdRefs() const
{
    QStringList names;
    if (!IsValidNames(m_value, &names))
        Add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute value doesn't match NAMES production .");
    for (const QString& n : names)
        if (!m_document || !IsGatheredId(m_document, n)) Add(kIdrefMessage);
}

void TValueCheck::Entity() const
{
    if (!IsValidName(m_value)) Add(kNameMessage);
    if (!IsUnparsedEntity(m_docType, m_value)) Add(kEntityMessage);
}

void TValueCheck::Entities() const
{
    QStringList names;
    if (!IsValidNames(m_value, &names))
        Add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match NAMES production .");
    for (const QString& n : names)
        if (!IsUnparsedEntity(m_docType, n)) Add(kEntityMessage);
}

void TValueCheck::Nmtoken() const
{
    if (!IsValidNmtoken(m_value))
        Add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match NMTOKEN production .");
}

void TValueCheck::Nmtokens() const
{
    if (!IsValidNmtokens(m_value))
        Add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match TOKENS production .");
}

// NOTATION and enumerated types: one of the enumeration's values exactly.
void TValueCheck::Enumerated() const
{
    const TEnumeration* enumeration = m_def.Enumeration();
    if (!enumeration || !enumeration->Contains(m_value))
        Add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Improper value of an enumerated attribute.");
}

} // namespace

void TAttDef::CheckValue(TXMLAttr* attribute, TXMLElement* element, TErrorsList& errors) const
{
    const TValueCheck check(*this, attribute, element, errors);
    check.NotationNames();
    check.Fixed();
    switch (AttType) {
    case atID: check.Id(); break;
    case atIDREF: check.IdRef(); break;
    case atIDREFS: check.IdRefs(); break;
    case atENTITY: check.Entity(); break;
    case atENTITIES: check.Entities(); break;
    case atNMTOKEN: check.Nmtoken(); break;
    case atNMTOKENS: check.Nmtokens(); break;
    case atNOTATION:
    case atEnumeration: check.Enumerated(); break;
    case atCDATA: break;
    }
}

void TAttDef::WriteTo(TXMLOutput& out, int indent) const
{
    out.AppendCRLF();
    out.AppendSpaces(indent + 10);
    out.Append(getNodeName());
    switch (AttType) {
    case atID: out.Append(" ID"); break;
    case atIDREF: out.Append(" IDREF"); break;
    case atIDREFS: out.Append(" IDREFS"); break;
    case atENTITY: out.Append(" ENTITY"); break;
    case atENTITIES: out.Append(" ENTITIES"); break;
    case atNMTOKEN: out.Append(" NMTOKEN"); break;
    case atNMTOKENS: out.Append(" NMTOKENS"); break;
    case atCDATA: out.Append(" CDATA"); break;
    case atNOTATION:
        out.Append(" NOTATION");
        if (m_enumeration) m_enumeration->WriteTo(out, 0);
        break;
    case atEnumeration:
        if (m_enumeration) m_enumeration->WriteTo(out, 0);
        break;
    }
    switch (DefaultKind) {
    case dkRequired: out.Append(" #REQUIRED"); break;
    case dkImplied: out.Append(" #IMPLIED"); break;
    case dkFixed:
        out.Append(" #FIXED ");
        AppendDTDLiteral(out, DefaultValue);
        break;
    case dkValue:
        out.Append(u' ');
        AppendDTDLiteral(out, DefaultValue);
        break;
    }
}

TXMLNode* TAttDef::CloneNode() const
{
    auto* copy = new TAttDef(getNodeName(), getOwnerDocument());
    copy->setNodeValue(getNodeValue());
    copy->AttType = AttType;
    copy->DefaultKind = DefaultKind;
    copy->DefaultValue = DefaultValue;
    if (m_enumeration) copy->m_enumeration.reset(static_cast<TEnumeration*>(m_enumeration->Clone()));
    return copy;
}
