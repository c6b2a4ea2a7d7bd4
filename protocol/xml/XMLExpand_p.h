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
    // Where in text the references to undeclared entities kept as written
    // begin.
    std::vector<qsizetype> kept;
};

// Text expand. Fills pieces only when a markup entity was met (and
// allowMarkup is set); otherwise returns the expanded text in *plain.
// Returns false when the value holds no "&" and is left as it is.
// *keptAt, when given, receives where in *plain each reference to an
// undeclared entity that stayed as written begins (each piece has its own).
bool ExpandText(const QString& value, TXMLDocument* document, bool allowMarkup, QString* plain,
                std::vector<TTextPiece>* pieces, std::vector<qsizetype>* keptAt = nullptr);

// Attribute expand (tokenized: declared with a type other than CDATA).
// Returns false, leaving *out alone, when the value stays as it is. Without
// normalizeWhiteSpace, tab, CR and LF stay as they are (a value the program
// sets, rather than one read from markup). *keptAt as for ExpandText.
bool ExpandAttribute(const QString& value, TXMLDocument* document, bool tokenized, QString* out,
                     bool normalizeWhiteSpace = true, std::vector<qsizetype>* keptAt = nullptr);

// The base expand of declaration values.
QString ExpandDeclarationValue(const QString& value, TXMLDocument* document);

} // namespace xmlexpand
