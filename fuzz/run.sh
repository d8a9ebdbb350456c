#!/usr/bin/env bash
# Builds the fuzz targets with clang (in build-fuzz) and runs them.
#
#   fuzz/run.sh                   smoke run of both targets: fixed seed and number of runs, the same
#                                 inputs every time (what CI runs; about two minutes on two cores)
#   fuzz/run.sh SECONDS [TARGET]  explores for that long (both targets one after the other, or the
#                                 one named) and keeps new inputs in fuzz/corpus-work/TARGET
#
# fuzz_reader loads each input from memory through the reader alone; fuzz_views loads it from a
# file and from memory, compares both, and builds the listing, the status panels and the batch
# records of every page.
#
# Any crash, sanitizer report, input slower than 1 s or memory past the limits below stops the run
# with a non-zero status; the input is saved under build-fuzz/fuzz/artifacts/ and can be replayed
# with build-fuzz/fuzz/TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${LODESTAR_FUZZ_BUILD:-build-fuzz}
reader_runs=${LODESTAR_FUZZ_READER_RUNS:-200000}
views_runs=${LODESTAR_FUZZ_VIEWS_RUNS:-20000}
seconds=${1:-}
only=${2:-}
if [ -n "$seconds" ] && ! [[ $seconds =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [SECONDS [fuzz_reader|fuzz_views]]" >&2
  exit 2
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLODESTAR_FUZZ=ON -DLODESTAR_GUI=OFF -DLODESTAR_TESTS=OFF -DLODESTAR_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_reader fuzz_views -j "${JOBS:-$(nproc)}"

artifacts=$build/fuzz/artifacts
mkdir -p "$artifacts"
# The largest input each target is given, stated rather than left to libFuzzer: without it the
# cap grows to the largest seed (the corpus files, about 52 KB). fuzz_reader runs from memory and
# takes whole corpus files; fuzz_views writes, loads and lists every input twice over, so its
# inputs stay at 4 KiB, which holds every structure the seeds exercise (longer seeds are cut).
# Every input is far smaller than the memory limits, so a hit means memory grew with something
# other than the input.
max_len_fuzz_reader=65536
max_len_fuzz_views=4096
options=(
  -timeout=1
  -rss_limit_mb=256
  -malloc_limit_mb=256
  -dict=fuzz/tiff.dict
  -artifact_prefix="$artifacts/"
  -print_final_stats=1
)

# ASan holds up to 256 MB of freed memory back by default, which alone would reach the limit above.
export ASAN_OPTIONS="quarantine_size_mb=32${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

if [ -z "$seconds" ]; then
  # New inputs go to a scratch directory so that the seed corpus, and with it the run, never changes.
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  for target in fuzz_reader fuzz_views; do
    runs=$reader_runs
    [ $target = fuzz_views ] && runs=$views_runs
    mkdir -p "$scratch/$target"
    echo "== $target: $runs runs"
    max_len=max_len_$target
    "$build/fuzz/$target" "${options[@]}" -max_len="${!max_len}" -seed=1 -runs="$runs" \
      "$scratch/$target" fuzz/seeds
  done
else
  for target in fuzz_reader fuzz_views; do
    [ -n "$only" ] && [ "$only" != $target ] && continue
    mkdir -p "fuzz/corpus-work/$target"
    max_len=max_len_$target
    "$build/fuzz/$target" "${options[@]}" -max_len="${!max_len}" -max_total_time="$seconds" \
      "fuzz/corpus-work/$target" fuzz/seeds
  done
fi
