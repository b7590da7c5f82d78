// SPDX-License-Identifier: MIT
// Loading a schedule file at start-up: Scheduler::start on fakes with the file in a
// temporary program folder, the settings entry there or lost, then refreshStatus at another time
// of the day. What was loaded is compared with the documented rules of the file, the header
// form and the entry due next; the file stays as it was except when a lost settings entry
// meets the header form, and then holds exactly the loaded entries.
//
// Input: byte 0 - bit 0 the settings entry is there, bits 1-2 its text; bytes 1-2 the day;
// bytes 3-4 the start time; bytes 5-6 the time refreshStatus runs at; the rest is the file.

#include "engine/ScheduleStore.h"
#include "engine/Scheduler.h"
#include "fuzz/support/Expected.h"
#include "fuzz/support/FuzzSupport.h"
#include "platform/ProgramPaths.h"
#include "schedule/EventLine.h"
#include "schedule/ScheduleFile.h"
#include "tests/support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The lines of an ASCII file as documented: line ends CR LF, LF or CR; up to the first empty
// line or the end; each line cut to 255 characters.
QStringList asciiLines(const QByteArray& bytes)
{
    QStringList lines;
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype end = i;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (end == i)
            break;
        lines.append(QString::fromLatin1(bytes.mid(i, end - i)).left(MaxLineLength));
        i = end;
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
            i += 2;
        else if (i < bytes.size())
            i += 1;
    }
    return lines;
}

