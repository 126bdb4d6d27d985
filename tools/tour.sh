#!/usr/bin/env bash
# The tour: every screen of Sorvinta once, driven step by step by
# tests/e2e/tour_driver against the emulator inside the network sandbox.
# Each step prints the status text the program shows and checks it.
#   tour.sh            240x320 at 96 dpi (Xvfb, Wine's x11 driver): PNGs into
#                      <build>/tour/qvga/, one per step
#   tour.sh --vga      the same at 480x640, 192 dpi: <build>/tour/vga/
#   tour.sh --headless the same steps with the null driver and no pictures
#                      (the end-to-end test)
# Options: --exe, --driver, --emulator, --prefix give the paths (default:
# from the build root). Exit status 0 when every step worked.
#   SORVINTA_BUILD=DIR picks the build root (default: build).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
exe=$root/win/app/Sorvinta.exe
driver=$root/win/tests/e2e/tour_driver.exe
emulator=$root/native/emulator/sorvinta-emulator
screen=qvga prefix="" inside=0
while [ $# -gt 0 ]; do
  case "$1" in
    --qvga) screen=qvga; shift ;;
    --vga) screen=vga; shift ;;
    --headless) screen=headless; shift ;;
    --exe) exe=$2; shift 2 ;;
    --driver) driver=$2; shift 2 ;;
    --emulator) emulator=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    --inside) inside=1; shift ;;
    *) echo "usage: tour.sh [--qvga|--vga|--headless] [--exe F] [--driver F] [--emulator F] [--prefix DIR]" >&2
       exit 2 ;;
  esac
done
case "$screen" in
  qvga) size=240x320 dpi=96 ;;
  vga) size=480x640 dpi=192 ;;
  headless) size="" dpi=96 ;;
esac
# A prefix per screen: the pixels per inch belong to the prefix.
if [ -z "$prefix" ]; then
  case "$screen" in
    qvga) prefix=$root/wineprefix-x11 ;;
    vga) prefix=$root/wineprefix-x11-vga ;;
    headless) prefix=$root/win/wineprefix ;;
  esac
fi

if [ "$inside" != 1 ]; then
  if [ ! -f "$exe" ] || [ ! -f "$driver" ] || [ ! -x "$emulator" ]; then
    SORVINTA_BUILD=$root bash tools/build.sh
  fi
  exec tools/sandbox.sh --emulator "$emulator" -- bash "$0" --inside "--$screen" \
    --exe "$exe" --driver "$driver" --emulator "$emulator" --prefix "$prefix"
fi

