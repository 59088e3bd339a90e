#!/usr/bin/env bash
# Builds the optimised program and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
# Run as installed, so that the scores are kept in the user's data folder and outlive the build folder.
stage="$PWD/build/release/stage"
cmake --install build/release --prefix "$stage" >/dev/null
exec "$stage/bin/Palinor" "$@"
