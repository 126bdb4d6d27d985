#!/usr/bin/env bash
# Benchmark against its floors: for the emulator's bench accounts (250, 2500 and
# 10000 friends) the time from the refresh command to "Загружено N друзей"
# beside bench_floor doing the same exchange, reading and rows, in paired
# rounds (program, floor, program, floor ...), with each step of both; and the
# program's memory. The cold start sets the program beside a bare window
# program, in turns, each a fresh copy in a folder of its own made before the
# clock starts, both timed alike from CreateProcess to the main window shown
# and answering a message, with its steps, and (for information) beside the
# bare window with a common-controls status bar. The steps come from marks the
# program writes only into the block the driver makes (base/bench_marks.h).
# Runs in the network sandbox; prints Markdown tables. Not a test.
#   SORVINTA_BUILD=DIR picks the build root (default: build);
#   SORVINTA_BENCH_RUNS=N rounds per figure (default 9);
#   SORVINTA_BENCH_START_RUNS=N rounds of the cold start (default 31: a start
#     is short and swings widely with the machine, so it takes more);
#   SORVINTA_BENCH_SIZES="2500 10000" the list sizes;
#   SORVINTA_BENCH_CPUS=LIST the CPUs the whole run is held to, wineserver
#     and emulator included (taskset's list; default 0: one core, as on the
#     device; empty: wherever the scheduler puts each thread);
#   SORVINTA_BENCH_LOAD=1 the slow machine on purpose: a CPU-bound job runs
#     beside the benchmark on its CPUs from start to end.
# One core by default: a cross-thread send costs what the placement of the
# worker, the window's thread and the wineserver makes it (up to six times
# as much when they meet across two cores), and the scheduler changes that
# placement at will, in the middle of a round, for program and floor alike.
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
exe=$root/win/app/Sorvinta.exe
driver=$root/win/tests/e2e/bench_driver.exe
floor=$root/win/tests/e2e/bench_floor.exe
emulator=$root/native/emulator/sorvinta-emulator
runs=${SORVINTA_BENCH_RUNS:-9}
start_runs=${SORVINTA_BENCH_START_RUNS:-31}
cpus=${SORVINTA_BENCH_CPUS-0}

if [ "${1:-}" != "--inside" ]; then
  if [ ! -f "$exe" ] || [ ! -f "$driver" ] || [ ! -f "$floor" ] || [ ! -x "$emulator" ]; then
    SORVINTA_BUILD=$root bash tools/build.sh
  fi
  pin=()
  [ -z "$cpus" ] || pin=(taskset -c "$cpus")
  exec ${pin[@]+"${pin[@]}"} tools/sandbox.sh --emulator "$emulator" -- bash "$0" --inside
fi

if [ "${SORVINTA_BENCH_LOAD:-0}" = 1 ]; then
  nice -n 0 sh -c 'while :; do :; done' &
  hog=$!
  trap 'kill "$hog" 2>/dev/null' EXIT
fi

results=$(mktemp)
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
wine() { tools/wine-run.sh --prefix "$root/win/wineprefix" "$@" | tr -d '\r'; }
sizes=${SORVINTA_BENCH_SIZES:-250 2500 10000}
for n in $sizes; do
  # Program and floor in turns, round by round, each figure beside its floor.
  wine "$driver" refresh "$exe" "$floor" "bench$n@socialnet.example" bench "$n" "$runs" |
    grep -E '^(refresh|step|memory) ' >>"$results" || echo "bench.sh: the run with $n friends failed" >&2
