#!/usr/bin/env bash
# Builds Harmoniform with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHARMONIFORM_TESTS=ON >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "${JOBS:-2}" --timeout 600
