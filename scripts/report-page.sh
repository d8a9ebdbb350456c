#!/usr/bin/env bash
# Writes the printed report of a file's first page as PDF with lodestar-cli and turns its first
# sheet into a PNG at 60 dots per inch (docs/report-page1.png in the README).
set -euo pipefail
build=$1 file=$2 out=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The page header names the file; a short neutral path reads better in a picture than a checkout's.
mkdir -p "$work/scans"
cp "$file" "$work/scans/$(basename "$file")"
(cd "$work" && "$OLDPWD/$build/src/cli/lodestar-cli" print "scans/$(basename "$file")" --pdf report.pdf)
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/report.pdf" "$work/page"
mkdir -p "$(dirname "$out")"
cp "$work/page.png" "$out"
echo "report-page: wrote $out"
