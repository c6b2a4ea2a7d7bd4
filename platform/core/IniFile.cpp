#include "platform/core/IniFile.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Format.h"
#include "platform/core/SysUtils.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <vector>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString TrimBlanks(QStringView s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && IsBlank(s[first])) ++first;
    while (last > first && IsBlank(s[last - 1])) --last;
    return s.mid(first, last - first).toString();
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

struct Line {
    enum Kind { Other, Comment, Section, Key };
    Kind kind = Other;
    QString text; // the line as it stands in the file, without its line end
    QString name; // section or key name, blanks removed
    QString value;
};

Line Classify(const QString& text)
{
    Line line;
    line.text = text;
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) return line;
    if (text[i] == u';') {
        line.kind = Line::Comment;
    } else if (text[i] == u'[') {
        line.kind = Line::Section;
        const qsizetype close = text.indexOf(u']', i + 1);
        line.name = TrimBlanks(QStringView(text).mid(i + 1, close < 0 ? -1 : close - i - 1));
    } else {
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq > i) {
            const QString key = TrimBlanks(QStringView(text).mid(i, eq - i));
            if (!key.isEmpty()) {
                line.kind = Line::Key;
                line.name = key;
                line.value = TrimBlanks(QStringView(text).mid(eq + 1));
            }
        }
    }
    return line;
}

struct Document {
    std::vector<Line> lines;
    QString eol = QStringLiteral("\n");
    bool finalNewline = true;
    bool latin1 = false;
    bool bom = false;

    int FindSection(const QString& name) const
    {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].kind == Line::Section && SameName(lines[i].name, name)) return int(i);
        return -1;
    }
    // Index of the line after the section that starts at header.
    int SectionEnd(int header) const
    {
        size_t i = size_t(header) + 1;
        while (i < lines.size() && lines[i].kind != Line::Section) ++i;
        return int(i);
    }
    int FindKey(int header, const QString& key) const
    {
        const int end = SectionEnd(header);
        for (int i = header + 1; i < end; ++i)
            if (lines[size_t(i)].kind == Line::Key && SameName(lines[size_t(i)].name, key)) return i;
        return -1;
    }
    const Line* Find(const QString& section, const QString& key) const
    {
        const int h = FindSection(section);
        if (h < 0) return nullptr;
        const int k = FindKey(h, key);
        return k < 0 ? nullptr : &lines[size_t(k)];
    }

    QByteArray Serialize() const
    {
        QString text;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) text += eol;
            text += lines[i].text;
        }
        if (finalNewline && !lines.empty()) text += eol;
        // A Latin-1 file stays so unless a written value needs more.
        const bool narrow =
            latin1 && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
        QByteArray bytes = narrow ? text.toLatin1() : text.toUtf8();
        if (bom) bytes.prepend("\xEF\xBB\xBF");
        return bytes;
    }
};

[[noreturn]] void Unwritable(const QString& fileName)
{
    throw EIniFileException(Format(QStringLiteral("Unable to write to %s"), {fileName}));
}

// The file as it stands. For a read, a file that cannot be read is empty; for
// a write it is an error, since saving would lose its content.
Document Load(const QString& fileName, bool forWrite)
{
    Document doc;
    QFile file(fileName);
    if (!file.exists()) return doc;
    if (!file.open(QIODevice::ReadOnly)) {
        if (forWrite) Unwritable(fileName);
        return doc;
    }
    QByteArray raw = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (forWrite) Unwritable(fileName);
        return doc;
    }
    if (raw.startsWith("\xEF\xBB\xBF")) {
        doc.bom = true;
        raw.remove(0, 3);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(raw);
    if (decoder.hasError()) {
        text = QString::fromLatin1(raw);
        doc.latin1 = true;
    }
    const qsizetype firstEnd = text.indexOf(u'\n');
    if (firstEnd > 0 && text[firstEnd - 1] == u'\r') doc.eol = QStringLiteral("\r\n");
    doc.finalNewline = text.isEmpty() || text.endsWith(u'\n');
    QStringList parts = text.split(u'\n');
    if (doc.finalNewline) parts.removeLast();
    doc.lines.reserve(size_t(parts.size()));
    for (QString& part : parts) {
        if (part.endsWith(u'\r')) part.chop(1);
        doc.lines.push_back(Classify(part));
    }
    return doc;
}

