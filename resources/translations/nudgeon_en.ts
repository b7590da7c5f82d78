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
        <location filename="../../desktop/AboutDialog.ui" line="49"/>
        <source>Nudgeon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="60"/>
        <source>Click for the latest version from our Web</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="83"/>
        <source>Send us e-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="86"/>
        <source>mailto:help@nudgeon.example</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="97"/>
        <source>Version 2.2b (Win 95/NT)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="106"/>
        <source>Check nudgeon.example for updated version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/AboutDialog.ui" line="109"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EventLine</name>
    <message>
        <location filename="../../schedule/EventLine.cpp" line="90"/>
        <source>&apos;%1&apos; is not a valid time</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>IniRegistryStore</name>
    <message>
        <location filename="../../platform/IniRegistryStore.cpp" line="62"/>
        <source>The settings file could not be read. It was kept as
%1
and Nudgeon goes on with new settings.</source>
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
        <location filename="../../schedule/NoteFiles.cpp" line="51"/>
        <source>Cannot create file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../schedule/NoteFiles.cpp" line="56"/>
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
        <location filename="../../actions/NoteWindow.ui" line="15"/>
        <source>Zerir Irar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="45"/>
        <source>FileName</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="74"/>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="78"/>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="81"/>
        <source>Snoo&amp;ze...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="84"/>
        <source>&amp;5 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="87"/>
        <source>&amp;15 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="90"/>
        <source>&amp;30 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="93"/>
        <source>1 &amp;hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="96"/>
        <source>&amp;2 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="99"/>
        <source>&amp;4 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="102"/>
        <source>&amp;8 hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="105"/>
        <source>1 &amp;day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../actions/NoteWindow.ui" line="108"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScheduleStore</name>
    <message>
        <location filename="../../engine/ScheduleStore.cpp" line="94"/>
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
        <location filename="../../setup/SetupDialog.cpp" line="228"/>
        <source>Nudgeon Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="17"/>
        <source>Enter Run &amp; Note info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="32"/>
        <source>   Schedule  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="44"/>
        <source>Select event</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="64"/>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="67"/>
        <source>Add to schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="80"/>
        <source>&amp;Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="83"/>
        <source>Update schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="99"/>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="102"/>
        <source>Delete from schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="115"/>
        <location filename="../../setup/SetupDialog.cpp" line="352"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="143"/>
        <source>Start Time </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="155"/>
        <source>hh:mm AP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="158"/>
        <source>Arrows select hour : minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="178"/>
        <source>&amp;Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="181"/>
        <source>Set time to current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="195"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="213"/>
        <source>Run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="225"/>
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
        <location filename="../../setup/SetupDialog.ui" line="264"/>
        <source>Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="277"/>
        <source>Enter program parameters or e-mail address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="283"/>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="308"/>
        <source>&amp;E-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="311"/>
        <source>Send as e-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="317"/>
        <source>Repeat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="329"/>
        <source> Interval </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="341"/>
        <source>&amp;Daily</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="357"/>
        <source>&amp;Weekly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="370"/>
        <source>&amp;Monthly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="396"/>
        <source>&amp;Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="412"/>
        <source>&amp;Hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="426"/>
        <source>Select date:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="457"/>
        <source>&amp;Monday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="473"/>
        <source>&amp;Tuesday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="489"/>
        <source>&amp;Wednesday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="505"/>
        <source>T&amp;hursday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="521"/>
        <source>&amp;Friday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="537"/>
        <source>&amp;Saturday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="553"/>
        <source>S&amp;unday</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="591"/>
        <source>&amp;Hourly chime</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="594"/>
        <source>Play &apos;Nudgeon.wav&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="607"/>
        <source>&amp;Auto start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.ui" line="610"/>
        <source>Start with Windows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="29"/>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="167"/>
        <source>This entry was changed or removed in the schedule file meanwhile. Nothing was saved; Add keeps what you typed as a new entry.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="226"/>
        <source>Nudgeon Setup - </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="352"/>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../setup/SetupDialog.cpp" line="422"/>
        <source>Select file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusTip</name>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="10"/>
        <source>No %1 events...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="17"/>
        <source>1hr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="19"/>
        <source>%1hrs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="20"/>
        <source>Running...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../engine/StatusTip.cpp" line="20"/>
        <source>Nudgeon: %1 %2min</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <location filename="../../engine/StatusTip.cpp" line="23"/>
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
        <location filename="../../desktop/TrayIcon.cpp" line="10"/>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="11"/>
        <source>&amp;Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="12"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="13"/>
        <source>&amp;Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="15"/>
        <source>&amp;Web page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="17"/>
        <source>&amp;E-mail us</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="19"/>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../desktop/TrayIcon.cpp" line="22"/>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