done
wine "$driver" huge "$exe" "$runs" | grep '^huge ' >>"$results" || echo "bench.sh: the 10 MiB run failed" >&2
wine "$floor" receive "$runs" | grep '^receive ' >>"$results" || echo "bench.sh: the receive floor failed" >&2
wine "$driver" start "$exe" "$floor" "$start_runs" | grep -E '^start' >>"$results" || echo "bench.sh: the start run failed" >&2

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
get() { awk -v k="$1" -v n="$2" -v f="$3" '$1 == k && (n == "" || $2 == n) { print $f; exit }' "$results"; }
two() { awk -v v="$1" 'BEGIN { if (v == "" || v == "-") print "-"; else printf "%.2f", v }'; }
load=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "Medians of $runs paired rounds ($start_runs for the cold start; program and floor in turns, each"
echo "first in every other round), wall clock under Wine, ms; the ratio is the median of the rounds'"
echo "ratios. Load average at the start: $load_start; at the end: $load."
echo "CPUs: ${cpus:-all, as the scheduler places them}; a CPU-bound job beside it: $([ -n "${hog:-}" ] && echo yes || echo no)."
echo
echo "| figure | Sorvinta | floor | ratio | floor on the UI thread (information) |"
echo "|---|---:|---:|---:|---:|"
for n in $sizes; do
  p=$(get refresh "$n" 3) f=$(get refresh "$n" 4) r=$(get refresh "$n" 5) u=$(get refresh "$n" 6)
  echo "| refresh of $n friends | ${p:--} | ${f:--} | $(two "$r") | ${u:--} |"
done
p=$(get refresh 10000 3) q=$(get refresh 2500 3) f=$(get refresh 10000 4) g=$(get refresh 2500 4)
# Round by round the pairing cancels the machine's swings; the growth of the
# program beside the floor's is the ratio at 10000 over the ratio at 2500.
r=$(get refresh 10000 5) s=$(get refresh 2500 5)
echo "| growth 2500 → 10000 | $(ratio "${p:-0}" "${q:-0}")x | $(ratio "${f:-0}" "${g:-0}")x | $(ratio "${r:-0}" "${s:-0}") | |"
p=$(get huge "" 2) f=$(get receive "" 3)
echo "| 10 MiB answer (refresh vs bare receive loop) | ${p:--} | ${f:--} | $(ratio "${p:-0}" "${f:-0}") | |"
p=$(get start "" 2) f=$(get start "" 3) r=$(get start "" 4)
echo "| cold start to the main window shown | ${p:--} | ${f:--} | $(two "$r") | |"
p=$(get startbar "" 2) f=$(get startbar "" 3) r=$(get startbar "" 4)
echo "| cold start beside a bare window with a status bar (information) | ${p:--} | ${f:--} | $(two "$r") | |"

for n in $sizes; do
  case " $n " in " 2500 " | " 10000 ") ;; *) continue ;; esac
  grep -q "^step $n " "$results" || continue
  echo
  echo "Refresh of $n friends, step by step (medians, ms; the release comes after the count and is not in the total):"
  echo
  echo "| step | Sorvinta | floor |"
  echo "|---|---:|---:|"
  awk -v n="$n" '$1 == "step" && $2 == n { printf "| %s | %s | %s |\n", $3, $4, $5 }' "$results"
done
if grep -q '^startstep ' "$results"; then
  echo
  echo "Cold start, step by step (medians, ms):"
  echo
  echo "| step | Sorvinta | bare window |"
  echo "|---|---:|---:|"
  awk '$1 == "startstep" { printf "| %s | %s | %s |\n", $2, $3, $4 }' "$results"
fi

idle=$(get memory 2500 4) loaded=$(get memory 2500 5)
echo
echo "Private bytes with 2500 friends loaded: $(awk -v a="${loaded:-0}" -v b="${idle:-0}" 'BEGIN { printf "%.1f MB above the idle %.1f MB", (a - b) / 1024, b / 1024 }')"
stripped=$(mktemp)
x86_64-w64-mingw32-strip -o "$stripped" "$exe" 2>/dev/null || i686-w64-mingw32-strip -o "$stripped" "$exe" 2>/dev/null
echo "Sorvinta.exe (Release, linked without symbols): $(stat -c %s "$exe") bytes; strip leaves $(stat -c %s "$stripped") bytes"
rm -f "$stripped" "$results"
