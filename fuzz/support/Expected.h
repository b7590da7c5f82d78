// SPDX-License-Identifier: MIT
#pragma once
// The documented rules of the schedule's texts, written out a second time, independently of
// the program's own code, so that the fuzz targets can compare the two.

#include <QDate>
#include <QString>

// The fields of an event line: the first three commas separate time, program, repeat and
// parameters; everything after the third comma is the parameters. With fewer commas the
// last field present is the parameters: no comma - all parameters; one - time and
// parameters; two - time, program and parameters.
struct ExpectedFields
{
    int commas = 0; // how many of the separating commas there were (0 to 3)
    QString time;
    QString program;
    QString repeat;
    QString parameters;
};
ExpectedFields expectedFields(const QString& line);

// The first 255 characters of a text; when the 255th is the first half of a character made of
// two UTF-16 units whose second half follows, the first 254.
QString expectedCut(const QString& text);

// A time field as hours * 100 + minutes, or -1: optional spaces and tabs, one or two ASCII
// digits of hours, ":", two digits of minutes, optionally ":" and two digits of seconds,
// optional spaces and tabs and "AM" or "PM" in any letter case, optional spaces and tabs.
// 24-hour forms have hours 0 to 23; 12-hour forms 1 to 12, 12 AM being 0 hours.
int expectedTimeValue(const QString& text);

// The state of an entry today from its repeat field: a number N < 0 - due (0) on day -N of
// the month only, else not (-1); N >= 0 - N, but at most 1440; not a number - a list of
// weekday digits, Sunday "1" to Saturday "7": due (0) when today's digit is in it, else -1.
int expectedRepeat(const QString& repeatField, const QDate& today);

// The note reference of a parameters field: from the first "[" to the end, when a ".txt]"
// in any letter case begins after that "[". The name is what lies between the "[" and the
// last character, cut to maxNameLength (one fewer when the cut would split a character of two
// UTF-16 units), and no name at all when it holds "/", "\" or NUL, or
// is "." or "..".
// The parameters are the text before the "[".
struct ExpectedNote
{
    bool hasReference = false;
    QString parameters;
    QString name;
};
ExpectedNote expectedNote(const QString& parametersField, int maxNameLength);

// The parameters with their first "mm-dd-yy" (lower case) replaced by the date as
// month-day-year in two digits each, then cut to 255 characters.
QString expectedDateFilled(const QString& parameters, const QDate& date);

// The settings text: the chime is on when the first "1" of the text is its first character,
// the start at log-on when the first "A" is its third character.
struct ExpectedSettings
{
    bool chime = false;
    bool autoStart = false;
};
ExpectedSettings expectedSettings(const QString& text);
