#include "platform/core/AtomicFile.h"
#include "tests/support/PrintQString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <unistd.h>

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

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Saves content to path in a child process that the system kills at its
// first rename: the save is killed between linking its new file and
// putting it in place. Returns the signal that ended the child.
int SaveKilledBeforeTheRename(const QString& path, const QByteArray& content)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const struct rlimit noCore {
            0, 0
        };
        ::setrlimit(RLIMIT_CORE, &noCore);
        struct sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_rename, 3, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat, 2, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
        };
        struct sock_fprog program {
            sizeof(filter) / sizeof(filter[0]), filter
        };
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            ::_exit(2);
        try {
            AtomicFile::WriteAll(path, content);
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : -WEXITSTATUS(status);
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

TEST(AtomicFile, TheNextSaveRemovesWhatAKilledSaveLeftAndNothingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.pdf");
    AtomicFile::WriteAll(path, "old");
    const QByteArray complete(100000, 'n');
    ASSERT_EQ(SaveKilledBeforeTheRename(path, complete), SIGSYS);
    // The old file as it was, and beside it the complete new one.
    EXPECT_EQ(Read(path), "old");
    const auto leftovers = [&] {
        return Entries(dir.path()).filter(QRegularExpression("^out\\.pdf\\.[0-9A-Za-z]{10}$"));
    };
    const QStringList first = leftovers();
    ASSERT_EQ(first.size(), 1) << Entries(dir.path()).join(' ').toStdString();
    EXPECT_EQ(Read(dir.filePath(first.first())), complete);

    // Files that only look like one: the user's own, names of the right
    // shape that their file does not give, and a leftover of another file.
    const auto make = [&](const QString& name) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    };
    make("out.pdf.backup");
    make("out.pdf.AbCdEfGhIj");
    make("out.pdf.0000000000");
    ASSERT_EQ(SaveKilledBeforeTheRename(dir.filePath("other.pdf"), "other"), SIGSYS);
    const QStringList other = Entries(dir.path()).filter(QRegularExpression("^other\\.pdf\\."));
    ASSERT_EQ(other.size(), 1);

    // The next save of the file removes the first leftover (and is killed
    // in turn, leaving its own).
    ASSERT_EQ(SaveKilledBeforeTheRename(path, "again"), SIGSYS);
    QStringList second = leftovers();
    second.removeAll("out.pdf.AbCdEfGhIj");
    second.removeAll("out.pdf.0000000000");
    ASSERT_EQ(second.size(), 1) << second.join(' ').toStdString();
    const QString leftover = dir.filePath(second.first());
    EXPECT_EQ(Read(leftover), "again"); // the first is gone (its name may come back: inodes are reused)

    // One that a save under way holds locked stays, and one with a second
    // name stays.
    const int held = ::open(QFile::encodeName(leftover).constData(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_SH), 0);
    AtomicFile::WriteAll(path, "second");
    EXPECT_EQ(Read(path), "second");
    EXPECT_TRUE(QFile::exists(leftover));
    ::close(held);
    const QString copy = dir.filePath("kept-copy");
    ASSERT_EQ(::link(QFile::encodeName(leftover).constData(), QFile::encodeName(copy).constData()), 0);
    AtomicFile::WriteAll(path, "third");
    EXPECT_TRUE(QFile::exists(leftover));
    ASSERT_TRUE(QFile::remove(copy));

    AtomicFile::WriteAll(path, "fourth");
    EXPECT_EQ(Read(path), "fourth");
    QStringList expected{other.first(), "out.pdf", "out.pdf.0000000000", "out.pdf.AbCdEfGhIj", "out.pdf.backup"};
    expected.sort();
    EXPECT_EQ(Entries(dir.path()), expected);
    EXPECT_EQ(Read(dir.filePath("out.pdf.backup")), "mine");
}

TEST(AtomicFile, ALinkIsFollowedToTheFileItNames)
{
    QTemporaryDir dir;
    const QString real = dir.filePath("real.txt");
    AtomicFile::WriteAll(real, "real");
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(QFile::link(real, link));
    AtomicFile::WriteAll(link, "through the link");
    EXPECT_EQ(Read(real), "through the link");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Entries(dir.path()), QStringList({"link.txt", "real.txt"}));
}
