"""The removal run end to end: the whole main job from adding a tree to the
shortcut's run, the password prompt and its refusals, items that stay and
the closing report, the ways out that delete nothing, a missing list file,
a folder link, and a name outside code page 1252."""
import os
import re
import shutil
import subprocess
import time
import unittest

from harness import (CMD_ADD, MAIN, OPT_ADD_FOLDER, CHK_SUBFOLDERS, E2ETest, drive_c, unix_path, wine_path)
from test_save_load import BOM, ListFileCase, list_bytes, read_shortcut, shortcut_path

PROMPT = "Password"
PROMPT_TEXT, PROMPT_OK, PROMPT_CANCEL, PROMPT_PROGRESS = 302, 1, 2, 303
CONFIRM = "Are you sure you wish to remove your files?"


class RemovalTest(ListFileCase):
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

    def run_removal(self, list_win_path):
        """Starts the program as the shortcut does: the arguments unquoted."""
        args = ("Remove Files*" + list_win_path).split(" ")
        program = self.start(*args, wait_main=False)
        self.assertTrue(self.driver.wait(PROMPT, 20000), "the password prompt did not appear")
        return program

    def press_ok(self, password):
        self.driver.settext(PROMPT_TEXT, password, title=PROMPT)
        self.driver.pclick(PROMPT_OK, title=PROMPT)

    def confirm(self, answer="yes"):
        return self.driver.run("box", "Remove", answer)

    def assert_ends(self, program):
        self.assertTrue(program.wait_exit(20), "the program did not end")

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
        program = self.run_removal(link["Command line arguments"][len("Remove Files*"):])
        self.press_ok("PW")
        self.assertEqual(self.confirm(), CONFIRM + "\r\n3 files and 2 folders are listed in " + self.win("old list.txt"))
        self.assertEqual(self.driver.run("box", PROMPT, "ok"), "Incorrect Password.")
        time.sleep(0.5)
        self.assertTrue(program.running())
        self.assertTrue(self.driver.visible(PROMPT))
        self.assertEqual(self.driver.text(PROMPT_TEXT, title=PROMPT), "PW")
        self.assertTrue(all(os.path.exists(unix_path(p)) for p, _ in rows))
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.driver.run("box", "Status", "ok"), "Done")
        self.assert_ends(program)
        self.assertFalse(any(os.path.exists(unix_path(p)) for p, _ in rows))
        self.assertTrue(os.path.exists(self.path("old list.txt")))
        self.assertTrue(os.path.exists(shortcut_path()))

    def test_items_that_stay_are_listed_with_the_folders_above_them(self):
        tree = self.make_tree()
        os.chmod(self.path("T", "a.txt"), 0o444)
        listed = self.write("list.txt", list_bytes(tree, "pw"))
        held = self.win("T", "S", "d.txt")
        holder = subprocess.Popen(["wine", self.driver_exe(), "hold", held, "30000"], stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            program = self.run_removal(listed)
            self.press_ok("pw")
            self.confirm()
            report = self.driver.run("box", "Status", "ok")
        finally:
            holder.kill()
            holder.wait()
            holder.stdout.close()
        self.assertEqual(re.split(r"\r*\n", report), [
            "4 items could not be removed:", "",
            held + " - in use by another program",
            self.win("T", "a.txt") + " - read-only",
            self.win("T", "S") + "\\ - folder not empty",
            self.win("T") + "\\ - folder not empty"])
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("T", "b c.txt")))
        self.assertTrue(os.path.exists(self.path("T", "a.txt")))
        self.assertTrue(os.path.exists(self.path("T", "S", "d.txt")))

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
        self.assertTrue(os.path.exists(self.path("T", "S", "d.txt")))
        self.assertTrue(os.path.exists(self.path("T", "a.txt")))

    def test_a_stored_password_with_blanks_matches_only_without_them(self):
        listed = self.write("list.txt", list_bytes(self.make_tree(), "  pw  "))
        program = self.run_removal(listed)
        self.press_ok("  pw  ")
        self.confirm()
        self.assertEqual(self.driver.run("box", PROMPT, "ok"), "Incorrect Password.")
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.driver.run("box", "Status", "ok"), "Done")
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("T")))

    def test_a_list_file_that_cannot_be_read_is_named_and_nothing_happens(self):
        self.make_tree()
        missing = self.win("missing list.txt")
        program = self.run_removal(missing)
        self.press_ok("")
        text = self.driver.run("box", "Remove", "ok")
        self.assertIn(missing, text)
        self.assertIn("Nothing has been removed.", text)
        self.assertNotIn(CONFIRM, text)
        self.assert_ends(program)
        self.assertTrue(os.path.exists(self.path("T", "a.txt")))
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
        self.press_ok("pw")
        self.confirm()
        seen = False
        deadline = time.time() + 60
        while not seen and time.time() < deadline and not self.driver.visible("Status"):
            seen = self.driver.state(PROMPT_PROGRESS, title=PROMPT)["visible"] == 1
        self.assertTrue(seen, "no progress was shown")
        self.assertEqual(self.driver.run("box", "Status", "ok", "60000"), "Done")
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
        self.assertEqual(self.driver.run("box", "Status", "ok"), "Done")
        self.assert_ends(program)
        self.assertFalse(os.path.exists(self.path("W")))


if __name__ == "__main__":
    unittest.main()
