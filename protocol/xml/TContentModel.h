#pragma once
// A node of an element's content model (node type 17). The top node carries
// the Kind (EMPTY, ANY, MIXED or CHILDREN); a group has children, a separator
// ("," for a sequence, "|" for a choice) and an occurrence; a child with a
// name is a name particle.

#include "protocol/xml/DTDTypes.h"
#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLNode.h"

class TContentModel : public TXMLNode {
public:
    TContentModel(const QString& name, TXMLDocument* document);
    ~TContentModel() override;

    TNodeList* OwnedList() const override { return const_cast<TNodeList*>(&m_children); }
    TNodeList& Children() { return m_children; }
    const TNodeList& Children() const { return m_children; }
    // A particle names an element; a group has no name.
    bool IsParticle() const { return !getNodeName().isEmpty(); }

    TContentKind Kind = ckChildren;
    TOccurrence Occurrence = ocOnce;
    char16_t Separator = u',';

    // The names of a MIXED model, in order.
    bool HasName(const QString& name) const;

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

    static QString OccurrenceSign(TOccurrence occurrence);
    static TOccurrence OccurrenceOf(const QString& sign);

private:
    TNodeList m_children;
};
