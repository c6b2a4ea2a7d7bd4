#include "report/ListingStatus.h"

#include "protocol/FieldTexts.h"

#include <array>

namespace {
const std::array<const char*, 11> kStatusNames = {"Active",      "Canceled",  "Contingent", "Expired",
                                                  "First Right", "Hold",      "Leased",     "Pending",
                                                  "Sold",        "Withdrawn", "Unknown"};
} // namespace

int StatusCodeIndex(const QString& code)
{
    if (code.size() != 1) return -1;
    const QChar c = code.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return c.unicode() - '0';
    if (c == QLatin1Char('U')) return 10;
    return -1;
}

QString StatusCodeName(const QString& code) { return StatusIndexName(StatusCodeIndex(code)); }

QString StatusIndexName(int index)
{
    if (index < 0 || index > 10) return QString();
    return QString::fromLatin1(kStatusNames[size_t(index)]);
}

QString StatusBandCaption(const QString& code, bool continued)
{
    QString name = StatusCodeName(code);
    if (name.isEmpty()) name = QStringLiteral("Other");
    return name + (continued ? QStringLiteral(" Properties - cont.") : QStringLiteral(" Properties"));
}

QString SaleCodeName(const QString& code)
{
    if (code == QLatin1String("U")) return QStringLiteral("Unknown");
    return ExpandListingAbbrev(code);
}
