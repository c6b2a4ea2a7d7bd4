#pragma once
// The symbol table of the lexer: the keywords and one-character tokens,
// looked up without regard to the case of ASCII letters, and the names read
// from the input, kept once each so that every node named alike shares one
// string. Both lookups are hashed.

#include "protocol/xml/TSTEntry.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <deque>
#include <vector>

class TSymTab {
public:
    TSymTab();

    // Appends an entry; returns its number (the new Count).
    int Add(const QString& text, int kind);
    // Number of the first entry whose text equals text, ignoring the case of
    // ASCII letters; 0 when there is none.
    int Lookup(QStringView text) const;
    int KindOf(int index) const;
    const QString& TextOf(int index) const;
    const TSTEntry& Entry(int index) const { return m_entries[size_t(index)]; }
    int Count() const { return int(m_entries.size()) - 1; }

    // The table of the lexer: the markup keywords and the seeded characters.
    void AddKeywords();
    // The entry of a one-character token, added with the character's code as
    // its kind the first time.
    int CharEntry(char16_t c);
    // The entry of a keyword kind (256 to 276).
    int KeywordEntry(int kind) const { return m_keywordIndex[kind - 256]; }

    // The shared text of a name read from the input (exact comparison),
    // which stays valid as long as the table. index receives the name's
    // number among the names.
    const QString& InternName(const char16_t* text, qsizetype length, int& index);
    // The same for a name of one-byte characters.
    const QString& InternName(const uint8_t* text, qsizetype length, int& index);
    int NameCount() const { return int(m_names.size()); }

private:
    static uint32_t FoldedHash(QStringView text);
    template <typename Char>
    static uint32_t ExactHash(const Char* text, qsizetype length);
    void Rehash(std::vector<int32_t>& table, size_t size, bool names);

    std::vector<TSTEntry> m_entries; // item 0 is empty
    int m_asciiChars[128] = {};      // entry of each ASCII character token
    int m_keywordIndex[21] = {};
    template <typename Char>
    const QString& Intern(const Char* text, qsizetype length, int& index);
    std::vector<int32_t> m_slots; // entry numbers, 0 = free
    std::deque<QString> m_names;  // stable: a name's string stays where it is
    std::vector<uint32_t> m_nameHashes;
    std::vector<int32_t> m_nameSlots; // name number + 1, 0 = free
};
