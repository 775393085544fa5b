#!/usr/bin/env bash
# Figures: how long the Windows chain engine (Wine's, here) takes to judge a
# trusted chain whose leaf names CRL and OCSP addresses on a stand-in that
# takes each connection and never answers, for several fetch time-outs
# (CERT_CHAIN_PARA's dwUrlRetrievalTimeout), and how many fetches it made.
# Run inside a private network namespace; needs root (tools/with_roots.sh).
#   chain_fetch_figures.sh BUILD_DIR [MS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd); shift
[ $# -gt 0 ] || set -- 500 1000 2000 5000
dir=$(mktemp -d /tmp/velloq-chain.XXXXXX)
trap 'kill $silent 2>/dev/null || true; WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true; rm -rf "$dir"' EXIT
certs=$("$here/test_chain.sh" "$dir/certs" 127.0.0.27 revocation:127.0.0.26)
openssl x509 -in "$certs/cert.pem" -outform der -out "$dir/leaf.der"
python3 "$here/standin.py" checkip --addr 127.0.0.26 --ip 192.0.2.9 --mode silent --record "$dir/fetches.log" \
  --max-seconds 900 >"$dir/silent.out" 2>&1 &
silent=$!
for _ in $(seq 1 100); do grep -q '^READY' "$dir/silent.out" && break; sleep 0.05; done
for ms in "$@"; do
  before=$(grep -c '^=== REQUEST' "$dir/fetches.log" 2>/dev/null || true)
  took=$("$here/with_roots.sh" "$dir/trust.crt" "$dir/certs/root.pem" -- \
    "$here/../scripts/wine-run.sh" --prefix "$build/wineprefix" "$build/velloq_tool.exe" chain-time \
    "Z:$dir/leaf.der" "$ms" | tr -d '\r')
  sleep 0.2
  after=$(grep -c '^=== REQUEST' "$dir/fetches.log" 2>/dev/null || true)
  printf 'fetch time-out %5d ms   %-24s fetches %d\n' "$ms" "$took" $((${after:-0} - ${before:-0}))
  grep '^=== REQUEST' -A1 "$dir/fetches.log" | tail -n +$((${before:-0} * 3 + 1)) | grep -a '^GET\|^POST' | sed 's/^/    /' || true
done
