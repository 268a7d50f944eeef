#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: the format check, the tests of a debug
# build and of an AddressSanitizer + UBSan build under real services (PulseAudio, CUPS, Xvfb),
# the sound tests once more on PipeWire, a short fuzzing run, the release build users install
# (warnings as errors too), and the Debian package built, installed, run and purged (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup-debian.sh
scripts/check-format.sh

# ccache makes a second run on the same machine quick; paths below this folder count relative to
# it, so another clone shares the cache.
if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR=$PWD
fi

for preset in dev asan; do
    cmake --preset "$preset" -DVORTAN_WERROR=ON >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
cmake --preset fuzz -DVORTAN_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
cmake --preset release -DVORTAN_WERROR=ON >/dev/null
cmake --build --preset release -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export VORTAN_REQUIRE_SERVICES=1
for preset in dev asan; do
    echo "=== tests ($preset)"
    scripts/test-services.sh ctest --preset "$preset"
    echo "=== sound tests on PipeWire ($preset)"
    scripts/test-services.sh --sound-server pipewire ctest --preset "$preset" -L pulse
done

echo "=== fuzzing"
scripts/fuzz.sh 30

echo "=== package"
scripts/test-package.sh
