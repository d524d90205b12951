#!/usr/bin/env python3
"""Files, paths and endings with the real program on a private Xvfb display.

    velkon_files_x11.py --program BIN --screenshot BIN --velkonctl BIN --artifacts DIR CASE

Helpers and the session come from velkon_x11.py; changes are made through velkonctl, saves
with Ctrl+S. The save soak kills saves at random moments: save_soak 10 saves of 300,000 records,
for every test run; save_soak_full 20 of a million, on its own (scripts/soak).
VELKON_SOAK_KILLS sets how many saves either kills, VELKON_SOAK_SEED the moments (the seed is
printed).
"""

import os
import random
import signal
import stat
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import (APP, SAMPLE, check, ctl, frame_title, main_frames,  # noqa: E402
                        wait_until, write)

NOT_A_FILE = "通常のﾌｧｲﾙではありません。"
NOT_FOUND = "ﾌｧｲﾙが見つかりません。"
KEPT_CHANGES = "前回の終了時に保存されなかった変更が残っています。"


def settings_path(s):
    return os.path.join(s.home, "config", "Brambl Free Software", "Velkon95.ini")


def write_settings(s, text):
    os.makedirs(os.path.dirname(settings_path(s)), exist_ok=True)
    with open(settings_path(s), "w", encoding="utf-8") as f:
        f.write(text)


def read_settings(s):
    with open(settings_path(s), encoding="utf-8") as f:
        return f.read()


def read(path):
    with open(path, "rb") as f:
        return f.read()


def logged(log_path):
    if not os.path.exists(log_path):
        return ""
    with open(log_path, encoding="utf-8") as f:
        return f.read()


def keys(s, wid, *names):
    s.type_keys(wid, *names)


def register(s, member_id):
    status, _, err = ctl(s, "register", member_id)
    check(status == 0, f"register {member_id}: {status} {err}")


def save(s, wid, name):
    """Ctrl+S in the main window, and the title without its modified mark afterwards."""
    modified = f"{name}（更新） - {APP}"
    wait_until("the title marked modified", lambda: modified in main_frames(s).values())
    keys(s, wid, "ctrl+s")
    wait_until("the saved title", lambda: frame_title(name) in main_frames(s).values(),
               timeout=max(vx.BASE_TIMEOUT, 120))


def ended(s, proc, what):
    status = s.wait_exit(proc)
    check(status == 0, f"{what}: the program ended with status {status}")


def temps(folder):
    return sorted(n for n in os.listdir(folder) if n.endswith(".tmp"))


# ---------------------------------------------------------------------------------------------
# Cases


def case_paths_outside_cp932(s):
    # A folder and a file whose names CP932 cannot spell: id.lst beside the program is found,
    # a relative name on the command line opens, saves with its backup, and goes on the
    # recent-file list as the one full path.
    folder = "josé-データ①😀"
    program = vx.install_copy(s, folder, SAMPLE)
    elsewhere = s.path("elsewhere")
    os.mkdir(elsewhere)
    proc = s.start([], program=program, cwd=elsewhere)
    s.wait_window(frame_title("id.lst"))
    proc.terminate()
    ended(s, proc, "SIGTERM")

    name = "データ①😀.lst"
    data = write(s.path(name), SAMPLE)
    proc = s.start([name], cwd=s.dir)
    shown = name  # whole in the title, although CP932 has no emoji
    wid = s.wait_window(frame_title(shown))
    register(s, "NEW00001")
    save(s, wid, shown)
    check(b"NEW00001\t" in read(data), "the new record is not in the file")
    check(read(s.path("データ①😀.bak")) == SAMPLE, "the backup is not the previous file")
    proc.terminate()
    ended(s, proc, "SIGTERM")
    check(f"File1={os.path.realpath(data)}\n" in read_settings(s),
          f"recent files: {read_settings(s)!r}")


