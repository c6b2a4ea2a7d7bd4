#pragma once
// Random sequences of user input and program calls on a small string grid,
// checked after every step against what the steps can have done: every cell
// text was typed, pasted, dropped, imported or set by the sequence; typed
// text holds no control characters; rows keep their identity and order
// unless a step removes them, and a row move neither loses nor doubles a
// row; a pending edit lands in its own cell; the current cell stays among
// the data cells.
//
// A seed gives the whole sequence: the low bits of the seed choose the
// combination of drag-and-drop, move and selection options (so a run of
// consecutive seeds covers every combination), the rest comes from a
// generator seeded with it.

#include <QString>
#include <QtGlobal>

#include <functional>

class TExtStringGrid;

namespace GridSequences {

// The options the seed's low bits choose, one bit each.
inline constexpr int kOptionBits = 8;
inline constexpr int kCombinations = 1 << kOptionBits;

struct TRunResult {
    bool ok = true;
    // The seed, the options and every step run; on failure up to the
    // failing one, with what was wrong: enough to replay it by hand.
    QString report;
    int steps = 0;
};

// Called after each step's input, before the checks: lets a test break the
// grid on purpose and see the checks find it.
using TTamper = std::function<void(TExtStringGrid& grid, int step)>;

// Told each step as it is done, before its checks (a step that crashes
// the process is the one after the last told).
using TTrace = std::function<void(const QString& step)>;

// Runs one sequence of the given number of steps; stops at the first
// violated invariant. Needs a running application (offscreen is enough).
TRunResult Run(quint64 seed, int steps, const TTamper& tamper = {}, const TTrace& trace = {});

// The options of a seed in words, e.g. "OleInsertRows OleRemoveRows ...".
QString DescribeOptions(quint64 seed);

} // namespace GridSequences
