"""The Windows Installer package with Wine's own msiexec: its tables (read
with msiinfo), install, repair, upgrade and removal per user and per
machine, and what it refuses: an older package, the setup program's install,
changes while the program runs."""
import os
import re
import shutil
import subprocess
import tempfile

from harness import drive_c, reg_delete, reg_query, reg_set, unix_path, wine_path
from test_installer import (STRIPPED_EXE, VERB_KEYS, VERSION, InstallerBase, default_dir, default_value,
                            files_under, installed_apps, installed_state, key_exists, profile, reg_tree, send_to_link, start_menu_link)
from test_save_load import read_shortcut
from test_unattended import RUN_KEY, forget_all_approvals, reg_value, task_files

MSI = os.environ.get("OMBRELAY_MSI", "")
ACTIONS = os.environ.get("OMBRELAY_MSI_ACTIONS", "")
MSIINFO = os.environ.get("OMBRELAY_MSIINFO", "msiinfo")
SOURCE_DIR = os.environ.get("OMBRELAY_SOURCE_DIR", "")

PACKAGE_FILES = ["LICENSE.txt", "README.md", "ombrelay.exe"]
MACHINE_VERB = "HKLM\\Software\\Classes\\*\\shell\\Ombrelay.AddToList"
ICON = os.path.join(SOURCE_DIR, "res", "ombrelay.ico")
INSTALL_FAILURE = 1603  # the Installer's exit code for a failed launch condition or custom action


def upgrade_code_of_setup():
    """The package's upgrade code as the setup program looks for it."""
    with open(os.path.join(SOURCE_DIR, "installer", "ombrelay.nsi")) as f:
        return re.search(r'!define MSI_UPGRADE_CODE "(\{[0-9A-F-]+\})"', f.read()).group(1)


def table(package, name):
    """The rows of one of the package's tables, as msiinfo exports them."""
    out = subprocess.run([MSIINFO, "export", package, name], capture_output=True, text=True, check=True).stdout
    return [line.split("\t") for line in out.splitlines()[3:]]


def make_msi(version, out_dir):
    """A package of the given version number around the same program."""
    out = os.path.join(out_dir, "Ombrelay-%s.msi" % version)
    subprocess.run(["cmake", "-DVERSION=" + version, "-DEXE=" + STRIPPED_EXE,
                    "-DREADME=" + os.path.join(SOURCE_DIR, "README.md"),
                    "-DLICENSE=" + os.path.join(SOURCE_DIR, "LICENSE"), "-DACTIONS=" + ACTIONS, "-DOUT=" + out,
                    "-P", os.path.join(SOURCE_DIR, "cmake", "msi.cmake")], check=True, capture_output=True)
    return out


