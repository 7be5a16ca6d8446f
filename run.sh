#!/usr/bin/env bash
# Builds Harmoniform and runs its main job on the freshly built plug-in.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}"
# The main job: a generated test programme through the factory bank, written to out/.
exec "$BUILD_DIR/tools/harmoniform" demo "$@"
