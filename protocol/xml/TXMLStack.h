#pragma once
// The nodes open while a document is built: elements and the document type.
// The stack does not own its nodes.

#include <QString>
#include <vector>

class TXMLNode;

class TXMLStack {
public:
    void Push(TXMLNode* node) { m_nodes.push_back(node); }
    // Pops the top node and returns its name (empty for a nil node or an
    // empty stack).
    QString Pop();
    // Pops the top node, if any.
    void Drop()
    {
        if (!m_nodes.empty()) m_nodes.pop_back();
    }
    TXMLNode* Top() const { return m_nodes.empty() ? nullptr : m_nodes.back(); }
    bool IsEmpty() const { return m_nodes.empty(); }
    int Depth() const { return int(m_nodes.size()); }

private:
    std::vector<TXMLNode*> m_nodes;
};
