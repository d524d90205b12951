#!/usr/bin/env python3
"""The real program in Wayland sessions: its hot key through the desktop portal (a fake one on a
private session bus) or, without a portal, its X11 grab; and a Wayland program's copy picked up
through XWayland, in a headless sway.

    velkon_wayland_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Helpers and the session (Xvfb with openbox, for the hot key cases) come from velkon_x11.py. The
fake portal runs on Debian's own python3 (/usr/bin/python3 with python3-dbus and python3-gi),
whatever python runs this script. sway refuses to run as root: run as root, the Wayland session
and the programs in it run as nobody. A case skips (77) with the reason when what it needs is
not installed; scripts/deps installs it all.
"""

import json
import os
import select
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import SAMPLE, check, frame_title, main_frames, wait_until, write  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SYSTEM_PYTHON = "/usr/bin/python3"
FOCUS_ONLY = "このﾃﾞｽｸﾄｯﾌﾟではﾎｯﾄｷｰはVelkon95がｱｸﾃｨﾌﾞな間だけ働きます。"
CTRL_ALT_V = 0x0600 | 0x56  # the hot-key control's value: HOTKEYF_CONTROL | HOTKEYF_ALT, 'V'
NOBODY = 65534

# A session bus of the case's own: no service directories, so that nothing installed on the
# machine (a real portal) is started on demand.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={path}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def first_line(s, proc, what):
    """The first line a process writes on its standard output, within the deadline."""
    deadline = time.monotonic() + vx.TIMEOUT
    line = b""
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([proc.stdout], [], [], left)[0]:
            raise vx.Failure(f"{what} said nothing ({vx.TIMEOUT:g} s)")
        chunk = os.read(proc.stdout.fileno(), 256)
        if not chunk:
            raise vx.Failure(f"{what} ended at its start (status {proc.wait()})")
        line += chunk
    return line.decode().strip()


def start_logged(s, name, args, env, **kwargs):
    log_path = s.path(f"{name}.log")
    with open(log_path, "wb") as log:
        proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=log, preexec_fn=vx._die_with_parent, **kwargs)
    s.procs.append((proc, log_path))
    return proc


def private_bus(s):
    """A session bus of the case's own: its address."""
    config = write(s.path("bus.conf"), BUS_CONFIG.format(path=s.path("bus")).encode())
    bus = start_logged(s, "dbus-daemon", ["dbus-daemon", "--config-file", config, "--nofork",
                                          "--print-address"], s.env())
    address = first_line(s, bus, "dbus-daemon")
    print(f"session bus {address}")
    return address


def fake_portal(s, bus, *args):
    """The fake portal on the bus; the file where it writes what it was asked."""
    record = s.path("portal.jsonl")
    portal = start_logged(s, "fake-portal",
                          [SYSTEM_PYTHON, "-B", os.path.join(HERE, "fake_portal.py"), record,
                           *args], s.env(extra={"DBUS_SESSION_BUS_ADDRESS": bus}))
    check(first_line(s, portal, "the fake portal") == "ready", "the fake portal did not start")
    return portal, record


def calls(record, name):
    if not os.path.exists(record):
        return []
    with open(record, encoding="utf-8") as f:
        return [c for c in map(json.loads, f) if c["call"] == name]


