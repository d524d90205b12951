#!/usr/bin/env python3
"""The program on desktops as they come, with the real velkon95 on a private Xvfb display.

    velkon_desktop_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

A tray host of the StatusNotifierItem kind (a watcher of the tests' own on a private session
bus, fake_sni_watcher.py, and gdbus calling the item as a host would), no tray at all, a second
start that hands over its file, and the default file in the user's data folder. Helpers and the
session come from velkon_x11.py. Exits 77 (skipped) when a tool a case needs is missing.
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_files_x11 import keys, logged, write_settings  # noqa: E402
from velkon_x11 import (APP, SAMPLE, check, frame_title, main_frames, wait_until,  # noqa: E402
                        write)

NO_TRAY = "ﾀｽｸﾄﾚｲがないため、ｳｨﾝﾄﾞｳを隠さずに表示しておきます。"
IN_USE = "ほかのﾌﾟﾛｸﾞﾗﾑがこのﾌｧｲﾙを開いています。"
# Debian's own python3 has python3-dbus and python3-gi; another one on PATH may not.
SYSTEM_PYTHON = "/usr/bin/python3"
WATCHER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_sni_watcher.py")
RESIDENT = "[Execute%20Option]\nResident=1\nHot%20Key=0\n"


def need(*tools):
    missing = [t for t in tools if not (shutil.which(t) or os.access(t, os.X_OK))]
    if missing:
        raise vx.Skipped(f"{', '.join(missing)} not installed (scripts/deps installs them)")


def private_bus(s):
    """A session bus of the case's own; its address."""
    need("dbus-daemon")
    log_path = s.path("dbus-daemon.log")
    with open(log_path, "wb") as log:
        bus = subprocess.Popen(["dbus-daemon", "--session", "--print-address", "--nofork"],
                               stdout=subprocess.PIPE, stderr=log, stdin=subprocess.DEVNULL,
                               preexec_fn=vx._die_with_parent)
    s.procs.append((bus, log_path))
    address = bus.stdout.readline().decode().strip()
    check(address, "dbus-daemon gave no address")
    return address


def start_watcher(s, env):
    """The fake StatusNotifierWatcher; a function that returns the items registered so far."""
    need(SYSTEM_PYTHON)
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import dbus, gi"], capture_output=True)
    if probe.returncode != 0:
        raise vx.Skipped("python3-dbus or python3-gi is missing (scripts/deps installs them)")
    out_path = s.path("watcher.out")
    with open(out_path, "wb") as out:
        watcher = subprocess.Popen([SYSTEM_PYTHON, "-B", WATCHER], env=env, stdout=out,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                   preexec_fn=vx._die_with_parent)
    s.procs.append((watcher, out_path))

    def lines():
        check(watcher.poll() is None, f"the fake watcher ended: {logged(out_path)!r}")
        return logged(out_path).splitlines()
    wait_until("the fake watcher on the bus", lambda: "watching" in lines())
    return lambda: [line.split()[1:] for line in lines() if line.startswith("item ")]


def call_item(s, env, item, method):
    service, path = item
    result = s.run(["gdbus", "call", "--session", "--dest", service, "--object-path", path,
                    "--method", f"org.kde.StatusNotifierItem.{method}", "0", "0"], env=env)
    check(result.returncode == 0, f"{method}: {result.stderr.decode().strip()}")


def popup_menus(s, frames):
    """The program's windows that are no main window and no tray icon: its pop-up menu."""
    return set(s.search("--onlyvisible", "--class", "velkon95")) - set(frames)


def close_pressed(s, frame, done):
    """A probe for wait_until: done(), Alt+F4 pressed into the window meanwhile. On a busy machine
    the keys may reach a window the manager has only just shown before it takes them; the user
    presses again while the window stays, and so does this, every 3 s (scaled)."""
    presses = []

    def probe():
        if done():
            return True
        late = not presses or time.monotonic() - presses[-1] > vx.scaled(3)
        if late and frame in s.windows():
            keys(s, frame, "alt+F4")
            presses.append(time.monotonic())
        return False
    return probe


