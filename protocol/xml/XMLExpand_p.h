#pragma once
// Resolution of references in values: text, attribute values and the values
// of declarations.

#include <QString>
#include <vector>

class TXMLDocument;

namespace xmlexpand {

// A piece of expanded text: plain characters, or the parsed content of an
// entity that holds markup (a temporary document whose "_root" element holds
// the nodes; the receiver deletes it).
struct TTextPiece {
    QString text;
    TXMLDocument* content = nullptr;
};

// Text expand. Fills pieces only when a markup entity was met (and
// allowMarkup is set); otherwise returns the expanded text in *plain.
// Returns false when the value holds no "&" and is left as it is.
bool ExpandText(const QString& value, TXMLDocument* document, bool allowMarkup, QString* plain,
                std::vector<TTextPiece>* pieces);

// Attribute expand (tokenized: declared with a type other than CDATA).
// Returns false, leaving *out alone, when the value stays as it is.
bool ExpandAttribute(const QString& value, TXMLDocument* document, bool tokenized, QString* out);

// The base expand of declaration values.
QString ExpandDeclarationValue(const QString& value, TXMLDocument* document);

} // namespace xmlexpand
