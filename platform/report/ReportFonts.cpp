#include "platform/report/ReportFonts.h"

#include <QtEndian>
#include <QtMath>

namespace {

const QString sans = QStringLiteral("Liberation Sans");
const QString serif = QStringLiteral("Liberation Serif");
const QString mono = QStringLiteral("Liberation Mono");
// The symbol legend characters need geometric shapes and stars, which the
// Liberation fonts lack.
const QString symbols = QStringLiteral("DejaVu Sans");

} // namespace

bool ReportFonts::IsSymbolFont(const QString& name)
{
    return name.trimmed().compare(QLatin1String("WingDings"), Qt::CaseInsensitive) == 0;
}

TPageFont ReportFonts::Resolve(const QString& name, double size)
{
    TPageFont font;
    font.Size = size;
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("arial black")) {
        font.Family = sans;
        font.Bold = true;
    } else if (n == QLatin1String("times new roman") || n == QLatin1String("times")) {
        font.Family = serif;
    } else if (n == QLatin1String("courier new") || n == QLatin1String("courier")) {
        font.Family = mono;
    } else if (IsSymbolFont(name)) {
        font.Family = symbols;
    } else {
        // Arial, Tahoma and any font the machine cannot be trusted to have.
        font.Family = sans;
    }
    return font;
}

QString ReportFonts::MapSymbols(const QString& name, const QString& text)
{
    if (!IsSymbolFont(name)) return text;
    QString out = text;
    for (QChar& c : out) {
        switch (c.unicode()) {
        case 'l': c = QChar(0x25CF); break;  // black circle
        case 'n': c = QChar(0x25A0); break;  // black square
        case 'o': c = QChar(0x25A1); break;  // white square
        case 'u': c = QChar(0x25C6); break;  // black diamond
        case 0xAB: c = QChar(0x2605); break; // black star
        case 0xFC: c = QChar(0x2714); break; // check mark
        case 0xFB: c = QChar(0x2718); break; // ballot x
        default: break;
        }
    }
    return out;
}

QFont ReportFonts::QtFont(const TPageFont& font)
{
    QFont f(font.Family);
    f.setPixelSize(qMax(1, qRound(font.Size * ReferenceDpi / 72.0)));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

QFont ReportFonts::MeasuringFont(const TPageFont& font, double& inchesPerUnit)
{
    TPageFont measured = font;
    inchesPerUnit = 1.0 / ReferenceDpi;
    if (font.Size > MaxMeasuredSize) {
        measured.Size = MaxMeasuredSize;
        inchesPerUnit *= font.Size / MaxMeasuredSize;
    }
    return QtFont(measured);
}

bool ReportFonts::KerningReadable(const QByteArray& kern)
{
    if (kern.isEmpty()) return true;
    const auto at = [&](qsizetype i) { return qFromBigEndian<quint16>(kern.constData() + i); };
    const qsizetype size = kern.size();
    if (size < 4 || at(0) != 0) return false;
    qsizetype offset = 4;
    for (int table = at(2); table > 0; --table) {
        if (offset + 6 > size) return false;
        const qsizetype length = at(offset + 2);
        if (length < 6 || offset + length > size) return false;
        // Format 0: the pairs, six bytes each, after a header of fourteen.
        if (at(offset + 4) >> 8 == 0 && (length < 14 || 14 + qsizetype(at(offset + 6)) * 6 > length)) return false;
        offset += length;
    }
    return true;
}
