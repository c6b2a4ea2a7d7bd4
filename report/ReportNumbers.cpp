#include "report/ReportNumbers.h"

#include "platform/core/FloatFormat.h"

QString FormatMoney(const QString& mask, double amount)
{
    if (!(amount > 0)) return QString();
    return (QStringLiteral("$") + FormatFloat(mask, amount)).left(255);
}

double MathMax(double a, double b) { return b > a ? b : a; }
double MathMin(double a, double b) { return b < a ? b : a; }
