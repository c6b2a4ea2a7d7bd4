#pragma once
// The class library's date and time values and their conversions.
//
// A TDateTime is a double: the whole part counts days since 30 December 1899,
// the fraction is the time of day. Before that day the whole part is negative
// and the fraction still counts forward from midnight (-1.25 is 29 December
// 1899, 6:00). Years run from 1 to 9999.
//
// Texts follow the regional settings (RegionalSettings.h) at each call:
// - FormatDateTime takes the class library's specifiers: c, d, dd, ddd, dddd,
//   ddddd (short date), dddddd (long date), m, mm, mmm, mmmm, yy, yyyy, h, hh,
//   n, nn, s, ss, z, zzz, t (short time), tt (long time), am/pm, a/p, ampm,
//   "/" (date separator), ":" (time separator), text in single or double
//   quotes; any other character is copied. Specifiers ignore case. "m" right
//   after an hour specifier is the minute. An hour is on the 12-hour clock
//   when an am/pm specifier follows it in the format. An empty format is "c".
// - StrToDate reads one, two or three numbers separated by the date separator,
//   in the order of the short date format (year first, month first or day
//   first, by whichever of y, m, d comes first in it; month first when none
//   does); with two numbers the year is the current one. Blanks may surround
//   the numbers. A year of one or two digits is placed in the century window:
//   the 100 years starting TwoDigitYearCenturyWindow (50) years before the
//   current year. A four-digit year is taken as written.
// - StrToTime reads hour[:minute[:second[.millisecond]]] with the time
//   separator (the millisecond after the decimal separator, read as a whole
//   number, as the class library does), and an optional AM or PM marker (the
//   regional texts or "AM"/"PM", any case) before or after it; an hour alone
//   needs the marker. With a marker the hour must be 0 to 12 (12 AM is
//   midnight).
// Failures raise EConvertError with the class library's texts:
// "'%s' is not a valid date", "'%s' is not a valid time",
// "Invalid argument to date encode", "Invalid argument to time encode".

#include "platform/core/Exception.h"

#include <QString>

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr qint64 MSecsPerDay = qint64(SecsPerDay) * 1000;

bool IsLeapYear(int year);
// Days of a month of a year (0 when the month is not 1..12).
int DaysInAMonth(int year, int month);
// Days of the month a date falls in.
int DaysInMonth(TDateTime date);

TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);
// The date moved by whole months; the day is cut to the length of the new
// month; the time of day is kept.
TDateTime IncMonth(TDateTime date, int months = 1);

// The current local date and time; the current date at midnight.
TDateTime Now();
TDateTime Date();

QString FormatDateTime(const QString& format, TDateTime value);
QString DateToStr(TDateTime date);      // short date format
QString TimeToStr(TDateTime time);      // long time format
QString DateTimeToStr(TDateTime value); // short date and long time; no time at midnight

TDateTime StrToDate(const QString& text);
bool TryStrToDate(const QString& text, TDateTime& date);
TDateTime StrToTime(const QString& text);
bool TryStrToTime(const QString& text, TDateTime& time);
