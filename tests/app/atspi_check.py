#!/usr/bin/env python3
"""Reads the running program's window through the accessibility bus, as a
screen reader does, and fails on what a blind student could not use: a control
that cannot be found, has no name or role, cannot take the focus though it
takes keys; a curve colour that does not read as a choice; a position grid
whose cells and headings do not say where they are and what they hold, or
whose arrow keys move silently; a diagram whose keys read it silently; an analysis that cannot be read, or that
changes without a word.

Usage: atspi_check.py PID
Exit status 0 when all holds, 1 otherwise (each failure on stderr).
"""
import subprocess
import sys

import pyatspi

from atspi_tree import (application, cell_text, children, frame_of, has, labels, name, pump,
                        role, wait_for, walk)

PID = int(sys.argv[1])
failures = []


def fail(words):
    failures.append(words)
    print("atspi_check: FAIL: " + words, file=sys.stderr)


def say(words):
    print("atspi_check: " + words, file=sys.stderr)


# What a student uses, by role and accessible name. Menus and their items are
# checked from the menu bar itself below.
CONTROLS = [
    ("combo box", "Strategy"),
    ("push button", "Plot"),
    ("push button", "Restart"),
    ("push button", "Clear"),
    ("radio button", "Payoff Diagram"),
    ("radio button", "Profit Diagram"),
    ("text", "Highest value shown"),
    ("text", "Lowest value shown"),
    ("text", "Lowest price shown"),
    ("text", "Highest price shown"),
    ("spin button", "Price today"),
    ("text", "Underlying quantity"),
    ("spin button", "Cost per option"),
    ("spin button", "Cost per unit of the underlying"),
    ("combo box", "Greek curve"),
    ("combo box", "Address"),
    ("push button", "Back"),
    ("push button", "Forward"),
    ("push button", "Stop"),
    ("image", "Diagram"),
    ("table", "Position"),
    ("text", "Analysis of the last plot"),
    # The panel before expiry.
    ("slider", "Days left shown"),
    ("spin button", "Days left shown"),
    ("spin button", "Days to expiry"),
    ("spin button", "Interest rate in percent"),
    ("spin button", "Dividend yield in percent"),
    ("spin button", "One volatility in percent"),
    ("text", "More dates, in days left"),
    ("combo box", "Exercise"),
    ("radio button", "Implied from premiums"),
    ("radio button", "One volatility for every option"),
    ("push button", "Evenly spaced dates"),
    # Opened from the Options menu below.
    ("table", "Scenarios"),
]

# Roles a student acts on, which need a name; the controls above that take
# keys must also take the focus (the panels' title buttons take none: the
# Options menu does what they do).
ACTED_ON = {"push button", "toggle button", "radio button", "check box", "combo box",
            "text", "password text", "spin button", "slider", "table", "tree", "list",
            "page tab", "menu item", "check menu item", "radio menu item", "menu",
            "link", "scroll bar"}
TAKES_KEYS = {"push button", "radio button", "check box", "combo box", "text",
              "spin button", "slider", "table", "list"}


def check_tree(frame):
    seen = []
    for acc, path in walk(frame):
        r = role(acc)
        seen.append((r, name(acc), acc, path))
        if not r or r == "unknown":
            if has(acc, pyatspi.STATE_SHOWING) and has(acc, pyatspi.STATE_FOCUSABLE):
                fail("a control without a role at " + " > ".join(path))
            continue
        if not has(acc, pyatspi.STATE_SHOWING) or r not in ACTED_ON or r == "scroll bar":
            continue
        if r == "combo box" and not labels(acc):
            fail(f"the combo box showing '{name(acc)}' has no label at " + " > ".join(path))
        elif not name(acc).strip() and not labels(acc):
            fail(f"a {r} without a name at " + " > ".join(path))
    return seen


def find(seen, wanted_role, wanted_name):
    for r, n, acc, _ in seen:
        if r == wanted_role and (n == wanted_name or wanted_name in labels(acc)):
            return acc
    return None


