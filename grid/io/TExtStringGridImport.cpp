// Importing delimited text files and spreadsheet sheets into the grid from
// its top-left cell. The grid is not cleared first: cells no field reaches
// keep their texts, rows below the imported ones are cut off; footer rows stay
// below the imported rows (a new file under a shown floating footer leaves
// the footer row's texts empty, for its calculations to fill).
//
// A spreadsheet is converted by the office suite, run without a window on a
// copy of the file in a private temporary folder, to delimited text of the
// one sheet wanted (values only; no macro runs); that text is read here.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/io/TBlockBudget.h"
#include "grid/text/QuotedFields.h"
#include "grid/text/TextChars.h"
#include "platform/core/AnsiCodePage.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <climits>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace {

const QString kCandidates = QStringLiteral(",;#\t|");
constexpr qint64 kMaxImportBytes = qint64(1) << 30;
constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetCols = 16384;
constexpr int kConvertTimeoutMs = 60000;
constexpr int kConvertPollMs = 50;
// A converted sheet past this could never fit the grid's byte cap (each
// character takes two bytes there).
constexpr qint64 kMaxConvertedBytes = TBlockBudget::MaxBytes / 2;

template <class Char>
using Text = std::basic_string_view<Char>;

// Whether the bytes read as UTF-8 throughout. They are decoded piece by
// piece into one small buffer, each piece cut before a byte that starts a
// character, so no decoded copy of the whole file is made.
bool ReadsAsUtf8(QByteArrayView bytes)
{
    constexpr qsizetype kPiece = qsizetype(1) << 16;
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    std::vector<QChar> buffer(size_t(utf8.requiredSpace(kPiece)));
    const qsizetype n = bytes.size();
    for (qsizetype at = 0; at < n;) {
        qsizetype end = std::min(n, at + kPiece);
        for (int back = 0; back < 3 && end < n && end > at + 1 && (uchar(bytes[end]) & 0xC0) == 0x80; ++back) --end;
        utf8.appendToBuffer(buffer.data(), bytes.sliced(at, end - at));
        if (utf8.hasError()) return false;
        at = end;
    }
    return true;
}

// The end of the line starting at start: the first CR, or the first LF
// outside a field in quotes, or the end. A line feed within quotes is a
// line break within the cell, as spreadsheet programs write it. A field is
// in quotes when it begins with a double quote, up to the last of an odd
// run of quotes (a doubled quote stands for one in the text); a zero
// delimiter is none, so only the line's first field may be.
template <class Char>
size_t LineEnd(Text<Char> text, size_t start, Char delimiter)
{
    const size_t n = text.size();
    bool fieldStart = true;
    for (size_t i = start; i < n;) {
        const Char c = text[i];
        if (c == Char('\r') || c == Char('\n')) return i;
        if (fieldStart && c == Char('"')) {
            for (++i; i < n && text[i] != Char('\r');) {
                if (text[i] != Char('"')) {
                    ++i;
                    continue;
                }
                size_t run = 0;
                for (; i < n && text[i] == Char('"'); ++i) ++run;
                if (run % 2 == 1) break;
            }
            fieldStart = false;
            continue;
        }
        fieldStart = delimiter != Char(0) && c == delimiter;
        ++i;
    }
    return n;
}

// Where the line after the one ending at end starts: past CR LF, a lone CR
// or a lone LF.
template <class Char>
size_t NextLine(Text<Char> text, size_t end)
{
    if (end >= text.size()) return text.size();
    return end + ((text[end] == Char('\r') && end + 1 < text.size() && text[end + 1] == Char('\n')) ? 2 : 1);
}

// The occurrences of c in a line that are not doubled.
template <class Char>
int CountSingle(Text<Char> line, Char c)
{
    int count = 0;
    for (size_t found = FindSingleIn(line, c); found > 0; found = FindSingleIn(line, c)) {
        ++count;
        line.remove_prefix(found);
    }
    return count;
}

