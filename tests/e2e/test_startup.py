"""Start-up services end to end: the first-run disclaimer, the update check
against a local HTTP server, the removal run passing both, and the HTTP
fetcher's own tests run against the same server."""
import os
import subprocess
import time
import unittest

from harness import EXE, MAIN, E2ETest, reg_delete, reg_query, reg_set, set_start_up_defaults
from http_test_server import TestServer

DISCLAIMER = ("Use this application at your own risk. Farrowdene Inc is not responsible for any loss of data "
              "or any data corruption. Do you agree to this?")
FIRST_TIME = "OmbrelayFirstTime"


def offer_text(address):
    return "New version is available at: " + address + ". Do you wish to go there now?"


class HttpFetcherTest(unittest.TestCase):
    """The fetcher's Win32 tests, given the server's port."""

    def test_fetcher_against_a_real_server(self):
        server = TestServer().start()
        try:
            win_tests = os.path.join(os.path.dirname(EXE), "tests", "win_tests.exe")
            env = dict(os.environ, OMBRELAY_HTTP_PORT=str(server.port))
            proc = subprocess.run(["wine", win_tests, "--gtest_filter=ServicesHttp.*"], env=env,
                                  capture_output=True, timeout=300)
            out = proc.stdout.decode("utf-8", "replace")
            self.assertEqual(proc.returncode, 0, out)
            self.assertIn("[  PASSED  ]", out)
            self.assertNotIn("SKIPPED", out)
            echo = [r for r in server.requests if r.startswith("GET /echo ")]
            self.assertTrue(echo)
            self.assertTrue(echo[0].startswith("GET /echo HTTP/1.1\r\n"))
            self.assertIn("User-Agent: http protocol\r\n", echo[0])
        finally:
            server.stop()


class StartUpTest(E2ETest):
    """Arranges the registry itself; puts the defaults back afterwards."""

    START_UP_DEFAULTS = False

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.server = TestServer().start()
        reg_set("UpdateURL", "http://127.0.0.1:%d/version" % cls.server.port)
        reg_set(FIRST_TIME, "No")

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        set_start_up_defaults()
        super().tearDownClass()

    def setUp(self):
        super().setUp()
        self.server.version_text = "1.0,http://127.0.0.1/get"
        self.server.requests.clear()
        reg_set("UpdateURL", "http://127.0.0.1:%d/version" % self.server.port)
        reg_set(FIRST_TIME, "No")

    def assert_no_box(self, title):
        self.assertFalse(self.driver.visible(title), "unexpected box " + title)

    def version_requests(self):
        return [r for r in self.server.requests if r.startswith("GET /version HTTP/1.1\r\n")]


class DisclaimerTest(StartUpTest):
    def test_cancel_ends_the_program_and_writes_nothing(self):
        reg_delete(FIRST_TIME)
        for answer in ("cancel", "no"):
            program = self.start(wait_main=False)
            self.assertEqual(self.driver.msgbox("Agreement", answer), DISCLAIMER)
            self.assertTrue(program.wait_exit(10))
            self.assertFalse(self.driver.visible(MAIN))
            self.assertIsNone(reg_query(FIRST_TIME))

    def test_yes_writes_no_and_later_starts_skip_it(self):
        reg_delete(FIRST_TIME)
        program = self.start(wait_main=False)
        self.assertEqual(self.driver.msgbox("Agreement", "yes"), DISCLAIMER)
        self.assertTrue(self.driver.wait(MAIN, 20000))
        self.assertEqual(reg_query(FIRST_TIME), "No")
        program.kill()
        self.start()
        self.assert_no_box("Agreement")

    def test_any_non_empty_value_skips_it(self):
        reg_set(FIRST_TIME, "Accepted long ago")
        self.start()
        self.assert_no_box("Agreement")
        self.assertEqual(reg_query(FIRST_TIME), "Accepted long ago")


