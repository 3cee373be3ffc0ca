"""The main window as it starts, its option buttons, the removal-run dispatch
and the ways to end the program."""
import unittest

from harness import (CHK_SUBFOLDERS, CMD_ADD, CMD_INVERT, CMD_LOAD, CMD_REMOVE, CMD_SAVE, CMD_SELECT_ALL,
                     FRAME1, FRAME2, LABEL1, LST_FILES, MAIN, MNU_EXIT, OPT_ADD_FILE, OPT_ADD_FOLDER, PB_COPY,
                     STATUS, TXT_PASSWORD, E2ETest)


class MainWindowTest(E2ETest):
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


if __name__ == "__main__":
    unittest.main()
