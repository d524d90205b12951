#!/usr/bin/env python3
"""The program's dialogs worked with the keyboard on a private Xvfb display.

    velkon_dialogs_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Helpers and the session come from velkon_x11.py. The keyboard focus is moved to a window through
the window manager before keys are typed.

That the program leaves its own copies alone shows once it has picked up another program's copy
that came after: it hears of the changes of the clipboard in their order.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import (APP, SAMPLE, check, copy, frame_title, main_frames, picked,  # noqa: E402
                        wait_until, write)

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
    result = s.run(["xclip", "-o", "-selection", "clipboard"])
    return result.stdout if result.returncode == 0 else None


# Registered in no data file here: picked up, it goes to the pickup list and leaves the
# document as it was.
NEWCOMER = "QRS24680"


def own_copy_left_alone(s, member_id):
    """The program has not picked up its own copy, which holds the registered member_id: a
    later copy of another program's is picked up, and by then the document is still unmodified
    and member_id not in the pickup list."""
    copy(s, f"Forum: {NEWCOMER} 通りすがり\r\n".encode())
    wait_until("another program's copy picked up", lambda: picked(s, NEWCOMER))
    check(frame_title("data.lst") in main_frames(s).values(),
          f"the program picked up its own copy: {sorted(main_frames(s).values())}")
    check(not picked(s, member_id), f"its own copy's {member_id} is in the pickup list")


def case_copy_through_chooser(s):
    # Ctrl+C opens the chooser; the fifth entry down is the record filled into
    # "TO:%i\r\n", and its escapes reach the clipboard as control characters. The copy holds a
    # registered ID last updated on an earlier day: picked up, it would mark the document
    # modified, and it must not.
    write_formats(s, ["%i", "%h", "%m1", "%m2", "%m3", "TO:%i\\r\\n", "PROF %i"])
    frame = start_program(s)
    choose(s, frame, "ctrl+c", COPY_TITLE, 5)
    # Other programs paste its line end as they know it: LF.
    wait_until("the copy on the clipboard", lambda: clipboard(s) == b"TO:XYZ00001\n")
    own_copy_left_alone(s, "XYZ00001")


def case_ctrl_c_in_chooser(s):
    # Ctrl+C inside the chooser's list copies nothing and picks nothing up: the clipboard keeps
    # another program's text and the document stays unmodified. Choosing copies as before.
    write_formats(s, ["%i", "%h", "%m1", "%m2", "%m3", "TO:%i\\r\\n", "PROF %i"])
    frame = start_program(s)
    copy(s, b"nothing to pick up here\n")
    keys(s, frame, "ctrl+c")
    chooser = s.wait_window(COPY_TITLE)
    keys(s, chooser, "Down", "ctrl+c", "ctrl+Insert")

    # A copy would come at once, but nothing shows that it will not: watched for a while.
    def kept():
        check(clipboard(s) == b"nothing to pick up here\n", f"the clipboard holds {clipboard(s)!r}")
        check(frame_title("data.lst") in main_frames(s).values(),
              f"the document changed: {sorted(main_frames(s).values())}")
        return True
    vx.holds("the clipboard kept and the document unchanged", kept, 1.5)
    keys(s, chooser, "Return")
    wait_until("the chosen copy on the clipboard", lambda: clipboard(s) == "山田　太郎".encode())
    own_copy_left_alone(s, "XYZ00001")


def case_copy_in_editor_not_picked_up(s):
    # A copy from an edit field is the program's own, whichever window made it: the registered
    # ABC12345 it holds is not picked up (the document would be modified).
    frame = start_program(s)
    title = "XYZ00001 - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集"
    keys(s, frame, "Return")
    editor = s.wait_window(title)
    keys(s, editor, "ctrl+a", "A", "B", "C", "1", "2", "3", "4", "5", "ctrl+a", "ctrl+c")
    wait_until("the field's text on the clipboard", lambda: clipboard(s) == b"ABC12345")
    own_copy_left_alone(s, "ABC12345")
    keys(s, editor, "Escape")
    wait_until("the editor closed", lambda: title not in s.windows().values())
    check(frame_title("data.lst") in main_frames(s).values(), "the document changed")


def case_enter_opens_editor(s):
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
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool", "xclip"),
                          tool_args=("velkonctl",)))
