#!/usr/bin/env bash
# Builds the reader's fuzz target with clang (in build-fuzz) and runs it.
#
#   fuzz/run.sh            smoke run: fixed seed and number of runs, the same inputs every time
#                          (what CI runs; about two minutes on two cores)
#   fuzz/run.sh SECONDS    explores for that long and keeps new inputs in fuzz/corpus-work
#
# Any crash, sanitizer report, input slower than 1 s or memory past the limits below stops the run
# with a non-zero status; the input is saved under build-fuzz/fuzz/artifacts/ and can be replayed
# with build-fuzz/fuzz/fuzz_reader FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${LODESTAR_FUZZ_BUILD:-build-fuzz}
smoke_runs=${LODESTAR_FUZZ_SMOKE_RUNS:-8000}
seconds=${1:-}
if [ -n "$seconds" ] && ! [[ $seconds =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLODESTAR_FUZZ=ON -DLODESTAR_GUI=OFF -DLODESTAR_TESTS=OFF -DLODESTAR_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_reader -j "${JOBS:-$(nproc)}"

artifacts=$build/fuzz/artifacts
mkdir -p "$artifacts"
# Inputs stay at the default size cap (4 KiB): every test file is far smaller than the limits, so
# a hit means memory grew with something other than the input.
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
  "$build/fuzz/fuzz_reader" "${options[@]}" -seed=1 -runs="$smoke_runs" "$scratch" fuzz/seeds
else
  mkdir -p fuzz/corpus-work
  "$build/fuzz/fuzz_reader" "${options[@]}" -max_total_time="$seconds" fuzz/corpus-work fuzz/seeds
fi
