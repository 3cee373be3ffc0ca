"""Save List and Load List end to end: the file's bytes, the desktop shortcut
read back with an independent parser (one per list: a list never takes
another's), the refusals, the overwrite question,
failures to write (a held file, a full disk) that lose nothing, a shortcut
that cannot be placed, load then save, names outside code page 1252, and
the plain message for a file that cannot be loaded."""
import codecs
import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from harness import (CMD_ADD, CMD_LOAD, CMD_SAVE, DRIVER, EXE, LST_FILES, MAIN, MNU_ADD_RULE, OPT_ADD_RULE,
                     RULE_AGE, RULE_COUNT, RULE_EXCEPT, RULE_FOLDER, RULE_NAMES, STATUS, TXT_PASSWORD, E2ETest,
                     desktop, drive_c, wine_path)

SAVE_TITLE = "Save list"
OPEN_TITLE = "Find list to open"
SHORTCUT_TEXT = ("Your delete list shortcut has been placed on your desktop. "
                 "Run this application to remove your selected files.")
BOM = codecs.BOM_UTF8


def list_bytes(records, password):
    """A delete-list file as the program writes it: ANSI, or UTF-8 behind the
    mark when some text is outside code page 1252."""
    text = "*".join(path + "|" + kind for path, kind in records) + "*" + password + "*"
    try:
        return text.encode("cp1252") + b"\r\n"
    except UnicodeEncodeError:
        return BOM + text.encode("utf-8") + b"\r\n"


def routine_record(name, group, *keys):
    """A cleaning routine's record, as (path, type) for list_bytes: its
    name, group and (key, value) pairs, each field escaped by "^"."""
    def escaped(text):
        return text.replace("^", "^^").replace("*", "^s").replace("|", "^v")
    return escaped(name), "Routine|group=" + escaped(group) + "".join("|%s=%s" % (k, escaped(v)) for k, v in keys)


def shortcut_path(list_name=None):
    """The desktop shortcut of the first name, or of the name a list gets
    when another list has that one."""
    base = os.path.splitext(os.path.basename(EXE))[0]
    return os.path.join(desktop(), base + " Delete Files" + (" - " + list_name if list_name else "") + ".lnk")


def other_name_text(list_name):
    """The save's closing message when the first name is another list's."""
    first = os.path.basename(shortcut_path())[:-4]
    return ('Your delete list shortcut has been placed on your desktop as "%s - %s": the shortcut "%s" runs '
            "another list, and stays as it is. Run this application to remove your selected files."
            % (first, list_name, first))


def read_shortcut(path):
    """Target, arguments, working directory, icon and description as lnkinfo
    reads them, and the show-window value stored at byte offset 60."""
    out = subprocess.run(["lnkinfo", path], capture_output=True, text=True, check=True).stdout
    fields = {}
    for line in out.splitlines():
        m = re.match(r"\s*([A-Za-z ]+?)\s*:\s(.*)$", line)
        if m:
            fields.setdefault(m.group(1).strip(), m.group(2).strip())
    with open(path, "rb") as f:
        fields["show"] = int.from_bytes(f.read()[60:64], "little")
    return fields


