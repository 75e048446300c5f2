#!/usr/bin/env bash
# Whole graphics programs (bench/graphics/*.bas) run headless: wall time (hyperfine, mean of
# RUNS runs) and peak memory (maximum resident set, from /usr/bin/time) of each, after checking
# the number each prints last.
#   bench/graphics.sh BUILD_DIR
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: bench/graphics.sh BUILD_DIR"; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
kavrun=$(cd "$1" && pwd)/kavrun
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
declare -A expected=([loop]=10000 [lines]=10000 [psets]=10000 [circles]=1000 [paints]=20
    [gprints]=1000 [puts]=100)
echo "| program | statements | wall | per statement | peak memory |"
echo "|---|---|---|---|---|"
for name in loop lines psets circles paints gprints puts; do
    bas=$here/graphics/$name.bas
    got=$(cd "$work" && "$kavrun" --headless "$bas" | tr -d ' \r')
    [ "$got" = "${expected[$name]}" ] || { echo "bench: $name printed '$got'"; exit 1; }
    (cd "$work" && hyperfine --style none --warmup 1 --runs "$runs" --export-json "$name.json" \
        "$kavrun --headless $bas" > /dev/null)
    peak=$( { /usr/bin/time -f "%M" "$kavrun" --headless "$bas" > /dev/null; } 2>&1 | tail -n 1)
    python3 - "$work/$name.json" "$name" "${expected[$name]}" "$peak" <<'PY'
import json, sys
mean = json.load(open(sys.argv[1]))["results"][0]["mean"]
count = int(sys.argv[3])
print(f"| {sys.argv[2]} | {count} | {mean:.3f} s | {mean / count * 1e6:.1f} µs | {int(sys.argv[4]) / 1024:.0f} MB |")
PY
done
