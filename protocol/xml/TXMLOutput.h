#pragma once
// The target of WriteTo: the document's text as 16-bit characters, written
// in one pass into one growing buffer, with the two settings of the layout:
// whether children are indented (the parser's FormatedOutput) and whether
// the last thing written was text.
//
// Layout rules shared by the node writers: NewLine(indent) writes CR LF and
// indent spaces unless the last output was text; writing text sets
// LastWasText, every other construct clears it.

#include "protocol/xml/TStringBuffer.h"
#include "protocol/xml/TXMLNode.h"
#include "protocol/xml/XMLChars.h"

#include <QString>
#include <QStringView>

class TXMLOutput {
public:
    explicit TXMLOutput(bool formated = true, qsizetype initialCapacity = 4096);
    // Output converted to bytes in the encoding as it is written, a piece at
    // a time (Flush), and appended to bytes: the whole text is never held.
    TXMLOutput(bool formated, TEncoding encoding, bool bigEndian, QByteArray* bytes);

    // Children are indented by 3 per level when set.
    bool Formated;
    // The last thing written was text.
    bool LastWasText = false;

    void Append(QStringView s) { m_buffer.Append(s); }
    void Append(char16_t c) { m_buffer.Append(c); }
    template <qsizetype N>
    void Append(const char (&ascii)[N])
    {
        m_buffer.AppendLatin1(ascii, N - 1);
    }
    void AppendSpaces(int n) { m_buffer.AppendRepeated(u' ', n); }
    void AppendCRLF() { m_buffer.AppendLatin1("\r\n", 2); }
    // CR LF and indent spaces, unless the last output was text.
    void NewLine(int indent)
    {
        if (LastWasText) return;
        AppendCRLF();
        AppendSpaces(indent);
    }
    // s with the characters of the set escaped (see EscapeChar).
    void AppendEscaped(QStringView s, TEscapeSet set);
    // A node's value (text or attribute set) as its form asks: a value set
    // as it stands is written with AppendEscaped; an expanded one has every
    // "&" escaped except, in the KeptReferences form, the kept references
    // (kept: where they begin). Attribute values also get tab, LF and CR as
    // "&#9;", "&#10;" and "&#13;", so a reader's white-space normalization
    // leaves them as they were.
    void AppendValue(QStringView s, TEscapeSet set, TXMLNode::TValueForm form, const TKeptReferences* kept = nullptr);

    // One-byte characters, each its own code, written as they are (a value
    // still held as the input bytes it was read from).
    void AppendBytes(const char* s, qsizetype n);

    // The indent of the children of a node written with indent.
    int ChildIndent(int indent) const { return Formated ? indent + 3 : indent; }

    // Writing to bytes: converts what the text holds once it is long (the
    // writers call it between nodes), or whatever it holds (Flush).
    void MaybeFlush()
    {
        if (m_bytes && m_buffer.Length() >= kFlushAt) Flush();
    }
    void Flush();

    TStringBuffer& Buffer() { return m_buffer; }
    QStringView View() const { return m_buffer.View(); }
    QString Take() { return m_buffer.Take(); }

private:
    // Characters of a text (written to bytes at once when long).
    void AppendRun(QStringView s);

    static constexpr qsizetype kFlushAt = 32 * 1024;
    TStringBuffer m_buffer;
    QByteArray* m_bytes = nullptr;
    TEncoding m_encoding = UTF_8;
    bool m_bigEndian = true;
};
