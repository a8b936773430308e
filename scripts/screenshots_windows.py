"""Screenshots of the Windows program's windows under Wine (scripts/screenshots-windows.sh):
the program in a folder with a school day's schedule on a Wine desktop, driven by
keyboard and mouse through the system tests' library, each window cut from the X
screen at the place the probe reads.
    screenshots_windows.py OUTPUT_FOLDER
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "front-ends", "win32",
                                "system"))
from tollbrook_wine import Program, ScheduleFolder, WineDesktop, eventually, middle  # noqa: E402

DAY = [("rising.mp3", 6, 30), ("breakfast.mp3", 7, 0), ("morning-study.mid", 7, 20), ("first-class.wav", 8, 0),
       ("break.wav", 8, 45), ("eye-exercises.mp3", 10, 5), ("lunch.mp3", 12, 0), ("campus-radio.mp3", 12, 20),
       ("afternoon-class.wav", 14, 0), ("dinner.mp3", 17, 30), ("evening-study.mid", 19, 0),
       ("lights-out.mp3", 21, 30)]


def main(out):
    os.makedirs(out, exist_ok=True)
    desktop = WineDesktop("tollbrook-screenshots")
    folder = ScheduleFolder(desktop.probe)
    program = None
    try:
        folder.write_schedule([(f"C:\\Bells\\{name}", folder.format.render(h, m, 0)) for name, h, m in DAY])
        program = Program(folder, desktop)
        shots = Shots(desktop, out)
        shots.take_all()
    finally:
        if program:
            program.stop()
        desktop.close()
        folder.remove()
    print(f"screenshots in {out}/")


class Shots:
    def __init__(self, desktop, out):
        self.desktop, self.probe, self.screen, self.out = desktop, desktop.probe, desktop.screen, out

    def window(self, title, where=lambda w: True):
        window = self.probe.window(title, where, 90)
        if window is None:
            raise RuntimeError(f"no window {title!r}")
        time.sleep(1.0)  # painted
        return window

    def x(self, command):
        return subprocess.run(["bash", "-o", "pipefail", "-c", command], check=True, capture_output=True,
                              env=dict(os.environ, DISPLAY=self.screen.display)).stdout

    def x_window(self, rect):
        """The X window that Wine gives a top-level window on its desktop, by its place:
        the root's image shows some of them black, their own image does not."""
        width, height = rect[2] - rect[0], rect[3] - rect[1]
        place = f" {width}x{height}+{rect[0]}+{rect[1]} "
        for line in self.x("xwininfo -root -tree").decode(errors="replace").splitlines():
            if place in line + " ":
                return line.split()[0]
        raise RuntimeError(f"no X window at {rect}")

    def cut(self, name, rect):
        self.x(f"xwd -silent -id {self.x_window(rect)} | xwdtopnm 2>/dev/null | pnmtopng > '{self.out}/{name}.png'")

    def park(self):
        """The pointer out of the way, over the desktop's empty corner: no tooltip in the
        pictures."""
        self.screen.move((self.desktop.size[0] - 4, 4))
        time.sleep(0.7)

    def shot(self, name, title, where=lambda w: True):
        window = self.window(title, where)
        self.park()
        self.cut(name, window["rect"])
        return window

    def click_caption(self, window):
        """A click on a window's caption: once a box has gone, Wine leaves no window active."""
        self.screen.click((window["rect"][0] + 40, window["closeButton"][1]))

    def take_all(self):
        main = self.shot("main-window", "Tollbrook", lambda w: w["class"] == "TForm1")

        self.screen.keys("alt+o", "e")
        self.shot("editor", "Edit Playlist")
        self.screen.keys("alt+c")
        self.window("Confirm")
        self.screen.keys("alt+n")
        self.probe.gone("Edit Playlist")

        self.click_caption(main)
        self.screen.keys("alt+o", "v")
        self.shot("view", "Existing repertoire view")
        self.screen.keys("Escape")
        self.probe.gone("Existing repertoire view")

        self.click_caption(main)
        self.screen.keys("alt+a", "a")
        self.shot("about", "About software")
        self.screen.keys("Escape")
        self.probe.gone("About software")

        # The file dialog of the Play button, with its Chinese filter names.
        play = [c for c in main["controls"] if c["class"] == "Button" and c["text"] == "Play"][0]
        self.screen.click(middle(play["rect"]))
        self.shot("file-dialog", "Open", lambda w: w["class"] == "#32770")
        self.screen.keys("Escape")
        self.probe.gone("Open", lambda w: w["class"] == "#32770")

        self.click_caption(main)
        self.screen.keys("alt+e")
        self.shot("exit-question", "Exit system\uff1f")
        self.screen.keys("alt+n")
        self.probe.gone("Exit system\uff1f")

        # The tray menu above the icon, in the desktop's corner with the taskbar: the
        # corner from the screen, the menu from its own window.
        icon = eventually(lambda: self.desktop.icons("TollbrookV1.01"), 30)[0]
        self.screen.click(middle(icon["rect"]), button=3)
        menu = eventually(lambda: self.probe("menus"), 10)[0]
        self.park()
        left, top = min(menu["rect"][0], icon["rect"][0]) - 20, menu["rect"][1] - 20
        right, bottom = self.desktop.size
        x, y = self.screen.origin
        self.x(f"xwd -silent -id {self.x_window(menu['rect'])} | xwdtopnm 2>/dev/null > '{self.out}/menu.pnm'")
        self.x(f"xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut -left {x + left} -top {y + top} "
               f"-width {right - left} -height {bottom - top} | pnmpaste '{self.out}/menu.pnm' "
               f"{menu['rect'][0] - left} {menu['rect'][1] - top} | pnmtopng > '{self.out}/tray-menu.png'")
        os.remove(f"{self.out}/menu.pnm")
        self.screen.keys("Escape")


if __name__ == "__main__":
    main(sys.argv[1])
