#pragma once
// Texts from the server placed into cells of a grid that reads HTML: a text
// the grid would read as markup (or as a formula, rich or wide text) is
// escaped ("&" and "<") and wrapped in a tag pair that changes nothing, so
// it shows exactly as sent and never draws, links or loads anything. Line
// breaks then become "<BR>". Any other text is stored as it is.

#include <QString>

QString ServerCellText(const QString& text);