// The delimiter the first two lines show, each candidate counted in the
// lines as it would cut them (its fields in quotes may hold line feeds);
// null when none.
template <class Char>
QChar DetectDelimiter(Text<Char> text)
{
    struct TCounts {
        QChar c;
        int single1 = 0;
        int single2 = 0;
        int plain1 = 0;
        int plain2 = 0;
    };
    std::vector<TCounts> counts;
    for (QChar candidate : kCandidates) {
        const Char c = Char(candidate.unicode());
        const size_t end1 = LineEnd(text, 0, c);
        const size_t start2 = NextLine(text, end1);
        const Text<Char> line1 = text.substr(0, end1);
        const Text<Char> line2 = text.substr(start2, LineEnd(text, start2, c) - start2);
        counts.push_back({candidate, CountSingle(line1, c), CountSingle(line2, c),
                          int(std::count(line1.begin(), line1.end(), c)),
                          int(std::count(line2.begin(), line2.end(), c))});
    }
    QChar found;
    int best = 0;
    // Rule 1: single (undoubled) occurrences, equal in both lines.
    for (const TCounts& k : counts) {
        if (k.single1 > best && k.single1 == k.single2) {
            best = k.single1;
            found = k.c;
        }
    }
    if (!found.isNull()) return found;
    // Rule 2: plain counts, equal in both lines.
    for (const TCounts& k : counts) {
        if (k.plain1 > best && k.plain1 == k.plain2) {
            best = k.plain1;
            found = k.c;
        }
    }
    if (!found.isNull()) return found;
    // Rule 3: the most in either line.
    for (const TCounts& k : counts) {
        if (k.plain1 > best || k.plain2 > best) {
            best = std::max(k.plain1, k.plain2);
            found = k.c;
        }
    }
    return found;
}

// A field's text: every run of double quotes becomes one, and a line feed
// (a line break within the cell) becomes CR LF.
QString FinishField(std::u16string_view raw)
{
    const QStringView text(raw.data(), qsizetype(raw.size()));
    qsizetype first = 0;
    while (first < text.size() && text[first] != u'"' && text[first] != u'\n') ++first;
    if (first == text.size()) return text.toString();
    QString field;
    field.reserve(text.size() + 8);
    field.append(text.first(first));
    for (qsizetype i = first; i < text.size(); ++i) {
        if (text[i] == u'"' && i > 0 && text[i - 1] == u'"') continue;
        if (text[i] == u'\n') field.append(u'\r');
        field.append(text[i]);
    }
    return field;
}

// The same from UTF-8 bytes known to be sound; utf8 keeps a U+FEFF that
// begins a field, as the decoding of the whole file would.
QString FinishField(std::string_view raw, QStringDecoder& utf8, std::string& scratch)
{
    const size_t first = raw.find_first_of("\"\n");
    if (first != std::string_view::npos) {
        scratch.assign(raw.substr(0, first));
        for (size_t i = first; i < raw.size(); ++i) {
            if (raw[i] == '"' && i > 0 && raw[i - 1] == '"') continue;
            if (raw[i] == '\n') scratch += '\r';
            scratch += raw[i];
        }
        raw = scratch;
    }
    return utf8(QByteArrayView(raw.data(), qsizetype(raw.size())));
}

// Scans one line (no line end in it) as the delimited import reads it,
// handing each field's raw text (quotes still doubled) to take; the scan
// moves a position along the line instead of cutting it. A zero delimiter
// is none.
template <class Char, class Take>
void ScanLine(Text<Char> line, Char delimiter, Take&& take)
{
    constexpr size_t npos = Text<Char>::npos;
    const size_t n = line.size();
    size_t pos = 0;
    if (delimiter != Char(0)) {
        for (size_t at = line.find(delimiter, pos); at != npos; at = line.find(delimiter, pos)) {
            if (line[pos] == Char('"')) {
                ++pos;
                const size_t close = FindSingleIn(line.substr(pos), Char('"'));
                if (close > 0) {
                    take(line.substr(pos, close - 1));
                    pos += close;
                } else {
                    take(Text<Char>()); // no closing quote: an empty field
                }
                const size_t next = line.find(delimiter, pos);
                if (next == npos) {
                    pos = n; // nothing but the closing part of the line
                    break;
                }
                pos = next + 1;
                continue;
            }
            take(line.substr(pos, at - pos));
            pos = at + 1;
        }
    }
    if (pos < n) {
        Text<Char> rest = line.substr(pos);
        if (rest.starts_with(Char('"'))) rest.remove_prefix(1);
        if (rest.ends_with(Char('"'))) rest.remove_suffix(1);
        take(rest);
    }
}

