#include "platform/core/IniFile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("tamsel.ini");

    void Put(const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Get() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

} // namespace

TEST_F(IniFileTest, SectionsAndKeysIgnoreCase)
{
    Put("[Hosts]\nPMServer=example.com\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("HOSTS", "pmserver", "x"), "example.com");
    EXPECT_EQ(ini.ReadString("hosts", "PMSERVER", "x"), "example.com");
    EXPECT_TRUE(ini.SectionExists("hOsTs"));
    EXPECT_TRUE(ini.ValueExists("HOSTS", "pmServer"));
    ini.WriteString("HOSTS", "PMSERVER", "other.net");
    // The key keeps its line and spelling.
    EXPECT_EQ(Get(), "[Hosts]\nPMServer=other.net\n");
}

TEST_F(IniFileTest, ValuesAreTakenAsWritten)
{
    Put("[S]\n"
        "  key1  =  spaced value  \n"
        "quoted=\"abc\"\n"
        "single='x'\n"
        "semi=a;b\n"
        "empty=\n"
        "eq=a=b\n"
        "\tTabbed\t=\tv\t\n"
        "escape=a\\nb\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "key1", "d"), "spaced value");
    EXPECT_EQ(ini.ReadString("S", "quoted", "d"), "\"abc\"");
    EXPECT_EQ(ini.ReadString("S", "single", "d"), "'x'");
    EXPECT_EQ(ini.ReadString("S", "semi", "d"), "a;b");
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "eq", "d"), "a=b");
    EXPECT_EQ(ini.ReadString("S", "Tabbed", "d"), "v");
    EXPECT_EQ(ini.ReadString("S", "escape", "d"), "a\\nb");
    EXPECT_EQ(ini.ReadString(" S ", " key1 ", "d"), "spaced value");
}

