#!/usr/bin/env bash
# Runs one golden program headless and compares its transcript with NAME.expected, twice: with
# statements prepared, and with every statement run from its text (QUILLON_TEXT_PATH=1). Both
# runs must give the expected transcript and exit status.
#   NAME.args    extra kavrun arguments, one per line (optional)
#   NAME.stdin   standard input (optional; otherwise empty)
#   NAME.status  expected exit status (optional; otherwise 0)
#   NAME.files/  fixture files copied beside the program (optional)
# The program runs from a fresh temporary folder, so files it writes never touch the tree.
set -u
kavrun=$1
program=$2
dir=$(dirname "$program")
name=$(basename "$program" .bas)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/files"
cp "$program" "$work/files/"
[ -d "$dir/$name.files" ] && cp -r "$dir/$name.files/." "$work/files/"
args=()
if [ -f "$dir/$name.args" ]; then
    while IFS= read -r line || [ -n "$line" ]; do args+=("$line"); done < "$dir/$name.args"
fi
stdin=/dev/null
[ -f "$dir/$name.stdin" ] && stdin="$dir/$name.stdin"
expected_status=0
[ -f "$dir/$name.status" ] && expected_status=$(tr -d '[:space:]' < "$dir/$name.status")

failed=0
for mode in prepared text; do
    text_path=()
    [ "$mode" = text ] && text_path=(QUILLON_TEXT_PATH=1)
    rm -rf "$work/run" && mkdir "$work/run" && cp -r "$work/files/." "$work/run/"
    (cd "$work/run" && env "${text_path[@]}" timeout 30 "$kavrun" --headless "${args[@]}" \
        "$name.bas" < "$stdin" > "$work/actual.out")
    status=$?
    if ! cmp -s "$dir/$name.expected" "$work/actual.out"; then
        echo "transcript ($mode) differs from $name.expected:"
        diff -u "$dir/$name.expected" "$work/actual.out" | head -n 60
        failed=1
    fi
    if [ "$status" != "$expected_status" ]; then
        echo "exit status ($mode) $status, expected $expected_status"
        failed=1
    fi
done
exit $failed
