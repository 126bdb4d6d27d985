#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix.
#   wine-run.sh [--prefix DIR] [--graphics null|x11] [--dpi N] [--desktop WxH] program.exe [args...]
# Used as CMAKE_CROSSCOMPILING_EMULATOR by the cross build. The prefix is made
# on first use (about 15 s): Russian ANSI code page (1251), Tahoma as on the
# device, and the null graphics driver unless x11 is asked for.
# Text is drawn as the device draws it: without smoothing, every glyph as wide
# when measured as when drawn, a bold face that is bold at every size
# (tools/device-font.py says why), and "MS Sans Serif", which the device
# lacks, mapped to Tahoma as there.
# --desktop WxH (x11): every program of the prefix runs in one Wine desktop
# window "Sorvinta" of that size, the device's screen, with the desktop
# shell switched off: no taskbar, no start button (the stand-in then shows
# its notification icon in its own navigation bar only).
# Without Tahoma (Debian's fonts-wine, installed by tools/setup.sh) every
# window would be drawn in a wider substitute: that is an error, not a silence.
#   SORVINTA_WINE_FONTS=DIR takes the fonts from DIR instead.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=${SORVINTA_WINEPREFIX:-$here/../build/wineprefix}
graphics=${SORVINTA_WINE_GRAPHICS:-null}
dpi=
desktop=
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --graphics) graphics=$2; shift 2 ;;
    # The screen's pixels per inch (LogPixels); give such a run a prefix of its own.
    --dpi) dpi=$2; shift 2 ;;
    --desktop) desktop=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] [--graphics null|x11] [--dpi N] [--desktop WxH] program.exe [args...]" >&2; exit 2; }

fonts=${SORVINTA_WINE_FONTS:-/usr/share/wine/fonts}
for font in tahoma.ttf tahomabd.ttf; do
  if [ ! -f "$fonts/$font" ]; then
    echo "wine-run.sh: $fonts/$font is missing; install fonts-wine (bash tools/setup.sh)" >&2
    exit 1
  fi
done
# Raised when what init_prefix does about text changes, so older prefixes follow.
text_look=4

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
export FONTCONFIG_FILE=$prefix/sorvinta-fonts.conf

init_prefix() {
  # Wine takes a face's smoothing from fontconfig before the registry's: the
  # system's configuration with smoothing off, for every Wine process. Made
  # whole, then renamed: programs of the prefix may be reading it.
  local conf=$prefix/sorvinta-fonts.conf
  printf '%s\n' '<?xml version="1.0"?>' '<!DOCTYPE fontconfig SYSTEM "fonts.dtd">' '<fontconfig>' \
    '  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>' \
    '  <match target="font"><edit name="antialias" mode="assign"><bool>false</bool></edit></match>' \
    '</fontconfig>' >"$conf.new"
  if cmp -s "$conf.new" "$conf"; then rm -f "$conf.new"; else mv -f "$conf.new" "$conf"; fi
  if [ ! -f "$prefix/.sorvinta-ready" ]; then
    env LC_ALL=ru_RU.UTF-8 wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$prefix/.sorvinta-ready"
  fi
  # Checked on every start, so a prefix made before the fonts were there
  # gets them too.
  local installed=$prefix/drive_c/windows/Fonts
  if [ "$(cat "$prefix/.sorvinta-text" 2>/dev/null)" != "$text_look" ] || [ ! -f "$installed/tahoma.ttf" ]; then
    mkdir -p "$installed"
    python3 "$here/device-font.py" "$fonts/tahoma.ttf" "$installed/tahoma.ttf"
    python3 "$here/device-font.py" --bold "$fonts/tahoma.ttf" "$fonts/tahomabd.ttf" "$installed/tahomabd.ttf"
    local reg=$prefix/sorvinta-text.reg
    printf '%s\r\n' 'REGEDIT4' '' \
      '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"FontSmoothing"="0"' '' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
      '"MS Sans Serif"="Tahoma"' '' >"$reg"
    env LC_ALL=ru_RU.UTF-8 wine reg import "Z:$(printf '%s' "$reg" | tr / '\\')" >/dev/null 2>&1
    wineserver -w || true
    rm -f "$reg"
    echo "$text_look" > "$prefix/.sorvinta-text"
  fi
  if [ "$(cat "$prefix/.sorvinta-graphics" 2>/dev/null)" != "$graphics" ]; then
    env LC_ALL=ru_RU.UTF-8 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
    # Wine's own tray window would sit over the top row of a 240x320 screen.
    env LC_ALL=ru_RU.UTF-8 wine reg add 'HKCU\Software\Wine\X11 Driver' /v ShowSystray /d n /f >/dev/null 2>&1
    wineserver -w || true
    echo "$graphics" > "$prefix/.sorvinta-graphics"
  fi
  if [ -n "$dpi" ] && [ "$(cat "$prefix/.sorvinta-dpi" 2>/dev/null)" != "$dpi" ]; then
    env LC_ALL=ru_RU.UTF-8 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w || true
    echo "$dpi" > "$prefix/.sorvinta-dpi"
  fi
  if [ "$(cat "$prefix/.sorvinta-desktop" 2>/dev/null)" != "$desktop" ]; then
    # One import, the shell's switch before the desktop is named: a desktop
    # made meanwhile would otherwise start with its shell on.
    local reg=$prefix/sorvinta-desktop.reg
    if [ -n "$desktop" ]; then
      printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\Sorvinta]' '"EnableShell"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"Sorvinta\"=\"$desktop\"" '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Sorvinta"' '' >"$reg"
    else
      printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"=-' '' >"$reg"
    fi
    env LC_ALL=ru_RU.UTF-8 wine reg import "Z:$(printf '%s' "$reg" | tr / '\\')" >/dev/null 2>&1
    wineserver -w || true
    rm -f "$reg"
    echo "$desktop" > "$prefix/.sorvinta-desktop"
  fi
}
# Parallel test runs share one prefix: only one of them makes it.
exec 9>"$prefix.lock"
flock 9
init_prefix
flock -u 9
exec 9>&-

# The ANSI code page follows the locale: ru_RU gives 1251, as on a Russian device.
exec env LC_ALL=ru_RU.UTF-8 wine "$@"
