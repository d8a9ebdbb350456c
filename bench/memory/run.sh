#!/usr/bin/env bash
# Memory while loading files whose entries claim far more value bytes than the files hold: 10,000
# entries each counting 1 MiB at different offsets of a 1 MiB file, and 65,535 entries sharing one
# 1 MiB value. Prints each load's best time and the process's peak resident memory (getrusage),
# which must stay within a small multiple of the file plus its entry tables.
#
#   bench/memory/run.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target memory-bench

bench=$build/bench/memory/memory-bench
out=bench/out
mkdir -p "$out"
"$bench" "$out"
for name in spread shared; do
  "$bench" "$out/$name.tif" 10
done
