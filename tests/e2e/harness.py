"""End-to-end harness: starts the real ombrelay.exe under Wine and drives its
windows through the test driver. Every test gets a fresh program; a failing
test leaves a screenshot and the driver's log beside the other artifacts."""
import os
import re
import select
import subprocess
import time
import unittest

EXE = os.environ.get("OMBRELAY_EXE", "")
DRIVER = os.environ.get("OMBRELAY_DRIVER", "")
SOURCE_DIR = os.environ.get("OMBRELAY_SOURCE_DIR", "")
ARTIFACTS = os.environ.get("OMBRELAY_ARTIFACTS", "/tmp/ombrelay-e2e")

MAIN = "Ombrelay 1.02"
# Control and menu ids of the main window.
FRAME1, OPT_ADD_FILE, OPT_ADD_FOLDER, CHK_SUBFOLDERS, CMD_ADD, CMD_REMOVE = 101, 102, 103, 104, 105, 106
FRAME2, LABEL1, TXT_PASSWORD, CMD_LOAD, CMD_SAVE, LST_FILES = 107, 108, 109, 110, 111, 112
CMD_SELECT_ALL, CMD_INVERT, PB_COPY, STATUS = 113, 114, 115, 116
MNU_ADD_FILE, MNU_ADD_FOLDER, MNU_REMOVE, MNU_EXIT, MNU_ABOUT = 201, 202, 203, 204, 205
OPT_ADD_RULE, MNU_ADD_RULE = 117, 211
# The rule window's controls.
RULE_FOLDER, RULE_NAMES, RULE_EXCEPT, RULE_AGE, RULE_AGE_UNIT, RULE_SUBFOLDERS, RULE_COUNT = (
    402, 405, 407, 409, 410, 412, 414)


def wine_path(unix_path):
    """The Windows form of a path inside the prefix's C: drive or elsewhere."""
    out = subprocess.run(["winepath", "-w", unix_path], capture_output=True, text=True, check=True)
    return out.stdout.strip()


def unix_path(windows_path):
    out = subprocess.run(["winepath", "-u", windows_path], capture_output=True, text=True, check=True)
    return out.stdout.strip()


def drive_c():
    return os.path.join(os.environ["WINEPREFIX"], "drive_c")


def desktop():
    """The prefix user's own Desktop folder (a real folder, see wine-env.sh)."""
    users = os.path.join(drive_c(), "users")
    user = [u for u in os.listdir(users) if u != "Public"][0]
    return os.path.join(users, user, "Desktop")


# The program's settings key and the start-up defaults every test class gets:
# the disclaimer accepted, the update check pointed at a port where nothing
# listens (it fails at once, without a message).
FD_KEY = "HKCU\\SOFTWARE\\FD"
START_UP_DEFAULTS = {"OmbrelayFirstTime": "No", "UpdateURL": "http://127.0.0.1:9/none"}


def reg_set(name, value, key=FD_KEY):
    subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], capture_output=True, check=True)


def reg_delete(name, key=FD_KEY):
    subprocess.run(["wine", "reg", "delete", key, "/v", name, "/f"], capture_output=True)


def reg_query(name, key=FD_KEY):
    """The value's text, or None when it is missing."""
    proc = subprocess.run(["wine", "reg", "query", key, "/v", name], capture_output=True)
    if proc.returncode != 0:
        return None
    for line in proc.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
            return parts[2] if len(parts) > 2 else ""
    return None


def set_start_up_defaults():
    for name, value in START_UP_DEFAULTS.items():
        reg_set(name, value)
    reg_delete("WindowPlacement")  # every class starts from the default placement


