#!/usr/bin/env bash
# Runs every libFuzzer target of the native build for SECONDS each, on a copy
# of its committed seed corpus, and prints one line per target: executions,
# coverage (cov: edges, ft: features, from libFuzzer's final status line) and
# findings (crash, leak, timeout or out-of-memory inputs).
#   tools/fuzz.sh SECONDS
#   SORVINTA_BUILD=DIR picks the build root (default: build).
# Exit status 1 when any target found something; the inputs stay in
# DIR/native/fuzz/findings-TARGET.
set -u
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS}
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
bin=$root/native/fuzz

# Whatever targets the build has: every fuzz/*_fuzzer.cpp becomes one.
targets=()
for src in fuzz/*_fuzzer.cpp; do
  targets+=("$(basename "$src" .cpp)")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz.sh: no fuzz/*_fuzzer.cpp" >&2; exit 2; }
# Reconfigure first: targets added since the last configure need their rules.
cmake "$root/native" >/dev/null || exit 2
cmake --build "$root/native" -j "${SORVINTA_JOBS:-2}" --target "${targets[@]}" >/dev/null || exit 2

printf '%-24s %12s %6s %7s %9s\n' target executions cov ft findings
failed=0
for name in "${targets[@]}"; do
  work=$(mktemp -d)
  findings=$bin/findings-$name
  rm -rf "$findings"
  mkdir -p "$findings"
  log=$work/log
  "$bin/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" fuzz/corpus/"$name" >"$log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  # The last status line libFuzzer printed carries the final coverage.
  status_line=$(grep -E '^#[0-9]+' "$log" | grep 'cov: ' | tail -1)
  cov=$(echo "$status_line" | grep -o 'cov: [0-9]*' | cut -d' ' -f2)
  ft=$(echo "$status_line" | grep -o 'ft: [0-9]*' | cut -d' ' -f2)
  found=$(find "$findings" -type f | wc -l)
  if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
    found="exit $status"  # ended without leaving an input: still a finding
  fi
  printf '%-24s %12s %6s %7s %9s\n' "$name" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found"
  if [ "$found" != 0 ]; then
    failed=1
    tail -20 "$log" >&2
  else
    rmdir "$findings"
  fi
  rm -rf "$work"
done
exit $failed
