#!/usr/bin/env python3
"""The Windows setup installed, checked and uninstalled silently in the Wine prefix of
scripts/wine-env.sh, as Apps & Features does it; then the portable zip unpacked. Where
the program keeps its schedule is read from its windows by tb_win32_probe (TB_PROBE) on
a Wine desktop of the test's own (tests/front-ends/win32/system/tollbrook_wine.py).

  windows_setup_test.py --setup SETUP --zip ZIP --program TOLLBROOK_EXE
"""
import argparse
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "front-ends", "win32", "system"))
from tollbrook_wine import (LongTimeFormat, WineDesktop, control, eventually, texts,  # noqa: E402
                            wine_cannot_show, windows_path)

WINE = "/usr/lib/wine/wine64"
KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tollbrook"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "velnorsoftsp"
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
TITLE = "Tollbrook"


def expect(condition, message):
    if not condition:
        print("FAIL: " + message)
        sys.exit(1)


def wine(*args, timeout=120):
    """Runs a Windows program to its end. Its output goes through a file: Wine's desktop
    process, started by the first program that opens a window, inherits that program's
    standard streams and would hold a pipe open for ever."""
    with tempfile.TemporaryFile() as out:
        r = subprocess.run([WINE, *args], stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                           timeout=timeout)
        out.seek(0)
        r.stdout = out.read().decode("utf-8", "replace").strip()
    return r


def unix(path):
    """Where a path on a drive of the prefix is here (winepath -u, without a Wine process)."""
    drive, rest = path.split(":", 1)
    return os.path.join(os.environ["WINEPREFIX"], "dosdevices", drive.lower() + ":", *rest.strip("\\").split("\\"))


def reg_values(key):
    """The key's values as {name: (type, data)}, or None when there is no key."""
    r = wine("reg", "query", key)
    if r.returncode != 0:
        return None
    found = (re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line.rstrip("\r")) for line in r.stdout.splitlines())
    return {m.group(1): (m.group(2), m.group(3)) for m in found if m}


def run_value():
    return (reg_values(RUN_KEY) or {}).get(RUN_VALUE, (None, None))[1]


def set_run_value(path):
    expect(wine("reg", "add", RUN_KEY, "/v", RUN_VALUE, "/d", path, "/f").returncode == 0, "reg add failed")


def version_of(exe):
    """The file version of the executable's version resource, and its strings by name."""
    with open(exe, "rb") as f:
        data = f.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    expect(at >= 0, f"{exe} has no version resource")
    ms, ls = struct.unpack_from("<II", data, at + 8)

    def string(name):
        key = data.find((name + "\0").encode("utf-16-le"), at)
        start = key + 2 * (len(name) + 1)
        start += -start % 4  # the value is aligned to 32 bits
        end = data.find(b"\0\0", start)
        end += (end - start) % 2  # at a character's end
        return data[start:end].decode("utf-16-le") if key >= 0 else None

    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), string


