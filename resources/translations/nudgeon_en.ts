<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="9"/>
        <source>About Nudgeon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="39"/>
        <source>Nudgeon icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="57"/>
        <source>Nudgeon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="75"/>
        <source>Click for the latest version from our Web</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="77"/>
        <source>Nudgeon&apos;s web page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="106"/>
        <source>Send us e-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="109"/>
        <source>mailto:help@nudgeon.example</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="127"/>
        <source>Version 2.2b (Win 95/NT)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="142"/>
        <source>Check nudgeon.example for updated version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="145"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AwaySummary</name>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="32"/>
        <source>%1 by mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="36"/>
        <source>%1 and %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="78"/>
        <source>yesterday %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="80"/>
        <source>%1: %2 (not shown)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="81"/>
        <source>%1: %2 (not run)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../desktop/AwaySummary.cpp" line="93"/>
        <source>and %n more</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../desktop/AwaySummary.cpp" line="126"/>
        <source>%n times from then on</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="142"/>
        <source>While you were away</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwaySummary.cpp" line="148"/>
        <source>Show %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AwayWindow</name>
    <message>
        <location filename="../../desktop/AwayWindow.ui" line="14"/>
        <source>While you were away</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwayWindow.ui" line="20"/>
        <source>Missed while the computer slept:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwayWindow.ui" line="30"/>
        <source>Missed entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwayWindow.ui" line="49"/>
        <source>&amp;Show Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AwayWindow.ui" line="56"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CalendarExport</name>
    <message>
        <location filename="../../schedule/CalendarExport.cpp" line="165"/>
        <source>Note %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../schedule/CalendarExport.cpp" line="166"/>
        <source>E-mail: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="81"/>
        <source>Try &apos;nudgeon --help&apos; for the options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="117"/>
        <source>every day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="118"/>
        <source>every day, every %1 min from the start time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="120"/>
        <source>on day %1 of every month</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="123"/>
        <source>never (no weekday chosen)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="124"/>
        <source>every %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="158"/>
        <source>e-mail to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="161"/>
        <source>note: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="164"/>
        <source>run %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="165"/>
        <source>run %1, note: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="182"/>
        <source>never</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../engine/CommandLine.cpp" line="232"/>
        <source>Nothing is due in the next %n day(s).</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="245"/>
        <source>%1 (in %2 min): entry %3, %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="251"/>
        <source>Tip: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="269"/>
        <source>A program name may not hold a comma: the entry would fall apart.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="274"/>
        <source>--every takes minutes from 0 to 1440.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="279"/>
        <source>--monthly takes a day of the month from 1 to 31.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="290"/>
        <source>--days takes days among Mo,Tu,We,Th,Fr,Sa,Su, not &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="306"/>
        <source>A note holds at most %1 characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="310"/>
        <source>The schedule holds %1 entries already, as many as it can.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="324"/>
        <source>The entry would be longer than %1 characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="326"/>
        <source>The schedule holds this entry already: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="341"/>
        <source>Added entry %1: %2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="350"/>
        <source>There is no entry %1; --list gives the entries&apos; numbers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="362"/>
        <source>Removed entry %1: %2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="370"/>
        <source>--snooze takes a note&apos;s file name and minutes from 1 to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../engine/CommandLine.cpp" line="376"/>
        <source>Note %1 put off by %n minute(s).
</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../engine/CommandLine.cpp" line="399"/>
        <source>Wrote %n event(s) to %1.
