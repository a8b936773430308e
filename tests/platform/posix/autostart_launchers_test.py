#!/usr/bin/env python3
"""Starts the autostart entry that the program writes with the launchers of Linux
desktops, for program folders whose names hold the characters that desktop-entry
quoting is about, and checks that exactly the registered program ran, once.

   autostart_launchers_test.py WRITE_AUTOSTART_HELPER

Launchers: dex, GLib's `gio launch`, and systemd's xdg-autostart generator, whose
unit systemd must accept (systemd-analyze verify; its warning about a machine without
cgroup2 aside) and whose ExecStart and WorkingDirectory are then run as systemd reads
them. A missing launcher fails."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

FOLDER_NAMES = [
    "school bells", "100%", "100%f", 'say "hi"', "back`tick", "cost$HOME",
    "back\\slash", "o'clock", "\u00e9cole",
]
UNIT = "app-velnorsoftsp@autostart.service"
# What systemd-analyze says of the generator's ExitType=cgroup on a machine without a
# cgroup2 hierarchy (a chroot, an older container): of the machine, not of the unit.
LEGACY_CGROUPS = "but we are running with legacy cgroups v1"
NOTES = set()
SCRIPT = '#!/bin/sh\necho {token} >> "{marker}"\n'


def find_generator():
    for d in ("/usr/lib/systemd/user-generators", "/lib/systemd/user-generators"):
        path = os.path.join(d, "systemd-xdg-autostart-generator")
        if os.access(path, os.X_OK):
            return path
    return None


def unit_words(value):
    """The argument list that systemd makes of an ExecStart value: its prefixes, the
    "%%" specifier, double and single quotes and C escapes. Any other specifier or an
    unquoted "$" (the entry's ExecStart carries ":", no variables) is an error here."""
    while value[:1] in ("-", "@", ":", "+", "!") and value:
        value = value[1:]
    data = value.encode()
    words, word, quote, i, have = [], bytearray(), None, 0, False
    escapes = {ord("a"): 7, ord("b"): 8, ord("f"): 12, ord("n"): 10, ord("r"): 13, ord("t"): 9,
               ord("v"): 11, ord("\\"): 92, ord('"'): 34, ord("'"): 39, ord("s"): 32}
    while i < len(data):
        c = data[i]
        if c == ord("%"):
            if data[i + 1:i + 2] != b"%":
                raise ValueError("a specifier in %r" % value)
            word.append(c); have = True; i += 2; continue
        if c == ord("\\"):
            n = data[i + 1]
            if n in escapes:
                word.append(escapes[n]); i += 2
            elif n == ord("x"):
                word.append(int(data[i + 2:i + 4], 16)); i += 4
            elif ord("0") <= n <= ord("7"):
                word.append(int(data[i + 1:i + 4], 8)); i += 4
            else:
                raise ValueError("an unknown escape in %r" % value)
            have = True; continue
        if quote is not None:
            if c == quote:
                quote = None
            else:
                word.append(c)
        elif c in (ord('"'), ord("'")):
            quote = c; have = True
        elif c in (ord(" "), ord("\t")):
            if have:
                words.append(bytes(word)); word = bytearray(); have = False
        else:
            word.append(c); have = True
        i += 1
    if quote is not None:
        raise ValueError("an open quote in %r" % value)
    if have:
        words.append(bytes(word))
    return [os.fsdecode(w) for w in words]


def unit_path(value):
    words = unit_words(value.lstrip("-"))
    if len(words) != 1:
        raise ValueError("not one path: %r" % value)
    return words[0]


def wait_for(marker, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if os.path.exists(marker):
            time.sleep(0.2)  # a second program, had one started, writes by now too
            return
        time.sleep(0.05)


def launch_dex(entry, case):
    run = subprocess.run(["dex", "--wait", entry], capture_output=True, text=True, cwd="/")
    return (run.stdout + run.stderr).strip()


def launch_gio(entry, case):
    run = subprocess.run(["gio", "launch", entry], capture_output=True, text=True, cwd="/")
    wait_for(case["marker"])
    return (run.stdout + run.stderr).strip()


def launch_systemd(entry, case):
    config = os.path.dirname(os.path.dirname(entry))
    out = os.path.join(case["work"], "units")
    os.mkdir(out)
    env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_CONFIG_DIRS=os.path.join(case["work"], "none"))
    gen = subprocess.run([GENERATOR, out, out, out], capture_output=True, text=True, env=env)
    unit = os.path.join(out, UNIT)
    if not os.path.exists(unit):
        return "no unit made: " + (gen.stdout + gen.stderr).strip()
    runtime = os.path.join(case["work"], "runtime")
    os.mkdir(runtime, 0o700)
    verify = subprocess.run(["systemd-analyze", "--user", "verify", unit], capture_output=True, text=True,
                            env=dict(os.environ, XDG_RUNTIME_DIR=runtime))
    said = "\n".join(line for line in (verify.stdout + verify.stderr).strip().splitlines()
                      if LEGACY_CGROUPS not in line)
    if LEGACY_CGROUPS in verify.stdout + verify.stderr:
        NOTES.add("systemd-analyze warns that this machine has no cgroup2 hierarchy (a chroot or a "
                  "container): of the machine, not of the unit, so that warning is let pass")
    if verify.returncode != 0 or UNIT in said:
        return "systemd-analyze verify: %d %s" % (verify.returncode, said)
    values = {}
    with open(unit, encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            values[key] = value
    try:
        argv = unit_words(values["ExecStart"])
        cwd = unit_path(values["WorkingDirectory"]) if "WorkingDirectory" in values else case["work"]
    except (KeyError, ValueError, IndexError) as e:
        return "unit: %s" % e
    try:
        subprocess.run(argv, cwd=cwd, timeout=20)
    except OSError as e:
        return "ExecStart %r: %s" % (argv, e)
    return ""


def removed_program_failures(helper):
    """Once the program is gone (the package purged), each launcher skips the entry
    (its TryExec) instead of trying to start a missing program: dex says nothing, gio
    does not load the entry, systemd's generator makes no unit."""
    failures = []
    for name in ("school bells", "100%f"):  # named directly, and through the link
        with tempfile.TemporaryDirectory() as work:
            program = os.path.join(work, "p", name, "tollbrook")
            os.makedirs(os.path.dirname(program))
            with open(program, "w", encoding="utf-8") as f:
                f.write(SCRIPT.format(token=0, marker=os.path.join(work, "ran")))
            os.chmod(program, 0o755)
            write = subprocess.run([helper, os.path.join(work, "config", "autostart"), program],
                                   capture_output=True, text=True)
            if write.returncode != 0:
                failures.append("%r: writing the entry: %s" % (name, write.stderr.strip()))
                continue
            entry = write.stdout.strip()
            os.remove(program)
            env = dict(os.environ, LC_ALL="C")
            dex = subprocess.run(["dex", "--wait", entry], capture_output=True, text=True, cwd="/", env=env)
            if (dex.stdout + dex.stderr).strip():
                failures.append("dex, removed program in %r: %s" % (name, (dex.stdout + dex.stderr).strip()))
            gio = subprocess.run(["gio", "launch", entry], capture_output=True, text=True, cwd="/", env=env)
            if "Unable to load" not in gio.stderr:
                failures.append("gio launch, removed program in %r: %s" % (name, gio.stderr.strip()))
            units = os.path.join(work, "units")
            os.mkdir(units)
            subprocess.run([GENERATOR, units, units, units], capture_output=True,
                           env=dict(env, XDG_CONFIG_HOME=os.path.join(work, "config"),
                                    XDG_CONFIG_DIRS=os.path.join(work, "none")))
            if os.path.exists(os.path.join(units, UNIT)):
                failures.append("systemd, removed program in %r: a unit was made" % name)
    return failures


def main():
    helper = sys.argv[1]
    missing = [t for t in ("dex", "gio", "systemd-analyze") if shutil.which(t) is None]
    global GENERATOR
    GENERATOR = find_generator()
    if GENERATOR is None:
        missing.append("systemd-xdg-autostart-generator")
    if missing:
        print("FAIL: launchers missing (scripts/install-deps.sh test installs them): " + ", ".join(missing))
        return 1
    launchers = [("dex", launch_dex), ("gio launch", launch_gio), ("systemd", launch_systemd)]
    failures, runs = [], 0
    for name in FOLDER_NAMES:
        for launcher, launch in launchers:
            runs += 1
            with tempfile.TemporaryDirectory() as work:
                marker = os.path.join(work, "ran")
                programs = {}
                # The folder, and its neighbours that a wrong reading of the name would reach.
                stripped = "".join(c for c in name if c.isalnum())
                for token, folder in enumerate(dict.fromkeys([name, name[:-1], stripped, "100"])):
                    os.makedirs(os.path.join(work, "p", folder), exist_ok=True)
                    program = os.path.join(work, "p", folder, "tollbrook")
                    with open(program, "w", encoding="utf-8") as f:
                        f.write(SCRIPT.format(token=token, marker=marker))
                    os.chmod(program, 0o755)
                    programs.setdefault(folder, str(token))
                program = os.path.join(work, "p", name, "tollbrook")
                write = subprocess.run([helper, os.path.join(work, "config", "autostart"), program],
                                       capture_output=True, text=True)
                if write.returncode != 0:
                    failures.append("%r: writing the entry: %s" % (name, write.stderr.strip()))
                    continue
                entry = write.stdout.strip()
                said = launch(entry, {"marker": marker, "work": work})
                ran = open(marker).read().split() if os.path.exists(marker) else []
                if ran != [programs[name]]:
                    who = [f for f, t in programs.items() if t in ran]
                    with open(entry, encoding="utf-8") as f:
                        exec_line = [l.strip() for l in f if l.startswith("Exec=")]
                    failures.append("%s, folder %r: expected that folder's program once, ran %s (%s) %s"
                                    % (launcher, name, who or "nothing", exec_line, said))
    runs += 2
    failures += removed_program_failures(helper)
    for note in NOTES:
        print("note: " + note)
    for f in failures:
        print("FAIL: " + f)
    print("%d passed, %d failed" % (runs - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
