#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the format check, the tests of a debug
# build and of an AddressSanitizer + UBSan build under real services (PulseAudio, CUPS, Xvfb),
# the sound tests once more on PipeWire, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup-debian.sh
scripts/check-format.sh

for preset in dev asan; do
    cmake --preset "$preset" -DVORTAN_WERROR=ON >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
cmake --preset fuzz -DVORTAN_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"

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
