#!/usr/bin/env bash
# Installer round trip under Wine: silent install with autostart (path quoted)
# and preset settings, Users may write the settings key but not the Run key,
# the installed program starts and keeps the presets as given, presets that
# fail its checks, unknown or repeated switches are refused before anything
# changes, a second install closes the running copy, replaces its file and
# quotes an earlier version's autostart value, and a silent uninstall closes
# it again and removes the program, its Start-menu entry and the autostart
# value but keeps the settings (removing them takes the empty vendor key too).
# Interactively, the presets are stored by the time the Finish page could
# start the program; an uninstall that cannot remove the program file (a copy
# runs in another logon session) removes nothing and says so with exit code 2.
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
not() { ! "$@"; }

sddl_tool="$(dirname "$setup")/key_sddl.exe"
x86_64-w64-mingw32-gcc -municode -O2 -o "$sddl_tool" "$here/key_sddl_win.c" || exit 1
pages_tool="$(dirname "$setup")/installer_pages.exe"
x86_64-w64-mingw32-gcc -municode -O2 -o "$pages_tool" "$here/installer_pages_win.c" || exit 1
aces() {  # aces SUBKEY SID -> rights of the SID's allow entries that apply to the key itself
  wine_run "$sddl_tool" "$1" 2>/dev/null | tr -d '\r' | grep -oE "\(A;[^;]*;[^;]*;;;$2\)" |
    awk -F';' '$2 !~ /IO/ { print $3 }'
}
users_may_set_values() {  # KEY_SET_VALUE: by alias, as SDDL's two-letter DC, or in a number
  local r
  for r in $(aces "$1" BU); do
    case "$r" in KA|KW|GA|GW) return 0;; 0x*) (( r & 0x50000002 )) && return 0;; esac
    [[ $r =~ ^(..)*DC ]] && return 0
  done; return 1
}

settings='HKLM\SOFTWARE\Orvenna\Orvenna DynDNS Client'
run='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
drive="$prefix/drive_c"
installdir="$drive/Program Files/DynDNS Velloq Client"
exe="$installdir/DynDNSVelloqClient.exe"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/DynDNS Velloq Client"

start_program() {  # it writes its settings back first, then opens its window
  wine_run reg delete "$settings" /v LASTIP /f >/dev/null 2>&1
  wine_run 'C:\Program Files\DynDNS Velloq Client\DynDNSVelloqClient.exe' >/dev/null 2>&1 &
  program=$!
  for _ in $(seq 1 60); do [ "$(reg_value "$settings" LASTIP)" = NULL ] && { sleep 2; return 0; }; sleep 0.5; done
  return 1
}
program_ended() { for _ in $(seq 1 20); do kill -0 "$program" 2>/dev/null || return 0; sleep 0.5; done; return 1; }

# Kept settings (so no install here is a fresh one) and nothing left
# from an earlier run that could pass for a preset. Loopback-only hosts,
# seeded and preset, so the installed program never looks up a name; the
# numbers at the ends of their ranges.
wine_run reg delete "$settings" /f >/dev/null 2>&1
for v in DomainCheckIP=127.0.0.59 DomainDynDNS=127.0.0.59 AUTH=a2VwdA==; do
  wine_run reg add "$settings" /v "${v%%=*}" /t REG_SZ /d "${v#*=}" /f >/dev/null 2>&1
done
declare -A preset=([CHECKIP]=DomainCheckIP=127.0.0.60/v1/ip_4.txt [DYNDNS]=DomainDynDNS=127.0.0.61 [PAUSE]=CLOOP=1440
  [TIMEOUT]=TOUT=1000 [BALLOON]=DEBUG=true [SECURE]=CheckUseSSL=0 [CHECKLASTIP]=CheckLastIP=1
  [SECURECHECKIP]=SecureCheckIP=1)
switches=(); for s in "${!preset[@]}"; do v=${preset[$s]}; switches+=("/$s=${v#*=}"); done
wine_run "$setup" /S /NCRC /AUTOSTART "${switches[@]}" >/dev/null 2>&1
check "program installed into Program Files" test -f "$exe"
check "uninstaller installed" test -f "$installdir/Uninstall.exe"
check "Start-menu entry created" test -f "$menu/DynDNS Velloq Client.lnk"
expected='"C:\Program Files\DynDNS Velloq Client\DynDNSVelloqClient.exe" -min -auto'
check "autostart value holds the program's own command, its path quoted" test "$(reg_value "$run" 'DynDNS Client')" = "$expected"
check "Users may set values in the settings key" users_may_set_values 'SOFTWARE\Orvenna\Orvenna DynDNS Client'
check "Administrators keep full control of it" grep -qx KA <(aces 'SOFTWARE\Orvenna\Orvenna DynDNS Client' BA)
check "Users may not set values in the Run key" not users_may_set_values 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

