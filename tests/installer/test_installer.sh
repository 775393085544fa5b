#!/usr/bin/env bash
# Installer round trip under Wine: silent install with autostart, the
# installed program starts, silent uninstall removes the program, its
# Start-menu entry and the autostart value but keeps the settings.
#   test_installer.sh WINEPREFIX SETUP.EXE
set -uo pipefail
prefix="$1"; setup="$2"
here=$(cd "$(dirname "$0")" && pwd)
wine_run() { "$here/../../scripts/wine-run.sh" --prefix "$prefix" "$@"; }

passed=0; failed=0
check() {  # check "what" command...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok:   $what"
  else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
reg_value() {  # reg_value KEY NAME -> prints the data, fails when absent
  wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '
    { line = $0; sub(/^[ \t]+/, "", line) }
    index(line, n) == 1 { sub(/^[^\t ]+([ \t]+)?/, "", line); }
    /REG_SZ/ { sub(/.*REG_SZ[ \t]+/, "", $0); print; found = 1 }
    END { exit found ? 0 : 1 }'
}

value_absent() { ! reg_value "$@" >/dev/null; }

settings='HKLM\SOFTWARE\Orvenna\Orvenna DynDNS Client'
run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
drive="$prefix/drive_c"
installdir="$drive/Program Files/DynDNS Velloq Client"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/DynDNS Velloq Client"

# Loopback-only settings, so the installed program never looks up a name.
wine_run reg add "$settings" /v DomainCheckIP /t REG_SZ /d 127.0.0.60 /f >/dev/null 2>&1
wine_run reg add "$settings" /v DomainDynDNS /t REG_SZ /d 127.0.0.60 /f >/dev/null 2>&1
wine_run reg add "$settings" /v AUTH /t REG_SZ /d kept-credential /f >/dev/null 2>&1
wine_run reg delete "$settings" /v TOUT /f >/dev/null 2>&1

wine_run "$setup" /S /AUTOSTART >/dev/null 2>&1
check "program installed into Program Files" test -f "$installdir/DynDNSVelloqClient.exe"
check "uninstaller installed" test -f "$installdir/Uninstall.exe"
check "Start-menu entry created" test -f "$menu/DynDNS Velloq Client.lnk"
expected='C:\Program Files\DynDNS Velloq Client\DynDNSVelloqClient.exe -min -auto'
check "autostart value holds the program's own command" test "$(reg_value "$run" 'DynDNS Client')" = "$expected"

# The installed program starts: its first act writes the settings back.
wine_run 'C:\Program Files\DynDNS Velloq Client\DynDNSVelloqClient.exe' >/dev/null 2>&1 &
started=no
for _ in $(seq 1 60); do
  [ "$(reg_value "$settings" TOUT)" = "3000" ] && { started=yes; break; }
  sleep 0.5
done
check "installed program started and loaded its settings" test "$started" = yes
wine_run taskkill /F /IM DynDNSVelloqClient.exe >/dev/null 2>&1
wait 2>/dev/null

# The uninstaller runs from a copy of itself in the temp folder and returns
# at once: wait (bounded) for it to finish.
wine_run 'C:\Program Files\DynDNS Velloq Client\Uninstall.exe' /S >/dev/null 2>&1
for _ in $(seq 1 60); do
  [ -e "$installdir/Uninstall.exe" ] || [ -e "$menu" ] || break
  sleep 0.5
done
check "program removed" test ! -e "$installdir/DynDNSVelloqClient.exe"
check "Start-menu entry removed" test ! -e "$menu"
check "autostart value removed" value_absent "$run" 'DynDNS Client'
check "settings kept" test "$(reg_value "$settings" AUTH)" = kept-credential
rm -rf "$installdir"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
