#!/usr/bin/env bash
# Fails, naming the places, when a tracked C++ source differs from what
# clang-format makes of it with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.h' '*.cpp')
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
  echo "Not formatted (run clang-format -i on these files):"
  grep -E '^[^ ].*: error:' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/  /'
  exit 1
fi
echo "formatting: ${#files[@]} files as clang-format makes them"
