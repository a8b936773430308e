#!/usr/bin/env python3
"""Installs the Windows setup silently into the Wine prefix of scripts/wine-env.sh,
checks what it put where and where the installed program keeps its schedule, and
uninstalls it silently the way Apps & Features does; then unpacks the portable zip and
checks where the program keeps its schedule from there.

  windows_setup_test.py --setup SETUP --zip ZIP --program TOLLBROOK_EXE

The program is read from outside by tb_win32_probe (TB_PROBE) on a Wine desktop of the
test's own (tests/front-ends/win32/system/tollbrook_wine.py).
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
from tollbrook_wine import LongTimeFormat, WineDesktop, control, texts, wine_cannot_show  # noqa: E402

WINE = "/usr/lib/wine/wine64"
KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tollbrook"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "velnorsoftsp"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def expect(condition, message):
    if not condition:
        fail(message)


def wine(*args, timeout=120):
    """Runs a Windows program and waits for it to end. Its output goes through a file:
    Wine's desktop process, started by the first program that opens a window, inherits
    that program's standard streams and would hold a pipe open for ever."""
    with tempfile.TemporaryFile() as out:
        r = subprocess.run([WINE, *args], stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                           timeout=timeout)
        out.seek(0)
        r.stdout = out.read()
    return r


def text(output):
    return output.decode("utf-8", "replace").strip()


def environments(*names):
    """The values of Windows environment variables, asked of one cmd."""
    said = text(wine("cmd", "/c", "echo " + ";".join(f"%{n}%" for n in names)).stdout).split(";")
    expect(len(said) == len(names) and all("%" not in v for v in said), f"cmd said {said}")
    return said


def unix(windows_path):
    """Where a path of a drive of the prefix is on this machine (as winepath -u says,
    without starting Wine)."""
    drive, rest = windows_path.split(":", 1)
    return os.path.join(os.environ["WINEPREFIX"], "dosdevices", drive.lower() + ":", *rest.strip("\\").split("\\"))


def windows(unix_path):
    """The path on Wine's drive Z:, the root of this machine."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def reg_values(key):
    """The key's values as {name: (type, data)}, or None when there is no key."""
    r = wine("reg", "query", key)
    if r.returncode != 0:
        return None
    values = {}
    for line in text(r.stdout).splitlines():
        m = re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line.rstrip("\r"))
        if m:
            values[m.group(1)] = (m.group(2), m.group(3))
    return values


def run_value():
    values = reg_values(RUN_KEY) or {}
    return values.get(RUN_VALUE, (None, None))[1]


def set_run_value(path):
    r = wine("reg", "add", RUN_KEY, "/v", RUN_VALUE, "/t", "REG_SZ", "/d", path, "/f")
    expect(r.returncode == 0, f"reg add {RUN_VALUE}: {text(r.stdout)}")


def version_of(exe):
    """The file version of the executable's version resource, and its strings by key."""
    with open(exe, "rb") as f:
        data = f.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    expect(at >= 0, f"{exe} has no version resource")
    ms, ls = struct.unpack_from("<II", data, at + 8)

    def string(key):
        i = data.find(utf16(key + "\0"), at)
        if i < 0:
            return None
        j = i + 2 * (len(key) + 1)
        j += -j % 4  # the value is aligned to 32 bits
        end = j
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[j:end].decode("utf-16-le")

    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), string


def utf16(s):
    return s.encode("utf-16-le")


