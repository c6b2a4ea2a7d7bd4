#pragma once
// What a cell's text holds and the numbers and dates read from it. Separators
// and the short date format come from the regional settings at every call.
//
// Text kinds: 0 plain, 1 HTML (HTML allowed and the text holds "</", "<B" or
// "<I", case kept), 2 rich text (starts "{\"), 3 formula (starts "=").
// Kind 5 (wide text) is never given: cells hold Unicode, and a text starting
// "|\" is plain. Number types: 0 integer, 1 floating, 2 none.

#include "platform/core/DateTime.h"

#include <QString>
#include <QtGlobal>

enum : int { tkPlain = 0, tkHTML = 1, tkRichText = 2, tkFormula = 3, tkWideText = 5 };
enum : int { ntInteger = 0, ntFloat = 1, ntNone = 2 };

int GetTextKind(const QString& text, bool htmlAllowed);
int GetNumberType(const QString& text);

// A displayed number as plain numeric text: "-" sign, "." decimal point, no
// separators; "(1,234.50)" gives "-1234.50". Anything after the number is
// dropped; a text without a number gives "".
QString CleanNumberText(const QString& text);

// A date in the order of the short date format, fields split at the date
// separator, read without adding a century. False for anything that is not
// such a date (31 February included).
bool ParseShortDate(const QString& text, TDateTime& date);
// The same with the format and separator given (a filter reads them once).
bool ParseShortDate(const QString& text, TDateTime& date, const QString& shortDateFormat, QChar dateSeparator);

// Dates of the date sort styles: fields split at the first of "/", "." and
// "-" that occurs, month (or day) first; a year of 25 or less is 20xx, any
// other gets 1900 added. 0 when the text is not a date, impossible dates
// (30 February) included, so a sort never stops on a cell.
TDateTime ParseDateMonthFirst(const QString& text);
TDateTime ParseDateDayFirst(const QString& text);

// A series-fill step: with only days set, date + days; with only years set,
// the same day in year + years; with only months set, the same day months
// later. A day the new month lacks becomes its last day. Any other
// combination gives date + delta. The time of day is kept; a result outside
// the years 1 to 9999 gives the date unchanged.
TDateTime ShiftDate(quint16 years, quint16 months, quint16 days, TDateTime date, double delta);
