#!/usr/bin/env bash
# Friend-list benchmark: for the emulator's bench accounts (250, 2500 and
# 10000 friends) the time from the refresh command to "Загружено N друзей"
# (median of several runs, each a full refresh of the whole list) and the
# program's peak working set. Runs in the network sandbox; prints a Markdown
# table. Not a test.
#   SORVINTA_BUILD=DIR picks the build root (default: build);
#   SORVINTA_BENCH_RUNS=N runs per size (default 5).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
exe=$root/win/app/Sorvinta.exe
driver=$root/win/tests/e2e/bench_driver.exe
emulator=$root/native/emulator/sorvinta-emulator
runs=${SORVINTA_BENCH_RUNS:-5}

if [ "${1:-}" != "--inside" ]; then
  if [ ! -f "$exe" ] || [ ! -f "$driver" ] || [ ! -x "$emulator" ]; then
    SORVINTA_BUILD=$root bash tools/build.sh
  fi
  exec tools/sandbox.sh --emulator "$emulator" -- bash "$0" --inside
fi

results=$(mktemp)
for n in 250 2500 10000; do
  if ! tools/wine-run.sh --prefix "$root/win/wineprefix" "$driver" "$exe" \
       "bench$n@socialnet.example" bench "$n" "$runs" | tr -d '\r' | grep '^bench ' >>"$results"; then
    echo "bench.sh: the run with $n friends failed" >&2
  fi
done

echo
echo "Refresh of the whole friend list (median of $runs runs), wall clock under Wine:"
echo
echo "| friends | refresh median, ms | fastest, ms | slowest, ms | peak working set, MB |"
echo "|--------:|-------------------:|------------:|------------:|---------------------:|"
while read -r _ n median fastest slowest peak; do
  printf "| %s | %s | %s | %s | %s |\n" "$n" "$median" "$fastest" "$slowest" \
    "$(awk -v kb="$peak" 'BEGIN { printf "%.1f", kb / 1024 }')"
done <"$results"
rm -f "$results"
