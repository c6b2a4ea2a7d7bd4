// Random sequences of keys, clicks, drags, drops, pastes and program calls
// on small grids, for every combination of the drop, move and selection
// options; each seed runs a short sequence checked after every step.
#include "grid/TExtStringGrid.h"
#include "tests/grid/seq/GridSequence.h"

#include <gtest/gtest.h>

namespace {

constexpr int kSteps = 30;
constexpr int kSeedsPerBlock = 32;

// One block of consecutive seeds: the blocks together cover every option
// combination once.
class GridSequenceBlock : public ::testing::TestWithParam<int> { };

TEST_P(GridSequenceBlock, EveryStepKeepsTheGridsInvariants)
{
    const quint64 first = quint64(GetParam()) * kSeedsPerBlock;
    for (quint64 seed = first; seed < first + kSeedsPerBlock; ++seed) {
        const GridSequences::TRunResult r = GridSequences::Run(seed, kSteps);
        EXPECT_TRUE(r.ok) << r.report.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Combinations, GridSequenceBlock,
                         ::testing::Range(0, GridSequences::kCombinations / kSeedsPerBlock));

// The checks themselves: a grid broken behind the sequence's back is found
// at the step that broke it.
TEST(GridSequenceChecks, FindTextsAndRowsNoStepMade)
{
    // A seed whose first steps run clean, with a footer row.
    constexpr quint64 seed = 128;
    ASSERT_TRUE(GridSequences::Run(seed, 6).ok);
    const auto brokenAt = [](const GridSequences::TTamper& tamper) {
        const GridSequences::TRunResult r = GridSequences::Run(seed, 6, tamper);
        return r.ok ? 0 : r.steps;
    };
    // A text from nowhere.
    EXPECT_EQ(brokenAt([](TExtStringGrid& g, int step) {
                  if (step == 3) g.SetCells(g.ColCount() - 1, g.RowCount() - 1, QStringLiteral("stray"));
              }),
              3);
    // A text with a control character no step typed.
    EXPECT_EQ(brokenAt([](TExtStringGrid& g, int step) {
                  if (step == 2) g.SetCells(1, 1, QStringLiteral("t1") + QChar(0x7F));
              }),
              2);
    // A row lost.
    EXPECT_EQ(brokenAt([](TExtStringGrid& g, int step) {
                  if (step == 4) g.RemoveRows(g.FixedRows(), 1);
              }),
              4);
    // A row doubled.
    EXPECT_EQ(brokenAt([](TExtStringGrid& g, int step) {
                  if (step == 2) {
                      g.InsertRows(g.FixedRows(), 1);
                      for (int c = 0; c < g.ColCount(); ++c)
                          g.SetCells(c, g.FixedRows(), g.Cells(c, g.FixedRows() + 1));
                  }
              }),
              2);
    // Rows swapped.
    EXPECT_EQ(brokenAt([](TExtStringGrid& g, int step) {
                  if (step == 5) g.MoveRow(g.FixedRows(), g.FixedRows() + 1);
              }),
              5);
}

} // namespace