TEST_F(IniFileTest, DefaultsForWhatIsMissingOrNotANumber)
{
    TIniFile missing(dir.filePath("none.ini"));
    EXPECT_EQ(missing.ReadString("HOSTS", "pmserver", "def"), "def");
    EXPECT_EQ(missing.ReadInteger("SEARCH", "County", 7), 7);
    EXPECT_TRUE(missing.ReadBool("REPORT", "tourmap", true));
    EXPECT_FALSE(missing.SectionExists("HOSTS"));
    EXPECT_TRUE(missing.ReadSection("HOSTS").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none.ini")));

    Put("; settings\n"
        "orphan=before any section\n"
        "[N]\n"
        "abc=abc\n"
        "mixed=12abc\n"
        "hex=0x1F\n"
        "dollar=$10\n"
        "neg=-5\n"
        "float=2.5\n"
        "blank=\n"
        "one=1\n"
        "zero=0\n"
        "two=2\n"
        "minus=-1\n"
        "yes=yes\n"
        "noequals\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("N", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("Other", "abc", "d"), "d");
    EXPECT_EQ(ini.ReadString("", "orphan", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("N", "abc", 3), 3);
    EXPECT_EQ(ini.ReadInteger("N", "mixed", 3), 3);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 3), 31);
    EXPECT_EQ(ini.ReadInteger("N", "dollar", 3), 16);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 3), -5);
    EXPECT_EQ(ini.ReadInteger("N", "float", 3), 3);
    EXPECT_EQ(ini.ReadInteger("N", "blank", 3), 3);
    EXPECT_TRUE(ini.ReadBool("N", "one", false));
    EXPECT_FALSE(ini.ReadBool("N", "zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "two", false));
    EXPECT_TRUE(ini.ReadBool("N", "minus", false));
    EXPECT_FALSE(ini.ReadBool("N", "yes", false));
    EXPECT_TRUE(ini.ReadBool("N", "yes", true));
    EXPECT_FALSE(ini.ValueExists("N", "noequals"));
}

TEST_F(IniFileTest, WriteBoolAndIntegerText)
{
    TIniFile ini(path);
    ini.WriteBool("REPORT", "tourmap", true);
    ini.WriteInteger("SEARCH", "County", -12);
    ini.WriteString("HOSTS", "pmserver", "127.0.0.1:8765");
    EXPECT_EQ(Get(), "[REPORT]\ntourmap=1\n[SEARCH]\nCounty=-12\n[HOSTS]\npmserver=127.0.0.1:8765\n");
    ini.WriteBool("REPORT", "tourmap", false);
    EXPECT_EQ(ini.ReadString("REPORT", "tourmap", "x"), "0");
    EXPECT_FALSE(ini.ReadBool("REPORT", "tourmap", true));
    EXPECT_EQ(ini.ReadInteger("SEARCH", "County", 0), -12);
}

TEST_F(IniFileTest, WritingKeepsEveryOtherLine)
{
    Put("; Tamsel settings\r\n"
        "\r\n"
        "[HOSTS]\r\n"
        "; the server\r\n"
        "pmserver = old.example.com\r\n"
        "backup=b\r\n"
        "just a line\r\n"
        "\r\n"
        "; about the report\r\n"
        "[REPORT]\r\n"
        "tourmap=0\r\n");
    TIniFile ini(path);
    ini.WriteString("hosts", "PMSERVER", "new.example.com");
    ini.WriteString("HOSTS", "extra", "e");
    ini.WriteString("SEARCH", "County", "12");
    EXPECT_EQ(Get(),
              "; Tamsel settings\r\n"
              "\r\n"
              "[HOSTS]\r\n"
              "; the server\r\n"
              "pmserver=new.example.com\r\n"
              "backup=b\r\n"
              "extra=e\r\n"
              "just a line\r\n"
              "\r\n"
              "; about the report\r\n"
              "[REPORT]\r\n"
              "tourmap=0\r\n"
              "[SEARCH]\r\n"
              "County=12\r\n");
}

TEST_F(IniFileTest, FileWithoutFinalLineEnd)
{
    Put("[A]\nx=1");
    TIniFile ini(path);
    ini.WriteString("A", "x", "2");
    EXPECT_EQ(Get(), "[A]\nx=2");
    ini.WriteString("A", "y", "3");
    EXPECT_EQ(Get(), "[A]\nx=2\ny=3\n");
}

TEST_F(IniFileTest, FirstOfDuplicatesCounts)
{
    Put("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "j", "none"), "none");
    ini.WriteString("A", "k", "9");
    EXPECT_EQ(Get(), "[A]\nk=9\nk=2\n[a]\nk=3\nj=4\n");
}

TEST_F(IniFileTest, SectionsAndKeysListedErasedDeleted)
{
    Put("[A]\nOne=1\n; note\nTwo=2\n[Empty]\n[B]\nx=1\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadSection("a"), QStringList({"One", "Two"}));
    EXPECT_TRUE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.ReadSection("Empty").isEmpty());
    EXPECT_FALSE(ini.SectionExists("C"));
    EXPECT_FALSE(ini.ValueExists("A", "Three"));

    ini.DeleteKey("A", "one");
    EXPECT_EQ(Get(), "[A]\n; note\nTwo=2\n[Empty]\n[B]\nx=1\n");
    ini.EraseSection("a");
    EXPECT_EQ(Get(), "[Empty]\n[B]\nx=1\n");
    EXPECT_FALSE(ini.SectionExists("A"));
    // Nothing to delete: the file is not touched.
    const QDateTime before = QFileInfo(path).lastModified();
    ini.DeleteKey("B", "nothing");
    ini.EraseSection("nothing");
    EXPECT_EQ(Get(), "[Empty]\n[B]\nx=1\n");
    EXPECT_EQ(QFileInfo(path).lastModified(), before);
}

TEST_F(IniFileTest, TwoObjectsOnOneFileKeepEachOthersWrites)
{
    TIniFile a(path);
    TIniFile b(path);
    a.WriteString("S", "one", "1");
    b.WriteString("S", "two", "2");
    EXPECT_EQ(a.ReadString("S", "two", ""), "2");
    EXPECT_EQ(b.ReadString("S", "one", ""), "1");
}

TEST_F(IniFileTest, SaveReplacesTheFileThroughATemporaryOne)
{
    Put("[S]\nk=old\n");
    // A second name for the old file: an in-place write would change it too.
    const QString link = dir.filePath("old-copy");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    TIniFile ini(path);
    ini.WriteString("S", "k", "new");
    EXPECT_EQ(Get(), "[S]\nk=new\n");
    QFile old(link);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "[S]\nk=old\n");
    // Nothing left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"old-copy", "tamsel.ini"}));
}

TEST_F(IniFileTest, FailedSavesRaiseAndLeaveTheFile)
{
    // A directory that does not exist.
    TIniFile nowhere(dir.filePath("missing/tamsel.ini"));
    try {
        nowhere.WriteString("S", "k", "v");
        FAIL() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.filePath("missing/tamsel.ini"));
    }
    // A "directory" that is a file (fails for every user, root included).
    Put("[S]\nk=v\n");
    TIniFile underFile(path + "/sub.ini");
    EXPECT_THROW(underFile.WriteString("S", "k", "v"), EIniFileException);
    // The ini's name taken by a directory.
    QDir(dir.path()).mkdir("taken.ini");
    TIniFile taken(dir.filePath("taken.ini"));
    EXPECT_THROW(taken.WriteBool("S", "k", true), EIniFileException);
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.ini")).isDir());
}

