#!/usr/bin/env bash
# Builds both configurations: native (core tests, fuzzers, emulator) and the
# mingw-w64 cross build (Sorvinta.exe, Win32 and end-to-end tests).
#   SORVINTA_BUILD=DIR picks the build root (default: build).
#   SORVINTA_NATIVE_TARGETS, SORVINTA_WIN_TARGETS: build only these targets.
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
jobs=${SORVINTA_JOBS:-2}
# A compiler cache, where the machine has one, makes a second work tree's
# first build cheap; nothing depends on it.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$root/native/CMakeCache.txt" ]; then
  cmake -S . -B "$root/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ${launcher[@]+"${launcher[@]}"} >/dev/null
fi
native_targets=()
for t in ${SORVINTA_NATIVE_TARGETS:-}; do native_targets+=(--target "$t"); done
win_targets=()
for t in ${SORVINTA_WIN_TARGETS:-}; do win_targets+=(--target "$t"); done
cmake --build "$root/native" -j "$jobs" ${native_targets[@]+"${native_targets[@]}"} "$@"
if [ ! -f "$root/win/CMakeCache.txt" ]; then
  cmake -S . -B "$root/win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DSORVINTA_EMULATOR="$root/native/emulator/sorvinta-emulator" ${launcher[@]+"${launcher[@]}"} >/dev/null
fi
cmake --build "$root/win" -j "$jobs" ${win_targets[@]+"${win_targets[@]}"} "$@"
