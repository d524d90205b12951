#!/usr/bin/env python3
"""Drives the real velkon95 binary on a private Xvfb display, one case per run.

    velkon_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Every case gets its own X server (Xvfb picks a free display through -displayfd) with openbox as
its window manager, so that focus, activation and placement are a desktop's; its own home,
settings and runtime directories in one temporary folder; and takes everything down again however
it ends. Windows are found by their exact title with xdotool.

Every wait is a deadline: VELKON_X11_TIMEOUT seconds (20 unless set) unless a case names its own,
and every deadline, a case's own ones and the time a "never happens" is watched included, is
multiplied by VELKON_TIMEOUT_SCALE (1 unless set; more on a machine much slower than a
developer's). Nothing sleeps a fixed time to let something happen: a case waits for what it can
see.

Screenshots go to the case's temporary folder. A case that fails copies them, with one of the
screen as it failed, to ARTIFACTS/CASE and prints where; a case that passes leaves nothing behind.
Exits 77 (skipped) when Xvfb, xdotool, openbox or xprop is missing.
"""

import argparse
import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zlib


def _scale():
    text = os.environ.get("VELKON_TIMEOUT_SCALE", "").strip() or "1"
    try:
        value = float(text)
    except ValueError:
        value = 0
    if not 0 < value < 1000:
        sys.exit(f"VELKON_TIMEOUT_SCALE must be a positive factor such as 1 or 2.5, not {text!r}")
    return value


# The one factor that stretches every deadline here.
SCALE = _scale()
# The default wait on an idle machine, and that wait as this machine gets it.
BASE_TIMEOUT = float(os.environ.get("VELKON_X11_TIMEOUT", "20"))
TIMEOUT = BASE_TIMEOUT * SCALE
SKIPPED = 77
APP = "Velkon95"
CANNOT_OPEN = "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"


class Failure(Exception):
    pass


