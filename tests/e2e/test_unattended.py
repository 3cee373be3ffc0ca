"""Lists that run by themselves: a saved list approved in the main window
for sign-in and for a daily time (the Run value and the registered task read
back), its command line started exactly as the Run value holds it (no window, only
what the list and its rule take, the run log's account, a listed path
holding a line break logged on one line), two starts at
once, a list edited by hand after its approval (nothing removed, the log
and the next main window say why), a list changed on disk after it was
loaded (not approved), the changed list saved and approved again at once,
the run log opened, Never taking the task away and finding the sign-in value
of an approval edited into garbage, and a list never approved (any other last
word than "unattended" gets the password prompt)."""
import glob
import hashlib
import os
import re
import shlex
import subprocess
import time
import unittest
import xml.etree.ElementTree as ET

from harness import EXE, FD_KEY, MAIN, drive_c, reg_set, wine_path
from test_removal import RemovalCase
from test_save_load import SAVE_TITLE, list_bytes, routine_record

RUN_WINDOW = "Run by Itself"
RUN_NEVER, RUN_SIGNIN, RUN_DAILY, RUN_TIME, RUN_PASSWORD, RUN_OK = 502, 503, 504, 508, 512, 1
MNU_RUN_BY_ITSELF, MNU_RUN_LOG = 212, 213
RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
APPROVALS_KEY = FD_KEY + "\\Approvals"
TASK_NS = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}


def reg_value(key, name):
    """The value's text (names may hold blanks), or None when it is missing."""
    proc = subprocess.run(["wine", "reg", "query", key, "/v", name], capture_output=True)
    for line in proc.stdout.decode("utf-8", "replace").splitlines():
        found = re.match(r"\s+(.*?)\s+REG_\w+\s+(.*)$", line)
        if proc.returncode == 0 and found and found.group(1) == name:
            return found.group(2)
    return None


def run_log_path():
    users = os.path.join(drive_c(), "users")
    user = [u for u in os.listdir(users) if u != "Public"][0]
    return os.path.join(users, user, "AppData", "Local", "Ombrelay", "run log.txt")


def read_run_log():
    if not os.path.exists(run_log_path()):
        return ""
    with open(run_log_path(), encoding="utf-8") as f:
        return f.read()


def task_files(name):
    """The registered task's definition as the Task Scheduler keeps it."""
    return glob.glob(os.path.join(drive_c(), "windows", "*", "tasks", "Ombrelay", name))


def read_task(name):
    files = task_files(name)
    assert len(files) == 1, files
    with open(files[0], "rb") as f:
        data = f.read()
    text = data.decode("utf-16") if data[:2] in (b"\xff\xfe", b"\xfe\xff") else data.decode("utf-8")
    return ET.fromstring(re.sub(r"^<\?xml[^>]*\?>", "", text.lstrip("\ufeff")))


def forget_all_approvals():
    subprocess.run(["wine", "reg", "delete", APPROVALS_KEY, "/f"], capture_output=True)
    subprocess.run(["wine", "reg", "delete", FD_KEY, "/v", "BrokenApprovals", "/f"], capture_output=True)
    subprocess.run(["wine", "reg", "delete", RUN_KEY, "/v", "Ombrelay - list", "/f"], capture_output=True)
    for path in task_files("*"):
        os.remove(path)


def approve(driver, choice, password, at=None):
    """File > Run by itself, the choice, the time and the password, then OK."""
    driver.menu(MNU_RUN_BY_ITSELF)
    assert driver.wait(RUN_WINDOW), "the Run by Itself window did not open"
    driver.click(choice, title=RUN_WINDOW)
    if at is not None:
        driver.settext(RUN_TIME, at, title=RUN_WINDOW)
    if password is not None:
        driver.settext(RUN_PASSWORD, password, title=RUN_WINDOW)
    driver.pclick(RUN_OK, title=RUN_WINDOW)


