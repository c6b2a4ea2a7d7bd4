#include "state/TAppState.h"
#include "platform/core/Directories.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

struct FreshState : ::testing::Test {
    void SetUp() override { FreeAppState(); }
    void TearDown() override { FreeAppState(); }
};

} // namespace

TEST_F(FreshState, OnlyTheAccessorMakesTheOneState)
{
    try {
        TAppState direct;
        FAIL() << "a direct creation must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Call AppState function to reference this class"));
    }
    TAppState& state = AppState();
    EXPECT_EQ(&state, &AppState());
    EXPECT_FALSE(state.LoggedIn);
    EXPECT_TRUE(state.DataDir.startsWith(state.ExeDir) || !Directories::ExeDirWritable());
    EXPECT_TRUE(state.DataDir.endsWith(QLatin1String("data/")));
    EXPECT_TRUE(state.TempDir.endsWith(QLatin1Char('/')));
    try {
        TAppState second;
        FAIL() << "a second creation must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("AppState already exists"));
    }
}

TEST_F(FreshState, ResetClearsOnlyTheSearchResults)
{
    TAppState& s = AppState();
    s.CompsFound = s.PropFound = s.NeedMap = s.LoggedIn = true;
    s.OrderId = 3;
    s.MapId = 4;
    s.PropertyId = 5;
    s.CustName = QStringLiteral("Ann");
    s.Counties.AddCounty(59, QStringLiteral("Sierra Vista - CA"), QStringLiteral("SVISTA"), true, true);
    s.County = s.Counties.Objects(0);
    s.Reset();
    EXPECT_FALSE(s.CompsFound);
    EXPECT_FALSE(s.PropFound);
    EXPECT_EQ(s.OrderId + s.MapId + s.PropertyId, 0);
    EXPECT_TRUE(s.NeedMap);
    EXPECT_TRUE(s.LoggedIn);
    EXPECT_EQ(s.CustName, QStringLiteral("Ann"));
    ASSERT_TRUE(s.County);

    // Logging out empties the county list; the current county stays usable.
    s.Counties.Clear();
    EXPECT_EQ(s.Counties.Count(), 0);
    EXPECT_EQ(s.County->Id, 59);
    EXPECT_EQ(s.County->Name, QStringLiteral("Sierra Vista - CA"));
}

TEST(ReportPageList, PagesAreFoundSortedAndChecked)
{
    TReportPageList pages;
    pages.SortByOrder(); // empty: nothing happens
    EXPECT_EQ(pages.Count(), 0);
    EXPECT_EQ(pages.AddPage(7, 2, QStringLiteral("Cover"), QStringLiteral("N")), 0);
    EXPECT_EQ(pages.AddPage(7, 1, QStringLiteral("Cover again"), QStringLiteral("Y")), 1);
    EXPECT_EQ(pages.AddPage(9, 1, QStringLiteral("Map"), QStringLiteral("y")), 2);
    EXPECT_TRUE(pages.IsPageOn(7));  // listed twice, once selected
    EXPECT_FALSE(pages.IsPageOn(9)); // only "Y" selects
    EXPECT_FALSE(pages.IsPageOn(8));
    pages.SortByOrder();
    // Equal orders keep their relative position.
    EXPECT_EQ(pages.Items(0).Name, QStringLiteral("Cover again"));
    EXPECT_EQ(pages.Items(1).Name, QStringLiteral("Map"));
    EXPECT_EQ(pages.Items(2).Name, QStringLiteral("Cover"));
    EXPECT_THROW(pages.Items(3), EListError);
    TReportPageList one;
    one.AddPage(1, 5, QStringLiteral("Only"), QStringLiteral("Y"));
    one.SortByOrder();
    EXPECT_EQ(one.Items(0).Order, 5);
}

TEST(SearchTypeList, RecordsAreKeptByName)
{
    TSearchTypeList types;
    types.AddSearchType(3, QStringLiteral("Radius"), QStringLiteral("f1"), QStringLiteral("f2"), true, false, true, 4,
                        9);
    ASSERT_EQ(types.Count(), 1);
    EXPECT_EQ(types.IndexOf(QStringLiteral("Radius")), 0);
    EXPECT_EQ(types.IndexOf(QStringLiteral("radius")), -1);
    const TSearchTypeRec* r = types.Objects(0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Id, 3);
    EXPECT_TRUE(r->ShowArea && r->LandUse && !r->ShowList);
    EXPECT_EQ(r->Items + r->Length, 13);
    EXPECT_EQ(types.Objects(1), nullptr);
    types.Clear();
    EXPECT_EQ(types.Count(), 0);
}
