#!/usr/bin/env bash
# Builds the sanitizer build and runs every test. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

# The tests also validate the Windows resource script and the desktop files, play a game under Xvfb, look
# at every window through a real window manager, light and dark, follow a game by ear over AT-SPI, and build
# and check the Debian package.
scripts/install-deps.sh binutils-mingw-w64-x86-64 desktop-file-utils appstream \
  xvfb xdotool sqlite3 imagemagick openbox x11-utils qt6-gtk-platformtheme \
  dbus at-spi2-core python3-pyatspi dpkg-dev file lintian clang-format

# Every C++ file as the repository's .clang-format lays it out; the files that differ are named.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev -j "$(nproc)" --output-on-failure "$@"
