"""The About window: its texts, modeless use, OK and reopening, and the
System Info button with and without the tool's registry entries."""
import os
import shutil
import subprocess
import unittest

from harness import CMD_SELECT_ALL, MAIN, MNU_ABOUT, E2ETest, drive_c, reg_delete, reg_set

ABOUT = "About Ombrelay"
CMD_OK, CMD_SYSINFO, LABEL1, LINE1_FIRST, LBL_DESCRIPTION = 1, 302, 303, 304, 305
LBL_TITLE, LINE1_SECOND, LBL_VERSION, LBL_DISCLAIMER = 306, 307, 308, 309
MSINFO_KEY = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"
LOCATION_KEY = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location"
UNAVAILABLE = "System Information Is Unavailable At This Time"
NOTEPAD = "Untitled - Notepad"
WINE_MSINFO = "About System Information"


class AboutWindowTest(E2ETest):
    def open_about(self):
        self.driver.menu(MNU_ABOUT)
        self.assertTrue(self.driver.wait(ABOUT, 10000), "About window did not appear")

    def test_texts_and_controls(self):
        self.start()
        self.open_about()
        children = self.driver.children(ABOUT)
        ids = [c["id"] for c in children]
        self.assertEqual(ids, [CMD_OK, CMD_SYSINFO, LABEL1, LINE1_FIRST, LBL_DESCRIPTION, LBL_TITLE, LINE1_SECOND,
                               LBL_VERSION, LBL_DISCLAIMER])
        text = {c["id"]: c["text"] for c in children}
        self.assertEqual(text[CMD_OK], "OK")
        self.assertEqual(text[CMD_SYSINFO], "&System Info...")
        self.assertEqual(text[LBL_TITLE], "Ombrelay")
        self.assertEqual(text[LBL_VERSION], "1.02")
        self.assertEqual(text[LBL_DESCRIPTION],
                         "Will add files to a list that can be deleted with the press of a button.")
        self.assertEqual(text[LBL_DISCLAIMER], "Warning: Use this program at your own risk. ")
        self.assertIn("for updates and other applications", text[LABEL1])

    def test_modeless_and_opened_afresh_after_ok(self):
        self.start()
        self.open_about()
        first = self.driver.run("hwnd", ABOUT)
        # The main window stays usable, and opening again shows the same window.
        self.driver.click(CMD_SELECT_ALL)
        self.open_about()
        self.assertEqual(self.driver.run("hwnd", ABOUT), first)
        self.driver.pclick(CMD_OK, ABOUT)
        self.assertTrue(self.driver.gone(ABOUT, 5000))
        self.assertTrue(self.driver.visible(MAIN))
        self.open_about()
        self.assertNotEqual(self.driver.run("hwnd", ABOUT), first)
        self.assertEqual(self.driver.text(LBL_VERSION, ABOUT), "1.02")


class SystemInfoTest(E2ETest):
    """The HKLM entries are set per test and removed again."""

    def setUp(self):
        super().setUp()
        self.clear_entries()
        self.addCleanup(self.clear_entries)

    def clear_entries(self):
        reg_delete("PATH", MSINFO_KEY)
        subprocess.run(["wine", "reg", "delete", LOCATION_KEY, "/f"], capture_output=True)

    def press_system_info(self):
        self.start()
        self.driver.menu(MNU_ABOUT)
        self.assertTrue(self.driver.wait(ABOUT, 10000))
        self.driver.pclick(CMD_SYSINFO, ABOUT)

    def close_notepad(self):
        self.driver.run("close", NOTEPAD, check=False)

    def test_without_entries_says_unavailable(self):
        self.press_system_info()
        self.assertEqual(self.driver.msgbox("Ombrelay", "ok"), UNAVAILABLE)
        self.assertTrue(self.driver.visible(ABOUT))

    def test_path_entry_is_started(self):
        reg_set("PATH", "C:\\windows\\system32\\notepad.exe", MSINFO_KEY)
        self.addCleanup(self.close_notepad)
        self.press_system_info()
        self.assertTrue(self.driver.wait(NOTEPAD, 15000))
        self.assertFalse(self.driver.visible("Ombrelay"))

    def test_path_entry_naming_no_program_says_unavailable(self):
        reg_set("PATH", "C:\\nowhere\\msinfo32.exe", MSINFO_KEY)
        self.press_system_info()
        self.assertEqual(self.driver.msgbox("Ombrelay", "ok"), UNAVAILABLE)

    def test_location_entry_needs_the_program_in_that_folder(self):
        folder = os.path.join(drive_c(), "msinfo_test")
        os.makedirs(folder, exist_ok=True)
        self.addCleanup(shutil.rmtree, folder, True)
        reg_set("MSINFO", "C:\\msinfo_test", LOCATION_KEY)
        self.press_system_info()
        self.assertEqual(self.driver.msgbox("Ombrelay", "ok"), UNAVAILABLE)
        # Wine's own system information tool: it shows an About box.
        shutil.copy(os.path.join(drive_c(), "windows", "system32", "msinfo32.exe"),
                    os.path.join(folder, "MSINFO32.EXE"))
        self.addCleanup(self.driver.run, "close", WINE_MSINFO, check=False)
        self.driver.pclick(CMD_SYSINFO, ABOUT)
        self.assertTrue(self.driver.wait(WINE_MSINFO, 15000))


if __name__ == "__main__":
    unittest.main()