def check_controls(seen):
    for wanted_role, wanted_name in CONTROLS:
        acc = find(seen, wanted_role, wanted_name)
        if acc is None:
            near = sorted({f"{r} '{n}'" for r, n, _, _ in seen if n and
                           wanted_name.split()[0].lower() in n.lower()})
            fail(f"no {wanted_role} named '{wanted_name}'" +
                 (" (seen: " + ", ".join(near) + ")" if near else ""))
        elif not has(acc, pyatspi.STATE_SHOWING):
            fail(f"the {wanted_role} '{wanted_name}' is not showing")
        elif wanted_role in TAKES_KEYS and not has(acc, pyatspi.STATE_FOCUSABLE):
            fail(f"the {wanted_role} '{wanted_name}' cannot take the focus")


def check_menus(seen):
    bars = [acc for r, _, acc, _ in seen if r == "menu bar"]
    if not bars:
        fail("no menu bar")
        return
    menus = children(bars[0])
    titles = [name(m) for m in menus]
    for wanted in ("File", "Edit", "Options", "Help"):
        if not any(t.replace("&", "") == wanted for t in titles):
            fail(f"the menu bar has no '{wanted}' (it has {titles})")
    items = 0
    for menu in menus:
        for acc, path in walk(menu):
            r = role(acc)
            if r == "separator":
                continue
            if r in ("menu item", "check menu item", "radio menu item", "menu"):
                items += 1
                if not name(acc).strip():
                    fail("a menu item without a name at " + " > ".join(path))
    if items < 20:
        fail(f"only {items} menu items can be reached from the menu bar")


def check_swatches(seen):
    """The curve colours are a set of choices: each reads as one, the chosen
    one checked, and choosing another through its action checks it."""
    swatches = [acc for _, n, acc, _ in seen if n.startswith("Curve colour ") and
                has(acc, pyatspi.STATE_SHOWING)]
    if len(swatches) < 8:
        fail(f"only {len(swatches)} curve colours can be read")
        return
    for acc in swatches:
        if role(acc) != "radio button":
            fail(f"'{name(acc)}' reads as a {role(acc)}, not as a colour to choose")
    chosen = [acc for acc in swatches if has(acc, pyatspi.STATE_CHECKED)]
    if len(chosen) != 1:
        fail(f"{len(chosen)} curve colours read as chosen, not one")
        return
    other = next(acc for acc in swatches if acc not in chosen)
    try:
        action = other.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(names.index("Press"))
    except (NotImplementedError, ValueError):
        fail(f"'{name(other)}' cannot be chosen by a screen reader")
        return
    if not wait_for("the colour chosen", lambda: has(other, pyatspi.STATE_CHECKED) and
                    not has(chosen[0], pyatspi.STATE_CHECKED), 10):
        fail(f"choosing '{name(other)}' did not make it the one chosen")
    chosen[0].queryAction().doAction(names.index("Press"))


def grid_rows(grid):
    """The position grid as a screen reader reads it: a list of rows of cell
    texts, each cell checked to report where it is."""
    table = grid.queryTable()
    rows, cols = table.nRows, table.nColumns
    read = []
    for r in range(rows):
        line = []
        for c in range(cols):
            cell = table.getAccessibleAt(r, c)
            if cell is None:
                fail(f"the position grid has no cell at row {r}, column {c}")
                line.append(None)
                continue
            index = table.getIndexAt(r, c)
            if (table.getRowAtIndex(index), table.getColumnAtIndex(index)) != (r, c):
                fail(f"the position grid's cell at row {r}, column {c} says it is at row "
                     f"{table.getRowAtIndex(index)}, column {table.getColumnAtIndex(index)}")
            if role(cell) not in ("table cell", "column header", "row header"):
                fail(f"the position grid's cell at row {r}, column {c} is a '{role(cell)}'")
            line.append(cell_text(cell))
        read.append(line)
    return read


def check_grid(seen):
    grid = find(seen, "table", "Position")
    if grid is None:
        return None
    try:
        read = grid_rows(grid)
    except NotImplementedError:
        fail("the position grid offers no table to a screen reader")
        return None
    say(f"position grid: {read}")
    if len(read) < 2 or len(read[0]) != 5:
        fail(f"the position grid reads as {len(read)} rows of "
             f"{len(read[0]) if read else 0} cells, not a heading and rows of five")
        return read
    if [t for t in read[0]] != ["Call Qty", "Call Price", "Strike", "Put Qty", "Put Price"]:
        fail(f"the position grid's headings read {read[0]}")
    for r, line in enumerate(read[1:], start=1):
        try:
            float(line[2])
        except (TypeError, ValueError):
            fail(f"the strike in row {r} reads '{line[2]}'")
    return read


