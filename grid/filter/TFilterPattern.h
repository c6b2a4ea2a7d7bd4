#pragma once
// One part of a row filter's condition, compiled once and matched against
// any number of cell texts.
//
// A pattern holding ">" or "<" first compares the text with the operand that
// follows the sign ("=" right after it makes the test inclusive; blanks are
// skipped; the operand runs to a blank, "&", "|" or the end; one double
// quote at each end is dropped): as numbers when both read as numbers, as
// dates when both are short dates, else as texts (at most 255 characters).
// When that comparison does not hold, the pattern is matched as a wildcard:
// "?" any one character, "*" any run, '"' ignored, "!" inverts the result,
// any other character itself.
//
// The matcher runs in time proportional to pattern length times text length
// whatever the number of stars: the tail after each run of stars is matched
// once per text position, from the last tail to the first.

#include "platform/core/DateTime.h"

#include <QString>
#include <optional>
#include <vector>

class TFilterPattern {
public:
    TFilterPattern() = default;
    explicit TFilterPattern(const QString& pattern);

    bool Match(QStringView text) const;
    const QString& Pattern() const { return m_pattern; }

private:
    // The operand of a ">" or "<", read once with the number and date it
    // stands for.
    struct TOperand {
        QString text;
        bool inclusive = false;
        std::optional<double> number;
        std::optional<TDateTime> date;
    };
    // The part of the pattern from one start (the pattern's, or after a run
    // of stars) to the next star or the end.
    struct TSegment {
        qsizetype start = 0;
        std::optional<TOperand> greater;
        std::optional<TOperand> less;
    };

    static std::optional<TOperand> ReadOperand(const QString& pattern, qsizetype sign, const QString& dateFormat,
                                               QChar dateSeparator);
    bool Relational(const TSegment& segment, QStringView text) const;
    bool MatchSegment(const TSegment& segment, QStringView text, qsizetype from,
                      const std::vector<char>* nextTail) const;

    QString m_pattern;
    std::vector<TSegment> m_segments;
    QString m_dateFormat;
    QChar m_dateSeparator;
};

// The wildcard and comparison test of one pattern against one text.
bool MatchPattern(const QString& pattern, const QString& text);
