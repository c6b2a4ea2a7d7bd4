#pragma once
// The values of one property search, as typed.

#include <QString>

class TSearchRec {
public:
    // Cleared and copied with the record; the search does not use it.
    qint32 Tag = 0;
    QString apn;
    QString mls;
    QString first;
    QString last;
    QString stnum;
    QString stname;
    QString stdir;
    QString stsuffix;
    QString stunit;
    QString city;
    QString state;
    QString zip;

    // All twelve texts equal (case-sensitive); Tag is not compared.
    bool SameValues(const TSearchRec& other) const;
    // All twelve texts empty.
    bool IsEmpty() const;
    void Clear();
};
