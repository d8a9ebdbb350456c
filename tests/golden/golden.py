#!/usr/bin/env python3
"""Every view of every corpus file against the outputs stored from the release before whole-file
reading. A classic file without sub-directories or GeoTIFF keys must list, report and record byte
for byte as before; a file with them may only gain: rows inserted into its listings and reports,
and the new JSON members. Usage: golden.py CLI GOLDEN_DIR CORPUS_DIR... [--update]"""

import difflib
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile


def run(cli, args, cwd):
    done = subprocess.run([cli, *args], cwd=cwd, capture_output=True)
    return done.stdout.decode("utf-8", "surrogateescape") + f"== exit {done.returncode}\n"


def views(cli, work, name, has_print):
    """Section title -> output, for every view of the file named inside work."""
    out = {"info --json": run(cli, ["info", "--json", name], work)}
    try:
        pages = json.loads(out["info --json"].split("\n", 1)[0] + "]}")["page_count"]
    except (ValueError, KeyError):
        pages = 1
    for page in range(1, max(pages, 1) + 1):
        for base in ([], ["-x"]):
            args = ["-p", str(page), *base]
            out[" ".join(["info", *args])] = run(cli, ["info", *args, name], work)
            if not has_print:
                continue
            pdf = os.path.join(work, "report.pdf")
            if os.path.exists(pdf):
                os.remove(pdf)
            status = run(cli, ["print", *args, "--pdf", pdf, name], work)
            text = ""
            if os.path.exists(pdf):
                text = subprocess.run(["pdftotext", "-raw", pdf, "-"], capture_output=True,
                                      text=True).stdout
            lines = [l.split("Date: ")[0] if "Date: " in l else l for l in text.split("\n")]
            out[" ".join(["print", *args])] = status + "\n".join(lines)
    folder = os.path.join(work, "dir")
    os.mkdir(folder)
    shutil.copy(os.path.join(work, name), folder)
    for fmt in ("records", "csv", "ndjson"):
        out["batch --format " + fmt] = run(cli, ["batch", "--format", fmt, "dir"], work)
    status = run(cli, ["batch", "-o", "out.txt", "dir"], work)
    with open(os.path.join(work, "out.txt"), "rb") if os.path.exists(
            os.path.join(work, "out.txt")) else open(os.devnull, "rb") as saved:
        out["batch -o"] = status + saved.read().decode("utf-8", "surrogateescape")
    shutil.rmtree(folder)
    return {k: v.replace(work + "/", "WORK/") for k, v in out.items()}


def parse(text):
    return json.loads(text.rsplit("== exit", 1)[0])


def only_gained(title, old, new):
    """None when new differs from old only by what whole-file reading adds, else the reason."""
    if title == "info --json":
        doc = parse(new)
        if "format" not in doc:
            return "the JSON changed without sub-directories, GeoTIFF keys or BigTIFF"
        del doc["format"]
        before = parse(old)
        for page, old_page in zip(doc["pages"], before["pages"]):
            page.pop("subdirectories", None)
            page.pop("geokeys", None)
            for tag, old_tag in zip(page["tags"], old_page["tags"]):
                if old_tag["type_name"] == "Unknown":  # a pointer type read now (IFD, IFD8)
                    for key in ("type_name", "value"):
                        tag.pop(key, None)
                        old_tag.pop(key, None)
        return None if doc == before else "the JSON changed beyond the new members"
    if title.startswith("batch"):
        return "a record with the default items changed"
    a, b = old.split("\n"), new.split("\n")
    ops = difflib.SequenceMatcher(None, a, b, autojunk=False).get_opcodes()
    for op, a0, a1, b0, b1 in ops:
        if op in ("equal", "insert"):
            continue
        # Only an entry of a type read now (IFD, IFD8) may show that type and its value.
        if op != "replace" or a1 - a0 != b1 - b0 or not all(
                "\tUnknown\t" in line or " Unknown " in line for line in a[a0:a1]):
            return "rows other than sub-directory rows changed"
    return None


def main():
    args = [a for a in sys.argv[1:] if a not in ("--update", "--no-print")]
    update = "--update" in sys.argv
    cli, golden, corpora = args[0], args[1], args[2:]
    # A build without the window has no print helper, though the subcommand is there to say so.
    has_print = "--no-print" not in sys.argv and shutil.which("pdftotext") is not None
    failures, compared, seen = 0, 0, set()
    # The work folder's name is replaced in every output: it differs from run to run.
    with tempfile.TemporaryDirectory(prefix="lodestar-golden.") as work:
        for corpus in corpora:
            if not os.path.isdir(corpus):
                continue
            for name in sorted(os.listdir(corpus)):
                with open(os.path.join(corpus, name), "rb") as f:
                    digest = hashlib.sha256(f.read()).hexdigest()
                if name.endswith(".md") or (name, digest) in seen:
                    continue  # a second corpus holding the same file
                seen.add((name, digest))
                shutil.copy(os.path.join(corpus, name), work)
                new = views(cli, work, name, has_print)
                os.remove(os.path.join(work, name))
                stored = os.path.join(golden, name + ".json")
                if update:
                    with open(stored, "w", encoding="utf-8", errors="surrogateescape") as f:
                        json.dump(new, f, indent=0, ensure_ascii=False)
                    continue
                if not os.path.exists(stored):
                    print(f"{corpus}/{name}: no stored outputs; skipped")
                    continue
                with open(stored, encoding="utf-8", errors="surrogateescape") as f:
                    old = json.load(f)
                compared += 1
                big = '"BigTIFF"' in new["info --json"]
                for title in sorted(set(old) | set(new)):
                    if old.get(title) == new.get(title):
                        continue
                    if not has_print and title.startswith("print"):
                        continue  # stored by a build that could print
                    if big:  # read for the first time; nothing to keep
                        continue
                    why = (only_gained(title, old[title], new[title])
                           if title in old and title in new else "a view appeared or vanished")
                    if why:
                        failures += 1
                        print(f"FAIL {corpus}/{name}, {title}: {why}")
                        for line in list(difflib.unified_diff(
                                old.get(title, "").split("\n"), new.get(title, "").split("\n"),
                                lineterm=""))[:12]:
                            print("   ", line)
    print(f"{compared} files compared, {failures} views differ")
    return 1 if failures or (not update and compared == 0) else 0


if __name__ == "__main__":
    sys.exit(main())
