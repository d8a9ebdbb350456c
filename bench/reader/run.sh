#!/usr/bin/env bash
# Loading speed of the reader: `lodestar-cli info FILE` (loads every page, prints page 1) against
# `tiffdump FILE` (loads and prints every page) on a 10,000-page file with 20 tags a page, in one
# hyperfine run. Goal: ours / tiffdump at or below 0.5.
#
#   bench/reader/run.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target make-bench-tiff lodestar-cli

cli=$build/src/cli/lodestar-cli
out=bench/out
file=$out/reader-10000-pages.tif
mkdir -p "$out"
"$build/bench/reader/make-bench-tiff" "$file" 10000
# Both programs must read the whole chain, or the comparison means nothing.
listing=$("$cli" info "$file")
if ! grep -q $'\tTotal Pages\t10000$' <<<"$listing"; then
  echo "lodestar-cli does not list 10000 pages in $file" >&2
  exit 1
fi
if [ "$(tiffdump "$file" | grep -c '^Directory ')" -ne 10000 ]; then
  echo "tiffdump does not list 10000 directories in $file" >&2
  exit 1
fi

hyperfine -N --warmup 3 --min-runs 20 --output=null --export-csv "$out/reader.csv" \
  --command-name lodestar-cli "$cli info $file" \
  --command-name tiffdump "tiffdump $file"

# CSV columns: command, mean, stddev, median, user, system, min, max (seconds).
awk -F, '
  $1 == "lodestar-cli" { ours = $2 }
  $1 == "tiffdump" { theirs = $2 }
  END {
    printf "reader: lodestar-cli info %.1f ms, tiffdump %.1f ms, ratio ours/tiffdump %.2f (goal 0.50)\n",
      ours * 1000, theirs * 1000, ours / theirs
  }' "$out/reader.csv"
