#pragma once
// Field texts of the service documents: XML escaping, "Y"/"N" flags, money
// text clean-up and the listing-type abbreviation.

#include <QString>

// "&", the double quote, "'", "<" and ">" as entity references, in that order.
QString XmlEscape(const QString& text);

QString BoolToYN(bool value);
// True exactly for the text "Y".
bool YNToBool(const QString& text);

// The text (at most 255 characters) with every "$" and "," removed.
QString MoneyToInt(const QString& text);

// "F" gives "Full", "P" gives "Partial", anything else comes back unchanged.
QString ExpandListingAbbrev(const QString& text);