def case_no_file_blocks_or_outlives_a_signal(s):
    # A FIFO is refused at once (opening it would wait for a writer); an end signal while the
    # report shows ends the program cleanly. The same for a missing file and SIGHUP.
    for target, reason, sig in ((s.path("fifo.lst"), NOT_A_FILE, signal.SIGTERM),
                                (s.path("missing.lst"), NOT_FOUND, signal.SIGHUP)):
        if target.endswith("fifo.lst"):
            os.mkfifo(target)
        log_path = s.path(f"messages-{sig}.log")
        proc = s.start([target], env={"VELKON_MESSAGE_LOG": log_path})
        text = wait_until("the report", lambda: logged(log_path), timeout=5)
        check(text.splitlines()[2:] == [target, reason], f"message log: {text!r}")
        s.wait_window(APP)
        proc.send_signal(sig)
        ended(s, proc, f"signal {sig} while the report showed")
        check(not main_frames(s), f"main windows: {main_frames(s)}")


def case_resident_end_signal_keeps_changes(s):
    # Resident and hidden, an end signal still ends the program: the settings are written, and
    # without auto-save the changes wait beside the file; the next start offers them.
    write_settings(s, "[Execute%20Option]\nResident=1\n")
    data = write(s.path("data.lst"), SAMPLE)
    socket_path = os.path.join(s.runtime, "velkon95", "VelkonFrameClass.sock")
    proc = s.start([data])
    wait_until("the program's API", lambda: ctl(s, "present")[0] == 0)
    register(s, "NEW00001")
    proc.terminate()
    ended(s, proc, "SIGTERM in resident mode")
    check(not os.path.exists(socket_path), "the socket was left behind")
    check(read(data) == SAMPLE, "the file changed without a save")
    check(b"NEW00001\t" in read(data + ".recovery"), "the changes were not kept")
    settings = read_settings(s)
    check("Resident=1" in settings and "File1=" in settings, f"settings: {settings!r}")

    log_path = s.path("messages.log")
    write_settings(s, settings.replace("Resident=1", "Resident=0"))
    proc = s.start([data], env={"VELKON_MESSAGE_LOG": log_path})
    wait_until("the offer of the kept changes", lambda: KEPT_CHANGES in logged(log_path))
    box = s.wait_window(APP)
    keys(s, box, "Return")  # Yes
    s.wait_window(f"data.lst（更新） - {APP}")
    check(ctl(s, "exists", "NEW00001")[0] == 0, "the kept record did not come back")
    check(not os.path.exists(data + ".recovery"), "the recovery file stayed")


def case_paths_whole_in_messages(s):
    # A file whose name CP932 cannot spell is named whole in the title bar, in the offer of the
    # changes an end signal kept, and in the question before a close throws changes away.
    name = "josé-한-😀.lst"
    data = write(s.path(name), SAMPLE)
    log_path = s.path("messages.log")
    proc = s.start([data], env={"VELKON_MESSAGE_LOG": log_path})
    s.wait_window(frame_title(name))
    register(s, "NEW00001")
    wait_until("the title marked modified",
               lambda: f"{name}（更新） - {APP}" in main_frames(s).values())
    proc.terminate()
    ended(s, proc, "SIGTERM with changes")
    check(os.path.exists(data + ".recovery"), "the changes were not kept")
    check(f"{name}.recovery" in logged(log_path), f"log: {logged(log_path)!r}")

    proc = s.start([data], env={"VELKON_MESSAGE_LOG": log_path})
    wait_until("the offer of the kept changes", lambda: KEPT_CHANGES in logged(log_path))
    offer = logged(log_path).split(KEPT_CHANGES, 1)[1]
    check(f"\n{data}\n" in offer, f"the offer does not name the file whole: {offer!r}")
    check("?" not in offer.split("\n")[1], f"the offer's path: {offer!r}")
    box = s.wait_window(APP)
    keys(s, box, "Return")  # Yes
    wid = s.wait_window(f"{name}（更新） - {APP}")
    for _ in range(4):  # Alt+F4 is the window manager's key: see two_signals_one_question
        keys(s, wid, "alt+F4")
        try:
            wait_until("the save question", lambda: "は更新されています" in logged(log_path),
                       timeout=5)
            break
        except vx.Failure:
            pass
    check(f"{name} は更新されています" in logged(log_path), f"log: {logged(log_path)!r}")
    proc.terminate()
    ended(s, proc, "SIGTERM during the question")


