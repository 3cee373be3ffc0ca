"""Makes the README's pictures from the real program under Wine: the main
window with a dropped folder tree and some rows ticked, the routines window,
the password prompt
while a removal runs, the closing report, and the setup program's pages side
by side. Run by scripts/screenshot.sh inside its Wine environment:
  readme_pictures.py <build dir> <docs dir> [main|installer|removal]   (only those pictures)"""
import glob
import os
import shutil
import subprocess
import sys
import time

build, docs = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
os.environ["OMBRELAY_EXE"] = os.path.join(build, "win", "ombrelay.exe")
os.environ["OMBRELAY_DRIVER"] = os.path.join(build, "win", "tests", "ombrelay_driver.exe")

import harness  # noqa: E402  (needs the environment above)
from harness import MAIN, Driver, Program, drive_c, reg_delete, reg_query, set_start_up_defaults  # noqa: E402
from add_helpers import folder_question, subfolder_question  # noqa: E402
from test_installer import setup_window  # noqa: E402
from test_save_load import list_bytes  # noqa: E402

PROMPT, PROMPT_TEXT, PROMPT_OK, PROMPT_PROGRESS = "Password", 302, 1, 303
driver = Driver()


def capture(title, out):
    """Crops the virtual desktop to the window with that title."""
    fields = dict(kv.split("=") for kv in driver.run("rect", title).split())
    left, top, right, bottom = (int(v) for v in fields["rect"].split(","))
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                    "+repage", out], check=True)
    print("saved", out)


def answer(title, text, button):
    for _ in range(100):
        if driver.wait(title) and driver.msgbox(title) == text:
            driver.msgbox(title, button)
            return
        time.sleep(0.1)
    raise SystemExit("no %s box saying %r" % (title, text))


def make_files(root, layout):
    shutil.rmtree(root, ignore_errors=True)
    for folder, names in layout.items():
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        for name in names:
            with open(os.path.join(root, folder, name), "w") as f:
                f.write(name)


def main_window_picture():
    make_files(os.path.join(drive_c(), "Projects", "photo-tool"), {
        "": ["build.log", "notes-old.txt"],
        "build": ["photo-tool.exe", "photo-tool.pdb"],
        "build\\obj": ["main.o", "resize.o", "exif.o", "ui.o"],
        "cache": ["thumbs.db", "preview-0001.jpg", "preview-0002.jpg"],
    })
    program = Program()
    driver.wait(MAIN, 20000)
    driver.run("drop", MAIN, "C:\\Projects\\photo-tool")
    folder = "C:\\Projects\\photo-tool"
    answer("Directory", subfolder_question(folder), "yes")
    answer("Directory", folder_question(folder), "yes")
    for _ in range(100):
        if driver.status().endswith("items loaded..."):
            break
        time.sleep(0.1)
    for row in (4, 6, 7, 8):
        driver.tick(row)
    driver.select(8)
    time.sleep(0.5)
    capture(MAIN, os.path.join(docs, "main-window.png"))
    program.kill()


def routines_picture():
    """The routines window on the end-to-end test's routines file, the
    programs it names given a few files in the prefix user's profile."""
    from test_routines import MNU_ADD_ROUTINES, ROUTINES, ROUTINES_INI
    profile = os.path.dirname(harness.desktop())
    made = {os.path.join(profile, "AppData", "Local", "OmbRtwBrowser", "User Data", p, "Cache"): n
            for p, n in (("Default", 120), ("Profile 1", 45))}
    made[os.path.join(profile, "AppData", "Roaming", "OmbRtwEditor", "Logs")] = 12
    made[os.path.join(profile, "AppData", "Roaming", "OmbRtwMail")] = 3
    for folder, count in made.items():
        os.makedirs(folder, exist_ok=True)
        for i in range(count):
            with open(os.path.join(folder, "f_%04d.idx" if "Mail" in folder else "f_%04d.log") % i, "wb") as f:
                f.write(b"x" * (1000 + 37 * i))
    ini = os.path.join(drive_c(), "winapp2.ini")
    with open(ini, "wb") as f:
        f.write(ROUTINES_INI.replace(b"[OmbRtw ", b"["))
    harness.reg_set("RoutinesFile", "C:\\winapp2.ini")
    program = Program()
    driver.wait(MAIN, 20000)
    driver.menu(MNU_ADD_ROUTINES)
    driver.wait(ROUTINES, 20000)
    time.sleep(3)  # the sizes filled in
    for row in (0, 1):
        driver.tick(row, title=ROUTINES)
    time.sleep(0.5)
    capture(ROUTINES, os.path.join(docs, "routines-window.png"))
    program.kill()
    reg_delete("RoutinesFile")
    os.remove(ini)
    for top in ("Local\\OmbRtwBrowser", "Roaming\\OmbRtwEditor", "Roaming\\OmbRtwMail"):
        shutil.rmtree(os.path.join(profile, "AppData", *top.split("\\")), ignore_errors=True)