// Lines and the most fields in one line, counted without making any field,
// and what the rows would take: each line's slots up to its last non-empty
// field, the texts (no more characters than their raw ones).
template <class Char>
std::pair<qsizetype, int> CountFields(Text<Char> text, Char delimiter, TBlockBudget& budget)
{
    qsizetype lines = 0;
    int widest = 0;
    for (size_t start = 0; start < text.size(); ++lines) {
        const size_t end = LineEnd(text, start, delimiter);
        int count = 0;
        int filled = 0;
        ScanLine(text.substr(start, end - start), delimiter, [&](Text<Char> raw) {
            ++count;
            if (raw.empty()) return;
            filled = count;
            // Each line feed in it takes a CR besides.
            budget.Text(qint64(raw.size()) + qint64(std::count(raw.begin(), raw.end(), Char('\n'))));
        });
        widest = std::max(widest, count);
        budget.Slots(filled);
        start = NextLine(text, end);
    }
    budget.Claim(widest, lines);
    budget.Rows(lines);
    return {lines, widest};
}

// Builds one row's texts from the fields of a line: the slots run to the
// last non-empty field only. The number of fields of the line.
template <class Char, class Finish>
int BuildRow(Text<Char> line, Char delimiter, TStringGrid::TRowCells& row, Finish&& finish)
{
    size_t filled = 0;
    size_t count = 0;
    ScanLine(line, delimiter, [&](Text<Char> raw) {
        ++count;
        if (!raw.empty()) filled = count;
    });
    row.Texts.reserve(filled);
    count = 0;
    ScanLine(line, delimiter, [&](Text<Char> raw) {
        ++count;
        if (raw.empty() || count > filled) return;
        row.Texts.resize(count - 1);
        row.Texts.push_back(finish(raw));
    });
    return int(count);
}

// The percentages of rows done, each reported once.
class TImportProgress {
public:
    TImportProgress(TExtStringGrid& grid, qint64 rows) : m_grid(grid), m_rows(rows) { }
    void Done(qint64 row)
    {
        if (!m_grid.OnFileProgress) return;
        const int percent = int(Round(double(row + 1) / double(m_rows) * 100.0));
        if (percent == m_reported) return;
        m_reported = percent;
        m_grid.OnFileProgress(&m_grid, short(percent));
    }

private:
    TExtStringGrid& m_grid;
    qint64 m_rows;
    int m_reported = -1;
};

// The office suite's part of a sheet import, a Basic module run from a
// profile of its own: it opens the copy of the workbook without running
// any of its macros, picks the named sheet or the one the workbook was
// saved with in front (the first when it names none), refuses a used area
// past the cell cap before anything is written, and writes the sheet as
// comma-separated UTF-8 values. The outcome goes to status.txt: "done",
// "missing" (no such sheet), "large", anything else when the workbook did
// not open.
const char* const kSheetMacro = R"basic(
Function ReadText(url As String) As String
    Dim sfa As Object, text As Object, s As String
    sfa = createUnoService("com.sun.star.ucb.SimpleFileAccess")
    If sfa.exists(url) Then
        text = createUnoService("com.sun.star.io.TextInputStream")
        text.setInputStream(sfa.openFileRead(url))
        text.setEncoding("UTF-8")
        Do While Not text.isEOF()
            s = s & text.readLine()
        Loop
        text.closeInput()
    End If
    ReadText = s
End Function

Sub WriteText(url As String, s As String)
    Dim sfa As Object, out As Object
    sfa = createUnoService("com.sun.star.ucb.SimpleFileAccess")
    out = createUnoService("com.sun.star.io.TextOutputStream")
    out.setOutputStream(sfa.openFileWrite(url))
    out.setEncoding("UTF-8")
    out.writeString(s)
    out.closeOutput()
End Sub