def check_grid_moves(seen, read):
    """The student clicks a quantity in the position grid and steps right
    with the arrow key: the screen reader hears the cell it lands on, where it
    is and what it holds, and names its column by the grid's heading."""
    grid = find(seen, "table", "Position")
    table = grid.queryTable()
    for c, heading in enumerate(read[0]):
        header = table.getColumnHeader(c)
        if header is None or name(header) != heading:
            fail(f"the position grid's column {c} is headed "
                 f"'{name(header) if header else None}', not '{heading}'")
    row, col = 3, 0
    cell = table.getAccessibleAt(row, col)
    x, y, w, h = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    landed = []

    def listen(event):
        if role(event.source) == "table cell" and (event.type == "focus:" or event.detail1):
            landed.append(event.source)
    events = ["focus:", "object:state-changed:focused"]
    pyatspi.Registry.registerEventListener(listen, *events)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                   check=True)
    wait_for("the grid's focus", lambda: has(grid, pyatspi.STATE_FOCUSED), 10)
    pump(0.5)
    landed.clear()
    subprocess.run(["xdotool", "key", "Right"], check=True)

    def heard_cell():
        for source in landed:
            index = source.getIndexInParent()
            where = (table.getRowAtIndex(index), table.getColumnAtIndex(index))
            if where == (row, col + 1) and cell_text(source) == read[row][col + 1]:
                return True
        return False
    if not wait_for("the cell stepped to", heard_cell, 10):
        fail(f"stepping right from row {row}, column {col} of the position grid was not heard "
             f"as the cell '{read[row][col + 1]}' at row {row}, column {col + 1} "
             f"(heard {[(s.getIndexInParent(), cell_text(s)) for s in landed]})")
    pyatspi.Registry.deregisterEventListener(listen, *events)


def check_diagram_keys(seen):
    """The student clicks the diagram and presses Right: the screen reader
    hears the price the read-out moved to and the curve's value there."""
    diagram = find(seen, "image", "Diagram")
    if diagram is None:
        fail("the diagram is not on the accessibility bus")
        return
    heard = []

    def listen(event):
        if event.source is not None and name(event.source) == "Diagram":
            words = event.any_data if isinstance(event.any_data, str) else ""
            heard.append(words or event.source.description)
    events = ["object:property-change:accessible-description"]
    pyatspi.Registry.registerEventListener(listen, *events)
    x, y, w, h = diagram.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    # Clicked near its left edge, then the pointer taken off it, so that
    # only the keys read it.
    subprocess.run(["xdotool", "mousemove", str(x + 3), str(y + 3), "click", "1",
                    "mousemove", "0", "0"], check=True)
    wait_for("the diagram's focus", lambda: has(diagram, pyatspi.STATE_FOCUSED), 10)
    subprocess.run(["xdotool", "key", "End"], check=True)
    if not wait_for("the read-out heard", lambda: any(
            words.startswith("Price 100.00") for words in heard), 10):
        fail(f"End on the focused diagram was not heard as the price read (heard {heard})")
    else:
        say(f"diagram read: {[w for w in heard if w.startswith('Price')][-1]!r}")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    pyatspi.Registry.deregisterEventListener(listen, *events)


def analysis_text(seen):
    acc = find(seen, "text", "Analysis of the last plot")
    if acc is None:
        return None, ""
    try:
        t = acc.queryText()
        return acc, t.getText(0, -1)
    except NotImplementedError:
        fail("the analysis offers no text to a screen reader")
        return acc, ""


