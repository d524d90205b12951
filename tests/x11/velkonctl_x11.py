#!/usr/bin/env python3
"""velkonctl with the real program on a private Xvfb display.

    velkonctl_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Helpers and the session come from velkon_x11.py.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_dialogs_x11 as dx  # noqa: E402
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import SAMPLE, check, copy, frame_title, main_frames, wait_until, write  # noqa: E402

MODIFIED_TITLE = "data.lst（更新） - " + vx.APP


def ctl(s, *args, stdin=None):
    status, out, err = vx.ctl(s, *args, stdin=stdin)
    print(f"velkonctl {' '.join(args)} -> {status}")
    return status, out, err


def start_program(s):
    """The program on the sample file; its main window."""
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data])
    return s.wait_window(frame_title("data.lst"))


def case_velkonctl_queries(s):
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


def case_velkonctl_changes(s):
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


def case_clipboard_pickup_seen_by_api(s):
    # What another program copies lands in the pickup list, new IDs and registered ones alike,
    # and nothing that was not in the text.
    start_program(s)
    text = "#  12/03 21:15  QRS24680 通りすがり\r\n本文\r\n#  12/03 21:40  ABC12345 青い空\r\n"
    copy(s, text.encode("utf-8"))
    wait_until("QRS24680 in the pickup list", lambda: ctl(s, "picked", "QRS24680")[0] == 0)
    check(ctl(s, "picked", "ABC12345")[0] == 0, "the registered ID was not picked up")
    check(ctl(s, "picked", "XYZ00001")[0] == 1, "an ID that was not in the text was picked up")


def register_offers(s, frame, ids):
    """Registers the offers of the registration dialog (Ins), as many as there are ids, each
    with the handle it was picked up with, as a user pressing Enter would: one Enter after the
    other has registered its ID."""
    dx.keys(s, frame, "Insert")
    dialog = s.wait_window("IDの登録")
    for count in range(1, len(ids) + 1):
        dx.keys(s, dialog, "Return")
        wait_until(f"{count} of {ids} registered",
                   lambda: sum(ctl(s, "exists", i)[0] == 0 for i in ids) >= count)
    dx.keys(s, dialog, "Escape")
    wait_until("the registration dialog closed", lambda: "IDの登録" not in s.windows().values())


def handles(s, ids):
    return {i: ctl(s, "get-handle", i)[1].rstrip("\n") for i in ids}


def case_clipboard_lf_lines(s):
    # Text as a terminal or a browser copies it, its lines ended by LF alone: every ID is picked
    # up with its own handle.
    frame = start_program(s)
    copy(s, "QRS24680 Blue\nTUV13579 Red\nWXY11223 青い空\n".encode("utf-8"))
    ids = ["QRS24680", "TUV13579", "WXY11223"]
    wait_until("three pickups", lambda: all(ctl(s, "picked", i)[0] == 0 for i in ids))
    register_offers(s, frame, ids)
    got = handles(s, ids)
    check(got == {"QRS24680": "Blue", "TUV13579": "Red", "WXY11223": "青い空"}, f"handles: {got}")


def case_clipboard_targets(s):
    # An owner that offers one form of text only, for each form X programs use.
    frame = start_program(s)
    euc = "青い空".encode("euc-jp")
    offers = [("UTF8_STRING", "AAA00001", "ねこ".encode("utf-8"), "ねこ"),
              ("text/plain;charset=utf-8", "AAA00002", "いぬ".encode("utf-8"), "いぬ"),
              # Latin-1 signs that the program's own text (CP932) also holds.
              ("STRING", "AAA00003", "±5°".encode("latin-1"), "±5°"),
              ("COMPOUND_TEXT", "AAA00004", b"\x1b$)B" + bytes(b | 0x80 for b in euc) + b"\x1b(B",
               "青い空"),
              ("TEXT", "AAA00005", b"Blue", "Blue")]
    for target, member, handle, _ in offers:
        copy(s, member.encode() + b" " + handle + b"\n", target)
        wait_until(f"{member} picked up from {target}", lambda: ctl(s, "picked", member)[0] == 0)
    members = [member for _, member, _, _ in offers]
    register_offers(s, frame, members)
    got = handles(s, members)
    want = {member: text for _, member, _, text in offers}
    check(got == want, f"handles: {got}, not {want}")


def case_clipboard_too_large(s):
    # A text over 256 MB from an owner that does not say its size: the IDs of the first 256 MB
    # are picked up as they come, the rest is left and the user told so, without the memory of
    # the whole; the next copy is picked up as usual.
    data = write(s.path("data.lst"), vx.SAMPLE)
    log_path = s.path("messages.log")
    proc = s.start([data], env={"VELKON_MESSAGE_LOG": log_path})
    s.wait_window(frame_title("data.lst"))
    # xclip in the foreground: it ends when the program, past the limit, gives up the transfer
    # and takes away the window it asked from (the next piece has nowhere to go).
    xclip_log = s.path("xclip-large.log")
    with open(xclip_log, "wb") as log:
        large = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard"],
                                 stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT,
                                 env=s.env(), preexec_fn=vx._die_with_parent)
    s.procs.append((large, xclip_log))
    # Dots, not letters: each letter would be looked at as the start of an ID, slow under the
    # sanitizer for 256 MB.
    large.stdin.write(b"QRS24680 Blue " + b"." * (257 << 20) + b" WXY11223 Late\n")
    large.stdin.close()
    wait_until("the program to give up the text over 256 MB", lambda: large.poll() is not None)

    def logged():
        if not os.path.exists(log_path):
            return ""
        with open(log_path, encoding="utf-8") as f:
            return f.read()
    text = wait_until("the user told the text was cut", logged, timeout=120)
    check(text.splitlines() == [CLIPBOARD_CUT], f"message log: {text!r}")
    check(ctl(s, "picked", "QRS24680")[0] == 0, "the ID within the limit was not picked up")
    check(ctl(s, "picked", "WXY11223")[0] == 1, "an ID past the limit was picked up")
    copy(s, "TUV13579 Red\n".encode())
    wait_until("the next copy picked up", lambda: ctl(s, "picked", "TUV13579")[0] == 0)
    with open(f"/proc/{proc.pid}/status") as f:
        peak = next(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))
    print(f"peak memory of the program: {peak // 1024} MB")
    # Under AddressSanitizer freed blocks stay quarantined and every byte has a shadow: the
    # figure is the sanitizer's, not the program's.
    if not vx.sanitized(s.program):
        check(peak < 400 * 1024, f"the program took {peak // 1024} MB")


CLIPBOARD_CUT = ("ｸﾘｯﾌﾟﾎﾞｰﾄﾞのﾃｷｽﾄは途中までしか受け取れませんでした。"
                 "受け取った分をﾋﾟｯｸｱｯﾌﾟしました。")


def start_raw(s, env):
    """The program with exactly this environment (the harness's own always names the platform)."""
    data = write(s.path("data.lst"), vx.SAMPLE)
    log_path = s.path(f"program-{len(s.procs) + 1}.log")
    with open(log_path, "wb") as log:
        proc = subprocess.Popen([s.program, data], cwd=s.dir, env=env, stdin=subprocess.DEVNULL,
                                stdout=log, stderr=subprocess.STDOUT,
                                preexec_fn=vx._die_with_parent)
    s.procs.append((proc, log_path))
    return proc


def read_log(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


NEEDS_X11 = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞからのﾋﾟｯｸｱｯﾌﾟとﾎｯﾄｷｰにはX11が必要です。"


def case_wayland_with_xwayland(s):
    # A Wayland session with XWayland beside it, no platform chosen: the program runs on X11,
    # where it picks up what is copied, and has nothing to say about it.
    log_path = s.path("messages.log")
    env = s.env(extra={"WAYLAND_DISPLAY": "wayland-velkon-test", "VELKON_MESSAGE_LOG": log_path})
    del env["QT_QPA_PLATFORM"]
    start_raw(s, env)
    s.wait_window(frame_title("data.lst"))
    copy(s, "QRS24680 Blue\n".encode())
    wait_until("the copy picked up", lambda: ctl(s, "picked", "QRS24680")[0] == 0)
    check(read_log(log_path) == [], f"message log: {read_log(log_path)}")


def case_without_x11(s):
    # No X server at all (a platform other than X11 stands in for Wayland alone): the program
    # starts, answers, and says once what does not work.
    log_path = s.path("messages.log")
    env = s.env(extra={"WAYLAND_DISPLAY": "wayland-velkon-test", "VELKON_MESSAGE_LOG": log_path,
                       "QT_QPA_PLATFORM": "offscreen"})
    del env["DISPLAY"]
    proc = start_raw(s, env)
    wait_until("the note in the message log", lambda: read_log(log_path))
    wait_until("the program to answer", lambda: ctl(s, "present")[0] == 0)

    # Said once: a second note could come at any time, so the program is watched for a while.
    def once():
        check(proc.poll() is None, f"the program ended (status {proc.returncode})")
        check(read_log(log_path) == [NEEDS_X11], f"message log: {read_log(log_path)}")
        return True
    vx.holds("one note, the program running", once, 1.0)


def case_velkonctl_no_program(s):
    status, _, err = ctl(s, "present")
    check(status == 2 and "not running" in err, f"without the program: {status} {err!r}")
    status, out, _ = ctl(s, "--help")
    check(status == 0 and "Usage: velkonctl" in out, "no --help")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool", "xclip"),
                          tool_args=("velkonctl",)))