class Driver:
    """Runs the driver program's commands in one Wine process of it that
    serves them (`driver serve`): a Wine process start for each command
    would cost more than most commands take."""

    def __init__(self):
        self.log = []
        self.server = None

    def call(self, args, timeout):
        """The exit code and output of one driver command."""
        args = [str(a) for a in args]
        if any("\n" in a or "\x1f" in a for a in args):  # not to be sent on one line: a process of its own
            proc = subprocess.run(["wine", DRIVER] + args, capture_output=True, timeout=timeout)
            return proc.returncode, proc.stdout
        if self.server is not None and self.server.poll() is not None:
            self.close()  # ended with the wineserver (a test restarts Wine)
        if self.server is None:
            self.server = subprocess.Popen(["wine", DRIVER, "serve"], stdin=subprocess.PIPE,
                                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=0)
        self.server.stdin.write(("\x1f".join(args) + "\n").encode("utf-8"))
        out = b""
        deadline = time.time() + timeout
        # The output, then U+001E, the exit code and a line end.
        while not re.search(b"\x1e(-?[0-9]+)\r?\n$", out):
            left = deadline - time.time()
            ready = select.select([self.server.stdout], [], [], max(left, 0))[0] if left > 0 else []
            chunk = self.server.stdout.read(65536) if ready else b""
            if not chunk:
                self.close()
                if left > 0:
                    raise AssertionError("the driver ended during %s: %r" % (args, out))
                raise subprocess.TimeoutExpired(["driver"] + args, timeout, out)
            out += chunk
        at = out.rindex(b"\x1e")
        return int(out[at + 1:]), out[:at]

    def close(self):
        if self.server is not None:
            server, self.server = self.server, None
            try:
                server.stdin.close()
            except BrokenPipeError:
                pass
            try:
                server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
            server.stdout.close()

    def run(self, *args, check=True, timeout=60):
        returncode, stdout = self.call(args, timeout)
        out = stdout.decode("utf-8", "replace")
        self.log.append("driver %s -> %d\n%s" % (" ".join(map(str, args)), returncode, out))
        if check and returncode != 0:
            raise AssertionError("driver %s failed (%d): %s" % (args, returncode, out))
        return out

    def wait(self, title, ms=10000):
        return self.call(["wait", title, ms], ms / 1000 + 60)[0] == 0

    def gone(self, title, ms=10000):
        return self.call(["gone", title, ms], ms / 1000 + 60)[0] == 0

    def ready(self, title, ms=5000):
        """Waits until the window has put the keyboard focus on one of its
        controls: shown, it may not have yet."""
        return self.call(["ready", title, ms], ms / 1000 + 60)[0] == 0

    def visible(self, title):
        return self.run("visible", title).strip() == "1"

    def msgbox(self, title, button="none"):
        return self.run("msgbox", title, button)

    def click(self, control, title=MAIN):
        self.run("click", title, control)

    def pclick(self, control, title=MAIN):
        self.run("pclick", title, control)

    def menu(self, *items, title=MAIN):
        self.run("menu", title, *items)

    def windows(self):
        """The titles of the visible top-level windows."""
        return [line.split("\t", 1)[1] for line in self.run("list").splitlines() if line.startswith("top\t")]

    def text(self, control, title=MAIN):
        return self.run("text", title, control)

    def settext(self, control, text, title=MAIN):
        self.run("settext", title, control, text)

    def state(self, control, title=MAIN):
        fields = dict(kv.split("=") for kv in self.run("state", title, control).split())
        return {k: int(v) for k, v in fields.items()}

    def rows(self, title=MAIN):
        rows = []
        for line in self.run("lv", title).splitlines():
            parts = line.split("\t")
            if parts[0] == "row":
                rows.append((parts[3], parts[4], parts[2] == "1"))
        return rows

    def status(self, title=MAIN):
        return self.run("status", title)

    def progress(self, title=MAIN):
        fields = dict(kv.split("=") for kv in self.run("progress", title).split())
        return int(fields["pos"]), int(fields["max"])

    def tick(self, row, how="click", title=MAIN):
        self.run("tick", title, row, how)

    def rect(self, title=MAIN):
        """(left, top, right, bottom), the client (width, height) and whether maximised."""
        fields = dict(kv.split("=") for kv in self.run("rect", title).split())
        return (tuple(int(v) for v in fields["rect"].split(",")), tuple(int(v) for v in fields["client"].split("x")),
                fields["zoomed"] == "1")

    def resize(self, width, height, title=MAIN):
        self.run("resize", title, width, height)

    def select(self, *rows, title=MAIN):
        self.run("select", title, *rows)

    def context_menu(self, how, key, title=MAIN):
        """Opens the list's context menu (mouse, shiftf10 or apps) and picks an item by its access key."""
        self.run("ctx", title, how, key)

    def clipboard(self):
        return self.run("clipboard")

    def drop(self, *paths, title=MAIN, taken=True):
        """Drags the paths from another process and drops them on the list; returns the driver's report.
        With taken=False the drop may be turned away (the drag then ends without a drop)."""
        return self.run("drop", title, *paths, check=taken)

    def children(self, title=MAIN):
        out = []
        for line in self.run("children", title).splitlines():
            parts = line.split("\t")
            if parts[0] == "child":
                out.append({"id": int(parts[1]), "class": parts[2], "text": parts[3],
                            "rect": tuple(int(v) for v in parts[4].split(",")), "enabled": parts[5] == "enabled"})
        return out


class Program:
    """One run of ombrelay.exe."""

    def __init__(self, *args, env=None, cwd=None, exe=None):
        """`cwd`: the folder it starts in, as a console's; `exe`: another
        spelling or copy of the program."""
        self.proc = subprocess.Popen(["wine", exe or EXE] + list(args), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, env=env, cwd=cwd)

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, seconds=10):
        try:
            self.proc.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait()


class E2ETest(unittest.TestCase):
    """Base class: a driver per test, programs killed afterwards, a
    screenshot and the driver log on failure. Before its first test a class
    gets the start-up defaults, unless it sets START_UP_DEFAULTS = False."""

    START_UP_DEFAULTS = True

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if cls.START_UP_DEFAULTS:
            set_start_up_defaults()

    def setUp(self):
        self.driver = Driver()
        self.addCleanup(self.driver.close)  # the first cleanup added runs last: after the tests' own
        self.programs = []

    def start(self, *args, wait_main=True, env=None, cwd=None, exe=None):
        program = Program(*args, env=env, cwd=cwd, exe=exe)
        self.programs.append(program)
        if wait_main:
            self.assertTrue(self.driver.wait(MAIN, 20000), "main window did not appear")
            self.driver.ready(MAIN)
        return program

    def _save_artifacts(self):
        os.makedirs(ARTIFACTS, exist_ok=True)
        base = os.path.join(ARTIFACTS, self.id())
        subprocess.run(["import", "-window", "root", base + ".png"], capture_output=True, timeout=30)
        with open(base + ".log", "w", encoding="utf-8") as f:
            f.write("\n".join(self.driver.log))

    def tearDown(self):
        outcome = getattr(self, "_outcome", None)
        if outcome is not None and not outcome.success:
            self._save_artifacts()
        for program in self.programs:
            program.kill()
