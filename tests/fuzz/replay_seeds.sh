#!/usr/bin/env bash
# Replays a whole-program fuzz target over seeds made from the golden programs.
#   replay_seeds.sh REPLAY KAVPACK image|program
set -eu
replay=$1
kavpack=$2
kind=$3
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
"$(dirname "$0")/make_seeds.sh" "$kavpack" "$seeds"
"$replay" "$seeds/$kind"