class UpdateCheckTest(StartUpTest):
    def test_newer_version_is_offered(self):
        self.server.version_text = "1.1,http://127.0.0.1/get"
        self.start(wait_main=False)
        self.assertEqual(self.driver.msgbox("New Version", "no"), offer_text("http://127.0.0.1/get"))
        self.assertTrue(self.driver.wait(MAIN, 20000))
        self.assertEqual(len(self.version_requests()), 1)

    def test_same_or_older_versions_make_no_offer(self):
        for version in ("1.015", "1.02"):
            self.server.requests.clear()
            self.server.version_text = version + ",http://127.0.0.1/get"
            program = self.start()
            self.assert_no_box("New Version")
            self.assertEqual(len(self.version_requests()), 1, version)
            program.kill()

    def test_must_download_ends_the_program_after_the_answer(self):
        self.server.version_text = "1.5,http://127.0.0.1/get,must-download"
        for answer in ("no", "cancel"):
            program = self.start(wait_main=False)
            self.assertEqual(self.driver.msgbox("New Version", answer), offer_text("http://127.0.0.1/get"))
            self.assertTrue(program.wait_exit(10))
            self.assertFalse(self.driver.visible(MAIN))

    def test_yes_never_hands_a_program_path_to_the_shell(self):
        self.server.version_text = "1.5,C:\\windows\\notepad.exe,must-download"
        program = self.start(wait_main=False)
        self.assertEqual(self.driver.msgbox("New Version", "yes"), offer_text("C:\\windows\\notepad.exe"))
        self.assertTrue(program.wait_exit(10))
        self.assertFalse(self.driver.wait("Untitled - Notepad", 2000))

    def test_one_field_makes_no_offer_and_the_disclaimer_still_appears(self):
        self.server.version_text = "9.9"
        reg_delete(FIRST_TIME)
        self.start(wait_main=False)
        self.assertEqual(self.driver.msgbox("Agreement", "yes"), DISCLAIMER)
        self.assertTrue(self.driver.wait(MAIN, 20000))
        self.assert_no_box("New Version")
        self.assert_no_box("Error")

    def test_an_answer_cut_short_offers_nothing(self):
        self.server.version_text = "1.1,http://127.0.0.1/get"  # its first half would offer "http://1"
        reg_set("UpdateURL", "http://127.0.0.1:%d/short/version" % self.server.port)
        self.start(wait_main=False)
        self.assertEqual(self.driver.msgbox("Error", "ok"), "Could not retrieve latest version")
        self.assertTrue(self.driver.wait(MAIN, 20000))
        self.assert_no_box("New Version")

    def test_no_server_shows_nothing(self):
        reg_set("UpdateURL", "http://127.0.0.1:9/none")
        self.start()
        for title in ("New Version", "Error", "Agreement"):
            self.assert_no_box(title)

    def time_to_main_window(self):
        began = time.monotonic()
        program = self.start()
        elapsed = time.monotonic() - began
        program.kill()
        return elapsed

    def test_server_that_never_answers_delays_start_by_at_most_five_seconds(self):
        normal = self.time_to_main_window()
        reg_set("UpdateURL", "http://127.0.0.1:%d/hang" % self.server.port)
        hanging = self.time_to_main_window()
        self.assertLess(hanging - normal, 5.5)
        self.assert_no_box("New Version")


class RemovalRunTest(StartUpTest):
    def test_removal_run_passes_the_update_check_and_the_disclaimer_first(self):
        self.server.version_text = "1.1,http://127.0.0.1/get"
        reg_delete(FIRST_TIME)
        self.start("Remove Files*C:\\nowhere\\list.txt", wait_main=False)
        self.assertEqual(self.driver.msgbox("New Version", "no"), offer_text("http://127.0.0.1/get"))
        self.assertFalse(self.driver.visible("Password"))
        self.assertEqual(self.driver.msgbox("Agreement", "yes"), DISCLAIMER)
        self.assertTrue(self.driver.wait("Password", 20000))
        self.assertFalse(self.driver.visible(MAIN))


if __name__ == "__main__":
    unittest.main()
