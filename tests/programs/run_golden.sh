#!/usr/bin/env bash
# Runs one golden program headless and compares its transcript with NAME.expected, twice: with
# statements prepared, and with every statement run from its text (QUILLON_TEXT_PATH=1). Both
# runs must give everything that is expected.
#   NAME.args    extra kavrun arguments, one per line (optional)
#   NAME.stdin   standard input (optional; otherwise empty)
#   NAME.status  expected exit status (optional; otherwise 0)
#   NAME.files/  fixture files copied beside the program (optional)
#   NAME.settings  the settings file the run starts with (optional; @WORK@ stands for the
#                  program's folder); every run gets its own settings folder
#   NAME.stderr  the expected standard error (optional; @CONFIG@ stands for the settings
#                folder); without it standard error is shown as it comes
#   NAME.after   a shell script run in the program's folder afterwards (optional); what it
#                prints is compared too, after the transcript
#   NAME.pixels  checks of the window surface saved at the end (optional): one per line,
#                "X Y W H 0xRRGGBB OP N" — the pixels of that colour in the rectangle, compared
#                with N by OP (=, <, >); text after '#' is a comment. PROBE reads the PNG.
# Each run starts in a fresh temporary folder, so files it writes never touch the tree.
#   run_golden.sh KAVRUN PROGRAM [PROBE]
set -u
kavrun=$1
program=$2
probe=${3:-}
dir=$(cd "$(dirname "$program")" && pwd)
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
pixels="$dir/$name.pixels"
[ -f "$pixels" ] && args+=(--screenshot "$work/shot.png")
stdin=/dev/null
[ -f "$dir/$name.stdin" ] && stdin="$dir/$name.stdin"
expected_status=0
[ -f "$dir/$name.status" ] && expected_status=$(tr -d '[:space:]' < "$dir/$name.status")

failed=0
for mode in prepared text; do
    text_path=()
    [ "$mode" = text ] && text_path=(QUILLON_TEXT_PATH=1)
    run=$work/run
    config=$work/config
    rm -rf "$run" "$config" "$work/shot.png" && mkdir "$run" "$config"
    cp -r "$work/files/." "$run/"
    if [ -f "$dir/$name.settings" ]; then
        mkdir -p "$config/quillon"
        sed "s|@WORK@|$run|g" "$dir/$name.settings" > "$config/quillon/settings.ini"
    fi
    exec 4>&2  # the program's standard error: shown, or kept to compare
    [ -f "$dir/$name.stderr" ] && exec 4> "$work/actual.err"
    (cd "$run" && env XDG_CONFIG_HOME="$config" "${text_path[@]}" timeout 30 "$kavrun" \
        --headless "${args[@]}" "$name.bas" < "$stdin" > "$work/actual.out" 2>&4)
    status=$?
    exec 4>&-
    if [ -f "$dir/$name.after" ]; then
        (cd "$run" && bash "$dir/$name.after" >> "$work/actual.out" 2>&1)
    fi
    if ! cmp -s "$dir/$name.expected" "$work/actual.out"; then
        echo "transcript ($mode) differs from $name.expected:"
        diff -u "$dir/$name.expected" "$work/actual.out" | head -n 60
        failed=1
    fi
    if [ -f "$dir/$name.stderr" ] &&
        ! sed "s|@CONFIG@|$config|g" "$dir/$name.stderr" | cmp -s - "$work/actual.err"; then
        echo "standard error ($mode) differs from $name.stderr:"
        sed "s|@CONFIG@|$config|g" "$dir/$name.stderr" | diff -u - "$work/actual.err" | head -n 20
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
            esac || { echo "pixels ($mode) $x $y $w $h of $rgb: $got, expected $op $n"; failed=1; }
        done < "$pixels"
    fi
    if [ "$status" != "$expected_status" ]; then
        echo "exit status ($mode) $status, expected $expected_status"
        failed=1
    fi
done
exit $failed
