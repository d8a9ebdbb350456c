#!/usr/bin/env bash
# Throughput of `lodestar-cli check` against `lodestar-cli batch` over the archive-like tree of the
# batch benchmark (20,000 small files), both on one job and then with four, in one hyperfine run;
# then check's peak memory for 2,000 and 20,000 files.
# Goals: check at least half of batch's files per second on one job; the same peak memory for both
# tree sizes. check exits 4 here (some corpus files are not valid), so hyperfine ignores the status.
#
#   bench/check/run.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target lodestar-cli

cli=$build/src/cli/lodestar-cli
out=bench/out
tree=$out/batch-tree
subset=$tree/vol00
files=20000
subset_files=2000
mkdir -p "$out"

# The same tree as bench/batch/run.sh builds: ten volumes of twenty boxes of a hundred copies of
# the corpus's small classic TIFF files.
if [ "$(cat "$tree/.complete" 2>/dev/null)" != "$files" ]; then
  corpus=../shared/corpus
  [ -d "$corpus" ] || corpus=tests/data/corpus
  echo "building $files files in $tree"
  rm -rf "$tree"
  box=$out/check-box
  rm -rf "$box" && mkdir -p "$box"
  mapfile -t small < <(find "$corpus" -maxdepth 1 -type f -size -16k | sort |
    while read -r f; do
      magic=$(head -c 4 "$f" | od -An -tx1 | tr -d ' \n')
      if [ "$magic" = 49492a00 ] || [ "$magic" = 4d4d002a ]; then
        [ -z "$(tiffdump "$f" 2>&1 >/dev/null)" ] && echo "$f"
      fi
    done)
  for ((i = 0; i < 100; i++)); do
    cp "${small[i % ${#small[@]}]}" "$(printf '%s/scan-%05d.tif' "$box" "$i")"
  done
  for ((v = 0; v < 10; v++)); do
    for ((b = 0; b < 20; b++)); do
      dir=$(printf '%s/vol%02d/box%02d' "$tree" "$v" "$b")
      mkdir -p "$(dirname "$dir")"
      cp -r "$box" "$dir"
    done
  done
  rm -rf "$box"
  echo "$files" >"$tree/.complete"
fi

# Every file must be checked, or the comparison means nothing.
verdicts=$("$cli" check --jobs 1 "$tree" | grep -c ' findings\?)$' || true)
[ "$verdicts" -eq "$files" ] || { echo "check gave $verdicts verdicts for $files files" >&2; exit 1; }

hyperfine -N -i --warmup 1 --runs 5 --output=null --export-csv "$out/check.csv" \
  --command-name batch-1 "$cli batch --jobs 1 $tree" \
  --command-name check-1 "$cli check --jobs 1 $tree" \
  --command-name batch-4 "$cli batch --jobs 4 $tree" \
  --command-name check-4 "$cli check --jobs 4 $tree"

# check exits 4 over this tree; only the figure matters here.
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 || true; }
rss_small=$(peak "$cli" check --jobs 1 "$subset")
rss_large=$(peak "$cli" check --jobs 1 "$tree")

awk -F, -v files="$files" -v subset="$subset_files" -v small="$rss_small" -v large="$rss_large" '
  { rate[$1] = files / $2 }
  END {
    printf "check: one job: batch %.0f files/s, check %.0f files/s, check/batch %.2f (goal 0.5)\n",
      rate["batch-1"], rate["check-1"], rate["check-1"] / rate["batch-1"]
    printf "check: four jobs: batch %.0f files/s, check %.0f files/s\n", rate["batch-4"], rate["check-4"]
    printf "check: peak memory %d KiB for %d files, %d KiB for %d files\n", small, subset, large, files
  }' <(tail -n +2 "$out/check.csv")
