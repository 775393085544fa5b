#!/usr/bin/env bash
# Wake-ups (voluntary context switches, all threads summed), CPU per
# minute and resident memory of the client under Wine, read from /proc:
# stopped (no switches), hidden in the tray (-min -auto) and shown (-auto),
# beside a bare window with the same common controls
# (tools/bare_window_win.cpp), which is the floor Wine itself sets; each
# client row says how far above the floor of its kind (hidden or shown) its
# memory is; then the service at rest (-service, started at the prefix's
# boot) and the tray program as its hidden face. A started client syncs
# once against the demo's stand-ins at start; the figures are taken over
# the quiet time after it.
#   tools/wakeups.sh BUILD_DIR [SECONDS [OLDER_CLIENT.exe]]
# Needs a display (xvfb-run -a) and the stand-in lock.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); seconds=${2:-30}; older=${3:-}
. "$root/tools/demo_env.sh"
demo_env "$build" "$build/bench-wineprefix"
prefix=$demo_prefix

# One program at a time: its process is the one whose command line begins
# with the program (Wine's loader becomes it) and whose prefix is ours
# (other runs on the machine may start the same programs). Memory is the
# resident set at the end of the quiet time. With --pattern, the process
# is the one whose command line matches PATTERN (no COMMAND: started already).
#   measure LABEL KIND [--pattern PATTERN] [COMMAND...]
declare -A floor
measure() {
  local label=$1 kind=$2 pattern=""; shift 2
  [ "${1:-}" = --pattern ] && { pattern=$2; shift 2; }
  [ $# -gt 0 ] && { run "$@" >/dev/null 2>&1 & }
  local pid="" p v0 c0 v1 c1 rss
  [ -n "$pattern" ] || pattern="^[^ ]*$(basename "$1")"
  for _ in $(seq 1 100); do
    for p in $(pgrep -f "$pattern" || true); do
      tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && pid=$p
    done
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] || { echo "$label: did not start" >&2; return 1; }
  sleep 8
  read -r v0 c0 < <(sample "$pid")
  sleep "$seconds"
  read -r v1 c1 < <(sample "$pid")
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
  local over=1
  [ -n "${floor[$kind]:-}" ] || { floor[$kind]=$rss; over=0; }
  awk -v l="$label" -v v=$((v1 - v0)) -v c=$((c1 - c0)) -v s="$seconds" -v hz="$(getconf CLK_TCK)" \
    -v r="$rss" -v f="${floor[$kind]}" -v k="$kind" -v over="$over" \
    'BEGIN {printf "%-36s %7.1f wake-ups/min   cpu %6.1f ms/min   rss %5.1f MiB", l, v * 60 / s, c * 1000 / hz * 60 / s, r / 1024
            if (over) printf "  (%+.1f MiB over the %s bare window)", (r - f) / 1024, k
            printf "\n"}'
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

echo "wake-ups and memory under Wine, ${seconds} s after the first sync, per minute (all threads):"
measure "bare window, hidden" hidden "$build/bare_window.exe" -hidden
measure "bare window, shown" shown "$build/bare_window.exe"
# Stopped first: Wine deletes a running service only once it stops.
remove_service() {
  run "$build/velloq_tool.exe" control 1 >/dev/null 2>&1 || true
  sleep 1
  run sc delete DynDNSVelloqClient >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
}
remove_service  # left by a run that was cut short

for client in ${older:+"$older"} "$build/DynDNSVelloqClient.exe"; do
  which=$([ "$client" = "$older" ] && echo "older client" || echo "client")
  measure "$which, stopped (shown)" shown "$client"
  run "$build/velloq_tool.exe" seed TIMESTAMP NULL
  measure "$which, hidden (-min -auto)" hidden "$client" -min -auto
  run "$build/velloq_tool.exe" seed TIMESTAMP NULL
  measure "$which, shown (-auto)" shown "$client" -auto
done

# The service: registered in the bench prefix for these two lines only. A
# keep-alive boots the prefix, which starts the service; the face is the
# tray program started while the service is installed.
exe=$(run winepath -w "$build/DynDNSVelloqClient.exe" 2>/dev/null | tr -d '\r')
run sc create DynDNSVelloqClient binPath= "\"$exe\" -service" start= auto >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
run "$build/velloq_tool.exe" seed TIMESTAMP NULL
run "$build/velloq_tool.exe" sleep $(( (seconds + 15) * 1000 )) >/dev/null 2>&1 &
measure "service, at rest (-service)" hidden --pattern '[D]ynDNSVelloqClient.exe -service'
run "$build/velloq_tool.exe" sleep $(( (seconds + 15) * 1000 )) >/dev/null 2>&1 &
sleep 2
measure "face of the service, hidden (-min)" hidden --pattern 'DynDNSVelloqClient.exe -min$' \
  "$build/DynDNSVelloqClient.exe" -min
remove_service