Sub Convert
    Dim work As String, name As String, status As String
    Dim doc As Object, sheet As Object, cursor As Object
    Dim views As Object, view As Variant, i As Long
    Dim lastCol As Double, lastRow As Double
    work = ConvertToURL(Environ("TAMSEL_SHEET_WORK"))
    status = "open"
    On Error GoTo Done
    Dim load(1) As New com.sun.star.beans.PropertyValue
    load(0).Name = "Hidden"
    load(0).Value = True
    load(1).Name = "MacroExecutionMode"
    load(1).Value = 0
    name = ReadText(work & "/sheet.txt")
    doc = StarDesktop.loadComponentFromURL(work & "/" & ReadText(work & "/book.txt"), "_blank", 0, load())
    If IsNull(doc) Then GoTo Done
    If name = "" Then
        sheet = doc.getSheets().getByIndex(0)
        views = doc.getViewData()
        If Not IsNull(views) Then
            If views.getCount() > 0 Then
                view = views.getByIndex(0)
                For i = LBound(view) To UBound(view)
                    If view(i).Name = "ActiveTable" Then
                        If doc.getSheets().hasByName(view(i).Value) Then sheet = doc.getSheets().getByName(view(i).Value)
                    End If
                Next i
            End If
        End If
    ElseIf doc.getSheets().hasByName(name) Then
        sheet = doc.getSheets().getByName(name)
    Else
        status = "missing"
        GoTo Done
    End If
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    lastCol = cursor.getRangeAddress().EndColumn
    lastRow = cursor.getRangeAddress().EndRow
    status = "large"
    If (lastCol + 1) * (lastRow + 1) > CDbl(ReadText(work & "/cap.txt")) Then GoTo Done
    status = "convert"
    Dim store(1) As New com.sun.star.beans.PropertyValue
    store(0).Name = "FilterName"
    store(0).Value = "Text - txt - csv (StarCalc)"
    store(1).Name = "FilterOptions"
    store(1).Value = "44,34,76,1,,0,false,true,false,false,false," & CStr(sheet.getRangeAddress().Sheet + 1)
    doc.storeToURL(work & "/out/workbook.csv", store())
    status = "done"
Done:
    On Error Resume Next
    WriteText(work & "/status.txt", status)
    If Not IsNull(doc) Then doc.close(True)
    StarDesktop.terminate()
End Sub
)basic";

bool WriteSmallFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A profile for the suite that holds the module (as an installed one, so
// the suite's first start does not put its own in place).
bool WriteSheetMacro(const QString& profile)
{
    const QString basic = profile + QStringLiteral("/user/basic");
    if (!QDir().mkpath(basic + QStringLiteral("/Tamsel"))) return false;
    const QByteArray doctype =
        "<!DOCTYPE library:%1 PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" \"%2\">\n";
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const QByteArray containers = head +
        "<!DOCTYPE library:libraries PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" \"libraries.dtd\">\n"
        "<library:libraries xmlns:library=\"http://openoffice.org/2000/library\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n"
        " <library:library library:name=\"Tamsel\" library:link=\"false\"/>\n</library:libraries>\n";
    const QByteArray library = head +
        "<!DOCTYPE library:library PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" \"library.dtd\">\n"
        "<library:library xmlns:library=\"http://openoffice.org/2000/library\" library:name=\"Tamsel\" "
        "library:readonly=\"false\" library:passwordprotected=\"false\">\n%1</library:library>\n";
    const QByteArray module = head +
        "<!DOCTYPE script:module PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" \"module.dtd\">\n"
        "<script:module xmlns:script=\"http://openoffice.org/2000/script\" script:name=\"Sheet\" "
        "script:language=\"StarBasic\">" +
        QString::fromLatin1(kSheetMacro).toHtmlEscaped().toUtf8() + "</script:module>\n";
    const QByteArray settings = head +
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        "<item oor:path=\"/org.openoffice.Setup/Office\"><prop oor:name=\"ooSetupInstCompleted\" oor:op=\"fuse\">"
        "<value>true</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"FirstRun\" oor:op=\"fuse\">"
        "<value>false</value></prop></item>\n</oor:items>\n";
    return WriteSmallFile(profile + QStringLiteral("/user/registrymodifications.xcu"), settings) &&
        WriteSmallFile(basic + QStringLiteral("/script.xlc"), containers) &&
        WriteSmallFile(basic + QStringLiteral("/dialog.xlc"), containers) &&
        WriteSmallFile(basic + QStringLiteral("/Tamsel/script.xlb"),
                       QByteArray(library).replace("%1", " <library:element library:name=\"Sheet\"/>\n")) &&
        WriteSmallFile(basic + QStringLiteral("/Tamsel/dialog.xlb"), QByteArray(library).replace("%1", "")) &&
        WriteSmallFile(basic + QStringLiteral("/Tamsel/Sheet.xba"), module);
}

// Walks comma-separated UTF-8 text as the office suite writes it: quoted
// fields may hold commas, doubled quotes and line ends. Hands each field's
// row, column and raw bytes (quotes still doubled) to field; a line end at
// the very end starts no further row.
template <class Field>
void WalkCsv(std::string_view text, Field&& field)
{
    const size_t n = text.size();
    if (n == 0) return;
    qint64 row = 0;
    qint64 col = 0;
    size_t i = 0;
    for (;;) {
        size_t from = i;
        size_t to = i;
        bool quoted = false;
        if (text[i] == '"') {
            quoted = true;
            from = ++i;
            while (i < n && (text[i] != '"' || (i + 1 < n && text[i + 1] == '"'))) i += text[i] == '"' ? 2 : 1;
            to = std::min(i, n);
            if (i < n) ++i;
        }
        while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') ++i;
        if (!quoted) to = i;
        field(row, col, text.substr(from, to - from), quoted);
        if (i >= n) return;
        if (text[i] == ',') {
            ++i;
            ++col;
            if (i >= n) {
                field(row, col, std::string_view(), false);
                return;
            }
            continue;
        }
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        if (++i >= n) return;
        ++row;
        col = 0;
    }
}

// A field of the converted sheet: doubled quotes made single.
QString CsvField(std::string_view raw, bool quoted)
{
    if (!quoted || raw.find('"') == std::string_view::npos) return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
    std::string single;
    single.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        single += raw[i];
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') ++i;
    }
    return QString::fromStdString(single);
}

