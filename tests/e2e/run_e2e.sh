#!/usr/bin/env bash
# Runs the end-to-end driver under Wine while the stand-in servers of
# standins.list listen. With SHOTS_DIR it then takes the screenshots of the
# main window inside a Wine virtual desktop (so Wine draws the title bar
# even without a window manager) and turns them into PNGs.
#   run_e2e.sh DRIVER_EXE WINEPREFIX [SHOTS_DIR]
# E2E_FILTER (a gtest filter) narrows the driver's tests, e.g. '*Manual*'.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "${1:-}" = "--inner" ]; then
  shift
  driver="$1" prefix="$2" shots="${3:-}"
  wine_reg() { { "$root/scripts/wine-run.sh" --prefix "$prefix" reg "$@" 2>/dev/null || true; } | tr -d '\r'; }
  # Without a window manager Wine waits up to two seconds for one whenever a
  # window is hidden or destroyed; unmanaged windows skip that wait. Only
  # for this run: the prefix gets its previous setting back.
  x11='HKCU\Software\Wine\X11 Driver'
  previous=$(wine_reg query "$x11" /v Managed | awk '$1 == "Managed" {print $3}')
  wine_reg add "$x11" /v Managed /d N /f >/dev/null
  restore() {
    if [ -n "$previous" ]; then wine_reg add "$x11" /v Managed /d "$previous" /f >/dev/null
    else wine_reg delete "$x11" /v Managed /f >/dev/null; fi
  }
  trap restore EXIT
  rc=0
  "$root/scripts/wine-run.sh" --prefix "$prefix" "$driver" --gtest_filter="${E2E_FILTER:--*Screenshots*}" || rc=$?
  if [ -n "$shots" ]; then
    rm -f "$shots"/main-*.bmp
    VELLOQ_SHOTS_DIR="$shots" "$root/scripts/wine-run.sh" --prefix "$prefix" \
      explorer /desktop=velloq,480x360 "$driver" --gtest_filter='*Screenshots*' || true
    for page in sync config account; do
      bmp="$shots/main-$page.bmp"
      if [ ! -s "$bmp" ]; then
        echo "run_e2e: screenshot $bmp was not taken" >&2
        rc=1
        continue
      fi
      convert "$bmp" "$shots/main-$page.png" && rm -f "$bmp"
    done
  fi
  exit $rc
fi

driver="$1" prefix="$2" shots="${3:-}"
[ -n "$shots" ] && mkdir -p "$shots"
exec "$root/tests/support/with_standins.sh" "$here/standins.list" -- "$0" --inner "$driver" "$prefix" "$shots"
