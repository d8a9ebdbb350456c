#!/usr/bin/env bash
# Starts Lodestar under a virtual X server on the given file and writes a PNG of its window.
set -euo pipefail
build=$1 file=$2 out=$3
program="$build/src/app/lodestar"
if [ ! -x "$program" ]; then
  echo "screenshot: $program is not built (configure with LODESTAR_GUI=ON)" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
out=$(realpath -m "$out")
# The window grabs itself once it has settled, which needs no window manager; a timeout guards
# against a window that never gets that far.
LODESTAR_SCREENSHOT="$out" timeout 60 \
  xvfb-run --auto-servernum --server-args="-screen 0 1400x900x24 -dpi 96" \
  "$program" "$file"
echo "screenshot: wrote $out"
