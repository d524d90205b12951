#!/usr/bin/env bash
# Times opening a record file in the program against GNU sort ordering the same file by ID, the
# baseline for how long reading and ordering a file this size should take.
#   bench/compare_sort.sh [RECORDS] [BUILD_DIR]
# RECORDS defaults to 1000000, BUILD_DIR to $BUILD_DIR or /tmp/build-bench (built with
# -DVELKON_BENCH=ON). sort runs in the C locale unless SORT_LOCALE names another: byte order is
# the order the program itself keeps, and a collating locale would only slow sort down.
set -euo pipefail

records=${1:-1000000}
build=${2:-${BUILD_DIR:-/tmp/build-bench}}
sort_locale=${SORT_LOCALE:-C}
repeats=3

for tool in make_lst lst_load; do
    if [ ! -x "$build/bench/$tool" ]; then
        echo "missing $build/bench/$tool: build with -DVELKON_BENCH=ON first" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velkon-sort-XXXXXX")
trap 'rm -rf "$work"' EXIT
file="$work/records.lst"

"$build/bench/make_lst" "$records" "$file"
bytes=$(stat -c %s "$file")
cat "$file" >/dev/null  # both read it from the page cache

best_sort=
for ((i = 0; i < repeats; i++)); do
    start=$(date +%s%N)
    LC_ALL=$sort_locale sort -s -t$'\t' -k1,1 "$file" >/dev/null
    took=$(( $(date +%s%N) - start ))
    if [ -z "$best_sort" ] || [ "$took" -lt "$best_sort" ]; then best_sort=$took; fi
done

# A fresh process each time, as sort is and as the program is when it opens its file at start:
# the memory for the records has to be mapped in anew.
load_seconds=
for ((i = 0; i < repeats; i++)); do
    took= loaded=
    read -r took loaded _ _ < <("$build/bench/lst_load" "$file" 1) || true
    if [ -z "$took" ]; then echo "lst_load could not open $file" >&2; exit 1; fi
    if [ -z "$load_seconds" ] || awk -v a="$took" -v b="$load_seconds" 'BEGIN { exit !(a < b) }'
    then load_seconds=$took; fi
done

awk -v n="$records" -v bytes="$bytes" -v s="$best_sort" -v l="$load_seconds" \
    -v loaded="$loaded" -v loc="$sort_locale" -v reps="$repeats" 'BEGIN {
    sort = s / 1e9
    printf "records           %d (%.1f MB), %d loaded\n", n, bytes / 1048576, loaded
    printf "GNU sort (LC_ALL=%s) %.3f s   best of %d\n", loc, sort, reps
    printf "Velkon95 load     %.3f s   best of %d\n", l, reps
    printf "load / sort       %.2f\n", l / sort
    ok = (l < 2.0) && (l <= 3 * sort)
    printf "target (< 2 s, within 3x of sort): %s\n", ok ? "met" : "MISSED"
    exit ok ? 0 : 1
}'
