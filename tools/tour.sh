#!/usr/bin/env bash
# Screenshot tour: Sorvinta on a 240x320 screen (Xvfb, Wine's x11 driver)
# against the emulator inside the network sandbox, driven step by step by
# tests/e2e/tour_driver. Saves PNGs into <build>/tour/ and prints their paths.
#   SORVINTA_BUILD=DIR picks the build root (default: build).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
exe=$root/win/app/Sorvinta.exe
driver=$root/win/tests/e2e/tour_driver.exe
emulator=$root/native/emulator/sorvinta-emulator

if [ "${1:-}" != "--inside" ]; then
  if [ ! -f "$exe" ] || [ ! -f "$driver" ] || [ ! -x "$emulator" ]; then
    SORVINTA_BUILD=$root bash tools/build.sh
  fi
  exec tools/sandbox.sh --emulator "$emulator" -- bash "$0" --inside
fi

# Inside the sandbox from here on: private /tmp, its own X display.
out=$root/tour
mkdir -p "$out"
rm -f "$out"/*.png
display=:17
Xvfb $display -screen 0 240x320x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# Wine's processes go before the X server, or they complain of a broken connection.
trap 'WINEPREFIX=$root/wineprefix-x11 wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -S /tmp/.X11-unix/X${display#:} ] && break
  sleep 0.1
done
export DISPLAY=$display

# A failed step is reported and the tour goes on: the pictures show what went wrong.
failed=0
drive() {
  if ! tools/wine-run.sh --prefix "$root/wineprefix-x11" --graphics x11 "$driver" "$@"; then
    echo "tour: step '$*' failed" >&2
    failed=1
  fi
}
# Lets Wine paint before the picture is taken.
shot() {
  sleep 0.7
  import -window root "$out/$1.png"
  echo "$out/$1.png"
}

# With no system tray on the display, Wine shows notification icons in a
# window of its own at the top left, over the program's labels. The device
# shows them in its top bar; keep Wine's stand-in off the pictures.
tools/wine-run.sh --prefix "$root/wineprefix-x11" --graphics x11 \
  reg add 'HKCU\Software\Wine\X11 Driver' /v ShowSystray /d N /f >/dev/null
# The desktop process read the old value when it started: start afresh.
WINEPREFIX=$root/wineprefix-x11 wineserver -k 2>/dev/null || true
WINEPREFIX=$root/wineprefix-x11 wineserver -w 2>/dev/null || true

drive start "$exe" demo@socialnet.example demo123
shot 01-start
drive menu
shot 02-menu-popup
drive dismiss
drive section
shot 03-section-popup
drive dismiss
drive login
shot 04-logged-in
drive refresh
shot 05-list-filled
drive hold 1
shot 06-context-menu
drive dismiss
drive about
shot 07-about-box
drive close-about
drive contacts
shot 08-contacts
drive my-page
shot 09-my-page
drive close-my-page
drive status-tip
shot 10-status-tip
drive minimise
shot 11-minimised
drive tap-icon
shot 12-back-from-the-icon
drive message 1
shot 13-message-dialog
drive send
shot 14-message-sent
drive status
shot 15-status-dialog
drive send
drive status
shot 16-status-history
drive close-dialog
drive messages
shot 17-messages-sent
drive close-dialog
drive settings
shot 18-settings
drive edit-row 1
shot 19-settings-editing
drive close-settings
drive exit
# Two wrong passwords: the refusal that warns of the captcha is wider than
# the status bar; a tap shows it whole.
drive start "$exe" demo@socialnet.example wrong
drive login
drive login
drive status-tip
shot 20-long-status-text
# The next "Подключиться" shows the picture; "Закрыть" cancels the login.
drive captcha
shot 21-captcha-dialog
drive close-dialog
shot 22-captcha-cancelled
drive exit
# The program ran from a folder of its own in the prefix's Temp.
rm -rf "$root"/wineprefix-x11/drive_c/users/*/Temp/sorvinta-e2e-*
exit $failed
