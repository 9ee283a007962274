#!/usr/bin/python3
"""The running window as assistive technology sees it on the AT-SPI bus: the
window, the banner, the report box and the buttons carry names and
descriptions; a report shown is announced as a change of the box's text; a
prompt's field is named by its question. Exits 1 naming what does not hold."""
import sys
import time

import pyatspi
from gi.repository import GLib


def wait_for(test, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        GLib.MainContext.default().iteration(False)
        found = test()
        if found:
            return found
        time.sleep(0.05)
    return None


def nodes(root):
    yield root
    for child in root:
        if child is not None:
            yield from nodes(child)


def node(app, role, name=None):
    return next((n for n in nodes(app) if n.getRole() == role and (name is None or n.name == name)), None)


failures = []


def check(holds, what):
    if not holds:
        failures.append(what)


app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "fortelle"), None))
if app is None:
    sys.exit("the program did not appear on the accessibility bus")
frame = wait_for(lambda: node(app, pyatspi.ROLE_FRAME, "Fortelle"))
check(frame is not None and frame.description, "the window has a name and a description")
box = node(app, pyatspi.ROLE_TEXT, "Report")
check(box is not None and box.description, "the report box has a name and a description")
check(node(app, pyatspi.ROLE_LABEL, "Banner") is not None, "the banner has a name")
pick3 = node(app, pyatspi.ROLE_PUSH_BUTTON, "Pick 3")
check(pick3 is not None and pick3.description == "Calculate the odds in the pick-3 game",
      "a button is named by its caption and described by its tooltip")

changes = []
pyatspi.Registry.registerEventListener(lambda e: changes.append(e), "object:text-changed")
pick3.queryAction().doAction(0)
check(wait_for(lambda: any(e.source == box for e in changes)), "a report shown is announced as new text")
check("The pick-3 game draws 3 digits" in box.queryText().getText(0, -1), "the box's text is the report")

node(app, pyatspi.ROLE_PUSH_BUTTON, "Horses").queryAction().doAction(0)
field = wait_for(lambda: next((n for n in nodes(app) if n.getRole() == pyatspi.ROLE_TEXT
                               and "How many horses in the race" in n.name), None))
check(field is not None, "a prompt's field is named by its question")
cancel = wait_for(lambda: node(app, pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
if cancel is not None:
    cancel.queryAction().doAction(0)

for failure in failures:
    print("not so: " + failure)
print("accessibility tree: %d of 7 checks hold" % (7 - len(failures)))
sys.exit(1 if failures else 0)