def read_log(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


def start_resident(s, env):
    """trayer as the tray host, then the program set to start hidden with Ctrl+Alt+V as its hot
    key, in a session of this environment."""
    settings = os.path.join(s.home, "config", "Brambl Free Software", "Velkon95.ini")
    os.makedirs(os.path.dirname(settings), exist_ok=True)
    with open(settings, "w", encoding="utf-8") as f:
        f.write(f"[Execute%20Option]\nResident=1\nHot%20Key={CTRL_ALT_V}\n")
    tray = start_logged(s, "trayer", ["trayer", "--edge", "top", "--align", "left", "--widthtype",
                                      "pixel", "--width", "200", "--heighttype", "pixel",
                                      "--height", "32"], s.env())
    check(tray.poll() is None, "trayer did not start")
    wait_until("trayer's panel", lambda: s.search("--onlyvisible", "--class", "trayer"))
    proc = s.start([], env=env)
    vx.tray_icon(s)
    vx.stays_hidden(s)
    return proc


def needs(*tools):
    missing = [t for t in tools if not (shutil.which(t) if "/" not in t else os.path.exists(t))]
    if missing:
        raise vx.Skipped(f"{', '.join(missing)} not installed (scripts/deps installs them)")


def needs_python_dbus():
    needs(SYSTEM_PYTHON, "dbus-daemon", "trayer")
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import dbus, gi"], capture_output=True,
                           timeout=vx.scaled(30))
    if probe.returncode != 0:
        raise vx.Skipped("python3-dbus or python3-gi not installed (scripts/deps installs them)")


def wayland_env(bus, log_path):
    # WAYLAND_DISPLAY names no compositor: the program runs on the X server all the same, as it
    # does on XWayland, and takes the session for a Wayland one.
    return {"WAYLAND_DISPLAY": "wayland-velkon-test", "DBUS_SESSION_BUS_ADDRESS": bus,
            "VELKON_MESSAGE_LOG": log_path}


def case_portal_hot_key(s):
    # The hot key bound through the portal: a session, then Ctrl+Alt+V as the preferred trigger,
    # each request named by its token (the fake answers before the reply); the portal's
    # Activated brings the hidden window up. Nothing is said, and the session is closed at the end.
    needs_python_dbus()
    bus = private_bus(s)
    portal, record = fake_portal(s, bus)
    log_path = s.path("messages.log")
    proc = start_resident(s, wayland_env(bus, log_path))

    bound = wait_until("BindShortcuts", lambda: calls(record, "BindShortcuts"))
    created = calls(record, "CreateSession")
    check(len(created) == 1 and len(bound) == 1, f"asked: {created} {bound}")
    session_token = created[0]["options"].get("session_handle_token")
    check(session_token and bound[0]["session"].endswith("/" + session_token),
          f"bound in another session: {created[0]} {bound[0]}")
    check(bound[0]["options"].get("handle_token"), f"no handle_token: {bound[0]}")
    (shortcut_id, properties), = bound[0]["shortcuts"]
    check(properties.get("preferred_trigger") == "CTRL+ALT+V", f"trigger: {properties}")
    check(properties.get("description"), f"no description: {properties}")
    vx.stays_hidden(s, when="once the hot key was bound")

    portal.send_signal(signal.SIGUSR1)
    wait_until("a main window after Activated", lambda: main_frames(s), interval=0.02)
    shown = time.monotonic()
    activated = wait_until("Activated in the record", lambda: calls(record, "Activated"))
    print(f"Activated to window shown: {(shown - activated[0]['time']) * 1000:.0f} ms")
    check(read_log(log_path) == [], f"message log: {read_log(log_path)}")

    proc.send_signal(signal.SIGTERM)
    s.wait_exit(proc)
    wait_until("the session closed", lambda: calls(record, "Session.Close"))


def focus_only_fallback(s, bus):
    """The program in a Wayland session where the portal does not bind: it says once that the
    hot key works only while it has the focus, and its X11 grab (which on Xvfb sees every key)
    still brings the window up."""
    log_path = s.path("messages.log")
    proc = start_resident(s, wayland_env(bus, log_path))
    wait_until("the note in the message log", lambda: read_log(log_path))
    s.xdotool("key", "ctrl+alt+v")
    wait_until("a main window after Ctrl+Alt+V", lambda: main_frames(s))

    def once():
        check(proc.poll() is None, f"the program ended (status {proc.returncode})")
        check(read_log(log_path) == [FOCUS_ONLY], f"message log: {read_log(log_path)}")
        return True
    vx.holds("one note, the program running", once, 1.0)