void Save(const QString& fileName, const Document& doc)
{
    try {
        AtomicFile::WriteAll(fileName, doc.Serialize());
    } catch (const EFCreateError&) {
        Unwritable(fileName);
    }
}

bool HasLineBreak(const QString& s) { return s.contains(u'\n') || s.contains(u'\r'); }

} // namespace

TIniFile::TIniFile(const QString& fileName) : m_fileName(fileName) { }

QString TIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue) const
{
    const Document doc = Load(m_fileName, false);
    const Line* line = doc.Find(TrimBlanks(section), TrimBlanks(ident));
    return line ? line->value : defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) const
{
    const QString text = ReadString(section, ident, QString());
    return text.isEmpty() ? defaultValue : StrToIntDef(text, defaultValue);
}

bool TIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& sectionName, const QString& identName, const QString& value)
{
    const QString section = TrimBlanks(sectionName);
    const QString ident = TrimBlanks(identName);
    if (HasLineBreak(section) || section.contains(u'[') || section.contains(u']') || ident.isEmpty() ||
        HasLineBreak(ident) || ident.contains(u'=') || ident.startsWith(u';') || ident.startsWith(u'[') ||
        HasLineBreak(value))
        Unwritable(m_fileName);

    Document doc = Load(m_fileName, true);
    const int header = doc.FindSection(section);
    if (header < 0) {
        doc.finalNewline = true;
        doc.lines.push_back(Classify(u'[' + section + u']'));
        doc.lines.push_back(Classify(ident + u'=' + value));
    } else {
        const int key = doc.FindKey(header, ident);
        if (key >= 0) {
            Line& line = doc.lines[size_t(key)];
            line = Classify(line.name + u'=' + value);
        } else {
            int at = header + 1;
            const int end = doc.SectionEnd(header);
            for (int i = header + 1; i < end; ++i)
                if (doc.lines[size_t(i)].kind == Line::Key) at = i + 1;
            if (at == int(doc.lines.size())) doc.finalNewline = true;
            doc.lines.insert(doc.lines.begin() + at, Classify(ident + u'=' + value));
        }
    }
    Save(m_fileName, doc);
}

void TIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::SectionExists(const QString& section) const
{
    return Load(m_fileName, false).FindSection(TrimBlanks(section)) >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& ident) const
{
    return Load(m_fileName, false).Find(TrimBlanks(section), TrimBlanks(ident)) != nullptr;
}

QStringList TIniFile::ReadSection(const QString& section) const
{
    const Document doc = Load(m_fileName, false);
    QStringList keys;
    const int header = doc.FindSection(TrimBlanks(section));
    if (header < 0) return keys;
    const int end = doc.SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (doc.lines[size_t(i)].kind == Line::Key) keys << doc.lines[size_t(i)].name;
    return keys;
}

void TIniFile::EraseSection(const QString& section)
{
    Document doc = Load(m_fileName, true);
    const int header = doc.FindSection(TrimBlanks(section));
    if (header < 0) return;
    doc.lines.erase(doc.lines.begin() + header, doc.lines.begin() + doc.SectionEnd(header));
    Save(m_fileName, doc);
}

void TIniFile::DeleteKey(const QString& section, const QString& ident)
{
    Document doc = Load(m_fileName, true);
    const int header = doc.FindSection(TrimBlanks(section));
    if (header < 0) return;
    const int key = doc.FindKey(header, TrimBlanks(ident));
    if (key < 0) return;
    doc.lines.erase(doc.lines.begin() + key);
    Save(m_fileName, doc);
}
