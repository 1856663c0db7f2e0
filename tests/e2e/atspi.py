#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The window as a screen reader sees it, through the real AT-SPI bus.
#   atspi.py PID tree           one line for each named box, button and menu item
#   atspi.py PID press NAME     runs the press action of the button NAME
#   atspi.py PID settext NAME T sets the text of the box NAME to T, as
#                               assistive technology edits a box
#   atspi.py PID menu X Y       opens the context menu at X Y of the window
#                               with the menu key, moves to its first entry
#                               and prints that entry's name
import subprocess
import sys
import time

import pyatspi


def application(pid):
    # The toolkit registers with the accessibility bus in its own time,
    # which a busy machine makes long.
    for _ in range(600):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    sys.exit(f"no accessible application with process {pid}")


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def main():
    pid, command = int(sys.argv[1]), sys.argv[2]
    nodes = list(walk(application(pid)))
    if command == "tree":
        for node in nodes:
            role = node.getRoleName()
            if role in ("text", "push button", "menu item"):
                actions = ""
                if role == "push button":
                    action = node.queryAction()
                    actions = " actions=" + ",".join(action.getName(i) for i in range(action.nActions))
                description = f" description={node.description}" if node.description else ""
                print(f"{role}: {node.name}{actions}{description}")
    elif command == "press":
        for node in nodes:
            if node.getRoleName() == "push button" and node.name == sys.argv[3]:
                action = node.queryAction()
                action.doAction(0)
                return
        sys.exit(f"no button {sys.argv[3]}")
    elif command == "settext":
        for node in nodes:
            if node.getRoleName() == "text" and node.name == sys.argv[3]:
                node.queryEditableText().setTextContents(sys.argv[4])
                return
        sys.exit(f"no box {sys.argv[3]}")
    elif command == "menu":
        # Qt keeps popup menus out of the tree; their entries are heard as
        # they take the focus.
        from gi.repository import GLib

        heard = []

        def focused(event):
            if event.detail1 and event.source.getRoleName() == "menu item":
                heard.append(event.source.name)
                pyatspi.Registry.stop()

        pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
        x, y = sys.argv[3], sys.argv[4]
        GLib.timeout_add(300, lambda: subprocess.run(
            ["xdotool", "mousemove", "--window", sys.argv[5], x, y, "click", "1",
             "key", "Menu", "Down"]) and False)
        GLib.timeout_add(60000, lambda: pyatspi.Registry.stop() or False)
        pyatspi.Registry.start()
        print(heard[0] if heard else "(nothing)")


main()
