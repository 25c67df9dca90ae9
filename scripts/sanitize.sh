#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UBSan in
# build-asan/ and runs every test; any report fails the run. Leaks inside
# the system's font library are suppressed (tests/lsan.supp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMAKHZAN_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags"
cmake --build build-asan -j"$(nproc)"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
