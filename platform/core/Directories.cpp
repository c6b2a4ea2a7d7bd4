#include "platform/core/Directories.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Format.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ScopedDirectoryOverride* g_innermost = nullptr;
// Private directories made with a unique name this run, by base directory.
QHash<QString, QString> g_uniqueDirs;

const DirectoryOverride* Override() { return g_innermost ? &g_innermost->Values() : nullptr; }

QString WithSlash(const QString& path) { return path.endsWith(u'/') ? path : path + u'/'; }

// The class library's ChangeFileExt: the extension is what follows the last
// "." of the file name.
QString ChangeFileExt(const QString& path, const QString& ext)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    return (dot > slash ? path.left(dot) : path) + ext;
}

QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

[[noreturn]] void CannotCreate(const QString& name, const QString& reason)
{
    throw EFCreateError(Format(QStringLiteral("Cannot create file \"%s\". %s"), {name, reason}));
}

void MakePath(const QString& dir)
{
    if (!QDir().mkpath(dir)) CannotCreate(dir, QStringLiteral("The directory cannot be made"));
}

// A real directory (not a link) of this user, open to nobody else.
bool IsPrivateDir(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0 &&
        (st.st_mode & S_IRWXU) == S_IRWXU;
}

QString PrivateDir(const QString& baseDir)
{
    const QString base = QDir::cleanPath(QFileInfo(baseDir).absoluteFilePath());
    const QString prefix = base + QStringLiteral("/tamsel-") + QString::number(::geteuid());
    const QByteArray native = QFile::encodeName(prefix);
    if (::mkdir(native.constData(), 0700) == 0) ::chmod(native.constData(), 0700); // whatever the umask took
    if (IsPrivateDir(prefix)) return prefix + u'/';

    // Someone else's, a link, or open to others: neither used nor repaired.
    const auto known = g_uniqueDirs.constFind(base);
    if (known != g_uniqueDirs.constEnd() && IsPrivateDir(*known)) return *known + u'/';
    QByteArray pattern = QFile::encodeName(prefix + QStringLiteral("-XXXXXX"));
    if (!::mkdtemp(pattern.data())) CannotCreate(prefix, SystemError());
    const QString made = QFile::decodeName(pattern);
    g_uniqueDirs.insert(base, made);
    return made + u'/';
}

QString SystemTempDir()
{
    const DirectoryOverride* o = Override();
    return o && !o->SystemTempDir.isEmpty() ? o->SystemTempDir : QDir::tempPath();
}

} // namespace

QString Directories::ExeName()
{
    const DirectoryOverride* o = Override();
    if (o && !o->ExeName.isEmpty()) return o->ExeName;
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString Directories::ExeDir() { return WithSlash(QFileInfo(ExeName()).absolutePath()); }

bool Directories::ExeDirWritable()
{
    const DirectoryOverride* o = Override();
    if (o && o->ExeDirWritable) return *o->ExeDirWritable;
    return ::access(QFile::encodeName(ExeDir()).constData(), W_OK) == 0;
}

QString Directories::UserConfigDir()
{
    const DirectoryOverride* o = Override();
    const QString home = o && !o->ConfigHome.isEmpty()
        ? o->ConfigHome
        : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return WithSlash(home) + QStringLiteral("Ostrel/Tamsel/");
}

QString Directories::UserDataDir()
{
    const DirectoryOverride* o = Override();
    const QString home = o && !o->DataHome.isEmpty()
        ? o->DataHome
        : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return WithSlash(home) + QStringLiteral("Ostrel/Tamsel/");
}

QString Directories::IniFileName()
{
    const QString name = ChangeFileExt(QFileInfo(ExeName()).fileName(), QStringLiteral(".ini"));
    const QString beside = ExeDir() + name;
    if (ExeDirWritable()) return beside;

    const QString dir = UserConfigDir();
    const QString own = dir + name;
    MakePath(dir);
    if (!QFileInfo::exists(own) && QFileInfo(beside).isFile()) {
        QFile seed(beside);
        if (!seed.open(QIODevice::ReadOnly))
            throw EFOpenError(Format(QStringLiteral("Cannot open file \"%s\". %s"), {beside, seed.errorString()}));
        const QByteArray content = seed.readAll();
        if (seed.error() != QFileDevice::NoError)
            throw EFOpenError(Format(QStringLiteral("Cannot open file \"%s\". %s"), {beside, seed.errorString()}));
        AtomicFile::WriteAll(own, content);
    }
    return own;
}

QString Directories::DataDir() { return (ExeDirWritable() ? ExeDir() : UserDataDir()) + QStringLiteral("data/"); }

QString Directories::LogDir()
{
    if (ExeDirWritable()) return ExeDir();
    const QString dir = UserDataDir();
    MakePath(dir);
    return dir;
}

QString Directories::TempDir()
{
    QString dir = qEnvironmentVariable("TMP");
    if (dir.isEmpty()) dir = qEnvironmentVariable("TEMP");
    if (!dir.isEmpty()) {
        struct stat st;
        if (::stat(QFile::encodeName(dir).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
            if (st.st_mode & (S_IWGRP | S_IWOTH)) return PrivateDir(dir);
            return WithSlash(QFileInfo(dir).absoluteFilePath());
        }
    }
    return PrivateDir(SystemTempDir());
}

bool Directories::MakePrivateDir(const QString& dir)
{
    const QString path = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0) {
        const QString parent = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(parent)) return false;
        if (::mkdir(native.constData(), 0700) == 0)
            ::chmod(native.constData(), 0700); // whatever the umask took
        else if (errno != EEXIST)
            return false;
        if (::lstat(native.constData(), &st) != 0) return false;
    }
    if (S_ISLNK(st.st_mode)) return QFileInfo(path).isDir(); // left as it is
    if (!S_ISDIR(st.st_mode)) return false;
    // What an older run left open: the owner alone from now on.
    if (st.st_uid == ::geteuid() && !(st.st_mode & S_ISVTX) && (st.st_mode & 077))
        ::chmod(native.constData(), (st.st_mode & 07700) | S_IRWXU);
    return true;
}

ScopedDirectoryOverride::ScopedDirectoryOverride(const DirectoryOverride& values)
    : m_values(values), m_previous(g_innermost)
{
    g_innermost = this;
}

ScopedDirectoryOverride::~ScopedDirectoryOverride() { g_innermost = m_previous; }
