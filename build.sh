#!/usr/bin/env bash
# Set-up, build and run of the Quillon BASIC runtime on Debian 12.
#   ./build.sh run FILE      build, then run FILE (in a window, or headless without a display)
#   ./build.sh test          build, then run every test, then again under the sanitizers, then
#                            the window and thread tests under ThreadSanitizer
#   ./build.sh test-fast     build and run every test once, without the sanitizer build
#   ./build.sh build         build only (build/kavrun, build/kavpack)
#   ./build.sh bench         build and run the benchmarks (bench/README.md)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake make g++ pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev
    fonts-ipafont-mincho fonts-ipafont-gothic libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool xfonts-base libx11-dev ccache socat binutils
    libfluidsynth-dev fluid-soundfont-gm libsdl2-mixer-dev libasound2-dev libcups2-dev
    libcairo2-dev cups cups-daemon cups-client printer-driver-cups-pdf poppler-utils
    util-linux mount)
JOBS=$(nproc 2>/dev/null || echo 2)
# Under ThreadSanitizer: the targets the run needs, and the tests that run more than one thread
# (the window with its event thread, signals, kavrun itself, input waits, mouse traps, glyphs
# drawn from two threads, PLAY's voices, media notifications, serial reads stopped from outside).
TSAN_TARGETS=(kavrun kavpack unit_tests gui_probe x_close_window)
TSAN_TESTS='^(gui|signals)\.|^(Sdl|WindowProcedure|Headless|Kavrun|Input|MouseTraps|DeviceBuiltins|Glyphs|StatementCutting|Play\.|Mci\.|PortTest|DataSafety)'

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {  # DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
    cmake --build "$dir" -j "$JOBS"
}

run_tests() {  # DIR
    (cd "$1" && ctest --output-on-failure -j "$JOBS")
}

# The thread tests under ThreadSanitizer. Every report is written to build-tsan/tsan-reports,
# so that a race inside a kavrun that a window script runs fails the stage too.
run_tsan_tests() {
    local reports=$PWD/build-tsan/tsan-reports
    local suppressions=$PWD/tests/sanitizer/tsan.supp
    rm -rf "$reports"
    mkdir -p "$reports"
    local status=0
    (cd build-tsan && TSAN_OPTIONS="second_deadlock_stack=1 log_path=$reports/report suppressions=$suppressions" \
        ctest --output-on-failure -j "$JOBS" -R "$TSAN_TESTS") || status=1
    if compgen -G "$reports/report*" > /dev/null; then
        cat "$reports"/report*
        echo "ThreadSanitizer reported the above"
        status=1
    fi
    return $status
}

case "${1:-}" in
    run)
        [ $# -ge 2 ] || { echo "usage: ./build.sh run FILE [kavrun options]"; exit 2; }
        install_packages "${PACKAGES[@]}"
        configure_and_build build
        file=$2
        shift 2
        exec build/kavrun "$@" "$file"
        ;;
    build)
        install_packages "${PACKAGES[@]}"
        configure_and_build build
        ;;
    test)
        install_packages "${PACKAGES[@]}"
        configure_and_build build
        run_tests build
        configure_and_build build-sanitize -DQUILLON_SANITIZE=ON
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
            LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0" run_tests build-sanitize
        cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_TSAN=ON > /dev/null
        cmake --build build-tsan -j "$JOBS" --target "${TSAN_TARGETS[@]}"
        run_tsan_tests
        ;;
    test-fast)
        install_packages "${PACKAGES[@]}"
        configure_and_build build
        run_tests build
        ;;
    bench)
        install_packages "${PACKAGES[@]}" bwbasic yabasic hyperfine
        configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DQUILLON_BENCH=ON
        bench/run.sh build-bench
        bench/graphics.sh build-bench
        ;;
    *)
        echo "usage: ./build.sh run FILE | test | test-fast | build | bench"
        exit 2
        ;;
esac
