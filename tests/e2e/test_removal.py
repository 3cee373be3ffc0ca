"""The removal run end to end: the whole main job from adding a tree to the
run started through the desktop shortcut itself, a run started from a
console with the argument quoted, the password prompt and its refusals,
locked and read-only files, the Recycle Bin, items that stay with the
closing report and the full report (never over another file), bad list
files and records (a file holding NUL bytes is no list), the ways out that
delete nothing, a folder link, and a name outside code page 1252. Then as a
hostile user would: names that Win32 rewrites beside the neighbours they
would become, a listed folder turned into a link, a drive that is not
there, a run stopped in three ways, the preview of a list of such
records against what the run then does, a folder rule run a week after
the list was saved (and one on a protected place, refused), and cleaning
routines in the real profile folders."""
import os
import pathlib
import re
import shutil
import subprocess
import time
import unittest

from harness import (CMD_ADD, EXE, MAIN, OPT_ADD_FOLDER, CHK_SUBFOLDERS, E2ETest, desktop, drive_c, reg_query, reg_set,
                     unix_path, wine_path)
from test_save_load import BOM, ListFileCase, list_bytes, read_shortcut, routine_record, shortcut_path

PROMPT = "Password"
PROMPT_TEXT, PROMPT_OK, PROMPT_CANCEL, PROMPT_PROGRESS, PROMPT_RECYCLE = 302, 1, 2, 303, 304
CONFIRM = "Are you sure you wish to remove your files?"
PROMPT_PREVIEW = 305
PREVIEW = "Preview"
PREVIEW_TOTALS, PREVIEW_COPY, PREVIEW_CLOSE = 401, 404, 2
REMOVED, GONE = "will be removed", "already gone"


