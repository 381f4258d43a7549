# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads Zanvo's board view as a screen reader does, through AT-SPI.

Usage: screen_reader.py walk | focused | ask [CELL] | moves KEY...
  walk     the first board's group: its name, its 25 cells (name, role, text) and X
  focused  the name and text of the object that has the focus
  moves    presses each KEY (xdotool) and prints the objects that took the focus, with
           their parent, and whether a text or selection event came for them
  ask      asks the focused text field (or cell CELL of the first board) for the piece at,
           before and after every offset, for every boundary, as a screen reader does
           on Ctrl+Right; each answer must come within a second
Prints one line per fact; exits 1 when Zanvo is not on the accessibility bus or a
question goes unanswered."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib


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


def first_board(app):
    return next(n for n in walk(app) if n.getRoleName() in ("grouping", "panel") and n.name == "Brett 1")


def ask(node):
    """Every question a screen reader may ask about a single line of text."""
    text = node.queryText()
    length = text.characterCount
    asked = 0
    # A program that spins gives no answer: a second, not libatspi's 25, is enough.
    Atspi.set_timeout(1000, -1)
    for name, question in (("at", text.getTextAtOffset), ("before", text.getTextBeforeOffset),
                           ("after", text.getTextAfterOffset)):
        for offset in range(length + 1):
            for boundary in range(pyatspi.TEXT_BOUNDARY_LINE_END + 1):
                try:
                    question(offset, boundary)
                except Exception as error:
                    sys.exit(f"no answer to the text {name} {offset}, boundary {boundary}: {error}")
                asked += 1
    print("answered", asked, "questions about", text.getText(0, length))


def moves(keys):
    focused, touched = [], []

    def on_focus(event):
        if event.detail1 == 1:
            node = event.source
            focused.append(f"{node.name} | {text_of(node)} | in {node.parent.name}")

    def on_text(event):
        touched.append(event.type)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    pyatspi.Registry.registerEventListener(on_text, "object:text-selection-changed", "object:text-changed")
    context = GLib.MainContext.default()
    for key in keys:
        focused.clear()
        touched.clear()
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)
        end = time.time() + 1.5
        while time.time() < end:
            while context.iteration(False):
                pass
            time.sleep(0.02)
        print(key, "->", " ; ".join(focused) or "no focus event", "| text events:", len(touched))


def main():
    app = zanvo()
    if sys.argv[1] == "ask":
        if len(sys.argv) > 2:
            ask(first_board(app)[int(sys.argv[2])])
        else:
            ask(next(n for n in walk(app)
                     if n.getRole() == pyatspi.ROLE_TEXT and n.getState().contains(pyatspi.STATE_FOCUSED)))
    elif sys.argv[1] == "moves":
        moves(sys.argv[2:])
    elif sys.argv[1] == "walk":
        group = first_board(app)
        print("group", group.getRoleName(), group.name, group.childCount)
        for child in group:
            print("child", child.getRoleName(), child.name, "|", text_of(child))
    else:
        for node in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print("focused", node.getRoleName(), node.name, "|", text_of(node))


main()
