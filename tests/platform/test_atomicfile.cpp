#include "platform/core/AtomicFile.h"
#include "tests/support/PrintQString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

mode_t Mode(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

TEST(AtomicFile, WritesAndReplacesWholeFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    AtomicFile::WriteAll(path, "first");
    EXPECT_EQ(Read(path), "first");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    AtomicFile::WriteAll(path, "second");
    EXPECT_EQ(Read(path), "second");
    EXPECT_EQ(Mode(path), 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.txt"}));
}

TEST(AtomicFile, StreamWritesAppearOnlyAtCommit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    AtomicFile::WriteAll(path, "old");
    {
        AtomicFile file(path);
        file.Stream().write("new ");
        file.Write("content");
        EXPECT_EQ(Read(path), "old");
        file.Commit();
    }
    EXPECT_EQ(Read(path), "new content");
    {
        AtomicFile abandoned(path);
        abandoned.Write("never seen");
    }
    EXPECT_EQ(Read(path), "new content");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.txt"}));
}

TEST(AtomicFile, FailuresRaise)
{
    QTemporaryDir dir;
    const QString nowhere = dir.filePath("missing/out.txt");
    try {
        AtomicFile::WriteAll(nowhere, "x");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(e.Message().startsWith("Cannot create file \"" + nowhere + "\".")) << qPrintable(e.Message());
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_THROW(AtomicFile::WriteAll(dir.filePath("taken"), "x"), EFCreateError);
    AtomicFile file(dir.filePath("once.txt"));
    file.Commit();
    EXPECT_THROW(file.Commit(), EFCreateError);
}