</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="420"/>
        <source>&apos;%1&apos; is not a date: --since takes one such as 2029-03-19 or 2029-03-19T22:00.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="528"/>
        <source>The schedule file was changed meanwhile; nothing was saved. Please try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="543"/>
        <source>Nudgeon is not running, so no note is shown to put off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="577"/>
        <source>Nudgeon, a reminder and scheduler that lives in the tray. Without options it starts in the tray; the options below work on the schedule, through the running copy when one runs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="581"/>
        <source>Show this help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="582"/>
        <source>Show the program&apos;s version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="584"/>
        <source>List every entry: number, time, what it does, its repeat rule and its next occurrence.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="587"/>
        <source>Show the entry due next, as the tray tip counts it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="589"/>
        <source>With --list, --next or --history: one JSON object per line per item.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="591"/>
        <source>List the firings the history recorded, in the order they were recorded (oldest first); works with no copy running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="593"/>
        <source>With --history: only the failures.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="596"/>
        <source>With --history: only the firings due from DATE on (2029-03-19, or 2029-03-19T22:00).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="599"/>
        <source>Add an entry starting at TIME (10:30PM, 22:30).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="600"/>
        <source>With --add: the program to run.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="602"/>
        <source>With --run: the program&apos;s parameters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="605"/>
        <source>With --add: the note to show (or to mail).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="607"/>
        <source>With --add and --note: mail the note to ADDRESS.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="611"/>
        <source>With --add: every day, again every MINUTES (0: once a day, the default).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="614"/>
        <source>With --add: on these weekdays (Mo,Tu,We,Th,Fr,Sa,Su).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="617"/>
        <source>With --add: on this day of every month.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="618"/>
        <source>Remove entry N of --list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="621"/>
        <source>Put off the shown note of file NOTE by MINUTES (running copy only).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="625"/>
        <source>Write the schedule as an iCalendar file to FILE, or to the output.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="626"/>
        <source>Start in the tray at log-on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="632"/>
        <source>With --snooze: the minutes, 1 to 1440. With --export-ics: the file to write.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="640"/>
        <source>
Exit status: 0 done, 1 refused (the reason is on the error output), 2 bad usage.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="652"/>
        <source>Give one of --list, --next, --history, --add, --remove, --snooze or --export-ics.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="659"/>
        <source>--snooze takes a note&apos;s file name and the minutes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="660"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="663"/>
        <source>--json goes with --list, --next or --history.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="665"/>
        <source>--failed and --since go with --history.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="672"/>
        <source>--run, --args, --note, --mail, --every, --days and --monthly go with --add.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="709"/>
        <location filename="../../engine/CommandLine.cpp" line="742"/>
        <source>--add takes --run PROGRAM, --note TEXT, or --mail ADDRESS with --note TEXT.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="711"/>
        <source>--mail needs --note, the text to mail.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="713"/>
        <source>--args goes with --run.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="717"/>
        <source>Give at most one of --every, --days and --monthly.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="724"/>
        <source>--run needs a program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="726"/>
        <source>--note needs a text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="753"/>
        <source>Unknown request &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="767"/>
        <source>The running copy of Nudgeon gave no answer that could be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/CommandLine.cpp" line="798"/>
        <source>Nudgeon is running but did not answer in time; --list shows whether the command was carried out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/RunningSchedule.cpp" line="40"/>
        <source>Nudgeon could not save the schedule; it says why in its window.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DesktopLauncher</name>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="144"/>
        <source>no program opens the address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="148"/>
        <source>the entry names no program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="154"/>
        <source>&quot;%1&quot; is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="155"/>
        <source>&quot;%1&quot; is not there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="163"/>
        <source>&quot;%1&quot; is no program: a script needs a first line starting with #!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="166"/>
        <source>&quot;%1&quot; cannot run: its interpreter %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="172"/>
        <source>&quot;%1&quot; may not be run: it lacks the execute permission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="175"/>
        <source>&quot;%1&quot; is a desktop entry, which is not started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/DesktopLauncher.cpp" line="178"/>
        <source>no program opens &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EventLine</name>
    <message>
        <location filename="../../schedule/EventLine.cpp" line="121"/>
        <source>&apos;%1&apos; is not a valid time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Firing</name>
    <message>
        <location filename="../../engine/Firing.cpp" line="207"/>
        <source>Started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="209"/>
        <source>Could not start: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="212"/>
        <source>Ended by signal %1 after %2 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="213"/>
        <source>Exited with status %1 after %2 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="215"/>
        <source>Note shown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="217"/>
        <source>Note closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="219"/>
        <source>Note snoozed until %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="221"/>
        <source>Mail sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="223"/>
        <source>Mail not sent, kept in the outbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="225"/>
        <source>Missed while asleep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="225"/>
        <source>Missed while asleep, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="227"/>
        <source>Not run late after a sleep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/Firing.cpp" line="228"/>
        <source>Not run late after a sleep, %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FiringRecorder</name>
    <message>
        <location filename="../../desktop/FiringRecorder.cpp" line="27"/>
        <source>History...</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../desktop/FiringRecorder.cpp" line="44"/>
        <source>%n failed</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../desktop/FiringRecorder.cpp" line="50"/>
        <source>A mail was not sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/FiringRecorder.cpp" line="51"/>
        <source>A program failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="14"/>
        <source>Nudgeon History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="40"/>
        <source>Firings, newest first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="44"/>
        <source>Due</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="49"/>
        <source>What happened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="54"/>
        <source>Entry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="63"/>
        <source>Details of the chosen firing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="80"/>
        <source>&amp;Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.ui" line="87"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="31"/>
        <source>The history is kept in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="51"/>
        <source>Failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="66"/>
        <source>Nothing has run yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="71"/>
        <source>Due: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="73"/>
        <source>Ran: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="74"/>
        <source>Entry: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/HistoryWindow.cpp" line="76"/>
        <source>Error output:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>IniRegistryStore</name>
    <message>
        <location filename="../../platform/IniRegistryStore.cpp" line="35"/>
        <source>%1
