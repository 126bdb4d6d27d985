#!/usr/bin/env bash
# Installs what the project needs on a fresh Debian 12 machine (only what is missing).
# fonts-wine carries Tahoma, the device's face (a recommendation of wine that
# --no-install-recommends leaves out); curl is what emulator/README.md uses;
# nginx-light is the second peer of the end-to-end tests; libgd draws the
# emulator's captcha pictures.
set -eu
packages="cmake make g++ clang libclang-rt-14-dev wine wine64 g++-mingw-w64-x86-64-posix
  gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 xvfb x11-apps xauth imagemagick
  googletest clang-format libcpp-httplib-dev iproute2 util-linux python3 procps x11-utils
  fonts-wine curl nginx-light libgd-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
