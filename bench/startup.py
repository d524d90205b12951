#!/usr/bin/env python3
"""Startup time of velkon95: from exec to its first painted frame, on a private Xvfb display.

    startup.py PROGRAM FILE.lst [RUNS]

The program reports the moment of its first frame when VELKON_REPORT_FIRST_PAINT is set
("first-paint <CLOCK_MONOTONIC ns>" on stderr); the moment of exec is taken in the child just
before it execs, on the same clock. One start that is not counted fills the caches (fonts,
pages of the binary and of Qt), as on any desktop where the program has run before.
"""

import os
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TIMEOUT = 20.0


def read_until(fd, predicate, what, timeout=TIMEOUT):
    """Reads fd until predicate(buffer) holds; gives up after timeout or at end of file."""
    data = b""
    deadline = time.monotonic() + timeout
    while not predicate(data):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise SystemExit(f"timed out waiting for {what}; got {data!r}")
        chunk = os.read(fd, 4096)
        if not chunk:
            raise SystemExit(f"no {what}: the stream ended; got {data!r}")
        data += chunk
    return data


def stop(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(5)


def start_xvfb(log_path):
    read_end, write_end = os.pipe()
    with open(log_path, "wb") as log:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                                 "-noreset", "-screen", "0", "1024x768x24"],
                                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                pass_fds=(write_end,))
    os.close(write_end)
    try:
        number = read_until(read_end, lambda d: d.endswith(b"\n"), "Xvfb's display number")
    except SystemExit:
        stop(xvfb)
        raise
    finally:
        os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def one_start(program, data_file, env, work, run):
    runtime = os.path.join(work, f"runtime-{run}")  # no socket of an earlier run in the way
    os.mkdir(runtime, 0o700)
    stamp_read, stamp_write = os.pipe()

    def stamp_then_exec():
        os.write(stamp_write, b"%d\n" % time.monotonic_ns())

    proc = subprocess.Popen([program, data_file], env={**env, "XDG_RUNTIME_DIR": runtime},
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, pass_fds=(stamp_write,),
                            preexec_fn=stamp_then_exec)
    os.close(stamp_write)
    try:
        started = int(read_until(stamp_read, lambda d: d.endswith(b"\n"), "the exec stamp"))
        report = re.compile(rb"^first-paint (\d+)$", re.M)
        out = read_until(proc.stderr.fileno(), report.search, "the first-paint report")
        painted = int(report.search(out).group(1))
    finally:
        os.close(stamp_read)
        stop(proc)
        proc.stderr.close()
    return (painted - started) / 1e6


def main():
    if len(sys.argv) not in (3, 4):
        raise SystemExit(__doc__)
    program, data_file = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) == 4 else 10
    work = tempfile.mkdtemp(prefix="velkon-startup-")
    xvfb = None
    signal.signal(signal.SIGTERM, lambda n, _: sys.exit(128 + n))
    try:
        xvfb, display = start_xvfb(os.path.join(work, "xvfb.log"))
        os.makedirs(os.path.join(work, "home", "config"))
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "XAUTHORITY")}
        env.update(DISPLAY=display, HOME=os.path.join(work, "home"),
                   XDG_CONFIG_HOME=os.path.join(work, "home", "config"), QT_QPA_PLATFORM="xcb",
                   VELKON_REPORT_FIRST_PAINT="1")
        print(f"{program} {os.path.basename(data_file)} on Xvfb {display}")
        warm = one_start(program, data_file, env, work, 0)
        print(f"warm-up  {warm:8.1f} ms (not counted)")
        times = []
        for run in range(1, runs + 1):
            times.append(one_start(program, data_file, env, work, run))
            print(f"run {run:2d}   {times[-1]:8.1f} ms")
        print(f"median   {statistics.median(times):8.1f} ms   (exec to first painted frame, "
              f"{runs} runs; min {min(times):.1f}, max {max(times):.1f})")
    finally:
        if xvfb:
            stop(xvfb)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
