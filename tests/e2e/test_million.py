"""A million files end to end, kept out of the default run (it takes several
minutes): run it with OMBRELAY_MILLION=1 scripts/test.sh -R e2e.test_million.
The test makes 1,000,000 files in 50,500 folders, adds the tree through the
folder browser, runs the list commands, saves the list with its shortcut,
loads it back, and removes the tree through the desktop shortcut. It prints
how long each step took and the program's peak memory."""
import os
import shutil
import subprocess
import time
import unittest

from harness import CMD_ADD, CMD_INVERT, CMD_SELECT_ALL, MAIN, drive_c, wine_path
from add_helpers import BROWSER, folder_question, subfolder_question
from test_save_load import ListFileCase, read_shortcut, shortcut_path

TOP, SUB, FILES = 500, 100, 20
ENTRIES = 1 + TOP + TOP * SUB + TOP * SUB * FILES


def make_tree(root):
    for t in range(TOP):
        for s in range(SUB):
            folder = os.path.join(root, "folder_%03d" % t, "sub_%02d" % s)
            os.makedirs(folder)
            for f in range(FILES):
                with open(os.path.join(folder, "document_%02d.txt" % f), "wb") as out:
                    out.write(b"x")


def peak_memory_mb(image):
    """The program's peak private memory as Wine's tasklist-free /proc sees
    it: the Linux process's VmHWM (resident peak)."""
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if image.encode() not in f.read():
                    continue
            with open("/proc/%s/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1]) / 1024
        except OSError:
            continue
    return 0


@unittest.skipUnless(os.environ.get("OMBRELAY_MILLION"), "set OMBRELAY_MILLION=1 to run the million-file test")
class MillionTest(ListFileCase):
    def step(self, name, started):
        print("%-34s %6.1f s" % (name, time.time() - started), flush=True)

    def test_a_million_files_from_adding_to_removal(self):
        root = os.path.join(drive_c(), "Million")
        shutil.rmtree(root, ignore_errors=True)
        self.addCleanup(shutil.rmtree, root, True)
        started = time.time()
        make_tree(root)
        self.step("tree made", started)
        folder = wine_path(root)
        self.start()
        started = time.time()
        self.driver.pclick(CMD_ADD)
        self.assertTrue(self.driver.wait(BROWSER))
        time.sleep(1)
        self.driver.run("bff", BROWSER, folder, "ok")
        self.assertEqual(self.driver.run("box", "Directory", "yes"), subfolder_question(folder))
        self.assertEqual(self.driver.run("box", "Directory", "yes"), folder_question(folder))
        self.wait_status("%d items loaded..." % ENTRIES, seconds=600)
        self.step("added through the window", started)
        for button in (CMD_SELECT_ALL, CMD_INVERT, CMD_SELECT_ALL):
            started = time.time()
            self.driver.click(button)
            self.step("list command %d" % button, started)
        started = time.time()
        self.save("pw", self.win("million list.txt"))
        self.assertEqual(self.driver.status(), "%d items saved..." % ENTRIES)
        self.step("saved", started)
        started = time.time()
        self.load(self.win("million list.txt"))
        self.wait_status("%d items loaded..." % ENTRIES, seconds=120)
        self.step("loaded", started)
        print("peak memory of the window        %6.0f MB" % peak_memory_mb("ombrelay.exe"), flush=True)
        self.driver.run("close", MAIN)
        link = read_shortcut(shortcut_path())
        self.assertEqual(link["Command line arguments"], "Remove Files*" + self.win("million list.txt"))
        subprocess.run(["wine", "start", "/unix", shortcut_path()], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        self.assertTrue(self.driver.wait("Password", 60000))
        self.driver.settext(302, "pw", title="Password")
        self.driver.pclick(1, title="Password")
        self.assertIn("1000000 files and 50501 folders", self.driver.run("box", "Remove", "yes", "60000"))
        started = time.time()
        self.assertEqual(self.driver.run("box", "Status", "ok", str(1800 * 1000), timeout=1900), "Done")
        self.step("removed through the shortcut", started)
        self.assertFalse(os.path.exists(root))


if __name__ == "__main__":
    unittest.main()
