"""Paths on the command line, as the shell's "open" verb and Send To pass
them: added as a drop adds them, in the one editing window of the session.
Later starts hand their paths to that window and end; a removal run takes
no part, and a folder named "Remove Files" is a path like any other."""
import os
import time
import unittest

from add_helpers import CLEAR_TEXT, AddCase, example_rows, folder_question, subfolder_question
from harness import MAIN, Program, desktop, wine_path

PROMPT = "Password"


class CommandLineTest(AddCase):
    def starts(self, *args):
        program = Program(*args)
        self.programs.append(program)
        return program

    def test_paths_open_a_window_of_their_own_beside_a_removal_run(self):
        os.makedirs(os.path.join(self.root, "Remove Files"))
        open(os.path.join(self.root, "Remove Files", "x"), "w").close()
        removal = self.start("Remove Files*C:\\nowhere\\list.txt", wait_main=False)
        self.assertTrue(self.driver.wait(PROMPT, 20000))
        home = wine_path(desktop())
        self.start(home, "C:\\T\\S2", "C:\\T\\a", "a", "C:\\T\\missing", "C:\\T\\Remove Files")
        self.answer_protected(home, "no")
        self.answer("Directory", subfolder_question("C:\\T\\S2"), "yes")
        self.answer("Directory", folder_question("C:\\T\\S2"), "yes")
        self.answer("Directory", subfolder_question("C:\\T\\Remove Files"), "no")
        self.answer("Directory", folder_question("C:\\T\\Remove Files"), "yes")
        self.wait_status("5 items loaded...")
        self.assertEqual(self.driver.rows(), example_rows("a", "S2\\", "S2\\d", "Remove Files\\", "Remove Files\\x"))
        self.assertTrue(removal.running())
        self.assertTrue(self.driver.visible(PROMPT))
        self.no_box("Clear", 500)
        # A later start's file asks "Clear"; Yes leaves it alone in the
        # list, and the status counts it.
        time.sleep(3)
        self.assertTrue(self.starts("C:\\T\\b").wait_exit(30))
        self.answer("Clear", CLEAR_TEXT, "yes")
        self.wait_rows(example_rows("b"))
        self.wait_status("1 items loaded...")

    def test_thirty_starts_at_once_land_in_the_open_window_with_one_clear_question(self):
        folder = os.path.join(self.root, "many")
        os.makedirs(folder)
        names = ["C:\\T\\many\\item %02d.txt" % i for i in range(30)]
        for name in names:
            open(os.path.join(folder, name.rsplit("\\", 1)[1]), "w").close()
        self.start()
        self.driver.drop("C:\\T\\a")
        self.wait_rows(example_rows("a"))
        starts = [self.starts(name) for name in names]
        # Every start hands over and ends while the question waits.
        for program in starts:
            self.assertTrue(program.wait_exit(180), "a start did not end")
        self.answer("Clear", CLEAR_TEXT, "no")
        rows = self.wait_count(31)
        self.assertEqual(rows[0], example_rows("a")[0])
        self.assertEqual(sorted(r[0] for r in rows[1:]), names)
        self.assertTrue(all(r[1] == "File" for r in rows))
        self.no_box("Clear")
        self.assertEqual(self.driver.windows().count(MAIN), 1)

    def test_a_start_made_while_a_question_is_open_waits_and_asks_clear_itself(self):
        self.start()
        self.driver.drop("C:\\T\\a")
        self.wait_rows(example_rows("a"))
        self.assertTrue(self.starts("C:\\T\\S2").wait_exit(30))
        self.answer("Clear", CLEAR_TEXT, "no")
        self.assertTrue(self.driver.wait("Directory"))
        # Long after the first selection, while its question is open, the
        # user sends another: it is not part of the first one.
        time.sleep(3.5)
        self.assertTrue(self.starts("C:\\T\\b").wait_exit(30))
        self.answer("Directory", subfolder_question("C:\\T\\S2"), "yes")
        self.answer("Directory", folder_question("C:\\T\\S2"), "yes")
        self.assertTrue(self.driver.wait("Clear", 5000), "the later start did not ask")
        self.answer("Clear", CLEAR_TEXT, "yes")
        self.wait_rows(example_rows("b"))
        self.wait_status("1 items loaded...")
        self.no_box("Clear", 500)

    def test_starts_at_the_same_moment_with_no_window_open_one(self):
        starts = [self.starts(path) for path in ("C:\\T\\a", "C:\\T\\b", "C:\\T\\S1\\c", "C:\\T\\S2\\d")]
        self.assertTrue(self.driver.wait(MAIN, 30000))
        rows = self.wait_count(4)
        self.assertEqual(sorted(rows), sorted(example_rows("a", "b", "S1\\c", "S2\\d")))
        for _ in range(600):
            if sum(not p.running() for p in starts) == 3:
                break
            time.sleep(0.1)
        self.assertEqual(sum(not p.running() for p in starts), 3)
        self.assertEqual(self.driver.windows().count(MAIN), 1)
        self.no_box("Clear", 500)

    def wait_count(self, count, seconds=30):
        for _ in range(seconds * 10):
            rows = self.driver.rows()
            if len(rows) >= count:
                break
            time.sleep(0.1)
        self.assertEqual(len(rows), count)
        return rows


if __name__ == "__main__":
    unittest.main()
