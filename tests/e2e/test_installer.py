"""The setup program end to end: a silent install into the test prefix and
everything it places (files, Start menu and Send To links read back with
lnkinfo, the "Apps & features" values, the Explorer verbs), the verbs'
commands started as Explorer starts them (one item, thirty at once, a
folder named "Remove Files"), a silent uninstall that removes only
what was added and keeps lists, their desktop shortcuts and the settings,
and an upgrade over an older build."""
import os
import shlex
import shutil
import subprocess
import tempfile
import time

from harness import (CMD_LOAD, CMD_SAVE, FD_KEY, MAIN, TXT_PASSWORD, E2ETest, desktop, drive_c, reg_delete,
                     reg_query, reg_set, set_start_up_defaults, unix_path, wine_path)
from test_save_load import OPEN_TITLE, SAVE_TITLE, SHORTCUT_TEXT, list_bytes, read_shortcut

SETUP = os.environ.get("OMBRELAY_SETUP", "")
VERSION = os.environ.get("OMBRELAY_VERSION", "")
STRIPPED_EXE = os.environ.get("OMBRELAY_STRIPPED_EXE", "")
MAKENSIS = os.environ.get("OMBRELAY_MAKENSIS", "makensis")
SOURCE_DIR = os.environ.get("OMBRELAY_SOURCE_DIR", "")

UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ombrelay"
VERB_KEYS = ["HKCU\\Software\\Classes\\*\\shell\\Ombrelay.AddToList",
             "HKCU\\Software\\Classes\\Directory\\shell\\Ombrelay.AddToList"]
INSTALLED_FILES = ["LICENSE.txt", "README.md", "ombrelay.exe", "uninstall.exe"]
# The uninstaller's caption: the page's empty subcaption leaves a blank at the end.
UNINSTALLER = MAIN + " Uninstall "


def profile():
    users = os.path.join(drive_c(), "users")
    return os.path.join(users, [u for u in os.listdir(users) if u != "Public"][0])


def default_dir():
    return os.path.join(profile(), "AppData", "Local", "Programs", "Ombrelay")


def start_menu_link():
    return os.path.join(profile(), "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs",
                        "Ombrelay.lnk")


def send_to_link():
    return os.path.join(profile(), "AppData", "Roaming", "Microsoft", "Windows", "SendTo",
                        "Ombrelay delete list.lnk")


def key_exists(key):
    return subprocess.run(["wine", "reg", "query", key], capture_output=True).returncode == 0


def default_value(key):
    """The key's unnamed value, as Explorer reads a verb's command."""
    out = subprocess.run(["wine", "reg", "query", key, "/ve"], capture_output=True, check=True).stdout
    for line in out.decode("utf-8", "replace").splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    raise AssertionError("no default value in " + key)


def uninstaller_running():
    """Whether the uninstaller's copy in %TEMP% (in a ~nsu folder) still runs
    in this Wine prefix: an uninstaller in another test environment is not ours."""
    ours = b"WINEPREFIX=" + os.fsencode(os.environ["WINEPREFIX"])
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"~nsu" not in f.read():
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ours in f.read().split(b"\0"):
                    return True
        except OSError:
            continue
    return False


def make_setup(version, out_dir):
    """A setup program of the given version number around the same program."""
    out = os.path.join(out_dir, "Ombrelay-%s-setup.exe" % version)
    subprocess.run([MAKENSIS, "-V1", "-DVERSION=" + version, "-DEXE=" + STRIPPED_EXE,
                    "-DREADME=" + os.path.join(SOURCE_DIR, "README.md"),
                    "-DLICENSE=" + os.path.join(SOURCE_DIR, "LICENSE"), "-DOUTFILE=" + out,
                    os.path.join(SOURCE_DIR, "installer", "ombrelay.nsi")], check=True, capture_output=True)
    return out


