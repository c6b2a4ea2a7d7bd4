#include "protocol/xml/TXMLDocumentOwner.h"

TXMLDocumentOwner::TXMLDocumentOwner() : m_link(std::make_shared<TXMLDocumentOwner*>(this)) { }

TXMLDocumentOwner::~TXMLDocumentOwner() { *m_link = nullptr; }
