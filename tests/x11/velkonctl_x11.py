#!/usr/bin/env python3
"""velkonctl with the real program on a private Xvfb display.

    velkonctl_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Helpers and the session come from velkon_x11.py.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import SAMPLE, check, frame_title, main_frames, wait_until, write  # noqa: E402

MODIFIED_TITLE = "data.lst（更新） - " + vx.APP


def ctl(s, *args, stdin=None):
    result = subprocess.run([s.velkonctl, *args], env=s.env(), input=stdin, capture_output=True,
                            timeout=30)
    print(f"velkonctl {' '.join(args)} -> {result.returncode}")
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def start_program(s):
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data])
    s.wait_window(frame_title("data.lst"))
    return data


def case_velkonctl_queries(s, artifacts):
    # The records of the file answer as they stand, in UTF-8; unknown IDs give status 1.
    start_program(s)
    check(ctl(s, "present")[0] == 0, "present")
    status, out, _ = ctl(s, "get-handle", "ABC12345")
    check((status, out) == (0, "青い空\n"), f"get-handle: {status} {out!r}")
    status, out, _ = ctl(s, "get", "XYZ00001")
    check(status == 0 and "handle=山田　太郎\n" in out, f"get: {status} {out!r}")
    check(ctl(s, "exists", "--16", "NIF55555")[0] == 0, "exists --16")
    check(ctl(s, "exists", "QQQ00000")[0] == 1, "exists of an unknown ID")
    status, out, _ = ctl(s, "version")
    check((status, out) == (0, "3.4.13\n"), f"version: {status} {out!r}")
    status, out, _ = ctl(s, "captions")
    check(status == 0 and out.startswith("handle=ハンドル\n"), f"captions: {out!r}")


def case_velkonctl_changes(s, artifacts):
    # A registration through velkonctl modifies the document (the title shows it); a pickup
    # from standard input fills the pickup list; the program keeps running throughout.
    start_program(s)
    status, _, err = ctl(s, "register", "NEW00001", "handle=新しい人", "memo1=メモ")
    check(status == 0, f"register: {err}")
    wait_until("the title marked modified",
               lambda: MODIFIED_TITLE in main_frames(s).values())
    check(ctl(s, "register", "NEW00001")[0] == 1, "a second register")
    status, out, _ = ctl(s, "get-record", "NEW00001")
    check(status == 0 and out.startswith("NEW00001\t新しい人\tメモ\t"), f"get-record: {out!r}")
    log = "#  12/03 21:15  QRS24680 通りすがり\n本文\n#  12/03 21:40  ABC12345 青い空\n"
    check(ctl(s, "pickup", stdin=log.encode("utf-8"))[0] == 0, "pickup")
    check(ctl(s, "picked", "QRS24680")[0] == 0, "QRS24680 not picked up")
    check(ctl(s, "redo")[0] == 0, "redo")
    check(ctl(s, "picked", "QRS24680")[0] == 1, "the pickup list was not emptied")
    check(ctl(s, "delete", "NEW00001")[0] == 0, "delete")
    check(ctl(s, "restore")[0] == 0 and ctl(s, "exists", "NEW00001")[0] == 0, "restore")


def case_clipboard_pickup_seen_by_api(s, artifacts):
    # What another program copies lands in the pickup list, new IDs and registered ones alike,
    # and nothing that was not in the text.
    start_program(s)
    text = "#  12/03 21:15  QRS24680 通りすがり\r\n本文\r\n#  12/03 21:40  ABC12345 青い空\r\n"
    clip = subprocess.Popen(["xclip", "-selection", "clipboard"], stdin=subprocess.PIPE,
                            env=s.env(), preexec_fn=vx._die_with_parent)
    clip.communicate(text.encode("utf-8"), timeout=10)
    wait_until("QRS24680 in the pickup list", lambda: ctl(s, "picked", "QRS24680")[0] == 0)
    check(ctl(s, "picked", "ABC12345")[0] == 0, "the registered ID was not picked up")
    check(ctl(s, "picked", "XYZ00001")[0] == 1, "an ID that was not in the text was picked up")


def case_velkonctl_no_program(s, artifacts):
    status, _, err = ctl(s, "present")
    check(status == 2 and "not running" in err, f"without the program: {status} {err!r}")
    status, out, _ = ctl(s, "--help")
    check(status == 0 and "Usage: velkonctl" in out, "no --help")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=('Xvfb', 'xdotool', 'xclip'), tool_args=('velkonctl',)))