def removal_pictures():
    root = os.path.join(drive_c(), "Scratch", "renders")
    layout = {"take%02d" % i: ["frame%04d.png" % j for j in range(500)] for i in range(60)}
    make_files(root, layout)
    records = [("C:\\Scratch\\renders\\", "Folder")]
    records += [("C:\\Scratch\\renders\\%s\\" % folder, "Folder") for folder in layout]
    records += [("C:\\Scratch\\renders\\%s\\%s" % (folder, name), "File") for folder, names in layout.items()
                for name in names]
    with open(os.path.join(drive_c(), "Scratch", "renders.txt"), "wb") as f:
        f.write(list_bytes(records, "pw"))
    program = Program("Remove Files*C:\\Scratch\\renders.txt")
    driver.wait(PROMPT, 20000)
    driver.settext(PROMPT_TEXT, "pw", title=PROMPT)
    driver.pclick(PROMPT_OK, title=PROMPT)
    driver.run("box", "Remove", "yes")
    deadline = time.time() + 60
    while time.time() < deadline and driver.state(PROMPT_PROGRESS, title=PROMPT)["visible"] != 1:
        time.sleep(0.02)
    time.sleep(0.3)
    capture(PROMPT, os.path.join(docs, "removal-progress.png"))
    driver.run("box", "Status", "none", "120000")
    capture("Status", os.path.join(docs, "removal-done.png"))
    driver.run("box", "Status", "ok")
    program.wait_exit(20)


def wait_finish_page():
    """Waits for the finish page: its Finish button is on, Back is off."""
    for _ in range(300):
        buttons = {c["id"]: c for c in driver.children(setup_window(driver)) if c["class"] == "Button"}
        if buttons.get(1, {}).get("text") == "&Finish" and buttons[1]["enabled"] and not buttons[3]["enabled"]:
            return
        time.sleep(0.1)
    raise SystemExit("the setup program did not reach its finish page")


def installer_picture():
    """Welcome, folder and finish pages of an interactive install, then a
    silent uninstall to leave the prefix as it was."""
    setup = sorted(glob.glob(os.path.join(build, "win", "Ombrelay-*-setup.exe")))[-1]
    proc = subprocess.Popen(["wine", setup], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    pages = [os.path.join(build, "installer-page-%d.png" % n) for n in (1, 2, 3)]
    time.sleep(1)
    capture(setup_window(driver), pages[0])
    driver.pclick(1, title=setup_window(driver))  # Next
    time.sleep(1)
    capture(setup_window(driver), pages[1])
    driver.pclick(1, title=setup_window(driver))  # Install
    wait_finish_page()
    time.sleep(1)
    capture(setup_window(driver), pages[2])
    driver.pclick(1, title=setup_window(driver))  # Finish, with "Start Ombrelay" ticked
    proc.wait(30)
    driver.wait(MAIN, 20000)
    driver.run("close", MAIN)
    driver.gone(MAIN, 20000)
    subprocess.run(["convert"] + pages + ["-background", "white", "-splice", "12x0", "+append", "-chop", "12x0",
                                           os.path.join(docs, "installer.png")], check=True)
    folder = subprocess.run(["wine", "cmd", "/c", "echo %LOCALAPPDATA%"], capture_output=True, text=True).stdout
    subprocess.run(["wine", folder.strip() + "\\Programs\\Ombrelay\\uninstall.exe", "/S"], check=True)
    # The uninstaller goes on from a copy of itself; its last step removes its entry.
    entry = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ombrelay"
    for _ in range(300):
        if reg_query("DisplayName", entry) is None:
            break
        time.sleep(0.1)
    print("saved", os.path.join(docs, "installer.png"))


set_start_up_defaults()
reg_delete("WindowPlacement")
os.makedirs(docs, exist_ok=True)
only = sys.argv[3] if len(sys.argv) > 3 else None
if only in (None, "main"):
    main_window_picture()
    routines_picture()
if only in (None, "removal"):
    removal_pictures()
if only in (None, "installer"):
    installer_picture()
