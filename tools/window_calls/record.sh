#!/usr/bin/env bash
# Records the window, timer and tray calls of one scripted run (drive_win.cpp)
# of the client built from SRC_DIR, against the demonstration's stand-ins.
#   tools/window_calls/record.sh SRC_DIR BUILD_DIR OUT_FILE [hide]
# Two recordings compare with diff; only the countdown's ticks may differ in
# number, by how long each step took.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$1" && pwd); build=$(mkdir -p "$2" && cd "$2" && pwd); out=$(realpath -m "$3")
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="-include $here/record_win.h" >/dev/null
cmake --build "$build" --target DynDNSVelloqClient velloq_tool >/dev/null
x86_64-w64-mingw32-g++-posix -O1 -static -municode -o "$build/drive.exe" -x c++ - <<<"#define main wmain
$(cat "$here/drive_win.cpp")"

. "$here/../demo_env.sh"
demo_env "$build" "$build/wineprefix" DEBUG=true
VELLOQ_RECORD="Z:${out//\//\\}" run "$build/DynDNSVelloqClient.exe" &
client=$!
run "$build/drive.exe" ${4:-}
wait "$client"
sed -i 's/\r$//' "$out"
echo "recorded $(wc -l <"$out") calls into $out"
