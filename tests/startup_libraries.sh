#!/usr/bin/env bash
# kavrun starts with only the C and C++ runtime libraries (and the sanitizers' in those builds):
# SDL2, SDL_mixer, FluidSynth, ALSA, fontconfig, FreeType, libpng, cairo and CUPS are opened when
# first used (src/platform/lazy_library.h). A library function called without its forwarder links
# the library at start again; this test names it.
#   startup_libraries.sh KAVRUN
set -u
needed=$(readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
extra=$(echo "$needed" | grep -Ev '^(libstdc\+\+|libm|libgcc_s|libc|ld-linux.*|libasan|libubsan|libtsan|liblsan)\.so' || true)
if [ -n "$extra" ]; then
    echo "kavrun loads at start: $extra"
    echo "add forwarders for the functions it calls (QUILLON_LAZY_FUNCTION) so that it is opened on first use"
    exit 1
fi
