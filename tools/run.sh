#!/usr/bin/env bash
# The run command: installs what is missing, builds, and runs Sorvinta under
# Wine against the service emulator inside the network sandbox.
#   With a display (DISPLAY names a local X server): the window appears on
#   it; the command returns when the program is closed.
#   Without one: Xvfb at 240x320 inside the sandbox; once the main window is
#   up, a screenshot goes to <build>/run/sorvinta.png, its path is printed
#   and the program is stopped.
# The run folder <build>/run/ gets a fresh copy of Sorvinta.exe and, only when
# it has none yet, a settings.txt for the demo account: edit that one to try
# another account; delete it to get the demo account back.
#   SORVINTA_BUILD=DIR picks the build root (default: build).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
run=$root/run
prefix=$root/wineprefix-x11
shot=$run/sorvinta.png

# ------------------------------------------------ headless, inside the sandbox
if [ "${1:-}" = "--inside-headless" ]; then
  display=:42
  Xvfb $display -screen 0 240x320x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    [ -S "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  [ -S "/tmp/.X11-unix/X${display#:}" ] || { echo "run: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=$display

  tools/wine-run.sh --prefix "$prefix" --graphics x11 "$run/Sorvinta.exe" &
  app=$!
  # A new prefix takes about 15 s before the program even starts.
  up=0
  for _ in $(seq 900); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Sorvinta": ('; then up=1; break; fi
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$up" != 1 ]; then
    echo "run: the main window of Sorvinta did not appear" >&2
    exit 1
  fi
  sleep 2  # let it paint its controls
  rm -f "$shot"
  import -window root "$shot"
  echo "$shot"
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  exit 0
fi

# ------------------------------------------------ outside
bash tools/setup.sh
SORVINTA_BUILD=$root bash tools/build.sh
exe=$root/win/app/Sorvinta.exe
emulator=$root/native/emulator/sorvinta-emulator
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

mkdir -p "$run"
cp "$exe" "$run/Sorvinta.exe"
if [ ! -f "$run/settings.txt" ]; then
  printf '[socialnet.example]\r\nemail=demo@socialnet.example\r\npassword=demo123\r\n' \
    > "$run/settings.txt"
fi

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
         "taking a screenshot under Xvfb instead" >&2
  fi
fi

if [ "$with_display" = 1 ]; then
  # An authority file under /tmp would be hidden by the sandbox's own /tmp.
  if [ -n "${XAUTHORITY:-}" ] && [ "${XAUTHORITY#/tmp/}" != "$XAUTHORITY" ]; then
    install -m 600 "$XAUTHORITY" "$run/.Xauthority"
    export XAUTHORITY=$run/.Xauthority
  fi
  exec tools/sandbox.sh --emulator "$emulator" --share-x11 -- \
    tools/wine-run.sh --prefix "$prefix" --graphics x11 "$run/Sorvinta.exe"
fi
exec tools/sandbox.sh --emulator "$emulator" -- bash tools/run.sh --inside-headless
