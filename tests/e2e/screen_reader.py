# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads Zanvo's board view as a screen reader does, through AT-SPI.

Usage: screen_reader.py walk | focused
  walk     the first board's group: its name, its 25 cells (name, role, text) and X
  focused  the name and text of the object that has the focus
Prints one line per fact; exits 1 when Zanvo is not on the accessibility bus."""
import sys
import time

import pyatspi


def zanvo():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower().startswith("zanvo"):
                return app
        time.sleep(0.1)
    sys.exit("zanvo is not on the accessibility bus")


def walk(node, depth=0):
    yield node
    if depth > 12:
        return
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def main():
    app = zanvo()
    if sys.argv[1] == "walk":
        group = next(n for n in walk(app) if n.getRoleName() in ("grouping", "panel") and n.name == "Brett 1")
        print("group", group.getRoleName(), group.name, group.childCount)
        for child in group:
            print("child", child.getRoleName(), child.name, "|", text_of(child))
    else:
        for node in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print("focused", node.getRoleName(), node.name, "|", text_of(node))


main()
