#pragma once
// A file the program writes, replaced as a whole or not at all: the content
// goes to a temporary file beside the target, which is flushed to disk and
// then renamed over it. Until Commit() the old file stays as it was; an
// object destroyed without Commit() leaves it untouched. Every failure
// (creating the temporary file, writing, flushing, renaming) raises
// EFCreateError "Cannot create file "<name>". <reason>", never a silent
// success. The permissions of an existing file are kept; a link is followed
// to the file it names.
//
// The temporary file has no name while it is written; it gets one just
// before the rename: the target's name, a dot and ten characters derived
// from the file itself (its device and inode) and the target's name. A save
// killed between the two leaves that file behind; the next save of the same
// target removes it, and only what is provably such a leftover: a regular
// file of ours with a single link whose name is the one its own device and
// inode give, which no save under way holds locked.
//
// RestrictToOwner serves writers of files that hold a person's data with a
// save file of their own: the temporary file, made 0600 before anything is
// written to it, puts a file open to its owner alone in place, whatever
// the file it replaces allowed.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QFile>
#include <QString>

class AtomicFile {
public:
    explicit AtomicFile(const QString& fileName);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const QString& FileName() const { return m_fileName; }
    // The stream to write to; check with Write() or let Commit() find errors.
    QFileDevice& Stream() { return m_file; }
    void Write(const QByteArray& data);
    // Puts the new content in place.
    void Commit();

    // Writes data as the whole new content of fileName.
    static void WriteAll(const QString& fileName, const QByteArray& data);

    // The open file made 0600; false when that fails.
    static bool RestrictToOwner(QFileDevice& file);

private:
    [[noreturn]] void Fail(const QString& reason);
    [[noreturn]] void FailErrno(int error);
    // A temporary file with a name of its own (where the file system makes
    // no unnamed ones); -1 with errno set on failure.
    int OpenNamed();
    // Closes the temporary file and removes its name, if it has one.
    void Discard();

    QString m_fileName;
    QByteArray m_target;    // the file replaced, links followed
    QByteArray m_directory; // where it lies
    QByteArray m_baseName;  // its name there
    QByteArray m_named;     // the temporary file's path once it has a name
    int m_fd = -1;
    QFile m_file;
    bool m_committed = false;
};
