#pragma once
// Text services of the HTML mini-language: colour names and hex colours,
// entities, the "<#" placeholder, line ends, CONTROL tags and stripping.
// None of these raise: text that does not parse yields neutral values.

#include "platform/graphics/Color.h"

#include <QString>
#include <QStringView>

// Colour of a name such as "clred" or "clbtnface" (exact, lower case);
// any other name gives 0 (black).
TColor TextToColor(QStringView name);

// "#RRGGBB" (upper case expected) as red + green * 256 + blue * 65536.
TColor HexToColor(QStringView text);

// The first two characters of text as a hex byte; a character that is not a
// hex digit counts 0, fewer than two characters give 0.
int HexVal(QStringView text);

// Replaces the first occurrence of pattern (case ignored); true when found.
bool ReplaceEntity(QStringView pattern, QStringView replacement, QString& text);

// Replaces the named entities of the mini-language ("&amp;" becomes "&&",
// "&euro;" the euro sign...) in rounds until a round replaces nothing. Each
// round replaces every occurrence of every entity in one scan.
void ReplaceEntities(QString& text);

// "<#name>" becomes "#name" (first occurrence only); a "<#" without a ">"
// after it loses only its "<".
QString UnwrapHashTag(const QString& text);

// Carriage returns become "<BR>" (or are dropped when toBR is false); line
// feeds are dropped.
QString LineBreaksToBR(const QString& text, bool toBR);

// "&lt;" and "&gt;" back to "<" and ">".
QString DecodeAngleEntities(const QString& text);
// "<" and ">" as "&lt;" and "&gt;".
QString EncodeAngleBrackets(const QString& text);

// The attributes of a CONTROL tag.
struct TControlTag {
    QString Type;  // upper case
    QString ID;    // as written
    QString Width; // as written
    QString Value; // entities of the encoded value decoded
};

// Parses the text after "<CONTROL" up to its ">". Keys are found only
// outside quoted values.
TControlTag ParseControlTag(QStringView tag);

// Rewrites the VALUE of the CONTROL tag whose ID is id. The value is
// encoded so that no character of it can end the value or the tag.
// False (text unchanged) when no tag has that ID.
bool SetControlValue(QString& html, const QString& id, const QString& value);

// The text without tags; "<BR>" and "<HR>" become CR LF. Entities stay.
QString HTMLStrip(const QString& html);

// Whether the platform version allows visual styles for embedded controls:
// 5.1 (Windows XP) or later.
bool IsWinXPOrLater();
