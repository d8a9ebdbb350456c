#!/usr/bin/env python3
"""Every view of every corpus file (info, info --json, print, batch in each format and to a file)
against the outputs stored for it, byte for byte.
Usage: golden.py CLI GOLDEN_DIR CORPUS_DIR... [--update] [--no-print]"""

import difflib
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
    pdf = os.path.join(work, "report.pdf")
    for args in (["-p", str(p), *b] for p in range(1, max(pages, 1) + 1) for b in ([], ["-x"])):
        out[" ".join(["info", *args])] = run(cli, ["info", *args, name], work)
        if has_print:
            if os.path.exists(pdf):
                os.remove(pdf)
            status = run(cli, ["print", *args, "--pdf", pdf, name], work)
            text = subprocess.run(["pdftotext", "-raw", pdf, "-"], capture_output=True,
                                  text=True).stdout if os.path.exists(pdf) else ""
            lines = [line.split("Date: ")[0] for line in text.split("\n")]
            out[" ".join(["print", *args])] = status + "\n".join(lines)
    os.mkdir(os.path.join(work, "dir"))
    shutil.copy(os.path.join(work, name), os.path.join(work, "dir"))
    for fmt in ("records", "csv", "ndjson"):
        out["batch --format " + fmt] = run(cli, ["batch", "--format", fmt, "dir"], work)
    status = run(cli, ["batch", "-o", "out.txt", "dir"], work)
    saved = os.path.join(work, "out.txt")
    with open(saved if os.path.exists(saved) else os.devnull, "rb") as f:
        out["batch -o"] = status + f.read().decode("utf-8", "surrogateescape")
    shutil.rmtree(os.path.join(work, "dir"))
    return {k: v.replace(work + "/", "WORK/") for k, v in out.items()}


def main():
    cli, golden, *corpora = [a for a in sys.argv[1:] if not a.startswith("--")]
    update = "--update" in sys.argv
    # A build without the window has no print helper, though the subcommand is there to say so.
    has_print = "--no-print" not in sys.argv and shutil.which("pdftotext") is not None
    failures, compared, seen = 0, 0, set()
    with tempfile.TemporaryDirectory(prefix="lodestar-golden.") as work:
        for path in (os.path.join(c, n) for c in corpora if os.path.isdir(c)
                     for n in sorted(os.listdir(c)) if not n.endswith(".md")):
            name = os.path.basename(path)
            if name in seen:
                continue  # a second corpus holding the same file
            seen.add(name)
            shutil.copy(path, work)
            new = views(cli, work, name, has_print)
            os.remove(os.path.join(work, name))
            stored = os.path.join(golden, name + ".json")
            if update:
                with open(stored, "w", encoding="utf-8", errors="surrogateescape") as f:
                    json.dump(new, f, indent=0, ensure_ascii=False)
                continue
            with open(stored, encoding="utf-8", errors="surrogateescape") as f:
                old = json.load(f)
            compared += 1
            for title in sorted(set(old) | set(new)):
                # Without the print helper the printed views stored by a build with it are left.
                if old.get(title) != new.get(title) and (has_print or not title.startswith("print")):
                    failures += 1
                    diff = difflib.unified_diff(old.get(title, "").split("\n"),
                                                new.get(title, "").split("\n"), lineterm="")
                    print(f"FAIL {path}, {title}\n" + "\n".join(list(diff)[2:14]))
    print(f"{compared} files compared, {failures} views differ")
    return 1 if failures or (compared == 0 and not update) else 0


if __name__ == "__main__":
    sys.exit(main())
