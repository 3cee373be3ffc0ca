"""Cleaning routines through the real windows: a routines file of the test's
own opened with Add routines (the open dialog the first time, the
remembered file after), the entries that fit this computer with what each
takes now, ticks (a warning asks first), the details, Add (a routine
already in the list not twice), the list saved and loaded with the same
bytes, then previewed and run from a console: exactly the items the
routines name go, the excluded files, a link's target and everything
outside stay. Then Update routines against a local server: a routines file
replaces the kept one in one step, anything else leaves it."""
import os
import pathlib
import re
import shutil
import subprocess
import time
import unittest

from harness import CMD_ADD, FD_KEY, reg_delete, reg_query, reg_set, desktop, wine_path
from http_test_server import TestServer
from test_removal import PREVIEW, PREVIEW_CLOSE, REMOVED, RemovalCase
from test_save_load import list_bytes, routine_record

ROUTINES = "Add routines"
OPEN_TITLE = "Find the routines file (winapp2.ini) to open"
MNU_ADD_ROUTINES, OPT_ADD_ROUTINES = 214, 118
R_FILE, R_CHOOSE, R_UPDATE, R_FIT, R_FIND, R_SHOW_ALL, R_TOTAL, R_DETAILS, R_ADD = (
    501, 502, 503, 504, 506, 507, 509, 510, 511)
DETAILS_TEXT, DETAILS_ITEMS = 521, 522

ROUTINES_INI = r"""; Routines of the test's own, in the community file's format.
[OmbRtw Browser Cache *]
LangSecRef=3029
DetectFile=%LocalAppData%\OmbRtwBrowser
Default=True
FileKey1=%LocalAppData%\OmbRtwBrowser\User Data\*\Cache|*.*|RECURSE

[OmbRtw Editor Logs *]
LangSecRef=3021
DetectFile=%AppData%\OmbRtwEditor
FileKey1=%AppData%\OmbRtwEditor\Logs|*.log|RECURSE
ExcludeKey1=FILE|%AppData%\OmbRtwEditor\Logs\|keep.log

[OmbRtw Crash Dumps *]
LangSecRef=3025
Detect=HKCU\Software\OmbRtwCrash
FileKey1=%LocalAppData%\OmbRtwCrash\Users\*\*|RemoveEmptyFoldersOnly|REMOVESELF
FileKey2=%LocalAppData%\OmbRtwCrash\Dumps|*.*|REMOVESELF
FileKey3=%LocalAppData%\OmbRtwCrash\Reports|*|REMOVESELF
FileKey4=%LocalAppData%\OmbRtwCrash\Users\*\config\*cache|*|RECURSE
ExcludeKey1=PATH|%LocalAppData%\OmbRtwCrash\Reports\Pinned\*\|*

[OmbRtw Player History *]
LangSecRef=3023
DetectFile=%AppData%\OmbRtwPlayer
FileKey1=%AppData%\OmbRtwPlayer|history.dat
RegKey1=HKCU\Software\OmbRtwPlayer\Recent

[OmbRtw Mail Index *]
LangSecRef=3030
DetectFile=%AppData%\OmbRtwMail
Warning=Removes the search index: the next search builds it again.
FileKey1=%AppData%\OmbRtwMail|*.idx

[OmbRtw Absent *]
LangSecRef=3024
Detect=HKCU\Software\OmbRtwAbsent
FileKey1=%LocalAppData%\OmbRtwBrowser\User Data\*\Cache|*.*|RECURSE

[OmbRtw Broken *]
LangSecRef=3024
FileKey1=Relative\Folder|*.*
""".replace("\n", "\r\n").encode("cp1252")


def ini_keys(name):
    """The keys that act of one entry of ROUTINES_INI, in order."""
    text = ROUTINES_INI.decode("cp1252")
    section = text[text.index("[%s *]" % name):].split("\r\n\r\n")[0].split("\r\n")[1:]
    pairs = [line.split("=", 1) for line in section]
    return [(k, v) for k, v in pairs if k.rstrip("0123456789") in ("FileKey", "ExcludeKey", "Detect", "DetectFile",
                                                                   "Warning")]