class Skipped(Exception):
    """The case does not apply to this build or machine (exit status SKIPPED)."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def scaled(seconds):
    """A deadline of `seconds` on an idle machine, as this run gets it."""
    return seconds * SCALE


def wait_until(what, probe, timeout=None, interval=0.1):
    """Polls probe() until it returns something true and returns that, or fails after timeout
    seconds (an idle machine's; scaled here, like every deadline)."""
    limit = scaled(BASE_TIMEOUT if timeout is None else timeout)
    deadline = time.monotonic() + limit
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure(f"timed out waiting for {what} ({limit:g} s)")
        time.sleep(interval)


def holds(what, probe, seconds, interval=0.1):
    """Fails as soon as probe() is false while it is watched: for what must not happen, which no
    event can show to have been missed, for `seconds` (scaled)."""
    deadline = time.monotonic() + scaled(seconds)
    while True:
        check(probe(), what)
        if time.monotonic() >= deadline:
            return
        time.sleep(interval)


def lst_bytes(*records):
    """A data file as the program writes it: CP932, tab-separated fields, CR LF."""
    lines = ["*written by the X11 tests"]
    for i, (member_id, handle) in enumerate(records):
        lines.append("\t".join([member_id, handle, "", "", "", "", "", "", str(i + 1),
                                "1997/05/03", "1998/01/15"]))
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


SAMPLE = lst_bytes(("ABC12345", "青い空"), ("HGF03421", "Blue Sky"), ("PCV77001", "ねこまる"),
                   ("NIF55555", "ｶﾀｶﾅ"), ("XYZ00001", "山田　太郎"))


def _die_with_parent():
    # If this script is killed outright (a CTest timeout), nothing it started may outlive it.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def _stop(proc, grace=5.0):
    if proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(scaled(grace))
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(scaled(grace))


class Session:
    """A private X server and a private home; programs started here end with the session."""

    def __init__(self, program, screenshot, screen="1024x768"):
        self.program = program
        self.screen = screen
        self.screenshot_tool = screenshot
        self.procs = []  # (Popen, log path)
        self.xvfb = None
        self.dir = tempfile.mkdtemp(prefix="velkon-x11-")
        self.shots = self.path("screenshots")
        self.home = self.path("home")
        self.runtime = self.new_runtime_dir("runtime")
        os.makedirs(self.path("home/config"))
        try:
            self._start_xvfb()
            self._start_window_manager()
        except BaseException:
            self.close()
            raise

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def new_runtime_dir(self, name):
        d = self.path(name)
        os.mkdir(d, 0o700)
        os.chmod(d, 0o700)  # whatever the umask; the program refuses a directory others can use
        return d

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        log = open(self.path("xvfb.log"), "wb")
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-noreset",
                 "-screen", "0", self.screen + "x24"],
                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                pass_fds=(write_end,), preexec_fn=_die_with_parent)
        finally:
            os.close(write_end)
            log.close()
        # Xvfb writes the display number once it accepts clients.
        number = b""
        deadline = time.monotonic() + TIMEOUT
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready = select.select([read_end], [], [], max(left, 0))[0] if left > 0 else []
                chunk = os.read(read_end, 64) if ready else b""
                if not chunk:
                    with open(self.path("xvfb.log"), errors="replace") as f:
                        raise Failure("Xvfb did not start:\n" + f.read())
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        print(f"Xvfb on display {self.display}")

    def root_property(self, name):
        """xprop's line for a property of the root window; None while it is not set."""
        result = self.run(["xprop", "-root", name])
        line = result.stdout.decode("utf-8", "replace").strip()
        return None if result.returncode != 0 or "not found" in line else line

    def _start_window_manager(self):
        log_path = self.path("openbox.log")
        with open(log_path, "wb") as log:
            wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env(),
                                  stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                  preexec_fn=_die_with_parent)
        self.procs.append((wm, log_path))

        # openbox names itself on the root window first thing, then loads its theme and menus
        # and only after that handles what clients ask. A request that comes in between can be
        # left in openbox's own queue while it sleeps on the X connection, until some later
        # event wakes it: a tray host that maps its panel then waits for ever, as nothing else
        # happens on this display (x11.tray_menu on a busy machine). So it counts as running
        # once it answers: openbox writes emptied desktop names anew from its event loop, and
        # each new emptying is an event that wakes it should it sleep on the one before.
        def named():
            check(wm.poll() is None, f"openbox ended at its start (status {wm.returncode})")
            return (self.root_property("_NET_SUPPORTING_WM_CHECK")
                    and self.root_property("_NET_DESKTOP_NAMES"))
        wait_until("openbox to name itself and its desktops", named)

        def answering():
            check(wm.poll() is None, f"openbox ended at its start (status {wm.returncode})")
            if '"' in (self.root_property("_NET_DESKTOP_NAMES") or "") and answering.asked:
                return True
            self.run(["xprop", "-root", "-f", "_NET_DESKTOP_NAMES", "8u", "-set",
                      "_NET_DESKTOP_NAMES", ""])
            answering.asked = True
            return False
        answering.asked = False
        wait_until("openbox to handle requests", answering, interval=0.2)

    def env(self, runtime=None, extra=None):
        # Nothing of the caller's desktop session may leak in.
        dropped = ("WAYLAND_DISPLAY", "XAUTHORITY", "VELKON_MESSAGE_LOG", "SESSION_MANAGER",
                   "DBUS_SESSION_BUS_ADDRESS", "XDG_DATA_HOME")
        env = {k: v for k, v in os.environ.items() if k not in dropped}
        env.update(DISPLAY=self.display, HOME=self.home,
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_RUNTIME_DIR=runtime or self.runtime, QT_QPA_PLATFORM="xcb",
                   LC_ALL="C.UTF-8")
        env.update(extra or {})
        return env

    def run(self, args, timeout=10, **kwargs):
        """A short-lived tool on this display; its output captured, its run bounded (scaled)."""
        return subprocess.run(args, env=kwargs.pop("env", None) or self.env(),
                              capture_output=True, timeout=scaled(timeout), **kwargs)

    def start(self, args, program=None, cwd=None, runtime=None, env=None):
        program = program or self.program
        log_path = self.path(f"program-{len(self.procs) + 1}.log")
        with open(log_path, "wb") as log:
            proc = subprocess.Popen([program, *args], cwd=cwd or self.dir,
                                    env=self.env(runtime, env), stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=subprocess.STDOUT,
                                    preexec_fn=_die_with_parent)
        self.procs.append((proc, log_path))
        print(f"started {' '.join([os.path.basename(program), *args])} (pid {proc.pid})")
        return proc

    def wait_exit(self, proc, timeout=None, while_waiting=None):
        def exited():
            if while_waiting:
                while_waiting()
            return proc.poll() is not None
        wait_until(f"pid {proc.pid} to exit", exited, timeout)
        return proc.returncode

    def xdotool(self, *args, check_status=True):
        result = self.run(["xdotool", *args])
        if check_status and result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.decode().strip()}")
        return result.stdout.decode("utf-8", "replace")

    def search(self, *args):
        """The ids of the windows `xdotool search ARGS` finds, none being an answer too. xdotool
        (before 3.2021) dies of an X error when a window goes while it walks the tree, as one of
        an ending program may at any time; such a walk is made again, not taken for "none"."""
        deadline = time.monotonic() + scaled(10)
        while True:
            result = self.run(["xdotool", "search", *args])
            error = result.stderr.decode("utf-8", "replace").strip()
            if not error:
                return result.stdout.decode().split()
            if time.monotonic() >= deadline:
                raise Failure(f"xdotool search {' '.join(args)} kept failing: {error}")
            time.sleep(0.05)

    def windows(self):
        """Titles of the viewable windows, by window id."""
        found = {}
        for wid in self.search("--onlyvisible", "--name", "."):
            name = self.xdotool("getwindowname", wid, check_status=False)
            if name:  # none when the window went in the meantime
                found[wid] = name.rstrip("\n")
        return found

    def wait_window(self, title, timeout=None):
        def find():
            return next((w for w, t in self.windows().items() if t == title), None)
        wid = wait_until(f'a window titled "{title}"', find, timeout)
        print(f'window {wid} "{title}"')
        return wid

    def focus(self):
        return self.xdotool("getwindowfocus", check_status=False).strip()

    def activate(self, wid):
        """Makes the window the active one, as a click on it would: through the window manager
        (which ignores focus requests it did not grant), then waits until it has the focus."""
        deadline = time.monotonic() + scaled(5)
        while True:
            self.xdotool("windowactivate", "--sync", wid, check_status=False)
            self.xdotool("windowfocus", "--sync", wid, check_status=False)
            if self.focus() == wid:
                return True
            # A window a modal dialog blocks never gets the focus; the keys go where it is.
            if time.monotonic() >= deadline:
                print(f"window {wid} did not get the focus (it is on {self.focus()})")
                return False
            time.sleep(0.2)

    def type_keys(self, wid, *names, delay=50):
        """Keys typed into the window once it is active."""
        self.activate(wid)
        self.xdotool("key", "--delay", str(delay), *names)

    def geometry(self, wid):
        values = {}
        for line in self.xdotool("getwindowgeometry", "--shell", wid).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def client_area(self, wid):
        """Where the window's own contents are on the screen: x, y, width, height. (xdotool counts
        the frame twice for a window the manager framed; xwininfo does not.)"""
        info = self.run(["xwininfo", "-id", wid]).stdout.decode("utf-8", "replace")

        def field(name):
            return int(info.split(name + ":")[1].split()[0])
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                field("Height"))

    def screenshot(self, png_path):
        result = self.run([self.screenshot_tool, png_path], timeout=BASE_TIMEOUT)
        check(result.returncode == 0,
              f"screenshot failed: {result.stderr.decode(errors='replace').strip()}")
        return png_path

    def shot(self, name):
        """A screenshot into the case's folder, kept only should the case fail."""
        os.makedirs(self.shots, exist_ok=True)
        return self.screenshot(os.path.join(self.shots, name))

    def keep_shots(self, folder):
        """The screen as the case failed and the screenshots it took, copied to folder: their
        paths."""
        try:
            self.shot("at-failure.png")
        except Exception as e:  # the X server itself may be what failed
            print(f"no screenshot of the failure: {e}")
        if not os.path.isdir(self.shots):
            return []
        os.makedirs(folder, exist_ok=True)
        kept = []
        for name in sorted(os.listdir(self.shots)):
            kept.append(shutil.copy2(os.path.join(self.shots, name), folder))
        return kept

    def dump_logs(self):
        for proc, log_path in self.procs:
            with open(log_path, errors="replace") as f:
                text = f.read().strip()
            print(f"--- pid {proc.pid}, exit status {proc.poll()}: output ---")
            print(text or "(none)")

    def close(self):
        for proc, _ in self.procs:
            _stop(proc)
        if self.xvfb:
            _stop(self.xvfb)
        shutil.rmtree(self.dir, ignore_errors=True)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return path


