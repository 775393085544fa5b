#!/usr/bin/env bash
# Installs what is missing, builds every configuration from nothing and
# runs every test: the native core under AddressSanitizer and UBSan, then
# under ThreadSanitizer, the fuzz targets briefly, then the Windows
# program's tests under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

echo "[test] native build (sanitizers on)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native
echo "[test] native tests"
(cd build/native && ctest --output-on-failure -j2)

echo "[test] native tests under ThreadSanitizer (a build of its own: it cannot be combined with ASan)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELLOQ_TSAN=ON >/dev/null
cmake --build build/tsan --target unit_tests exchange_tests
# On a kernel with more address randomisation than this ThreadSanitizer
# can map around, it aborts at once; the tests then run with randomisation
# off for them alone.
tsan_run=()
if ! build/tsan/unit_tests --gtest_list_tests >/dev/null 2>&1; then tsan_run=(setarch "$(uname -m)" -R); fi
# Clean without suppressions: Debian's OpenSSL, not built with it, shows nothing.
(cd build/tsan && TSAN_OPTIONS=halt_on_error=1 "${tsan_run[@]}" ctest --output-on-failure -j2 -R 'unit_tests|exchange_tests')

echo "[test] fuzz targets (a short run each; the README shows a longer run)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DVELLOQ_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/fuzz
(cd build/fuzz && ctest --output-on-failure -j2)

echo "[test] Windows build"
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64

echo "[test] reproducible build: the committed HEAD built twice from two clones"
tools/check_reproducible.sh

trap 'WINEPREFIX="$root/build/win64/wineprefix" wineserver -k 2>/dev/null || true' EXIT
wine_tests() {
  # Without a window manager Wine waits up to two seconds for one whenever a
  # window is hidden or destroyed; the tests' windows go unmanaged instead.
  scripts/wine-run.sh --prefix "$root/build/win64/wineprefix" \
    reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  echo "[test] Windows tests under Wine (display $DISPLAY)"
  (cd build/win64 && ctest --output-on-failure)
}
# One virtual display for the whole Wine run, unless the caller has one.
if [ -n "${DISPLAY:-}" ]; then
  wine_tests
else
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "root='$root'; $(declare -f wine_tests); wine_tests"
fi
