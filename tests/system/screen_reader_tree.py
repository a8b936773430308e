# Walks the program's window over AT-SPI, as a screen reader does, and checks that
# every control has a name and that the player's buttons are children of their own.
import sys
import time

import pyatspi

CONTROLS = {"push button", "slider", "text", "list", "spin button", "combo box", "check box", "toggle button"}


def find_app():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Tollbrook":
                return app
        time.sleep(0.1)
    sys.exit("no application named Tollbrook on the accessibility bus")


def nodes(node, depth=0):
    yield node, depth
    for i in range(node.childCount):
        yield from nodes(node.getChildAtIndex(i), depth + 1)


def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


app = find_app()
tree = list(nodes(app))
for node, depth in tree:
    print("  " * depth + f"{node.getRoleName()}: {node.name!r}" + ("" if enabled(node) else " [disabled]"))

faults = [f"{n.getRoleName()} without a name" for n, _ in tree if n.getRoleName() in CONTROLS and not n.name.strip()]
players = [n for n, _ in tree if n.name == "Player"]
if len(players) != 1:
    faults.append(f"{len(players)} players found")
else:
    buttons = [(b.getRoleName(), b.name, enabled(b)) for b in (players[0].getChildAtIndex(i) for i in range(players[0].childCount))]
    expected = [("push button", "Play", True)] + [("push button", n, False) for n in ("Pause", "Stop", "Next", "Prev", "Step", "Back")]
    if buttons != expected:
        faults.append(f"player buttons {buttons}, expected {expected}")
for f in faults:
    print("FAULT:", f)
sys.exit(1 if faults else 0)
