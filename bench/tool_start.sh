#!/usr/bin/env bash
# Whole-process start of the command-line tools against a small X program, side by side: LOOPS
# (20) runs of each, alternating, timed with the shell's clock; the mean and best per command.
#   bench/tool_start.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-${BUILD_DIR:-$here/../build}}
loops=${LOOPS:-20}
for tool in xclip python3; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (scripts/deps installs it)" >&2; exit 2; }
done
for program in "$build/tools/velkonctl" "$build/tools/velkon-term"; do
    [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
done
exec python3 - "$loops" "xclip -version" "$build/tools/velkonctl --help" \
    "$build/tools/velkon-term --help" <<'PY'
import subprocess, sys, time
loops, commands = int(sys.argv[1]), sys.argv[2:]
times = {c: [] for c in commands}
for _ in range(loops):
    for c in commands:  # alternating, so that a busy moment of the machine hits all alike
        start = time.perf_counter()
        subprocess.run(c.split(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times[c].append((time.perf_counter() - start) * 1000)
reference = sum(times[commands[0]]) / loops
for c in commands:
    mean = sum(times[c]) / loops
    print(f"{c:60s} mean {mean:6.2f} ms  best {min(times[c]):6.2f} ms  {mean / reference:4.2f}x")
PY
