#!/usr/bin/env bash
# Records the window, timer and tray calls of one scripted run (drive_win.cpp)
# of the client built from SRC_DIR, against the demonstration's stand-ins.
#   tools/window_calls/record.sh SRC_DIR BUILD_DIR OUT_FILE
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

prefix="$build/wineprefix"
run() { "$src/scripts/wine-run.sh" --prefix "$prefix" "$@"; }
python3 "$src/tools/standin.py" demo --checkip-addr 127.0.0.70 --update-addr 127.0.0.71 --user demo \
  --password velloq-demo --hosts home.demo.example --ip 198.51.100.23 --cert-dir "$build/certs" \
  --max-seconds 120 >"$build/service.log" 2>&1 &
service=$!
trap 'kill $service 2>/dev/null || true; WINEPREFIX=$prefix wineserver -k 2>/dev/null || true' EXIT
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
for v in DomainCheckIP=127.0.0.70 DomainDynDNS=127.0.0.71 "AUTH=$(printf demo:velloq-demo | base64)" \
  DOMAIN=home.demo.example TOUT=1000 CLOOP=30 DEBUG=true LASTIP=NULL TIMESTAMP=NULL CheckLastIP=false \
  CheckUseSSL=false; do
  run "$build/velloq_tool.exe" seed "${v%%=*}" "${v#*=}"
done
run "$build/velloq_tool.exe" close >/dev/null 2>&1 || true
VELLOQ_RECORD="Z:${out//\//\\}" run "$build/DynDNSVelloqClient.exe" &
client=$!
run "$build/drive.exe"
wait "$client"
sed -i 's/\r$//' "$out"
echo "recorded $(wc -l <"$out") calls into $out"
