#!/usr/bin/env python3
"""The window socket and the data file with the real program on a private Xvfb display.

    velkon_sockets_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Helpers and the session come from velkon_x11.py.
"""

import glob
import os
import socket
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import (APP, SAMPLE, check, ctl, frame_title, main_frames,  # noqa: E402
                        wait_until, write)

CANNOT_OPEN = "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"
IN_USE = "ほかのﾌﾟﾛｸﾞﾗﾑがこのﾌｧｲﾙを開いています。"
WM_USER = 0x400
WM_IDAPI_PRESENT = WM_USER + 133


def logged(log_path):
    if not os.path.exists(log_path):
        return ""
    with open(log_path, encoding="utf-8") as f:
        return f.read()


def case_raw_messages_from_a_peer(s):
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.connect(os.path.join(s.runtime, "velkon95", "VelkonFrameClass.sock"))
    sock.settimeout(vx.TIMEOUT)
    # Every message number of the system's, the program's and the applications' ranges, raw:
    # WM_CREATE with a pointer that is none, WM_DESTROY, WM_CLOSE, the exit command and all.
    answers = {}
    for w, l in ((1, 1), (0xE141, 0)):
        for msg in range(0xC000):
            sock.sendall(struct.pack("<IIQq", 20, msg, w, l))
            header = b""
            while len(header) < 12:
                chunk = sock.recv(12 - len(header))
                check(chunk, f"the program hung up at message {msg:#x}")
                header += chunk
            length, result = struct.unpack("<Iq", header)
            check(length == 8, f"answer of length {length}")
            answers[msg] = result
    sock.close()
    check(proc.poll() is None, f"the program ended (status {proc.returncode})")
    check(answers[WM_IDAPI_PRESENT] == 1, "WM_IDAPI_PRESENT was not answered 1")
    for msg in (0x0001, 0x0002, 0x0010, 0x0111, 0x0112):
        check(answers[msg] == 0, f"message {msg:#x} answered {answers[msg]}")
    check(list(main_frames(s).values()) == [frame_title("data.lst")],
          f"main windows: {main_frames(s)}")
    status, out, _ = ctl(s, "count", "ABC12345")
    check(status in (0, 1), f"velkonctl count: status {status}")
    with open(data, "rb") as f:
        check(f.read() == SAMPLE, "the data file changed")


def case_one_program_per_data_file(s):
    data = write(s.path("data.lst"), SAMPLE)
    first = s.start([data])
    s.wait_window(frame_title("data.lst"))
    check(os.path.exists(data + ".lock"), "no lock file beside the open data file")

    # A program that cannot hand over to the first (another runtime directory) refuses the file.
    log_path = s.path("messages.log")
    other = s.new_runtime_dir("other-runtime")
    second = s.start([data], runtime=other, env={"VELKON_MESSAGE_LOG": log_path})
    text = wait_until("the message log", lambda: logged(log_path))
    check(text.splitlines() == [CANNOT_OPEN, "", data, IN_USE], f"message log: {text!r}")
    box = s.wait_window(APP)
    s.shot("data_file_in_use.png")

    def answered():
        if second.poll() is not None:
            return True
        if box in s.windows():
            s.xdotool("key", "--window", box, "Return", check_status=False)
        return False
    wait_until("the second program to end after its message box was answered", answered,
               interval=1.0)
    check(second.returncode >= 0, f"the second program died of signal {-second.returncode}")
    check(first.poll() is None, "the first program ended")
    check(list(main_frames(s).values()) == [frame_title("data.lst")],
          f"main windows: {main_frames(s)}")

    # The first is killed: its lock file and window sockets stay, and the next start takes the
    # file over and clears the sockets away.
    window_sockets = glob.glob(os.path.join(s.runtime, "velkon95", "window-*.sock"))
    check(window_sockets, "no window sockets while the first program ran")
    first.kill()
    first.wait(vx.TIMEOUT)
    wait_until("the killed program's window to go", lambda: not main_frames(s))
    check(os.path.exists(data + ".lock"), "the killed program left no lock file")
    third = s.start([data])
    s.wait_window(frame_title("data.lst"))
    with open(data + ".lock") as f:
        check(f.read().strip() == str(third.pid), "the lock does not name the new program")
    left = [p for p in window_sockets if os.path.exists(p)]
    check(not left, f"window sockets of the killed program left: {left}")
    status, _, err = ctl(s, "present")
    check(status == 0, f"velkonctl present: status {status} {err}")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}

if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tool_args=("velkonctl",)))
