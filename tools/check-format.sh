#!/usr/bin/env bash
# Fails when a tracked C++ source drifts from the house format (.clang-format).
set -eu
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "format: clean"
