#!/usr/bin/env python3
"""The options sheet with the real velkon95 on a private Xvfb display, one case per run.

    velkon_options_x11.py --program BIN --screenshot BIN --artifacts DIR CASE

Uses the sessions, waits and checks of velkon_x11.py. Exits 77 (skipped) when Xvfb, xdotool or
trayer is missing.
"""

import sys

import velkon_x11 as vx

SHEET = "ｵﾌﾟｼｮﾝ"


def press(s, wid, *keys):
    """Keys to the window, which is made the active one first."""
    s.activate(wid)
    for key in keys:
        s.xdotool("key", "--delay", "80", key)


def gone(s, title):
    return not any(t == title for t in s.windows().values())


def case_new_hot_key(s):
    vx.start_resident(s, hot_key=0x0600 | 0x4B)  # Ctrl+Alt+K
    vx.tray_icon(s)
    vx.stays_hidden(s)
    s.xdotool("key", "ctrl+alt+k")
    frame = vx.wait_until("a main window after Ctrl+Alt+K", lambda: vx.main_frames(s))
    frame = next(iter(frame))

    # 設定(S) -> ｵﾌﾟｼｮﾝ(O): the sheet opens on its first page, the focus on its first control.
    press(s, frame, "alt+s", "o")
    sheet = s.wait_window(SHEET)
    s.shot("velkon95-options.png")
    # Tab to the hot-key control, the new combination, Enter for OK.
    press(s, sheet, "Tab", "ctrl+shift+j", "Return")
    vx.wait_until("the sheet to close", lambda: gone(s, SHEET))

    # Closing the window puts it back in the tray.
    press(s, frame, "alt+f", "x")
    vx.wait_until("the window to hide", lambda: not vx.main_frames(s))
    s.xdotool("key", "ctrl+alt+k")
    vx.stays_hidden(s, 1.5, "after the old Ctrl+Alt+K")
    s.xdotool("key", "ctrl+shift+j")
    vx.wait_until("a main window after the new Ctrl+Shift+J", lambda: vx.main_frames(s))


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool", "trayer")))