def ctl(s, *args, stdin=None):
    """velkonctl with the session's program: its status, output and error output. Its own wait
    for the program's answer (5 s unless told) is a deadline too, and scaled."""
    wait_ms = min(int(scaled(5) * 1000), 3_600_000)
    result = s.run([s.velkonctl, "--timeout", str(wait_ms), *args], input=stdin, timeout=60)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def picked(s, member_id):
    return ctl(s, "picked", member_id)[0] == 0


def copy(s, data, target=None):
    """data on the clipboard as another program puts it there: xclip, which serves it from the
    background until another program takes the clipboard; with only this target if given."""
    args = ["xclip", "-selection", "clipboard"] + (["-t", target] if target else [])
    clip = subprocess.Popen(args, stdin=subprocess.PIPE, env=s.env(), preexec_fn=_die_with_parent)
    clip.communicate(data, timeout=scaled(60))
    check(clip.returncode == 0, f"xclip ended with status {clip.returncode}")


def sanitized(program):
    """Whether the program is the AddressSanitizer build."""
    libs = subprocess.run(["ldd", program], capture_output=True, text=True,
                          timeout=scaled(30)).stdout
    return "libasan" in libs


def frame_title(file_name):
    return f"{file_name} - {APP}"


def main_frames(s):
    return {w: t for w, t in s.windows().items() if t.endswith(" - " + APP)}


# ---------------------------------------------------------------------------------------------
# Cases


def case_single_instance(s):
    first_file = write(s.path("first.lst"), SAMPLE)
    first = s.start([first_file])
    first_window = s.wait_window(frame_title("first.lst"))

    # A program of another session (its own runtime directory) takes the focus, so that the
    # first one has to be brought forward for the focus to come back to it.
    other_runtime = s.new_runtime_dir("other-runtime")
    s.start([write(s.path("other.lst"), SAMPLE)], runtime=other_runtime)
    other_window = s.wait_window(frame_title("other.lst"))
    wait_until("the other session's window to have the focus",
               lambda: s.focus() == other_window)

    # The second instance hands its file to the first one and shows no window of its own.
    seen = set()
    second = s.start([write(s.path("second.lst"), SAMPLE)])
    status = s.wait_exit(second, timeout=min(BASE_TIMEOUT, 10),
                         while_waiting=lambda: seen.update(main_frames(s)))
    check(status == 0, f"the second instance exited with status {status}, not 0")
    seen.update(main_frames(s))
    check(seen == {first_window, other_window}, f"main windows while the second ran: {seen}")
    check(first.poll() is None, f"the first instance ended (status {first.returncode})")
    wait_until("the first instance to be brought forward (input focus on its window)",
               lambda: s.focus() == first_window)
    wait_until("second.lst in the first instance",
               lambda: main_frames(s).get(first_window) == frame_title("second.lst"))


def case_stale_socket(s):
    data = write(s.path("data.lst"), SAMPLE)
    socket_path = os.path.join(s.runtime, "velkon95", "VelkonFrameClass.sock")
    crashed = s.start([data])
    s.wait_window(frame_title("data.lst"))
    check(os.path.exists(socket_path), f"no socket at {socket_path} while the program runs")
    crashed.kill()
    crashed.wait(TIMEOUT)
    wait_until("the killed instance's window to go", lambda: not main_frames(s))
    check(os.path.exists(socket_path), "the killed instance left no socket behind")

    survivor = s.start([data])
    s.wait_window(frame_title("data.lst"))
    # It serves the class again: a further start hands over to it.
    status = s.wait_exit(s.start([data]), timeout=min(BASE_TIMEOUT, 10))
    check(status == 0, f"the instance after the restart exited with status {status}")
    check(survivor.poll() is None, "the restarted instance ended when another one started")
    check(len(main_frames(s)) == 1, f"main windows: {main_frames(s)}")


def case_end_signal(s):
    # Logout or kill ends the program as a close would: settings written, socket removed.
    data = write(s.path("data.lst"), SAMPLE)
    socket_path = os.path.join(s.runtime, "velkon95", "VelkonFrameClass.sock")
    settings = os.path.join(s.home, "config", "Brambl Free Software", "Velkon95.ini")
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    proc.terminate()
    status = s.wait_exit(proc)
    check(status == 0, f"the program ended with status {status} on SIGTERM")
    check(not os.path.exists(socket_path), "the socket was left behind")
    check(os.path.exists(settings), "no settings were written")
    with open(settings, encoding="utf-8") as f:
        check("data.lst" in f.read(), "the recent-file list was not written")