class Programs:
    """tollbrook.exe started by its Windows path on a Wine desktop of the test's own."""

    def __init__(self):
        self.desktop = WineDesktop(f"tollbrooksetup{os.getpid()}")
        self.probe = self.desktop.probe

    def start(self, exe):
        process = subprocess.Popen(self.probe.command("run", exe), cwd="/", text=True, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        first = json.loads(process.stdout.readline() or "{}")
        expect("pid" in first, f"{exe} did not start: {first}")
        return process, first["pid"]

    def stop(self, started):
        process, pid = started
        try:
            self.probe("kill", pid)
            process.wait(20)
        except (RuntimeError, subprocess.TimeoutExpired):
            process.kill()
            process.wait()
        process.stdout.close()

    def switch_auto_run_on(self, main):
        """"&System" > "&Auto Run" in the main window, by keyboard."""
        self.desktop.screen.click((main["rect"][0] + 40, main["closeButton"][1]))  # its caption
        self.desktop.screen.keys("alt+s", "a")

    def first_window(self, main):
        """The main window (main) or else a message box, whichever the program shows."""
        window = self.probe.window(TITLE, lambda w: (w["class"] == "TForm1") == main, 90)
        expect(window is not None, "the program showed no " + ("main window" if main else "message box"))
        return window

    def schedule_folder(self, exe):
        """Where the program, started with no schedule, looks for it: the folder of the
        first file it cannot read, which its error box names."""
        started = self.start(exe)
        try:
            box = self.first_window(main=False)
        finally:
            self.stop(started)
        said = [m.group(1) for m in (re.match(r'Cannot open file "(.*)\\qian\.ini"\. ', t) for t in texts(box)) if m]
        expect(said, f"the first box does not name qian.ini: {texts(box)}")
        return said[0]

    def playlist(self, exe):
        """The rows the program shows from the schedule it finds, without an error box."""
        started = self.start(exe)
        try:
            main = self.first_window(main=True)
            time.sleep(1)
            boxes = [w for w in self.probe.windows(TITLE) if w["visible"] and w["class"] != "TForm1"]
            expect(not boxes, f"an error box is open: {[texts(b) for b in boxes]}")
            return control(main, "ListBox", lambda c: c["visible"])["rows"]
        finally:
            self.stop(started)


def install(setup, *options):
    started = time.monotonic()
    expect(wine(setup, "/S", *options).returncode == 0, f"{setup} /S failed")
    print(f"installed silently in {time.monotonic() - started:.1f} s")


def nsis_temp(temp):
    """What NSIS programs made in the temporary folder (GetTempFileName's "ns*.tmp";
    other tests make their own folders there meanwhile)."""
    return {n for n in os.listdir(unix(temp)) if re.fullmatch(r"ns\w+\.tmp", n, re.IGNORECASE)}


def run_uninstaller(folder, temp):
    """The registered QuietUninstallString, as a deployment tool runs it: its exit code,
    and a function that says what it has left in the temporary folder so far."""
    quiet = reg_values(KEY)["QuietUninstallString"][1]
    expect(quiet == f'"{folder}\\uninstall.exe" /S', f"QuietUninstallString {quiet!r}")
    before = nsis_temp(temp)
    code = wine(folder + r"\uninstall.exe", "/S").returncode
    return code, lambda: nsis_temp(temp) - before


def uninstall(folder, shortcut, temp):
    started = time.monotonic()
    code, left = run_uninstaller(folder, temp)
    expect(code == 0, f"the uninstaller exited with {code}")
    # uninstall.exe, and with it the folder, goes once it has ended; the copy it ran in
    # the temporary folder, which cannot delete itself, at the next restart.
    expect(eventually(lambda: not os.path.exists(unix(folder)), 60),
           f"{folder} is left, holding {os.listdir(unix(folder)) if os.path.isdir(unix(folder)) else '-'}")
    pending = lambda: (reg_values(SESSION_MANAGER) or {}).get("PendingFileRenameOperations", (None, ""))[1]
    expect(eventually(lambda: all(f"{temp}\\{name}".lower() in pending().lower() for name in left()), 10),
           f"the uninstaller left {left()} in {temp}, to go at restart: {pending()!r}")
    print(f"uninstalled silently in {time.monotonic() - started:.1f} s")
    expect(not os.path.exists(unix(shortcut)), f"{shortcut} is left")
    expect(reg_values(KEY) is None, f"{KEY} is left")


def check_installed(folder, program, shortcut):
    exe = folder + r"\tollbrook.exe"
    files = sorted(os.listdir(unix(folder)))
    expect(files == ["tollbrook.exe", "uninstall.exe"], f"{folder} holds {files}")
    with open(unix(exe), "rb") as a, open(program, "rb") as b:
        expect(a.read() == b.read(), f"{exe} is not the built program")
    with open(unix(shortcut), "rb") as f:
        link = f.read()
    expect(exe.encode() in link or exe.encode("utf-16-le") in link, f"{shortcut} does not start {exe}")

    values = reg_values(KEY) or {}
    uninstaller = f'"{folder}\\uninstall.exe"'
    for name, value in (("DisplayName", "Tollbrook"), ("DisplayVersion", "1.01"),
                        ("Publisher", "The Tollbrook developers"), ("DisplayIcon", exe + ",0"),
                        ("InstallLocation", folder), ("UninstallString", uninstaller),
                        ("QuietUninstallString", uninstaller + " /S"), ("NoModify", 1), ("NoRepair", 1)):
        expected = ("REG_DWORD", hex(value)) if isinstance(value, int) else ("REG_SZ", value)
        expect(values.get(name) == expected, f"{name} is {values.get(name)}, expected {expected}")
    kind, size = values.get("EstimatedSize", (None, "0"))
    on_disk = sum(os.path.getsize(os.path.join(unix(folder), n)) for n in files) // 1024
    expect(kind == "REG_DWORD" and abs(int(size, 16) - on_disk) <= 8, f"EstimatedSize {size} for {on_disk} KiB")


def write_schedule(folder, entries):
    """The three schedule files for (path, time text) entries, as the program saves them."""
    for name, lines in (("playlist.ini", ["|".join(e) for e in entries]), ("qian.ini", [p for p, _ in entries]),
                        ("hou.ini", [t for _, t in entries])):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"".join(line.encode("ascii") + b"\r\n" for line in lines))


