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

namespace {

const QString kCandidates = QStringLiteral(",;#\t|");
constexpr qint64 kMaxImportBytes = qint64(1) << 30;
constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetCols = 16384;
constexpr int kConvertTimeoutMs = 120000;

// The file's text: UTF-8 when it reads as such, else the ANSI code page.
QString DecodeFile(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return AnsiToWide(bytes);
}

// The end of the line starting at start: the first CR or LF, or n.
qsizetype LineEnd(const char16_t* text, qsizetype start, qsizetype n)
{
    qsizetype end = start;
    while (end < n && text[end] != u'\r' && text[end] != u'\n') ++end;
    return end;
}

// Where the line after the one ending at end starts: past CR LF, a lone CR or a lone LF.
qsizetype NextLine(const char16_t* text, qsizetype end, qsizetype n)
{
    if (end >= n) return n;
    return end + ((text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? 2 : 1);
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

// The position after the first double quote that is not doubled (a run of
// odd length; a quote that ends the text always counts); 0 when none.
qsizetype FindSingleQuote(QStringView text)
{
    qsizetype run = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 1; i <= n; ++i) {
        if (text[i - 1] == u'"') {
            if (i == n) return i;
            ++run;
        } else if (run % 2 == 1) {
            return i - 1;
        } else {
            run = 0;
        }
    }
    return 0;
}

// A field's text: every run of double quotes becomes one.
QString FinishField(QStringView raw)
{
    const qsizetype quote = raw.indexOf(u'"');
    if (quote < 0) return raw.toString();
    QString field;
    field.reserve(raw.size());
    field.append(raw.first(quote + 1));
    for (qsizetype i = quote + 1; i < raw.size(); ++i)
        if (raw[i] != u'"' || raw[i - 1] != u'"') field.append(raw[i]);
    return field;
}

// Scans one line (no line end in it) as the delimited import reads it,
// handing each field's raw text (quotes still doubled) to take; the scan
// moves a position along the line instead of cutting it.
template <class Take>
void ScanLine(QStringView line, QChar delimiter, Take&& take)
{
    const qsizetype n = line.size();
    qsizetype pos = 0;
    if (!delimiter.isNull()) {
        for (qsizetype at = line.indexOf(delimiter, pos); at >= 0; at = line.indexOf(delimiter, pos)) {
            if (line[pos] == u'"') {
                ++pos;
                const qsizetype close = FindSingleQuote(line.sliced(pos));
                if (close > 0) {
                    take(line.sliced(pos, close - 1));
                    pos += close;
                } else {
                    take(QStringView()); // no closing quote: an empty field
                }
                const qsizetype next = line.indexOf(delimiter, pos);
                if (next < 0) {
                    pos = n; // nothing but the closing part of the line
                    break;
                }
                pos = next + 1;
                continue;
            }
            take(line.sliced(pos, at - pos));
            pos = at + 1;
        }
    }
    if (pos < n) {
        QStringView rest = line.sliced(pos);
        if (rest.startsWith(u'"')) rest = rest.sliced(1);
        if (rest.endsWith(u'"')) rest.chop(1);
        take(rest);
    }
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
    QString text = DecodeFile(file.readAll());
    file.close();
    const qsizetype n = text.size();

    const QChar saved = d->io.delimiter;
    QChar delimiter = saved;
    if (delimiter.isNull() && n > 0) {
        const char16_t* p = QStringView(text).utf16();
        const qsizetype end1 = LineEnd(p, 0, n);
        const qsizetype start2 = NextLine(p, end1, n);
        const QString line1(QStringView(p, end1).toString());
        const QString line2(QStringView(p + start2, LineEnd(p, start2, n) - start2).toString());
        delimiter = DetectDelimiter(line1, line2);
    }
    // Each character maps on its own and never to a line end, so the whole
    // text converts at once.
    if (d->io.oemConvert) OemToAnsiString(text);

    // A first pass only counts lines and fields, so the grid is sized once
    // and the fields go straight into it.
    const char16_t* p = QStringView(text).utf16();
    qsizetype lines = 0;
    int widest = 0;
    for (qsizetype start = 0; start < n; ++lines) {
        const qsizetype end = LineEnd(p, start, n);
        int count = 0;
        ScanLine(QStringView(p + start, end - start), delimiter, [&](QStringView) { ++count; });
        widest = std::max(widest, count);
        start = NextLine(p, end, n);
    }
    qsizetype start = 0;
    PlaceImportedRows(
        int(lines), widest,
        [&](std::vector<QString>& fields) {
            const qsizetype end = LineEnd(p, start, n);
            ScanLine(QStringView(p + start, end - start), delimiter, [&](QStringView raw) { fields.push_back(FinishField(raw)); });
            start = NextLine(p, end, n);
        },
        append, false);
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
