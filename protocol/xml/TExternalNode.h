#pragma once
// Base of the nodes that may name an external file: the document type,
// notations and entity declarations. Holds the system and public
// identifiers. Loading is the business of each class (LoadExternal).

#include "protocol/xml/TXMLNode.h"

class TExternalNode : public TXMLNode {
public:
    TExternalNode(const QString& name, TXMLDocument* document, uint8_t nodeType,
                  TNameCheck check = TNameCheck::Checked);
    ~TExternalNode() override;

    QString SystemId;
    QString PublicId;

    // Reads the file named by the identifiers; nothing here.
    virtual void LoadExternal();
};
