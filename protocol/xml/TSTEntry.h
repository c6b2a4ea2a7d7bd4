#pragma once
// One entry of the symbol table; a token is one too.

#include <QString>
#include <utility>

class TSTEntry {
public:
    TSTEntry() = default;
    TSTEntry(int kind, int index, const QString& text) : Text(text), Kind(kind), Index(index) { }

    void Assign(const TSTEntry& other) { *this = other; }
    void SetToken(int kind, const QString& text, int index)
    {
        Kind = kind;
        Text = text;
        Index = index;
    }
    void SetToken(int kind, QString&& text, int index)
    {
        Kind = kind;
        Text = std::move(text);
        Index = index;
    }

    QString Text;
    int Kind = 0;
    int Index = -1;
};