def case_status_notifier_tray(s):
    need("gdbus")
    env = s.env(extra={"DBUS_SESSION_BUS_ADDRESS": private_bus(s)})
    items = start_watcher(s, env)
    write_settings(s, RESIDENT)
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data], env={"DBUS_SESSION_BUS_ADDRESS": env["DBUS_SESSION_BUS_ADDRESS"]})
    item = wait_until("the program's item at the watcher", lambda: (items() or [None])[0])
    print(f"item {item}")
    vx.stays_hidden(s)

    # One activation is what such a host sends for a click: the window comes up.
    started = time.monotonic()
    call_item(s, env, item, "Activate")
    frame = wait_until("the window after Activate", lambda: main_frames(s), interval=0.02)
    print(f"Activate to the window shown: {(time.monotonic() - started) * 1000:.0f} ms")
    frame = next(iter(frame))
    s.shot("activated.png")

    # Closing puts it back in that tray, and the item's menu offers the end of the program.
    wait_until("the window back in the tray", close_pressed(s, frame, lambda: not main_frames(s)))
    # A menu that comes while the window manager is still busy with the close may lose its
    # grab and close at once, as after a right click; the user clicks again, and so does this.
    calls = []

    def menu_shown():
        found = popup_menus(s, [])
        if not found and (not calls or time.monotonic() - calls[-1] > vx.scaled(3)):
            call_item(s, env, item, "ContextMenu")
            calls.append(time.monotonic())
        return found
    menu = wait_until("the menu after ContextMenu", menu_shown)
    print(f"ContextMenu calls until the menu showed: {len(calls)}")
    s.shot("menu.png")
    check(not main_frames(s), f"the menu showed a main window: {main_frames(s)}")
    menu = next(iter(menu))

    def ended():
        if proc.poll() is not None:
            return True
        if menu in s.windows() or popup_menus(s, []):
            s.xdotool("key", "--window", menu, "Down", "Return", check_status=False)
        return False
    wait_until("the program to end through the menu's item", ended, interval=1.0)
    check(proc.returncode == 0, f"the program ended with status {proc.returncode}")


def case_no_tray_resident_stays_shown(s):
    write_settings(s, RESIDENT)
    log_path = s.path("messages.log")
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data], env={"VELKON_MESSAGE_LOG": log_path})
    frame = s.wait_window(frame_title("data.lst"))
    wait_until("the note that there is no tray", lambda: NO_TRAY in logged(log_path))
    s.shot("no-tray.png")

    # A second start brings it up again after the user minimized it; the note is not repeated.
    s.xdotool("windowminimize", "--sync", frame)
    second = s.start([])
    check(s.wait_exit(second) == 0, "the second start failed")
    wait_until("the window back from the task bar", lambda: s.focus() == frame)

    # Closing cannot hide the window where nothing would show it: the program ends.
    wait_until(f"pid {proc.pid} to exit", close_pressed(s, frame, lambda: proc.poll() is not None))
    check(proc.returncode == 0, f"the program ended with status {proc.returncode}")
    check(logged(log_path).count(NO_TRAY) == 1, f"log: {logged(log_path)!r}")


def case_second_start_shows_hidden_window(s):
    vx.start_resident(s)
    vx.tray_icon(s)
    vx.stays_hidden(s)
    started = time.monotonic()
    second = s.start([])
    frames = wait_until("the hidden window after a second start", lambda: main_frames(s),
                        interval=0.02)
    print(f"second start to the window shown: {(time.monotonic() - started) * 1000:.0f} ms")
    check(s.wait_exit(second) == 0, "the second start failed")
    wait_until("the window to have the focus", lambda: s.focus() in frames)


def case_second_start_opens_its_file(s):
    log_path = s.path("messages.log")
    first = s.start([write(s.path("first.lst"), SAMPLE)], env={"VELKON_MESSAGE_LOG": log_path})
    frame = s.wait_window(frame_title("first.lst"))

    # A file named from another folder, relative to it: the running program opens it.
    os.mkdir(s.path("elsewhere"))
    write(s.path("elsewhere", "other.lst"), SAMPLE)
    second = s.start(["other.lst"], cwd=s.path("elsewhere"))
    check(s.wait_exit(second) == 0, "the second start failed")
    wait_until("other.lst in the running program",
               lambda: main_frames(s).get(frame) == frame_title("other.lst"))

    # A file another program holds is refused, and the list stays.
    held = write(s.path("held.lst"), SAMPLE)
    s.start([held], runtime=s.new_runtime_dir("other-runtime"))
    wait_until("the other program", lambda: frame_title("held.lst") in main_frames(s).values())
    third = s.start([held])
    check(s.wait_exit(third) == 0, "the third start failed")
    wait_until("the refusal", lambda: IN_USE in logged(log_path))
    box = s.wait_window(APP)
    s.shot("refused.png")
    keys(s, box, "Return")
    vx.holds("the list to stay", lambda: main_frames(s).get(frame) == frame_title("other.lst"), 1)
    check(first.poll() is None, "the running program ended")


def case_default_file_in_data_home(s):
    # The program's own folder holds no id.lst (an installed program's folder is the system's).
    program = vx.install_copy(s, "bin", None)
    data_home = s.path("data")
    folder = os.path.join(data_home, "Velkon95")
    os.makedirs(folder)
    write(os.path.join(folder, "id.lst"), SAMPLE)
    proc = s.start([], program=program, env={"XDG_DATA_HOME": data_home})
    s.wait_window(frame_title("id.lst"))
    vx._stop(proc)

    # Without one there either: a new list, and the folder is not made before a save asks.
    shutil.rmtree(folder)
    s.start([], program=program, env={"XDG_DATA_HOME": data_home},
            runtime=s.new_runtime_dir("runtime-2"))
    s.wait_window(frame_title("（新規）"))
    check(not os.path.exists(folder), "the data folder was made before a save")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}

if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tool_args=("velkonctl",)))
