#!/usr/bin/python3
# A real AT-SPI client, as Orca is one: finds the program by its process id,
# presses the toolbar button "Selec.prgntas test" through the button's own
# accessible action, and looks for the true/false selection window's lists
# and grids by the names a reader says. Exits 1, naming what it missed.
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW = "Selección de preguntas tipo test"
WANTED = {"Capítulos": "list", "Temas": "list",
          "Preguntas disponibles": "table", "Preguntas seleccionadas": "table"}
# Items and cells are no controls: a 500-row grid is thousands of objects.
LEAVES = {"list", "table", "tree", "tree table"}


def wait_for(find, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except GLib.Error:  # an object went away while the tree was walked: walk it again
            found = None
        if found is not None:
            return found
        time.sleep(0.1)
    return None


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            if child.getRoleName() not in LEAVES:
                yield from descendants(child)


def first(nodes, test):
    return next((node for node in nodes if node is not None and test(node)), None)


pid = int(sys.argv[1])
app = wait_for(lambda: first(pyatspi.Registry.getDesktop(0),
                             lambda app: app.get_process_id() == pid))
if app is None:
    sys.exit("atspi_names: the program never reached the accessibility bus")
button = wait_for(lambda: first(descendants(app), lambda node: node.name == "Selec.prgntas test"
                                and node.getRoleName() == "push button"))
if button is None:
    sys.exit("atspi_names: no toolbar button 'Selec.prgntas test'")
button.queryAction().doAction(0)
# A window of the program is a child of the application, whatever its role.
window = wait_for(lambda: first(app, lambda node: node.name == WINDOW))
if window is None:
    sys.exit(f"atspi_names: the window '{WINDOW}' did not open")
found = wait_for(lambda: {node.name: node.getRoleName() for node in descendants(window)
                          if node.getRoleName() in LEAVES}) or {}
missing = [f"{role} '{name}'" for name, role in WANTED.items() if found.get(name) != role]
if missing:
    sys.exit(f"atspi_names: not found by name: {', '.join(missing)} (the window has: {found})")
print("atspi_names: found " + ", ".join(f"{role} '{name}'" for name, role in WANTED.items()))
