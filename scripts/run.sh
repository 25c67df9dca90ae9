#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DMAKHZAN_TESTS=OFF -DMAKHZAN_BENCH=OFF
cmake --build build-run -j"$(nproc)"
exec ./build-run/src/qt/makhzan "$@"
