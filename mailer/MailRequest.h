// SPDX-License-Identifier: MIT
#pragma once
// What the mail program is asked to do: the addresses and the note file, taken from the one
// parameter text that Nudgeon hands it, e.g. "ann@example.org;bob@example.org,1260930.txt".

#include <QString>
#include <QStringList>

// A plain address of the form local@domain: the local part of letters, digits, dots and the
// other characters of a dot-atom, the domain of letters, digits and hyphens between dots. No
// blanks, control characters, quotes or angle brackets; at most 64 characters before the "@"
// and 254 in all.
bool isPlainAddress(const QString& address);

// The parameter text back from the arguments the program was started with: Nudgeon's launcher
// splits the text like a command line, at blanks, so the arguments are joined with one blank.
QString joinArguments(const QStringList& arguments);

struct MailRequest
{
    QStringList addresses; // the valid ones, in the order given, each once
    QStringList skipped;   // the ones that are no plain address, as given
    QString noteFile;      // a bare file name in the working folder
    QString error;         // why the request is refused; empty when it is not
};

// The note file name is the text after the last ","; the text before it holds the addresses,
// separated by "," or ";", blanks around them ignored. Refused when there is no ",", when the
// name is not a bare file name (a "/", "..", a control character, or nothing) or when no
// address is valid.
MailRequest parseParameterText(const QString& text);

// The text with its control characters shown as "\r", "\n", "\t" or "\xNN", for one log line.
QString printable(const QString& text);
