#pragma once
// The listing status codes of the comps and their names.

#include <QString>

// Listing status codes "0".."9" and "U", compared exactly: the index 0..10,
// -1 for any other text; the name, empty for any other text.
int StatusCodeIndex(const QString& code);
QString StatusCodeName(const QString& code);
// The name of a status index 0..10; empty outside.
QString StatusIndexName(int index);
