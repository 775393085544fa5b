#!/usr/bin/env bash
# Builds what is missing and starts the client under Wine: on the user's
# display when there is one, otherwise on a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 --target DynDNSVelloqClient

prefix="$(pwd)/build/win64/wineprefix"
echo "[run] starting the client under Wine (prefix $prefix)"
scripts/wine-run.sh --prefix "$prefix" build/win64/DynDNSVelloqClient.exe "$@"
echo "[run] the client has ended"
