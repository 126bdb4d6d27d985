#!/usr/bin/env bash
# The fault and load matrix: every fault switch of the emulator against every
# worker (login, friend list, message, status, logout, the captcha step of a
# login and of a message) in one run of the real program inside the sandbox,
# then the load cases. Prints both tables; exit 1
# on any failed cell. The test command runs the same driver (ctest e2e.faults).
#   tools/faults.sh [FAULT...]     e.g. tools/faults.sh "data huge" no_sid
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
cmake --build "$root/win" -j "${SORVINTA_JOBS:-2}" --target Sorvinta faults_driver >/dev/null
tools/sandbox.sh --emulator "$root/native/emulator/sorvinta-emulator" -- \
  tools/wine-run.sh --prefix "$root/win/wineprefix" "$root/win/tests/e2e/faults_driver.exe" \
  "$root/win/app/Sorvinta.exe" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
