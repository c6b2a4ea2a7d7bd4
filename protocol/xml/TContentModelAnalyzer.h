#pragma once
// Matches the child elements of an element against a content model. The
// model is compiled into a small automaton (one state per particle and group
// boundary) whose set of live states follows the children one by one, so
// every way of reading the children is tried at once: a failed alternative
// never keeps what it consumed, a repetition that consumes nothing ends, and
// the time is bounded by children times model size.

#include "protocol/xml/DTDTypes.h"

#include <QString>
#include <memory>
#include <vector>

class TContentModel;
class TNodeList;

class TContentModelAnalyzer {
public:
    // Compiles the model (a CHILDREN group or a particle).
    explicit TContentModelAnalyzer(const TContentModel* model);
    ~TContentModelAnalyzer();

    // Whether the sequence of names is a word of the model.
    bool MatchNames(const std::vector<QString>& names) const;
    // Whether the child elements (type 1) of the list, in order, match.
    bool Match(const TNodeList& children) const;

private:
    struct State {
        QString name;         // label of the one labelled edge, if any
        int next = -1;        // target of the labelled edge
        std::vector<int> eps; // epsilon edges
    };
    // The states between in and out that read one particle or group.
    struct Fragment {
        int in;
        int out;
    };
    int NewState();
    // The compiling steps: a fragment repeated or made optional by its
    // occurrence; a name particle; a group of finished parts (a choice or a
    // sequence); a model of nested groups, walked without recursion.
    Fragment ApplyOccurrence(Fragment f, TOccurrence oc);
    Fragment Particle(const TContentModel* p);
    Fragment Group(const TContentModel* g, const std::vector<Fragment>& parts);
    Fragment Groups(const TContentModel* model);
    int m_start = -1;
    int m_accept = -1;
    std::vector<State> m_states;

    void Closure(std::vector<int>& set, std::vector<unsigned>& mark, unsigned gen) const;
};
