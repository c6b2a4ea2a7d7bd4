// Importing delimited text files and spreadsheet sheets into the grid from
// its top-left cell. The imported area is cleared first; footer rows stay
// below the imported rows.
//
// A spreadsheet is converted by the office suite, run without a window on a
// copy of the file in a private temporary folder, to delimited text of the
// one sheet wanted (values only; no macro runs); that text is read here.
#include "grid/TExtStringGrid.h"

#include "grid/TExtStringGrid_p.h"
#include "grid/util/TextFunctions.h"
#include "platform/core/AnsiCodePage.h"
#include "platform/core/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace {

const QString kCandidates = QStringLiteral(",;#\t|");
constexpr qint64 kMaxImportBytes = qint64(1) << 30;
constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetCols = 16384;
constexpr int kConvertTimeoutMs = 120000;

template <class Char>
using Text = std::basic_string_view<Char>;

// Whether the bytes read as UTF-8 throughout. They are decoded piece by
// piece into one small buffer, each piece cut before a byte that starts a
// character, so no decoded copy of the whole file is made.
bool ReadsAsUtf8(QByteArrayView bytes)
{
    constexpr qsizetype kPiece = qsizetype(1) << 16;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
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

// The end of the line starting at start: the first CR or LF, or the end.
template <class Char>
size_t LineEnd(Text<Char> text, size_t start)
{
    size_t end = start;
    while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) ++end;
    return end;
}

// Where the line after the one ending at end starts: past CR LF, a lone CR
// or a lone LF.
template <class Char>
size_t NextLine(Text<Char> text, size_t end)
{
    if (end >= text.size()) return text.size();
    return end + ((text[end] == Char('\r') && end + 1 < text.size() && text[end + 1] == Char('\n')) ? 2 : 1);
}

QChar DetectDelimiter(const QString& line1, const QString& line2)
{
    QChar found;
    int best = 0;
    // Rule 1: single (undoubled) occurrences, equal in both lines.
    for (QChar c : kCandidates) {
        const int a = CountSingleChars(c, line1);
        if (a > best && a == CountSingleChars(c, line2)) {
            best = a;
            found = c;
        }
    }
    if (!found.isNull()) return found;
    // Rule 2: plain counts, equal in both lines.
    for (QChar c : kCandidates) {
        const int a = CountChar(c, line1);
        if (a > best && a == CountChar(c, line2)) {
            best = a;
            found = c;
        }
    }
    if (!found.isNull()) return found;
    // Rule 3: the most in either line.
    for (QChar c : kCandidates) {
        const int a = CountChar(c, line1);
        const int b = CountChar(c, line2);
        if (a > best || b > best) {
            best = std::max(a, b);
            found = c;
        }
    }
    return found;
}

// A field's text: every run of double quotes becomes one.
QString FinishField(std::u16string_view raw)
{
    const QStringView text(raw.data(), qsizetype(raw.size()));
    const qsizetype quote = text.indexOf(u'"');
    if (quote < 0) return text.toString();
    QString field;
    field.reserve(text.size());
    field.append(text.first(quote + 1));
    for (qsizetype i = quote + 1; i < text.size(); ++i)
        if (text[i] != u'"' || text[i - 1] != u'"') field.append(text[i]);
    return field;
}