def choose_next_strategy(seen):
    """Moves the strategy list down one entry from the keyboard: the list
    takes the focus through the bus, a real key goes through the X server."""
    combo = find(seen, "combo box", "Strategy")
    if combo is None:
        return False
    component = combo.queryComponent()
    x, y, w, h = component.getExtents(pyatspi.DESKTOP_COORDS)
    # Nothing has the keyboard until a click: click the list, close what
    # opens once it is open, and step down once it is closed.
    entries = next((c for c in children(combo) if role(c) == "list"), None)

    def popup_open():
        return entries is not None and has(entries, pyatspi.STATE_SHOWING)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                   check=True)
    if not wait_for("the strategies shown", popup_open, 10):
        fail("clicking the strategy list did not open it")
        return False
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    if not wait_for("the strategy list closed", lambda: not popup_open() and
                    has(combo, pyatspi.STATE_FOCUSED), 10):
        fail("the strategy list did not close with Escape and keep the focus")
        return False
    subprocess.run(["xdotool", "key", "Down"], check=True)
    return True


def open_scenarios(frame):
    """Options > Scenarios Panel, chosen through the menu item's action as a
    screen reader chooses it; the table is checked once it shows."""
    for acc, _ in walk(frame):
        if role(acc) == "menu item" and name(acc) == "Scenarios Panel":
            action = acc.queryAction()
            action.doAction(0)
            shown = wait_for("the scenarios", lambda: any(
                role(a) == "table" and name(a) == "Scenarios" and
                has(a, pyatspi.STATE_SHOWING) for a, _ in walk(frame)), 20)
            if not shown:
                fail("Options > Scenarios Panel did not show the scenarios")
            return
    fail("no menu item 'Scenarios Panel'")


def main():
    app = wait_for("the program on the bus", lambda: application(PID), 60)
    if app is None:
        fail(f"process {PID} never appeared on the accessibility bus")
        return 1
    frame = wait_for("the window", lambda: frame_of(app), 60)
    if frame is None:
        fail("the program shows no window on the accessibility bus")
        return 1
    say(f"window '{name(frame)}'")

    # The window is read once its controls are in: the position grid and the
    # analysis (shown once the first curve is drawn).
    def ready():
        seen = list(walk(frame))
        names = {name(a) for a, _ in seen}
        return seen if {"Analysis of the last plot", "Position"} <= names else None
    if wait_for("the controls", ready, 60) is None:
        say("the window's controls did not all appear within a minute")

    open_scenarios(frame)
    seen = check_tree(frame)
    say(f"{len(seen)} nodes in the window")
    check_controls(seen)
    check_menus(seen)
    check_swatches(seen)
    before_grid = check_grid(seen)
    if before_grid and len(before_grid) > 3:
        check_grid_moves(seen, before_grid)
    check_diagram_keys(seen)
    readout, before = analysis_text(seen)
    if readout is not None and not before.strip():
        fail("the analysis reads as nothing")
    say(f"analysis: {before!r}")

    heard = []

    def listen(event):
        if event.source is not None and name(event.source) == "Analysis of the last plot":
            heard.append((event.type, str(event.any_data or "")))
    events = ["object:text-changed", "object:property-change:accessible-name",
              "object:property-change:accessible-description", "object:announcement"]
    pyatspi.Registry.registerEventListener(listen, *events)
    pump(0.5)
    if not choose_next_strategy(seen):
        return 1
    changed = wait_for("the new analysis", lambda: readout is not None and
                       readout.queryText().getText(0, -1) != before, 20)
    if not changed:
        fail("the analysis did not change with the strategy")
    pump(1.0)
    # What is heard must carry the new analysis's first line (the strategy
    # it describes), not only say that something changed.
    first_line = readout.queryText().getText(0, -1).split("\n")[0] if readout else ""
    if not any(first_line and first_line in words for _, words in heard):
        fail(f"the new analysis ('{first_line}') came without an event a screen reader "
             f"hears (heard {heard})")
    say(f"heard {sorted({kind for kind, _ in heard})}")
    after = wait_for("the new position", lambda: (lambda g: g if g != before_grid else None)(
        grid_rows(find(seen, "table", "Position"))), 10)
    if before_grid is not None and after is None:
        fail("the position grid reads the same after another strategy was chosen")
    pyatspi.Registry.deregisterEventListener(listen, *events)
    return 1 if failures else 0


if __name__ == "__main__":
    status = main()
    if failures:
        say(f"{len(failures)} failures")
    sys.exit(status)
