"""The main window of the real program under Wine, from outside: a handler that fails
shows the error box while the program goes on, and "&Exit" ends it and takes its icon.
One test per ctest entry:
    python3 test_main_window.py ClassName.test_name
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_program import TIP, TITLE, ProgramTest, is_main
from tollbrook_wine import control, eventually, menu_item, middle, texts


class FailingHandler(ProgramTest):
    def test_double_click_on_an_empty_view_shows_the_error_box_over_a_live_loop(self):
        self.folder.write_schedule([])
        program = self.start()
        main = self.main_window()
        self.screen.click(middle(self.playlist_view(main)["rect"]), repeat=2)
        box = self.box(TITLE)
        self.assertIn("List index out of bounds (-1)", texts(box), "no full stop after a closing bracket")
        self.assertFalse(self.probe.window(TITLE, is_main, 5)["enabled"], "the box is not modal for the program")

        # The loop turns inside the box: the clock goes on.
        clock = control(self.main_window(), "Edit")["text"]
        self.assertTrue(eventually(lambda: control(self.main_window(), "Edit")["text"] != clock, 5),
                        "the clock stood still while the box was open")

        self.screen.keys("Return")
        self.assertTrue(self.probe.gone(TITLE, lambda w: not is_main(w), 10), "the box did not close")
        self.assertTrue(self.main_window()["enabled"], "the main window stayed disabled after the box")
        clock = control(self.main_window(), "Edit")["text"]
        self.assertTrue(eventually(lambda: control(self.main_window(), "Edit")["text"] != clock, 5),
                        "the clock stood still after the box")
        self.close_with_close_box(program)


class MainMenuExit(ProgramTest):
    def open_exit(self):
        item = menu_item(self.main_window()["menu"], "&Exit")
        self.assertIsNotNone(item, "no \"&Exit\" in the menu bar")
        self.screen.click(middle(item["rect"]))
        question = self.box("Exit system\uff1f")
        self.assertIn("Do you really want to exit\uff1f", texts(question))
        self.assertEqual(question["owner"], "0", "the question has an owner window")
        return question

    def test_no_goes_on_and_yes_ends_the_program_and_takes_its_icon(self):
        self.folder.write_schedule([])
        program = self.start()
        self.main_window()
        self.assertTrue(eventually(lambda: self.desktop.icons(TIP), 30), "no icon in the notification area")

        self.open_exit()
        self.screen.keys("n")
        self.assertTrue(self.probe.gone("Exit system\uff1f", seconds=10), "No did not close the question")
        self.assertFalse(eventually(lambda: not program.running(), 1), "No ended the program")
        self.assertTrue(self.main_window(5)["visible"], "after No the main window is hidden")

        self.open_exit()
        self.screen.keys("y")
        self.assertEqual(program.wait(30), 0, "the program did not end cleanly")
        self.assertTrue(eventually(lambda: not self.desktop.icons(TIP), 10), "the icon stayed in the notification area")


if __name__ == "__main__":
    unittest.main(verbosity=2)
