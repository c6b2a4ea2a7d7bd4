#pragma once
// One validation problem: its message and the node it concerns.

#include <QString>

class TXMLNode;

class TError {
public:
    TError(const QString& message, TXMLNode* node) : Message(message), Node(node) { }

    QString Message;
    TXMLNode* Node = nullptr; // not owned
};
