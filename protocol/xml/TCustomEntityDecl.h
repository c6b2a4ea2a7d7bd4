#pragma once
// An entity declaration (node type 10): the value is the replacement text.
// An internal entity gets its value from its literal; an external one (with
// an identifier) reads it from its file when it is first referenced.

#include "protocol/xml/TExternalNode.h"

class TCustomEntityDecl : public TExternalNode {
public:
    TCustomEntityDecl(const QString& name, TXMLDocument* document);
    ~TCustomEntityDecl() override;

    virtual bool IsParameter() const = 0;

    // True after creation, false once an identifier is given.
    bool IsInternal = true;

    // Sets and expands the value; text is kept as the declaration's literal.
    // An external declaration raises "Can not set a value of an external
    // entity.".
    void SetValue(const QString& text);
    // Expansion of an entity value: white space folded, character and
    // parameter-entity references resolved, general ones kept as written.
    void Expand() override;
    // Reads the entity's file once (allowed files only); a file that cannot
    // be found calls the parser's OnFileNotFound.
    void LoadExternal() override;
    bool Loaded() const { return m_loaded; }

    // The notation named after NDATA (accepted for parameter entities too).
    QString NotationName;

    // Set while the entity's replacement text is being expanded or read; a
    // reference to it then is recursive.
    bool Expanding = false;

    void WriteTo(TXMLOutput& out, int indent) const override;

protected:
    void CopyTo(TCustomEntityDecl* copy) const;

private:
    bool m_loaded = false;
    // The literal the value was expanded from, and that value: while the
    // value is unchanged the literal is written, since the value itself
    // would not read back the same (its "&" may have come from "&#38;").
    QString m_literal;
    QString m_literalValue;
};
