"""The setup program end to end: a silent install into a folder of the
user's and everything it places in a folder of its own there (files, Start
menu and Send To links read back with lnkinfo, the "Apps & features" values,
the Explorer verbs), the folder page and its choice of folder, the verbs'
commands started as Explorer starts them (one item, thirty at once, a
folder named "Remove Files"), a silent uninstall that removes only
what was added (and the scheduled task a list's approval made) and keeps
lists, their desktop shortcuts and the settings,
two installs in two folders, and an upgrade over an older build; setup and
uninstall change nothing while the program runs."""
import hashlib
import os
import re
import shlex
import shutil
import signal
import subprocess
import tempfile
import time

from harness import (CMD_LOAD, CMD_SAVE, FD_KEY, MAIN, TXT_PASSWORD, E2ETest, desktop, drive_c, reg_delete,
                     reg_query, reg_set, set_start_up_defaults, unix_path, wine_path)
from test_save_load import OPEN_TITLE, SAVE_TITLE, SHORTCUT_TEXT, list_bytes, read_shortcut
from test_unattended import (APPROVALS_KEY, RUN_DAILY, RUN_KEY, RUN_WINDOW, approve, forget_all_approvals, reg_value,
                             task_files)

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
# The folder page's text and folder field (on the page inside the setup window).
DIR_TEXT, DIR_FIELD = 1006, 1019


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


def setup_window(driver):
    """The setup window's title: past the welcome page it ends in a blank."""
    for _ in range(200):
        titles = [t for t in driver.windows() if t.startswith(MAIN + " Setup")]
        if titles:
            return titles[0]
        time.sleep(0.1)
    raise AssertionError("no setup window: %r" % driver.windows())


def reg_tree(key):
    """The key with its values and subkeys as `reg query /s` prints them, "" when missing."""
    proc = subprocess.run(["wine", "reg", "query", key, "/s"], capture_output=True)
    return proc.stdout.decode("utf-8", "replace") if proc.returncode == 0 else ""


def files_under(folder):
    """Every file below the folder: relative path -> (SHA-256 of its bytes,
    time of last write); a digest keeps a failure's diff short."""
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, folder)] = (hashlib.sha256(f.read()).hexdigest(),
                                                        os.stat(path).st_mtime_ns)
    return found


def installed_state(folder):
    """All an install is made of: its folder's files, the two links, the verbs and the uninstall entry."""
    links = []
    for link in (start_menu_link(), send_to_link()):
        with open(link, "rb") as f:
            links.append(hashlib.sha256(f.read()).hexdigest())
    return files_under(folder), links, [reg_tree(key) for key in VERB_KEYS + [UNINSTALL_KEY]]