class UnattendedTest(RemovalCase):
    def setUp(self):
        super().setUp()
        forget_all_approvals()
        self.addCleanup(forget_all_approvals)
        if os.path.exists(run_log_path()):
            os.remove(run_log_path())

    def start_unattended(self, command_line):
        """Starts a command line as the Run value or the task holds it."""
        proc = subprocess.Popen(["wine"] + shlex.split(command_line), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: proc.poll() is None and (proc.kill(), proc.wait()))
        return proc

    def run_unattended(self, command_line):
        """Runs it to its end; no window of the program shows meanwhile."""
        before = set(self.driver.windows())
        proc = self.start_unattended(command_line)
        shown = set()
        while proc.poll() is None:
            shown |= set(self.driver.windows()) - before
            time.sleep(0.1)
        self.assertEqual(shown, set(), "an unattended run showed a window")
        return proc.returncode

    def make_place(self):
        """A folder the list's rule keeps clean, and a file listed on its own."""
        self.make_files({"K/a.tmp": b"1", "K/b.txt": b"stays", "K/sub/c.tmp": b"22", "L/x.txt": b"333"})

    def test_an_approved_list_runs_by_itself_exactly_as_approved(self):
        self.start()
        # A listed path may hold a line break; it cannot be removed and stays.
        broken = self.win("L") + "\\two\r\nlines.txt"
        records = [(self.win("K") + "\\", "Rule|names=:.tmp|except=|age=|subfolders=yes|emptied=yes"),
                   (self.win("L", "x.txt"), "File"), (broken, "File"),
                   routine_record("Unattended Logs", "Applications", ("FileKey1", self.win("R") + "|*.log|REMOVESELF")),
                   routine_record("Unattended Absent", "Utilities", ("Detect", "HKCU\\Software\\OmbrelayAbsent"),
                                  ("FileKey1", self.win("L") + "|*.*"))]
        self.make_place()
        self.make_files({"R/a.log": b"666666", "R/sub/b.log": b"7777777"})
        self.load_prepared(records, password=" pw ")
        self.save(" pw ", self.win("list.txt"))
        listed = self.win("list.txt")
        command = '"%s" "Remove Files*%s*unattended"' % (wine_path(EXE), listed)
        # The password as the prompt takes it; a wrong one keeps the window open.
        approve(self.driver, RUN_SIGNIN, "nope")
        self.assertEqual(self.driver.run("box", "Password", "ok"), "Incorrect Password.")
        self.driver.settext(RUN_PASSWORD, " pw", title=RUN_WINDOW)
        self.driver.pclick(RUN_OK, title=RUN_WINDOW)
        self.assertEqual(self.driver.run("box", RUN_WINDOW, "ok"), "list.txt will run by itself: At sign-in.")
        self.assertEqual(reg_value(RUN_KEY, "Ombrelay - list"), command)
        digest = hashlib.sha256(self.read("list.txt")).hexdigest()
        self.assertTrue(reg_value(APPROVALS_KEY, listed).startswith("sha256=%s|runs=signin|" % digest))
        # A daily time takes the Run value's place with a task.
        approve(self.driver, RUN_DAILY, " pw ", at="3:05")
        self.assertEqual(self.driver.run("box", RUN_WINDOW, "ok"), "list.txt will run by itself: Every day at 03:05.")
        self.assertIsNone(reg_value(RUN_KEY, "Ombrelay - list"))
        # Wine's Task Scheduler keeps the task with its settings but stores no
        # trigger and no action (its writer leaves them out); the definition
        # handed to it is checked where it is made.
        task = read_task("Ombrelay - list")
        self.assertIn(listed, task.find("t:RegistrationInfo/t:Description", TASK_NS).text)
        for setting, value in (("StartWhenAvailable", "true"), ("MultipleInstancesPolicy", "IgnoreNew"),
                               ("Priority", "7")):
            self.assertEqual(task.find("t:Settings/t:" + setting, TASK_NS).text, value)
        self.driver.run("close", MAIN)

        # A week later the folder holds more; the command line runs it.
        self.make_files({"K/new.tmp": b"4444", "K/sub/deeper/d.tmp": b"55555"})
        self.assertEqual(self.run_unattended(command), 0)
        self.assertEqual(sorted(self.tree_bytes()), sorted(["list.txt", "prepared.txt", os.path.join("K", "b.txt")]))
        self.assertFalse(os.path.exists(self.path("K", "sub")))
        log = read_run_log()
        self.assertIn("  Start: %s\n" % listed, log)
        self.assertIn("  End: %s\n  %s\n" % (listed, self.account(7, 4, "28 bytes")), log)
        self.assertFalse(os.path.exists(self.path("R")))
        self.assertIn("  Unattended Absent: not on this computer.\n", log)
        # The path with a line break is one line of the log, the break a blank.
        self.assertIn("\n  Stayed: %s (" % broken.replace("\r\n", "  "), log)
        self.assertNotIn("\nlines.txt", log)

        # Two starts at once: one runs, the other ends at once and says so.
        self.make_files({"K/many/%05d.tmp" % i: b"m" for i in range(20000)})
        starts = [self.start_unattended(command) for _ in range(2)]
        self.assertEqual(sorted(start.wait(180) for start in starts), [0, 1])
        log = read_run_log()
        self.assertEqual((log.count("Start: "), log.count("End: "), log.count("Already running: " + listed)), (2, 2, 1))
        self.assertFalse(os.path.exists(self.path("K", "many")))

        # The list edited by hand: the next run removes nothing, and says why.
        self.make_place()
        with open(self.path("list.txt"), "wb") as f:
            f.write(list_bytes(records + [(self.win("K", "b.txt"), "File")], " pw "))
        before = self.tree_bytes()
        self.assertEqual(self.run_unattended(command), 1)
        self.assertEqual(self.tree_bytes(), before)
        self.assertIn("  Nothing removed: %s\n  Why: the list file changed after it was approved" % listed, read_run_log())
        # ... and the next main window says so, once.
        self.start(wait_main=False)
        self.assertTrue(self.driver.wait(RUN_WINDOW, 20000), "the broken approval was not told")
        self.assertIn(listed + ": the list file changed after it was approved", self.driver.run("box", RUN_WINDOW, "ok"))
        self.driver.run("close", MAIN)
        self.start()
        self.assertFalse(self.driver.wait(RUN_WINDOW, 2000), "the broken approval was told twice")
        # Saved again from the main window, the changed list is offered for
        # approval at once; approved, it runs with its new record.
        self.load(listed)
        self.wait_status("%d items loaded..." % (len(records) + 1))
        # The file changes on disk after the load, its password the same: an
        # approval now would cover a record the window never showed, so none
        # is given, and the user is told to load the list again.
        approved = reg_value(APPROVALS_KEY, listed)
        with open(self.path("list.txt"), "wb") as f:
            f.write(list_bytes(records + [(self.win("K", "b.txt"), "File"), (self.win("L"), "Folder")], " pw "))
        approve(self.driver, RUN_SIGNIN, " pw ")
        self.assertIn("list.txt has changed on disk since it was loaded or saved here, so nothing was approved",
                      self.driver.run("box", RUN_WINDOW, "ok"))
        self.assertEqual((reg_value(APPROVALS_KEY, listed), reg_value(RUN_KEY, "Ombrelay - list")), (approved, None))
        self.start_save(" pw ", listed)
        self.answer_dialog_box(SAVE_TITLE, "yes")
        self.answer_dialog_box("Shortcut", "ok")
        self.assertIn("Approve the list as it is now?", self.driver.run("box", RUN_WINDOW, "yes"))
        self.assertTrue(self.driver.wait(RUN_WINDOW), "the Run by Itself window did not open")
        self.driver.settext(RUN_PASSWORD, " pw ", title=RUN_WINDOW)
        self.driver.pclick(RUN_OK, title=RUN_WINDOW)
        self.assertEqual(self.driver.run("box", RUN_WINDOW, "ok"), "list.txt will run by itself: Every day at 03:05.")
        self.assertEqual(self.run_unattended(command), 0)
        self.assertFalse(os.path.exists(self.path("K", "b.txt")))
        # File > Run log opens the log in the text editor.
        self.driver.menu(MNU_RUN_LOG)
        self.assertTrue(self.driver.wait("run log.txt - Notepad", 20000), "the run log did not open")
        self.driver.run("close", "run log.txt - Notepad")
        # Never takes the task and the approval away.
        approve(self.driver, RUN_NEVER, None)
        self.assertEqual(self.driver.run("box", RUN_WINDOW, "ok"), "list.txt will not run by itself.")
        self.assertEqual((task_files("Ombrelay - list"), reg_value(APPROVALS_KEY, listed)), ([], None))
        # An approval edited into garbage names no starter; Never still finds
        # the Run value by its command line and takes it away.
        approve(self.driver, RUN_SIGNIN, " pw ")
        self.assertEqual(self.driver.run("box", RUN_WINDOW, "ok"), "list.txt will run by itself: At sign-in.")
        reg_set(listed, "garbage", APPROVALS_KEY)
        approve(self.driver, RUN_NEVER, None)
        self.assertEqual(self.driver.run("box", RUN_WINDOW, "ok"), "list.txt will not run by itself.")
        self.assertEqual((reg_value(RUN_KEY, "Ombrelay - list"), reg_value(APPROVALS_KEY, listed)), (None, None))

    def test_a_list_never_approved_removes_nothing(self):
        self.make_place()
        listed = self.write("list.txt", list_bytes([(self.win("L", "x.txt"), "File")], "pw"))
        before = self.tree_bytes()
        self.assertEqual(self.run_unattended('"%s" "Remove Files*%s*unattended"' % (wine_path(EXE), listed)), 1)
        self.assertEqual(self.tree_bytes(), before)
        self.assertIn("  Nothing removed: %s\n  Why: the list was never approved to run by itself.\n" % listed,
                      read_run_log())
        # Only that very command line runs by itself; any other last word
        # gets the password prompt, for the list it names.
        for last in ("Unattended", "UNATTENDED", "unattended*", "unattended*x", "unattended x"):
            program = self.run_removal(listed + "*" + last)
            self.press_ok("pw")
            self.assertTrue(self.confirm("no").endswith(" are listed in " + listed), last)
            self.assert_ends(program)
        self.assertEqual(self.tree_bytes(), before)
        self.assertEqual(read_run_log().count("Start: "), 1)


if __name__ == "__main__":
    unittest.main()
