#!/usr/bin/env bash
# Checks that every tracked C++ file is formatted as .clang-format says.
# Prints the differences and fails if any file is not; `clang-format -i FILE`
# fixes one.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "missing clang-format (package clang-format)"; exit 1; }
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
clang-format --dry-run -Werror "${files[@]}"
echo "${#files[@]} files formatted as .clang-format says"
