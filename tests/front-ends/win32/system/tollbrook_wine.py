"""The Windows program under Wine as a user meets it, for the system tests.

A test makes a folder with schedule files, starts tollbrook.exe from a copy in that
folder on a Wine desktop of its own (`wine explorer /desktop=...`, where the notification
area works and windows behave as on Windows), reads what the windows show through
tb_win32_probe, and types and clicks with xdotool (sink_recorder.py listens at the sound
server's null sink). Every wait is bounded, with limits that hold on a busy two-core
machine.

Runs under Debian's python3 with nothing beyond its standard library. The environment
comes from scripts/test-windows.sh (the Wine prefix, the X display, the sink) and from
the test's registration (TB_PROGRAM, TB_PROBE: the built executables).
"""

import array
import json
import math
import os
import shutil
import subprocess
import tempfile
import time
import wave

WINE = os.environ.get("TB_WINE", "/usr/lib/wine/wine64")


def required(name):
    value = os.environ.get(name)
    if not value:
        raise RuntimeError(f"{name} is not set: run the system tests through scripts/test-windows.sh")
    return value


def windows_path(path):
    """A Linux path as Windows programs under Wine name it (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def eventually(condition, seconds, step=0.25):
    """The first true answer of `condition` within `seconds`, else None."""
    end = time.monotonic() + seconds
    while True:
        answer = condition()
        if answer:
            return answer
        if time.monotonic() > end:
            return None
        time.sleep(step)


def wine_cannot_show(what):
    """Says in the test's output what this run cannot show under Wine."""
    print(f"WINE CANNOT SHOW: {what}", flush=True)


class Probe:
    """tb_win32_probe on one Wine desktop."""

    def __init__(self, desktop=None):
        self.exe = required("TB_PROBE")
        self.desktop = desktop

    def command(self, *args):
        base = [WINE, self.exe] + (["--desktop", self.desktop] if self.desktop else [])
        return base + [str(a) for a in args]

    def __call__(self, *args, timeout=60):
        for attempt in (1, 2):
            done = subprocess.run(self.command(*args), capture_output=True, text=True, timeout=timeout, cwd="/")
            if done.returncode == 0:
                return json.loads(done.stdout.strip().splitlines()[-1])
            failure = f"probe {' '.join(map(str, args))} failed ({done.returncode:#x}): {done.stderr.strip()}"
            # Once more: a window may have gone while it was read.
            print(failure + (", again" if attempt == 1 else ""), flush=True)
            time.sleep(0.5)
        raise RuntimeError(failure)

    def windows(self, title=None):
        return self(*(["windows", title] if title is not None else ["windows"]))

    def window(self, title, where=lambda w: True, seconds=60):
        """The visible window with exactly this title that `where` accepts, waited for."""
        def find():
            found = [w for w in self.windows(title) if w["visible"] and where(w)]
            return found[0] if found else None
        return eventually(find, seconds)

    def gone(self, title, where=lambda w: True, seconds=30):
        return eventually(lambda: not [w for w in self.windows(title) if w["visible"] and where(w)], seconds)

    def locale(self):
        return self("locale")


def controls(window, cls):
    """A window's controls of a class (case as Windows names them)."""
    return [c for c in window["controls"] if c["class"].lower() == cls.lower()]


def control(window, cls, where=lambda c: True):
    found = [c for c in controls(window, cls) if where(c)]
    if not found:
        raise AssertionError(f"no {cls} in the window {window['title']!r}")
    return found[0]


def texts(window):
    return [c["text"] for c in window["controls"]]


