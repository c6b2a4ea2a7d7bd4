#include "protocol/TSubjectProperty.h"

#include "platform/core/SysUtils.h"
#include "protocol/FieldTexts.h"
#include "protocol/TextSearch.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

namespace {

// Each bound field with the search value it edits.
template <typename Visit>
void ForEachField(TSubjectProperty& s, Visit visit)
{
    visit(s.FieldApn, s.Values.apn);
    visit(s.FieldMls, s.Values.mls);
    visit(s.FieldFirstName, s.Values.first);
    visit(s.FieldLastName, s.Values.last);
    visit(s.FieldStreetNumber, s.Values.stnum);
    visit(s.FieldStreetName, s.Values.stname);
    visit(s.FieldCity, s.Values.city);
    visit(s.FieldState, s.Values.state);
    visit(s.FieldZip, s.Values.zip);
    visit(s.FieldStreetDir, s.Values.stdir);
    visit(s.FieldStreetSuffix, s.Values.stsuffix);
    visit(s.FieldStreetUnit, s.Values.stunit);
}

} // namespace

TSubjectProperty::TSubjectProperty(QObject* owner) : TvxCustomConnection(owner) { }

TSubjectProperty::~TSubjectProperty() = default;

void TSubjectProperty::ReadFields()
{
    ForEachField(*this, [](const QPointer<TTextField>& field, QString& value) {
        if (field) value = Trim(field->Text());
    });
}

void TSubjectProperty::WriteFields()
{
    ForEachField(*this, [](const QPointer<TTextField>& field, const QString& value) {
        if (field) field->SetText(value);
    });
}

void TSubjectProperty::Clear()
{
    Values.Clear();
    WriteFields();
}

void TSubjectProperty::AddToHistory()
{
    if (Values.IsEmpty()) return;
    for (const TSearchRec& r : m_history)
        if (r.SameValues(Values)) return;
    m_history.push_back(Values);
    m_historyIndex = int(m_history.size()) - 1;
}

void TSubjectProperty::HistoryBack()
{
    if (m_history.empty()) return;
    Values = m_history[size_t(m_historyIndex)];
    WriteFields();
    if (m_historyIndex > 0) --m_historyIndex;
}

void TSubjectProperty::HistoryForward()
{
    if (m_history.empty()) return;
    if (m_historyIndex < int(m_history.size()) - 1) ++m_historyIndex;
    Values = m_history[size_t(m_historyIndex)];
    WriteFields();
}

QString TSubjectProperty::Search(qint32 County, qint32 UserId)
{
    ReadFields();
    AddToHistory();

    TXMLElement* request = BeginRequest(QStringLiteral("prop.search"));
    request->setAttribute(QStringLiteral("county"), QString::number(County));
    request->setAttribute(QStringLiteral("userid"), QString::number(UserId));
    request->setAttribute(QStringLiteral("use_mls"), QStringLiteral("T"));

    TXMLDocument* doc = request->getOwnerDocument();
    auto search = std::make_unique<TXMLElement>(QStringLiteral("search"), doc);
    const std::pair<const char*, const QString*> attributes[] = {
        {"apn", &Values.apn},     {"mls", &Values.mls},           {"first", &Values.first},
        {"last", &Values.last},   {"stnum", &Values.stnum},       {"stname", &Values.stname},
        {"stdir", &Values.stdir}, {"stsuffix", &Values.stsuffix}, {"stunit", &Values.stunit},
        {"city", &Values.city},   {"state", &Values.state},       {"zip", &Values.zip},
    };
    for (const auto& [name, value] : attributes) search->setAttribute(QLatin1String(name), XmlEscape(*value));
    request->appendChild(search.get());
    search.release();

    if (!PostDocument()) return QString();
    return Document().VxpTypeName;
}

void TSubjectProperty::GetProperty(qint32 County, qint32 Parcel, qint32 Order, qint32 UserId)
{
    TXMLElement* request = BeginRequest(QStringLiteral("prop.get"));
    request->setAttribute(QStringLiteral("county"), QString::number(County));
    request->setAttribute(QStringLiteral("userid"), QString::number(UserId));
    request->setAttribute(QStringLiteral("parcel"), QString::number(Parcel));
    request->setAttribute(QStringLiteral("order"), QString::number(Order));
    PostDocument();
}

QString TSubjectProperty::ElementText(const QString& Name) const
{
    const TvxpDocument* document = vxpDocument();
    const TXMLElement* answer = document ? document->RequestElement() : nullptr;
    if (!answer) return QString();
    return ChildText(answer, Name);
}

qint32 TSubjectProperty::SoldPrice() const
{
    const TvxpDocument* document = vxpDocument();
    const TXMLElement* answer = document ? document->RequestElement() : nullptr;
    if (!answer) return 0;
    const TXMLElement* trx = ChildElement(answer, QStringLiteral("trx"));
    if (!trx) return 0;
    const TXMLElement* rec = trx->getFirstChildElement();
    if (!rec || rec->getTagName() != QLatin1String("rec")) return 0;
    QString price;
    for (const TXMLElement* e = rec->getFirstChildElement(); e; e = e->getNextSiblingElement()) {
        if (e->getTagName() != QLatin1String("sold_price") || !e->hasTextNode()) continue;
        price =
            FastReplace(FastReplace(::ElementText(e), QStringLiteral(","), QString()), QStringLiteral("$"), QString());
    }
    return StrToIntDef(price, 0);
}
