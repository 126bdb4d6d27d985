#!/usr/bin/env bash
# The test command: installs what is missing, builds both configurations and
# runs every test layer (native core + fuzzers, Win32 under Wine, end to end
# in the network sandbox). Exits non-zero on any failure.
set -eu
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/check-format.sh
python3 tools/check-includes.py
bash tools/build.sh
root=${SORVINTA_BUILD:-build}
status=0
(cd "$root/native" && ctest --output-on-failure -j 2) || status=1
(cd "$root/win" && ctest --output-on-failure -j 2) || status=1
exit $status
