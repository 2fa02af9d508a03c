#!/usr/bin/env bash
# The README's walk-through "Your own molecule", command for command: a listing
# from an XYZ file, a packscan run, a plot; then the failures it shows.
# usage: tutorial_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
src="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "tutorial: $*" >&2; exit 1; }
cd "$work"
cp "$src/examples/tutorial/acetamide.xyz" .

mkdir run
"$build/packscan-listing" acetamide.xyz -o run/atp.dat 2> listing.err
[ -s listing.err ] && fail "packscan-listing printed: $(cat listing.err)"
grep -q '^      UNIT p  ' run/atp.dat || fail "no unit record in the listing"

cd run
"$build/packscan" 2> run.err || fail "packscan ended with status $?: $(cat run.err)"
[ -s run.err ] && fail "packscan printed: $(cat run.err)"
for name in rb872.dat coord{1..12}.xyz; do [ -s "$name" ] || fail "$name is missing or empty"; done
[ "$(head -1 coord2.xyz)" = "  27" ] || fail "coord2.xyz does not count 3 x 9 atoms"

/usr/bin/python3 "$src/tools/plot_scan.py" rb872.dat -o scan.png --trace
[ "$(head -c 8 scan.png | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "scan.png is not a PNG"

# The failures that the README shows, with their statuses and messages.
cd "$work"
printf '2\nshort\nO 0 0 0\n' > short.xyz
status=0
"$build/packscan-listing" short.xyz -o never.dat 2> short.err || status=$?
[ "$status" = 2 ] || fail "a short XYZ file gave status $status"
grep -qx 'packscan-listing: short.xyz:3: the file ends after 1 of 2 atoms' short.err || fail "$(cat short.err)"
[ -e never.dat ] && fail "a failed build left a listing behind"

mkdir empty
status=0
(cd empty && "$build/packscan" 2> ../empty.err) || status=$?
[ "$status" = 2 ] || fail "a folder without atp.dat gave status $status"
grep -q '^packscan: atp.dat:1: end of file while reading the cell line' empty.err || fail "$(cat empty.err)"

status=0
/usr/bin/python3 "$src/tools/plot_scan.py" empty/rb872.dat -o never.png 2> plot.err || status=$?
[ "$status" = 2 ] || fail "plotting an unfinished report gave status $status"
grep -q 'the run ended before the orientation scan' plot.err || fail "$(cat plot.err)"
echo "tutorial: every step worked"
