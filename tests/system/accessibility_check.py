# Reads the running program's windows over AT-SPI, as a screen reader does, and checks
# what a screen reader user hears in each:
#   - every control that takes the focus or shows text has a name;
#   - no two controls of a window share a name;
#   - a name is short: an instruction ("Double click here to ...") is a hint, and the
#     hint belongs in the description;
#   - the controls that have a hint carry it as their description;
#   - each player is a tool bar named as its window names it ("Player", "Preview player") whose buttons are push buttons named by
#     their function, available as the program's enabled set says.
# Opens the program's other windows through its menu, as a screen reader's user would.
# Exits 1 and prints each fault when a check fails.
#   python3 accessibility_check.py [--every-window]
# with DISPLAY and the session bus of the running program; --every-window runs the name
# checks in every window, also those not yet switched on below.
import subprocess
import sys
import time

import pyatspi

PLAYER_HINT = "This is the player, and you don't have to do anything"
BUTTONS = ("Play", "Pause", "Stop", "Next", "Previous", "Step", "Back", "Record", "Eject")

# The windows, how each is opened (a path through the main window's menu), the buttons
# its player shows with those that can be pressed (None: no player), and the hints its
# controls carry as descriptions (name: hint).
WINDOWS = [
    {"window": "main window", "menu": None,
     "player": (BUTTONS[:7], {"Play"}, "Player"), "hints": {"Player": PLAYER_HINT}},
    {"window": "view window", "menu": ("Option", "View Playlist"), "player": None, "hints": {}},
    {"window": "about window", "menu": ("About", "About"), "player": None, "hints": {}},
    {"window": "purchase window", "menu": ("About", "Buy Source Code"), "player": None, "hints": {}},
    # Modal: opened last. Its player has every button, and all can be pressed.
    {"window": "editor", "menu": ("Option", "Edit Playlist"), "player": (BUTTONS, set(BUTTONS), "Preview player"), "hints": {}},
]
# ------------------------------------------------------------------------------------
# The windows whose every control the name checks cover: all of them.
NAMES_CHECKED = {spec["window"] for spec in WINDOWS}
# ------------------------------------------------------------------------------------

# Roles a user acts on; each also takes the focus.
CONTROLS = {"push button", "toggle button", "check box", "radio button", "slider", "spin button", "combo box",
            "text", "password text", "list", "list box", "table", "tree table", "menu item", "check menu item",
            "page tab", "date editor", "tool bar"}
SHOWS_TEXT = {"label", "status bar", "text"}
LONGEST_NAME = 5  # words; more reads as an instruction


