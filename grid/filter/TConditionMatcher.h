#pragma once
// A row filter's condition for one column, compiled once per filter run.
//
// The condition is trimmed, blanks around "&", ";", "^", "|" and "=" are
// dropped, and "=" is dropped (equality is the default) unless it follows
// ">" or "<", where it makes the comparison inclusive. The condition is then
// cut at "&" (and), ";", "^" and "|" (or) into patterns (FilterPattern.h),
// combined strictly from left to right without precedence. Without case
// sensitivity both condition and text are upper-cased.

#include "grid/filter/TFilterPattern.h"

#include <QString>
#include <vector>

class TConditionMatcher {
public:
    TConditionMatcher() = default;
    TConditionMatcher(const QString& condition, bool caseSensitive);

    bool Match(const QString& text) const;

private:
    struct TPart {
        TFilterPattern pattern;
        bool joinedByAnd = false; // ignored for the first part
    };
    std::vector<TPart> m_parts;
    bool m_caseSensitive = false;
};

bool MatchFilterCondition(const QString& condition, const QString& text, bool caseSensitive);
// One part of a condition (no "&", ";", "^" or "|" in it).
bool MatchFilterPart(const QString& part, const QString& text, bool caseSensitive);
