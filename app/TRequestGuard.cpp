#include "app/TRequestGuard.h"

#include <utility>

namespace {

using TSubject = TRequestGuard::TSubject;
using K = TRequestKind;

constexpr unsigned Of(TSubject s) { return 1u << s; }
constexpr unsigned Of(TRequestKind k) { return 1u << int(k); }
constexpr unsigned S = Of(TRequestGuard::sjSession);
constexpr unsigned P = Of(TRequestGuard::sjProperty);
constexpr unsigned C = Of(TRequestGuard::sjComps);

// One row per request kind, in the order of TRequestKind: what starting it
// replaces, what its answer belongs to (subject sets), and which running
// requests refuse it (itself among them: the same button again).
struct TKindRule {
    TRequestKind kind;
    const char* name;
    bool needsSession;
    unsigned replaces;
    unsigned belongsTo;
    bool belongsToMarks;
    unsigned refusedWhile;
};

constexpr TKindRule kRules[] = {
    {K::Login, "login", false, 0, 0, false, Of(K::Login)},
    {K::PropSearch, "property search", true, P | C, S, false, Of(K::PropSearch) | Of(K::PropData) | Of(K::Report)},
    {K::PropData, "property data", true, P | C, S | P, false, Of(K::PropSearch) | Of(K::PropData) | Of(K::Report)},
    {K::CompsSearch, "comps search", true, C, S | P | C, false,
     Of(K::CompsSearch) | Of(K::PropSearch) | Of(K::PropData) | Of(K::Report)},
    {K::Map, "street map", true, 0, S | P | C, true,
     Of(K::Map) | Of(K::CompsSearch) | Of(K::PropSearch) | Of(K::PropData)},
    {K::Report, "report", true, 0, S | P | C, false,
     Of(K::Report) | Of(K::CompsSearch) | Of(K::Map) | Of(K::PropSearch) | Of(K::PropData)},
    // A comp of the comps found for the property, read in this session; its
    // page is written by the report form, not while that makes a report.
    {K::CompInfo, "comp information", true, 0, S | P | C, false,
     Of(K::CompInfo) | Of(K::CompsSearch) | Of(K::PropSearch) | Of(K::PropData) | Of(K::Report)},
};
static_assert(sizeof(kRules) / sizeof(kRules[0]) == int(TRequestKind::Count), "one rule per request kind");

constexpr bool InOrder()
{
    for (int i = 0; i < int(TRequestKind::Count); ++i)
        if (kRules[i].kind != TRequestKind(i)) return false;
    return true;
}
static_assert(InOrder(), "the rules stand in the order of TRequestKind");

const TKindRule& Rule(TRequestKind kind) { return kRules[int(kind)]; }

QString Reason(TSubject subject)
{
    switch (subject) {
    case TRequestGuard::sjSession: return QStringLiteral("the user logged out");
    case TRequestGuard::sjProperty: return QStringLiteral("another property was searched meanwhile");
    case TRequestGuard::sjComps: return QStringLiteral("another comps search was started meanwhile");
    case TRequestGuard::sjCount: break;
    }
    return QString();
}

} // namespace

TRequestGuard::TRequestGuard(QObject* parent) : QObject(parent) { }

TRequestGuard::~TRequestGuard() = default;

QString TRequestGuard::KindName(TRequestKind kind) { return QString::fromLatin1(Rule(kind).name); }

void TRequestGuard::Tell(const QString& text)
{
    if (AnyRunning()) m_standing = text;
    if (OnTell) OnTell(text);
}

bool TRequestGuard::Running(TRequestKind kind) const { return Ticket(kind).running; }

bool TRequestGuard::AnyRunning() const
{
    for (const TTicket& ticket : m_tickets)
        if (ticket.running) return true;
    return false;
}