def case_window_place(s):
    # A first start shows the title bar on the screen, where the window can be taken hold of;
    # where the user then moves it, the next start puts it again, frame and all.
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    wid = s.wait_window(frame_title("data.lst"))
    client_top = s.client_area(wid)[1]
    extents = s.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"]).stdout.decode()
    title = int(extents.split("=")[1].split(",")[2]) if "=" in extents else 0
    check(client_top - title >= 0, f"the title bar starts at y={client_top - title}, off the screen")
    s.xdotool("windowmove", wid, "150", "120")
    wait_until("the window moved", lambda: s.geometry(wid)[:2] != (0, title))
    before = s.geometry(wid)
    proc.terminate()
    s.wait_exit(proc)
    s.start([data])
    wid = s.wait_window(frame_title("data.lst"))
    wait_until("the window in its place", lambda: s.geometry(wid) == before, timeout=5)


def frame_on_screen(s, wid, width, height):
    """The window's frame (the window manager's included) within a width x height screen, or
    None with where it lies."""
    x, y, w, h = s.client_area(wid)
    extents = s.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"]).stdout.decode()
    if "=" not in extents:
        return None  # not framed yet
    left, right, top, bottom = (int(v) for v in extents.split("=")[1].split(","))
    frame = (x - left, y - top, x + w + right, y + h + bottom)
    inside = frame[0] >= 0 and frame[1] >= 0 and frame[2] <= width and frame[3] <= height
    if not inside:
        print(f"the frame lies at {frame}")
    return frame if inside else None


def case_first_window_fits_scaled(s):
    # At twice the scale on a 1280x800 screen the window fits, title bar, menu and status bar:
    # at the first start, and with a saved size larger than the screen.
    data = write(s.path("data.lst"), SAMPLE)
    settings = os.path.join(s.home, "config", "Brambl Free Software", "Velkon95.ini")
    for start in ("first start", "a saved size larger than the screen"):
        proc = s.start([data], env={"QT_SCALE_FACTOR": "2"})
        wid = s.wait_window(frame_title("data.lst"))
        wait_until(f"{start}: the frame within the screen",
                   lambda: frame_on_screen(s, wid, 1280, 800))
        # It stays there: the window manager's own placing is over once the frame is on.
        holds(f"{start}: the frame within the screen",
              lambda: frame_on_screen(s, wid, 1280, 800), 1)
        s.shot(f"{start}.png")
        proc.terminate()
        s.wait_exit(proc)
        with open(settings, encoding="utf-8") as f:
            text = f.read()
        check("[Window]" in text, f"no placement saved: {text!r}")
        # The placement a larger screen (or a smaller scale) left behind.
        placement = {"Width": "3000", "Height": "2000", "X%20Position": "200",
                     "Y%20Position": "150"}
        lines, section = [], None
        for line in text.splitlines():
            if line.startswith("["):
                section = line
            elif section == "[Window]" and line.split("=")[0] in placement:
                line = line.split("=")[0] + "=" + placement[line.split("=")[0]]
            lines.append(line)
        with open(settings, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")


case_first_window_fits_scaled.screen = "1280x800"


def case_clipboard_pickup(s):
    # What another program copies is picked up: a registered ID last updated on an earlier day
    # gets its update raised, which makes the document modified ("（更新）" in the title). Text
    # that was on the clipboard before the start is not picked up: by the time the program has
    # picked up the next copy, which comes after it in the order the program hears of them, it
    # has left the earlier one alone.
    data = write(s.path("data.lst"), SAMPLE)
    copy(s, "Old log: ABC12345 青い空\r\n".encode())
    s.start([data])
    s.wait_window(frame_title("data.lst"))
    copy(s, "Forum: XYZ00001 山田　太郎 さん、こんにちは\r\n".encode())
    s.wait_window("data.lst（更新） - " + APP)
    check(picked(s, "XYZ00001"), "the copy after the start is not in the pickup list")
    check(not picked(s, "ABC12345"), "text from before the start was picked up")


def case_clipboard_large(s):
    # A text too large for one transfer arrives from xclip in pieces (INCR); the ID at its very
    # end is still picked up.
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data])
    s.wait_window(frame_title("data.lst"))
    filler = "".join(f"line {i}: nothing to see here, move along please\r\n" for i in range(60000))
    text = filler + "Forum: XYZ00001 山田　太郎 さん\r\n"
    check(len(text.encode()) > 2_000_000, "the text must need an incremental transfer")
    copy(s, text.encode())
    s.wait_window("data.lst（更新） - " + APP)


def threads_of(pid):
    return len(os.listdir(f"/proc/{pid}/task"))


def sockets_of(pid):
    """The program's open sockets: its X connections among them, one for each fetch under way."""
    count = 0
    for fd in os.listdir(f"/proc/{pid}/fd"):
        try:
            count += os.readlink(f"/proc/{pid}/fd/{fd}").startswith("socket:")
        except OSError:
            pass
    return count


def owner_serving(s, marker):
    """Whether the clipboard's owner now serves the text that begins with marker."""
    try:
        out = s.run(["xclip", "-o", "-selection", "clipboard"], timeout=5).stdout
    except subprocess.TimeoutExpired:
        return False
    return out.startswith(marker)


def silent_owner(s, marker):
    """An owner that takes the clipboard and then never answers: xclip, stopped once it serves.
    A flood's xclip that forked into the background may still take the clipboard after this one
    did; then this one has lost it for good, and another is started."""
    for attempt in range(5):
        clip = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard"],
                                stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, env=s.env(),
                                preexec_fn=_die_with_parent)
        clip.stdin.write(marker)
        clip.stdin.close()
        try:
            wait_until("xclip to own the clipboard", lambda: owner_serving(s, marker))
        except Failure:
            clip.kill()
            clip.wait()
            if attempt == 4:
                raise
            continue
        os.kill(clip.pid, signal.SIGSTOP)
        return clip


