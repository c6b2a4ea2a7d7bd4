#include "protocol/xml/TCustomReference.h"

TCustomReference::TCustomReference(const QString& name, TXMLDocument* document, TRefKind kind)
    : TXMLNode(name, document, nt::Reference, TNameCheck::Unchecked), m_refKind(kind)
{ }

TCustomReference::~TCustomReference() = default;
