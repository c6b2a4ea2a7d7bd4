#pragma once
// An element declaration (node type 8) with its content model, which it owns.

#include "protocol/xml/TXMLNode.h"

#include <memory>

class TContentModel;
class TXMLElement;
class TErrorsList;

class TElementDecl : public TXMLNode {
public:
    TElementDecl(const QString& name, TXMLDocument* document);
    ~TElementDecl() override;

    TContentModel* ContentModel() const { return m_model.get(); }
    // Replaces the model (owned from now on).
    void SetContentModel(TContentModel* model);

    // Checks the content of an element of this name against the model.
    void CheckContent(TXMLElement* element, TErrorsList& errors) const;

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

protected:
    void OwnerDocumentChanged() override;

private:
    std::unique_ptr<TContentModel> m_model;
};
