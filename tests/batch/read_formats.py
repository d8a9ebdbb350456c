#!/usr/bin/env python3
"""Reads `lodestar-cli batch --format csv` and `--format ndjson` back with Python's own parsers.

    read_formats.py LODESTAR_CLI DIR [DIR ...]

For every DIR: the CSV must give one row per page record, every row as many cells as the header,
and the same values as the JSON lines (an entry a page holds twice gives one cell, its values
one line each); the JSON must be one object per line. Values that hold
quotes, separators and line breaks must come back exactly. Exits non-zero with a message on the
first difference.
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
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    if done.returncode != 0:
        sys.exit(f"{directory}: exit status {done.returncode}: {done.stderr.decode()}")
    return done.stdout


def check(cli, directory):
    objects = [json.loads(line) for line in run(cli, directory, "--format", "ndjson").splitlines()]
    for separator in [",", "; "]:
        # Names that are not UTF-8 are bytes in CSV and U+FFFD in JSON.
        text = run(cli, directory, "--format", "csv", "--separator", separator).decode(
            errors="replace")
        dialect = dict(delimiter=separator[0], skipinitialspace=separator != ",", strict=True)
        rows = list(csv.reader(io.StringIO(text, newline=""), **dialect))
        header, records = rows[0], rows[1:]
        if header != ["Filename", "Page"] + LABELS:
            sys.exit(f"{directory}: header {header}")
        if len(records) != len(objects):
            sys.exit(f"{directory}: {len(records)} CSV rows against {len(objects)} JSON lines")
        for row, obj in zip(records, objects):
            if len(row) != len(header):
                sys.exit(f"{directory}: {len(row)} cells in {row}")
            expected = [obj["path"], str(obj["page"])]
            for label in LABELS:
                value = obj["values"][label]
                # An entry a page holds twice: one cell in the CSV, its values one line each.
                if isinstance(value, list):
                    value = "\n".join(value)
                expected.append("" if value is None else value)
            if row != expected:
                sys.exit(f"{directory}: CSV row {row} against JSON {expected}")
    return len(objects)


def main():
    cli, directories = sys.argv[1], sys.argv[2:]
    for directory in directories:
        print(f"{directory}: {check(cli, directory)} records read back")


if __name__ == "__main__":
    main()
