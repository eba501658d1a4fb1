#!/usr/bin/python3
"""Reads one window of the running Tillane as a screen reader does, through AT-SPI, and
checks it: every interactive control in sight has a name (menu items too, without their
keys or key marks), option buttons are radio buttons, the check boxes are the known ones and
nothing else is one, and the known inputs have their role. With --main it also reads the summary line and the chart.

Usage: accessibility_tree.py TITLE [--main]      Exit 0 when the window passes, 1 if not."""

import re
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE,
    pyatspi.ROLE_TREE, pyatspi.ROLE_SLIDER, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_MENU,
}
# Their rows, cells and headings are the list's business, not controls of their own.
LEAVES = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE,
          pyatspi.ROLE_MENU_BAR}
# "&S" of "&Save"; "Save & Exit" has a plain ampersand.
KEY_MARK = re.compile(r"&\w")
TEXT = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY}
RADIOS = {"Debit", "Credit", "Does not Repeat", "Repeats", "Never Ends", "Ends After", "On the",
          "Keep the date", "Business day before", "Business day after", "Nearest business day",
          "This payment only", "This and all later payments", "Every payment, past and future"}
# The program's check boxes: a transaction's what-if mark, a monthly rule's second day, the
# weekend days and a holiday's Yearly.
CHECK_BOXES = {"What-if (tentative)", "Also on day", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat",
               "Yearly: on this day every year"}
# What the known inputs are, by name; a control named so must have one of these roles.
ROLES = {
    "Description": {pyatspi.ROLE_COMBO_BOX} | TEXT,
    "Insertion Date": {pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_DATE_EDITOR} | TEXT,
    "Starting Date": {pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_DATE_EDITOR} | TEXT,
    "Amount": TEXT,
    "Balance": TEXT,
    "Occurrences": TEXT,
    "Duration": TEXT,
    "Warn when the projected balance falls below": TEXT,
    "Cash Flow": {pyatspi.ROLE_TABLE, pyatspi.ROLE_PAGE_TAB},
    "Current Accounts": {pyatspi.ROLE_TABLE, pyatspi.ROLE_PAGE_TAB},
    "Transactions": {pyatspi.ROLE_TABLE, pyatspi.ROLE_PAGE_TAB},
}


def states(accessible):
    return accessible.getState()


def find_window(title, seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == title and \
                        states(window).contains(pyatspi.STATE_SHOWING):
                    return window
        time.sleep(0.2)
    return None


def role_name(accessible):
    return accessible.getRoleName()


def walk(accessible, found, menus):
    role = accessible.getRole()
    if role == pyatspi.ROLE_MENU_BAR:
        menus.append(accessible)
        return
    if role in INTERACTIVE and states(accessible).contains(pyatspi.STATE_SHOWING):
        found.append(accessible)
    if role in LEAVES:
        return
    for child in accessible:
        if child is not None:
            walk(child, found, menus)


def menu_items(accessible):
    for child in accessible:
        if child is None:
            continue
        if child.getRole() == pyatspi.ROLE_MENU_ITEM:
            yield child
        yield from menu_items(child)


def main():
    title = sys.argv[1]
    is_main = "--main" in sys.argv[2:]
    window = find_window(title)
    if window is None:
        print(f"FAILED: no window \"{title}\" in the accessibility tree")
        return 1
    found, menus, problems = [], [], []
    walk(window, found, menus)
    print(f"{title}: {len(found)} interactive controls in sight")
    unnamed_chart = None
    for control in found:
        name, role = control.name or "", control.getRole()
        reachable = states(control).contains(pyatspi.STATE_FOCUSABLE) and \
            states(control).contains(pyatspi.STATE_ENABLED)
        print(f"  {role_name(control)}: {name!r}")
        if not name.strip():
            # The chart (a button below the pages) is named by the chart's own work; until
            # that is in, it is the one control without a name that the keyboard never reaches.
            if is_main and role == pyatspi.ROLE_PUSH_BUTTON and not reachable and unnamed_chart is None:
                unnamed_chart = control
                continue
            problems.append(f"a {role_name(control)} without a name")
        if KEY_MARK.search(name) or "\t" in name:
            problems.append(f"{name!r} shows a key mark or its keys")
        if role == pyatspi.ROLE_CHECK_BOX and name not in CHECK_BOXES:
            problems.append(f"{name!r} is a check box")
        if name in CHECK_BOXES and role != pyatspi.ROLE_CHECK_BOX and not \
                (name == "Also on day" and role in TEXT):
            problems.append(f"{name!r} is a {role_name(control)}, not a check box")
        if name in RADIOS and role != pyatspi.ROLE_RADIO_BUTTON:
            problems.append(f"{name!r} is a {role_name(control)}, not a radio button")
        if name in ROLES and role not in ROLES[name]:
            problems.append(f"{name!r} is a {role_name(control)}")
    for bar in menus:
        items = list(menu_items(bar))
        print(f"  menus: {', '.join(item.name for item in items)}")
        for item in items:
            if not item.name.strip() or "\t" in item.name or KEY_MARK.search(item.name):
                problems.append(f"menu item {item.name!r}")
        if len(items) < 10:
            problems.append(f"only {len(items)} menu items")
    if is_main:
        summary = [c for c in found if c.getRole() == pyatspi.ROLE_PUSH_BUTTON and
                   (c.name.startswith("Lowest ") or c.name.startswith("Below "))]
        if not summary:
            problems.append("no summary line")
        else:
            print(f"  summary line: {summary[0].name!r}")
        chart = unnamed_chart or next((c for c in found if "chart" in (c.name or "").lower()), None)
        if chart is None:
            print("  chart: not found by name")
        else:
            print(f"  chart: name {chart.name!r}, description {chart.description!r}")
            if unnamed_chart is not None:
                print("  NOTE: the chart has no name or description yet")
    for problem in problems:
        print(f"FAILED: {title}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
