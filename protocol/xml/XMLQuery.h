#pragma once
// Reading answers: the few questions every reader of a document asks of an
// element. Each takes none for an absent element and answers none, empty or
// 0, so lookups chain without checks in between.

#include <QString>

class TXMLElement;

// The first child element with exactly that tag name, or none.
TXMLElement* ChildElement(const TXMLElement* parent, const QString& tagName);
// The data of the element's first text child; empty when it has none.
QString ElementText(const TXMLElement* element);
// The text of the first child element of that name (ElementText of
// ChildElement).
QString ChildText(const TXMLElement* parent, const QString& tagName);
// The same, the names compared in upper case ("NAME" finds "name").
TXMLElement* ChildElementNoCase(const TXMLElement* parent, const QString& tagName);
QString ChildTextNoCase(const TXMLElement* parent, const QString& tagName);
// The number of child elements.
int ChildElementCount(const TXMLElement* parent);
