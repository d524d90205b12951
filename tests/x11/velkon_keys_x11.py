#!/usr/bin/env python3
"""The ID list and the menu bar worked with the keyboard, with the real velkon95 on a private Xvfb
display, one case per run.

    velkon_keys_x11.py --program BIN --screenshot BIN --artifacts DIR CASE

Uses the sessions, waits and checks of velkon_x11.py. Exits 77 (skipped) when Xvfb or xdotool is
missing.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import SAMPLE, frame_title, wait_until, write  # noqa: E402

EDITOR = " - ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集"
ABOUT = "このVelkonについて"
REGIST = "IDの登録"


def keys(s, wid, *names):
    """Keys typed 50 ms apart into the window, which is given the focus first."""
    s.xdotool("windowfocus", "--sync", wid)
    s.xdotool("key", "--delay", "50", *names)


def gone(s, title):
    return title not in s.windows().values()


def editor_on(s, frame, member_id):
    """Enter opens the editor on the one selected record; Esc closes it again. The time the
    editor showed, by when the letters typed before Enter had all arrived."""
    keys(s, frame, "Return")
    editor = s.wait_window(member_id + EDITOR)
    shown = time.monotonic()
    keys(s, editor, "Escape")
    wait_until(f"the editor on {member_id} to close", lambda: gone(s, member_id + EDITOR))
    return shown


# The list takes letters typed within a second of each other for one search; the seconds are
# the X server's, on the keys' own time stamps, so that a busy program does not shorten them.
TYPE_AHEAD_PAUSE = 1.0


def pause_typing(since):
    """A user's pause: the next key comes more than the list's type-ahead second after the last
    letter, which had arrived by `since`. Mostly over by then; a pause in what is typed, not a
    wait for the program."""
    left = since + TYPE_AHEAD_PAUSE + 0.2 - time.monotonic()
    if left > 0:
        time.sleep(left)


def program_windows(s):
    return set(s.search("--onlyvisible", "--class", "velkon95"))


def top_strip(s, frame, png):
    """The pixels of the window's top 24 rows, where its menu bar is."""
    x, y, w, _ = s.client_area(frame)
    shot = vx.read_png(s.shot(png))
    return [bytes(row[x * 3:(x + w) * 3]) for row in shot[2][y:y + 24]]


def case_type_ahead_and_f10(s):
    # Shown sorted by ID: ABC12345, HGF03421, NIF55555, PCV77001, XYZ00001, the last current.
    s.start([write(s.path("data.lst"), SAMPLE)])
    frame = s.wait_window(frame_title("data.lst"))
    keys(s, frame, "n")
    s.shot("velkon95-type-ahead.png")
    typed = editor_on(s, frame, "NIF55555")
    # After a pause a new search; the next letters narrow it.
    pause_typing(typed)
    keys(s, frame, "a", "b", "c")
    typed = editor_on(s, frame, "ABC12345")
    pause_typing(typed)
    keys(s, frame, "p", "c", "v")
    editor_on(s, frame, "PCV77001")

    # F10 marks the first menu's title (the menu bar's pixels change); then the letters of
    # ﾍﾙﾌﾟ(&H) and このVelkonについて(&A).
    before = top_strip(s, frame, "velkon95-before-f10.png")
    keys(s, frame, "F10")
    wait_until("the first menu's title marked after F10",
               lambda: top_strip(s, frame, "velkon95-f10.png") != before, interval=0.3)
    s.xdotool("key", "--delay", "80", "h", "a")
    about = s.wait_window(ABOUT)
    keys(s, about, "Escape")
    wait_until("the About box to close", lambda: gone(s, ABOUT))


def case_register_typed_id(s):
    # Ins opens the registration dialog with the focus in the ID field: the typed ID and Enter
    # register it, and Ctrl+S writes it out with the others.
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data])
    frame = s.wait_window(frame_title("data.lst"))
    s.type_keys(frame, "Insert")
    dialog = s.wait_window(REGIST)
    s.type_keys(dialog, "k", "l", "m", "0", "0", "0", "0", "7", "Return")
    s.wait_window("data.lst（更新） - " + vx.APP)
    s.shot("velkon95-register-typed.png")
    s.type_keys(dialog, "Escape")
    wait_until("the registration dialog to close", lambda: gone(s, REGIST))
    s.type_keys(frame, "ctrl+s")
    wait_until("KLM00007 written", lambda: b"KLM00007" in open(data, "rb").read())


