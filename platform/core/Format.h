#pragma once
// Message texts with printf-style placeholders, as the class library's Format
// builds them: %s, %d, %u, %x (upper-case hex), %f (fixed), %n (fixed with
// thousand separators), %e, %g, %%, with an optional width ("%4d") and
// precision ("%.2d" pads with zeros, "%.1f" and "%0.0n" set the decimals, 2
// by default). Floats use the regional separators. Arguments are taken in
// order; a placeholder with no argument left is written as it stands.

#include <QString>
#include <QVariant>
#include <initializer_list>

QString Format(const QString& pattern, std::initializer_list<QVariant> args);
