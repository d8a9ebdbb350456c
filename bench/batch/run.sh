#!/usr/bin/env bash
# Throughput of a batch run over an archive-like tree: `lodestar-cli batch` with the nine default
# items against tiffdump (one process over the same files) and exiftool -csv (the same nine tags),
# side by side in one hyperfine run, then peak memory for 2,000 and 20,000 files.
# Goals: at least 2x tiffdump's files per second, at least 100x exiftool's, the same peak memory
# for both tree sizes; the Batch tab, driven offscreen over the same tree, at least half the
# command's files per second.
#
#   bench/batch/run.sh BUILD_DIR
#
# The tree is built once in bench/out from copies of the corpus's small TIFF files (below 16 KiB):
# ten volumes of twenty boxes of a hundred files. exiftool needs about 5 ms a file, so it reads the
# first volume only (2,000 files) and its figure is scaled by files read; the other two read all.
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target lodestar-cli

cli=$build/src/cli/lodestar-cli
out=bench/out
tree=$out/batch-tree
subset=$tree/vol00
volumes=10 boxes=20 per_box=100
files=$((volumes * boxes * per_box))
subset_files=$((boxes * per_box))
mkdir -p "$out"

# The shared corpus beside the checkout where there is one, else the checkout's own copy.
corpus=../shared/corpus
[ -d "$corpus" ] || corpus=tests/data/corpus

if [ "$(cat "$tree/.complete" 2>/dev/null)" != "$files" ]; then
  echo "building $files files in $tree"
  rm -rf "$tree"
  box=$out/batch-box
  rm -rf "$box" && mkdir -p "$box"
  # Small files that are classic TIFF, little- or big-endian, repeated to fill one box. Files that
  # tiffdump refuses (a directory chain that loops) are left out: it stops at the first of them.
  mapfile -t small < <(find "$corpus" -maxdepth 1 -type f -size -16k | sort |
    while read -r f; do
      magic=$(head -c 4 "$f" | od -An -tx1 | tr -d ' \n')
      if [ "$magic" = 49492a00 ] || [ "$magic" = 4d4d002a ]; then
        [ -z "$(tiffdump "$f" 2>&1 >/dev/null)" ] && echo "$f"
      fi
    done)
  [ ${#small[@]} -gt 0 ] || { echo "no small TIFF files in $corpus" >&2; exit 1; }
  for ((i = 0; i < per_box; i++)); do
    cp "${small[i % ${#small[@]}]}" "$(printf '%s/scan-%05d.tif' "$box" "$i")"
  done
  for ((v = 0; v < volumes; v++)); do
    for ((b = 0; b < boxes; b++)); do
      dir=$(printf '%s/vol%02d/box%02d' "$tree" "$v" "$b")
      mkdir -p "$(dirname "$dir")"
      cp -r "$box" "$dir"
    done
  done
  rm -rf "$box"
  echo "$files" >"$tree/.complete"
fi

# Every command must read what it is timed for, or the comparison means nothing.
rows=$("$cli" batch "$tree" --no-header | wc -l)
[ "$rows" -ge "$files" ] || { echo "lodestar-cli wrote $rows rows for $files files" >&2; exit 1; }
dumped=$(find "$tree" -name '*.tif' -exec tiffdump {} + | grep -c '^Magic:')
[ "$dumped" -eq "$files" ] || { echo "tiffdump read $dumped of $files files" >&2; exit 1; }

hyperfine -N --warmup 1 --runs 5 --output=null --export-csv "$out/batch.csv" \
  --command-name lodestar-cli "$cli batch $tree" \
  --command-name tiffdump "find $tree -name *.tif -exec tiffdump {} +" \
  --command-name exiftool-2000 \
  "exiftool -q -q -csv -r -ext tif -ImageWidth -ImageHeight -DocumentName -ImageDescription -XResolution -YResolution -Software -ModifyDate -Artist $subset"

# The Batch tab driven offscreen over the same tree, the window shown (goal: at least half the
# command's files per second), and the pane's cost a record at its start and after 100,000.
tab_rate=0
tab_bench=$build/bench/batch/lodestar_batch_tab_bench
if grep -q lodestar_batch_tab_bench "$build/build.ninja" 2>/dev/null; then
  cmake --build "$build" --target lodestar_batch_tab_bench
  tab_line=$(QT_QPA_PLATFORM=offscreen "$tab_bench" "$tree" --runs 5 2>/dev/null)
  tab_files=$(echo "$tab_line" | awk '{ print $2 }')
  [ "$tab_files" -eq "$files" ] || { echo "the Batch tab read $tab_files of $files files" >&2; exit 1; }
  tab_rate=$(echo "$tab_line" | awk '{ print $(NF - 1) }')
  QT_QPA_PLATFORM=offscreen "$tab_bench" --pane-scaling 2>/dev/null | sed 's/^/batch: /'
else
  echo "batch: Batch tab benchmark not configured (needs LODESTAR_GUI)" >&2
fi

peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
rss_small=$(peak "$cli" batch "$subset")
rss_large=$(peak "$cli" batch "$tree")

# CSV columns: command, mean, stddev, median, user, system, min, max (seconds).
awk -F, -v files="$files" -v subset="$subset_files" -v small="$rss_small" -v large="$rss_large" \
  -v tab="$tab_rate" '
  $1 == "lodestar-cli" { ours = files / $2 }
  $1 == "tiffdump" { dump = files / $2 }
  $1 == "exiftool-2000" { exif = subset / $2 }
  END {
    printf "batch: lodestar-cli %.0f files/s, tiffdump %.0f files/s, exiftool %.0f files/s\n", ours, dump, exif
    printf "batch: ours/tiffdump %.1fx (goal 2x), ours/exiftool %.0fx (goal 100x)\n", ours / dump, ours / exif
    printf "batch: peak memory %d KiB for %d files, %d KiB for %d files\n", small, subset, large, files
    if (tab > 0)
      printf "batch: Batch tab offscreen %.0f files/s, tab/lodestar-cli %.2f (goal 0.5)\n", tab, tab / ours
  }' "$out/batch.csv"

# --jobs against one job, the open-read-close floor, injected latency and memory (jobs.sh).
bench/batch/jobs.sh "$build"