Nudgeon goes on with its default settings and does not save them there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/IniRegistryStore.cpp" line="79"/>
        <source>The settings file could not be read. It was kept as
%1
and Nudgeon goes on with new settings.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LockFileGuard</name>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="37"/>
        <source>The folder &quot;%1&quot; cannot be used: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="39"/>
        <source>&quot;%1&quot; is a link, not a folder of its own.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="41"/>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="43"/>
        <source>The folder &quot;%1&quot; belongs to another user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="45"/>
        <source>The folder &quot;%1&quot; can be changed by other users (mode %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="58"/>
        <source>&quot;%1&quot; is not an absolute path.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="61"/>
        <source>XDG_RUNTIME_DIR is not used: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="89"/>
        <source>The lock file &quot;%1&quot; cannot be made: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="95"/>
        <source>The lock file &quot;%1&quot; is not a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="103"/>
        <source>The lock file &quot;%1&quot; cannot be locked: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/LockFileGuard.cpp" line="111"/>
        <source>The lock file &quot;%1&quot; is held, but the process id could not be written.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NoTrayNotice</name>
    <message>
        <location filename="../../desktop/NoTrayNotice.cpp" line="13"/>
        <source>Nudgeon runs without a tray icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/NoTrayNotice.cpp" line="14"/>
        <source>This desktop shows no tray. Start Nudgeon again from the applications menu to open its setup dialog; its notes still pop up when due.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/NoTrayNotice.cpp" line="16"/>
        <source>Setup</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NoteFiles</name>
    <message>
        <location filename="../../schedule/NoteFiles.cpp" line="62"/>
        <source>Cannot create file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../schedule/NoteFiles.cpp" line="67"/>
        <source>Cannot open file %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NoteNotifier</name>
    <message>
        <location filename="../../desktop/NoteNotifier.cpp" line="35"/>
        <source>Nudgeon note at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/NoteNotifier.cpp" line="37"/>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/NoteNotifier.cpp" line="37"/>
        <source>Snooze 5 min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NoteWindow</name>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="9"/>
        <source>Zerir Irar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="27"/>
        <source>Note menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="60"/>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="70"/>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="74"/>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="77"/>
        <source>Snoo&amp;ze...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="80"/>
        <source>&amp;5 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="83"/>
        <source>&amp;15 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="86"/>
        <source>&amp;30 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="89"/>
        <source>1 &amp;hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="92"/>
        <source>&amp;2 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="95"/>
        <source>&amp;4 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="98"/>
        <source>&amp;8 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="101"/>
        <source>1 &amp;day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="104"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.cpp" line="172"/>
        <source>[... The rest of this note is in its file.]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScheduleStore</name>
    <message>
        <location filename="../../engine/ScheduleStore.cpp" line="107"/>
        <source>The schedule file was changed by another program meanwhile. It has been read again and nothing was saved: please make your change once more.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../../platform/Settings.cpp" line="14"/>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SetupDialog</name>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="14"/>
        <location filename="../../setup/SetupDialog.cpp" line="344"/>
        <source>Nudgeon Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="17"/>
        <source>Enter Run &amp; Note info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="38"/>
        <source>   Schedule  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="62"/>
        <source>Select event</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="89"/>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="92"/>
        <source>Add to schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="119"/>
        <source>&amp;Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="122"/>
        <source>Update schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="146"/>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="149"/>
        <source>Delete from schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="173"/>
        <location filename="../../setup/SetupDialog.cpp" line="468"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="647"/>
        <source>Start Time </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="674"/>
        <source>hh:mm AP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="668"/>
        <source>Arrows select hour : minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="688"/>
        <source>&amp;Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="691"/>
        <source>Set time to current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="701"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="204"/>
        <source>Run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="65"/>
        <source>Schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="197"/>
        <source>Entry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="228"/>
        <location filename="../../setup/SetupDialog.ui" line="241"/>
        <source>Program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="248"/>
        <source>&amp;Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="251"/>
        <source>Select program to activate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="258"/>
        <location filename="../../setup/SetupDialog.ui" line="274"/>
        <source>Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="271"/>
        <source>Enter program parameters or e-mail address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="295"/>
        <location filename="../../setup/SetupDialog.ui" line="316"/>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="329"/>
        <source>&amp;E-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="332"/>
        <source>Send as e-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="340"/>
        <source>Repeat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="361"/>
        <source> Interval </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="382"/>
        <source>&amp;Daily</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="392"/>
        <source>&amp;Weekly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="399"/>
        <source>&amp;Monthly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="440"/>
        <source>&amp;Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="450"/>
        <source>&amp;Hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="463"/>
        <source>Select date:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="473"/>
        <source>Repeat every</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="531"/>
        <source>&amp;Monday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="541"/>
        <source>&amp;Tuesday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="551"/>
        <source>&amp;Wednesday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="561"/>
        <source>T&amp;hursday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="571"/>
        <source>&amp;Friday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="581"/>
        <source>&amp;Saturday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="591"/>
        <source>S&amp;unday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="671"/>
        <source>Start time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="708"/>
        <source>&amp;Hourly chime</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="711"/>
        <source>Play &apos;Nudgeon.wav&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="718"/>
        <source>&amp;Auto start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="721"/>
        <source>Start with Windows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="31"/>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="204"/>
        <source>mail to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="208"/>
        <source>dial %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="211"/>
        <source>sound %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="220"/>
        <source>note: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="220"/>
        <source>%1, note: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../setup/SetupDialog.cpp" line="228"/>
        <source>every %n h</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../setup/SetupDialog.cpp" line="230"/>
        <source>every %n min</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="242"/>
        <source>monthly on day %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="283"/>
        <source>This entry was changed or removed in the schedule file meanwhile. Nothing was saved; Add keeps what you typed as a new entry.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="342"/>
        <source>Nudgeon Setup - </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="468"/>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="538"/>
        <source>Select file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusTip</name>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="22"/>
        <source>No %1 events...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="12"/>
        <source>1hr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="14"/>
        <source>%1hrs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="15"/>
        <source>%1 %2min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="24"/>
        <source>Running...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="24"/>
        <source>Nudgeon: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="34"/>
        <source>Next: %1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="36"/>
        <source>now</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../engine/StatusTip.cpp" line="26"/>
        <source>%n missed while asleep</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="18"/>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="19"/>
        <source>&amp;Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="20"/>
        <source>&amp;History...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="21"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="22"/>
        <source>&amp;Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="24"/>
        <source>&amp;Web page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="26"/>
        <source>&amp;E-mail us</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="28"/>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="31"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UserFile</name>
    <message>
        <location filename="../../platform/UserFile.cpp" line="199"/>
        <source>Nothing was written to it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="237"/>
        <source>%1 does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="239"/>
        <source>%1 is a folder, not a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="241"/>
        <source>%1 is a FIFO (a named pipe), not a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="243"/>
        <source>%1 is a socket, not a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="245"/>
        <source>%1 is a device, not a file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="249"/>
        <source>%1 cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../platform/UserFile.cpp" line="254"/>
        <source>%1 is larger than %2 KB; only its start was read.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