def case_auto_save_at_end_signal(s):
    write_settings(s, "[Execute%20Option]\nResident=1\n[Save%20Option]\nAuto%20Save=1\n")
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data])
    wait_until("the program's API", lambda: ctl(s, "present")[0] == 0)
    register(s, "NEW00001")
    proc.send_signal(signal.SIGHUP)
    ended(s, proc, "SIGHUP with auto-save")
    check(b"NEW00001\t" in read(data), "auto-save did not save")
    check(read(s.path("data.bak")) == SAMPLE, "the backup is not the previous file")
    check(not os.path.exists(data + ".recovery"), "a recovery file next to a saved file")


def case_two_signals_one_question(s):
    # The save question of a close is showing when two end signals come: no second question.
    log_path = s.path("messages.log")
    data = write(s.path("data.lst"), SAMPLE)
    proc = s.start([data], env={"VELKON_MESSAGE_LOG": log_path})
    wid = s.wait_window(frame_title("data.lst"))
    register(s, "NEW00001")
    wait_until("the title marked modified",
               lambda: f"data.lst（更新） - {APP}" in main_frames(s).values())
    # Alt+F4 is the window manager's key; under load it now and then acts before the window
    # manager has taken the window for the focused one, so it is pressed again until it closes.
    for _ in range(4):
        keys(s, wid, "alt+F4")
        try:
            wait_until("the save question", lambda: "は更新されています" in logged(log_path),
                       timeout=5)
            break
        except vx.Failure:
            pass
    check("は更新されています" in logged(log_path), "no save question after Alt+F4")
    proc.terminate()
    proc.terminate()
    ended(s, proc, "two SIGTERMs during the question")
    check(logged(log_path).count("は更新されています") == 1, f"log: {logged(log_path)!r}")
    check(b"NEW00001\t" in read(data + ".recovery"), "the changes were not kept")


def case_saved_through_a_link(s):
    os.mkdir(s.path("real"))
    real = write(s.path("real", "data.lst"), SAMPLE)
    link = s.path("data.lst")
    os.symlink("real/data.lst", link)
    proc = s.start([link])
    wid = s.wait_window(frame_title("data.lst"))
    register(s, "NEW00001")
    save(s, wid, "data.lst")
    check(os.path.islink(link), "the link was replaced by a file")
    check(b"NEW00001\t" in read(real), "the file the link names was not written")
    check(stat.S_ISREG(os.lstat(s.path("data.bak")).st_mode), "the backup is not a file")
    check(read(s.path("data.bak")) == SAMPLE, "the backup is not the previous file")
    check(not temps(s.path("real")), f"left behind: {temps(s.path('real'))}")
    proc.terminate()
    ended(s, proc, "SIGTERM")


def case_dashes_end_the_options(s):
    # After "--" the next argument is the file, whatever its name: "-x.lst" and "--help" open
    # as data files rather than being taken for options (or ignored for a new, empty list).
    for name in ("-x.lst", "--help"):
        write(s.path(name), SAMPLE)
        proc = s.start(["--", name], cwd=s.dir)
        s.wait_window(frame_title(name))
        status, out, err = ctl(s, "get-handle", "XYZ00001")
        check(status == 0 and out == "山田　太郎\n", f"{name}: {status} {out!r} {err!r}")
        proc.terminate()
        ended(s, proc, "SIGTERM")


def soak_records(n):
    """n records exactly as the program writes them, so that a save reproduces their bytes."""
    lines = []
    for i in range(n):
        lines.append(f"ABC{i % 100000:05d}\tH{i}\t\t\t\t\t\tm6\t{i % 9999}\t1997/05/03\t"
                     f"1998/01/15\r\n")
    return "".join(lines).encode("ascii")


