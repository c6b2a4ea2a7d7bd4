#pragma once
// Where the program finds and keeps its files.
//
// Every directory returned ends with "/", since callers put file names
// straight after it (TempDir() + "banner.rtf", DataDir() + "myinfo.xml").
//
// - ExeDir: the program's directory.
// - IniFileName: the program's path with ".ini" for its extension
//   (".../tamsel" -> ".../tamsel.ini").
// - DataDir ("data/") and LogDir (where "Error.log" goes) are beside the
//   program when its directory is writable. When it is not (an installed
//   program), they are in the user's data directory (XDG_DATA_HOME, normally
//   ~/.local/share) under "Ostrel/Tamsel/", and the ini file is in the user's
//   configuration directory (XDG_CONFIG_HOME, normally ~/.config) under
//   "Ostrel/Tamsel/"; an ini file beside the program then serves once as the
//   seed: it is copied there when the user has none yet. In that case the
//   ini file's directory and LogDir are made when missing (EFCreateError when
//   that fails, EFOpenError when the seed cannot be read). DataDir is not made
//   here (the main window makes it when missing).
// - TempDir: the directory named by TMP, or by TEMP when TMP is empty,
//   provided it exists (a TMP naming a missing directory is not passed over
//   for TEMP). The program writes fixed file names there, so a directory
//   other users may write to (one writable by group or others, such as /tmp)
//   is never used itself: a private directory inside it is. Without a usable
//   TMP or TEMP, the private directory is made under the system's temporary
//   directory (TMPDIR, else /tmp). A private directory is "tamsel-<uid>",
//   created with mode 0700; one that already exists is used only when it is
//   a real directory (not a link) owned by the user with no access for group
//   or others. Otherwise it is left alone and a new directory with a unique
//   name is made in its place (and kept for the rest of the run).
//   Failing to make one raises EFCreateError.
// - MakePrivateDir: a directory for a person's data (DataDir: the personal
//   page, the parameter and page sets). A missing one is made (its parents
//   as usual) with mode 0700; an existing one that is a real directory (not
//   a link, not sticky) of this user is closed to group and others.

#include "platform/core/Exception.h"

#include <QString>
#include <optional>

class Directories {
public:
    static QString ExeName(); // the program's full path
    static QString ExeDir();
    static bool ExeDirWritable();
    static QString IniFileName();
    static QString DataDir();
    static QString LogDir();
    static QString TempDir();
    // False when dir cannot be made or is no directory.
    static bool MakePrivateDir(const QString& dir);

    // The per-user directories used when the program's directory is not
    // writable ("Ostrel/Tamsel/" under the user's configuration and data
    // directories).
    static QString UserConfigDir();
    static QString UserDataDir();
};

// Stand-ins for the facts the directories are derived from (tests). Empty
// fields keep the real value.
struct DirectoryOverride {
    QString ExeName;                    // the program's path
    std::optional<bool> ExeDirWritable; // the answer of the permission check
    QString ConfigHome;                 // in place of XDG_CONFIG_HOME
    QString DataHome;                   // in place of XDG_DATA_HOME
    QString SystemTempDir;              // in place of TMPDIR or /tmp
};

// Puts an override in place for its lifetime. Overrides nest.
class ScopedDirectoryOverride {
public:
    explicit ScopedDirectoryOverride(const DirectoryOverride& values);
    ~ScopedDirectoryOverride();
    ScopedDirectoryOverride(const ScopedDirectoryOverride&) = delete;
    ScopedDirectoryOverride& operator=(const ScopedDirectoryOverride&) = delete;

    const DirectoryOverride& Values() const { return m_values; }

private:
    DirectoryOverride m_values;
    ScopedDirectoryOverride* m_previous = nullptr;
};
