"""The add command in file mode: one file, several files in the dialog's
order, Cancel, the "Clear" question, and the status and progress bars that
file mode leaves alone."""
import time
import unittest

from add_helpers import CLEAR_TEXT, OPEN_TITLE, AddCase, example_rows
from harness import CMD_ADD, MNU_ADD_FILE, OPT_ADD_FILE


class AddFileTest(AddCase):
    def open_dialog(self, via_menu=False):
        if via_menu:
            self.driver.menu(MNU_ADD_FILE)
        else:
            self.driver.click(OPT_ADD_FILE)
            self.driver.pclick(CMD_ADD)
        self.assertTrue(self.driver.wait(OPEN_TITLE), "the open dialog did not appear")

    def choose(self, typed, button="ok"):
        self.driver.run("file", OPEN_TITLE, typed, button)

    def wait_rows(self, count, seconds=10):
        deadline = time.time() + seconds
        while time.time() < deadline and len(self.driver.rows()) != count:
            time.sleep(0.1)
        return self.driver.rows()

    def test_one_file_becomes_one_entry_with_its_full_path(self):
        self.start()
        self.open_dialog()
        self.choose("C:\\T\\S1\\c")
        self.assertEqual(self.wait_rows(1), example_rows("S1\\c"))
        self.assertEqual(self.driver.status(), "")
        self.assertEqual(self.driver.progress(), (0, 100))

    def test_every_file_of_a_multiple_selection_is_added_in_the_dialogs_order(self):
        self.start()
        self.open_dialog()
        self.choose("C:\\T")  # moves the dialog into the folder
        time.sleep(0.5)
        self.choose('"b" "a"')
        self.assertEqual(self.wait_rows(2), example_rows("b", "a"))
        self.assertEqual(self.driver.status(), "")

    def test_cancel_adds_nothing_and_a_second_add_still_works(self):
        self.start()
        self.open_dialog()
        self.choose("C:\\T\\a", "cancel")
        self.driver.gone(OPEN_TITLE)
        time.sleep(0.5)
        self.assertEqual(self.driver.rows(), [])
        self.open_dialog(via_menu=True)
        self.choose("C:\\T\\S2\\d")
        self.assertEqual(self.wait_rows(1), example_rows("S2\\d"))

    def test_yes_to_clear_then_cancel_leaves_the_list_empty(self):
        self.start()
        self.open_dialog()
        self.choose("C:\\T\\a")
        self.wait_rows(1)
        self.driver.pclick(CMD_ADD)
        self.answer("Clear", CLEAR_TEXT, "yes")
        self.assertTrue(self.driver.wait(OPEN_TITLE))
        self.choose("", "cancel")
        self.driver.gone(OPEN_TITLE)
        self.assertEqual(self.wait_rows(0), [])

    def test_no_to_clear_keeps_the_list_and_appends(self):
        self.start()
        self.open_dialog()
        self.choose("C:\\T\\a")
        self.wait_rows(1)
        self.driver.pclick(CMD_ADD)
        self.answer("Clear", CLEAR_TEXT, "no")
        self.assertTrue(self.driver.wait(OPEN_TITLE))
        self.choose("C:\\T\\a")
        self.assertEqual(self.wait_rows(2), example_rows("a", "a"))


if __name__ == "__main__":
    unittest.main()