def save_soak(s, records, kills):
    # Killed at random moments during the save of many records, the program leaves the data
    # file either as it was or as saved, the backup that goes with it, and the next save
    # removes the temporary files the kills left. About what is left on disk, not memory
    # errors: the sanitizer build, many times slower at it, leaves the soak out.
    if vx.sanitized(s.program):
        raise vx.Skipped("the soak is left to the build without sanitizers")
    kills = int(os.environ.get("VELKON_SOAK_KILLS", str(kills)))
    seed = int(os.environ.get("VELKON_SOAK_SEED", str(time.time_ns())))
    print(f"{records} records, {kills} kills, VELKON_SOAK_SEED={seed}")
    data = write(s.path("data.lst"), soak_records(records))
    bak = s.path("data.bak")
    rng = random.Random(seed)
    today = time.strftime("%Y/%m/%d")
    # A large file takes long to load and save on a busy machine.
    slow = max(vx.BASE_TIMEOUT, 120)

    def save_begun(wid):
        """Ctrl+S, and the temporary file of the save it began. The directory is watched (each
        ms) from before the key is pressed: a small file's save may be over before xdotool is."""
        known = set(temps(s.dir))
        s.activate(wid)
        press = threading.Thread(target=lambda: s.xdotool("key", "ctrl+s"), daemon=True)
        press.start()

        def found():
            fresh = [n for n in temps(s.dir) if n.startswith("data.lst.") and n not in known]
            return fresh[0] if fresh else None
        try:
            return wait_until("the save to begin", found, interval=0.001)
        finally:
            press.join(vx.TIMEOUT)

    def run_save(member_id, kill_after=None):
        """One start, one registration, one save; killed kill_after seconds after the save began
        writing its temporary file. Without a kill: the seconds from that file's appearance to
        its rename, and to the title that shows the save done."""
        proc = s.start([data])
        wid = s.wait_window(frame_title("data.lst"), timeout=slow)
        register(s, member_id)
        wait_until("the title marked modified",
                   lambda: f"data.lst（更新） - {APP}" in main_frames(s).values())
        before = read(data)
        temp = save_begun(wid)
        began = time.monotonic()
        if kill_after is None:
            wait_until("the save's rename", lambda: temp not in temps(s.dir), interval=0.001,
                       timeout=slow)
            renamed = time.monotonic() - began
            wait_until("the saved title", lambda: frame_title("data.lst") in
                       main_frames(s).values(), interval=0.001, timeout=slow)
            done = time.monotonic() - began
            proc.terminate()
            ended(s, proc, "SIGTERM after a save")
            return before, (renamed, done)
        # The moment of the kill, drawn at random: what is tested, not a wait for something.
        time.sleep(kill_after)
        proc.kill()
        proc.wait(vx.TIMEOUT)
        wait_until("the killed window to go", lambda: not main_frames(s))
        return before, None

    def new_line(member_id):
        return f"{member_id}\t\t\t\t\t\t\t\t1\t{today}\t{today}\r\n".encode("ascii")

    # A save that runs to its end tells how long one takes.
    old_bak = None
    before, (renamed, duration) = run_save("SOK00000")
    check(read(data) == before + new_line("SOK00000"), "a full save wrote something else")
    check(read(bak) == before, "the backup after a full save")
    print(f"a save of {records} records: {renamed:.3f} s from its temporary file's creation "
          f"to its rename, {duration:.3f} s to the title that shows it done")

    outcomes = {"old": 0, "new": 0}
    for k in range(1, kills + 1):
        member_id = f"SOK{k:05d}"
        old_bak = read(bak)
        delay = rng.uniform(0, duration)
        before, _ = run_save(member_id, kill_after=delay)
        after = read(data)
        if after == before:
            outcomes["old"] += 1
            # The backup step may have run before the kill: it then holds the same file.
            check(read(bak) in (old_bak, before), f"kill {k}: the backup is neither")
        else:
            check(after == before + new_line(member_id),
                  f"kill {k} after {delay:.2f} s: the data file is neither old nor new whole")
            outcomes["new"] += 1
            check(read(bak) == before, f"kill {k}: the backup is not the previous file")
            # A save that got this far has removed what earlier kills left, and its own.
            check(not temps(s.dir), f"kill {k}: a finished save left {temps(s.dir)}")
        print(f"kill {k} after {delay:.3f} s: {'old' if after == before else 'new'} file, "
              f"left {temps(s.dir)}")

    before, _ = run_save("SOK99999")
    check(read(data) == before + new_line("SOK99999"), "the last save wrote something else")
    check(read(bak) == before, "the backup after the last save")
    check(not temps(s.dir), f"the last save left temporary files: {temps(s.dir)}")
    print(f"outcomes of {kills} kills: {outcomes}")


def case_save_soak(s):
    save_soak(s, 300_000, 10)


def case_save_soak_full(s):
    save_soak(s, 1_000_000, 20)


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


if __name__ == "__main__":
    sys.exit(vx.run_cases(__doc__, CASES, tools=("Xvfb", "xdotool"), tool_args=("velkonctl",)))
