#!/usr/bin/env bash
# Runs one golden program headless and compares its transcript with NAME.expected.
#   NAME.args    extra kavrun arguments, one per line (optional)
#   NAME.stdin   standard input (optional; otherwise empty)
#   NAME.status  expected exit status (optional; otherwise 0)
#   NAME.files/  fixture files copied beside the program (optional)
#   NAME.pixels  checks of the window surface saved at the end (optional): one per line,
#                "X Y W H 0xRRGGBB OP N" — the pixels of that colour in the rectangle, compared
#                with N by OP (=, <, >); text after '#' is a comment. PROBE reads the PNG.
# The program runs from a fresh temporary folder, so files it writes never touch the tree.
#   run_golden.sh KAVRUN PROGRAM [PROBE]
set -u
kavrun=$1
program=$2
probe=${3:-}
dir=$(dirname "$program")
name=$(basename "$program" .bas)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$program" "$work/"
[ -d "$dir/$name.files" ] && cp -r "$dir/$name.files/." "$work/"
args=()
if [ -f "$dir/$name.args" ]; then
    while IFS= read -r line || [ -n "$line" ]; do args+=("$line"); done < "$dir/$name.args"
fi
pixels="$dir/$name.pixels"
[ -f "$pixels" ] && args+=(--screenshot "$work/shot.png")
stdin=/dev/null
[ -f "$dir/$name.stdin" ] && stdin="$dir/$name.stdin"
expected_status=0
[ -f "$dir/$name.status" ] && expected_status=$(tr -d '[:space:]' < "$dir/$name.status")

(cd "$work" && timeout 30 "$kavrun" --headless "${args[@]}" "$name.bas" < "$stdin" > "$work/actual.out")
status=$?
failed=0
if ! cmp -s "$dir/$name.expected" "$work/actual.out"; then
    echo "transcript differs from $name.expected:"
    diff -u "$dir/$name.expected" "$work/actual.out" | head -n 60
    failed=1
fi
if [ -f "$pixels" ]; then
    while read -r x y w h rgb op n; do
        n=${n%%#*}
        n=${n// /}
        [ -z "$x" ] || [ "${x:0:1}" = "#" ] && continue
        got=$("$probe" png-count "$work/shot.png" "$x" "$y" "$w" "$h" "$rgb")
        case "$op" in
            "=") [ "$got" -eq "$n" ] ;;
            "<") [ "$got" -lt "$n" ] ;;
            ">") [ "$got" -gt "$n" ] ;;
            *) false ;;
        esac || { echo "pixels $x $y $w $h of $rgb: $got, expected $op $n"; failed=1; }
    done < "$pixels"
fi
if [ "$status" != "$expected_status" ]; then
    echo "exit status $status, expected $expected_status"
    failed=1
fi
exit $failed
