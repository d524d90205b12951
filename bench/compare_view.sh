#!/usr/bin/env bash
# The list view with a million rows against GNU sort: the list sorted by the handle column
# beside `sort -s` of the same file by its second field, and Ctrl+A then Del over every row
# beside its one-second goal (the view's share apart from the store's).
#   bench/compare_view.sh [RECORDS] [BUILD_DIR]
# RECORDS defaults to 1000000, BUILD_DIR to $BUILD_DIR or /tmp/build-bench (built with
# -DVELKON_BENCH=ON). Runs alternate, three of each; the best counts.
set -euo pipefail

records=${1:-1000000}
build=${2:-${BUILD_DIR:-/tmp/build-bench}}
repeats=3

for tool in make_lst view_ops; do
    if [ ! -x "$build/bench/$tool" ]; then
        echo "missing $build/bench/$tool: build with -DVELKON_BENCH=ON first" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velkon-view-XXXXXX")
trap 'rm -rf "$work"' EXIT
file="$work/records.lst"
export XDG_RUNTIME_DIR="$work"
"$build/bench/make_lst" "$records" "$file"
cat "$file" >/dev/null

best_sort= sort_handle= select_all= delete= delete_view=
better() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(b == "" || a < b) }'; }
for ((i = 0; i < repeats; i++)); do
    start=$(date +%s%N)
    LC_ALL=C sort -s -t$'\t' -k2,2 "$file" >/dev/null
    took=$(awk -v ns=$(( $(date +%s%N) - start )) 'BEGIN { printf "%.3f", ns / 1e9 }')
    if better "$took" "$best_sort"; then best_sort=$took; fi
    while read -r name value; do
        case $name in
            sort_handle|select_all|delete|delete_view)
                if better "$value" "${!name}"; then printf -v "$name" %s "$value"; fi ;;
        esac
    done < <(QT_QPA_PLATFORM=offscreen "$build/bench/view_ops" "$file" 1)
done

awk -v n="$records" -v sort="$best_sort" -v mine="$sort_handle" -v sel="$select_all" \
    -v del="$delete" -v dview="$delete_view" -v reps="$repeats" 'BEGIN {
    printf "rows                          %d, best of %d\n", n, reps
    printf "GNU sort -s -k2,2 (LC_ALL=C)  %.3f s\n", sort
    printf "list sorted by handle         %.3f s   %.2fx sort (goal <= 1x)\n", mine, mine / sort
    printf "Ctrl+A                        %.3f s\n", sel
    printf "Del                           %.3f s   (the view %.3f s of it)\n", del, dview
    printf "Ctrl+A and Del                %.3f s   (goal <= 1 s)\n", sel + del
    ok = mine <= sort && sel + del <= 1.0
    printf "goals: %s\n", ok ? "met" : "MISSED"
    exit ok ? 0 : 1
}'
