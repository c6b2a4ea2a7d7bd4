#include "protocol/xml/TXMLText.h"

#include "protocol/xml/TNodeList.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/XMLExpand_p.h"
#include "protocol/xml/XMLWideStrings.h"

#include <memory>

namespace {
const QString& textName()
{
    static const QString name = QStringLiteral("#text");
    return name;
}
} // namespace

TXMLText::TXMLText(const QString& value, TXMLDocument* document) : TCharacterData(&textName(), document, 3, value) { }

TXMLText::TXMLText(const QString* sharedName, const QString& value, TXMLDocument* document, uint8_t nodeType)
    : TCharacterData(sharedName, document, nodeType, value)
{ }

TXMLText::TXMLText(QString&& value, TXMLDocument* document, Plain)
    : TCharacterData(&textName(), document, 3, std::move(value))
{
    setValueForm(TValueForm::Expanded);
}

TXMLText::TXMLText(const char* raw, qsizetype length, TXMLDocument* document, Plain)
    : TCharacterData(&textName(), document, 3, raw, length)
{
    setValueForm(TValueForm::Expanded);
}

TXMLText::~TXMLText() = default;

void TXMLText::Expand()
{
    TNodeList* list = getParentList();
    const bool canHoldMarkup = list && list->getOwnerNode() && list->getOwnerNode()->getNodeType() == 1;
    QString plain;
    std::vector<xmlexpand::TTextPiece> pieces;
    std::vector<qsizetype> kept;
    m_kept.Clear();
    if (!xmlexpand::ExpandText(getNodeValue(), getOwnerDocument(), canHoldMarkup, &plain, &pieces, &kept)) {
        setValueForm(TValueForm::Expanded);
        return;
    }
    if (pieces.empty()) {
        setNodeValue(plain);
        SetExpanded(std::move(kept));
        return;
    }
    // The text before the first markup entity stays here; the entities'
    // nodes and the text between and after them follow in order.
    std::vector<std::unique_ptr<TXMLDocument>> contents;
    for (auto& p : pieces) contents.emplace_back(p.content);
    setNodeValue(pieces.front().text);
    SetExpanded(std::move(pieces.front().kept));
    TXMLNode* at = this;
    for (size_t i = 1; i < pieces.size(); ++i) {
        if (TXMLDocument* content = contents[i].get()) {
            TXMLElement* root = content->getDocumentElement();
            if (!root) continue;
            TNodeList& from = root->getChildNodes();
            while (TXMLNode* n = from.first()) {
                from.removeChild(n);
                if (n->getNodeType() == 2) {
                    delete n;
                    continue;
                }
                list->insertAfter(n, at);
                at = n;
            }
        } else if (!WideIsBlank(pieces[i].text)) {
            TXMLText* t = new TXMLText(pieces[i].text, getOwnerDocument());
            t->SetExpanded(std::move(pieces[i].kept));
            list->insertAfter(t, at);
            at = t;
        }
    }
}

void TXMLText::SetExpanded(std::vector<qsizetype>&& kept)
{
    setValueForm(kept.empty() ? TValueForm::Expanded : TValueForm::KeptReferences);
    m_kept.Set(std::move(kept));
}

void TXMLText::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    // Bytes the parser kept hold nothing that text escapes.
    qsizetype length;
    if (const char* raw = RawValue(length); raw && getValueForm() == TValueForm::Expanded)
        out.AppendBytes(raw, length);
    else
        out.AppendValue(getNodeValue(), esText, getValueForm(), &m_kept);
    out.LastWasText = true;
}

TXMLNode* TXMLText::CloneNode() const
{
    TXMLText* t = new TXMLText(getNodeValue(), getOwnerDocument());
    t->setValueForm(getValueForm());
    t->m_kept = m_kept;
    return t;
}
