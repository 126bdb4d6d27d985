#!/usr/bin/env bash
# Benchmark against its floors: for the emulator's bench accounts (250, 2500 and
# 10000 friends) the time from the refresh command to "Загружено N друзей"
# (median of several runs, each a full refresh of the whole list) and the
# program's peak working set. The cold start sets the program beside a bare
# window program, each a fresh copy in a folder of its own made before the
# clock starts, both timed alike from CreateProcess to the main window shown
# and answering a message. Runs in the network sandbox; prints a Markdown
# table. Not a test.
#   SORVINTA_BUILD=DIR picks the build root (default: build);
#   SORVINTA_BENCH_RUNS=N runs per size (default 5).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
exe=$root/win/app/Sorvinta.exe
driver=$root/win/tests/e2e/bench_driver.exe
floor=$root/win/tests/e2e/bench_floor.exe
emulator=$root/native/emulator/sorvinta-emulator
runs=${SORVINTA_BENCH_RUNS:-5}

if [ "${1:-}" != "--inside" ]; then
  if [ ! -f "$exe" ] || [ ! -f "$driver" ] || [ ! -f "$floor" ] || [ ! -x "$emulator" ]; then
    SORVINTA_BUILD=$root bash tools/build.sh
  fi
  exec tools/sandbox.sh --emulator "$emulator" -- bash "$0" --inside
fi

results=$(mktemp)
wine() { tools/wine-run.sh --prefix "$root/win/wineprefix" "$@" | tr -d '\r'; }
sizes=${SORVINTA_BENCH_SIZES:-250 2500 10000}
for n in $sizes; do
  # Program and floor one after the other, each figure beside its floor.
  wine "$driver" "$exe" "bench$n@socialnet.example" bench "$n" "$runs" | grep '^bench ' >>"$results" ||
    echo "bench.sh: the run with $n friends failed" >&2
  wine "$floor" list "bench$n@socialnet.example" bench "$n" "$runs" | grep '^floor' >>"$results" ||
    echo "bench.sh: the floor with $n friends failed" >&2
done
wine "$driver" huge "$exe" "$runs" | grep '^huge ' >>"$results" || echo "bench.sh: the 10 MiB run failed" >&2
wine "$floor" receive "$runs" | grep '^receive ' >>"$results" || echo "bench.sh: the receive floor failed" >&2
wine "$driver" start "$exe" "$floor" "$runs" | grep '^start' >>"$results" || echo "bench.sh: the start run failed" >&2

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
get() { awk -v k="$1" -v n="$2" -v f="$3" '$1 == k && (n == "" || $2 == n) { print $f; exit }' "$results"; }

echo
echo "Medians of $runs runs, wall clock under Wine, ms:"
echo
echo "| figure | Sorvinta | floor | ratio | floor on the UI thread (information) |"
echo "|---|---:|---:|---:|---:|"
for n in $sizes; do
  p=$(get bench "$n" 3) f=$(get floor "$n" 3) u=$(get floor_ui "$n" 3)
  echo "| refresh of $n friends | ${p:--} | ${f:--} | $(ratio "${p:-0}" "${f:-0}") | ${u:--} |"
done
p=$(get bench 10000 3) q=$(get bench 2500 3) f=$(get floor 10000 3) g=$(get floor 2500 3)
echo "| growth 2500 → 10000 | $(ratio "${p:-0}" "${q:-0}")x | $(ratio "${f:-0}" "${g:-0}")x | | |"
p=$(get huge "" 2) f=$(get receive "" 3)
echo "| 10 MiB answer (refresh vs bare receive loop) | ${p:--} | ${f:--} | $(ratio "${p:-0}" "${f:-0}") | |"
p=$(get start "" 2) f=$(get start_floor "" 2)
echo "| cold start to the main window shown | ${p:--} | ${f:--} | $(ratio "${p:-0}" "${f:-0}") | |"
idle=$(get bench 2500 7) loaded=$(get bench 2500 8)
echo
echo "Private bytes with 2500 friends loaded: $(awk -v a="${loaded:-0}" -v b="${idle:-0}" 'BEGIN { printf "%.1f MB above the idle %.1f MB", (a - b) / 1024, b / 1024 }')"
stripped=$(mktemp)
x86_64-w64-mingw32-strip -o "$stripped" "$exe" 2>/dev/null || i686-w64-mingw32-strip -o "$stripped" "$exe" 2>/dev/null
echo "Sorvinta.exe (Release, linked without symbols): $(stat -c %s "$exe") bytes; strip leaves $(stat -c %s "$stripped") bytes"
rm -f "$stripped" "$results"
