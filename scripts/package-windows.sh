#!/usr/bin/env bash
# Builds the Windows program, 64-bit: build/packages/Palinor-<version>-win64.zip, a folder Palinor/ with
# Palinor.exe and everything it needs, and beside it the 32-bit reader of the old Access score files,
# palinor-access-reader.exe (scripts/build-access-reader-exe.sh; no Qt); and the setup that installs the same
# folder, build/packages/Palinor-<version>-win64-setup.exe (packaging/palinor.nsi); then plays both under Wine
# (scripts/wine-test.sh, scripts/wine-install-test.sh). The tests of the rules and of the score file, built for
# Windows with GoogleTest from Debian's source, run under Wine too (scripts/wine-unit-tests.sh).
#
# Debian has no Windows build of Qt: the first run cross-builds Debian's own qtbase with mingw-w64 (about
# 12 minutes on 2 cores) into a cache outside the tree, keyed by the Qt version and its configure options;
# later runs reuse it.
# Usage: scripts/package-windows.sh [OUTPUT_FOLDER]   (build/packages by default)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
out=$(realpath -m "${1:-build/packages}")
version=$(sed -n 's/^project(Palinor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
triplet=x86_64-w64-mingw32
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# `apt-get source` needs a deb-src entry for bookworm main.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
    /usr/share/keyrings/debian-archive-keyring.gpg | $sudo tee /etc/apt/sources.list.d/palinor-src.sources >/dev/null
  $sudo apt-get update -qq
fi
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 zip unzip tcl dpkg-dev xvfb openbox xdotool x11-utils \
  sqlite3 imagemagick strace wmctrl nsis googletest

qt_version=6.4.2
qt_options=(-release -shared -nomake examples -nomake tests
  -sql-sqlite -qt-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -no-sql-ibase -no-sql-oci -no-sql-db2
  -no-feature-network -no-feature-xml -no-feature-dbus -no-opengl -no-feature-vulkan -no-feature-printsupport
  -no-feature-concurrent -no-feature-testlib
  -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-freetype -qt-doubleconversion
  # Debian's source lacks wintab.h; with Direct2D off, the DirectWrite 3 font database does not link.
  -no-feature-tabletevent -no-feature-directwrite3 -no-feature-direct2d)
key=$(printf '%s\n' "$qt_version" "${qt_options[@]}" | sha256sum | cut -c1-12)
qt=${XDG_CACHE_HOME:-$HOME/.cache}/palinor/qt-$qt_version-mingw64-$key

toolchain=$source_dir/scripts/mingw64-posix.cmake
if [ ! -x "$qt/bin/qt-cmake" ]; then
  echo "== Cross-building Qt $qt_version for Windows into $qt (once)"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  (cd "$work" && apt-get source -qq "qt6-base=$qt_version+dfsg-10" sqlite3 >/dev/null 2>&1 ||
     apt-get source -qq qt6-base sqlite3 >/dev/null)
  qtsrc=$(ls -d "$work"/qt6-base-*/)
  # Debian's tarball leaves the bundled SQLite out: its amalgamation is made from Debian's own source.
  (cd "$work"/sqlite3-*/ && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
  mkdir -p "$qtsrc/src/3rdparty/sqlite"
  cp "$work"/sqlite3-*/sqlite3.c "$work"/sqlite3-*/sqlite3.h "$qtsrc/src/3rdparty/sqlite/"
  mkdir -p "$work/build"
  (cd "$work/build" &&
     "$qtsrc/configure" -prefix "$qt" -xplatform win32-g++ -qt-host-path /usr "${qt_options[@]}" \
       -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
       >"$work/configure.log" 2>&1 ||
     { tail -40 "$work/configure.log"; exit 1; })
  cmake --build "$work/build" -j "$(nproc)"
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
  trap - EXIT
fi

gtest=$(dirname "$qt")/googletest-$(dpkg-query -W -f='${Version}' googletest)-mingw64
if [ ! -f "$gtest/lib/libgtest.a" ]; then
  echo "== Cross-building GoogleTest for Windows into $gtest (once)"
  cmake -S /usr/src/googletest -B "$gtest.build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$gtest.build" && cmake --install "$gtest.build" >/dev/null && rm -rf "$gtest.build"
fi

echo "== Building Palinor and its unit tests for Windows"
build=$source_dir/build/windows
unit_tests=(scoring_test game_test score_store_test score_database_test access_import_test)
# The picture tool, tools/picgen, is built for this machine and run here during the build.
"$qt/bin/qt-cmake" -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALINOR_WINDOW_TESTS=OFF \
  -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build "$build" -j "$(nproc)" --target Palinor "${unit_tests[@]}"

echo "== Gathering the folder"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/Palinor
mkdir -p "$folder"/{platforms,sqldrivers,styles,translations}
# Qt puts the executables of a Windows build at the top of the build folder.
cp "$build/Palinor.exe" "$folder/"
scripts/build-access-reader-exe.sh "$folder/palinor-access-reader.exe"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Sql; do cp "$qt/bin/$dll.dll" "$folder/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
cp "$qt/plugins/sqldrivers/qsqlite.dll" "$folder/sqldrivers/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
# The mingw runtime, with posix threads.
for dll in libgcc_s_seh-1.dll libstdc++-6.dll; do
  cp "$(dirname "$($triplet-g++-posix -print-libgcc-file-name)")/$dll" "$folder/"
done
cp /usr/$triplet/lib/libwinpthread-1.dll "$folder/"
# Qt's own texts in French, and where Qt finds its plug-ins and translations.
cp /usr/share/qt6/translations/qtbase_fr.qm "$folder/translations/"
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$folder/qt.conf"
# The fonts the program asks for, which Windows lacks.
mkdir -p "$folder/fonts"
cp /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf "$folder/fonts/"
cp /usr/share/fonts/truetype/cardo/Cardo104s.ttf "$folder/fonts/"
find "$folder" -name '*.exe' -o -name '*.dll' | xargs $triplet-strip --strip-unneeded

# No windeployqt in Debian: every DLL an executable or library imports must be in the folder or be Windows' own.
system_dlls=" $(echo kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll comdlg32.dll \
  ws2_32.dll winmm.dll imm32.dll dwmapi.dll uxtheme.dll version.dll netapi32.dll userenv.dll mpr.dll shcore.dll \
  shlwapi.dll d3d9.dll d3d11.dll dxgi.dll dwrite.dll d2d1.dll setupapi.dll wtsapi32.dll msvcrt.dll \
  authz.dll crypt32.dll bcrypt.dll ntdll.dll rpcrt4.dll comctl32.dll secur32.dll odbc32.dll) "
missing=""
while read -r binary; do
  for dll in $($triplet-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    [[ "$dll" == api-ms-win-* || "$system_dlls" == *" $dll "* ]] && continue
    [ -n "$(find "$folder" -iname "$dll" | head -n 1)" ] || missing+=" $(basename "$binary") needs $dll;"
  done
done < <(find "$folder" -iname '*.exe' -o -iname '*.dll')
[ -z "$missing" ] || { echo "Missing from the folder:$missing" >&2; exit 1; }

mkdir -p "$out"
zip_file=$out/Palinor-$version-win64.zip
rm -f "$out"/Palinor-*-win64.zip
(cd "$stage" && zip -qr -9 "$zip_file" Palinor)
echo "$zip_file ($(du -sh "$folder" | cut -f1) unpacked, $(du -h "$zip_file" | cut -f1) zipped)"

# The setup carries the folder; its uninstaller removes each file and folder of it, named here, and no other.
setup=$out/Palinor-$version-win64-setup.exe
rm -f "$out"/Palinor-*-win64-setup.exe
(cd "$folder" && find . -type f | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|' &&
   find . -mindepth 1 -depth -type d | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|') >"$stage/remove.nsh"
makensis -V2 -WX -DVERSION="$version" -DFOLDER="$folder" -DREMOVE="$stage/remove.nsh" -DOUTFILE="$setup" \
  -DICON="$build/app/resources/generated/icons/palinor.ico" packaging/palinor.nsi
echo "$setup ($(du -h "$setup" | cut -f1))"

# The tests beside a copy of the folder, which has every DLL they need.
cp -r "$folder" "$stage/tests"
for name in "${unit_tests[@]}"; do cp "$build/$name.exe" "$stage/tests/"; done
scripts/wine-unit-tests.sh "$stage/tests" "${unit_tests[@]}"
scripts/wine-test.sh "$zip_file"
scripts/wine-install-test.sh "$setup"