def middle(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


def menu_item(menu, text):
    """An item of a menu (the probe's list of items), by its caption, at any depth."""
    for item in menu or []:
        if item["text"] == text:
            return item
        found = menu_item(item.get("items"), text)
        if found:
            return found
    return None


class LongTimeFormat:
    """Time texts as the user's regional settings make them: hour with or without its
    leading zero, the time separator, minutes and seconds, and on the 12-hour clock the
    AM or PM string before or after. Made from the locale values the probe reads, not by
    the program's own code, so that a test checks the program's rendering."""

    def __init__(self, locale):
        flag = lambda name: int(locale[name] or "0")
        self.twelve_hour = flag("iTime") == 0
        self.leading_zero = flag("iTLZero") != 0
        self.marker_before = flag("iTimeMarkPosn") != 0
        self.am, self.pm = locale["s1159"], locale["s2359"]
        separator = locale["sTime"]
        self.separator = ":" if separator is None or len(separator) > 1 else separator

    def render(self, hour, minute, second):
        shown = hour
        if self.twelve_hour:
            shown = 12 if hour % 12 == 0 else hour % 12
        text = (f"{shown:02d}" if self.leading_zero else str(shown)) + \
            f"{self.separator}{minute:02d}{self.separator}{second:02d}"
        if not self.twelve_hour:
            return text
        marker = self.am if hour < 12 else self.pm
        return f"{marker} {text}" if self.marker_before else f"{text} {marker}"

    def of(self, epoch_seconds):
        t = time.localtime(epoch_seconds)
        return self.render(t.tm_hour, t.tm_min, t.tm_sec)


class ScheduleFolder:
    """A folder of its own with a copy of the program, as a school would unpack it."""

    def __init__(self, probe):
        self.path = tempfile.mkdtemp(prefix="tollbrook-system-")
        os.chmod(self.path, 0o755)
        shutil.copy(required("TB_PROGRAM"), os.path.join(self.path, "tollbrook.exe"))
        locale = probe.locale()
        self.codepage = f"cp{locale['ansiCodePage']}"
        self.format = LongTimeFormat(locale)

    def file(self, name):
        return os.path.join(self.path, name)

    def write_schedule(self, entries):
        """The three schedule files for (path, time text) entries, as the program saves
        them: the ANSI code page, every line ending in CR LF."""
        def write(name, lines):
            with open(self.file(name), "wb") as f:
                f.write(b"".join(line.encode(self.codepage) + b"\r\n" for line in lines))
        write("playlist.ini", [f"{path}|{text}" for path, text in entries])
        write("qian.ini", [path for path, _ in entries])
        write("hou.ini", [text for _, text in entries])

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


def write_tone(path, frequency=440, milliseconds=600, amplitude=0.5, rate=44100):
    """A WAV of one sine tone."""
    count = rate * milliseconds // 1000
    samples = array.array("h", (int(amplitude * 32767 * math.sin(2 * math.pi * frequency * i / rate))
                                for i in range(count)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples.tobytes())


class Screen:
    """The X display and the Wine desktop window on it: input as a user gives it."""

    def __init__(self, desktop_title):
        self.display = required("TOLLBROOK_TEST_DISPLAY")
        self.desktop_title = desktop_title
        self.origin = (0, 0)

    def x(self, *args, check=False):
        done = subprocess.run(list(args), capture_output=True, text=True, timeout=30,
                              env=dict(os.environ, DISPLAY=self.display))
        if check and done.returncode != 0:
            raise RuntimeError(f"{args[0]} failed: {done.stderr.strip()}")
        return done.stdout

    def find_desktop(self):
        """The Wine desktop's X window; where its inside starts on the screen (Win32
        coordinates inside it count from there)."""
        info = self.x("xwininfo", "-name", self.desktop_title)
        values = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        if "Absolute upper-left X" not in values:
            return False
        self.origin = (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]))
        return True

    def focus(self):
        """Keys go to the desktop, and there to Windows' foreground window."""
        ids = self.x("xdotool", "search", "--name", "^" + self.desktop_title + "$").split()
        if ids:
            self.x("xdotool", "windowactivate", "--sync", ids[0])

    def keys(self, *names):
        self.focus()
        self.x("xdotool", "key", "--delay", "80", *names, check=True)

    def type(self, text):
        self.focus()
        self.x("xdotool", "type", "--delay", "40", text, check=True)

    def click(self, point, button=1, repeat=1):
        self.focus()
        x, y = self.origin[0] + point[0], self.origin[1] + point[1]
        self.x("xdotool", "mousemove", "--sync", str(x), str(y), check=True)
        self.x("xdotool", "click", "--repeat", str(repeat), "--delay", "90", str(button), check=True)

    def move(self, point):
        self.x("xdotool", "mousemove", str(self.origin[0] + point[0]), str(self.origin[1] + point[1]), check=True)


