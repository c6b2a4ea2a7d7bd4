#pragma once
// An ini file as the program's Windows profile functions saw it.
//
// Reading:
// - "[Section]" lines open sections; "key=value" lines inside a section are
//   its values. Section and key names compare without regard to case. When a
//   section or a key occurs twice, the first one counts (for reading and
//   writing).
// - Key and value are taken with the blanks (spaces and tabs) around them
//   removed and otherwise exactly as written: no quotes are stripped, no
//   escapes read, a ";" inside a value is part of it. "key=" is an empty value,
//   which is not the default.
// - Lines whose first non-blank character is ";" are comments. Lines before
//   the first section, and lines without "=", belong to no key.
// - The file is read as it stands on disk at every call (another object on
//   the same file, or another program, may have changed it). A missing or
//   unreadable file reads as empty: every read gives its default.
// - Text is UTF-8; a file that is not valid UTF-8 is read as Latin-1 and
//   written back so, unless a written value holds characters Latin-1 lacks
//   (then the whole file becomes UTF-8).
//
// Writing:
// - Every change is saved at once: the file is read again, changed, and
//   written to a temporary file beside it that then replaces it. Every other
//   section, line, comment, blank line and line ending is kept as it stood. A
//   changed key keeps its line and the spelling of its name; a new key goes
//   after the last value of its section; a new section goes at the end.
// - A failed save raises EIniFileException ("Unable to write to <file>")
//   and leaves the file as it was, as does a write to a file that exists but
//   cannot be read. Names or values that would break the file's structure
//   (a line break anywhere, "=" in a key, brackets in a section name, an empty
//   key) are refused the same way.
// - Blanks around a written value are kept in the file but, as above, not
//   read back.

#include "platform/core/Exception.h"

#include <QString>
#include <QStringList>

class EIniFileException : public Exception {
    using Exception::Exception;
};

class TIniFile {
public:
    explicit TIniFile(const QString& fileName);

    const QString& FileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) const;
    // The value as an integer (decimal, or hexadecimal after "0x" or "$", as
    // StrToIntDef reads it); the default when missing or not a number.
    int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
    // ReadInteger(section, ident, default ? 1 : 0) != 0.
    bool ReadBool(const QString& section, const QString& ident, bool defaultValue) const;

    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);
    // Writes "1" or "0".
    void WriteBool(const QString& section, const QString& ident, bool value);

    // Whether a "[section]" line exists (keys or not).
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& ident) const;
    // The key names of a section, in file order, as spelt in the file.
    QStringList ReadSection(const QString& section) const;
    // Removes the section's header and every line up to the next section.
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);

private:
    QString m_fileName;
};