class ListFileCase(E2ETest):
    """A scratch folder on drive C: per test, and the Save/Load flows."""

    def setUp(self):
        super().setUp()
        self.dir = os.path.join(drive_c(), "e2e_lists", self._testMethodName)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.remove_shortcuts()
        self.addCleanup(self.remove_shortcuts)  # a shortcut left to a list gone would take the first name

    def tearDown(self):
        super().tearDown()
        for root, dirs, files in os.walk(self.dir):
            for name in dirs + files:
                os.chmod(os.path.join(root, name), 0o755)
        shutil.rmtree(self.dir, ignore_errors=True)

    @staticmethod
    def remove_shortcuts():
        for name in os.listdir(desktop()):
            if name.startswith(os.path.basename(shortcut_path())[:-4]):
                os.remove(os.path.join(desktop(), name))

    @staticmethod
    def driver_exe():
        return DRIVER

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def win(self, *parts):
        return wine_path(self.path(*parts))

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.win(name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def wait_status(self, text, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.driver.status() == text:
                return
            time.sleep(0.2)
        self.assertEqual(self.driver.status(), text)

    def answer_dialog_box(self, title, button):
        """Answers the message box a file dialog shows under its own title,
        once it is there (the dialog itself carries the same title)."""
        deadline = time.time() + 10
        while not self.driver.run("box", title, "none") and time.time() < deadline:
            time.sleep(0.1)
        return self.driver.run("box", title, button)

    def tree_bytes(self, top=None):
        """Every file below the folder (the test's own by default) with its bytes."""
        top = top or self.dir
        tree = {}
        for root, _, files in os.walk(top):
            for name in files:
                with open(os.path.join(root, name), "rb") as f:
                    tree[os.path.relpath(os.path.join(root, name), top)] = f.read()
        return tree

    @contextlib.contextmanager
    def held(self, win_path):
        """Another program holds the file open, sharing nothing, meanwhile."""
        holder = subprocess.Popen(["wine", self.driver_exe(), "hold", win_path, "30000"], stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            yield
        finally:
            holder.kill()
            holder.wait()
            holder.stdout.close()

    def small_drive(self, size="64k"):
        """A RAM disk of the given size as a new Wine drive, gone after the
        test; returns its folder and its drive ("E:")."""
        if os.geteuid() != 0:
            self.skipTest("mounting a RAM disk needs root")
        folder = tempfile.mkdtemp(prefix="ombrelay-small-drive-")
        self.addCleanup(os.rmdir, folder)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=" + size, "tmpfs", folder], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", folder], check=True)
        devices = os.path.join(os.environ["WINEPREFIX"], "dosdevices")
        letter = [c for c in "efghijklmnopqrstuvwxy" if not os.path.lexists(os.path.join(devices, c + ":"))][0]
        os.symlink(folder, os.path.join(devices, letter + ":"))
        self.addCleanup(os.remove, os.path.join(devices, letter + ":"))
        return folder, letter.upper() + ":"

    def load(self, win_path):
        self.driver.pclick(CMD_LOAD)
        self.driver.run("file", OPEN_TITLE, win_path, "ok")

    def load_prepared(self, records, password="pw", name="prepared.txt"):
        self.load(self.write(name, list_bytes(records, password)))
        self.wait_status("%d items loaded..." % len(records))

    def start_save(self, password, win_path):
        """Types the password, presses Save List and names the file."""
        self.driver.settext(TXT_PASSWORD, password)
        self.driver.pclick(CMD_SAVE)
        self.driver.run("file", SAVE_TITLE, win_path, "ok")

    def save(self, password, win_path):
        self.start_save(password, win_path)
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), SHORTCUT_TEXT)


