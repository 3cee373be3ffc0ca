"""The add command in folder mode on the example tree C:\\T: the three
outcomes, Cancel in the browser and on the questions, an empty folder, adds
in a row, the "Clear" question, Esc during a long search, and a long search
during which every other command on the list is refused until Stop."""
import os
import time
import unittest

from add_helpers import (BROWSER, CLEAR_TEXT, FULL, OPEN_TITLE, PROTECTED_TITLE, STOPPED_TEXT, AddCase,
                         example_rows, folder_question, subfolder_question)
from harness import (CHK_SUBFOLDERS, CMD_ADD, CMD_INVERT, CMD_LOAD, CMD_REMOVE, CMD_SAVE, CMD_SELECT_ALL, MAIN,
                     MNU_ADD_FILE, MNU_ADD_FOLDER, MNU_REMOVE, desktop, wine_path)

LIST_BUTTONS = (CMD_REMOVE, CMD_LOAD, CMD_SAVE, CMD_SELECT_ALL, CMD_INVERT)


class AddFolderTest(AddCase):
    def test_yes_to_both_with_subfolders_lists_folders_then_files(self):
        self.start()
        self.add_example()
        self.assertEqual(self.driver.rows(), example_rows(*FULL))
        self.assertEqual(self.driver.progress(), (4, 4))

    def test_no_to_the_first_question_leaves_out_the_subfolders(self):
        self.start()
        self.add_example("no", "yes", 5)
        self.assertEqual(self.driver.rows(), example_rows("", "a", "b", "S1\\c", "S2\\d"))

    def test_without_subfolders_only_the_folder_and_its_own_files(self):
        self.start()
        self.driver.click(CHK_SUBFOLDERS)
        self.add_example("yes", "yes", 3)
        self.assertEqual(self.driver.rows(), example_rows("", "a", "b"))
        self.assertEqual(self.driver.progress(), (2, 2))

    def test_cancel_on_the_questions_counts_as_no(self):
        self.start()
        self.add_example("cancel", "cancel", 4)
        self.assertEqual(self.driver.rows(), example_rows("a", "b", "S1\\c", "S2\\d"))

    def test_cancel_in_the_browser_asks_nothing_and_adds_nothing(self):
        self.start()
        self.browse("C:\\T", "cancel")
        self.no_box("Directory")
        self.assertEqual(self.driver.rows(), [])
        self.assertEqual(self.driver.status(), "")

    def test_empty_folder_adds_only_its_own_entry_and_keeps_the_status(self):
        os.makedirs(os.path.join(self.root, "E"))
        self.start()
        self.add_folder("C:\\T\\E", "yes", "yes")
        time.sleep(1)
        self.assertEqual(self.driver.rows(), [("C:\\T\\E\\", "Folder", False)])
        self.assertEqual(self.driver.status(), "")
        self.assertEqual(self.driver.progress(), (0, 100))

    def test_two_adds_in_a_row_append_each_own_results(self):
        self.start()
        self.add_example()
        self.add_folder("C:\\T\\S1", "yes", "no", clear="no")
        self.wait_status("10 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows(*FULL) + example_rows("S1\\S3\\", "S1\\c"))

    def test_the_same_folder_twice_gives_every_entry_twice(self):
        self.start()
        self.add_example()
        self.add_folder("C:\\T", "yes", "yes", clear="no")
        self.wait_status("16 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows(*FULL) * 2)

    def test_yes_to_clear_empties_the_list_even_when_the_browser_is_cancelled(self):
        self.start()
        self.add_example()
        self.driver.menu(MNU_ADD_FOLDER)
        self.answer("Clear", CLEAR_TEXT, "yes")
        self.pick("C:\\T", "cancel")
        self.driver.gone(BROWSER)
        self.assertEqual(self.driver.rows(), [])

    def test_clear_then_add_replaces_the_list(self):
        self.start()
        self.add_example("no", "no", 4)
        self.add_folder("C:\\T\\S2", "no", "yes", clear="yes")
        self.wait_status("2 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows("S2\\", "S2\\d"))

    def test_a_protected_folder_asks_first_no_adds_nothing_and_yes_goes_on(self):
        folder = wine_path(desktop())
        self.start()
        self.browse(folder)
        self.answer_protected(folder, "no")
        self.no_box("Directory")
        self.assertEqual(self.driver.rows(), [])
        self.browse(folder)
        self.answer_protected(folder, "yes")
        self.answer("Directory", subfolder_question(folder), "no")
        self.answer("Directory", folder_question(folder), "yes")
        self.driver.gone("Directory", 5000)
        self.assertIn((folder + "\\", "Folder", False), self.driver.rows())

    def test_a_protected_folder_found_inside_the_chosen_one_asks_on_its_own(self):
        os.symlink(desktop(), os.path.join(self.root, "S2", "Desktop"))
        self.start()
        self.add_folder("C:\\T", "yes", "yes")
        self.answer_protected("C:\\T\\S2\\Desktop\\", "no")
        self.wait_status("8 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows(*FULL))
        self.no_box(PROTECTED_TITLE, 500)

    def test_esc_stops_a_long_search_and_adds_nothing_and_add_waits_meanwhile(self):
        big = self.big_tree(200, 100, 0)
        self.start()
        self.add_folder(big, "no", "no")
        self.wait_searching(big)
        self.driver.menu(MNU_ADD_FOLDER)  # a second add does not start while one is searching
        self.driver.run("key", MAIN, CMD_ADD, 0x1B)
        self.wait_status(STOPPED_TEXT)
        self.assertEqual(self.driver.rows(), [])
        self.no_box(BROWSER, 1000)

    def controls(self):
        return {c["id"]: c for c in self.driver.children()}

    def test_while_a_search_runs_the_list_is_left_alone_and_stop_says_what_was_added(self):
        big = self.big_tree(400, 200, 0)
        self.start()
        self.add_example()
        os.makedirs(os.path.join(self.root, "E"))
        self.driver.tick(4)  # C:\T\a, for Remove to take out
        listed = [(path, kind, path == "C:\\T\\a") for path, kind, _ in example_rows(*FULL)]
        self.wait_rows(listed)
        self.add_folder(big, "no", "yes", clear="no")
        self.wait_searching(big)
        listed.append((big + "\\", "Folder", False))
        controls = self.controls()
        self.assertEqual((controls[CMD_ADD]["text"], controls[CMD_ADD]["enabled"]), ("Stop", True))
        self.assertEqual([controls[c]["enabled"] for c in LIST_BUTTONS], [False] * len(LIST_BUTTONS))
        # What still reaches the window is turned away: the commands as an
        # accelerator or the menu sends them, an access key, the context
        # menu, ticks by mouse and Space, and a drop.
        self.driver.menu(*LIST_BUTTONS, MNU_REMOVE, MNU_ADD_FILE, MNU_ADD_FOLDER)
        self.driver.run("alt", MAIN, "l")
        self.assertIn("no context menu", self.driver.run("ctx", MAIN, "mouse", "l", 1000, check=False))
        self.driver.tick(0)
        self.driver.tick(4, "space")
        self.assertIn("effect=0", self.driver.drop("C:\\T\\b", taken=False))
        self.assertEqual(set(self.driver.windows()) & {"Find list to open", "Password", "Save list", OPEN_TITLE,
                                                        BROWSER, "Clear"}, set())
        self.assertEqual(self.driver.rows(), listed)
        self.assertTrue(self.driver.status().startswith("Searching " + big), "the search ended too soon")
        self.driver.pclick(CMD_ADD)
        self.wait_status("Search stopped: 1 item was added; 9 items loaded...")
        self.assertEqual(self.driver.rows(), listed)
        controls = self.controls()
        self.assertEqual(controls[CMD_ADD]["text"].replace("&", ""), "Add")
        self.assertTrue(all(controls[c]["enabled"] for c in LIST_BUTTONS))
        self.no_box("Clear", 500)  # the turned-away drop does not come back
        # The report belongs to the stopped add: the next one replaces it,
        # here with the count, as the empty folder sets no status of its own.
        self.add_folder("C:\\T\\E", "no", "yes", clear="no")
        self.wait_status("10 items loaded...")
        self.assertEqual(self.driver.rows(), listed + [("C:\\T\\E\\", "Folder", False)])


if __name__ == "__main__":
    unittest.main()
