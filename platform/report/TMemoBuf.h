#pragma once
// A text to be word-wrapped between two x positions of the page: filled
// with text, printed a number of lines at a time by the page surface
// (TBaseReport::PrintMemo), which moves the read position on.

#include <QString>

class TMemoBuf {
public:
    TMemoBuf() = default;
    explicit TMemoBuf(const QString& text) : m_text(text) { }

    const QString& Text() const { return m_text; }
    // New text; the read position goes back to its start.
    void SetText(const QString& text)
    {
        m_text = text;
        m_pos = 0;
    }
    // Inches from the page's left edge.
    double PrintStart() const { return m_printStart; }
    void SetPrintStart(double x) { m_printStart = x; }
    double PrintEnd() const { return m_printEnd; }
    void SetPrintEnd(double x) { m_printEnd = x; }

    // Characters read so far, and the length of the text: text is left
    // while Pos() < Size().
    int Pos() const { return m_pos; }
    void SetPos(int pos) { m_pos = pos < 0 ? 0 : (pos > Size() ? Size() : pos); }
    int Size() const { return int(m_text.size()); }
    bool Empty() const { return m_pos >= Size(); }

private:
    QString m_text;
    double m_printStart = 0;
    double m_printEnd = 8.5;
    int m_pos = 0;
};
