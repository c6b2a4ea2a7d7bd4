#include "platform/core/AtomicFile.h"

#include "platform/core/Format.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSuffixLength = 10;
constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

quint64 Mix(quint64 z)
{
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The ten characters after the target's name and a dot that the temporary
// file of a save takes: they follow from the file (device and inode) and the
// target's name, so a file of that name is one a save of that target made.
QByteArray OwnSuffix(const struct stat& st, const QByteArray& baseName)
{
    quint64 h = 0xCBF29CE484222325ULL; // FNV-1a of the name
    for (char c : baseName) {
        h ^= quint8(c);
        h *= 0x100000001B3ULL;
    }
    quint64 v = Mix(h ^ Mix(quint64(st.st_ino)) ^ Mix(Mix(quint64(st.st_dev))));
    QByteArray suffix(kSuffixLength, '0');
    for (int i = 0; i < kSuffixLength; ++i) {
        suffix[i] = kDigits[v % 62];
        v /= 62;
    }
    return suffix;
}

QByteArray OwnPath(const QByteArray& directory, const QByteArray& baseName, const struct stat& st)
{
    return directory + '/' + baseName + '.' + OwnSuffix(st, baseName);
}

// Removes what earlier saves of the target left: files named as a save's
// temporary file whose name their own device and inode give, regular, ours,
// with no other name, and not held locked by a save under way.
void RemoveLeftovers(const QByteArray& directory, const QByteArray& baseName)
{
    DIR* dir = ::opendir(directory.constData());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    const QByteArray prefix = baseName + '.';
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != prefix.size() + kSuffixLength || !name.startsWith(prefix)) continue;
        struct stat st;
        if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1) continue;
        if (name.mid(prefix.size()) != OwnSuffix(st, baseName)) continue;
        const int fd = ::openat(dirFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat now;
        if (::fstat(fd, &now) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, name.constData(), 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

AtomicFile::AtomicFile(const QString& fileName) : m_fileName(fileName)
{
    QFileInfo target(fileName);
    for (int depth = 0; depth < 128 && target.isSymLink(); ++depth) target.setFile(target.symLinkTarget());
    if (target.isDir()) Fail(QStringLiteral("Filename refers to a directory"));
    if (target.exists() && !target.isWritable()) Fail(QStringLiteral("The file is not writable"));
    m_target = QFile::encodeName(target.absoluteFilePath());
    m_directory = QFile::encodeName(target.absolutePath());
    m_baseName = QFile::encodeName(target.fileName());

    RemoveLeftovers(m_directory, m_baseName);
    m_fd = ::open(m_directory.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) m_fd = OpenNamed();
    if (m_fd < 0) FailErrno(errno);
    // Held until the file is in place or gone: a later save leaves it alone.
    ::flock(m_fd, LOCK_EX);
    struct stat existing;
    if (::stat(m_target.constData(), &existing) == 0 && ::fchmod(m_fd, existing.st_mode & 07777) != 0) FailErrno(errno);
    if (!m_file.open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) Fail(m_file.errorString());
}

AtomicFile::~AtomicFile()
{
    if (!m_committed) Discard();
}

int AtomicFile::OpenNamed()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A name of another length than a finished temporary file's, which
        // no leftover removal ever takes for one.
        QByteArray random(kSuffixLength + 1, '0');
        for (char& c : random) c = kDigits[QRandomGenerator::global()->bounded(62)];
        const QByteArray path = m_directory + '/' + m_baseName + '.' + random;
        const int fd = ::open(path.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        ::flock(fd, LOCK_EX);
        struct stat st;
        const QByteArray own = ::fstat(fd, &st) == 0 ? OwnPath(m_directory, m_baseName, st) : QByteArray();
        if (own.isEmpty() || ::rename(path.constData(), own.constData()) != 0) {
            const int error = errno;
            ::unlink(path.constData());
            ::close(fd);
            errno = error;
            return -1;
        }
        m_named = own;
        return fd;
    }
    errno = EEXIST;
    return -1;
}

void AtomicFile::Discard()
{
    m_file.close();
    if (!m_named.isEmpty()) ::unlink(m_named.constData());
    m_named.clear();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void AtomicFile::Fail(const QString& reason)
{
    Discard();
    m_committed = true; // nothing left to do
    throw EFCreateError(Format(QStringLiteral("Cannot create file \"%s\". %s"), {m_fileName, reason}));
}

void AtomicFile::FailErrno(int error) { Fail(QString::fromLocal8Bit(std::strerror(error))); }

void AtomicFile::Write(const QByteArray& data)
{
    if (m_committed) Fail(QStringLiteral("The file is already closed"));
    if (m_file.write(data) != data.size()) Fail(m_file.errorString());
}

void AtomicFile::Commit()
{
    if (m_committed) Fail(QStringLiteral("The file is already closed"));
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError) Fail(m_file.errorString());
    if (::fsync(m_fd) != 0) FailErrno(errno);
    if (m_named.isEmpty()) {
        struct stat st;
        if (::fstat(m_fd, &st) != 0) FailErrno(errno);
        const QByteArray own = OwnPath(m_directory, m_baseName, st);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, own.constData(), AT_SYMLINK_FOLLOW) != 0 &&
            ::linkat(m_fd, "", AT_FDCWD, own.constData(), AT_EMPTY_PATH) != 0)
            FailErrno(errno);
        m_named = own;
    }
    if (::rename(m_named.constData(), m_target.constData()) != 0) FailErrno(errno);
    m_named.clear();
    m_committed = true;
    Discard();
}

void AtomicFile::WriteAll(const QString& fileName, const QByteArray& data)
{
    AtomicFile file(fileName);
    file.Write(data);
    file.Commit();
}

bool AtomicFile::RestrictToOwner(QFileDevice& file)
{
    const int fd = file.handle();
    return fd >= 0 && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
}