# Inside the sandbox from here on: private /tmp, its own X display.
wine=(--prefix "$prefix" --dpi "$dpi")
out=""
if [ "$screen" != headless ]; then
  # The Wine desktop of the run command, so the pictures show what it shows.
  wine+=(--graphics x11 --desktop "$size")
  out=$root/tour/$screen
  mkdir -p "$out"
  rm -f "$out"/*.png
  display=:17
  Xvfb $display -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  # Wine's processes go before the X server, or they complain of a broken connection.
  trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [ -S /tmp/.X11-unix/X${display#:} ] && break
    sleep 0.1
  done
  [ -S /tmp/.X11-unix/X${display#:} ] || { echo "tour: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=$display
else
  trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
fi

# step NAME EXPECTED DRIVER-ARGS...: one step; NAME - takes no picture.
# EXPECTED is a pattern for the status text the step ends with.
# A failed step is reported and the tour goes on: the pictures show what went wrong.
failed=0
steplog=/tmp/tour-step.log
step() {
  local name=$1 expect=$2 output status
  shift 2
  # Into a file: the program started by "start" inherits the driver's output,
  # and a pipe would stay open as long as it runs.
  if ! tools/wine-run.sh "${wine[@]}" "$driver" "$@" >"$steplog" 2>&1; then
    echo "tour: step '$*' failed" >&2
    failed=1
  fi
  output=$(tr -d '\r' <"$steplog")
  status=$(printf '%s\n' "$output" | sed -n 's/^status: //p' | tail -n 1)
  # shellcheck disable=SC2254  # the expected text is a pattern
  case "$status" in
    $expect) ;;
    *) printf '%s\n' "$output" >&2
       echo "tour: step '$*' shows \"$status\", not \"$expect\"" >&2
       failed=1 ;;
  esac
  if [ "$name" != - ]; then
    printf '%-26s %s\n' "$name" "$status"
    if [ -n "$out" ]; then
      # Lets Wine paint before the picture is taken.
      sleep 0.7
      import -window root "$out/$name.png"
    fi
  fi
}

# pixel PICTURE X Y: the colour at that point, as #RRGGBB.
pixel() {
  convert "$out/$1.png" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}
# Over every dialog its soft keys are in view: the bar's own colour beside
# the captions of both keys, on its top and bottom rows.
keys_shown() {
  [ -n "$out" ] || return 0
  local width=${size%x*} height=${size#*x} bar=$((26 * dpi / 96)) x y colour
  for x in $((width / 8)) $((width * 5 / 8)); do
    for y in $((height - bar + 1)) $((height - 2)); do
      colour=$(pixel "$1" "$x" "$y")
      if [ "$colour" != "#1C2844" ]; then
        echo "tour: $1 shows $colour at $x,$y, not the soft-key bar" >&2
        failed=1
      fi
    done
  done
}

not_in="Вы не авторизованы"
in="Вы успешно авторизованы"
step 01-start "$not_in" start "$exe" demo@socialnet.example demo123
step 02-menu-popup "$not_in" menu
step - "$not_in" dismiss
step 03-section-popup "$not_in" section
step - "$not_in" dismiss
step 04-connecting "Прием запроса..." connecting
step 05-connected "$in" release
step 06-online-friends "Загружено * друзей" refresh
step 07-all-friends "Загружено 31 друзей" friends
step 08-mutual-friends "Загружено 5 *" contacts
step 09-context-menu "Загружено 5 *" hold 1
step - "Загружено 5 *" dismiss
step 10-message-typed "Загружено 5 *" message 1
keys_shown 10-message-typed
step 11-message-sent "Сообщение успешно отправлено" send
step 12-status-dialog "Сообщение успешно отправлено" status
keys_shown 12-status-dialog
set="Статус успешно установлен."
step - "$set" send
step 13-status-history "$set" status
keys_shown 13-status-history
step - "$set" close-dialog
step 14-messages-sent "$set" messages
keys_shown 14-messages-sent
step - "$set" close-dialog
step 15-my-page "$set" my-page
keys_shown 15-my-page
step - "$set" close-my-page
step - "$set" settings
step 16-settings-email-editor "$set" edit-row email
keys_shown 16-settings-email-editor
# The settings list reaches the soft keys: its white, not the dialog's grey,
# just above the bar.
if [ -n "$out" ]; then
  colour=$(pixel 16-settings-email-editor $((${size%x*} / 2)) $((${size#*x} - 26 * dpi / 96 - 3)))
  if [ "$colour" != "#FFFFFF" ]; then
    echo "tour: $colour above the soft keys of the settings: a band below the list" >&2
    failed=1
  fi
fi
step - "$set" edit-row autoconnect
step 17-settings-yes-no-list "$set" drop-down
keys_shown 17-settings-yes-no-list
step - "$set" close-settings
step 18-about-box "$set" about
keys_shown 18-about-box
step - "$set" close-about
step 19-hidden "$set" minimise
step 20-shown-from-the-icon "$set" tap-icon
# Back from the icon, the soft-key bar is the bar of the start, pixel for
# pixel: nothing of the desktop stays over it.
if [ -n "$out" ]; then
  width=${size%x*} height=${size#*x} bar=$((26 * dpi / 96))
  crop=${width}x${bar}+0+$((height - bar))
  convert "$out/01-start.png" -crop "$crop" +repage /tmp/tour-bar-start.png
  convert "$out/20-shown-from-the-icon.png" -crop "$crop" +repage /tmp/tour-bar-back.png
  differ=$(compare -metric AE /tmp/tour-bar-start.png /tmp/tour-bar-back.png null: 2>&1) || true
  if [ "$differ" != 0 ]; then
    echo "tour: after the icon's tap $differ pixels of the soft-key bar differ from the start" >&2
    failed=1
  fi
fi
step 21-exit "" exit
# Two wrong passwords: the refusal that warns of the captcha is wider than
# the status bar; a tap shows it whole.
step - "$not_in" start "$exe" demo@socialnet.example wrong
step - "Неверный email или пароль, captcha не нужна" login
step - "Неверный email или пароль, при следующей попытке нужно ввести captcha" login
step 22-long-status-text "Неверный email или пароль, при следующей*" status-tip
# The next "Подключиться" shows the picture; "Закрыть" cancels the login.
step 23-captcha-dialog "*" captcha
keys_shown 23-captcha-dialog
step 24-captcha-cancelled "Авторизация отменена" close-dialog
step - "" exit
# The program ran from a folder of its own in the prefix's Temp.
rm -rf "$prefix"/drive_c/users/*/Temp/sorvinta-e2e-*
[ -z "$out" ] || echo "tour: pictures in $out"
exit $failed