class RemovalCase(ListFileCase):
    """A removal run started as a user starts one, and its answers."""

    def make_tree(self, base=None):
        """A folder T with a subfolder and files in both, listed as the add
        command lists them: the folder, its subfolders, then the files."""
        top = os.path.join(base or self.dir, "T")
        for sub in ("", "S"):
            os.makedirs(os.path.join(top, sub), exist_ok=True)
        for rel in ("a.txt", "b c.txt", os.path.join("S", "d.txt")):
            with open(os.path.join(top, rel), "w") as f:
                f.write(rel)
        win = wine_path(top)
        return [(win + "\\", "Folder"), (win + "\\S\\", "Folder"), (win + "\\a.txt", "File"),
                (win + "\\b c.txt", "File"), (win + "\\S\\d.txt", "File")]

    def make_files(self, contents):
        """Files below the test's folder, by relative path with "/", and their bytes."""
        for rel, data in contents.items():
            path = self.path(*rel.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)

    def run_removal(self, list_win_path, env=None):
        """Starts the program as a user does from a console: one argument,
        which Wine passes on quoted when it holds a blank."""
        program = self.start("Remove Files*" + list_win_path, wait_main=False, env=env)
        self.assertTrue(self.driver.wait(PROMPT, 20000), "the password prompt did not appear")
        return program

    def run_shortcut(self, link):
        """Starts the desktop shortcut itself, as a double click does."""
        subprocess.run(["wine", "start", "/unix", link], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        self.assertTrue(self.driver.wait(PROMPT, 20000), "the password prompt did not appear")

    def press_ok(self, password):
        self.driver.settext(PROMPT_TEXT, password, title=PROMPT)
        self.driver.pclick(PROMPT_OK, title=PROMPT)

    def confirm(self, answer="yes"):
        return self.driver.run("box", "Remove", answer)

    def assert_ends(self, program=None):
        if program is None:
            self.assertTrue(self.driver.gone(PROMPT, 20000), "the program did not end")
        else:
            self.assertTrue(program.wait_exit(20), "the program did not end")

    def status_report(self, seconds=60):
        return re.split(r"\r*\n", self.driver.run("box", "Status", "ok", str(seconds * 1000)))

    def open_preview(self):
        """Presses Preview on the prompt; gives the rows once they are all there."""
        self.driver.pclick(PROMPT_PREVIEW, title=PROMPT)
        self.assertTrue(self.driver.wait(PREVIEW), "the preview did not open")
        deadline = time.time() + 60
        while self.driver.state(PREVIEW_COPY, title=PREVIEW)["enabled"] == 0 and time.time() < deadline:
            time.sleep(0.1)
        return self.preview_rows()

    def preview_rows(self):
        """(path, outcome, size) for each row, as shown."""
        return [tuple(line.split("\t")[3:6]) for line in self.driver.run("lv", PREVIEW, 3).splitlines()
                if line.startswith("row\t")]

    @staticmethod
    def account(files, folders, size, recycled=False):
        """The closing message's line on what the run removed; numbers as
        en-US writes them, sizes as Explorer does."""
        def counted(n, one, many):
            return "{:,} {}".format(n, one if n == 1 else many)
        return "%s %s: %s (%s) and %s." % ("Moved to the Recycle Bin" if recycled else "Removed",
                                          counted(files + folders, "item", "items"),
                                          counted(files, "file", "files"), size,
                                          counted(folders, "folder", "folders"))

    def hold(self, win_path, ms):
        """Another program holds the file open, sharing nothing, for ms."""
        holder = subprocess.Popen(["wine", self.driver_exe(), "hold", win_path, str(ms)], stdout=subprocess.PIPE)
        self.addCleanup(lambda: (holder.kill(), holder.wait(), holder.stdout.close()))
        self.assertEqual(holder.stdout.readline().strip(), b"held")
        return holder


class RemovalTest(RemovalCase):
    def test_the_main_job_from_adding_a_tree_to_the_shortcuts_run(self):
        self.start()
        # A shallow folder: the folder browser finds it at once.
        base = os.path.join(drive_c(), "MainJob")
        shutil.rmtree(base, ignore_errors=True)
        self.addCleanup(shutil.rmtree, base, True)
        tree = self.make_tree(base)
        folder = wine_path(os.path.join(base, "T"))
        self.driver.click(OPT_ADD_FOLDER)
        self.assertEqual(self.driver.state(CHK_SUBFOLDERS)["checked"], 1)
        self.driver.pclick(CMD_ADD)
        # A selection sent before the browser has filled its tree is lost.
        self.assertTrue(self.driver.wait("Browse for Folder"))
        time.sleep(1)
        self.driver.run("bff", "Browse for Folder", folder, "ok")
        for _ in range(2):
            self.assertIn(folder + "\\", self.driver.run("box", "Directory", "none"))
            self.driver.run("box", "Directory", "yes")
        self.wait_status("5 items loaded...")
        rows = [(path, kind) for path, kind, _ in self.driver.rows()]
        self.assertEqual(sorted(rows), sorted(tree))
        self.save_and_run_the_shortcut(rows)

    def test_the_main_job_from_a_loaded_list_to_the_shortcuts_run(self):
        self.start()
        tree = self.make_tree()
        self.load_prepared(tree, password="other")
        self.save_and_run_the_shortcut(tree)

    def save_and_run_the_shortcut(self, rows):
        """Saves the list in the main window, then runs the removal the
        desktop shortcut names: a wrong password, then the right one."""
        self.save("pw", self.win("old list.txt"))
        self.assertEqual(self.read("old list.txt"), list_bytes(rows, "pw"))
        link = read_shortcut(shortcut_path())
        self.assertEqual(link["Command line arguments"], "Remove Files*" + self.win("old list.txt"))
        self.run_shortcut(shortcut_path())
        self.press_ok("PW")
        self.assertEqual(self.confirm(), CONFIRM + "\r\n3 files and 2 folders are listed in " + self.win("old list.txt"))
        self.assertEqual(self.driver.run("box", PROMPT, "ok"), "Incorrect Password.")
        time.sleep(0.5)
        self.assertTrue(self.driver.visible(PROMPT))
        self.assertEqual(self.driver.text(PROMPT_TEXT, title=PROMPT), "PW")
        self.assertTrue(all(os.path.exists(unix_path(p)) for p, _ in rows))
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.status_report(), ["Done", "", self.account(3, 2, "19 bytes")])
        self.assert_ends()
        self.assertFalse(any(os.path.exists(unix_path(p)) for p, _ in rows))
        self.assertTrue(os.path.exists(self.path("old list.txt")))
        self.assertTrue(os.path.exists(shortcut_path()))

    def test_read_only_and_hidden_files_go_and_a_file_held_throughout_stays(self):
        tree = self.make_tree()
        os.chmod(self.path("T", "a.txt"), 0o444)
        with open(self.path("T", ".hidden"), "w") as f:
            f.write("h")
        tree.append((self.win("T", ".hidden"), "File"))
        listed = self.write("the list.txt", list_bytes(tree, "pw"))
        held = self.win("T", "S", "d.txt")
        self.hold(held, 60000)
        program = self.run_removal(listed)
        self.press_ok("pw")
        self.confirm()
        started = time.time()
        report = self.status_report()
        # The held file is tried again for about a second, not for long.
        self.assertLess(time.time() - started, 12)
        self.assertEqual(report, [
            self.account(3, 0, "13 bytes"), "",
            "3 items could not be removed:", "",
            held + " - in use by another program",
            self.win("T", "S") + "\\ - folder not empty",
            self.win("T") + "\\ - folder not empty"])
        self.assert_ends(program)
        self.assertEqual(sorted(os.listdir(self.path("T"))), ["S"])
        self.assertTrue(os.path.exists(self.path("T", "S", "d.txt")))

    def test_a_file_locked_for_a_moment_is_removed_after_all(self):
        tree = self.make_tree()
        listed = self.write("the list.txt", list_bytes(tree, "pw"))
        program = self.run_removal(listed)
        self.press_ok("pw")
        self.driver.run("box", "Remove", "none")
        # Released about half a second after the run starts.
        self.hold(self.win("T", "S", "d.txt"), 700)
        self.confirm()
        self.assertEqual(self.status_report(), ["Done", "", self.account(3, 2, "19 bytes")])
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("T")))

    def test_bad_records_are_reported_and_the_full_list_is_written(self):
        self.make_tree()
        long_path = "C:\\" + "a" * 40000
        records = [("CON", "File"), ("NUL", "File"), ("\\\\.\\PhysicalDrive0", "File"),
                   (self.win("T", "con.txt"), "File"), ("T\\a.txt", "File"), (long_path, "File"),
                   ("\\\\nosuchserver\\share\\x.txt", "File"), (self.win("T", "a.txt") + " b.txt", "File"),
                   ("C:\\", "Folder"), ("c:/", "Folder")]
        # "C:\\" and "c:/" are one folder, counted and reported once.
        records += [("rel%02d.txt" % i, "File") for i in range(13)]
        # Files of another program under the full report's names for the
        # next two minutes: the report takes a name of its own.
        planted = self.plant_report_names("bad list", 120)
        program = self.run_removal(self.write("bad list.txt", list_bytes(records, "pw")))
        self.press_ok("pw")
        self.confirm()
        report = self.status_report()
        self.assert_ends(program)
        self.assertEqual(report[:3], [self.account(0, 0, "0 bytes"), "", "21 items could not be removed:"])
        shown = dict(line.rsplit(" - ", 1) for line in report[4:24])
        self.assertEqual(shown["CON"], "a device, not a file or folder")
        self.assertEqual(shown["\\\\.\\PhysicalDrive0"], "a device, not a file or folder")
        self.assertEqual(shown["T\\a.txt"], "not a full path")
        self.assertIn("\\\\nosuchserver\\share\\x.txt", shown)
        self.assertIn("the path is too long", [r for p, r in shown.items() if p.startswith("C:\\aaa")])
        self.assertEqual(report[24], "... and 1 more.")
        place = report[-1]
        self.assertTrue(place.startswith("The full list is in "), place)
        report_path = unix_path(place[len("The full list is in "):])
        self.assertTrue(report_path.endswith(" (2).txt"), report_path)
        self.assertIn(report_path[:-len(" (2).txt")] + ".txt", planted)
        for path in planted:
            with open(path, "rb") as f:
                self.assertEqual(f.read(), b"another program's file")
        with open(report_path, "rb") as f:
            full = f.read()
        os.remove(report_path)
        self.assertTrue(full.startswith(BOM))
        lines = full[3:].decode("utf-8").split("\r\n")
        self.assertEqual(lines[2], "21 items could not be removed:")
        self.assertIn(long_path + " - the path is too long", lines)
        self.assertIn("rel11.txt - not a full path", lines)
        self.assertIn("c:/ - the root of a drive; never removed", lines)
        self.assertNotIn("C:\\ - the root of a drive; never removed", lines)
        # Nothing the list does not name was touched.
        self.assertEqual(sorted(os.listdir(self.path("T"))), ["S", "a.txt", "b c.txt"])

    def plant_report_names(self, list_name, seconds):
        """Files under the full report's names for the coming seconds, in the
        program's temporary folder; removed again after the test."""
        out = subprocess.run(["wine", "cmd", "/c", "echo", "%TEMP%"], capture_output=True, text=True, check=True)
        folder = unix_path(out.stdout.strip())
        now = time.time()
        planted = []
        for s in range(-1, seconds):
            stamp = time.strftime("%Y-%m-%d %H.%M.%S", time.localtime(now + s))
            path = os.path.join(folder, "%s - not removed %s.txt" % (list_name, stamp))
            with open(path, "wb") as f:
                f.write(b"another program's file")
            self.addCleanup(os.remove, path)
            planted.append(path)
        return planted

    def test_list_files_with_nothing_to_remove_say_so(self):
        self.make_tree()
        big = b"C:\\" + b"x" * (50 * 1024 * 1024) + b"|File*pw*\r\n"
        for name, data in (("empty list.txt", b""), ("star list.txt", b"*"), ("big list.txt", big)):
            program = self.run_removal(self.write(name, data))
            self.press_ok("pw")
            if data is big:
                self.assertIn("1 file and 0 folders", self.confirm())
                report = self.status_report()
                self.assertEqual(report[:3], [self.account(0, 0, "0 bytes"), "", "1 item could not be removed:"])
                self.assertLess(len(report[4]), 400)
                self.assertTrue(report[4].endswith("x - the path is too long"))
            else:
                text = self.driver.run("box", "Remove", "ok")
                self.assertIn("names no file and no folder", text)
                self.assertIn("Nothing has been removed.", text)
            self.assert_ends(program)
        self.assertEqual(sorted(os.listdir(self.path("T"))), ["S", "a.txt", "b c.txt"])

    def test_no_or_cancel_at_the_confirmation_and_every_way_out_delete_nothing(self):
        listed = self.write("list.txt", list_bytes(self.make_tree(), "pw"))
        for answer in ("no", "cancel"):
            program = self.run_removal(listed)
            self.press_ok("pw")
            self.confirm(answer)
            self.assert_ends(program)
        program = self.run_removal(listed)
        self.driver.settext(PROMPT_TEXT, "pw", title=PROMPT)
        self.driver.pclick(PROMPT_CANCEL, title=PROMPT)
        self.assert_ends(program)
        program = self.run_removal(listed)
        self.driver.run("close", PROMPT)
        self.assert_ends(program)
        # A preview's counts stand only for the list it was made of: edited
        # since, the list's own counts are asked about.
        records = self.make_tree() + [(self.win("T", "gone.txt"), "File")]
        program = self.run_removal(self.write("list.txt", list_bytes(records, "pw")))
        self.assertEqual(len(self.open_preview()), 6)
        self.write("list.txt", list_bytes(records + [(self.win("T", "new.txt"), "File")], "pw"))
        self.press_ok("pw")
        self.assertIn("\n5 files and 2 folders are listed", self.confirm("no"))
        self.assert_ends(program)
        self.assertTrue(os.path.exists(self.path("T", "S", "d.txt")))
        self.assertTrue(os.path.exists(self.path("T", "a.txt")))

    def test_a_password_with_blanks_is_accepted_as_it_was_saved(self):
        self.start()
        self.load_prepared(self.make_tree(), password="other")
        self.save(" pass word ", self.win("blank list.txt"))
        self.assertTrue(self.read("blank list.txt").endswith(b"* pass word *\r\n"))
        program = self.run_removal(self.win("blank list.txt"))
        self.press_ok("pass  word")
        self.confirm()
        self.assertEqual(self.driver.run("box", PROMPT, "ok"), "Incorrect Password.")
        self.press_ok(" pass word ")
        self.confirm()
        self.assertEqual(self.status_report(), ["Done", "", self.account(3, 2, "19 bytes")])
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("T")))

    def test_the_recycle_bin_takes_the_files_and_the_emptied_folders(self):
        trash = os.path.join(os.environ["HOME"], ".local", "share", "Trash")
        shutil.rmtree(trash, ignore_errors=True)
        reg_set("RecycleBin", "0")
        self.addCleanup(reg_set, "RecycleBin", "0")
        tree = self.make_tree()
        os.makedirs(self.path("T", "S", "keep"))
        listed = self.write("bin list.txt", list_bytes(tree, "pw"))
        program = self.run_removal(listed)
        self.assertEqual(self.driver.state(PROMPT_RECYCLE, title=PROMPT)["checked"], 0)
        self.driver.click(PROMPT_RECYCLE, title=PROMPT)
        self.press_ok("pw")
        self.confirm()
        report = self.status_report()
        self.assert_ends(program)
        self.assertEqual(report, [self.account(3, 0, "19 bytes", recycled=True), "",
                                  "2 items could not be removed:", "",
                                  self.win("T", "S") + "\\ - it holds 1 item that is not in the list",
                                  self.win("T") + "\\ - folder not empty"])
        self.assertEqual(reg_query("RecycleBin"), "1")
        binned = os.listdir(os.path.join(trash, "files"))
        self.assertEqual(sorted(binned), ["a.txt", "b c.txt", "d.txt"])
        with open(os.path.join(trash, "files", "b c.txt")) as f:
            self.assertEqual(f.read(), "b c.txt")
        self.assertEqual(os.listdir(self.path("T", "S")), ["keep"])
        os.rmdir(self.path("T", "S", "keep"))
        # Where there is no Recycle Bin the folders stay rather than go for good.
        home = self.path("home without a bin")
        os.makedirs(home)
        program = self.run_removal(listed, env=dict(os.environ, HOME=home))
        # The preview goes by the ticked choice: here the folders would stay.
        self.assertEqual(sorted(outcome for _, outcome, _ in self.open_preview()),
                         [GONE] * 3 + ["will stay: the Recycle Bin cannot take it"] * 2)
        self.driver.pclick(PREVIEW_CLOSE, title=PREVIEW)
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.status_report(), [self.account(0, 0, "0 bytes", recycled=True), "",
                                                "2 items could not be removed:", "",
                                                self.win("T", "S") + "\\ - the Recycle Bin cannot take it",
                                                self.win("T") + "\\ - the Recycle Bin cannot take it"])
        self.assert_ends(program)
        # The next run starts ticked; emptied now, the folders go too.
        program = self.run_removal(listed)
        self.assertEqual(self.driver.state(PROMPT_RECYCLE, title=PROMPT)["checked"], 1)
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.status_report(), ["Done", "", self.account(0, 2, "0 bytes", recycled=True)])
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("T")))
        self.assertEqual(sorted(os.listdir(os.path.join(trash, "files"))), ["S", "T", "a.txt", "b c.txt", "d.txt"])
        # A drive whose Recycle Bin cannot take a folder, which the shell
        # would delete for good: the folder stays and is reported, and the
        # account counts what reached the Recycle Bin, a file listed twice once.
        folder, drive = self.small_drive()
        os.makedirs(os.path.join(folder, "empty"))
        with open(os.path.join(folder, "f.txt"), "w") as f:
            f.write("on a RAM disk")
        listed = self.write("ram list.txt", list_bytes([(drive + "\\empty\\", "Folder"), (drive + "\\f.txt", "File"),
                                                        (drive.lower() + "\\F.TXT", "File")], "pw"))
        program = self.run_removal(listed)
        self.press_ok("pw")
        self.assertEqual(self.confirm(), CONFIRM + "\r\n1 file and 1 folder are listed in " + listed)
        self.assertEqual(self.status_report(), [self.account(1, 0, "13 bytes", recycled=True), "",
                                                "1 item could not be removed:", "",
                                                drive + "\\empty\\ - could not be moved to the Recycle Bin"])
        self.assert_ends(program)
        self.assertEqual(os.listdir(folder), ["empty"])
        with open(os.path.join(trash, "files", "F.TXT")) as f:
            self.assertEqual(f.read(), "on a RAM disk")

    def test_a_list_file_that_cannot_be_read_is_named_and_nothing_happens(self):
        self.make_tree()
        missing = self.win("missing list.txt")
        program = self.run_removal(missing)
        # The preview says so too, and opens no window.
        self.driver.pclick(PROMPT_PREVIEW, title=PROMPT)
        self.assertIn(missing, self.driver.run("box", PREVIEW, "ok"))
        self.assertTrue(self.driver.gone(PREVIEW, 2000))
        self.press_ok("")
        text = self.driver.run("box", "Remove", "ok")
        self.assertIn(missing, text)
        self.assertIn("Nothing has been removed.", text)
        self.assertNotIn(CONFIRM, text)
        self.assert_ends(program)
        self.assertTrue(os.path.exists(self.path("T", "a.txt")))
        # A file holding NUL bytes, even one that also names files, is no list.
        picture = self.write("picture.png", b"\x89PNG\r\n\x1a\n\0\0" + list_bytes(self.make_tree(), "pw"))
        before = self.tree_bytes()
        program = self.run_removal(picture)
        self.press_ok("pw")
        text = re.split(r"\r*\n", self.driver.run("box", "Remove", "ok"))
        self.assertEqual(text[1:3], [picture, "This file is not a delete list: it holds NUL bytes, which no delete list does."])
        self.assertEqual(text[-1], "Nothing has been removed.")
        self.assert_ends(program)
        self.assertEqual(self.tree_bytes(), before)
        # No path at all on the command line.
        program = self.start("Remove", "Files", wait_main=False)
        self.assertTrue(self.driver.wait(PROMPT, 20000))
        self.press_ok("")
        self.assertIn("no list file was named", self.driver.run("box", "Remove", "ok"))
        self.assert_ends(program)

    def test_a_folder_link_is_left_with_everything_behind_it(self):
        outside = self.path("outside")
        os.makedirs(outside)
        tree = self.make_tree()
        os.symlink(outside, self.path("T", "link"))
        records = tree[:2] + [(self.win("T", "link") + "\\", "Folder")] + tree[2:]
        program = self.run_removal(self.write("list.txt", list_bytes(records, "pw")))
        self.press_ok("pw")
        self.confirm()
        report = self.driver.run("box", "Status", "ok")
        self.assertIn(self.win("T", "link") + "\\ - a link to another folder", report)
        self.assert_ends(program)
        self.assertTrue(os.path.isdir(outside))
        self.assertTrue(os.path.islink(self.path("T", "link")))
        self.assertFalse(os.path.exists(self.path("T", "a.txt")))

    def test_a_long_list_shows_progress_on_the_prompt(self):
        records = [("C:\\nowhere\\d%03d\\f%05d.txt" % (i % 500, i), "File") for i in range(60000)]
        program = self.run_removal(self.write("long.txt", list_bytes(records, "pw")))
        self.assertEqual(self.driver.state(PROMPT_PROGRESS, title=PROMPT)["visible"], 0)
        # Its preview closes at once, even while it fills, and the prompt goes on.
        self.driver.pclick(PROMPT_PREVIEW, title=PROMPT)
        self.assertTrue(self.driver.wait(PREVIEW))
        self.driver.pclick(PREVIEW_CLOSE, title=PREVIEW)
        self.assertTrue(self.driver.gone(PREVIEW, 2000), "the preview did not close")
        self.press_ok("pw")
        self.confirm()
        seen = False
        deadline = time.time() + 60
        while not seen and time.time() < deadline and not self.driver.visible("Status"):
            seen = self.driver.state(PROMPT_PROGRESS, title=PROMPT)["visible"] == 1
        self.assertTrue(seen, "no progress was shown")
        # Every record names a missing file: nothing was removed, nothing stays.
        self.assertEqual(self.status_report(), ["Done", "", self.account(0, 0, "0 bytes")])
        self.assert_ends(program)

    def test_a_name_outside_code_page_1252_survives_save_load_and_removal(self):
        self.start()
        os.makedirs(self.path("W"))
        with open(self.path("W", "\u4e2d\u6587.txt"), "w") as f:
            f.write("x")
        records = [(self.win("W") + "\\", "Folder"), (self.win("W", "\u4e2d\u6587.txt"), "File")]
        self.load_prepared(records)
        self.save("pw", self.win("wide.txt"))
        saved = self.read("wide.txt")
        self.assertEqual(saved, list_bytes(records, "pw"))
        self.assertTrue(saved.startswith(BOM))
        program = self.run_removal(self.win("wide.txt"))
        self.press_ok("pw")
        self.assertIn("1 file and 1 folder are listed", self.confirm())
        report = self.status_report()
        self.assertEqual(report[:2], ["Done", ""])
        self.assertRegex(report[2], r"^Removed 2 items: 1 file \(1 bytes?\) and 1 folder\.$")
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("W")))


