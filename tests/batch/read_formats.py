#!/usr/bin/env python3
"""Reads `lodestar-cli batch --format csv` and `--format ndjson` back with Python's own parsers.

    read_formats.py LODESTAR_CLI DIR [DIR ...]

For every DIR the CSV must give one row per JSON line, as many cells as the header and the same
values, quotes, separators and line breaks included. Exits non-zero on the first difference.
"""
import csv
import io
import json
import subprocess
import sys

TAGS = "256,257,269:Document,270:Name,305,306,315:Artist"
LABELS = ["Imagewidth", "Imageheight", "Document", "Name", "Software", "DateTime", "Artist"]


def run(cli, directory, *args):
    done = subprocess.run([cli, "batch", directory, "--tags", TAGS, "--jobs", "3", *args],
                          capture_output=True, check=False)
    if done.returncode != 0:
        sys.exit(f"{directory}: exit status {done.returncode}: {done.stderr.decode()}")
    return done.stdout


def check(cli, directory):
    objects = [json.loads(line) for line in run(cli, directory, "--format", "ndjson").splitlines()]
    for separator in [",", "; "]:
        # Names that are not UTF-8 are bytes in CSV and U+FFFD in JSON.
        text = run(cli, directory, "--format", "csv", "--separator", separator).decode(
            errors="replace")
        rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=separator[0],
                               skipinitialspace=separator != ",", strict=True))
        expected = [["Filename", "Page"] + LABELS]
        for obj in objects:
            # An entry a page holds twice: one cell in the CSV, its values one line each.
            values = [obj["values"][label] for label in LABELS]
            expected.append([obj["path"], str(obj["page"])] + [
                "\n".join(v) if isinstance(v, list) else "" if v is None else v for v in values])
        if rows != expected:
            sys.exit(f"{directory}: CSV {rows} against JSON {expected}")
    return len(objects)


for directory in sys.argv[2:]:
    print(f"{directory}: {check(sys.argv[1], directory)} records read back")
