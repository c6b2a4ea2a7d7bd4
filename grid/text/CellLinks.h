#pragma once
// Links in cells and "R<row>C<col>" cell references.

#include "platform/graphics/Geometry.h"

#include <QString>

bool IsURL(const QString& text);
// Drops everything up to and including the first "://", else the first
// "mailto:".
void StripURLProtocol(QString& text);
// "R<row>C<col>" (any case): X the column, Y the row.
bool ParseRCReference(const QString& text, TPoint& cell);
