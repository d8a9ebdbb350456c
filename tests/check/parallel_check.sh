#!/usr/bin/env bash
# docs/scaling.md's check recipe: a NUL-separated list cut into blocks for GNU parallel (4 jobs,
# --keep-order), merged, must be the single run's report byte for byte and hold a walk's findings.
#
#   tests/check/parallel_check.sh LODESTAR_CLI TREE
set -uo pipefail
command -v parallel >/dev/null || { echo "GNU parallel is not installed: skipped"; exit 77; }
cli=$(realpath "$1")
tree=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

find -L "$tree" -name '.*' -prune -o -type f \( -iname '*.tif' -o -iname '*.tiff' \) -print0 \
  >"$work/files.list"
"$cli" check --files-from "$work/files.list" -0 --format ndjson >"$work/single.ndjson"
# 4: some file is not valid, as the corpus holds such files; anything else is a failure.
[ $? -eq 4 ] || { echo "the single run did not end with status 4" >&2; exit 1; }
parallel --will-cite --pipe --recend '\0' -N 10 --keep-order -j 4 \
  "$cli" check --files-from - -0 --format ndjson <"$work/files.list" >"$work/parallel.ndjson"
cmp "$work/single.ndjson" "$work/parallel.ndjson" ||
  { echo "the merged report differs from the single run's" >&2; exit 1; }
"$cli" check "$tree" --format ndjson | sort >"$work/walk.sorted"
sort "$work/parallel.ndjson" | cmp - "$work/walk.sorted" ||
  { echo "the merged report holds other files than a walk of $tree" >&2; exit 1; }
[ "$(wc -l <"$work/single.ndjson")" -gt 100 ] || { echo "too few files checked" >&2; exit 1; }
