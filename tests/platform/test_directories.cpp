#include "platform/core/Directories.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool RunningAsRoot() { return ::geteuid() == 0; }

// Sets (or with nullopt removes) an environment variable for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QString> value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

struct StatInfo {
    bool exists = false;
    bool isDir = false;
    bool isLink = false;
    uid_t uid = 0;
    mode_t mode = 0;
};

StatInfo LStat(const QString& path)
{
    StatInfo info;
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/')) p.chop(1);
    struct stat st;
    if (::lstat(QFile::encodeName(p).constData(), &st) != 0) return info;
    info.exists = true;
    info.isDir = S_ISDIR(st.st_mode);
    info.isLink = S_ISLNK(st.st_mode);
    info.uid = st.st_uid;
    info.mode = st.st_mode & 07777;
    return info;
}

QString PrivateName() { return QStringLiteral("tamsel-") + QString::number(::geteuid()); }

class DirectoriesTest : public ::testing::Test {
protected:
    QTemporaryDir scratch;
    QString bin = scratch.filePath("bin");
    QString systemTemp = scratch.filePath("systmp");
    ScopedEnv tmp{"TMP", std::nullopt};
    ScopedEnv temp{"TEMP", std::nullopt};

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(bin));
        ASSERT_TRUE(QDir().mkpath(systemTemp));
    }

    DirectoryOverride Program(std::optional<bool> writable = std::nullopt) const
    {
        DirectoryOverride o;
        o.ExeName = bin + "/tamsel";
        o.ExeDirWritable = writable;
        o.ConfigHome = scratch.filePath("config");
        o.DataHome = scratch.filePath("share");
        o.SystemTempDir = systemTemp;
        return o;
    }
};

} // namespace

TEST_F(DirectoriesTest, WritableProgramDirectoryKeepsEverythingBesideIt)
{
    ScopedDirectoryOverride o(Program());
    EXPECT_EQ(Directories::ExeName(), bin + "/tamsel");
    EXPECT_EQ(Directories::ExeDir(), bin + "/");
    EXPECT_TRUE(Directories::ExeDirWritable());
    EXPECT_EQ(Directories::IniFileName(), bin + "/tamsel.ini");
    EXPECT_EQ(Directories::DataDir(), bin + "/data/");
    EXPECT_EQ(Directories::LogDir(), bin + "/");
    // Nothing is made in the user's directories.
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath("config")));
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath("share")));
}

TEST_F(DirectoriesTest, IniNameReplacesTheExtension)
{
    DirectoryOverride o = Program(true);
    o.ExeName = scratch.filePath("my.dir/tamsel.exe");
    ScopedDirectoryOverride withExt(o);
    EXPECT_EQ(Directories::IniFileName(), scratch.filePath("my.dir/tamsel.ini"));
    o.ExeName = scratch.filePath("my.dir/tamsel");
    ScopedDirectoryOverride withoutExt(o);
    EXPECT_EQ(Directories::IniFileName(), scratch.filePath("my.dir/tamsel.ini"));
}

TEST_F(DirectoriesTest, ReadOnlyProgramDirectoryUsesPerUserPlaces)
{
    ScopedDirectoryOverride o(Program(false));
    const QString config = scratch.filePath("config/Ostrel/Tamsel/");
    const QString data = scratch.filePath("share/Ostrel/Tamsel/");
    EXPECT_FALSE(Directories::ExeDirWritable());
    EXPECT_EQ(Directories::UserConfigDir(), config);
    EXPECT_EQ(Directories::UserDataDir(), data);
    EXPECT_EQ(Directories::DataDir(), data + "data/");
    EXPECT_EQ(Directories::LogDir(), data);
    EXPECT_TRUE(QFileInfo(data).isDir());
    // No ini beside the program: none is made, but its directory is.
    EXPECT_EQ(Directories::IniFileName(), config + "tamsel.ini");
    EXPECT_TRUE(QFileInfo(config).isDir());
    EXPECT_FALSE(QFileInfo::exists(config + "tamsel.ini"));
}

TEST_F(DirectoriesTest, IniBesideAReadOnlyProgramSeedsTheUsersOnce)
{
    QFile seed(bin + "/tamsel.ini");
    ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
    seed.write("[HOSTS]\npmserver=seeded.example.com\n");
    seed.close();

    ScopedDirectoryOverride o(Program(false));
    const QString own = Directories::IniFileName();
    EXPECT_EQ(own, scratch.filePath("config/Ostrel/Tamsel/tamsel.ini"));
    QFile copy(own);
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    EXPECT_EQ(copy.readAll(), "[HOSTS]\npmserver=seeded.example.com\n");
    // The user's own changes are not overwritten by the seed later.
    copy.resize(0);
    copy.write("[HOSTS]\npmserver=mine\n");
    copy.close();
    EXPECT_EQ(Directories::IniFileName(), own);
    QFile again(own);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "[HOSTS]\npmserver=mine\n");
}

