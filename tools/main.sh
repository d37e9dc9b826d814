#!/usr/bin/env bash
# Quick start, first command: installs what is missing, builds, and runs the
# main job: the shortest road between two towns of examples/roads.txt on the
# local engine. Arguments, if any, go to kyanalyze instead
# (`tools/main.sh describe shortestPaths`).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh
cmake -S . -B build -G Ninja -DKY_BUILD_TESTS=OFF -DKY_BUILD_BENCH=OFF >/dev/null
cmake --build build --target kyanalyze
if (($#)); then
  exec build/tools/kyanalyze/kyanalyze "$@"
fi
exec build/tools/kyanalyze/kyanalyze run shortestPaths --graph examples/roads.txt \
  --set startNode=Ashby --set finishNode=Harlow --undirected