using TRowCells = TStringGrid::TRowCells;

// A delimited file's bytes, or "Cannot open file ".
QByteArray ReadImportFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxImportBytes)
        throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
    return file.readAll();
}

// The rows a delimited file gives, built aside: each row's texts and its
// count of fields, and the most fields in a row.
struct TImportedRows {
    std::vector<TRowCells> rows;
    std::vector<int> reach;
    int widest = 0;
};

// A first pass only counts lines and fields and what they would take
// (refused past the caps); the rows are then built aside, every one before
// the grid changes, each field's text made by finish.
template <class Char, class Finish>
void BuildImportRows(TExtStringGrid& grid, Text<Char> text, Char sep, const QString& fileName, TImportedRows& out,
                     Finish&& finish)
{
    TBlockBudget budget;
    const auto [lines, most] = CountFields(text, sep, budget);
    if (!budget.Fits()) throw EExtGridError(budget.Refusal(QStringLiteral("The file ") + fileName));
    out.widest = most;
    out.rows.resize(size_t(lines));
    out.reach.resize(size_t(lines));
    TImportProgress progress(grid, lines);
    size_t start = 0;
    for (qsizetype i = 0; i < lines; ++i) {
        const size_t end = LineEnd(text, start, sep);
        out.reach[size_t(i)] = BuildRow(text.substr(start, end - start), sep, out.rows[size_t(i)], finish);
        start = NextLine(text, end);
        progress.Done(i);
    }
}

// UTF-8 is scanned as bytes: CR, LF, the quote and the delimiter are
// ASCII, which never occurs inside another character. OEM conversion maps
// each character on its own and never to ASCII, so it applies field by
// field.
void ReadUtf8Rows(TExtStringGrid& grid, const QByteArray& bytes, QChar delimiter, bool oem, const QString& fileName,
                  TImportedRows& out)
{
    std::string_view text(bytes.constData(), size_t(bytes.size()));
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3); // the byte order mark
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    // The candidates are ASCII: counted in the bytes as they stand.
    if (delimiter.isNull() && !text.empty()) delimiter = DetectDelimiter(text);
    std::string scratch;
    BuildImportRows(grid, text, char(delimiter.unicode()), fileName, out, [&](std::string_view raw) {
        QString field = FinishField(raw, decoder, scratch);
        if (oem) OemToAnsiString(field);
        return field;
    });
}

// Any other text (or a delimiter past ASCII) is read decoded whole: UTF-8,
// else the ANSI code page.
void ReadWideRows(TExtStringGrid& grid, const QByteArray& bytes, bool utf8, QChar delimiter, bool oem,
                  const QString& fileName, TImportedRows& out)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8 ? QString(decoder(bytes)) : AnsiToWide(bytes);
    if (delimiter.isNull() && !decoded.isEmpty())
        delimiter = DetectDelimiter(std::u16string_view(QStringView(decoded).utf16(), size_t(decoded.size())));
    // The delimiter may be among the characters converted: all at once.
    if (oem) OemToAnsiString(decoded);
    const std::u16string_view text(QStringView(decoded).utf16(), size_t(decoded.size()));
    BuildImportRows(grid, text, char16_t(delimiter.unicode()), fileName, out,
                    [](std::u16string_view raw) { return FinishField(raw); });
}