// The same from UTF-8 bytes known to be sound; utf8 keeps a U+FEFF that
// begins a field, as the decoding of the whole file would.
QString FinishField(std::string_view raw, QStringDecoder& utf8, std::string& scratch)
{
    const size_t quote = raw.find('"');
    if (quote != std::string_view::npos) {
        scratch.assign(raw.substr(0, quote + 1));
        for (size_t i = quote + 1; i < raw.size(); ++i)
            if (raw[i] != '"' || raw[i - 1] != '"') scratch += raw[i];
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

// Lines and the most fields in one line, counted without making any field.
template <class Char>
std::pair<qsizetype, int> CountFields(Text<Char> text, Char delimiter)
{
    qsizetype lines = 0;
    int widest = 0;
    for (size_t start = 0; start < text.size(); ++lines) {
        const size_t end = LineEnd(text, start);
        int count = 0;
        ScanLine(text.substr(start, end - start), delimiter, [&](Text<Char>) { ++count; });
        widest = std::max(widest, count);
        start = NextLine(text, end);
    }
    return {lines, widest};
}

// The fields of comma-separated text as the office suite writes it: quoted
// fields may hold commas, doubled quotes and line ends.
std::vector<QStringList> ParseConvertedCsv(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool any = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        any = true;
        if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            row << field;
            field.clear();
            rows.push_back(row);
            row.clear();
            any = false;
        } else {
            field += c;
        }
    }
    if (any || !field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxImportBytes)
        throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
    const QByteArray bytes = file.readAll();
    file.close();

    const QChar saved = d->io.delimiter;
    QChar delimiter = saved;
    const bool oem = d->io.oemConvert;
    // A first pass only counts lines and fields, so the grid is sized once
    // and the fields go straight into it.
    const bool utf8 = ReadsAsUtf8(bytes);
    if (utf8 && delimiter.unicode() < 0x80) {
        // UTF-8 is scanned as bytes: CR, LF, the quote and the delimiter are
        // ASCII, which never occurs inside another character. OEM conversion
        // maps each character on its own and never to ASCII, so it applies
        // field by field.
        std::string_view text(bytes.constData(), size_t(bytes.size()));
        if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3); // the byte order mark
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        if (delimiter.isNull() && !text.empty()) {
            const size_t end1 = LineEnd(text, 0);
            const size_t start2 = NextLine(text, end1);
            const auto decode = [&](std::string_view line) -> QString { return decoder(QByteArrayView(line.data(), qsizetype(line.size()))); };
            delimiter = DetectDelimiter(decode(text.substr(0, end1)), decode(text.substr(start2, LineEnd(text, start2) - start2)));
        }
        const char sep = char(delimiter.unicode());
        const auto [lines, widest] = CountFields(text, sep);
        std::string scratch;
        size_t start = 0;
        PlaceImportedRows(
            int(lines), widest,
            [&](std::vector<QString>& fields) {
                const size_t end = LineEnd(text, start);
                ScanLine(text.substr(start, end - start), sep, [&](std::string_view raw) {
                    fields.push_back(FinishField(raw, decoder, scratch));
                    if (oem) OemToAnsiString(fields.back());
                });
                start = NextLine(text, end);
            },
            append, false);
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = utf8 ? QString(decoder(bytes)) : AnsiToWide(bytes);
        if (delimiter.isNull() && !decoded.isEmpty()) {
            const std::u16string_view text(QStringView(decoded).utf16(), size_t(decoded.size()));
            const size_t end1 = LineEnd(text, 0);
            const size_t start2 = NextLine(text, end1);
            const auto line = [&](size_t from, size_t to) { return QStringView(text.data() + from, qsizetype(to - from)).toString(); };
            delimiter = DetectDelimiter(line(0, end1), line(start2, LineEnd(text, start2)));
        }
        // The delimiter may be among the characters converted: all at once.
        if (oem) OemToAnsiString(decoded);
        const std::u16string_view text(QStringView(decoded).utf16(), size_t(decoded.size()));
        const char16_t sep = delimiter.unicode();
        const auto [lines, widest] = CountFields(text, sep);
        size_t start = 0;
        PlaceImportedRows(
            int(lines), widest,
            [&](std::vector<QString>& fields) {
                const size_t end = LineEnd(text, start);
                ScanLine(text.substr(start, end - start), sep, [&](std::u16string_view raw) { fields.push_back(FinishField(raw)); });
                start = NextLine(text, end);
            },
            append, false);
    }
    d->io.delimiter = saved;
}

void TExtStringGrid::PlaceImportedRows(int rows, int widest, const ImportRowReader& readRow, bool append, bool exactCols)
{
    BeginUpdate();
    struct End {
        TExtStringGrid* g;
        ~End() { g->EndUpdate(); }
    } end{this};
    const int footers = std::clamp(d->fixedFooters, 0, RowCount() - 1);
    // The footer rows move along below the imported rows, whole.
    std::vector<std::vector<QString>> footerTexts;
    std::vector<std::vector<TObject*>> footerObjects;
    for (int r = RowCount() - footers; r < RowCount(); ++r) {
        std::vector<QString> texts;
        std::vector<TObject*> objects;
        for (int c = 0; c < StoredCols(r); ++c) {
            texts.push_back(Cells(c, r));
            objects.push_back(Objects(c, r));
            SetObjects(c, r, nullptr);
            SetCells(c, r, QString());
        }
        footerTexts.push_back(std::move(texts));
        footerObjects.push_back(std::move(objects));
    }
    const int dataEnd = RowCount() - footers; // first footer row
    int first = 0;
    if (append) {
        first = dataEnd;
    } else {
        // Nothing of an earlier content survives between the imported cells.
        // A cell without an object needs no more than its text emptied
        // (nothing merges it with another); the last row goes the whole way
        // for the footer row's notice.
        const int cols = StoreCols();
        const int last = RowCount() - 1;
        for (int r = 0; r < last; ++r) {
            const int stored = std::min(cols, StoredCols(r));
            for (int c = 0; c < stored; ++c) {
                if (Objects(c, r)) ClearCell(c, r);
                else SetCells(c, r, QString());
            }
        }
        ClearRect(0, last, cols - 1, last);
    }
    const int lastRow = first + rows; // one past
    const int dataRows = std::max(lastRow, FixedRows() + 1);
    SetRowCount(dataRows + footers);
    if (widest > ColCount() || exactCols) SetColCount(widest);
    const bool progress = bool(OnFileProgress);
    int reported = -1;
    // Read only now: the new texts take the memory the old ones left.
    std::vector<QString> fields;
    for (int i = 0; i < rows; ++i) {
        fields.clear();
        readRow(fields);
        const int r = first + i;
        for (size_t c = 0; c < fields.size(); ++c)
            if (!fields[c].isEmpty()) SetCells(int(c), r, fields[c]);
        if (progress) {
            const int percent = int(Round(double(i + 1) / double(rows) * 100.0));
            if (percent != reported) {
                reported = percent;
                OnFileProgress(this, short(percent));
            }
        }
    }
    for (size_t f = 0; f < footerTexts.size(); ++f) {
        const int r = dataRows + int(f);
        for (size_t c = 0; c < footerTexts[f].size(); ++c) {
            SetCells(int(c), r, footerTexts[f][c]);
            SetObjects(int(c), r, footerObjects[f][c]);
        }
    }
    CellsChanged(TRect(0, 0, ColCount() - 1, RowCount() - 1));
}

