#include "protocol/xml/TContentModel.h"

#include "protocol/xml/TXMLOutput.h"

#include <vector>

TContentModel::TContentModel(const QString& name, TXMLDocument* document)
    : TXMLNode(name, document, nt::ContentParticle, TNameCheck::Unchecked), m_children(document, this)
{ }

TContentModel::~TContentModel() = default;

bool TContentModel::HasName(const QString& name) const
{
    for (TXMLNode* n = m_children.first(); n; n = n->nextSibling())
        if (n->getNodeName() == name) return true;
    return false;
}

QString TContentModel::OccurrenceSign(TOccurrence occurrence)
{
    switch (occurrence) {
    case ocOptional: return QStringLiteral("?");
    case ocZeroOrMore: return QStringLiteral("*");
    case ocOneOrMore: return QStringLiteral("+");
    default: return QString();
    }
}

TOccurrence TContentModel::OccurrenceOf(const QString& sign)
{
    if (sign == u"?") return ocOptional;
    if (sign == u"*") return ocZeroOrMore;
    if (sign == u"+") return ocOneOrMore;
    return ocOnce;
}

// A particle and a group each write their own occurrence sign, so a nested
// group reads back as it was written.
void TContentModel::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    if (IsParticle()) {
        out.Append(getNodeName());
        out.Append(OccurrenceSign(Occurrence));
        return;
    }
    switch (Kind) {
    case ckEmpty: out.Append(" EMPTY"); return;
    case ckAny: out.Append(" ANY"); return;
    case ckMixed: {
        out.Append("(#PCDATA ");
        bool names = false;
        for (TXMLNode* n = m_children.first(); n; n = n->nextSibling()) {
            out.Append(u'|');
            out.Append(n->getNodeName());
            names = true;
        }
        out.Append(u')');
        if (names) out.Append(u'*');
        return;
    }
    case ckChildren: {
        // Deep groups are written without recursion.
        struct Frame {
            const TContentModel* group;
            const TXMLNode* next;
        };
        std::vector<Frame> stack;
        out.Append(u'(');
        stack.push_back({this, m_children.first()});
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (!f.next) {
                out.Append(u')');
                out.Append(OccurrenceSign(f.group->Occurrence));
                stack.pop_back();
                continue;
            }
            const auto* child = static_cast<const TContentModel*>(f.next);
            if (f.next != f.group->m_children.first()) out.Append(f.group->Separator);
            f.next = f.next->nextSibling();
            if (child->IsParticle()) {
                child->WriteTo(out, 0);
            } else {
                out.Append(u'(');
                stack.push_back({child, child->m_children.first()});
            }
        }
        return;
    }
    }
}

TXMLNode* TContentModel::CloneNode() const
{
    auto* copy = new TContentModel(getNodeName(), getOwnerDocument());
    copy->setNodeValue(getNodeValue());
    copy->Kind = Kind;
    copy->Occurrence = Occurrence;
    copy->Separator = Separator;
    return copy;
}
