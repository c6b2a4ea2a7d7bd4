#include "protocol/xml/TContentModelAnalyzer.h"

#include "protocol/xml/TContentModel.h"
#include "protocol/xml/TNodeList.h"

int TContentModelAnalyzer::NewState()
{
    m_states.emplace_back();
    return int(m_states.size()) - 1;
}

TContentModelAnalyzer::Fragment TContentModelAnalyzer::ApplyOccurrence(Fragment f, TOccurrence oc)
{
    switch (oc) {
    case ocOptional: {
        const int in = NewState(), out = NewState();
        m_states[size_t(in)].eps = {f.in, out};
        m_states[size_t(f.out)].eps.push_back(out);
        return {in, out};
    }
    case ocZeroOrMore: {
        const int in = NewState(), out = NewState();
        m_states[size_t(in)].eps = {f.in, out};
        m_states[size_t(f.out)].eps.push_back(in);
        return {in, out};
    }
    case ocOneOrMore: {
        const int out = NewState();
        m_states[size_t(f.out)].eps.push_back(f.in);
        m_states[size_t(f.out)].eps.push_back(out);
        return {f.in, out};
    }
    default: return f;
    }
}

TContentModelAnalyzer::Fragment TContentModelAnalyzer::Particle(const TContentModel* p)
{
    const int in = NewState(), out = NewState();
    m_states[size_t(in)].name = p->getNodeName().trimmed();
    m_states[size_t(in)].next = out;
    return ApplyOccurrence({in, out}, p->Occurrence);
}

TContentModelAnalyzer::Fragment TContentModelAnalyzer::Group(const TContentModel* g, const std::vector<Fragment>& parts)
{
    const int in = NewState(), out = NewState();
    if (parts.empty()) {
        m_states[size_t(in)].eps.push_back(out);
    } else if (g->Separator == u'|') {
        for (const Fragment& f : parts) {
            m_states[size_t(in)].eps.push_back(f.in);
            m_states[size_t(f.out)].eps.push_back(out);
        }
    } else {
        m_states[size_t(in)].eps.push_back(parts.front().in);
        for (size_t i = 0; i + 1 < parts.size(); ++i) m_states[size_t(parts[i].out)].eps.push_back(parts[i + 1].in);
        m_states[size_t(parts.back().out)].eps.push_back(out);
    }
    return ApplyOccurrence({in, out}, g->Occurrence);
}

TContentModelAnalyzer::Fragment TContentModelAnalyzer::Groups(const TContentModel* model)
{
    // Post-order walk without recursion: each node's fragment is built once
    // all its children's fragments are done.
    struct Frame {
        const TContentModel* node;
        const TXMLNode* nextChild;
        std::vector<Fragment> parts;
    };
    std::vector<Frame> stack;
    stack.push_back({model, model->Children().first(), {}});
    for (;;) {
        Frame& f = stack.back();
        if (!f.nextChild) {
            const Fragment done = Group(f.node, f.parts);
            stack.pop_back();
            if (stack.empty()) return done;
            stack.back().parts.push_back(done);
            continue;
        }
        const auto* child = static_cast<const TContentModel*>(f.nextChild);
        f.nextChild = f.nextChild->nextSibling();
        if (child->IsParticle())
            f.parts.push_back(Particle(child));
        else
            stack.push_back({child, child->Children().first(), {}});
    }
}

TContentModelAnalyzer::TContentModelAnalyzer(const TContentModel* model)
{
    Fragment whole{-1, -1};
    if (!model) {
        const int s = NewState();
        whole = {s, s};
    } else if (model->IsParticle()) {
        whole = Particle(model);
    } else {
        whole = Groups(model);
    }
    m_start = whole.in;
    m_accept = whole.out;
}

TContentModelAnalyzer::~TContentModelAnalyzer() = default;

void TContentModelAnalyzer::Closure(std::vector<int>& set, std::vector<unsigned>& mark, unsigned gen) const
{
    std::vector<int> work(set);
    for (int s : set) mark[size_t(s)] = gen;
    while (!work.empty()) {
        const int s = work.back();
        work.pop_back();
        for (int t : m_states[size_t(s)].eps) {
            if (mark[size_t(t)] == gen) continue;
            mark[size_t(t)] = gen;
            set.push_back(t);
            work.push_back(t);
        }
    }
}

bool TContentModelAnalyzer::MatchNames(const std::vector<QString>& names) const
{
    std::vector<unsigned> mark(m_states.size(), 0);
    unsigned gen = 1;
    std::vector<int> current{m_start};
    Closure(current, mark, gen);
    std::vector<int> next;
    for (const QString& name : names) {
        next.clear();
        ++gen;
        for (int s : current) {
            const State& st = m_states[size_t(s)];
            if (st.next >= 0 && st.name == name && mark[size_t(st.next)] != gen) {
                mark[size_t(st.next)] = gen;
                next.push_back(st.next);
            }
        }
        if (next.empty()) return false;
        ++gen;
        Closure(next, mark, gen);
        current.swap(next);
    }
    for (int s : current)
        if (s == m_accept) return true;
    return false;
}

bool TContentModelAnalyzer::Match(const TNodeList& children) const
{
    std::vector<QString> names;
    for (TXMLNode* n = children.first(); n; n = n->nextSibling())
        if (n->getNodeType() == 1) names.push_back(n->getNodeName());
    return MatchNames(names);
}