def case_clipboard_flood(s):
    # Owners that change the clipboard as fast as they can, and owners that never answer: the
    # program keeps one fetch at a time (its threads and sockets stay where they were, give or
    # take the pickup worker), goes on answering its API, and picks up the last text.
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    wait_until("the API to answer", lambda: ctl(s, "present")[0] == 0)
    threads, sockets = threads_of(proc.pid), sockets_of(proc.pid)
    most = {"threads": threads, "sockets": sockets, "present": 0.0}

    def sample():
        most["threads"] = max(most["threads"], threads_of(proc.pid))
        most["sockets"] = max(most["sockets"], sockets_of(proc.pid))

    stopped = []
    try:
        stopped.append(silent_owner(s, b"silent 1 "))
        running = []
        changes = 0
        flood_end = time.monotonic() + scaled(4)
        while time.monotonic() < flood_end or changes < 200:
            clip = subprocess.Popen(["xclip", "-selection", "clipboard"], stdin=subprocess.PIPE,
                                    env=s.env(), preexec_fn=_die_with_parent)
            clip.stdin.write(f"flood {changes} HGF03421 Blue Sky\n".encode() * 50)
            clip.stdin.close()
            running.append(clip)
            changes += 1
            if changes % 20 == 0:
                for clip in running:
                    clip.wait(timeout=scaled(30))
                running = []
                sample()
                start = time.monotonic()
                check(ctl(s, "present")[0] == 0, "the API did not answer during the flood")
                most["present"] = max(most["present"], time.monotonic() - start)
            if changes % 100 == 0:
                stopped.append(silent_owner(s, f"silent {changes} ".encode()))
        for clip in running:
            clip.wait(timeout=scaled(30))
        sample()
        print(f"{changes} changes; threads {threads} -> at most {most['threads']}, sockets "
              f"{sockets} -> at most {most['sockets']}; slowest present {most['present']:.3f} s")
        # Room for the fetching thread and its X connection, the pickup worker, a thread Qt
        # starts on demand and the API's connection of the last velkonctl: one thread or one
        # connection for each change would be hundreds.
        check(most["threads"] <= threads + 4, f"threads grew from {threads} to {most['threads']}")
        check(most["sockets"] <= sockets + 3, f"sockets grew from {sockets} to {most['sockets']}")
        last = "Last: XYZ00001 山田　太郎\n".encode()

        def last_picked():
            if picked(s, "XYZ00001"):
                return True
            # A flood's xclip hands its request for the clipboard to its background half, which
            # may send it only after the last copy took the clipboard: then that copy is lost to
            # every program, and is made again.
            if not owner_serving(s, b"Last: "):
                copy(s, last)
            return False
        copy(s, last)
        wait_until("the last text's ID to be picked up", last_picked)
    finally:
        for clip in stopped:
            clip.kill()
            clip.wait()
    check(proc.poll() is None, "the program ended")


class SilentOwner:
    """An X client of this script's own (libX11 through ctypes) that takes the clipboard again
    and again and answers no request for its text, unless told to answer one late."""

    SELECTION_REQUEST, SELECTION_NOTIFY, PROP_MODE_REPLACE = 30, 31, 0

    def __init__(self, display):
        x = ctypes.cdll.LoadLibrary("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XCreateSimpleWindow.restype = ctypes.c_ulong
        x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                          ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                         ctypes.c_ulong]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_char_p,
                                      ctypes.c_int]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        # Errors are counted rather than ending this script, as Xlib's own handler would.
        self.errors = []
        handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)

        def on_error(_display, event):
            # XErrorEvent: type, display, resourceid, serial, then error_code.
            self.errors.append(ctypes.cast(event, ctypes.POINTER(ctypes.c_ubyte))[32])
            return 0
        self._on_error = handler_type(on_error)
        x.XSetErrorHandler.argtypes = [handler_type]
        x.XSetErrorHandler(self._on_error)
        self.x = x
        self.d = x.XOpenDisplay(display.encode())
        check(self.d, "no connection to the X server")
        self.window = x.XCreateSimpleWindow(self.d, x.XDefaultRootWindow(self.d), 0, 0, 1, 1, 0,
                                            0, 0)
        self.clipboard = x.XInternAtom(self.d, b"CLIPBOARD", 0)

    def take(self):
        self.x.XSetSelectionOwner(self.d, self.clipboard, self.window, 0)
        self.x.XFlush(self.d)

    def next_request(self, what):
        """The next request for the clipboard's text, as XSelectionRequestEvent's longs."""
        event = (ctypes.c_long * 24)()

        def arrived():
            while self.x.XPending(self.d):
                self.x.XNextEvent(self.d, event)
                if event[0] & 0xFFFFFFFF == self.SELECTION_REQUEST:
                    return True
            return False
        wait_until(what, arrived, interval=0.01)
        return list(event)

    def answer(self, request, data):
        """Answers a request as an owner does: the text on the requestor's property, then the
        notice; the X errors that came of it."""
        requestor, selection, target, prop, when = request[5:10]
        self.x.XChangeProperty(self.d, requestor, prop, target, 8, self.PROP_MODE_REPLACE, data,
                               len(data))
        notice = (ctypes.c_long * 24)()
        notice[0] = self.SELECTION_NOTIFY
        notice[2] = 1
        notice[4:9] = [requestor, selection, target, prop, when]
        self.x.XSendEvent(self.d, requestor, 0, 0, notice)
        self.x.XSync(self.d, 0)
        return list(self.errors)

    def close(self):
        self.x.XCloseDisplay(self.d)


