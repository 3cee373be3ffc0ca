"""The list editing commands on a list filled by the add command: Select all,
Invert twice, ticking rows with the mouse and with Space, Remove with
duplicates in the list, the status texts, and the list's context menu on
the highlighted rows (opened by mouse, Shift+F10 and the context-menu key)."""
import time
import unittest

from add_helpers import FULL, AddCase, example_rows
from harness import CMD_INVERT, CMD_REMOVE, CMD_SELECT_ALL, MNU_REMOVE


def marks(rows):
    return [checked for _, _, checked in rows]


class AddedListCommandsTest(AddCase):
    def wait_marks(self, expected, seconds=5):
        deadline = time.time() + seconds
        while time.time() < deadline and marks(self.driver.rows()) != expected:
            time.sleep(0.1)
        self.assertEqual(marks(self.driver.rows()), expected)

    def test_select_all_and_invert_twice(self):
        self.start()
        self.add_example()
        self.driver.click(CMD_SELECT_ALL)
        self.assertEqual(marks(self.driver.rows()), [True] * 8)
        self.driver.click(CMD_INVERT)
        self.assertEqual(marks(self.driver.rows()), [False] * 8)
        self.driver.tick(2)
        self.driver.click(CMD_INVERT)
        self.driver.click(CMD_INVERT)
        self.assertEqual(marks(self.driver.rows()), [i == 2 for i in range(8)])
        self.assertEqual(self.driver.status(), "8 items loaded...")

    def test_ticked_rows_are_removed_and_the_rest_keep_their_order(self):
        self.start()
        self.add_example()
        self.driver.tick(0)
        self.driver.tick(4, "space")
        self.driver.tick(7)
        self.driver.tick(5)
        self.driver.tick(5)  # a second click takes the mark off again
        self.wait_marks([i in (0, 4, 7) for i in range(8)])
        self.driver.click(CMD_REMOVE)
        self.wait_status("5 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows("S1\\", "S1\\S3\\", "S2\\", "b", "S1\\c"))

    def test_remove_takes_out_only_the_ticked_copy_of_a_duplicate(self):
        self.start()
        self.add_example()
        self.add_folder("C:\\T", "yes", "yes", clear="no")
        self.wait_status("16 items loaded...")
        self.driver.tick(12)  # the second C:\T\a
        self.wait_marks([i == 12 for i in range(16)])
        self.driver.menu(MNU_REMOVE)
        self.wait_status("15 items loaded...")
        rows = example_rows(*FULL)
        self.assertEqual(self.driver.rows(), rows + rows[:4] + rows[5:])
        self.driver.click(CMD_SELECT_ALL)
        self.driver.click(CMD_REMOVE)
        self.wait_status("0 items loaded...")
        self.assertEqual(self.driver.rows(), [])

    def test_context_menu_commands_act_on_the_highlighted_rows(self):
        self.start()
        self.add_example()  # C:\T\, S1\, S1\S3\, S2\, a, b, S1\c, S2\d
        self.driver.select(5, 4)
        self.driver.context_menu("mouse", "c")  # Copy path
        self.assertEqual(self.driver.clipboard(), "C:\\T\\a\r\nC:\\T\\b")
        self.driver.context_menu("apps", "t")  # Tick
        self.wait_marks([i in (4, 5) for i in range(8)])
        self.driver.select(5)
        self.driver.context_menu("shiftf10", "u")  # Untick
        self.wait_marks([i == 4 for i in range(8)])
        self.driver.tick(1)
        self.driver.select(1, 2)  # one ticked, one not
        self.driver.context_menu("mouse", "l")  # Remove from list
        self.wait_status("6 items loaded...")
        self.assertEqual(self.driver.rows(), [(p, t, p == "C:\\T\\a") for p, t, _ in
                                              example_rows("", "S2\\", "a", "b", "S1\\c", "S2\\d")])
        self.driver.click(CMD_REMOVE)  # the ticks still drive Remove
        self.wait_status("5 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows("", "S2\\", "b", "S1\\c", "S2\\d"))

    def test_open_containing_folder_shows_the_entrys_folder(self):
        self.start()
        self.add_example()
        self.assertFalse(self.driver.visible("S1"))
        self.driver.select(6)  # C:\T\S1\c
        self.driver.context_menu("mouse", "o")
        self.assertTrue(self.driver.wait("S1", 15000), "no file browser window for C:\\T\\S1")
        self.driver.run("close", "S1")
        self.driver.gone("S1", 5000)


if __name__ == "__main__":
    unittest.main()