class InstallerTest(E2ETest):
    def setUp(self):
        super().setUp()
        self.uninstall_all()
        self.scratch = os.path.join(drive_c(), "e2e installer")
        shutil.rmtree(self.scratch, ignore_errors=True)
        os.makedirs(self.scratch)

    def tearDown(self):
        super().tearDown()
        self.uninstall_all()
        # Whatever a test did to the settings, the next one starts as every class does.
        reg_delete("RecycleBin")
        reg_delete("ColourScheme")
        set_start_up_defaults()

    def install(self, setup=SETUP, folder=None):
        """A silent install; a folder goes in as /D=, unquoted and last, as
        NSIS wants it (through cmd, which leaves the command line as typed)."""
        started = time.time()
        line = wine_path(setup) + " /S" + (" /D=" + wine_path(folder) if folder else "")
        subprocess.run(["wine", "cmd", "/c", line], check=True, capture_output=True, timeout=120)
        return time.time() - started

    def uninstall(self, install_dir):
        """Runs the uninstaller silently and waits for its copy in %TEMP%."""
        started = time.time()
        subprocess.run(["wine", os.path.join(install_dir, "uninstall.exe"), "/S"], check=True, capture_output=True)
        deadline = time.time() + 60
        while (key_exists(UNINSTALL_KEY) or uninstaller_running()) and time.time() < deadline:
            time.sleep(0.2)
        self.assertFalse(key_exists(UNINSTALL_KEY), "the uninstaller did not finish")
        return time.time() - started

    def uninstall_all(self):
        location = reg_query("InstallLocation", UNINSTALL_KEY)
        if location and os.path.exists(os.path.join(unix_path(location), "uninstall.exe")):
            self.uninstall(unix_path(location))

    def start_installed(self, *args, install_dir=None):
        exe = os.path.join(install_dir or default_dir(), "ombrelay.exe")
        proc = subprocess.Popen(["wine", exe] + list(args), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.programs.append(_Started(proc))
        self.assertTrue(self.driver.wait(MAIN, 20000), "main window did not appear")

    def save_list_with_installed_program(self, list_path):
        """Loads a prepared list into the installed program and saves it
        under list_path: the program writes the list and its desktop shortcut."""
        target = os.path.join(self.scratch, "target.txt")
        with open(target, "w") as f:
            f.write("x")
        prepared = os.path.join(self.scratch, "prepared.txt")
        with open(prepared, "wb") as f:
            f.write(list_bytes([(wine_path(target), "File")], "pw"))
        self.start_installed()
        self.driver.pclick(CMD_LOAD)
        self.driver.run("file", OPEN_TITLE, wine_path(prepared), "ok")
        deadline = time.time() + 20
        while self.driver.status() != "1 items loaded..." and time.time() < deadline:
            time.sleep(0.2)
        self.driver.settext(TXT_PASSWORD, "pw")
        self.driver.pclick(CMD_SAVE)
        self.driver.run("file", SAVE_TITLE, wine_path(list_path), "ok")
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), SHORTCUT_TEXT)
        for program in self.programs:
            program.kill()
        return os.path.join(desktop(), "ombrelay Delete Files.lnk")

    def test_silent_install_places_files_links_and_keys(self):
        folder = os.path.join(self.scratch, "My Tools", "Ombrelay")
        seconds = self.install(SETUP, folder)
        print("install: %.1f s" % seconds)
        self.assertFalse(os.path.exists(default_dir()), os.path.exists(default_dir()) and os.listdir(default_dir()))
        self.assertEqual(sorted(os.listdir(folder)), INSTALLED_FILES)
        with open(os.path.join(folder, "ombrelay.exe"), "rb") as a, open(STRIPPED_EXE, "rb") as b:
            self.assertEqual(a.read(), b.read())
        exe = wine_path(os.path.join(folder, "ombrelay.exe"))
        for link in (start_menu_link(), send_to_link()):
            fields = read_shortcut(link)
            self.assertEqual(fields["Local path"], exe, link)
            self.assertEqual(fields.get("Command line arguments", ""), "", link)
        values = {name: reg_query(name, UNINSTALL_KEY) for name in
                  ["DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "InstallLocation",
                   "UninstallString", "QuietUninstallString", "EstimatedSize", "NoModify", "NoRepair"]}
        uninstaller = wine_path(os.path.join(folder, "uninstall.exe"))
        self.assertEqual(values, dict(values, DisplayName="Ombrelay", DisplayVersion=VERSION, Publisher="Farrowdene",
                                      DisplayIcon=exe + ",0", InstallLocation=wine_path(folder),
                                      UninstallString='"%s"' % uninstaller,
                                      QuietUninstallString='"%s" /S' % uninstaller, NoModify="0x1", NoRepair="0x1"))
        size_kb = int(values["EstimatedSize"], 16)
        self.assertAlmostEqual(size_kb, os.path.getsize(STRIPPED_EXE) // 1024, delta=200)
        for key in VERB_KEYS:
            self.assertEqual(default_value(key), "Add to Ombrelay delete list")
            self.assertEqual(default_value(key + "\\command"), '"%s" "%%1"' % exe)

    def run_verb(self, key, path):
        """Fills %1 in and starts the command line as it stands, as Explorer does."""
        command = default_value(key + "\\command").replace("%1", wine_path(path))
        self.assertEqual(shlex.split(command)[0], wine_path(os.path.join(default_dir(), "ombrelay.exe")))
        proc = subprocess.Popen(["wine"] + shlex.split(command), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.programs.append(_Started(proc))
        return proc

    def answer_clear_if_asked(self):
        if self.driver.wait("Clear", 3000):
            self.driver.run("box", "Clear", "no")
        self.assertFalse(self.driver.wait("Clear", 1000), "a second Clear question")

    def wait_rows(self, count, seconds=30):
        deadline = time.time() + seconds
        while len(self.driver.rows()) < count and time.time() < deadline:
            time.sleep(0.2)
        return self.driver.rows()

    def test_the_verbs_as_explorer_runs_them_fill_one_window(self):
        self.install()
        picked = os.path.join(self.scratch, "picked file.txt")
        many = [os.path.join(self.scratch, "item %02d.txt" % i) for i in range(30)]
        folder = os.path.join(self.scratch, "Remove Files")
        os.makedirs(folder)
        for path in [picked, os.path.join(folder, "kept.txt")] + many:
            with open(path, "w") as f:
                f.write("x")
        self.run_verb(VERB_KEYS[0], picked)
        self.assertTrue(self.driver.wait(MAIN, 20000), "main window did not appear")
        self.assertEqual(self.wait_rows(1), [(wine_path(picked), "File", False)])
        # Thirty items chosen at once: Explorer starts one command each.
        starts = [self.run_verb(VERB_KEYS[0], path) for path in many]
        for proc in starts:
            self.assertEqual(proc.wait(180), 0)
        # They arrive on the heels of the first item: one selection, so at
        # most one Clear question.
        self.answer_clear_if_asked()
        rows = self.wait_rows(31)
        self.assertEqual(sorted(path for path, _, _ in rows[1:]), sorted(wine_path(p) for p in many))
        self.assertEqual(self.driver.windows().count(MAIN), 1)
        # A folder named "Remove Files" is one more folder to add, not a removal run.
        self.run_verb(VERB_KEYS[1], folder).wait(60)
        self.answer_clear_if_asked()
        for _ in range(2):
            self.driver.run("box", "Directory", "yes")
        rows = self.wait_rows(33)
        self.assertEqual(rows[31:], [(wine_path(folder) + "\\", "Folder", False),
                                     (wine_path(folder) + "\\kept.txt", "File", False)])
        self.assertNotIn("Password", self.driver.windows())

    def test_silent_uninstall_removes_only_what_it_added(self):
        self.install()
        folder = default_dir()
        reg_set("RecycleBin", "1")
        # A list saved beside the program, and the desktop shortcut made for it.
        shortcut = self.save_list_with_installed_program(os.path.join(folder, "my list.txt"))
        with open(os.path.join(folder, "my list.txt"), "rb") as f:
            saved = f.read()
        with open(shortcut, "rb") as f:
            link = f.read()
        seconds = self.uninstall(folder)
        print("uninstall: %.1f s" % seconds)
        self.assertEqual(os.listdir(folder), ["my list.txt"])
        with open(os.path.join(folder, "my list.txt"), "rb") as f:
            self.assertEqual(f.read(), saved)
        with open(shortcut, "rb") as f:
            self.assertEqual(f.read(), link)
        for path in (start_menu_link(), send_to_link()):
            self.assertFalse(os.path.exists(path), path)
        for key in VERB_KEYS + [UNINSTALL_KEY]:
            self.assertFalse(key_exists(key), key)
        self.assertEqual((reg_query("RecycleBin"), reg_query("OmbrelayFirstTime")), ("1", "No"))
        # A reinstall in the same place brings the shortcut's target back.
        self.install()
        self.assertEqual(read_shortcut(shortcut)["Local path"], wine_path(os.path.join(folder, "ombrelay.exe")))
        self.assertTrue(os.path.exists(os.path.join(folder, "ombrelay.exe")))
        os.remove(shortcut)
        os.remove(os.path.join(folder, "my list.txt"))

    def test_the_settings_go_only_when_the_box_is_ticked_and_only_the_programs_own(self):
        self.install()
        reg_set("RecycleBin", "1")
        reg_set("ColourScheme", "Ocean", FD_KEY)  # another program of the same publisher
        proc = subprocess.Popen(["wine", os.path.join(default_dir(), "uninstall.exe")], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.programs.append(_Started(proc))
        self.assertTrue(self.driver.wait(UNINSTALLER, 20000))
        self.driver.pclick(1, title=UNINSTALLER)  # Next, to the choice
        time.sleep(1)
        self.driver.run("space", UNINSTALLER)  # ticks "Remove my Ombrelay settings"
        self.driver.pclick(1, title=UNINSTALLER)  # Uninstall
        deadline = time.time() + 60
        while key_exists(UNINSTALL_KEY) and time.time() < deadline:
            time.sleep(0.2)
        self.assertFalse(key_exists(UNINSTALL_KEY), "the uninstaller did not finish")
        self.driver.pclick(1, title=UNINSTALLER)  # Close
        self.assertEqual([reg_query(name) for name in ("RecycleBin", "OmbrelayFirstTime", "UpdateURL", "ColourScheme")],
                         [None, None, None, "Ocean"])
        self.assertFalse(os.path.exists(default_dir()))

    def test_an_upgrade_over_an_older_build_keeps_settings_and_lists(self):
        with tempfile.TemporaryDirectory() as out:
            older = make_setup("1.01", out)
            self.install(older)
        self.assertEqual(reg_query("DisplayVersion", UNINSTALL_KEY), "1.01")
        folder = default_dir()
        reg_set("RecycleBin", "1")
        shortcut = self.save_list_with_installed_program(os.path.join(self.scratch, "kept list.txt"))
        with open(os.path.join(self.scratch, "kept list.txt"), "rb") as f:
            saved = f.read()
        self.install()
        self.assertEqual(reg_query("DisplayVersion", UNINSTALL_KEY), VERSION)
        self.assertEqual(sorted(os.listdir(folder)), INSTALLED_FILES)
        self.assertEqual((reg_query("RecycleBin"), reg_query("OmbrelayFirstTime")), ("1", "No"))
        with open(os.path.join(self.scratch, "kept list.txt"), "rb") as f:
            self.assertEqual(f.read(), saved)
        self.assertEqual(read_shortcut(shortcut)["Command line arguments"],
                         "Remove Files*" + wine_path(os.path.join(self.scratch, "kept list.txt")))
        os.remove(shortcut)


class _Started:
    """A program started from its installed place, killed after the test."""

    def __init__(self, proc):
        self.proc = proc

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