MODES = (("delete", "0"), ("recycle bin", "1"))
NOT_BINNED = ("a name ending in a dot or a blank, which the Recycle Bin cannot take; "
              "left so that nothing else goes in its place")
FILE_WITH_SEPARATOR = "a file's path ending in a backslash, which names no file"
THROUGH_LINK = ("reached through a link: a listed folder above it is a link now; "
                "left so that nothing behind it is removed")


class HostileRemovalTest(RemovalCase):
    maxDiff = None
    def tree_bytes(self, top):
        """Every file and folder under top with its bytes, links as links."""
        found = {}
        for root, dirs, files in os.walk(top):
            for name in dirs + files:
                path = os.path.join(root, name)
                if os.path.islink(path):
                    found[path] = "link to " + os.readlink(path)
                elif os.path.isdir(path):
                    found[path] = "folder"
                else:
                    with open(path, "rb") as f:
                        found[path] = f.read()
        return found

    def run_in_mode(self, listed, bin_value):
        reg_set("RecycleBin", bin_value)
        self.addCleanup(reg_set, "RecycleBin", "0")
        program = self.run_removal(listed)
        self.press_ok("pw")
        self.confirm()
        report = self.status_report()
        self.assert_ends(program)
        return report

    def test_names_ending_in_a_dot_or_a_blank_are_the_listed_items_never_their_neighbours(self):
        neighbours = {"D/report.docx": b"neighbour report", "D/notes": b"neighbour notes", "D/data/f.txt": b"nf",
                      "D/data/g.txt": b"ng"}
        listed = {"D/report.docx.": b"listed report", "D/notes ": b"listed notes", "D/data./f.txt": b"listed f"}
        self.make_files(neighbours)
        self.make_files(listed)
        for name in ("dotdir", "dotdir."):
            os.makedirs(self.path("D", name))
        # The folder "data." dragged from Explorer is walked itself, not its
        # neighbour. (The folder browser cannot be pointed at it by its text:
        # Wine's shell parses the text and selects "data".)
        self.start()
        data = wine_path(self.path("D")) + "\\data."
        self.driver.drop(data)
        for _ in range(2):
            self.driver.run("box", "Directory", "yes")
        self.wait_status("2 items loaded...")
        added = [(path, kind) for path, kind, _ in self.driver.rows()]
        self.assertEqual(added, [(data + "\\", "Folder"), (data + "\\f.txt", "File")])
        self.programs[-1].kill()
        d = wine_path(self.path("D"))
        records = added + [(d + "\\dotdir.\\", "Folder"), (d + "\\report.docx.", "File"), (d + "\\notes ", "File")]
        list_path = self.write("dots.txt", list_bytes(records, "pw"))
        before = self.tree_bytes(self.path("D"))
        for mode, bin_value in MODES:
            with self.subTest(mode=mode):
                self.make_files(listed)
                os.makedirs(self.path("D", "dotdir."), exist_ok=True)
                report = self.run_in_mode(list_path, bin_value)
                if mode == "delete":
                    self.assertEqual(report, ["Done", "", self.account(3, 2, "33 bytes")])
                    for rel in list(listed) + ["D/dotdir.", "D/data."]:
                        self.assertFalse(os.path.lexists(self.path(*rel.split("/"))), rel)
                else:
                    self.assertEqual(report[:3], [self.account(0, 0, "0 bytes", recycled=True), "",
                                                  "5 items could not be removed:"])
                    self.assertEqual(sorted(report[4:]), sorted(p + " - " + NOT_BINNED for p, _ in records))
                    self.assertEqual(self.tree_bytes(self.path("D")), before)
                # The neighbours are untouched, byte for byte.
                for rel, data_bytes in neighbours.items():
                    with open(self.path(*rel.split("/")), "rb") as f:
                        self.assertEqual(f.read(), data_bytes, rel)
                self.assertTrue(os.path.isdir(self.path("D", "dotdir")))

    def test_a_folder_turned_link_and_a_missing_drive_are_reported_and_files_behind_links_stay(self):
        users = os.path.join(drive_c(), "users")
        user = [u for u in os.listdir(users) if u != "Public"][0]
        documents = os.path.join(users, user, "Documents")
        self.assertTrue(os.path.islink(documents))  # as in every fresh prefix
        dosdevices = os.listdir(os.path.join(os.environ["WINEPREFIX"], "dosdevices"))
        missing = [c for c in "QRSTUVWXY" if c.lower() + ":" not in dosdevices][0]
        self.make_files({"J/sub/a.txt": b"listed", "other/a.txt": b"someone else's",
                         "K/\u00c4rger/b.txt": b"listed", "L/linkedfolder/c.txt": b"listed",
                         "other2/b.txt": b"someone else's b", "other2/c.txt": b"someone else's c"})
        j, k = wine_path(self.path("J")), wine_path(self.path("K"))
        # The same folders written in other letter case (outside A-Z) and by
        # their short 8.3 names, as a hand-edited list or another tool has them.
        short = self.driver.run("short", self.win("L", "linkedfolder")).strip()
        self.assertNotEqual(short, self.win("L", "linkedfolder"))
        doc = os.path.join(documents, "ombrelay e2e.txt")
        self.addCleanup(lambda: os.path.exists(doc) and os.remove(doc))
        records = [(j + "\\sub\\a.txt", "File"), (j + "\\sub\\", "Folder"), (j + "\\", "Folder"),
                   (missing + ":\\secret.txt", "File"), (self.win("nowhere", "gone.txt"), "File"),
                   (wine_path(documents) + "\\", "Folder"), (wine_path(doc), "File"),
                   (k + "\\\u00c4rger\\", "Folder"), (k + "\\\u00e4rger\\b.txt", "File"),
                   (self.win("L", "linkedfolder") + "\\", "Folder"), (short + "\\c.txt", "File")]
        list_path = self.write("links.txt", list_bytes(records, "pw"))
        # Between the list and the run the folders become links elsewhere.
        shutil.rmtree(self.path("J", "sub"))
        os.symlink(self.path("other"), self.path("J", "sub"))
        for folder in (("K", "\u00c4rger"), ("L", "linkedfolder")):
            shutil.rmtree(self.path(*folder))
            os.symlink(self.path("other2"), self.path(*folder))
        before = self.tree_bytes(self.dir)
        for mode, bin_value in MODES:
            with self.subTest(mode=mode):
                with open(doc, "w") as f:
                    f.write("a file in Documents, which is a link to the home folder")
                report = self.run_in_mode(list_path, bin_value)
                self.assertEqual(report[:3], [self.account(1, 0, "55 bytes", recycled=mode != "delete"), "",
                                              "9 items could not be removed:"])
                link_kept = "a link to another folder; left so that nothing behind it is removed"
                self.assertEqual(dict(line.rsplit(" - ", 1) for line in report[4:]), {
                    wine_path(documents) + "\\": link_kept,
                    j + "\\sub\\a.txt": THROUGH_LINK,
                    j + "\\sub\\": link_kept,
                    j + "\\": "folder not empty",
                    missing + ":\\secret.txt": "the drive is not there",
                    k + "\\\u00c4rger\\": link_kept, k + "\\\u00e4rger\\b.txt": THROUGH_LINK,
                    self.win("L", "linkedfolder") + "\\": link_kept, short + "\\c.txt": THROUGH_LINK})
                self.assertEqual(self.tree_bytes(self.dir), before)
                self.assertFalse(os.path.exists(doc))

    def test_the_preview_shows_what_the_run_will_do_and_the_run_does_just_that(self):
        dosdevices = os.listdir(os.path.join(os.environ["WINEPREFIX"], "dosdevices"))
        missing = [c for c in "QRSTUVWXY" if c.lower() + ":" not in dosdevices][0]
        self.make_files({"P/a.txt": b"abc", "P/b.bin": b"x" * 1234, "J/sub/a.txt": b"listed",
                         "other/a.txt": b"someone else's", "Q/go.txt": b"go", "Q/keep.txt": b"not listed",
                         "B/c.txt": b"c", "N/C/f.txt": b"f"})
        os.makedirs(self.path("X", "F"))
        p, j, n = self.win("P"), self.win("J"), self.win("N")
        link_kept = "will stay: a link to another folder; left so that nothing behind it is removed"
        # Rows in list order; the run takes them from the last. The folder N
        # is listed after one it holds (its parent last, as "add a folder,
        # then its parent without subfolders" lists them).
        expected = [
            (p + "\\", "Folder", REMOVED, "folder"),
            (p + "\\a.txt", "File", "listed above", ""),
            (p + "\\b.bin", "File", REMOVED, "1.20 KB"),
            (p + "\\missing.txt", "File", GONE, ""),
            ("C:\\", "Folder", "will stay: the root of a drive; never removed", "folder"),
            ("CON", "File", "will stay: a device, not a file or folder", ""),
            ("rel.txt", "File", "will stay: not a full path", ""),
            (j + "\\sub\\", "Folder", link_kept, "folder"),
            (j + "\\sub\\a.txt", "File", "will stay: " + THROUGH_LINK, ""),
            (missing + ":\\secret.txt", "File", "will stay: the drive is not there", ""),
            (self.win("X", "F"), "File", "will stay: a folder, listed as a file", ""),
            (p + "\\A.TXT", "File", REMOVED, "3 bytes"),
            (p + "\\x.txt", "file", "will stay: not understood", ""),
            (self.win("Q") + "\\", "Folder", "will stay: it holds 1 item that is not in the list", "folder"),
            (self.win("Q", "go.txt"), "File", REMOVED, "2 bytes"),
            (self.win("B", "c.txt") + "\\", "File", "will stay: " + FILE_WITH_SEPARATOR, ""),
            (n + "\\C\\", "Folder", REMOVED, "folder"),
            (n + "\\C\\f.txt", "File", REMOVED, "1 bytes"),
            (n + "\\", "Folder", REMOVED, "folder"),
        ]
        records = list_bytes([(path, kind) for path, kind, _, _ in expected], "pw")
        list_path = self.write("preview.txt", list_bytes([(path, kind) for path, kind, _, _ in expected[:3]], "pw"))
        # Between the list and the run the listed folder becomes a link elsewhere.
        shutil.rmtree(self.path("J", "sub"))
        os.symlink(self.path("other"), self.path("J", "sub"))
        program = self.run_removal(list_path)
        # The list changes while the prompt waits: the preview shows it as it is at the press.
        time.sleep(1)
        self.write("preview.txt", records)
        before = self.tree_bytes(self.dir)
        rows = self.open_preview()
        self.assertEqual(len(rows), len(expected))
        self.assertEqual(sorted(rows), sorted((path, outcome, size) for path, _, outcome, size in expected))
        self.assertEqual(re.split(r"\r*\n", self.driver.text(PREVIEW_TOTALS, title=PREVIEW)),
                         ["Will be removed: 4 files and 3 folders, 1.21 KB", "C: 4 files and 3 folders, 1.21 KB",
                          "Already gone: 1. Will stay: 10. Listed again: 1."])
        self.driver.click(PREVIEW_COPY, title=PREVIEW)
        self.assertEqual(self.driver.clipboard(),
                         "Path\tOutcome\tSize\r\n" + "".join("%s\t%s\t%s\r\n" % row for row in rows))
        # The headers sort (a second click turns the order round); typing finds a path.
        self.driver.run("header", PREVIEW, 0)
        self.assertEqual([row[0].upper() for row in self.preview_rows()], sorted(row[0].upper() for row in expected))
        self.driver.run("header", PREVIEW, 2)
        self.driver.run("header", PREVIEW, 2)
        self.assertEqual([row[2] for row in self.preview_rows()[:5]], ["1.20 KB", "3 bytes", "2 bytes", "1 bytes",
                                                                        "folder"])
        self.driver.run("type", PREVIEW, "rel")
        shown = self.preview_rows()
        self.assertEqual(shown[int(self.driver.run("focused", PREVIEW))][0], "rel.txt")
        # After a pause a full path's start, colon and all, in other case.
        time.sleep(1.5)
        self.driver.run("type", PREVIEW, p.lower() + "\\B")
        self.assertEqual(shown[int(self.driver.run("focused", PREVIEW))][0], p + "\\b.bin")
        self.assertEqual(self.tree_bytes(self.dir), before)
        # Closed, the preview leaves the prompt as it was. The disk changes
        # before OK: the confirmation counts what the list holds (each item
        # once), not what the preview saw, and the run goes by the disk.
        self.driver.click(PREVIEW_CLOSE, title=PREVIEW)
        self.assertTrue(self.driver.gone(PREVIEW))
        self.make_files({"N/late.txt": b"written after the preview"})
        self.press_ok("pw")
        self.assertEqual(self.confirm(), CONFIRM + "\r\n11 files and 6 folders are listed in " + list_path)
        report = self.status_report()
        self.assertEqual(report[0], self.account(4, 2, "1.21 KB"))
        self.assertIn(self.win("Q") + "\\ - it holds 1 item that is not in the list", report)
        self.assertIn(n + "\\ - it holds 1 item that is not in the list", report)
        self.assertIn(self.win("B", "c.txt") + "\\ - " + FILE_WITH_SEPARATOR, report)
        self.assert_ends(program)
        after = self.tree_bytes(self.dir)
        self.assertEqual(after.pop(self.path("N", "late.txt")), b"written after the preview")
        self.assertEqual(set(before) - set(after), {self.path(*rel.split("/")) for rel in (
            "P", "P/a.txt", "P/b.bin", "Q/go.txt", "N/C", "N/C/f.txt")})
        self.assertEqual({path: data for path, data in before.items() if path in after}, after)
        # A folder listed before one it holds goes once that one has gone
        # (one more look at the end of the folder pass), and is not called
        # "not empty" for a moment it was.
        os.remove(self.path("N", "late.txt"))
        self.make_files({"N/C/f.txt": b"f"})
        records = [(n + "\\C\\", "Folder"), (n + "\\C\\f.txt", "File"), (n + "\\", "Folder")]
        program = self.run_removal(self.write("nested.txt", list_bytes(records, "pw")))
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.status_report(), ["Done", "", self.account(1, 2, "1 bytes")])
        self.assert_ends(program)
        self.assertFalse(os.path.lexists(self.path("N")))

    def test_a_rule_run_a_week_later_takes_just_what_its_folder_then_holds_and_a_protected_one_nothing(self):
        """A list with a rule, saved in the main window; a week later the
        folder holds new files, too new ones, exceptions, a link and emptied
        subfolders. The preview and the run through the shortcut agree with
        the disk, file by file."""
        self.start()
        r, x = self.win("R"), self.win("L", "x.txt")
        rule = "Rule|names=:.log;:.tmp|except=keep:|age=7d|subfolders=yes|emptied=yes"
        records = [(r + "\\", rule), (r + "\\listed.log", "File"), (x, "File")]
        self.make_files({"L/x.txt": b"55555"})
        os.makedirs(self.path("R"))
        self.load_prepared(records)
        # The list itself lies in the rule's folder, and fits its names and age.
        self.save("pw", self.win("R", "list.log"))
        week_ago, yesterday = time.time() - 10 * 86400, time.time() - 86400
        self.make_files({"R/old.log": b"1", "R/listed.log": b"22", "R/sub/deep.tmp": b"333",
                         "R/sub2/a.tmp": b"4444", "R/sub2/b.txt": b"stays", "R/new.log": b"too new",
                         "R/keep.log": b"an exception", "R/notes.txt": b"not its names",
                         "O/o.log": b"behind a link"})
        os.makedirs(self.path("R", "sub3", "empty"))
        os.symlink(self.path("O"), self.path("R", "link"))
        for rel in ("old.log", "listed.log", "sub/deep.tmp", "sub2/a.tmp", "sub2/b.txt", "keep.log", "notes.txt",
                    "list.log"):
            os.utime(self.path("R", *rel.split("/")), (week_ago, week_ago))
        os.utime(self.path("O", "o.log"), (week_ago, week_ago))
        os.utime(self.path("R", "new.log"), (yesterday, yesterday))
        before = self.tree_bytes(self.dir)
        self.run_shortcut(shortcut_path())
        summary = "*.log; *.tmp, except keep*, older than 7 days, with subfolders, emptied subfolders removed"
        expected = [(r + "\\listed.log", REMOVED, "2 bytes"), (x, REMOVED, "5 bytes"),
                    (r + "\\", "rule (%s): takes 3 files and 3 folders" % summary, "8 bytes"),
                    (r + "\\old.log", REMOVED, "1 bytes"), (r + "\\sub\\deep.tmp", REMOVED, "3 bytes"),
                    (r + "\\sub2\\a.tmp", REMOVED, "4 bytes"), (r + "\\sub\\", REMOVED, "folder"),
                    (r + "\\sub3\\empty\\", REMOVED, "folder"), (r + "\\sub3\\", REMOVED, "folder")]
        rows = self.open_preview()
        self.assertEqual(sorted(rows), sorted(expected))
        self.assertEqual(re.split(r"\r*\n", self.driver.text(PREVIEW_TOTALS, title=PREVIEW)),
                         ["Will be removed: 5 files and 3 folders, 15 bytes", "C: 5 files and 3 folders, 15 bytes",
                          "Already gone: 0. Will stay: 0."])
        self.driver.click(PREVIEW_COPY, title=PREVIEW)
        self.assertEqual(self.driver.clipboard(),
                         "Path\tOutcome\tSize\r\n" + "".join("%s\t%s\t%s\r\n" % row for row in rows))
        self.driver.click(PREVIEW_CLOSE, title=PREVIEW)
        self.assertEqual(self.tree_bytes(self.dir), before)
        self.press_ok("pw")
        self.assertEqual(self.confirm(), CONFIRM + "\r\n2 files and 0 folders are listed in " +
                         self.win("R", "list.log") + "\r\n1 rule takes what its folder holds when the run starts: "
                         "at the preview, 3 files and 3 folders (8 bytes).")
        self.assertEqual(self.status_report(), ["Done", "", self.account(5, 3, "15 bytes"),
                                                "Of them, 1 rule took 6 items."])
        self.assert_ends()
        after = self.tree_bytes(self.dir)
        self.assertEqual(set(before) - set(after), {self.path(*rel.split("/")) for rel in (
            "L/x.txt", "R/old.log", "R/listed.log", "R/sub", "R/sub/deep.tmp", "R/sub2/a.tmp", "R/sub3",
            "R/sub3/empty")})
        self.assertEqual({path: data for path, data in before.items() if path in after}, after)
        self.assertEqual(after[self.path("O", "o.log")], b"behind a link")
        # A rule on a protected place is refused when the run starts, whatever the list says.
        bait = os.path.join(desktop(), "bait.txt")
        with open(bait, "wb") as f:
            f.write(b"on the desktop")
        self.addCleanup(os.remove, bait)
        records = [(wine_path(desktop()) + "\\", "Rule|names=bait.txt|except=|age=|subfolders=no|emptied=no")]
        program = self.run_removal(self.write("protected.txt", list_bytes(records, "pw")))
        self.press_ok("pw")
        self.confirm()
        report = self.status_report()
        self.assert_ends(program)
        self.assertEqual(report, [self.account(0, 0, "0 bytes"), "Of them, 1 rule took 0 items.",
                                  wine_path(desktop()) + "\\: 1 of its 1 item stayed.", "",
                                  "1 item could not be removed:", "",
                                  wine_path(desktop()) + "\\ - a protected place (your Desktop folder); "
                                  "a rule never takes from it"])
        self.assertTrue(os.path.exists(bait))

    def test_a_rule_follows_no_link_in_any_spelling_and_never_takes_its_list_or_the_program(self):
        """A rule whose folder has become a link, written with each kind of
        closing separator, takes nothing; a list named by a relative path
        from a console, or through a link, in the folder its own rule
        clears, stays; so does the program, started through a link."""
        rule = "Rule|names=|except=|age=|subfolders=yes|emptied=no"

        def run(list_win_path, **start):
            program = self.start("Remove Files*" + list_win_path, wait_main=False, **start)
            self.assertTrue(self.driver.wait(PROMPT, 20000), "the password prompt did not appear")
            rows = self.open_preview()
            self.driver.click(PREVIEW_CLOSE, title=PREVIEW)
            self.press_ok("pw")
            self.confirm()
            report = self.status_report()
            self.assert_ends(program)
            return rows, report

        self.make_files({"O/a.tmp": b"1", "O/sub/b.tmp": b"22"})
        os.makedirs(self.path("R"))
        os.symlink(self.path("O"), self.path("R", "cache"))
        c = self.win("R", "cache")
        spellings = [c.replace("\\", "/") + "/", c + "/", c + "\\", "\\\\?\\" + c + "/"]
        rows, report = run(self.write("links.txt", list_bytes([(s, rule) for s in spellings], "pw")))
        refused = "the folder is a link; a rule never follows one"
        self.assertEqual(sorted(row[:2] for row in rows), sorted((s, "will stay: rule refused: " + refused)
                                                                 for s in spellings))
        self.assertEqual(report[:2], [self.account(0, 0, "0 bytes"), "Of them, 4 rules took 0 items."])
        self.assertEqual(sorted(line for line in report if line.endswith(refused)),
                         sorted(s + " - " + refused for s in spellings))
        self.assertEqual(self.tree_bytes(self.path("O")), {self.path("O", "a.tmp"): b"1",
                                                          self.path("O", "sub"): "folder",
                                                          self.path("O", "sub", "b.tmp"): b"22"})

        # The list in the folder its rule clears, named as a console user names it.
        k = self.win("K")
        os.symlink(self.path("K"), self.path("KL"))
        for start in ({"cwd": self.path("K")}, {}):
            self.make_files({"K/junk.tmp": b"j", "K/cache.txt": list_bytes([(k + "\\", rule)], "pw")})
            listed = "cache.txt" if start else self.win("KL", "cache.txt")
            rows, report = run(listed, **start)
            self.assertIn((k + "\\", "rule (all files, with subfolders): takes 1 file", "1 bytes"), rows)
            self.assertEqual(report, ["Done", "", self.account(1, 0, "1 bytes"), "Of them, 1 rule took 1 item."])
            self.assertEqual(sorted(os.listdir(self.path("K"))), ["cache.txt"])

        # The program's own folder, cleared by a rule of a list elsewhere; the
        # program was started through a link to that folder.
        self.make_files({"P/other.tmp": b"o"})
        shutil.copy(EXE, self.path("P", "ombrelay.exe"))
        os.symlink(self.path("P"), self.path("PL"))
        program_size = os.path.getsize(EXE)
        listed = self.write("program.txt", list_bytes([(self.win("P") + "\\", rule)], "pw"))
        rows, report = run(listed, exe=self.path("PL", "ombrelay.exe"))
        self.assertEqual(report[:3], ["Done", "", self.account(1, 0, "1 bytes")])
        self.assertEqual(os.listdir(self.path("P")), ["ombrelay.exe"])
        self.assertEqual(os.path.getsize(self.path("P", "ombrelay.exe")), program_size)

    def test_routines_take_their_places_in_every_profile_keep_their_exclusions_and_follow_no_link(self):
        """A list holding cleaning routines, as the routines window adds them:
        a browser's caches in two profiles (a link inside one), an
        application's logs with an exclusion, a crash folder that goes with
        its files, one for a program this computer does not have. Loaded and
        saved (the same bytes), previewed and run from the desktop shortcut:
        exactly the items they name go."""
        local, roaming = (os.path.join(os.path.dirname(desktop()), "AppData", sub) for sub in ("Local", "Roaming"))
        for place in (os.path.join(local, "OmbTestBrowser"), os.path.join(local, "OmbTestCrash"),
                      os.path.join(roaming, "OmbTestEditor")):
            shutil.rmtree(place, ignore_errors=True)
            self.addCleanup(shutil.rmtree, place, True)
        files = {os.path.join(local, "OmbTestBrowser", "User Data", *rel.split("/")): data for rel, data in (
            ("Default/Cache/data_0", b"000"), ("Default/Cache/index/f_001", b"1"), ("Default/Preferences", b"pref"),
            ("Profile 1/Cache/data_1", b"22"))}
        files.update({os.path.join(local, "OmbTestCrash", "Dumps", *rel.split("/")): data for rel, data in (
            ("a.dmp", b"dump"), ("old/b.dmp", b"dump2"))})
        files.update({os.path.join(roaming, "OmbTestEditor", "Logs", *rel.split("/")): data for rel, data in (
            ("a.log", b"a"), ("keep.log", b"keep"), ("notes.txt", b"notes"), ("old/b.log", b"bb"))})
        files[self.path("O", "precious.tmp")] = b"behind a link"
        files[self.path("L", "x.txt")] = b"55555"
        for path, data in files.items():
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        os.symlink(self.path("O"), os.path.join(local, "OmbTestBrowser", "User Data", "Profile 1", "Cache", "linked"))
        reg_set("Installed", "1", key="HKCU\\Software\\OmbTestCrash")
        self.addCleanup(subprocess.run, ["wine", "reg", "delete", "HKCU\\Software\\OmbTestCrash", "/f"],
                        capture_output=True)
        caches = r"%LocalAppData%\OmbTestBrowser\User Data\*\Cache|*.*|RECURSE"
        records = [
            routine_record("OmbTest Browser Cache", "Google Chrome", ("DetectFile", r"%LocalAppData%\OmbTestBrowser"),
                    ("FileKey1", caches)),
            routine_record("OmbTest Editor Logs", "Applications", ("Warning", "Removes the undo history: see C:\\Help."),
                    ("FileKey1", r"%AppData%\OmbTestEditor\Logs|*.log|RECURSE"),
                    ("ExcludeKey1", r"FILE|%AppData%\OmbTestEditor\Logs\|keep.log")),
            routine_record("OmbTest Crash Dumps", "Windows", ("Detect", r"HKCU\Software\OmbTestCrash"),
                    ("FileKey1", r"%LocalAppData%\OmbTestCrash\Dumps|*.*|REMOVESELF")),
            routine_record("OmbTest Absent", "Utilities", ("Detect", r"HKCU\Software\OmbTestAbsent"), ("FileKey1", caches)),
            (self.win("L", "x.txt"), "File")]
        self.start()
        self.load_prepared(records)
        self.save("pw", self.win("routines.txt"))
        self.assertEqual(self.read("routines.txt"), list_bytes(records, "pw"))
        before = {path: pathlib.Path(path).read_bytes() for path in files}

        self.run_shortcut(shortcut_path())
        browser, crash = wine_path(os.path.join(local, "OmbTestBrowser")), wine_path(os.path.join(local, "OmbTestCrash"))
        logs = wine_path(os.path.join(roaming, "OmbTestEditor", "Logs"))
        expected = [
            (self.win("L", "x.txt"), REMOVED, "5 bytes"),
            ("OmbTest Browser Cache", "routine (Google Chrome): takes 3 files", "6 bytes"),
            (browser + "\\User Data\\Default\\Cache\\data_0", REMOVED, "3 bytes"),
            (browser + "\\User Data\\Default\\Cache\\index\\f_001", REMOVED, "1 bytes"),
            (browser + "\\User Data\\Profile 1\\Cache\\data_1", REMOVED, "2 bytes"),
            ("OmbTest Editor Logs", "routine (Applications): takes 2 files", "3 bytes"),
            (logs + "\\a.log", REMOVED, "1 bytes"), (logs + "\\old\\b.log", REMOVED, "2 bytes"),
            ("OmbTest Crash Dumps", "routine (Windows): takes 2 files and 2 folders", "9 bytes"),
            (crash + "\\Dumps\\a.dmp", REMOVED, "4 bytes"), (crash + "\\Dumps\\old\\b.dmp", REMOVED, "5 bytes"),
            (crash + "\\Dumps\\old\\", REMOVED, "folder"), (crash + "\\Dumps\\", REMOVED, "folder"),
            ("OmbTest Absent", "will stay: routine refused: not on this computer", "")]
        self.assertEqual(sorted(self.open_preview()), sorted(expected))
        self.driver.click(PREVIEW_CLOSE, title=PREVIEW)
        self.press_ok("pw")
        self.assertEqual(self.confirm(), CONFIRM + "\r\n1 file and 0 folders are listed in " +
                         self.win("routines.txt") + "\r\n4 routines take what their folders hold when the run "
                         "starts: at the preview, 7 files and 2 folders (18 bytes).")
        self.assertEqual(self.status_report(), ["Done", "", self.account(8, 2, "23 bytes"),
                                                "Of them, 4 routines took 9 items.",
                                                "OmbTest Absent: not on this computer."])
        self.assert_ends()
        gone = {path for path in files if not os.path.exists(path)}
        self.assertEqual(gone, {p for p in files if p.endswith(("data_0", "f_001", "data_1", "a.log", "b.log", ".dmp",
                                                                 "x.txt"))})
        self.assertEqual({path: pathlib.Path(path).read_bytes() for path in files if path not in gone},
                         {path: data for path, data in before.items() if path not in gone})
        self.assertFalse(os.path.exists(os.path.join(local, "OmbTestCrash", "Dumps")))
        self.assertTrue(os.path.isdir(os.path.join(local, "OmbTestBrowser", "User Data", "Default", "Cache", "index")))

    def test_a_run_stops_after_the_items_in_hand_by_stop_esc_or_a_close_request(self):
        folders = ["F%02d" % i for i in range(60)]

        def make_tree():
            """The whole tree again: each way stops a run from the start of the list."""
            for folder in folders:
                os.makedirs(self.path("big", folder), exist_ok=True)
                for n in range(1000):
                    open(self.path("big", folder, "%04d.txt" % n), "wb").close()

        big = wine_path(self.path("big"))
        records = [(big + "\\", "Folder")] + [(big + "\\" + f + "\\", "Folder") for f in folders]
        records += [(big + "\\%s\\%04d.txt" % (f, n), "File") for f in folders for n in range(1000)]
        list_path = self.write("big.txt", list_bytes(records, "pw"))
        def count(kind):
            return sum(len(dirs if kind == "folders" else files) for _, dirs, files in os.walk(self.path("big")))
        for way in ("stop", "esc", "close"):
            with self.subTest(way=way):
                make_tree()
                present_files, present_folders = count("files"), count("folders") + 1
                first = next(unix_path(p) for p, kind in reversed(records) if kind == "File" and
                             os.path.exists(unix_path(p)))
                program = self.run_removal(list_path)
                self.press_ok("pw")
                # The list's counts in the user's style (en-US here).
                self.assertEqual(self.confirm(), CONFIRM + "\r\n60,000 files and 61 folders are listed in " + list_path)
                # Stopped mid-run: the bar is showing and has moved.
                deadline = time.time() + 30
                while time.time() < deadline and not (
                        self.driver.state(PROMPT_PROGRESS, title=PROMPT)["visible"] == 1
                        and self.driver.progress(title=PROMPT)[0] > 0):
                    time.sleep(0.05)
                self.assertEqual(self.driver.text(PROMPT_CANCEL, title=PROMPT), "Stop")
                # The bar shows while the run still looks at the folders; the
                # user waits until files go (the last listed goes first).
                while os.path.exists(first) and time.time() < deadline:
                    time.sleep(0.05)
                if way == "stop":
                    self.driver.pclick(PROMPT_CANCEL, title=PROMPT)
                elif way == "esc":
                    self.driver.run("key", PROMPT, PROMPT_CANCEL, 0x1B)
                else:
                    self.driver.run("close", PROMPT)
                report = self.status_report()
                self.assert_ends(program)
                left_files, left_folders = count("files"), count("folders") + 1
                left = left_files + left_folders
                removed = present_files + present_folders - left
                self.assertGreater(removed, 0)
                self.assertEqual(report[0], "The run was stopped. {:,} items were removed.".format(removed))
                self.assertEqual(report[2], self.account(present_files - left_files, present_folders - left_folders,
                                                         "0 bytes"))
                self.assertEqual(report[4], "{:,} items were left:".format(left))
                self.assertNotIn("Done", report)
                place = report[-1]
                self.assertTrue(place.startswith("The full list is in "), place)
                with open(unix_path(place[len("The full list is in "):]), "rb") as f:
                    lines = f.read()[3:].decode("utf-8").split("\r\n")
                self.assertEqual(lines[2], "{:,} items could not be removed:".format(left))
                lines = lines[4:-1]
                self.assertEqual(len(lines), left)
                for line in lines:
                    path = line.rsplit(" - ", 1)[0]
                    self.assertTrue(path.startswith(big), line)
                    self.assertTrue(os.path.lexists(self.path("big") + path[len(big):].replace("\\", "/")), line)


if __name__ == "__main__":
    unittest.main()
