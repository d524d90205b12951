#!/usr/bin/env python3
"""The program's dialogs worked with the keyboard on a private Xvfb display.

    velkon_dialogs_x11.py --program BIN --screenshot BIN --artifacts DIR CASE

Helpers and the session come from velkon_x11.py. There is no window manager: the keyboard
focus is moved to a window through the window manager before keys are typed.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import APP, SAMPLE, check, frame_title, main_frames, wait_until, write  # noqa: E402

COPY_TITLE = "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ"
SEND_TITLE = "秀Termに送信"


def write_formats(s, formats):
    """Helper formats in the settings file, before the program starts (backslashes as typed)."""
    folder = os.path.join(s.home, "config", "Brambl Free Software")
    os.makedirs(folder, exist_ok=True)
    lines = ["[Helper]"]
    # The settings file escapes a backslash as two.
    lines += [f"Format{i}={f.replace(chr(92), chr(92) * 2)}" for i, f in enumerate(formats)]
    write(os.path.join(folder, "Velkon95.ini"), ("\n".join(lines) + "\n").encode("utf-8"))


def keys(s, wid, *names):
    s.type_keys(wid, *names)


def choose(s, frame, command_key, title, downs):
    """Runs a chooser command from the main window and picks entry `downs` with the keyboard."""
    keys(s, frame, command_key)
    chooser = s.wait_window(title)
    keys(s, chooser, *(["Down"] * downs), "Return")
    wait_until(f'"{title}" closed', lambda: title not in s.windows().values())


def start_program(s, env=None):
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data], env=env)
    # On a load the last record of the file, XYZ00001, is the one selected row.
    return s.wait_window(frame_title("data.lst"))


def clipboard(s):
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=s.env(),
                            capture_output=True, timeout=10)
    return result.stdout if result.returncode == 0 else None


def case_copy_through_chooser(s, artifacts):
    # Ctrl+C opens the chooser; the fifth entry down is the record filled into
    # "TO:%i\r\n", and its escapes reach the clipboard as control characters. The copy holds a
    # registered ID last updated on an earlier day: picked up, it would mark the document
    # modified, and it must not.
    write_formats(s, ["%i", "%h", "%m1", "%m2", "%m3", "TO:%i\\r\\n", "PROF %i"])
    frame = start_program(s)
    choose(s, frame, "ctrl+c", COPY_TITLE, 5)
    # Other programs paste its line end as they know it: LF.
    wait_until("the copy on the clipboard", lambda: clipboard(s) == b"TO:XYZ00001\n")
    time.sleep(1.5)
    check(frame_title("data.lst") in main_frames(s).values(),
          f"the program picked up its own copy: {sorted(main_frames(s).values())}")


def case_ctrl_c_in_chooser(s, artifacts):
    # Ctrl+C inside the chooser's list copies nothing and picks nothing up: the clipboard keeps
    # another program's text and the document stays unmodified. Choosing copies as before.
    write_formats(s, ["%i", "%h", "%m1", "%m2", "%m3", "TO:%i\\r\\n", "PROF %i"])
    frame = start_program(s)
    early = subprocess.Popen(["xclip", "-selection", "clipboard"], stdin=subprocess.PIPE,
                             env=s.env(), preexec_fn=vx._die_with_parent)
    early.communicate(b"nothing to pick up here\n", timeout=10)
    keys(s, frame, "ctrl+c")
    chooser = s.wait_window(COPY_TITLE)
    keys(s, chooser, "Down", "ctrl+c", "ctrl+Insert")
    time.sleep(1.5)
    check(clipboard(s) == b"nothing to pick up here\n", f"the clipboard holds {clipboard(s)!r}")
    check(frame_title("data.lst") in main_frames(s).values(),
          f"the document changed: {sorted(main_frames(s).values())}")
    keys(s, chooser, "Return")
    wait_until("the chosen copy on the clipboard", lambda: clipboard(s) == "山田　太郎".encode())
    time.sleep(1.0)
    check(frame_title("data.lst") in main_frames(s).values(),
          f"the program picked up its own copy: {sorted(main_frames(s).values())}")


def case_copy_in_editor_not_picked_up(s, artifacts):
    # A copy from an edit field is the program's own, whichever window made it: the registered
    # ABC12345 it holds is not picked up (the document would be modified).
    frame = start_program(s)
    title = "XYZ00001 - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集"
    keys(s, frame, "Return")
    editor = s.wait_window(title)
    keys(s, editor, "ctrl+a", "A", "B", "C", "1", "2", "3", "4", "5", "ctrl+a", "ctrl+c")
    wait_until("the field's text on the clipboard", lambda: clipboard(s) == b"ABC12345")
    time.sleep(1.5)
    check(frame_title("data.lst") in main_frames(s).values(),
          f"the program picked up its own copy: {sorted(main_frames(s).values())}")
    keys(s, editor, "Escape")
    wait_until("the editor closed", lambda: title not in s.windows().values())
    check(frame_title("data.lst") in main_frames(s).values(), "the document changed")


def case_enter_opens_editor(s, artifacts):
    # Enter in the list opens an editor on the selected record; typed text and Enter in the
    # editor write it (the document is modified then) and close it. A second Enter opens another.
    frame = start_program(s)
    title = "XYZ00001 - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集"
    keys(s, frame, "Return")
    editor = s.wait_window(title)
    keys(s, editor, "End", "x", "Return")
    s.wait_window("data.lst（更新） - " + APP)
    check(title not in s.windows().values(), "the editor stayed open after Enter")
    keys(s, frame, "Return")
    s.wait_window(title)


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=('Xvfb', 'xdotool', 'xclip'), tool_args=()))
