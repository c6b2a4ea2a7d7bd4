#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and the release program with warnings as
# errors, and runs every test headless.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMSEL_SANITIZE=ON -DTAMSEL_WERROR=ON >/dev/null
cmake --build build/test

# The release program tools/run.sh starts, in its folder, with warnings as
# errors: an optimising build warns of things the sanitized one does not.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTAMSEL_BUILD_TESTS=OFF -DTAMSEL_BUILD_BENCH=OFF -DTAMSEL_WERROR=ON >/dev/null
cmake --build build/release --target tamsel

export QT_QPA_PLATFORM=offscreen
# Every memory fault fails, leaks included; tools/lsan/suppressions.txt names
# only what Qt, fontconfig, glib, D-Bus and Python keep for the life of the
# process.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan/suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build/test
ctest --output-on-failure -j "$(nproc)"