class MsiTest(InstallerBase):
    def setUp(self):
        super().setUp()
        self.assertTrue(MSI and os.path.exists(MSI), "no package was built: %r" % MSI)

    def msiexec(self, *args, exit_code=0):
        """Runs msiexec with its verbose log, checks its exit code and returns the log."""
        return self.finish_msiexec(self.start_msiexec(*args), exit_code)

    def start_msiexec(self, *args):
        self.log = os.path.join(self.scratch, "msiexec.log")
        if os.path.exists(self.log):
            os.remove(self.log)
        self.args = [wine_path(a) if a.endswith(".msi") else a for a in args]
        # Through a batch file, which prints the whole exit code: Wine's
        # own exit status keeps only its low 8 bits (1603 would be 67).
        batch = os.path.join(os.path.dirname(self.scratch), "msiexec-e2e.cmd")
        with open(batch, "w") as f:
            f.write("@msiexec %*\r\n@echo exit code %ERRORLEVEL%\r\n")
        # From the scratch folder: whatever a relative path reaches stays in there.
        return subprocess.Popen(["wine", "cmd", "/c", wine_path(batch)] + self.args + ["/l*v", wine_path(self.log)],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, cwd=self.scratch)

    def finish_msiexec(self, proc, exit_code=0):
        out = proc.communicate(timeout=180)[0]
        text = ""
        if os.path.exists(self.log):
            with open(self.log, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        code = re.search(rb"exit code (\d+)", out)
        self.assertEqual(int(code.group(1)) if code else None, exit_code,
                         "msiexec %s\n%s" % (" ".join(self.args), text[-4000:]))
        return text

    def state(self, folder):
        return installed_state(folder), installed_apps()

    def assert_program(self, folder):
        self.assertEqual(self.file_bytes(os.path.join(folder, "ombrelay.exe")).popitem()[1],
                         self.file_bytes(STRIPPED_EXE).popitem()[1])

    def the_entry(self, version):
        """The one Installed apps entry, of the given version, removed through the Installer."""
        entries = installed_apps()
        self.assertEqual(len(entries), 1, entries)
        key, values = entries.popitem()
        self.assertEqual((values["DisplayVersion"], values["Publisher"], values["WindowsInstaller"]),
                         (version, "Farrowdene", "0x1"))
        self.assertEqual(values["UninstallString"], "MsiExec.exe /X" + key.rsplit("\\", 1)[1])
        return values

    def test_the_tables_as_built(self):
        properties = dict(row[:2] for row in table(MSI, "Property"))
        self.assertEqual((properties["UpgradeCode"], properties["ProductVersion"], properties["ProductName"]),
                         (upgrade_code_of_setup(), VERSION, "Ombrelay"))
        # The product code comes from the version: the same again, another for another version.
        with tempfile.TemporaryDirectory() as out:
            again = dict(row[:2] for row in table(make_msi(VERSION, out), "Property"))
            older = dict(row[:2] for row in table(make_msi("1.01", out), "Property"))
        self.assertEqual(again["ProductCode"], properties["ProductCode"])
        self.assertNotEqual(older["ProductCode"], properties["ProductCode"])
        self.assertEqual((older["UpgradeCode"], older["ProductVersion"]), (properties["UpgradeCode"], "1.01"))
        components = {row[0]: (row[2], row[4]) for row in table(MSI, "Component")}
        self.assertEqual(components, {"Program": ("INSTALLDIR", ""), "Readme": ("INSTALLDIR", ""),
                                      "License": ("INSTALLDIR", ""), "Verbs": ("INSTALLDIR", ""),
                                      "StartMenu": ("ProgramMenuFolder", ""),
                                      "SendTo": ("SendToFolder", "NOT ALLUSERS=1")})
        self.assertEqual(sorted(row[2] for row in table(MSI, "File")), sorted(PACKAGE_FILES))
        # Compressed, and installed per user with no administrator rights asked for.
        summary = subprocess.run([MSIINFO, "suminfo", MSI], capture_output=True, text=True, check=True).stdout
        self.assertEqual(int(re.search(r"Source: (\d+)", summary).group(1)), 2 | 8)
        self.assertNotIn("ALLUSERS", properties)
        # Per user or per machine: every value goes under HKMU.
        self.assertEqual({row[1] for row in table(MSI, "Registry")}, {"-1"})
        # Older versions are removed (migrating the feature), newer ones only found.
        upgrades = {row[6]: row[1:5] for row in table(MSI, "Upgrade")}
        self.assertEqual(upgrades, {"WIX_UPGRADE_DETECTED": ["", VERSION, "", "1"],
                                    "WIX_DOWNGRADE_DETECTED": [VERSION, "", "", "2"]})

    def test_silent_install_repair_and_uninstall_keep_the_users_things(self):
        # A property the package does not know changes nothing.
        self.msiexec("/i", MSI, "/qn", "INSTALLFOLDER=C:\\elsewhere")
        folder = default_dir()
        exe = wine_path(os.path.join(folder, "ombrelay.exe"))
        self.assertEqual(sorted(os.listdir(folder)), PACKAGE_FILES)
        self.assertFalse(os.path.exists(os.path.join(drive_c(), "elsewhere")))
        self.assert_program(folder)
        values = self.the_entry(VERSION)
        self.assertEqual(values["InstallLocation"].rstrip("\\"), wine_path(folder))
        # The entry's icon is the product's, registered by the Installer.
        icon = re.search(r"ProductIcon\s+REG_SZ\s+(.*)", reg_tree("HKCU\\Software\\Microsoft\\Installer\\Products"))
        self.assertEqual(*self.file_bytes(unix_path(icon.group(1).strip()), ICON).values())
        for link in (start_menu_link(), send_to_link()):
            self.assertEqual(read_shortcut(link)["Local path"], exe, link)
        for key in VERB_KEYS:
            self.assertEqual(default_value(key), "Add to Ombrelay delete list")
            self.assertEqual(default_value(key + "\\command"), '"%s" "%%1"' % exe)
        # Started from the Start menu entry's target.
        self.start_installed(install_dir=os.path.dirname(unix_path(read_shortcut(start_menu_link())["Local path"])))
        self.close_installed()

        # The README's repair brings back a file deleted by hand and the
        # program damaged in place (same size, same version); a folder
        # given with it moves nothing.
        os.remove(os.path.join(folder, "README.md"))
        with open(os.path.join(folder, "ombrelay.exe"), "r+b") as f, open(os.path.join(SOURCE_DIR, "README.md")) as r:
            f.seek(os.path.getsize(STRIPPED_EXE) // 2)
            f.write(b"\xcc" * 4096)
            repair = re.search(r"rem Repair.*\nmsiexec /i \S+ (.*)", r.read()).group(1).split()
        self.msiexec("/i", MSI, *repair, "INSTALLDIR=Tools")
        self.assert_program(folder)
        self.assertEqual((default_value(VERB_KEYS[0] + "\\command"), os.listdir(self.scratch)),
                         ('"%s" "%%1"' % exe, ["msiexec.log"]))
        self.assertEqual(*self.file_bytes(os.path.join(folder, "README.md"), r.name).values())

        # A list saved beside the program, approved to run every day; a
        # sign-in value of this install whose approval is gone.
        reg_set("RecycleBin", "1")
        forget_all_approvals()
        self.addCleanup(forget_all_approvals)
        reg_set("Ombrelay - lost", '"%s" "Remove Files*C:\\lost.txt*unattended"' % exe, RUN_KEY)
        self.addCleanup(reg_delete, "Ombrelay - lost", RUN_KEY)
        shortcut = self.save_list_with_installed_program(os.path.join(folder, "my list.txt"), approve_daily=True)
        self.assertEqual(len(task_files("Ombrelay - my list")), 1)
        kept = self.file_bytes(os.path.join(folder, "my list.txt"), shortcut)

        # While the program runs, a silent uninstall changes nothing.
        self.start_installed()
        before = self.state(folder)
        log = self.msiexec("/x", MSI, "/qn", exit_code=INSTALL_FAILURE)
        self.assertIn("Ombrelay is running from %s: nothing was changed." % wine_path(folder), log)
        self.assertEqual(self.state(folder), before)
        self.close_installed()

        self.msiexec("/x", MSI, "/qn")
        self.assertEqual(os.listdir(folder), ["my list.txt"])
        self.assert_same_bytes(kept)
        self.assertEqual([os.path.exists(path) for path in (start_menu_link(), send_to_link())] +
                         [key_exists(key) for key in VERB_KEYS], [False] * 4)
        self.assertEqual((installed_apps(), reg_query("RecycleBin"), reg_query("OmbrelayFirstTime")), ({}, "1", "No"))
        self.assertEqual((task_files("Ombrelay - my list"), reg_value(RUN_KEY, "Ombrelay - lost")), ([], None))
        os.remove(os.path.join(folder, "my list.txt"))

        # A program file that refuses writing for another reason than a
        # running program (here a folder by its name; Wine lets root write
        # a read-only file) is said as it is, and the removal goes on.
        self.msiexec("/i", MSI, "/qn")
        os.remove(os.path.join(folder, "ombrelay.exe"))
        os.mkdir(os.path.join(folder, "ombrelay.exe"))
        log = self.msiexec("/x", MSI, "/qn")
        self.assertEqual((exe + " does not open for writing (" in log, "is running" in log, installed_apps()),
                         (True, False, {}))
        shutil.rmtree(folder)

        # Installed again, then the folder deleted by hand: the uninstall
        # still ends well and takes the rest.
        self.msiexec("/i", MSI, "/qn")
        shutil.rmtree(folder)
        self.msiexec("/x", MSI, "/qn")
        self.assertEqual(installed_apps(), {})
        self.assertFalse(key_exists(VERB_KEYS[0]) or os.path.exists(start_menu_link()))

        # For every user: Program Files, the verbs where every user's
        # classes come from, the shared Start menu, no Send To.
        self.msiexec("/i", MSI, "/qn", "ALLUSERS=1")
        machine = os.path.join(drive_c(), "Program Files", "Ombrelay")
        exe = wine_path(os.path.join(machine, "ombrelay.exe"))
        self.assertEqual(sorted(os.listdir(machine)), PACKAGE_FILES)
        self.assertEqual(default_value(MACHINE_VERB + "\\command"), '"%s" "%%1"' % exe)
        # The shared Start menu on Windows; Wine's Installer keeps ProgramMenuFolder the user's own.
        shared = os.path.join(drive_c(), "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                              "Ombrelay.lnk")
        link = [path for path in (shared, start_menu_link()) if os.path.exists(path)]
        self.assertEqual([read_shortcut(path)["Local path"] for path in link], [exe])
        self.assertFalse(key_exists(VERB_KEYS[0]) or os.path.exists(send_to_link()))
        self.the_entry(VERSION)
        self.msiexec("/x", MSI, "/qn")
        self.assertFalse(os.path.exists(machine) or os.path.exists(link[0]) or key_exists(MACHINE_VERB))

    def test_an_upgrade_goes_in_place_and_an_older_package_is_refused(self):
        # The older build into a folder of the user's: it gets a folder of its own there.
        tools = self.users_folder("My Tools", ["README.md", "notes.txt"])
        theirs = files_under(tools)
        # A file, a folder below a file, a relative folder: refused, nothing installed.
        notes = wine_path(os.path.join(tools, "notes.txt"))
        refused = notes + " is a file, not a folder: choose another folder."
        for asked, words in ((notes, refused), (notes + "\\Ombrelay", refused),
                             ("Tools", "Tools is not a full path: give the folder with its drive or share (D:\\Tools).")):
            log = self.msiexec("/i", MSI, "/qn", "INSTALLDIR=" + asked, exit_code=INSTALL_FAILURE)
            self.assertIn(words + " Nothing was installed.", log)
            self.assertEqual((files_under(tools), installed_apps(), key_exists(VERB_KEYS[0])), (theirs, {}, False))
            self.assertFalse(os.path.exists(start_menu_link()) or os.path.exists(os.path.join(self.scratch, "Tools")))
        with tempfile.TemporaryDirectory() as out:
            older = make_msi("1.01", os.path.join(out))
            log = self.msiexec("/i", older, "/qn", "INSTALLDIR=" + wine_path(tools))
            self.assertIn("so Ombrelay is installed in a folder of its own inside it", log)
            folder = os.path.join(tools, "Ombrelay")
            self.assertEqual(sorted(os.listdir(folder)), PACKAGE_FILES)
            self.the_entry("1.01")
            reg_set("RecycleBin", "1")
            shortcut = self.save_list_with_installed_program(os.path.join(self.scratch, "kept list.txt"),
                                                             install_dir=folder)
            kept = self.file_bytes(os.path.join(self.scratch, "kept list.txt"), shortcut)

            # The older one running: the newer package changes nothing.
            self.start_installed(install_dir=folder)
            before = self.state(folder)
            log = self.msiexec("/i", MSI, "/qn", exit_code=INSTALL_FAILURE)
            self.assertIn("Ombrelay is running from %s: nothing was changed." % wine_path(folder), log)
            self.assertEqual(self.state(folder), before)

            # With its windows, the newer one asks for the program to be
            # closed, then goes where the older one went (given in another
            # spelling), in its place.
            proc = self.start_msiexec("/i", MSI, "INSTALLDIR=" + wine_path(tools).upper() + "\\Ombrelay\\")
            self.assertTrue(self.driver.wait("Windows Installer", 30000))
            self.assertIn("Close it, then click Retry", self.driver.run("box", "Windows Installer", "none"))
            self.assertEqual(self.state(folder), before)
            self.close_installed()
            self.driver.run("box", "Windows Installer", "retry")
            self.finish_msiexec(proc)
            self.the_entry(VERSION)
            self.assertEqual(sorted(os.listdir(folder)), PACKAGE_FILES)
            self.assertEqual({k: v for k, v in files_under(tools).items() if not k.startswith("Ombrelay")}, theirs)
            self.assertEqual(default_value(VERB_KEYS[0] + "\\command").lower(),
                             '"%s" "%%1"' % wine_path(os.path.join(folder, "ombrelay.exe")).lower())
            self.start_installed(install_dir=folder)
            self.close_installed()
            self.assertEqual((reg_query("RecycleBin"), reg_query("OmbrelayFirstTime")), ("1", "No"))
            self.assert_same_bytes(kept)
            os.remove(shortcut)

            # The older package over the newer: refused, the newer kept.
            before = self.state(folder)
            log = self.msiexec("/i", older, "/qn", exit_code=INSTALL_FAILURE)
            self.assertIn("A newer version of Ombrelay is already installed.", log)
            self.assertEqual(self.state(folder), before)

        # The setup program does not go over the package, and says why ...
        setup_log = os.path.join(profile(), "Temp", "Ombrelay setup.log")
        self.addCleanup(lambda: os.path.exists(setup_log) and os.remove(setup_log))
        self.install(exit_code=2)
        self.assertEqual(self.state(folder), before)
        with open(setup_log) as f:
            self.assertIn("already installed by its Windows Installer package", f.read())
        self.msiexec("/x", MSI, "/qn")
        self.assertEqual(files_under(tools), theirs)
        # ... nor the package over the setup program.
        self.install()
        nsis = self.state(default_dir())
        log = self.msiexec("/i", MSI, "/qn", exit_code=INSTALL_FAILURE)
        self.assertIn("is already installed in %s by its setup program" % wine_path(default_dir()), log)
        self.assertEqual(self.state(default_dir()), nsis)
