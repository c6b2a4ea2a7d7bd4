#include "grid/lists/TIntList.h"

#include "platform/core/Exception.h"
#include "platform/core/SysUtils.h"

#include <QStringList>

namespace {

// The class library's comma text: pieces separated by "," or blanks, a piece
// in double quotes kept whole (a doubled quote inside stands for one).
QStringList SplitCommaText(const QString& text)
{
    QStringList pieces;
    const qsizetype n = text.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && text[i] > u'\0' && text[i] <= u' ') ++i;
    };
    skipBlanks();
    while (i < n) {
        QString piece;
        if (text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        piece += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                piece += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && text[i] > u' ' && text[i] != u',') ++i;
            piece = text.mid(start, i - start);
        }
        pieces << piece;
        skipBlanks();
        if (i < n && text[i] == u',') {
            if (i + 1 == n) pieces << QString();
            ++i;
            skipBlanks();
        }
    }
    return pieces;
}

} // namespace

void TIntList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count) throw EListError::IndexOutOfBounds(index);
}

int TIntList::Item(int index) const
{
    CheckIndex(index, Count());
    return m_items[index];
}

void TIntList::SetItem(int index, int value)
{
    CheckIndex(index, Count());
    m_items[index] = value;
    Changed();
}

int TIntList::Add(int value)
{
    m_items.append(value);
    Changed();
    return Count() - 1;
}

void TIntList::Delete(int index)
{
    CheckIndex(index, Count());
    m_items.remove(index);
    Changed();
}

void TIntList::Insert(int index, int value)
{
    CheckIndex(index, Count() + 1);
    m_items.insert(index, value);
}

QString TIntList::CommaText() const
{
    QString text;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) text += u',';
        text += QString::number(m_items[i]);
    }
    return text;
}

void TIntList::SetCommaText(const QString& text)
{
    const QStringList pieces = SplitCommaText(text);
    m_items.clear();
    for (const QString& piece : pieces) Add(StrToInt(piece));
}

void TIntList::Changed()
{
    if (OnChange) OnChange(this, m_param1, m_param2);
}
