// SPDX-License-Identifier: MIT
#pragma once
// The event line: the one text form of a scheduled event, "time,program,repeat,parameters".

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <optional>

// Every stage that builds or copies a line keeps at most this many characters.
constexpr int MaxLineLength = 255;
// The engine keeps this much of the time field.
constexpr int MaxTimeText = 12;
// The first `length` characters of a text, one fewer when the cut would split a character
// made of two UTF-16 units.
QString cutText(const QString& text, int length = MaxLineLength);

// The schedule holds at most this many entries.
constexpr int MaxEvents = 30;

// The four fields of a line. The first three commas separate them; everything after the
// third comma, commas included, is the parameters field.
struct EventFields
{
    bool hasComma = false;
    QString time;
    QString program;
    QString repeat;
    QString parameters;
};

EventFields splitEventLine(const QString& line);

// Parses a time field: 12-hour forms with one- or two-digit hours and "AM"/"PM", or 24-hour
// forms, optional seconds, surrounding blanks ignored. Nothing when it is not a time.
std::optional<QTime> parseTimeText(const QString& text);
// A time as hours times 100 plus minutes, or -1 when the text is not a time.
int timeValue(const QString& text);
// The message for a time field that is not a time.
QString invalidTimeMessage(const QString& text);
// The time field as the editor writes it: " 09:30 AM    " or "01:05 PM    ".
QString composeTimeField(const QTime& time);

// The parameters and the note file name of a parameters field. The note reference is the
// text from the first "[" to the end, when a ".txt]" comes after that "[".
struct NoteReference
{
    QString parameters;
    QString noteFile; // empty when there is no note
};
NoteReference takeNoteReference(const QString& parametersField, int maxNameLength);

enum class RepeatKind
{
    Daily = 0,
    Weekly = 1,
    Monthly = 2
};

// What the editor's controls hold when a line is composed from them.
struct EventInput
{
    QTime start;
    QString program;
    RepeatKind kind = RepeatKind::Daily;
    bool hours = false; // daily value in hours rather than minutes
    int repeatValue = 0;
    // Monday first, Sunday last, as the editor shows the days.
    std::array<bool, 7> weekdays{};
    QString parameters;
    bool hasNote = false;
    QString noteFile;
};

QString composeRepeatField(const EventInput& input);
QString composeEventLine(const EventInput& input);

// The place of the item equal to line without regard to letter case, or -1.
int findLine(const QStringList& items, const QString& line);

// Fills the first "mm-dd-yy" of the parameters with the date.
QString fillDatePlaceholder(const QString& parameters, const QDate& date);
