#!/usr/bin/env bash
# The run command: installs what is missing, builds what is stale, and runs
# Sorvinta under Wine against the service emulator (with its demo data)
# inside the network sandbox.
#   run.sh [--vga] [--fault login|api:NAME[:COUNT]]...
#   With a display (DISPLAY names a local X server): the program on a
#   240x320 screen of its own (a Wine desktop window) for use by hand; the
#   command returns when the program is closed, and closing it or Ctrl+C
#   ends everything the command started (the sandbox's PID namespace goes
#   with it: emulator, wineserver and every Wine process).
#   Without one: the tour (tools/tour.sh) under Xvfb; prints the folder of
#   its pictures.
#   --vga: a 480x640 screen at 192 dpi instead.
#   --fault api:bad_json:2 arms an emulator fault for the next COUNT answers
#   of that host before the program starts (display only).
# The run folder <build>/run/ gets a fresh copy of Sorvinta.exe and, only when
# it has none yet, a settings.txt for the demo account: edit that one to try
# another account; delete it to get the demo account back.
#   SORVINTA_BUILD=DIR picks the build root (default: build).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
size=240x320 dpi=96 prefix=$root/wineprefix-x11 tour=() faults=()

# ------------------------------------------------ inside the sandbox, with a display
if [ "${1:-}" = "--inside" ]; then
  prefix=$2 dpi=$3 size=$4 exe=$5
  shift 5
  for fault in "$@"; do
    IFS=: read -r host name count <<<"$fault"
    answer=$(curl -s "http://$host.socialnet.example/_emulator/fault?set=$name&count=${count:-1}") || true
    echo "run: $host host: ${answer:-no answer}"
  done
  exec tools/wine-run.sh --prefix "$prefix" --graphics x11 --dpi "$dpi" --desktop "$size" \
    "Z:$(printf '%s' "$exe" | tr / '\\')"
fi

usage="usage: run.sh [--vga] [--fault login|api:NAME[:COUNT]]..."
while [ $# -gt 0 ]; do
  case "$1" in
    --vga) size=480x640 dpi=192 prefix=$root/wineprefix-x11-vga tour=(--vga); shift ;;
    --fault)
      case "${2:-}" in
        login:?*|api:?*) faults+=("$2"); shift 2 ;;
        *) echo "$usage" >&2; exit 2 ;;
      esac ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
run=$root/run

bash tools/setup.sh
# Only what the run needs: the tests and fuzzers are tools/test.sh's business.
SORVINTA_BUILD=$root SORVINTA_NATIVE_TARGETS=sorvinta-emulator SORVINTA_WIN_TARGETS="Sorvinta tour_driver" \
  bash tools/build.sh
exe=$root/win/app/Sorvinta.exe
emulator=$root/native/emulator/sorvinta-emulator
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

# Only a local X server is reachable from the sandbox: its socket is bound
# in; a TCP display (ssh forwarding) lives in the network we leave behind.
with_display=0
if [ -n "${DISPLAY:-}" ]; then
  number=${DISPLAY#unix}
  number=${number#:}
  number=${number%%.*}
  case "$DISPLAY" in
    :*|unix:*)
      if [ -S "/tmp/.X11-unix/X$number" ]; then with_display=1; fi ;;
  esac
  if [ "$with_display" != 1 ]; then
    echo "run: DISPLAY=$DISPLAY is not a local X server the sandbox can reach;" \
         "running the tour under Xvfb instead" >&2
  fi
fi
if [ "$with_display" != 1 ]; then
  # The tour checks every status text: it runs without faults.
  [ ${#faults[@]} -eq 0 ] || { echo "run: --fault needs a display" >&2; exit 2; }
  exec env SORVINTA_BUILD="$root" bash tools/tour.sh ${tour[@]+"${tour[@]}"}
fi

mkdir -p "$run"
cp "$exe" "$run/Sorvinta.exe"
if [ ! -f "$run/settings.txt" ]; then
  printf '[socialnet.example]\r\nemail=demo@socialnet.example\r\npassword=demo123\r\n' \
    > "$run/settings.txt"
fi
# An authority file under /tmp would be hidden by the sandbox's own /tmp.
if [ -n "${XAUTHORITY:-}" ] && [ "${XAUTHORITY#/tmp/}" != "$XAUTHORITY" ]; then
  install -m 600 "$XAUTHORITY" "$run/.Xauthority"
  export XAUTHORITY=$run/.Xauthority
fi
echo "run: Sorvinta on a ${size} screen; close it (\"Меню\" → \"Выход\") or press Ctrl+C to stop"
# A desktop window of the device's size, its shell off: the program takes
# the whole screen, as on the device, and the user's own desktop stays as it is.
exec tools/sandbox.sh --emulator "$emulator" --share-x11 -- \
  bash tools/run.sh --inside "$prefix" "$dpi" "$size" "$run/Sorvinta.exe" ${faults[@]+"${faults[@]}"}