def case_clipboard_flood_silent(s):
    # 1,000 changes a second for 5 s by an owner that never answers: each fetch is abandoned
    # for the next, so the threads and sockets stay put and the API answers; the copy after
    # the flood is picked up.
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    wait_until("the API to answer", lambda: ctl(s, "present")[0] == 0)
    threads, sockets = threads_of(proc.pid), sockets_of(proc.pid)
    most_threads, most_sockets, slowest, changes = threads, sockets, 0.0, 0
    owner = SilentOwner(s.display)
    try:
        start = time.monotonic()
        next_sample = start
        while time.monotonic() - start < 5:
            # Paced to 1,000 a second: as many changes as the time so far allows.
            due = int((time.monotonic() - start) * 1000)
            while changes < due:
                owner.take()
                changes += 1
            if time.monotonic() >= next_sample:
                most_threads = max(most_threads, threads_of(proc.pid))
                most_sockets = max(most_sockets, sockets_of(proc.pid))
                asked = time.monotonic()
                check(ctl(s, "present")[0] == 0, "the API did not answer during the flood")
                slowest = max(slowest, time.monotonic() - asked)
                next_sample = time.monotonic() + 0.1
    finally:
        owner.close()
    print(f"{changes} changes in 5 s; threads {threads} -> at most {most_threads}, sockets "
          f"{sockets} -> at most {most_sockets}; slowest present {slowest:.3f} s")
    check(most_threads <= threads + 4, f"threads grew from {threads} to {most_threads}")
    check(most_sockets <= sockets + 3, f"sockets grew from {sockets} to {most_sockets}")
    copy(s, "After: XYZ00001 山田　太郎\n".encode())
    wait_until("the copy after the flood to be picked up", lambda: picked(s, "XYZ00001"))
    check(proc.poll() is None, "the program ended")


def case_clipboard_late_answer(s):
    # An owner asked for its text, replaced by a newer copy before it answers, answers after the
    # newer copy is picked up: the window it answers to is still there, so the answer brings it
    # no error (one that ends an owner on Xlib's own error handler, xclip, and takes its copy).
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    owner = SilentOwner(s.display)
    try:
        owner.take()
        request = owner.next_request("the program to ask for the clipboard's text")
        copy(s, "Newer: XYZ00001 山田　太郎\n".encode())
        wait_until("the newer copy to be picked up", lambda: picked(s, "XYZ00001"))
        errors = owner.answer(request, b"ABC12345")
    finally:
        owner.close()
    check(not errors, f"the late answer met X errors {errors}")
    copy(s, "Last: QRS24680 Red\n".encode())
    wait_until("a copy after the late answer to be picked up", lambda: picked(s, "QRS24680"))
    check(proc.poll() is None, "the program ended")


def case_clipboard_memory(s):
    # A 64 MB text takes little more than its own size at the peak, and its memory goes back
    # once it is picked up.
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    wait_until("the API to answer", lambda: ctl(s, "present")[0] == 0)

    def status(name):
        with open(f"/proc/{proc.pid}/status") as f:
            return next(int(line.split()[1]) for line in f if line.startswith(name + ":"))

    line = b"nothing to see here, move along please, nothing at all\n"
    text = line * ((64 << 20) // len(line)) + "Last: XYZ00001 山田　太郎\n".encode()
    before = status("VmRSS")
    with open(f"/proc/{proc.pid}/clear_refs", "w") as f:
        f.write("5")  # the peak starts again from here
    copy(s, text)
    wait_until("the text's last ID to be picked up", lambda: picked(s, "XYZ00001"))
    mb = len(text) / (1 << 20)
    peak, after = status("VmHWM"), status("VmRSS")
    print(f"{mb:.0f} MB: resident {before // 1024} MB before, peak {peak // 1024} MB "
          f"({(peak - before) / 1024 / mb:.2f} MB per MB), {after // 1024} MB after")
    if not sanitized(s.program):
        check(peak - before < 1.5 * len(text) / 1024, "the text took more than 1.5 times its size")
        # What the pickup left may still be on its way back: the last slices, the status bar.
        wait_until("the text's memory to go back",
                   lambda: status("VmRSS") - before < 0.25 * len(text) / 1024)


def case_clipboard_nul(s):
    # A zero byte in a copied text hides nothing after it, in every form an owner offers.
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data])
    s.wait_window(frame_title("data.lst"))
    for target, member_id in (("UTF8_STRING", "ABC12345"), ("COMPOUND_TEXT", "HGF03421"),
                              ("STRING", "PCV77001")):
        copy(s, f"head\0 tail {member_id} Blue\n".encode(), target)
        wait_until(f"{member_id} after a zero byte ({target})", lambda: picked(s, member_id))


def install_copy(s, name, id_lst):
    """The program copied into a folder of its own, with or without an id.lst beside it."""
    folder = s.path(name)
    os.mkdir(folder)
    program = os.path.join(folder, "velkon95")
    shutil.copy2(s.program, program)
    if id_lst is not None:
        write(os.path.join(folder, "id.lst"), id_lst)
    return program


def case_id_lst_beside_program(s):
    elsewhere = s.path("elsewhere")  # the working directory, with no id.lst of its own
    os.mkdir(elsewhere)
    with_list = install_copy(s, "with-list", SAMPLE)
    proc = s.start([], program=with_list, cwd=elsewhere)
    s.wait_window(frame_title("id.lst"))
    _stop(proc)

    # Without one it starts on an empty document. A fresh runtime directory, so that the stopped
    # instance's socket plays no part here.
    without_list = install_copy(s, "without-list", None)
    s.start([], program=without_list, cwd=elsewhere, runtime=s.new_runtime_dir("runtime-2"))
    s.wait_window(frame_title("（新規）"))


