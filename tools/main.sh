#!/usr/bin/env bash
# Quick start, first command: installs what is missing, builds, and runs the
# main job. Extra arguments go to `kyanalyze describe`.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
cmake -S . -B build -G Ninja -DKY_BUILD_TESTS=OFF -DKY_BUILD_BENCH=OFF >/dev/null
cmake --build build --target kyanalyze
build/tools/kyanalyze/kyanalyze describe "$@"
