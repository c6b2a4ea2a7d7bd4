#pragma once
// What the document model needs from the DTD side (declarations, entity
// parsing, validation, external files). The model has no declaration classes
// of its own; the DTD side installs one implementation of this interface
// (TXMLDTDHooks::Install, for example from TXMLParser's constructor). Without
// one, a document type declares nothing: every entity reference stays as
// written, every attribute counts as CDATA, and validation and loading do
// nothing.

#include <QString>

class TDocumentType;
class TXMLDocument;
class TXMLElement;

class TXMLDTDHooks {
public:
    virtual ~TXMLDTDHooks();

    enum TGeneralEntityKind {
        gekNotDeclared, // no document type or no such general entity
        gekInternal,    // internal entity: value is its replacement text
        gekExternal,    // external parsed entity: value is its loaded text
        gekUnparsed,    // unparsed (NDATA) entity
    };
    // The general entity of that name (never one of the five predefined
    // names, which the model resolves itself), and its replacement text as a
    // reference resolves it (the declaration's value, expanded). Guarding
    // against recursion and expansion bombs is the DTD side's.
    virtual TGeneralEntityKind ResolveGeneralEntity(TDocumentType* docType, const QString& name, QString& value) = 0;

    // Parses an entity's replacement text that holds markup as content under
    // an element "_root" of a new document, read in the encoding and byte
    // order of document; returns the new document, which the caller deletes
    // after taking the nodes. The caller saves and restores the list of
    // unconvertible characters around the call.
    virtual TXMLDocument* ParseEntityContent(TXMLDocument* document, const QString& value) = 0;

    // Whether the attribute is declared (in an ATTLIST of the element) with a
    // type other than CDATA; undeclared attributes count as CDATA.
    virtual bool IsTokenizedAttribute(TDocumentType* docType, const QString& elementName,
                                      const QString& attributeName) = 0;

    // TDocumentType::LoadExternal: reads the external DTD named by the
    // identifiers into the document type, or calls OnFileNotFound.
    virtual void LoadExternal(TDocumentType* docType) = 0;
    // TDocumentType::Validate: the document-type checks, errors to the
    // parser of the document type's document.
    virtual void ValidateDocumentType(TDocumentType* docType) = 0;
    // TXMLElement::Validate for one element (not its children): "[Element
    // "%s"]: Element is not declared.", the attribute checks, the content
    // model; errors to the parser of the element's document. The model then
    // validates the child elements itself.
    virtual void ValidateElement(TXMLElement* element) = 0;

    // The installed implementation (not owned), or none.
    static TXMLDTDHooks* Current();
    static void Install(TXMLDTDHooks* hooks);
};
