#!/usr/bin/env bash
# The Info listing on screen, offscreen: a page of 65,535 tags (goal under 300 ms) and a Next or
# Previous step on a 10,000-page file (goal under 20 ms).
#
#   bench/viewer/run.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
if ! grep -q lodestar_viewer_bench "$build/build.ninja" 2>/dev/null; then
  echo "viewer benchmark: not configured (needs LODESTAR_GUI and LODESTAR_TESTS)" >&2
  exit 0
fi
cmake --build "$build" --target lodestar_viewer_bench
mkdir -p bench/out
QT_QPA_PLATFORM=offscreen "$build/bench/viewer/lodestar_viewer_bench" \
  --benchmark_out=bench/out/viewer.json --benchmark_out_format=json