UNINSTALL_ROOTS = ["HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                   "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"]


def installed_apps():
    """Every Installed apps entry named Ombrelay, per user or per machine: key -> values."""
    entries = {}
    for root in UNINSTALL_ROOTS:
        key = None
        for line in reg_tree(root).splitlines():
            if line.startswith("HKEY_"):
                key = line.strip()
                entries[key] = {}
            found = re.match(r"\s+(.*?)\s+REG_\w+\s*(.*)$", line)
            if key and found:
                entries[key][found.group(1)] = found.group(2)
    return {key: values for key, values in entries.items() if values.get("DisplayName") == "Ombrelay"}


def uninstaller_copies():
    """The process ids of the uninstaller's copies in %TEMP% (in a ~nsu
    folder) in this Wine prefix: an uninstaller in another test environment
    is not ours."""
    ours = b"WINEPREFIX=" + os.fsencode(os.environ["WINEPREFIX"])
    found = []
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"~nsu" not in f.read():
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ours in f.read().split(b"\0"):
                    found.append(int(pid))
        except OSError:
            continue
    return found


def uninstaller_running():
    return bool(uninstaller_copies())


def make_setup(version, out_dir):
    """A setup program of the given version number around the same program."""
    out = os.path.join(out_dir, "Ombrelay-%s-setup.exe" % version)
    subprocess.run([MAKENSIS, "-V1", "-DVERSION=" + version, "-DEXE=" + STRIPPED_EXE,
                    "-DREADME=" + os.path.join(SOURCE_DIR, "README.md"),
                    "-DLICENSE=" + os.path.join(SOURCE_DIR, "LICENSE"), "-DOUTFILE=" + out,
                    os.path.join(SOURCE_DIR, "installer", "ombrelay.nsi")], check=True, capture_output=True)
    return out


class InstallerBase(E2ETest):
    """What the setup program's and the package's tests share: a scratch
    folder, installs undone after each test, the installed program."""

    def setUp(self):
        super().setUp()
        self.uninstall_all()
        self.remove_packages()
        self.scratch = os.path.join(drive_c(), "e2e installer")
        shutil.rmtree(self.scratch, ignore_errors=True)
        os.makedirs(self.scratch)
        self.folders = []  # every folder a test installed into, for the tear-down

    def tearDown(self):
        super().tearDown()
        # An uninstaller a failed test left on one of its pages goes too.
        for pid in uninstaller_copies():
            os.kill(pid, signal.SIGKILL)
        self.uninstall_all()
        self.remove_packages()
        for folder in self.folders:
            if os.path.exists(os.path.join(folder, "uninstall.exe")):
                self.uninstall(folder, entry_goes=False)
        # Whatever a test did to the settings, the next one starts as every class does.
        reg_delete("RecycleBin")
        reg_delete("ColourScheme")
        set_start_up_defaults()

    def install(self, setup=SETUP, folder=None, exit_code=0):
        """A silent install; a folder (a Unix path, or a Windows one as
        typed) goes in as /D=, unquoted and last, as NSIS wants it (through
        cmd, which leaves the command line as typed)."""
        started = time.time()
        if folder and folder[1:2] != ":":
            folder = wine_path(folder)
        line = wine_path(setup) + " /S" + (" /D=" + folder if folder else "")
        proc = subprocess.run(["wine", "cmd", "/c", line], capture_output=True, timeout=120)
        self.assertEqual(proc.returncode, exit_code, line)
        location = reg_query("InstallLocation", UNINSTALL_KEY)
        if location:
            self.folders.append(unix_path(location))
        return time.time() - started

    def uninstall(self, install_dir, entry_goes=True):
        """Runs the uninstaller silently and waits for its copy in %TEMP%;
        the uninstall entry goes with it unless another install owns it."""
        started = time.time()
        subprocess.run(["wine", os.path.join(install_dir, "uninstall.exe"), "/S"], check=True, capture_output=True)
        deadline = time.time() + 60
        while ((entry_goes and key_exists(UNINSTALL_KEY)) or uninstaller_running()) and time.time() < deadline:
            time.sleep(0.2)
        self.assertFalse(uninstaller_running(), "the uninstaller did not finish")
        if entry_goes:
            self.assertFalse(key_exists(UNINSTALL_KEY), "the uninstall entry stayed")
        return time.time() - started

    def uninstall_all(self):
        location = reg_query("InstallLocation", UNINSTALL_KEY)
        if location and os.path.exists(os.path.join(unix_path(location), "uninstall.exe")):
            self.uninstall(unix_path(location))

    def remove_packages(self):
        """Removes the Windows Installer package's installs, whatever their version."""
        for key, values in installed_apps().items():
            if values.get("WindowsInstaller") == "0x1":
                subprocess.run(["wine", "msiexec", "/x", key.rsplit("\\", 1)[1], "/qn"], capture_output=True,
                               timeout=180)

    def start_installed(self, *args, install_dir=None):
        exe = os.path.join(install_dir or default_dir(), "ombrelay.exe")
        self.running = subprocess.Popen(["wine", exe] + list(args), stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.programs.append(_Started(self.running))
        self.assertTrue(self.driver.wait(MAIN, 20000), "main window did not appear")

    def close_installed(self):
        """Closes the program started from its installed place and waits for it to end."""
        self.driver.run("close", MAIN)
        self.running.wait(20)

    def save_list_with_installed_program(self, list_path, approve_daily=False, install_dir=None):
        """Loads a prepared list into the installed program and saves it
        under list_path: the program writes the list and its desktop shortcut
        (and, asked to, approves it to run every day: a scheduled task)."""
        target = os.path.join(self.scratch, "target.txt")
        with open(target, "w") as f:
            f.write("x")
        prepared = os.path.join(self.scratch, "prepared.txt")
        with open(prepared, "wb") as f:
            f.write(list_bytes([(wine_path(target), "File")], "pw"))
        self.start_installed(install_dir=install_dir)
        self.driver.pclick(CMD_LOAD)
        self.driver.run("file", OPEN_TITLE, wine_path(prepared), "ok")
        deadline = time.time() + 20
        while self.driver.status() != "1 items loaded..." and time.time() < deadline:
            time.sleep(0.2)
        self.driver.settext(TXT_PASSWORD, "pw")
        self.driver.pclick(CMD_SAVE)
        self.driver.run("file", SAVE_TITLE, wine_path(list_path), "ok")
        self.assertEqual(self.driver.run("box", "Shortcut", "ok"), SHORTCUT_TEXT)
        if approve_daily:
            approve(self.driver, RUN_DAILY, "pw", at="03:00")
            self.assertIn("will run by itself", self.driver.run("box", RUN_WINDOW, "ok"))
        for program in self.programs:
            program.kill()
        shortcut = os.path.join(desktop(), "ombrelay Delete Files.lnk")
        for path in (shortcut, list_path):  # also when the test fails
            self.addCleanup(lambda path=path: os.path.exists(path) and os.remove(path))
        return shortcut

    def file_bytes(self, *paths):
        """The files' bytes now, for assert_same_bytes later."""
        kept = {}
        for path in paths:
            with open(path, "rb") as f:
                kept[path] = f.read()
        return kept

    def assert_same_bytes(self, kept):
        self.assertEqual(self.file_bytes(*kept), kept)

    def users_folder(self, name, files):
        """A folder of the user's holding files by the names setup writes (and one more)."""
        folder = os.path.join(self.scratch, name)
        os.makedirs(folder)
        for file in files:
            with open(os.path.join(folder, file), "wb") as f:
                f.write(("the user's own %s\r\n" % file).encode())
        return folder



class InstallerTest(InstallerBase):
    def test_silent_install_places_files_links_and_keys(self):
        # The user's own folder, with their own files by setup's names in it:
        # setup puts a folder of its own there, and nothing else.
        tools = self.users_folder("My Tools", INSTALLED_FILES + ["notes.txt"])
        shutil.copy(os.environ["OMBRELAY_DRIVER"], os.path.join(tools, "uninstall.exe"))  # another program's
        theirs = files_under(tools)
        seconds = self.install(SETUP, tools)
        print("install: %.1f s" % seconds)
        folder = os.path.join(tools, "Ombrelay")
        self.assertEqual({k: v for k, v in files_under(tools).items() if not k.startswith("Ombrelay")}, theirs)
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
        # The same folder again, spelt otherwise, is an upgrade of that
        # install; uninstalling it leaves the user's folder as it was.
        self.install(SETUP, wine_path(tools).upper() + "\\")
        self.assertEqual(reg_query("InstallLocation", UNINSTALL_KEY).lower(), wine_path(folder).lower())
        self.assertEqual(sorted(os.listdir(folder)), INSTALLED_FILES)
        self.uninstall(folder)
        self.assertEqual(files_under(tools), theirs)
        self.assertEqual(sorted(os.listdir(tools)), sorted(theirs))

    def through_the_pages(self, folder=None):
        """Starts setup with its pages and goes on to the folder page, where it
        types the folder in when one is given; returns the window's title."""
        proc = subprocess.Popen(["wine", SETUP], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.programs.append(_Started(proc))
        self.driver.pclick(1, title=setup_window(self.driver))  # Next
        self.assertTrue(self.driver.wait(MAIN + " Setup ", 20000))
        title = setup_window(self.driver)
        if folder:
            self.driver.settext(DIR_FIELD, wine_path(folder), title=title)
            time.sleep(0.5)
        return title

    def finish(self, title):
        """Waits for the finish page and clicks Finish, which starts the
        program from where it was installed; closes it again."""
        deadline = time.time() + 60
        while self.driver.text(1, title=title) != "&Finish" and time.time() < deadline:
            time.sleep(0.2)
        self.driver.pclick(1, title=title)
        self.assertTrue(self.driver.wait(MAIN, 20000), "the finish page did not start the program")
        self.driver.run("close", MAIN)
        self.assertTrue(self.driver.gone(MAIN, 20000))

    def test_the_folder_page_says_where_the_files_go_and_refuses_a_folder_they_cannot(self):
        tools = self.users_folder("Tools", ["README.md", "LICENSE.txt"])
        crowded = self.users_folder("Crowded", ["README.md"])  # and so is its Ombrelay folder
        os.rename(self.users_folder("Crowded Ombrelay", ["README.md"]), os.path.join(crowded, "Ombrelay"))
        theirs = files_under(self.scratch)
        title = self.through_the_pages(crowded)
        self.assertIn("Choose another folder", self.driver.text(DIR_TEXT, title=title))
        self.assertEqual(self.driver.state(1, title=title)["enabled"], 0)  # Install
        self.driver.settext(DIR_FIELD, wine_path(tools), title=title)
        time.sleep(0.5)
        self.assertTrue(self.driver.text(DIR_TEXT, title=title).endswith(wine_path(os.path.join(tools, "Ombrelay"))),
                        self.driver.text(DIR_TEXT, title=title))
        self.driver.pclick(1, title=title)  # Install
        self.finish(title)
        folder = os.path.join(tools, "Ombrelay")
        self.assertEqual(sorted(os.listdir(folder)), INSTALLED_FILES)
        self.assertEqual(reg_query("InstallLocation", UNINSTALL_KEY), wine_path(folder))
        self.assertEqual({k: v for k, v in files_under(self.scratch).items() if not k.startswith("Tools/Ombrelay")},
                         theirs)
        # Silently too, a folder that cannot be used is refused, and nothing changes.
        before = installed_state(folder)
        self.install(SETUP, crowded, exit_code=2)
        self.assertEqual(installed_state(folder), before)
        self.assertEqual(os.listdir(os.path.join(crowded, "Ombrelay")), ["README.md"])
        self.uninstall(folder)
        self.assertEqual(files_under(self.scratch), theirs)

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
        # A list saved beside the program, and the desktop shortcut made for
        # it; approved to run every day. Another program starts at sign-in.
        forget_all_approvals()
        self.addCleanup(forget_all_approvals)
        reg_set("Other Program", "other.exe", RUN_KEY)
        self.addCleanup(reg_delete, "Other Program", RUN_KEY)
        # A sign-in value of this install's whose approval is gone, and one
        # of its that asks for the password (a start the user made).
        program = wine_path(os.path.join(folder, "ombrelay.exe"))
        for name, last in (("Ombrelay - lost", "*unattended"), ("Ombrelay - asks", "")):
            reg_set(name, '"%s" "Remove Files*C:\\lost.txt%s"' % (program, last), RUN_KEY)
            self.addCleanup(reg_delete, name, RUN_KEY)
        shortcut = self.save_list_with_installed_program(os.path.join(folder, "my list.txt"), approve_daily=True)
        self.assertEqual(len(task_files("Ombrelay - my list")), 1)
        kept = self.file_bytes(os.path.join(folder, "my list.txt"), shortcut)
        # While the program runs, the uninstaller changes nothing: waited
        # for (_?=), it ends with exit code 2; its usual copy ends the same.
        self.start_installed()
        before = installed_state(folder)
        proc = subprocess.run(["wine", os.path.join(folder, "uninstall.exe"), "/S", "_?=" + wine_path(folder)],
                              capture_output=True, timeout=120)
        self.assertEqual(proc.returncode, 2)
        self.uninstall(folder, entry_goes=False)
        self.assertEqual(installed_state(folder), before)
        self.close_installed()
        seconds = self.uninstall(folder)
        print("uninstall: %.1f s" % seconds)
        self.assertEqual(os.listdir(folder), ["my list.txt"])
        self.assert_same_bytes(kept)
        for path in (start_menu_link(), send_to_link()):
            self.assertFalse(os.path.exists(path), path)
        for key in VERB_KEYS + [UNINSTALL_KEY]:
            self.assertFalse(key_exists(key), key)
        self.assertEqual((reg_query("RecycleBin"), reg_query("OmbrelayFirstTime")), ("1", "No"))
        # The task the approval made goes; the approval stays with the
        # settings, and another program's sign-in entry stays.
        self.assertEqual(task_files("Ombrelay - my list"), [])
        self.assertIsNotNone(reg_value(APPROVALS_KEY, wine_path(os.path.join(folder, "my list.txt"))))
        self.assertEqual(reg_value(RUN_KEY, "Other Program"), "other.exe")
        self.assertEqual((reg_value(RUN_KEY, "Ombrelay - lost"), reg_value(RUN_KEY, "Ombrelay - asks")),
                         (None, '"%s" "Remove Files*C:\\lost.txt"' % program))
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
        self.start_installed()
        proc = subprocess.Popen(["wine", os.path.join(default_dir(), "uninstall.exe")], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.programs.append(_Started(proc))
        self.assertTrue(self.driver.wait(UNINSTALLER, 20000))
        self.driver.pclick(1, title=UNINSTALLER)  # Next, to the choice
        time.sleep(1)
        self.driver.run("space", UNINSTALLER)  # ticks "Remove my Ombrelay settings"
        self.driver.pclick(1, title=UNINSTALLER)  # Uninstall
        # The program runs: asked to close it first, nothing gone yet.
        self.assertIn("Close it, then click Retry", self.driver.run("box", MAIN + " Uninstall", "none"))
        self.assertTrue(key_exists(VERB_KEYS[0]) and os.path.exists(send_to_link()))
        self.close_installed()
        self.driver.run("box", MAIN + " Uninstall", "retry")
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
        # The older one running: a silent setup stops with exit code 2 and
        # changes nothing; through the pages it asks for the program to be
        # closed, and goes on when it is.
        self.start_installed()
        before = installed_state(folder)
        self.install(exit_code=2)
        self.assertEqual(installed_state(folder), before)
        title = self.through_the_pages()
        self.driver.pclick(1, title=title)  # Install
        self.assertIn("Close it, then click Retry", self.driver.run("box", MAIN + " Setup", "none"))
        self.assertEqual(installed_state(folder), before)
        self.close_installed()
        self.driver.run("box", MAIN + " Setup", "retry")
        self.finish(title)
        self.assertEqual(reg_query("DisplayVersion", UNINSTALL_KEY), VERSION)
        self.assertEqual(sorted(os.listdir(folder)), INSTALLED_FILES)
        self.assertEqual((reg_query("RecycleBin"), reg_query("OmbrelayFirstTime")), ("1", "No"))
        with open(os.path.join(self.scratch, "kept list.txt"), "rb") as f:
            self.assertEqual(f.read(), saved)
        self.assertEqual(read_shortcut(shortcut)["Command line arguments"],
                         "Remove Files*" + wine_path(os.path.join(self.scratch, "kept list.txt")))
        os.remove(shortcut)

    def test_two_installs_each_uninstaller_removes_only_its_own(self):
        self.install()
        first, second = default_dir(), os.path.join(self.scratch, "Second", "Ombrelay")
        self.install(SETUP, second)  # takes the verbs, the links and the entry
        taken = installed_state(second)
        self.uninstall(first, entry_goes=False)
        self.assertFalse(os.path.exists(first))
        self.assertEqual(installed_state(second), taken)
        # The other way round: the first installed again, the second uninstalled.
        self.install(SETUP, first)
        taken = installed_state(first)
        self.uninstall(second, entry_goes=False)
        self.assertFalse(os.path.exists(second))
        self.assertEqual(installed_state(first), taken)
        self.uninstall(first)
        for path in (start_menu_link(), send_to_link(), first):
            self.assertFalse(os.path.exists(path), path)
        for key in VERB_KEYS:
            self.assertFalse(key_exists(key), key)


class _Started:
    """A program started from its installed place, killed after the test."""

    def __init__(self, proc):
        self.proc = proc

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