// An imported row takes the earlier texts and objects of its grid row r
// where no field reaches: fields is the row's count of fields, or -1 when
// every non-empty text is a field.
void TakeEarlierCells(TExtStringGrid& grid, TRowCells& row, int r, int fields)
{
    const int stored = grid.StoredCols(r);
    const size_t size = std::max(row.Texts.size(), size_t(stored));
    row.Texts.resize(size);
    row.Objects.assign(size, nullptr);
    for (int c = 0; c < int(size); ++c) {
        if (c < stored) row.Objects[size_t(c)] = grid.Objects(c, r);
        const bool reached = fields >= 0 ? c < fields : !row.Texts[size_t(c)].isEmpty();
        if (!reached && c < stored) row.Texts[size_t(c)] = grid.Cells(c, r);
    }
}

// Rows from first on exchanged whole with cells (which take theirs).
void ExchangeRows(TExtStringGrid& grid, int first, std::vector<TRowCells>& cells)
{
    for (size_t i = 0; i < cells.size(); ++i) grid.SwapRowCells(first + int(i), cells[i]);
}

// Data rows from..to-1 emptied, their objects freed.
void CutOffRows(TExtStringGrid& grid, int from, int to)
{
    for (int r = from; r < to; ++r) {
        for (int c = 0; c < grid.StoredCols(r); ++c)
            if (grid.Objects(c, r)) grid.SetCellObject(c, r, nullptr);
        TRowCells empty;
        grid.SwapRowCells(r, empty);
    }
}

// The office suite's program, or "Excel OLE server not found".
QString OfficeProgram()
{
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()) office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty()) throw EExtGridError(QStringLiteral("Excel OLE server not found"));
    return office;
}

// The suite works on a copy with a name of our own, in a folder of our
// own, with a profile of its own there; nothing of the file's or the
// sheet's name reaches its command line. The module reads the book, the
// sheet and the cell cap from files beside it.
void PrepareSheetWork(const QTemporaryDir& work, const QFileInfo& info, const QString& sheetName,
                      const QString& cannotOpen)
{
    QString suffix = info.suffix().toLower();
    suffix.removeIf([](QChar c) { return !(c.isLetterOrNumber() && c.unicode() < 0x80); });
    const QString book = QStringLiteral("workbook.") + (suffix.isEmpty() ? QStringLiteral("xls") : suffix);
    if (!QFile::copy(info.absoluteFilePath(), work.filePath(book))) throw EExtGridError(cannotOpen);
    QDir().mkpath(work.filePath(QStringLiteral("out")));
    if (!WriteSheetMacro(work.filePath(QStringLiteral("profile"))) ||
        !WriteSmallFile(work.filePath(QStringLiteral("book.txt")), book.toUtf8()) ||
        !WriteSmallFile(work.filePath(QStringLiteral("sheet.txt")), sheetName.toUtf8()) ||
        !WriteSmallFile(work.filePath(QStringLiteral("cap.txt")), QByteArray::number(TBlockBudget::MaxCells)))
        throw EExtGridError(cannotOpen);
}

// Runs the suite's conversion. The converted sheet is watched while it is
// written: past the cap the suite is stopped there and then. Whether the
// output passed the cap.
bool RunSheetConversion(const QString& office, const QTemporaryDir& work)
{
    TChildProcess process;
    process.SetEnvironment(QStringLiteral("TAMSEL_SHEET_WORK"), work.path());
    if (!process.Start(office,
                       {QStringLiteral("-env:UserInstallation=") +
                            QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString(),
                        QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
                        QStringLiteral("--nodefault"), QStringLiteral("--nologo"),
                        QStringLiteral("macro:///Tamsel.Sheet.Convert()")}))
        throw EExtGridError(QStringLiteral("Excel OLE server not found"));
    const QString outDir = work.filePath(QStringLiteral("out"));
    const auto convertedSize = [&] {
        qint64 size = 0;
        for (const QFileInfo& f : QDir(outDir).entryInfoList(QDir::Files)) size += f.size();
        return size;
    };
    bool tooLarge = false;
    process.Wait(kConvertTimeoutMs, kConvertPollMs, [&] {
        tooLarge = convertedSize() > kMaxConvertedBytes;
        return !tooLarge;
    });
    return tooLarge || convertedSize() > kMaxConvertedBytes;
}

