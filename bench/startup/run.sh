#!/usr/bin/env bash
# Start-up of the command-line tool: `lodestar-cli info` on a small file against `tiffdump` on the
# same file, side by side in one hyperfine run, as a script calling the tool once per file sees it.
# Goal: lodestar-cli within 1.3x of tiffdump's mean time. Also checks that the tool links no Qt
# library, which alone costs several milliseconds of every start.
#
#   bench/startup/run.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target lodestar-cli

cli=$build/src/cli/lodestar-cli
sample=samples/sample.tif
out=bench/out
mkdir -p "$out"

if ldd "$cli" | grep -i 'libQt'; then
  echo "lodestar-cli links Qt" >&2
  exit 1
fi

# Output to /dev/null as a script's pipe would take it; many runs, because each is a few ms.
hyperfine -N --warmup 50 --runs 1000 --export-json "$out/startup.json" \
  "tiffdump $sample" "$cli info $sample" "$cli --version"

# On a shared machine the mean wall time is mostly waiting for a processor; the fastest run and the
# processor time (user + system) show the start-up itself and are printed beside it.
python3 - "$out/startup.json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["results"]
tiffdump, info = runs[0], runs[1]
for what, key in (("mean", lambda r: r["mean"]), ("fastest", lambda r: r["min"]),
                  ("user+system", lambda r: r["user"] + r["system"])):
    print(f"lodestar-cli info / tiffdump, {what}: {key(info) / key(tiffdump):.2f}")
ratio = info["mean"] / tiffdump["mean"]
print(f"goal: mean at most 1.30 -> {'met' if ratio <= 1.3 else 'MISSED'}")
sys.exit(0 if ratio <= 1.3 else 1)
PY
