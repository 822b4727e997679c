#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test:
#  1. the release build with all tests (core, widget and end-to-end; the last two start
#     their own Xvfb and session bus),
#  2. the code without widgets again under AddressSanitizer and UBSan,
#  3. a short smoke run of each libFuzzer target.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORVANE_SANITIZE=ON \
      -DSORVANE_BUILD_GUI=OFF -DSORVANE_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DSORVANE_FUZZ=ON -DSORVANE_BUILD_GUI=OFF -DSORVANE_BENCHMARKS=OFF
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz --output-on-failure -j "$jobs" --timeout 600
