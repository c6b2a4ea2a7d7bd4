#include "platform/core/Directories.h"
#include "platform/core/UserRegistry.h"
#include "tests/support/PrintQString.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class UserRegistryTest : public ::testing::Test {
protected:
    QTemporaryDir scratch;
    ScopedDirectoryOverride redirect{Override(scratch.path())};

    static DirectoryOverride Override(const QString& home)
    {
        DirectoryOverride o;
        o.ConfigHome = home;
        return o;
    }
    QByteArray FileText() const
    {
        QFile f(UserRegistry::FileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(UserRegistryTest, UserNameLivesInTheUsersSettingsFile)
{
    EXPECT_EQ(UserRegistry::FileName(), scratch.filePath("Ostrel/Tamsel.conf"));
    EXPECT_EQ(UserRegistry::ReadString(UserRegistry::TamselKey, "UserName"), "");
    EXPECT_EQ(UserRegistry::ReadString(UserRegistry::TamselKey, "UserName", "none"), "none");
    EXPECT_FALSE(UserRegistry::ValueExists(UserRegistry::TamselKey, "UserName"));

    UserRegistry::WriteString("SOFTWARE\\Ostrel\\Tamsel", "UserName", "bob");
    EXPECT_EQ(UserRegistry::ReadString(UserRegistry::TamselKey, "UserName"), "bob");
    EXPECT_TRUE(UserRegistry::ValueExists(UserRegistry::TamselKey, "UserName"));
    EXPECT_TRUE(FileText().contains("UserName=bob")) << FileText().constData();
}

TEST_F(UserRegistryTest, KeysAndNamesIgnoreCase)
{
    UserRegistry::WriteString(UserRegistry::TamselKey, "UserName", "bob");
    EXPECT_EQ(UserRegistry::ReadString("software\\ostrel\\TAMSEL", "username"), "bob");
    UserRegistry::WriteString("Software/Ostrel/Tamsel", "USERNAME", "carol");
    EXPECT_EQ(UserRegistry::ReadString(UserRegistry::TamselKey, "UserName"), "carol");
    EXPECT_FALSE(FileText().contains("USERNAME")) << FileText().constData();
}

TEST_F(UserRegistryTest, SubkeysAndOtherKeysStayApart)
{
    const QString grid = UserRegistry::TamselKey + "\\Grids\\Comps";
    UserRegistry::WriteInteger(grid, "Col0", 64);
    EXPECT_EQ(UserRegistry::ReadInteger(grid, "Col0", 10), 64);
    EXPECT_EQ(UserRegistry::ReadInteger(UserRegistry::TamselKey + "\\grids\\comps", "col0", 10), 64);
    EXPECT_EQ(UserRegistry::ReadInteger(UserRegistry::TamselKey, "Col0", 10), 10);
    UserRegistry::WriteString(grid, "Text", "wide");
    EXPECT_EQ(UserRegistry::ReadInteger(grid, "Text", 10), 10);

    UserRegistry::WriteString("Software\\Other", "UserName", "elsewhere");
    EXPECT_EQ(UserRegistry::ReadString(UserRegistry::TamselKey, "UserName", "none"), "none");
    EXPECT_EQ(UserRegistry::ReadString("SOFTWARE\\OTHER", "UserName"), "elsewhere");
}

TEST_F(UserRegistryTest, FailedWriteRaises)
{
    QFile blocker(scratch.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ScopedDirectoryOverride bad(Override(scratch.filePath("blocker")));
    try {
        UserRegistry::WriteString(UserRegistry::TamselKey, "UserName", "bob");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'UserName'");
    }
}
