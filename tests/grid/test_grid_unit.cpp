// The grid unit's start-up, run once for the whole test program as the
// program runs it where it starts.
#include "grid/TGridUnit.h"

#include <gtest/gtest.h>

namespace {

class GridUnitEnvironment : public ::testing::Environment {
public:
    void SetUp() override { TGridUnit::Startup(); }
    void TearDown() override { TGridUnit::Shutdown(); }
};

const ::testing::Environment* const g_gridUnit = ::testing::AddGlobalTestEnvironment(new GridUnitEnvironment);

TEST(GridUnit, StartsOnceWithTheFormatTheClipboardUses)
{
    const QString format = TGridUnit::CellsFormat();
    ASSERT_FALSE(format.isEmpty());
    EXPECT_TRUE(format.contains(QStringLiteral("\"TExtStringGrid Cells\"")));
    TGridUnit::Startup();
    TGridUnit::Startup();
    EXPECT_EQ(TGridUnit::Registrations(), 1);
    EXPECT_EQ(TGridUnit::CellsFormat(), format);
    EXPECT_FALSE(TGridUnit::FlatScrollBars());
    TGridUnit::Shutdown();
    TGridUnit::Shutdown();
    EXPECT_EQ(TGridUnit::Users(), 1);
}

} // namespace
