#!/usr/bin/env python3
"""The terminal bridge velkon-term with the real program on a private Xvfb display.

    velkon_term_x11.py --program BIN --screenshot BIN --term BIN --artifacts DIR CASE

velkon-term runs here with its input and output on pipes (no terminal emulator is needed: it
makes the session's pseudo-terminal itself). Helpers and the session come from velkon_x11.py.
"""

import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_dialogs_x11 as dx  # noqa: E402
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import APP, SAMPLE, check, frame_title, main_frames, wait_until, write  # noqa: E402


class Term:
    """velkon-term running COMMAND, its input a pipe kept open, its output collected."""

    def __init__(self, s, term, args):
        self.log_path = s.path(f"term-{len(s.procs) + 1}.log")
        log = open(self.log_path, "wb")
        self.proc = subprocess.Popen([term, *args], cwd=s.dir, env=s.env(),
                                     stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT,
                                     preexec_fn=vx._die_with_parent)
        log.close()
        s.procs.append((self.proc, self.log_path))
        print(f"started velkon-term {' '.join(args)} (pid {self.proc.pid})")

    def output(self):
        with open(self.log_path, "rb") as f:
            return f.read()

    def type(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()


FORUM_LOG = ("#  12/03 21:15  ABC12345 青い空\r\n"
             "本文です。よろしく。\r\n"
             "#  12/03 21:40  QRS24680 新しい人\r\n")


def start_program(s):
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    s.wait_window(frame_title("data.lst"))
    return proc


def case_term_pickup(s):
    # A command in the session prints a forum log (UTF-8, as the session speaks) again and
    # again; once the program has attached itself, the log reaches it converted to CP932 and
    # the registered ABC12345, last updated on an earlier day, has its update raised: the
    # document is modified ("（更新）" in the title). The log is coloured and sets the window's
    # title, as a forum program's would: the program gets the text without the sequences.
    log = FORUM_LOG.replace("ABC12345", "\x1b[1;33mABC12345\x1b[0m\x1b]0;forum\x07")
    write(s.path("forum.log"), log.encode("utf-8"))
    term = Term(s, s.term, ["--", "sh", "-c", "while :; do cat forum.log; sleep 0.5; done"])
    wait_until("the log in velkon-term's output", lambda: "ABC12345" in term.output().decode(
        "utf-8", "replace"))
    start_program(s)
    s.wait_window("data.lst（更新） - " + APP)
    # Output passes through unchanged: still UTF-8 on velkon-term's side, sequences and all.
    check("\x1b]0;forum\x07 青い空".encode("utf-8") in term.output(),
          "the session's output was changed")


def case_term_lf_lines(s):
    # A session whose terminal does not turn LF into CR LF (as in raw mode) ends its lines with
    # LF alone: they are lines all the same, and the registered ABC12345 is picked up.
    log = "#  12/03 21:15  QRS24680 通りすがり\n#  12/03 21:40  ABC12345 青い空\n"
    write(s.path("forum.log"), log.encode("utf-8"))
    term = Term(s, s.term, ["--", "sh", "-c",
                            "stty -onlcr; while :; do cat forum.log; sleep 0.5; done"])
    wait_until("the log in velkon-term's output", lambda: b"ABC12345 " in term.output())
    check(b"\r\n" not in term.output(), "the session's lines end in CR LF after all")
    start_program(s)
    s.wait_window("data.lst（更新） - " + APP)


def case_term_send(s):
    # The send command, run from the keyboard through the chooser, types the selected record
    # into the session, where cat echoes it; the echo comes back to the program as received
    # text and is picked up like any other.
    term = Term(s, s.term, ["--", "cat"])
    # The first format ends its line with the Enter key's carriage return, so cat gets the line.
    dx.write_formats(s, ["%i %h\\r"])
    frame = dx.start_program(s)  # XYZ00001, 山田　太郎, selected
    sent = "XYZ00001 山田　太郎"
    modified = "data.lst（更新） - " + APP

    def send():
        dx.choose(s, frame, "ctrl+h", dx.SEND_TITLE, 0)
    # The send needs the terminal's window, which the program finds once it is up.
    wait_until("the sent text in the session", lambda: send() or term.output().count(
        sent.encode("utf-8")) >= 2, interval=0.5)  # the echo and cat's copy

    def picked_up():
        # The echo reaches the program only once its poll has attached it to velkon-term (the
        # send itself needs no attachment), so the text is sent again until it has.
        if modified in main_frames(s).values():
            return True
        send()
        return modified in main_frames(s).values()
    wait_until("the echo picked up", picked_up, interval=0.5)
    # Typed input still reaches the session too.
    term.type(b"typed by hand\n")
    wait_until("typed input echoed", lambda: term.output().count(b"typed by hand") >= 2)


def case_term_exit_status(s):
    # The command's end ends velkon-term with its status; the program, attached to it (the log
    # the command prints is picked up), notices the terminal is gone and goes on running.
    write(s.path("forum.log"), FORUM_LOG.encode("utf-8"))
    proc = start_program(s)
    term = Term(s, s.term, ["--", "sh", "-c",
                            "while [ ! -e stop ]; do cat forum.log; sleep 0.5; done; exit 7"])
    s.wait_window("data.lst（更新） - " + APP)
    write(s.path("stop"), b"")
    check(s.wait_exit(term.proc) == 7, f"exit status {term.proc.returncode}, not 7")

    # The program looks for its terminal once a second: a fault there would end it within a
    # few looks, and nothing shows that it will not, so it is watched for that long.
    def running():
        check(proc.poll() is None, f"the program ended (status {proc.returncode})")
        check(main_frames(s), "the program's window went")
        return True
    vx.holds("the program running after its terminal ended", running, 3.0)
    term = Term(s, s.term, ["--", "sh", "-c", "kill -TERM $$"])
    check(s.wait_exit(term.proc) == 128 + signal.SIGTERM, f"exit status {term.proc.returncode}")
    help_text = s.run([s.term, "--help"]).stdout
    check(b"Usage: velkon-term" in help_text, "no --help")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool"), tool_args=("term",)))