// The module's outcome refused as it tells: a missing sheet, a used area
// past the cell cap or values past the bytes, a workbook that did not
// convert.
void CheckSheetOutcome(const QTemporaryDir& work, bool tooLarge, const QString& fileName, const QString& sheetName)
{
    QFile statusFile(work.filePath(QStringLiteral("status.txt")));
    const QByteArray status = statusFile.open(QIODevice::ReadOnly) ? statusFile.read(16).trimmed() : QByteArray();
    if (status == "missing")
        throw EExtGridError(QStringLiteral("Excel worksheet ") + sheetName + QStringLiteral(" not found"));
    if (status == "large" || tooLarge) {
        TBlockBudget budget;
        if (status == "large")
            budget.Claim(TBlockBudget::MaxCells + 1, 1);
        else
            budget.Bytes(TBlockBudget::MaxBytes + 1);
        throw EExtGridError(budget.Refusal(QStringLiteral("The worksheet of ") + fileName));
    }
    if (status != "done") throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
}

// The converted sheet's bytes.
QByteArray ConvertedSheet(const QTemporaryDir& work, const QString& cannotOpen)
{
    const QFileInfoList files =
        QDir(work.filePath(QStringLiteral("out"))).entryInfoList({QStringLiteral("*.csv")}, QDir::Files);
    if (files.size() != 1) throw EExtGridError(cannotOpen);
    QFile csv(files.first().absoluteFilePath());
    if (!csv.open(QIODevice::ReadOnly)) throw EExtGridError(cannotOpen);
    return csv.readAll();
}

// The extent of the cells of a converted sheet that hold values (top < 0:
// none).
struct TSheetExtent {
    qint64 top = -1;
    qint64 bottom = -1;
    qint64 left = LLONG_MAX;
    qint64 right = -1;
};

// The extent, and what its rows would take, before any cell is made.
TSheetExtent MeasureSheet(std::string_view text, TBlockBudget& budget)
{
    TSheetExtent e;
    qint64 filledRow = -1;
    qint64 filledCol = -1;
    WalkCsv(text, [&](qint64 r, qint64 c, std::string_view raw, bool) {
        if (raw.empty()) return;
        if (e.top < 0) e.top = r;
        e.bottom = r;
        e.left = std::min(e.left, c);
        e.right = std::max(e.right, c);
        budget.Text(qint64(raw.size()));
        if (r != filledRow && filledRow >= 0) budget.Slots(filledCol + 1);
        filledRow = r;
        filledCol = c;
    });
    if (filledRow >= 0) budget.Slots(filledCol + 1);
    return e;
}

// The rows of the values within the extent (cut to a sheet's most rows and
// columns), built aside; refused past the caps. widest: their columns.
std::vector<TRowCells> SheetRows(std::string_view text, TSheetExtent e, TBlockBudget& budget, const QString& fileName,
                                 int& widest)
{
    std::vector<TRowCells> rows;
    if (e.top < 0) return rows;
    e.bottom = std::min(e.bottom, e.top + kMaxSheetRows - 1);
    e.right = std::min(e.right, e.left + kMaxSheetCols - 1);
    budget.Claim(e.right - e.left + 1, e.bottom - e.top + 1);
    budget.Rows(e.bottom - e.top + 1);
    if (!budget.Fits()) throw EExtGridError(budget.Refusal(QStringLiteral("The worksheet of ") + fileName));
    widest = int(e.right - e.left + 1);
    rows.resize(size_t(e.bottom - e.top + 1));
    WalkCsv(text, [&](qint64 r, qint64 c, std::string_view raw, bool quoted) {
        if (raw.empty() || r < e.top || r > e.bottom || c < e.left || c > e.right) return;
        std::vector<QString>& texts = rows[size_t(r - e.top)].Texts;
        texts.resize(size_t(c - e.left));
        texts.push_back(CsvField(raw, quoted));
    });
    return rows;
}

} // namespace

QChar TExtStringGrid::Delimiter() const { return d->io.delimiter; }
void TExtStringGrid::SetDelimiter(QChar value) { d->io.delimiter = value; }
bool TExtStringGrid::OemConvert() const { return d->io.oemConvert; }
void TExtStringGrid::SetOemConvert(bool value) { d->io.oemConvert = value; }

void TExtStringGrid::LoadFromCSV(const QString& fileName) { LoadFromCSV(fileName, false); }