class RoutinesWindowTest(RemovalCase):
    def setUp(self):
        super().setUp()
        reg_delete("RoutinesFile")
        self.addCleanup(reg_delete, "RoutinesFile")

    def wait_text(self, control, expected, title=ROUTINES, seconds=60):
        deadline = time.time() + seconds
        while self.driver.text(control, title=title) != expected and time.time() < deadline:
            time.sleep(0.1)
        self.assertEqual(self.driver.text(control, title=title), expected)

    def routine_rows(self, expected, seconds=60):
        """Waits until the window's rows (group, name, files, folders, size,
        notes, ticked) are the ones expected: the sizes come from workers."""
        def rows():
            return [tuple(line.split("\t")[3:9]) + (line.split("\t")[2] == "1",)
                    for line in self.driver.run("lv", ROUTINES, 6).splitlines() if line.startswith("row\t")]
        deadline = time.time() + seconds
        while rows() != expected and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(rows(), expected)

    def make_profile(self):
        """The programs' folders in the prefix user's profile, a link inside
        one cache, and the registry key one entry is detected by."""
        local, roaming = (os.path.join(os.path.dirname(desktop()), "AppData", sub) for sub in ("Local", "Roaming"))
        for place in (os.path.join(local, "OmbRtwBrowser"), os.path.join(local, "OmbRtwCrash"),
                      os.path.join(roaming, "OmbRtwEditor"), os.path.join(roaming, "OmbRtwPlayer"),
                      os.path.join(roaming, "OmbRtwMail")):
            shutil.rmtree(place, ignore_errors=True)
            self.addCleanup(shutil.rmtree, place, True)
        tree = {"L/OmbRtwBrowser/User Data/Default/Cache/data_0": b"000",
                "L/OmbRtwBrowser/User Data/Default/Cache/index/f_001": b"1",
                "L/OmbRtwBrowser/User Data/Default/Preferences": b"pref",
                "L/OmbRtwBrowser/User Data/Profile 1/Cache/data_1": b"22",
                "L/OmbRtwCrash/Dumps/a.dmp": b"dump", "L/OmbRtwCrash/Dumps/old/b.dmp": b"dump2",
                "L/OmbRtwCrash/Reports/r.txt": b"r", "L/OmbRtwCrash/Reports/Pinned/P2/note.txt": b"keep",
                "L/OmbRtwCrash/Users/U1/config/local.vdf": b"vdf", "L/OmbRtwCrash/Users/U1/config/htmlcache/x.bin": b"x",
                "L/OmbRtwCrash/Users/U1/config/htmlcache/Sub/y.bin": b"y",
                "L/OmbRtwCrash/Users/U2/config/shadercache/z.bin": b"z",
                "R/OmbRtwEditor/Logs/a.log": b"a", "R/OmbRtwEditor/Logs/keep.log": b"keep",
                "R/OmbRtwEditor/Logs/notes.txt": b"notes", "R/OmbRtwEditor/Logs/old/b.log": b"bb",
                "R/OmbRtwPlayer/history.dat": b"history", "R/OmbRtwPlayer/other.dat": b"other",
                "R/OmbRtwMail/a.idx": b"0123456789", "R/OmbRtwMail/b.idx": b"abcdefghij",
                "R/OmbRtwMail/mail.db": b"mail"}
        files = {}
        for rel, data in tree.items():
            top, rest = rel.split("/", 1)
            path = os.path.join(local if top == "L" else roaming, *rest.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            pathlib.Path(path).write_bytes(data)
            files[path] = data
        # Empty folders: kept by the exclusion (P1, P2's Sub), or the routine's to remove (Temp).
        for empty in ("Pinned/P1", "Pinned/P2/Sub", "Temp"):
            os.makedirs(os.path.join(local, "OmbRtwCrash", "Reports", *empty.split("/")))
        outside = self.path("O", "precious.tmp")
        os.makedirs(os.path.dirname(outside))
        pathlib.Path(outside).write_bytes(b"behind a link")
        files[outside] = b"behind a link"
        os.symlink(self.path("O"), os.path.join(local, "OmbRtwBrowser", "User Data", "Profile 1", "Cache", "linked"))
        reg_set("Installed", "1", key="HKCU\\Software\\OmbRtwCrash")
        self.addCleanup(subprocess.run, ["wine", "reg", "delete", "HKCU\\Software\\OmbRtwCrash", "/f"],
                        capture_output=True)
        return files

    def test_routines_chosen_in_the_window_are_saved_loaded_and_take_exactly_their_items(self):
        files = self.make_profile()
        routines_file = self.write("winapp2.ini", ROUTINES_INI)
        self.start()
        self.driver.menu(MNU_ADD_ROUTINES)
        self.driver.run("file", OPEN_TITLE, routines_file, "ok")
        self.assertTrue(self.driver.wait(ROUTINES), "the routines window did not open")
        self.wait_text(R_FIT, "5 of 7 entries fit this computer. 1 entry is not understood.")
        fitting = [("Applications", "OmbRtw Editor Logs", "2", "0", "3 bytes", "", False),
                   ("Google Chrome", "OmbRtw Browser Cache", "3", "0", "6 bytes", "", False),
                   ("Multimedia", "OmbRtw Player History", "1", "0", "7 bytes", "Registry parts stay", False),
                   ("Thunderbird", "(!) OmbRtw Mail Index", "2", "0", "20 bytes", "Warning", False),
                   ("Windows", "OmbRtw Crash Dumps", "6", "7", "13 bytes", "", False)]
        self.routine_rows(fitting)
        self.assertEqual(reg_query("RoutinesFile"), routines_file)

        # The others on demand: one not on this computer, one not understood and never tickable.
        self.driver.click(R_SHOW_ALL, title=ROUTINES)
        self.routine_rows(self.all_rows(fitting))
        self.driver.tick(5, title=ROUTINES)  # the broken entry
        time.sleep(0.5)
        self.assertFalse(self.driver.visible("Warning"))
        self.driver.click(R_SHOW_ALL, title=ROUTINES)
        # A word of a name finds it; largest first on a click on Size.
        self.driver.settext(R_FIND, "mail", title=ROUTINES)
        self.routine_rows([fitting[3]])
        self.driver.settext(R_FIND, "", title=ROUTINES)
        self.driver.run("header", ROUTINES, 4)
        order = [fitting[i] for i in (3, 4, 2, 1, 0)]
        self.routine_rows(order)

        # The warning asks: No leaves the entry unticked, Yes ticks it.
        self.driver.tick(0, title=ROUTINES)
        self.assertEqual(self.driver.run("box", "Warning", "no").split("\n")[-1], "Tick this routine all the same?")
        self.driver.tick(0, title=ROUTINES)
        self.assertIn("Removes the search index", self.driver.run("box", "Warning", "yes"))
        for row in range(1, 5):
            self.driver.tick(row, title=ROUTINES)
        self.routine_rows([r[:-1] + (True,) for r in order])
        self.wait_text(R_TOTAL, "5 ticked: 14 files, 7 folders (49 bytes).")

        # The details: the keys as written, then the items taken now.
        self.driver.run("dblclick", ROUTINES, 4)  # the editor's logs
        details = "OmbRtw Editor Logs - details"
        self.assertTrue(self.driver.wait(details), "the details did not open")
        def shown():
            return self.driver.text(DETAILS_TEXT, title=details).replace("\r", "")
        self.assertIn("FileKey1=%AppData%\\OmbRtwEditor\\Logs|*.log|RECURSE\n", shown())
        self.driver.click(DETAILS_ITEMS, title=details)
        deadline = time.time() + 30
        while "It takes" not in shown() and time.time() < deadline:
            time.sleep(0.1)
        logs = wine_path(os.path.join(os.path.dirname(desktop()), "AppData", "Roaming", "OmbRtwEditor", "Logs"))
        self.assertIn("It takes 2 files (3 bytes) and 0 folders now:\n%s\\a.log  (1 bytes)\n%s\\old\\b.log  "
                      "(2 bytes)\n" % (logs, logs), shown())
        self.driver.run("close", details)
        self.driver.gone(details)

        self.driver.pclick(R_ADD, title=ROUTINES)
        self.assertTrue(self.driver.gone(ROUTINES))
        self.wait_status("5 routines added.")
        # In the file's order.
        names = ["OmbRtw Browser Cache", "OmbRtw Editor Logs", "OmbRtw Crash Dumps", "OmbRtw Player History",
                 "OmbRtw Mail Index"]
        self.assertEqual(self.driver.rows(), [(n, "Routine", False) for n in names])

        # Again through the option and Add: the remembered file, no dialog; no routine twice.
        self.driver.click(OPT_ADD_ROUTINES)
        self.driver.pclick(CMD_ADD)
        self.assertTrue(self.driver.wait(ROUTINES))
        self.routine_rows(fitting)
        self.driver.tick(1, title=ROUTINES)
        self.driver.pclick(R_ADD, title=ROUTINES)
        self.wait_status("0 routines added. 1 was in the list already.")
        self.assertEqual(len(self.driver.rows()), 5)

        groups = {"OmbRtw Mail Index": "Thunderbird", "OmbRtw Crash Dumps": "Windows",
                  "OmbRtw Player History": "Multimedia", "OmbRtw Browser Cache": "Google Chrome",
                  "OmbRtw Editor Logs": "Applications"}
        records = [routine_record(n, groups[n], *ini_keys(n)) for n in names]
        self.save("pw", self.win("routines.txt"))
        self.assertEqual(self.read("routines.txt"), list_bytes(records, "pw"))
        self.load(self.win("routines.txt"))
        self.wait_status("5 items loaded...")
        self.start_save("pw", self.win("again.txt"))
        self.driver.run("box", "Shortcut", "ok")
        self.assertEqual(self.read("again.txt"), self.read("routines.txt"))
        # The list holds the routines, not the day's items: a file cached after the save goes too.
        later = os.path.join(os.path.dirname(desktop()), "AppData", "Local", "OmbRtwBrowser", "User Data", "Profile 1",
                             "Cache", "data_later")
        pathlib.Path(later).write_bytes(b"4444")
        files[later] = b"4444"
        before = {path: pathlib.Path(path).read_bytes() for path in files}

        self.run_removal(self.win("routines.txt"))
        preview = self.open_preview()
        self.assertIn(("OmbRtw Crash Dumps", "routine (Windows): takes 6 files and 7 folders", "13 bytes"), preview)
        crash = wine_path(os.path.join(os.path.dirname(desktop()), "AppData", "Local", "OmbRtwCrash"))
        self.assertIn((crash + "\\Users\\U2\\config\\", REMOVED, "folder"), preview)
        self.assertIn(("OmbRtw Mail Index", "routine (Thunderbird): takes 2 files", "20 bytes"), preview)
        self.assertEqual(len([row for row in preview if row[1] == REMOVED]), 22)
        self.driver.click(PREVIEW_CLOSE, title=PREVIEW)
        self.press_ok("pw")
        self.confirm()
        self.assertEqual(self.status_report()[:3], ["Done", "", self.account(15, 7, "53 bytes")])
        self.assert_ends()
        gone = {path for path in files if not os.path.exists(path)}
        self.assertEqual(gone, {p for p in files if p.endswith(("data_0", "f_001", "data_1", "a.log", "b.log", ".dmp",
                                                                 "history.dat", ".idx", "data_later", "r.txt", ".bin"))})
        self.assertEqual({p: pathlib.Path(p).read_bytes() for p in files if p not in gone},
                         {p: data for p, data in before.items() if p not in gone})
        crash = os.path.join(os.path.dirname(desktop()), "AppData", "Local", "OmbRtwCrash")
        # What the routine emptied, whichever key took the files, is gone; what the exclusion keeps stays whole.
        for folder, there in (("Dumps", False), ("Reports/Temp", False), ("Users/U2/config", False),
                              ("Users/U1/config/htmlcache", False), ("Users/U1/config", True),
                              ("Reports/Pinned/P1", True), ("Reports/Pinned/P2/Sub", True)):
            self.assertEqual(os.path.isdir(os.path.join(crash, *folder.split("/"))), there, folder)

    @staticmethod
    def all_rows(fitting):
        absent = ("Utilities", "OmbRtw Absent", "", "", "", "Not on this computer", False)
        broken = ("Utilities", "OmbRtw Broken", "", "", "",
                  "Not understood: " + BROKEN_PROBLEM, False)
        return fitting[:4] + [absent, broken] + fitting[4:]

    def test_without_a_file_update_routines_fetches_one_and_replaces_the_kept_file_only_with_a_routines_file(self):
        server = TestServer().start()
        self.addCleanup(server.stop)
        kept = os.path.join(os.path.dirname(desktop()), "AppData", "Local", "Ombrelay", "Winapp2.ini")
        os.makedirs(os.path.dirname(kept), exist_ok=True)
        old = b"[Old Entry *]\r\nLangSecRef=3021\r\nFileKey1=%Temp%\\OmbRtwOld|*.tmp\r\n"
        pathlib.Path(kept).write_bytes(old)
        self.addCleanup(os.remove, kept)
        self.addCleanup(reg_delete, "RoutinesURL")
        # A user without a routines file cancels the open dialog: the window opens all the same.
        self.start()
        self.driver.menu(MNU_ADD_ROUTINES)
        self.driver.run("file", OPEN_TITLE, "", "cancel")
        self.assertTrue(self.driver.wait(ROUTINES))
        self.wait_text(R_FIT, "No routines file yet: choose one, or fetch the newest with Update routines.")
        for path, body, says in (("/missing", b"", "The routines could not be fetched from"),
                                 ("/routines", b"\x00\x01\x02 a program", "is no routines file"),
                                 ("/routines", b"just some text\r\n", "is no routines file")):
            server.routines_body = body
            reg_set("RoutinesURL", "http://127.0.0.1:%d%s" % (server.port, path))
            self.driver.pclick(R_UPDATE, title=ROUTINES)
            text = self.driver.run("box", "Update routines", "ok", "30000")
            self.assertIn(says, text)
            self.assertIn("The kept file %s stays as it was." % wine_path(kept), text)
            self.assertEqual(pathlib.Path(kept).read_bytes(), old)
            self.assertIsNone(reg_query("RoutinesFile"))
        server.routines_body = ROUTINES_INI
        self.driver.pclick(R_UPDATE, title=ROUTINES)
        self.assertIn("The routines were updated from", self.driver.run("box", "Update routines", "ok", "30000"))
        self.assertEqual(pathlib.Path(kept).read_bytes(), ROUTINES_INI)
        self.assertEqual(os.listdir(os.path.dirname(kept)).count("Winapp2.ini"), 1)
        self.wait_text(R_FIT, "0 of 7 entries fit this computer. 1 entry is not understood.")
        self.assertEqual(reg_query("RoutinesFile"), wine_path(kept))
        # A file chosen that is none says so, and the remembered one stays.
        self.driver.pclick(R_CHOOSE, title=ROUTINES)
        self.driver.run("file", OPEN_TITLE, self.write("picture.png", b"\x89PNG\r\n\x1a\n\x00\x00"), "ok")
        self.assertEqual(self.driver.run("box", ROUTINES, "ok").replace("\r", ""),
                         "The routines file\n%s\ncould not be read. It holds NUL bytes, which no routines file does: "
                         "a program or a picture was chosen." % self.win("picture.png"))
        self.assertEqual(reg_query("RoutinesFile"), wine_path(kept))
        # A large file chosen and the window closed at once: its workers stop, the program goes on.
        big = self.write("big.ini", b"".join(b"[Big %d *]\r\nDetectFile=%%LocalAppData%%\\OmbRtwBig%d\r\n"
                                             b"FileKey1=%%Temp%%\\OmbRtwBig%d|*.*|RECURSE\r\n" % (i, i, i)
                                             for i in range(4000)))
        self.driver.pclick(R_CHOOSE, title=ROUTINES)
        self.driver.run("file", OPEN_TITLE, big, "ok")
        self.driver.run("close", ROUTINES)
        self.assertTrue(self.driver.gone(ROUTINES))
        self.driver.menu(MNU_ADD_ROUTINES)
        self.assertTrue(self.driver.wait(ROUTINES))
        deadline = time.time() + 60
        while (" fit this computer." not in self.driver.text(R_FIT, title=ROUTINES) or
               self.driver.text(R_FIT, title=ROUTINES).startswith("Deciding")) and time.time() < deadline:
            time.sleep(0.1)
        self.assertIn(self.driver.text(R_FIT, title=ROUTINES), ("0 of 7 entries fit this computer. 1 entry is not "
                                                                 "understood.", "0 of 4,000 entries fit this computer."))
        self.update_not_whole_keeps_the_file(server, kept)

    def update_not_whole_keeps_the_file(self, server, kept):
        """Answers not whole leave the kept file byte for byte and say why; a
        cut chunked one (WinINet cannot tell) holds far fewer entries and
        replaces it only after a yes (No is the default)."""
        size, half = "{:,}".format(len(ROUTINES_INI)), "{:,}".format(len(ROUTINES_INI) // 2)
        for how, why in (("short", "did not come whole: %s of %s bytes" % (half, size)),
                         ("long", "did not come whole: %s bytes came where %s were announced" % (size, half)),
                         ("unsized", "did not say its length, so its %s bytes cannot be known to be whole" % size),
                         ("chunkcut", "no"), ("chunkcut", "yes")):
            reg_set("RoutinesURL", "http://127.0.0.1:%d/%s/routines" % (server.port, how))
            self.driver.pclick(R_UPDATE, title=ROUTINES)
            text = self.driver.run("box", "Update routines", "ok" if how != "chunkcut" else "none", "30000")
            self.assertEqual(pathlib.Path(kept).read_bytes(), ROUTINES_INI)
            if how == "chunkcut":
                self.assertEqual(self.driver.run("boxdefault", "Update routines").strip(), "7")
                self.assertRegex(self.driver.run("box", "Update routines", why).replace("\r", ""),
                                 r"^The routines file from\n%s\nholds [1-6] entries, far fewer than the 7 of the kept "
                                 r"file: it may have come cut short\. " % re.escape(reg_query("RoutinesURL")))
            else:
                self.assertIn("(the answer %s). The kept file %s stays as it was." % (why, wine_path(kept)), text)
        self.assertIn("The routines were updated from", self.driver.run("box", "Update routines", "ok", "30000"))
        self.assertEqual(pathlib.Path(kept).read_bytes(), ROUTINES_INI[:len(ROUTINES_INI) // 2])

        # The remembered file made a folder since: the read fails, a message names it, and the window stays usable.
        self.driver.run("close", ROUTINES)
        self.assertTrue(self.driver.gone(ROUTINES))
        os.makedirs(self.path("unreadable.ini"))
        reg_set("RoutinesFile", self.win("unreadable.ini"))
        self.driver.menu(MNU_ADD_ROUTINES)
        text = self.driver.run("box", ROUTINES, "ok", "30000").replace("\r", "")
        self.assertTrue(text.startswith("The routines file\n%s\ncould not be read. " % self.win("unreadable.ini")),
                        text)
        self.wait_text(R_FIT, "No routines file yet: choose one, or fetch the newest with Update routines.")
        # Another file chosen there: two ticked entries that take one file total it once, numbers grouped as the
        # user's locale (en-US here) writes them.
        shared = os.path.join(os.path.dirname(desktop()), "AppData", "Local", "OmbRtwShared")
        shutil.rmtree(shared, ignore_errors=True)
        self.addCleanup(shutil.rmtree, shared, True)
        os.makedirs(shared)
        for n in range(1200):
            open(os.path.join(shared, "%04d.tmp" % n), "wb").close()
        pathlib.Path(shared, "shared.log").write_bytes(b"log")
        self.driver.pclick(R_CHOOSE, title=ROUTINES)
        self.driver.run("file", OPEN_TITLE, self.write("shared.ini", SHARED_INI), "ok")
        self.wait_text(R_FIT, "2 of 2 entries fit this computer.")
        self.routine_rows([("Utilities", "OmbRtw Everything", "1,201", "0", "3 bytes", "", False),
                           ("Utilities", "OmbRtw Logs", "1", "0", "3 bytes", "", False)])
        self.driver.tick(0, title=ROUTINES)
        self.driver.tick(1, title=ROUTINES)
        self.wait_text(R_TOTAL, "2 ticked: 1,201 files, 0 folders (3 bytes).")


BROKEN_PROBLEM = 'the folder "Relative\\Folder" is not a full path'

# Two routines that both take shared.log.
SHARED_INI = (b"[OmbRtw Everything *]\r\nLangSecRef=3024\r\nFileKey1=%LocalAppData%\\OmbRtwShared|*.*\r\n\r\n"
              b"[OmbRtw Logs *]\r\nLangSecRef=3024\r\nFileKey1=%LocalAppData%\\OmbRtwShared|*.log\r\n")

if __name__ == "__main__":
    unittest.main()
