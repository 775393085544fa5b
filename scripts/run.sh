#!/usr/bin/env bash
# The demonstration: builds what is missing, starts our stand-in DynDNS
# service on loopback (check-IP page, update server plain and TLS, a demo
# account with two host names), points the client's registry at it inside
# the project's own Wine prefix and starts the client with -auto.
# With a display you see the window and the tray icon (close the window to
# end). Without one it runs headless: it waits for the outcome, prints it
# with the update the service applied, saves a screenshot and stops.
# Run it twice: the record of the last sync survives, so the second run
# shows STOP SPAM. VELLOQ_DEMO_TLS=1 sends the update over TLS, to a
# server whose certificate comes from a demo root that only the demo's
# client trusts (tools/with_roots.sh: a private mount namespace, so root).
# VELLOQ_DEMO_SECURECHECKIP=1 asks the check-IP service over TLS too, for
# its page "/", which answers with the address alone.
# VELLOQ_DEMO_IPV6=1 turns on "Update IPv6": the run moves into a network
# namespace of its own (tools/ipv6_namespace.sh, as root) where a second
# check-IP page answers over IPv6 at 2001:db8::70, named
# checkip6.demo.example in a private hosts file, and one update carries both
# addresses.
# VELLOQ_DEMO_SERVICE=1 registers the program as the service first and
# "reboots" the prefix: the service updates the demo hosts with no window,
# then the client starts as the service's face and shows its outcome; the
# service is removed again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# Install first: on a new machine xvfb-run and xdpyinfo come with it. The
# run below, under its virtual display, need not check again.
[ -n "${VELLOQ_DEPS_CHECKED:-}" ] || bash scripts/install-deps.sh
export VELLOQ_DEPS_CHECKED=1

ipv6=$([ "${VELLOQ_DEMO_IPV6:-0}" = 1 ] && echo yes || echo no)
if [ "$ipv6" = yes ] && [ -z "${VELLOQ_DEMO_IN_NAMESPACE:-}" ]; then
  mkdir -p build/demo
  printf '%s\n' '127.0.0.1 localhost' '::1 localhost ip6-localhost' '2001:db8::70 checkip6.demo.example' \
    >build/demo/hosts
  VELLOQ_DEMO_IN_NAMESPACE=1 exec tools/ipv6_namespace.sh build/demo/hosts -- "$0" "$@"
fi

