#!/usr/bin/env bash
# Runs every benchmark (bench/*/run.sh) against one build directory.
#
#   bench/run.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"
status=0
for script in bench/*/run.sh; do
  [ -x "$script" ] || continue
  echo "=== ${script%/run.sh}"
  "$script" "$build" || status=1
done
exit "$status"
