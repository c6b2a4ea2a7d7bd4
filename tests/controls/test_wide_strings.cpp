// The wide-text string list and its combo-box binding.

#include "controls/ComboBoxStrings.h"
#include "controls/WideStrings.h"
#include "platform/core/Exception.h"
#include "tests/support/PrintQString.h"

#include <QComboBox>
#include <QObject>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

// The simplest list: strings and objects in a vector.
class VectorStrings : public TWideStrings {
public:
    QString Get(int index) const override { return m_items.at(size_t(index)).first; }
    int Count() const override { return int(m_items.size()); }
    QObject* GetObject(int index) const override { return m_items.at(size_t(index)).second; }
    void PutObject(int index, QObject* object) override { m_items.at(size_t(index)).second = object; }
    void Clear() override { m_items.clear(); }
    void Delete(int index) override { m_items.erase(m_items.begin() + index); }
    void Insert(int index, const QString& value) override { m_items.insert(m_items.begin() + index, {value, nullptr}); }

    QList<bool> updates;

protected:
    void SetUpdateState(bool updating) override { updates.append(updating); }

private:
    std::vector<std::pair<QString, QObject*>> m_items;
};

TEST(WideStrings, TextSplitsAtEveryLineBreak)
{
    VectorStrings list;
    list.SetText(QStringLiteral("a\r\nb\nc"));
    EXPECT_EQ(list.ToStringList(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    list.SetText(QStringLiteral("a\r\n"));
    EXPECT_EQ(list.ToStringList(), QStringList{QStringLiteral("a")});
    list.SetText(QString());
    EXPECT_EQ(list.Count(), 0);
    list.SetText(QStringLiteral("1\x0b"
                                "2\x0c"
                                "3\u2028"
                                "4\u2029"
                                "5\r6"));
    EXPECT_EQ(list.ToStringList(),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                           QStringLiteral("5"), QStringLiteral("6")}));
    // Only CR LF is one break; LF CR and CR CR are two.
    list.SetText(QStringLiteral("a\n\rb\r\rc"));
    EXPECT_EQ(list.ToStringList(),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b"), QString(), QStringLiteral("c")}));
    list.SetText(QStringLiteral("x\ny"));
    EXPECT_EQ(list.Text(), QStringLiteral("x\r\ny\r\n"));
    // All of it inside one update.
    EXPECT_EQ(list.updates.mid(list.updates.size() - 2), (QList<bool>{true, false}));
}

TEST(WideStrings, LookupIgnoresCase)
{
    VectorStrings list;
    list.AddStrings(QStringList{QStringLiteral("Single Family"), QStringLiteral("\u00c4rger"), QStringLiteral("Land")});
    EXPECT_EQ(list.IndexOf(QStringLiteral("LAND")), 2);
    EXPECT_EQ(list.IndexOf(QStringLiteral("single family")), 0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("\u00e4RGER")), 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("Lan")), -1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("Arger")), -1);
}

TEST(WideStrings, MovesExchangesAndReplacementsKeepTheObjects)
{
    QObject a, b, c;
    VectorStrings list;
    list.AddObject(QStringLiteral("a"), &a);
    list.AddObject(QStringLiteral("b"), &b);
    list.AddObject(QStringLiteral("c"), &c);
    list.Move(0, 2);
    EXPECT_EQ(list.ToStringList(), (QStringList{QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
    EXPECT_EQ(list.GetObject(2), &a);
    EXPECT_EQ(list.GetObject(0), &b);
    list.Exchange(0, 1);
    EXPECT_EQ(list[0], QStringLiteral("c"));
    EXPECT_EQ(list.GetObject(0), &c);
    EXPECT_EQ(list.GetObject(1), &b);
    list.Put(1, QStringLiteral("B"));
    EXPECT_EQ(list[1], QStringLiteral("B"));
    EXPECT_EQ(list.GetObject(1), &b);

    VectorStrings copy;
    copy.Add(QStringLiteral("old"));
    copy.Assign(list);
    EXPECT_EQ(copy.ToStringList(), list.ToStringList());
    EXPECT_EQ(copy.GetObject(2), &a);
}

TEST(WideStrings, UpdatesNest)
{
    VectorStrings list;
    list.BeginUpdate();
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.updates, QList<bool>{true});
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.updates, (QList<bool>{true, false}));
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(ComboBoxStrings, TheItemsOfTheComboWithTheirObjects)
{
    QComboBox combo;
    combo.setEditable(true);
    TComboBoxStrings items(&combo);
    QObject single, land;
    items.AddObject(QStringLiteral("Single Family Detached"), &single);
    items.AddObject(QStringLiteral("\u0416and"), &land);
    items.Insert(0, QStringLiteral("Rental"));
    items.Insert(-1, QStringLiteral("Unknown"));
    EXPECT_EQ(combo.count(), 4);
    EXPECT_EQ(items[3], QStringLiteral("Unknown"));
    EXPECT_EQ(items.GetObject(1), &single);
    EXPECT_EQ(items.IndexOf(QStringLiteral("\u0436AND")), 2);
    EXPECT_EQ(items.Get(9), QString());
    EXPECT_THROW(items.GetObject(9), EListError);
    EXPECT_THROW(items.PutObject(-1, nullptr), EListError);
    try {
        items.Insert(7, QStringLiteral("x"));
        FAIL() << "inserted outside the list";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unable to insert a line"));
    }
    items.Move(1, 3);
    EXPECT_EQ(items.GetObject(3), &single);
    EXPECT_EQ(items[3], QStringLiteral("Single Family Detached"));

    combo.setEditText(QStringLiteral("typed"));
    items.Clear();
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.currentText(), QStringLiteral("typed"));
    items.Delete(5); // nothing there: nothing happens
}

} // namespace
