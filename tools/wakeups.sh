#!/usr/bin/env bash
# Wake-ups (voluntary context switches, all threads summed), CPU per
# minute and resident memory of the started client under Wine, read from
# /proc: hidden in the tray (-min -auto) and shown (-auto), beside a bare
# window with the same common controls (tools/bare_window_win.cpp), which
# is the floor Wine itself sets; then the service at rest (-service,
# started at the prefix's boot) and the tray program as its hidden face.
# The client syncs once against the demo's stand-ins at start; the figures
# are taken over the quiet time after it.
#   tools/wakeups.sh BUILD_DIR [SECONDS [OLDER_CLIENT.exe]]
# Needs a display (xvfb-run -a) and the stand-in lock.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); seconds=${2:-30}; older=${3:-}
. "$root/tools/demo_env.sh"
demo_env "$build" "$build/bench-wineprefix"
prefix=$demo_prefix

# One program at a time: its process is the one whose command line begins
# with the program (Wine's loader becomes it), or matches PATTERN.
#   measure LABEL [--pattern PATTERN] COMMAND...   (--pattern alone: started already)
measure() {
  local label=$1 pattern="" pid="" v0 c0 v1 c1; shift
  [ "$1" = --pattern ] && { pattern=$2; shift 2; }
  [ $# -gt 0 ] && { run "$@" >/dev/null 2>&1 & }
  [ -n "$pattern" ] || pattern="^[^ ]*$(basename "$1")"
  for _ in $(seq 1 100); do
    pid=$(pgrep -f "$pattern" | head -n1 || true)
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] || { echo "$label: did not start" >&2; return 1; }
  sleep 8
  # Looked up again: the first process found can be the loader's, gone by now.
  pid=$(pgrep -f "$pattern" | head -n1 || true)
  [ -n "$pid" ] || { echo "$label: ended" >&2; return 1; }
  read -r v0 c0 < <(sample "$pid")
  sleep "$seconds"
  read -r v1 c1 < <(sample "$pid")
  awk -v l="$label" -v v=$((v1 - v0)) -v c=$((c1 - c0)) -v s="$seconds" -v hz="$(getconf CLK_TCK)" \
    -v rss="$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")" \
    'BEGIN {printf "%-36s %7.1f wake-ups/min   cpu %6.1f ms/min   rss %6d KiB\n", l, v * 60 / s, c * 1000 / hz * 60 / s, rss}'
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

# Stopped first: Wine deletes a running service only once it stops.
remove_service() {
  run "$build/velloq_tool.exe" control 1 >/dev/null 2>&1 || true
  sleep 1
  run sc delete DynDNSVelloqClient >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
}
remove_service  # left by a run that was cut short

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

# The service: registered in the bench prefix for these two lines only. A
# keep-alive boots the prefix, which starts the service; the face is the
# tray program started while the service is installed.
exe=$(run winepath -w "$build/DynDNSVelloqClient.exe" 2>/dev/null | tr -d '\r')
run sc create DynDNSVelloqClient binPath= "\"$exe\" -service" start= auto >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
run "$build/velloq_tool.exe" seed TIMESTAMP NULL
run "$build/velloq_tool.exe" sleep $(( (seconds + 15) * 1000 )) >/dev/null 2>&1 &
measure "service, at rest (-service)" --pattern '[D]ynDNSVelloqClient.exe -service'
run "$build/velloq_tool.exe" sleep $(( (seconds + 15) * 1000 )) >/dev/null 2>&1 &
sleep 2
measure "face of the service, hidden (-min)" --pattern 'DynDNSVelloqClient.exe -min$' "$build/DynDNSVelloqClient.exe" -min
remove_service
