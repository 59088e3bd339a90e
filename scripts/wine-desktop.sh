# Sourced by the Wine tests, from the project's root: Xvfb with openbox (tests/app/xvfb.sh) and a Wine prefix in
# the scratch folder, which adds no menu entry to this machine's desktop.
. tests/app/xvfb.sh
start_xvfb 1024x768
start_openbox
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# new_prefix: makes the prefix, or fails with the caller's fail.
new_prefix() { wineboot --init >/dev/null 2>&1 || fail "the Wine prefix could not be made"; }
