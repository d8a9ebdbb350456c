#!/usr/bin/env bash
# The recipes of docs/scaling.md, run on one machine over a TIFF tree: a NUL-separated list cut
# into shards for GNU parallel (--pipe, 4 jobs) and for a Slurm job array (its tasks run here one
# after another with SLURM_ARRAY_TASK_ID set as Slurm sets it). Each merged inventory must be the
# single run's over the same list byte for byte, and hold the records of a walk of the tree.
#
#   tests/cli/parallel_recipe.sh LODESTAR_CLI TREE
set -euo pipefail
cli=$(realpath "$1")
tree=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH="$(dirname "$cli"):$PATH"

# The list, as the walk would choose: *.tif and *.tiff in any case, no hidden entries.
find -L "$tree" -name '.*' -prune -o -type f \( -iname '*.tif' -o -iname '*.tiff' \) -print0 \
  >"$work/files.list"
count=$(tr -cd '\0' <"$work/files.list" | wc -c)
[ "$count" -gt 10 ] || { echo "only $count files in $tree" >&2; exit 1; }

lodestar-cli batch --files-from "$work/files.list" -0 --format ndjson >"$work/single.ndjson"

# GNU parallel: blocks of 10 names to 4 jobs, the outputs in the list's order.
parallel --will-cite --pipe --recend '\0' -N 10 --keep-order -j 4 \
  lodestar-cli batch --files-from - -0 --format ndjson \
  <"$work/files.list" >"$work/parallel.ndjson"
cmp "$work/single.ndjson" "$work/parallel.ndjson" ||
  { echo "parallel --pipe: the merged inventory differs from the single run's" >&2; exit 1; }

# Slurm: the list cut into 4 shard files, one task each, merged in shard order.
mkdir -p "$work/shards" "$work/out"
split -t '\0' -n l/4 -d -a 4 "$work/files.list" "$work/shards/shard."
for task in 0 1 2 3; do
  (
    export SLURM_ARRAY_TASK_ID=$task
    cd "$work"
    shard=$(printf 'shards/shard.%04d' "$SLURM_ARRAY_TASK_ID")
    lodestar-cli batch --files-from "$shard" -0 --format ndjson \
      --output "out/$(printf '%04d' "$SLURM_ARRAY_TASK_ID").ndjson"
  )
done
cat "$work"/out/*.ndjson >"$work/slurm.ndjson"
cmp "$work/single.ndjson" "$work/slurm.ndjson" ||
  { echo "Slurm array: the merged inventory differs from the single run's" >&2; exit 1; }

# The same records as a walk of the tree; only the order is the list's.
lodestar-cli batch "$tree" --format ndjson | sort >"$work/walk.sorted"
sort "$work/parallel.ndjson" | cmp - "$work/walk.sorted" ||
  { echo "the merged inventory holds other records than a walk of $tree" >&2; exit 1; }
echo "parallel and Slurm recipes: $count files, $(wc -l <"$work/single.ndjson") records, same as one run"
