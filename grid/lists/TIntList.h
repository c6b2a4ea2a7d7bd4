#pragma once
// A list of 32-bit integers that tells its owner of changes: the grid's row
// and column selections, sort columns and column orders.
//
// Add, Delete and writing an item fire OnChange once each (with the two
// parameters given at construction); Insert, Clear and the clearing done by
// writing CommaText do not.

#include <QString>
#include <QVector>
#include <functional>

class TIntList {
public:
    explicit TIntList(int param1 = 0, int param2 = 0) : m_param1(param1), m_param2(param2) { }
    virtual ~TIntList() = default;

    int Count() const { return int(m_items.size()); }
    // Index outside the list: EListError.
    int Item(int index) const;
    void SetItem(int index, int value);
    int Add(int value);
    void Delete(int index);
    void Insert(int index, int value);
    void Clear() { m_items.clear(); }
    int IndexOf(int value) const { return int(m_items.indexOf(value)); }

    // "3,-1,10"; writing splits as a comma text (blanks separate too, double
    // quotes group) and adds each piece as an integer; a piece that is none
    // raises EConvertError and stops there.
    QString CommaText() const;
    void SetCommaText(const QString& text);

    int Param1() const { return m_param1; }
    int Param2() const { return m_param2; }

    std::function<void(TIntList* sender, int param1, int param2)> OnChange;

protected:
    void Changed();

private:
    void CheckIndex(int index, int count) const;
    QVector<int> m_items;
    int m_param1;
    int m_param2;
};
