#!/usr/bin/env bash
# Starts Lodestar on the given file; prints the listing instead where no main window is built.
set -euo pipefail
build=$1 file=$2
if [ -x "$build/src/app/lodestar" ]; then
  exec "$build/src/app/lodestar" "$file"
fi
exec "$build/src/cli/lodestar-cli" info "$file"
