#!/usr/bin/env bash
# lodestar-cli batch --jobs over the 20,000-file tree of run.sh (built there; run it first):
#   (a) warm cache: --jobs 1 against --jobs N (N: the default, the number of processors but at
#       least 4) and against the floor, a walk that only opens each file, reads its first 64 KiB
#       and closes it (lodestar_batch_floor), also under the shared lock every read takes
#       (--lock). Goals: one job at least 80 % of the floor's files per second, with at most 2 µs
#       of user time a file; N on 2 cores no slower than one job.
#   (b) storage latency: 1 ms on every openat, injected by strace (the delays of different
#       threads overlap). Goal: --jobs 16 at least 8 times --jobs 1.
#   (c) peak memory for 2,000 and 200,000 files (the larger tree is ten sets of hard links to the
#       20,000 files), one job and N. Goal: flat in the size of the tree.
# Every run's output is compared with --jobs 1 first: a faster run that writes other bytes counts
# for nothing.
#
#   bench/batch/jobs.sh BUILD_DIR
source "$(dirname "$0")/../lib.sh"
cmake --build "$build" --target lodestar-cli lodestar_batch_floor

cli=$build/src/cli/lodestar-cli
floor=$build/bench/batch/lodestar_batch_floor
out=bench/out
tree=$out/batch-tree
files=20000
if [ "$(cat "$tree/.complete" 2>/dev/null)" != "$files" ]; then
  echo "no $files-file tree in $tree: run bench/batch/run.sh first" >&2
  exit 1
fi
jobs=$(nproc)
[ "$jobs" -ge 4 ] || jobs=4

"$cli" batch "$tree" --jobs 1 >"$out/jobs-1.txt"
for n in "$jobs" 16; do
  "$cli" batch "$tree" --jobs "$n" | cmp -s - "$out/jobs-1.txt" ||
    { echo "--jobs $n wrote other bytes than --jobs 1" >&2; exit 1; }
done
[ "$("$floor" "$tree")" -eq "$files" ] || { echo "the floor walk missed files" >&2; exit 1; }

# (a) warm cache
hyperfine -N --warmup 2 --runs 10 --output=null --export-csv "$out/jobs-warm.csv" \
  --command-name floor "$floor $tree" \
  --command-name floor-lock "$floor --lock $tree" \
  --command-name jobs-1 "$cli batch $tree --jobs 1" \
  --command-name "jobs-$jobs" "$cli batch $tree --jobs $jobs"

# (b) 1 ms on every open; one run each, the slow one takes 20 s and more
latency() {
  local start end
  start=$(date +%s.%N)
  strace -f --seccomp-bpf -e trace=openat -e inject=openat:delay_enter=1000 -o /dev/null \
    "$cli" batch "$tree" --jobs "$1" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$end" -v b="$start" 'BEGIN { print a - b }'
}
slow1=$(latency 1)
slow16=$(latency 16)
slowfloor_start=$(date +%s.%N)
strace -f --seccomp-bpf -e trace=openat -e inject=openat:delay_enter=1000 -o /dev/null \
  "$floor" "$tree" >/dev/null
slowfloor=$(awk -v a="$(date +%s.%N)" -v b="$slowfloor_start" 'BEGIN { print a - b }')

# (c) peak memory, 2,000 against 200,000 files
big=$out/batch-tree-200k
if [ "$(cat "$big/.complete" 2>/dev/null)" != "$((files * 10))" ]; then
  rm -rf "$big" && mkdir -p "$big"
  for ((k = 0; k < 10; k++)); do cp -al "$tree" "$big/set$k"; done
  echo "$((files * 10))" >"$big/.complete"
fi
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
mem_small_1=$(peak "$cli" batch "$tree/vol00" --jobs 1)
mem_big_1=$(peak "$cli" batch "$big" --jobs 1)
mem_small_n=$(peak "$cli" batch "$tree/vol00" --jobs "$jobs")
mem_big_n=$(peak "$cli" batch "$big" --jobs "$jobs")
mem_big_64=$(peak "$cli" batch "$big" --jobs 64)

awk -F, -v files="$files" -v jobs="$jobs" -v s1="$slow1" -v s16="$slow16" -v sf="$slowfloor" \
  -v m1="$mem_small_1" -v M1="$mem_big_1" -v mn="$mem_small_n" -v Mn="$mem_big_n" \
  -v M64="$mem_big_64" '
  $1 == "floor" { floor = files / $2 }
  $1 == "floor-lock" { locked = files / $2 }
  $1 == "jobs-1" { one = files / $2; user = $5 * 1e6 / files }
  $1 == "jobs-" jobs { many = files / $2 }
  END {
    printf "jobs: warm: floor %.0f files/s, --jobs 1 %.0f files/s (%.0f %% of the floor, %.0f %% of the floor with the lock, goal 80 %%; user %.1f us a file with the walk, goal 2), --jobs %d %.0f files/s (%.2fx, goal 1x on 2 cores)\n", floor, one, 100 * one / floor, 100 * one / locked, user, jobs, many, many / one
    printf "jobs: 1 ms a file: floor %.0f files/s, --jobs 1 %.0f files/s, --jobs 16 %.0f files/s (%.1fx, goal 8x)\n", files / sf, files / s1, files / s16, s1 / s16
    printf "jobs: peak memory --jobs 1: %d KiB for 2,000 files, %d KiB for 200,000\n", m1, M1
    printf "jobs: peak memory --jobs %d: %d KiB for 2,000 files, %d KiB for 200,000; --jobs 64: %d KiB\n", jobs, mn, Mn, M64
  }' "$out/jobs-warm.csv"

# (d) The Batch tab reading ahead, offscreen over the first 2,000 files: one file at a time (the
#     tab before it read ahead) against 16 read ahead, warm and with 1 ms on every open. Goals:
#     at least 8 times the files per second under latency, not slower warm, the window's events
#     never more than 50 ms apart.
tab_bench=$build/bench/batch/lodestar_batch_tab_bench
if grep -q lodestar_batch_tab_bench "$build/build.ninja" 2>/dev/null; then
  cmake --build "$build" --target lodestar_batch_tab_bench
  for ahead in 1 16; do
    echo "jobs: tab warm, --read-ahead $ahead: $(QT_QPA_PLATFORM=offscreen "$tab_bench" \
      "$tree/vol00" --runs 5 --read-ahead "$ahead" 2>/dev/null)"
    echo "jobs: tab 1 ms a file, --read-ahead $ahead: $(QT_QPA_PLATFORM=offscreen strace -f \
      --seccomp-bpf -e trace=openat -e inject=openat:delay_enter=1000 -o /dev/null \
      "$tab_bench" "$tree/vol00" --runs 2 --read-ahead "$ahead" 2>/dev/null)"
  done
fi
