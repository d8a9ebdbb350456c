#!/bin/sh
# Writes docs/checks.md from the checker's rule table: scripts/checks-doc.sh [BUILD_DIR]
set -e
build=${1:-build}
cmake --build "$build" --target lodestar-check-catalogue
"$build/src/check/lodestar-check-catalogue" > "$(dirname "$0")/../docs/checks.md"
