#include "platform/text/RtfReader.h"

#include "platform/core/SysUtils.h"
#include "platform/text/RtfChars_p.h"

#include <cstring>
#include <vector>

namespace {

// Windows-1252 in 0x80 .. 0x9F; the other bytes are Latin-1.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t FromCp1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b); }

struct State {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int HalfPoints = 24;
    int ColorIndex = 0;
    int UnicodeSkip = 1;
    TRtfAlignment Alignment = TRtfAlignment::Left;
    bool Skip = false;       // inside a destination that is not text
    bool ColorTable = false; // inside \colortbl
};

// Destinations whose content is not part of the text.
bool IsSkippedDestination(const QByteArray& word)
{
    static const char* const kSkipped[] = {
        "fonttbl",
        "stylesheet",
        "info",
        "pict",
        "object",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "fldinst",
        "themedata",
        "colorschememapping",
        "latentstyles",
        "datastore",
        "xmlnstbl",
        "listtable",
        "listoverridetable",
        "rsidtbl",
        "generator",
        "filetbl",
        "revtbl",
        "pgdsctbl",
        "bkmkstart",
        "bkmkend",
        "annotation",
        "atnid",
        "atnauthor",
        "nonshppict",
        "shp",
        "xe",
        "tc",
    };
    for (const char* s : kSkipped)
        if (word == s) return true;
    return false;
}

class Parser {
public:
    explicit Parser(const QByteArray& data) : m_p(data.constData()), m_end(data.constData() + data.size()) { }

    TRtfDocument Run()
    {
        m_doc.Paragraphs.append(TRtfParagraph());
        m_colors.push_back(-1); // index 0: the default colour
        std::vector<State> stack;
        State st;
        while (m_p < m_end) {
            const char c = *m_p++;
            if (c == '{') {
                if (int(stack.size()) >= TRtfReader::kMaxDepth)
                    throw ERtfError(QStringLiteral("Rich text is nested too deeply"));
                stack.push_back(st);
                // "{\*\dest ...}": an optional destination, never text.
                if (m_end - m_p >= 2 && m_p[0] == '\\' && m_p[1] == '*') {
                    m_p += 2;
                    st.Skip = true;
                }
            } else if (c == '}') {
                if (stack.empty()) break; // the end of the document
                if (st.ColorTable) EndColor();
                st = stack.back();
                stack.pop_back();
            } else if (c == '\\') {
                ControlWord(st);
            } else if (c == '\r' || c == '\n') {
                // Line ends in the source are not text.
            } else if (st.ColorTable) {
                if (c == ';') EndColor();
            } else if (!st.Skip) {
                Append(st,
                       char16_t(static_cast<unsigned char>(c)) >= 0x80 ? FromCp1252(static_cast<unsigned char>(c))
                                                                       : char16_t(c));
            }
        }
        // Drop a trailing empty paragraph left by a final \par.
        if (m_doc.Paragraphs.size() > 1 && m_doc.Paragraphs.last().Runs.isEmpty()) m_doc.Paragraphs.removeLast();
        return std::move(m_doc);
    }

private:
    void ControlWord(State& st)
    {
        if (m_p >= m_end) return;
        const char c = *m_p;
        if (!IsLetter(c)) {
            ++m_p;
            switch (c) {
            case '\\':
            case '{':
            case '}':
                if (!st.Skip && !st.ColorTable) Append(st, char16_t(c));
                break;
            case '~':
                if (!st.Skip) Append(st, u'\u00A0');
                break;
            case '_':
                if (!st.Skip) Append(st, u'\u2011');
                break;
            case '\'': {
                const int hi = m_p < m_end ? HexDigitValue(char16_t(uchar(*m_p))) : -1;
                const int lo = m_p + 1 < m_end ? HexDigitValue(char16_t(uchar(m_p[1]))) : -1;
                if (hi >= 0 && lo >= 0) {
                    m_p += 2;
                    if (!st.Skip && !st.ColorTable) Append(st, FromCp1252(static_cast<unsigned char>(hi * 16 + lo)));
                }
                break;
            }
            case '\r':
            case '\n':
                if (!st.Skip) NewParagraph(st);
                break;
            default: break; // \-, \*, \| and the like: nothing to show
            }
            return;
        }
        const char* start = m_p;
        while (m_p < m_end && IsLetter(*m_p) && m_p - start < 32) ++m_p;
        const QByteArray word(start, m_p - start);
        bool hasParam = false;
        bool negative = false;
        qint64 param = 0;
        if (m_p < m_end && *m_p == '-') {
            negative = true;
            ++m_p;
        }
        int digits = 0;
        while (m_p < m_end && *m_p >= '0' && *m_p <= '9') {
            if (digits < 10) param = param * 10 + (*m_p - '0');
            ++digits;
            ++m_p;
            hasParam = true;
        }
        if (negative) param = -param;
        param = qBound(qint64(-2147483647), param, qint64(2147483647));
        if (m_p < m_end && *m_p == ' ') ++m_p; // the delimiter belongs to the word
        Apply(st, word, hasParam, int(param));
    }