QString listText(const QStringList& lines)
{
    QStringList parts;
    for (const QString& l : lines)
        parts.append(shown(l));
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

int dueOf(const QString& line)
{
    return expectedTimeValue(expectedFields(expectedCut(line)).time.left(MaxTimeText));
}

const QString settingsTexts[4] = {QStringLiteral("0,0"), QStringLiteral("1,0"), QStringLiteral("0,A"),
                                  QStringLiteral("1,A")};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const uint8_t flags = in.byte();
    const bool hasSettings = flags & 1;
    const QString settings = settingsTexts[(flags >> 1) & 3];
    const QDate day = dayFrom(in.word());
    const uint8_t startHour = in.byte();
    const QTime start = timeFrom(startHour, in.byte());
    const uint8_t laterHour = in.byte();
    const QTime later = timeFrom(laterHour, in.byte());
    const QByteArray file = in.rest();

    // One program folder for every input, emptied of all but the schedule before each: making and
    // removing a folder per input cost more than the load itself.
    static const QString folder = QDir::tempPath() + QStringLiteral("/program");
    static const bool made = QDir().mkpath(folder);
    FUZZ_CHECK(made, QStringLiteral("cannot make ") + folder);
    const ProgramPaths paths{folder + QStringLiteral("/Tools/nudgeon"), folder + QStringLiteral("/")};
    const QString cfg = paths.pgmDir + QStringLiteral("Nudgeon.cfg");
    QDir program(folder);
    for (const QString& name :
         program.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("Nudgeon.cfg"))
            FUZZ_CHECK(QFileInfo(program.filePath(name)).isDir()
                           ? QDir(program.filePath(name)).removeRecursively()
                           : program.remove(name),
                       QStringLiteral("cannot remove ") + program.filePath(name));
    }
    {
        QFile f(cfg);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.write(file) == file.size(),
                   QStringLiteral("cannot write ") + cfg);
    }

    // What the file holds, read as documented.
    QStringList lines = readScheduleLines(cfg, INT_MAX);
    const auto fileAbout = [&] {
        return QStringLiteral("file (%1 bytes) %2 read as %3")
            .arg(file.size())
            .arg(shown(QString::fromLatin1(file.left(400))), listText(lines));
    };
    if (isAscii(file)) {
        const QStringList documented = asciiLines(file);
        FUZZ_CHECK(lines == documented, fileAbout() + QStringLiteral(", documented ") + listText(documented));
    }
    for (const QString& l : lines) {
        FUZZ_CHECK(l.size() <= MaxLineLength && !l.contains(QLatin1Char('\r')) &&
                       !l.contains(QLatin1Char('\n')),
                   fileAbout());
        // Cutting a line keeps whole characters: never half of a surrogate pair.
        FUZZ_CHECK(l.isValidUtf16(), fileAbout() + QStringLiteral(", line ") + shown(l));
    }

    const bool header = !hasSettings && lines.size() >= 2 && !lines[1].contains(QLatin1Char(','));
    QStringList expected;
    for (qsizetype i = header ? 2 : 0; i < lines.size() && expected.size() < MaxEvents; ++i) {
        if (dueOf(lines[i]) >= 0)
            expected.append(lines[i]);
    }
    ExpectedSettings expectedFlags;
    if (hasSettings)
        expectedFlags = expectedSettings(settings);
    else if (header)
        expectedFlags.chime = lines[1] == QLatin1String("1");

    FakePlatform fakes(paths.programPath);
    fakes.clock.set(day, start);
    if (hasSettings)
        fakes.store.values[Settings::uninstallKey + QStringLiteral("|Settings")] = settings;
    ScheduleStore store(paths.pgmDir, fakes.settings, fakes.errors);
    Scheduler form(fakes.platform(), store);
    form.start();
    QStringList loaded;
    for (const Entry& e : form.entries())
        loaded.append(e.line());
    const Settings::Values loadedFlags = fakes.settings.current();

    const auto about = [&] {
        return fileAbout() + QStringLiteral(" (settings %1, %2 %3) loaded %4")
                                 .arg(hasSettings ? settings : QStringLiteral("lost"),
                                      day.toString(Qt::ISODate), start.toString(), listText(loaded));
    };
    FUZZ_CHECK(loaded.size() <= MaxEvents, about());
    FUZZ_CHECK(loaded == expected, about() + QStringLiteral(", documented ") + listText(expected));
    FUZZ_CHECK(
        loadedFlags.chime == expectedFlags.chime && loadedFlags.startAtLogOn == expectedFlags.autoStart,
        about() +
            QStringLiteral(", chime %1 autostart %2").arg(loadedFlags.chime).arg(loadedFlags.startAtLogOn));

    // The file: left alone, or after a header, exactly the loaded entries.
    const QByteArray after = fileBytes(cfg);
    if (!header) {
        FUZZ_CHECK(after == file,
                   about() + QStringLiteral(", file now ") + shown(QString::fromLatin1(after.left(400))));
    } else {
        QByteArray written;
        for (const QString& l : loaded)
            written += l.toUtf8() + "\r\n";
        FUZZ_CHECK(after == written,
                   about() + QStringLiteral(", file now ") + shown(QString::fromLatin1(after.left(400))));
        const QStringList reread = readScheduleLines(cfg, INT_MAX);
        FUZZ_CHECK(reread == loaded,
                   about() + QStringLiteral(", rewritten file reads as ") + listText(reread));
    }

    // The settings store: untouched when the entry was there, made again when it was lost.
    if (hasSettings) {
        FUZZ_CHECK(fakes.store.writes == 0, about());
    } else {
        const QString key = Settings::uninstallKey + QLatin1Char('|');
        FUZZ_CHECK(fakes.store.values.value(key + QStringLiteral("Settings")) ==
                       (expectedFlags.chime ? QStringLiteral("1,0") : QStringLiteral("0,0")),
                   about());
        FUZZ_CHECK(fakes.store.values.value(key + QStringLiteral("UninstallString")) ==
                       paths.programPath + QStringLiteral(" /uninstall"),
                   about());
        FUZZ_CHECK(fakes.autostart.enabled == false, about());
    }
    FUZZ_CHECK(fakes.errors.messages.isEmpty(),
               about() + QStringLiteral(", errors ") + fakes.errors.messages.join('|'));
    FUZZ_CHECK(fakes.sound.played == QStringList{QStringLiteral("ringin.wav")}, about());
    FUZZ_CHECK(form.status().size() < 64, about() + QStringLiteral(", hint ") + shown(form.status()));

    // The entry due next at another time of the day, nothing having run: of the entries due
    // today the earliest time not passed, a repeating one's start time and every interval
    // after it, the first of equal ones. The zone is UTC: every wall time is an instant.
    fakes.clock.setTime(later);
    form.refreshStatus();
    const int now = later.hour() * 60 + later.minute();
    int best = -1;
    int bestAt = INT_MAX;
    for (int i = 0; i < loaded.size(); ++i) {
        const int due = dueOf(loaded[i]);
        const int repeat = expectedRepeat(expectedFields(expectedCut(loaded[i])).repeat, day);
        if (repeat < 0)
            continue;
        int at = due / 100 * 60 + due % 100;
        while (repeat > 0 && at < now)
            at += repeat;
        if (at >= now && at < 1440 && at < bestAt) {
            best = i;
            bestAt = at;
        }
    }
    const auto next = [&] {
        return about() + QStringLiteral(" at %1: next %2 (documented %3), hint %4")
                             .arg(later.toString(), shown(form.nextLine()),
                                  best < 0 ? QStringLiteral("none") : shown(loaded[best]),
                                  shown(form.status()));
    };
    FUZZ_CHECK(form.status().size() < 64, next());
    if (best < 0) {
        FUZZ_CHECK(form.status().startsWith(QLatin1String("No ")), next());
        FUZZ_CHECK(form.nextLine() == loaded.value(0), next());
    } else {
        const int minutes = bestAt - now;
        FUZZ_CHECK(form.nextLine() == loaded[best], next());
        QString hours;
        if (minutes / 60 == 1)
            hours = QStringLiteral("1hr");
        else if (minutes / 60 >= 2)
            hours = QString::number(minutes / 60) + QStringLiteral("hrs");
        const QString text = minutes == 0 ? QStringLiteral("Running...")
                                          : QStringLiteral("Nudgeon: %1 %2min").arg(hours).arg(minutes % 60);
        FUZZ_CHECK(form.status() == text, next());
    }
    return 0;
}
