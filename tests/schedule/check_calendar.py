#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Reads the exported calendar with icalendar, expands every event's rule with dateutil over the
# days checked, and compares the result, entry by entry, with the runs the program's own rules
# give. Usage: check_calendar.py ICS RUNS (with TZ set to the zone to read the floating times in)
import os
import re
import sys
from datetime import date, datetime, timedelta, timezone
from zoneinfo import ZoneInfo

from dateutil.rrule import rrulestr
from icalendar import Calendar

zone = ZoneInfo(os.environ["TZ"])
ics_path, runs_path = sys.argv[1:3]
raw = open(ics_path, "rb").read()
problems = []

# The file's form: CR LF line ends, at most 75 octets a line, each line whole UTF-8.
physical = raw.split(b"\r\n")
if physical[-1] != b"" or any(b"\n" in l or b"\r" in l for l in physical):
    problems.append("lines do not all end in CR LF")
for l in physical:
    if len(l) > 75:
        problems.append(f"line longer than 75 octets: {l!r}")
    try:
        l.decode("utf-8")
    except UnicodeDecodeError:
        problems.append(f"line cut inside a character: {l!r}")

# Text values escape backslashes, commas and semicolons (a lenient reader takes them as they are).
for l in raw.replace(b"\r\n ", b"").decode("utf-8", "replace").split("\r\n"):
    name, _, value = l.partition(":")
    if name in ("SUMMARY", "DESCRIPTION") and re.search(r"[,;\\]", re.sub(r"\\[\\,;nN]", "", value)):
        problems.append(f"unescaped text: {l}")

cal = Calendar.from_ical(raw)
for prop, want in (("VERSION", "2.0"), ("CALSCALE", "GREGORIAN")):
    if str(cal.get(prop)) != want:
        problems.append(f"{prop} is {cal.get(prop)!r}")
if not cal.get("PRODID"):
    problems.append("no PRODID")

windows, entries = [], []
for row in open(runs_path, encoding="utf-8").read().splitlines():
    kind, *rest = row.split("\t")
    if kind == "window":
        windows.append(tuple(date.fromisoformat(d) for d in rest))
    elif kind == "entry":
        entries.append((rest[0], rest[1], set()))
    else:
        entries[-1][2].add(int(kind))


def offset(t):
    return datetime.fromtimestamp(t, zone).utcoffset()


def run_instant(wall):
    """The instant the program runs at a wall-clock time: the first showing of a repeated time;
    for a time the clock skips, the moment of the jump. RFC 5545 reads a skipped time with the
    offset before the gap instead, which lands as far past the jump as the time lay in the gap."""
    aware = wall.replace(tzinfo=zone)
    t = int(aware.timestamp())
    if datetime.fromtimestamp(t, zone).replace(tzinfo=None) == wall:
        return t
    while offset(t - 60) == offset(t):
        t -= 60
    return t


events = {}
uids = set()
for ev in cal.walk("VEVENT"):
    uid = str(ev.get("UID"))
    if uid in uids:
        problems.append(f"UID {uid} twice")
    uids.add(uid)
    if ev.get("DTSTAMP") is None or ev.decoded("DTSTAMP").utcoffset() != timedelta(0):
        problems.append(f"{uid}: no DTSTAMP in UTC")
    start = ev.decoded("DTSTART")
    if start.tzinfo is not None or ev["DTSTART"].params.get("TZID"):
        problems.append(f"{uid}: DTSTART not floating")
    alarms = [str(a.get("DESCRIPTION")) for a in ev.walk("VALARM") if str(a.get("ACTION")) == "DISPLAY"]
    # In the RFC's reading, DTSTART is always the first occurrence.
    rule = rrulestr(ev["RRULE"].to_ical().decode(), dtstart=start, compatible=True)
    runs = set()
    for first, last in windows:
        begin = datetime.combine(first, datetime.min.time())
        end = datetime.combine(last + timedelta(days=1), datetime.min.time()) - timedelta(seconds=1)
        runs.update(run_instant(w) for w in rule.between(begin, end, inc=True))
    title = str(ev.get("SUMMARY"))
    got = events.setdefault(title, [set(), []])
    if got[0] & runs:
        problems.append(f"{title}: events of one entry overlap")
    got[0].update(runs)
    got[1].append(alarms)

shifted = {str(ev.get("UID")) for ev in Calendar.from_ical(open(ics_path + ".shifted", "rb").read()).walk("VEVENT")}
if not shifted or not shifted < uids:
    problems.append("UIDs change when an entry is removed before them")

for title, alarm, want in entries:
    got, alarms = events.pop(title, [set(), []])
    if not want and alarms:
        problems.append(f"{title}: events for an entry that never runs")
    for a in alarms:
        if a != ([alarm] if alarm else []):
            problems.append(f"{title}: alarm {a!r}, expected {alarm!r}")
    for name, extra in (("calendar only", got - want), ("program only", want - got)):
        if extra:
            shown = sorted(datetime.fromtimestamp(t, zone).isoformat() for t in extra)
            problems.append(f"{title}: {len(extra)} runs {name}: {shown[:4]}")
    print(f"{title[:40]!r}: {len(want)} runs, {len(alarms)} events")
for title in events:
    problems.append(f"event {title!r} belongs to no entry")
if not any(want for _, _, want in entries):
    problems.append("no runs to compare")

print("\n".join(problems) or "calendar and program agree")
sys.exit(1 if problems else 0)
