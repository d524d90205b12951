#!/usr/bin/env python3
"""The help of the real velkon95 on a private Xvfb display, one case per run.

    velkon_help_x11.py --program BIN --screenshot BIN --artifacts DIR CASE

Uses the sessions, waits and checks of velkon_x11.py. The help window is found by its title, the
topic's title followed by " - Velkon95 ﾍﾙﾌﾟ". Every message box text goes to a log, which must
stay empty: no help request may end in "ﾍﾙﾌﾟの起動に失敗しました。".
"""

import os
import sys

import velkon_x11 as vx
from velkon_x11 import SAMPLE, frame_title, wait_until, write

HELP = " - Velkon95 ﾍﾙﾌﾟ"


def keys(s, wid, *names):
    s.type_keys(wid, *names, delay=80)


def start(s):
    log = s.path("messages.log")
    s.start([write(s.path("data.lst"), SAMPLE)], env={"VELKON_MESSAGE_LOG": log})
    return s.wait_window(frame_title("data.lst")), log


def no_messages(log):
    text = open(log, encoding="utf-8").read() if os.path.exists(log) else ""
    vx.check(not text, f"message boxes came up: {text!r}")


def case_help_f1_and_help_mode(s):
    # F1 in the main window shows its topic; Shift+F1 and a click on the list shows the list's.
    frame, log = start(s)
    keys(s, frame, "F1")
    help_window = s.wait_window("メインウィンドウ" + HELP)
    s.shot("velkon95-help.png")

    keys(s, frame, "shift+F1")
    x, y, w, h = s.geometry(frame)
    s.xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1")
    wait_until("the list's topic", lambda: s.windows().get(help_window) == "ID一覧" + HELP)
    no_messages(log)


def case_help_closed_gives_keyboard_back(s):
    # F10, Down to the first menu's first item and F1 show that item's topic. Once the help
    # window closes (by the window manager, then by Esc), the list has the keyboard again:
    # a letter finds its ID, or Home goes to the first row, and Enter opens the editor on it.
    frame, log = start(s)
    for close, key, member_id in (("alt+F4", "n", "NIF55555"), ("Escape", "Home", "ABC12345")):
        keys(s, frame, "F10", "Down", "F1")
        help_window = wait_until(
            "the help window", lambda: next((w for w, t in s.windows().items()
                                             if t.endswith(HELP)), None))
        keys(s, help_window, close)
        wait_until(f"the help window closed by {close}", lambda: help_window not in s.windows())
        wait_until("the main window active again", lambda: s.focus() == frame)
        s.xdotool("key", "--delay", "80", key, "Return")
        editor = s.wait_window(member_id + " - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集")
        keys(s, editor, "Escape")
        wait_until("the editor closed", lambda: editor not in s.windows())
    no_messages(log)


def case_help_dialog_button(s):
    # The About box's ﾍﾙﾌﾟ button (Tab from OK, then Space) and F1 in the options sheet. The help
    # window takes keys while the modal box is open: its search finds and opens another topic.
    frame, log = start(s)
    keys(s, frame, "alt+h", "a")
    about = s.wait_window("このVelkonについて")
    keys(s, about, "Tab", "space")
    help_window = s.wait_window("「このVelkonについて」ダイアログボックス" + HELP)
    keys(s, help_window, "alt+s")
    s.xdotool("type", "--delay", "30", "HideTermFrameClass")
    s.xdotool("key", "Return")
    wait_until("the topic found", lambda: s.windows().get(help_window) == "velkon-term コマンド" + HELP)
    keys(s, about, "Escape")
    wait_until("the About box to close", lambda: about not in s.windows())

    keys(s, frame, "alt+s", "o")
    sheet = s.wait_window("ｵﾌﾟｼｮﾝ")
    keys(s, sheet, "F1")
    s.wait_window("「動作環境」ページ" + HELP)
    no_messages(log)


def case_help_window_placement(s):
    # The help window comes back where it was and as large, after a close and after a restart.
    frame, log = start(s)
    keys(s, frame, "F1")
    title = "メインウィンドウ" + HELP
    help_window = s.wait_window(title)
    s.xdotool("windowsize", "--sync", help_window, "600", "420")
    s.xdotool("windowmove", "--sync", help_window, "150", "120")
    placed = wait_until("the help window placed", lambda: s.geometry(help_window)[2] == 600
                        and s.geometry(help_window))
    keys(s, help_window, "alt+F4")
    wait_until("the help window to close", lambda: help_window not in s.windows())

    keys(s, frame, "F1")
    again = s.wait_window(title)
    vx.check(s.geometry(again) == placed,
             f"reopened at {s.geometry(again)}, closed at {placed}")

    keys(s, frame, "alt+f", "x")
    wait_until("the program to end", lambda: not vx.main_frames(s))
    frame, log = start(s)
    keys(s, frame, "F1")
    restarted = s.wait_window(title)
    vx.check(s.geometry(restarted) == placed,
             f"after a restart at {s.geometry(restarted)}, closed at {placed}")
    no_messages(log)


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=('Xvfb', 'xdotool'), tool_args=()))
