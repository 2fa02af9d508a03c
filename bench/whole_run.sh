#!/usr/bin/env bash
# Times whole packscan processes on one listing: the program built as usual
# (fast energy path) against the program built with -DPACKSCAN_REFERENCE_ENERGY=ON.
# Prints the median wall time of each over RUNS runs, the speed-up, the peak
# resident memory, and checks that both wrote the same files.
#
#   bench/whole_run.sh FAST_BINARY REFERENCE_BINARY LISTING [RUNS]
#   e.g. bench/whole_run.sh build/packscan build-ref/packscan bench/listings/atoms100/atp.dat 11
set -euo pipefail
fast=$(realpath "$1"); reference=$(realpath "$2"); listing=$(realpath "$3"); runs=${4:-11}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall seconds of `runs` runs of one binary (timed by the shell itself,
# so that no helper process is counted), then the peak RSS (KB) of one more run.
measure() {
  local binary=$1 folder=$work/$2
  mkdir -p "$folder" && cp "$listing" "$folder/atp.dat"
  local times=() start end k
  pushd "$folder" > /dev/null
  for ((k = 0; k < runs; ++k)); do
    start=$EPOCHREALTIME
    "$binary" > /dev/null 2>&1
    end=$EPOCHREALTIME
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }')")
  done
  /usr/bin/time -f "%M" -o "$work/$2.rss" "$binary" > /dev/null 2>&1
  popd > /dev/null
  echo "$(printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}') $(tail -1 "$work/$2.rss")"
}

read -r fastTime fastPeak < <(measure "$fast" fast)
read -r refTime refPeak < <(measure "$reference" reference)
if diff -rq --exclude=atp.dat "$work/fast" "$work/reference" > /dev/null; then same=yes; else same=NO; fi
echo "listing:            $listing ($runs runs each)"
echo "fast path:          median ${fastTime} s, peak RSS ${fastPeak} KB"
echo "reference path:     median ${refTime} s, peak RSS ${refPeak} KB"
awk -v f="$fastTime" -v r="$refTime" 'BEGIN { if (f > 0) printf "speed-up:           %.1fx\n", r / f }'
echo "identical output:   $same"
[ "$same" = yes ]