bool TRequestGuard::MayStart(TRequestKind kind)
{
    if (m_closed) return false;
    const TKindRule& rule = Rule(kind);
    const QString name = KindName(kind);
    for (int k = 0; k < int(TRequestKind::Count); ++k) {
        const auto other = TRequestKind(k);
        if (!(rule.refusedWhile & Of(other)) || !Running(other)) continue;
        if (other == kind)
            Tell(QStringLiteral("The %1 is already under way.").arg(name));
        else
            Tell(QStringLiteral("The %1 was not started: the %2 is still under way.").arg(name, KindName(other)));
        return false;
    }
    if (rule.needsSession && !(LoggedIn && LoggedIn())) {
        Tell(QStringLiteral("The %1 was not started: nobody is logged in.").arg(name));
        return false;
    }
    return true;
}

TRequestGuard::TRun TRequestGuard::Start(TRequestKind kind)
{
    if (!MayStart(kind)) return TRun();
    const TKindRule& rule = Rule(kind);
    for (int s = 0; s < sjCount; ++s)
        if (rule.replaces & Of(TSubject(s))) ++m_generation[s];
    TTicket& ticket = Ticket(kind);
    ticket = TTicket();
    ticket.running = true;
    for (int s = 0; s < sjCount; ++s) ticket.generation[s] = m_generation[s];
    if (rule.belongsToMarks && MarksKey) ticket.marks = MarksKey();
    return TRun(this, kind);
}

bool TRequestGuard::Lands(TRequestKind kind)
{
    TTicket& ticket = Ticket(kind);
    if (!ticket.running || m_closed) return false;
    if (!ticket.dropped.isEmpty()) return false;
    const TKindRule& rule = Rule(kind);
    for (int s = 0; s < sjCount && ticket.dropped.isEmpty(); ++s)
        if ((rule.belongsTo & Of(TSubject(s))) && ticket.generation[s] != m_generation[s])
            ticket.dropped = Reason(TSubject(s));
    if (ticket.dropped.isEmpty() && rule.belongsToMarks && MarksKey && ticket.marks != MarksKey())
        ticket.dropped = QStringLiteral("the comps marked for use changed meanwhile");
    return ticket.dropped.isEmpty();
}

void TRequestGuard::TellDropped(TRequestKind kind)
{
    // Once the request is over, after the connection's own last status.
    TTicket& ticket = Ticket(kind);
    if (m_closed || ticket.dropped.isEmpty() || ticket.told) return;
    ticket.told = true;
    Tell(QStringLiteral("The answer to the %1 was dropped: %2.").arg(KindName(kind), ticket.dropped));
}

void TRequestGuard::Replace(TSubject subject)
{
    if (subject >= 0 && subject < sjCount) ++m_generation[subject];
}

void TRequestGuard::Close() { m_closed = true; }

void TRequestGuard::End(TRequestKind kind)
{
    Ticket(kind) = TTicket();
    // The connections have told their last status by now.
    if (m_standing.isEmpty() || AnyRunning()) return;
    const QString line = std::exchange(m_standing, QString());
    if (!m_closed) Tell(line);
}

TRequestGuard::TRun::TRun(TRun&& other) noexcept : m_guard(other.m_guard), m_kind(other.m_kind)
{
    other.m_guard = nullptr;
}

TRequestGuard::TRun::~TRun() { Finish(); }

void TRequestGuard::TRun::Finish()
{
    if (m_guard) m_guard->End(m_kind);
    m_guard = nullptr;
}

bool TRequestGuard::TRun::Send(const std::function<void()>& send)
{
    try {
        send();
    } catch (...) {
        // The error of a request whose answer would be dropped goes with it;
        // a window gone meanwhile leaves the error as it was.
        if (!m_guard || m_guard->Lands(m_kind)) throw;
        m_guard->TellDropped(m_kind);
        return false;
    }
    if (!m_guard) return false;
    if (m_guard->Lands(m_kind)) return true;
    m_guard->TellDropped(m_kind);
    return false;
}
