"""Files and folders dragged from another process and dropped on the main
window: files in drop order, folders through folder mode's questions one
after the other, one "Clear" question per drop, protected folders, a drop
that comes while an add or Load List is under way, and a drop whose search
is stopped. The driver drags with OLE (DoDragDrop with a CF_HDROP data
object), as the shell's file browser does."""
import unittest

from add_helpers import CLEAR_TEXT, PROTECTED_TITLE, AddCase, example_rows, folder_question, subfolder_question
from harness import CHK_SUBFOLDERS, CMD_ADD, CMD_LOAD, desktop, wine_path

LOAD_TITLE = "Find list to open"


class DropTest(AddCase):
    def test_dropped_files_are_file_entries_in_drop_order_with_the_copy_effect(self):
        self.start()
        report = self.driver.drop("C:\\T\\b", "C:\\T\\S1\\c", "C:\\T\\a")
        self.assertIn("effect=copy", report)
        self.assertIn("feedback=copy", report)  # the cursor shows the copy arrow
        self.wait_rows(example_rows("b", "S1\\c", "a"))
        self.driver.drop("C:\\T\\S2\\d", "C:\\T\\missing")
        self.answer("Clear", CLEAR_TEXT, "no")
        self.wait_rows(example_rows("b", "S1\\c", "a", "S2\\d"))

    def test_files_first_then_each_folder_with_its_questions_and_one_clear_question(self):
        self.start()
        self.driver.drop("C:\\T\\a")
        self.wait_rows(example_rows("a"))
        self.driver.drop("C:\\T\\S1", "C:\\T\\b", "C:\\T\\S2")
        self.answer("Clear", CLEAR_TEXT, "yes")
        self.answer("Directory", subfolder_question("C:\\T\\S1"), "yes")
        self.answer("Directory", folder_question("C:\\T\\S1"), "yes")
        self.answer("Directory", subfolder_question("C:\\T\\S2"), "no")
        self.answer("Directory", folder_question("C:\\T\\S2"), "yes")
        self.wait_status("6 items loaded...")
        self.no_box("Clear", 500)
        self.assertEqual(self.driver.rows(), example_rows("b", "S1\\", "S1\\S3\\", "S1\\c", "S2\\", "S2\\d"))

    def test_a_dropped_folder_follows_the_add_subfolders_setting(self):
        self.start()
        self.driver.click(CHK_SUBFOLDERS)
        self.driver.drop("C:\\T")
        self.answer("Directory", subfolder_question("C:\\T"), "yes")
        self.answer("Directory", folder_question("C:\\T"), "yes")
        self.wait_status("3 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows("", "a", "b"))

    def test_a_protected_folder_asks_and_a_drop_during_an_add_is_refused(self):
        folder = wine_path(desktop())
        self.start()
        self.driver.drop(folder)
        self.answer_protected(folder, "no")
        self.no_box("Directory")
        self.assertEqual(self.driver.rows(), [])
        self.driver.drop("C:\\T\\S2")
        self.assertTrue(self.driver.wait("Directory"))
        # Turned away: the first drop is still asking.
        self.assertIn("effect=0", self.driver.drop("C:\\T\\a", taken=False))
        self.answer("Directory", subfolder_question("C:\\T\\S2"), "no")
        self.answer("Directory", folder_question("C:\\T\\S2"), "no")
        self.wait_status("1 items loaded...")
        self.no_box("Clear", 500)
        self.assertEqual(self.driver.rows(), example_rows("S2\\d"))
        self.assertFalse(self.driver.visible(PROTECTED_TITLE))
        # Nor while Load List's dialog is open.
        self.driver.pclick(CMD_LOAD)
        self.assertTrue(self.driver.wait(LOAD_TITLE))
        self.assertIn("effect=0", self.driver.drop("C:\\T\\b", taken=False))
        self.driver.run("file", LOAD_TITLE, "", "cancel")
        self.assertTrue(self.driver.gone(LOAD_TITLE))
        self.no_box("Clear", 1000)
        self.assertEqual(self.driver.rows(), example_rows("S2\\d"))

    def test_a_stopped_search_ends_the_drop_and_says_what_the_drop_added(self):
        big = self.big_tree(200, 100, 0)
        self.start()
        self.driver.drop("C:\\T\\a")
        self.wait_rows(example_rows("a"))
        self.driver.drop(big, "C:\\T\\b", "C:\\T\\S2")
        self.answer("Clear", CLEAR_TEXT, "no")
        self.answer("Directory", subfolder_question(big), "no")
        self.answer("Directory", folder_question(big), "yes")
        self.wait_searching(big)
        self.driver.pclick(CMD_ADD)  # Stop
        self.wait_status("Search stopped: 2 items were added; 3 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows("a", "b") + [(big + "\\", "Folder", False)])
        self.no_box("Directory", 1000)  # C:\T\S2 is not asked about


if __name__ == "__main__":
    unittest.main()
