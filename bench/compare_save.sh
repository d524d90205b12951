#!/usr/bin/env bash
# Times saving a record file in the program against dd writing the same bytes with one fsync, the
# baseline for how long putting a file this size on the disk takes; and checks that the save of
# a file just opened gives back its bytes.
#   bench/compare_save.sh [RECORDS] [BUILD_DIR]
# RECORDS defaults to 1000000, BUILD_DIR to $BUILD_DIR or /tmp/build-bench (built with
# -DVELKON_BENCH=ON). Both write into the same temporary folder (TMPDIR), alternated, and from
# the second round on both replace the file they wrote the round before (dd truncates it; the
# save turns it into the backup and lets the older backup go), so both free a file this size.
set -euo pipefail

records=${1:-1000000}
build=${2:-${BUILD_DIR:-/tmp/build-bench}}
repeats=5

for tool in make_lst lst_save; do
    if [ ! -x "$build/bench/$tool" ]; then
        echo "missing $build/bench/$tool: build with -DVELKON_BENCH=ON first" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velkon-save-XXXXXX")
trap 'rm -rf "$work"' EXIT
file="$work/records.lst"

"$build/bench/make_lst" "$records" "$file"
bytes=$(stat -c %s "$file")
cat "$file" >/dev/null

best_dd= best_save=
for ((i = 0; i < repeats; i++)); do
    start=$(date +%s%N)
    dd if="$file" of="$work/dd.lst" bs=1M conv=fsync status=none
    took=$(( $(date +%s%N) - start ))
    if [ -z "$best_dd" ] || [ "$took" -lt "$best_dd" ]; then best_dd=$took; fi

    took= size=
    read -r took size < <("$build/bench/lst_save" "$file" "$work/saved.lst" 1) || true
    if [ -z "$took" ]; then echo "lst_save could not save $file" >&2; exit 1; fi
    if [ -z "$best_save" ] || awk -v a="$took" -v b="$best_save" 'BEGIN { exit !(a < b) }'
    then best_save=$took; fi
done

same=yes
cmp -s "$file" "$work/saved.lst" || same=no

awk -v n="$records" -v bytes="$bytes" -v d="$best_dd" -v s="$best_save" -v reps="$repeats" \
    -v same="$same" 'BEGIN {
    dd = d / 1e9
    printf "records           %d (%.1f MB)\n", n, bytes / 1048576
    printf "dd bs=1M fsync    %.3f s   best of %d\n", dd, reps
    printf "Velkon95 save     %.3f s   best of %d\n", s, reps
    printf "save / dd         %.2f\n", s / dd
    printf "saved bytes = opened bytes: %s\n", same
    ok = (s <= 1.5 * dd) && same == "yes"
    printf "target (save within 1.5x of dd, the same bytes): %s\n", ok ? "met" : "MISSED"
    exit ok ? 0 : 1
}'
