#!/usr/bin/env bash
# Pictures of every window: builds the program and saves a picture of each
# of its windows, opened offscreen, in FOLDER (shots/ by default);
# --permissions-on opens them with the permissions switch on.
#   bash scripts/shots.sh [FOLDER] [--permissions-on]
set -euo pipefail
cd "$(dirname "$0")/.."
folder="${1:-shots}"
shift || true
bash scripts/deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target makhzan_shots
QT_QPA_PLATFORM=offscreen build/tests/makhzan_shots "$folder" "$@"
