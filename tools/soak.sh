#!/usr/bin/env bash
# Soak: in one run of the program, REFRESHES (default 1000) refreshes of the
# 2500-friend account one at a time, then LOGINS (default 200) logins and
# logouts; prints handles, windows, GDI and USER objects and private bytes after the
# first ten refreshes and at the end, with the margin each may grow by.
# Exit 1 on a failed step or on growth beyond a margin. Not a test.
#   tools/soak.sh [REFRESHES [LOGINS]]
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
refreshes=${1:-1000} logins=${2:-200}
if [ "${3:-}" != "--inside" ]; then
  cmake --build "$root/win" -j "${SORVINTA_JOBS:-2}" --target Sorvinta soak_driver >/dev/null
  exec tools/sandbox.sh --emulator "$root/native/emulator/sorvinta-emulator" -- bash "$0" "$refreshes" "$logins" --inside
fi
out=$(tools/wine-run.sh --prefix "$root/win/wineprefix" "$root/win/tests/e2e/soak_driver.exe" \
  "$root/win/app/Sorvinta.exe" "$refreshes" "$logins" | tr -d '\r')
echo "$out" | grep '^soak refreshes'
# Margins: a few handles/objects Wine itself may still open; 1 MB of heap.
echo "$out" | awk '
  BEGIN { m["handles"] = 8; m["windows"] = 0; m["gdi"] = 4; m["user"] = 4; m["private_kb"] = 1024; bad = 0
          printf "| figure | after 10 | at the end | margin | |\n|---|---:|---:|---:|---|\n" }
  $1 == "soak" && ($2 in m) { ok = $4 - $3 <= m[$2]; bad += !ok
          # GetGuiResources is a stub in Wine: 0 for every process, its own too.
          verdict = $3 == 0 && $4 == 0 ? "not reported by Wine" : ok ? "ok" : "GROWN"
          printf "| %s | %s | %s | %s | %s |\n", $2, $3, $4, m[$2], verdict }
  END { exit bad ? 1 : 0 }'
