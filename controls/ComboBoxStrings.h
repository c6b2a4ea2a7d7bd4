#pragma once
// The items of a combo box as a TWideStrings: the entries are the combo's
// items and the objects ride with them. Reading an item that is not there
// gives an empty string; an object of an item that is not there, or an
// insertion outside the list, is an error. Clearing keeps the combo's text.
// Sorted, as the platform's sorted combo: Add puts an item in its place
// (letter case ignored, after equal ones), and sorting an unsorted list
// keeps the chosen item chosen; Insert still puts it where it is told.

#include "controls/WideStrings.h"

#include <QComboBox>
#include <QPointer>

class TComboBoxStrings : public TWideStrings {
public:
    explicit TComboBoxStrings(QComboBox* comboBox);
    ~TComboBoxStrings() override;

    QComboBox* ComboBox() const { return m_comboBox.data(); }

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value);

    QString Get(int index) const override;
    int Count() const override;
    QObject* GetObject(int index) const override;
    void PutObject(int index, QObject* object) override;
    int Add(const QString& value) override;
    void Clear() override;
    void Delete(int index) override;
    int IndexOf(const QString& value) const override;
    // Index -1 appends.
    void Insert(int index, const QString& value) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    void CheckIndex(int index) const;
    QPointer<QComboBox> m_comboBox;
    bool m_sorted = false;
};
