#pragma once
// The listing status codes of the comps and their names, and the names of
// the sale codes beside their prices.

#include <QString>

// Listing status codes "0".."9" and "U", compared exactly: the index 0..10,
// -1 for any other text; the name, empty for any other text.
int StatusCodeIndex(const QString& code);
QString StatusCodeName(const QString& code);
// The name of a status index 0..10; empty outside.
QString StatusIndexName(int index);
// The caption of a band of comps of a status: its name + " Properties",
// + " - cont." on a band that continues the group; a status outside the
// codes is captioned "Other Properties".
QString StatusBandCaption(const QString& code, bool continued);
// A sale code spelled out: "F" "Full", "P" "Partial", "U" "Unknown"; any
// other text as it stands.
QString SaleCodeName(const QString& code);
