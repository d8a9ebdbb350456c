#!/usr/bin/env python3
"""The floor walk, the floor walk under the shared lock, and `batch --jobs 1, 2, 4`, run one after
another round after round; prints each one's median wall, user and system time.

Interleaving spreads whatever else the machine does over every command alike, each round in another
order so that no command always runs after the same one, and the median leaves out the rounds it
disturbed, so the comparison holds on a machine whose wall times vary by a fifth.

    bench/batch/rounds.py BUILD_DIR TREE [ROUNDS]
"""
import random
import resource
import statistics
import subprocess
import sys
import time

if len(sys.argv) < 3:
    sys.exit(__doc__)
build, tree = sys.argv[1], sys.argv[2]
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 40
floor = f"{build}/bench/batch/lodestar_batch_floor"
cli = f"{build}/src/cli/lodestar-cli"
commands = {
    "floor": [floor, tree],
    "floor --lock": [floor, "--lock", tree],
    **{f"--jobs {n}": [cli, "batch", tree, "--jobs", str(n), "-o", "/dev/null"] for n in (1, 2, 4)},
}
times = {name: [] for name in commands}
order = list(commands)
shuffle = random.Random(18)
for round_number in range(rounds + 2):  # two rounds to warm the cache, not counted
    shuffle.shuffle(order)
    for name in order:
        command = commands[name]
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.monotonic()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
        wall = time.monotonic() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if round_number >= 2:
            user, system = after.ru_utime - before.ru_utime, after.ru_stime - before.ru_stime
            times[name].append((wall, user, system))
for name, runs in times.items():
    wall, user, system = (statistics.median(run[i] for run in runs) * 1000 for i in range(3))
    print(f"{name:13} wall {wall:6.1f} ms   user {user:5.1f} ms   system {system:6.1f} ms")