def case_no_portal_focus_only(s):
    needs_python_dbus()
    focus_only_fallback(s, private_bus(s))


def case_portal_refused_focus_only(s):
    # The user turned the binding down: the session is closed, and the grab stands in.
    needs_python_dbus()
    bus = private_bus(s)
    _, record = fake_portal(s, bus, "--refuse")
    focus_only_fallback(s, bus)
    check(len(calls(record, "BindShortcuts")) == 1, "BindShortcuts asked again")
    wait_until("the session closed", lambda: calls(record, "Session.Close"))


def case_portal_garbled_focus_only(s):
    # A portal that answers in a shape of its own, or is too old for global shortcuts, binds
    # nothing: the grab stands in.
    needs_python_dbus()
    bus = private_bus(s)
    _, record = fake_portal(s, bus, "--garbled")
    focus_only_fallback(s, bus)
    check(calls(record, "BindShortcuts") == [], "bound in a session it was never given")


def case_portal_too_old_focus_only(s):
    needs_python_dbus()
    bus = private_bus(s)
    _, record = fake_portal(s, bus, "--version", "0")
    focus_only_fallback(s, bus)
    check(calls(record, "CreateSession") == [], "a session asked of a portal of version 0")


def case_x11_session_keeps_grab(s):
    # On an X11 session the portal is not asked, even where there is one.
    needs_python_dbus()
    bus = private_bus(s)
    _, record = fake_portal(s, bus)
    start_resident(s, {"DBUS_SESSION_BUS_ADDRESS": bus, "XDG_SESSION_TYPE": "x11"})
    s.xdotool("key", "ctrl+alt+v")
    wait_until("a main window after Ctrl+Alt+V", lambda: main_frames(s))
    check(calls(record, "CreateSession") == [], "the portal was asked in an X11 session")


class WaylandSession:
    """A headless sway with XWayland on demand, run as nobody when this runs as root (sway
    refuses root), with a home and runtime folder of that user; programs started here run as
    that user in that session."""

    def __init__(self, s):
        self.s = s
        root = os.geteuid() == 0
        self.as_user = {"user": NOBODY, "group": NOBODY, "extra_groups": []} if root else {}
        os.chmod(s.dir, 0o711)  # the user passes through to its own folders
        self.home = s.path("wayland-home")
        self.runtime = s.path("wayland-runtime")
        os.mkdir(self.home, 0o755)
        os.mkdir(self.runtime, 0o700)
        os.makedirs(os.path.join(self.home, "config"))
        self.own(self.home, os.path.join(self.home, "config"), self.runtime)
        # A build tree under a private home is out of that user's reach: the programs link the
        # project's libraries statically, so copies in the case's folder run the same.
        self.program, self.velkonctl = s.program, s.velkonctl
        if self.run(["test", "-x", s.program])[0] != 0 or self.run(["test", "-x", s.velkonctl])[0] != 0:
            bin_dir = s.path("wayland-bin")
            os.mkdir(bin_dir, 0o755)
            self.program = shutil.copy2(s.program, bin_dir)
            self.velkonctl = shutil.copy2(s.velkonctl, bin_dir)
            for program in (self.program, self.velkonctl):
                os.chmod(program, 0o755)
                if self.run(["test", "-x", program])[0] != 0:
                    raise vx.Skipped(f"{program} cannot be run by uid {NOBODY}")
        displays = os.path.join(self.home, "displays")
        config = write(s.path("sway.conf"), (
            "xwayland enable\n"
            f"exec sh -c 'echo \"$WAYLAND_DISPLAY $DISPLAY\" > {displays}.new"
            f" && mv {displays}.new {displays}'\n").encode())
        os.chmod(config, 0o644)
        self.sway = self.start("sway", ["sway", "--config", config],
                               {"WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
                                "WLR_RENDERER": "pixman"})

        def named():
            check(self.sway.poll() is None, f"sway ended at its start (status "
                                            f"{self.sway.returncode})")
            return os.path.exists(displays) and open(displays).read().split()
        self.wayland_display, self.display = wait_until("sway's displays", named)
        print(f"sway (pid {self.sway.pid}): WAYLAND_DISPLAY={self.wayland_display} "
              f"DISPLAY={self.display}")

    def own(self, *paths):
        if self.as_user:
            for path in paths:
                os.chown(path, NOBODY, NOBODY)

    def env(self, extra=None):
        env = {"HOME": self.home, "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
               "XDG_RUNTIME_DIR": self.runtime, "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
               "LC_ALL": "C.UTF-8"}
        if getattr(self, "display", None):
            env.update(WAYLAND_DISPLAY=self.wayland_display, DISPLAY=self.display)
        env.update(extra or {})
        return env

    def start(self, name, args, extra=None):
        log_path = self.s.path(f"{name}.log")
        with open(log_path, "wb") as log:
            proc = subprocess.Popen(args, env=self.env(extra), cwd=self.home,
                                    stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=subprocess.STDOUT, preexec_fn=vx._die_with_parent,
                                    **self.as_user)
        self.s.procs.append((proc, log_path))
        return proc

    def run(self, args, stdin=None):
        result = subprocess.run(args, env=self.env(), input=stdin, capture_output=True,
                                timeout=vx.scaled(30), **self.as_user)
        return result.returncode, result.stdout.decode("utf-8", "replace")

    def ctl(self, *args):
        wait_ms = min(int(vx.scaled(5) * 1000), 3_600_000)
        return self.run([self.velkonctl, "--timeout", str(wait_ms), *args])

    def xdotool(self, *args):
        return self.run(["xdotool", *args])


