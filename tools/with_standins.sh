#!/usr/bin/env bash
# Starts the stand-in servers listed in a file, runs a command while they
# listen, and stops them again whatever happens.
#   with_standins.sh [--trust-root] LIST -- command [args...]
# Each line of LIST holds the arguments of one tools/standin.py
# server; '#' starts a comment. Every server records its requests in
# $VELLOQ_STANDIN_DIR/<addr>-<port>.log. A TLS server serves a chain from
# the test root made here (tools/test_chain.sh; "--cert KIND" on its line
# picks another kind). The command trusts that root natively through
# SSL_CERT_FILE; under Wine, with --trust-root, inside a private mount
# namespace (tools/with_roots.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
standin="$here/standin.py"
trust_root=no
[ "$1" = "--trust-root" ] && { trust_root=yes; shift; }
list="$1"; shift
[ "${1:-}" = "--" ] && shift

dir=$(mktemp -d /tmp/velloq-standins.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT INT TERM

mkdir -p "$dir/certs"

n=0
while IFS= read -r line; do
  line="${line%%#*}"
  [ -n "${line// /}" ] || continue
  eval "args=($line)"
  kind=trusted
  for i in "${!args[@]}"; do
    [ "${args[$i]}" = --cert ] && { kind=${args[$((i + 1))]}; unset "args[$i]" "args[$((i + 1))]"; break; }
  done
  args=("${args[@]}")
  addr=$(printf '%s\n' "${args[@]}" | grep -A1 -x -- '--addr' | tail -n1 || true)
  port=$(printf '%s\n' "${args[@]}" | grep -A1 -x -- '--port' | tail -n1 || true)
  port=${port:-80}
  # A Windows path holds no colon: an IPv6 address is written with "_".
  extra=(--record "$dir/${addr//:/_}-$port.log" --max-seconds 900)
  case " $line " in *" --tls "*) extra+=(--cert-dir "$("$here/test_chain.sh" "$dir/certs" "$addr" "$kind")");; esac
  n=$((n + 1))
  /usr/bin/python3 "$standin" "${args[@]}" "${extra[@]}" >"$dir/server$n.out" 2>"$dir/server$n.err" &
  pids+=($!)
done <"$list"

# Every server says READY once it listens.
for i in $(seq 1 "$n"); do
  for _ in $(seq 1 100); do
    grep -q '^READY' "$dir/server$i.out" 2>/dev/null && break
    sleep 0.05
  done
  if ! grep -q '^READY' "$dir/server$i.out"; then
    echo "with_standins: server $i did not start:" >&2
    cat "$dir/server$i.err" >&2
    exit 1
  fi
done

export VELLOQ_STANDIN_DIR="$dir" SSL_CERT_FILE="$dir/certs/root.pem"
[ "$trust_root" = yes ] && set -- "$here/with_roots.sh" "$dir/trust.crt" "$dir/certs/root.pem" -- "$@"
set +e
"$@"
rc=$?
set -e
exit $rc
