#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) in build-fuzz and
# runs one target for the given number of seconds, one job.
#
#   bash fuzz/run.sh fuzz_record_format 60
#   bash fuzz/run.sh fuzz_input_phase 1800
#
# The corpus grows in build-fuzz/corpus/<target>, seeded from
# fuzz/corpus/<target>; a crash, a sanitizer report, a failed check or a hang
# longer than 10 s leaves its input in build-fuzz/artifacts/<target>/ and makes
# this script fail. Extra arguments go to libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: fuzz/run.sh <fuzz_record_format|fuzz_input_phase> <seconds> [libFuzzer options]}
seconds=${2:?usage: fuzz/run.sh <target> <seconds> [libFuzzer options]}
shift 2

cmake -S . -B build-fuzz -DPACKSCAN_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j2 --target "$target" >/dev/null

corpus=build-fuzz/corpus/$target
artifacts=build-fuzz/artifacts/$target/
mkdir -p "$corpus" "$artifacts"

# close_fd_mask=2 silences the program's warnings; libFuzzer and the
# sanitizers still report on a duplicate of standard error.
"build-fuzz/fuzz/$target" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -dict=fuzz/packscan.dict -close_fd_mask=2 -print_final_stats=1 \
  -artifact_prefix="$artifacts" "$@" \
  "$corpus" "fuzz/corpus/$target"
