#include "protocol/xml/XmlDTDHooks_p.h"

#include "platform/core/Format.h"
#include "protocol/xml/TAttDef.h"
#include "protocol/xml/TAttListDecl.h"
#include "protocol/xml/TDTDParser.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TElementDecl.h"
#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLDTDHooks.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/XmlEntities_p.h"

#include <QBuffer>
#include <vector>

namespace {

TXMLParser* ParserOf(TXMLDocument* document)
{
    return document ? dynamic_cast<TXMLParser*>(document->Parser()) : nullptr;
}

TErrorsList* ErrorsOf(TXMLDocument* document)
{
    TXMLParser* parser = ParserOf(document);
    return parser ? &parser->Errors() : nullptr;
}

TAttListDecl* AttListOf(TDocumentType* docType, const QString& elementName)
{
    return docType ? dynamic_cast<TAttListDecl*>(docType->getAttList(elementName)) : nullptr;
}

bool LooksLikeMarkup(const QString& text) { return text.contains(u'<') && text.contains(u'>'); }

// "&amp;", "&apos;", "&quot;", "&lt;" and "&gt;" (names in any case) as
// their characters; every other "&" stays.
QString ResolvePredefined(const QString& text)
{
    if (!text.contains(u'&')) return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'&') {
            const qsizetype semi = text.indexOf(u';', i + 1);
            if (semi > i && semi - i <= 5) {
                const QStringView name = QStringView(text).mid(i + 1, semi - i - 1);
                QChar c;
                if (name.compare(u"amp", Qt::CaseInsensitive) == 0)
                    c = u'&';
                else if (name.compare(u"apos", Qt::CaseInsensitive) == 0)
                    c = u'\'';
                else if (name.compare(u"quot", Qt::CaseInsensitive) == 0)
                    c = u'"';
                else if (name.compare(u"lt", Qt::CaseInsensitive) == 0)
                    c = u'<';
                else if (name.compare(u"gt", Qt::CaseInsensitive) == 0)
                    c = u'>';
                if (!c.isNull()) {
                    out.append(c);
                    i = semi;
                    continue;
                }
            }
        }
        out.append(text[i]);
    }
    return out;
}

class TXmlDTDHooks final : public TXMLDTDHooks {
public:
    TGeneralEntityKind ResolveGeneralEntity(TDocumentType* docType, const QString& name, QString& value) override
    {
        TXMLDocument* document = docType->getOwnerDocument();
        xmlentities::TContextScope scope(0, ParserOf(document));
        TGEntityDecl* decl = xmlentities::FindGeneralEntity(docType, name);
        if (!decl) return gekNotDeclared;
        if (decl->IsUnparsed) return gekUnparsed;
        TGEntityDecl* resolved = nullptr;
        xmlentities::ResolveGeneralEntity(document, name, value, resolved);
        // The five predefined references resolve too, unless that would
        // make the text look like markup it does not hold; text that holds
        // markup keeps them for the parse of its content.
        if (!LooksLikeMarkup(value)) {
            QString resolvedText = ResolvePredefined(value);
            if (!LooksLikeMarkup(resolvedText)) value = resolvedText;
        }
        return decl->IsInternal ? gekInternal : gekExternal;
    }

    TXMLDocument* ParseEntityContent(TXMLDocument* document, const QString& value) override
    {
        xmlentities::TContextScope scope(0, ParserOf(document));
        // The value is handed over as UTF-16 with its mark, so no character
        // is lost on the way whatever the document's encoding.
        QByteArray bytes("\xFF\xFE", 2);
        bytes += xmlentities::Utf16Bytes(value);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TXMLParser parser;
        parser.SetMode(u'e');
        parser.SetEntityEncoding(document ? document->getEncoding() : UTF_8);
        TXMLDocument* content = nullptr;
        try {
            parser.LoadFromStream(&buffer, content);
        } catch (...) {
            delete content;
            throw;
        }
        return content;
    }

    bool IsTokenizedAttribute(TDocumentType* docType, const QString& elementName, const QString& attributeName) override
    {
        const TAttListDecl* list = AttListOf(docType, elementName);
        const TAttDef* def = list ? list->Definition(attributeName) : nullptr;
        return def && def->AttType != atCDATA;
    }

