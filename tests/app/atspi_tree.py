"""Reading a window through the accessibility bus as a screen reader does:
waiting for it, walking its tree, and what a node says of itself."""
import time

import pyatspi
from gi.repository import GLib


def pump(seconds):
    """Lets the bus deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.02)


def wait_for(what, probe, timeout):
    """probe() until it gives something, pumping events meanwhile."""
    end = time.monotonic() + timeout
    while True:
        try:
            found = probe()
        except Exception:  # the tree is still being built
            found = None
        if found:
            return found
        if time.monotonic() > end:
            return None
        pump(0.2)


def has(acc, state):
    try:
        return acc.getState().contains(state)
    except Exception:
        return False


def role(acc):
    try:
        return acc.getRoleName()
    except Exception:
        return ""


def name(acc):
    try:
        return acc.name or ""
    except Exception:
        return ""


def children(acc):
    try:
        return [acc.getChildAtIndex(i) for i in range(acc.childCount)]
    except Exception:
        return []


# The tutorial page's own tree belongs to the web engine, not to this window.
WEB_ROLES = {"document web", "document frame", "internal frame"}


def walk(acc, path=()):
    """Every node below acc with the names of its ancestors, the web page's
    content left out."""
    for child in children(acc):
        if child is None:
            continue
        here = path + (name(child) or role(child),)
        yield child, here
        if role(child) in WEB_ROLES or role(child) == "table cell":
            continue
        yield from walk(child, here)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def frame_of(app):
    for child in children(app):
        if role(child) == "frame" and has(child, pyatspi.STATE_SHOWING):
            return child
    return None


def labels(acc):
    """The names of what labels acc: a screen reader speaks them before the
    control's own name, which for a list is the entry chosen."""
    words = []
    try:
        for relation in acc.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(relation.getNTargets()):
                    words.append(name(relation.getTarget(i)))
    except Exception:
        pass
    return [w for w in words if w.strip()]


def cell_text(cell):
    text = name(cell)
    if text:
        return text
    try:
        t = cell.queryText()
        return t.getText(0, -1)
    except NotImplementedError:
        return ""
