#pragma once
// The records of the last comps answer with a cursor: the current index, Eof
// and Bof. Records refer to nodes of the connection's document; once that
// document is gone or holds another tree, the list reads as empty.
//
// Indices are checked: a record index outside the list raises EListError
// "List index out of bounds (%d)" (IsUsed and SetUsed on an empty list, and
// Field on one, are quiet).

#include "protocol/TCompsRec.h"

#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class TvxpDocument;
class TXMLElement;

class TCompsRecords {
public:
    TCompsRecords();
    ~TCompsRecords();
    TCompsRecords(const TCompsRecords&) = delete;
    TCompsRecords& operator=(const TCompsRecords&) = delete;

    // Empties the list; Eof and Bof set.
    void Clear();
    // The document the following records belong to (its current tree).
    void SetSource(const TvxpDocument* document);
    // Appends a record for the element and makes it current.
    void Add(TXMLElement* element);
    // Index 0, Bof set, Eof when the list is empty.
    void First();
    // One record on, or Eof at the last; clears Bof.
    void Next();
    // Makes index current, unchecked (Field checks it).
    void SetIndex(int index) { m_index = index; }

    int Count() const;
    int LastIndex() const { return Count() - 1; }
    int Index() const { return m_index; }
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }

    // The record at index; raises the list's index error outside the list.
    TCompsRec& Rec(int index) const;
    // The field of the current record; empty for an empty list.
    QString Field(const QString& name) const;
    // Whether record index is marked for use ("use_rec" is "Y").
    bool IsUsed(int index) const;
    // Marks record index for use or not ("Y" / "N").
    void SetUsed(int index, bool used);

private:
    bool Stale() const;

    std::vector<std::unique_ptr<TCompsRec>> m_list;
    QPointer<const TvxpDocument> m_source;
    bool m_hasSource = false;
    quint64 m_generation = 0;
    int m_index = 0;
    bool m_eof = true;
    bool m_bof = true;
};
