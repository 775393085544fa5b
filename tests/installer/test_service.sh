#!/usr/bin/env bash
# The service under Wine, in a prefix of its own, against the end-to-end
# stand-ins (run through tools/with_standins.sh): install with /SERVICE, a
# "reboot" with nobody logged on, the tray program as its face, the event
# log, a later install, uninstall. Updates are counted at the stand-in.
#   test_service.sh WINEPREFIX SETUP.EXE VELLOQ_TOOL.EXE
set -uo pipefail
prefix="$1"; setup="$2"; tool="$3"
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$prefix"
wine_run() { "$here/../../scripts/wine-run.sh" --prefix "$prefix" "$@"; }
t() { wine_run "$tool" "$@" 2>/dev/null | tr -d '\r'; }

passed=0; failed=0
check() {  # check "what" command...
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok:   $what"
  else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
wait_for() { local i; for i in $(seq 1 "$1"); do "${@:2}" && return 0; sleep 0.5; done; return 1; }
updates() { grep -ac '^GET /nic/update' "$VELLOQ_STANDIN_DIR/$1.log" 2>/dev/null || true; }
state() { t state | sed -n "s/^$1=//p"; }
is() { [ "$("${@:2}")" = "$1" ]; }
reg_value() { wine_run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/.*REG_[A-Z_]*[[:space:]]*//p"; }
keepalive=""
reboot() {  # the prefix ended; then one ordinary process keeps it up, and its stderr holds the event log
  [ -n "$keepalive" ] && kill "$keepalive" 2>/dev/null
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  WINEDEBUG=+eventlog WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" wine "$tool" sleep 600000 >/dev/null 2>>"$events" &
  keepalive=$!
}
events=$(mktemp); trap 'rm -f "$events"; [ -n "$keepalive" ] && kill $keepalive 2>/dev/null; wineserver -k 2>/dev/null' EXIT
settings='HKLM\SOFTWARE\Orvenna\Orvenna DynDNS Client'
service='HKLM\SYSTEM\CurrentControlSet\Services\DynDNSVelloqClient'
exe='C:\Program Files\DynDNS Velloq Client\DynDNSVelloqClient.exe'
wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Access lists live as long as the wineserver: keep it up from the install on.
reboot
seed() { local v; for v in "$@"; do t seed "${v%%=*}" "${v#*=}"; done; }
seed DomainCheckIP=127.0.0.20 DomainDynDNS=127.0.0.21 TOUT=1000 CLOOP=30 DEBUG=false AUTH=dmVsbG9xOnNlY3JldA== \
  DOMAIN=svc.example LASTIP=NULL TIMESTAMP=NULL CheckLastIP=false CheckUseSSL=false

wine_run "$setup" /S /SERVICE /PAUSE=45 >/dev/null 2>&1
check "installed with /SERVICE" test $? -eq 0
check "the service's command line is the program's path, quoted, and -service" \
  is "\"$exe\" -service" reg_value "$service" ImagePath
check "it starts with Windows" is 0x2 reg_value "$service" Start
check "it runs as LocalService" is 'NT AUTHORITY\LocalService' reg_value "$service" ObjectName
check "the installer started it: the stand-in got one update" wait_for 40 is 1 updates 127.0.0.21-80
wait_for 20 is 1 state Idle
next=$(( $(state NextSync) - $(date +%s) ))
check "it started after the presets were written: next sync in 45 minutes ($next s)" \
  test "$next" -gt 2680 -a "$next" -le 2700
sddl_tool="$(dirname "$setup")/key_sddl.exe"
x86_64-w64-mingw32-gcc -municode -O2 -o "$sddl_tool" "$here/key_sddl_win.c"
acl() { wine_run "$sddl_tool" "SOFTWARE\\Orvenna\\$1" 2>/dev/null; }
check "the settings key's access list lets LocalService set values" \
  grep -qE '\(A;CI;(..)*(DC|KW|KA)[A-Z]*;;;LS\)' <(acl 'Orvenna DynDNS Client')
check "the state key: LocalService writes, Users only read" \
  grep -qE '\(A;CI;KA;;;LS\)\(A;CI;KR;;;BU\)' <(acl 'Orvenna DynDNS Client Service')
check "the event source names the program's message table" \
  is "$exe" reg_value 'HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\DynDNS Velloq Client' EventMessageFile

# Nothing recorded yet, so the boot's attempt goes out.
seed TIMESTAMP=NULL LASTIP=NULL
reboot
check "after the reboot the service sent the update, nobody logged on" wait_for 40 is 2 updates 127.0.0.21-80
check "it published GOOD" wait_for 20 is GOOD state Status
check "no window of ours exists" is 0 t windows
check "the update is on record: its address, host names and server" \
  bash -c 'grep -A2 "trace:eventlog:ReportEventW L\"198.51.100.23\"" "$1" | tr "\n" " " |
    grep -q "L\"svc.example\".*L\"127.0.0.21\""' _ "$events"

# The face: started beside the running service, it is not refused.
wine_run "$exe" -auto >/dev/null 2>&1 &
face=$!
check "the face starts while the service runs" wait_for 40 is 1 t windows
check "it shows the service's status word" wait_for 20 is GOOD t text 222
sleep 2
check "its -auto started no cycle of its own" is 2 updates 127.0.0.21-80
check "and its address" is 198.51.100.23 t text 221
t click 241
check "Stop on the face stops the service's cycle" wait_for 20 is 0 state Running
check "it is kept for the next boot" is true reg_value 'HKLM\SOFTWARE\Orvenna\Orvenna DynDNS Client Service' Stopped
sleep 1.5  # the guard time
seed TIMESTAMP=NULL
t click 245  # Reload: the service reads the settings again
before=$(updates 127.0.0.21-80)
t click 242
check "Manual on the face makes the service send one update" wait_for 20 is $((before + 1)) updates 127.0.0.21-80
sleep 3
check "and only one" is $((before + 1)) updates 127.0.0.21-80
sleep 1
t click 243; t type 225 31; t click 244
t click 240
check "Start on the face starts the service's cycle" wait_for 20 is 1 state Running
next=$(( $(state NextSync) - $(date +%s) ))
check "the saved pause of 31 minutes reached the service (next sync in $next s)" \
  test "$next" -gt 1840 -a "$next" -le 1860
check "Start's attempt was refused by the gate, nothing sent" is $((before + 1)) updates 127.0.0.21-80

# Outcomes that change something go on record: an AUTH ERROR after the
# success, then a refused certificate (this prefix trusts no test root).
for row in "AUTH=b3RoZXI6b3RoZXI=|AUTH ERROR" "DomainDynDNS=127.0.0.22 CheckUseSSL=true|CERT ERROR"; do
  t click 241; sleep 1.5
  seed TIMESTAMP=NULL ${row%|*}
  t click 245; t click 242
  check "the face shows ${row#*|}" wait_for 30 is "${row#*|}" t text 222
done
check "AUTH ERROR on record as a warning" grep -q 'warn:eventlog:ReportEventW L"AUTH ERROR"' "$events"
check "CERT ERROR on record as an error, naming the server" grep -q 'err:eventlog:ReportEventW L"127.0.0.22"' "$events"
msg() { t message "$exe" "$@"; }
check "message 1 reads as a person's sentence" \
  is 'The host names h.example now point at 192.0.2.7: the update server u.example took the new address.' \
  msg 1 192.0.2.7 h.example u.example
check "message 2 names the word" bash -c '[[ "$1" == "The update server u.example answered AUTH ERROR."* ]]' _ \
  "$(msg 2 'AUTH ERROR' u.example)"
check "message 3 names the server and CERT ERROR" bash -c '[[ "$1" == *"u.example"*"(CERT ERROR)"* ]]' _ \
  "$(msg 3 u.example)"

t click 241; sleep 1.5
# A later install without /SERVICE: the running copy (the face) is closed,
# the service stopped for the new file, kept, and started again.
old=$(pgrep -f '[D]ynDNSVelloqClient.exe -service')
wine_run "$setup" /S >/dev/null 2>&1
check "a later install without /SERVICE succeeds" test $? -eq 0
check "it keeps the service" is "\"$exe\" -service" reg_value "$service" ImagePath
check "which it stopped for the new file and started again" \
  wait_for 20 bash -c 'p=$(pgrep -f "[D]ynDNSVelloqClient.exe -service"); [ -n "$p" ] && [ "$p" != "$1" ]' _ "$old"
t close; wait "$face" 2>/dev/null
before=$(updates 127.0.0.21-80)
seed CLOOP=5  # below the least pause: the service's check refuses it at boot
reboot
sleep 8
check "after Stop a reboot starts no cycle" is 0 state Running
check "and sends nothing" is "$before" updates 127.0.0.21-80
check "a stored value its check refused is on record, with what is used instead" \
  bash -c 'grep -A2 "warn:eventlog:ReportEventW L\"CLOOP\"" "$1" | tr "\n" " " | grep -q "L\"5\".*L\"60\""' _ "$events"

# An administrator stopped the service: the face says so when pressed.
t control 1
wait_for 20 bash -c '! pgrep -f "[D]ynDNSVelloqClient.exe -service" >/dev/null'
wine_run "$exe" >/dev/null 2>&1 &
face=$!
wait_for 40 is 1 t windows
t click 240 >/dev/null &
check "Start on the face of a stopped service says how to start it" \
  bash -c '[[ "$1" == "The service DynDNSVelloqClient is not running"*"sc start DynDNSVelloqClient" ]]' _ "$(t box 10000)"
t close; wait "$face" 2>/dev/null
wine_run 'C:\Program Files\DynDNS Velloq Client\Uninstall.exe' /S >/dev/null 2>&1
check "uninstall leaves no service" wait_for 40 bash -c "! '$here/../../scripts/wine-run.sh' --prefix '$prefix' reg query '$service' >/dev/null 2>&1"
check "and no service process" wait_for 20 bash -c '! pgrep -f "[D]ynDNSVelloqClient.exe -service" >/dev/null'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