def wait_for(what, find, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit(f"FAULT: {what} did not appear within {seconds} s")


def find_app():
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Tollbrook":
                return app
        return None
    return wait_for("the application Tollbrook on the accessibility bus", find)


def children(node):
    return [c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c is not None]


def nodes(node, depth=0):
    yield node, depth
    for c in children(node):
        yield from nodes(c, depth + 1)


def has(node, state):
    return node.getState().contains(state)


def shown_text(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount).strip()
    except NotImplementedError:
        return ""


def press(node):
    """Presses a control as a screen reader does, without waiting for the press to end:
    a menu item that opens a modal window answers only when the window closes."""
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click", "toggle"):
            pending.append(subprocess.Popen(
                ["dbus-send", f"--bus={a11y_bus()}", "--print-reply", "--reply-timeout=600000",
                 f"--dest={node.app.bus_name}", node.path, "org.a11y.atspi.Action.DoAction", f"int32:{i}"],
                stdout=subprocess.DEVNULL))
            return
    sys.exit(f"FAULT: {node.name!r} has no press action")


pending = []  # presses whose answer has not come


def a11y_bus():
    out = subprocess.run(["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus", "/org/a11y/bus",
                          "org.a11y.Bus.GetAddress"], check=True, capture_output=True, text=True).stdout
    return out.strip()


def open_by_menu(app, path, known):
    """Opens a window through the main window's menu; returns the new window."""
    main = known[0]
    menubar = next(n for n, _ in nodes(main) if n.getRoleName() == "menu bar")
    item = menubar
    for name in path:  # a menu's items are under the menu item that opens it
        item = next((n for n, _ in nodes(item) if n is not item and n.getRoleName() == "menu item"
                     and n.name.replace("&", "") == name), None)
        if item is None:
            sys.exit(f"FAULT: no menu item {' > '.join(path)}")
    press(item)
    return wait_for(f"the window of {' > '.join(path)}",
                    lambda: next((w for w in children(app) if w not in known and has(w, pyatspi.STATE_SHOWING)), None))


def check_names(window, label):
    """The name checks of every control of a window; returns the faults."""
    faults, names = [], {}
    for node, _ in nodes(window):
        role = node.getRoleName()
        takes_focus = has(node, pyatspi.STATE_FOCUSABLE) and role in CONTROLS
        # A status bar's fields are there to show text, also while they are empty.
        in_status_bar = role == "label" and node.parent is not None and node.parent.getRoleName() == "status bar"
        shows = (role in SHOWS_TEXT and shown_text(node)) or in_status_bar
        if not (takes_focus or shows):
            continue
        name = node.name.strip()
        if not name:
            faults.append(f"{label}: a {role} without a name")
            continue
        names.setdefault(name, []).append(role)
        if takes_focus and len(name.split()) > LONGEST_NAME:
            faults.append(f"{label}: the {role} {name!r} is named with an instruction; that is its description")
    faults += [f"{label}: {len(roles)} controls named {n!r} ({', '.join(roles)})"
               for n, roles in names.items() if len(roles) > 1]
    return faults


def check_hints(window, label, hints):
    faults = []
    for name, hint in hints.items():
        found = [n for n, _ in nodes(window) if n.name == name]
        if len(found) != 1:
            faults.append(f"{label}: {len(found)} controls named {name!r}")
        elif found[0].description != hint:
            faults.append(f"{label}: {name!r} is described as {found[0].description!r}, not by its hint {hint!r}")
    return faults


def check_player(window, label, expected):
    """The player's own checks: what a screen reader hears of its buttons."""
    shown, pressable, name = expected
    players = [n for n, _ in nodes(window) if n.getRoleName() == "tool bar" and n.name == name]
    if len(players) != 1:
        return [f"{label}: {len(players)} tool bars named {name!r}"]
    player = players[0]
    seen = [(b.getRoleName(), b.name, has(b, pyatspi.STATE_ENABLED)) for b in children(player)]
    wanted = [("push button", n, n in pressable) for n in shown]
    faults = [] if seen == wanted else [f"{label}: the player's buttons are {seen}, not {wanted}"]
    return faults + check_names(player, f"{label}, player")


def main():
    app = find_app()
    known = [wait_for("the main window", lambda: next((w for w in children(app) if w.getRoleName() == "frame"), None))]
    faults, unchecked = [], []
    for spec in WINDOWS:
        label = spec["window"]
        window = known[0] if spec["menu"] is None else open_by_menu(app, spec["menu"], known)
        if spec["menu"] is not None:
            known.append(window)
        print(f"{label}: {window.getRoleName()} {window.name!r}")
        for node, depth in nodes(window):
            if depth:
                print("  " * depth + f"{node.getRoleName()}: {node.name!r}"
                      + (f" ({node.description!r})" if node.description else "")
                      + ("" if has(node, pyatspi.STATE_ENABLED) else " [unavailable]"))
        if spec["player"] is not None:
            faults += check_player(window, label, spec["player"])
        faults += check_hints(window, label, spec["hints"])
        if label in NAMES_CHECKED or "--every-window" in sys.argv:
            faults += check_names(window, label)
        else:
            unchecked.append(label)
    for f in faults:
        print("FAULT:", f)
    if unchecked:
        print("NOT YET CHECKED: the names of the controls of the", ", ".join(unchecked),
              "(only their players are checked)")
    return 1 if faults else 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    finally:
        for p in pending:
            p.kill()