def case_named_file_wins(s):
    program = install_copy(s, "app", SAMPLE)
    named = write(s.path("named.lst"), lst_bytes(("QRS24680", "Red")))
    s.start([named], program=program, cwd=s.path("app"))
    s.wait_window(frame_title("named.lst"))
    check(list(main_frames(s).values()) == [frame_title("named.lst")],
          f"main windows: {main_frames(s)}")


def case_unreadable_file(s):
    log_path = s.path("messages.log")
    not_a_file = s.path("folder.lst")
    os.mkdir(not_a_file)
    proc = s.start([not_a_file], env={"VELKON_MESSAGE_LOG": log_path})

    def logged():
        if not os.path.exists(log_path):
            return ""
        with open(log_path, encoding="utf-8") as f:
            return f.read()
    text = wait_until("the message log", logged)
    check(text.splitlines() == [CANNOT_OPEN, "", not_a_file, "ﾌｫﾙﾀﾞです。ﾌｧｲﾙを指定してください。"],
          f"message log: {text!r}")

    frames = set()
    box = s.wait_window(APP)
    frames.update(main_frames(s).values())

    # Return answers the box; the program may end before xdotool's key release arrives, so its
    # complaint about a vanished window is no failure. Pressed again if the first was missed.
    def answered():
        frames.update(main_frames(s).values())
        if proc.poll() is not None:
            return True
        if box in s.windows():
            s.xdotool("key", "--window", box, "Return", check_status=False)
        return False
    wait_until("the program to end after its message box was answered", answered, interval=1.0)
    check(proc.returncode >= 0, f"the program died of signal {-proc.returncode}")
    check(not frames, f"a main window showed for a file that could not be opened: {frames}")
    print(f"exit status {proc.returncode}")


def read_png(path):
    """(width, height, rows of RGB bytes) of an 8-bit, non-interlaced RGB(A) PNG."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG")
    pos, idat, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)  # RGB, RGBA
    check(depth == 8 and channels and not interlace, f"unexpected PNG layout {header}")
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 0xFF
        elif kind == 2:
            row = bytearray((a + b) & 0xFF for a, b in zip(row, previous))
        elif kind == 3:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = row[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                row[i] = (row[i] + pred) & 0xFF
        rows.append(row)
        previous = row
    if channels == 4:
        rows = [bytes(b for i, b in enumerate(r) if i % 4 != 3) for r in rows]
    return width, height, rows


def compare_region(before, after, box):
    """Share of the pixels in box that changed, and how many colours the box holds afterwards."""
    x, y, w, h = box
    changed, colours = 0, set()
    for row in range(y, y + h):
        old = before[2][row][x * 3:(x + w) * 3]
        new = after[2][row][x * 3:(x + w) * 3]
        for i in range(0, w * 3, 3):
            pixel = new[i:i + 3]
            colours.add(bytes(pixel))
            if pixel != old[i:i + 3]:
                changed += 1
    return changed / (w * h), len(colours)


def case_screenshot(s):
    before = read_png(s.shot("before.png"))
    s.start([write(s.path("sample.lst"), SAMPLE)])
    window = s.wait_window(frame_title("sample.lst"))
    x, y, w, h = s.client_area(window)
    x0, y0 = max(x, 0), max(y, 0)
    box = (x0, y0, min(x + w, before[0]) - x0, min(y + h, before[1]) - y0)
    check(box[2] > 100 and box[3] > 100, f"window {window} is too small to show anything: {box}")

    result = {}

    # Mapped is not yet painted: look again until the window's contents are on the screen.
    def painted():
        after = read_png(s.shot("velkon95-x11.png"))
        check(after[:2] == before[:2], f"screen size changed: {after[:2]} != {before[:2]}")
        result["changed"], result["colours"] = compare_region(before, after, box)
        # Menus, tool bar icons, list text and status bar: far more than a flat fill.
        return result["changed"] >= 0.5 and result["colours"] >= 16
    try:
        wait_until("the window's contents on the screen", painted, interval=0.5)
    finally:
        print(f"window {box}: {result.get('changed', 0):.0%} of its pixels changed, "
              f"{result.get('colours', 0)} colours")


def many_records(n):
    """n records with IDs out of order and handles in ASCII, kana, kanji and half-width kana."""
    names = ["Blue Sky", "ねこまる", "山田　太郎", "ｶﾀｶﾅ", "apple", "青い空", "Zed", "ﾊﾝﾄﾞﾙ"]
    records = []
    for i in range(n):
        number = (i * 7919) % 100000
        member_id = "ABCDEFGHIJ"[i % 10] + "QX"[i % 2] + "Z" + f"{number:05d}"
        records.append((member_id, f"{names[i % len(names)]}{i % 97}"))
    return lst_bytes(*records)


def case_sorted_by_handle(s):
    # Sorted by the second column (the handle) as a user who clicked its header last time.
    settings = os.path.join(s.home, "config", "Brambl Free Software", "Velkon95.ini")
    os.makedirs(os.path.dirname(settings), exist_ok=True)
    with open(settings, "w", encoding="utf-8") as f:
        f.write("[Sort]\nType=1\nForward=1\n")
    s.start([write(s.path("many.lst"), many_records(1000))])
    window = s.wait_window(frame_title("many.lst"))
    x, y, w, h = s.client_area(window)
    # The middle of the window, below the menu and tool bar and above the status bar: rows.
    box = (max(x, 0) + 10, max(y, 0) + h // 4, w // 2, h // 2)
    result = {}

    def rows_shown():
        shot = read_png(s.shot("velkon95-sorted-by-handle.png"))
        dark = 0
        for row in range(box[1], box[1] + box[3]):
            line = shot[2][row]
            for col in range(box[0], box[0] + box[2]):
                r, g, b = line[col * 3:col * 3 + 3]
                if r < 96 and g < 96 and b < 96:
                    dark += 1
        result["dark"] = dark
        # A few dozen rows of text, each with many dark pixels.
        return dark > 2000
    try:
        wait_until("rows of text in the list", rows_shown, interval=0.5)
    finally:
        print(f"text pixels in {box}: {result.get('dark', 0)}")


def start_resident(s, hot_key=0):
    """trayer as the tray host, then the program set to start hidden with a tray icon."""
    check(shutil.which("trayer"), "trayer is not installed (scripts/deps installs it)")
    settings = os.path.join(s.home, "config", "Brambl Free Software", "Velkon95.ini")
    os.makedirs(os.path.dirname(settings), exist_ok=True)
    with open(settings, "w", encoding="utf-8") as f:
        f.write(f"[Execute%20Option]\nResident=1\nHot%20Key={hot_key}\n")
    log_path = s.path("trayer.log")
    with open(log_path, "wb") as log:
        tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "left", "--widthtype",
                                 "pixel", "--width", "200", "--heighttype", "pixel",
                                 "--height", "32"], env=s.env(), stdin=subprocess.DEVNULL,
                                stdout=log, stderr=subprocess.STDOUT,
                                preexec_fn=_die_with_parent)
    s.procs.append((tray, log_path))
    wait_until("trayer's panel", lambda: s.search("--onlyvisible", "--class", "trayer"))
    return s.start([])


def tray_icon(s):
    """The program's visible window while no main window shows: the icon trayer embedded."""
    def find():
        ids = s.search("--onlyvisible", "--class", "velkon95")
        return ids[0] if len(ids) == 1 else None
    icon = wait_until("the tray icon", find)
    x, y, w, h = s.geometry(icon)
    check(0 < w <= 64 and 0 < h <= 64, f"window {icon} is no tray icon: {w}x{h} at {x},{y}")
    print(f"tray icon {icon}: {w}x{h} at {x},{y}")
    return icon, x + w // 2, y + h // 2


