#!/usr/bin/env python3
"""The Debian package as a user gets it: installed with dpkg, run from /usr, removed.

    package_install.py --deb FILE | --build DIR   --screenshot BIN

With --build the package is made first (scripts/package into DIR). Installs into this machine's
own /usr, so it needs root, and it skips (77) when velkon95 is installed already: a test must
not take away what a user installed. The program runs on a private Xvfb display (the session of
tests/x11), on a data file that must still be there after the package went.
"""

import argparse
import glob
import os
import shutil
import subprocess
import tempfile
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "x11"))
import velkon_x11 as vx  # noqa: E402
from velkon_x11 import SAMPLE, check, frame_title, write  # noqa: E402

PACKAGE = "velkon95"


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=vx.scaled(600), **kwargs)
    print(f"{' '.join(args)} -> {result.returncode}")
    return result


def installed():
    result = run(["dpkg-query", "-W", "-f=${Status}", PACKAGE])
    return result.returncode == 0 and "installed" in result.stdout.split()


def files_of_package():
    """What dpkg put in place: the files, not the folders other packages share."""
    listed = run(["dpkg-query", "-L", PACKAGE]).stdout.split("\n")
    return [p for p in listed if p and not os.path.isdir(p)]


def check_installed_programs():
    # Found on PATH as a user types them, from /usr and nowhere else.
    for name in ("velkon95", "velkonctl", "velkon-term"):
        check(shutil.which(name) == f"/usr/bin/{name}", f"{name} is {shutil.which(name)}")
    version = run(["velkon95", "--version"])
    check(version.returncode == 0 and "3.4.13" in version.stdout,
          f"velkon95 --version: {version.stdout!r} {version.stderr!r}")
    usage = run(["velkonctl", "--help"])
    check(usage.returncode == 0 and usage.stdout.startswith("Usage: velkonctl"),
          f"velkonctl --help: {usage.stdout[:80]!r}")
    page = run(["man", "-w", "velkonctl"])
    check(page.returncode == 0 and page.stdout.strip() == "/usr/share/man/man1/velkonctl.1.gz",
          f"man -w velkonctl: {page.stdout.strip()!r} {page.stderr.strip()!r}")
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        icon = f"/usr/share/icons/hicolor/{size}x{size}/apps/velkon95.png"
        check(os.path.isfile(icon), f"no icon {icon}")


def check_api_answers(screenshot, data_dir):
    """The installed program on a data file, asked through the installed velkonctl."""
    session = vx.Session("/usr/bin/velkon95", screenshot)
    session.velkonctl = "/usr/bin/velkonctl"
    try:
        data = write(os.path.join(data_dir, "data.lst"), SAMPLE)
        session.start([data])
        session.wait_window(frame_title("data.lst"))
        check(vx.ctl(session, "exists", "ABC12345")[0] == 0, "exists of a recorded ID")
        check(vx.ctl(session, "exists", "QQQ00000")[0] == 1, "exists of an unknown ID")
    except Exception:
        session.dump_logs()
        raise
    finally:
        session.close()
    return data


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--deb")
    source.add_argument("--build")
    parser.add_argument("--screenshot", required=True)
    args = parser.parse_args()

    if os.geteuid() != 0:
        print("skipped: dpkg -i needs root")
        return vx.SKIPPED
    missing = [t for t in ("dpkg", "man", "Xvfb", "openbox", "xprop", "xdotool")
               if not shutil.which(t)]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed")
        return vx.SKIPPED
    if installed():
        print(f"skipped: {PACKAGE} is installed on this machine already")
        return vx.SKIPPED

    deb = args.deb
    if args.build:
        built = run([os.path.join(HERE, "..", "..", "scripts", "package")],
                    env=dict(os.environ, VELKON_PACKAGE_DIR=os.path.abspath(args.build)))
        check(built.returncode == 0, f"scripts/package failed:\n{built.stdout}\n{built.stderr}")
        debs = glob.glob(os.path.join(args.build, "velkon95_*.deb"))
        check(len(debs) == 1, f"scripts/package made {debs}")
        deb = debs[0]

    scratch = tempfile.mkdtemp(prefix="velkon-package-")
    try:
        result = run(["dpkg", "-i", deb])
        try:
            check(result.returncode == 0, f"dpkg -i failed:\n{result.stdout}{result.stderr}")
            files = files_of_package()
            check(files, "dpkg lists no files of the package")
            check_installed_programs()
            data = check_api_answers(os.path.abspath(args.screenshot), scratch)
        finally:
            removed = run(["dpkg", "-r", PACKAGE])
        check(removed.returncode == 0, f"dpkg -r failed:\n{removed.stdout}{removed.stderr}")
        # Nothing of the package is left, only the user's own file.
        check(not installed(), "still installed after dpkg -r")
        left = [p for p in files if os.path.lexists(p)]
        check(not left, f"left after dpkg -r: {left}")
        check(not shutil.which("velkon95"), "velkon95 still on PATH")
        check(open(data, "rb").read() == SAMPLE, "the user's data file changed or went")
    except vx.Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("package install, run and removal: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