TEST_F(IniFileTest, SaveIntoAReadOnlyDirectoryRaises)
{
    Put("[S]\nk=v\n");
    testsupport::ScopedUnprivileged user({dir.path()});
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    TIniFile ini(path);
    EXPECT_THROW(ini.WriteString("S", "k", "changed"), EIniFileException);
    EXPECT_THROW(ini.EraseSection("S"), EIniFileException);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(Get(), "[S]\nk=v\n");
}

TEST_F(IniFileTest, UnreadableFileIsNeverOverwritten)
{
    Put("[S]\nk=v\n");
    testsupport::ScopedUnprivileged user({dir.path()});
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0200), 0);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "k", "default"), "default");
    EXPECT_THROW(ini.WriteString("S", "other", "x"), EIniFileException);
    ::chmod(QFile::encodeName(path).constData(), 0644);
    EXPECT_EQ(Get(), "[S]\nk=v\n");
}

TEST_F(IniFileTest, WritesThatWouldBreakTheFileAreRefused)
{
    Put("[S]\nk=v\n");
    TIniFile ini(path);
    EXPECT_THROW(ini.WriteString("S", "k", "a\n[S]\nk=injected"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "k", "a\rb"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", ";k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S]x", "k", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S\n[T", "k", "v"), EIniFileException);
    EXPECT_EQ(Get(), "[S]\nk=v\n");
}

TEST_F(IniFileTest, EncodingsAreKept)
{
    Put("\xEF\xBB\xBF[S]\nname=Caf\xC3\xA9\n");
    TIniFile utf8(path);
    EXPECT_EQ(utf8.ReadString("S", "name", ""), QStringLiteral("Caf\u00e9"));
    utf8.WriteString("S", "k", "1");
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[S]\nname=Caf\xC3\xA9\nk=1\n");

    Put("[S]\nname=Caf\xE9\n");
    TIniFile latin1(path);
    EXPECT_EQ(latin1.ReadString("S", "name", ""), QStringLiteral("Caf\u00e9"));
    latin1.WriteString("S", "k", QStringLiteral("\u00fc"));
    EXPECT_EQ(Get(), "[S]\nname=Caf\xE9\nk=\xFC\n");
    // A value Latin-1 cannot hold makes the file UTF-8, losing nothing.
    latin1.WriteString("S", "k", QStringLiteral("\u20ac"));
    EXPECT_EQ(latin1.ReadString("S", "name", ""), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(latin1.ReadString("S", "k", ""), QStringLiteral("\u20ac"));
}

TEST_F(IniFileTest, BlanksAroundAWrittenValueAreNotReadBack)
{
    TIniFile ini(path);
    ini.WriteString("S", "k", "  v  ");
    EXPECT_EQ(Get(), "[S]\nk=  v  \n");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
}
