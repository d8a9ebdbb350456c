#!/usr/bin/env bash
# Starts Lodestar on the given file. Where no main window can be shown (it is not built, or there
# is no display to show it on) prints the file's listing with lodestar-cli instead.
set -euo pipefail
build=$1 file=$2
if [ ! -x "$build/src/app/lodestar" ]; then
  exec "$build/src/cli/lodestar-cli" info "$file"
fi
# An explicit Qt platform (offscreen, vnc, ...) needs no display of ours to judge.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); the listing of $file instead:"
  exec "$build/src/cli/lodestar-cli" info "$file"
fi
exec "$build/src/app/lodestar" "$file"