class SaveLoadTest(ListFileCase):
    def save_another(self, password, win_path):
        """A save of another list: its shortcut gets a name of its own."""
        self.start_save(password, win_path)
        self.assertIn("Run this application", self.answer_dialog_box("Shortcut", "ok"))

    def test_save_writes_the_file_byte_for_byte_and_places_the_shortcut(self):
        self.start()
        records = [(self.win("T") + "\\", "Folder"), (self.win("T", "caf\u00e9 list.txt"), "File"),
                   (self.win("T", "b.txt"), "File")]
        self.load_prepared(records)
        self.save("  pass word ", self.win("my list"))
        self.assertEqual(self.read("my list"), list_bytes(records, "  pass word "))
        self.assertEqual(self.driver.status(), "3 items saved...")
        link = read_shortcut(shortcut_path())
        target = wine_path(EXE)
        base = os.path.splitext(os.path.basename(EXE))[0]
        self.assertEqual(link["Local path"], target)
        self.assertEqual(link["Command line arguments"], "Remove Files*" + self.win("my list"))
        self.assertEqual(link["Working directory"], target)
        self.assertEqual(link["Icon location"], target)
        self.assertEqual(link["Description"], base + " Delete Files")
        self.assertEqual(link["show"], 1)
        # A save to another list leaves the first list its shortcut and
        # places one of its own name; the first list saved again under
        # another spelling keeps the first name; a third list of the same
        # name takes the next free name.
        self.start_save("pw", self.win("second.txt"))
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), other_name_text("second"))
        self.start_save("pw", self.win("MY LIST"))
        self.answer_dialog_box(SAVE_TITLE, "yes")
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), SHORTCUT_TEXT)
        os.makedirs(self.path("other"))
        self.start_save("pw", self.win("other", "second.txt"))
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), other_name_text("second (2)"))
        shortcuts = {os.path.basename(shortcut_path()): "MY LIST", os.path.basename(shortcut_path("second")): "second.txt",
                     os.path.basename(shortcut_path("second (2)")): "other\\second.txt"}
        self.assertEqual(sorted(n for n in os.listdir(desktop()) if "Delete Files" in n), sorted(shortcuts))
        for name, listed in shortcuts.items():
            link = read_shortcut(os.path.join(desktop(), name))
            self.assertEqual(link["Command line arguments"], "Remove Files*" + self.win(*listed.split("\\")))
            self.assertEqual((link["Description"], link["Local path"]), (name[:-4], target))
        self.assertEqual(sorted(os.listdir(self.dir)), ["my list", "other", "prepared.txt", "second.txt"])
        # Another program holds the shortcut: the list is saved all the same,
        # the old shortcut stays whole, and the message says both.
        with open(shortcut_path(), "rb") as f:
            old_link = f.read()
        before = self.tree_bytes()
        with self.held(wine_path(shortcut_path())):
            self.start_save("pw", self.win("third"))
            text = self.driver.run("box", "Shortcut", "ok")
        prefix = "The list was saved to %s, but the desktop shortcut could not be placed: " % self.win("third")
        self.assertTrue(text.startswith(prefix), text)
        self.assertRegex(text[len(prefix):], "(?i)sharing violation|used by another process")
        self.assertEqual(self.tree_bytes(), dict(before, third=list_bytes(records, "pw")))
        self.assertEqual(self.driver.status(), "3 items saved...")
        with open(shortcut_path(), "rb") as f:
            self.assertEqual(f.read(), old_link)
        self.assertEqual(sorted(n for n in os.listdir(desktop()) if "Delete Files" in n), sorted(shortcuts))

    def test_refusals_write_nothing(self):
        self.start()
        self.driver.settext(TXT_PASSWORD, "pw")
        self.driver.pclick(CMD_SAVE)
        self.assertEqual(self.driver.run("box", "Files", "ok"), "You have not selected any files.")
        self.load_prepared([(self.win("a.txt"), "File")])
        self.driver.settext(TXT_PASSWORD, "")
        self.driver.pclick(CMD_SAVE)
        self.assertEqual(self.driver.run("box", "Password", "ok"), "Please enter a password.")
        self.driver.settext(TXT_PASSWORD, "a*b")
        self.driver.pclick(CMD_SAVE)
        self.assertIn('cannot contain "*"', self.driver.run("box", "Password", "ok"))
        self.assertFalse(self.driver.visible(SAVE_TITLE))
        # Cancelling the dialog writes nothing and says nothing.
        self.driver.settext(TXT_PASSWORD, "pw")
        self.driver.pclick(CMD_SAVE)
        self.driver.run("file", SAVE_TITLE, self.win("never"), "cancel")
        self.assertTrue(self.driver.gone(SAVE_TITLE))
        time.sleep(0.5)
        self.assertFalse(os.path.exists(self.path("never")))
        self.assertFalse(os.path.exists(shortcut_path()))
        self.assertEqual(self.driver.status(), "1 items loaded...")

    def test_save_asks_before_replacing_a_file(self):
        self.start()
        records = [(self.win("a.txt"), "File")]
        self.load_prepared(records)
        existing = self.write("existing.txt", b"keep me")
        self.start_save("pw", existing)
        self.assertIn("replace", self.answer_dialog_box(SAVE_TITLE, "no"))
        self.driver.run("file", SAVE_TITLE, existing, "cancel")
        self.assertTrue(self.driver.gone(SAVE_TITLE))
        self.assertEqual(self.read("existing.txt"), b"keep me")
        self.start_save("pw", existing)
        self.answer_dialog_box(SAVE_TITLE, "yes")
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), SHORTCUT_TEXT)
        self.assertEqual(self.read("existing.txt"), list_bytes(records, "pw"))

    def test_a_file_that_cannot_be_written_is_reported_and_nothing_is_lost(self):
        self.start()
        self.load_prepared([(self.win("a.txt"), "File")])
        busy = self.write("busy.txt", b"old")
        before = self.tree_bytes()
        with self.held(busy):
            self.start_save("pw", busy)
            self.answer_dialog_box(SAVE_TITLE, "yes")
            text = self.driver.run("box", "Files", "ok")
        self.assertIn(busy, text)
        self.assertRegex(text, "(?i)sharing violation|used by another process")
        self.assertEqual(self.tree_bytes(), before)
        self.assertEqual(self.driver.status(), "1 items loaded...")
        self.assertFalse(os.path.exists(shortcut_path()))

    def test_a_save_that_fills_the_disk_leaves_the_old_list_and_no_piece_of_the_new(self):
        folder, drive = self.small_drive("64k")
        self.start()
        small = [(self.win("T", "a.txt"), "File")]
        self.load_prepared(small)
        old_list = drive + "\\small list.txt"
        self.save("old pw", old_list)
        with open(os.path.join(folder, "small list.txt"), "rb") as f:
            self.assertEqual(f.read(), list_bytes(small, "old pw"))
        with open(shortcut_path(), "rb") as f:
            old_link = f.read()
        # About 150 KB of list: more than the whole disk holds.
        base = self.win("T")
        big = [(base + "\\sub folder %02d\\file number %05d.txt" % (i % 50, i), "File") for i in range(2500)]
        self.load_prepared(big, name="big.txt")
        before, drive_before = self.tree_bytes(), self.tree_bytes(folder)
        for target, replaces in ((old_list, True), (drive + "\\new list.txt", False)):
            self.start_save("new pw", target)
            if replaces:
                self.assertIn("replace", self.answer_dialog_box(SAVE_TITLE, "yes"))
            text = self.driver.run("box", "Files", "ok")
            self.assertIn(target, re.split(r"\r*\n", text))
            self.assertRegex(text, "(?i)not enough space|disk is full|disk full")
            self.assertEqual(self.tree_bytes(folder), drive_before)
            self.assertEqual(self.tree_bytes(), before)
            with open(shortcut_path(), "rb") as f:
                self.assertEqual(f.read(), old_link)
            self.assertEqual(self.driver.status(), "2500 items loaded...")

    def test_load_shows_entries_with_types_and_a_save_writes_the_same_bytes(self):
        self.start()
        records = [(self.win("T") + "\\", "Folder"), (self.win("T", "S") + "\\", "Folder"),
                   (self.win("T", "a b.txt"), "File"), (self.win("T", "S", "c.txt"), "File")]
        original = list_bytes(records, "secret")
        self.load(self.write("old.txt", original))
        self.wait_status("4 items loaded...")
        self.assertEqual(self.driver.rows(), [(p, t, False) for p, t in records])
        self.save("secret", self.win("again.txt"))
        self.assertEqual(self.read("again.txt"), original)
        # Files of the older form: records without "|" and with extra fields.
        self.load(self.write("older.txt", b"C:\\x.txt|File|*C:\\y\\|Folder||*C:\\z.txt*pw*\r\n"))
        self.wait_status("3 items loaded...")
        self.assertEqual(self.driver.rows(), [("C:\\x.txt", "File", False), ("C:\\y\\", "Folder", False),
                                              ("C:\\z.txt", "", False)])

    def wait_count(self, title, text, seconds=20):
        """The rule window's count line, once it says `text`."""
        deadline = time.time() + seconds
        while time.time() < deadline and self.driver.text(RULE_COUNT, title) != text:
            time.sleep(0.2)
        self.assertEqual(self.driver.text(RULE_COUNT, title), text)

    def test_a_rule_made_in_its_window_saves_loads_saves_the_same_bytes_and_changes(self):
        cache = self.path("Cache")
        os.makedirs(os.path.join(cache, "sub"))
        os.makedirs(self.path("Cache2"))
        for name, size in [("a.tmp", 10), ("b.log", 5), ("keep.tmp", 7), ("c.txt", 2), ("A.TMP", 4),
                           ("sub/d.tmp", 3)]:
            with open(os.path.join(cache, name), "wb") as f:
                f.write(b"x" * size)
        week_ago = time.time() - 8 * 86400
        os.utime(os.path.join(cache, "a.tmp"), (week_ago, week_ago))
        os.utime(os.path.join(cache, "sub", "d.tmp"), (week_ago, week_ago))
        self.start()
        self.driver.click(OPT_ADD_RULE)
        self.driver.pclick(CMD_ADD)
        self.assertTrue(self.driver.wait("Add Rule"))
        self.driver.settext(RULE_FOLDER, self.win("Cache"), "Add Rule")
        self.driver.settext(RULE_NAMES, " *.tmp ; *.log", "Add Rule")
        self.driver.settext(RULE_EXCEPT, "keep*", "Add Rule")
        # Letter case is compared as the file system compares it: A.TMP is a *.tmp.
        self.wait_count("Add Rule", "Now the rule would take 4 files (22 bytes).")
        self.driver.settext(RULE_AGE, "7", "Add Rule")
        self.wait_count("Add Rule", "Now the rule would take 2 files (13 bytes).")
        self.driver.pclick(1, "Add Rule")
        self.assertTrue(self.driver.gone("Add Rule"))
        folder = self.win("Cache") + "\\"
        summary = "  (*.tmp; *.log, except keep*, older than 7 days, with subfolders)"
        self.assertEqual(self.driver.rows(), [(folder + summary, "Rule", False)])
        self.save("pw", self.win("rule.txt"))
        record = folder + "|Rule|names=:.tmp;:.log|except=keep:|age=7d|subfolders=yes|emptied=no"
        self.assertEqual(self.read("rule.txt"), (record + "*pw*\r\n").encode("cp1252"))
        self.assertEqual(set(os.listdir(cache)), {"a.tmp", "b.log", "keep.tmp", "c.txt", "A.TMP", "sub"})

        # Loaded beside records of other kinds, each is one row as it was written, and saves as it was.
        bad_rule = folder + "|Rule|names=:.tmp|except=|age=-7d|subfolders=yes|emptied=no"
        text = ("C:\\x.txt|File|*" + record + "*C:\\y|Later|1|2*C:\\z|Rule*" + bad_rule +
                "*C:\\w\\|Folder*pw*\r\n")
        original = text.encode("cp1252")
        self.load(self.write("mixed.txt", original))
        self.wait_status("6 items loaded...")
        rows = self.driver.rows()
        self.assertEqual(rows, [("C:\\x.txt", "File", False), (folder + summary, "Rule", False),
                                ("C:\\y", "Later", False), ("C:\\z|Rule", "Rule", False),
                                (bad_rule, "Rule", False), ("C:\\w\\", "Folder", False)])
        self.save_another("pw", self.win("mixed again.txt"))
        self.assertEqual(self.read("mixed again.txt"), original)

        # A double click on the rule's row opens it; OK changes that row alone, keeping its tick.
        self.driver.tick(1)
        self.driver.run("dblclick", MAIN, 1)
        self.assertTrue(self.driver.wait("Change Rule"))
        self.assertEqual(self.driver.text(RULE_FOLDER, "Change Rule"), folder)
        self.assertEqual(self.driver.text(RULE_NAMES, "Change Rule"), "*.tmp; *.log")
        self.wait_count("Change Rule", "Now the rule would take 2 files (13 bytes).")
        self.driver.settext(RULE_FOLDER, self.win("Cache2"), "Change Rule")
        self.wait_count("Change Rule", "Now the rule would take 0 files (0 bytes).")
        # The count is the run's own answer: a link or a protected place takes nothing.
        os.symlink(cache, self.path("CacheLink"))
        self.driver.settext(RULE_FOLDER, self.win("CacheLink") + "/", "Change Rule")
        self.wait_count("Change Rule", "The rule takes nothing: the folder is a link; a rule never follows one.")
        self.driver.settext(RULE_FOLDER, wine_path(desktop()), "Change Rule")
        self.wait_count("Change Rule", "The rule takes nothing: a protected place (your Desktop folder); "
                                       "a rule never takes from it.")
        self.driver.settext(RULE_FOLDER, self.win("Cache2"), "Change Rule")
        self.wait_count("Change Rule", "Now the rule would take 0 files (0 bytes).")
        self.driver.settext(RULE_AGE, "", "Change Rule")
        self.driver.pclick(1, "Change Rule")
        self.assertTrue(self.driver.gone("Change Rule"))
        changed = self.win("Cache2") + "\\"
        self.assertEqual(self.driver.rows()[1],
                         (changed + "  (*.tmp; *.log, except keep*, with subfolders)", "Rule", True))
        # Enter on the focused rule opens it too; Cancel changes nothing.
        self.driver.select(1)
        self.driver.run("key", MAIN, LST_FILES, 13)
        self.assertTrue(self.driver.wait("Change Rule"))
        self.driver.settext(RULE_AGE, "3", "Change Rule")
        self.driver.pclick(2, "Change Rule")
        self.assertTrue(self.driver.gone("Change Rule"))
        # Enter on a row that is no rule opens nothing.
        self.driver.select(0)
        self.driver.run("key", MAIN, LST_FILES, 13)
        self.assertFalse(self.driver.wait("Change Rule", 1000))
        self.save_another("pw", self.win("changed.txt"))
        self.assertEqual(self.read("changed.txt"), original.replace(
            record.encode("cp1252"),
            (changed + "|Rule|names=:.tmp;:.log|except=keep:|age=|subfolders=yes|emptied=no").encode("cp1252")))
        self.assertEqual(set(os.listdir(cache)), {"a.tmp", "b.log", "keep.tmp", "c.txt", "A.TMP", "sub"})

    def test_a_rule_on_a_protected_place_asks_first_and_a_rule_that_cannot_be_kept_says_why(self):
        desk = wine_path(desktop())
        self.start()
        self.driver.menu(MNU_ADD_RULE)
        self.assertTrue(self.driver.wait("Add Rule"))
        # A folder that is not a full path, and a pattern the search cannot use, are refused with a reason.
        self.driver.settext(RULE_FOLDER, "Cache", "Add Rule")
        self.driver.pclick(1, "Add Rule")
        self.assertTrue(self.driver.wait("Rule"))
        self.assertIn("full path", self.driver.msgbox("Rule", "ok"))
        self.driver.settext(RULE_FOLDER, "C:\\", "Add Rule")
        self.driver.settext(RULE_NAMES, "[z-a]", "Add Rule")
        self.wait_count("Add Rule", 'A pattern has a "[" without its "]", or a range written backwards such as [z-a].')
        self.driver.settext(RULE_NAMES, "*.tmp|*.log", "Add Rule")
        self.driver.pclick(1, "Add Rule")
        self.assertTrue(self.driver.wait("Rule"))
        self.assertIn("cannot hold", self.driver.msgbox("Rule", "ok"))
        self.driver.settext(RULE_NAMES, "", "Add Rule")
        # A drive root and the Desktop ask first; No leaves the window open and the list as it was.
        for folder in ["C:\\", desk]:
            self.driver.settext(RULE_FOLDER, folder, "Add Rule")
            self.driver.pclick(1, "Add Rule")
            self.assertTrue(self.driver.wait("Protected location"))
            self.assertTrue(self.driver.msgbox("Protected location").startswith(folder.rstrip("\\")),
                            self.driver.msgbox("Protected location"))
            self.driver.msgbox("Protected location", "no")
            self.assertTrue(self.driver.gone("Protected location"))
            self.assertTrue(self.driver.visible("Add Rule"))
            self.assertEqual(self.driver.rows(), [])
        self.driver.pclick(1, "Add Rule")
        self.driver.msgbox("Protected location", "yes")
        self.assertTrue(self.driver.gone("Add Rule"))
        self.assertEqual(self.driver.rows(), [(desk + "\\  (all files, with subfolders)", "Rule", False)])
        self.save("pw", self.win("desk.txt"))
        self.assertEqual(self.read("desk.txt"),
                         (desk + "\\|Rule|names=|except=|age=|subfolders=yes|emptied=no*pw*\r\n").encode("cp1252"))

    def test_a_name_outside_code_page_1252_survives_load_and_save(self):
        self.start()
        records = [(self.win("T") + "\\", "Folder"), (self.win("T", "\u4e2d\u6587.txt"), "File")]
        original = list_bytes(records, "pw")
        self.assertTrue(original.startswith(BOM))
        self.load(self.write("wide.txt", original))
        self.wait_status("2 items loaded...")
        self.assertEqual([r[0] for r in self.driver.rows()], [p for p, _ in records])
        self.save("pw", self.win("wide again.txt"))
        self.assertEqual(self.read("wide again.txt"), original)

    def test_a_list_naming_protected_folders_warns_once_and_still_loads(self):
        self.start()
        desk = wine_path(desktop())
        records = [("c:/WINDOWS/", "Folder"), (self.win("T") + "\\", "Folder"), ("C:\\windows\\", "File"),
                   ("\\\\?\\" + desk.upper() + "\\", "Folder"), ("C:\\", "Folder"), ("C:\\Program Files\\", "Folder"),
                   ("C:\\ProgramData", "Folder"), ("C:\\users\\", "Folder")]
        self.load(self.write("protected.txt", list_bytes(records, "pw")))
        text = self.driver.run("box", "Protected location", "ok")
        for path in [records[i][0] for i in (0, 3, 4, 5, 6)]:
            self.assertIn(path + " (", text)
        self.assertIn("... and 1 more", text)
        self.assertIn("(your Desktop folder: the files on your desktop)", text)
        for path in [self.win("T"), "C:\\windows\\ (", "C:\\users\\ ("]:
            self.assertNotIn(path, text)
        self.wait_status("8 items loaded...")
        self.assertEqual(self.driver.rows(), [(p, t, False) for p, t in records])
        self.assertFalse(self.driver.visible("Protected location"))

    def test_a_file_that_cannot_be_loaded_is_named_with_its_reason_and_the_list_stays(self):
        self.start()
        self.load_prepared([(self.win("a.txt"), "File")])
        held = self.write("held.txt", list_bytes([(self.win("b.txt"), "File")], "pw"))
        picture = self.write("picture.png", b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR" + b"C:\\x.txt|File*pw*\r\n")
        before = self.tree_bytes()
        cases = [(self.win("missing.txt"), "(?i)not find|not found"), (held, "(?i)sharing violation|another process"),
                 (picture, "is not a delete list: it holds NUL bytes")]
        for path, reason in cases:
            with contextlib.ExitStack() as stack:
                if path == held:
                    stack.enter_context(self.held(held))
                self.load(path)
                if path.endswith("missing.txt"):
                    # The open dialog offers to create a name that does not exist.
                    self.answer_dialog_box(OPEN_TITLE, "yes")
                text = self.driver.run("box", "Files", "ok")
            lines = re.split(r"\r*\n", text)
            self.assertEqual(lines[:2], ["The delete list could not be loaded from", path], text)
            self.assertRegex(lines[2], reason)
            self.assertEqual(lines[-1], "The list in the window has not been changed.")
            self.assertFalse(self.driver.visible("Error"))
            self.assertEqual(self.driver.rows(), [(self.win("a.txt"), "File", False)])
            self.assertEqual(self.driver.status(), "1 items loaded...")
        self.assertEqual(self.tree_bytes(), before)

if __name__ == "__main__":
    unittest.main()
