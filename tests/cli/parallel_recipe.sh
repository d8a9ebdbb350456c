#!/usr/bin/env bash
# docs/scaling.md's GNU parallel recipe on one machine: a NUL-separated list of a TIFF tree cut into
# blocks for 4 jobs, each `batch` (and `check`) shard's ndjson merged in the list's order, must be
# the single run's over the same list byte for byte.
#
#   tests/cli/parallel_recipe.sh LODESTAR_CLI TREE
set -euo pipefail
cli=$(realpath "$1")
tree=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v parallel >/dev/null || { echo "GNU parallel is missing (Debian package parallel)"; exit 77; }

# The list, as the walk would choose: *.tif and *.tiff in any case, no hidden entries.
find -L "$tree" -name '.*' -prune -o -type f \( -iname '*.tif' -o -iname '*.tiff' \) -print0 \
  >"$work/files.list"
[ -s "$work/files.list" ] || { echo "no files in $tree" >&2; exit 1; }

for command in batch check; do
  # check's status says whether every file is valid; the inventories are what is compared.
  "$cli" $command --files-from "$work/files.list" -0 --format ndjson >"$work/single" || [ $? = 4 ]
  parallel --will-cite --pipe --recend '\0' -N 10 --keep-order -j 4 \
    "$cli" $command --files-from - -0 --format ndjson '|| [ $? = 4 ]' \
    <"$work/files.list" >"$work/parallel"
  cmp "$work/single" "$work/parallel" ||
    { echo "$command: the merged inventory differs from the single run's" >&2; exit 1; }
done
