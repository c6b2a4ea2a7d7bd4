#pragma once
// Numbers on the report pages: money texts and the larger or smaller of two
// floats.

#include <QString>

// "$" and the amount formatted with the float mask; empty for an amount not
// above zero.
QString FormatMoney(const QString& mask, double amount);

// The larger and smaller of two floats; a when equal.
double MathMax(double a, double b);
double MathMin(double a, double b);
