#!/usr/bin/python3
"""A client of the accessibility bus that reads and drives the album program
as a screen reader's user does, one step a run. Each run connects anew, and
so has the program hand over its whole tree as every client that starts
does; it finds windows and widgets by their names, clicks with the pointer,
types keys, and leaves once the window it closed is gone.

  a11y_client.py STEP ARG...   (PHOTOS: the album's photo count)
    main                   the main window with its buttons
    view ROW TITLE         the Open of the main window's row ROW: window
                           TITLE read whole, then left with Escape
    hub                    Edit in the main window: the edit hub, read
    editor TITLE BUTTON    the Open of the hub's row of album TITLE: the
                           album editor read whole, then left with BUTTON
    hub-close BUTTON       BUTTON in the hub
    quit                   Close in the main window
Exits with 1 and a line on standard error when a step goes wrong.
"""
import os
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

MAIN = "tavolin - photo albums"
HUB = "Edit"  # and the album editor
SHOWING = Atspi.StateType.SHOWING
ESCAPE = 0xFF1B
WAIT_SECONDS = 60
POLL_SECONDS = 0.05
PHOTO = re.compile(r"(^|/)p\d+\.jpg$")


def fail(text):
    sys.stderr.write("a11y_client %s: %s\n" % (" ".join(sys.argv[1:]), text))
    sys.exit(1)


def windows(title):
    """The program's shown windows named title, oldest first."""
    desktop = Atspi.get_desktop(0)
    for app in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
        if app is not None and app.get_name() == "tavolin":
            return [w for w in (app.get_child_at_index(k) for k in range(app.get_child_count()))
                    if w is not None and w.get_name() == title and w.get_state_set().contains(SHOWING)]
    return []


def wait(what, test):
    end = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < end:
        try:
            found = test()
        except GLib.Error:  # an object gone meanwhile
            found = None
        if found:
            return found
        time.sleep(POLL_SECONDS)
    fail("waited in vain for " + what)


def new_window(title, old=()):
    paths = {w.path for w in old}
    return wait(title, lambda: next((w for w in windows(title) if w.path not in paths), None))


def wait_gone(window, title):
    wait(title + " gone", lambda: window.path not in {w.path for w in windows(title)})


def below(window):
    """Every object below window, each asked its states, as a screen
    reader's review of the whole window does."""
    stack = [window]
    while stack:
        o = stack.pop()
        states = o.get_state_set()
        yield o, states
        stack.extend(c for c in (o.get_child_at_index(i) for i in range(o.get_child_count())) if c)


def centre(o):
    e = o.get_extents(Atspi.CoordType.SCREEN)
    return e.x + e.width // 2, e.y + e.height // 2


def shown(window, role, name):
    """The shown objects of role named name, top to bottom."""
    hits = [o for o, states in below(window) if states.contains(SHOWING) and
            o.get_role_name() == role and o.get_name() == name]
    return sorted(hits, key=lambda o: centre(o)[1]) or fail("no %s '%s'" % (role, name))


def row_button(window, row, name):
    """The button named name on the line of the label row."""
    y = centre(shown(window, "label", row)[0])[1]
    return min(shown(window, "push button", name), key=lambda b: abs(centre(b)[1] - y))


def click(o):
    Atspi.generate_mouse_event(*centre(o), "b1c")


def key(window, keysym):
    # No window manager: the keyboard goes where the pointer is.
    Atspi.generate_mouse_event(*centre(window), "abs")
    Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)


def read_rows(title, window, *more):
    """The window read whole: a row for every photo, with its name, its
    book toggles and more."""
    seen = [(o.get_role_name(), o.get_name()) for o, _ in below(window)]
    for role, name in (("label", PHOTO), ("check box", re.compile("^Best$"))) + more:
        n = sum(1 for r, text in seen if r == role and name.search(text))
        if n != int(os.environ["PHOTOS"]):
            fail("%s shows %d %s '%s'" % (title, n, role, name.pattern))


def main():
    step, args = sys.argv[1], sys.argv[2:]
    top = wait(MAIN, lambda: windows(MAIN))[0]
    if step == "main":
        for name in ("Edit", "Options", "Close"):
            shown(top, "push button", name)
    elif step == "view":
        row, title = args
        click(row_button(top, row, "Open"))
        window = new_window(title)
        read_rows(title, window)
        key(window, ESCAPE)
        wait_gone(window, title)
    elif step == "hub":
        click(shown(top, "push button", "Edit")[0])
        shown(new_window(HUB), "push button", "Cancel")
    elif step == "editor":
        title, button = args
        hub = wait(HUB, lambda: windows(HUB))[0]
        click(row_button(hub, title, "Open"))
        editor = new_window(HUB, [hub])
        read_rows("the editor", editor, ("radio button", re.compile("^Good$")))
        click(shown(editor, "push button", button)[0])
        wait_gone(editor, HUB)
        wait("the hub again", lambda: windows(HUB))
    elif step == "hub-close":
        hub = wait(HUB, lambda: windows(HUB))[0]
        click(shown(hub, "push button", args[0])[0])
        wait_gone(hub, HUB)
    elif step == "quit":
        click(shown(top, "push button", "Close")[0])
    else:
        fail("no such step")


main()
