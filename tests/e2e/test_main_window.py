"""The main window as it starts, its option buttons, the removal-run dispatch,
the ways to end the program, resizing, the remembered placement and the
layout at 150% and 200% scale."""
import subprocess
import unittest

from harness import (CHK_SUBFOLDERS, CMD_ADD, CMD_INVERT, CMD_LOAD, CMD_REMOVE, CMD_SAVE, CMD_SELECT_ALL,
                     FRAME1, FRAME2, LABEL1, LST_FILES, MAIN, MNU_EXIT, OPT_ADD_FILE, OPT_ADD_FOLDER, PB_COPY,
                     STATUS, TXT_PASSWORD, E2ETest, reg_delete, reg_query, reg_set)


def scaled(twips, dpi):
    """Twips in pixels at a DPI, rounded as MulDiv rounds."""
    return int(twips * dpi / 1440 + 0.5)


def restart_wine_with(dpi, desktop_size):
    """Sets the prefix's DPI and virtual desktop size and restarts the
    wineserver so that both take effect."""
    subprocess.run(["wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                    "/d", str(dpi), "/f"], capture_output=True, check=True)
    subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d",
                    desktop_size, "/f"], capture_output=True, check=True)
    subprocess.run(["wineserver", "-k"])
    subprocess.run(["wineserver", "-w"])
    # A lasting server keeps any pipe it gets open: give it none.
    subprocess.run(["wineserver", "-p"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # The first program starts the desktop and services, which keep any pipe open.
    subprocess.run(["wine", "cmd", "/c", "exit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class MainWindowTest(E2ETest):
    def setUp(self):
        super().setUp()
        reg_delete("WindowPlacement")  # each test starts from the default placement

    def test_controls_captions_and_initial_state(self):
        self.start()
        children = {c["id"]: c for c in self.driver.children()}
        captions = {FRAME1: "Add files:", OPT_ADD_FILE: "Add File", OPT_ADD_FOLDER: "Add Folder",
                    CHK_SUBFOLDERS: "Add subfolders", CMD_ADD: "Add", CMD_REMOVE: "Remove", FRAME2: "Save:",
                    LABEL1: "Password:", CMD_LOAD: "Load List", CMD_SAVE: "Save List",
                    CMD_SELECT_ALL: "Select all", CMD_INVERT: "Invert selection"}
        for control, caption in captions.items():
            self.assertEqual(children[control]["text"].replace("&", ""), caption)
        self.assertEqual(children[TXT_PASSWORD]["text"], "")
        self.assertEqual(self.driver.run("tip", MAIN, TXT_PASSWORD),
                         "The password is kept in the list file as text: it guards against a run started by "
                         "mistake, not against someone who can read the file.")
        self.assertEqual(children[LST_FILES]["class"], "SysListView32")
        self.assertEqual(children[PB_COPY]["class"], "msctls_progress32")
        self.assertEqual(children[STATUS]["class"], "msctls_statusbar32")
        # Twips at 15 per pixel: Add is at (120 + 1920, 120 + 360) twips, 1575 x 375.
        self.assertEqual(children[CMD_ADD]["rect"], (136, 32, 105, 25))
        self.assertEqual(children[LST_FILES]["rect"], (8, 128, 881, 329))
        self.assertEqual(self.driver.state(OPT_ADD_FOLDER)["checked"], 1)
        self.assertEqual(self.driver.state(OPT_ADD_FILE)["checked"], 0)
        self.assertEqual(self.driver.state(CHK_SUBFOLDERS), {"enabled": 1, "checked": 1, "visible": 1})
        self.assertEqual(self.driver.rows(), [])
        self.assertEqual(self.driver.status(), "")
        self.assertEqual(self.driver.progress(), (0, 100))
        self.assertIn("client=902x527", self.driver.run("rect", MAIN))

    def test_add_file_greys_out_subfolders_keeping_its_mark(self):
        self.start()
        self.driver.click(OPT_ADD_FILE)
        self.assertEqual(self.driver.state(CHK_SUBFOLDERS), {"enabled": 0, "checked": 1, "visible": 1})
        self.driver.click(OPT_ADD_FOLDER)
        self.assertEqual(self.driver.state(CHK_SUBFOLDERS), {"enabled": 1, "checked": 1, "visible": 1})
        self.driver.click(CHK_SUBFOLDERS)
        self.driver.click(OPT_ADD_FILE)
        self.assertEqual(self.driver.state(CHK_SUBFOLDERS), {"enabled": 0, "checked": 0, "visible": 1})

    def test_list_commands_on_an_empty_list(self):
        self.start()
        self.driver.click(CMD_SELECT_ALL)
        self.driver.click(CMD_INVERT)
        self.assertEqual(self.driver.status(), "")
        self.driver.click(CMD_REMOVE)
        self.assertEqual(self.driver.status(), "0 items loaded...")

    def test_keyboard_tab_order_and_access_keys(self):
        self.start()
        self.assertEqual(int(self.driver.run("focus", MAIN)), OPT_ADD_FOLDER)
        order = []
        for _ in range(9):
            self.driver.run("tab", MAIN, 1)
            order.append(int(self.driver.run("focus", MAIN)))
        self.assertEqual(order, [CHK_SUBFOLDERS, CMD_ADD, CMD_REMOVE, TXT_PASSWORD, CMD_LOAD, CMD_SAVE, LST_FILES,
                                 CMD_SELECT_ALL, CMD_INVERT])
        self.driver.run("alt", MAIN, "i")  # Add F&ile
        self.assertEqual(self.driver.state(OPT_ADD_FILE)["checked"], 1)
        self.assertEqual(self.driver.state(CHK_SUBFOLDERS)["enabled"], 0)
        self.driver.run("alt", MAIN, "r")  # &Remove
        self.assertEqual(self.driver.status(), "0 items loaded...")

    def test_close_box_ends_the_program(self):
        program = self.start()
        self.driver.run("close", MAIN)
        self.assertTrue(program.wait_exit(10))

    def test_exit_ends_the_program(self):
        program = self.start()
        self.driver.menu(MNU_EXIT)
        self.assertTrue(program.wait_exit(10))

    def test_removal_command_line_hides_the_main_window(self):
        program = self.start("Remove Files*C:\\nowhere\\list.txt", wait_main=False)
        self.assertFalse(self.driver.wait(MAIN, 3000))
        self.assertTrue(program.running())

    def test_other_command_lines_start_editing_mode(self):
        self.start("remove files*C:\\x.txt")
        self.assertTrue(self.driver.visible(MAIN))

    def test_resizing_gives_the_room_to_the_list_and_keeps_the_bottom_row_down(self):
        self.start()
        self.driver.resize(1000, 700)
        _, client, _ = self.driver.rect()
        dx, dy = client[0] - 902, client[1] - 527
        self.assertGreater(dx, 0)
        self.assertGreater(dy, 0)
        children = {c["id"]: c for c in self.driver.children()}
        self.assertEqual(children[LST_FILES]["rect"], (8, 128, 881 + dx, 329 + dy))
        self.assertEqual(children[CMD_ADD]["rect"], (136, 32, 105, 25))
        self.assertEqual(children[CMD_SELECT_ALL]["rect"][1], 464 + dy)
        self.assertEqual(children[CMD_INVERT]["rect"][1], 464 + dy)
        self.assertEqual(children[PB_COPY]["rect"][1:], (464 + dy, 657 + dx, 25))
        status = children[STATUS]["rect"]
        self.assertEqual((status[0], status[1] + status[3], status[2]), (0, client[1], client[0]))
        self.assertEqual(int(self.driver.run("colwidth", MAIN, 0)), 705 + dx)
        self.driver.resize(400, 300)  # smaller than the first size: held at it
        _, client, _ = self.driver.rect()
        self.assertEqual(client, (902, 527))
        self.assertEqual({c["id"]: c for c in self.driver.children()}[LST_FILES]["rect"], (8, 128, 881, 329))
        self.driver.run("maximize", MAIN)
        _, client, zoomed = self.driver.rect()
        self.assertTrue(zoomed)
        self.assertEqual({c["id"]: c for c in self.driver.children()}[LST_FILES]["rect"][2], client[0] - 21)

    def test_placement_is_kept_at_close_and_restored_at_start(self):
        program = self.start()
        default, _, _ = self.driver.rect()
        self.driver.resize(1000, 650)
        self.driver.run("close", MAIN)
        self.assertTrue(program.wait_exit(10))
        left, top = default[0], default[1]
        self.assertEqual(reg_query("WindowPlacement"), "1,0,%d,%d,%d,%d" % (left, top, left + 1000, top + 650))
        self.start()
        self.assertEqual(self.driver.rect()[0], (left, top, left + 1000, top + 650))
        self.driver.run("maximize", MAIN)
        self.driver.menu(MNU_EXIT)
        self.assertTrue(self.programs[-1].wait_exit(10))
        self.assertTrue(reg_query("WindowPlacement").startswith("1,1,"))
        self.start()
        self.assertTrue(self.driver.rect()[2])

    def test_placement_off_every_monitor_or_malformed_is_ignored(self):
        self.start()
        default = self.driver.rect()
        self.programs[-1].kill()
        for value in ["1,0,3000,100,3900,700", "1,0,100,-900,1000,-300", "1,0,57,97,1057", "1,0,57,97,1057,797,1",
                      "2,0,57,97,1057,797", "1,0,57,97,1057,abc", ""]:
            reg_set("WindowPlacement", value)
            self.start()
            self.assertEqual(self.driver.rect(), default, value)
            self.programs[-1].kill()


class ScaledLayoutTest(E2ETest):
    """The layout at 150% and 200% scale (LogPixels 144 and 192) on a
    desktop large enough to hold it; put back to 96 DPI afterwards."""

    @classmethod
    def tearDownClass(cls):
        restart_wine_with(96, "1024x768")
        super().tearDownClass()

    def test_layout_scales_and_resizes_at_144_and_192_dpi(self):
        for dpi in (144, 192):
            restart_wine_with(dpi, "2560x1600")
            program = self.start()
            _, client, _ = self.driver.rect()
            self.assertEqual(client, (scaled(13530, dpi), scaled(7905, dpi)), dpi)
            children = {c["id"]: c for c in self.driver.children()}
            self.assertEqual(children[CMD_ADD]["rect"],
                             (scaled(2040, dpi), scaled(480, dpi), scaled(1575, dpi), scaled(375, dpi)))
            self.assertEqual(children[LST_FILES]["rect"],
                             (scaled(120, dpi), scaled(1920, dpi), scaled(13215, dpi), scaled(4935, dpi)))
            self.driver.resize(300, 200)
            self.assertEqual(self.driver.rect()[1], client)  # the minimum is the scaled size
            self.driver.resize(2400, 1500)
            _, grown, _ = self.driver.rect()
            children = {c["id"]: c for c in self.driver.children()}
            self.assertEqual(children[LST_FILES]["rect"][2:], (scaled(13215, dpi) + grown[0] - client[0],
                                                               scaled(4935, dpi) + grown[1] - client[1]))
            self.assertEqual(children[CMD_SELECT_ALL]["rect"][1], scaled(6960, dpi) + grown[1] - client[1])
            status = children[STATUS]["rect"]
            self.assertEqual(status[1] + status[3], grown[1])
            program.kill()


if __name__ == "__main__":
    unittest.main()