    void LoadExternal(TDocumentType* docType) override
    {
        TXMLDocument* document = docType->getOwnerDocument();
        xmlentities::TContextScope scope(0, ParserOf(document));
        const QString path = xmlentities::ExternalFile(docType->PublicId, docType->SystemId);
        const QString name = docType->SystemId.isEmpty() ? docType->PublicId : docType->SystemId;
        if (path.isEmpty()) {
            xmlentities::FileNotFound(docType, name);
            return;
        }
        TDTDParser dtd;
        dtd.ParseFile(path, name, document);
    }

    void ValidateDocumentType(TDocumentType* docType) override
    {
        TXMLDocument* document = docType->getOwnerDocument();
        TErrorsList* errors = ErrorsOf(document);
        if (!errors) return;
        TXMLElement* root = document->getDocumentElement();
        if (!root)
            errors->Add(QStringLiteral("[XML]: Root element not found."), docType);
        else if (root->getTagName() != docType->getNodeName())
            errors->Add(Format(QStringLiteral("[DTD]: Root name \"%s\" in declaration does not match root name \"%s\" "
                                              "in document."),
                               {docType->getNodeName(), root->getTagName()}),
                        docType);
        const TNodeList& decls = docType->getDeclarations();
        for (TXMLNode* d = decls.getFirstOfType(nt::ElementDecl); d; d = d->nextSameTypeSibling())
            for (TXMLNode* other = decls.nextNamedItem(d); other; other = decls.nextNamedItem(other))
                errors->Add(
                    Format(QStringLiteral("[DTD]: Element \"%s\" is declared more than once."), {d->getNodeName()}),
                    other);
        const bool standalone = document->getStandalone();
        for (TXMLNode* d = decls.getFirstOfType(nt::EntityDecl); d; d = d->nextSameTypeSibling()) {
            auto* entity = dynamic_cast<TCustomEntityDecl*>(d);
            if (!entity) continue;
            if (standalone && !entity->IsInternal)
                errors->Add(QStringLiteral("[XML]: Wrong document standalone declaration."), entity);
            if (auto* general = dynamic_cast<TGEntityDecl*>(entity)) general->CheckNotation(*errors);
        }
    }

    void ValidateElement(TXMLElement* element) override
    {
        TXMLDocument* document = element->getOwnerDocument();
        TErrorsList* errors = ErrorsOf(document);
        TDocumentType* docType = document ? document->getDocType() : nullptr;
        if (!errors || !docType) return;
        const QString& name = element->getTagName();
        auto* decl = dynamic_cast<TElementDecl*>(docType->getElementDecl(name));
        if (!decl) errors->Add(Format(QStringLiteral("[Element \"%s\"]: Element is not declared."), {name}), element);
        const TAttListDecl* list = AttListOf(docType, name);
        for (TXMLNode* a = element->getFirstAttribute(); a; a = a->nextSameTypeSibling()) {
            const TAttDef* def = list ? list->Definition(a->getNodeName()) : nullptr;
            if (!def)
                errors->Add(Format(QStringLiteral("[Element: \"%s\" Attribute: \"%s\"]: Attribute is not declared."),
                                   {name, a->getNodeName()}),
                            a);
            else if (decl)
                def->CheckValue(static_cast<TXMLAttr*>(a), element, *errors);
        }
        if (!decl) return;
        decl->CheckContent(element, *errors);
        if (list) list->CheckRequired(element, *errors);
    }
};

} // namespace

void InstallXmlDTDHooks()
{
    static TXmlDTDHooks hooks;
    if (TXMLDTDHooks::Current() != &hooks) TXMLDTDHooks::Install(&hooks);
}

void GatherIdAttributes(TXMLDocument* document, TXMLElement* root)
{
    TDocumentType* docType = document->getDocType();
    TNodeList* ids = document->IdList();
    std::vector<TXMLElement*> pending{root};
    while (!pending.empty()) {
        TXMLElement* e = pending.back();
        pending.pop_back();
        if (const TAttListDecl* list = AttListOf(docType, e->getTagName())) {
            for (TXMLNode* a = e->getFirstAttribute(); a; a = a->nextSameTypeSibling()) {
                const TAttDef* def = list->Definition(a->getNodeName());
                if (def && def->AttType == atID) ids->setNamedItem(a->Clone());
            }
        }
        for (TXMLElement* c = e->getFirstChildElement(); c; c = c->getNextSiblingElement()) pending.push_back(c);
    }
}