# Without a display the run is headless, on a virtual display of its own.
if [ -z "${VELLOQ_HEADLESS:-}" ] && { [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; }; then
  VELLOQ_HEADLESS=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win64 --target DynDNSVelloqClient velloq_tool >/dev/null

demo="$root/build/demo"
prefix="$demo/wineprefix"
mkdir -p "$demo/certs"
checkip_addr=127.0.0.70
update_addr=127.0.0.71
user=demo
password=velloq-demo
hosts=home.demo.example,office.demo.example
public_ip=198.51.100.23
checkip6_addr=2001:db8::70
public_ip6=2001:db8::23
ipv6_service=()
[ "$ipv6" = yes ] && ipv6_service=(--checkip6-addr "$checkip6_addr" --ip6 "$public_ip6")

pids=()
service=$([ "${VELLOQ_DEMO_SERVICE:-0}" = 1 ] && echo yes || echo no)
cleanup() {
  trap - EXIT INT TERM
  if [ "$service" = yes ]; then  # stopped first: a running service is only marked for deletion
    scripts/wine-run.sh --prefix "$prefix" build/win64/velloq_tool.exe control 1 >/dev/null 2>&1 || true
    sleep 1
    scripts/wine-run.sh --prefix "$prefix" sc delete DynDNSVelloqClient >/dev/null 2>&1 || true
  fi
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'echo; echo "[run] stopping"; exit 130' INT TERM

headless=$([ -n "${VELLOQ_HEADLESS:-}" ] && echo yes || echo no)

echo "[run] stand-in DynDNS service: check-IP $checkip_addr:80 and :443, update $update_addr:80 and :443"
[ "$ipv6" = yes ] && echo "[run] and check-IP over IPv6: checkip6.demo.example, [$checkip6_addr]:80"
certs=$(tools/test_chain.sh "$demo/certs" "$update_addr")
checkip_certs=$(tools/test_chain.sh "$demo/certs" "$checkip_addr")
/usr/bin/python3 tools/standin.py demo --checkip-addr "$checkip_addr" --update-addr "$update_addr" \
  --user "$user" --password "$password" --hosts "$hosts" --ip "$public_ip" --cert-dir "$certs" \
  --checkip-cert-dir "$checkip_certs" \
  "${ipv6_service[@]}" --max-seconds 3600 >"$demo/service.log" 2>"$demo/service.err" &
pids+=($!)
for _ in $(seq 1 100); do grep -q '^READY' "$demo/service.log" 2>/dev/null && break; sleep 0.1; done
grep -q '^READY' "$demo/service.log" || { echo "[run] the service did not start:"; cat "$demo/service.err"; exit 1; }

wine_run() { scripts/wine-run.sh --prefix "$prefix" "$@"; }
tool() { wine_run build/win64/velloq_tool.exe "$@"; }

# Headless there is no window manager to wait for; on a desktop the
# window manager decorates the window as usual.
x11='HKCU\Software\Wine\X11 Driver'
if [ "$headless" = yes ]; then
  wine_run reg add "$x11" /v Managed /d N /f >/dev/null 2>&1 || true
else
  wine_run reg delete "$x11" /v Managed /f >/dev/null 2>&1 || true
fi

echo "[run] pointing the client at the service (prefix $prefix)"
auth=$(printf '%s:%s' "$user" "$password" | base64)
secure_checkip=$([ "${VELLOQ_DEMO_SECURECHECKIP:-0}" = 1 ] && echo true || echo false)
tool seed DomainCheckIP "$checkip_addr$([ "$secure_checkip" = true ] && echo / || true)"
tool seed SecureCheckIP "$secure_checkip"
tool seed DomainDynDNS "$update_addr"
tool seed AUTH "$auth"
tool seed DOMAIN "${hosts/,/\\r\\n}"
tool seed CheckUseSSL "$([ "${VELLOQ_DEMO_TLS:-0}" = 1 ] && echo true || echo false)"
tool seed UseIPv6 "$([ "$ipv6" = yes ] && echo true || echo false)"
[ "$ipv6" = yes ] && tool seed DomainCheckIP6 checkip6.demo.example

trusted() { tools/with_roots.sh "$demo/trust.crt" "$demo/certs/root.pem" -- scripts/wine-run.sh --prefix "$prefix" "$@"; }
if [ "$service" = yes ]; then
  echo "[run] registering the service, then a reboot with nobody logged on"
  exe=$(wine_run winepath -w "$root/build/win64/DynDNSVelloqClient.exe" 2>/dev/null | tr -d '\r')
  wine_run sc create DynDNSVelloqClient binPath= "\"$exe\" -service" start= auto obj= 'NT AUTHORITY\LocalService' >/dev/null
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
  # A service alone does not keep a Wine prefix up: one plain process does.
  trusted build/win64/velloq_tool.exe sleep 3600000 >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 300); do grep -q '^UPDATE' "$demo/service.log" && break; sleep 0.1; done
  echo "[run] the service sent, with $(tool windows | tr -d '\r') window(s) of ours open:"
  grep '^UPDATE' "$demo/service.log" | sed 's/^/[run]   /' || echo "[run]   (no update)"
  echo "[run] starting the client: the service's face"
fi

echo "[run] starting the client with -auto"
trusted build/win64/DynDNSVelloqClient.exe -auto &
client=$!

if [ "$headless" = no ]; then
  echo "[run] the client runs on $DISPLAY; close its window (File > Exit) or press Ctrl-C to end"
  tail -n +2 -f "$demo/service.log" &
  pids+=($!)
  wait "$client" || true
  exit 0
fi

status=$(tool wait-status 30000 | tr -d '\r') || true
echo "[run] STATUS: $status"
grep '^CHECKIP' "$demo/service.log" | sed 's/^CHECKIP /[run] check-IP query /' || true
if [ "$ipv6" = yes ]; then
  echo "[run] IP: $(tool text 221 | tr -d '\r')   IPv6: $(tool text 232 | tr -d '\r')"
fi
echo "[run] the service applied:"
grep '^UPDATE' "$demo/service.log" | sed 's/^/[run]   /' || echo "[run]   (no update)"
sleep 1
import -window root "$demo/screenshot.png" 2>/dev/null && echo "[run] screenshot: $demo/screenshot.png"
tool close >/dev/null 2>&1 || true
for _ in $(seq 1 50); do kill -0 "$client" 2>/dev/null || break; sleep 0.1; done