def case_shift_f10_context_menu(s):
    # Shift+F10 opens the list's context menu as the Menu key does; the fourth item down is
    # IDの削除, which takes the selected record (XYZ00001, the last of the file) away.
    data = write(s.path("data.lst"), SAMPLE)
    s.start([data])
    frame = s.wait_window(frame_title("data.lst"))
    before = program_windows(s)
    s.type_keys(frame, "shift+F10")
    wait_until("the context menu after Shift+F10", lambda: program_windows(s) - before)
    s.shot("velkon95-shift-f10.png")
    s.xdotool("key", "--delay", "80", "Down", "Down", "Down", "Down", "Return")
    s.wait_window("data.lst（更新） - " + vx.APP)
    s.type_keys(frame, "ctrl+s")
    wait_until("the file written without XYZ00001",
               lambda: b"XYZ00001" not in open(data, "rb").read()
               and b"ABC12345" in open(data, "rb").read())


def case_context_menu_at_focused_row(s):
    # Shift+F10 and the Menu key open the list's context menu where the keys work: at the
    # focused row inside the list (the window moved away from the screen's corner first), not
    # at the screen's top-left corner.
    s.start([write(s.path("data.lst"), SAMPLE)])
    frame = s.wait_window(frame_title("data.lst"))
    s.xdotool("windowmove", frame, "150", "120")
    wait_until("the window moved", lambda: s.client_area(frame)[0] >= 150)
    cx, cy, cw, ch = s.client_area(frame)
    for key in ("shift+F10", "Menu"):
        before = program_windows(s)
        s.type_keys(frame, key)
        menu = wait_until(f"the context menu after {key}",
                          lambda: next(iter(program_windows(s) - before), None))
        x, y, _, _ = s.client_area(menu)
        s.shot(f"velkon95-context-menu-{key.replace('+', '-')}.png")
        # Below the menu bar, inside the window's contents.
        vx.check(cx <= x < cx + cw and cy + 24 <= y < cy + ch,
                 f"{key}: the menu opened at ({x}, {y}), outside the list "
                 f"({cx}, {cy}, {cw}x{ch})")
        s.xdotool("key", "Escape")
        wait_until("the context menu to close", lambda: menu not in program_windows(s))


def case_keyboard_back_after_dialogs_and_menus(s):
    # The list has the keyboard again after each of: the About box from the menu bar (F10 and
    # its letters), the registration dialog (Ins), the context menu (Shift+F10), a menu opened
    # from the bar and left with Esc twice. Each time Home and Enter open the editor on the
    # first row, then End and Enter on the last.
    s.start([write(s.path("data.lst"), SAMPLE)])
    frame = s.wait_window(frame_title("data.lst"))

    def list_has_keyboard(row_key, member_id):
        wait_until("the main window active again", lambda: s.focus() == frame)
        s.xdotool("key", "--delay", "80", row_key, "Return")
        editor = s.wait_window(member_id + EDITOR)
        s.type_keys(editor, "Escape")
        wait_until(f"the editor on {member_id} to close", lambda: gone(s, member_id + EDITOR))

    s.type_keys(frame, "F10", "h", "a", delay=80)
    about = s.wait_window(ABOUT)
    s.type_keys(about, "Escape")
    wait_until("the About box to close", lambda: gone(s, ABOUT))
    list_has_keyboard("Home", "ABC12345")

    s.type_keys(frame, "Insert")
    regist = s.wait_window(REGIST)
    s.type_keys(regist, "Escape")
    wait_until("the registration dialog to close", lambda: gone(s, REGIST))
    list_has_keyboard("End", "XYZ00001")

    for opening in (("shift+F10",), ("F10", "Down")):
        before = program_windows(s)
        s.type_keys(frame, *opening, delay=80)
        menu = wait_until("a menu open", lambda: next(iter(program_windows(s) - before), None))
        s.xdotool("key", "--delay", "80", *(["Escape"] * len(opening)))
        wait_until("the menu to close", lambda: menu not in program_windows(s))
        list_has_keyboard("Home", "ABC12345")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool"), tool_args=()))
