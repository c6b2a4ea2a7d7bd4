#include "protocol/xml/TExternalNode.h"

TExternalNode::TExternalNode(const QString& name, TXMLDocument* document, uint8_t nodeType, TNameCheck check)
    : TXMLNode(name, document, nodeType, check)
{ }

TExternalNode::~TExternalNode() = default;

void TExternalNode::LoadExternal() { }
