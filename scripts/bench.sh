#!/usr/bin/env bash
# Figures, never a verdict: sync attempts in-process (latency, CPU), one
# attempt as a whole process beside inadyn when Debian's inadyn is
# installed (CPU, wall, peak memory), the sizes of the Windows program
# and installer, and the program's wake-ups and resident memory under
# Wine, stopped, hidden and shown, beside a bare window's, then the
# service's at rest and the tray program's as its face (tools/wakeups.sh).
#   scripts/bench.sh [attempts]
# VELLOQ_BENCH_OLDER=path/DynDNSVelloqClient.exe measures an older build's
# wake-ups and memory too, for a before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >/dev/null
# The whole-process figures are taken with perf and GNU time.
for p in linux-perf time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    DEBIAN_FRONTEND=noninteractive $([ "$(id -u)" -eq 0 ] || echo sudo) apt-get install -y -qq "$p" >/dev/null
done
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLOQ_SANITIZE=OFF >/dev/null
cmake --build build/bench --target sync_bench >/dev/null
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 --target DynDNSVelloqClient installer velloq_tool bare_window >/dev/null

# One attempt as a whole process, 30 runs: mean CPU and wall time (perf),
# and the largest peak resident set of 5 runs.
whole() {
  local label="$1"; shift
  local stats peak=0 rss
  stats=$(perf stat -r 30 -e task-clock "$@" 2>&1 >/dev/null)
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f %M -o "$inadyn_conf/rss" "$@" >/dev/null 2>&1 || true
    rss=$(tail -n1 "$inadyn_conf/rss"); [ "$rss" -gt "$peak" ] && peak=$rss
  done
  printf '%-20s cpu %6.2f ms   wall %6.2f ms   peak rss %6d KiB\n' "$label" \
    "$(awk '/task-clock/ {print $1}' <<<"$stats")" \
    "$(awk '/time elapsed/ {print $1 * 1000}' <<<"$stats")" "$peak"
}

inadyn_conf=$(mktemp -d)
trap 'rm -rf "$inadyn_conf"' EXIT
# The host name resolves through /etc/hosts (scripts/install-deps.sh adds
# it), so inadyn's own look-up of it stays on this machine.
cat >"$inadyn_conf/inadyn.conf" <<'CONF'
secure-ssl = false
custom standin {
    username = demo
    password = secret
    ssl = true
    checkip-server = 127.0.0.50
    checkip-path = /index.php
    ddns-server = 127.0.0.51
    ddns-path = "/nic/update?system=dyndns&hostname=%h&myip=%i"
    hostname = update.velloq.test
}
CONF
export -f whole
export inadyn_conf
tools/with_standins.sh tools/bench_standins.list -- bash -c '
  build/bench/sync_bench "$1"
  # The same TLS attempts with the whole system trust loaded beside the test root.
  cat /etc/ssl/certs/ca-certificates.crt "$SSL_CERT_FILE" >"$VELLOQ_STANDIN_DIR/system-and-test.crt"
  SSL_CERT_FILE="$VELLOQ_STANDIN_DIR/system-and-test.crt" build/bench/sync_bench "$1" tls "tls, system trust + test root"
  echo
  echo "one attempt as a whole process (check-IP + update), means of 30 runs:"
  whole "this client, plain" build/bench/sync_bench once plain
  whole "this client, TLS" build/bench/sync_bench once tls
  if command -v inadyn >/dev/null; then
    whole "inadyn -1, TLS" inadyn -1 --force -n -l none --no-pidfile -f "$inadyn_conf/inadyn.conf" \
      --cache-dir "$inadyn_conf/cache"
  fi' bench "${1:-200}"

echo
size() { stat -c %s "$1" | awk -v n="$2" '{printf "%-22s %9d bytes (%.2f MiB)\n", n, $1, $1 / 1048576}'; }
size build/win64/DynDNSVelloqClient.exe "program (stripped)"
size "$(ls build/win64/DynDNSVelloqClient-*-setup.exe)" "installer"

echo
wakeups=(tools/wakeups.sh build/win64 30 ${VELLOQ_BENCH_OLDER:+"$VELLOQ_BENCH_OLDER"})
if [ -n "${DISPLAY:-}" ]; then "${wakeups[@]}"; else xvfb-run -a -s "-screen 0 1024x768x24" "${wakeups[@]}"; fi