def stays_hidden(s, seconds=1.0, when="at a resident start"):
    """No main window shows for `seconds` (scaled): a window that came late would, so this is
    watched for a bounded time."""
    def hidden():
        frames = main_frames(s)
        check(not frames, f"a main window showed {when}: {frames}")
        return True
    holds(f"no main window {when}", hidden, seconds)


def case_resident_start(s):
    start_resident(s)
    icon, x, y = tray_icon(s)
    stays_hidden(s)
    s.xdotool("mousemove", str(x), str(y))
    s.xdotool("click", "--repeat", "2", "--delay", "80", "1")
    wait_until("a main window after a double click on the tray icon", lambda: main_frames(s))


def case_hot_key(s):
    start_resident(s, hot_key=0x0600 | 0x4B)  # Ctrl+Alt+K
    tray_icon(s)
    stays_hidden(s)
    s.xdotool("key", "ctrl+alt+k")
    wait_until("a main window after Ctrl+Alt+K", lambda: main_frames(s))


def case_tray_menu(s):
    start_resident(s)
    icon, x, y = tray_icon(s)
    stays_hidden(s)
    s.xdotool("mousemove", str(x), str(y))
    s.xdotool("click", "3")

    def menu():
        return set(s.search("--onlyvisible", "--class", "velkon95")) - {icon}
    popup = wait_until("a menu after a right click on the tray icon", menu)
    check(not main_frames(s), f"a right click showed a main window: {main_frames(s)}")
    print(f"menu window(s): {sorted(popup)}")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def run_cases(doc, cases, tools=("Xvfb", "xdotool"), tool_args=()):
    """The command line of a file of cases: --program, --screenshot, --artifacts, one option per
    name in tool_args (the path is kept as that attribute of the session) and the case to run.
    Skipped (SKIPPED) when one of the tools is not installed."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--screenshot", required=True)
    for name in tool_args:
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--artifacts", default=".")
    parser.add_argument("case", choices=sorted(cases))
    args = parser.parse_args()
    # Every session runs Xvfb with openbox, which it waits for with xprop.
    tools = ("Xvfb", "openbox", "xprop", *tools)
    missing = [tool for tool in dict.fromkeys(tools) if not shutil.which(tool)]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (scripts/deps installs them)")
        return SKIPPED

    # Stopped by a signal, the session is still taken down (SIGKILL: see _die_with_parent).
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda n, _: sys.exit(128 + n))

    # What an earlier run of this case kept would pass for this run's.
    kept = os.path.join(os.path.abspath(args.artifacts), args.case)
    shutil.rmtree(kept, ignore_errors=True)
    if SCALE != 1:
        print(f"deadlines scaled by {SCALE:g}")
    try:
        # A case may ask for a screen of its own size (its attribute "screen", "WxH").
        session = Session(os.path.abspath(args.program), os.path.abspath(args.screenshot),
                          getattr(cases[args.case], "screen", "1024x768"))
    except Failure as failure:
        print(f"{args.case}: FAILED: {failure}")
        return 1
    for name in tool_args:
        attribute = name.replace("-", "_")
        setattr(session, attribute, os.path.abspath(getattr(args, attribute)))
    try:
        cases[args.case](session)
        print(f"{args.case}: passed")
        return 0
    except Skipped as reason:
        print(f"{args.case}: skipped: {reason}")
        return SKIPPED
    except Exception as error:  # a Failure, or a fault of the case itself: both are kept
        if isinstance(error, Failure):
            print(f"{args.case}: FAILED: {error}")
        else:
            traceback.print_exc(file=sys.stdout)
            print(f"{args.case}: FAILED: {type(error).__name__}: {error}")
        try:
            print(f"visible windows: {session.windows()}")
        except Exception as e:  # the X server itself may be what failed
            print(f"visible windows: unknown ({e})")
        for path in session.keep_shots(kept):
            print(f"screenshot kept: {path}")
        session.dump_logs()
        return 1
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(run_cases(__doc__, CASES, tool_args=("velkonctl",)))