    void Apply(State& st, const QByteArray& w, bool hasParam, int param)
    {
        const bool on = !hasParam || param != 0;
        if (st.ColorTable) {
            if (w == "red")
                m_color[0] = qBound(0, param, 255);
            else if (w == "green")
                m_color[1] = qBound(0, param, 255);
            else if (w == "blue")
                m_color[2] = qBound(0, param, 255);
            m_colorSet = true;
            return;
        }
        if (w == "colortbl") {
            st.ColorTable = true;
            st.Skip = true;
            m_colorSet = false;
            m_color[0] = m_color[1] = m_color[2] = 0;
            m_colors.clear();
            return;
        }
        if (IsSkippedDestination(w)) {
            st.Skip = true;
            return;
        }
        if (w == "b")
            st.Bold = on;
        else if (w == "i")
            st.Italic = on;
        else if (w == "ul")
            st.Underline = on;
        else if (w == "ulnone")
            st.Underline = false;
        else if (w == "fs")
            st.HalfPoints = hasParam && param > 0 ? qMin(param, 3276) : 24;
        else if (w == "cf")
            st.ColorIndex = qMax(0, param);
        else if (w == "plain") {
            st.Bold = st.Italic = st.Underline = false;
            st.HalfPoints = 24;
            st.ColorIndex = 0;
        } else if (w == "uc")
            st.UnicodeSkip = qBound(0, param, 10);
        else if (w == "u") {
            // Signed 16-bit as the format has it; a code past 0xFFFF (some
            // writers give one) as its surrogate pair.
            const int code = param < 0 ? param + 65536 : param;
            if (!st.Skip && code <= 0xFFFF) {
                Append(st, char16_t(code));
            } else if (!st.Skip && code <= 0x10FFFF) {
                Append(st, QChar::highSurrogate(char32_t(code)));
                Append(st, QChar::lowSurrogate(char32_t(code)));
            }
            SkipFallback(st.UnicodeSkip);
        } else if (st.Skip)
            return;
        else if (w == "par" || w == "line" || w == "sect" || w == "page")
            NewParagraph(st);
        else if (w == "pard" || w == "ql")
            st.Alignment = TRtfAlignment::Left;
        else if (w == "qr")
            st.Alignment = TRtfAlignment::Right;
        else if (w == "qc")
            st.Alignment = TRtfAlignment::Center;
        else if (w == "qj")
            st.Alignment = TRtfAlignment::Justify;
        else if (w == "tab")
            Append(st, u'\t');
        else if (w == "emdash")
            Append(st, u'\u2014');
        else if (w == "endash")
            Append(st, u'\u2013');
        else if (w == "bullet")
            Append(st, u'\u2022');
        else if (w == "lquote")
            Append(st, u'\u2018');
        else if (w == "rquote")
            Append(st, u'\u2019');
        else if (w == "ldblquote")
            Append(st, u'\u201C');
        else if (w == "rdblquote")
            Append(st, u'\u201D');
    }

    // After \uN: the N fallback characters (a byte, or one \'hh escape each).
    void SkipFallback(int count)
    {
        for (int i = 0; i < count && m_p < m_end; ++i) {
            if (*m_p == '{' || *m_p == '}') return;
            if (*m_p == '\\') {
                if (m_end - m_p >= 4 && m_p[1] == '\'')
                    m_p += 4;
                else
                    return; // another control word is not a fallback
            } else {
                ++m_p;
            }
        }
    }

    void EndColor()
    {
        if (int(m_colors.size()) < 4096)
            m_colors.push_back(m_colorSet ? (m_color[0] << 16) | (m_color[1] << 8) | m_color[2] : -1);
        m_colorSet = false;
        m_color[0] = m_color[1] = m_color[2] = 0;
    }

    void Append(const State& st, char16_t ch)
    {
        if (!IsRtfTextChar(ch)) return;
        TRtfRun run;
        run.Bold = st.Bold;
        run.Italic = st.Italic;
        run.Underline = st.Underline;
        run.HalfPoints = st.HalfPoints;
        run.Color = st.ColorIndex < int(m_colors.size()) ? m_colors[size_t(st.ColorIndex)] : -1;
        TRtfParagraph& paragraph = m_doc.Paragraphs.last();
        paragraph.Alignment = st.Alignment;
        QList<TRtfRun>& runs = paragraph.Runs;
        if (runs.isEmpty() || !SameFormat(runs.last(), run)) runs.append(run);
        runs.last().Text += QChar(ch);
    }

    static bool SameFormat(const TRtfRun& a, const TRtfRun& b)
    {
        return a.Bold == b.Bold && a.Italic == b.Italic && a.Underline == b.Underline && a.HalfPoints == b.HalfPoints &&
            a.Color == b.Color;
    }

    // The paragraph ends with the alignment in effect now; the next one
    // starts with it.
    void NewParagraph(const State& st)
    {
        m_doc.Paragraphs.last().Alignment = st.Alignment;
        TRtfParagraph next;
        next.Alignment = st.Alignment;
        m_doc.Paragraphs.append(next);
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    const char* m_p;
    const char* m_end;
    TRtfDocument m_doc;
    std::vector<int> m_colors;
    int m_color[3] = {0, 0, 0};
    bool m_colorSet = false;
};

} // namespace

QString TRtfDocument::PlainText() const
{
    QString out;
    for (int i = 0; i < Paragraphs.size(); ++i) {
        if (i) out += QStringLiteral("\r\n");
        for (const TRtfRun& r : Paragraphs[i].Runs) out += r.Text;
    }
    return out;
}

TRtfDocument TRtfReader::Read(const QByteArray& data)
{
    if (data.size() > kMaxInput) throw ERtfError(QStringLiteral("Rich text is too large"));
    if (!data.startsWith("{\\rtf")) throw ERtfError(QStringLiteral("Not a rich text document"));
    return Parser(data).Run();
}
