#!/usr/bin/env bash
# Device timings: LPRINT of 1,000 lines to a PDF file, and how soon PLAY's first note sounds
# once the sound font is loaded (the onset in the --audio recording, which starts when the
# output opens, right after the font).
#   bench/devices.sh BUILD_DIR
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: bench/devices.sh BUILD_DIR"; exit 2; }
kavrun=$(cd "$1" && pwd)/kavrun
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export XDG_CONFIG_HOME=$work/config

printf 'FOR I = 1 TO 1000\nLPRINT "行"; I; " 0123456789 abcdefghij"\nNEXT\n' > lprint.bas
printf 'END\n' > end.bas
start=$(date +%s.%N)
"$kavrun" --headless --printer out.pdf lprint.bas
lprint=$(echo "$(date +%s.%N) - $start" | bc)
start=$(date +%s.%N)
"$kavrun" --headless end.bas
empty=$(echo "$(date +%s.%N) - $start" | bc)
echo "LPRINT 1000 lines to PDF: ${lprint} s (a run that only ENDs: ${empty} s); $(pdfinfo out.pdf | grep Pages)"

printf 'PLAY "T240C8"\n' > play.bas
"$kavrun" --headless --audio play.wav play.bas
python3 - <<'PY'
import struct, wave
w = wave.open("play.wav")
rate, frames = w.getframerate(), w.readframes(w.getnframes())
samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
onset = next((i for i, s in enumerate(samples) if abs(s) > 300), None)
print("PLAY first note after the output opened: %s ms" %
      ("none" if onset is None else round(onset / 2 / rate * 1000, 1)))
PY
