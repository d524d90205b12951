#!/usr/bin/env bash
# Startup time: from exec to the first painted frame of the program opening a data file, on a
# private Xvfb display; each start, and the median of RUNS (10) starts.
#   bench/startup.sh [FILE.lst] [BUILD_DIR]
# FILE defaults to samples/sample.lst, BUILD_DIR to $BUILD_DIR or /tmp/build-bench.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
file=${1:-$here/../samples/sample.lst}
build=${2:-${BUILD_DIR:-/tmp/build-bench}}
program=$build/app/velkon95

if [ ! -x "$program" ]; then
    echo "missing $program: build first (cmake -S . -B $build -G Ninja && cmake --build $build)" >&2
    exit 2
fi
for tool in Xvfb python3; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (scripts/deps installs Xvfb)" >&2; exit 2; }
done
exec python3 "$here/startup.py" "$program" "$file" "${RUNS:-10}"
