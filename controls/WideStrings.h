#pragma once
// A list of strings, each with an object, as the wide-text controls keep
// their items: the text of the whole list (one line per entry), lookup that
// ignores case in the list's locale, moves and exchanges that keep each
// entry's object, and an update bracket. Abstract: a list says how it holds
// its entries (Get, Count, Insert, Delete, Clear, and the objects).

#include <QLocale>
#include <QString>
#include <QStringList>

class QObject;

class TWideStrings {
public:
    TWideStrings();
    TWideStrings(const TWideStrings&) = delete;
    TWideStrings& operator=(const TWideStrings&) = delete;
    virtual ~TWideStrings();

    virtual QString Get(int index) const = 0;
    virtual int Count() const = 0;
    virtual int Capacity() const { return Count(); }
    virtual void SetCapacity(int) { }
    virtual QObject* GetObject(int index) const;
    virtual void PutObject(int index, QObject* object);
    // Replaces the entry's string; its object stays.
    virtual void Put(int index, const QString& value);

    QString Strings(int index) const { return Get(index); }
    QString operator[](int index) const { return Get(index); }

    // Every entry followed by CR LF.
    virtual QString Text() const;
    // One entry per line; a line ends at CR, LF, CR LF, VT, FF, U+2028 or
    // U+2029; a last line break gives no empty entry.
    virtual void SetText(const QString& value);

    // Comparisons follow this locale (the user's at creation).
    QLocale Locale() const { return m_locale; }
    virtual void SetLocale(const QLocale& locale) { m_locale = locale; }

    virtual int Add(const QString& value);
    virtual int AddObject(const QString& value, QObject* object);
    virtual void AddStrings(const QStringList& strings);
    virtual void AddStrings(const TWideStrings& strings);
    // The entries (and objects) of another list in place of these.
    void Assign(const TWideStrings& source);
    void Assign(const QStringList& source);
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Exchange(int index1, int index2);
    // The first entry equal to value without regard to case, or -1.
    virtual int IndexOf(const QString& value) const;
    virtual void Insert(int index, const QString& value) = 0;
    // Moves an entry with its object.
    virtual void Move(int curIndex, int newIndex);

    QStringList ToStringList() const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

protected:
    virtual void SetUpdateState(bool) { }

private:
    QLocale m_locale;
    int m_updateCount = 0;
};