class WineDesktop:
    """`wine explorer /desktop=NAME,WxH`: a desktop with a taskbar and notification area,
    in one X window. Started empty, and held open by a process on it (Wine closes a
    desktop when the last process on it ends); the program is started into it.

    As large as the X screen, which Wine then shows full-screen: Wine keeps a desktop's
    size as the monitor's for the prefix's later processes, which must still see the
    screen's (and at 800 x 600 the centred main window would cover the taskbar)."""

    def __init__(self, name):
        self.name = name
        self.probe = Probe(name)
        self.screen = Screen(f"{name} - Wine desktop")
        root = self.screen.x("xwininfo", "-root", check=True)
        self.size = tuple(int(line.split(":")[1]) for line in root.splitlines()
                          if line.strip().startswith(("Width:", "Height:")))
        self.explorer = subprocess.Popen([WINE, "explorer", f"/desktop={name},{self.size[0]}x{self.size[1]}"], cwd="/",
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.holder = None  # for close(), should the wait below fail
        self.holder = eventually(self._hold, 90, step=0.5)
        if not self.holder or not eventually(self.screen.find_desktop, 30):
            self.close()
            raise RuntimeError(f"the Wine desktop {name} did not come up")

    def _hold(self):
        holder = subprocess.Popen(self.probe.command("hold"), cwd="/", text=True,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if "holding" in holder.stdout.readline():  # the desktop exists
            return holder
        holder.wait()
        holder.stdout.close()
        return None

    def icons(self, tip):
        tray = self.probe("tray")
        return [i for i in (tray or {}).get("icons", []) if i["tip"] == tip and i["shown"]]

    def close(self):
        if self.holder:
            self.holder.kill()
            self.holder.wait()
            self.holder.stdout.close()
        if self.explorer.poll() is None:
            self.explorer.terminate()
            try:
                self.explorer.wait(20)
            except subprocess.TimeoutExpired:
                self.explorer.kill()
                self.explorer.wait()


class Program:
    """tollbrook.exe started from its folder on a Wine desktop, as a user double-clicks
    it; its exit code is collected when it ends."""

    def __init__(self, folder, desktop):
        self.probe = desktop.probe
        exe = windows_path(folder.file("tollbrook.exe"))
        self.process = subprocess.Popen(self.probe.command("run", exe), cwd="/", text=True,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        first = json.loads(self.process.stdout.readline() or "{}")
        if "pid" not in first:
            raise RuntimeError(f"tollbrook.exe did not start: {first}")
        self.pid = first["pid"]
        self.exit_code = None

    def running(self):
        return self.process.poll() is None

    def wait(self, seconds):
        """The program's exit code, when it has ended within `seconds`; else None."""
        if self.exit_code is not None:
            return self.exit_code
        try:
            self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            return None
        last = self.process.stdout.read().strip().splitlines()
        self.process.stdout.close()
        self.exit_code = json.loads(last[-1])["exit"] if last else None
        return self.exit_code

    def stop(self):
        """Ends a program that a test left running."""
        if self.running():
            try:
                self.probe("kill", self.pid)
            except (RuntimeError, subprocess.TimeoutExpired):
                pass
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if not self.process.stdout.closed:
            self.process.stdout.close()
