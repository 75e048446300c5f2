#!/usr/bin/env bash
# Whole graphics programs (bench/graphics/*.bas) run headless: CPU time (user + system) and wall
# time (means of RUNS runs with hyperfine) beside start.bas (start-up and end alone), and peak
# memory (maximum resident set, from /usr/bin/time), after checking the number each prints
# last. The cost of each statement is measured in-process by quillon_bench (graphics_bench.cpp).
#   bench/graphics.sh BUILD_DIR
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: bench/graphics.sh BUILD_DIR"; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
kavrun=$(cd "$1" && pwd)/kavrun
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
names="start loop lines psets circles paints gprints puts"
declare -A expected=([start]=0 [loop]=10000 [lines]=10000 [psets]=10000 [circles]=1000
    [paints]=20 [gprints]=1000 [puts]=100)
for name in $names; do
    bas=$here/graphics/$name.bas
    got=$(cd "$work" && "$kavrun" --headless "$bas" | tr -d ' \r')
    [ "$got" = "${expected[$name]}" ] || { echo "bench: $name printed '$got'"; exit 1; }
    (cd "$work" && hyperfine --style none --warmup 1 --runs "$runs" --export-json "$name.json" \
        "$kavrun --headless $bas" > /dev/null 2>&1)
    { /usr/bin/time -f "%M" "$kavrun" --headless "$bas" > /dev/null; } 2> "$work/$name.peak"
done
python3 - "$work" $names <<'PY'
import json, sys
work, names = sys.argv[1], sys.argv[2:]
count = {"start": 1, "loop": 10000, "lines": 10000, "psets": 10000, "circles": 1000,
         "paints": 20, "gprints": 1000, "puts": 100}
def result(name):
    return json.load(open(f"{work}/{name}.json"))["results"][0]
print("| program | statements | CPU time | wall time | peak memory |")
print("|---|---|---|---|---|")
for name in names:
    r = result(name)
    peak = int(open(f"{work}/{name}.peak").read().split()[-1]) / 1024
    print(f"| {name} | {count[name]} | {r['user'] + r['system']:.3f} s | {r['mean']:.3f} s | {peak:.0f} MB |")
PY