check "installed program started and loaded its settings" start_program
for s in "${!preset[@]}"; do
  v=${preset[$s]#*=}; case $v in 0) v=false;; 1) v=true;; esac
  check "preset /$s kept as given" test "$(reg_value "$settings" "${preset[$s]%%=*}")" = "$v"
done
# Its file is marked first, so a copy the installer skipped shows.
fresh=$(mktemp); cp "$exe" "$fresh"; printf MARK >>"$exe"
before=$(wine_run reg query "$settings" 2>&1)
# Unknown, repeated (/PAUSE=30 follows each) and cut values too; split at blanks.
for bad in /PAUSE=1441 /TIMEOUT=999 /PAUSE=060 /BALLOON=True /SECURE=2 /DYNDNS=my_host \
    "/CHECKIP=$(printf %068d 0 | tr 0 a)" /CHEKIP=a /PAUSE:120 "/SECURE 1" /PAUSE=45 /AUTOSTART=1 \
    /DYNDNS=host/x /SECURECHECKIP=2 '/CHECKIP=127.0.0.60/ip?x=1' /CHECKIP=/ip; do
  wine_run "$setup" /S $bad /PAUSE=30 >/dev/null 2>&1
  check "preset $bad refused with exit code 3" test $? -eq 3
done
check "a refused preset left the program running" kill -0 "$program"
check "a refused preset wrote no setting" test "$(wine_run reg query "$settings" 2>&1)" = "$before"
check "a refused preset replaced no file" grep -q MARK "$exe"
wine_run reg add "$run" /v 'DynDNS Client' /t REG_SZ /d "${expected//\"/}" /f >/dev/null 2>&1  # an earlier version's
wine_run "$setup" /S >/dev/null 2>&1
check "installing over the running program succeeds" test $? -eq 0
check "the upgrade quoted the autostart value" test "$(reg_value "$run" 'DynDNS Client')" = "$expected"
check "the running copy was closed" program_ended
check "its file was replaced" cmp -s "$exe" "$fresh"
rm -f "$fresh"

# The uninstaller runs from a copy of itself in the temp folder and returns
# at once: wait (bounded) for it to finish.
uninstall() {
  wine_run 'C:\Program Files\DynDNS Velloq Client\Uninstall.exe' /S "$@" >/dev/null 2>&1
  for _ in $(seq 1 60); do { [ -e "$installdir/Uninstall.exe" ] || [ -e "$menu" ]; } || break; sleep 0.5; done
}
check "installed program started again" start_program
uninstall
check "the uninstaller closed the program" program_ended
check "program removed" test ! -e "$exe"
check "Start-menu entry removed" test ! -e "$menu"
check "autostart value removed" not reg_value "$run" 'DynDNS Client'
check "settings kept" test "$(reg_value "$settings" AUTH)" = a2VwdA==
check "installs over kept settings left Secure Connect as preset" test "$(reg_value "$settings" CheckUseSSL)" = false
wine_run reg delete "$settings" /f >/dev/null 2>&1
wine_run "$setup" /S >/dev/null 2>&1
check "a fresh install turns Secure Connect on" test "$(reg_value "$settings" CheckUseSSL)" = true
uninstall /REMOVESETTINGS
key_gone() { for _ in $(seq 1 20); do wine_run reg query "$1" >/dev/null 2>&1 || return 0; sleep 0.5; done; return 1; }
check "removing the settings removed the empty vendor key" key_gone 'HKLM\SOFTWARE\Orvenna'

# Interactive, with the Finish page's run box ticked: the preset must be in
# place before Finish can start the program. Ended there without Finish.
title="DynDNS Velloq Client Setup"
wine_run "$setup" /PAUSE=777 >/dev/null 2>&1 &
setup_pid=$!
check "interactive install reached the Finish page" wine_run "$pages_tool" finish "$title"
check "the preset is stored when the Finish page shows" test "$(reg_value "$settings" CLOOP)" = 777
wine_run "$pages_tool" end "$title" >/dev/null 2>&1 || kill "$setup_pid"; wait "$setup_pid"

# A copy the uninstaller cannot close (another logon session) holds the file.
folder='C:\Program Files\DynDNS Velloq Client'
held=$(mktemp)
wine_run "$pages_tool" hold "$folder\DynDNSVelloqClient.exe" >"$held" 2>/dev/null &
holder=$!
for _ in $(seq 1 40); do grep -q holding "$held" && break; sleep 0.5; done
uninstall_entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\DynDNSVelloqClient'
wine_run "$pages_tool" uninstall "$folder" >/dev/null 2>&1
check "an uninstall that cannot remove the program ends with exit code 2" test $? -eq 2
check "it keeps the program" test -f "$exe"
check "it keeps the uninstall entry" test "$(reg_value "$uninstall_entry" DisplayName)" = "DynDNS Velloq Client"
wine_run taskkill /F /IM installer_pages.exe >/dev/null 2>&1; wait "$holder"; rm -f "$held"
wine_run "$pages_tool" uninstall "$folder" /REMOVESETTINGS >/dev/null 2>&1
check "once it is free, the uninstall succeeds with exit code 0" test $? -eq 0
check "and removes the uninstall entry" not reg_value "$uninstall_entry" DisplayName
wine_run taskkill /F /IM DynDNSVelloqClient.exe >/dev/null 2>&1  # only if a check above failed
rm -rf "$installdir"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