def setup_page(probe, heading):
    """The setup's window while it shows the page with this heading. Its caption is
    "Tollbrook Setup" on the welcome page and "Tollbrook Setup " (a blank after it) on the
    pages that follow."""
    for title in ("Tollbrook Setup", "Tollbrook Setup "):
        for window in probe.windows(title):
            if window["visible"] and heading in texts(window):
                return window
    return None


def installed_by_hand(args, programs, default_folder, shortcut, user_folder, temp):
    """The setup as someone runs it by hand: welcome, licence, folder, and the finish page,
    whose "Run Tollbrook" (ticked) starts the installed program."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "LICENSE")) as f:
        licence = f.read().split("\n")[0]
    setup = programs.start(windows_path(os.path.abspath(args.setup)))
    started = None
    try:
        for heading, button in (("Welcome to Tollbrook Setup", "&Next >"), ("License Agreement", "I &Agree"),
                                ("Choose Install Location", "&Install"), ("Completing Tollbrook Setup", "&Finish")):
            page = eventually(lambda: setup_page(programs.probe, heading), 120)
            expect(page is not None, f"the setup showed no page \"{heading}\"")
            if heading == "Welcome to Tollbrook Setup":
                expect(reg_values(KEY) is None, "the setup installed before its welcome page was passed")
            if heading == "License Agreement":
                expect(any(t.startswith(licence) for t in texts(page)), f"the licence page shows {texts(page)}")
            if heading == "Choose Install Location":
                expect(default_folder in texts(page), f"the folder page offers {texts(page)}")
            if heading == "Completing Tollbrook Setup":
                run = control(page, "Button", lambda c: c["text"] == "Run Tollbrook" and c["visible"])
                expect(run["checked"], "\"Run Tollbrook\" is not ticked")
            r = control(page, "Button", lambda c: c["text"] == button and c["visible"] and c["enabled"])["rect"]
            programs.desktop.screen.click(((r[0] + r[2]) // 2, (r[1] + r[3]) // 2))
        started = programs.first_window(main=True)["pid"]
        boxes = [w["class"] for w in programs.probe.windows(TITLE) if w["visible"] and w["class"] != "TForm1"]
        expect(not boxes, f"the installed program's first start showed {boxes}")
        print("\"Run Tollbrook\" started the installed program", flush=True)
        wine_cannot_show("that \"Run Tollbrook\" runs the program as the logged-on user rather than as the "
                         "administrator who ran the setup: Wine has one account")
    finally:
        if started is not None:
            programs.probe("kill", started)
        programs.stop(setup)
    check_installed(default_folder, args.program, shortcut)
    for name in ("playlist.ini", "qian.ini", "hou.ini"):
        expect(eventually(lambda: os.path.isfile(os.path.join(unix(user_folder), name)), 10),
               f"the program started by the setup made no {user_folder}\\{name}")
    uninstall(default_folder, shortcut, temp)
    shutil.rmtree(unix(user_folder))


def test(args, programs):
    said = wine("cmd", "/c", "echo %ProgramFiles%;%ProgramData%;%APPDATA%;%TEMP%").stdout.split(";")
    expect(len(said) == 4 and said[0].endswith(r":\Program Files"), f"cmd said {said}")
    temp = said[3]
    default_folder = said[0] + r"\Tollbrook"
    shortcut = said[1] + r"\Microsoft\Windows\Start Menu\Programs\Tollbrook.lnk"
    user_folder = said[2] + r"\Tollbrook"
    expect(reg_values(KEY) is None and not os.path.exists(unix(default_folder)), "installed before the test")
    if os.path.isdir(unix(user_folder)) and not os.listdir(unix(user_folder)):
        os.rmdir(unix(user_folder))  # left empty by the schedule folder tests
    expect(not os.path.exists(unix(user_folder)), f"{user_folder} holds files before the test")

    version, string = version_of(args.setup)
    expect(version == (1, 1, 0, 0), f"the setup's file version is {version}")
    for name, value in (("ProductName", "Tollbrook"), ("FileDescription", "Tollbrook 1.01 setup"),
                        ("ProductVersion", "1.01"), ("CompanyName", "The Tollbrook developers")):
        expect(string(name) == value, f"the setup's {name} is {string(name)!r}")

    # Into Program Files: the installed program keeps its schedule in %APPDATA%\Tollbrook,
    # made when missing, and finds a schedule put there.
    install(args.setup)
    check_installed(default_folder, args.program, shortcut)
    installed = default_folder + r"\tollbrook.exe"
    # Its first start makes the user's folder with the three files, empty, and shows no
    # error box.
    rows = programs.playlist(installed)
    expect(rows == [], f"the installed program's first start shows {rows}")
    for name in ("playlist.ini", "qian.ini", "hou.ini"):
        path = os.path.join(unix(user_folder), name)
        expect(os.path.isfile(path) and os.path.getsize(path) == 0, f"{user_folder}\\{name} was not made empty")
    entry = (r"C:\bells\rise.wav", LongTimeFormat(programs.probe.locale()).render(6, 30, 0))
    write_schedule(unix(user_folder), [entry])
    rows = programs.playlist(installed)
    expect(rows == ["|".join(entry)], f"the installed program shows {rows}")

    # The program's own Auto Run registers it, quoted. While it runs, neither a new install
    # nor the uninstaller changes anything; both end with ERROR_SHARING_VIOLATION.
    running = programs.start(installed)
    try:
        programs.switch_auto_run_on(programs.first_window(main=True))
        expect(eventually(lambda: run_value() == f'"{installed}"', 10), f"Auto Run wrote {run_value()!r}")
        code = wine(args.setup, "/S").returncode
        expect(code == 32, f"a setup over the running program exited with {code}")
        code, left = run_uninstaller(default_folder, temp)
        expect(code == 32 and not left(), f"the uninstaller of the running program exited with {code}, "
               f"leaving {left()} in {temp}")
    finally:
        programs.stop(running)
    check_installed(default_folder, args.program, shortcut)
    expect(run_value() == f'"{installed}"', f"{RUN_VALUE} became {run_value()!r}")

    # Uninstalled: the program, its uninstaller, its shortcut, its entry and its start at
    # logon go; the user's schedule stays.
    with open(os.path.join(unix(user_folder), "qian.ini"), "rb") as f:
        schedule = f.read()
    uninstall(default_folder, shortcut, temp)
    expect(run_value() is None, f"{RUN_VALUE} is left: {run_value()}")
    with open(os.path.join(unix(user_folder), "qian.ini"), "rb") as f:
        expect(f.read() == schedule, "the user's schedule changed")

    # Into a folder of the administrator's choice: installed just the same, it finds the
    # schedule the last install left. The start at logon an earlier version wrote
    # (unquoted) goes with it; one of another copy is not this uninstaller's to remove.
    chosen = r"C:\Bells\Tollbrook"  # without a blank, which wine would quote, hiding the /D=
    for run, stays in ((chosen + r"\tollbrook.exe", False), (r"D:\Portable\tollbrook.exe", True)):
        install(args.setup, "/D=" + chosen)
        check_installed(chosen, args.program, shortcut)
        if not stays:
            rows = programs.playlist(chosen + r"\tollbrook.exe")
            expect(rows == ["|".join(entry)], f"installed in {chosen}, the program shows {rows}")
        set_run_value(run)
        uninstall(chosen, shortcut, temp)
        expect(run_value() == (run if stays else None), f"{RUN_VALUE} {run!r} became {run_value()!r}")
    wine("reg", "delete", RUN_KEY, "/v", RUN_VALUE, "/f")

    # The portable zip holds the program alone; unpacked anywhere, the program keeps its
    # schedule beside itself, while %APPDATA%\Tollbrook holds one.
    with zipfile.ZipFile(args.zip) as z, tempfile.TemporaryDirectory() as unpacked:
        expect(z.namelist() == ["tollbrook.exe"], f"the zip holds {z.namelist()}")
        z.extractall(unpacked)
        with open(os.path.join(unpacked, "tollbrook.exe"), "rb") as a, open(args.program, "rb") as b:
            expect(a.read() == b.read(), "the zip's tollbrook.exe is not the built program")
        said = programs.schedule_folder(windows_path(unpacked) + r"\tollbrook.exe")
        expect(said == windows_path(unpacked), f"unpacked in {windows_path(unpacked)}, it looked in {said}")
    shutil.rmtree(unix(user_folder))
    installed_by_hand(args, programs, default_folder, shortcut, user_folder, temp)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--setup", "--zip", "--program"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    expect(os.environ.get("WINEPREFIX"), "no WINEPREFIX: run through scripts/test-windows.sh")
    programs = Programs()
    try:
        test(args, programs)
    finally:
        programs.desktop.close()
    wine_cannot_show("the elevation prompt, and a standard user's refusal to write Program Files and HKLM "
                     "(Wine runs as an administrator)")
    wine_cannot_show("a logon, at which Windows would start the Run value (checked as its text, the quoted path)")
    wine_cannot_show("how Apps & Features and the Start menu show the entry (checked as its registry values "
                     "and the shortcut file)")
    print("PASS")


if __name__ == "__main__":
    main()
