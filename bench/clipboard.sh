#!/usr/bin/env bash
# Clipboard pickup on a private Xvfb display: xclip reading 10 and 100 MB ID lists back, beside
# the pickup of those texts (100,000 and 1,000,000 IDs, none or half of them registered; x_xclip
# the ratio to xclip reading it back after each run, x_10MB the 100 MB run's to the 10 MB one's),
# of a 30 KB forum text and of 5 and 20 MB texts with and without line ends; the
# time of a run and the longest time the window did not answer.
#   bench/clipboard.sh [BUILD_DIR] [BENCHMARK OPTIONS]   (BUILD_DIR defaults to $BUILD_DIR or build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$here/../build}
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
program=$build/bench/clipboard_bench
[ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
for tool in Xvfb xclip; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (scripts/deps installs it)" >&2; exit 2; }
done
display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# The xclip processes that own the texts end with the X server.
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
DISPLAY=$display "$program" "$@"
