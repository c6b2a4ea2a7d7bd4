#pragma once
// A file the program writes, replaced as a whole or not at all: the content
// goes to a temporary file beside the target, which is flushed to disk and
// then renamed over it. Until Commit() the old file stays as it was; an
// object destroyed without Commit() leaves it untouched. Every failure
// (creating the temporary file, writing, flushing, renaming) raises
// EFCreateError "Cannot create file "<name>". <reason>", never a silent
// success. The permissions of an existing file are kept.
//
// RestrictToOwner serves writers of files that hold a person's data with a
// save file of their own: the temporary file, made 0600 before anything is
// written to it, puts a file open to its owner alone in place, whatever
// the file it replaces allowed.

#include "platform/core/Exception.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

class AtomicFile {
public:
    explicit AtomicFile(const QString& fileName);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const QString& FileName() const { return m_fileName; }
    // The stream to write to; check with Write() or let Commit() find errors.
    QIODevice& Stream() { return m_file; }
    void Write(const QByteArray& data);
    // Puts the new content in place.
    void Commit();

    // Writes data as the whole new content of fileName.
    static void WriteAll(const QString& fileName, const QByteArray& data);

    // The open file made 0600; false when that fails.
    static bool RestrictToOwner(QFileDevice& file);

private:
    [[noreturn]] void Fail(const QString& reason);

    QString m_fileName;
    QSaveFile m_file;
    bool m_committed = false;
};
