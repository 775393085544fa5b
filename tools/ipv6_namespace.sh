#!/usr/bin/env bash
# Runs a command in a network and mount namespace of its own, as root:
# loopback up, every 2001:db8::/32 address that HOSTS names on an interface
# of the namespace, and HOSTS bind-mounted over /etc/hosts there only, so
# the machine's own hosts file and addresses never change.
#   ipv6_namespace.sh HOSTS -- command [args...]
set -euo pipefail
if [ "${VELLOQ_IPV6_NAMESPACE:-}" != "$$" ]; then
  [ "$(id -u)" = 0 ] || { echo "ipv6_namespace: needs root (unshare -n -m)" >&2; exit 77; }
  # The inner shell's pid is unknown before it starts: mark it by this one's.
  exec unshare -n -m bash -c 'VELLOQ_IPV6_NAMESPACE=$$ exec bash "$0" "$@"' "$0" "$@"
fi
hosts=$(realpath "$1"); shift
[ "${1:-}" = "--" ] && shift

mount --make-rprivate /
ip link set lo up
# A dummy interface where the kernel has the module; without it a veth pair
# whose both ends stay in this namespace serves the same.
if ! ip link add velloq6 type dummy 2>/dev/null; then
  ip link add velloq6 type veth peer name velloq6peer
  ip link set velloq6peer up
fi
ip link set velloq6 up
for address in $(awk '$1 ~ /^2001:db8:/ { print $1 }' "$hosts" | sort -u); do
  ip -6 addr add "$address/128" dev velloq6 nodad
done
mount --bind "$hosts" /etc/hosts
unset VELLOQ_IPV6_NAMESPACE
exec "$@"
