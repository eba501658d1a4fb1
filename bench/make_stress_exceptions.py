#!/usr/bin/env python3
"""Writes bench/data/stress-exceptions.Tillane: the stress schedule with ten exceptions on
each of its 1,000 transactions, spread over the 99 months it is projected for: skips,
other amounts, moves of a few days and moves from beyond the window into it; a
transaction with fewer occurrences there gets the rest on days that are none of them.
Usage: bench/make_stress_exceptions.py   (from anywhere; rewrites the file)"""
import calendar
import datetime
import pathlib
import re

here = pathlib.Path(__file__).resolve().parent / "data"
END = b"\r\r\n"
START = datetime.date(2026, 3, 7)
END_DATE = START + datetime.timedelta(days=31 * 99)
PER_TRANSACTION = 10


def parse(text):
    month, day, year = (int(part) for part in text.split("/"))
    return datetime.date(year, month, day)


def text(date):
    return date.strftime("%m/%d/%Y")


def occurrence(kind, start, delta, day, n):
    if kind in ("Daily", "Weekly"):
        return start + datetime.timedelta(days=delta * n * (7 if kind == "Weekly" else 1))
    if kind == "Monthly":
        index = start.month - 1 + delta * n
        year, month = start.year + index // 12, index % 12 + 1
        last = calendar.monthrange(year, month)[1]
        return datetime.date(year, month, day if 1 <= day <= 28 else last)
    if kind == "Yearly":
        year = start.year + delta * n
        if start.month == 2 and start.day == 29 and not calendar.isleap(year):
            return datetime.date(year, 3, 1)
        return datetime.date(year, start.month, start.day)
    return start if n == 0 else None


def occurrences(kind, start, delta, count, day):
    dates, n = [], 0
    while (count == 0 or n < count) and n < 100000:
        date = occurrence(kind, start, delta, day, n)
        if date is None or date >= END_DATE + datetime.timedelta(days=400):
            break
        dates.append(date)
        n += 1
    return dates


def exceptions(number, dates):
    inside = [d for d in dates if START <= d < END_DATE]
    picked = inside[:: max(1, len(inside) // PER_TRANSACTION)][:PER_TRANSACTION] if inside else []
    chosen = []
    for i, date in enumerate(picked):
        kind = (number + i) % 4
        if kind == 0:
            chosen.append((date, ' Skip="1"'))
        elif kind == 1:
            chosen.append((date, ' Amount="-%d"' % (10 + (number * 7 + i) % 500)))
        elif kind == 2:
            chosen.append((date, ' MoveTo="%s"' % text(date + datetime.timedelta(days=1 + i % 9))))
        else:
            later = [d for d in dates if d >= END_DATE]
            source = later[i % len(later)] if later else date
            chosen.append((source, ' MoveTo="%s" Amount="-%d"' % (text(date + datetime.timedelta(days=2)), 20 + i)))
    unique = {}
    for date, attributes in chosen:
        unique.setdefault(date, attributes)
    chosen = list(unique.items())
    used = set(unique)
    extra = START + datetime.timedelta(days=number % 300)
    while len(chosen) < PER_TRANSACTION:
        extra += datetime.timedelta(days=37)
        if extra not in used and extra not in dates:
            chosen.append((extra, ' Skip="1"'))
            used.add(extra)
    return [b'<EXCEPTION Date="%s"%s/>' % (text(date).encode(), attributes.encode()) for date, attributes in sorted(chosen)]


def main():
    lines = (here / "stress.Tillane").read_bytes().split(END)
    out, date, number = [], None, 0
    for line in lines:
        out.append(line)
        found = re.match(rb"<DATE>(.*)</DATE>", line)
        if found:
            date = parse(found.group(1).decode())
        repeat = re.match(rb"<REPEAT (.*)/>", line)
        if repeat:
            attributes = dict(re.findall(r'(\w+)="([^"]*)"', repeat.group(1).decode()))
            dates = occurrences(attributes["Type"], date, int(attributes["Delta"]), int(attributes["Count"]),
                                int(attributes.get("Day", "0")))
            out.extend(exceptions(number, dates))
            number += 1
    (here / "stress-exceptions.Tillane").write_bytes(END.join(out))
    print(sum(1 for line in out if line.startswith(b"<EXCEPTION")), "exceptions")


main()