void TExtStringGrid::LoadFromCSV(const QString& fileName, bool append)
{
    const QByteArray bytes = ReadImportFile(fileName);
    // The delimiter property itself never changes.
    TImportedRows read;
    const bool utf8 = ReadsAsUtf8(bytes);
    if (utf8 && d->io.delimiter.unicode() < 0x80)
        ReadUtf8Rows(*this, bytes, d->io.delimiter, d->io.oemConvert, fileName, read);
    else
        ReadWideRows(*this, bytes, utf8, d->io.delimiter, d->io.oemConvert, fileName, read);
    // Under a shown floating footer a new file starts a new footer row.
    PlaceImportedRows(read.rows, &read.reach, read.widest, append, false, !append && d->floatingFooter.Visible());
}

void TExtStringGrid::PlaceImportedRows(ImportRows& rows, const std::vector<int>* reach, int widest, bool append,
                                       bool exactCols, bool emptyFooterRow)
{
    // An edit in progress ends first, or its text would land on the file's.
    CloseEditorControl();
    HideEditor();
    const TUpdateScope update(*this);
    const int oldCols = ColCount();
    const int oldRows = RowCount();
    const int footers = std::clamp(d->fixedFooters, 0, oldRows - 1);
    const int dataEnd = oldRows - footers; // first footer row
    const int first = append ? dataEnd : 0;
    const int dataRows = std::max(first + int(rows.size()), FixedRows() + 1);
    const int newRows = dataRows + footers;
    const int newCols = widest > oldCols || exactCols ? std::max(1, widest) : oldCols;
    // The grid is not cleared: each imported row takes the earlier texts
    // and objects of its grid row where no field reaches. All of it is
    // made aside, then the grid grows; a failure puts the counts back. From
    // then on nothing allocates: rows are exchanged whole.
    std::vector<TRowCells> footerCells;
    try {
        for (size_t i = 0; i < rows.size() && first + int(i) < dataEnd; ++i)
            TakeEarlierCells(*this, rows[i], first + int(i), reach ? (*reach)[i] : -1);
        footerCells.resize(size_t(footers));
        if (newRows > oldRows) SetRowCount(newRows);
        if (newCols > oldCols) SetColCount(newCols);
    } catch (const std::bad_alloc&) {
        RestoreSize(oldCols, oldRows);
        throw EExtGridError(QStringLiteral("Not enough memory to import the file"));
    }
    // The footer rows move along below the imported rows, whole; data rows
    // below the imported ones are cut off, with their objects.
    ExchangeRows(*this, dataEnd, footerCells);
    if (!append) CutOffRows(*this, dataRows, dataEnd);
    ExchangeRows(*this, first, rows);
    if (newRows < RowCount()) SetRowCount(newRows);
    if (newCols != ColCount()) SetColCount(newCols);
    // Its texts go; its objects stay (they hold the footer calculations).
    if (emptyFooterRow && footers > 0)
        for (QString& text : footerCells[size_t(footers - 1)].Texts) text.clear();
    ExchangeRows(*this, dataRows, footerCells);
    // A column grid's items take the imported header row.
    FileLoaded();
}

void TExtStringGrid::LoadFromXLS(const QString& fileName) { LoadFromXLS(fileName, QString()); }

void TExtStringGrid::LoadFromXLS(const QString& fileName, const QString& sheetName)
{
    const QString office = OfficeProgram();
    const QFileInfo info(fileName);
    const QString cannotOpen = QStringLiteral("Cannot open file ") + fileName;
    if (!info.isFile() || !info.isReadable() || info.size() > kMaxImportBytes) throw EExtGridError(cannotOpen);
    QTemporaryDir work;
    if (!work.isValid()) throw EExtGridError(cannotOpen);
    PrepareSheetWork(work, info, sheetName, cannotOpen);
    const bool tooLarge = RunSheetConversion(office, work);
    CheckSheetOutcome(work, tooLarge, fileName, sheetName);
    const QByteArray bytes = ConvertedSheet(work, cannotOpen);
    std::string_view text(bytes.constData(), size_t(bytes.size()));
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    TBlockBudget budget;
    int widest = 0;
    ImportRows rows = SheetRows(text, MeasureSheet(text, budget), budget, fileName, widest);
    PlaceImportedRows(rows, nullptr, std::max(widest, FixedCols() + 1), false, true, false);
}
