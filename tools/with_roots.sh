#!/usr/bin/env bash
# Runs a command in a private mount namespace in which the system's CA
# bundle, which Wine reads as the Windows ROOT store when a process starts,
# is a copy with the given roots appended. The machine's own trust never
# changes. The command finds the copy as $VELLOQ_TRUST_BUNDLE and may add a
# root to it for the processes it starts afterwards. Needs root.
#   with_roots.sh COPY [ROOT.pem...] -- command [args...]
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "with_roots: a private mount namespace needs root" >&2; exit 2; }
system=/etc/ssl/certs/ca-certificates.crt
copy="$1"; shift
cat "$system" >"$copy"
while [ "$1" != "--" ]; do cat "$1" >>"$copy"; shift; done
shift
export VELLOQ_TRUST_BUNDLE="$copy"
exec unshare -m --propagation private \
  sh -c 'mount --bind "$VELLOQ_TRUST_BUNDLE" '"$system"' && exec "$@"' with_roots "$@"