def case_wayland_copy_picked_up(s):
    # A headless Wayland session as a desktop has it, with the program on XWayland (it chooses
    # X11 itself): what a Wayland program (wl-copy) copies is picked up with its handle, which the
    # registration dialog then offers (Ins, Enter) and velkonctl reads back.
    needs("sway", "Xwayland", "wl-copy")
    w = WaylandSession(s)
    data = write(os.path.join(w.home, "data.lst"), SAMPLE)
    log_path = os.path.join(w.home, "messages.log")
    w.own(data)
    w.start("velkon95", [w.program, data], {"VELKON_MESSAGE_LOG": log_path})
    wait_until("the program to answer", lambda: w.ctl("present")[0] == 0)
    wait_until("its window focused on XWayland",
               lambda: w.xdotool("getwindowfocus", "getwindowname")[1].strip()
               == frame_title("data.lst"))

    copied = time.monotonic()
    w.start("wl-copy", ["wl-copy", "--foreground", "#  12/10 21:15  QRS24680 通りすがり"])
    wait_until("QRS24680 picked up", lambda: w.ctl("picked", "QRS24680")[0] == 0,
               interval=0.02)
    print(f"wl-copy to picked up: {(time.monotonic() - copied) * 1000:.0f} ms")
    check(w.ctl("exists", "QRS24680")[0] == 1, "the ID was registered without being asked")

    # Keys come through XTEST on XWayland, to the window sway focused.
    w.xdotool("key", "Insert")
    wait_until("the registration dialog focused",
               lambda: w.xdotool("getwindowfocus", "getwindowname")[1].strip() == "IDの登録")
    w.xdotool("key", "Return")
    wait_until("QRS24680 registered", lambda: w.ctl("exists", "QRS24680")[0] == 0)
    status, handle = w.ctl("get-handle", "QRS24680")
    check((status, handle) == (0, "通りすがり\n"), f"get-handle: {status} {handle!r}")
    check(read_log(log_path) == [], f"message log: {read_log(log_path)}")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool"), tool_args=("velkonctl",)))
