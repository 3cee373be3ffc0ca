"""Shared steps of the add-command tests: the example tree C:\\T inside the
prefix, the folder browser, the questions and waiting for the outcome."""
import os
import shutil
import time

from harness import CMD_ADD, MAIN, E2ETest, drive_c

BROWSER = "Browse for Folder"
OPEN_TITLE = "Show Open"
CLEAR_TEXT = "Do you wish to clear the list before adding new data?"
STOPPED_TEXT = "Search stopped: nothing was added."
PROTECTED_TITLE = "Protected location"


def subfolder_question(folder):
    return ("Do you wish to remove folders within " + folder + "\\ have no files in them after file deletetion?")


def folder_question(folder):
    return "Do you wish to remove the " + folder + "\\ folder if it has no files left in it?"


def example_rows(*names):
    """Rows for paths below C:\\T: names ending in a backslash are folders."""
    rows = []
    for name in names:
        path = "C:\\T" + ("\\" + name if name else "\\")
        rows.append((path, "Folder" if path.endswith("\\") else "File", False))
    return rows


FULL = ["", "S1\\", "S1\\S3\\", "S2\\", "a", "b", "S1\\c", "S2\\d"]


class AddCase(E2ETest):
    """Each test gets a fresh C:\\T holding the example tree."""

    def setUp(self):
        super().setUp()
        self.root = os.path.join(drive_c(), "T")
        shutil.rmtree(self.root, ignore_errors=True)
        for folder in ["S1/S3", "S2"]:
            os.makedirs(os.path.join(self.root, folder))
        for name in ["a", "b", "S1/c", "S2/d"]:
            with open(os.path.join(self.root, name), "w") as f:
                f.write(name)

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.root, ignore_errors=True)

    def answer(self, title, text, button):
        """Waits for the box that shows `text` (one of the same title may
        still be closing), then presses the button."""
        seen = None
        for _ in range(100):
            if self.driver.wait(title, 10000):
                seen = self.driver.msgbox(title)
                if seen == text:
                    break
            time.sleep(0.1)
        self.assertEqual(seen, text)
        self.driver.msgbox(title, button)

    def answer_protected(self, folder, button):
        """The "Protected location" question about `folder`, the Desktop."""
        self.assertTrue(self.driver.wait(PROTECTED_TITLE), "no question about " + folder)
        text = self.driver.msgbox(PROTECTED_TITLE)
        self.assertTrue(text.startswith(folder + " is your Desktop folder. It holds the files on your desktop."), text)
        self.driver.msgbox(PROTECTED_TITLE, button)
        self.driver.gone(PROTECTED_TITLE, 5000)

    def no_box(self, title, ms=1500):
        self.assertFalse(self.driver.wait(title, ms), title + " appeared")

    def wait_status(self, text, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.driver.status() == text:
                return
            time.sleep(0.1)
        self.assertEqual(self.driver.status(), text)

    def big_tree(self, folders, subfolders, files):
        """C:\\Big: `folders` folders of `subfolders` folders of `files` empty
        files each, for a search that lasts long enough to act while it runs
        (folders cost the search far more than files)."""
        root = os.path.join(drive_c(), "Big")
        shutil.rmtree(root, ignore_errors=True)
        self.addCleanup(shutil.rmtree, root, True)
        for i in range(folders):
            for j in range(subfolders):
                folder = os.path.join(root, "f%03d" % i, "g%03d" % j)
                os.makedirs(folder)
                for k in range(files):
                    open(os.path.join(folder, "x%04d" % k), "w").close()
        return "C:\\Big"

    def wait_searching(self, folder):
        """Waits until the status shows the search of `folder` under way."""
        searching = ""
        for _ in range(100):
            searching = self.driver.status()
            if searching.startswith("Searching " + folder):
                return
            time.sleep(0.05)
        self.fail("no search of %s under way: %r" % (folder, searching))

    def wait_rows(self, rows, seconds=10):
        deadline = time.time() + seconds
        while time.time() < deadline and self.driver.rows() != rows:
            time.sleep(0.1)
        self.assertEqual(self.driver.rows(), rows)

    def pick(self, folder, button="ok"):
        self.assertTrue(self.driver.wait(BROWSER), "the folder browser did not appear")
        self.driver.run("bff", BROWSER, folder, button)

    def browse(self, folder, button="ok"):
        self.driver.pclick(CMD_ADD)
        self.pick(folder, button)

    def add_folder(self, folder, subfolders_answer, folder_answer, shown=None, clear=None):
        """One folder add with both questions answered; `shown` is the folder
        text the questions name, `clear` the answer to "Clear" when the list
        already holds entries."""
        shown = shown or folder
        self.driver.pclick(CMD_ADD)
        if clear is not None:
            self.answer("Clear", CLEAR_TEXT, clear)
        self.pick(folder)
        self.answer("Directory", subfolder_question(shown), subfolders_answer)
        self.answer("Directory", folder_question(shown), folder_answer)
        self.driver.gone("Directory", 5000)

    def add_example(self, first="yes", second="yes", expect_rows=8):
        self.add_folder("C:\\T", first, second)
        self.wait_status("%d items loaded..." % expect_rows)
