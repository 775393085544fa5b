#!/usr/bin/env bash
# Takes the README's pictures of the client from a Windows build folder
# (it builds nothing): a stand-in service on loopback, the client inside a
# Wine virtual desktop (so Wine draws the title bar) on a display of its
# own, one sync, then each page and the About window into docs/screenshots/.
#   tools/screenshots.sh BUILD_DIR
set -euo pipefail
# A display of its own, so the pictures hold nothing else.
[ -n "${VELLOQ_OWN_DISPLAY:-}" ] || VELLOQ_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: screenshots.sh BUILD_DIR}" && pwd)
shots="$root/docs/screenshots"
work=$(mktemp -d /tmp/velloq-shots.XXXXXX)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

/usr/bin/python3 "$root/tools/standin.py" demo --checkip-addr 127.0.0.40 --update-addr 127.0.0.41 \
  --user demo --password velloq-demo --hosts home.example,office.example --ip 198.51.100.23 \
  --cert-dir "$("$root/tools/test_chain.sh" "$work/certs" 127.0.0.41)" --max-seconds 300 >"$work/service.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do grep -q '^READY' "$work/service.log" && break; sleep 0.1; done

run() { "$root/scripts/wine-run.sh" --prefix "$WINEPREFIX" "$@"; }
tool() { run "$build/velloq_tool.exe" --desktop velloq "$@" | tr -d '\r'; }
settings=(DomainCheckIP 127.0.0.40 DomainDynDNS 127.0.0.41 CLOOP 30 TOUT 3000 DEBUG false CheckUseSSL false
  AUTH "$(printf demo:velloq-demo | base64)" DOMAIN 'home.example\r\noffice.example' LASTIP NULL TIMESTAMP NULL)
for ((i = 0; i < ${#settings[@]}; i += 2)); do run "$build/velloq_tool.exe" seed "${settings[@]:i:2}"; done

run explorer /desktop=velloq,480x360 "$build/DynDNSVelloqClient.exe" -auto >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do tool rect >/dev/null 2>&1 && break; sleep 0.2; done
status=$(tool wait-status 30000) || true
[ "$status" = GOOD ] || { echo "screenshots: the sync said '$status'; no pictures" >&2; exit 1; }

# The desktop's place on the screen plus the window's on the desktop.
read -r dx dy <<<"$(xwininfo -root -tree | awk '/"velloq - Wine desktop"/ {gsub(/\+/, " ", $NF); print $NF}')"
shoot() { # NAME [about]
  local rect w h x y
  sleep 0.5  # let the page finish painting
  rect=$(tool rect "${@:2}")
  read -r w h x y <<<"$(tr 'x+' '  ' <<<"$rect")"
  import -window root -crop "${w}x${h}+$((dx + x))+$((dy + y))" +repage "$shots/$1.png"
  echo "screenshots: $shots/$1.png"
}
for page in 0:main-sync 1:main-config 2:main-account; do tool tab "${page%%:*}"; shoot "${page#*:}"; done
tool tab 0
tool about
shoot about about
# The desktop goes with its last window, Wine's helpers soon after: let
# them go before their display does.
tool close
timeout 20 wineserver -w || true
