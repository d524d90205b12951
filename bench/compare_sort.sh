#!/usr/bin/env bash
# Times opening a record file in the program against GNU sort ordering the same file by ID, the
# baseline for how long reading and ordering a file this size should take, and the memory
# the open records take beside the file's size.
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

# Alternated, so that a busy machine slows each of them alike. The reference is sort as the
# goal names it; sort -s (stable, as the program's order is) is shown beside it.
best_sort= best_stable= load_seconds= memory_kib=
for ((i = 0; i < repeats; i++)); do
    start=$(date +%s%N)
    LC_ALL=$sort_locale sort -t$'\t' -k1,1 "$file" >/dev/null
    took=$(( $(date +%s%N) - start ))
    if [ -z "$best_sort" ] || [ "$took" -lt "$best_sort" ]; then best_sort=$took; fi

    start=$(date +%s%N)
    LC_ALL=$sort_locale sort -s -t$'\t' -k1,1 "$file" >/dev/null
    took=$(( $(date +%s%N) - start ))
    if [ -z "$best_stable" ] || [ "$took" -lt "$best_stable" ]; then best_stable=$took; fi

    # A fresh process each time, as sort is and as the program is when it opens its file at
    # start: the memory for the records has to be mapped in anew.
    took= loaded= added=
    read -r took loaded added _ < <("$build/bench/lst_load" "$file" 1) || true
    if [ -z "$took" ]; then echo "lst_load could not open $file" >&2; exit 1; fi
    if [ -z "$load_seconds" ] || awk -v a="$took" -v b="$load_seconds" 'BEGIN { exit !(a < b) }'
    then load_seconds=$took; fi
    if [ -z "$memory_kib" ] || [ "$added" -lt "$memory_kib" ]; then memory_kib=$added; fi
done

awk -v n="$records" -v bytes="$bytes" -v s="$best_sort" -v l="$load_seconds" \
    -v loaded="$loaded" -v loc="$sort_locale" -v reps="$repeats" -v mem="$memory_kib" -v st="$best_stable" 'BEGIN {
    sort = s / 1e9
    printf "records           %d (%.1f MB), %d loaded\n", n, bytes / 1048576, loaded
    printf "GNU sort (LC_ALL=%s) %.3f s   best of %d\n", loc, sort, reps
    printf "GNU sort -s        %.3f s   best of %d\n", st / 1e9, reps
    printf "Velkon95 load     %.3f s   best of %d\n", l, reps
    printf "load / sort       %.2f   (/ sort -s %.2f)\n", l / sort, l / (st / 1e9)
    printf "memory open       %.1f MB beside the file of %.1f MB: %.2fx\n", mem / 1024,
           bytes / 1048576, mem * 1024 / bytes
    ok = (l <= 0.5 * sort) && (mem * 1024 <= 2 * bytes)
    printf "target (load within 0.5x of sort, memory within 2x of the file): %s\n",
           ok ? "met" : "MISSED"
    exit ok ? 0 : 1
}'
