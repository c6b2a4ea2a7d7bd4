#include "protocol/xml/TXMLStack.h"

#include "protocol/xml/TXMLNode.h"

QString TXMLStack::Pop()
{
    if (m_nodes.empty()) return QString();
    TXMLNode* node = m_nodes.back();
    m_nodes.pop_back();
    return node ? node->getNodeName() : QString();
}
