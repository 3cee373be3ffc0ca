"""The list editing commands on a list filled by the add command: Select all,
Invert twice, ticking rows with the mouse and with Space, Remove with
duplicates in the list, and the status texts."""
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


if __name__ == "__main__":
    unittest.main()
