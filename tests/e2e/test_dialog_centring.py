"""The open and save dialogs of the running program appear centred on the
main window."""
import re
import unittest

from harness import CMD_ADD, CMD_LOAD, CMD_SAVE, MAIN, OPT_ADD_FILE, TXT_PASSWORD, E2ETest


def centre(driver, title):
    match = re.search(r"rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", driver.run("rect", title))
    left, top, right, bottom = map(int, match.groups())
    return (left + right) / 2, (top + bottom) / 2


class DialogCentringTest(E2ETest):
    # The explorer dialog grows by a few pixels after it is placed, keeping
    # its top-left corner.
    TOLERANCE = 20

    def assert_centred_on_main(self, title):
        self.assertTrue(self.driver.wait(title), "dialog %s did not appear" % title)
        dx, dy = centre(self.driver, title)
        mx, my = centre(self.driver, MAIN)
        self.assertLessEqual(abs(dx - mx), self.TOLERANCE, (dx, mx))
        self.assertLessEqual(abs(dy - my), self.TOLERANCE, (dy, my))
        self.driver.run("file", title, "", "cancel")
        self.assertTrue(self.driver.gone(title))

    def test_open_dialog_of_the_add_command(self):
        self.start()
        self.driver.click(OPT_ADD_FILE)
        self.driver.pclick(CMD_ADD)
        self.assert_centred_on_main("Show Open")

    def test_load_and_save_dialogs(self):
        self.start()
        self.driver.pclick(CMD_LOAD)
        self.assert_centred_on_main("Find list to open")
        # Saving needs an entry and a password first.
        self.driver.click(OPT_ADD_FILE)
        self.driver.pclick(CMD_ADD)
        self.assertTrue(self.driver.wait("Show Open"))
        self.driver.run("file", "Show Open", "C:\\windows\\win.ini")
        self.assertTrue(self.driver.gone("Show Open"))
        self.driver.settext(TXT_PASSWORD, "pw")
        self.driver.pclick(CMD_SAVE)
        self.assert_centred_on_main("Save list")


if __name__ == "__main__":
    unittest.main()
