#pragma once
// Message texts with printf-style placeholders, as the class library's Format
// builds them: %s, %d, %u, %x (upper-case hex with %X), %%, with an optional
// width ("%4d", "%.2d" pads with zeros). Arguments are taken in order; a
// placeholder with no argument left is written as it stands.

#include <QString>
#include <QVariant>
#include <initializer_list>

QString Format(const QString& pattern, std::initializer_list<QVariant> args);
