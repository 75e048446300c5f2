#!/usr/bin/env bash
# Seeds for the whole-program targets, made from the golden programs (tests/programs), so that
# no copy of them is kept: fuzz_kavpack takes the sources as they are, fuzz_image their packed
# images, fuzz_program the program text inside those images.
#   tests/fuzz/make_seeds.sh KAVPACK OUT    (writes OUT/image and OUT/program)
set -eu
kavpack=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out/image" "$out/program"
for source in "$here"/../programs/*.bas; do
    name=$(basename "$source" .bas)
    "$kavpack" --image-only "$source" -o "$out/image/$name.img" > /dev/null 2>&1 || continue
    # The program text: the last 2 bytes give its length, big-endian, and it stands before them.
    size=$(stat -c %s "$out/image/$name.img")
    length=$(tail -c 2 "$out/image/$name.img" | od -An -tu1 | awk '{print $1 * 256 + $2}')
    head -c $((size - 2)) "$out/image/$name.img" | tail -c "$length" > "$out/program/$name.txt"
done
