#include "protocol/xml/TXMLComment.h"

#include "protocol/xml/TXMLOutput.h"

namespace {
const QString& commentName()
{
    static const QString name = QStringLiteral("#comment");
    return name;
}
} // namespace

TXMLComment::TXMLComment(const QString& value, TXMLDocument* document)
    : TXMLText(&commentName(), value, document, 5) { }

TXMLComment::~TXMLComment() = default;

void TXMLComment::WriteTo(TXMLOutput& out, int indent) const
{
    out.NewLine(indent);
    out.Append("<!--");
    out.Append(getNodeValue());
    out.Append("-->");
    out.LastWasText = false;
}

TXMLNode* TXMLComment::CloneNode() const { return new TXMLComment(getNodeValue(), getOwnerDocument()); }