void TExtStringGrid::LoadFromXLS(const QString& fileName) { LoadFromXLS(fileName, QString()); }

void TExtStringGrid::LoadFromXLS(const QString& fileName, const QString& sheetName)
{
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()) office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty()) throw EExtGridError(QStringLiteral("Excel OLE server not found"));
    const QFileInfo info(fileName);
    if (!info.isFile() || !info.isReadable() || info.size() > kMaxImportBytes)
        throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);

    // The suite works on a copy with a name of our own, in a folder of our
    // own, with a profile of its own there; nothing of the file's name
    // reaches its command line.
    QTemporaryDir work;
    if (!work.isValid()) throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
    QString suffix = info.suffix().toLower();
    suffix.removeIf([](QChar c) { return !(c.isLetterOrNumber() && c.unicode() < 0x80); });
    const QString copy = work.filePath(QStringLiteral("workbook.") + (suffix.isEmpty() ? QStringLiteral("xls") : suffix));
    if (!QFile::copy(info.absoluteFilePath(), copy)) throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
    const QString outDir = work.filePath(QStringLiteral("out"));
    QDir().mkpath(outDir);

    // Comma, double quote, UTF-8, values not as shown, no formulas; every
    // sheet to its own file when a sheet is named, else the active one.
    const QString sheetToken = sheetName.isEmpty() ? QString() : QStringLiteral(",-1");
    const QStringList args = {
        QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString(),
        QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
        QStringLiteral("--nodefault"), QStringLiteral("--nologo"), QStringLiteral("--convert-to"),
        QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false") + sheetToken,
        QStringLiteral("--outdir"), outDir, copy};
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(office, args);
    if (!process.waitForStarted()) throw EExtGridError(QStringLiteral("Excel OLE server not found"));
    if (!process.waitForFinished(kConvertTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
    }

    // The converted sheet: found among the folder's files, never named from
    // the sheet name.
    QString converted;
    const QString wanted = sheetName.isEmpty() ? QStringLiteral("workbook.csv")
                                               : QStringLiteral("workbook-") + sheetName + QStringLiteral(".csv");
    const QFileInfoList files = QDir(outDir).entryInfoList(QDir::Files);
    for (const QFileInfo& f : files)
        if (f.fileName() == wanted) converted = f.absoluteFilePath();
    if (converted.isEmpty()) {
        if (files.isEmpty()) throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
        throw EExtGridError(QStringLiteral("Excel worksheet ") + sheetName + QStringLiteral(" not found"));
    }
    QFile csv(converted);
    if (!csv.open(QIODevice::ReadOnly) || csv.size() > kMaxImportBytes)
        throw EExtGridError(QStringLiteral("Cannot open file ") + fileName);
    const std::vector<QStringList> cells = ParseConvertedCsv(QString::fromUtf8(csv.readAll()));

    // The extent of the cells that hold values, capped.
    int top = -1;
    int bottom = -1;
    int left = INT_MAX;
    int right = -1;
    for (size_t r = 0; r < cells.size(); ++r)
        for (int c = 0; c < cells[r].size(); ++c)
            if (!cells[r][c].isEmpty()) {
                if (top < 0) top = int(r);
                bottom = int(r);
                left = std::min(left, c);
                right = std::max(right, c);
            }
    int rows = 0;
    int widest = 0;
    if (top >= 0) {
        bottom = std::min(bottom, top + kMaxSheetRows - 1);
        right = std::min(right, left + kMaxSheetCols - 1);
        rows = bottom - top + 1;
        widest = right - left + 1;
    }
    int next = top;
    PlaceImportedRows(
        rows, std::max(widest, FixedCols() + 1),
        [&](std::vector<QString>& fields) {
            const QStringList& src = cells[size_t(next++)];
            for (int c = left; c <= right && c < src.size(); ++c) fields.push_back(src[c]);
        },
        false, true);
}
