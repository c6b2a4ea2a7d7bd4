#include "protocol/xml/TSymTab.h"

#include "protocol/xml/TokenKinds.h"

#include <array>

namespace {

inline char16_t Fold(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

bool EqualsFolded(QStringView a, QStringView b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (Fold(a[i].unicode()) != Fold(b[i].unicode())) return false;
    return true;
}

} // namespace

TSymTab::TSymTab()
{
    m_entries.emplace_back();
    m_slots.assign(64, 0);
    m_nameSlots.assign(256, 0);
}

uint32_t TSymTab::FoldedHash(QStringView text)
{
    uint32_t h = 2166136261u;
    for (QChar c : text) h = (h ^ Fold(c.unicode())) * 16777619u;
    return h;
}

template <typename Char>
uint32_t TSymTab::ExactHash(const Char* text, qsizetype length)
{
    uint32_t h = 2166136261u;
    for (qsizetype i = 0; i < length; ++i) h = (h ^ text[i]) * 16777619u;
    return h;
}

void TSymTab::Rehash(std::vector<int32_t>& table, size_t size, bool names)
{
    std::vector<int32_t> fresh(size, 0);
    const size_t mask = size - 1;
    for (int32_t v : table) {
        if (!v) continue;
        const uint32_t h = names ? m_nameHashes[size_t(v - 1)] : FoldedHash(m_entries[size_t(v)].Text);
        size_t i = h & mask;
        while (fresh[i]) i = (i + 1) & mask;
        fresh[i] = v;
    }
    table.swap(fresh);
}

int TSymTab::Add(const QString& text, int kind)
{
    const int index = int(m_entries.size());
    m_entries.emplace_back(kind, index, text);
    if (m_entries.size() * 2 > m_slots.size()) Rehash(m_slots, m_slots.size() * 2, false);
    // Only the first entry of a text is found by Lookup.
    if (!Lookup(text)) {
        const size_t mask = m_slots.size() - 1;
        size_t i = FoldedHash(text) & mask;
        while (m_slots[i]) i = (i + 1) & mask;
        m_slots[i] = index;
    }
    return Count();
}

int TSymTab::Lookup(QStringView text) const
{
    const size_t mask = m_slots.size() - 1;
    size_t i = FoldedHash(text) & mask;
    while (int32_t v = m_slots[i]) {
        if (EqualsFolded(m_entries[size_t(v)].Text, text)) return v;
        i = (i + 1) & mask;
    }
    return 0;
}

int TSymTab::KindOf(int index) const
{
    return (index > 0 && index < int(m_entries.size())) ? m_entries[size_t(index)].Kind : 0;
}

const QString& TSymTab::TextOf(int index) const
{
    static const QString empty;
    return (index > 0 && index < int(m_entries.size())) ? m_entries[size_t(index)].Text : empty;
}

void TSymTab::AddKeywords()
{
    static const struct {
        const char16_t* text;
        int kind;
    } keywords[] = {
        {u"<!--", tk::CommentStart},
        {u"<?", tk::PIStart},
        {u"<![CDATA[", tk::CDataStart},
        {u"<?xml", tk::XmlDeclStart},
        {u"<!DOCTYPE", tk::Doctype},
        {u"<", tk::TagStart},
        {u">", tk::TagEnd},
        {u"/>", tk::EmptyTagEnd},
        {u"</", tk::EndTagStart},
        {u"<!ELEMENT", tk::ElementDecl},
        {u"<!ATTLIST", tk::AttlistDecl},
        {u"<![", tk::SectionStart},
        {u"<!ENTITY", tk::EntityDecl},
        {u"-->", tk::CommentEnd},
        {u"?>", tk::PIEnd},
        {u"]]>", tk::CDataEnd},
        {u"#PCDATA", tk::PCData},
        {u"#REQUIRED", tk::Required},
        {u"#IMPLIED", tk::Implied},
        {u"#FIXED", tk::Fixed},
        {u"<!NOTATION", tk::NotationDecl},
        {u"%", '%'},
        {u"?", '?'},
        {u"*", '*'},
        {u"+", '+'},
        {u"(", '('},
        {u")", ')'},
        {u"|", '|'},
        {u",", ','},
    };
    // The texts are static: copying them into tokens costs no reference count.
    for (const auto& k : keywords) {
        const int index = Add(QString::fromRawData(reinterpret_cast<const QChar*>(k.text),
                                                   qsizetype(std::char_traits<char16_t>::length(k.text))),
                              k.kind);
        if (k.kind >= 256 && k.kind <= 276) m_keywordIndex[k.kind - 256] = index;
    }
}

int TSymTab::CharEntry(char16_t c)
{
    if (c < 128 && m_asciiChars[c]) return m_asciiChars[c];
    int index;
    if (c < 128) {
        static constexpr auto texts = [] {
            std::array<char16_t, 128> a{};
            for (int i = 0; i < 128; ++i) a[size_t(i)] = char16_t(i);
            return a;
        }();
        const QString text = QString::fromRawData(reinterpret_cast<const QChar*>(&texts[c]), 1);
        index = Lookup(text);
        if (!index) index = Add(text, c);
        m_asciiChars[c] = index;
        return index;
    }
    const QString text(QChar{c});
    index = Lookup(text);
    if (!index) index = Add(text, c);
    return index;
}

const QString& TSymTab::InternName(const char16_t* text, qsizetype length, int& index)
{
    return Intern(text, length, index);
}

const QString& TSymTab::InternName(const uint8_t* text, qsizetype length, int& index)
{
    return Intern(text, length, index);
}

template <typename Char>
const QString& TSymTab::Intern(const Char* text, qsizetype length, int& index)
{
    const uint32_t h = ExactHash(text, length);
    size_t mask = m_nameSlots.size() - 1;
    size_t i = h & mask;
    while (int32_t v = m_nameSlots[i]) {
        const QString& s = m_names[size_t(v - 1)];
        if (m_nameHashes[size_t(v - 1)] == h && s.size() == length) {
            const char16_t* p = reinterpret_cast<const char16_t*>(s.constData());
            qsizetype k = 0;
            while (k < length && p[k] == char16_t(text[k])) ++k;
            if (k == length) {
                index = v - 1;
                return s;
            }
        }
        i = (i + 1) & mask;
    }
    if constexpr (sizeof(Char) == 1)
        m_names.push_back(QString::fromLatin1(reinterpret_cast<const char*>(text), length));
    else
        m_names.push_back(QString(reinterpret_cast<const QChar*>(text), length));
    m_nameHashes.push_back(h);
    if (m_names.size() * 2 > m_nameSlots.size()) {
        Rehash(m_nameSlots, m_nameSlots.size() * 2, true);
        mask = m_nameSlots.size() - 1;
        i = h & mask;
        while (m_nameSlots[i]) i = (i + 1) & mask;
    }
    m_nameSlots[i] = int32_t(m_names.size());
    index = int(m_names.size()) - 1;
    return m_names.back();
}
