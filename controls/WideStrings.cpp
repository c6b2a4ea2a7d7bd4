#include "controls/WideStrings.h"

#include <QCollator>

TWideStrings::TWideStrings() : m_locale(QLocale::system()) { }

TWideStrings::~TWideStrings() = default;

QObject* TWideStrings::GetObject(int) const { return nullptr; }

void TWideStrings::PutObject(int, QObject*) { }

void TWideStrings::Put(int index, const QString& value)
{
    QObject* object = GetObject(index);
    Delete(index);
    Insert(index, value);
    PutObject(index, object);
}

QString TWideStrings::Text() const
{
    QString out;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        out += Get(i);
        out += QStringLiteral("\r\n");
    }
    return out;
}

void TWideStrings::SetText(const QString& value)
{
    auto isBreak = [](char16_t c) { return c == 10 || c == 11 || c == 12 || c == 13 || c == 0x2028 || c == 0x2029; };
    BeginUpdate();
    Clear();
    const qsizetype n = value.size();
    qsizetype p = 0;
    while (p < n) {
        const qsizetype start = p;
        while (p < n && !isBreak(value[p].unicode())) ++p;
        Add(value.mid(start, p - start));
        if (p < n) {
            const char16_t c = value[p].unicode();
            ++p;
            if (c == 13 && p < n && value[p].unicode() == 10) ++p;
        }
    }
    EndUpdate();
}

int TWideStrings::Add(const QString& value)
{
    const int index = Count();
    Insert(index, value);
    return index;
}

int TWideStrings::AddObject(const QString& value, QObject* object)
{
    const int index = Add(value);
    PutObject(index, object);
    return index;
}

void TWideStrings::AddStrings(const QStringList& strings)
{
    BeginUpdate();
    for (const QString& s : strings) Add(s);
    EndUpdate();
}

void TWideStrings::AddStrings(const TWideStrings& strings)
{
    BeginUpdate();
    const int n = strings.Count();
    for (int i = 0; i < n; ++i) AddObject(strings.Get(i), strings.GetObject(i));
    EndUpdate();
}

void TWideStrings::Assign(const TWideStrings& source)
{
    if (&source == this) return;
    BeginUpdate();
    Clear();
    AddStrings(source);
    EndUpdate();
}

void TWideStrings::Assign(const QStringList& source)
{
    BeginUpdate();
    Clear();
    AddStrings(source);
    EndUpdate();
}

void TWideStrings::Exchange(int index1, int index2)
{
    BeginUpdate();
    const QString s = Get(index1);
    QObject* o = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s);
    PutObject(index2, o);
    EndUpdate();
}

int TWideStrings::IndexOf(const QString& value) const
{
    QCollator collator(m_locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        const QString s = Get(i);
        if (s.compare(value, Qt::CaseInsensitive) == 0 || collator.compare(s, value) == 0) return i;
    }
    return -1;
}

void TWideStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    BeginUpdate();
    const QString s = Get(curIndex);
    QObject* o = GetObject(curIndex);
    Delete(curIndex);
    Insert(newIndex, s);
    PutObject(newIndex, o);
    EndUpdate();
}

QStringList TWideStrings::ToStringList() const
{
    QStringList out;
    const int n = Count();
    out.reserve(n);
    for (int i = 0; i < n; ++i) out.append(Get(i));
    return out;
}

void TWideStrings::BeginUpdate()
{
    if (m_updateCount == 0) SetUpdateState(true);
    ++m_updateCount;
}

void TWideStrings::EndUpdate()
{
    if (m_updateCount == 0) return;
    --m_updateCount;
    if (m_updateCount == 0) SetUpdateState(false);
}
