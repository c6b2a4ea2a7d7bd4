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

} // namespace

void TAttDef::CheckValue(TXMLAttr* attribute, TXMLElement* element, TErrorsList& errors) const
{
    TXMLDocument* document = element->getOwnerDocument();
    TDocumentType* docType = document ? document->getDocType() : nullptr;
    const QString& elementName = element->getTagName();
    const QString& name = attribute->getNodeName();
    const QString& value = attribute->getValue();
    auto add = [&](const char* text, TXMLNode* node) {
        errors.Add(Format(QString::fromLatin1(text), {elementName, name, value}), node);
    };
    static const char* const nameMessage =
        "[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match NAME production .";
    static const char* const idrefMessage =
        "[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: The value of an IDREF Attribute matches the value of a "
        "nonexisting ID attribute.";
    static const char* const entityMessage =
        "[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: The value of an ENTITY Attribute matches a nonexisting "
        "unparsed entity.";

    if (AttType == atNOTATION && m_enumeration) {
        for (TXMLNode* v = m_enumeration->Values().first(); v; v = v->nextSibling())
            if (!docType || !docType->getNotation(v->getNodeName()))
                errors.Add(Format(QStringLiteral("[DTD]: Notation name \"%s\" is not declared."), {v->getNodeName()}),
                           v);
    }
    if (DefaultKind == dkFixed && value != DefaultValue)
        errors.Add(Format(QStringLiteral("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't "
                                         "match the default value \"%s\"."),
                          {elementName, name, value, DefaultValue}),
                   attribute);

    switch (AttType) {
    case atID: {
        if (!IsValidName(value)) add(nameMessage, attribute);
        if (document) {
            // Once for each further attribute of the same value.
            for (int k = document->IdValueCount(value); k > 1; --k)
                add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value of type ID appears more "
                    "than once.",
                    attribute);
        }
        if (const auto* list = dynamic_cast<const TAttListDecl*>(getParentNode())) {
            for (TXMLNode* a = attribute->nextSameTypeSibling(); a; a = a->nextSameTypeSibling()) {
                const TAttDef* def = list->Definition(a->getNodeName());
                if (def && def->AttType == atID)
                    errors.Add(
                        Format(QStringLiteral("[Element: \"%s\"]: Element has more than one attribute of type ID."),
                               {elementName}),
                        element);
            }
        }
        if (DefaultKind != dkImplied && DefaultKind != dkRequired)
            errors.Add(
                Format(QStringLiteral("[Element: \"%s\" Attribute: \"%s\"]: An ID attribute must have a declared "
                                      "default of #IMPLIED or #REQUIRED."),
                       {elementName, name}),
                attribute);
        break;
    }
    case atIDREF:
        if (!IsValidName(value)) add(nameMessage, attribute);
        if (!document || !IsGatheredId(document, value)) add(idrefMessage, attribute);
        break;
    case atIDREFS: {
        QStringList names;
        if (!IsValidNames(value, &names))
            add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute value doesn't match NAMES production .",
                attribute);
        for (const QString& n : names)
            if (!document || !IsGatheredId(document, n)) add(idrefMessage, attribute);
        break;
    }
    case atENTITY:
        if (!IsValidName(value)) add(nameMessage, attribute);
        if (!IsUnparsedEntity(docType, value)) add(entityMessage, attribute);
        break;
    case atENTITIES: {
        QStringList names;
        if (!IsValidNames(value, &names))
            add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match NAMES production .",
                attribute);
        for (const QString& n : names)
            if (!IsUnparsedEntity(docType, n)) add(entityMessage, attribute);
        break;
    }
    case atNMTOKEN:
        if (!IsValidNmtoken(value))
            add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match NMTOKEN production "
                ".",
                attribute);
        break;
    case atNMTOKENS:
        if (!IsValidNmtokens(value))
            add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Attribute's value doesn't match TOKENS production "
                ".",
                attribute);
        break;
    case atNOTATION:
    case atEnumeration:
        if (!m_enumeration || !m_enumeration->Contains(value))
            add("[Element: \"%s\" Attribute: \"%s\" Value: \"%s\"]: Improper value of an enumerated attribute.",
                attribute);
        break;
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
