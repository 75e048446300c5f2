#!/usr/bin/env bash
# A run on a machine without the sound, printing, image and font libraries: each is hidden (an
# empty file mounted over it in a private mount namespace, never on the machine itself), and
# every device that needs one must fail as a device that is not there, with the run going on to
# its end — never the loader's "cannot load" and status 127. Skips (77) when no mount namespace
# can be made.
#   startup_missing_libraries.sh KAVRUN
set -u
kavrun=$(readlink -f "$1")
data=$(cd "$(dirname "$0")" && pwd)/programs
unshare_cmd=()
for try in "unshare -m" "unshare -r -m"; do
    if $try true 2>/dev/null; then read -ra unshare_cmd <<< "$try"; break; fi
done
[ ${#unshare_cmd[@]} -gt 0 ] || { echo "no mount namespace can be made here"; exit 77; }

hidden=()
for soname in libfluidsynth.so.3 libSDL2_mixer-2.0.so.0 libSDL2-2.0.so.0 libasound.so.2 \
    libcairo.so.2 libcups.so.2 libpng16.so.16 libfreetype.so.6 libfontconfig.so.1; do
    path=$(ldconfig -p | awk -v n="$soname" '$1 == n { print $NF; exit }')
    [ -n "$path" ] || { echo "$soname is not installed"; exit 1; }
    hidden+=("$(readlink -f "$path")")
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/config/quillon"
cp "$data/graphics_images.files/pic8.bmp" "$data/graphics_images.files/sub/pic.png" \
    "$data/mci_commands.files/tone.wav" "$work/run/"
printf 'MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xff\x2f\0' > "$work/run/tune.mid"

# Runs kavrun headless with ARGS in the run folder, the libraries hidden; the transcript goes to
# OUT, standard error to ERR, and kavrun's exit status is returned.
run_hidden() {
    local out=$1 err=$2
    shift 2
    (cd "$work/run" && XDG_CONFIG_HOME="$work/config" timeout 30 "${unshare_cmd[@]}" bash -c '
        kavrun=$1 count=$2
        shift 2
        for lib in "${@:1:count}"; do mount --bind /dev/null "$lib" || exit 90; done
        exec "$kavrun" --headless "${@:count+1}"
    ' hide "$kavrun" ${#hidden[@]} "${hidden[@]}" "$@" > "$out" 2> "$err")
}

failed=0
check() {  # NAME EXPECTED ACTUAL
    if ! diff -u "$2" "$3"; then echo "FAIL: $1"; failed=1; fi
}

# Every device in one program, each failure trapped and counted.
cat > "$work/run/devices.bas" <<'BAS'
ON ERROR GOSUB *failed
BEEP
PRINT "beep"
PLAY "CDE"
PRINT "play"; E
MCI "open tone.wav type waveaudio alias t"
PRINT "wave"; E
MCI "open missing.wav type waveaudio alias m"
PRINT "missing wave"; E
MCI "open tune.mid type sequencer alias s"
PRINT "midi file"; E
LPRINT "printed"
PRINT "printer"; E
PICLOAD "pic8.bmp",A
PRINT "bmp"; E
PICLOAD "pic.png",B
PRINT "png"; E
PRINT "end"
END
*failed
E = E + 1
RETURN
BAS
cat > "$work/devices.expected" <<'OUT'
beep
play 1
wave 2
missing wave 3
midi file 4
printer 5
bmp 6
png 7
end
OUT
run_hidden "$work/devices.out" "$work/devices.err" --audio sound.wav --screenshot shot.png \
    devices.bas
status=$?
check "devices: transcript" "$work/devices.expected" "$work/devices.out"
# The only complaint is the screenshot's: it needs libpng, and says so.
echo "kavrun: cannot save shot.png: libpng cannot be loaded" > "$work/devices.err.expected"
# Without fontconfig, text is drawn blank, and the run says so once.
grep -qx "kavrun: fontconfig cannot be loaded; text is drawn blank" "$work/devices.err" ||
    { echo "FAIL: devices: no word of the missing fontconfig"; failed=1; }
sed -i '/^kavrun: fontconfig cannot be loaded; text is drawn blank$/d' "$work/devices.err"
check "devices: standard error" "$work/devices.err.expected" "$work/devices.err"
[ "$status" -eq 2 ] || { echo "FAIL: devices: status $status, expected 2 (the screenshot)"; failed=1; }
# The silent output kept the recording going without SDL_mixer: a WAV header and the beep.
size=$(stat -c %s "$work/run/sound.wav" 2>/dev/null || echo 0)
[ "$size" -gt 10000 ] || { echo "FAIL: the recording has $size bytes"; failed=1; }

# The messages programs show when they do not trap the failures: one statement each, the
# last PLAY with the settings choosing the ALSA sequencer.
: > "$work/messages.out"
: > "$work/messages.err"
for statement in 'PLAY "C"' 'MCI "open tone.wav alias t"' 'LPRINT "x"' 'PICLOAD "pic.png",A' \
    'PICLOAD "pic8.bmp",A' alsa; do
    if [ "$statement" = alsa ]; then
        printf '[Devices]\nMidiOut=alsa\n' > "$work/config/quillon/settings.ini"
        statement='PLAY "C"'
    fi
    printf '%s\n' "$statement" > "$work/run/one.bas"
    run_hidden "$work/one.out" "$work/one.err" one.bas
    status=$?
    cat "$work/one.out" >> "$work/messages.out"
    echo "status $status" >> "$work/messages.out"
    grep -vx "kavrun: fontconfig cannot be loaded; text is drawn blank" "$work/one.err" \
        >> "$work/messages.err"
done
cat > "$work/messages.expected" <<'OUT'
[Basic - Error] Midi出力デバイスがインストールされていない可能性があります

Error line:1
status 1
[Basic - Error] MCI error:このファイルは再生できません (tone.wav)

Error line:1
status 1
[Basic - Error] 使用できるプリンターが見つかりません

Error line:1
status 1
[Basic - Error] ﾌｧｲﾙをｵｰﾌﾟﾝできません

Error line:1
status 1
[Basic - Error] ﾌｧｲﾙをｵｰﾌﾟﾝできません

Error line:1
status 1
[Basic - Error] ALSA sequencer: libasound cannot be loaded

Error line:1
status 1
OUT
check "untrapped messages" "$work/messages.expected" "$work/messages.out"
check "untrapped messages: standard error" /dev/null "$work/messages.err"
exit $failed
