#!/usr/bin/env bash
# Runs a Windows program under Wine the way the tests need it: a prefix of
# the build's own, no debug noise, no Mono/Gecko prompts, and a virtual
# display when none is set.
set -euo pipefail

prefix="${VELLOQ_WINEPREFIX:-}"
if [ "${1:-}" = "--prefix" ]; then prefix="$2"; shift 2; fi
[ -n "$prefix" ] || { echo "wine-run: no prefix given" >&2; exit 2; }
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --prefix "$prefix" "$@"
fi

# A new prefix takes a while to create; only one caller does it.
if [ ! -e "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ -e "$prefix/system.reg" ] || { wineboot -i >/dev/null 2>&1 || true; wineserver -w; }
  ) 9>"$prefix.lock"
fi

exec wine "$@"