TEST_F(DirectoriesTest, UnmakeablePerUserDirectoryRaises)
{
    DirectoryOverride o = Program(false);
    QFile blocker(scratch.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    o.ConfigHome = scratch.filePath("blocker");
    o.DataHome = scratch.filePath("blocker");
    ScopedDirectoryOverride scoped(o);
    EXPECT_THROW(Directories::IniFileName(), EFCreateError);
    EXPECT_THROW(Directories::LogDir(), EFCreateError);
}

TEST_F(DirectoriesTest, PermissionCheckSeesAReadOnlyDirectory)
{
    testsupport::ScopedUnprivileged user({scratch.path()});
    ASSERT_EQ(::chmod(QFile::encodeName(bin).constData(), 0555), 0);
    ScopedDirectoryOverride o(Program());
    EXPECT_FALSE(Directories::ExeDirWritable());
    EXPECT_EQ(Directories::DataDir(), scratch.filePath("share/Ostrel/Tamsel/data/"));
    ::chmod(QFile::encodeName(bin).constData(), 0755);
    EXPECT_TRUE(Directories::ExeDirWritable());
}

TEST_F(DirectoriesTest, TmpComesFirstThenTemp)
{
    const QString a = scratch.filePath("a");
    const QString b = scratch.filePath("b");
    ASSERT_TRUE(QDir().mkpath(a));
    ASSERT_TRUE(QDir().mkpath(b));
    ::chmod(QFile::encodeName(a).constData(), 0700);
    ::chmod(QFile::encodeName(b).constData(), 0755);
    ScopedDirectoryOverride o(Program());
    {
        ScopedEnv t("TMP", a);
        ScopedEnv t2("TEMP", b);
        EXPECT_EQ(Directories::TempDir(), a + "/");
    }
    {
        ScopedEnv t("TMP", QString());
        ScopedEnv t2("TEMP", b + "/");
        EXPECT_EQ(Directories::TempDir(), b + "/");
    }
}

TEST_F(DirectoriesTest, MissingTmpIsNotPassedOverForTemp)
{
    const QString b = scratch.filePath("b");
    ASSERT_TRUE(QDir().mkpath(b));
    ScopedDirectoryOverride o(Program());
    ScopedEnv t("TMP", scratch.filePath("does-not-exist"));
    ScopedEnv t2("TEMP", b);
    EXPECT_EQ(Directories::TempDir(), systemTemp + "/" + PrivateName() + "/");
}

TEST_F(DirectoriesTest, PrivateDirectoryIsMadeForTheUserAlone)
{
    ScopedDirectoryOverride o(Program());
    const QString dir = Directories::TempDir();
    EXPECT_EQ(dir, systemTemp + "/" + PrivateName() + "/");
    const StatInfo info = LStat(dir);
    ASSERT_TRUE(info.isDir);
    EXPECT_EQ(info.uid, ::geteuid());
    EXPECT_EQ(info.mode, 0700u);
    // Made with a restrictive mode whatever the umask.
    ASSERT_TRUE(QDir(dir).removeRecursively());
    const mode_t old = ::umask(0);
    const QString again = Directories::TempDir();
    ::umask(old);
    EXPECT_EQ(again, dir);
    EXPECT_EQ(LStat(again).mode, 0700u);
    // Used again as it is.
    EXPECT_EQ(Directories::TempDir(), dir);
}

TEST_F(DirectoriesTest, ADirectoryForAPersonsDataIsTheOwnersAlone)
{
    // Made with its parents, itself 0700 whatever the umask.
    const QString data = scratch.filePath("share/Ostrel/Tamsel/data/");
    const mode_t old = ::umask(0);
    EXPECT_TRUE(Directories::MakePrivateDir(data));
    ::umask(old);
    EXPECT_TRUE(LStat(data).isDir);
    EXPECT_EQ(LStat(data).mode, 0700u);
    // One an older run left open to others is closed.
    ASSERT_EQ(::chmod(QFile::encodeName(data).constData(), 0755), 0);
    EXPECT_TRUE(Directories::MakePrivateDir(data));
    EXPECT_EQ(LStat(data).mode, 0700u);
    // A link is left as it is, and so is what it points to.
    const QString open = scratch.filePath("open");
    ASSERT_TRUE(QDir().mkpath(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0755), 0);
    const QString link = scratch.filePath("link");
    ASSERT_TRUE(QFile::link(open, link));
    EXPECT_TRUE(Directories::MakePrivateDir(link));
    EXPECT_TRUE(LStat(link).isLink);
    EXPECT_EQ(LStat(open).mode, 0755u);
    // A shared directory (sticky) is not changed either.
    const QString shared = scratch.filePath("shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    EXPECT_TRUE(Directories::MakePrivateDir(shared));
    EXPECT_EQ(LStat(shared).mode, 01777u);
    // A file in the way is no directory.
    QFile file(scratch.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(Directories::MakePrivateDir(scratch.filePath("file")));
    EXPECT_FALSE(Directories::MakePrivateDir(scratch.filePath("file/data")));
}

TEST_F(DirectoriesTest, SharedTmpGetsAPrivateDirectoryInside)
{
    const QString shared = scratch.filePath("shared");
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    ScopedDirectoryOverride o(Program());
    ScopedEnv t("TMP", shared);
    const QString dir = Directories::TempDir();
    EXPECT_EQ(dir, shared + "/" + PrivateName() + "/");
    EXPECT_EQ(LStat(dir).mode, 0700u);
}

TEST_F(DirectoriesTest, HostilePreExistingDirectoryIsNotUsed)
{
    const QString planted = systemTemp + "/" + PrivateName();
    ASSERT_TRUE(QDir().mkpath(planted));
    ASSERT_EQ(::chmod(QFile::encodeName(planted).constData(), 0777), 0);
    ScopedDirectoryOverride o(Program());
    const QString dir = Directories::TempDir();
    EXPECT_NE(dir, planted + "/");
    EXPECT_TRUE(dir.startsWith(planted + "-")) << qPrintable(dir);
    EXPECT_TRUE(dir.endsWith(u'/'));
    const StatInfo info = LStat(dir);
    EXPECT_TRUE(info.isDir);
    EXPECT_EQ(info.mode, 0700u);
    EXPECT_EQ(info.uid, ::geteuid());
    // The planted one is left alone; the same replacement serves the run.
    EXPECT_EQ(LStat(planted).mode, 0777u);
    EXPECT_EQ(Directories::TempDir(), dir);
}

TEST_F(DirectoriesTest, LinkOrFileInThePrivateNameIsNotUsed)
{
    const QString target = scratch.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(target));
    ::chmod(QFile::encodeName(target).constData(), 0700);
    const QString planted = systemTemp + "/" + PrivateName();
    ASSERT_TRUE(QFile::link(target, planted));
    ScopedDirectoryOverride o(Program());
    const QString viaLink = Directories::TempDir();
    EXPECT_TRUE(viaLink.startsWith(planted + "-")) << qPrintable(viaLink);
    EXPECT_FALSE(LStat(viaLink).isLink);

    const QString otherBase = scratch.filePath("othertmp");
    ASSERT_TRUE(QDir().mkpath(otherBase));
    QFile file(otherBase + "/" + PrivateName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    DirectoryOverride other = Program();
    other.SystemTempDir = otherBase;
    ScopedDirectoryOverride o2(other);
    const QString besideFile = Directories::TempDir();
    EXPECT_TRUE(besideFile.startsWith(otherBase + "/" + PrivateName() + "-")) << qPrintable(besideFile);
    EXPECT_TRUE(LStat(besideFile).isDir);
}

TEST_F(DirectoriesTest, DirectoryOfAnotherUserIsNotUsed)
{
    if (!RunningAsRoot()) GTEST_SKIP() << "only root can give a directory away";
    const QString planted = systemTemp + "/" + PrivateName();
    ASSERT_TRUE(QDir().mkpath(planted));
    ::chmod(QFile::encodeName(planted).constData(), 0700);
    ASSERT_EQ(::chown(QFile::encodeName(planted).constData(), 65534, 65534), 0);
    ScopedDirectoryOverride o(Program());
    const QString dir = Directories::TempDir();
    EXPECT_TRUE(dir.startsWith(planted + "-")) << qPrintable(dir);
    EXPECT_EQ(LStat(dir).uid, ::geteuid());
}

TEST_F(DirectoriesTest, NoTemporaryDirectoryAtAllRaises)
{
    DirectoryOverride o = Program();
    o.SystemTempDir = scratch.filePath("no/such/dir");
    ScopedDirectoryOverride scoped(o);
    EXPECT_THROW(Directories::TempDir(), EFCreateError);
}

TEST(DirectoriesReal, ProgramDirectoryIsThatOfTheRunningProgram)
{
    EXPECT_EQ(Directories::ExeName(), QCoreApplication::applicationFilePath());
    EXPECT_TRUE(Directories::ExeDir().endsWith(u'/'));
    EXPECT_TRUE(QFileInfo(Directories::ExeDir() + QFileInfo(Directories::ExeName()).fileName()).isFile());
}
