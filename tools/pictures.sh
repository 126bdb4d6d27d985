#!/usr/bin/env bash
# Refreshes the README's pictures: runs the tour on both screens and copies
# the main screens into docs/pictures/ (qvga-*.png, vga-*.png).
#   SORVINTA_BUILD=DIR picks the build root (default: build).
set -eu
cd "$(dirname "$0")/.."
root=${SORVINTA_BUILD:-build}
case "$root" in /*) ;; *) root=$PWD/$root ;; esac
qvga="01-start 02-menu-popup 03-section-popup 04-connecting 06-online-friends 09-context-menu
  10-message-typed 11-message-sent 13-status-history 14-messages-sent 15-my-page
  16-settings-email-editor 17-settings-yes-no-list 18-about-box 22-long-status-text 23-captcha-dialog"
vga="07-all-friends 16-settings-email-editor"

SORVINTA_BUILD=$root bash tools/tour.sh
SORVINTA_BUILD=$root bash tools/tour.sh --vga
mkdir -p docs/pictures
rm -f docs/pictures/*.png
missing=0
for name in $qvga; do
  cp "$root/tour/qvga/$name.png" "docs/pictures/qvga-$name.png" || missing=1
done
for name in $vga; do
  cp "$root/tour/vga/$name.png" "docs/pictures/vga-$name.png" || missing=1
done
[ "$missing" = 0 ] || { echo "pictures: some pictures of the tour are missing" >&2; exit 1; }
echo "pictures: docs/pictures/ refreshed"
