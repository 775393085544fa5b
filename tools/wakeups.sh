#!/usr/bin/env bash
# Wake-ups (voluntary context switches, all threads summed) and CPU per
# minute of the started client under Wine, read from /proc: hidden in the
# tray (-min -auto) and shown (-auto), beside a bare window with the same
# common controls (tools/bare_window_win.cpp), which is the floor Wine
# itself sets. The client syncs once against the demo's stand-ins at start;
# the figures are taken over the quiet time after it.
#   tools/wakeups.sh BUILD_DIR [SECONDS [OLDER_CLIENT.exe]]
# Needs a display (xvfb-run -a) and the stand-in lock.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); seconds=${2:-30}; older=${3:-}
. "$root/tools/demo_env.sh"
demo_env "$build" "$build/bench-wineprefix"
prefix=$demo_prefix

# One program at a time: its process is the one whose command line begins
# with the program (Wine's loader becomes it).
measure() {
  local label=$1; shift
  run "$@" >/dev/null 2>&1 &
  local name pid="" v0 c0 v1 c1
  name=$(basename "$1")
  for _ in $(seq 1 100); do
    pid=$(pgrep -f "^[^ ]*$name" | head -n1 || true)
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] || { echo "$label: did not start" >&2; return 1; }
  sleep 8
  read -r v0 c0 < <(sample "$pid")
  sleep "$seconds"
  read -r v1 c1 < <(sample "$pid")
  awk -v l="$label" -v v=$((v1 - v0)) -v c=$((c1 - c0)) -v s="$seconds" -v hz="$(getconf CLK_TCK)" \
    'BEGIN {printf "%-36s %7.1f wake-ups/min   cpu %6.1f ms/min\n", l, v * 60 / s, c * 1000 / hz * 60 / s}'
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
}
sample() {
  local v=0 t
  for t in /proc/"$1"/task/*/status; do
    v=$((v + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t" 2>/dev/null || echo 0)))
  done
  echo "$v $(awk '{print $14 + $15}' "/proc/$1/stat")"
}

echo "wake-ups under Wine, ${seconds} s after the first sync, per minute (all threads):"
measure "bare window, hidden" "$build/bare_window.exe" -hidden
measure "bare window, shown" "$build/bare_window.exe"
for client in ${older:+"$older"} "$build/DynDNSVelloqClient.exe"; do
  which=$([ "$client" = "$older" ] && echo "older client" || echo "client")
  run "$build/velloq_tool.exe" seed TIMESTAMP NULL
  measure "$which, hidden (-min -auto)" "$client" -min -auto
  run "$build/velloq_tool.exe" seed TIMESTAMP NULL
  measure "$which, shown (-auto)" "$client" -auto
done