class Programs:
    """tollbrook.exe started by its Windows path on a Wine desktop of the test's own."""

    TITLE = "Tollbrook"

    def __init__(self):
        self.desktop = WineDesktop(f"tollbrooksetup{os.getpid()}")
        self.probe = self.desktop.probe

    def close(self):
        self.desktop.close()

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
        except (RuntimeError, subprocess.TimeoutExpired):
            pass
        try:
            process.wait(20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        process.stdout.close()

    def first_window(self, main):
        """The main window (main) or a message box, whichever the program shows."""
        window = self.probe.window(self.TITLE, lambda w: (w["class"] == "TForm1") == main, 90)
        expect(window is not None, "the program showed no " + ("main window" if main else "message box"))
        return window

    def schedule_folder(self, exe):
        """Where the program at `exe`, started with no schedule there, looks for it: the
        first file it cannot read, which its error box names."""
        started = self.start(exe)
        try:
            box = self.first_window(main=False)
        finally:
            self.stop(started)
        for line in texts(box):
            m = re.match(r'Cannot open file "(.*)\\qian\.ini"\. ', line)
            if m:
                return m.group(1)
        fail(f"the first box does not name qian.ini: {texts(box)}")

    def playlist(self, exe):
        """The rows the program at `exe` shows from the schedule it finds, once it shows
        its main window without an error box."""
        started = self.start(exe)
        try:
            main = self.first_window(main=True)
            time.sleep(1)
            boxes = [w for w in self.probe.windows(self.TITLE) if w["visible"] and w["class"] != "TForm1"]
            expect(not boxes, f"an error box is open: {[texts(b) for b in boxes]}")
            return control(main, "ListBox", lambda c: c["visible"])["rows"]
        finally:
            self.stop(started)


def install(setup, *options):
    started = time.monotonic()
    r = wine(setup, "/S", *options)
    expect(r.returncode == 0, f"{setup} /S exited with {r.returncode}")
    print(f"installed silently in {time.monotonic() - started:.1f} s")


def uninstaller_copies():
    """The uninstallers of this prefix running from their copy in the temporary folder
    (their command line names the install folder as _?=)."""
    copies = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                command = f.read()
            with open(f"/proc/{pid}/environ", "rb") as f:
                environment = f.read().split(b"\0")
        except OSError:
            continue
        if b"_?=" in command and b"WINEPREFIX=" + os.environ["WINEPREFIX"].encode() in environment:
            copies.append(pid)
    return copies


def run_uninstaller(folder):
    """Runs the registered QuietUninstallString and waits for the uninstaller, which
    copies itself to the temporary folder and goes on from there once started."""
    quiet = reg_values(KEY)["QuietUninstallString"][1]
    expect(quiet == f'"{folder}\\uninstall.exe" /S', f"QuietUninstallString {quiet!r}")
    started = time.monotonic()
    r = wine(folder + r"\uninstall.exe", "/S")
    expect(r.returncode == 0, f"{quiet} exited with {r.returncode}")
    while uninstaller_copies():
        expect(time.monotonic() - started < 60, "the uninstaller did not finish within 60 s")
        time.sleep(0.2)
    return time.monotonic() - started


def uninstall(folder):
    print(f"uninstalled silently in {run_uninstaller(folder):.1f} s")
    expect(reg_values(KEY) is None, f"{KEY} is left")


def check_installed(folder, program, shortcut):
    exe = folder + r"\tollbrook.exe"
    local = unix(folder)
    expect(sorted(os.listdir(local)) == ["tollbrook.exe", "uninstall.exe"], f"{folder} holds {os.listdir(local)}")
    with open(os.path.join(local, "tollbrook.exe"), "rb") as a, open(program, "rb") as b:
        expect(a.read() == b.read(), f"{exe} is not the built program")
    with open(unix(shortcut), "rb") as f:
        link = f.read()
    expect(exe.encode() in link or utf16(exe) in link, f"{shortcut} does not start {exe}")

    values = reg_values(KEY)
    expect(values is not None, f"no {KEY}")
    expected = {
        "DisplayName": ("REG_SZ", "Tollbrook"),
        "DisplayVersion": ("REG_SZ", "1.01"),
        "Publisher": ("REG_SZ", "The Tollbrook developers"),
        "DisplayIcon": ("REG_SZ", exe + ",0"),
        "InstallLocation": ("REG_SZ", folder),
        "UninstallString": ("REG_SZ", f'"{folder}\\uninstall.exe"'),
        "QuietUninstallString": ("REG_SZ", f'"{folder}\\uninstall.exe" /S'),
        "NoModify": ("REG_DWORD", "0x1"),
        "NoRepair": ("REG_DWORD", "0x1"),
    }
    for name, value in expected.items():
        expect(values.get(name) == value, f"{name} is {values.get(name)}, expected {value}")
    kind, size = values.get("EstimatedSize", (None, "0"))
    on_disk = sum(os.path.getsize(os.path.join(local, n)) for n in os.listdir(local)) // 1024
    expect(kind == "REG_DWORD" and abs(int(size, 16) - on_disk) <= 8, f"EstimatedSize {size} for {on_disk} KiB")


def write_schedule(folder, entries):
    """The three schedule files for (path, time text) entries, ASCII with CR LF, as the
    program saves them."""
    files = {"playlist.ini": [f"{p}|{t}" for p, t in entries], "qian.ini": [p for p, _ in entries],
             "hou.ini": [t for _, t in entries]}
    for name, lines in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"".join(line.encode("ascii") + b"\r\n" for line in lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--program", required=True)
    args = parser.parse_args()
    expect(os.environ.get("WINEPREFIX"), "no WINEPREFIX: run through scripts/test-windows.sh")

    program_files, program_data, app_data = environments("ProgramFiles", "ProgramData", "APPDATA")
    default_folder = program_files + r"\Tollbrook"
    shortcut = program_data + r"\Microsoft\Windows\Start Menu\Programs\Tollbrook.lnk"
    user_folder = app_data + r"\Tollbrook"
    expect(program_files.endswith(r":\Program Files"), f"ProgramFiles is {program_files}")
    expect(reg_values(KEY) is None and not os.path.exists(unix(default_folder)), "installed before the test")
    if os.path.isdir(unix(user_folder)) and not os.listdir(unix(user_folder)):
        os.rmdir(unix(user_folder))  # left empty by the schedule folder tests
    expect(not os.path.exists(unix(user_folder)), f"{user_folder} holds files before the test")

    version, string = version_of(args.setup)
    expect(version == (1, 1, 0, 0), f"the setup's file version is {version}")
    for key, value in (("ProductName", "Tollbrook"), ("FileDescription", "Tollbrook 1.01 setup"),
                       ("ProductVersion", "1.01"), ("CompanyName", "The Tollbrook developers")):
        expect(string(key) == value, f"the setup's {key} is {string(key)!r}")

    programs = Programs()
    try:
        run(args, programs, default_folder, shortcut, user_folder)
    finally:
        programs.close()
    wine_cannot_show("the elevation prompt, and a standard user's refusal to write Program Files and HKLM "
                     "(Wine runs as an administrator)")
    wine_cannot_show("how Apps & Features and the Start menu present the entry (checked here as the "
                     "registry values and the shortcut file)")
    print("PASS")


def run(args, programs, default_folder, shortcut, user_folder):
    # Into Program Files: the installed program keeps its schedule in %APPDATA%\Tollbrook,
    # made when missing, and finds a schedule put there.
    install(args.setup)
    check_installed(default_folder, args.program, shortcut)
    installed = default_folder + r"\tollbrook.exe"
    said = programs.schedule_folder(installed)
    expect(said == user_folder, f"the installed program looked in {said}, not {user_folder}")
    expect(os.path.isdir(unix(user_folder)), f"{user_folder} was not made")
    entry = (r"C:\bells\rise.wav", LongTimeFormat(programs.probe.locale()).render(6, 30, 0))
    write_schedule(unix(user_folder), [entry])
    rows = programs.playlist(installed)
    expect(rows == ["|".join(entry)], f"the installed program shows {rows}")

    # While the program runs, neither a new install nor the uninstaller changes anything;
    # the silent setup ends with ERROR_SHARING_VIOLATION.
    running = programs.start(installed)
    try:
        programs.first_window(main=True)
        r = wine(args.setup, "/S")
        expect(r.returncode == 32, f"a setup over the running program exited with {r.returncode}")
        run_uninstaller(default_folder)
    finally:
        programs.stop(running)
    check_installed(default_folder, args.program, shortcut)

    # Uninstalled: the program, its shortcut, its entry and its start at logon go; the
    # user's schedule stays.
    with open(os.path.join(unix(user_folder), "qian.ini"), "rb") as f:
        schedule = f.read()
    set_run_value(installed)
    uninstall(default_folder)
    expect(not os.path.exists(unix(default_folder)), f"{default_folder} is left")
    expect(not os.path.exists(unix(shortcut)), f"{shortcut} is left")
    expect(run_value() is None, f"{RUN_VALUE} is left: {run_value()}")
    with open(os.path.join(unix(user_folder), "qian.ini"), "rb") as f:
        expect(f.read() == schedule, "the user's schedule changed")

    # Into a folder of the administrator's choice: it counts as installed just the same,
    # and finds the schedule the last install left. A start at logon of another copy of
    # the program is not this uninstaller's.
    chosen = r"C:\Bells\Tollbrook"  # without a blank, which wine would quote, hiding the /D=
    install(args.setup, "/D=" + chosen)
    check_installed(chosen, args.program, shortcut)
    rows = programs.playlist(chosen + r"\tollbrook.exe")
    expect(rows == ["|".join(entry)], f"installed in {chosen}, the program shows {rows}")
    other = r"D:\Portable\tollbrook.exe"
    set_run_value(other)
    uninstall(chosen)
    expect(not os.path.exists(unix(chosen)), f"{chosen} is left")
    expect(run_value() == other, f"{RUN_VALUE} of another copy became {run_value()}")
    wine("reg", "delete", RUN_KEY, "/v", RUN_VALUE, "/f")

    # The portable zip holds the program alone; unpacked anywhere, the program keeps its
    # schedule beside itself, while %APPDATA%\Tollbrook holds a schedule.
    with zipfile.ZipFile(args.zip) as z:
        expect(z.namelist() == ["tollbrook.exe"], f"the zip holds {z.namelist()}")
        with tempfile.TemporaryDirectory() as unpacked, open(args.program, "rb") as built:
            z.extractall(unpacked)
            with open(os.path.join(unpacked, "tollbrook.exe"), "rb") as f:
                expect(f.read() == built.read(), "the zip's tollbrook.exe is not the built program")
            said = programs.schedule_folder(windows(unpacked) + r"\tollbrook.exe")
            expect(said == windows(unpacked), f"unpacked in {windows(unpacked)}, the program looked in {said}")
    shutil.rmtree(unix(user_folder))


if __name__ == "__main__":
    main()
