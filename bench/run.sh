#!/usr/bin/env bash
# Runs every benchmark (bench/*/run.sh) against one build directory.
#
#   bench/run.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$1
status=0
for script in bench/*/run.sh; do
  [ -x "$script" ] || continue
  echo "=== ${script%/run.sh}"
  "$script" "$build" || status=1
done
exit "$status"
