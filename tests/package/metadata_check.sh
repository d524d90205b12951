#!/bin/bash
# metadata_check.sh SOURCE_DIR: the desktop entry, the metainfo and the MIME type as desktops and
# software centres read them. The MIME database is built in a temporary folder of its own and
# asked through gio, which sniffs the first bytes as file managers do. Skipped (77) without the
# validators (scripts/deps installs them).
set -u
src=$1
for tool in desktop-file-validate appstreamcli update-mime-database gio; do
  command -v $tool >/dev/null || { echo "skipped: $tool not installed"; exit 77; }
done
failed=0
fail() { echo "FAILED: $*"; failed=1; }

out=$(desktop-file-validate "$src/res/desktop/velkon95.desktop" 2>&1)
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$src/packaging/velkon95.metainfo.xml" >/dev/null 2>&1 ||
  fail "appstreamcli: $(appstreamcli validate --no-net "$src/packaging/velkon95.metainfo.xml")"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/mime/packages" "$dir/files"
cp "$src/res/desktop/velkon95-mime.xml" "$dir/mime/packages/velkon95.xml"
update-mime-database "$dir/mime" >/dev/null 2>&1 || fail "update-mime-database refused the type"
type_of() {
  XDG_DATA_DIRS="$dir:/usr/share" XDG_DATA_HOME="$dir/none" \
    gio info -a standard::content-type "$1" 2>/dev/null | sed -n 's/.*content-type: //p'
}
expect() {  # name, first bytes, the type gio must see
  printf "$2" >"$dir/files/$1"
  got=$(type_of "$dir/files/$1")
  [ "$got" = "$3" ] || fail "$1 starting '$2' is $got, not $3"
}
# By the first line alone (no name to go by): a record, a comment, and near misses.
expect record 'ABC12345\thandle\r\n' application/x-velkon-list
expect comment '* list of 1997\r\n' application/x-velkon-list
expect short 'ABC1234\thandle\r\n' text/plain
expect spaced 'ABC12345 handle\r\n' text/plain
expect digits '12312345\thandle\r\n' text/plain
# By name, unless another type claims the name.
expect data.lst 'ABC12345\th\r\n' application/x-velkon-list
expect notes.txt 'ABC12345\th\r\n' text/plain
exit $failed
