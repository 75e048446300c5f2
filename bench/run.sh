#!/usr/bin/env bash
# The benchmarks: the Google Benchmark cases (when built), then whole programs timed with
# hyperfine: kavrun as it runs by default, with every statement run from its text
# (QUILLON_TEXT_PATH=1) and with plain rescans (QUILLON_RESCAN=1), side by side with bwbasic and
# yabasic in one run on the same machine.
#   bench/run.sh BUILD_DIR        (./build.sh bench calls it with its build directory)
# RUNS (default 3) sets the timed runs per command; PROGRAMS limits the programs run (the name
# "startup" stands for the start-up comparison, run by default).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: bench/run.sh BUILD_DIR"; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
kavrun=$build/kavrun
programs=$here/programs
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The number each program prints last.
declare -A expected=([b1]=774774 [b2]=574000 [b3]=1899 [b4]=200000 [for_million]=500000
    [long_body]=51000 [nested_while]=300000 [file_print]=100000 [file_line_input]=100000
    [file_input]=100000)
names=${PROGRAMS:-b1 b2 b3 b4 for_million long_body nested_while file_print file_line_input file_input startup}
startup=0
[[ " $names " == *" startup "* ]] && startup=1
names=${names//startup/}

for tool in hyperfine bwbasic yabasic python3; do
    command -v "$tool" > /dev/null || { echo "bench: $tool is missing"; exit 2; }
done

if [ -x "$build/bench/quillon_bench" ] && [ -z "${PROGRAMS:-}" ]; then
    "$build/bench/quillon_bench"
fi

# Every program runs from the work folder, where kavrun's relative file names (resolved against
# the program's folder) and yabasic's (against the current directory) meet; the file benchmarks
# read what is made here.
cp "$programs"/*.bas "$programs"/*.yab "$work/"
python3 - "$work" <<'EOF'
import sys
work = sys.argv[1]
with open(f"{work}/lines.txt", "w", newline="") as f:
    f.write("".join(f"line {i}, {i * 2}\r\n" for i in range(1, 100001)))
with open(f"{work}/records.txt", "w", newline="") as f:
    f.write("".join(f"{i},{i + 1},{i * 2}\r\n" for i in range(1, 100001)))
with open(f"{work}/records_yab.txt", "w", newline="") as f:
    f.write("".join(f"{i} {i + 1} {i * 2}\n" for i in range(1, 100001)))
EOF

last_number() { tr -s ' \r' '\n' | grep -E '^-?[0-9]' | tail -n 1; }

# Every command must print the expected number before it is timed.
check() {  # NAME LABEL COMMAND
    local got
    got=$(cd "$work" && bash -c "$3" 2>&1 | last_number || true)
    if [ "$got" != "${expected[$1]}" ]; then
        echo "bench: $2 printed '$got' for $1, expected ${expected[$1]}"
        exit 1
    fi
}

for name in $names; do
    bas=$work/$name.bas
    yab=$work/$name.yab
    commands=(
        "kavrun|$kavrun --headless $bas"
        "kavrun-rescan|QUILLON_RESCAN=1 $kavrun --headless $bas"
        "kavrun-text|QUILLON_TEXT_PATH=1 $kavrun --headless $bas"
        "bwbasic|bwbasic $bas < /dev/null"
        "yabasic|yabasic $yab"
    )
    args=()
    for entry in "${commands[@]}"; do
        check "$name" "${entry%%|*}" "${entry#*|}"
        args+=(-n "${entry%%|*}" "${entry#*|}")
    done
    echo "== $name"
    (cd "$work" && hyperfine --style basic --warmup 1 --runs "$runs" \
        --export-json "$work/$name.json" "${args[@]}" > /dev/null)
done

# Start-up: a program that is only END, headless, against yabasic's "end" (wall and CPU time of
# many short runs: start-up is what both pay before their first statement).
printf '10 END\n' > "$work/end.bas"
if [ "$startup" = 1 ]; then
    echo "== startup"
    (cd "$work" && hyperfine --style basic -N --warmup 3 --runs $((runs * 10)) \
        --export-json "$work/startup.json" -n kavrun "$kavrun --headless $work/end.bas" \
        -n yabasic "yabasic -e end" > /dev/null)
fi

# One table: CPU seconds (user + system, steadier than wall time on a loaded machine) per
# command, wall seconds for kavrun, and the ratios that matter.
python3 - "$work" $names <<'EOF'
import json, sys
work, names = sys.argv[1], sys.argv[2:]
print("| program | kavrun | kavrun, text path | kavrun, rescans | bwbasic | yabasic | kavrun wall | text path/kavrun | rescans/kavrun | bwbasic/kavrun | kavrun/yabasic |")
print("|---|---|---|---|---|---|---|---|---|---|---|")
for name in names:
    results = json.load(open(f"{work}/{name}.json"))["results"]
    cpu = {r["command"]: r["user"] + r["system"] for r in results}
    wall = {r["command"]: r["mean"] for r in results}
    k, t, r = cpu["kavrun"], cpu["kavrun-text"], cpu["kavrun-rescan"]
    b, y = cpu["bwbasic"], cpu["yabasic"]
    print(f"| {name} | {k:.2f} s | {t:.2f} s | {r:.2f} s | {b:.2f} s | {y:.3f} s "
          f"| {wall['kavrun']:.2f} s | {t/k:.2f} | {r/k:.2f} | {b/k:.1f} | {k/y:.1f} |")
try:
    results = json.load(open(f"{work}/startup.json"))["results"]
except FileNotFoundError:
    sys.exit(0)
t = {r["command"]: r for r in results}
k, y = t["kavrun"], t["yabasic"]
print()
print("| start-up (`10 END`) | kavrun | yabasic | kavrun/yabasic |")
print("|---|---|---|---|")
print(f"| wall, mean | {k['mean']*1000:.1f} ms | {y['mean']*1000:.1f} ms | {k['mean']/y['mean']:.1f} |")
kc, yc = k["user"] + k["system"], y["user"] + y["system"]
print(f"| CPU (user + system) | {kc*1000:.1f} ms | {yc*1000:.1f} ms | {kc/yc:.1f} |")
EOF
