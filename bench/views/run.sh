#!/usr/bin/env bash
# What the views cost on the file whose 65,535 entries all name one 1 MiB Ascii value (made by the
# memory benchmark): wall time, CPU time (which a busy machine inflates less) and peak resident
# memory of `info`, `info --json`, `print` and a `batch` record over it. Whole, every view would
# hold 64 GiB; bounded, each stays near 16 MiB of value text.
#
#   bench/views/run.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target memory-bench lodestar-cli
if cmake --build "$build" --target lodestar-print >/dev/null 2>&1; then print=1; else print=0; fi

out=bench/out/views
mkdir -p "$out"
"$build/bench/memory/memory-bench" "$out" >/dev/null
rm -f "$out/spread.tif"
cli=$build/src/cli/lodestar-cli
shared=$out/shared.tif

measure() { # label, then the command line; one process at a time, so its children are its own
  local label=$1
  shift
  python3 - "$label" "$@" <<'PY'
import resource, subprocess, sys, time
label, args = sys.argv[1], sys.argv[2:]
start = time.monotonic()
done = subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
seconds = time.monotonic() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
cpu = usage.ru_utime + usage.ru_stime
print(f"{label:<14} {seconds:6.2f} s ({cpu:5.2f} s CPU)  {usage.ru_maxrss / 1024:7.1f} MiB  status {done.returncode}")
PY
}

measure "info" "$cli" info "$shared"
measure "info --json" "$cli" info --json "$shared"
measure "batch" "$cli" batch "$out"
measure "batch ndjson" "$cli" batch --format ndjson "$out"
if [ $print = 1 ]; then
  measure "print" "$cli" print --pdf "$out/shared.pdf" "$shared"
fi
