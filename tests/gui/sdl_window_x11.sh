#!/usr/bin/env bash
# The SDL window unit tests again, on an X server instead of SDL's offscreen driver: the same
# events, requests and close handling through a real X window.
set -u
unit_tests=$4
work=$(mktemp -d)
source "$(dirname "$0")/common/xserver.bash"
start_xserver
QUILLON_TEST_VIDEO_DRIVER=x11 "$unit_tests" --gtest_filter='SdlWindow*:SdlWindowDeathTest*'
