#pragma once
// Reads the data of a drag or a paste from another program (or from our
// own): which formats it offers and their contents. Every reader takes the
// explicit length of the bytes it got: text ends at the first zero byte or
// at the end of the data, a column is exactly four bytes, file lists are
// local files only, and anything malformed or outside the data reads as
// nothing.

#include <QStringList>

class QMimeData;

class TEnumFormats {
public:
    explicit TEnumFormats(const QMimeData* data);

    bool HasText() const;
    bool HasRTF() const;
    bool HasCol() const;
    bool HasFiles() const;

    // Plain text ("" when none).
    QString GetText() const;
    // Rich text, as its bytes read as Latin-1 ("" when none).
    QString GetRTF() const;
    // The dragged column; -1 when there is none or its data is not exactly
    // one 32-bit index.
    int GetCol() const;
    // Appends the local files of the drag to list; true when list then
    // holds at least one entry.
    bool GetFiles(QStringList& list) const;

    // The most files and bytes of names taken from one drag.
    static constexpr int MaxFiles = 4096;
    static constexpr int MaxListBytes = 4 * 1024 * 1024;

    // The bytes of a zero-terminated string inside data: up to the first
    // zero byte, or all of it when there is none.
    static QByteArray ZeroTerminated(const QByteArray& data);
    // A 32-bit little-endian signed integer; false unless data holds
    // exactly four bytes.
    static bool ReadInt32(const QByteArray& data, int& value);
    // The local paths of a text/uri-list block (comments and other schemes
    // skipped); false for a block over MaxListBytes.
    static bool ParseUriList(const QByteArray& data, QStringList& files);

private:
    const QMimeData* m_data;
};
